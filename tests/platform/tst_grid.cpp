#include "platform/application.h"
#include "platform/colors.h"
#include "platform/grid.h"
#include "platform/vberror.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using platform::Grid;

class TestGrid : public QObject {
    Q_OBJECT

    // A shown grid of `rows` rows (row 0 the title row) and 3 columns, the
    // first of them fixed; cell (r, c) holds "r,c".
    static void fill(Grid& grid, int rows)
    {
        grid.setCols(3);
        grid.setRows(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < 3; ++c)
                grid.setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
        grid.resize(400, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
    }

    // The centre of a cell of a movable row, in viewport coordinates.
    static QPoint cellCentre(const Grid& grid, int row, int col)
    {
        return grid.view()->visualRect(grid.view()->model()->index(row - 1, col)).center();
    }

private slots:
    void leftClickMovesTheRowRightClickDoesNot()
    {
        Grid grid;
        fill(grid, 6);
        QSignalSpy down(&grid, &Grid::mouseDown);
        QSignalSpy clicks(&grid, &Grid::click);
        QWidget* viewport = grid.view()->viewport();

        QTest::mouseClick(viewport, Qt::LeftButton, {}, cellCentre(grid, 2, 1));
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.col(), 1);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(0).toInt(), int(platform::vbLeftButton));

        const QPoint p = cellCentre(grid, 4, 2);
        QTest::mouseClick(viewport, Qt::RightButton, Qt::ShiftModifier, p);
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.view()->selectionModel()->selectedRows().value(0).row(), 1);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(down.count(), 2);
        const QList<QVariant> args = down.at(1);
        QCOMPARE(args.at(0).toInt(), int(platform::vbRightButton));
        QCOMPARE(args.at(1).toInt(), int(platform::vbShiftMask));
        const QPoint inGrid = viewport->mapTo(&grid, p);
        QCOMPARE(args.at(2).toFloat(), float(platform::pixelsToTwips(inGrid.x())));
        QCOMPARE(args.at(3).toFloat(), float(platform::pixelsToTwips(inGrid.y())));

        // The fixed column picks its row; the keyboard moves on from there.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, cellCentre(grid, 5, 0));
        QCOMPARE(grid.row(), 5);
        QCOMPARE(grid.col(), 1);
        QTest::keyClick(grid.view(), Qt::Key_Up);
        QCOMPARE(grid.row(), 4);
        QTest::keyClick(grid.view(), Qt::Key_Left);  // never into the fixed column
        QCOMPARE(grid.col(), 1);
    }

    void doubleClickOnARowOnly()
    {
        Grid grid;
        fill(grid, 4);
        QSignalSpy dbl(&grid, &Grid::dblClick);
        QTest::mouseDClick(grid.view()->viewport(), Qt::LeftButton, {}, cellCentre(grid, 3, 2));
        QCOMPARE(dbl.count(), 1);
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.text(), QStringLiteral("3,2"));

        const QRect last = grid.view()->visualRect(grid.view()->model()->index(2, 1));
        // A row is as tall as its text, with a little room round it.
        const int text = grid.view()->fontMetrics().height();
        QVERIFY2(last.height() >= text && last.height() <= text + 6, qPrintable(QString::number(last.height())));
        QTest::mouseDClick(grid.view()->viewport(), Qt::LeftButton, {}, last.center() + QPoint(0, 3 * last.height()));
        QCOMPARE(dbl.count(), 1);
        QTest::mouseDClick(grid.view()->viewport(), Qt::RightButton, {}, cellCentre(grid, 1, 1));
        QCOMPARE(dbl.count(), 1);
        QCOMPARE(grid.row(), 3);
    }

    void columnWidthsInTwips_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("readBack");
        QTest::newRow("whole pixels") << 1500 << 100 << 1500;
        QTest::newRow("rounded") << 1000 << 67 << 1005;
        QTest::newRow("zero hides") << 0 << 0 << 0;
    }
    void columnWidthsInTwips()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QFETCH(int, readBack);
        Grid grid;
        grid.setCols(3);
        grid.setColWidth(1, twips);
        QCOMPARE(grid.view()->isColumnHidden(1), pixels == 0);
        if (pixels > 0)
            QCOMPARE(grid.view()->columnWidth(1), pixels);
        QCOMPARE(grid.colWidth(1), readBack);
        grid.setRows(9);  // widths survive a change of size
        QCOMPARE(grid.colWidth(1), readBack);
    }

    void alignment_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("left centre") << 1 << "x" << int(Qt::AlignLeft | Qt::AlignVCenter);
        QTest::newRow("centre top") << 3 << "x" << int(Qt::AlignHCenter | Qt::AlignTop);
        QTest::newRow("right centre") << 7 << "x" << int(Qt::AlignRight | Qt::AlignVCenter);
        QTest::newRow("general text") << 9 << "abc" << int(Qt::AlignLeft | Qt::AlignVCenter);
        QTest::newRow("general number") << 9 << "12.5" << int(Qt::AlignRight | Qt::AlignVCenter);
    }
    void alignment()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(int, expected);
        Grid grid;
        grid.setCols(3);
        grid.setColAlignment(2, code);
        grid.setTextMatrix(0, 2, text);
        grid.setTextMatrix(1, 2, text);
        QAbstractItemModel* model = grid.view()->model();
        QCOMPARE(grid.colAlignment(2), code);
        QCOMPARE(model->data(model->index(0, 2), Qt::TextAlignmentRole).toInt(), expected);
        QCOMPARE(model->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), expected);
        QCOMPARE(model->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), text);
    }

    void currentCellColoursAndClear()
    {
        Grid grid;
        grid.setCols(3);
        grid.setRows(4);
        grid.setRow(2);
        grid.setCol(0);  // a fixed cell may be made current by the program
        QCOMPARE(grid.cellBackColor(), vb::vbButtonFace);
        grid.setCol(2);
        QCOMPARE(grid.cellForeColor(), vb::vbWindowText);
        grid.setCellForeColor(0x8000000F);
        grid.setCellBackColor(65535);
        grid.setTextMatrix(2, 2, QStringLiteral("x"));
        QAbstractItemModel* model = grid.view()->model();
        QCOMPARE(model->data(model->index(1, 2), Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 0));
        QCOMPARE(model->data(model->index(1, 2), Qt::ForegroundRole).value<QColor>(),
                 platform::toQColor(vb::vbButtonFace));
        QCOMPARE(grid.view()->currentIndex().row(), 1);

        grid.clear();
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.textMatrix(2, 2), QString());
        QCOMPARE(grid.cellBackColor(), vb::vbWindowBackground);

        grid.setRows(2);  // the current row follows a shrinking grid
        QCOMPARE(grid.row(), 1);
        QVERIFY_THROWS_EXCEPTION(vb::Error, grid.setTextMatrix(2, 0, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(vb::Error, grid.setCol(3));
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
