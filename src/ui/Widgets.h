#pragma once
// Controls the handlers need beyond what Qt offers as it stands: a string grid with fixed rows and
// columns and an owner-draw hook, a status bar of text panels, and small state helpers.
#include <QColor>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>
#include <vector>

class QPainter;

// A grid of text cells addressed as (column, row). The first FixedRows rows and FixedCols columns
// are drawn as headings and cannot be edited.
class TStringGrid : public QTableWidget {
    Q_OBJECT
  public:
    TStringGrid(QWidget* parent, int colCount, int rowCount, int fixedCols, int fixedRows,
                int defaultRowHeight);
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // The text colour of one cell; an invalid colour gives the grid's own back.
    void SetCellColor(int col, int row, const QColor& color);
    QColor CellColor(int col, int row) const;
    int RowCount() const { return rowCount(); }
    void SetRowCount(int rows);
    int ColCount() const { return columnCount(); }
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    void SetEditable(bool editable);
    bool IsFixed(int col, int row) const { return col < fixedCols_ || row < fixedRows_; }

    // Called for every painted cell after the grid's own drawing (rect in viewport coordinates).
    std::function<void(QPainter& painter, int col, int row, const QRect& rect)> OnDrawCell;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    void PlaceFixedRows();
    int fixedCols_, fixedRows_;
    // The fixed rows again, laid over the top of the cells so that they stay while the rest
    // scrolls.
    QTableView* fixedRowView_ = nullptr;
};

// Status bar with a row of fixed-width text panels.
class TStatusBar : public QStatusBar {
    Q_OBJECT
  public:
    TStatusBar(QWidget* parent, const std::vector<int>& panelWidths);
    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;
    QLabel* Panel(int panel) const { return panels_.at(panel); }
    int PanelCount() const { return static_cast<int>(panels_.size()); }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void PlacePanels();
    std::vector<QLabel*> panels_;
    std::vector<int> widths_;
};

void SetFontColor(QWidget* control, const QColor& color);
QColor FontColor(const QWidget* control);
// Greys a control's text, or gives it back the colours it would have now: a font colour set
// while greyed is kept for then.
void SetGreyed(QWidget* control, bool greyed);
QColor GreyedColor();
// The normal window-text colour.
QColor WindowTextColor();

void SetBarColor(QProgressBar* bar, const QColor& color);
QColor BarColor(const QProgressBar* bar);

// Selects or clears a radio button; clearing works even where Qt's auto-exclusivity refuses.
// Selecting clears the others of its group box and, like a click, runs its handler.
void SetRadioChecked(QRadioButton* button, bool checked);

// The modal message box every handler uses for the operator ("ShowMessage"). Tests install a
// sink to see the text instead of a box that would wait for a click; an empty sink restores the
// box.
using TMessageSink = std::function<void(const QString& text)>;
void ShowMessage(const QString& text);
void SetMessageSink(TMessageSink sink);
