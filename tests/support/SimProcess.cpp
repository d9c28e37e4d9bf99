#include "tests/support/SimProcess.h"

#include <QByteArray>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

void Drain(int fd, QString& into) {
    if (fd < 0) return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        into += QString::fromLocal8Bit(buffer, int(n));
    }
}

} // namespace

TSimProcess::~TSimProcess() {
    Stop();
}

bool TSimProcess::Start(const QStringList& arguments, int timeoutMs, const QString& program) {
    Problem.clear();
    Path.clear();
    const QByteArray exe = program.isEmpty() ? QByteArray(HALVEX_SIM_PATH) : program.toLocal8Bit();
    std::vector<QByteArray> args{exe};
    for (const QString& a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        Problem = QStringLiteral("pipe: %1").arg(strerror(errno));
        return false;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        Problem = QStringLiteral("fork: %1").arg(strerror(errno));
        return false;
    }
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Pid = pid;
    OutFd = out[0];
    ErrFd = err[0];
    fcntl(ErrFd, F_SETFL, fcntl(ErrFd, F_GETFL) | O_NONBLOCK);

    QByteArray line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 deadline - std::chrono::steady_clock::now())
                                 .count());
        pollfd p{OutFd, POLLIN, 0};
        if (::poll(&p, 1, left > 0 ? left : 0) <= 0) continue;
        char c;
        const ssize_t n = ::read(OutFd, &c, 1);
        if (n <= 0) break; // the process ended or closed its output
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line.startsWith("ready ")) {
            Path = QString::fromLocal8Bit(line.mid(6));
            return true;
        }
        line.clear();
    }
    Drain(ErrFd, Stderr);
    Problem = QStringLiteral("no ready line from %1 (stderr: %2)")
                  .arg(QString::fromLocal8Bit(exe), Stderr);
    Stop(1000);
    return false;
}

int TSimProcess::Stop(int timeoutMs) {
    if (Pid <= 0) return -1;
    ::kill(Pid, SIGTERM);
    int status = 0;
    int result = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const pid_t r = ::waitpid(Pid, &status, WNOHANG);
        if (r == Pid) {
            result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (r < 0 || std::chrono::steady_clock::now() >= deadline) {
            ::kill(Pid, SIGKILL);
            ::waitpid(Pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Drain(ErrFd, Stderr);
    if (OutFd >= 0) ::close(OutFd);
    if (ErrFd >= 0) ::close(ErrFd);
    OutFd = ErrFd = -1;
    Pid = -1;
    return result;
}
