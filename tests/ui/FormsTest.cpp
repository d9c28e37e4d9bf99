// The windows as they are created: every control under its name, kind, place, text and state.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

#include "UiTestSupport.h"
#include "app/Wiring.h"
#include "link/ObjectRequests.h"
#include "tests/support/MainFormTest.h"
#include "ui/Forms.h"
#include "ui/LanguageSwitch.h"
#include "ui/TimeTicker.h"
#include "views/DoseView.h"

namespace {

constexpr int NA = -1; // no tick to compare

struct TControlRow {
    const char* name;
    const char* kind;
    const char* parent;
    int left, top;
    const char* text;
    bool visible;
    bool enabled;
    int checked;
};

// Texts are those shown once FormCreate applied the Russian captions.
const TControlRow MainWindowControls[] = {
    {"Panel1", "QFrame", "TabSheet1", 0, 3, "<no text>", true, true, NA},
    {"Label1", "QLabel", "Panel1", 19, 8, "МЭД", true, true, NA},
    {"Label2", "QLabel", "Panel1", 79, 5, "- - -", true, true, NA},
    {"Label3", "QLabel", "Panel1", 137, 8, "", true, true, NA},
    {"Image1", "QLabel", "Panel1", 203, 15, "", false, true, NA},
    {"Label4", "QLabel", "Panel1", 225, 8, "", true, true, NA},
    {"Label5", "QLabel", "Panel1", 19, 41, "ЭД", true, true, NA},
    {"Label6", "QLabel", "Panel1", 79, 37, "- - -", true, true, NA},
    {"Label7", "QLabel", "Panel1", 137, 41, "", true, true, NA},
    {"Label8", "QLabel", "Panel1", 19, 74, "Время набора", true, true, NA},
    {"Label9", "QLabel", "Panel1", 156, 71, "- - -", true, true, NA},
    {"CheckBox1", "QCheckBox", "Panel1", 480, 12, "На график", true, true, 1},
    {"Button3", "QPushButton", "Panel1", 480, 40, "Сбросить дозу", true, true, NA},
    {"Button6", "QPushButton", "Panel1", 480, 71, "Очистить график", true, true, NA},
    {"Chart1", "QCustomPlot", "TabSheet1", 0, 119, "<no text>", true, true, NA},

    {"Label55", "QLabel", "TabSheet2", 19, 30, "Порог МЭД, мкЗв/ч", true, true, NA},
    {"Edit9", "QLineEdit", "TabSheet2", 19, 47, "", true, true, NA},
    {"Label56", "QLabel", "TabSheet2", 19, 77, "Порог ЭД, мкЗв", true, true, NA},
    {"Edit10", "QLineEdit", "TabSheet2", 19, 96, "", true, true, NA},
    {"Label32", "QLabel", "TabSheet2", 19, 134, "Язык", true, true, NA},
    {"ComboBox1", "QComboBox", "TabSheet2", 19, 151, "", true, true, NA},
    {"Label33", "QLabel", "TabSheet2", 19, 180, "Звук", true, true, NA},
    {"ComboBox2", "QComboBox", "TabSheet2", 19, 199, "", true, true, NA},
    {"Label42", "QLabel", "TabSheet2", 19, 232, "GPS", true, true, NA},
    {"ComboBox4", "QComboBox", "TabSheet2", 19, 251, "", true, true, NA},
    {"Label36", "QLabel", "TabSheet2", 19, 283, "Яркость дисплея", true, true, NA},
    {"TrackBar1", "QSlider", "TabSheet2", 14, 300, "<no text>", true, true, NA},
    {"CheckBox4", "QCheckBox", "TabSheet2", 35, 332, "Автояркость", true, true, 0},
    {"Button1", "QPushButton", "TabSheet2", 19, 374, "Считать", true, true, NA},
    {"Button2", "QPushButton", "TabSheet2", 185, 374, "Записать", true, true, NA},
    {"CheckBox5", "QCheckBox", "TabSheet2", 225, 28, "Запись в архив", true, true, 0},
    {"GroupBox3", "QGroupBox", "TabSheet2", 209, 51, "", true, true, NA},
    {"RadioButton1", "QRadioButton", "GroupBox3", 16, 16, "Каждое измерение", true, true, 0},
    {"RadioButton2", "QRadioButton", "GroupBox3", 16, 39, "Каждую минуту", true, true, 0},
    {"RadioButton3", "QRadioButton", "GroupBox3", 16, 62, "Каждый час", true, true, 0},
    {"CheckBox3", "QCheckBox", "GroupBox3", 16, 85, "При резком изменении", true, true, 0},
    {"GroupBox4", "QGroupBox", "TabSheet2", 209, 199, "Отображаемые экраны", true, true, NA},
    {"CheckBox6", "QCheckBox", "GroupBox4", 16, 24, "Основной", true, true, 0},
    {"CheckBox7", "QCheckBox", "GroupBox4", 16, 47, "Краткий", true, true, 0},
    {"CheckBox8", "QCheckBox", "GroupBox4", 16, 70, "Поиск", true, true, 0},
    {"CheckBox9", "QCheckBox", "GroupBox4", 16, 93, "Спектр", true, true, 0},
    {"CheckBox10", "QCheckBox", "GroupBox4", 16, 116, "Доза", true, true, 0},
    {"Label50", "QLabel", "TabSheet2", 523, 44, "Адрес ЗАРЯ-4 №1", true, true, NA},
    {"Edit3", "QLineEdit", "TabSheet2", 523, 63, "", true, true, NA},
    {"Button11", "QPushButton", "TabSheet2", 523, 94, "Записать", true, true, NA},
    {"Label51", "QLabel", "TabSheet2", 698, 44, "Адрес ЗАРЯ-4 №2", true, true, NA},
    {"Edit4", "QLineEdit", "TabSheet2", 698, 63, "", true, true, NA},
    {"Button12", "QPushButton", "TabSheet2", 698, 94, "Записать", true, true, NA},
    {"Label30", "QLabel", "TabSheet2", 523, 134, "Адрес пульта ( ВОЛН-2 )", true, true, NA},
    {"Edit2", "QLineEdit", "TabSheet2", 523, 153, "03C8FD", true, true, NA},
    {"Button10", "QPushButton", "TabSheet2", 673, 151, "Записать", false, true, NA},
    {"Label52", "QLabel", "TabSheet2", 348, 442, "Радиоканал акк. модуля 1", false, true, NA},
    {"Edit5", "QLineEdit", "TabSheet2", 346, 459, "", false, true, NA},
    {"Label53", "QLabel", "TabSheet2", 501, 442, "Радиоканал акк. модуля 2", false, true, NA},
    {"Edit7", "QLineEdit", "TabSheet2", 501, 459, "", false, true, NA},
    {"Label54", "QLabel", "TabSheet2", 636, 440, "Используемый акк. модуль", false, true, NA},
    {"Edit8", "QLineEdit", "TabSheet2", 636, 459, "", false, true, NA},
    {"Label35", "QLabel", "TabSheet2", 776, 440, "Режим", false, true, NA},
    {"ComboBox3", "QComboBox", "TabSheet2", 776, 459, "", false, true, NA},
    {"StringGrid2", "TStringGrid", "TabSheet2", 840, 277, "<no text>", false, true, NA},

    {"Button4", "QPushButton", "TabSheet3", 3, 18, "Чтение архива", true, true, NA},
    {"Button5", "QPushButton", "TabSheet3", 142, 18, "Стереть архив", true, true, NA},
    {"Label57", "QLabel", "TabSheet3", 264, 3, "Чтение архива", false, true, NA},
    {"ProgressBar2", "QProgressBar", "TabSheet3", 264, 22, "<no text>", false, true, NA},
    {"BitBtn1", "QPushButton", "TabSheet3", 460, 22, "", true, false, NA},
    {"Label58", "QLabel", "TabSheet3", 491, 3, "Страница", true, true, NA},
    {"Edit6", "QLineEdit", "TabSheet3", 491, 18, "", true, true, NA},
    {"BitBtn2", "QPushButton", "TabSheet3", 561, 22, "", true, false, NA},
    {"Label31", "QLabel", "TabSheet3", 608, 3, "Заполнение памяти", true, true, NA},
    {"Label41", "QLabel", "TabSheet3", 712, 3, "", true, true, NA},
    {"ProgressBar1", "QProgressBar", "TabSheet3", 608, 22, "<no text>", true, true, NA},
    {"StringGrid3", "TStringGrid", "TabSheet3", 3, 49, "<no text>", true, true, NA},
    {"Chart4", "QCustomPlot", "TabSheet3", 256, 45, "<no text>", true, true, NA},
    {"StringGrid4", "TStringGrid", "TabSheet3", 3, 296, "<no text>", true, true, NA},
    {"ComboBox12", "QComboBox", "TabSheet3", 256, 390, "Время", true, true, NA},

    {"StringGrid1", "TStringGrid", "TabSheet4", 19, 24, "<no text>", true, true, NA},
    {"Label43", "QLabel", "TabSheet4", 139, 288, "Сумма:", true, true, NA},
    {"Label44", "QLabel", "TabSheet4", 180, 288, "- - -", true, true, NA},
    {"Chart2", "QCustomPlot", "TabSheet4", 296, 24, "<no text>", true, true, NA},
    {"Image2", "QLabel", "Chart2", -1, -1, "", true, true, NA},
    {"CheckBox2", "QCheckBox", "TabSheet4", 296, 312, "Интеграл", true, true, 0},
    {"Button7", "QPushButton", "TabSheet4", 376, 305, "Сброс", true, false, NA},

    {"GroupBox1", "QGroupBox", "TabSheet5", 16, 24, "ВОЛН-2", true, true, NA},
    {"GroupBox2", "QGroupBox", "TabSheet5", 360, 24, "ТЕРН-5", true, true, NA},
    {"Label10", "QLabel", "GroupBox1", 16, 24, "Заряд", true, true, NA},
    {"Label14", "QLabel", "GroupBox1", 16, 120, "Состояние", true, true, NA},
    {"Label15", "QLabel", "GroupBox1", 176, 24, "- - -", true, true, NA},
    {"Label19", "QLabel", "GroupBox1", 176, 120, "- - -", true, true, NA},
    {"Label22", "QLabel", "GroupBox2", 16, 72, "Оставшееся время работы", true, true, NA},
    {"Label28", "QLabel", "GroupBox2", 176, 96, "- - -", true, true, NA},
};

class FormsTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureForms(); }
};

TEST_F(FormsTest, MainWindowControlsStartAsLaidOut) {
    for (const TControlRow& row : MainWindowControls) {
        SCOPED_TRACE(row.name);
        auto* w = Form1->findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(row.kind)) << w->metaObject()->className();
        ASSERT_NE(w->parentWidget(), nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(row.parent));
        if (row.left >= 0) {
            EXPECT_EQ(w->x(), row.left);
        }
        if (row.top >= 0) {
            EXPECT_EQ(w->y(), row.top);
        }
        if (std::string(row.text) != "<no text>" || qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(ShownText(w), QString::fromUtf8(row.text));
        }
        EXPECT_EQ(!w->isHidden(), row.visible);
        EXPECT_EQ(w->isEnabled(), row.enabled);
        if (row.checked != NA) {
            EXPECT_EQ(qobject_cast<QAbstractButton*>(w)->isChecked(), row.checked == 1);
        }
    }
}

TEST_F(FormsTest, DropDownListsHoldTheirItemsWithTheirSelection) {
    struct {
        QComboBox* box;
        QStringList items;
        int selected;
    } const lists[] = {
        {Form1->ComboBox1, {"English", "Русский"}, -1},
        {Form1->ComboBox2, {"Включен", "Выключен"}, -1},
        {Form1->ComboBox4, {"Выключен", "Включен", ""}, -1},
        {Form1->ComboBox3, {"Гамма подробно", "Гамма кратко", "Поиск", "Спектр", "Доза"}, -1},
        {Form1->ComboBox12, {"Время", "Дата", "Дата & Время"}, 0},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.box->objectName().toStdString());
        QStringList items;
        for (int i = 0; i < list.box->count(); ++i)
            items << list.box->itemText(i);
        EXPECT_EQ(items, list.items);
        EXPECT_EQ(list.box->currentIndex(), list.selected);
        EXPECT_TRUE(list.box->isEditable());
    }
    EXPECT_EQ(Form1->ComboBox1->currentText(), QString());
}

TEST_F(FormsTest, WindowShellMenuTimersAndStatusBar) {
    EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Halvex"));
    EXPECT_EQ(Form1->centralWidget()->height() + Form1->StatusBar1->height(), 555);
    EXPECT_EQ(Form1->centralWidget()->width(), 953);
    EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize()); // fixed border
    EXPECT_EQ(Form1->PageControl1->count(), 5);
    EXPECT_EQ(Form1->PageControl1->currentIndex(), 0);
    EXPECT_EQ(Form1->PageControl1->geometry(), QRect(0, 0, 945, 511));

    const QList<QAction*> bar = Form1->MainMenu1->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->menu(), Form1->N2);
    EXPECT_EQ(bar[1]->menu(), Form1->N1);
    EXPECT_EQ(bar[2]->menu(), Form1->N3);
    EXPECT_EQ(Form1->N2->actions(), QList<QAction*>{Form1->N5});
    EXPECT_EQ(Form1->N1->actions(), QList<QAction*>{Form1->Language1->menuAction()});
    EXPECT_EQ(Form1->Language1->actions(), (QList<QAction*>{Form1->N4, Form1->English1}));
    EXPECT_EQ(Form1->N3->actions(), QList<QAction*>{Form1->N8});
    EXPECT_EQ(Form1->N4->text(), QStringLiteral("Русский"));
    EXPECT_EQ(Form1->English1->text(), QStringLiteral("English"));
    EXPECT_TRUE(Form1->N4->isChecked());
    EXPECT_FALSE(Form1->English1->isChecked());

    for (QProgressBar* bar : {Form1->ProgressBar1, Form1->ProgressBar2}) {
        EXPECT_EQ(bar->maximum(), 902);
        EXPECT_EQ(bar->value(), 0);
    }

    EXPECT_EQ(Form1->Timer1->interval(), 600);
    EXPECT_EQ(Form1->Timer2->interval(), 1);

    ASSERT_EQ(Form1->StatusBar1->PanelCount(), 4);
    const int widths[4] = {160, 350, 350, 120};
    int left = 0;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Form1->StatusBar1->Panel(i)->x(), left);
        EXPECT_EQ(Form1->StatusBar1->PanelText(i), QString());
        left += widths[i];
    }
}

TEST_F(FormsTest, TimersRunFromCreation) {
    // The fixture stops them; a freshly created main window has both running.
    TForm1 fresh;
    WireMainWindow(fresh);
    EXPECT_TRUE(fresh.Timer1->isActive());
    EXPECT_TRUE(fresh.Timer2->isActive());
    StopTimers(fresh);
}

TEST_F(FormsTest, LinkStatusGoesToPanelZeroOfTheLatestMainWindow) {
    auto form = QuietMainWindow();
    ReadObject(2); // no port is open, so the request fails and says so
    EXPECT_FALSE(form->StatusBar1->PanelText(0).isEmpty());
    form.reset();
    ReadObject(2); // the window is gone; the text goes nowhere
}

// Check boxes and radio buttons run their handlers when the program changes them, too.
TEST_F(FormsTest, HandlersRunOnProgramChanges) {
    Form1->CheckBox2->setChecked(true);
    EXPECT_TRUE(Form1->Button7->isEnabled());
    Form1->CheckBox2->setChecked(false);
    EXPECT_FALSE(Form1->Button7->isEnabled());

    SetRadioChecked(Form1->RadioButton2, true); // a recording mode switches recording on
    EXPECT_TRUE(Form1->CheckBox5->isChecked());
    Form1->CheckBox5->setChecked(false); // and switching it off clears the mode
    EXPECT_FALSE(Form1->RadioButton2->isChecked());
    EXPECT_FALSE(Form1->CheckBox3->isChecked());
}

TEST_F(FormsTest, GridsHaveTheirShape) {
    struct {
        TStringGrid* grid;
        int cols, rows, fixedCols, fixedRows, rowHeight;
    } const grids[] = {{Form1->StringGrid1, 3, 15, 0, 1, 16},
                       {Form1->StringGrid2, 2, 7, 1, 1, 20},
                       {Form1->StringGrid3, 3, 903, 1, 1, 16},
                       {Form1->StringGrid4, 2, 5, 1, 0, 16}};
    for (const auto& g : grids) {
        SCOPED_TRACE(g.grid->objectName().toStdString());
        EXPECT_EQ(g.grid->ColCount(), g.cols);
        EXPECT_EQ(g.grid->RowCount(), g.rows);
        EXPECT_EQ(g.grid->FixedCols(), g.fixedCols);
        EXPECT_EQ(g.grid->FixedRows(), g.fixedRows);
        EXPECT_EQ(g.grid->rowHeight(g.rows - 1), g.rowHeight);
    }
    EXPECT_EQ(Form1->StringGrid3->columnWidth(0), 35);
    EXPECT_EQ(Form1->StringGrid3->columnWidth(1), 113);
    EXPECT_EQ(Form1->StringGrid3->columnWidth(2), 76);
    EXPECT_TRUE(Form1->StringGrid3->OnDrawCell != nullptr);
    EXPECT_EQ(Form1->StringGrid1->Cell(2, 0), QStringLiteral("Импульсы"));
}

TEST_F(FormsTest, ChartsCarryTheirSeries) {
    EXPECT_EQ(Form1->Chart1->graphCount(), 2);
    EXPECT_EQ(Form1->Series1->scatterStyle().shape(), QCPScatterStyle::ssCircle);
    EXPECT_EQ(Form1->Series3->pen().color(), QColor(243, 156, 53));
    EXPECT_TRUE(Form1->Chart1->xAxis->ticker().dynamicCast<TTimeTicker>());
    EXPECT_EQ(Form1->Chart1->yAxis->range().lower, 0.0);
    EXPECT_EQ(Form1->Chart1->yAxis->label(), QStringLiteral("МЭД, мкЗв/ч"));
    EXPECT_FALSE(Form1->Chart1->legend->visible());

    EXPECT_EQ(Form1->Series2->brush().color(), QColor(128, 128, 128));
    EXPECT_EQ(Form1->Chart2->yAxis->label(), QStringLiteral("Импульсы"));
    EXPECT_EQ(Form1->Chart2->xAxis->label(), QStringLiteral("Энергия, МэВ"));
    EXPECT_EQ(Form1->Image2->parentWidget(), Form1->Chart2);
    EXPECT_FALSE(Form1->Image2->pixmap().isNull());
    // The energy strip lies under the bars: its ends line up with the first and last channel.
    Form1->Chart2->replot();
    const QRect axis = Form1->Chart2->axisRect()->rect();
    EXPECT_EQ(Form1->Image2->x(), axis.left());
    EXPECT_EQ(Form1->Image2->width(), axis.width());
    EXPECT_GT(Form1->Image2->y(), axis.bottom());
    EXPECT_EQ(Form1->Chart2->xAxis->range(), QCPRange(0, 15));

    EXPECT_EQ(Form1->Chart4->graph(0), Form1->LineSeries1);
    EXPECT_TRUE(Form1->Chart4->xAxis->ticker().dynamicCast<TTimeTicker>());
    EXPECT_FALSE(Form1->Chart4->xAxis2->visible());
}

TEST_F(FormsTest, SecondaryWindows) {
    EXPECT_EQ(Form2->windowTitle(), QStringLiteral("Установление связи"));
    EXPECT_EQ(Form2->size(), QSize(241, 133));
    EXPECT_EQ(Form2->ComboBox1->count(), 20);
    EXPECT_EQ(Form2->ComboBox1->itemText(19), QStringLiteral("20"));
    EXPECT_EQ(Form2->ComboBox1->currentText(), QStringLiteral("1"));
    EXPECT_EQ(Form2->Button1->text(), QStringLiteral("Ок"));
    EXPECT_EQ(Form2->Button2->text(), QStringLiteral("Автоопределение"));
    EXPECT_EQ(Form2->Label2->text(), QStringLiteral("Поиск..."));
    EXPECT_EQ(Form2->ProgressBar1->maximum(), 255);

    EXPECT_EQ(Form3->windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(Form4->windowTitle(), QStringLiteral("About"));
    for (TAboutForm* about : {static_cast<TAboutForm*>(Form3), static_cast<TAboutForm*>(Form4)}) {
        EXPECT_EQ(about->size(), QSize(412, 248));
        EXPECT_EQ(about->Label1->text(),
                  QStringLiteral("Сервисная программа для дозиметров РВН-3 \"Кемрис\""));
        EXPECT_EQ(about->Image1->size(), QSize(273, 121));
    }
    EXPECT_EQ(Form3->Image1->pos(), QPoint(56, 48));
    EXPECT_EQ(Form4->Image1->pos(), QPoint(72, 56));

    EXPECT_EQ(Form5->size(), QSize(544, 238));
    EXPECT_EQ(Form6->size(), QSize(573, 255));
    EXPECT_TRUE(Form5->windowFlags() & Qt::FramelessWindowHint);
    for (QWidget* hidden :
         {static_cast<QWidget*>(Form2), static_cast<QWidget*>(Form3), static_cast<QWidget*>(Form4),
          static_cast<QWidget*>(Form5), static_cast<QWidget*>(Form6)})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_TRUE(Form1->isVisible());
}

// No caption may be cut off by its control, in either language.
TEST_F(FormsTest, CaptionsFitTheirControls) {
    for (int lang = 0; lang < 2; ++lang) {
        SCOPED_TRACE(lang);
        if (lang == 0)
            N4Click(*Form1);
        else
            English1Click(*Form1);
        for (QAbstractButton* b : Form1->findChildren<QAbstractButton*>()) {
            if (b->text().isEmpty()) continue;
            SCOPED_TRACE(b->objectName().toStdString());
            // Check boxes know their own need; a push button needs its text and a little margin.
            const int need = qobject_cast<QPushButton*>(b)
                                 ? b->fontMetrics().horizontalAdvance(b->text()) + 8
                                 : b->sizeHint().width();
            EXPECT_LE(need, b->width());
        }
        for (int col = 0; col < 3; ++col) {
            const QString heading = Form1->StringGrid1->Cell(col, 0);
            SCOPED_TRACE(heading.toStdString());
            // Cell text starts 3 pixels in; the grid line takes the last pixel.
            EXPECT_LE(Form1->StringGrid1->fontMetrics().horizontalAdvance(heading) + 4,
                      Form1->StringGrid1->columnWidth(col));
        }
        for (QGroupBox* g : Form1->findChildren<QGroupBox*>()) {
            SCOPED_TRACE(g->objectName().toStdString());
            EXPECT_LE(g->fontMetrics().horizontalAdvance(g->title()) + 16, g->width());
        }
        for (QLabel* l : Form1->findChildren<QLabel*>()) {
            SCOPED_TRACE(l->objectName().toStdString());
            EXPECT_LE(l->sizeHint().width(), l->width());
        }
    }
    N4Click(*Form1);
}

// The longest texts the views write into value labels fit, and end before the next control.
TEST_F(FormsTest, ValueLabelsHaveRoomForTheirLongestTexts) {
    struct {
        QLabel* label;
        const char* text;
        QWidget* next; // the control to its right, if any
    } const cases[] = {
        {Form1->Label2, "999,9", Form1->Label3},
        {Form1->Label3, "мкЗв/ч", Form1->Image1},
        {Form1->Label6, "999,9", Form1->Label7},
        {Form1->Label9, " 123 дней 23 ч 59 мин", Form1->CheckBox1},
        {Form1->Label44, "-2147483648", nullptr},
        {Form1->Label41, "100%", nullptr},
        {Form1->Label17, "99 ч 59 мин", nullptr},
    };
    for (int lang = 0; lang < 2; ++lang) {
        if (lang == 0)
            N4Click(*Form1);
        else
            English1Click(*Form1);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.label->objectName().toStdString() + " " + std::to_string(lang));
            const QString before = c.label->text();
            c.label->setText(QString::fromUtf8(c.text));
            EXPECT_LE(c.label->sizeHint().width(), c.label->width());
            if (c.next) {
                EXPECT_LT(c.label->x() + c.label->sizeHint().width(), c.next->x());
            }
            c.label->setText(before);
        }
    }
    N4Click(*Form1);
}

// Both captions of the memory fill, whatever the language, stay apart by at least a space.
TEST_F(FormsTest, MemoryFillingKeepsASpaceAfterItsCaption) {
    Form1->Label41->setText(QStringLiteral("100%"));
    for (int lang = 0; lang < 2; ++lang) {
        SCOPED_TRACE(lang);
        if (lang == 0)
            N4Click(*Form1);
        else
            English1Click(*Form1);
        const QFontMetrics fm = Form1->Label31->fontMetrics();
        const int captionEnd = Form1->Label31->x() + fm.horizontalAdvance(Form1->Label31->text());
        const int valueStart = Form1->Label41->geometry().right() + 1 -
                               Form1->Label41->fontMetrics().horizontalAdvance("100%");
        EXPECT_GE(valueStart - captionEnd, fm.horizontalAdvance(' '));
    }
    N4Click(*Form1);
    Form1->Label41->setText(QString());
}

// Ticks of the time axes fall on whole seconds, minutes and hours, never on 2.5 s or 2.5 min.
TEST(TimeTicker, TicksFallOnWholeClockSteps) {
    const double start = 1796040000 + 0.4; // a moment of 2026, a little past a whole second
    TTimeTicker ticker;
    for (double span : {3.0, 12.5, 25.0, 60.0, 150.0, 750.0, 3600.0, 5 * 3600.0}) {
        SCOPED_TRACE(span);
        QVector<double> ticks, subTicks;
        QVector<QString> labels;
        ticker.generate(QCPRange(start, start + span), QLocale::c(), 'g', 6, ticks, &subTicks,
                        &labels);
        ASSERT_GE(ticks.size(), 2);
        const double step = ticks[1] - ticks[0];
        const double whole[] = {1,   2,   5,    10,   15,   30,    60,    120,  300,
                                600, 900, 1800, 3600, 7200, 10800, 21600, 43200};
        EXPECT_NE(std::find(std::begin(whole), std::end(whole), step), std::end(whole)) << step;
        for (double t : ticks)
            EXPECT_EQ(std::fmod(t, step), 0.0) << t;
    }
}

TEST_F(FormsTest, EmptyChartsShowNoDateOf1970) {
    // The dose-rate axis shows the present until the first point, also after clearing.
    for (int clear = 0; clear < 2; ++clear) {
        if (clear) Button6Click(*Form1);
        EXPECT_GT(Form1->Chart1->xAxis->range().lower, 1.0e9) << clear;
    }
    // The archive chart writes no date at all while it is empty, and its dates once it has data.
    QVector<double> ticks;
    QVector<QString> labels;
    auto ticker = Form1->Chart4->xAxis->ticker();
    ticker->generate(Form1->Chart4->xAxis->range(), QLocale::c(), 'g', 6, ticks, nullptr, &labels);
    ASSERT_FALSE(labels.isEmpty());
    for (const QString& l : labels)
        EXPECT_TRUE(l.isEmpty()) << l.toStdString();
    Form1->LineSeries1->addData(1796040000, 0.5);
    ticker->generate(QCPRange(1796040000, 1796040060), QLocale::c(), 'g', 6, ticks, nullptr,
                     &labels);
    EXPECT_FALSE(labels.value(0).isEmpty());
    Form1->LineSeries1->data()->clear();
}

TEST_F(FormsTest, DoseRatePointsAreDrawnAboveTheAverageLine) {
    EXPECT_GT(Form1->Series1->layer()->index(), Form1->Series3->layer()->index());
}

} // namespace
