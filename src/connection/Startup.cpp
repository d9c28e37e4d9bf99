#include "connection/Startup.h"

#include <qcustomplot.h>

#include "base/Language.h"
#include "connection/Discovery.h"
#include "link/ObjectTable.h"
#include "settings/SettingsRead.h"
#include "ui/Forms.h"
#include "ui/LanguageSwitch.h"
#include "views/DoseView.h"
#include "views/GammaView.h"

bool StartupDone = false;
uint8_t StartupPort = 0;

// The manual mode reads its port from the dialog's list: select the number there, as the
// operator would.
static void FindStartupPort(TForm1& form, TForm2& dialog) {
    QComboBox* list = dialog.ComboBox1;
    const QString number = QString::number(StartupPort);
    if (list->findText(number) < 0) list->addItem(number);
    list->setCurrentIndex(list->findText(number));
    FindDevice(form, dialog, 1);
}

static void ShowSplash(TForm1& form) {
    if (LanguageIndex <= 1 && form.Splash[LanguageIndex])
        ShowAndPaintNow(form.Splash[LanguageIndex]);
}

static void FirstTick(TForm1& form) {
    ShowSplash(form);
    form.hide();
    form.Timer2->setInterval(3000);
    StartupDone = true;
    ComputeEncodedSizes(ObjectTable, ObjectCount);
    ApplyLanguage(form, LanguageIndex);
    // Edit2 holds its initial text here; a bad one is reported by the scan, once.
    TakeEdit2Address(form);
    // The search lists its ports in the dialog: a main window built without one searches nothing.
    if (form.ConnectDialog) {
        TForm2& dialog = *form.ConnectDialog;
        if (StartupPort != 0)
            FindStartupPort(form, dialog);
        else
            FindDevice(form, dialog, 0);
        dialog.ProgressBar1->setValue(0);
    }
    // FindDevice has named the port in the status bar.
    if (PortNumber != 0 && !form.Timer1->isActive()) form.Timer1->start();
    InitSpectrumTable(form);
    form.LineSeries1->data()->clear();
    ClearDoseSeries(form);
    form.Series2->data()->clear();
    ClearAverageLine(form);
    form.Chart4->replot();
    form.Chart2->replot();
}

void Timer2Timer(TForm1& form) {
    if (!StartupDone) {
        FirstTick(form);
        return;
    }
    // Only a hidden main window is brought back: raising a shown one every few seconds would pull
    // it over the operator's other programs and over its own dialogs.
    if (!form.isVisible()) form.show();
    for (TSplashForm* splash : form.Splash)
        if (splash) splash->close();
}
