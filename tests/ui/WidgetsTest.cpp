// The toolkit behaviour the handlers rely on.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPainter>
#include <QProgressBar>
#include <QScrollBar>
#include <set>

#include "UiTestSupport.h"
#include "tests/support/TestApplication.h"
#include "ui/Widgets.h"

namespace {

class WidgetsTest : public ::testing::Test {
  protected:
    void SetUp() override { TestApplication(); }
};

TEST_F(WidgetsTest, RadioButtonsSelectExclusivelyAndCanBeCleared) {
    QGroupBox box;
    QRadioButton a(&box), b(&box), c(&box);
    int selections[3] = {0, 0, 0};
    QRadioButton* radios[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i)
        QObject::connect(radios[i], &QRadioButton::toggled, [&selections, i](bool on) {
            if (on) ++selections[i];
        });

    SetRadioChecked(&a, true);
    SetRadioChecked(&b, true);
    EXPECT_FALSE(a.isChecked());
    EXPECT_TRUE(b.isChecked());
    EXPECT_EQ(selections[0], 1);
    EXPECT_EQ(selections[1], 1);

    // Qt's exclusivity alone would refuse to leave the group without a selection.
    SetRadioChecked(&b, false);
    EXPECT_FALSE(a.isChecked() || b.isChecked() || c.isChecked());
    EXPECT_TRUE(b.autoExclusive());
    SetRadioChecked(&c, true);
    EXPECT_TRUE(c.isChecked());
    EXPECT_EQ(selections[2], 1);
    EXPECT_EQ(selections[1], 1); // clearing is no selection
}

TEST_F(WidgetsTest, ColoursReadBackAsSet) {
    QProgressBar bar;
    SetBarColor(&bar, QColor(255, 0, 0));
    EXPECT_EQ(BarColor(&bar), QColor(255, 0, 0));
    QLabel label;
    EXPECT_EQ(FontColor(&label), WindowTextColor());
    SetFontColor(&label, Qt::red);
    EXPECT_EQ(FontColor(&label), QColor(Qt::red));
    SetFontColor(&label, WindowTextColor());
    EXPECT_EQ(FontColor(&label), WindowTextColor());
}

TEST_F(WidgetsTest, GridCellsAndBounds) {
    TStringGrid grid(nullptr, 3, 5, 1, 1, 16);
    grid.SetCell(2, 4, QStringLiteral("x"));
    EXPECT_EQ(grid.Cell(2, 4), QStringLiteral("x"));
    EXPECT_EQ(grid.Cell(1, 1), QString());
    // Addresses outside the grid are ignored, never written.
    grid.SetCell(3, 0, QStringLiteral("y"));
    grid.SetCell(0, 5, QStringLiteral("y"));
    grid.SetCell(-1, -1, QStringLiteral("y"));
    EXPECT_EQ(grid.Cell(3, 0), QString());
    EXPECT_EQ(grid.ColCount(), 3);
    grid.SetRowCount(903);
    EXPECT_EQ(grid.RowCount(), 903);
    EXPECT_EQ(grid.Cell(2, 4), QStringLiteral("x"));
    EXPECT_EQ(grid.rowHeight(902), 16);
    grid.SetRowCount(-1);
    EXPECT_EQ(grid.RowCount(), 0);
}

TEST_F(WidgetsTest, FixedCellsAreNotEditable) {
    TStringGrid grid(nullptr, 2, 3, 1, 1, 16);
    grid.SetEditable(true);
    QStyleOptionViewItem option;
    QWidget parent;
    auto* delegate = grid.itemDelegate();
    EXPECT_EQ(delegate->createEditor(&parent, option, grid.model()->index(0, 1)), nullptr);
    EXPECT_EQ(delegate->createEditor(&parent, option, grid.model()->index(1, 0)), nullptr);
    EXPECT_NE(delegate->createEditor(&parent, option, grid.model()->index(1, 1)), nullptr);
}

TEST_F(WidgetsTest, OwnerDrawRunsAfterTheGridsOwnDrawing) {
    TStringGrid grid(nullptr, 3, 4, 1, 1, 16);
    grid.resize(220, 90);
    for (int c = 0; c < 3; ++c)
        grid.setColumnWidth(c, 60);
    grid.SetCell(2, 1, QStringLiteral("123"));
    std::set<std::pair<int, int>> drawn;
    QRect cell21;
    grid.OnDrawCell = [&](QPainter& painter, int col, int row, const QRect& rect) {
        drawn.insert({col, row});
        if (col == 2 && row == 1) {
            cell21 = rect;
            painter.fillRect(rect, Qt::red);
        }
    };
    const QImage image = grid.grab().toImage();
    EXPECT_EQ(drawn.size(), 12u);
    ASSERT_TRUE(cell21.isValid());
    // The hook's red covers what the grid drew there.
    const QPoint inViewport = cell21.center();
    const QPoint inGrid = grid.viewport()->mapTo(&grid, inViewport);
    EXPECT_EQ(image.pixelColor(inGrid * image.devicePixelRatio()), QColor(Qt::red));
}

TEST_F(WidgetsTest, FixedRowStaysWhileTheCellsScroll) {
    TStringGrid grid(nullptr, 3, 903, 1, 1, 16);
    grid.resize(247, 241);
    grid.SetCell(1, 0, QStringLiteral("Time"));
    for (int row = 1; row < 903; ++row)
        grid.SetCell(1, row, QString::number(row));
    const QImage settled = grid.grab().toImage(); // lays the grid out
    const QRect top = grid.viewport()->geometry().adjusted(0, 0, 0, 16 - grid.viewport()->height());
    const QImage before = grid.grab(top).toImage();
    grid.scrollToBottom();
    const QImage after = grid.grab(top).toImage();
    EXPECT_EQ(before, after);
    EXPECT_NE(grid.grab().toImage(), settled); // while the cells did move
    EXPECT_GT(grid.verticalScrollBar()->value(), 0);
}

TEST_F(WidgetsTest, StatusBarPanels) {
    TStatusBar bar(nullptr, {160, 350, 350, 120});
    bar.resize(953, 19);
    bar.SetPanelText(3, QStringLiteral("COM3"));
    bar.SetPanelText(4, QStringLiteral("ignored"));
    EXPECT_EQ(bar.PanelText(3), QStringLiteral("COM3"));
    EXPECT_EQ(bar.PanelText(4), QString());
    EXPECT_EQ(bar.Panel(1)->x(), 160);
    EXPECT_EQ(bar.Panel(2)->x(), 510);
    EXPECT_EQ(bar.Panel(3)->x(), 860);
    // The widths add up to more than the window; the last panel ends at the bar's edge instead
    // of being cut there, and follows the bar's width.
    bar.show();
    for (int width : {953, 1200}) {
        bar.resize(width, 19);
        EXPECT_EQ(bar.Panel(3)->geometry().right(), width - 3) << width;
    }
}

// Grey wins over any colour set meanwhile; ungreyed, the control shows the colour last set.
TEST_F(WidgetsTest, GreyedTextKeepsTheColourSetMeanwhileForLater) {
    QLabel label;
    const QColor red(255, 0, 0);
    SetFontColor(&label, red);
    SetGreyed(&label, true);
    SetGreyed(&label, true);
    EXPECT_EQ(FontColor(&label), GreyedColor());
    SetFontColor(&label, WindowTextColor());
    EXPECT_EQ(FontColor(&label), GreyedColor());
    SetGreyed(&label, false);
    EXPECT_EQ(FontColor(&label), WindowTextColor());
    SetGreyed(&label, false);
    EXPECT_EQ(FontColor(&label), WindowTextColor());

    // A grid cell is drawn in its own colour.
    TStringGrid grid(nullptr, 2, 2, 0, 0, 16);
    grid.resize(140, 40);
    grid.SetCell(0, 0, QStringLiteral("8888"));
    const QImage plain = grid.grab().toImage();
    grid.SetCellColor(0, 0, red);
    EXPECT_EQ(grid.CellColor(0, 0), red);
    EXPECT_NE(grid.grab().toImage(), plain);
    grid.SetCellColor(0, 0, QColor());
    EXPECT_EQ(grid.grab().toImage(), plain);
}

TEST_F(WidgetsTest, MessagesGoToTheInstalledSink) {
    QStringList shown;
    SetMessageSink([&shown](const QString& text) { shown << text; });
    ShowMessage(QStringLiteral("hello"));
    SetMessageSink(nullptr);
    EXPECT_EQ(shown, QStringList{QStringLiteral("hello")});
}

} // namespace
