// The flex grid on a table view. Its cells live in GridModel; flex row 0,
// when fixed, is the view's horizontal header so that the titles stay in
// view, every other row is a row of the view. Fixed cells are not enabled
// items, so neither the mouse nor the keyboard makes them current.

#include "platform/grid.h"

#include "platform/application.h"
#include "platform/colors.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <optional>
#include <vector>

namespace platform {

namespace {

struct Cell {
    QString text;
    std::optional<qint32> fore;
    std::optional<qint32> back;
};

Qt::Alignment toQtAlignment(int code, const QString& text)
{
    static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    if (code < flexAlignLeftTop || code > flexAlignRightBottom)
        return (vb::IsNumeric(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    return horizontal[code / 3] | vertical[code % 3];
}

}  // namespace

class GridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rows() const { return int(m_cells.size()); }
    int cols() const { return m_cols; }
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    // Flex rows shown in the header rather than in the view: row 0 when fixed.
    int headerRows() const { return m_fixedRows > 0 ? 1 : 0; }
    bool isFixed(int row, int col) const { return row < m_fixedRows || col < m_fixedCols; }

    Cell& cell(int row, int col) { return m_cells[size_t(row)][size_t(col)]; }
    const Cell& cell(int row, int col) const { return m_cells[size_t(row)][size_t(col)]; }
    int alignment(int col) const { return m_alignments[size_t(col)]; }

    void setRows(int rows)
    {
        const int now = this->rows();
        if (rows < m_fixedRows)
            setFixedRows(rows);
        const int h = headerRows();
        if (rows > now) {
            beginInsertRows({}, now - h, rows - h - 1);
            m_cells.resize(size_t(rows), std::vector<Cell>(size_t(m_cols)));
            endInsertRows();
        } else if (rows < now) {
            beginRemoveRows({}, qMax(0, rows - h), now - h - 1);
            m_cells.resize(size_t(rows));
            endRemoveRows();
        }
    }

    void setCols(int cols)
    {
        if (cols < m_fixedCols)
            setFixedCols(cols);
        if (cols > m_cols)
            beginInsertColumns({}, m_cols, cols - 1);
        else if (cols < m_cols)
            beginRemoveColumns({}, cols, m_cols - 1);
        else
            return;
        const bool growing = cols > m_cols;
        m_cols = cols;
        for (auto& r : m_cells)
            r.resize(size_t(cols));
        m_alignments.resize(size_t(cols), flexAlignGeneral);
        growing ? endInsertColumns() : endRemoveColumns();
    }

    void setFixedRows(int fixed)
    {
        // Whether row 0 is a header or a view row changes the view's rows.
        beginResetModel();
        m_fixedRows = fixed;
        endResetModel();
    }

    void setFixedCols(int fixed)
    {
        m_fixedCols = fixed;
        changedAll();
    }

    void setAlignment(int col, int code)
    {
        m_alignments[size_t(col)] = code;
        changedAll();
    }

    void cellChanged(int row, int col)
    {
        if (row < headerRows())
            emit headerDataChanged(Qt::Horizontal, col, col);
        else
            emit dataChanged(index(row - headerRows(), col), index(row - headerRows(), col));
    }

    void clearCells()
    {
        for (auto& r : m_cells)
            for (Cell& c : r)
                c = Cell{};
        changedAll();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : rows() - headerRows();
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_cols; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        return cellData(index.row() + headerRows(), index.column(), role, false);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || headerRows() == 0 || section >= m_cols)
            return {};
        return cellData(0, section, role, true);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid() || isFixed(index.row() + headerRows(), index.column()))
            return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

private:
    void changedAll()
    {
        if (rowCount() > 0 && m_cols > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, m_cols - 1));
        if (m_cols > 0)
            emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    }

    // Colours are looked up here, when the view draws the cell, so system
    // colours follow the palette in force. The header draws its own look
    // unless the cell has colours of its own.
    QVariant cellData(int row, int col, int role, bool header) const
    {
        const Cell& c = cell(row, col);
        const bool fixed = isFixed(row, col);
        switch (role) {
        case Qt::DisplayRole:
            return c.text;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(toQtAlignment(alignment(col), c.text));
        case Qt::ForegroundRole:
            if (header && !c.fore)
                return {};
            return toQColor(c.fore.value_or(fixed ? vb::vbButtonText : vb::vbWindowText));
        case Qt::BackgroundRole:
            if (header && !c.back)
                return {};
            return toQColor(c.back.value_or(fixed ? vb::vbButtonFace : vb::vbWindowBackground));
        default:
            return {};
        }
    }

    std::vector<std::vector<Cell>> m_cells;
    std::vector<int> m_alignments;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
};

// The view reports presses to the grid; only the left button may move the
// current cell.
class GridView : public QTableView {
public:
    GridView(Grid* grid) : QTableView(grid), m_grid(grid) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            QTableView::mousePressEvent(event);
            pickRowOfFixedColumn(event->position().toPoint());
        }
        m_grid->viewMouseDown(event->button(), event->modifiers(), event->position().toPoint());
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        QTableView::mouseReleaseEvent(event);
        if (m_afterDoubleClick)
            m_afterDoubleClick = false;
        else if (viewport()->rect().contains(event->position().toPoint()))
            emit m_grid->click();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        QTableView::mouseDoubleClickEvent(event);
        pickRowOfFixedColumn(event->position().toPoint());
        m_afterDoubleClick = true;
        // Only a double click on a row means that row; the empty space
        // beneath the last row means nothing.
        if (indexAt(event->position().toPoint()).isValid())
            emit m_grid->dblClick();
    }

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override
    {
        QTableView::currentChanged(current, previous);
        if (current.isValid())
            m_grid->takeCurrentFromView(current.row(), current.column());
    }

private:
    // A press on the fixed column of a row takes that row.
    void pickRowOfFixedColumn(QPoint pos)
    {
        const QModelIndex index = indexAt(pos);
        GridModel* model = m_grid->m_model;
        const int row = index.row() + model->headerRows();
        if (index.isValid() && row >= model->fixedRows() && index.column() < model->fixedCols()) {
            m_grid->m_row = row;
            m_grid->m_col = qMin(model->fixedCols(), model->cols() - 1);
            m_grid->syncCurrent();
        }
    }

    Grid* m_grid;
    bool m_afterDoubleClick = false;
};

Grid::Grid(QWidget* parent) : QWidget(parent), m_model(new GridModel(this)), m_view(new GridView(this))
{
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->horizontalHeader()->setSectionsClickable(false);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setMinimumSectionSize(0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    setCols(2);
    setRows(2);
    setFixedRows(1);
    setFixedCols(1);
    m_row = 1;
    m_col = 1;
    syncCurrent();
}

Grid::~Grid() = default;

int Grid::rows() const { return m_model->rows(); }
int Grid::cols() const { return m_model->cols(); }
int Grid::fixedRows() const { return m_model->fixedRows(); }
int Grid::fixedCols() const { return m_model->fixedCols(); }
QTableView* Grid::view() const { return m_view; }

void Grid::setRows(int rows)
{
    m_model->setRows(qMax(0, rows));
    m_view->horizontalHeader()->setVisible(m_model->headerRows() > 0);
    m_row = qBound(0, m_row, qMax(0, this->rows() - 1));
    applyWidths();
    syncCurrent();
}

void Grid::setCols(int cols)
{
    m_model->setCols(qMax(0, cols));
    m_widths.resize(size_t(this->cols()), -1);
    m_col = qBound(0, m_col, qMax(0, this->cols() - 1));
    applyWidths();
    syncCurrent();
}

void Grid::setFixedRows(int rows)
{
    m_model->setFixedRows(qBound(0, rows, this->rows()));
    m_view->horizontalHeader()->setVisible(m_model->headerRows() > 0);
    applyWidths();  // a reset of the view forgets its column widths
    syncCurrent();
}

void Grid::setFixedCols(int cols)
{
    m_model->setFixedCols(qBound(0, cols, this->cols()));
    syncCurrent();
}

void Grid::checkRow(int row) const
{
    if (row < 0 || row >= rows())
        vb::raise(vb::errSubscript);
}

void Grid::checkCol(int col) const
{
    if (col < 0 || col >= cols())
        vb::raise(vb::errSubscript);
}

void Grid::checkCell(int row, int col) const
{
    checkRow(row);
    checkCol(col);
}

QString Grid::textMatrix(int row, int col) const
{
    checkCell(row, col);
    return m_model->cell(row, col).text;
}

void Grid::setTextMatrix(int row, int col, const QString& text)
{
    checkCell(row, col);
    m_model->cell(row, col).text = text;
    m_model->cellChanged(row, col);
}

QString Grid::text() const { return textMatrix(m_row, m_col); }

int Grid::colWidth(int col) const
{
    checkCol(col);
    if (m_view->isColumnHidden(col))
        return 0;
    return pixelsToTwips(m_view->columnWidth(col));
}

void Grid::setColWidth(int col, int twips)
{
    checkCol(col);
    m_widths[size_t(col)] = qMax(0, twips);
    applyWidths();
}

void Grid::applyWidths()
{
    for (int c = 0; c < cols(); ++c) {
        const int twips = m_widths[size_t(c)];
        if (twips < 0)
            continue;
        const int pixels = twipsToPixels(twips);
        m_view->setColumnHidden(c, pixels == 0);
        if (pixels > 0)
            m_view->setColumnWidth(c, pixels);
    }
}

int Grid::colAlignment(int col) const
{
    checkCol(col);
    return m_model->alignment(col);
}

void Grid::setColAlignment(int col, int alignment)
{
    checkCol(col);
    m_model->setAlignment(col, alignment);
}

int Grid::row() const { return m_row; }
int Grid::col() const { return m_col; }

void Grid::setRow(int row)
{
    checkRow(row);
    m_row = row;
    syncCurrent();
}

void Grid::setCol(int col)
{
    checkCol(col);
    m_col = col;
    syncCurrent();
}

qint32 Grid::cellForeColor() const
{
    checkCell(m_row, m_col);
    const Cell& c = m_model->cell(m_row, m_col);
    return c.fore.value_or(m_model->isFixed(m_row, m_col) ? vb::vbButtonText : vb::vbWindowText);
}

void Grid::setCellForeColor(qint32 color)
{
    checkCell(m_row, m_col);
    m_model->cell(m_row, m_col).fore = color;
    m_model->cellChanged(m_row, m_col);
}

qint32 Grid::cellBackColor() const
{
    checkCell(m_row, m_col);
    const Cell& c = m_model->cell(m_row, m_col);
    return c.back.value_or(m_model->isFixed(m_row, m_col) ? vb::vbButtonFace : vb::vbWindowBackground);
}

void Grid::setCellBackColor(qint32 color)
{
    checkCell(m_row, m_col);
    m_model->cell(m_row, m_col).back = color;
    m_model->cellChanged(m_row, m_col);
}

void Grid::clear() { m_model->clearCells(); }

void Grid::syncCurrent()
{
    m_syncing = true;
    const int viewRow = m_row - m_model->headerRows();
    const int viewCol = qMax(m_col, m_model->fixedCols());
    if (m_row >= fixedRows() && m_row < rows() && viewCol < cols()) {
        m_view->setCurrentIndex(m_model->index(viewRow, viewCol));
    } else {
        m_view->selectionModel()->clearCurrentIndex();
        m_view->clearSelection();
    }
    m_syncing = false;
}

void Grid::takeCurrentFromView(int viewRow, int viewCol)
{
    if (m_syncing)
        return;
    m_row = viewRow + m_model->headerRows();
    m_col = viewCol;
}

void Grid::viewMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint viewportPos)
{
    int b = 0;
    if (button == Qt::LeftButton)
        b = vbLeftButton;
    else if (button == Qt::RightButton)
        b = vbRightButton;
    else if (button == Qt::MiddleButton)
        b = vbMiddleButton;
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= vbShiftMask;
    if (modifiers & Qt::ControlModifier)
        shift |= vbCtrlMask;
    if (modifiers & Qt::AltModifier)
        shift |= vbAltMask;
    const int viewRow = m_view->rowAt(viewportPos.y());
    m_mouseRow = viewRow < 0 ? -1 : viewRow + m_model->headerRows();
    const QPoint p = m_view->viewport()->mapTo(this, viewportPos);
    emit mouseDown(b, shift, float(pixelsToTwips(p.x())), float(pixelsToTwips(p.y())));
}

}  // namespace platform
