#include "tests/support/ChildProgram.h"

#include <QByteArray>
#include <QFile>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

QString Drain(int fd) {
    QByteArray all;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        all.append(buffer, int(n));
    return QString::fromLocal8Bit(all);
}

// Reads what `fd` has into `into` until `done` or timeoutMs pass.
template <typename Done> bool ReadUntil(int fd, QString& into, int timeoutMs, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        into += QString::fromLocal8Bit(buffer, int(n));
    }
    return done();
}

} // namespace

TChildProgram::TChildProgram(const QString& program, const QString& dir,
                             const QStringList& arguments, bool display) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    Pid = fork();
    if (Pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        if (chdir(QFile::encodeName(dir).constData()) != 0) _exit(126);
        setenv("XDG_DATA_HOME", QFile::encodeName(dir + "/data").constData(), 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        if (display)
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        else
            unsetenv("QT_QPA_PLATFORM");
        std::vector<QByteArray> args{QFile::encodeName(program)};
        for (const QString& a : arguments)
            args.push_back(a.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Out = out[0];
    Err = err[0];
}

TChildProgram::~TChildProgram() {
    if (Pid > 0) {
        ::kill(Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
    }
    if (Out >= 0) ::close(Out);
    if (Err >= 0) ::close(Err);
}

bool TChildProgram::WaitForError(const QString& text, int timeoutMs) {
    return ReadUntil(Err, Stderr, timeoutMs, [&] { return Stderr.contains(text); });
}

bool TChildProgram::WaitForLines(int count, int timeoutMs) {
    return ReadUntil(Out, Stdout, timeoutMs, [&] { return Stdout.count('\n') >= count; });
}

int TChildProgram::Finish(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(Pid, &status, WNOHANG) == Pid) {
            Pid = -1;
            Stdout += Drain(Out);
            Stderr += Drain(Err);
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}
