#pragma once
// What the loading window shows while the project loads, and what each of the
// loader's reports changes in it.

#include <cstdint>
#include <string>

namespace quillet::launcher {

constexpr char kPhaseBuilt[] = "Loading ...";
constexpr char kPhaseLoading[] = "Loading";
constexpr char kPhaseExtracting[] = "Extracting";
constexpr char kPhaseStarting[] = "Starting";

struct LoadingProgress {
    std::string phase = kPhaseBuilt;
    int32_t rangeEnd = 0;
    int32_t position = 0;
    int32_t steps = 0;

    // What the window does beyond showing the new state.
    enum class Action { None, StartProject, Close };

    // Applies one report; codes the loader does not send change nothing.
    Action apply(uint32_t code, int32_t value);

private:
    void beginPhase(const char* name, int32_t end);
};

}  // namespace quillet::launcher
