#include <gtest/gtest.h>

#include "ArchiveSlots.h"
#include "archive/ArchiveText.h"
#include "base/Language.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

namespace {

DecodedRecord Record(double value, MeasurementKind kind, int h, int m, int s,
                     bool coordinates = false, float lat = 0, float lon = 0) {
    DecodedRecord r;
    r.Value = value;
    r.Kind = kind;
    r.Hours = h;
    r.Minutes = m;
    r.Seconds = s;
    r.HasCoordinates = coordinates;
    r.Latitude = lat;
    r.Longitude = lon;
    return r;
}

TEST(ExportLine, Forms) {
    using K = MeasurementKind;
    struct Case {
        DecodedRecord record;
        const char* line;
    };
    const Case cases[] = {
        {Record(0, K::DoseRate, 0, 0, 0), "0:0:0 0 G\r\n"}, // an empty slot
        {Record(0.12, K::DoseRate, 9, 5, 7), "9:5:7 0.12 G\r\n"},
        {Record(0.1234567, K::BetaFlux, 23, 59, 59), "23:59:59 0.123457 B\r\n"},
        {Record(250, K::Activity, 12, 0, 0), "12:0:0 250 \r\n"},
        {Record(1234567, K::AlphaFlux, 1, 2, 3), "1:2:3 1.23457e+06 \r\n"},
        {Record(-5, K::DoseRate, 1, 2, 3), "1:2:3 -5 G\r\n"}, // no usable record, still written
        {Record(14.5, K::Activity, 8, 0, 1, true, 55.7512f, 37.6184f),
         "8:0:1 14.5  Lat: 55.7512 Long: 37.6184\r\n"},
        {Record(0.2, K::DoseRate, 8, 0, 1, true, -0.5f, 151.25f),
         "8:0:1 0.2 G Lat: -0.5 Long: 151.25\r\n"},
        {Record(0.2, K::DoseRate, 255, 99, 63), "255:99:63 0.2 G\r\n"}, // no range checks
    };
    // The line is the same whatever decimal separator the operator uses.
    for (const char* locale : {"C", "ru_RU"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        for (const Case& c : cases)
            EXPECT_EQ(ExportLine(c.record), c.line) << c.line;
    }
    QLocale::setDefault(QLocale::c());
}

TEST(ExportLine, AppendsAndDropsWhatCannotBeWritten) {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const DecodedRecord r = Record(0.12, MeasurementKind::DoseRate, 9, 5, 7);
    AppendExportLine(r);
    AppendExportLine(r);
    QFile file(QString::fromLatin1(ExportFileName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("9:5:7 0.12 G\r\n9:5:7 0.12 G\r\n"));
    file.close();
    // A name that cannot be opened as a file: the line is lost, nothing else happens.
    ASSERT_TRUE(file.remove());
    ASSERT_TRUE(QDir().mkdir(QString::fromLatin1(ExportFileName)));
    AppendExportLine(r);
    EXPECT_TRUE(QFileInfo(QString::fromLatin1(ExportFileName)).isDir());
    QDir::setCurrent(before);
}

TEST(ArchiveCells, TimeStampAndValue) {
    DecodedRecord r = Record(1, MeasurementKind::DoseRate, 0, 5, 7);
    r.Day = 3;
    r.Month = 4;
    r.Year = 2019;
    EXPECT_EQ(TimeStampText(r), QStringLiteral("00:05:07 03/04/19"));
    r.Year = 2000 + 123; // a year field of 100 or more keeps all its digits
    r.Hours = 23;
    EXPECT_EQ(TimeStampText(r), QStringLiteral("23:05:07 03/04/123"));

    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ArchiveValueText(0.25), QStringLiteral("0.250"));
    EXPECT_EQ(ArchiveValueText(123.4567), QStringLiteral("123.457"));
    EXPECT_EQ(ArchiveValueText(12345678.0), QStringLiteral("1.23457E7"));
    QLocale::setDefault(QLocale(QLocale::Russian));
    EXPECT_EQ(ArchiveValueText(0.25), QStringLiteral("0,250"));
    EXPECT_TRUE(ValueTextAbove(QStringLiteral("0,250"), 0.2f));
    QLocale::setDefault(QLocale::c());
}

TEST(ArchiveCells, AboveThreshold) {
    EXPECT_TRUE(ValueTextAbove(QStringLiteral("0.001"), 0)); // a threshold never read: all red
    EXPECT_FALSE(ValueTextAbove(QStringLiteral("0.300"), 0.3f));
    EXPECT_TRUE(ValueTextAbove(QStringLiteral("0.301"), 0.3f));
    EXPECT_TRUE(ValueTextAbove(QStringLiteral("1.23457E7"), 1e6f));
    EXPECT_TRUE(ValueTextAbove(QStringLiteral("INF"), 1e6f));
    EXPECT_FALSE(ValueTextAbove(QStringLiteral("abc"), 0));
}

TEST(ArchiveTexts, WorkingTime) {
    struct Case {
        int32_t seconds;
        const char *russian, *english;
    };
    const Case cases[] = {
        {0, " 0 мин", "0 min"},
        {59, " 0 мин", "0 min"},
        {90, " 1 мин", "1 min"},
        {3600, " 1 ч 0 мин", "1 h 0 min"},
        {86400, " 1 день 0 ч 0 мин", "1 day 0 h 0 min"},
        {2 * 86400 + 3 * 3600 + 4 * 60, " 2 дня 3 ч 4 мин", "2 days 3 h 4 min"},
        {3 * 86400, " 3 дня 0 ч 0 мин", "3 days 0 h 0 min"},
        {4 * 86400, " 4 дней 0 ч 0 мин", "4 days 0 h 0 min"},
        {21 * 86400 + 60, " 21 дней 0 ч 1 мин", "21 days 0 h 1 min"},
    };
    for (const Case& c : cases) {
        LanguageIndex = 0;
        EXPECT_EQ(WorkingTimeText(WorkingTime(c.seconds)), QString::fromUtf8(c.russian));
        LanguageIndex = 1;
        EXPECT_EQ(WorkingTimeText(WorkingTime(c.seconds)), QString::fromUtf8(c.english));
    }
    LanguageIndex = 2;
    EXPECT_FALSE(WorkingTimeText(WorkingTime(90)).has_value());
    EXPECT_FALSE(KindHeader(MeasurementKind::DoseRate).has_value());
    LanguageIndex = 0;
}

TEST(ArchiveTexts, KindHeaders) {
    LanguageIndex = 0;
    EXPECT_EQ(KindHeader(MeasurementKind::DoseRate), QStringLiteral("МЭД, мкЗв/ч"));
    EXPECT_EQ(KindHeader(MeasurementKind::AlphaFlux), QStringLiteral("Альфа, 1/(мин*см2)"));
    LanguageIndex = 1;
    EXPECT_EQ(KindHeader(MeasurementKind::Activity), QStringLiteral("VA, Bk/g"));
    EXPECT_EQ(KindHeader(MeasurementKind::BetaFlux), QStringLiteral("Beta, 1/(min*cm2)"));
    LanguageIndex = 0;
}

TEST(ArchiveTexts, DamagedAnswers) {
    LanguageIndex = 1;
    EXPECT_EQ(DamagedAnswersText({12, 400}),
              QStringLiteral("Damaged answers: 2 (records 12, 400). These rows may repeat the "
                             "record before them."));
    std::vector<int> many;
    for (int n = 1; n <= 12; ++n)
        many.push_back(n * 10);
    LanguageIndex = 0;
    EXPECT_EQ(DamagedAnswersText(many),
              QStringLiteral("Повреждённые ответы: 12 (записи 10, 20, 30, 40, 50, 60, 70, 80, 90, "
                             "100, …). Эти строки могут повторять предыдущую запись."));
}

} // namespace
