// The running process as the desktop sees it: its executable, helper programs
// it starts, and the per-user lock that tells whether a main window runs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The absolute path of the running executable; empty when the system does not
// tell it.
std::filesystem::path ExecutablePath();

// Runs `program` (looked up in PATH) with `arguments`, its output discarded, and
// waits for it. False when it cannot be started or does not exit with 0.
bool RunQuietly(const std::string& program, const std::vector<std::string>& arguments);

// The lock a main window holds while it runs, named after the window class:
// Korvath_Iconmill_WndClass.lock in $XDG_RUNTIME_DIR, or, without one, a file
// in the temporary folder that carries the user id.
std::filesystem::path InstanceLockPath();

// A shared hold on the lock file for the lifetime of the object. Several windows
// may hold it at once; IsInstanceLockHeld sees any of them, in this process or
// another. A lock that cannot be taken leaves Held() false and the window runs
// anyway.
class InstanceLock {
public:
    explicit InstanceLock(const std::filesystem::path& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Whether some InstanceLock holds `path` now.
bool IsInstanceLockHeld(const std::filesystem::path& path);
