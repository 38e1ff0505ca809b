// The thread's last-error value is errno. File functions keep it intact for
// their callers: they save it on entry and restore it on return, except that on
// a system-error result they leave the failing call's code for the caller's
// message.
#pragma once

#include <cerrno>

// Declare first in a function body, so that it is destroyed after every file or
// buffer the function holds and their clean-up cannot disturb the outcome.
class LastErrorScope {
public:
    LastErrorScope() noexcept : value_on_return_(errno) {}
    ~LastErrorScope() { errno = value_on_return_; }
    LastErrorScope(const LastErrorScope&) = delete;
    LastErrorScope& operator=(const LastErrorScope&) = delete;

    // Call right after a failing system call: its errno is what the caller sees.
    void KeepSystemError() noexcept { value_on_return_ = errno; }
    // Leaves an explicit code for the caller (a short write that set no errno).
    void KeepSystemError(int code) noexcept { value_on_return_ = code; }

private:
    int value_on_return_;
};
