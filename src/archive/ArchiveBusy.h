#pragma once
// The archive's long commands (read, erase) and what keeps everything else out while one runs.
#include <QObject>
#include <QPointer>
#include <csignal>

class QEvent;
class TForm1;

// True while a read or an erase runs (the window stays responsive, the link stays theirs).
bool ArchiveBusy();

// While the archive is read or erased the window keeps painting and answering the window system,
// but nothing else may reach the link or the archive state in the middle: the operator's input is
// dropped (a second click, a tab change that would start polling, a language switch), the timers'
// ticks are skipped, and a request to close the window (or a signal to end the program) waits
// until the command has ended.
class TBusyGuard : public QObject {
  public:
    explicit TBusyGuard(TForm1& form);
    ~TBusyGuard() override;
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

    bool ClosePending = false;

    // Lets the window repaint and the window system be answered.
    static void KeepWindowAlive();

    // SIGTERM, SIGINT and SIGHUP wait for the end of the command.
    static constexpr int HeldSignalCount = 3;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<TForm1> Form;
    bool TimerWasBlocked[2] = {};
    // The held signals' actions before the command, restored after it.
    struct sigaction SignalActions[HeldSignalCount] = {};
};
