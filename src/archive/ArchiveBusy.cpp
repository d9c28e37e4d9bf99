#include "archive/ArchiveBusy.h"

#include "ui/Forms.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <iterator>
#include <signal.h>

namespace {

bool Busy = false;

// A signal to end the program that arrives during a command waits for its end, like a close.
constexpr int HeldSignals[] = {SIGTERM, SIGINT, SIGHUP};
static_assert(std::size(HeldSignals) == TBusyGuard::HeldSignalCount);
volatile std::sig_atomic_t HeldSignal = 0;
extern "C" void HoldSignal(int signal) {
    HeldSignal = signal;
}

QTimer* ArchiveTimer(TForm1& form, int i) {
    return i == 0 ? form.Timer1 : form.Timer2;
}

} // namespace

bool ArchiveBusy() {
    return Busy;
}

TBusyGuard::TBusyGuard(TForm1& form) : Form(&form) {
    Busy = true;
    for (int i = 0; i < 2; ++i)
        TimerWasBlocked[i] = ArchiveTimer(*Form, i)->blockSignals(true);
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct sigaction hold = {};
    hold.sa_handler = HoldSignal;
    sigemptyset(&hold.sa_mask);
    HeldSignal = 0;
    for (size_t i = 0; i < std::size(HeldSignals); ++i)
        sigaction(HeldSignals[i], &hold, &SignalActions[i]);
}

TBusyGuard::~TBusyGuard() {
    for (size_t i = 0; i < std::size(HeldSignals); ++i)
        sigaction(HeldSignals[i], &SignalActions[i], nullptr);
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
    if (Form) {
        for (int i = 0; i < 2; ++i)
            ArchiveTimer(*Form, i)->blockSignals(TimerWasBlocked[i]);
    }
    Busy = false;
    // Delivered now, to whatever the program had for it before.
    if (const int signal = HeldSignal) {
        HeldSignal = 0;
        std::raise(signal);
    }
    if (ClosePending && Form) {
        QPointer<TForm1> form = Form;
        QTimer::singleShot(0, form, [form] {
            if (form) form->close();
        });
    }
}

void TBusyGuard::KeepWindowAlive() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool TBusyGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Close:
        if (watched == Form) {
            ClosePending = true;
            event->ignore();
            return true;
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}
