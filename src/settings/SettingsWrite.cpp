#include "settings/SettingsWrite.h"

#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "settings/AddressChange.h"
#include "settings/SettingsCompose.h"
#include "settings/SettingsRead.h"
#include "ui/Forms.h"
#include "ui/Widgets.h"

static TSettingsControls SettingsControls(const TForm1& form) {
    TSettingsControls c;
    c.DoseRateThreshold = form.Edit9->text();
    c.DoseThreshold = form.Edit10->text();
    c.Brightness = form.TrackBar1->value();
    c.EveryMeasurement = form.RadioButton1->isChecked();
    c.EveryHour = form.RadioButton3->isChecked();
    c.EveryMinute = form.RadioButton2->isChecked();
    c.OnChange = form.CheckBox3->isChecked();
    c.LanguageItem = form.ComboBox1->currentIndex();
    c.SoundItem = form.ComboBox2->currentIndex();
    c.GpsItem = form.ComboBox4->currentIndex();
    c.AutoBrightness = form.CheckBox4->isChecked();
    const QCheckBox* screens[ScreenCount] = {form.CheckBox6, form.CheckBox7, form.CheckBox8,
                                             form.CheckBox9, form.CheckBox10};
    for (int i = 0; i < ScreenCount; ++i)
        c.Screens[i] = screens[i]->isChecked();
    return c;
}

void Button2Click(TForm1& form) {
    if (auto refusal = ComposeSettingsWrite(SettingsControls(form), DeviceSettings)) {
        ShowMessage(*refusal);
        return;
    }
    // WriteObject reports the outcome in the status bar; there is nothing to add here.
    WriteObject(Obj::DeviceSettingsWrite);
}

static void WriteModuleAddress(const QLineEdit* edit, uint8_t variable[3], uint8_t object) {
    if (ConvertAddress(edit, variable)) WriteObject(object);
}

// The write goes to DeviceAddress as the last tick or read took it from Edit2; the unit answers
// at the new address from then on, and so does the program.
void Button10Click(TForm1& form) {
    uint8_t next[3];
    if (ConvertAddress(form.Edit2, next)) ChangeConsoleAddress(Link.DeviceAddress, next);
}

void Button11Click(TForm1& form) {
    WriteModuleAddress(form.Edit3, DeviceSettings.Module1Address, Obj::Module1Address);
}

void Button12Click(TForm1& form) {
    WriteModuleAddress(form.Edit4, DeviceSettings.Module2Address, Obj::Module2Address);
}
