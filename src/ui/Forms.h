#pragma once
// The six windows. Controls keep their component names; positions and sizes are those of the
// layout at 96 dpi. Only controls are built here: each subsystem connects its own handlers to the
// form it is given (app/Wiring.h puts them together).
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include "ui/Widgets.h"

#include <functional>

class QCustomPlot;
class QCPGraph;
class QCPBars;
class TForm2;
class TAboutForm;
class TSplashForm;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);

    // Menu
    QMenuBar* MainMenu1;
    QMenu* N2;
    QAction* N5;
    QMenu* N1;
    QMenu* Language1;
    QAction* N4;
    QAction* English1;
    QMenu* N3;
    QAction* N8;

    QTabWidget* PageControl1;
    QWidget* TabSheet1; // measurement
    QWidget* TabSheet2; // settings
    QWidget* TabSheet3; // archive
    QWidget* TabSheet4; // spectrum
    QWidget* TabSheet5; // batteries
    TStatusBar* StatusBar1;
    QTimer* Timer1; // polling, 600 ms
    QTimer* Timer2; // start-up, 1 ms then 3000 ms

    // Tab 1: measurement
    QFrame* Panel1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    QLabel* Image1; // plus-minus sign
    QCheckBox* CheckBox1;
    QPushButton *Button3, *Button6;
    QCustomPlot* Chart1;
    QCPGraph* Series1; // dose-rate points
    QCPGraph* Series3; // average line

    // Tab 2: settings
    QLabel *Label55, *Label56, *Label32, *Label33, *Label42, *Label36;
    QLineEdit *Edit9, *Edit10;
    QComboBox *ComboBox1, *ComboBox2, *ComboBox4;
    QSlider* TrackBar1;
    QCheckBox* CheckBox4;
    QPushButton *Button1, *Button2;
    QCheckBox* CheckBox5;
    QGroupBox* GroupBox3;
    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3;
    QCheckBox* CheckBox3;
    QGroupBox* GroupBox4;
    QCheckBox *CheckBox6, *CheckBox7, *CheckBox8, *CheckBox9, *CheckBox10;
    QLabel *Label50, *Label51, *Label30;
    QLineEdit *Edit3, *Edit4, *Edit2;
    QPushButton *Button11, *Button12, *Button10;
    QLabel *Label52, *Label53, *Label54, *Label35;
    QLineEdit *Edit5, *Edit7, *Edit8;
    QComboBox* ComboBox3;
    TStringGrid* StringGrid2;

    // Tab 3: archive
    QPushButton *Button4, *Button5;
    QLabel* Label57;
    QProgressBar* ProgressBar2;
    QPushButton *BitBtn1, *BitBtn2;
    QLabel* Label58;
    QLineEdit* Edit6;
    QLabel *Label31, *Label41;
    QProgressBar* ProgressBar1;
    TStringGrid* StringGrid3;
    QCustomPlot* Chart4;
    QCPGraph* LineSeries1;
    TStringGrid* StringGrid4;
    QComboBox* ComboBox12;

    // Tab 4: spectrum
    TStringGrid* StringGrid1;
    QLabel *Label43, *Label44;
    QCustomPlot* Chart2;
    QCPBars* Series2;
    QLabel* Image2; // energy strip under the bars
    QCheckBox* CheckBox2;
    QPushButton* Button7;

    // Tab 5: batteries
    QGroupBox *GroupBox1, *GroupBox2;
    QLabel *Label10, *Label11, *Label12, *Label13, *Label14;
    QLabel *Label15, *Label16, *Label17, *Label18, *Label19;
    QLabel *Label20, *Label21, *Label22, *Label23, *Label24;
    QLabel *Label25, *Label26, *Label27, *Label28, *Label29;

    // Run when the operator closes the window, before it goes.
    std::function<void()> OnClose;

    // The windows this one opens, given by whoever creates them (app/Wiring); the About and splash
    // windows by language (Russian, English), and one left null is not shown.
    TForm2* ConnectDialog = nullptr;
    TAboutForm* About[2] = {};
    TSplashForm* Splash[2] = {};

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // One file each, in the order of the tabs.
    void BuildMeasurementTab();
    void BuildSettingsTab();
    void BuildArchiveTab();
    void BuildGammaTab();
    void BuildBatteryTab();
};

// Connection dialog; its texts are never translated.
class TForm2 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm2(QWidget* parent = nullptr);
    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton* Button1; // manual
    QPushButton* Button2; // automatic
    QLabel* Label2;
    QProgressBar* ProgressBar1;
};

// About window; `english` picks the caption and the logo's lettering.
class TAboutForm : public QDialog {
    Q_OBJECT
  public:
    TAboutForm(bool english, QWidget* parent = nullptr);
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
};
class TForm3 : public TAboutForm {
    Q_OBJECT
  public:
    explicit TForm3(QWidget* parent = nullptr) : TAboutForm(false, parent) {}
};
class TForm4 : public TAboutForm {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr) : TAboutForm(true, parent) {}
};

// Frameless splash window filled by one picture.
class TSplashForm : public QWidget {
    Q_OBJECT
  public:
    TSplashForm(bool english, QWidget* parent = nullptr);
    QLabel* Image1;
};
class TForm5 : public TSplashForm {
    Q_OBJECT
  public:
    explicit TForm5(QWidget* parent = nullptr) : TSplashForm(false, parent) {}
};
class TForm6 : public TSplashForm {
    Q_OBJECT
  public:
    explicit TForm6(QWidget* parent = nullptr) : TSplashForm(true, parent) {}
};

// Created at launch in this order and alive until the process ends.
extern TForm1* Form1;
extern TForm2* Form2;
extern TForm3* Form3;
extern TForm4* Form4;
extern TForm5* Form5;
extern TForm6* Form6;

// The application's style, palette, font and icon, once per process; before the first window, so
// that every window is created with them.
void PrepareApplication();

// Places a window in the middle of the primary screen.
void CentreOnScreen(QWidget* window);

// Shows a window and has it on screen at once, although the caller then blocks the event loop
// (the device search): a window is only drawn once the windowing system has exposed it, so the
// expose is waited for here, briefly, with the main window's timers held off meanwhile so that no
// tick runs in the middle of the caller's work. Later repaint() calls then paint at once.
void ShowAndPaintNow(QWidget* window);
