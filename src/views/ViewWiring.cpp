#include "views/ViewWiring.h"

#include <qcustomplot.h>

#include "ui/Connect.h"
#include "ui/Forms.h"
#include "views/DoseView.h"
#include "views/GammaView.h"

void ConnectViewHandlers(TForm1& form) {
    OnClick(form, form.Button3, Button3Click);
    OnClick(form, form.Button6, Button6Click);
    OnClick(form, form.Button7, Button7Click);
    OnToggle(form, form.CheckBox2, CheckBox2Click);
    SetContextMenu(form.Chart1, [&form] { return Chart1Menu(form); });
    SetContextMenu(form.Chart2, [&form] { return Chart2Menu(form); });
}
