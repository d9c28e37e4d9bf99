#include "views/DoseView.h"

#include <cmath>
#include <qcustomplot.h>
#include <vector>

#include "base/Clock.h"
#include "base/Language.h"
#include "link/Catalogue.h"
#include "link/ObjectRequests.h"
#include "ui/Forms.h"
#include "views/DoseSeries.h"
#include "views/LiveFormat.h"
#include "views/Numbers.h"

float ChartMax = 0;
double LastPointTime = 0;
TDoseSeries DoseSeries;

// What Series1 holds now: every point of DoseSeries in order, or an envelope rebuilt per point.
static bool GraphHoldsAllPoints = true;

static QColor FillColour(TFillColour colour) {
    switch (colour) {
    case TFillColour::Green:
        return QColor(0, 128, 0);
    case TFillColour::Yellow:
        return QColor(255, 255, 0);
    default:
        return QColor(255, 0, 0);
    }
}

void ClearDoseValues(TForm1& form) {
    const QString none = NoValueText();
    for (QLabel* label : {form.Label2, form.Label6, form.Label9})
        label->setText(none);
    ClearAverageLine(form);
    ChartMax = 0;
}

void ShowMeasurement(TForm1& form) {
    const TMeasurementData& m = MeasurementData;
    form.Label4->setText(FormatFixed(m.Uncertainty, 15, 0) + QLatin1Char('%'));
    form.Image1->setVisible(true);

    if (LanguageIndex == 0 || LanguageIndex == 1) {
        const bool english = LanguageIndex == 1;
        TDoseText text;
        if (FormatDoseValue(static_cast<float>(double(m.DoseRate) * 1000000), text)) {
            form.Label3->setText(DoseUnitText(text.Unit, false, english));
            form.Label2->setText(text.Value);
        }
        if (FormatDoseValue(static_cast<float>(double(m.Dose) * 1000000), text)) {
            form.Label7->setText(DoseUnitText(text.Unit, true, english));
            form.Label6->setText(text.Value);
        }
        form.Label9->setText(FormatAccumulationTime(m.AccumulationTime, english));
    }

    const TMemoryFill fill = MemoryFill(m.RecordCount, (m.Status & StatusMemoryFull) != 0);
    form.Label41->setText(fill.Text);
    form.ProgressBar1->setValue(fill.Position);
    if (fill.Colour != TFillColour::Keep) SetBarColor(form.ProgressBar1, FillColour(fill.Colour));

    const QColor alarm(255, 0, 0);
    SetFontColor(form.Label2, m.Status & StatusDoseRateAlarm ? alarm : WindowTextColor());
    SetFontColor(form.Label6, m.Status & StatusDoseAlarm ? alarm : WindowTextColor());
}

static void UseStandardTimeLabels(QCPAxis* axis) {
    if (auto ticker = axis->ticker().dynamicCast<QCPAxisTickerDateTime>())
        if (ticker->dateTimeSpec() != Qt::UTC) ticker->setDateTimeSpec(Qt::UTC);
}

static int PlotColumns(const TForm1& form) {
    const int width = form.Chart1->axisRect()->width();
    // Before the window is laid out the plot has no width yet; assume the designed one.
    return width > 50 ? width : 600;
}

void RefreshDoseChart(TForm1& form) {
    QCPGraph* points = form.Series1;
    if (DoseSeries.Empty()) {
        points->data()->clear();
        form.Series3->data()->clear();
        GraphHoldsAllPoints = true;
        // The minute up to now, rather than the axis' bare 0..1, which reads as 01.01.70.
        const double now = ChartKey(ChartTime(NowSeconds()));
        form.Chart1->xAxis->setRange(now - 60, now);
        UseStandardTimeLabels(form.Chart1->xAxis);
        form.Chart1->replot(QCustomPlot::rpQueuedReplot);
        return;
    }
    const int columns = PlotColumns(form);
    const size_t n = DoseSeries.Size();
    if (DoseSeries.AllPoints(columns) && GraphHoldsAllPoints &&
        size_t(points->data()->size()) + 1 == n) {
        // Short series: the graph takes the new point as it is.
        points->addData(ChartKey(DoseSeries.X(n - 1)), DoseSeries.Y(n - 1));
    } else {
        static std::vector<TDosePoint> envelope;
        DoseSeries.Envelope(columns, envelope);
        QVector<double> keys(int(envelope.size())), values(int(envelope.size()));
        for (size_t i = 0; i < envelope.size(); ++i) {
            keys[int(i)] = ChartKey(envelope[i].X);
            values[int(i)] = envelope[i].Y;
        }
        points->setData(keys, values, DoseSeries.Ordered());
        GraphHoldsAllPoints = DoseSeries.AllPoints(columns);
    }

    // The average of all points, from the first to the last time, kept as a running sum.
    const double mean = DoseSeries.Mean();
    const double first = ChartKey(DoseSeries.MinX()), last = ChartKey(DoseSeries.MaxX());
    form.Series3->setData(QVector<double>{first, last}, QVector<double>{mean, mean}, true);

    // A single point gets a second either side, so that the axis has a span.
    form.Chart1->xAxis->setRange(last > first ? first : first - 1, last > first ? last : last + 1);
    UseStandardTimeLabels(form.Chart1->xAxis);
    form.Chart1->replot(QCustomPlot::rpQueuedReplot);
}

void PlotMeasurement(TForm1& form) {
    const float y = static_cast<float>(double(MeasurementData.DoseRate) * 1000000);
    const double t = ChartTime(NowSeconds());
    // A value that is not a finite number can neither be drawn nor be a maximum: it would
    // poison the average and the axis for the rest of the run.
    const bool finite = std::isfinite(y);
    if (form.CheckBox1->isChecked() && t != LastPointTime && finite) {
        DoseSeries.Append(t, y);
        RefreshDoseChart(form);
    }
    LastPointTime = t;
    if (finite && y > ChartMax) ChartMax = y;

    QCPAxis* axis = form.Chart1->yAxis;
    if (ChartMax > 0) {
        axis->setRange(0, DoseAxisMax(ChartMax));
    } else {
        // Automatic: the largest value drawn, the minimum staying at 0.
        const double top = DoseSeries.Empty() ? 0 : DoseSeries.MaxY();
        axis->setRange(0, top > 0 ? top : 1);
    }
    form.Chart1->replot(QCustomPlot::rpQueuedReplot);
}

void Button3Click(TForm1&) {
    DeviceCommand = 1;
    WriteObject(Obj::DeviceCommand);
}

void Button6Click(TForm1& form) {
    ClearDoseSeries(form);
    ChartMax = 0;
}

void ClearDoseSeries(TForm1& form) {
    DoseSeries.Clear();
    RefreshDoseChart(form);
}

void ClearAverageLine(TForm1& form) {
    form.Series3->data()->clear();
    form.Chart1->replot(QCustomPlot::rpQueuedReplot);
}

std::vector<TMenuEntry> Chart1Menu(TForm1& form) {
    return {
        {SavePngText(), [&form] { SaveWidgetPng(form.Chart1); }},
        {MenuText("Сохранить как CSV…", "Save as CSV…"),
         [&form] {
             SaveTextAs(&form, QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"),
                        DoseSeriesCsv(DoseSeries));
         }},
    };
}
