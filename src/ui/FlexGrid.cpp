#include "FlexGrid.h"

#include "Twips.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr Qt::Alignment kDefaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;
// The area not covered by cells: grey while the grid has the focus, silver without it.
const QColor kFocused{128, 128, 128};
const QColor kUnfocused{192, 192, 192};

// Rows read from a row source at a time: a screenful or two.
constexpr int kSourceBlock = 64;

struct Cell
{
    QString text;
    Qt::Alignment alignment; // empty: the column's
};

// The cells of one row; empty until one of them is written, so that a long grid costs little
// before it is filled.
using Row = std::vector<Cell>;

// The numbering column: its width is the grid's to set, so its size is never measured from the
// texts of its rows, which would read rows that are not in view.
class NumberingHeader : public QHeaderView
{
  public:
    using QHeaderView::QHeaderView;
    QSize sizeHint() const override { return {minimumWidth(), defaultSectionSize()}; }
};

} // namespace

FlexGridRows::~FlexGridRows() = default;

// Holds every cell of the grid, the heading row and numbering column included; the view shows
// row 0 as its horizontal header and column 0 as its vertical header. With a row source, the
// data rows are read from it a block at a time when the view draws them or the program asks for
// them.
class FlexGridModel : public QAbstractTableModel
{
  public:
    using QAbstractTableModel::QAbstractTableModel;

    int gridRows() const { return static_cast<int>(rows.size()); }
    int gridCols() const { return cols; }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : gridRows() - 1;
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : cols - 1; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        return cellData(index.row() + 1, index.column() + 1, role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal)
            return section + 1 < cols ? cellData(0, section + 1, role) : QVariant();
        return section + 1 < gridRows() ? cellData(section + 1, 0, role) : QVariant();
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    QVariant cellData(int row, int col, int role) const
    {
        switch (role) {
        case Qt::DisplayRole:
            return text(row, col);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignmentOf(row, col));
        case Qt::BackgroundRole:
            return row > 0 && col > 0 ? QVariant(QBrush(Qt::white)) : QVariant();
        default:
            return {};
        }
    }

    // The cell, or nullptr while its row holds nothing.
    const Cell* cell(int row, int col) const
    {
        readRow(row);
        const Row& r = rows[static_cast<size_t>(row)];
        return static_cast<size_t>(col) < r.size() ? &r[static_cast<size_t>(col)] : nullptr;
    }

    Cell& writableCell(int row, int col)
    {
        readRow(row);
        Row& r = rows[static_cast<size_t>(row)];
        if (r.size() < static_cast<size_t>(cols))
            r.resize(static_cast<size_t>(cols));
        return r[static_cast<size_t>(col)];
    }

    QString text(int row, int col) const
    {
        const Cell* c = cell(row, col);
        return c ? c->text : QString();
    }

    Qt::Alignment alignmentOf(int row, int col) const
    {
        const Cell* c = cell(row, col);
        if (c && c->alignment)
            return c->alignment;
        return colAlignments[static_cast<size_t>(col)];
    }

    void resizeRows(int newRows)
    {
        const int old = gridRows();
        if (newRows > old) {
            beginInsertRows({}, old - 1, newRows - 2);
            rows.resize(static_cast<size_t>(newRows));
            endInsertRows();
        } else if (newRows < old) {
            beginRemoveRows({}, newRows - 1, old - 2);
            rows.resize(static_cast<size_t>(newRows));
            endRemoveRows();
        }
    }

    void resizeCols(int newCols)
    {
        const auto apply = [this, newCols] {
            cols = newCols;
            for (Row& row : rows) {
                if (row.size() > static_cast<size_t>(newCols))
                    row.resize(static_cast<size_t>(newCols));
            }
            colAlignments.resize(static_cast<size_t>(newCols), kDefaultAlignment);
        };
        if (newCols > cols) {
            beginInsertColumns({}, cols - 1, newCols - 2);
            apply();
            endInsertColumns();
        } else if (newCols < cols) {
            beginRemoveColumns({}, newCols - 1, cols - 2);
            apply();
            endRemoveColumns();
        }
    }

    // Rows already read stay as they are; the others stay empty.
    void endSource()
    {
        source.reset();
        blocksRead.clear();
    }

    void setSource(std::unique_ptr<FlexGridRows> rowSource)
    {
        for (size_t r = 1; r < rows.size(); ++r)
            rows[r] = Row{};
        source = std::move(rowSource);
        blocksRead.assign(static_cast<size_t>((gridRows() - 1 + kSourceBlock - 1) / kSourceBlock), false);
    }

    void changed(int row, int col)
    {
        if (!redraw)
            return;
        if (row == 0)
            emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
        else if (col == 0)
            emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
        else
            emit dataChanged(index(row - 1, col - 1), index(row - 1, col - 1));
    }

    void changedAll()
    {
        if (gridRows() > 1 && cols > 1)
            emit dataChanged(index(0, 0), index(gridRows() - 2, cols - 2));
        if (cols > 1)
            emit headerDataChanged(Qt::Horizontal, 0, cols - 2);
        if (gridRows() > 1)
            emit headerDataChanged(Qt::Vertical, 0, gridRows() - 2);
    }

    // The rows (heading row first) and the source with the blocks of it already read: a cache
    // that reading a cell may fill, hence mutable.
    mutable std::vector<Row> rows{1};
    mutable std::vector<bool> blocksRead;
    std::unique_ptr<FlexGridRows> source;
    std::vector<Qt::Alignment> colAlignments{kDefaultAlignment};
    int cols = 1;
    bool redraw = true;

  private:
    void readRow(int row) const
    {
        if (!source || row < 1)
            return;
        const size_t block = static_cast<size_t>((row - 1) / kSourceBlock);
        if (block >= blocksRead.size() || blocksRead[block])
            return;
        blocksRead[block] = true;
        const int first = static_cast<int>(block) * kSourceBlock + 1;
        const int count = std::min(kSourceBlock, gridRows() - first);
        const std::vector<QStringList> texts = source->read(first, count);
        for (int i = 0; i < count && i < static_cast<int>(texts.size()); ++i) {
            const QStringList& line = texts[static_cast<size_t>(i)];
            Row& r = rows[static_cast<size_t>(first + i)];
            r.assign(static_cast<size_t>(cols), Cell{});
            for (int c = 0; c < cols && c < line.size(); ++c)
                r[static_cast<size_t>(c)].text = line.at(c);
        }
    }
};

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), m_model(new FlexGridModel(this)), m_widths(1, 0)
{
    setVerticalHeader(new NumberingHeader(Qt::Vertical, this));
    setModel(m_model);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setFocusPolicy(Qt::StrongFocus);

    const int rowHeight = fontMetrics().height() + 6;
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setMinimumSectionSize(0);
        header->viewport()->installEventFilter(this);
    }
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(rowHeight);
    horizontalHeader()->setStretchLastSection(false);

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (isVisible())
            m_topRow = value + 1;
    });
    applyColumnWidths();
    applyBackground();
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::rows() const
{
    return m_model->gridRows();
}

int FlexGrid::cols() const
{
    return m_model->gridCols();
}

void FlexGrid::setRows(int rows)
{
    rows = std::max(1, rows);
    m_model->endSource();
    m_settingCurrent = true;
    m_model->resizeRows(rows);
    m_settingCurrent = false;
    m_row = std::min(m_row, rows - 1);
    m_topRow = std::clamp(m_topRow, 1, std::max(1, rows - 1));
    syncCurrentIndex();
    applySelection();
}

void FlexGrid::setCols(int cols)
{
    cols = std::max(1, cols);
    m_settingCurrent = true;
    m_model->resizeCols(cols);
    m_settingCurrent = false;
    m_widths.resize(static_cast<size_t>(cols), 0);
    m_col = std::min(m_col, cols - 1);
    applyColumnWidths();
    applySelection();
}

void FlexGrid::clear()
{
    m_model->endSource();
    for (Row& row : m_model->rows)
        row = Row{};
    m_model->changedAll();
}

void FlexGrid::setRowSource(int dataRows, std::unique_ptr<FlexGridRows> source)
{
    setRows(dataRows + 1);
    m_model->setSource(std::move(source));
    m_model->changedAll();
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols())
        return;
    m_widths[static_cast<size_t>(col)] = std::max(0, twips);
    applyColumnWidths();
}

int FlexGrid::colWidth(int col) const
{
    return col >= 0 && col < cols() ? m_widths[static_cast<size_t>(col)] : 0;
}

void FlexGrid::applyColumnWidths()
{
    const int numbering = m_widths.front();
    verticalHeader()->setVisible(numbering > 0);
    verticalHeader()->setFixedWidth(Tw(numbering));
    for (int col = 1; col < cols(); ++col) {
        const int twips = m_widths[static_cast<size_t>(col)];
        setColumnHidden(col - 1, twips == 0);
        if (twips > 0)
            setColumnWidth(col - 1, Tw(twips));
    }
    // A column hidden or shown moves the view's cursor to the column that is shown now.
    syncCurrentIndex();
}

QString FlexGrid::textMatrix(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return {};
    return m_model->text(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return;
    m_model->writableCell(row, col).text = text;
    m_model->changed(row, col);
}

void FlexGrid::setCellAlignment(int row, int col, Qt::Alignment alignment)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return;
    m_model->writableCell(row, col).alignment = alignment;
    m_model->changed(row, col);
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= cols())
        return;
    m_model->colAlignments[static_cast<size_t>(col)] = alignment ? alignment : kDefaultAlignment;
    m_model->changedAll();
}

Qt::Alignment FlexGrid::cellAlignment(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return kDefaultAlignment;
    return m_model->alignmentOf(row, col);
}

void FlexGrid::setRedraw(bool on)
{
    if (m_redraw == on)
        return;
    m_redraw = on;
    m_model->redraw = on;
    if (on)
        m_model->changedAll();
}

int FlexGrid::row() const
{
    return m_row;
}

int FlexGrid::col() const
{
    return m_col;
}

QModelIndex FlexGrid::modelIndex(int row, int col) const
{
    if (row < 1 || row >= rows() || cols() < 2)
        return {};
    return m_model->index(row - 1, viewColumn(col) - 1);
}

// The view cannot move its cursor from a hidden column (the screens make the hidden key column
// current), so its current cell sits in the nearest shown column instead; col() still reports
// the column the program set.
int FlexGrid::viewColumn(int col) const
{
    col = std::clamp(col, 1, std::max(1, cols() - 1));
    const auto shown = [this](int c) { return m_widths[static_cast<size_t>(c)] > 0; };
    for (int c = col; c < cols(); ++c) {
        if (shown(c))
            return c;
    }
    for (int c = col - 1; c >= 1; --c) {
        if (shown(c))
            return c;
    }
    return col;
}

// Moves the view's current cell to (m_row, m_col) without scrolling or reporting it back.
void FlexGrid::syncCurrentIndex()
{
    m_settingCurrent = true;
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(modelIndex(m_row, m_col), QItemSelectionModel::NoUpdate);
    setAutoScroll(scrolls);
    m_settingCurrent = false;
}

void FlexGrid::setRow(int row)
{
    row = std::clamp(row, 0, rows() - 1);
    const bool changed = row != m_row;
    m_row = row;
    syncCurrentIndex();
    applySelection();
    if (changed)
        emit rowColChanged();
}

void FlexGrid::setCol(int col)
{
    col = std::clamp(col, 0, cols() - 1);
    const bool changed = col != m_col;
    m_col = col;
    syncCurrentIndex();
    if (changed)
        emit rowColChanged();
}

void FlexGrid::setSelectionColumns(int first, int last)
{
    m_selFirst = first;
    m_selLast = last;
    applySelection();
}

int FlexGrid::colSel() const
{
    return m_selLast < 0 ? cols() - 1 : std::min(m_selLast, cols() - 1);
}

bool FlexGrid::isCellSelected(int row, int col) const
{
    if (row < 1 || col < 1 || row >= rows() || col >= cols())
        return false;
    return selectionModel()->isSelected(m_model->index(row - 1, col - 1));
}

void FlexGrid::applySelection()
{
    QItemSelectionModel* selection = selectionModel();
    if (m_row < 1 || m_row >= rows() || cols() < 2) {
        selection->clearSelection();
        return;
    }
    const int first = std::clamp(m_selFirst < 0 ? 1 : m_selFirst, 1, cols() - 1);
    const int last = std::clamp(colSel(), first, cols() - 1);
    selection->select(
        QItemSelection(m_model->index(m_row - 1, first - 1), m_model->index(m_row - 1, last - 1)),
        QItemSelectionModel::ClearAndSelect);
}

int FlexGrid::topRow() const
{
    return m_topRow;
}

void FlexGrid::setTopRow(int row)
{
    m_topRow = std::clamp(row, 1, std::max(1, rows() - 1));
    scrollToTopRow();
}

void FlexGrid::scrollToTopRow()
{
    if (!isVisible())
        return;
    updateGeometries();
    QScrollBar* bar = verticalScrollBar();
    const int wanted = m_topRow - 1;
    bar->setValue(wanted);
    m_topRow = bar->value() + 1;
}

QColor FlexGrid::backColorBkg() const
{
    return viewport()->palette().color(QPalette::Base);
}

void FlexGrid::applyBackground()
{
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, hasFocus() ? kFocused : kUnfocused);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (m_settingCurrent || !current.isValid())
        return;
    const int row = current.row() + 1;
    int col = current.column() + 1;
    if (col == viewColumn(m_col))
        col = m_col;
    if (row == m_row && col == m_col)
        return;
    m_row = row;
    m_col = col;
    applySelection();
    emit rowColChanged();
}

void FlexGrid::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    applyBackground();
    emit focusGained();
}

void FlexGrid::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    applyBackground();
    emit focusLost();
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    m_afterDoubleClick = false;
    QTableView::mousePressEvent(event);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // The release that ends a double click is not a click of its own.
    if (m_afterDoubleClick) {
        m_afterDoubleClick = false;
        return;
    }
    emit gridClicked();
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    m_afterDoubleClick = true;
    emit gridDoubleClicked();
}

void FlexGrid::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    scrollToTopRow();
}

void FlexGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    scrollToTopRow();
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    // A click on the heading row or the numbering column is a click on the grid.
    if (watched == horizontalHeader()->viewport() || watched == verticalHeader()->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_afterDoubleClick = false;
            setFocus(Qt::MouseFocusReason);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                if (m_afterDoubleClick)
                    m_afterDoubleClick = false;
                else
                    emit gridClicked();
            }
            break;
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                m_afterDoubleClick = true;
                emit gridDoubleClicked();
            }
            break;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}
