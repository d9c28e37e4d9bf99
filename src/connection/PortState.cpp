#include "connection/PortState.h"

#include "base/Language.h"
#include "connection/Discovery.h"
#include "link/SerialLink.h"
#include "ui/Forms.h"

namespace {

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
    if (!LastOpenProblem.Empty()) text += QLatin1Char('\n') + OpenProblemText();
    return text;
}

void ShowPortLost(TForm1& form) {
    SetPanel(form, PortText(PortNumber) + QLatin1Char('?'), LostTooltip());
}

} // namespace

void ShowPortFound(TForm1& form, uint8_t n) {
    MarkPortInUse();
    SetPanel(form, PortText(n), QString());
}

void ShowNoPort(TForm1& form, const QString& reasons) {
    MarkPortInUse();
    SetPanel(form, QStringLiteral("---"), reasons);
}

void ShowSearchProblems(TForm1& form, const QString& reasons) {
    form.StatusBar1->Panel(3)->setToolTip(reasons);
}

void CheckPortBeforeTick(TForm1& form) {
    if (PortNumber == 0) return;
    // Refreshed at every tick while lost, so that it follows a change of language.
    if (KeepPortBeforeStep(PortNumber) == TPortChange::Lost) ShowPortLost(form);
}

void CheckPortAfterExchange(TForm1& form) {
    if (PortNumber == 0) return;
    switch (KeepPortAfterExchange()) {
    case TPortChange::Back:
        ShowPortFound(form, PortNumber);
        break;
    case TPortChange::Lost:
        ShowPortLost(form);
        break;
    case TPortChange::Unchanged:
        break;
    }
}
