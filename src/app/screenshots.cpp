// Writes a PNG of every tab of the main window in both languages and of the other windows, so the
// layout can be looked at without a display (QT_QPA_PLATFORM=offscreen).
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <qcustomplot.h>

#include "archive/ArchiveView.h"
#include "connection/Clock.h"
#include "connection/Polling.h"
#include "connection/Startup.h"
#include "link/SerialLink.h"
#include "settings/SettingsRead.h"
#include "sim/SimDevice.h"
#include "sim/SimPort.h"
#include "ui/Forms.h"
#include "ui/Language.h"
#include "ui/LanguageSwitch.h"

#include <ctime>
#include <memory>

namespace {

bool Save(QWidget* window, const QString& dir, const QString& name) {
    window->show();
    QApplication::processEvents();
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = window->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// The menu that a right click on `widget` pops up; it is grabbed and closed from inside its own
// event loop.
bool SaveContextMenu(QWidget* widget, const QString& dir, const QString& name) {
    bool ok = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            ok = Save(menu, dir, name);
            menu->close();
        }
    });
    emit widget->customContextMenuRequested(QPoint(20, 20));
    return ok;
}

// The offscreen platform complains about every window raised or popup shown; that says nothing
// about the pictures.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) return;
    if (type != QtDebugMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

// The windows as an operator sees them with a console unit on COM3: the simulated one, in
// process and on a clock of its own, so a minute of polling takes no time.
int64_t PictureNow = 0;
int64_t PictureClock() {
    return PictureNow;
}

bool SaveConnected(const QString& dir) {
    static TSimOptions options;
    options.RealTime = false;
    options.DoseRateLevel = 0.35e-6;
    static TSimDevice device(options);
    SetPortOpener([](uint8_t n) -> std::unique_ptr<TSerialPort> {
        if (n != 3) return nullptr;
        return std::make_unique<TSimPort>(device);
    });
    PictureNow = static_cast<int64_t>(std::time(nullptr));
    SetNowFunction(PictureClock);

    N4Click(*Form1);
    Timer2Timer(*Form1); // the start-up search: finds COM3 and fills the settings tab
    Timer2Timer(*Form1); // the main window back, the splash gone
    Form1->Timer1->stop();
    const auto poll = [](int tab, int seconds) {
        Form1->PageControl1->setCurrentIndex(tab);
        for (int i = 0; i < seconds; ++i) {
            device.Model().Advance(1);
            ++PictureNow;
            Timer1Timer(*Form1);
        }
    };
    bool ok = true;
    const char* tabs[5] = {"measurement", "settings", "archive", "spectrum", "batteries"};
    for (int lang = 0; lang < 2; ++lang) {
        const QString code = lang == 0 ? QStringLiteral("ru") : QStringLiteral("en");
        if (lang == 1) English1Click(*Form1);
        poll(0, 90);
        poll(3, 5);
        poll(4, 2);
        Form1->PageControl1->setCurrentIndex(1);
        Button1Click(*Form1);
        for (int tab : {0, 1, 3, 4}) {
            Form1->PageControl1->setCurrentIndex(tab);
            ok &= Save(Form1, dir,
                       QStringLiteral("live-%1-%2-%3").arg(code).arg(tab + 1).arg(tabs[tab]));
        }
    }
    ClosePort();
    SetPortOpener(nullptr);
    SetNowFunction(nullptr);
    return ok;
}

// The archive tab against a simulated console unit holding three sessions: after a read and on
// page 2 in both languages, halfway through a read, and the question before the erase.
bool SaveArchive(const QString& dir) {
    static TSimOptions options;
    options.RealTime = false;
    options.ArchiveRecords = 300;
    options.ArchivePages = 3;
    static TSimDevice device(options);
    SetPortOpener([](uint8_t n) -> std::unique_ptr<TSerialPort> {
        if (n != 3) return nullptr;
        return std::make_unique<TSimPort>(device);
    });
    bool ok = OpenPort(3) != nullptr;
    Form1->PageControl1->setCurrentWidget(Form1->TabSheet3);

    // Halfway through the first read: the read serves the event loop after every exchange.
    N4Click(*Form1);
    bool during = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!during && Form1->ProgressBar2->value() >= 450) {
            during = true;
            ok &= Save(Form1, dir, QStringLiteral("archive-ru-reading"));
        }
    });
    watch.start(0);
    Button4Click(*Form1);
    watch.stop();
    ok &= during;
    ok &= Save(Form1, dir, QStringLiteral("archive-ru-read"));
    ok &= SaveContextMenu(Form1->Chart4, dir, QStringLiteral("archive-ru-menu"));
    BitBtn2Click(*Form1);
    ok &= Save(Form1, dir, QStringLiteral("archive-ru-page2"));

    English1Click(*Form1);
    Button4Click(*Form1);
    ok &= Save(Form1, dir, QStringLiteral("archive-en-read"));
    ok &= SaveContextMenu(Form1->Chart4, dir, QStringLiteral("archive-en-menu"));
    BitBtn2Click(*Form1);
    ok &= Save(Form1, dir, QStringLiteral("archive-en-page2"));

    for (int lang = 0; lang < 2; ++lang) {
        if (lang == 0)
            N4Click(*Form1);
        else
            English1Click(*Form1);
        const QString name =
            lang == 0 ? QStringLiteral("erase-question-ru") : QStringLiteral("erase-question-en");
        bool asked = false;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = Save(box, dir, name);
                box->reject(); // "No": nothing is sent
            }
        });
        Button5Click(*Form1);
        ok &= asked;
    }
    N4Click(*Form1);
    ClosePort();
    SetPortOpener(nullptr);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(dir));
        return 1;
    }
    CreateForms();
    // No device traffic: the pictures show the windows as they are created.
    Form1->Timer1->stop();
    Form1->Timer2->stop();

    bool ok = true;
    const char* tabs[5] = {"measurement", "settings", "archive", "spectrum", "batteries"};
    for (int lang = 0; lang < 2; ++lang) {
        const QString code = lang == 0 ? QStringLiteral("ru") : QStringLiteral("en");
        if (lang == 0)
            N4Click(*Form1);
        else
            English1Click(*Form1);
        for (int tab = 0; tab < 5; ++tab) {
            Form1->PageControl1->setCurrentIndex(tab);
            ok &= Save(Form1, dir,
                       QStringLiteral("main-%1-%2-%3").arg(code).arg(tab + 1).arg(tabs[tab]));
        }
        Form1->PageControl1->setCurrentIndex(0);
        for (QMenu* menu : {Form1->N2, Form1->N1, Form1->Language1, Form1->N3}) {
            menu->popup(Form1->mapToGlobal(QPoint(0, 0)));
            ok &= Save(menu, dir, QStringLiteral("menu-%1-%2").arg(code, menu->objectName()));
            menu->hide();
        }
    }
    ok &= Save(Form2, dir, QStringLiteral("connection"));
    ok &= Save(Form3, dir, QStringLiteral("about-ru"));
    ok &= Save(Form4, dir, QStringLiteral("about-en"));
    ok &= Save(Form5, dir, QStringLiteral("splash-ru"));
    ok &= Save(Form6, dir, QStringLiteral("splash-en"));
    Form5->hide();
    Form6->hide();
    ok &= SaveConnected(dir);
    ok &= SaveArchive(dir);
    std::fflush(stdout);
    return ok ? 0 : 1;
}
