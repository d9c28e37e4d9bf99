// The archive tab's costs, offscreen. Run by hand:
//   build/bench/bench_archive
// 1. One page of 902 records shown (ShowArchivePage) and one page-button change, in ms.
// 2. The whole archive read (Button4Click) over a pseudo-terminal against halvex-sim with its
//    line pacing on, against the two-way wire time of its exchanges; the ratio is the last line.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/Wiring.h"
#include "archive/ArchivePageView.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveTransfer.h"
#include "archive/ArchiveView.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/SimProcess.h"
#include "ui/Forms.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// 902 records a minute apart; with `pages` > 1 time goes back at the page starts.
void FillArchive(int pages) {
    std::memset(ArchiveBuffer, 0, sizeof ArchiveBuffer);
    const int perPage = (ArchiveSlotCount + pages - 1) / pages;
    for (int i = 0; i < ArchiveSlotCount; ++i) {
        const int minute = i % perPage;
        TArchiveEntry e{};
        e.Value = float(0.1e-6 + double(i % 37) * 0.01e-6);
        e.SecondsFlags = uint8_t(0x80 | (i % 60));
        e.Latitude = 55.75f;
        e.Longitude = 37.61f;
        e.Minutes = uint8_t(minute % 60);
        e.Hours = uint8_t(minute / 60);
        e.KindDay = uint8_t(uint8_t(i % 4) << 6 | 10);
        e.Month = 6;
        e.Year = 24;
        std::memcpy(ArchiveBuffer + size_t(i) * ArchiveSlotSize, &e, ArchiveSlotSize);
    }
}

void PageCosts(TForm1& form) {
    FillArchive(1);
    std::vector<double> shown;
    for (int r = -2; r < 15; ++r) {
        const auto t0 = Clock::now();
        ShowArchivePage(form, 1, false);
        if (r >= 0) shown.push_back(Ms(Clock::now() - t0));
    }
    std::printf("ShowArchivePage, one page of 902 records: median %.1f ms\n", Median(shown));

    FillArchive(2);
    ArchiveLoaded = true;
    CurrentPage = 1;
    PageCount = ShowArchivePage(form, 1, false);
    std::vector<double> change;
    for (int r = -2; r < 15; ++r) {
        const auto t0 = Clock::now();
        BitBtn2Click(form);
        if (r >= 0) change.push_back(Ms(Clock::now() - t0));
    }
    std::printf("page button, %d pages of 451 records: median %.1f ms\n", PageCount,
                Median(change));
    ArchiveLoaded = false;

    // What the window adds to a read: the progress bar moved and the event loop served after
    // each of the 903 exchanges, as the read does, without the link.
    form.PageControl1->setCurrentWidget(form.TabSheet3);
    form.show();
    form.ProgressBar2->show();
    const auto t0 = Clock::now();
    for (int i = 0; i < 903; ++i) {
        form.ProgressBar2->setValue(i % 902);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    std::printf("window share of a read (903 progress steps with the event loop served): %.0f ms\n",
                Ms(Clock::now() - t0));
    form.ProgressBar2->hide();
}

int ReadCost(TForm1& form, const QTemporaryDir& folder) {
    TSimProcess sim;
    if (!sim.Start(QStringList{"--link", folder.path() + "/COM3", "--pacing", "on",
                               "--archive-records", "902", "--no-noise"})) {
        std::fprintf(stderr, "simulator: %s\n", sim.Error().toLocal8Bit().constData());
        return 1;
    }
    if (!OpenPort(3)) {
        std::fprintf(stderr, "open: %s\n", LastOpenProblem.English.c_str());
        return 1;
    }
    form.PageControl1->setCurrentWidget(form.TabSheet3);
    form.show();
    // Each kept read and the discarded one: a 19-byte request, a reply of header, id, record
    // and checksum.
    const double request = FrameSize(1),
                 reply = FrameSize(ObjectTable[Obj::ArchiveEntry].EncodedSize);
    const double wire = 903 * (request + reply) * 10 / 115.2;
    // Alternately the fetch loop alone (the benchmark's own client of the simulator: how close
    // its pacing comes to a real line) and the program's whole read from the tab. A busy machine
    // only ever adds time, so the best round is the one to compare with the wire.
    std::vector<double> alone, ratios;
    for (int r = 0; r < 3; ++r) {
        auto t0 = Clock::now();
        if (!ReadArchive().Completed) {
            std::fprintf(stderr, "fetch loop failed\n");
            return 1;
        }
        alone.push_back(Ms(Clock::now() - t0) / wire);
        QThread::msleep(2100); // the device starts the next read at its lead-in
        t0 = Clock::now();
        Button4Click(form);
        const double elapsed = Ms(Clock::now() - t0);
        if (!ArchiveLoaded) {
            std::fprintf(stderr, "read failed\n");
            return 1;
        }
        ratios.push_back(elapsed / wire);
        std::printf("round %d: fetch loop alone ratio %.3f; archive read %.0f ms, wire time %.0f "
                    "ms, ratio %.3f\n",
                    r + 1, alone.back(), elapsed, wire, ratios.back());
        QThread::msleep(2100);
    }
    std::printf("fetch loop alone against the two-way wire time: best %.3f, median %.3f\n",
                *std::min_element(alone.begin(), alone.end()), Median(alone));
    ClosePort();
    std::printf("archive read against the two-way wire time: best %.3f, median %.3f\n",
                *std::min_element(ratios.begin(), ratios.end()), Median(ratios));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work; // archive.txt and the port folder
    QDir::setCurrent(work.path());
    SetPortFolder(work.path().toStdString());
    ComputeEncodedSizes(ObjectTable, ObjectTableCount);
    TForm1 form;
    WireMainWindow(form);
    form.Timer1->stop();
    form.Timer2->stop();
    PageCosts(form);
    const int rc = ReadCost(form, work);
    SetPortFolder({});
    return rc;
}
