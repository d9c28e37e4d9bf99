#pragma once
// What the commands of halvexctl share: the output, the connection to the console unit and how
// a failure is told. The commands live by subject: CtlCommands.cpp (ports, settings, addresses,
// clock), CtlLive.cpp (status, watch), CtlArchive.cpp.
#include "ctl/CtlCommands.h"
#include "link/ObjectRequests.h"
#include "link/WireLog.h"

#include <QString>
#include <cstdint>

// Standard output, at once: a script reading a pipe sees each line when it is made.
void Print(const QString& text);
// One line on standard error after the tool's name.
void PrintError(const QString& text);
QString PortName(uint8_t n);

class TCtl {
  public:
    explicit TCtl(const TCtlOptions& o) : Options(o) {}
    ~TCtl() { ClosePort(); }

    int Run();

  private:
    // One line on standard error naming the port and what failed; ExitDeviceFailed.
    int Fail(const QString& what);
    // Why the last request of `what` failed, from the link's state.
    int RequestFailed(const QString& what);
    bool Read(uint8_t index) { return ReadObject(index) == 1; }
    // Opens the port given, or finds the console unit as the program's start-up does. False
    // after the failure was reported.
    bool Connect();

    int Ports();
    int Probe();
    int Status();
    int Watch();
    int ArchiveRead();
    int ArchiveErase();
    int SettingsGet();
    int SettingsSet();
    int AddressSet();
    int ClockSync();
    int ClockShow();

    const TCtlOptions& Options;
    uint8_t Port = 0;
    TWireLog WireLog;
};
