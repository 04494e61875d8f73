#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "db/sqltext.h"
#include "platform/colors.h"
#include "platform/database.h"
#include "platform/grid.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"
#include "tests/support/testsupport.h"

#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <tuple>

using platform::ScopedScriptedUi;
using Lookup = mdlSQL::PrintLookup;

namespace {

// Every settings global that a drawing's row carries, in any order.
template <class F>
void forEachSetting(F&& f)
{
    f(GE_booModeDis), f(GE_booModeKei), f(GE_sngHojoLen), f(GE_sngScale), f(GE_booSnap), f(GE_booPictAdj);
    f(GE_sngPictAdj), f(GE_booPrtCmt), f(GE_intUnitDIndex), f(GE_sngKeisuD), f(GE_intUnitSIndex), f(GE_sngKeisuS);
    for (size_t i = 0; i < 4; ++i)
        f(GE_sngHosei[i]), f(GE_dblHosei[i]), f(GE_tpPiccelD[i].sngX), f(GE_tpPiccelD[i].sngY);
    f(GE_sngPiccelD_X), f(GE_sngPiccelD_Y), f(GE_sngDistanceD_X), f(GE_sngDistanceD_Y);
    f(GE_tpPtoD_r.dblX), f(GE_tpPtoD_r.dblY), f(GE_dblAspectM);
    for (size_t i = 0; i < 2; ++i) {
        f(GE_tpPiccel[i].sngX), f(GE_tpPiccel[i].sngY);
        f(GE_tpKeIdo[i].intDeg), f(GE_tpKeIdo[i].intMin), f(GE_tpKeIdo[i].sngSec);
        f(GE_tpIdo[i].intDeg), f(GE_tpIdo[i].intMin), f(GE_tpIdo[i].sngSec);
        f(GE_dblKeido[i]), f(GE_dblIdo[i]);
    }
    f(GE_tpPtoK_r.dblX), f(GE_tpPtoK_r.dblY), f(GE_tpKtoP_r.dblX), f(GE_tpKtoP_r.dblY);
    f(GE_tpPx00ToKei.dblLatitude), f(GE_tpPx00ToKei.dblLongitude), f(GE_tpKI00ToPx.dblX), f(GE_tpKI00ToPx.dblY);
}

// Distinct values with more digits than a column keeps; seed 0 gives zeros.
void setAllSettings(int seed)
{
    int k = seed * 100;
    forEachSetting([&](auto& v) {
        ++k;
        using T = std::remove_reference_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>)
            v = seed != 0 && k % 2 == 0;
        else if constexpr (std::is_same_v<T, qint16>)
            v = T(seed * k);
        else
            v = T(seed * (k * 1.2345678901234567 + 1.0 / (k + 3)));
    });
}

QStringList settingsText()
{
    QStringList texts;
    forEachSetting([&](const auto& v) { texts << vb::CStr(v); });
    return texts;
}

typPrint drawing(const QString& number, const QString& name = QStringLiteral("図面"))
{
    typPrint p;
    p.strNo = number;
    p.strName = name;
    p.strFileName = QStringLiteral("map.jpg");
    p.strPath = QStringLiteral("/maps");
    p.datHizuke = QDateTime(QDate(2013, 8, 4), QTime(9, 5, 7));
    return p;
}

}  // namespace

class TestMdlSqlPrint : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    bool openCopy()
    {
        const QString path = testsupport::copyTemplate(m_dir.filePath(QStringLiteral("copy%1.mdb").arg(++m_count)));
        return mdlDB::fncDbOpen(path) == 0;
    }

    static platform::db::Recordset row(const QString& number)
    {
        return GE_objConnection->openRecordset(QStringLiteral("SELECT * FROM tPrint WHERE strNo = ") +
                                               sqltext::quoted(number));
    }

    // Inserts and reads the id back, as the editor's save does.
    static qint32 save(typPrint& p)
    {
        p.Print_Id = mdlSQL::fncSQL_GetPrintID(p.strNo);
        if (p.Print_Id > 0 ? mdlSQL::fncSQL_Print_Update(p) != 0 : mdlSQL::fncSQL_InsertPrint(p) != 0)
            return -1;
        return p.Print_Id = mdlSQL::fncSQL_GetPrintID(p.strNo);
    }

    static QStringList column(const platform::Grid& grid, int col)
    {
        QStringList texts;
        for (int r = 1; r < grid.rows(); ++r)
            texts << grid.textMatrix(r, col);
        return texts;
    }

    static void titledGrid(platform::Grid& grid)
    {
        grid.clear();
        grid.setCols(8);
        grid.setTextMatrix(0, 0, QStringLiteral("ＩＤ"));
    }

private slots:
    void init()
    {
        GE_objConnection.reset();
        GE_booDbOpen = false;
        GE_booDbUpdate = false;
        setAllSettings(0);
    }
    void cleanup()
    {
        GE_objConnection.reset();
        GE_booDbOpen = false;
    }

    void insertLeavesEmptyTextsOutAndTrims()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        typPrint bare;
        bare.strNo = QStringLiteral("A1");
        QCOMPARE(mdlSQL::fncSQL_InsertPrint(bare), qint16(0));
        QVERIFY(GE_booDbUpdate);
        QVERIFY(!sqltext::lastStatement().contains(QLatin1String("strName")));
        platform::db::Recordset a = row(QStringLiteral("A1"));
        for (const char* c : {"strName", "strFileName", "strPath", "strPassWord", "datHizuke"})
            QVERIFY2(a[QLatin1String(c)].isNull(), c);

        typPrint padded = drawing(QStringLiteral(" B1 "), QStringLiteral("   "));
        padded.strPassWord = QStringLiteral(" pw ");
        QCOMPARE(mdlSQL::fncSQL_InsertPrint(padded), qint16(0));
        platform::db::Recordset b = row(QStringLiteral("B1"));
        QVERIFY(!b.eof());
        QVERIFY(!b[QStringLiteral("strName")].isNull());
        QCOMPARE(b[QStringLiteral("strName")].toString(), QString());
        QCOMPARE(b[QStringLiteral("strPassWord")].toString(), QStringLiteral("pw"));
        QCOMPARE(ui->count(), 0);
    }

    void updateWritesEmptyAsNullAndDoesNotTrim()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        typPrint p = drawing(QStringLiteral("0001"));
        p.strPassWord = QStringLiteral("secret");
        QVERIFY(save(p) > 0);
        p.strPassWord.clear();
        p.strName = QStringLiteral(" x ");
        // A picture brought in later is found again by its name and folder as they are.
        p.strFileName = QStringLiteral(" map 2.bmp ");
        p.strPath = QStringLiteral(" scans ");
        QCOMPARE(save(p), qint32(1));
        platform::db::Recordset rs = row(QStringLiteral("0001"));
        QVERIFY(rs[QStringLiteral("strPassWord")].isNull());
        QCOMPARE(rs[QStringLiteral("strName")].toString(), QStringLiteral(" x "));
        typPrint back;
        QCOMPARE(mdlSQL::fncSQL_GetPrint(QStringLiteral("0001"), back).outcome(), Lookup::Found);
        QCOMPARE((QStringList{back.strFileName, back.strPath}), (QStringList{p.strFileName, p.strPath}));

        QCOMPARE(mdlSQL::fncSQL_Print_UpdateNum(1, QStringLiteral("booEdit"), QStringLiteral("False")), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_Print_UpdateText(1, QStringLiteral("strPath"), QString()), qint16(0));
        rs = row(QStringLiteral("0001"));
        QVERIFY(!rs[QStringLiteral("booEdit")].toBool());
        QVERIFY(rs[QStringLiteral("strPath")].isNull());

        p.Print_Id = 99;  // no such row: nothing changes, no failure
        QCOMPARE(mdlSQL::fncSQL_Print_Update(p), qint16(0));
        QCOMPARE(ui->count(), 0);
    }

    void loadKeepsFieldsOfNullColumns()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        typPrint stored = drawing(QStringLiteral("N1"), QString());
        stored.booVisible = false;
        QCOMPARE(mdlSQL::fncSQL_InsertPrint(stored), qint16(0));
        typPrint p;
        p.strNo = QStringLiteral("other");
        p.strName = QStringLiteral("before");
        QCOMPARE(mdlSQL::fncSQL_GetPrint(QStringLiteral("N1"), p).outcome(), Lookup::Found);
        QVERIFY(!mdlSQL::fncSQL_GetPrint(QStringLiteral("N1"), p));
        QCOMPARE(p.strName, QStringLiteral("before"));
        QCOMPARE(p.strNo, QStringLiteral("other"));
        QCOMPARE(p.Print_Id, 1);
        QCOMPARE(p.strFileName, QStringLiteral("map.jpg"));
        QCOMPARE(p.datHizuke, stored.datHizuke);
        QVERIFY(!p.booVisible);
    }

    void everyColumnRoundTrips()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        typPrint p = drawing(QStringLiteral("R1"));
        p.strPassWord = QStringLiteral("pw");
        for (int seed : {1, 2}) {  // insert, then update
            setAllSettings(seed);
            const QStringList written = settingsText();
            QCOMPARE(written.size(), 63);
            QVERIFY(save(p) > 0);
            setAllSettings(0);
            QCOMPARE(mdlSQL::fncSQL_GetPrint(QStringLiteral("R1"), p).outcome(), Lookup::Found);
            QCOMPARE(settingsText(), written);
        }
        platform::db::Recordset rs = row(QStringLiteral("R1"));
        QCOMPARE(rs.fieldCount(), 73);
        for (int i = 0; i < rs.fieldCount(); ++i)
            QVERIFY2(!rs[rs.fieldName(i)].isNull(), qPrintable(rs.fieldName(i)));

        // Singles keep 7 significant digits, doubles 15.
        GE_sngHojoLen = 1.23456789f;
        GE_dblAspectM = 0.1234567890123456;
        QCOMPARE(save(p), qint32(1));
        rs = row(QStringLiteral("R1"));
        QCOMPARE(rs[QStringLiteral("sngHojoLen")].toSingle(), 1.234568f);
        QCOMPARE(rs[QStringLiteral("dblAspectM")].toDouble(), 0.123456789012346);
        QCOMPARE(ui->count(), 0);
    }

    void movedPointComesBackAsSavedLast()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        typPrint p = drawing(QStringLiteral("M1"));
        QCOMPARE(mdlSQL::fncSQL_GetPrintID(p.strNo), qint32(0));
        GE_tpPiccelD[3].sngY = 120.5f;
        QCOMPARE(save(p), qint32(1));
        GE_tpPiccelD[3].sngY = 240.25f;
        QCOMPARE(save(p), qint32(1));
        GE_tpPiccelD[3].sngY = 0;
        QCOMPARE(mdlSQL::fncSQL_GetPrint(QStringLiteral("M1"), p).outcome(), Lookup::Found);
        QCOMPARE(GE_tpPiccelD[3].sngY, 240.25f);
    }

    // A number is found in any case; a file holding two spellings gives the exact one.
    void numbersMatchWithoutCase()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        QCOMPARE(mdlSQL::fncSQL_InsertPrint(drawing(QStringLiteral("K1"), QStringLiteral("upper"))), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_GetPrintID(QStringLiteral("k1")), qint32(1));
        QCOMPARE(mdlSQL::fncSQL_InsertPrint(drawing(QStringLiteral("k1"), QStringLiteral("lower"))), qint16(0));
        for (const auto& [number, id, name] : {std::tuple{"K1", 1, "upper"}, std::tuple{"k1", 2, "lower"}}) {
            QCOMPARE(mdlSQL::fncSQL_GetPrintID(QLatin1String(number)), qint32(id));
            typPrint read;
            QCOMPARE(mdlSQL::fncSQL_GetPrint(QLatin1String(number), read).outcome(), Lookup::Found);
            QCOMPARE(read.strName, QLatin1String(name));
        }
        QCOMPARE(ui->count(), 0);
    }

    void quotesAreStoredIntact_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("apostrophe") << QStringLiteral("山田's map");
        QTest::newRow("statement inside") << QStringLiteral("x'; DELETE FROM tPrint; --");
    }
    void quotesAreStoredIntact()
    {
        QFETCH(QString, text);
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        typPrint p = drawing(text, text);
        QCOMPARE(save(p), qint32(1));
        typPrint read;
        QCOMPARE(mdlSQL::fncSQL_GetPrint(text, read).outcome(), Lookup::Found);
        QCOMPARE(read.strName, text);
        QCOMPARE(mdlSQL::fncSQL_Print_UpdateText(1, QStringLiteral("strPath"), text), qint16(0));
        QCOMPARE(row(text)[QStringLiteral("strPath")].toString(), text);
        QCOMPARE(mdlSQL::fncSQL_GetPrint(QStringLiteral("x' OR '1'='1"), read).outcome(), Lookup::NotFound);
        QCOMPARE(ui->count(), 0);
    }

    void gridOrder_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("0 id") << 0 << "ASC" << QStringList{"1", "2", "3"};
        QTest::newRow("1 number") << 1 << "ASC" << QStringList{"3", "1", "2"};
        QTest::newRow("2 name") << 2 << "ASC" << QStringList{"2", "3", "1"};
        QTest::newRow("3 created") << 3 << "ASC" << QStringList{"1", "3", "2"};
        QTest::newRow("3 created DESC") << 3 << "DESC" << QStringList{"2", "3", "1"};
        QTest::newRow("4 renewed") << 4 << "ASC" << QStringList{"2", "1", "3"};
        QTest::newRow("4 renewed DESC") << 4 << "DESC" << QStringList{"3", "1", "2"};
        QTest::newRow("9 id, empty order") << 9 << "" << QStringList{"1", "2", "3"};
        QTest::newRow("0 id DESC") << 0 << "DESC" << QStringList{"3", "2", "1"};
    }
    void gridOrder()
    {
        QFETCH(int, key);
        QFETCH(QString, order);
        QFETCH(QStringList, ids);
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        // Letters sort without regard to case: "B" between "a" and "c".
        const QStringList numbers{"x2", "X3", "x1"}, names{"c", "a", "B"};
        const int created[] = {2011, 2013, 2012}, renewed[] = {2020, 2019, 2021};
        for (int i = 0; i < 3; ++i) {
            typPrint p = drawing(numbers[i], names[i]);
            p.datHizuke = QDateTime(QDate(created[i], 12, 1), QTime(10, 0, 1));
            QCOMPARE(mdlSQL::fncSQL_InsertPrint(p), qint16(0));
            GE_objConnection->execute(QStringLiteral("UPDATE tPrint SET datRenew = '%1/01/02 03:04:05' WHERE Print_Id = %2")
                                          .arg(renewed[i])
                                          .arg(i + 1));
        }
        platform::Grid grid;
        titledGrid(grid);
        mdlSQL::subSQL_PutGrid_tPrint(grid, qint16(key), order);
        QCOMPARE(column(grid, 0), ids);
        QVERIFY(grid.isEnabled());
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("ＩＤ"));
        const int first = ids[0].toInt() - 1;
        QCOMPARE(grid.textMatrix(1, 3), QStringLiteral("%1/12/01 10:00:01").arg(created[first] % 100));
        QCOMPARE(grid.textMatrix(1, 4), QStringLiteral("%1/01/02 03:04:05").arg(renewed[first] % 100));
        QCOMPARE(ui->count(), 0);
    }

    void gridCellsAndColours()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        typPrint open = drawing(QStringLiteral("0001"), QStringLiteral("open"));
        typPrint locked = drawing(QStringLiteral("0002"), QStringLiteral("locked"));
        locked.booEdit = locked.booVisible = false;
        locked.strPassWord = QStringLiteral("pw");
        QVERIFY(mdlSQL::fncSQL_InsertPrint(open) == 0 && mdlSQL::fncSQL_InsertPrint(locked) == 0);
        platform::Grid grid;
        titledGrid(grid);
        grid.setRows(3);
        grid.setTextMatrix(1, 7, QStringLiteral("stale"));  // a Null leaves the cell as it was
        mdlSQL::subSQL_PutGrid_tPrint(grid, 0, QStringLiteral("ASC"));
        QCOMPARE(column(grid, 7), (QStringList{"stale", "pw"}));
        QCOMPARE(column(grid, 5), (QStringList{"True", "False"}));
        QCOMPARE(column(grid, 6), (QStringList{"True", "False"}));
        QCOMPARE(grid.textMatrix(1, 3), QStringLiteral("13/08/04 09:05:07"));

        const qint32 fore[] = {vb::vbBlack, qint32(0x8000000F)}, back[] = {qint32(0x80000005), 65535};
        for (int r = 1; r <= 2; ++r) {
            grid.setRow(r);
            for (int c = 1; c <= 5; ++c) {
                grid.setCol(c);
                QCOMPARE(grid.cellForeColor(), fore[r - 1]);
                QCOMPARE(grid.cellBackColor(), back[r - 1]);
            }
            grid.setCol(0);  // the ID keeps the fixed column's look
            QCOMPARE(grid.cellForeColor(), vb::vbButtonText);
            QCOMPARE(grid.cellBackColor(), vb::vbButtonFace);
        }
    }

    void gridKeepsItsRowsWhenNoDrawingIsLeft()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        platform::Grid grid;
        titledGrid(grid);
        // No drawing yet: one blank row under the titles.
        mdlSQL::subSQL_PutGrid_tPrint(grid, 0, QString());
        const QAbstractItemModel& shown = *grid.view()->model();
        QVERIFY(grid.rows() == 2 && shown.rowCount() == 1 && shown.index(0, 1).data().toString().isEmpty());
        typPrint p = drawing(QStringLiteral("0001"));
        QCOMPARE(save(p), qint32(1));
        mdlSQL::subSQL_PutGrid_tPrint(grid, 0, QString());
        QCOMPARE(grid.rows(), 2);
        mdlSQL::subSQL_PrintDeleteAll(1);
        QCOMPARE(mdlSQL::fncSQL_GetPrintID(QStringLiteral("0001")), qint32(0));
        mdlSQL::subSQL_PutGrid_tPrint(grid, 0, QString());
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("0001"));
        QVERIFY(!grid.isEnabled());
        QCOMPARE(ui->count(), 0);
    }

    void failuresAreToldApartFromMissingRows()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        typPrint p = drawing(QStringLiteral("F1"));
        QCOMPARE(mdlSQL::fncSQL_GetPrint(QStringLiteral("F1"), p).outcome(), Lookup::NotFound);
        QVERIFY(mdlSQL::fncSQL_GetPrint(QStringLiteral("F1"), p));
        QCOMPARE(mdlSQL::fncSQL_GetPrintID(QStringLiteral("F1")), qint32(0));
        QCOMPARE(ui->count(), 0);

        GE_objConnection->execute(QStringLiteral("ALTER TABLE tPrint RENAME TO tGone"));
        GE_booDbUpdate = false;
        const Lookup lookup = mdlSQL::fncSQL_GetPrint(QStringLiteral("F1"), p);
        QVERIFY(lookup.failed());
        QVERIFY(lookup);  // still "nothing loaded" for callers that only test that
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_GetPrint() err.number = 1"));
        QCOMPARE(mdlSQL::fncSQL_GetPrintID(QStringLiteral("F1")), qint32(-1));
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_GetPrintID() err.number = 1"));

        const QList<std::pair<QString, std::function<qint16()>>> writes{
            {"fncSQL_InsertPrint", [&] { return mdlSQL::fncSQL_InsertPrint(p); }},
            {"fncSQL_Print_Update", [&] { return mdlSQL::fncSQL_Print_Update(p); }},
            {"fncSQL_Print_UpdateNum", [] { return mdlSQL::fncSQL_Print_UpdateNum(1, "booEdit", "True"); }},
            {"fncSQL_Print_UpdateText", [] { return mdlSQL::fncSQL_Print_UpdateText(1, "strName", "n"); }},
            {"subSQL_PrintDeleteAll", [] { return mdlSQL::subSQL_PrintDeleteAll(1), qint16(-1); }},
        };
        for (const auto& [name, write] : writes) {
            QCOMPARE(write(), qint16(-1));
            QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:%1() err.number = 1").arg(name));
            QCOMPARE(ui->last().prompt, QStringLiteral("no such table: tPrint"));
        }
        QVERIFY(!GE_booDbUpdate);

        platform::Grid grid;
        mdlSQL::subSQL_PutGrid_tPrint(grid, 0, QString());
        QVERIFY(!grid.isEnabled());
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:subSQL_PutGrid_tPrint() err.number = 1"));
        QCOMPARE(ui->count(), 8);
    }
};

QTEST_MAIN(TestMdlSqlPrint)
#include "tst_mdlsql_print.moc"
