#pragma once
// Makes a program of the test's choosing the handler of web and mail addresses for
// as long as it lives, and puts the previous handlers back.

#include <string>
#include <vector>

namespace quillet::e2e {

class ShellHandlers {
public:
    // program handles the schemes' open verb with the address as its argument.
    ShellHandlers(const std::string& program, const std::vector<std::string>& schemes);
    ~ShellHandlers();
    ShellHandlers(const ShellHandlers&) = delete;
    ShellHandlers& operator=(const ShellHandlers&) = delete;
    bool installed() const { return installed_; }

private:
    struct Previous {
        std::string scheme;
        bool existed = false;
        std::string command;
    };
    std::vector<Previous> previous_;
    bool installed_ = false;
};

}  // namespace quillet::e2e
