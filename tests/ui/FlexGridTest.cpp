#include "ui/FlexGrid.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window holding a grid and another focusable field, as a screen holds them.
class FlexGridTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(600, 400);
        grid = new FlexGrid(window.get());
        grid->setObjectName(QStringLiteral("MSHFlexGrid1"));
        grid->setGeometry(10, 10, 560, 300);
        other = new QLineEdit(window.get());
        other->setGeometry(10, 330, 200, 24);
    }
    void TearDown() override { window.reset(); }

    void show()
    {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // Four columns like the maker grid, with `count` data rows named by number.
    void fill(int count)
    {
        grid->setCols(4);
        for (int c = 0; c < 4; ++c)
            grid->setColWidth(c, QList<int>{800, 0, 4000, 4000}[c]);
        grid->setRows(count + 1);
        grid->setRedraw(false);
        for (int r = 1; r <= count; ++r) {
            grid->setTextMatrix(r, 0, QString::number(r));
            grid->setTextMatrix(r, 1, QString::number(100 + r));
            grid->setTextMatrix(r, 2, QStringLiteral("名前%1").arg(r));
            grid->setTextMatrix(r, 3, QStringLiteral("ﾌﾘｶﾞﾅ%1").arg(r));
        }
        grid->setRedraw(true);
    }

    QPoint cellCentre(int row, int col) const
    {
        return grid->visualRect(grid->model()->index(row - 1, col - 1)).center();
    }

    std::unique_ptr<QWidget> window;
    FlexGrid* grid = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(FlexGridTest, WidthsInTwipsAndZeroHidesTheColumn)
{
    fill(3);
    show();
    EXPECT_EQ(grid->cols(), 4);
    EXPECT_EQ(grid->rows(), 4);
    EXPECT_EQ(grid->colWidth(2), 4000);
    EXPECT_EQ(grid->verticalHeader()->width(), Tw(800));
    EXPECT_TRUE(grid->isColumnHidden(0));
    EXPECT_FALSE(grid->isColumnHidden(1));
    EXPECT_EQ(grid->columnWidth(1), Tw(4000));
    EXPECT_EQ(grid->columnWidth(2), Tw(4000));

    // The numbering column hides like any other, and a hidden column comes back with a width.
    grid->setColWidth(0, 0);
    grid->setColWidth(1, 1500);
    EXPECT_FALSE(grid->verticalHeader()->isVisible());
    EXPECT_FALSE(grid->isColumnHidden(0));
    EXPECT_EQ(grid->columnWidth(0), Tw(1500));

    // Widths survive a change of the column count.
    grid->setCols(6);
    EXPECT_EQ(grid->columnWidth(1), Tw(4000));
    EXPECT_TRUE(grid->isColumnHidden(3)) << "a new column has no width until given one";
}

TEST_F(FlexGridTest, HeadingRowAndNumberingColumnAreTheFixedCells)
{
    fill(2);
    grid->setTextMatrix(0, 2, QStringLiteral("ブランド名"));
    grid->setCellAlignment(0, 2, Qt::AlignCenter);
    grid->setCellAlignment(1, 0, Qt::AlignRight | Qt::AlignVCenter);
    QAbstractItemModel* model = grid->model();
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("ブランド名"));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
    EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    EXPECT_EQ(model->headerData(0, Qt::Vertical, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model->data(model->index(1, 2)).toString(), QStringLiteral("ﾌﾘｶﾞﾅ2"));
    EXPECT_EQ(grid->textMatrix(2, 2), QStringLiteral("名前2"));
    EXPECT_EQ(grid->cellAlignment(2, 2), Qt::AlignLeft | Qt::AlignVCenter);
    grid->setColAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(grid->cellAlignment(2, 2), Qt::AlignRight | Qt::AlignVCenter);

    // Out of range reads give nothing and writes are ignored.
    EXPECT_EQ(grid->textMatrix(9, 1), QString());
    grid->setTextMatrix(9, 1, QStringLiteral("x"));
    grid->setTextMatrix(-1, 1, QStringLiteral("x"));
    EXPECT_EQ(grid->rows(), 3);

    grid->clear();
    EXPECT_EQ(grid->textMatrix(1, 2), QString());
    EXPECT_EQ(grid->textMatrix(0, 2), QString());
    EXPECT_EQ(grid->rows(), 3);
    EXPECT_EQ(grid->cellAlignment(1, 0), Qt::AlignLeft | Qt::AlignVCenter);
}

TEST_F(FlexGridTest, SelectionSpansTheGivenColumnsOfTheCurrentRow)
{
    grid->setCols(6);
    for (int c = 0; c < 6; ++c)
        grid->setColWidth(c, 1000);
    grid->setRows(11);
    grid->setSelectionColumns(1, 3);
    QSignalSpy changes(grid, &FlexGrid::rowColChanged);
    grid->setRow(5);
    grid->setCol(1);
    EXPECT_EQ(grid->row(), 5);
    EXPECT_EQ(grid->col(), 1);
    EXPECT_EQ(grid->colSel(), 3);
    EXPECT_EQ(changes.count(), 2);
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(grid->isCellSelected(5, c), c <= 3) << c;
    EXPECT_FALSE(grid->isCellSelected(4, 2));
    grid->setRow(5);
    EXPECT_EQ(changes.count(), 2) << "staying on the row is no change";

    // A click moves the current cell and the selection with it.
    show();
    QSignalSpy clicks(grid, &FlexGrid::gridClicked);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(7, 4));
    EXPECT_EQ(grid->row(), 7);
    EXPECT_EQ(grid->col(), 4);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(changes.count(), 3);
    EXPECT_TRUE(grid->isCellSelected(7, 1));
    EXPECT_TRUE(grid->isCellSelected(7, 3));
    EXPECT_FALSE(grid->isCellSelected(7, 4));
    EXPECT_FALSE(grid->isCellSelected(5, 2));
    EXPECT_TRUE(grid->hasFocus());

    // The arrow keys move the row; the selection follows.
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->row(), 8);
    EXPECT_TRUE(grid->isCellSelected(8, 2));
    EXPECT_FALSE(grid->isCellSelected(7, 2));

    // Fewer rows keep the current row inside the grid.
    grid->setRows(4);
    EXPECT_EQ(grid->row(), 3);
    EXPECT_TRUE(grid->isCellSelected(3, 1));
    grid->setRows(1);
    EXPECT_EQ(grid->row(), 0);
    EXPECT_FALSE(grid->isCellSelected(1, 1));
}

// The screens make the hidden key column current; the arrows must still move the row from the
// first press, when the grid is new and after it is filled again.
TEST_F(FlexGridTest, ArrowsMoveFromTheFirstPressWhenTheCurrentColumnIsHidden)
{
    fill(5);
    grid->setSelectionColumns(1, 3);
    grid->setRow(1);
    grid->setCol(1);
    show();
    grid->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->row(), 2);
    EXPECT_EQ(grid->col(), 1);
    EXPECT_TRUE(grid->isCellSelected(2, 3));
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(grid->row(), 1);

    grid->setRows(1);
    fill(4);
    grid->setRow(3);
    grid->setCol(1);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->row(), 4);
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(grid->row(), 2);
    EXPECT_EQ(grid->col(), 1);
}

TEST_F(FlexGridTest, FirstVisibleRowIsClampedAndSurvivesShowing)
{
    fill(200);
    // Set before the grid is shown, as a screen does while it loads.
    grid->setTopRow(50);
    grid->setRow(60);
    EXPECT_EQ(grid->topRow(), 50);
    show();
    EXPECT_EQ(grid->topRow(), 50);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 49);
    EXPECT_EQ(grid->rowAt(1), 49) << "row 50 stands at the top of the cells";

    // Setting the current row never scrolls.
    grid->setRow(2);
    EXPECT_EQ(grid->topRow(), 50);

    const int visible = grid->viewport()->height() / grid->rowHeight(0);
    ASSERT_GT(visible, 5);
    grid->setTopRow(10'000);
    const int last = grid->topRow();
    EXPECT_LE(last, 200 - visible + 1);
    EXPECT_GE(last, 200 - visible);
    EXPECT_EQ(grid->rowAt(grid->viewport()->height() - 2), 199) << "the last row is in view";
    grid->setTopRow(-3);
    EXPECT_EQ(grid->topRow(), 1);

    // The user's scrolling is what the grid reports.
    grid->verticalScrollBar()->setValue(20);
    EXPECT_EQ(grid->topRow(), 21);

    // Rows that all fit leave nothing to scroll.
    fill(3);
    grid->setTopRow(3);
    EXPECT_EQ(grid->topRow(), 1);
}

TEST_F(FlexGridTest, BackgroundIsGreyWithTheFocusAndSilverWithout)
{
    fill(2);
    show();
    other->setFocus();
    const QColor grey(128, 128, 128);
    const QColor silver(192, 192, 192);
    EXPECT_EQ(grid->backColorBkg(), silver);
    const auto emptyAreaColour = [this] {
        const QImage image = grid->viewport()->grab().toImage();
        return QColor(image.pixel(image.width() / 2, image.height() - 5));
    };
    const auto cellColour = [this] {
        const QImage image = grid->viewport()->grab().toImage();
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        return QColor(image.pixel(cell.right() - 3, cell.center().y()));
    };
    EXPECT_EQ(emptyAreaColour(), silver);

    QSignalSpy gained(grid, &FlexGrid::focusGained);
    QSignalSpy lost(grid, &FlexGrid::focusLost);
    grid->setFocus();
    EXPECT_EQ(grid->backColorBkg(), grey);
    EXPECT_EQ(emptyAreaColour(), grey);
    EXPECT_EQ(cellColour(), QColor(Qt::white)) << "cells keep their own background";
    other->setFocus();
    EXPECT_EQ(grid->backColorBkg(), silver);
    EXPECT_EQ(emptyAreaColour(), silver);
    EXPECT_EQ(gained.count(), 1);
    EXPECT_EQ(lost.count(), 1);
}

// Texts "r:c" for each row asked for, counting the blocks asked.
class CountingRows : public FlexGridRows
{
  public:
    explicit CountingRows(std::vector<int>* firsts) : m_firsts(firsts) {}
    std::vector<QStringList> read(int first, int count) override
    {
        m_firsts->push_back(first);
        std::vector<QStringList> rows;
        for (int r = first; r < first + count; ++r)
            rows.push_back(
                {QString::number(r), QStringLiteral("%1:1").arg(r), QStringLiteral("%1:2").arg(r)});
        return rows;
    }

  private:
    std::vector<int>* m_firsts;
};

// A grid of many rows reads the texts of the rows it draws, and of those the program asks about,
// a block at a time; what it read, or what was written, it keeps.
TEST_F(FlexGridTest, RowsFromASourceAreReadWhenDrawnOrAskedAndKept)
{
    grid->setCols(3);
    for (int c = 0; c < 3; ++c)
        grid->setColWidth(c, 1500);
    grid->setTextMatrix(0, 1, QStringLiteral("見出し"));
    std::vector<int> firsts;
    grid->setRowSource(10'000, std::make_unique<CountingRows>(&firsts));
    EXPECT_EQ(grid->rows(), 10'001);
    EXPECT_EQ(grid->textMatrix(0, 1), QStringLiteral("見出し")) << "the heading row is the grid's own";
    EXPECT_TRUE(firsts.empty()) << "nothing is read before it is needed";

    grid->setTopRow(5'000);
    show();
    QApplication::processEvents();
    ASSERT_FALSE(firsts.empty());
    EXPECT_LE(firsts.size(), 4u) << "only the blocks in view are read";
    EXPECT_EQ(grid->model()->data(grid->model()->index(5'000 - 1, 0)).toString(), QStringLiteral("5000:1"));
    EXPECT_EQ(grid->model()->headerData(5'000 - 1, Qt::Vertical).toString(), QStringLiteral("5000"));

    const size_t drawn = firsts.size();
    EXPECT_EQ(grid->textMatrix(9'999, 2), QStringLiteral("9999:2"));
    EXPECT_EQ(firsts.size(), drawn + 1);
    EXPECT_EQ(grid->textMatrix(9'998, 1), QStringLiteral("9998:1"));
    EXPECT_EQ(firsts.size(), drawn + 1) << "a block is read once";

    grid->setTextMatrix(7'000, 1, QStringLiteral("書いた"));
    EXPECT_EQ(grid->textMatrix(7'000, 1), QStringLiteral("書いた"));
    EXPECT_EQ(grid->textMatrix(7'000, 2), QStringLiteral("7000:2")) << "its row was read before the write";

    // Rows set by hand end the source: rows read stay, the others are empty.
    grid->setRows(8'001);
    EXPECT_EQ(grid->textMatrix(7'000, 1), QStringLiteral("書いた"));
    EXPECT_EQ(grid->textMatrix(3'000, 1), QString());
    grid->clear();
    EXPECT_EQ(grid->textMatrix(5'000, 1), QString());
}

TEST_F(FlexGridTest, EnterAndDoubleClickAreReported)
{
    fill(3);
    show();
    grid->setFocus();
    QSignalSpy enters(grid, &FlexGrid::enterPressed);
    QSignalSpy clicks(grid, &FlexGrid::gridClicked);
    QSignalSpy doubles(grid, &FlexGrid::gridDoubleClicked);
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(enters.count(), 2);

    // Through the window, so that the platform turns the second press into a double click.
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {},
                       grid->viewport()->mapTo(window.get(), cellCentre(2, 2)));
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(clicks.count(), 1) << "the second release of a double click is no click";
    EXPECT_EQ(grid->row(), 2);

    // A click on the heading row counts as a click on the grid and takes the focus.
    other->setFocus();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      grid->horizontalHeader()->viewport()->mapTo(window.get(), QPoint(20, 5)));
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_TRUE(grid->hasFocus());
}

} // namespace
