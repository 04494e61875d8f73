#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL_objects.h"
#include "db/sqltext.h"
#include "platform/database.h"
#include "platform/elements.h"
#include "platform/picturebox.h"
#include "platform/ui.h"
#include "tests/support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;
using platform::ScopedScriptedUi;
using platform::ShapeElement;

namespace {

constexpr qint32 Drawing = 7;

// A label unlike element 0's defaults in every stored property.
void styleLabel(LabelElement& l, const QString& caption)
{
    l.Caption = caption;
    l.ToolTipText = QStringLiteral("comment, with 'quotes'\nand a line break");
    l.Tag = QStringLiteral("021:12.5_AB12CD34EF56");
    l.Alignment = 2;
    l.Appearance = 0;
    l.Left = 12.345678f;
    l.Top = -3.5f;
    l.FontSize = 10.5;
    l.FontBold = l.FontItalic = l.FontUnderline = l.FontStrikethrough = true;
    l.FontName = QStringLiteral("IPAGothic");
    l.ForeColor = 255;
    l.BackColor = 65535;
    l.BackStyle = 0;
    l.BorderStyle = 1;
}

// Every stored property of a label, as text.
QStringList stored(const LabelElement& l)
{
    QStringList texts{l.Caption, l.ToolTipText, l.Tag, l.FontName};
    for (double v : {double(l.Alignment), double(l.Appearance), double(l.Left), double(l.Top), l.FontSize.get(),
                     double(l.FontBold), double(l.FontItalic), double(l.FontUnderline), double(l.FontStrikethrough),
                     double(l.ForeColor), double(l.BackColor), double(l.BackStyle), double(l.BorderStyle)})
        texts << QString::number(v, 'g', 7);
    return texts;
}

}  // namespace

class TestMdlSqlObjects : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;
    platform::PictureBox m_box{QStringLiteral("pictMap")};

    bool openCopy()
    {
        const QString path = testsupport::copyTemplate(m_dir.filePath(QStringLiteral("o%1.mdb").arg(++m_count)));
        return mdlDB::fncDbOpen(path) == 0;
    }

    static platform::db::Recordset rows(const QString& table)
    {
        return GE_objConnection->openRecordset(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY intIndex"));
    }

    // Stores `count` labels of the array's name (captions "0", "1" ...).
    void storeLabels(const QString& name, int count)
    {
        ElementArray<LabelElement> source(name, &m_box);
        for (int i = 0; i < count; ++i) {
            styleLabel(source(0), QString::number(i));
            QCOMPARE(mdlSQL::fncSQL_InsertLabel(Drawing, source(0), qint16(i)), qint16(0));
        }
    }

private slots:
    void init()
    {
        GE_objConnection.reset();
        GE_booDbOpen = false;
        GE_booDbUpdate = false;
        GE_tpSystem.System_Id = CurrentSystemId;
    }
    void cleanup()
    {
        GE_objConnection.reset();
        GE_booDbOpen = false;
    }

    void emptyTextsAreLeftOutAndLoadEmpty()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        ElementArray<LabelElement> source(QStringLiteral("lblMoji"), &m_box);
        styleLabel(source(0), QStringLiteral("first"));
        QCOMPARE(mdlSQL::fncSQL_InsertLabel(Drawing, source(0), 0), qint16(0));
        QVERIFY(GE_booDbUpdate);
        source(0).Caption = QString();
        source(0).ToolTipText = QString();
        source(0).Tag = QString();
        QCOMPARE(mdlSQL::fncSQL_InsertLabel(Drawing, source(0), 1), qint16(0));
        for (const char* column : {"strCaption", "strToolTipText", "Tag"})
            QVERIFY2(!sqltext::lastStatement().contains(QLatin1String(column)), column);

        GE_booDbUpdate = false;
        ElementArray<LabelElement> loaded(QStringLiteral("lblMoji"), &m_box);
        QCOMPARE(mdlSQL::fncSQL_LoadLabel(Drawing, loaded), qint16(1));
        QVERIFY(!GE_booDbUpdate);
        QCOMPARE(loaded(0).Caption.get(), QStringLiteral("first"));
        // Element 1 was created as a copy of the filled element 0: the empty
        // texts must not come back as element 0's.
        QCOMPARE(loaded(1).Caption.get(), QString());
        QCOMPARE(loaded(1).ToolTipText.get(), QString());
        QCOMPARE(loaded(1).Tag, QString());
        QCOMPARE(loaded(1).FontName.get(), QStringLiteral("IPAGothic"));
        QCOMPARE(ui->count(), 0);
    }

    void textsAreTrimmedExceptNames()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        ElementArray<LabelElement> source(QStringLiteral("lblMoji"), &m_box);
        LabelElement& l = source(0);
        styleLabel(l, QStringLiteral("  it's  "));
        l.ToolTipText = QStringLiteral(" note ");
        l.Tag = QStringLiteral(" tag ");
        l.FontName = QStringLiteral(" IPAGothic ");
        QCOMPARE(mdlSQL::fncSQL_InsertLabel(Drawing, l, 0), qint16(0));
        QVERIFY(sqltext::lastStatement().contains(QLatin1String(",10.5,")));
        platform::db::Recordset rs = rows(QStringLiteral("tLabel"));
        QCOMPARE(rs[QStringLiteral("strCaption")].toString(), QStringLiteral("it's"));
        QCOMPARE(rs[QStringLiteral("strToolTipText")].toString(), QStringLiteral("note"));
        QCOMPARE(rs[QStringLiteral("Tag")].toString(), QStringLiteral("tag"));
        QCOMPARE(rs[QStringLiteral("strFontname")].toString(), QStringLiteral(" IPAGothic "));
        QCOMPARE(rs[QStringLiteral("strObjName")].toString(), QStringLiteral("lblMoji"));
    }

    void labelKeepsEveryStoredProperty_data()
    {
        QTest::addColumn<double>("fontSize");
        QTest::newRow("half point") << 10.5;
        QTest::newRow("not a binary fraction") << 10.3;
        QTest::newRow("whole") << 9.0;
    }
    void labelKeepsEveryStoredProperty()
    {
        QFETCH(double, fontSize);
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        ElementArray<LabelElement> source(QStringLiteral("lblKyori"), &m_box);
        styleLabel(source(0), QStringLiteral("1.5 m"));
        source(0).FontSize = fontSize;
        QCOMPARE(mdlSQL::fncSQL_InsertLabel(Drawing, source(0), 0), qint16(0));

        ElementArray<LabelElement> loaded(QStringLiteral("lblKyori"), &m_box);
        QCOMPARE(mdlSQL::fncSQL_LoadLabel(Drawing, loaded), qint16(0));
        QCOMPARE(stored(loaded(0)), stored(source(0)));
        QCOMPARE(loaded(0).Left.get(), 12.34568f);  // a single as written: 7 digits
        QCOMPARE(loaded(0).FontSize.get(), fontSize);
        QVERIFY(loaded(0).Visible);
        QCOMPARE(ui->count(), 0);
    }

    void labelArraysAndTheirSpares_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("ubound");  // the last element shown is rows - 1
        QTest::newRow("distances keep a spare") << "lblKyori" << 3 << 3;
        QTest::newRow("areas keep a spare") << "lblMensekiS" << 1 << 1;
        QTest::newRow("routes keep a spare") << "lblKeiroS" << 2 << 2;
        QTest::newRow("text labels keep none") << "lblMoji" << 2 << 1;
        QTest::newRow("position labels keep none") << "lblKeiIdoS" << 1 << 0;
        QTest::newRow("no rows: nothing changes") << "lblKyori" << 0 << 0;
    }
    void labelArraysAndTheirSpares()
    {
        QFETCH(QString, name);
        QFETCH(int, rows);
        QFETCH(int, ubound);
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        storeLabels(name, rows);
        // Rows of another drawing and of another array are not this array's.
        ElementArray<LabelElement> other(QStringLiteral("lblOther"), &m_box);
        QCOMPARE(mdlSQL::fncSQL_InsertLabel(Drawing, other(0), 0), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_InsertLabel(Drawing + 1, other(0), 0), qint16(0));
        GE_objConnection->execute(QStringLiteral("UPDATE tLabel SET strObjName = '%1' WHERE Print_ID = %2")
                                      .arg(name)
                                      .arg(Drawing + 1));

        ElementArray<LabelElement> loaded(name, &m_box);
        loaded(0).Caption = QStringLiteral("design");
        loaded(0).Visible = false;
        GE_booDbUpdate = false;
        QCOMPARE(mdlSQL::fncSQL_LoadLabel(Drawing, loaded), qint16(rows - 1));
        QVERIFY(!GE_booDbUpdate);
        QCOMPARE(loaded.UBound(), ubound);
        QCOMPARE(loaded.Count(), ubound + 1);
        for (int i = 0; i < rows; ++i) {
            QVERIFY(loaded(i).Visible);
            QCOMPARE(loaded(i).Caption.get(), QString::number(i));
        }
        if (rows > 0 && ubound == rows) {  // the spare: a hidden copy of element 0
            QVERIFY(!loaded(ubound).Visible);
            QCOMPARE(loaded(ubound).Caption.get(), QString::number(0));
        }
        if (rows == 0) {
            QVERIFY(!loaded(0).Visible);
            QCOMPARE(loaded(0).Caption.get(), QStringLiteral("design"));
        }
        QCOMPARE(ui->count(), 0);
    }

    void lineAndShapeKeepEveryStoredProperty()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        ElementArray<LineElement> lines(QStringLiteral("lineDsSave"), &m_box);
        LineElement& line = lines(0);
        line.Tag = QStringLiteral(" _AB12CD34EF56 ");
        line.X1 = 1.25f, line.Y1 = 2.5f, line.X2 = 1234.567f, line.Y2 = -0.125f;
        line.BorderColor = 0x00FF8000, line.BorderStyle = 3, line.BorderWidth = 2, line.DrawMode = 7;
        QCOMPARE(mdlSQL::fncSQL_InsertLine(Drawing, line, 0), qint16(0));
        ElementArray<ShapeElement> shapes(QStringLiteral("shpSnpo"), &m_box);
        ShapeElement& shape = shapes(0);
        shape.Tag = QStringLiteral("AB12CD34EF56");
        shape.Move(3.5f, 4.25f, 10.5f, 0.75f);
        shape.BackColor = 255, shape.BackStyle = 1, shape.BorderColor = 65280, shape.BorderStyle = 2;
        shape.BorderWidth = 3, shape.FillColor = 0x123456, shape.FillStyle = 0, shape.Shape = 3, shape.DrawMode = 7;
        QCOMPARE(mdlSQL::fncSQL_InsertShape(Drawing, shape, 0), qint16(0));

        ElementArray<LineElement> loadedLines(QStringLiteral("lineDsSave"), &m_box);
        QCOMPARE(mdlSQL::fncSQL_LoadLine(Drawing, loadedLines), qint16(0));
        const LineElement& l = loadedLines(0);
        QCOMPARE(l.Tag, QStringLiteral("_AB12CD34EF56"));
        QCOMPARE(QList<float>({l.X1, l.Y1, l.X2, l.Y2}), QList<float>({1.25f, 2.5f, 1234.567f, -0.125f}));
        QCOMPARE(QList<int>({l.BorderColor, l.BorderStyle, l.BorderWidth, l.DrawMode}),
                 QList<int>({0x00FF8000, 3, 2, 7}));
        QVERIFY(l.Visible);
        QCOMPARE(loadedLines.UBound(), 1);
        QVERIFY(!loadedLines(1).Visible);

        ElementArray<ShapeElement> loadedShapes(QStringLiteral("shpSnpo"), &m_box);
        QCOMPARE(mdlSQL::fncSQL_LoadShape(Drawing, loadedShapes), qint16(0));
        const ShapeElement& s = loadedShapes(0);
        QCOMPARE(s.Tag, shape.Tag);
        QCOMPARE(QList<float>({s.Left, s.Top, s.Width(), s.Height()}), QList<float>({3.5f, 4.25f, 10.5f, 0.75f}));
        QCOMPARE(QList<int>({s.BackColor, s.BackStyle, s.BorderColor, s.BorderStyle, s.BorderWidth, s.FillColor,
                             s.FillStyle, s.Shape, s.DrawMode}),
                 QList<int>({255, 1, 65280, 2, 3, 0x123456, 0, 3, 7}));
        QCOMPARE(loadedShapes.UBound(), 1);
        QVERIFY(!loadedShapes(1).Visible);
        QCOMPARE(ui->count(), 0);
    }

    void damagedIndexesLoadDense()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        ElementArray<LineElement> source(QStringLiteral("linePS"), &m_box);
        const qint16 stored[] = {5, -1, 0, 2};
        for (qint16 index : stored) {
            source(0).X1 = index;
            QCOMPARE(mdlSQL::fncSQL_InsertLine(Drawing, source(0), index), qint16(0));
        }
        ElementArray<LineElement> loaded(QStringLiteral("linePS"), &m_box);
        QCOMPARE(mdlSQL::fncSQL_LoadLine(Drawing, loaded), qint16(3));
        QCOMPARE(loaded.UBound(), 4);
        QCOMPARE(loaded.Count(), 5);
        const float inOrder[] = {-1, 0, 2, 5};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(loaded(i).X1.get(), inOrder[i]);
            QVERIFY(loaded(i).Visible);
        }
        QVERIFY(!loaded(4).Visible);
        QCOMPARE(ui->count(), 0);
    }

    // A row that cannot be read is passed over silently and counted; the
    // rows after it still load, into the next elements. A failing statement
    // is reported and counted as a failure.
    void unreadableRowsArePassedOverAndFailuresReported()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        ElementArray<LineElement> source(QStringLiteral("lineHojoSave"), &m_box);
        for (qint16 i = 0; i < 4; ++i) {
            source(0).Tag = QString::number(i);
            source(0).X1 = i;
            QCOMPARE(mdlSQL::fncSQL_InsertLine(Drawing, source(0), i), qint16(0));
        }
        GE_objConnection->execute(QStringLiteral("UPDATE tLine SET Y1 = NULL WHERE intIndex = 1;"
                                                 "UPDATE tLine SET DrawMode = 'x' WHERE intIndex = 2"));
        GE_booDbUpdate = false;
        ElementArray<LineElement> loaded(QStringLiteral("lineHojoSave"), &m_box);
        mdlSQL::Unread unread;
        QCOMPARE(mdlSQL::fncSQL_LoadLine(Drawing, loaded, &unread), qint16(1));
        QCOMPARE(ui->count(), 0);
        QVERIFY(unread.rows == 2 && !unread.failed);
        QCOMPARE(loaded.UBound(), 2);
        QCOMPARE(loaded(1).Tag, QStringLiteral("3"));
        QCOMPARE(loaded(1).X1.get(), 3.0f);
        QVERIFY(loaded(1).Visible && !loaded(2).Visible);

        GE_objConnection->execute(QStringLiteral("DROP TABLE tLabel; DROP TABLE tShape"));
        GE_booDbUpdate = false;
        ElementArray<LabelElement> labels(QStringLiteral("lblKyori"), &m_box);
        ElementArray<ShapeElement> shapes(QStringLiteral("shpShape"), &m_box);
        QCOMPARE(mdlSQL::fncSQL_InsertLabel(Drawing, labels(0), 0), qint16(-1));
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_InsertLabel() err.number = 1"));
        QCOMPARE(mdlSQL::fncSQL_InsertShape(Drawing, shapes(0), 0), qint16(-1));
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_InsertShape() err.number = 1"));
        QCOMPARE(ui->last().prompt, QStringLiteral("no such table: tShape"));
        QVERIFY(!GE_booDbUpdate);
        QCOMPARE(mdlSQL::fncSQL_LoadLabel(Drawing, labels, &unread), qint16(-1));
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_LoadLabel() err.number = 1"));
        QCOMPARE(labels.Count(), 1);
        QVERIFY(unread.failed);
    }
};

QTEST_MAIN(TestMdlSqlObjects)
#include "tst_mdlsql_objects.moc"
