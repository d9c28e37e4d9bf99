#include "ui/FormParts.h"
#include "ui/Forms.h"
#include "ui/Pictures.h"
#include "ui/TimeTicker.h"

#include <qcustomplot.h>

void TForm1::BuildArchiveTab() {

    QWidget* t3 = TabSheet3;
    Button4 = MakeButton(t3, "Button4", QStringLiteral("Чтение архива"), 3, 18, 110, 25);
    Button5 = MakeButton(t3, "Button5", QStringLiteral("Стереть архив"), 142, 18, 110, 25);
    Label57 = MakeLabel(t3, "Label57", QStringLiteral("Чтение архива"), 264, 3);
    Label57->hide();
    // Both bars count archive slots.
    ProgressBar2 = MakeProgress(t3, "ProgressBar2", 264, 22, 177, 17);
    ProgressBar2->setRange(0, 902);
    ProgressBar2->hide();
    BitBtn1 = MakeButton(t3, "BitBtn1", QString(), 460, 22, 25, 17);
    BitBtn1->setIcon(QIcon(PageButtonPicture(false)));
    BitBtn1->setIconSize(QSize(14, 14));
    BitBtn1->setEnabled(false);
    Label58 = MakeLabel(t3, "Label58", QStringLiteral("Страница"), 491, 3);
    Edit6 = MakeEdit(t3, "Edit6", QString(), 491, 18, 64, 21);
    Edit6->setReadOnly(true); // a page number only once there are pages to go to
    BitBtn2 = MakeButton(t3, "BitBtn2", QString(), 561, 22, 25, 17);
    BitBtn2->setIcon(QIcon(PageButtonPicture(true)));
    BitBtn2->setIconSize(QSize(14, 14));
    BitBtn2->setEnabled(false);
    Label31 = MakeLabel(t3, "Label31", QStringLiteral("заполнение памяти"), 608, 3);
    // Ends with the bar below it, so that a space always parts it from the caption in either
    // language (the Russian one reaches past 700 pixels).
    Label41 = MakeLabel(t3, "Label41", QString(), 712, 3, 89, 0);
    Label41->setAlignment(Qt::AlignRight | Qt::AlignTop);
    ProgressBar1 = MakeProgress(t3, "ProgressBar1", 608, 22, 193, 17);
    ProgressBar1->setRange(0, 902);
    StringGrid3 = MakeGrid(t3, "StringGrid3", 3, 49, 247, 241, 3, 903, 1, 1, 16, {35, 113, 76});
    Chart4 = Place(new QCustomPlot(t3), "Chart4", 256, 45, 657, 339);
    StyleChart(Chart4);
    LineSeries1 = AddPointLine(Chart4, QColor(0, 0, 200));
    Chart4->xAxis->setTicker(QSharedPointer<TTimeTicker>::create(LineSeries1));
    Chart4->yAxis->setRange(0, 1);
    StringGrid4 = MakeGrid(t3, "StringGrid4", 3, 296, 224, 88, 2, 5, 1, 0, 16, {110, 110});
    StringGrid4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid4->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ComboBox12 =
        MakeCombo(t3, "ComboBox12",
                  {QStringLiteral("Время"), QStringLiteral("Дата"), QStringLiteral("Дата & Время")},
                  0, 256, 390, 110, 21);
}
