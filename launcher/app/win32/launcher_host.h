#pragma once
// The project loader's view of the launcher: reports go to the loading window as
// UPDATE_LOADING_WINDOW, sent; components are the viewer library's, each built in
// the bytes the launcher reserves for its kind and owned here until the program
// ends.

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "launcher/project/project_loader.h"

namespace quillet::launcher {

// Where the launcher writes its reports and notes when the environment names a
// file: a trace for support, and for the tests that follow a load from outside.
constexpr char kLogVariable[] = "ORVANE_LOG";

class LauncherHost : public project::LoaderHost {
public:
    explicit LauncherHost(HWND loadingWindow);
    ~LauncherHost() override;

    void report(uint32_t code, int32_t value) override;
    void wait(int milliseconds) override;
    viewer::ViewerComponent* createComponent(int32_t kind) override;
    bool fileExists(const std::string& path) override;
    void note(const std::string& text) override;
    // Kept, not shown: the shortage may be of the very window handles a message box
    // needs. The loading window shows it once the components are gone.
    void tellUser(const std::string& text) override;
    const std::string& userReport() const { return userReport_; }

private:
    // A component in bytes of the launcher's own, destroyed before they are freed.
    struct PlacedComponent {
        std::unique_ptr<unsigned char[]> storage;
        viewer::ViewerComponent* component = nullptr;
        PlacedComponent() = default;
        PlacedComponent(PlacedComponent&& other) noexcept
            : storage(std::move(other.storage)), component(std::exchange(other.component, nullptr)) {}
        PlacedComponent& operator=(PlacedComponent&&) = delete;
        ~PlacedComponent() {
            if (component) component->~ViewerComponent();
        }
    };
    template <typename Component>
    viewer::ViewerComponent* place(size_t bytes);
    void log(const std::string& line);

    HWND window_;
    std::string logPath_;
    std::string userReport_;
    std::vector<PlacedComponent> components_;
};

// Writes one line to the launcher's log, when the environment names one.
void writeLogLine(const std::string& line);

}  // namespace quillet::launcher
