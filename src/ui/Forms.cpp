#include "ui/Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPointer>
#include <QScreen>
#include <QStyleFactory>
#include <QWindow>
#include <qcustomplot.h>

#include "archive/ArchiveView.h"
#include "connection/Discovery.h"
#include "connection/Polling.h"
#include "connection/Startup.h"
#include "link/ObjectRequests.h"
#include "settings/SettingsRead.h"
#include "settings/SettingsWrite.h"
#include "ui/Language.h"
#include "ui/LanguageSwitch.h"
#include "ui/Pictures.h"
#include "ui/TimeTicker.h"
#include "views/DoseView.h"
#include "views/GammaView.h"

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TForm6* Form6 = nullptr;

namespace {

// The layout was drawn for an 11-pixel humanist sans; of the faces Debian ships, condensed DejaVu
// (fonts-dejavu-extra) comes closest in width.
const char* const UiFamily = "DejaVu Sans Condensed";

QFont UiFont(int pixels, bool bold = false) {
    QFont f(QString::fromLatin1(UiFamily));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Fusion draws progress bars in the palette's Highlight colour, which SetBarColor relies on.
void PrepareApplication() {
    static bool done = false;
    if (done) return;
    done = true;
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        QApplication::setPalette(fusion->standardPalette());
    }
    QApplication::setFont(UiFont(11));
    QApplication::setWindowIcon(ProgramIcon());
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect r = window->frameGeometry();
    r.moveCenter(screen->availableGeometry().center());
    window->move(r.topLeft());
}

template <class T> T* Place(T* control, const char* name, int x, int y, int w, int h) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(x, y, w, h);
    return control;
}

// Labels grow to their text, never below the layout's width; a label only paints its text, so
// room to the right costs nothing, and it lets clicks through to whatever lies beneath.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 0,
                  int h = 0, const QFont* font = nullptr) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (font) label->setFont(*font);
    const QSize hint = label->sizeHint();
    label->setGeometry(x, y, std::max(w, hint.width()), std::max(h, hint.height()));
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h) {
    return Place(new QPushButton(text, parent), name, x, y, w, h);
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                     int h) {
    return Place(new QCheckBox(text, parent), name, x, y, w, h);
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                    int h) {
    return Place(new QLineEdit(text, parent), name, x, y, w, h);
}

// A drop-down list whose text the operator may also type; nothing is selected unless asked.
QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, int selected,
                     int x, int y, int w, int h) {
    auto* box = Place(new QComboBox(parent), name, x, y, w, h);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(selected);
    return box;
}

QProgressBar* MakeProgress(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* bar = Place(new QProgressBar(parent), name, x, y, w, h);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

void StyleChart(QCustomPlot* chart) {
    chart->setBackground(Qt::white);
    chart->legend->setVisible(false);
    const QFont font = UiFont(11);
    for (QCPAxis* axis : {chart->xAxis, chart->yAxis}) {
        axis->setTickLabelFont(font);
        axis->setLabelFont(font);
    }
    chart->xAxis2->setVisible(false);
    chart->yAxis2->setVisible(false);
}

QCPGraph* AddPointLine(QCustomPlot* chart, const QColor& color) {
    QCPGraph* graph = chart->addGraph();
    graph->setPen(QPen(color));
    graph->setLineStyle(QCPGraph::lsLine);
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, color, color, 2));
    return graph;
}

TStringGrid* MakeGrid(QWidget* parent, const char* name, int x, int y, int w, int h, int cols,
                      int rows, int fixedCols, int fixedRows, int rowHeight,
                      std::initializer_list<int> widths) {
    auto* grid = Place(new TStringGrid(parent, cols, rows, fixedCols, fixedRows, rowHeight), name,
                       x, y, w, h);
    int c = 0;
    for (int width : widths)
        grid->setColumnWidth(c++, width);
    return grid;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    PrepareApplication();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Halvex"));
    setWindowIcon(ProgramIcon());

    // Menu
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    N2 = MainMenu1->addMenu(QStringLiteral("Связь"));
    N2->setObjectName(QStringLiteral("N2"));
    N5 = N2->addAction(QStringLiteral("Установить"));
    N5->setObjectName(QStringLiteral("N5"));
    N1 = MainMenu1->addMenu(QStringLiteral("Вид"));
    N1->setObjectName(QStringLiteral("N1"));
    Language1 = N1->addMenu(QStringLiteral("Язык/Language"));
    Language1->setObjectName(QStringLiteral("Language1"));
    N4 = Language1->addAction(QStringLiteral("Русский"));
    N4->setObjectName(QStringLiteral("N4"));
    N4->setCheckable(true);
    English1 = Language1->addAction(QStringLiteral("English"));
    English1->setObjectName(QStringLiteral("English1"));
    English1->setCheckable(true);
    N3 = MainMenu1->addMenu(QStringLiteral("Справка"));
    N3->setObjectName(QStringLiteral("N3"));
    N8 = N3->addAction(QStringLiteral("О программе"));
    N8->setObjectName(QStringLiteral("N8"));

    // The client area below the menu is 953 x 555: the tabs above, the status bar along the
    // bottom edge.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(953, 536);
    setCentralWidget(client);
    PageControl1 = Place(new QTabWidget(client), "PageControl1", 0, 0, 945, 511);
    auto addTab = [this](const char* name, const QString& caption) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        PageControl1->addTab(page, caption);
        return page;
    };
    TabSheet1 = addTab("TabSheet1", QStringLiteral("Результат измерения"));
    TabSheet2 = addTab("TabSheet2", QStringLiteral("Настройки"));
    TabSheet3 = addTab("TabSheet3", QStringLiteral("Архив"));
    TabSheet4 = addTab("TabSheet4", QStringLiteral("Спектр"));
    TabSheet5 = addTab("TabSheet5", QStringLiteral("Аккумуляторы"));
    PageControl1->setCurrentIndex(0);

    StatusBar1 = new TStatusBar(this, {160, 350, 350, 120});
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    setStatusBar(StatusBar1);

    const QFont bold16 = UiFont(16, true);
    const QFont bold19 = UiFont(19, true);
    const QString none = QStringLiteral("- - -");

    // Tab 1: measurement
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

    // Tab 2: settings
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

    // Tab 3: archive
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
    StringGrid3->OnDrawCell = [this](QPainter& painter, int col, int row, const QRect& rect) {
        StringGrid3DrawCell(*this, painter, col, row, rect);
    };
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

    // Tab 4: spectrum
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

    // Tab 5: batteries
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

    // Timers
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(600);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1);

    // Handlers
    connect(N5, &QAction::triggered, this, [this] { N5Click(*this); });
    connect(N4, &QAction::triggered, this, [this] { N4Click(*this); });
    connect(English1, &QAction::triggered, this, [this] { English1Click(*this); });
    connect(N8, &QAction::triggered, this, [this] { N8Click(*this); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(*this); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(*this); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(*this); });
    auto onClick = [this](QPushButton* button, void (*handler)(TForm1&)) {
        connect(button, &QPushButton::clicked, this, [this, handler] { handler(*this); });
    };
    onClick(Button3, Button3Click);
    onClick(Button6, Button6Click);
    onClick(Button1, Button1Click);
    onClick(Button2, Button2Click);
    onClick(Button11, Button11Click);
    onClick(Button12, Button12Click);
    onClick(Button10, Button10Click);
    onClick(Button4, Button4Click);
    onClick(Button5, Button5Click);
    onClick(BitBtn1, BitBtn1Click);
    onClick(BitBtn2, BitBtn2Click);
    connect(Edit6, &QLineEdit::returnPressed, this, [this] { Edit6Enter(*this); });
    connect(Edit6, &QLineEdit::editingFinished, this, [this] { ShowPageField(*this); });
    onClick(Button7, Button7Click);
    // Check boxes run their handler on every change of state, the program's own included.
    auto onToggle = [this](QCheckBox* box, void (*handler)(TForm1&)) {
        connect(box, &QCheckBox::toggled, this, [this, handler] { handler(*this); });
    };
    onToggle(CheckBox5, CheckBox5Click);
    onToggle(CheckBox3, CheckBox3Click);
    onToggle(CheckBox2, CheckBox2Click);
    // A radio button runs its handler when it becomes selected, whoever selects it.
    auto onSelect = [this](QRadioButton* radio, void (*handler)(TForm1&)) {
        connect(radio, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on) handler(*this);
        });
    };
    onSelect(RadioButton1, RadioButton1Click);
    onSelect(RadioButton2, RadioButton2Click);
    onSelect(RadioButton3, RadioButton3Click);
    SetContextMenu(Chart1, [this] { return Chart1Menu(*this); });
    SetContextMenu(StringGrid3, [this] { return ArchiveMenu(*this, StringGrid3); });
    SetContextMenu(Chart4, [this] { return ArchiveMenu(*this, Chart4); });
    SetContextMenu(Chart2, [this] { return Chart2Menu(*this); });

    // Tests create and destroy main windows; a request after that must not reach a dead one.
    SetStatusSink(LanguageSink([bar = QPointer<TStatusBar>(StatusBar1)](const QString& text) {
        if (bar) bar->SetPanelText(0, text);
    }));

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    RefreshDoseChart(*this); // the time axis shows the present until the first point
    Chart1->replot();
    Chart2->replot();
    Chart4->replot();

    FormCreate(*this);

    Timer1->start();
    Timer2->start();
    adjustSize();
    CentreOnScreen(this);
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose(*this);
    event->accept();
}

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    PrepareApplication();
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Установление связи"));
    setWindowIcon(ProgramIcon());
    setFixedSize(241, 133);
    Label1 = MakeLabel(this, "Label1", QStringLiteral("COM-порт"), 88, 8);
    QStringList ports;
    for (int i = 1; i <= 20; ++i)
        ports << QString::number(i);
    ComboBox1 = MakeCombo(this, "ComboBox1", ports, -1, 67, 27, 57, 21);
    ComboBox1->setEditText(QStringLiteral("1"));
    Button1 = MakeButton(this, "Button1", QStringLiteral("Ок"), 130, 27, 31, 25);
    Button2 = MakeButton(this, "Button2", QStringLiteral("Автоопределение"), 62, 58, 115, 25);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Поиск..."), 93, 87);
    ProgressBar1 = MakeProgress(this, "ProgressBar1", 40, 102, 150, 17);
    ProgressBar1->setRange(0, 255);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(*this); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(*this); });
    CentreOnScreen(this);
}

TAboutForm::TAboutForm(bool english, QWidget* parent) : QDialog(parent) {
    PrepareApplication();
    setObjectName(english ? QStringLiteral("Form4") : QStringLiteral("Form3"));
    setWindowTitle(english ? QStringLiteral("About") : QStringLiteral("О программе"));
    setWindowIcon(ProgramIcon());
    setFixedSize(412, 248);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    Image1 = Place(new QLabel(this), "Image1", english ? 72 : 56, english ? 56 : 48, 273, 121);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(LogoPicture(275, 123, english));

    QFont product = UiFont(15, true);
    product.setItalic(true);
    // The line was drawn for a narrower face than any Debian ships; it keeps its size where it
    // fits and shrinks only as far as the window's width needs.
    const QString productLine =
        QStringLiteral("Сервисная программа для дозиметров РВН-3 \"Кемрис\"");
    while (product.pixelSize() > 9 && QFontMetrics(product).horizontalAdvance(productLine) > 396)
        product.setPixelSize(product.pixelSize() - 1);
    Label1 = MakeLabel(this, "Label1", productLine, 13, 8, 381, 18, &product);
    SetFontColor(Label1, QColor(128, 128, 128));
    // Centred across the window so that a line wider than the layout's stays clear of its edges.
    Label1->setGeometry(std::max(0, (412 - Label1->width()) / 2), 8, Label1->width(),
                        Label1->height());

    QFont web = UiFont(13, true);
    web.setItalic(true);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("halvex.example"), 152, 192, 86, 16, &web);
    Label2->setGeometry((412 - Label2->width()) / 2, 192, Label2->width(), Label2->height());
    CentreOnScreen(this);
}

TSplashForm::TSplashForm(bool english, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    PrepareApplication();
    setObjectName(english ? QStringLiteral("Form6") : QStringLiteral("Form5"));
    setWindowIcon(ProgramIcon());
    if (english)
        setFixedSize(573, 255);
    else
        setFixedSize(544, 238);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    // The picture is a little larger than its area and is cut at the area's edges.
    Image1 = english ? Place(new QLabel(this), "Image1", 0, 0, 577, 257)
                     : Place(new QLabel(this), "Image1", 0, 0, 545, 241);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(english ? LogoPicture(574, 256, true) : LogoPicture(550, 245, false));
    CentreOnScreen(this);
}

void CreateForms() {
    PrepareApplication();
    Form1 = new TForm1;
    Form2 = new TForm2;
    Form3 = new TForm3;
    Form4 = new TForm4;
    Form5 = new TForm5;
    Form6 = new TForm6;
    Form1->show();
}

void ShowAndPaintNow(QWidget* window) {
    window->show();
    QTimer* timers[2] = {Form1 ? Form1->Timer1 : nullptr, Form1 ? Form1->Timer2 : nullptr};
    bool blocked[2] = {};
    for (int i = 0; i < 2; ++i)
        if (timers[i]) blocked[i] = timers[i]->blockSignals(true);
    QElapsedTimer waited;
    waited.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) &&
           waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    for (int i = 0; i < 2; ++i)
        if (timers[i]) timers[i]->blockSignals(blocked[i]);
    window->repaint();
}
