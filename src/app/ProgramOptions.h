#pragma once
// The command line of halvex. Read before the window system is touched, so that --help,
// --version and a mistyped option work without a display.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

struct TProgramOptions {
    bool Help = false;
    bool Version = false;
    uint8_t Port = 0;                // --port N: only COMN is probed; 0 scans as usual
    std::optional<uint8_t> Language; // --language: LanguageIndex for this run only
    QString WireLog;                 // --wire-log FILE
    bool Verbose = false;
};

// `arguments` as the process got them, program name first. Qt's own options (-platform, -style
// ...) are accepted and left for the application object. False with a one-line reason otherwise.
bool ParseProgramOptions(const QStringList& arguments, TProgramOptions& options, QString& error);
QString ProgramUsage();
// How COM numbers map to devices here; the tail of every program's usage text.
QString PortNamingHelp();
// The value of --port (1..255), shared with halvexctl; false with the message otherwise.
bool ParsePortOption(const QString& text, uint8_t& port, QString& error);
QString ProgramVersionText();
