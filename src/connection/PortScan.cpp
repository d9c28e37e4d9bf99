#include "connection/PortScan.h"

#include "base/Clock.h"
#include "base/Language.h"
#include "link/Catalogue.h"
#include "link/ObjectRequests.h"
#include "link/SerialLink.h"

// Asked again while something comes back without the settings: an answer that did not deliver
// them, or bytes whose header arrived damaged. A silent port costs one probe.
bool ProbePort() {
    for (int probe = 0; probe < MaxProbesPerPort; ++probe) {
        // A refused address sends nothing and leaves an older request's traces behind.
        Link.LastReplyOutcome = TReplyOutcome::NotAnswered;
        Link.ReceivedCount = 0;
        if (ReadObject(Obj::DeviceSettings) == 1) return true;
        if (Link.LastReplyOutcome != TReplyOutcome::AnsweredNotDelivered && Link.ReceivedCount == 0)
            return false;
    }
    return false;
}

void TOpenProblems::Note() {
    const QString problem = OpenProblemText();
    if (!problem.isEmpty() && !Problems.contains(problem)) Problems << problem;
}

TScanOutcome ScanPorts(uint8_t& found, TOpenProblems& problems,
                       const std::function<void(int n)>& tried) {
    const int64_t start = NowSeconds();
    for (int n = 1; n <= LastScannedPort; ++n) {
        if (NowSeconds() - start > ScanLimitSeconds) return TScanOutcome::TimedOut;
        OpenPort(static_cast<uint8_t>(n));
        problems.Note();
        if (tried) tried(n);
        if (Link.PortHandle && ProbePort()) {
            found = static_cast<uint8_t>(n);
            return TScanOutcome::Found;
        }
    }
    return TScanOutcome::NotFound;
}
