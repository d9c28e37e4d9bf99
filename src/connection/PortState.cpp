#include "connection/PortState.h"

#include "connection/Clock.h"
#include "connection/Discovery.h"
#include "link/ObjectRequests.h"
#include "link/SerialLink.h"
#include "ui/Forms.h"
#include "ui/Language.h"

namespace {

enum class TPortState { InUse, Lost, Reopened };
TPortState State = TPortState::InUse;
bool AttemptMade = false;
int64_t LastAttemptMs = 0;

QString PortText(uint8_t n) {
    return QStringLiteral("COM%1").arg(n);
}

void SetPanel(TForm1& form, const QString& text, const QString& tooltip) {
    form.StatusBar1->SetPanelText(3, text);
    form.StatusBar1->Panel(3)->setToolTip(tooltip);
}

// Russian for any index but English: a tooltip is never left blank.
QString LostTooltip() {
    QString text = LanguageIndex == 1 ? QStringLiteral("Port lost, reconnecting…")
                                      : QStringLiteral("Порт потерян, переподключение…");
    if (!LastOpenProblem.isEmpty()) text += QLatin1Char('\n') + LastOpenProblem;
    return text;
}

void ShowPortLost(TForm1& form) {
    SetPanel(form, PortText(PortNumber) + QLatin1Char('?'), LostTooltip());
}

bool PortDead() {
    return PortHandle == nullptr || PortHandle->HungUp();
}

// Closing frees the lock file and the flock for whoever takes the line next.
void MarkLost(TForm1& form) {
    ClosePort();
    State = TPortState::Lost;
    ShowPortLost(form);
}

} // namespace

void ShowPortFound(TForm1& form, uint8_t n) {
    State = TPortState::InUse;
    SetPanel(form, PortText(n), QString());
}

void ShowNoPort(TForm1& form, const QString& reasons) {
    State = TPortState::InUse;
    SetPanel(form, QStringLiteral("---"), reasons);
}

void ShowSearchProblems(TForm1& form, const QString& reasons) {
    form.StatusBar1->Panel(3)->setToolTip(reasons);
}

void CheckPortBeforeTick(TForm1& form) {
    if (PortNumber == 0) return;
    // A search from the menu may have opened the port meanwhile: the first exchange decides.
    if (State == TPortState::Lost && !PortDead()) State = TPortState::Reopened;
    if (State != TPortState::Lost && PortDead()) MarkLost(form);
    if (State != TPortState::Lost) return;
    const int64_t now = SteadyMilliseconds();
    if (!AttemptMade || now - LastAttemptMs >= ReopenIntervalMs) {
        AttemptMade = true;
        LastAttemptMs = now;
        if (OpenPort(PortNumber)) State = TPortState::Reopened;
    }
    // Refreshed at every tick, so that it follows a change of language.
    ShowPortLost(form);
}

void CheckPortAfterExchange(TForm1& form) {
    if (PortNumber == 0 || State == TPortState::Lost) return;
    const bool answered = LastReplyOutcome != TReplyOutcome::NotAnswered && !PortDead();
    if (State == TPortState::Reopened && answered)
        ShowPortFound(form, PortNumber);
    else if (State == TPortState::Reopened || PortDead())
        MarkLost(form);
}

bool PortBeingReopened() {
    return State != TPortState::InUse;
}

void ForgetPortState() {
    State = TPortState::InUse;
    AttemptMade = false;
    LastAttemptMs = 0;
}
