// How soon polling is back after the line is pulled, while the program ticks every 600 ms as
// Timer1 does. Two ways of pulling it:
//   hang-up  halvex-sim hangs up in the middle of a reply and puts a new line behind the same link
//            at once (--reopen); measured from the tick that lost the port;
//   restart  halvex-sim is ended, and started again on the same link a second later; measured
//            from its ready line.
// Until the end of the first tick whose measurement read was delivered again. Prints one line per
// run and the median. A third way polls for a while against --fault hang-up=0.03 --reopen (a
// hang-up in about one reply of 33) and prints how long the line stayed without data at most.
//
//   build/bench/bench_reopen [runs] [hang-up|restart]
//   build/bench/bench_reopen SECONDS random
#include <QApplication>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "app/Wiring.h"
#include "connection/Discovery.h"
#include "connection/Polling.h"
#include "connection/PortState.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/PortFolder.h"
#include "ui/Forms.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const bool restart = argc > 2 && QByteArray(argv[2]) == "restart";
    using Clock = std::chrono::steady_clock;
    constexpr int TickMs = 600;
    constexpr uint8_t Port = 3;

    ComputeEncodedSizes(ObjectTable, ObjectCount);
    TForm1 main;
    WireMainWindow(main);
    main.Timer1->stop();
    main.Timer2->stop();

    if (argc > 2 && QByteArray(argv[2]) == "random") {
        TPortFolder ports;
        if (!ports.StartSim(Port, {"--fault", "hang-up=0.03", "--reopen"})) return 1;
        PortNumber = Port;
        OpenPort(Port);
        ShowPortFound(main, Port);
        const auto end = Clock::now() + std::chrono::seconds(runs);
        int ticks = 0, failed = 0, spells = 0;
        double longest = 0;
        bool failing = false;
        Clock::time_point since;
        while (Clock::now() < end) {
            const auto tick = Clock::now();
            Timer1Timer(main);
            ++ticks;
            // A tick whose last exchange delivered has a working line.
            const bool working = Link.LastReplyOutcome == TReplyOutcome::Delivered;
            if (!working) ++failed;
            if (!working && !failing) {
                failing = true;
                since = tick;
                ++spells;
            } else if (working && failing) {
                failing = false;
                longest =
                    std::max(longest, std::chrono::duration<double>(Clock::now() - since).count());
            }
            std::this_thread::sleep_until(tick + std::chrono::milliseconds(TickMs));
        }
        std::printf("%d s, %d ticks: %d ticks without a working line in %d spells, the longest "
                    "%.2f s%s\n",
                    runs, ticks, failed, spells, longest, failing ? " (failing at the end)" : "");
        ClosePort();
        return 0;
    }

    std::vector<double> seconds;
    for (int run = 1; run <= runs; ++run) {
        TPortFolder ports;
        const QStringList options =
            restart ? QStringList() : QStringList{"--fault-next", "hang-up=1", "--reopen"};
        if (!ports.StartSim(Port, options)) {
            std::fprintf(stderr, "halvex-sim: %s\n", qPrintable(ports.Sim.Error()));
            return 1;
        }
        PortNumber = Port;
        OpenPort(Port);
        ShowPortFound(main, Port);
        if (restart) {
            Timer1Timer(main);
            ports.Sim.Stop();
            for (int tick = 0; tick < 2; ++tick) {
                QThread::msleep(TickMs);
                Timer1Timer(main);
            }
            if (!ports.StartSim(Port)) return 1;
        } else {
            Timer1Timer(main); // the hang-up
        }
        if (!PortBeingReopened()) {
            std::fprintf(stderr, "run %d: the port was not lost\n", run);
            return 1;
        }
        const auto lost = Clock::now();
        bool back = false;
        double took = 0;
        for (int tick = 0; tick < 100 && !back; ++tick) {
            QThread::msleep(TickMs);
            Timer1Timer(main);
            back = !PortBeingReopened() && Link.LastReplyOutcome == TReplyOutcome::Delivered;
            took = std::chrono::duration<double>(Clock::now() - lost).count();
        }
        if (!back) {
            std::fprintf(stderr, "run %d: polling did not resume\n", run);
            return 1;
        }
        seconds.push_back(took);
        std::printf("run %d: back in polling after %.2f s (%s)\n", run, took,
                    qPrintable(main.StatusBar1->PanelText(3)));
        ClosePort();
        PortNumber = 0;
        ForgetPortState();
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median: %.2f s\n", seconds[seconds.size() / 2]);
    return 0;
}
