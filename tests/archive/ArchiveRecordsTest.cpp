#include <gtest/gtest.h>

#include "ArchiveSlots.h"
#include "archive/ArchiveText.h"
#include "tests/support/TimeZone.h"

#include <string>
#include <vector>

namespace {

class Scan : public ::testing::Test {
  protected:
    void SetUp() override { ClearArchive(); }
    void TearDown() override { ClearArchive(); }
    TScopedTimeZone zone;
};

// A buffer written from a pattern, one character a slot: a digit d is a record at minute d,
// '.' an empty slot, '-' a slot with data but a value of 0. The rest of the buffer stays empty.
void Fill(const std::string& pattern) {
    ClearArchive();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '.') continue;
        TSlotFields s;
        if (c == '-') {
            s.Value = 0;
            s.Minute = 30;
        } else {
            s.Minute = c - '0';
        }
        PutSlot(int(i), s);
    }
}

struct TScanCounts {
    int Pages, Processed;
    std::vector<int> PerPage; // records shown on pages 1, 2, ...
};

TScanCounts Count(int pages) {
    TScanCounts c{0, 0, {}};
    for (int page = 1; page <= pages; ++page) {
        int processed = 0;
        const TScanResult r = ScanArchive(page, [&](const DecodedRecord&) { ++processed; }, {});
        c.Pages = r.PageCount;
        c.Processed = processed;
        c.PerPage.push_back(r.Summary.Count);
    }
    return c;
}

TEST_F(Scan, PagesAndEndOfArchive) {
    struct Case {
        const char* pattern;
        int pages, processed;
        std::vector<int> perPage;
    };
    const Case cases[] = {
        {"", 1, 1, {0}},          // slots 0 and 1 empty: ends at slot 0
        {".1", 2, 3, {0, 1}},     // the records begin on page 2
        {"5.3", 3, 4, {1, 0, 1}}, // empty slot, then an earlier record: an empty page
        {"1-2", 1, 4, {2}},       // a value of 0 with data is no boundary
        {"12-", 1, 3, {2}},       // ... and ends the archive when the next slot is empty
        {"-", 1, 1, {0}},         // ... without changing the page count
        {"55", 1, 3, {2}},        // equal time stamps stay on one page
        {"53", 2, 3, {1, 1}},     // time going back starts a page
        {"1.2", 2, 4, {1, 1}},    // an empty slot between later records
    };
    for (const Case& c : cases) {
        Fill(c.pattern);
        const TScanCounts got = Count(int(c.perPage.size()));
        EXPECT_EQ(got.Pages, c.pages) << c.pattern;
        EXPECT_EQ(got.Processed, c.processed) << c.pattern;
        EXPECT_EQ(got.PerPage, c.perPage) << c.pattern;
    }
}

TEST_F(Scan, LastSlotAndZeroTail) {
    // Every slot full, times rising: one page, the scan stops after slot 901.
    for (int i = 0; i < ArchiveSlotCount; ++i)
        PutSlot(i, TSlotFields{1e-6f, i});
    EXPECT_EQ(Count(1).Pages, 1);
    EXPECT_EQ(Count(1).Processed, 902);
    EXPECT_EQ(Count(1).PerPage[0], 902);
    // Slot 901 empty: the zero tail is the empty slot after it and takes the boundary back.
    std::memset(ArchiveBuffer + 901 * ArchiveSlotSize, 0, ArchiveSlotSize);
    EXPECT_EQ(Count(1).Pages, 1);
    EXPECT_EQ(Count(1).Processed, 902);
    EXPECT_EQ(Count(1).PerPage[0], 901);
    EXPECT_TRUE(IsEmptySlot(902));
}

TEST_F(Scan, SummaryOfAPage) {
    Fill("");
    PutSlot(0, TSlotFields{2.5e-6f, 0});
    TScanResult one = ScanArchive(1, {}, {});
    EXPECT_EQ(one.Summary.Count, 1);
    EXPECT_FLOAT_EQ(one.Summary.Maximum, 2.5f);
    EXPECT_FLOAT_EQ(one.Summary.Minimum, 2.5f);
    EXPECT_FLOAT_EQ(one.Summary.Average(), 2.5f);
    EXPECT_EQ(one.Summary.Duration(), 0);

    PutSlot(1, TSlotFields{0.5e-6f, 90});
    PutSlot(2, TSlotFields{3.0e-6f, 95});
    std::vector<float> maxSoFar;
    const TScanResult three = ScanArchive(
        1, {}, [&](const DecodedRecord&, const PageSummary& s) { maxSoFar.push_back(s.Maximum); });
    EXPECT_EQ(three.Summary.Count, 3);
    EXPECT_FLOAT_EQ(three.Summary.Minimum, 0.5f);
    EXPECT_FLOAT_EQ(three.Summary.Average(), 2.0f);
    EXPECT_EQ(three.Summary.Duration(), 95 * 60);
    ASSERT_EQ(maxSoFar.size(), 3u); // the maximum so far, as each record is shown
    EXPECT_EQ(maxSoFar[1], maxSoFar[0]);
    EXPECT_FLOAT_EQ(maxSoFar[0], 2.5f);
    EXPECT_EQ(maxSoFar[2], three.Summary.Maximum);
    EXPECT_FLOAT_EQ(maxSoFar[2], 3.0f);
}

// The stored coordinates are the device's: scanning never changes them, so repeated scans (a
// read, then page changes) give the very same lines.
TEST_F(Scan, CoordinatesStayAsStored) {
    Fill("");
    PutSlot(0, TSlotFields{1e-6f, 0, MeasurementKind::DoseRate, true, 55.7512f, 37.6184f});
    PutSlot(1, TSlotFields{1e-6f, 1, MeasurementKind::BetaFlux, true, -33.5f, 151.25f});
    std::vector<uint8_t> before(ArchiveBuffer, ArchiveBuffer + ArchiveBufferSize);
    auto lines = [] {
        std::string all;
        ScanArchive(1, [&](const DecodedRecord& r) { all += ExportLine(r); }, {});
        return all;
    };
    const std::string first = lines();
    EXPECT_EQ(first, lines());
    EXPECT_EQ(std::vector<uint8_t>(ArchiveBuffer, ArchiveBuffer + ArchiveBufferSize), before);
    EXPECT_NE(first.find("Lat: 55.7512 Long: 37.6184"), std::string::npos) << first;
    EXPECT_NE(first.find("Lat: -33.5 Long: 151.25"), std::string::npos) << first;
}

// Each record's own date decides summer time: a day across the spring change is 23 hours, and
// the first summer record after winter ones is no boundary.
TEST_F(Scan, SummerTimeByTheRecordsOwnDate) {
    Fill("");
    PutSlot(0, TSlotFields{1e-6f, 0}, 12, 30, 3, 24);   // 2024-03-30 12:00 CET
    PutSlot(1, TSlotFields{1e-6f, 30}, 11, 31, 3, 24);  // 2024-03-31 11:30 CEST
    PutSlot(2, TSlotFields{1e-6f, 10}, 12, 27, 10, 24); // 2024-10-27 12:10 CET again
    std::vector<int32_t> times;
    const TScanResult r = ScanArchive(
        1, {}, [&](const DecodedRecord& d, const PageSummary&) { times.push_back(d.Time); });
    ASSERT_EQ(times.size(), 3u);
    EXPECT_EQ(r.PageCount, 1);
    EXPECT_EQ(times[1] - times[0], 22 * 3600 + 1800);
    EXPECT_EQ(times[0], int32_t(LocalTime(2024, 3, 30, 12, 0, 0)));
    EXPECT_EQ(times[2], int32_t(LocalTime(2024, 10, 27, 12, 10, 0)));
}

} // namespace
