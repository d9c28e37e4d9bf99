#include <gtest/gtest.h>

#include "archive/ArchiveExport.h"
#include "archive/ArchivePageView.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveTransfer.h"
#include "archive/ArchiveView.h"
#include "base/Language.h"
#include "link/Catalogue.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/MainFormTest.h"
#include "tests/support/QuietDevice.h"
#include "tests/support/SimOpener.h"
#include "tests/support/TimeZone.h"
#include "ui/LanguageSwitch.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <qcustomplot.h>

#include <csignal>
#include <memory>
#include <signal.h>

namespace {

int ProcessEnds = 0;
void CountProcessEnd(int) {
    ++ProcessEnds;
}

class ArchiveTab : public TMainFormTest {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        before = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
        TMainFormTest::SetUp();
        ComputeEncodedSizes(ObjectTable, ObjectTableCount);
        form->PageControl1->setCurrentWidget(form->TabSheet3);
        ArchiveLoaded = false;
        CurrentPage = 0;
        PageCount = 1;
        std::memset(ArchiveBuffer, 0, sizeof ArchiveBuffer);
        DeviceSettings.DoseRateThreshold = 0.3f;
        SetMessageSink([this](const QString& text) { messages << text; });
        Start(300, 3);
    }
    void TearDown() override {
        SetMessageSink(nullptr);
        SetSaveNameAsker(nullptr);
        ClosePort();
        opener.reset();
        device.reset();
        TMainFormTest::TearDown();
        QDir::setCurrent(before);
        ArchiveLoaded = false;
        DeviceSettings = TDeviceSettings{};
    }
    void Start(int records, int pages, bool gaps = false) {
        ClosePort();
        opener.reset();
        TSimOptions options = QuietDevice();
        options.ArchiveRecords = records;
        options.ArchivePages = pages;
        options.ArchiveGaps = gaps;
        device = std::make_unique<TSimDevice>(options);
        opener = std::make_unique<TSimOpener>(*device, 3);
        ASSERT_NE(OpenPort(3), nullptr);
    }
    TDeviceModel& Model() { return device->Model(); }
    QString Status() const { return form->StatusBar1->PanelText(0); }
    QString Cell(TStringGrid* grid, int col, int row) const { return grid->Cell(col, row); }
    int ExportLines() const {
        QFile f(QStringLiteral("archive.txt"));
        if (!f.open(QIODevice::ReadOnly)) return 0;
        return f.readAll().count("\r\n");
    }
    TScopedTimeZone zone;
    QTemporaryDir dir;
    QString before;
    QStringList messages;
    std::unique_ptr<TSimDevice> device;
    std::unique_ptr<TSimOpener> opener;
};

TEST_F(ArchiveTab, ReadShowsPageOneAndEveryPageIsReachable) {
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_TRUE(form->Edit6->isReadOnly());
    Button4Click(*form);
    EXPECT_EQ(Status(), QStringLiteral("Прочитано"));
    EXPECT_EQ(ExportLines(), 301); // 300 records and the empty slot that ends them
    EXPECT_TRUE(ArchiveLoaded);
    EXPECT_EQ(PageCount, 3);
    EXPECT_FALSE(form->ProgressBar2->isVisibleTo(form.get()));
    EXPECT_FALSE(form->Label57->isVisibleTo(form.get()));
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("1 / 3"));
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_TRUE(form->BitBtn2->isEnabled());
    EXPECT_FALSE(form->Edit6->isReadOnly());
    TStringGrid* grid = form->StringGrid3;
    EXPECT_EQ(grid->RowCount(), 101);
    EXPECT_EQ(Cell(grid, 0, 0), QStringLiteral("№"));
    EXPECT_EQ(Cell(grid, 0, 1), QStringLiteral("1"));
    EXPECT_EQ(Cell(grid, 0, 100), QStringLiteral("100"));
    // The header names the kind of the last record shown: the 100th of the session, alpha flux.
    EXPECT_EQ(Cell(grid, 2, 0), QStringLiteral("Альфа, 1/(мин*см2)"));
    EXPECT_EQ(Cell(form->StringGrid4, 1, 1), QStringLiteral("100"));
    EXPECT_EQ(Cell(form->StringGrid4, 1, 0), QStringLiteral(" 1 ч 39 мин"));
    EXPECT_EQ(form->LineSeries1->dataCount(), 100);
    const float pageMax = ScanArchive(1, {}, {}).Summary.Maximum;
    EXPECT_DOUBLE_EQ(form->Chart4->yAxis->range().upper, double(pageMax) + double(pageMax) / 7);
    EXPECT_EQ(form->LineSeries1->pen().color(), QColor(128, 128, 128));

    struct Step {
        void (*click)(TForm1&);
        const char* field;
        const char* firstSlot;
    };
    const Step steps[] = {
        {BitBtn2Click, "2 / 3", "101"}, {BitBtn2Click, "3 / 3", "201"},
        {BitBtn2Click, "1 / 3", "1"},   {BitBtn1Click, "3 / 3", "201"},
        {BitBtn1Click, "2 / 3", "101"},
    };
    for (const Step& s : steps) {
        s.click(*form);
        EXPECT_EQ(form->Edit6->text(), QString::fromLatin1(s.field));
        EXPECT_EQ(Cell(grid, 0, 1), QString::fromLatin1(s.firstSlot)) << s.field;
        EXPECT_EQ(grid->RowCount(), 101);
        EXPECT_EQ(form->LineSeries1->dataCount(), 100);
    }
    EXPECT_EQ(ExportLines(), 301) << "paging writes nothing";

    // A page typed into the field; anything else puts the field back.
    struct Typed {
        const char* text;
        const char* field;
    };
    for (const Typed& t : {Typed{"3", "3 / 3"}, Typed{"4", "3 / 3"}, Typed{"0", "3 / 3"},
                           Typed{"x", "3 / 3"}, Typed{" 1 ", "1 / 3"}}) {
        form->Edit6->setText(QString::fromLatin1(t.text));
        Edit6Enter(*form);
        EXPECT_EQ(form->Edit6->text(), QString::fromLatin1(t.field)) << t.text;
    }
    EXPECT_EQ(Cell(grid, 0, 1), QStringLiteral("1"));
}

TEST_F(ArchiveTab, PageButtonsBeforeAnyReadAndWithOnePage) {
    BitBtn2Click(*form);
    BitBtn1Click(*form);
    form->Edit6->setText(QStringLiteral("2"));
    Edit6Enter(*form);
    EXPECT_EQ(CurrentPage, 0);
    EXPECT_EQ(Cell(form->StringGrid3, 0, 1), QString());
    EXPECT_EQ(Model().Requests(), 0);

    Start(20, 1);
    LanguageIndex = 1;
    Button4Click(*form);
    EXPECT_EQ(Status(), QStringLiteral("Read OK"));
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("1 / 1"));
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_FALSE(form->BitBtn2->isEnabled());
    EXPECT_TRUE(form->Edit6->isReadOnly());
    EXPECT_EQ(Cell(form->StringGrid3, 1, 0), QStringLiteral("Time, sec"));
    EXPECT_EQ(Cell(form->StringGrid4, 0, 0), QStringLiteral("Working time"));
    EXPECT_EQ(Cell(form->StringGrid4, 1, 0), QStringLiteral("19 min"));
}

TEST_F(ArchiveTab, EmptyPageAndEmptyArchive) {
    Start(60, 2, true); // a gap between the sessions: page 2 is empty, the records go on on 3
    Button4Click(*form);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("1 / 3"));
    const QString stats = Cell(form->StringGrid4, 1, 1);
    BitBtn2Click(*form);
    EXPECT_EQ(form->StringGrid3->RowCount(), 1); // the page shows nothing
    EXPECT_EQ(form->LineSeries1->dataCount(), 0);
    EXPECT_EQ(Cell(form->StringGrid4, 1, 1), stats) << "the statistics of the page before stay";
    BitBtn2Click(*form);
    EXPECT_EQ(form->StringGrid3->RowCount(), 30); // one of the 30 slots holds no usable record
    EXPECT_FALSE(Cell(form->StringGrid3, 2, 29).isEmpty()) << "a longer page than the one before";

    Start(0, 1);
    Button4Click(*form);
    EXPECT_EQ(Status(), QStringLiteral("Прочитано"));
    EXPECT_EQ(form->StringGrid3->RowCount(), 903);
    EXPECT_EQ(Cell(form->StringGrid3, 2, 0), QStringLiteral("МЭД"));
    EXPECT_EQ(Cell(form->StringGrid4, 1, 1), stats);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("1 / 1"));
}

TEST_F(ArchiveTab, AbandonedReadLeavesNothingShown) {
    Button4Click(*form);
    ASSERT_TRUE(ArchiveLoaded);
    const QString stats = Cell(form->StringGrid4, 1, 1);
    device->Faults().SetNext(TFault::NoAnswer, 1000);
    Button4Click(*form);
    EXPECT_EQ(Status(), QStringLiteral("Ошибка чтения"));
    EXPECT_FALSE(ArchiveLoaded);
    EXPECT_EQ(Cell(form->StringGrid3, 0, 1), QString());
    EXPECT_EQ(form->LineSeries1->dataCount(), 0);
    EXPECT_EQ(Cell(form->StringGrid4, 1, 1), stats);
    EXPECT_FALSE(form->BitBtn2->isEnabled());
    EXPECT_EQ(form->Edit6->text(), QString());
    EXPECT_FALSE(form->ProgressBar2->isVisibleTo(form.get()));
    BitBtn2Click(*form);
    EXPECT_EQ(Cell(form->StringGrid3, 0, 1), QString());
}

// Paints one cell of the record table into an image and returns its darkest pixel by channel.
struct TCellPaint {
    bool Red = false;      // some pixel clearly red
    int DarkestGrey = 255; // lowest channel of the pixels that are not red
};
TCellPaint PaintCell(TForm1& form, int col, int row) {
    QImage image(120, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(form.StringGrid3->font());
        painter.setPen(Qt::black);
        painter.drawText(QRect(3, 1, 117, 15), Qt::AlignLeft | Qt::AlignTop,
                         form.StringGrid3->Cell(col, row)); // the grid's own drawing
        StringGrid3DrawCell(form, painter, col, row, QRect(0, 0, 120, 16));
    }
    TCellPaint p;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 120)
                p.Red = true;
            else
                p.DarkestGrey = std::min({p.DarkestGrey, c.red(), c.green(), c.blue()});
        }
    return p;
}

TEST_F(ArchiveTab, DamagedAnswerIsCountedMarkedAndReported) {
    // Between exchanges the read lets timers run: spoil the answer for slot 11 (n = 12) once.
    bool armed = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!armed && Model().ArchivePosition() == 11) {
            device->Faults().SetNext(TFault::CorruptPayload, 1);
            armed = true;
        }
    });
    watch.start(0);
    Button4Click(*form);
    watch.stop();
    ASSERT_TRUE(armed);
    EXPECT_EQ(Status(), QStringLiteral("Прочитано"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Повреждённые ответы: 1 (записи 12). Эти строки могут "
                                          "повторять предыдущую запись."));
    TStringGrid* grid = form->StringGrid3;
    EXPECT_EQ(Cell(grid, 2, 12), Cell(grid, 2, 11)) << "the record before it, once more";
    EXPECT_EQ(Cell(grid, 0, 13), QStringLiteral("13"));

    // Columns 0 and 1 of the damaged row in grey, the others as the grid draws them; the value
    // column follows the threshold rule alone.
    DeviceSettings.DoseRateThreshold = 1e6f;
    EXPECT_GE(PaintCell(*form, 0, 12).DarkestGrey, 100);
    EXPECT_GE(PaintCell(*form, 1, 12).DarkestGrey, 100);
    EXPECT_LT(PaintCell(*form, 0, 11).DarkestGrey, 60);
    EXPECT_LT(PaintCell(*form, 2, 12).DarkestGrey, 60);
    EXPECT_FALSE(PaintCell(*form, 2, 12).Red);
    DeviceSettings.DoseRateThreshold = 0; // never read: every value red
    EXPECT_TRUE(PaintCell(*form, 2, 11).Red);
    EXPECT_FALSE(PaintCell(*form, 1, 11).Red);
}

TEST_F(ArchiveTab, EraseAsksFirst) {
    Button4Click(*form);
    const int rows = form->StringGrid3->RowCount();
    struct Answer {
        uint8_t language;
        const char *text, *yes, *no;
        bool accept;
    };
    const Answer answers[] = {
        {0, "Стереть архив прибора? Записи будут удалены без возможности восстановления.", "Да",
         "Нет", false},
        {1, "Erase the device archive? The records cannot be recovered.", "Yes", "No", false},
        {7, "Стереть архив прибора? Записи будут удалены без возможности восстановления.", "Да",
         "Нет", false},
    };
    for (const Answer& a : answers) {
        LanguageIndex = a.language;
        QString seen;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = box->text();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            EXPECT_EQ(box->defaultButton()->text(), QString::fromUtf8(a.no));
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &escape);
        });
        Button5Click(*form);
        EXPECT_EQ(seen, QString::fromUtf8(a.text));
        EXPECT_TRUE(buttons.contains(QString::fromUtf8(a.yes)));
        EXPECT_TRUE(buttons.contains(QString::fromUtf8(a.no)));
        EXPECT_EQ(Model().Commands(2), 0) << "No sends nothing";
        EXPECT_EQ(form->Edit6->text(), QStringLiteral("1 / 3"));
        EXPECT_EQ(form->LineSeries1->dataCount(), 100);
    }
    LanguageIndex = 0;

    auto answerYes = [] {
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QStringLiteral("Да")) b->click();
        });
    };
    // The device does not answer: nothing but the chart changes.
    device->Faults().SetNext(TFault::NoAnswer, 1);
    answerYes();
    Button5Click(*form);
    EXPECT_EQ(Status(), QStringLiteral("Ошибка связи "));
    EXPECT_EQ(form->LineSeries1->dataCount(), 0);
    EXPECT_EQ(Cell(form->StringGrid3, 0, 1), QStringLiteral("1"));
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("1 / 3"));

    answerYes();
    Button5Click(*form);
    EXPECT_EQ(Model().Commands(2), 1);
    EXPECT_EQ(Status(), QStringLiteral("Записано "));
    EXPECT_EQ(form->Edit6->text(), QStringLiteral(" "));
    EXPECT_EQ(form->Label41->text(), QStringLiteral(" "));
    EXPECT_EQ(Cell(form->StringGrid3, 0, 1), QString());
    EXPECT_EQ(Cell(form->StringGrid3, 0, 0), QStringLiteral("№"));
    EXPECT_EQ(Cell(form->StringGrid4, 1, 1), QString());
    EXPECT_EQ(Cell(form->StringGrid4, 0, 1), QStringLiteral("Измерений"));
    EXPECT_EQ(form->StringGrid3->RowCount(), rows);
    EXPECT_FALSE(form->BitBtn2->isEnabled());
    EXPECT_EQ(CurrentPage, 0);
}

// While the read runs the window is served, but the operator's clicks, the polling tick and a
// close request do not get in between the exchanges; the close is carried out afterwards.
TEST_F(ArchiveTab, ReadKeepsEverythingElseOut) {
    const TProcessEnd savedEnd = ProcessEnd;
    ProcessEnd = CountProcessEnd;
    ProcessEnds = 0;
    form->show();
    form->PageControl1->setCurrentWidget(form->TabSheet1); // a tab whose tick would poll
    form->Timer1->start(1);
    int progressSeen = 0;
    bool closeRefused = false;
    QTimer::singleShot(0, form.get(), [&] {
        progressSeen = form->ProgressBar2->isHidden() ? 0 : 1;
        for (QWidget* target :
             {static_cast<QWidget*>(form->Button4), static_cast<QWidget*>(form->Button5),
              static_cast<QWidget*>(form->BitBtn2)}) {
            const QPointF at(5, 5);
            QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }
        closeRefused = !form->close();
    });
    int served = 0;
    // A signal to end the program, sent during the read, reaches the program's own handler only
    // once the read has ended.
    static int terminations = 0;
    terminations = 0;
    struct sigaction counting = {}, saved = {};
    counting.sa_handler = [](int) { ++terminations; };
    sigemptyset(&counting.sa_mask);
    sigaction(SIGTERM, &counting, &saved);
    int terminationsDuring = -1;
    QTimer::singleShot(0, form.get(), [&] {
        std::raise(SIGTERM);
        terminationsDuring = terminations;
    });
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++served; });
    other.start(0);
    Button4Click(*form);
    other.stop();
    form->Timer1->stop();
    EXPECT_EQ(progressSeen, 1);
    EXPECT_TRUE(closeRefused);
    EXPECT_GE(served, 900) << "the event loop was served after every exchange";
    EXPECT_EQ(Model().Reads(ObjectId::ArchiveEntry), 903);
    EXPECT_EQ(Model().Reads(ObjectId::MeasurementData), 0);
    EXPECT_EQ(Model().Commands(2), 0);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Status(), QStringLiteral("Прочитано"));
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("1 / 3"));
    EXPECT_EQ(ProcessEnds, 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(terminationsDuring, 0);
    EXPECT_EQ(terminations, 1);
    sigaction(SIGTERM, &saved, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(ProcessEnds, 1) << "the close asked for during the read";
    EXPECT_FALSE(form->Timer1->signalsBlocked());
    ProcessEnd = savedEnd;
}

TEST_F(ArchiveTab, ExportFromTheMenuWritesTheLoadedCopyInTheFormatOfTheName) {
    QString answer;
    SetSaveNameAsker([&answer](QWidget*, const QString&, const QString&) { return answer; });
    EXPECT_EQ(ArchiveMenu(*form, form->StringGrid3).size(), 1u) << "no export before a read";
    Button4Click(*form);
    const std::vector<TMenuEntry> menu = ArchiveMenu(*form, form->StringGrid3);
    ASSERT_EQ(menu.size(), 2u);

    const std::vector<TExportRecord> records = ArchiveExportRecords();
    ASSERT_EQ(records.size(), 300u);
    EXPECT_EQ(records.back().Page, 3);
    int skipped = 0;
    const std::string gpx = ArchiveGpx(records, skipped);
    struct Case {
        const char* name;
        std::string content;
    };
    const Case cases[] = {
        {"a.csv", ArchiveCsv(records)},
        {"a.JSON", ArchiveJson(records)},
        {"a.gpx", gpx},
        {"a.txt", ArchiveCsv(records)}, // a name of no known kind gets CSV
    };
    for (const Case& c : cases) {
        answer = QDir(dir.path()).filePath(QString::fromLatin1(c.name));
        menu[1].Run();
        QFile f(answer);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_EQ(f.readAll().toStdString(), c.content) << c.name;
    }
    EXPECT_NE(gpx.find("<wpt lat=\"55.75"), std::string::npos) << "the simulator's places";
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

} // namespace
