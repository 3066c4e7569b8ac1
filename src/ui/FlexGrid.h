#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QTableView>

#include <memory>
#include <vector>

class FlexGridModel;

// Supplies the texts of a grid's data rows when they are needed, for grids too long to fill up
// front.
class FlexGridRows
{
  public:
    virtual ~FlexGridRows();
    // The texts of `count` data rows from grid row `first` on, each row from column 0 on. Rows
    // or texts left out read as empty.
    virtual std::vector<QStringList> read(int first, int count) = 0;
};

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
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    int rows() const;
    int cols() const;
    // Row and column counts include the heading row and the numbering column; at least 1 each.
    void setRows(int rows);
    void setCols(int cols);
    // Empties every cell's text and alignment; the counts and widths stay.
    void clear();
    // Gives the grid dataRows data rows, empty, whose texts the source supplies a block at a
    // time when a row is drawn or a cell of it read or written; rows read are kept. Setting the
    // row count or clearing the grid ends the source.
    void setRowSource(int dataRows, std::unique_ptr<FlexGridRows> source);

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
};
