#include "link/SerialLink.h"

#include "link/Frame.h"
#include "link/LinkOwner.h"
#include "link/TtyPort.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>

TLink Link;
TOpenProblem LastOpenProblem;

int MsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<TSerialPort> OpenTty(uint8_t n) {
    // A simulator killed outright leaves its link to a pseudo-terminal number that someone's new
    // terminal may get; opening it would talk to that terminal.
    const std::string entry = PortFolderEntry(n);
    if (LinkOwnerState(entry) == TLinkOwnerState::Gone) {
        LastOpenProblem = {entry + ": оставлен завершившимся симулятором; не открыт",
                           entry + ": left behind by a simulator that has ended; not opened"};
        return nullptr;
    }
    const std::string path = PortDeviceName(n);
    if (path.empty()) return nullptr;
    return OpenTtyPort(path);
}

// $HOME with the slashes tidied, "/" without one.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "/";
    std::string path = std::filesystem::path(home).lexically_normal().string();
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

TPortOpener Opener;
std::unique_ptr<TSerialPort> OpenPortObject;
std::string Folder;
TWireTap WireTap;

} // namespace

void SetPortOpener(TPortOpener opener) {
    Opener = std::move(opener);
}

std::string DefaultPortFolder() {
    // The XDG base directory rule: a relative XDG_DATA_HOME is invalid and ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string data = xdg ? xdg : "";
    if (data.empty() || data.front() != '/') data = HomeFolder() + "/.local/share";
    return data + "/halvex/ports";
}

void SetPortFolder(const std::string& folder) {
    Folder = folder;
}

std::string PortFolder() {
    return Folder.empty() ? DefaultPortFolder() : Folder;
}

std::string PortFolderEntry(uint8_t n) {
    return PortFolder() + "/COM" + std::to_string(n);
}

std::string PortDeviceName(uint8_t n) {
    const std::string entry = PortFolderEntry(n);
    std::error_code error;
    if (std::filesystem::exists(entry, error)) return entry;
    struct Range {
        int first;
        const char* prefix;
    };
    static const Range table[] = {{1, "/dev/ttyS"}, {33, "/dev/ttyUSB"}, {65, "/dev/ttyACM"}};
    for (const Range& r : table)
        if (n >= r.first && n < r.first + 32) return r.prefix + std::to_string(n - r.first);
    return {};
}

void ClosePort() {
    if (OpenPortObject) OpenPortObject->Close();
    OpenPortObject.reset();
    Link.PortHandle = nullptr;
}

TSerialPort* OpenPort(uint8_t n) {
    ClosePort();
    LastOpenProblem = {};
    OpenPortObject = Opener ? Opener(n) : OpenTty(n);
    Link.PortHandle = OpenPortObject.get();
    if (WireTap) WireTap(TWireEvent::Opened, nullptr, n);
    return Link.PortHandle;
}

void SetWireTap(TWireTap tap) {
    WireTap = std::move(tap);
}

namespace {

// A port implementation that claims more than was asked for must not move ReplyLength past the
// buffer.
int ReadInto(uint8_t* at, int n) {
    const int got = Link.PortHandle->Read(at, n, 30 + n);
    return got < 0 ? 0 : std::min(got, n);
}

// The rest of a reply that was not read whole (too long for the buffer, or behind a damaged
// header) may still be on its way when the next exchange purges, and would then be read as that
// exchange's header: wait until the line has been quiet for 10 ms, for at most 0.6 s. Whatever
// comes later is dropped by the next purge.
void DrainLine() {
    uint8_t scratch[512];
    const auto end = Clock::now() + std::chrono::milliseconds(600);
    for (int left = MsLeft(end); left > 0; left = MsLeft(end))
        if (Link.PortHandle->Read(scratch, sizeof scratch, std::min(10, left)) <= 0) break;
}

} // namespace

void LinkTransact(uint8_t* frame, uint16_t requestLength) {
    int c = 0;
    int received = 0;
    if (Link.PortHandle) {
        Link.PortHandle->Purge();
        Link.PortHandle->Write(frame, requestLength);
        if (WireTap) WireTap(TWireEvent::Sent, frame, requestLength);
        const int got = ReadInto(frame, HeaderSize);
        received = got;
        if (got == HeaderSize && HeaderIntact(frame)) {
            const uint16_t l = PayloadLength(frame);
            if (l > 0) {
                // A header may announce up to 65535 payload bytes; read only what the buffer
                // holds, and HandleReply treats such a frame as too long.
                const int room = FrameBufferSize - HeaderSize;
                c = ReadInto(frame + HeaderSize, std::min<int>(l + 4, room));
                received += c;
                if (l + 4 > room) DrainLine();
            }
        } else {
            c = got;
            // Behind a damaged header the rest of its frame may still be coming; read as the
            // next reply's header, it would put every later exchange out of step.
            if (got > 0) DrainLine();
        }
    }
    Link.ReceivedCount = static_cast<uint16_t>(received);
    Link.ReplyLength = static_cast<uint16_t>(c + HeaderSize);
    // Whatever arrived lies at the start of the frame, header and payload in one run.
    if (Link.PortHandle && WireTap) WireTap(TWireEvent::Received, frame, received);
}
