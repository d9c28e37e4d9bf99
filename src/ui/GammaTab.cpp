#include "ui/FormParts.h"
#include "ui/Forms.h"
#include "ui/Pictures.h"

#include <qcustomplot.h>

void TForm1::BuildGammaTab() {
    const QString none = QStringLiteral("- - -");
    QWidget* t4 = TabSheet4;
    StringGrid1 = MakeGrid(t4, "StringGrid1", 19, 24, 205, 258, 3, 15, 0, 1, 16, {50, 76, 73});
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->SetCell(0, 0, QStringLiteral("Канал"));
    StringGrid1->SetCell(1, 0, QStringLiteral("Энергия, МэВ"));
    StringGrid1->SetCell(2, 0, QStringLiteral("Импульсы"));
    Label43 = MakeLabel(t4, "Label43", QStringLiteral("Сумма:"), 139, 288);
    Label44 = MakeLabel(t4, "Label44", none, 180, 288, 110, 0);
    Chart2 = Place(new QCustomPlot(t4), "Chart2", 296, 24, 425, 258);
    StyleChart(Chart2);
    Chart2->plotLayout()->insertRow(0);
    auto* title =
        new QCPTextElement(Chart2, QStringLiteral("Восстановленный спектр"), UiFont(11, true));
    title->setTextColor(Qt::black);
    Chart2->plotLayout()->addElement(0, 0, title);
    Series2 = new QCPBars(Chart2->xAxis, Chart2->yAxis);
    Series2->setPen(QPen(QColor(96, 96, 96)));
    Series2->setBrush(QColor(128, 128, 128));
    Series2->setWidth(0.6);
    Chart2->yAxis->setLabel(QStringLiteral("Импульсы"));
    Chart2->yAxis->setRange(0, 1);
    Chart2->xAxis->setLabel(QStringLiteral("Энергия, МэВ"));
    Chart2->xAxis->setRange(0, 15);
    auto stepOne = QSharedPointer<QCPAxisTickerFixed>::create();
    stepOne->setTickStep(1);
    stepOne->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    Chart2->xAxis->setTicker(stepOne);
    // The energy strip takes the place of the channel numbers under the bars.
    Chart2->xAxis->setTickLabels(false);
    Chart2->xAxis->setLabelPadding(16);
    Image2 = Place(new QLabel(Chart2), "Image2", 40, 220, 375, 12);
    Image2->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The strip follows the axis so that each energy stays under its bar whatever the left axis
    // labels take.
    connect(Chart2, &QCustomPlot::afterReplot, this,
            [this, drawnFor = std::vector<double>()]() mutable {
                const QRect axis = Chart2->axisRect()->rect();
                std::vector<double> centres;
                for (int channel = 1; channel <= 14; ++channel)
                    centres.push_back(Chart2->xAxis->coordToPixel(channel) - axis.left());
                const QRect strip(axis.left(), axis.bottom() + 4, axis.width(), 12);
                if (Image2->geometry() == strip && centres == drawnFor) return;
                Image2->setGeometry(strip);
                Image2->setPixmap(EnergyStrip(strip.width(), strip.height(), centres));
                drawnFor = centres;
            });
    CheckBox2 = MakeCheck(t4, "CheckBox2", QStringLiteral("Интеграл"), 296, 312, 78, 17);
    Button7 = MakeButton(t4, "Button7", QStringLiteral("Сброс"), 376, 305, 75, 25);
    Button7->setEnabled(false);
}
