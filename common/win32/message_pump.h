#pragma once

#include <functional>

namespace quillet::win32 {

// Dispatches at most maxMessages waiting messages, running idle after each one.
void pumpMessages(int maxMessages, const std::function<void()>& idle = nullptr);

// Waits, polling every millisecond, until done() holds. Messages that other threads
// send to this thread's windows are handled meanwhile (and nothing else), so that
// a thread that reports to a window of this one by SendMessage can never be
// waited for while it waits for us.
void waitLettingSentMessagesThrough(const std::function<bool()>& done);

}  // namespace quillet::win32
