#include "launcher/app/loading_progress.h"

namespace quillet::launcher {

void LoadingProgress::beginPhase(const char* name, int32_t end) {
    phase = name;
    rangeEnd = end;
    position = 0;
    // Each phase counts its own steps: carried over, the extraction's first step
    // would show the bar as far as all the components loaded before it.
    steps = 0;
}

LoadingProgress::Action LoadingProgress::apply(uint32_t code, int32_t value) {
    switch (code) {
    case 0: beginPhase(kPhaseLoading, value); break;
    case 2: beginPhase(kPhaseExtracting, value); break;
    case 4: beginPhase(kPhaseStarting, value); break;
    case 1:
    case 3:
    case 5:
        ++steps;
        position = steps;
        break;
    case 6: return Action::StartProject;
    case 7: return Action::Close;
    default: break;
    }
    return Action::None;
}

}  // namespace quillet::launcher
