#include "ui/FormParts.h"
#include "ui/Forms.h"
#include "ui/Pictures.h"
#include "ui/TimeTicker.h"

#include <qcustomplot.h>

void TForm1::BuildMeasurementTab() {
    const QFont bold16 = UiFont(16, true);
    const QFont bold19 = UiFont(19, true);
    const QString none = QStringLiteral("- - -");
    Panel1 = Place(new QFrame(TabSheet1), "Panel1", 0, 3, 934, 110);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Label1 = MakeLabel(Panel1, "Label1", QStringLiteral("МЭД:"), 19, 8, 43, 19, &bold16);
    Label2 = MakeLabel(Panel1, "Label2", none, 79, 5, 58, 23, &bold19);
    Label3 = MakeLabel(Panel1, "Label3", QString(), 137, 8, 66, 19, &bold16);
    Image1 = Place(new QLabel(Panel1), "Image1", 203, 15, 16, 13);
    Image1->setPixmap(PlusMinusPicture());
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->hide();
    Label4 = MakeLabel(Panel1, "Label4", QString(), 225, 8, 130, 19, &bold16);
    Label5 = MakeLabel(Panel1, "Label5", QStringLiteral("ЭД:"), 19, 41, 29, 19, &bold16);
    Label6 = MakeLabel(Panel1, "Label6", none, 79, 37, 58, 23, &bold19);
    Label7 = MakeLabel(Panel1, "Label7", QString(), 137, 41, 200, 19, &bold16);
    Label8 = MakeLabel(Panel1, "Label8", QStringLiteral("Время набора:"), 19, 74, 124, 19, &bold16);
    // A long accumulation time (" 123 days 23 h 59 min") after the English caption reaches
    // past 450 pixels, so the controls beside the values stand further right than 360.
    Label9 = MakeLabel(Panel1, "Label9", none, 156, 71, 310, 23, &bold19);
    CheckBox1 = MakeCheck(Panel1, "CheckBox1", QStringLiteral("На график"), 480, 12, 121, 17);
    CheckBox1->setChecked(true);
    Button3 = MakeButton(Panel1, "Button3", QStringLiteral("Сбросить дозу"), 480, 40, 121, 25);
    Button6 = MakeButton(Panel1, "Button6", QStringLiteral("Очистить график"), 480, 71, 121, 25);

    Chart1 = Place(new QCustomPlot(TabSheet1), "Chart1", 0, 119, 934, 362);
    StyleChart(Chart1);
    Series1 = AddPointLine(Chart1, QColor(0, 0, 200));
    Series3 = Chart1->addGraph();
    Series3->setPen(QPen(QColor(243, 156, 53), 2));
    // Drawn above the average line, which a steady reading would otherwise cover.
    Chart1->addLayer(QStringLiteral("points"), Chart1->layer(QStringLiteral("main")),
                     QCustomPlot::limAbove);
    Series1->setLayer(QStringLiteral("points"));
    Chart1->xAxis->setTicker(QSharedPointer<TTimeTicker>::create());
    Chart1->yAxis->setRange(0, 1);
    Chart1->yAxis->setLabel(QStringLiteral("МЭД, мкЗв/ч"));
}
