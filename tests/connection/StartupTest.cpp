#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>

#include "../settings/FormFixture.h"
#include "connection/Startup.h"
#include "link/Frame.h"
#include "link/SerialLink.h"
#include "ui/LanguageSwitch.h"

namespace {

// Counts how often a window is shown.
class TShowCounter : public QObject {
  public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) ++shows;
        return false;
    }
};

class Startup : public TFormTest {
  protected:
    void SetUp() override {
        TFormTest::SetUp();
        StartupDone = false;
        russian = std::make_unique<TForm5>();
        english = std::make_unique<TForm6>();
        form->Splash[0] = russian.get();
        form->Splash[1] = english.get();
        russian->installEventFilter(&russianShows);
        english->installEventFilter(&englishShows);
        for (TObjectEntry& e : ObjectTable)
            e.EncodedSize = 0;
        form->show();
    }
    void TearDown() override {
        form->Splash[0] = form->Splash[1] = nullptr;
        english.reset();
        russian.reset();
        StartupDone = false;
        TFormTest::TearDown();
    }
    std::unique_ptr<TForm5> russian;
    std::unique_ptr<TForm6> english;
    TShowCounter russianShows, englishShows;
};

TEST_F(Startup, FirstTickShowsTheSplashAndFindsTheDevice) {
    Link.DeviceAddress[0] = Link.DeviceAddress[1] = Link.DeviceAddress[2] = 0;
    Timer2Timer(*form);
    EXPECT_TRUE(StartupDone);
    EXPECT_EQ(russianShows.shows, 1);
    EXPECT_EQ(englishShows.shows, 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Timer2->interval(), 3000);
    EXPECT_EQ(ObjectTable[Obj::DeviceSettings].EncodedSize, 65);
    EXPECT_EQ(Link.DeviceAddress[0], 0x03);
    EXPECT_EQ(Link.DeviceAddress[1], 0xC8);
    EXPECT_EQ(Link.DeviceAddress[2], 0xFD);
    EXPECT_EQ(PortNumber, DevicePort);
    EXPECT_EQ(Panel(3), "COM3");
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(dialog->ProgressBar1->value(), 0);
    form->Timer1->stop();
}

// A port from the command line is the only one probed, as the dialog's manual mode does.
TEST_F(Startup, AGivenPortIsTheOnlyOneProbed) {
    struct {
        uint8_t port;
        uint8_t found;
        const char* panel;
    } const cases[] = {{DevicePort, DevicePort, "COM3"}, {200, 0, "---"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        StartupDone = false;
        PortNumber = 0;
        std::vector<int> opened;
        SetWireTap([&opened](TWireEvent e, const uint8_t*, int n) {
            if (e == TWireEvent::Opened) opened.push_back(n);
        });
        StartupPort = c.port;
        Timer2Timer(*form);
        StartupPort = 0;
        SetWireTap(nullptr);
        EXPECT_EQ(opened, std::vector<int>{c.port});
        EXPECT_EQ(PortNumber, c.found);
        EXPECT_EQ(Panel(3), c.panel);
        form->Timer1->stop();
    }
}

TEST_F(Startup, EnglishShowsOnlyTheEnglishSplash) {
    LanguageIndex = 1;
    Timer2Timer(*form);
    EXPECT_EQ(englishShows.shows, 1);
    EXPECT_EQ(russianShows.shows, 0);
    EXPECT_EQ(form->PageControl1->tabText(1), "Settings"); // captions applied again
    form->Timer1->stop();
}

TEST_F(Startup, NoDeviceLeavesThePollingTimerAsItWas) {
    opener->SetAvailable(false);
    Timer2Timer(*form);
    EXPECT_EQ(PortNumber, 0);
    EXPECT_EQ(Panel(3), "---");
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(Startup, LaterTicksBringBackAHiddenMainWindowAndCloseTheSplash) {
    Timer2Timer(*form);
    form->Timer1->stop();
    ASSERT_TRUE(russian->isVisible());
    Timer2Timer(*form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(russian->isVisible());
    EXPECT_EQ(russianShows.shows, 1);
    form->hide();
    Timer2Timer(*form);
    EXPECT_TRUE(form->isVisible());
}

// The windows a main window opens are given to it; one built without its connection dialog
// (as tests and benchmarks build them) neither searches nor fails.
TEST_F(Startup, WithoutItsDialogTheMainWindowSearchesNothing) {
    form->ConnectDialog = nullptr;
    const int requests = device->Model().Requests();
    N5Click(*form);
    Timer2Timer(*form);
    EXPECT_TRUE(StartupDone);
    EXPECT_EQ(PortNumber, 0);
    EXPECT_EQ(opener->Opens(), 0);
    EXPECT_EQ(device->Model().Requests(), requests);
}

TEST(StartupClose, ClosingTheMainWindowWritesTheLanguage) {
    TestApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            auto window = QuietMainWindow();
            LanguageIndex = 1;
            window->close();
            std::_Exit(3); // only reached when closing did not end the process
        },
        ::testing::ExitedWithCode(0), "");
    QFile ini(dir.filePath("prog.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains("[Common]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Language=1")) << text.toStdString();
    QDir::setCurrent(previous);
}

} // namespace
