#pragma once
// The command line of halvexctl: global options, one command, its own options and operands.
#include <QString>
#include <QStringList>
#include <cstdint>

struct TCtlOptions {
    bool Help = false;
    bool Version = false;
    uint8_t Port = 0; // --port N; 0 searches as the program's start-up does
    uint8_t Address[3] = {0x03, 0xC8, 0xFD};
    QString WireLog;
    QString Command;      // "status", "archive read" ...
    QStringList Operands; // settings set: KEY=VALUE ...; address set: target and address
    bool Json = false;    // status, settings get
    int Count = 0;        // watch: 0 runs until interrupted
    QString CsvFile, JsonFile, GpxFile;
    bool Txt = false;
    bool Yes = false;
};

// `arguments` as the process got them, program name first. False with a one-line reason for a
// usage error; --help and --version need no command.
bool ParseCtlOptions(const QStringList& arguments, TCtlOptions& options, QString& error);
QString CtlUsage();
QString CtlVersionText();
