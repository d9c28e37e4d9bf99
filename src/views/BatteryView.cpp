#include "views/BatteryView.h"

#include "base/Language.h"
#include "link/Catalogue.h"
#include "ui/Forms.h"
#include "views/LiveFormat.h"
#include "views/Numbers.h"

namespace {

// The two batteries differ only in what they read and where they write.
struct TBatteryView {
    const TBattery* Object;
    QLabel* TForm1::*Charge;
    QLabel* TForm1::*Temperature;
    QLabel* TForm1::*Remaining;
    QLabel* TForm1::*CurrentCaption;
    QLabel* TForm1::*Current;
    QLabel* TForm1::*Condition;
    int Panel;
    // Panel text starts: [english][charging]
    const char* Start[2][2];
};

const TBatteryView ConsoleView = {
    &ConsoleBattery,
    &TForm1::Label15,
    &TForm1::Label16,
    &TForm1::Label17,
    &TForm1::Label13,
    &TForm1::Label18,
    &TForm1::Label19,
    1,
    {{"Аккумулятор ВОЛН-2 :  ", "Аккумулятор ВОЛН-2:  "},
     {"VOLN-2 Battery :  ", "VOLN-2 Battery:  "}},
};

const TBatteryView DetectorView = {
    &DetectorBattery,
    &TForm1::Label25,
    &TForm1::Label26,
    &TForm1::Label27,
    &TForm1::Label23,
    &TForm1::Label28,
    &TForm1::Label29,
    2,
    {{"Аккумулятор ТЕРН-5 :  ", "Аккумулятор ТЕРН-5:  "},
     {"TERN-5 Battery :  ", "TERN-5 Battery:  "}},
};

void ShowBattery(TForm1& form, const TBatteryView& view) {
    const TBattery& b = *view.Object;
    (form.*view.Charge)->setText(QString::number(b.Charge) + QLatin1Char('%'));
    (form.*view.Temperature)->setText(FormatFixed(b.Temperature, 4, 1));
    if (LanguageIndex == 0 || LanguageIndex == 1) {
        const bool english = LanguageIndex == 1;
        (form.*view.Remaining)->setText(FormatRemainingTime(b.RemainingTime, english));
        // Not a number counts as not charging: the comparison fails.
        const bool charging = b.Current > 0;
        QString caption, tail;
        if (charging) {
            caption = english ? QStringLiteral("Charge current:") : QStringLiteral("Ток заряда:");
            tail = english ? QStringLiteral("% charging") : QStringLiteral("% зарядка");
        } else {
            caption = english ? QStringLiteral("Current consumption:")
                              : QStringLiteral("Ток потребления:");
            tail = QStringLiteral("%");
        }
        (form.*view.CurrentCaption)->setText(caption);
        form.StatusBar1->SetPanelText(view.Panel, QString::fromUtf8(view.Start[english][charging]) +
                                                      QString::number(b.Charge) + tail);
        (form.*view.Current)
            ->setText(FormatFixed(b.Current, 4, 1) +
                      (english ? QStringLiteral(" mA") : QStringLiteral(" мА")));
    }
    (form.*view.Condition)->setText(QString::number(b.Condition) + QLatin1Char('%'));
}

void ClearBattery(TForm1& form, const TBatteryView& view) {
    const QString none = NoValueText();
    for (QLabel* TForm1::*label :
         {view.Charge, view.Temperature, view.Remaining, view.Current, view.Condition})
        (form.*label)->setText(none);
    form.StatusBar1->SetPanelText(view.Panel, none);
}

} // namespace

void ClearBatteryValues(TForm1& form) {
    ClearBattery(form, ConsoleView);
    ClearBattery(form, DetectorView);
}

void ShowConsoleBattery(TForm1& form) {
    ShowBattery(form, ConsoleView);
}

void ShowDetectorBattery(TForm1& form) {
    ShowBattery(form, DetectorView);
}
