// Writes a PNG of every tab of the main window in both languages and of the other windows, so the
// layout can be looked at without a display (QT_QPA_PLATFORM=offscreen). Everything the pictures
// show runs on a clock handed in (or a fixed one) in a fixed time zone, so two runs give the same
// pictures bit for bit and --compare can prove that a change left the windows alone.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <qcustomplot.h>

#include "app/Wiring.h"
#include "archive/ArchivePageView.h"
#include "archive/ArchiveView.h"
#include "base/Clock.h"
#include "base/Language.h"
#include "connection/Polling.h"
#include "connection/Startup.h"
#include "link/SerialLink.h"
#include "settings/SettingsRead.h"
#include "sim/SimDevice.h"
#include "sim/SimPort.h"
#include "ui/Forms.h"
#include "ui/LanguageSwitch.h"

#include <cstdlib>
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

// No daylight saving, and a zone that needs no tz database on the machine.
constexpr const char* PictureZone = "MSK-3";
// 2026-06-15 10:00:00 in PictureZone.
constexpr int64_t DefaultStart = 1781506800;
// 2100-01-01: the console unit keeps the year in two digits.
constexpr int64_t LatestStart = 4102444800;

// The PC clock of the pictures; the simulated console units read it too (their own clock and the
// times of their archive), so nothing shown depends on when the pictures are taken.
int64_t PictureNow = DefaultStart;
int64_t PictureClock() {
    return PictureNow;
}
int64_t PictureSteadyClock() {
    return PictureNow * 1000;
}

// Seconds since 1970, or a local date and time "YYYY-MM-DDTHH:MM:SS" in PictureZone.
bool ParseStart(const QString& text, int64_t& start) {
    bool number = false;
    const qlonglong seconds = text.toLongLong(&number);
    if (number) {
        if (seconds < 0 || seconds >= LatestStart) return false;
        start = seconds;
        return true;
    }
    const QByteArray utf8 = text.toUtf8();
    int y, mo, d, h, mi, s;
    char end;
    if (std::sscanf(utf8.constData(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s,
                    &end) != 6)
        return false;
    tm fields{};
    fields.tm_year = y - 1900;
    fields.tm_mon = mo - 1;
    fields.tm_mday = d;
    fields.tm_hour = h;
    fields.tm_min = mi;
    fields.tm_sec = s;
    fields.tm_isdst = 0;
    const time_t t = std::mktime(&fields);
    // mktime carries 30 February over into March; a date that moved was no date.
    if (t == time_t(-1) || fields.tm_year != y - 1900 || fields.tm_mon != mo - 1 ||
        fields.tm_mday != d || fields.tm_hour != h || fields.tm_min != mi || fields.tm_sec != s)
        return false;
    if (t < 0 || t >= LatestStart) return false;
    start = static_cast<int64_t>(t);
    return true;
}

QStringList Pictures(const QDir& dir) {
    return dir.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
}

// Lists every picture that differs between the two folders, or is missing from or new in the
// second. 0: all identical, 1: some differ, 2: a folder cannot be read.
int Compare(const QString& oldPath, const QString& newPath) {
    const QDir oldDir(oldPath), newDir(newPath);
    for (const QDir* dir : {&oldDir, &newDir}) {
        if (!dir->exists()) {
            std::fprintf(stderr, "no folder %s\n", qPrintable(dir->path()));
            return 2;
        }
    }
    const QStringList oldNames = Pictures(oldDir), newNames = Pictures(newDir);
    int identical = 0, different = 0;
    for (const QString& name : oldNames) {
        if (!newNames.contains(name)) {
            std::printf("missing %s\n", qPrintable(name));
            ++different;
            continue;
        }
        const QImage before = QImage(oldDir.filePath(name)).convertToFormat(QImage::Format_ARGB32);
        const QImage after = QImage(newDir.filePath(name)).convertToFormat(QImage::Format_ARGB32);
        if (before.isNull() || after.isNull()) {
            std::printf("unreadable %s\n", qPrintable(name));
            ++different;
            continue;
        }
        if (before.size() != after.size()) {
            std::printf("differs %s: size %dx%d, now %dx%d\n", qPrintable(name), before.width(),
                        before.height(), after.width(), after.height());
            ++different;
            continue;
        }
        long long pixels = 0;
        for (int y = 0; y < before.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
            for (int x = 0; x < before.width(); ++x)
                pixels += a[x] != b[x];
        }
        if (pixels > 0) {
            std::printf("differs %s: %lld pixels\n", qPrintable(name), pixels);
            ++different;
        } else {
            ++identical;
        }
    }
    for (const QString& name : newNames) {
        if (!oldNames.contains(name)) {
            std::printf("new %s\n", qPrintable(name));
            ++different;
        }
    }
    if (different > 0) return 1;
    std::printf("%d pictures identical\n", identical);
    return 0;
}

// The windows as an operator sees them with a console unit on COM3: the simulated one, in
// process and on the pictures' clock, so a minute of polling takes no time.

bool SaveConnected(const QString& dir) {
    static TSimOptions options;
    options.RealTime = false;
    options.DoseRateLevel = 0.35e-6;
    static TSimDevice device(options);
    SetPortOpener([](uint8_t n) -> std::unique_ptr<TSerialPort> {
        if (n != 3) return nullptr;
        return std::make_unique<TSimPort>(device);
    });

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
    // Before the first time call, so that every chart and clock is laid out in the same zone; and
    // one locale, since the decimal point of the shown values follows the system's.
    setenv("TZ", PictureZone, 1);
    tzset();
    setenv("LC_ALL", "C.UTF-8", 1);
    qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a PNG of every window into FOLDER (default: screenshots), or compares two such "
        "folders pixel by pixel."));
    parser.addHelpOption();
    const QCommandLineOption startOption(
        QStringLiteral("start"),
        QStringLiteral("The PC clock at the start: seconds since 1970 or YYYY-MM-DDTHH:MM:SS "
                       "(time zone %1). Default 2026-06-15T10:00:00.")
            .arg(QLatin1String(PictureZone)),
        QStringLiteral("time"));
    const QCommandLineOption compareOption(
        QStringLiteral("compare"),
        QStringLiteral("Compare the pictures of OLD and NEW instead of writing any; exit status 1 "
                       "if any differs, is missing or is new."));
    parser.addOption(startOption);
    parser.addOption(compareOption);
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("Where to write, or OLD NEW with --compare."));
    parser.process(app);
    const QStringList folders = parser.positionalArguments();
    if (parser.isSet(compareOption)) {
        if (folders.size() != 2) {
            std::fprintf(stderr, "--compare takes two folders: OLD NEW\n");
            return 2;
        }
        return Compare(folders[0], folders[1]);
    }
    if (folders.size() > 1) {
        std::fprintf(stderr, "one folder only\n");
        return 2;
    }
    if (parser.isSet(startOption) && !ParseStart(parser.value(startOption), PictureNow)) {
        std::fprintf(stderr, "--start: not a time: %s\n", qPrintable(parser.value(startOption)));
        return 2;
    }
    SetNowFunction(PictureClock);
    SetSteadyFunction(PictureSteadyClock);

    const QString dir = folders.isEmpty() ? QStringLiteral("screenshots") : folders[0];
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
