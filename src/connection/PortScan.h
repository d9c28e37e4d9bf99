#pragma once
// Finding the console unit: the presence probe on the open port and the search over the port
// numbers, shared by the connection dialog and halvexctl.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

constexpr int LastScannedPort = 254;
// A search that has run this long gives up, whatever port it has reached.
constexpr int64_t ScanLimitSeconds = 5000;
// A device whose answer to the probe arrived damaged is asked again, up to this many probes on
// one port: one bad reply must not lose it for the session.
constexpr int MaxProbesPerPort = 3;

// The presence probe on the open port (or on none, which fails at once): the settings read into
// DeviceSettings at DeviceAddress. True when the settings were delivered.
bool ProbePort();

// Why ports that exist could not be opened during one search, each reason once.
class TOpenProblems {
  public:
    // Takes LastOpenProblem after an OpenPort.
    void Note();
    QString Text() const { return Problems.join(QLatin1Char('\n')); }

  private:
    QStringList Problems;
};

enum class TScanOutcome { Found, NotFound, TimedOut };

// Opens and probes COM1..COM254 in turn until one answers; that port stays open and `found`
// gets its number (otherwise `found` is left alone and the last port tried may be open).
// `tried(n)` runs after port n was opened, before its probe, e.g. for a progress bar.
TScanOutcome ScanPorts(uint8_t& found, TOpenProblems& problems,
                       const std::function<void(int n)>& tried = {});
