// Link timings over a pseudo-terminal against the simulator with its line pacing on. Run by hand:
//   build-*/bench/bench_link
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/SimProcess.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

bool StartSim(TSimProcess& sim, const QTemporaryDir& folder, const QStringList& extra) {
    if (!sim.Start(QStringList{"--link", folder.path() + "/COM3", "--pacing", "on",
                               "--archive-records", "902"} +
                   extra)) {
        std::fprintf(stderr, "simulator: %s\n", sim.Error().toLocal8Bit().constData());
        return false;
    }
    if (!OpenPort(3)) {
        std::fprintf(stderr, "open: %s\n", LastOpenProblem.English.c_str());
        return false;
    }
    return true;
}

std::vector<double> TimeReads(uint8_t index, int count, int& answered) {
    std::vector<double> times;
    answered = 0;
    for (int i = 0; i < count; ++i) {
        const auto t0 = Clock::now();
        answered += ReadObject(index);
        times.push_back(Ms(Clock::now() - t0));
    }
    return times;
}

} // namespace

int main() {
    QTemporaryDir folder;
    SetPortFolder(folder.path().toStdString());
    ComputeEncodedSizes(ObjectTable, ObjectTableCount);
    int answered = 0;
    {
        TSimProcess sim;
        if (!StartSim(sim, folder, {})) return 1;
        TimeReads(Obj::MeasurementData, 5, answered);

        const int n = 500;
        const std::vector<double> one = TimeReads(Obj::MeasurementData, n, answered);
        std::printf("MeasurementData exchange (19 + 79 bytes, wire time %.2f ms): median %.2f ms, "
                    "p99 %.2f ms, answered %d/%d\n",
                    (19 + 79) * 10.0 / 115.2, Percentile(one, 0.5), Percentile(one, 0.99), answered,
                    n);

        const int reads = 903;
        const auto t0 = Clock::now();
        TimeReads(Obj::ArchiveEntry, reads, answered);
        const double elapsed = Ms(Clock::now() - t0);
        const double reply = FrameSize(ObjectTable[Obj::ArchiveEntry].EncodedSize);
        const double wire = reads * (FrameSize(1) + reply) * 10 / 115.2;
        // On a pseudo-terminal only the simulator paces its bytes; the request leaves at once.
        const double paced = reads * reply * 10 / 115.2;
        std::printf("903 ArchiveEntry reads: %.0f ms, wire-time bound %.0f ms, ratio %.2f "
                    "(paced replies alone %.0f ms, ratio %.2f), answered %d\n",
                    elapsed, wire, elapsed / wire, paced, elapsed / paced, answered);
        ClosePort();
    }
    {
        TSimProcess sim;
        if (!StartSim(sim, folder, {"--fault", "no-answer=1"})) return 1;
        const std::vector<double> silent = TimeReads(Obj::MeasurementData, 50, answered);
        std::printf(
            "silent device exchange: median %.2f ms, max %.2f ms (bound 44 ms), answered %d\n",
            Percentile(silent, 0.5), Percentile(silent, 1.0), answered);
        ClosePort();
    }
    {
        const int n = 2000;
        const auto t0 = Clock::now();
        for (int i = 0; i < n; ++i)
            OpenPort(200);
        std::printf("OpenPort of a number with no port: %.1f us each\n",
                    Ms(Clock::now() - t0) * 1000 / n);
    }
    SetPortFolder({});
    return 0;
}
