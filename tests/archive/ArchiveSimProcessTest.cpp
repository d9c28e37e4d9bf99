// The whole archive read from the archive tab against halvex-sim as its own process on a
// pseudo-terminal: archive.txt must hold the simulator's own archive.
#include <gtest/gtest.h>

#include "archive/ArchiveRecords.h"
#include "archive/ArchiveText.h"
#include "archive/ArchiveView.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "sim/DeviceModel.h"
#include "tests/support/MainFormTest.h"
#include "tests/support/PortFolder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <cstring>

namespace {

class ArchiveSimProcess : public TMainFormTest {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        before = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
        TMainFormTest::SetUp();
        ComputeEncodedSizes(ObjectTable, ObjectTableCount);
        ASSERT_TRUE(ports.IsValid());
    }
    void TearDown() override {
        ClosePort();
        TMainFormTest::TearDown();
        QDir::setCurrent(before);
        ArchiveLoaded = false;
    }
    QTemporaryDir dir;
    QString before;
    TPortFolder ports;
};

// The line without its time of day, and the time of day in seconds.
QString Rest(const QString& line) {
    return line.section(QLatin1Char(' '), 1);
}
int Seconds(const QString& line) {
    const QStringList hms = line.section(QLatin1Char(' '), 0, 0).split(QLatin1Char(':'));
    return hms.size() == 3 ? hms[0].toInt() * 3600 + hms[1].toInt() * 60 + hms[2].toInt() : -1;
}

TEST_F(ArchiveSimProcess, ArchiveFileHoldsTheSimulatorsArchive) {
    // The same archive as the simulator builds it (same options, a moment apart).
    TSimOptions options;
    options.Noise = false;
    options.ArchiveRecords = 400;
    options.ArchivePages = 4;
    options.ArchiveGaps = true;
    TDeviceModel model(options);
    ASSERT_TRUE(ports.StartSim(3, {"--pacing", "off", "--archive-records", "400", "--archive-pages",
                                   "4", "--archive-gaps"}))
        << ports.Sim.Error().toStdString();
    ASSERT_NE(OpenPort(3), nullptr) << LastOpenProblem.English;

    form->PageControl1->setCurrentWidget(form->TabSheet3);
    Button4Click(*form);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("Прочитано"));
    EXPECT_EQ(PageCount, 7); // four sessions, each gap between them adding an empty page
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("1 / 7"));

    for (int i = 0; i < ArchiveSlotCount; ++i)
        std::memcpy(ArchiveBuffer + size_t(i) * ArchiveSlotSize, &model.Archive()[size_t(i)],
                    ArchiveSlotSize);
    QStringList expected;
    ScanArchive(1,
                [&](const DecodedRecord& r) {
                    expected << QString::fromStdString(ExportLine(r)).chopped(2);
                },
                {});
    QFile file(QStringLiteral("archive.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    ASSERT_TRUE(text.endsWith("\r\n"));
    const QStringList lines = QString::fromLatin1(text.chopped(2)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), expected.size());
    EXPECT_GT(lines.size(), 400);
    // The two archives were made a moment apart: every time of day differs by the same amount.
    const int shift = Seconds(lines[0]) - Seconds(expected[0]);
    EXPECT_LE(std::abs(shift), 5);
    for (int i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(Rest(lines[i]), Rest(expected[i])) << i;
        if (Rest(lines[i]) != QStringLiteral("0 G")) { // empty slots read 0:0:0 in both
            ASSERT_EQ((Seconds(lines[i]) - Seconds(expected[i]) + 86400) % 86400,
                      (shift + 86400) % 86400)
                << i;
        }
    }
    EXPECT_TRUE(text.contains(" Lat: 55.7512 Long: 37.6184\r\n"));
}

} // namespace
