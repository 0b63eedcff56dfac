#pragma once

#include <functional>

namespace quillet::win32 {

// Dispatches at most maxMessages waiting messages, running idle after each one.
void pumpMessages(int maxMessages, const std::function<void()>& idle = nullptr);

}  // namespace quillet::win32
