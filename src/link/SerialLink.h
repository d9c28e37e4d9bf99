#pragma once
// The serial link: one port at a time, opened by number, and one blocking exchange per request.
#include "link/Link.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// An open, configured serial port (115200 8N1, raw). Implemented over a tty (TtyPort.h) and, for
// tests, in memory over the simulator's device model.
class TSerialPort {
  public:
    virtual ~TSerialPort() = default;
    // Discards whatever waits in either direction.
    virtual void Purge() = 0;
    // Sends n bytes; returns the count sent, -1 on failure.
    virtual int Write(const uint8_t* data, int n) = 0;
    // Returns after at most timeoutMs with what arrived, up to n bytes (0 on hang-up or failure).
    virtual int Read(uint8_t* data, int n, int timeoutMs) = 0;
    virtual void Close() = 0;
    // The line is gone for good (unplugged adapter, simulator ended): only a new open helps.
    virtual bool HungUp() const { return false; }
};

// Opens port number n ("COM" + n); nullptr when it does not exist or cannot be configured.
using TPortOpener = std::function<std::unique_ptr<TSerialPort>(uint8_t n)>;
// Replaces how ports are opened (tests: the in-memory simulator); an empty opener restores ttys.
void SetPortOpener(TPortOpener opener);

TSerialPort* OpenPort(uint8_t n);
void ClosePort();
void LinkTransact(uint8_t* frame, uint16_t requestLength);

// Linux port naming: COMn is the link COMn in the port folder, else /dev/ttyS, ttyUSB, ttyACM.
// Paths are UTF-8 std::strings. The port folder is $XDG_DATA_HOME/halvex/ports, by default
// ~/.local/share/halvex/ports.
std::string DefaultPortFolder();
void SetPortFolder(const std::string& folder); // tests use a temporary folder
std::string PortFolder();
std::string PortFolderEntry(uint8_t n); // where COMn's link goes, whether there is one or not
std::string PortDeviceName(uint8_t n);  // empty when the number has no port

// Why the last OpenPort failed, for the operator (e.g. "/dev/ttyUSB0: permission denied ..."), as
// UTF-8 texts in both languages; empty after a successful open or when the port simply does not
// exist. Each reason is worded in both languages; only the system's own error text, for the rare
// failures without a reason of ours, reads the same in both.
struct TOpenProblem {
    std::string Russian;
    std::string English;
    bool Empty() const { return Russian.empty() && English.empty(); }
    const std::string& In(bool english) const { return english ? English : Russian; }
};
extern TOpenProblem LastOpenProblem;

// Milliseconds until `deadline`, 0 once it has passed: every wait of the link runs against one.
int MsLeft(std::chrono::steady_clock::time_point deadline);

// What the link does, for diagnostics (wire log, --verbose). Opened: after every OpenPort, with
// no bytes and n the port number (PortHandle and LastOpenProblem tell the outcome). Sent and
// Received: the bytes of each exchange; Received comes with n 0 when nothing arrived.
enum class TWireEvent { Opened, Sent, Received };
using TWireTap = std::function<void(TWireEvent event, const uint8_t* data, int n)>;
void SetWireTap(TWireTap tap); // an empty tap switches it off
