#include <gtest/gtest.h>

#include "ArchiveSlots.h"
#include "archive/ArchiveExport.h"
#include "tests/support/TimeZone.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

namespace {

using K = MeasurementKind;

// Field values as DecodeSlot leaves them: `stored` is field 3, shown x 1e6.
TExportRecord Rec(int slot, int page, K kind, float stored, int h, int m, int s, int day = 3,
                  int month = 4, int year = 2019) {
    TExportRecord e;
    DecodedRecord& r = e.Record;
    r.Slot = slot;
    r.Value = double(stored) * 1000000.0;
    r.Usable = r.Value > 0;
    r.Kind = kind;
    r.Hours = h;
    r.Minutes = m;
    r.Seconds = s;
    r.Day = day;
    r.Month = month;
    r.Year = year;
    e.Page = page;
    return e;
}

TExportRecord At(TExportRecord e, float lat, float lon) {
    e.Record.HasCoordinates = true;
    e.Record.Latitude = lat;
    e.Record.Longitude = lon;
    return e;
}

// A record of each kind, with and without coordinates, a 9-second time, a latitude that needs
// nine digits to read back, and fields out of range as a damaged slot gives them.
std::vector<TExportRecord> Sample() {
    return {
        Rec(1, 1, K::DoseRate, 1.5e-7f, 10, 0, 9),
        At(Rec(2, 1, K::Activity, 1.45e-5f, 10, 1, 0), 12.8203125f, -37.618423f),
        Rec(3, 2, K::BetaFlux, 2.5e-4f, 8, 5, 7, 1, 1, 2020),
        At(Rec(902, 3, K::AlphaFlux, 1.0f, 25, 61, 63, 0, 13, 2255), 90.5f, 10.0f),
    };
}

TEST(ArchiveExport, Csv) {
    EXPECT_EQ(ArchiveCsv(Sample()),
              "slot,page,time,kind,value,unit,latitude,longitude\r\n"
              "1,1,2019-04-03T10:00:09,dose_rate,0.15,uSv/h,,\r\n"
              "2,1,2019-04-03T10:01:00,activity,14.5,Bq/g,12.8203125,-37.618423\r\n"
              // 2.5e-4 is not a float: the stored field x 1e6 rounds to the float after 250.
              "3,2,2020-01-01T08:05:07,beta_flux,250.00002,1/(min*cm2),,\r\n"
              "902,3,2255-13-00T25:61:63,alpha_flux,1e+06,1/(min*cm2),90.5,10\r\n");
    EXPECT_EQ(ArchiveCsv({}), "slot,page,time,kind,value,unit,latitude,longitude\r\n");
}

TEST(ArchiveExport, JsonReadsBackWithNullsForWhatIsMissing) {
    std::vector<TExportRecord> records = Sample();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    records.push_back(At(Rec(5, 3, K::DoseRate, 1e38f, 1, 2, 3), nan, inf)); // value overflows
    const std::string json = ArchiveJson(records);

    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json;
    const QJsonArray a = doc.array();
    ASSERT_EQ(a.size(), 5);
    const QJsonObject first = a[0].toObject(), second = a[1].toObject(), last = a[4].toObject();
    EXPECT_EQ(first["slot"].toInt(), 1);
    EXPECT_EQ(first["page"].toInt(), 1);
    EXPECT_EQ(first["time"].toString(), "2019-04-03T10:00:09");
    EXPECT_EQ(first["kind"].toString(), "dose_rate");
    EXPECT_EQ(first["unit"].toString(), "uSv/h");
    EXPECT_EQ(float(first["value"].toDouble()), 0.15f);
    EXPECT_TRUE(first["latitude"].isNull());
    EXPECT_TRUE(first["longitude"].isNull());
    EXPECT_EQ(float(second["latitude"].toDouble()), 12.8203125f);
    EXPECT_EQ(float(second["longitude"].toDouble()), -37.618423f);
    EXPECT_EQ(a[3].toObject()["time"].toString(), "2255-13-00T25:61:63");
    EXPECT_TRUE(last["value"].isNull());
    EXPECT_TRUE(last["latitude"].isNull());
    EXPECT_TRUE(last["longitude"].isNull());
    // The numbers are the shortest texts, as in the CSV.
    EXPECT_NE(json.find("\"latitude\": 12.8203125,"), std::string::npos) << json;
    EXPECT_EQ(ArchiveJson({}), "[]\n");
}

// xmllint's verdict on the text: empty when well-formed.
QString XmlProblems(const std::string& xml) {
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) return QStringLiteral("xmllint not installed (libxml2-utils)");
    QProcess p;
    p.start(xmllint, {QStringLiteral("--noout"), QStringLiteral("-")});
    p.write(QByteArray::fromStdString(xml));
    p.closeWriteChannel();
    if (!p.waitForFinished(30000)) return QStringLiteral("xmllint did not finish");
    if (p.exitCode() != 0) return QString::fromLocal8Bit(p.readAllStandardError());
    return {};
}

TEST(ArchiveExport, GpxHasOnePossibleWaypointPerPlaceInUtc) {
    TScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0"); // summer time on 3 April, four hours behind UTC
    std::vector<TExportRecord> records = Sample();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // A schema decimal has no exponent: 1e-05 must read 0.00001.
    records.push_back(At(Rec(6, 1, K::DoseRate, 1e-7f, 23, 30, 0, 31, 12, 2019), 1e-5f, 180.0f));
    records.push_back(At(Rec(7, 1, K::DoseRate, 1e-7f, 1, 0, 0, 29, 2, 2019), 1, 1)); // no 29th
    records.push_back(At(Rec(8, 1, K::DoseRate, 1e-7f, 1, 0, 0), nan, 1));
    records.push_back(At(Rec(9, 1, K::DoseRate, 1e-7f, 1, 0, 0), 1, -180.5f));

    int skipped = -1;
    const std::string gpx = ArchiveGpx(records, skipped);
    EXPECT_EQ(skipped, 4); // slots 902 (date and latitude), 7, 8, 9; slots 1 and 3 have no place
    EXPECT_EQ(gpx, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<gpx version=\"1.1\" creator=\"Halvex\" "
                   "xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                   "  <wpt lat=\"12.8203125\" lon=\"-37.618423\">\n"
                   "    <time>2019-04-03T14:01:00Z</time>\n"
                   "    <name>slot 2</name>\n"
                   "    <desc>14.5 Bq/g activity</desc>\n"
                   "  </wpt>\n"
                   "  <wpt lat=\"0.00001\" lon=\"180\">\n"
                   "    <time>2020-01-01T04:30:00Z</time>\n" // winter: five hours, next year
                   "    <name>slot 6</name>\n"
                   "    <desc>0.1 uSv/h dose_rate</desc>\n"
                   "  </wpt>\n"
                   "</gpx>\n");
    EXPECT_EQ(XmlProblems(gpx), QString());

    const std::string none = ArchiveGpx({}, skipped);
    EXPECT_EQ(skipped, 0);
    EXPECT_EQ(XmlProblems(none), QString());
}

TEST(ArchiveExport, RecordsOfTheArchiveCopyWithTheirPages) {
    ClearArchive();
    PutSlot(0, {1e-7f, 0});
    PutSlot(1, {-1e-7f, 1}); // no usable record
    PutSlot(2, {2e-7f, 2, K::BetaFlux, true, 55.75f, 37.62f});
    PutSlot(3, {3e-7f, 1}); // time goes back: page 2
    // Slot 4 empty: page 3 begins after it.
    PutSlot(5, {4e-7f, 5, K::Activity});
    const std::vector<TExportRecord> records = ArchiveExportRecords();
    ASSERT_EQ(records.size(), 4u);
    const int slotNumbers[] = {1, 3, 4, 6}, pages[] = {1, 1, 2, 3};
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].Record.Slot, slotNumbers[i]);
        EXPECT_EQ(records[i].Page, pages[i]) << "slot " << slotNumbers[i];
    }
    EXPECT_EQ(records[1].Record.Kind, K::BetaFlux);
    EXPECT_TRUE(records[1].Record.HasCoordinates);
    EXPECT_EQ(records[1].Record.Latitude, 55.75f); // as stored
    EXPECT_EQ(records[3].Record.Kind, K::Activity);

    ClearArchive();
    EXPECT_TRUE(ArchiveExportRecords().empty());
}

} // namespace
