// The language switch, the About window of the language, and prog.ini read at creation and
// written at closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <atomic>
#include <fcntl.h>
#include <functional>
#include <qcustomplot.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "UiTestSupport.h"
#include "base/IniFile.h"
#include "base/Language.h"
#include "link/SerialLink.h"
#include "tests/support/MainFormTest.h"
#include "ui/Forms.h"
#include "ui/LanguageSwitch.h"

namespace {

QString Shown(TForm1& form, const TCaptionRow& row) {
    QObject* control = form.findChild<QObject*>(QString::fromLatin1(row.control));
    if (!control) return QStringLiteral("<missing %1>").arg(QString::fromLatin1(row.control));
    switch (row.kind) {
    case TCaptionKind::LeftEdge:
        return QString::number(qobject_cast<QWidget*>(control)->x());
    case TCaptionKind::LeftAxisTitle:
        return qobject_cast<QCustomPlot*>(control)->yAxis->label();
    case TCaptionKind::BottomAxisTitle:
        return qobject_cast<QCustomPlot*>(control)->xAxis->label();
    case TCaptionKind::Cell:
        return qobject_cast<TStringGrid*>(control)->Cell(row.col, row.row);
    case TCaptionKind::Caption:
        return ShownText(control);
    }
    return QString();
}

void ExpectShows(TForm1& form, const std::vector<TCaptionRow>& table) {
    for (const TCaptionRow& row : table) {
        SCOPED_TRACE(std::string(row.control) + " " + std::to_string(row.col));
        EXPECT_EQ(Shown(form, row), QString::fromUtf8(row.text));
    }
}

void WriteFile(const QString& name, const QByteArray& content) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray ReadFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// A port that only notes that it was closed.
class TFakePort : public TSerialPort {
  public:
    explicit TFakePort(bool& closed) : closed_(closed) {}
    void Purge() override {}
    int Write(const uint8_t*, int n) override { return n; }
    int Read(uint8_t*, int, int) override { return 0; }
    void Close() override { closed_ = true; }

  private:
    bool& closed_;
};

// What FormClose did, in order.
QStringList events;
void RecordEnd(int code) {
    events << QStringLiteral("end %1").arg(code);
}

class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureForms();
        events.clear();
        ProcessEnd = RecordEnd;
        SetMessageSink([](const QString& text) { events << QStringLiteral("message ") + text; });
    }
    void TearDown() override {
        SetMessageSink(nullptr);
        N4Click(*Form1);
    }

    // A main window created in a directory whose prog.ini holds the given text (none: no file).
    std::unique_ptr<TForm1> CreateWith(const char* ini) {
        EnterTemporaryDirectory();
        if (ini) WriteFile(QStringLiteral("prog.ini"), ini);
        return QuietMainWindow();
    }
};

TEST_F(LanguageTest, TablesCoverTheSameControlsInTheSameOrder) {
    ASSERT_EQ(RussianCaptions.size(), EnglishCaptions.size());
    EXPECT_EQ(RussianCaptions.size(), 66u);
    for (size_t i = 0; i < RussianCaptions.size(); ++i) {
        EXPECT_STREQ(RussianCaptions[i].control, EnglishCaptions[i].control);
        EXPECT_EQ(RussianCaptions[i].kind, EnglishCaptions[i].kind);
    }
}

TEST_F(LanguageTest, SwitchingRewritesEveryCaptionAndLeavesRunTimeTextsAlone) {
    ExpectShows(*Form1, RussianCaptions);
    Form1->Label2->setText(QStringLiteral("0,125"));
    Form1->Label15->setText(QStringLiteral("95 %"));
    Form1->StatusBar1->SetPanelText(0, QStringLiteral("Считано"));
    Form1->StringGrid3->SetCell(0, 0, QStringLiteral("№"));

    English1Click(*Form1);
    EXPECT_EQ(LanguageIndex, 1);
    ExpectShows(*Form1, EnglishCaptions);
    EXPECT_EQ(Form1->Label9->x(), 225);
    EXPECT_FALSE(Form1->N4->isChecked());
    EXPECT_TRUE(Form1->English1->isChecked());
    // A few captions checked against their expected text rather than the table itself.
    EXPECT_EQ(Form1->PageControl1->tabText(0), QStringLiteral("Measurement results"));
    EXPECT_EQ(Form1->Label50->text(), QStringLiteral("Network address ZARYA-4 #1"));
    EXPECT_EQ(Form1->StringGrid1->Cell(1, 0), QStringLiteral("Energy, MeV"));
    EXPECT_EQ(Form1->Chart1->yAxis->label(), QStringLiteral("Dose Rate, uSv/h"));
    EXPECT_EQ(Form1->Label24->text(), QStringLiteral("Battery condition"));
    EXPECT_EQ(Form1->N8->text(), QStringLiteral("About"));
    // Never translated.
    EXPECT_EQ(Form1->CheckBox2->text(), QStringLiteral("Интеграл"));
    EXPECT_EQ(Form1->Button7->text(), QStringLiteral("Сброс"));
    EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Halvex"));
    EXPECT_EQ(Form1->ComboBox12->itemText(0), QStringLiteral("Время"));

    N4Click(*Form1);
    EXPECT_EQ(LanguageIndex, 0);
    ExpectShows(*Form1, RussianCaptions);
    EXPECT_EQ(Form1->Label9->x(), 156);
    EXPECT_TRUE(Form1->N4->isChecked());
    EXPECT_FALSE(Form1->English1->isChecked());
    EXPECT_EQ(Form1->PageControl1->tabText(0), QStringLiteral("Результаты измерения"));

    EXPECT_EQ(Form1->Label2->text(), QStringLiteral("0,125"));
    EXPECT_EQ(Form1->Label15->text(), QStringLiteral("95 %"));
    EXPECT_EQ(Form1->StatusBar1->PanelText(0), QStringLiteral("Считано"));
    EXPECT_EQ(Form1->StringGrid3->Cell(0, 0), QStringLiteral("№"));
}

TEST_F(LanguageTest, OtherIndexAppliesRussianAndKeepsTheCheckMarks) {
    English1Click(*Form1);
    ApplyLanguage(*Form1, 7);
    ExpectShows(*Form1, RussianCaptions);
    EXPECT_TRUE(Form1->English1->isChecked());
    EXPECT_FALSE(Form1->N4->isChecked());
    EXPECT_EQ(LanguageIndex, 1); // ApplyLanguage leaves the index alone
}

// Closes whatever modal window opens next and tells which it was.
QString CloseNextModal(void (*open)(TForm1&)) {
    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->objectName();
            modal->close();
        }
    });
    open(*Form1);
    QApplication::processEvents();
    return opened;
}

TEST_F(LanguageTest, AboutFollowsTheLanguage) {
    LanguageIndex = 0;
    EXPECT_EQ(CloseNextModal(N8Click), QStringLiteral("Form3"));
    LanguageIndex = 1;
    EXPECT_EQ(CloseNextModal(N8Click), QStringLiteral("Form4"));
    LanguageIndex = 7;
    EXPECT_EQ(CloseNextModal(N8Click), QString());
}

TEST_F(LanguageTest, StoredLanguageIsReadAtCreation) {
    struct {
        const char* ini;
        uint8_t index;
    } const cases[] = {
        {nullptr, 0},
        {"[Common]\nLanguage=1\n", 1},
        {"[Common]\nLanguage=0x1\n", 1},
        {"[Common]\nLanguage=$1\n", 1},
        {"[Common]\nLanguage=abc\n", 0},
        {"[Common]\nLanguage=257\n", 1},
        {"[Common]\nLanguage=-1\n", 255},
        {"[Common]\nLanguage=\n", 0},
        {"[common]\r\n  LANGUAGE = 1 \r\n", 1},
        {"[Other]\nLanguage=1\n[Common]\nTheme=2\n", 0},
        {"Language=1\n", 0},
        {"[Common]\nLanguage=99999999999\n", 0},
        {"\xEF\xBB\xBF[Common]\nLanguage=1\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini ? c.ini : "no file");
        LanguageIndex = 0;
        auto form = CreateWith(c.ini);
        EXPECT_EQ(LanguageIndex, c.index);
    }
}

TEST_F(LanguageTest, EnglishFromTheFirstMoment) {
    auto form = CreateWith("[Common]\nLanguage=1\n");
    ExpectShows(*form, EnglishCaptions);
    EXPECT_TRUE(form->English1->isChecked());
    EXPECT_FALSE(form->N4->isChecked());
}

TEST_F(LanguageTest, IndexSevenShowsRussianWithoutCheckMarks) {
    auto form = CreateWith("[Common]\nLanguage=7\n");
    EXPECT_EQ(LanguageIndex, 7);
    ExpectShows(*form, RussianCaptions);
    EXPECT_FALSE(form->N4->isChecked());
    EXPECT_FALSE(form->English1->isChecked());
    FormClose(*form);
    EXPECT_EQ(ReadFile(QStringLiteral("prog.ini")), QByteArray("[Common]\nLanguage=7\n"));
}

TEST_F(LanguageTest, ClosingSavesTheLanguageAndKeepsTheRestOfTheFile) {
    struct {
        const char* before;
        const char* after;
    } const cases[] = {
        {nullptr, "[Common]\nLanguage=1\n"},
        {"[Common]\nLanguage=0\n", "[Common]\nLanguage=1\n"},
        {"\xEF\xBB\xBF[Common]\nLanguage=0\n", "\xEF\xBB\xBF[Common]\nLanguage=1\n"},
        {"; kept\r\n[Other]\r\nLanguage=5\r\n\r\n[COMMON]\r\nTheme=dark\r\nlanguage = "
         "0\r\n[Tail]\r\n"
         "x=1",
         "; kept\r\n[Other]\r\nLanguage=5\r\n\r\n[COMMON]\r\nTheme=dark\r\nLanguage=1\r\n[Tail]\r\n"
         "x=1"},
        {"[Common]\nTheme=dark\n\n[Tail]\nx=1\n",
         "[Common]\nTheme=dark\nLanguage=1\n\n[Tail]\nx=1\n"},
        {"[Tail]\nx=1", "[Tail]\nx=1\n[Common]\nLanguage=1\n"},
        // Mixed line ends stay mixed.
        {"a=1\r\n[Common]\nLanguage=0\r\nb=2\n", "a=1\r\n[Common]\nLanguage=1\r\nb=2\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before ? c.before : "no file");
        auto form = CreateWith(c.before);
        English1Click(*form);
        events.clear();
        FormClose(*form);
        EXPECT_EQ(ReadFile(QStringLiteral("prog.ini")), QByteArray(c.after));
        EXPECT_EQ(events, QStringList{QStringLiteral("end 0")});
    }
}

// A language given for one run shows at once; prog.ini learns only a language picked from the menu.
TEST_F(LanguageTest, ARunLanguageIsNotSavedUnlessTheMenuPicksOne) {
    struct {
        void (*pick)(TForm1&); // nullptr: no choice from the menu
        const char* after;
    } const cases[] = {
        {nullptr, "[Common]\nLanguage=7\n"},
        {English1Click, "[Common]\nLanguage=1\n"},
        {N4Click, "[Common]\nLanguage=0\n"},
    };
    for (const auto& c : cases) {
        RunLanguage = 1;
        auto form = CreateWith("[Common]\nLanguage=7\n");
        EXPECT_EQ(LanguageIndex, 1);
        ExpectShows(*form, EnglishCaptions);
        if (c.pick) c.pick(*form);
        FormClose(*form);
        EXPECT_EQ(ReadFile(QStringLiteral("prog.ini")), QByteArray(c.after)) << c.after;
    }
    RunLanguage.reset();
}

TEST_F(LanguageTest, ClosingWithoutAChoiceWritesRussian) {
    auto form = CreateWith(nullptr);
    FormClose(*form);
    EXPECT_EQ(ReadFile(QStringLiteral("prog.ini")), QByteArray("[Common]\nLanguage=0\n"));
}

TEST_F(LanguageTest, UnwritableFileIsReportedAndTheProgramStillEnds) {
    // A directory in the file's place, and a directory nobody may create files in (even root).
    const std::function<bool()> setups[] = {
        [] {
            EnterTemporaryDirectory();
            return QDir().mkdir(QStringLiteral("prog.ini"));
        },
        [] { return QDir::setCurrent(QStringLiteral("/proc")); },
    };
    for (const auto& setup : setups) {
        ASSERT_TRUE(setup());
        bool closed = false;
        SetPortOpener([&closed](uint8_t) { return std::make_unique<TFakePort>(closed); });
        ASSERT_NE(OpenPort(3), nullptr);
        const QString path = QDir::currentPath() + QStringLiteral("/prog.ini");
        SCOPED_TRACE(path.toStdString());
        LanguageIndex = 1;
        events.clear();
        Form1->close(); // the close button runs FormClose
        EXPECT_EQ(events, (QStringList{QStringLiteral("message Unable to write to ") + path,
                                       QStringLiteral("end 0")}));
        EXPECT_EQ(Link.PortHandle, nullptr);
        EXPECT_TRUE(closed);
        Form1->show();
    }
    SetPortOpener(nullptr);
    EnterTemporaryDirectory();
}

// When path is a FIFO, opens it for writing whenever someone opens it for reading, so that a reader
// that should never have opened it does not hang the test, and tells whether that happened.
class TFifoWatch {
  public:
    explicit TFifoWatch(const QByteArray& path)
        : thread_([this, path] {
              while (!stop_) {
                  struct stat st;
                  const bool fifo = ::lstat(path.constData(), &st) == 0 && S_ISFIFO(st.st_mode);
                  const int fd = fifo ? ::open(path.constData(), O_WRONLY | O_NONBLOCK) : -1;
                  if (fd >= 0) {
                      opened_ = true;
                      ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          }) {}
    ~TFifoWatch() {
        stop_ = true;
        thread_.join();
    }
    bool Opened() const { return opened_; }

  private:
    std::atomic<bool> stop_{false}, opened_{false};
    std::thread thread_;
};

TEST_F(LanguageTest, ProgIniThatIsNoSmallFileIsIgnoredAndKept) {
    QByteArray big("[Common]\nLanguage=1\n");
    big += QByteArray(IniFileLimit + 1 - big.size(), ';');
    struct {
        const char* name;
        std::function<void()> make;
        std::function<void()> check;
    } const cases[] = {
        {"FIFO", [] { ASSERT_EQ(::mkfifo("prog.ini", 0600), 0); },
         [] {
             struct stat st;
             ASSERT_EQ(::lstat("prog.ini", &st), 0);
             EXPECT_TRUE(S_ISFIFO(st.st_mode));
         }},
        {"link to /dev/zero",
         [] { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), QStringLiteral("prog.ini"))); },
         [] { EXPECT_EQ(QFile::symLinkTarget(QStringLiteral("prog.ini")), "/dev/zero"); }},
        {"1 MiB + 1", [&big] { WriteFile(QStringLiteral("prog.ini"), big); },
         [&big] { EXPECT_TRUE(ReadFile(QStringLiteral("prog.ini")) == big); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EnterTemporaryDirectory();
        c.make();
        const QString path = QDir::currentPath() + QStringLiteral("/prog.ini");
        TFifoWatch watch(QFile::encodeName(path));
        LanguageIndex = 1;
        auto form = QuietMainWindow();
        EXPECT_EQ(LanguageIndex, 0);
        English1Click(*form);
        events.clear();
        FormClose(*form);
        EXPECT_EQ(events, (QStringList{QStringLiteral("message Unable to write to ") + path,
                                       QStringLiteral("end 0")}));
        EXPECT_FALSE(watch.Opened());
        c.check();
    }
}

TEST_F(LanguageTest, ProgIniOfExactlyTheLimitIsReadAndWritten) {
    QByteArray full("[Common]\r\nLanguage=1\r\n");
    full += QByteArray(IniFileLimit - full.size(), ';');
    EnterTemporaryDirectory();
    WriteFile(QStringLiteral("prog.ini"), full);
    auto form = QuietMainWindow();
    EXPECT_EQ(LanguageIndex, 1);
    N4Click(*form);
    FormClose(*form);
    full.replace("Language=1", "Language=0");
    EXPECT_TRUE(ReadFile(QStringLiteral("prog.ini")) == full);
}

TEST_F(LanguageTest, ProgIniThatWouldOutgrowTheLimitIsKept) {
    QByteArray full("[Common]\nTheme=dark\n");
    full += QByteArray(IniFileLimit - full.size(), ';');
    EnterTemporaryDirectory();
    WriteFile(QStringLiteral("prog.ini"), full);
    auto form = QuietMainWindow();
    English1Click(*form);
    events.clear();
    FormClose(*form);
    EXPECT_EQ(events, (QStringList{QStringLiteral("message Unable to write to ") +
                                       QDir::currentPath() + QStringLiteral("/prog.ini"),
                                   QStringLiteral("end 0")}));
    EXPECT_TRUE(ReadFile(QStringLiteral("prog.ini")) == full);
}

} // namespace
