#include "ui/FormParts.h"
#include "ui/Forms.h"

#include <qcustomplot.h>

void TForm1::BuildSettingsTab() {

    QWidget* t2 = TabSheet2;
    Label55 = MakeLabel(t2, "Label55", QStringLiteral("Порог МЭД, мкЗв/ч"), 19, 30);
    Edit9 = MakeEdit(t2, "Edit9", QString(), 19, 47, 118, 21);
    Label56 = MakeLabel(t2, "Label56", QStringLiteral("Порог ЭД, мкЗв/ч"), 19, 77);
    Edit10 = MakeEdit(t2, "Edit10", QString(), 19, 96, 121, 21);
    Label32 = MakeLabel(t2, "Label32", QStringLiteral("Язык"), 19, 134);
    ComboBox1 = MakeCombo(t2, "ComboBox1", {QStringLiteral("English"), QStringLiteral("Русский")},
                          -1, 19, 151, 145, 21);
    Label33 = MakeLabel(t2, "Label33", QStringLiteral("Звук"), 19, 180);
    ComboBox2 = MakeCombo(t2, "ComboBox2", {QStringLiteral("Включен"), QStringLiteral("Выключен")},
                          -1, 19, 199, 145, 21);
    Label42 = MakeLabel(t2, "Label42", QStringLiteral("GPS"), 19, 232);
    ComboBox4 = MakeCombo(t2, "ComboBox4",
                          {QStringLiteral("Выключен"), QStringLiteral("Включен"), QString()}, -1,
                          19, 251, 145, 21);
    Label36 = MakeLabel(t2, "Label36", QStringLiteral("Яркость дисплея"), 19, 283);
    // Shorter than the layout's 45 so that the tick row ends above the check box beneath.
    TrackBar1 = Place(new QSlider(Qt::Horizontal, t2), "TrackBar1", 14, 300, 150, 30);
    TrackBar1->setRange(0, 10);
    TrackBar1->setValue(0);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(1);
    TrackBar1->setPageStep(2);
    CheckBox4 = MakeCheck(t2, "CheckBox4", QStringLiteral("Автояркость"), 35, 332, 130, 17);
    Button1 = MakeButton(t2, "Button1", QStringLiteral("Считать"), 19, 374, 124, 25);
    Button2 = MakeButton(t2, "Button2", QStringLiteral("Записать"), 185, 374, 123, 25);

    CheckBox5 = MakeCheck(t2, "CheckBox5", QStringLiteral("Запись в архив"), 225, 28, 160, 17);
    GroupBox3 = Place(new QGroupBox(t2), "GroupBox3", 209, 51, 185, 121);
    RadioButton1 = Place(new QRadioButton(QStringLiteral("Каждое измерение"), GroupBox3),
                         "RadioButton1", 16, 16, 160, 17);
    RadioButton2 = Place(new QRadioButton(QStringLiteral("Каждую минуту"), GroupBox3),
                         "RadioButton2", 16, 39, 160, 17);
    RadioButton3 = Place(new QRadioButton(QStringLiteral("Каждый час"), GroupBox3), "RadioButton3",
                         16, 62, 160, 17);
    CheckBox3 =
        MakeCheck(GroupBox3, "CheckBox3", QStringLiteral("Резкое изменение"), 16, 85, 160, 17);
    GroupBox4 = Place(new QGroupBox(QStringLiteral("Экраны"), t2), "GroupBox4", 209, 199, 185, 150);
    const char* screenNames[5] = {"CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox10"};
    const QString screenTexts[5] = {QStringLiteral("МЭД подробно"), QStringLiteral("МЭД кратко"),
                                    QStringLiteral("Поиск"), QStringLiteral("Спектр"),
                                    QStringLiteral("Доза")};
    QCheckBox** screens[5] = {&CheckBox6, &CheckBox7, &CheckBox8, &CheckBox9, &CheckBox10};
    for (int i = 0; i < 5; ++i)
        *screens[i] =
            MakeCheck(GroupBox4, screenNames[i], screenTexts[i], 16, 24 + 23 * i, 160, 17);

    Label50 = MakeLabel(t2, "Label50", QStringLiteral("Адрес акк. модуля 1 (HEX)"), 523, 44);
    Edit3 = MakeEdit(t2, "Edit3", QString(), 523, 63, 121, 21);
    Button11 = MakeButton(t2, "Button11", QStringLiteral("Записать"), 523, 94, 75, 25);
    Label51 = MakeLabel(t2, "Label51", QStringLiteral("Адрес акк. модуля 2 (HEX)"), 698, 44);
    Edit4 = MakeEdit(t2, "Edit4", QString(), 698, 63, 121, 21);
    Button12 = MakeButton(t2, "Button12", QStringLiteral("Записать"), 698, 94, 75, 25);
    Label30 = MakeLabel(t2, "Label30", QStringLiteral("Адрес пульта (HEX)"), 523, 134);
    Edit2 = MakeEdit(t2, "Edit2", QStringLiteral("03C8FD"), 523, 153, 121, 21);
    Button10 = MakeButton(t2, "Button10", QStringLiteral("Записать"), 673, 151, 75, 25);
    Button10->hide();
    Label52 = MakeLabel(t2, "Label52", QStringLiteral("Радиоканал акк. модуля 1"), 348, 442);
    Edit5 = MakeEdit(t2, "Edit5", QString(), 346, 459, 121, 21);
    Label53 = MakeLabel(t2, "Label53", QStringLiteral("Радиоканал акк. модуля 2"), 501, 442);
    Edit7 = MakeEdit(t2, "Edit7", QString(), 501, 459, 121, 21);
    Label54 = MakeLabel(t2, "Label54", QStringLiteral("Используемый акк. модуль"), 636, 440);
    Edit8 = MakeEdit(t2, "Edit8", QString(), 636, 459, 121, 21);
    Label35 = MakeLabel(t2, "Label35", QStringLiteral("Режим"), 776, 440);
    ComboBox3 =
        MakeCombo(t2, "ComboBox3",
                  {QStringLiteral("Гамма подробно"), QStringLiteral("Гамма кратко"),
                   QStringLiteral("Поиск"), QStringLiteral("Спектр"), QStringLiteral("Доза")},
                  -1, 776, 459, 145, 21);
    StringGrid2 = MakeGrid(t2, "StringGrid2", 840, 277, 81, 150, 2, 7, 1, 1, 20, {38, 38});
    StringGrid2->SetEditable(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Label52, Edit5, Label53, Edit7, Label54,
                                                      Edit8, Label35, ComboBox3, StringGrid2})
        w->hide();
}
