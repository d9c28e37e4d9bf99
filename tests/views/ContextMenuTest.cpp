#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <qcustomplot.h>

#include "FormFixture.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveView.h"
#include "ui/ContextMenu.h"
#include "ui/Widgets.h"

namespace {

class ContextMenus : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        ArchiveLoaded = false;
        SetMessageSink([this](const QString& text) { messages << text; });
        SetSaveNameAsker([this](QWidget*, const QString& filter, const QString&) {
            filters << filter;
            return answer;
        });
    }
    void TearDown() override {
        SetSaveNameAsker(nullptr);
        SetMessageSink(nullptr);
        FormTest::TearDown();
    }
    static QStringList Texts(const std::vector<TMenuEntry>& entries) {
        QStringList texts;
        for (const TMenuEntry& e : entries)
            texts << e.Text;
        return texts;
    }
    // The menu that a right click on `widget` pops up, read and closed again.
    static QStringList PoppedUp(QWidget* widget) {
        QStringList texts;
        QTimer::singleShot(0, [&texts] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : menu->actions())
                    texts << a->text();
                menu->close();
            }
        });
        emit widget->customContextMenuRequested(QPoint(5, 5));
        return texts;
    }
    QString Path(const char* name) const { return QDir(dir.path()).filePath(name); }
    static QByteArray Contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString answer;
    QStringList filters, messages;
};

const QString RuPng = QStringLiteral("Сохранить как PNG…"), EnPng = QStringLiteral("Save as PNG…");
const QString RuCsv = QStringLiteral("Сохранить как CSV…"), EnCsv = QStringLiteral("Save as CSV…");
const QString RuExport = QStringLiteral("Экспорт архива (CSV / JSON / GPX)…");
const QString EnExport = QStringLiteral("Export archive (CSV / JSON / GPX)…");

TEST_F(ContextMenus, TextsFollowTheLanguageAndTheArchiveState) {
    struct Case {
        uint8_t language;
        bool loaded;
        QStringList chart1, chart2, archive;
    };
    const Case cases[] = {
        {0, false, {RuPng, RuCsv}, {RuPng}, {RuPng}},
        {1, false, {EnPng, EnCsv}, {EnPng}, {EnPng}},
        {0, true, {RuPng, RuCsv}, {RuPng}, {RuPng, RuExport}},
        {1, true, {EnPng, EnCsv}, {EnPng}, {EnPng, EnExport}},
        {7, true, {RuPng, RuCsv}, {RuPng}, {RuPng, RuExport}}, // the windows stay Russian
    };
    for (const Case& c : cases) {
        LanguageIndex = c.language;
        ArchiveLoaded = c.loaded;
        EXPECT_EQ(Texts(Chart1Menu(*form)), c.chart1) << int(c.language);
        EXPECT_EQ(Texts(Chart2Menu(*form)), c.chart2) << int(c.language);
        EXPECT_EQ(Texts(ArchiveMenu(*form, form->Chart4)), c.archive) << int(c.language);
    }
    LanguageIndex = 0;
}

TEST_F(ContextMenus, RightClickPopsUpTheMenuOfEachChartAndTable) {
    ArchiveLoaded = true;
    EXPECT_EQ(PoppedUp(form->Chart1), QStringList({RuPng, RuCsv}));
    EXPECT_EQ(PoppedUp(form->Chart2), QStringList({RuPng}));
    EXPECT_EQ(PoppedUp(form->Chart4), QStringList({RuPng, RuExport}));
    EXPECT_EQ(PoppedUp(form->StringGrid3), QStringList({RuPng, RuExport}));
}

TEST_F(ContextMenus, DoseChartSavesEveryPointAndAPicture) {
    form->CheckBox1->setChecked(true);
    for (float sv : {1.5e-7f, 2.5e-7f, 0.5e-7f}) {
        MeasurementData.DoseRate = sv;
        MeasurementData.Status = StatusNewMeasurement;
        PlotMeasurement(*form);
        ++TestNow();
    }
    ASSERT_EQ(DoseSeries.Size(), 3u);
    const std::vector<TMenuEntry> menu = Chart1Menu(*form);

    answer = Path("dose.csv");
    menu[1].Run();
    EXPECT_EQ(Contents(answer).toStdString(), DoseSeriesCsv(DoseSeries));
    EXPECT_EQ(Contents(answer).count("\r\n"), 4);
    EXPECT_EQ(filters.last(), QStringLiteral("CSV (*.csv)"));

    answer = Path("dose.png");
    menu[0].Run();
    const QImage picture = QImage::fromData(Contents(answer), "PNG");
    EXPECT_EQ(picture.size(), form->Chart1->size());
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(ContextMenus, CancelWritesNothingAndAFailureIsTold) {
    answer.clear();
    Chart1Menu(*form)[1].Run();
    Chart2Menu(*form)[0].Run();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(messages.isEmpty());

    answer = Path("gone/spectrum.png");
    Chart2Menu(*form)[0].Run();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Файл не записан: ") + answer))
        << messages[0].toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
