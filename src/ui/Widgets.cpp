#include "ui/Widgets.h"

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

namespace {

// Draws a cell the way the handlers expect to overdraw it: text at 3 pixels right of and 1 pixel
// below the cell's top-left corner, headings on the button face. The owner-draw hook runs last.
class TGridDelegate : public QStyledItemDelegate {
  public:
    explicit TGridDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int col = index.column(), row = index.row();
        const QRect rect = option.rect;
        const QPalette& pal = grid_->palette();
        painter->save();
        painter->fillRect(rect, grid_->IsFixed(col, row) ? pal.color(QPalette::Button)
                                                         : pal.color(QPalette::Base));
        const QVariant foreground = index.data(Qt::ForegroundRole);
        painter->setPen(foreground.isValid() ? foreground.value<QBrush>().color()
                                             : pal.color(QPalette::Text));
        painter->setFont(grid_->font());
        painter->drawText(rect.adjusted(3, 1, 0, 0),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
        if (grid_->OnDrawCell) {
            painter->save();
            painter->setClipRect(rect);
            painter->setFont(grid_->font());
            grid_->OnDrawCell(*painter, col, row, rect);
            painter->restore();
        }
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (grid_->IsFixed(index.column(), index.row())) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

  private:
    TStringGrid* grid_;
};

TMessageSink messageSink;

} // namespace

TStringGrid::TStringGrid(QWidget* parent, int colCount, int rowCount, int fixedCols, int fixedRows,
                         int defaultRowHeight)
    : QTableWidget(rowCount, colCount, parent), fixedCols_(fixedCols), fixedRows_(fixedRows) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(64);
    setItemDelegate(new TGridDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    SetEditable(false);

    if (fixedRows_ > 0) {
        fixedRowView_ = new QTableView(this);
        fixedRowView_->setObjectName(QStringLiteral("FixedRows"));
        fixedRowView_->setModel(model());
        fixedRowView_->setItemDelegate(itemDelegate());
        fixedRowView_->setFrameShape(QFrame::NoFrame);
        fixedRowView_->horizontalHeader()->hide();
        fixedRowView_->verticalHeader()->hide();
        fixedRowView_->verticalHeader()->setMinimumSectionSize(1);
        fixedRowView_->verticalHeader()->setDefaultSectionSize(defaultRowHeight);
        fixedRowView_->horizontalHeader()->setMinimumSectionSize(1);
        fixedRowView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        fixedRowView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        fixedRowView_->setHorizontalScrollMode(horizontalScrollMode());
        fixedRowView_->setSelectionMode(QAbstractItemView::NoSelection);
        fixedRowView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        fixedRowView_->setFocusPolicy(Qt::NoFocus);
        fixedRowView_->setWordWrap(false);
        fixedRowView_->setAttribute(Qt::WA_TransparentForMouseEvents);
        connect(horizontalHeader(), &QHeaderView::sectionResized, this,
                [this](int col, int, int width) { fixedRowView_->setColumnWidth(col, width); });
        connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int h) {
            if (row < fixedRows_) {
                fixedRowView_->setRowHeight(row, h);
                PlaceFixedRows();
            }
        });
        connect(horizontalScrollBar(), &QScrollBar::valueChanged,
                fixedRowView_->horizontalScrollBar(), &QScrollBar::setValue);
        PlaceFixedRows();
    }
}

void TStringGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    PlaceFixedRows();
}

// The cells' area also changes when a scroll bar comes or goes, without the grid changing size.
bool TStringGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize) PlaceFixedRows();
    return QTableWidget::viewportEvent(event);
}

void TStringGrid::PlaceFixedRows() {
    if (!fixedRowView_) return;
    int height = 0;
    for (int row = 0; row < fixedRows_ && row < rowCount(); ++row)
        height += rowHeight(row);
    for (int col = 0; col < columnCount(); ++col)
        fixedRowView_->setColumnWidth(col, columnWidth(col));
    const QRect cells = viewport()->geometry();
    fixedRowView_->setGeometry(cells.x(), cells.y(), cells.width(), height);
    fixedRowView_->setVisible(height > 0);
}

QString TStringGrid::Cell(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void TStringGrid::SetCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount()) return;
    QTableWidgetItem* it = item(row, col);
    if (it) {
        it->setText(text);
        return;
    }
    if (text.isEmpty()) return; // an absent cell already reads as empty
    setItem(row, col, new QTableWidgetItem(text));
}

void TStringGrid::SetCellColor(int col, int row, const QColor& color) {
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount()) return;
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        if (!color.isValid()) return;
        it = new QTableWidgetItem;
        setItem(row, col, it);
    }
    it->setData(Qt::ForegroundRole, color.isValid() ? QVariant(QBrush(color)) : QVariant());
}

QColor TStringGrid::CellColor(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    const QVariant foreground = it ? it->data(Qt::ForegroundRole) : QVariant();
    return foreground.isValid() ? foreground.value<QBrush>().color()
                                : palette().color(QPalette::Text);
}

void TStringGrid::SetRowCount(int rows) {
    setRowCount(rows < 0 ? 0 : rows);
}

void TStringGrid::SetEditable(bool editable) {
    setEditTriggers(editable
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed
                        : QAbstractItemView::NoEditTriggers);
    if (editable) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setFocusPolicy(Qt::StrongFocus);
    }
}

TStatusBar::TStatusBar(QWidget* parent, const std::vector<int>& panelWidths)
    : QStatusBar(parent), widths_(panelWidths) {
    setSizeGripEnabled(false);
    // The panels are placed by hand: the status bar's own layout would widen the window to fit
    // panels that together are wider than it, where they should simply be cut at its edge.
    for (size_t i = 0; i < widths_.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
        panel->setTextFormat(Qt::PlainText);
        panels_.push_back(panel);
    }
    PlacePanels();
}

void TStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    PlacePanels();
}

void TStatusBar::PlacePanels() {
    int x = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        // The last panel takes the rest of the bar, whatever the widths add up to: cut at the
        // window's edge it would lose its frame and its text's end.
        const int w = i + 1 == panels_.size() ? std::max(width() - x, 20) : widths_[i];
        panels_[i]->setGeometry(x, 1, w - 2, height() - 1);
        x += widths_[i];
    }
}

void TStatusBar::SetPanelText(int panel, const QString& text) {
    if (panel < 0 || panel >= PanelCount()) return;
    panels_[panel]->setText(text);
}

QString TStatusBar::PanelText(int panel) const {
    if (panel < 0 || panel >= PanelCount()) return QString();
    return panels_[panel]->text();
}

namespace {

// The palette a greyed control goes back to.
const char* const NormalPaletteProperty = "halvexPaletteBeforeGrey";

void SetTextColor(QPalette& pal, const QColor& color) {
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::ButtonText, color);
}

} // namespace

void SetFontColor(QWidget* control, const QColor& color) {
    const QVariant normal = control->property(NormalPaletteProperty);
    QPalette pal = normal.isValid() ? normal.value<QPalette>() : control->palette();
    SetTextColor(pal, color);
    if (normal.isValid())
        control->setProperty(NormalPaletteProperty, QVariant::fromValue(pal));
    else
        control->setPalette(pal);
}

void SetGreyed(QWidget* control, bool greyed) {
    const QVariant normal = control->property(NormalPaletteProperty);
    if (greyed == normal.isValid()) return;
    if (greyed) {
        control->setProperty(NormalPaletteProperty, QVariant::fromValue(control->palette()));
        QPalette pal = control->palette();
        SetTextColor(pal, GreyedColor());
        control->setPalette(pal);
    } else {
        control->setPalette(normal.value<QPalette>());
        control->setProperty(NormalPaletteProperty, QVariant());
    }
}

QColor GreyedColor() {
    return QColor(128, 128, 128);
}

QColor FontColor(const QWidget* control) {
    return control->palette().color(QPalette::WindowText);
}

QColor WindowTextColor() {
    return QApplication::palette().color(QPalette::WindowText);
}

void SetBarColor(QProgressBar* bar, const QColor& color) {
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Highlight, color);
    bar->setPalette(pal);
}

QColor BarColor(const QProgressBar* bar) {
    return bar->palette().color(QPalette::Highlight);
}

void SetRadioChecked(QRadioButton* button, bool checked) {
    if (checked) {
        button->setChecked(true); // exclusivity clears the others; toggled runs the handler
        return;
    }
    if (!button->isChecked()) return;
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

void ShowMessage(const QString& text) {
    if (messageSink) {
        messageSink(text);
        return;
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("Halvex"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void SetMessageSink(TMessageSink sink) {
    messageSink = std::move(sink);
}
