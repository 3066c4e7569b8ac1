#pragma once

#include <QColor>
#include <QString>
#include <QTableView>

#include <vector>

class FlexGridModel;

// The grid of the list screens (MSHFlexGrid1). Rows and columns are numbered as the screens
// number them: row 0 is the fixed heading row and column 0 the fixed numbering column, both
// counted in rows() and cols(); data cells start at (1, 1). Column widths are in twips, 0 hides
// the column. The current row always carries a selection over the columns given by
// setSelectionColumns, and the area not covered by cells is grey while the grid has the focus
// and silver without it.
class FlexGrid : public QTableView
{
    Q_OBJECT

  public:
    // The orders of sort(), as the original control names them.
    enum class Sort {
        GenericAscending, // numbers by value when both texts are numbers, otherwise as text
        GenericDescending,
        NumericAscending, // the leading number of the text
        NumericDescending,
        StringNoCaseAscending, // text, ignoring the case of ASCII letters
        StringNoCaseDescending,
        StringAscending, // text by code point
        StringDescending,
    };

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    int rows() const;
    int cols() const;
    // Row and column counts include the heading row and the numbering column; at least 1 each.
    void setRows(int rows);
    void setCols(int cols);
    // Empties every cell's text and alignment; the counts and widths stay.
    void clear();

    void setColWidth(int col, int twips);
    int colWidth(int col) const;

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // A cell without an alignment of its own takes its column's (left and vertically centred
    // unless set).
    void setCellAlignment(int row, int col, Qt::Alignment alignment);
    void setColAlignment(int col, Qt::Alignment alignment);
    Qt::Alignment cellAlignment(int row, int col) const;

    // While off, cell changes are not shown; turning it on again shows them all at once.
    // A fill of many rows runs with it off.
    void setRedraw(bool on);
    bool redraw() const { return m_redraw; }

    // The current cell. Setting it moves the selection with it and never scrolls the grid.
    int row() const;
    int col() const;
    void setRow(int row);
    void setCol(int col);
    // The columns that the current row's selection spans (the whole row when not set).
    void setSelectionColumns(int first, int last);
    int colSel() const;
    int rowSel() const { return row(); }
    // Whether the cell lies in the selection.
    bool isCellSelected(int row, int col) const;

    // The first data row in view; setting it scrolls, clamped to the rows that can come first.
    int topRow() const;
    void setTopRow(int row);

    // Orders the data rows (row 1 onwards) by the texts of one column; rows of equal text keep
    // their order.
    void sort(int col, Sort order);

    void setFocusColours(const QColor& focused, const QColor& unfocused);
    // The colour of the area not covered by cells.
    QColor backColorBkg() const;

  signals:
    // A mouse click anywhere on the grid (after the current cell moved to the clicked one).
    void gridClicked();
    void gridDoubleClicked();
    void enterPressed();
    // The current cell changed, by the user or by the program.
    void rowColChanged();
    void focusGained();
    void focusLost();

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyColumnWidths();
    void applySelection();
    void syncCurrentIndex();
    void applyBackground();
    void scrollToTopRow();
    QModelIndex modelIndex(int row, int col) const;
    int viewColumn(int col) const;

    FlexGridModel* m_model;
    std::vector<int> m_widths; // twips, by grid column
    int m_row = 0;
    int m_col = 0;
    int m_selFirst = -1;
    int m_selLast = -1;
    int m_topRow = 1;
    bool m_redraw = true;
    bool m_settingCurrent = false;
    bool m_afterDoubleClick = false;
    QColor m_focused{128, 128, 128};
    QColor m_unfocused{192, 192, 192};
};
