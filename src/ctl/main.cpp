// halvexctl: the console unit's service commands for scripts, without windows or a display.
#include <QCoreApplication>
#include <QLocale>
#include <cstdio>

#include "base/Language.h"
#include "ctl/CtlCommands.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // Numbers in and out are the same on every machine: "." whatever the user's locale.
    QLocale::setDefault(QLocale::c());
    LanguageIndex = 1; // messages from the shared code in English
    TCtlOptions options;
    QString error;
    if (!ParseCtlOptions(QCoreApplication::arguments(), options, error)) {
        std::fprintf(stderr, "halvexctl: %s\nTry 'halvexctl --help'.\n",
                     error.toUtf8().constData());
        return ExitUsage;
    }
    if (options.Help) {
        std::fputs(CtlUsage().toUtf8().constData(), stdout);
        return ExitOk;
    }
    if (options.Version) {
        std::fputs(CtlVersionText().toUtf8().constData(), stdout);
        return ExitOk;
    }
    return RunCtlCommand(options);
}
