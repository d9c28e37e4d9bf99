#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "tests/support/TimeZone.h"
#include "views/DoseSeries.h"
#include "views/LiveFormat.h"

namespace {

// A value pattern with peaks in odd places, so a bucket that misses a point shows.
float Value(size_t i) {
    return float((i * 7919) % 1000) / 10.0f - 20.0f;
}

TEST(DoseSeries, RunningMeanRangeAndClear) {
    TDoseSeries s;
    s.Append(10.0, 1.0f);
    s.Append(11.0, 4.0f);
    s.Append(12.0, -2.0f);
    s.Append(13.0, std::nanf("")); // not stored
    s.Append(14.0, INFINITY);      // not stored
    EXPECT_EQ(s.Size(), 3u);
    EXPECT_DOUBLE_EQ(s.Mean(), 1.0);
    EXPECT_DOUBLE_EQ(s.MinX(), 10.0);
    EXPECT_DOUBLE_EQ(s.MaxX(), 12.0);
    EXPECT_FLOAT_EQ(s.MaxY(), 4.0f);
    EXPECT_FLOAT_EQ(s.MinY(), -2.0f);
    EXPECT_TRUE(s.Ordered());
    s.Append(9.0, 0.0f); // the PC clock set back
    EXPECT_FALSE(s.Ordered());
    EXPECT_DOUBLE_EQ(s.MinX(), 9.0);

    s.Clear();
    EXPECT_TRUE(s.Empty());
    EXPECT_DOUBLE_EQ(s.Mean(), 0.0);
    EXPECT_TRUE(s.Ordered());
    s.Append(20.0, 3.0f);
    EXPECT_DOUBLE_EQ(s.Mean(), 3.0);
    EXPECT_FLOAT_EQ(s.MaxY(), 3.0f);
}

// The envelope's pairs split the series into consecutive groups of similar length, each holding
// exactly the minimum and maximum of its points, whether read from the points while the series
// is short or from the stored levels when it is long.
TEST(DoseSeries, EnvelopeGroupsCoverEveryPointWithItsExtremes) {
    struct Case {
        size_t points;
        int columns;
    };
    const Case cases[] = {{10, 5}, {11, 5}, {700, 100}, {1601, 100}, {5000, 100}, {100003, 700}};
    for (const Case& c : cases) {
        TDoseSeries s;
        for (size_t i = 0; i < c.points; ++i)
            s.Append(1000.0 + double(i), Value(i));
        std::vector<TDosePoint> out;
        s.Envelope(c.columns, out);
        if (c.points <= 2 * size_t(c.columns)) {
            ASSERT_EQ(out.size(), c.points);
            for (size_t i = 0; i < c.points; ++i)
                EXPECT_FLOAT_EQ(float(out[i].Y), Value(i));
            continue;
        }
        ASSERT_EQ(out.size(), 2 * size_t(c.columns)) << c.points;
        ASSERT_DOUBLE_EQ(out[0].X, 1000.0);
        for (size_t g = 0; g < size_t(c.columns); ++g) {
            const size_t first = size_t(out[2 * g].X - 1000.0);
            const size_t end =
                g + 1 < size_t(c.columns) ? size_t(out[2 * g + 2].X - 1000.0) : c.points;
            ASSERT_LT(first, end) << c.points << " group " << g;
            EXPECT_LE(end - first, 4 * c.points / size_t(c.columns)) << c.points << " group " << g;
            float lo = Value(first), hi = Value(first);
            for (size_t i = first; i < end; ++i) {
                lo = std::min(lo, Value(i));
                hi = std::max(hi, Value(i));
            }
            EXPECT_FLOAT_EQ(float(out[2 * g].Y), lo) << c.points << " group " << g;
            EXPECT_FLOAT_EQ(float(out[2 * g + 1].Y), hi) << c.points << " group " << g;
        }
    }
}

TEST(DoseSeries, AWeekOfPointsStaysSmall) {
    TDoseSeries s;
    const size_t week = 604800;
    for (size_t i = 0; i < week; ++i)
        s.Append(45000.0 + double(i) / 86400, Value(i));
    EXPECT_LT(double(s.MemoryBytes()) / double(week), 48.0);
    std::vector<TDosePoint> out;
    s.Envelope(700, out);
    EXPECT_LE(out.size(), 1400u);
}

} // namespace

namespace {

TEST(DoseSeriesCsv, EveryPointAsTheChartShowsItWithTheOffset) {
    struct Case {
        const char* zone;
        int64_t now;
        const char* csv;
    };
    // In summer too the chart counts standard time, and the offset written says which.
    const Case cases[] = {
        {"MSK-3", 1700000000,
         "time,dose_rate,unit\r\n2023-11-15T01:13:20+03:00,0.15,uSv/h\r\n"
         "2023-11-15T01:13:21+03:00,12.8203125,uSv/h\r\n"},
        {"EST5EDT,M3.2.0,M11.1.0", 1720000000,
         "time,dose_rate,unit\r\n2024-07-03T04:46:40-05:00,0.15,uSv/h\r\n"
         "2024-07-03T04:46:41-05:00,12.8203125,uSv/h\r\n"},
        {"IST-5:30", 0,
         "time,dose_rate,unit\r\n1970-01-01T05:30:00+05:30,0.15,uSv/h\r\n"
         "1970-01-01T05:30:01+05:30,12.8203125,uSv/h\r\n"},
    };
    for (const Case& c : cases) {
        TScopedTimeZone zone(c.zone);
        TDoseSeries series;
        series.Append(ChartTime(c.now), 0.15f);
        series.Append(ChartTime(c.now + 1), 12.8203125f); // nine digits to read back
        EXPECT_EQ(DoseSeriesCsv(series), c.csv) << c.zone;
    }
    EXPECT_EQ(DoseSeriesCsv(TDoseSeries()), "time,dose_rate,unit\r\n");
}

} // namespace
