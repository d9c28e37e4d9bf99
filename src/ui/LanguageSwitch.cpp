#include "ui/LanguageSwitch.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <qcustomplot.h>

#include "base/IniFile.h"
#include "base/Language.h"
#include "link/SerialLink.h"
#include "ui/Connect.h"
#include "ui/Forms.h"

// clang-format off
const std::vector<TCaptionRow> RussianCaptions = {
    {TCaptionKind::Caption, "TabSheet1", "Результаты измерения", 0, 0},
    {TCaptionKind::Caption, "TabSheet2", "Настройки", 0, 0},
    {TCaptionKind::Caption, "TabSheet3", "Архив", 0, 0},
    {TCaptionKind::Caption, "TabSheet4", "Спектр", 0, 0},
    {TCaptionKind::Caption, "TabSheet5", "Аккумуляторы", 0, 0},
    {TCaptionKind::Caption, "N2", "Связь", 0, 0},
    {TCaptionKind::Caption, "N5", "Установить", 0, 0},
    {TCaptionKind::Caption, "N1", "Вид", 0, 0},
    {TCaptionKind::Caption, "Language1", "Язык", 0, 0},
    {TCaptionKind::Caption, "N3", "Справка", 0, 0},
    {TCaptionKind::Caption, "N8", "О программе", 0, 0},
    {TCaptionKind::LeftEdge, "Label9", "156", 0, 0},
    {TCaptionKind::Caption, "Label1", "МЭД", 0, 0},
    {TCaptionKind::Caption, "Label5", "ЭД", 0, 0},
    {TCaptionKind::Caption, "Label8", "Время набора", 0, 0},
    {TCaptionKind::Caption, "CheckBox1", "На график", 0, 0},
    {TCaptionKind::Caption, "Button3", "Сбросить дозу", 0, 0},
    {TCaptionKind::Caption, "Button6", "Очистить график", 0, 0},
    {TCaptionKind::LeftAxisTitle, "Chart1", "МЭД, мкЗв/ч", 0, 0},
    {TCaptionKind::Caption, "Label55", "Порог МЭД, мкЗв/ч", 0, 0},
    {TCaptionKind::Caption, "Label56", "Порог ЭД, мкЗв", 0, 0},
    {TCaptionKind::Caption, "Label32", "Язык", 0, 0},
    {TCaptionKind::Caption, "Label33", "Звук", 0, 0},
    {TCaptionKind::Caption, "Label36", "Яркость дисплея", 0, 0},
    {TCaptionKind::Caption, "CheckBox4", "Автояркость", 0, 0},
    {TCaptionKind::Caption, "Button1", "Считать", 0, 0},
    {TCaptionKind::Caption, "Button2", "Записать", 0, 0},
    {TCaptionKind::Caption, "CheckBox5", "Запись в архив", 0, 0},
    {TCaptionKind::Caption, "RadioButton1", "Каждое измерение", 0, 0},
    {TCaptionKind::Caption, "RadioButton2", "Каждую минуту", 0, 0},
    {TCaptionKind::Caption, "RadioButton3", "Каждый час", 0, 0},
    {TCaptionKind::Caption, "CheckBox3", "При резком изменении", 0, 0},
    {TCaptionKind::Caption, "GroupBox4", "Отображаемые экраны", 0, 0},
    {TCaptionKind::Caption, "CheckBox6", "Основной", 0, 0},
    {TCaptionKind::Caption, "CheckBox7", "Краткий", 0, 0},
    {TCaptionKind::Caption, "CheckBox8", "Поиск", 0, 0},
    {TCaptionKind::Caption, "CheckBox9", "Спектр", 0, 0},
    {TCaptionKind::Caption, "CheckBox10", "Доза", 0, 0},
    {TCaptionKind::Caption, "Label50", "Адрес ЗАРЯ-4 №1", 0, 0},
    {TCaptionKind::Caption, "Label51", "Адрес ЗАРЯ-4 №2", 0, 0},
    {TCaptionKind::Caption, "Button11", "Записать", 0, 0},
    {TCaptionKind::Caption, "Button12", "Записать", 0, 0},
    {TCaptionKind::Caption, "Label30", "Адрес пульта ( ВОЛН-2 )", 0, 0},
    {TCaptionKind::Caption, "Button4", "Чтение архива", 0, 0},
    {TCaptionKind::Caption, "Button5", "Стереть архив", 0, 0},
    {TCaptionKind::Caption, "Label57", "Чтение архива", 0, 0},
    {TCaptionKind::Caption, "Label58", "Страница", 0, 0},
    {TCaptionKind::Caption, "Label31", "Заполнение памяти", 0, 0},
    {TCaptionKind::Cell, "StringGrid1", "Канал", 0, 0},
    {TCaptionKind::Cell, "StringGrid1", "Энергия, МэВ", 1, 0},
    {TCaptionKind::Cell, "StringGrid1", "Импульсы", 2, 0},
    {TCaptionKind::Caption, "Label43", "Сумма:", 0, 0},
    {TCaptionKind::LeftAxisTitle, "Chart2", "Импульсы", 0, 0},
    {TCaptionKind::BottomAxisTitle, "Chart2", "Энергия, МэВ", 0, 0},
    {TCaptionKind::Caption, "GroupBox1", "ВОЛН-2", 0, 0},
    {TCaptionKind::Caption, "GroupBox2", "ТЕРН-5", 0, 0},
    {TCaptionKind::Caption, "Label10", "Заряд", 0, 0},
    {TCaptionKind::Caption, "Label20", "Заряд", 0, 0},
    {TCaptionKind::Caption, "Label11", "Температура", 0, 0},
    {TCaptionKind::Caption, "Label21", "Температура", 0, 0},
    {TCaptionKind::Caption, "Label12", "Оставшееся время работы", 0, 0},
    {TCaptionKind::Caption, "Label22", "Оставшееся время работы", 0, 0},
    {TCaptionKind::Caption, "Label13", "Ток потребления", 0, 0},
    {TCaptionKind::Caption, "Label23", "Ток потребления", 0, 0},
    {TCaptionKind::Caption, "Label14", "Состояние", 0, 0},
    {TCaptionKind::Caption, "Label24", "Состояние", 0, 0},
};

const std::vector<TCaptionRow> EnglishCaptions = {
    {TCaptionKind::Caption, "TabSheet1", "Measurement results", 0, 0},
    {TCaptionKind::Caption, "TabSheet2", "Settings", 0, 0},
    {TCaptionKind::Caption, "TabSheet3", "Archive", 0, 0},
    {TCaptionKind::Caption, "TabSheet4", "Spectrum", 0, 0},
    {TCaptionKind::Caption, "TabSheet5", "Batteries", 0, 0},
    {TCaptionKind::Caption, "N2", "Connection", 0, 0},
    {TCaptionKind::Caption, "N5", "Establish", 0, 0},
    {TCaptionKind::Caption, "N1", "View", 0, 0},
    {TCaptionKind::Caption, "Language1", "Language", 0, 0},
    {TCaptionKind::Caption, "N3", "Help", 0, 0},
    {TCaptionKind::Caption, "N8", "About", 0, 0},
    {TCaptionKind::LeftEdge, "Label9", "225", 0, 0},
    {TCaptionKind::Caption, "Label1", "EDR", 0, 0},
    {TCaptionKind::Caption, "Label5", "ED", 0, 0},
    {TCaptionKind::Caption, "Label8", "Dose accumulation time", 0, 0},
    {TCaptionKind::Caption, "CheckBox1", "On the graph", 0, 0},
    {TCaptionKind::Caption, "Button3", "Dose reset", 0, 0},
    {TCaptionKind::Caption, "Button6", "Clear the graph", 0, 0},
    {TCaptionKind::LeftAxisTitle, "Chart1", "Dose Rate, uSv/h", 0, 0},
    {TCaptionKind::Caption, "Label55", "EDR Alarm, uSv/h", 0, 0},
    {TCaptionKind::Caption, "Label56", "ED Alarm, uSv", 0, 0},
    {TCaptionKind::Caption, "Label32", "Language", 0, 0},
    {TCaptionKind::Caption, "Label33", "Sound", 0, 0},
    {TCaptionKind::Caption, "Label36", "Display brightness", 0, 0},
    {TCaptionKind::Caption, "CheckBox4", "Auto brightness", 0, 0},
    {TCaptionKind::Caption, "Button1", "Read", 0, 0},
    {TCaptionKind::Caption, "Button2", "Write", 0, 0},
    {TCaptionKind::Caption, "CheckBox5", "Logging", 0, 0},
    {TCaptionKind::Caption, "RadioButton1", "Every measure", 0, 0},
    {TCaptionKind::Caption, "RadioButton2", "Every minute", 0, 0},
    {TCaptionKind::Caption, "RadioButton3", "Every hour", 0, 0},
    {TCaptionKind::Caption, "CheckBox3", "At sharp change", 0, 0},
    {TCaptionKind::Caption, "GroupBox4", "Displayed Screens", 0, 0},
    {TCaptionKind::Caption, "CheckBox6", "Main", 0, 0},
    {TCaptionKind::Caption, "CheckBox7", "Short", 0, 0},
    {TCaptionKind::Caption, "CheckBox8", "Search", 0, 0},
    {TCaptionKind::Caption, "CheckBox9", "Spectrum", 0, 0},
    {TCaptionKind::Caption, "CheckBox10", "Dose", 0, 0},
    {TCaptionKind::Caption, "Label50", "Network address ZARYA-4 #1", 0, 0},
    {TCaptionKind::Caption, "Label51", "Network address ZARYA-4 #2", 0, 0},
    {TCaptionKind::Caption, "Button11", "Write", 0, 0},
    {TCaptionKind::Caption, "Button12", "Write", 0, 0},
    {TCaptionKind::Caption, "Label30", "Network address VOLN-2", 0, 0},
    {TCaptionKind::Caption, "Button4", "Read archive", 0, 0},
    {TCaptionKind::Caption, "Button5", "Erase archive", 0, 0},
    {TCaptionKind::Caption, "Label57", "Reading archive", 0, 0},
    {TCaptionKind::Caption, "Label58", "Page", 0, 0},
    {TCaptionKind::Caption, "Label31", "Memory filling", 0, 0},
    {TCaptionKind::Cell, "StringGrid1", "Channel", 0, 0},
    {TCaptionKind::Cell, "StringGrid1", "Energy, MeV", 1, 0},
    {TCaptionKind::Cell, "StringGrid1", "Counts", 2, 0},
    {TCaptionKind::Caption, "Label43", "Summ:", 0, 0},
    {TCaptionKind::LeftAxisTitle, "Chart2", "Counts", 0, 0},
    {TCaptionKind::BottomAxisTitle, "Chart2", "Energy, MeV", 0, 0},
    {TCaptionKind::Caption, "GroupBox1", "VOLN-2", 0, 0},
    {TCaptionKind::Caption, "GroupBox2", "TERN-5", 0, 0},
    {TCaptionKind::Caption, "Label10", "Charge", 0, 0},
    {TCaptionKind::Caption, "Label20", "Charge", 0, 0},
    {TCaptionKind::Caption, "Label11", "Temperature", 0, 0},
    {TCaptionKind::Caption, "Label21", "Temperature", 0, 0},
    {TCaptionKind::Caption, "Label12", "Remaining operating time", 0, 0},
    {TCaptionKind::Caption, "Label22", "Remaining operating time", 0, 0},
    {TCaptionKind::Caption, "Label13", "Current consumption", 0, 0},
    {TCaptionKind::Caption, "Label23", "Current consumption", 0, 0},
    {TCaptionKind::Caption, "Label14", "Battery condition", 0, 0},
    {TCaptionKind::Caption, "Label24", "Battery condition", 0, 0},
};
// clang-format on

namespace {

[[noreturn]] void EndNow(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void SetCaption(TForm1& form, QObject* control, const QString& text) {
    if (auto* page = qobject_cast<QWidget*>(control);
        page && form.PageControl1->indexOf(page) >= 0) {
        form.PageControl1->setTabText(form.PageControl1->indexOf(page), text);
    } else if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(control)) {
        action->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
        // Labels grow with their text; the English captions are longer than the layout's.
        const QSize hint = label->sizeHint();
        if (hint.width() > label->width()) label->resize(hint.width(), label->height());
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    }
}

void ApplyRow(TForm1& form, const TCaptionRow& row) {
    QObject* control = form.findChild<QObject*>(QString::fromLatin1(row.control));
    if (!control) return;
    const QString text = QString::fromUtf8(row.text);
    switch (row.kind) {
    case TCaptionKind::Caption:
        SetCaption(form, control, text);
        break;
    case TCaptionKind::LeftEdge:
        if (auto* w = qobject_cast<QWidget*>(control)) w->move(text.toInt(), w->y());
        break;
    case TCaptionKind::LeftAxisTitle:
    case TCaptionKind::BottomAxisTitle:
        if (auto* chart = qobject_cast<QCustomPlot*>(control)) {
            (row.kind == TCaptionKind::LeftAxisTitle ? chart->yAxis : chart->xAxis)->setLabel(text);
            chart->replot(QCustomPlot::rpQueuedReplot);
        }
        break;
    case TCaptionKind::Cell:
        if (auto* grid = qobject_cast<TStringGrid*>(control)) grid->SetCell(row.col, row.row, text);
        break;
    }
}

} // namespace

TProcessEnd ProcessEnd = EndNow;
std::optional<uint8_t> RunLanguage;

void ApplyLanguage(TForm1& form, uint8_t index) {
    for (const TCaptionRow& row : index == 1 ? EnglishCaptions : RussianCaptions)
        ApplyRow(form, row);
    if (index == 0 || index == 1) {
        form.N4->setChecked(index == 0);
        form.English1->setChecked(index == 1);
    }
}

QString LanguageFilePath() {
    return QDir::currentPath() + QStringLiteral("/prog.ini");
}

uint8_t ReadLanguageIndex() {
    const int32_t value =
        IniReadInteger(LanguageFilePath(), QStringLiteral("Common"), QStringLiteral("Language"), 0);
    return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu);
}

void FormCreate(TForm1& form) {
    LanguageIndex = RunLanguage.value_or(ReadLanguageIndex());
    ApplyLanguage(form, LanguageIndex);
}

void FormClose(TForm1& /*form*/) {
    const QString path = LanguageFilePath();
    // A failed save must not keep the window from closing: the operator is told, and the port is
    // released all the same.
    if (!RunLanguage && !IniWriteString(path, QStringLiteral("Common"), QStringLiteral("Language"),
                                        QString::number(LanguageIndex)))
        ShowMessage(QStringLiteral("Unable to write to %1").arg(path));
    ClosePort();
    ProcessEnd(0);
}

void N4Click(TForm1& form) {
    RunLanguage.reset();
    LanguageIndex = 0;
    ApplyLanguage(form, 0);
    form.N4->setChecked(true);
    form.English1->setChecked(false);
}

void English1Click(TForm1& form) {
    RunLanguage.reset();
    LanguageIndex = 1;
    ApplyLanguage(form, 1);
    form.N4->setChecked(false);
    form.English1->setChecked(true);
}

void N8Click(TForm1& form) {
    if (LanguageIndex <= 1 && form.About[LanguageIndex]) form.About[LanguageIndex]->exec();
}

void ConnectLanguageHandlers(TForm1& form) {
    OnTrigger(form, form.N4, N4Click);
    OnTrigger(form, form.English1, English1Click);
    OnTrigger(form, form.N8, N8Click);
    form.OnClose = [&form] { FormClose(form); };
}
