#include "connection/PortKeeper.h"

#include "base/Clock.h"
#include "link/ObjectRequests.h"
#include "link/SerialLink.h"

namespace {

enum class TPortState { InUse, Lost, Reopened };
TPortState State = TPortState::InUse;
bool AttemptMade = false;
int64_t LastAttemptMs = 0;

bool PortDead() {
    return Link.PortHandle == nullptr || Link.PortHandle->HungUp();
}

// Closing frees the lock file and the flock for whoever takes the line next.
void MarkLost() {
    ClosePort();
    State = TPortState::Lost;
}

} // namespace

TPortChange KeepPortBeforeStep(uint8_t n) {
    // A search from the menu may have opened the port meanwhile: the first exchange decides.
    if (State == TPortState::Lost && !PortDead()) State = TPortState::Reopened;
    if (State != TPortState::Lost && PortDead()) MarkLost();
    if (State != TPortState::Lost) return TPortChange::Unchanged;
    const int64_t now = SteadyMilliseconds();
    if (!AttemptMade || now - LastAttemptMs >= ReopenIntervalMs) {
        AttemptMade = true;
        LastAttemptMs = now;
        if (OpenPort(n)) State = TPortState::Reopened;
    }
    return TPortChange::Lost;
}

TPortChange KeepPortAfterExchange() {
    if (State == TPortState::Lost) return TPortChange::Unchanged;
    const bool answered = Link.LastReplyOutcome != TReplyOutcome::NotAnswered && !PortDead();
    if (State == TPortState::Reopened && answered) {
        State = TPortState::InUse;
        return TPortChange::Back;
    }
    if (State == TPortState::Reopened || PortDead()) {
        MarkLost();
        return TPortChange::Lost;
    }
    return TPortChange::Unchanged;
}

void MarkPortInUse() {
    State = TPortState::InUse;
}

bool PortBeingReopened() {
    return State != TPortState::InUse;
}

void ForgetPortState() {
    State = TPortState::InUse;
    AttemptMade = false;
    LastAttemptMs = 0;
}
