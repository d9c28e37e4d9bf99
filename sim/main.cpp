// halvex-sim: a simulated console unit on a pseudo-terminal.
#include "link/LinkOwner.h"
#include "link/SerialLink.h"
#include "sim/PtyTransport.h"
#include "sim/SimDevice.h"
#include "sim/SimOptions.h"

#include <QCoreApplication>
#include <QStringList>
#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t StopRequested = 0;

void OnSignal(int) {
    StopRequested = 1;
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    TSimCommandLine cl;
    QString error;
    if (!ParseSimArguments(arguments, cl, error)) {
        std::fprintf(stderr, "halvex-sim: %s\n", qPrintable(error));
        return 2;
    }
    if (cl.Help) {
        std::fputs(qPrintable(SimUsage()), stdout);
        return 0;
    }
    if (cl.Version) {
        std::printf("halvex-sim %s\n", HALVEX_VERSION);
        return 0;
    }

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: poll must wake up
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr); // its terminal closed
    std::signal(SIGPIPE, SIG_IGN);

    const QString linkPath =
        cl.Port ? QString::fromStdString(PortFolderEntry(static_cast<uint8_t>(cl.Port))) : cl.Link;
    // Held for the whole run, across reopened pseudo-terminals, and given up after the link.
    TLinkOwnerRecord owner;
    std::string ownerError;
    if (!linkPath.isEmpty() && !owner.Claim(linkPath.toStdString(), ownerError)) {
        std::fprintf(stderr, "halvex-sim: %s\n", ownerError.c_str());
        return 1;
    }
    TSimDevice device(cl.Options);
    bool announced = false;
    for (;;) {
        TPtyTransport pty(device, cl.Options.Pacing);
        if (!pty.Open(error) || (!linkPath.isEmpty() && !pty.Link(linkPath, error))) {
            std::fprintf(stderr, "halvex-sim: %s\n", qPrintable(error));
            return 1;
        }
        if (!announced) {
            std::printf("ready %s\n", qPrintable(linkPath.isEmpty() ? pty.SlavePath() : linkPath));
            std::fflush(stdout);
            announced = true;
        } else {
            std::fprintf(stderr, "halvex-sim: reopened on %s\n", qPrintable(pty.SlavePath()));
        }
        const TPtyTransport::TEnd end = pty.Run(StopRequested);
        if (end == TPtyTransport::Stopped) return 0;
        if (end == TPtyTransport::Failed) {
            std::fprintf(stderr, "halvex-sim: the pseudo-terminal failed\n");
            return 1;
        }
        std::fprintf(stderr, "halvex-sim: hung up the line in the middle of a reply\n");
        if (!cl.Options.Reopen) return 3;
    }
}
