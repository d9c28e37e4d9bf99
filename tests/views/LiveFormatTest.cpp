#include <QLocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

#include "views/LiveFormat.h"

namespace {

// Runs each test under both decimal separators: the texts are written with '.', and ',' is
// expected under the Russian locale.
class LocaleTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override { QLocale::setDefault(QLocale(QString::fromLatin1(GetParam()))); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    QString Local(const char* text) const {
        QString s = QString::fromUtf8(text);
        if (QLocale().decimalPoint() == QStringLiteral(",")) s.replace('.', ',');
        return s;
    }
};

TEST_P(LocaleTest, DoseValueUnitAndDecimals) {
    struct Case {
        float x;
        const char* value;
        TDoseUnit unit;
    };
    const Case cases[] = {
        {1.23e-7f * 1000000, "0.123", TDoseUnit::Micro},
        {9.9996f, "10.000", TDoseUnit::Micro}, // below 10 before rounding: three decimals
        {15.5f, "15.50", TDoseUnit::Micro},
        {999.97f, "1000.0", TDoseUnit::Micro},
        {1000.0f, "1.000", TDoseUnit::Milli},
        {123456.0f, "123.5", TDoseUnit::Milli},
        {999999.0f, "1000.0", TDoseUnit::Milli},
        {1000000.0f, "1.000", TDoseUnit::Whole}, // skips the milli step
        {2.5e9f, "2500.0", TDoseUnit::Whole},
        {-12.5f, "-12.500", TDoseUnit::Micro},
        {0.0f, "0.000", TDoseUnit::Micro},
    };
    for (const Case& c : cases) {
        TDoseText text;
        ASSERT_TRUE(FormatDoseValue(c.x, text)) << c.x;
        EXPECT_EQ(text.Value, Local(c.value)) << c.x;
        EXPECT_EQ(text.Unit, c.unit) << c.x;
    }
    TDoseText untouched{QStringLiteral("old"), TDoseUnit::Milli};
    EXPECT_FALSE(FormatDoseValue(std::nanf(""), untouched));
    EXPECT_EQ(untouched.Value, QStringLiteral("old"));
}

TEST_P(LocaleTest, MemoryFillPercentBarAndColour) {
    struct Case {
        uint32_t records;
        bool full;
        const char* text;
        int position;
        TFillColour colour;
    };
    const Case cases[] = {
        {0, false, "0%", 0, TFillColour::Green},
        {721, false, "80%", 721, TFillColour::Green},
        {722, false, "80%", 722, TFillColour::Yellow},
        {856, false, "95%", 856, TFillColour::Yellow},
        {857, false, "95%", 857, TFillColour::Red},
        {902, false, "100%", 902, TFillColour::Red},
        {5000, false, "554%", 902, TFillColour::Red}, // the bar cannot run past full
        {17, true, "100%", 902, TFillColour::Red},
    };
    for (const Case& c : cases) {
        const TMemoryFill fill = MemoryFill(c.records, c.full);
        EXPECT_EQ(fill.Text, QString::fromLatin1(c.text)) << c.records;
        EXPECT_EQ(fill.Position, c.position) << c.records;
        EXPECT_EQ(fill.Colour, c.colour) << c.records;
    }
}

INSTANTIATE_TEST_SUITE_P(DecimalSeparators, LocaleTest, ::testing::Values("ru_RU", "en_US"));

TEST(LiveFormat, UnitTexts) {
    EXPECT_EQ(DoseUnitText(TDoseUnit::Micro, false, false), QStringLiteral("мкЗв/ч"));
    EXPECT_EQ(DoseUnitText(TDoseUnit::Milli, true, false), QStringLiteral("мЗв"));
    EXPECT_EQ(DoseUnitText(TDoseUnit::Whole, false, true), QStringLiteral("Sv/h"));
    EXPECT_EQ(DoseUnitText(TDoseUnit::Micro, true, true), QStringLiteral("uSv"));
}

TEST(LiveFormat, AccumulationTime) {
    struct Case {
        uint32_t seconds;
        bool english;
        const char* text;
    };
    const Case cases[] = {
        {0, false, " 0 мин"},
        {59, false, " 0 мин"},
        {60, false, " 1 мин"},
        {3600, false, " 1 ч 0 мин"},
        {3600 + 59 * 60 + 59, false, " 1 ч 59 мин"},
        {86400, false, " 1 день 0 ч 0 мин"},
        {2 * 86400 + 3 * 3600 + 4 * 60, false, " 2 дня 3 ч 4 мин"},
        {3 * 86400, false, " 3 дня 0 ч 0 мин"},
        {4 * 86400, false, " 4 дней 0 ч 0 мин"},
        {21 * 86400 + 60, false, " 21 дней 0 ч 1 мин"},
        {86400, true, " 1 day 0 h 0 min"},
        {2 * 86400 + 3661, true, " 2 days 1 h 1 min"},
        {3661, true, " 1 h 1 min"},
        {59, true, " 0 min"},
        {4294967295u, true, " 49710 days 6 h 28 min"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatAccumulationTime(c.seconds, c.english), QString::fromUtf8(c.text))
            << c.seconds;
}

TEST(LiveFormat, RemainingTime) {
    struct Case {
        uint32_t seconds;
        bool english;
        const char* text;
    };
    const Case cases[] = {
        {0, false, "0 мин"},          {3599, false, "59 мин"},     {3600, false, "1 час 0 мин"},
        {7260, false, "2 час 1 мин"}, {5400, true, "1 hr 30 min"}, {59, true, "0 min"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatRemainingTime(c.seconds, c.english), QString::fromUtf8(c.text))
            << c.seconds;
}

TEST(LiveFormat, AxisMaxima) {
    EXPECT_NEAR(DoseAxisMax(0.35f), 0.4, 1e-7);
    EXPECT_NEAR(DoseAxisMax(7.0f), 8.0, 1e-9);
    EXPECT_EQ(SpectrumAxisMax(100), 114);
    EXPECT_EQ(SpectrumAxisMax(6), 6);
    EXPECT_EQ(SpectrumAxisMax(150), 171);
    EXPECT_EQ(SpectrumAxisMax(INT32_MAX), int64_t(INT32_MAX) + INT32_MAX / 7);
}

TEST(LiveFormat, ChartTimeIsLocalStandardTime) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    // New York in summer: the chart still uses the standard offset, five hours west.
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    const int64_t july = 1720000000; // 2024-07-03, daylight saving in force
    EXPECT_DOUBLE_EQ(ChartTime(july), (july - 5 * 3600) / 86400.0 + 25569);
    setenv("TZ", "UTC0", 1);
    EXPECT_DOUBLE_EQ(ChartTime(0), 25569.0);
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace
