#include "link/LockFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {

std::string LockPath(const std::string& portPath) {
    const std::string folder = LockFolder();
    if (folder.empty()) return {};
    return folder + '/' + LockFileName(portPath);
}

// The process id a lock file holds; 0 when it cannot be read or holds no number.
long LockPid(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return end != text && pid > 0 ? pid : 0;
}

bool ProcessAlive(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// A live holder's process id, or 0 after removing a lock whose holder is gone. A lock without a
// readable number names no one and counts as left over; one with this process's id too.
long CheckLock(const std::string& path) {
    if (path.empty() || ::access(path.c_str(), F_OK) != 0) return 0;
    const long pid = LockPid(path);
    if (pid > 0 && pid != ::getpid() && ProcessAlive(pid)) return pid;
    ::unlink(path.c_str());
    return 0;
}

} // namespace

std::string LockFileName(const std::string& portPath) {
    std::error_code error;
    std::string device = std::filesystem::canonical(portPath, error).string();
    if (error || device.empty()) device = portPath;
    const std::string dev = "/dev/";
    if (device.compare(0, dev.size(), dev) == 0)
        device.erase(0, dev.size());
    else if (const size_t slash = device.rfind('/'); slash != std::string::npos)
        device.erase(0, slash + 1);
    for (char& c : device)
        if (c == '/') c = '_';
    return "LCK.." + device;
}

std::string LockFolder() {
    for (const char* folder : {"/run/lock", "/var/lock"}) {
        std::error_code error;
        if (std::filesystem::is_directory(folder, error)) return folder;
    }
    return {};
}

long LockHolder(const std::string& portPath) {
    return CheckLock(LockPath(portPath));
}

long TPortLock::Take(const std::string& portPath) {
    Release();
    const std::string path = LockPath(portPath);
    if (path.empty()) return 0;
    // Twice: the first try may meet a lock left over, which CheckLock removes.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char text[16];
            const int n =
                std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
            const bool written = ::write(fd, text, static_cast<size_t>(n)) == n;
            ::close(fd);
            if (!written) {
                ::unlink(path.c_str());
                return 0;
            }
            Path_ = path;
            return 0;
        }
        if (errno != EEXIST) return 0;
        if (const long holder = CheckLock(path)) return holder;
    }
    return 0;
}

void TPortLock::Release() {
    if (Path_.empty()) return;
    if (LockPid(Path_) == ::getpid()) ::unlink(Path_.c_str());
    Path_.clear();
}
