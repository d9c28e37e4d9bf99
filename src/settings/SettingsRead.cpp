#include "settings/SettingsRead.h"

#include "base/Language.h"
#include "link/Address.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "settings/SettingsDisplay.h"
#include "ui/Forms.h"
#include "ui/Widgets.h"
#include "views/BatteryView.h"
#include "views/DoseView.h"
#include "views/GammaView.h"

bool ConvertAddress(const QLineEdit* edit, uint8_t address[3]) {
    const std::string text = edit->text().toStdString();
    if (ParseAddressText(text, address)) return true;
    ShowMessage(QString::fromStdString(InvalidIntegerMessage(text)));
    return false;
}

bool TakeEdit2Address(const TForm1& form) {
    return ParseAddressText(form.Edit2->text().toStdString(), Link.DeviceAddress);
}

bool ConvertDeviceAddress(TForm1& form) {
    if (TakeEdit2Address(form)) return true;
    ShowMessage(QString::fromStdString(InvalidIntegerMessage(form.Edit2->text().toStdString())));
    return false;
}

namespace {
enum class TReadOutcome { Read, NoAnswer, BadAddress };
}

// The recording controls are set one after another so that each change runs its handler, as an
// operator's click would; the order decides which radio button wins when several bits are set.
static void ShowRecordingMode(TForm1& form, uint8_t mode) {
    if (mode & RecordEveryMeasurement) {
        SetRadioChecked(form.RadioButton1, true);
        form.CheckBox5->setChecked(true);
    } else if (mode == 0) {
        SetRadioChecked(form.RadioButton1, false);
        form.CheckBox5->setChecked(false);
    }
    SetRadioChecked(form.RadioButton3, (mode & RecordEveryHour) != 0);
    SetRadioChecked(form.RadioButton2, (mode & RecordEveryMinute) != 0);
    form.CheckBox3->setChecked((mode & RecordOnChange) != 0);
}

void ShowSettingsRead(TForm1& form) {
    const TSettingsDisplay d = DescribeSettings(DeviceSettings);
    form.Edit9->setText(d.DoseRateThreshold);
    form.Edit10->setText(d.DoseThreshold);
    form.Edit3->setText(d.Module1Address);
    form.Edit5->setText(d.Module1Channel);
    form.Edit4->setText(d.Module2Address);
    form.Edit7->setText(d.Module2Channel);
    ShowRecordingMode(form, DeviceSettings.RecordingMode);
    form.ComboBox2->setCurrentIndex(d.SoundItem);
    form.ComboBox1->setCurrentIndex(d.LanguageItem);
    form.CheckBox4->setChecked(d.AutoBrightness);
    form.ComboBox4->setCurrentIndex(d.GpsItem);
    form.TrackBar1->setValue(d.Brightness);
    // A mode the list does not have selects nothing; field 11 itself is sent back unchanged.
    form.ComboBox3->setCurrentIndex(d.DisplayModeItem < form.ComboBox3->count() ? d.DisplayModeItem
                                                                                : -1);
    QCheckBox* screens[ScreenCount] = {form.CheckBox6, form.CheckBox7, form.CheckBox8,
                                       form.CheckBox9, form.CheckBox10};
    for (int i = 0; i < ScreenCount; ++i)
        screens[i]->setChecked(d.Screens[i]);
}

static TReadOutcome ReadSettingsInto(TForm1& form) {
    if (!ConvertDeviceAddress(form)) return TReadOutcome::BadAddress;
    if (ReadObject(Obj::DeviceSettings) != 1) return TReadOutcome::NoAnswer;
    ShowSettingsRead(form);
    return TReadOutcome::Read;
}

uint8_t ReadSettings(TForm1& form) {
    return ReadSettingsInto(form) == TReadOutcome::Read ? 1 : 0;
}

void ClearSettingsValues(TForm1& form) {
    for (QLineEdit* edit :
         {form.Edit3, form.Edit4, form.Edit5, form.Edit7, form.Edit9, form.Edit10})
        edit->setText(QStringLiteral(" "));
}

void ClearDisplayedValues(TForm1& form) {
    ClearDoseValues(form);
    ClearSettingsValues(form);
    ClearBatteryValues(form);
    ClearSpectrumValues(form);
}

void Button1Click(TForm1& form) {
    switch (ReadSettingsInto(form)) {
    case TReadOutcome::BadAddress:
        return; // the message said it; nothing else changes
    case TReadOutcome::NoAnswer:
        ClearDisplayedValues(form);
        return;
    case TReadOutcome::Read:
        if (auto text = LangText("Прочитано", "Ok")) form.StatusBar1->SetPanelText(0, *text);
        return;
    }
}

void CheckBox5Click(TForm1& form) {
    if (!form.CheckBox5->isChecked()) {
        SetRadioChecked(form.RadioButton1, false);
        SetRadioChecked(form.RadioButton2, false);
        SetRadioChecked(form.RadioButton3, false);
        form.CheckBox3->setChecked(false);
        return;
    }
    // Recording needs a mode: ticked on its own, the box undoes itself.
    if (!form.RadioButton1->isChecked() && !form.RadioButton2->isChecked() &&
        !form.RadioButton3->isChecked() && !form.CheckBox3->isChecked())
        form.CheckBox5->setChecked(false);
}

void RadioButton1Click(TForm1& form) {
    if (form.RadioButton1->isChecked()) form.CheckBox5->setChecked(true);
}

void RadioButton2Click(TForm1& form) {
    if (form.RadioButton2->isChecked()) form.CheckBox5->setChecked(true);
}

void RadioButton3Click(TForm1& form) {
    if (form.RadioButton3->isChecked()) form.CheckBox5->setChecked(true);
}

void CheckBox3Click(TForm1& form) {
    if (form.CheckBox3->isChecked()) form.CheckBox5->setChecked(true);
}
