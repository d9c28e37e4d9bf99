// Cost of one new dose-rate point (PlotMeasurement and the chart's redraw) with an hour and with
// a week of points already on the chart, and the memory each stored point takes. Offscreen.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <qcustomplot.h>
#include <vector>

#include "app/Wiring.h"
#include "base/Clock.h"
#include "link/Catalogue.h"
#include "ui/Forms.h"
#include "views/DoseSeries.h"
#include "views/DoseView.h"
#include "views/LiveFormat.h"

namespace {

int64_t Now = 1700000000;
int64_t BenchNow() {
    return Now;
}

float Value(size_t i) {
    return 0.1f + float((i * 7919) % 1000) / 5000.0f;
}

double Median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Milliseconds of one new point and its redraw, appended to `ms`.
void PointCost(TForm1& form, size_t points, int rounds, std::vector<double>& ms) {
    ClearDoseSeries(form);
    ChartMax = 0;
    const double start = ChartTime(Now);
    for (size_t i = 0; i < points; ++i)
        DoseSeries.Append(start + double(i) / 86400, Value(i));
    Now += int64_t(points);
    for (int r = -3; r < rounds; ++r) { // three rounds to warm up
        MeasurementData.DoseRate = Value(size_t(r + 3)) * 1e-6f;
        ++Now;
        const auto t0 = std::chrono::steady_clock::now();
        PlotMeasurement(form);
        form.Chart1->replot();
        const auto t1 = std::chrono::steady_clock::now();
        if (r >= 0) ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
}

// The same with every point handed to the graph, for comparison.
double AllPointsCost(TForm1& form, size_t points, int rounds) {
    QCPGraph* graph = form.Series1;
    QVector<double> keys(static_cast<int>(points)), values(static_cast<int>(points));
    for (size_t i = 0; i < points; ++i) {
        keys[int(i)] = double(i);
        values[int(i)] = Value(i);
    }
    graph->setData(keys, values, true);
    form.Chart1->xAxis->setRange(0, double(points));
    std::vector<double> ms;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        graph->addData(double(points + size_t(r)), 0.2);
        form.Chart1->replot();
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    graph->data()->clear();
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TForm1 form;
    WireMainWindow(form);
    form.Timer1->stop();
    form.Timer2->stop();
    form.show();
    app.processEvents();
    SetNowFunction(BenchNow);
    MeasurementData.Status = StatusNewMeasurement;

    const size_t hour = 3600, week = 604800;
    const double rawHour = AllPointsCost(form, hour, 20);
    const double rawWeek = AllPointsCost(form, week, 5);
    std::printf("every point drawn:  hour %.3f ms  week %.3f ms  ratio %.2f\n", rawHour, rawWeek,
                rawWeek / rawHour);

    // Hour and week blocks take turns, so that a change of load on the machine hits both alike.
    std::vector<double> hourSamples, weekSamples;
    int hourGraph = 0, weekGraph = 0;
    for (int block = 0; block < 5; ++block) {
        PointCost(form, hour, 20, hourSamples);
        hourGraph = form.Series1->data()->size();
        PointCost(form, week, 20, weekSamples);
        weekGraph = form.Series1->data()->size();
    }
    const double hourMs = Median(hourSamples), weekMs = Median(weekSamples);
    std::printf("one new point:      hour %.3f ms (%d drawn)  week %.3f ms (%d drawn)\n", hourMs,
                hourGraph, weekMs, weekGraph);
    std::printf("memory per stored point at a week: %.1f bytes\n",
                double(DoseSeries.MemoryBytes()) / double(DoseSeries.Size()));
    SetNowFunction(nullptr);
    std::printf("week/hour ratio: %.2f\n", weekMs / hourMs);
    return 0;
}
