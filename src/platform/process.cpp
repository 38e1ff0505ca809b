#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

extern char** environ;

std::filesystem::path ExecutablePath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !path.is_absolute()) return {};
    return path;
}

bool RunQuietly(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int started = posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::filesystem::path InstanceLockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* const name = "Korvath_Iconmill_WndClass";
    if (runtime && runtime[0] == '/') return std::filesystem::path(runtime) / (std::string(name) + ".lock");
    return std::filesystem::temp_directory_path() /
           (std::string(name) + "-" + std::to_string(getuid()) + ".lock");
}

namespace {

// Opens the lock file without following a link someone else planted there.
int OpenLockFile(const std::filesystem::path& path, bool create) {
    const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0);
    return open(path.c_str(), flags, 0600);
}

}  // namespace

InstanceLock::InstanceLock(const std::filesystem::path& path) {
    const int fd = OpenLockFile(path, true);
    if (fd < 0) return;
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        close(fd);
        return;
    }
    fd_ = fd;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) close(fd_);
}

bool IsInstanceLockHeld(const std::filesystem::path& path) {
    const int fd = OpenLockFile(path, false);
    if (fd < 0) return false;
    // flock locks belong to the open file, so this probe conflicts with a hold
    // taken through another descriptor of this very process too.
    const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return held;
}
