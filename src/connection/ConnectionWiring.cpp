#include "connection/ConnectionWiring.h"

#include "connection/Discovery.h"
#include "connection/Polling.h"
#include "connection/Startup.h"
#include "ui/Connect.h"
#include "ui/Forms.h"

void ConnectConnectionHandlers(TForm1& form) {
    OnTrigger(form, form.N5, N5Click);
    QObject::connect(form.PageControl1, &QTabWidget::currentChanged, &form,
                     [&form] { PageControl1Change(form); });
    QObject::connect(form.Timer1, &QTimer::timeout, &form, [&form] { Timer1Timer(form); });
    QObject::connect(form.Timer2, &QTimer::timeout, &form, [&form] { Timer2Timer(form); });
}

void ConnectConnectionHandlers(TForm2& form) {
    OnClick(form, form.Button1, Button1Click);
    OnClick(form, form.Button2, Button2Click);
}
