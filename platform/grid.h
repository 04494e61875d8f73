#pragma once
// The flex grid: a table of text cells addressed by row and column, the
// first FixedRows rows and FixedCols columns being titles that the user
// cannot make current. Row 0, when fixed, stays in view as the grid scrolls.
//
// Rows and columns count the fixed ones (row 0 is the first title row).
// Widths are in twips, colours the runtime's colour numbers (0x00BBGGRR, or
// 0x8000000n for a system colour, resolved when the cell is drawn). Row, Col
// and a cell index outside the grid raise vb::errSubscript.
//
// The current cell is what Row and Col read and set; the user moves it with
// a left click or the keyboard (a click on the fixed column takes that row),
// and the whole current row is shown selected. A press of any other button
// leaves it where it is. A column's alignment applies to its title too.

#include <QWidget>
#include <QtGlobal>
#include <vector>

class QTableView;

namespace platform {

class GridModel;
class GridView;

// Alignment codes of a column.
enum GridAlignment : int {
    flexAlignLeftTop = 0,
    flexAlignLeftCenter = 1,
    flexAlignLeftBottom = 2,
    flexAlignCenterTop = 3,
    flexAlignCenterCenter = 4,
    flexAlignCenterBottom = 5,
    flexAlignRightTop = 6,
    flexAlignRightCenter = 7,
    flexAlignRightBottom = 8,
    flexAlignGeneral = 9,  // text left, numbers right, both centred vertically
};

// Mouse buttons and shift states as mouseDown reports them.
enum GridMouse : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum GridShift : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

class Grid : public QWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    // A new grid has 2 rows and 2 columns, one of each fixed.
    int rows() const;
    void setRows(int rows);  // the fixed rows shrink with it when fewer
    int cols() const;
    void setCols(int cols);
    int fixedRows() const;
    void setFixedRows(int rows);  // 0 to rows()
    int fixedCols() const;
    void setFixedCols(int cols);  // 0 to cols()

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    QString text() const;  // the current cell's

    // Width in twips, rounded to whole pixels; 0 hides the column.
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int colAlignment(int col) const;  // flexAlignGeneral until set
    void setColAlignment(int col, int alignment);

    // The current cell. Setting Row or Col moves it, fixed cells included
    // (so their colours can be set), without emitting any signal.
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);

    // The row under the pointer at the last press of any button, -1 when
    // no row was there.
    int mouseRow() const { return m_mouseRow; }

    // Colours of the current cell: its own, or the grid's default for a
    // fixed or a movable cell when it has none.
    qint32 cellForeColor() const;
    void setCellForeColor(qint32 color);
    qint32 cellBackColor() const;
    void setCellBackColor(qint32 color);

    // Empties every cell, titles included, and drops the cells' colours;
    // the size of the grid and the current cell stay.
    void clear();

    // The table widget inside (tests, for clicks on its viewport).
    QTableView* view() const;

signals:
    // Left button pressed and released over the grid.
    void click();
    // Left button double-clicked over the grid.
    void dblClick();
    // Any button pressed; x and y in twips from the grid's top left. A left
    // press has moved the current cell before this is emitted.
    void mouseDown(int button, int shift, float x, float y);

private:
    friend class GridView;
    void checkRow(int row) const;
    void checkCol(int col) const;
    void checkCell(int row, int col) const;
    void applyWidths();
    void syncCurrent();  // shows m_row/m_col as the view's current cell
    void takeCurrentFromView(int viewRow, int viewCol);
    void viewMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint viewportPos);

    GridModel* m_model;
    GridView* m_view;
    std::vector<int> m_widths;  // twips as set, -1 for the view's default
    int m_row = 1;
    int m_col = 1;
    int m_mouseRow = -1;
    bool m_syncing = false;
};

}  // namespace platform
