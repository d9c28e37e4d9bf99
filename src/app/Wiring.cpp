#include "app/Wiring.h"

#include <QPointer>
#include <qcustomplot.h>

#include "archive/ArchiveView.h"
#include "base/Language.h"
#include "connection/ConnectionWiring.h"
#include "link/ObjectRequests.h"
#include "settings/SettingsWiring.h"
#include "ui/Forms.h"
#include "ui/LanguageSwitch.h"
#include "views/DoseView.h"
#include "views/ViewWiring.h"

void WireMainWindow(TForm1& form) {
    ConnectConnectionHandlers(form);
    ConnectLanguageHandlers(form);
    ConnectSettingsHandlers(form);
    ConnectArchiveHandlers(form);
    ConnectViewHandlers(form);

    // Tests create and destroy main windows; a request after that must not reach a dead one.
    SetStatusSink(LanguageSink([bar = QPointer<TStatusBar>(form.StatusBar1)](const QString& text) {
        if (bar) bar->SetPanelText(0, text);
    }));

    RefreshDoseChart(form); // the time axis shows the present until the first point
    form.Chart1->replot();
    form.Chart2->replot();
    form.Chart4->replot();

    FormCreate(form);

    form.Timer1->start();
    form.Timer2->start();
    form.adjustSize();
    CentreOnScreen(&form);
}

void WireConnectDialog(TForm2& form) {
    ConnectConnectionHandlers(form);
}

void CreateForms() {
    PrepareApplication();
    Form1 = new TForm1;
    WireMainWindow(*Form1);
    Form2 = new TForm2;
    WireConnectDialog(*Form2);
    Form3 = new TForm3;
    Form4 = new TForm4;
    Form5 = new TForm5;
    Form6 = new TForm6;
    Form1->ConnectDialog = Form2;
    Form1->About[0] = Form3;
    Form1->About[1] = Form4;
    Form1->Splash[0] = Form5;
    Form1->Splash[1] = Form6;
    Form1->show();
}
