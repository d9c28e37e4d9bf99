#pragma once
// Everything that shapes a simulated console unit: its address, its starting values, its pacing
// and the faults it injects. Filled from the command line or directly by tests.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// Ways a reply can go wrong, in the order the injector tries them.
enum class TFault : uint8_t {
    NoAnswer,               // the request is lost: no reply, the device state does not change
    CorruptHeader,          // one byte of header bytes 0..9 altered
    CorruptHeaderChecksum,  // one byte of header bytes 10..13 altered
    CorruptPayload,         // one payload byte altered (an empty payload: the header checksum)
    CorruptPayloadChecksum, // one byte of the payload checksum altered (none: the header checksum)
    StrayByte,              // one extra byte before the reply
    CutReply,               // only the first k bytes of the reply (k = parameter, default 10)
    WrongSource,            // the reply comes from another source address
    Delay,                  // the reply is held back by the parameter in ms (default 200)
    OtherObject,            // a read reply for another readable object instead of the reply
    HugeLength,             // a header announcing 65535 payload bytes, then 4200 filler bytes
    HangUp,                 // the port hangs up after half of the reply
};
constexpr int FaultKindCount = 12;

// One fault kind: fires for each of the next `Next` replies, otherwise with probability `Rate`.
struct TFaultSetting {
    double Rate = 0.0;
    int Next = 0;
    int Parameter = -1; // cut length in bytes or delay in ms; -1: the default of the kind
};

struct TSimOptions {
    uint8_t Address[3] = {0x03, 0xC8, 0xFD};
    double DoseRateLevel = 0.15e-6; // Sv/h, the level the dose rate fluctuates around
    int ArchiveRecords = 240;       // records stored at power-on, 0..902
    int ArchivePages = 3;           // sessions the records fall into (time goes back between them)
    bool ArchiveGaps = false;       // sprinkle slots without a usable record into the sessions
    int64_t ClockOffset = 0;        // device clock minus PC clock, seconds, at power-on
    uint32_t Seed = 1;
    bool Noise = true;    // counting noise on dose rate, spectrum and battery values
    bool RealTime = true; // the device's own time follows the wall clock (off: only Advance)
    bool Pacing = true;   // pseudo-terminal only: bytes leave at 115200 baud, 10 bits a byte
    bool Reopen = false;  // pseudo-terminal only: after a hang-up open a new one instead of exiting
    std::array<TFaultSetting, FaultKindCount> Faults{};
};

// Name used on the command line for each fault ("no-answer", "cut", ...).
const char* FaultName(TFault fault);

// Parses the command line (without the program name). On failure returns false and sets `error`.
// `Port` gets --port N (0 when absent), `Link` gets --link PATH (empty when absent).
struct TSimCommandLine {
    TSimOptions Options;
    int Port = 0;
    QString Link;
    bool Help = false;
    bool Version = false;
};
bool ParseSimArguments(const QStringList& arguments, TSimCommandLine& result, QString& error);
QString SimUsage();
