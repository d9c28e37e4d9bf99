#include "settings/SettingsWiring.h"

#include "settings/SettingsRead.h"
#include "settings/SettingsWrite.h"
#include "ui/Connect.h"
#include "ui/Forms.h"

void ConnectSettingsHandlers(TForm1& form) {
    OnClick(form, form.Button1, Button1Click);
    OnClick(form, form.Button2, Button2Click);
    OnClick(form, form.Button11, Button11Click);
    OnClick(form, form.Button12, Button12Click);
    OnClick(form, form.Button10, Button10Click);
    OnToggle(form, form.CheckBox5, CheckBox5Click);
    OnToggle(form, form.CheckBox3, CheckBox3Click);
    OnSelect(form, form.RadioButton1, RadioButton1Click);
    OnSelect(form, form.RadioButton2, RadioButton2Click);
    OnSelect(form, form.RadioButton3, RadioButton3Click);
}
