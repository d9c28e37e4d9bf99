// Writes a PNG of every tab of the main window in both languages and of the other windows, so the
// layout can be looked at without a display (QT_QPA_PLATFORM=offscreen).
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTimer>
#include <cstdio>

#include "ui/Forms.h"
#include "ui/Language.h"
#include "ui/LanguageSwitch.h"

namespace {

bool Save(QWidget* window, const QString& dir, const QString& name) {
    window->show();
    QApplication::processEvents();
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = window->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// The offscreen platform complains about every window raised or popup shown; that says nothing
// about the pictures.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) return;
    if (type != QtDebugMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
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
    std::fflush(stdout);
    return ok ? 0 : 1;
}
