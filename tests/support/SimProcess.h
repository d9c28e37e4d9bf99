#pragma once
// Starts halvex-sim as a separate process on a pseudo-terminal, waits for its "ready <path>"
// line, and stops it by its own process id (SIGTERM, then wait).
#include <QString>
#include <QStringList>
#include <sys/types.h>

class TSimProcess {
  public:
    TSimProcess() = default;
    ~TSimProcess(); // stops the process if still running
    TSimProcess(const TSimProcess&) = delete;
    TSimProcess& operator=(const TSimProcess&) = delete;

    // Starts HALVEX_SIM_PATH (or `program`) with `arguments`; waits up to timeoutMs for the
    // ready line. False (with the reason in Error()) when it did not come.
    bool Start(const QStringList& arguments, int timeoutMs = 10000,
               const QString& program = QString());
    // SIGTERM and wait up to timeoutMs; returns the exit status (-1 when it had to be killed or
    // was not running).
    int Stop(int timeoutMs = 5000);
    bool Running() const { return Pid > 0; }
    pid_t ProcessId() const { return Pid; }
    QString ReadyPath() const { return Path; } // the path after "ready "
    QString Error() const { return Problem; }
    // Standard error collected so far (read when stopping).
    QString ErrorOutput() const { return Stderr; }

  private:
    pid_t Pid = -1;
    int OutFd = -1;
    int ErrFd = -1;
    QString Path;
    QString Problem;
    QString Stderr;
};
