// How long the automatic device search takes over COM1..COM254 with no console unit attached:
// the ports of this machine's built-in table (/dev/ttyS*, ttyUSB*, ttyACM*) and an empty port
// folder. Prints one line per run and the median.
//
//   build/bench/bench_scan [runs]
#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Wiring.h"
#include "connection/Discovery.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "ui/Forms.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QTemporaryDir folder; // no links: only the built-in table answers opens
    SetPortFolder(folder.path().toStdString());
    ComputeEncodedSizes(ObjectTable, ObjectCount);
    TForm1 main;
    WireMainWindow(main);
    main.Timer1->stop();
    main.Timer2->stop();
    TForm2 dialog;
    WireConnectDialog(dialog);
    main.ConnectDialog = &dialog;

    int opened = 0;
    for (int n = 1; n <= 254; ++n)
        if (OpenPort(static_cast<uint8_t>(n))) ++opened;
    ClosePort();
    std::printf("ports that open: %d of 254\n", opened);

    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        FindDevice(main, dialog, 0);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        seconds.push_back(took.count());
        std::printf("scan %d: %.3f s, port found: %d\n", i + 1, took.count(), PortNumber);
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median: %.3f s\n", seconds[seconds.size() / 2]);
    ClosePort();
    return 0;
}
