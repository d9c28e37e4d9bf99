#include "ui/FormParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <qcustomplot.h>

#include "ui/Widgets.h"

// The layout was drawn for an 11-pixel humanist sans; of the faces Debian ships, condensed DejaVu
// (fonts-dejavu-extra) comes closest in width.
const char* const UiFamily = "DejaVu Sans Condensed";

QFont UiFont(int pixels, bool bold) {
    QFont f(QString::fromLatin1(UiFamily));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Labels grow to their text, never below the layout's width; a label only paints its text, so
// room to the right costs nothing, and it lets clicks through to whatever lies beneath.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                  int h, const QFont* font) {
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
