#pragma once
// The pieces the windows are built from: the program's face, and controls placed at the layout's
// pixel positions under their component names.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <initializer_list>

class QCheckBox;
class QComboBox;
class QCPGraph;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;
class TStringGrid;

QFont UiFont(int pixels, bool bold = false);

template <class T> T* Place(T* control, const char* name, int x, int y, int w, int h) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(x, y, w, h);
    return control;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 0,
                  int h = 0, const QFont* font = nullptr);
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h);
QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                     int h);
QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                    int h);
// A drop-down list whose text the operator may also type; nothing is selected unless asked.
QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, int selected,
                     int x, int y, int w, int h);
QProgressBar* MakeProgress(QWidget* parent, const char* name, int x, int y, int w, int h);
void StyleChart(QCustomPlot* chart);
QCPGraph* AddPointLine(QCustomPlot* chart, const QColor& color);
TStringGrid* MakeGrid(QWidget* parent, const char* name, int x, int y, int w, int h, int cols,
                      int rows, int fixedCols, int fixedRows, int rowHeight,
                      std::initializer_list<int> widths);
