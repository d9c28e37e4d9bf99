#include <qcustomplot.h>

#include "FormFixture.h"

namespace {

class SpectrumView : public FormTest {
  protected:
    // Channel i (1-based) counts i * scale, so the largest is channel 14.
    void Read(uint32_t scale) {
        for (int i = 0; i < SpectrumChannels; ++i)
            SpectrumData.Counts[i] = uint32_t(i + 1) * scale;
        ShowSpectrum(*form);
    }
    double Bar(int channel) const {
        auto it = form->Series2->data()->findBegin(channel, false);
        return it->mainValue();
    }
    double AxisMax() const { return form->Chart2->yAxis->range().upper; }
};

TEST_F(SpectrumView, TableHoldsChannelsAndFixedEnergyTexts) {
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    InitSpectrumTable(*form);
    EXPECT_EQ(form->StringGrid1->Cell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(form->StringGrid1->Cell(1, 1), QStringLiteral("0,07"));
    EXPECT_EQ(form->StringGrid1->Cell(0, 14), QStringLiteral("14"));
    EXPECT_EQ(form->StringGrid1->Cell(1, 14), QStringLiteral("3,00"));
}

TEST_F(SpectrumView, DifferentialReadingSetsTableBarsAxisAndSum) {
    for (int i = 0; i < SpectrumChannels; ++i)
        SpectrumData.Counts[i] = 1;
    SpectrumData.Counts[6] = 100;
    ShowSpectrum(*form);
    EXPECT_EQ(form->Series2->data()->size(), SpectrumChannels);
    EXPECT_EQ(Bar(7), 100);
    EXPECT_EQ(form->StringGrid1->Cell(2, 7), QStringLiteral("100"));
    EXPECT_EQ(form->StringGrid1->Cell(2, 1), QStringLiteral("1"));
    EXPECT_EQ(AxisMax(), 114);
    EXPECT_EQ(form->Label44->text(), QStringLiteral("113"));

    for (int i = 0; i < SpectrumChannels; ++i)
        SpectrumData.Counts[i] = 0;
    SpectrumData.Counts[0] = 6;
    ShowSpectrum(*form);
    EXPECT_EQ(AxisMax(), 6); // 6 div 7 is 0
}

TEST_F(SpectrumView, IntegralModeShowsSumsSinceStartOrReset) {
    // Sums grow in differential mode too, so ticking the box shows every reading so far.
    Read(1);
    Read(1);
    form->CheckBox2->setChecked(true);
    EXPECT_TRUE(form->Button7->isEnabled());
    Read(1);
    EXPECT_EQ(Bar(14), 42);
    EXPECT_EQ(AxisMax(), 42 + 6);
    // Column 2 and the sum are the latest reading's in both modes.
    EXPECT_EQ(form->StringGrid1->Cell(2, 14), QStringLiteral("14"));
    EXPECT_EQ(form->Label44->text(), QStringLiteral("105"));

    Button7Click(*form);
    Read(1);
    EXPECT_EQ(Bar(14), 14);
    EXPECT_EQ(Bar(1), 1);

    Button7Click(*form);
    for (int i = 0; i < SpectrumChannels; ++i)
        SpectrumData.Counts[i] = 0;
    SpectrumData.Counts[3] = 50;
    for (int k = 0; k < 3; ++k)
        ShowSpectrum(*form);
    EXPECT_EQ(Bar(4), 150);
    EXPECT_EQ(AxisMax(), 171);

    form->CheckBox2->setChecked(false);
    EXPECT_FALSE(form->Button7->isEnabled());
}

TEST_F(SpectrumView, AllZeroGoesAutomaticAndKeepsTheSum) {
    Read(10);
    ASSERT_EQ(form->Label44->text(), QStringLiteral("1050"));
    Read(0);
    EXPECT_EQ(Bar(14), 0);
    EXPECT_EQ(form->Label44->text(), QStringLiteral("1050"));
    EXPECT_GT(AxisMax(), 0);
    EXPECT_EQ(form->StringGrid1->Cell(2, 14), QStringLiteral("0"));
}

TEST_F(SpectrumView, SumsAndTotalWrapAtThirtyTwoBits) {
    const QString before = form->Label44->text();
    SpectrumSums[0] = INT32_MAX;
    for (int i = 0; i < SpectrumChannels; ++i)
        SpectrumData.Counts[i] = 0;
    SpectrumData.Counts[0] = 1;
    SpectrumData.Counts[1] = 0xFFFFFFFFu; // reads as -1 when compared signed
    ShowSpectrum(*form);
    EXPECT_EQ(SpectrumSums[0], INT32_MIN);
    EXPECT_EQ(SpectrumSums[1], -1);
    EXPECT_EQ(form->StringGrid1->Cell(2, 2), QStringLiteral("4294967295"));
    // Largest count read signed is below 1: automatic axis, sum text untouched.
    EXPECT_EQ(form->Label44->text(), before);

    for (int i = 0; i < SpectrumChannels; ++i)
        SpectrumData.Counts[i] = 0x40000000u;
    Button7Click(*form);
    ShowSpectrum(*form);
    EXPECT_EQ(form->Label44->text(), QString::number(int32_t(uint32_t(0x40000000u) * 14)));
}

} // namespace
