#include "ui/Forms.h"
#include "ui/FormParts.h"

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

#include "ui/Pictures.h"
#include "ui/TimeTicker.h"

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TForm6* Form6 = nullptr;

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

    BuildMeasurementTab();
    BuildSettingsTab();
    BuildArchiveTab();
    BuildGammaTab();
    BuildBatteryTab();

    // Timers
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(600);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (OnClose) OnClose();
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
