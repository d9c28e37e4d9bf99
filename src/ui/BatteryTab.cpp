#include "ui/FormParts.h"
#include "ui/Forms.h"

#include <qcustomplot.h>

void TForm1::BuildBatteryTab() {
    const QString none = QStringLiteral("- - -");
    GroupBox1 =
        Place(new QGroupBox(QStringLiteral("Пульт"), TabSheet5), "GroupBox1", 16, 24, 297, 145);
    GroupBox2 =
        Place(new QGroupBox(QStringLiteral("БД"), TabSheet5), "GroupBox2", 360, 24, 297, 145);
    const QString captions[5] = {QStringLiteral("Заряд:"), QStringLiteral("Температура:"),
                                 QStringLiteral("Оставшееся время работы:"),
                                 QStringLiteral("Ток потребления:"), QStringLiteral("Состояние:")};
    QLabel** boxLabels[2][10] = {{&Label10, &Label11, &Label12, &Label13, &Label14, &Label15,
                                  &Label16, &Label17, &Label18, &Label19},
                                 {&Label20, &Label21, &Label22, &Label23, &Label24, &Label25,
                                  &Label26, &Label27, &Label28, &Label29}};
    for (int box = 0; box < 2; ++box) {
        QGroupBox* group = box == 0 ? GroupBox1 : GroupBox2;
        for (int row = 0; row < 5; ++row) {
            const int top = 24 + 24 * row;
            const QByteArray captionName = "Label" + QByteArray::number(10 + 10 * box + row);
            const QByteArray valueName = "Label" + QByteArray::number(15 + 10 * box + row);
            // The current caption is rewritten by each battery update ("Current consumption:"
            // and the like); the whole room up to the value column keeps it from being cut.
            *boxLabels[box][row] =
                MakeLabel(group, captionName.constData(), captions[row], 16, top, 155, 0);
            *boxLabels[box][row + 5] =
                MakeLabel(group, valueName.constData(), none, 176, top, 115, 0);
        }
    }
}
