#include <cmath>
#include <qcustomplot.h>

#include "FormFixture.h"
#include "views/LiveFormat.h"

namespace {

class DoseView : public FormTest {
  protected:
    void Measure(float svPerHour, uint8_t status = StatusNewMeasurement) {
        MeasurementData.DoseRate = svPerHour;
        MeasurementData.Status = status;
        ShowMeasurement(*form);
        PlotMeasurement(*form);
    }
    int Points() const { return form->Series1->data()->size(); }
    double AxisMax() const { return form->Chart1->yAxis->range().upper; }
};

TEST_F(DoseView, ShowsValuesUnitsFillAndAlarms) {
    QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
    TMeasurementData& m = MeasurementData;
    m.DoseRate = 1.23e-7f;
    m.Dose = 2.5e-3f; // 2500 uSv
    m.AccumulationTime = 2 * 86400 + 3 * 3600 + 4 * 60;
    m.Uncertainty = 12.4f;
    m.RecordCount = 857;
    m.Status = StatusDoseRateAlarm | StatusNewMeasurement;
    ShowMeasurement(*form);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("0,123"));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("мкЗв/ч"));
    EXPECT_EQ(form->Label6->text(), QStringLiteral("2,500"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("мЗв"));
    EXPECT_EQ(form->Label9->text(), QStringLiteral(" 2 дня 3 ч 4 мин"));
    EXPECT_EQ(form->Label4->text(), QStringLiteral("12%"));
    EXPECT_FALSE(form->Image1->isHidden());
    EXPECT_EQ(form->Label41->text(), QStringLiteral("95%"));
    EXPECT_EQ(form->ProgressBar1->value(), 857);
    EXPECT_EQ(BarColor(form->ProgressBar1), QColor(255, 0, 0));
    EXPECT_EQ(FontColor(form->Label2), QColor(255, 0, 0));
    EXPECT_EQ(FontColor(form->Label6), WindowTextColor());

    LanguageIndex = 1;
    m.Status = StatusDoseAlarm | StatusMemoryFull;
    m.RecordCount = 10;
    ShowMeasurement(*form);
    EXPECT_EQ(form->Label3->text(), QStringLiteral("uSv/h"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("mSv"));
    EXPECT_EQ(form->Label9->text(), QStringLiteral(" 2 days 3 h 4 min"));
    EXPECT_EQ(form->Label41->text(), QStringLiteral("100%"));
    EXPECT_EQ(form->ProgressBar1->value(), 902);
    EXPECT_EQ(FontColor(form->Label2), WindowTextColor());
    EXPECT_EQ(FontColor(form->Label6), QColor(255, 0, 0));
}

TEST_F(DoseView, NanOrUnknownLanguageKeepTheValueLabels) {
    MeasurementData.DoseRate = 5e-6f;
    MeasurementData.Dose = 1e-6f;
    MeasurementData.RecordCount = 100;
    ShowMeasurement(*form);
    const QString rate = form->Label2->text(), unit = form->Label3->text();

    MeasurementData.DoseRate = std::nanf("");
    ShowMeasurement(*form);
    EXPECT_EQ(form->Label2->text(), rate);
    EXPECT_EQ(form->Label3->text(), unit);
    EXPECT_EQ(form->Label6->text(), QStringLiteral("1.000")); // the dose is still shown

    LanguageIndex = 7;
    MeasurementData.DoseRate = 2e-3f;
    MeasurementData.AccumulationTime = 3600;
    MeasurementData.Uncertainty = 30;
    MeasurementData.RecordCount = 722;
    ShowMeasurement(*form);
    EXPECT_EQ(form->Label2->text(), rate);
    EXPECT_NE(form->Label9->text(), QStringLiteral(" 1 ч 0 мин"));
    EXPECT_EQ(form->Label4->text(), QStringLiteral("30%"));
    EXPECT_EQ(form->Label41->text(), QStringLiteral("80%"));
    EXPECT_EQ(BarColor(form->ProgressBar1), QColor(255, 255, 0));
}

TEST_F(DoseView, OnePointPerSecondAndTheAxisFollowsEveryValue) {
    Measure(0.2e-6f);
    Measure(0.35e-6f); // same second: not drawn, but the largest value so far
    EXPECT_EQ(Points(), 1);
    EXPECT_NEAR(AxisMax(), 0.4, 1e-6);
    TestNow() += 1;
    Measure(0.1e-6f);
    ASSERT_EQ(Points(), 2);
    // Keys are seconds of local standard time, as the date-time ticker counts.
    EXPECT_NEAR(form->Series1->data()->at(1)->key - form->Series1->data()->at(0)->key, 1.0, 1e-6);
    EXPECT_NEAR(form->Series1->data()->at(0)->key, (ChartTime(TestNow() - 1) - 25569) * 86400,
                1e-3);
    // The average line spans the points at their mean.
    ASSERT_EQ(form->Series3->data()->size(), 2);
    EXPECT_NEAR(form->Series3->data()->at(0)->value, 0.15, 1e-6);
    EXPECT_DOUBLE_EQ(form->Series3->data()->at(0)->key, form->Series1->data()->at(0)->key);
    EXPECT_DOUBLE_EQ(form->Series3->data()->at(1)->key, form->Series1->data()->at(1)->key);

    form->CheckBox1->setChecked(false);
    TestNow() += 1;
    Measure(0.7e-6f);
    EXPECT_EQ(Points(), 2);
    EXPECT_NEAR(AxisMax(), 0.8, 1e-6);
    form->CheckBox1->setChecked(true);
    TestNow() += 5;
    Measure(0.1e-6f);
    ASSERT_EQ(Points(), 3);
    EXPECT_DOUBLE_EQ(LastPointTime, ChartTime(TestNow()));
}

TEST_F(DoseView, ClearingKeepsTheAxisUntilTheNextValue) {
    Measure(0.7e-6f);
    TestNow() += 1;
    Measure(0.3e-6f);
    Button6Click(*form);
    EXPECT_EQ(Points(), 0);
    EXPECT_EQ(form->Series3->data()->size(), 0);
    EXPECT_EQ(ChartMax, 0.0f);
    EXPECT_NEAR(AxisMax(), 0.8, 1e-6);
    TestNow() += 1;
    Measure(0.07e-6f);
    EXPECT_EQ(Points(), 1);
    EXPECT_NEAR(AxisMax(), 0.08, 1e-6);

    // Emptying the average line alone keeps the points, and the next point brings it back
    // over all of them.
    ClearAverageLine(*form);
    EXPECT_EQ(form->Series3->data()->size(), 0);
    TestNow() += 1;
    Measure(0.03e-6f);
    EXPECT_EQ(Points(), 2);
    ASSERT_EQ(form->Series3->data()->size(), 2);
    EXPECT_NEAR(form->Series3->data()->at(0)->value, 0.05, 1e-6);
}

TEST_F(DoseView, NonFiniteValueIsNeitherDrawnNorAMaximum) {
    Measure(0.2e-6f);
    TestNow() += 1;
    Measure(INFINITY);
    TestNow() += 1;
    Measure(std::nanf(""));
    EXPECT_EQ(Points(), 1);
    EXPECT_NEAR(ChartMax, 0.2f, 1e-6);
    EXPECT_TRUE(std::isfinite(AxisMax()));
    EXPECT_NEAR(form->Series3->data()->at(0)->value, 0.2, 1e-6);
}

// A long series reaches the graph as an envelope no wider than the plot allows, and keeps
// every extreme.
TEST_F(DoseView, LongSeriesIsDrawnAsAnEnvelope) {
    const double start = ChartTime(TestNow());
    for (int i = 0; i < 50000; ++i)
        DoseSeries.Append(start + i / 86400.0, i == 31337 ? 9.0f : float(i % 10) / 10);
    TestNow() += 50000;
    Measure(0.5e-6f);
    EXPECT_LE(Points(), 2 * 1000); // the plot is under 1000 pixels wide
    double top = 0;
    for (auto it = form->Series1->data()->constBegin(); it != form->Series1->data()->constEnd();
         ++it)
        top = std::max(top, it->value);
    EXPECT_DOUBLE_EQ(top, 9.0);
    EXPECT_NEAR(form->Series3->data()->at(0)->value, DoseSeries.Mean(), 1e-9);
}

TEST_F(DoseView, DoseResetWithoutDeviceSaysConnectionError) {
    Button3Click(*form);
    EXPECT_EQ(DeviceCommand, 1);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("Ошибка связи"));
}

} // namespace
