#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <unistd.h>

#include "app/ProgramOptions.h"
#include "app/Wiring.h"
#include "base/Language.h"
#include "connection/Startup.h"
#include "link/SerialLink.h"
#include "link/WireLog.h"
#include "ui/Forms.h"
#include "ui/LanguageSwitch.h"
#include "ui/Widgets.h"

namespace {

// An exception thrown by a handler is shown to the operator and the program carries on, as the
// event loop would have it; nothing the device or a file sends may end the run this way.
class THalvexApplication : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            Report(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            Report(QString());
        }
        return false;
    }

    static void Report(const QString& text) {
        QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Halvex"), text);
    }
};

bool Verbose = false;

void Note(const QString& text) {
    if (Verbose) std::fprintf(stderr, "halvex: %s\n", text.toLocal8Bit().constData());
}

// A signal handler may do next to nothing; it hands the signal to the event loop through a pipe.
int SignalPipe[2] = {-1, -1};

void OnSignal(int signal) {
    const char c = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(SignalPipe[1], &c, 1);
}

// SIGINT, SIGTERM and SIGHUP close the main window as the operator would, so that prog.ini is
// written and the port released. Nobody is at the screen to answer a message box then: problems
// go to standard error.
void CloseOnSignals() {
    if (pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char c = 0;
        if (::read(SignalPipe[0], &c, 1) != 1) return;
        Note(QStringLiteral("signal %1 received; closing").arg(int(c)));
        SetMessageSink([](const QString& text) {
            std::fprintf(stderr, "halvex: %s\n", text.toLocal8Bit().constData());
        });
        // Also while the splash hides it: a hidden window gets its close event all the same.
        Form1->close();
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaction(s, &sa, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    // Read before the application object exists: it would need a display, and --help must not.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    TProgramOptions options;
    QString error;
    if (!ParseProgramOptions(arguments, options, error)) {
        std::fprintf(stderr, "halvex: %s Try 'halvex --help'.\n", error.toLocal8Bit().constData());
        return 2;
    }
    if (options.Help) {
        std::fputs(ProgramUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.Version) {
        std::fputs(ProgramVersionText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    Verbose = options.Verbose;
    static TWireLog wireLog;
    std::string wireLogError;
    if (!options.WireLog.isEmpty() && !wireLog.Open(options.WireLog.toStdString(), wireLogError)) {
        std::fprintf(stderr, "halvex: --wire-log: %s\n", wireLogError.c_str());
        return 2;
    }
    if (wireLog.IsOpen() || Verbose)
        SetWireTap([](TWireEvent event, const uint8_t* data, int n) {
            wireLog.Record(event, data, n, LanguageIndex == 1);
            // Standard error gets the ports, not every exchange of the polling cycle.
            if (Verbose && event == TWireEvent::Opened) {
                if (Link.PortHandle)
                    Note(QStringLiteral("COM%1 (%2) opened")
                             .arg(n)
                             .arg(QString::fromStdString(PortDeviceName(n))));
                else if (!LastOpenProblem.Empty())
                    Note(QStringLiteral("COM%1: %2").arg(n).arg(OpenProblemText()));
            }
        });
    StartupPort = options.Port;
    RunLanguage = options.Language;

    THalvexApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvex"));
    QApplication::setApplicationVersion(QStringLiteral(HALVEX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(HALVEX_APP_ID));
    // The run ends only through the main window's close handler; closing the splash windows
    // while the main window is hidden must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    Note(QStringLiteral("version %1, port folder %2, prog.ini %3")
             .arg(QStringLiteral(HALVEX_VERSION), QString::fromStdString(PortFolder()),
                  LanguageFilePath()));
    CreateForms();
    CloseOnSignals();
    Note(QStringLiteral("main window created; SIGINT, SIGTERM and SIGHUP close it"));
    try {
        THalvexApplication::exec();
    } catch (const std::exception& e) {
        THalvexApplication::Report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        THalvexApplication::Report(QString());
    }
    return 0;
}
