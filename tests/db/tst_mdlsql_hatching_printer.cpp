#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL_objects.h"
#include "db/sqltext.h"
#include "platform/database.h"
#include "platform/ui.h"
#include "tests/support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using platform::ScopedScriptedUi;

namespace {

constexpr qint32 Drawing = 3;

typHatching hatching(const QString& tag, qint16 style = 2)
{
    typHatching h;
    h.Tag = tag;
    h.intIndex = 99;  // the position passed in is stored, not this
    h.iUbound = 41, h.iStyle = style, h.BorderStyle = 2, h.BorderColor = 0x00FF00FF;
    h.BorderWidth = 3, h.DrawMode = 7, h.iPitch = 5, h.iTilt = 30;
    return h;
}

QList<int> fields(const typHatching& h)
{
    return {h.intIndex, h.iUbound, h.iStyle, h.BorderStyle, h.BorderColor, h.BorderWidth, h.DrawMode, h.iPitch, h.iTilt};
}

typPrinter printer()
{
    typPrinter p;
    p.strDeviceName = QStringLiteral("  Office's printer  ");
    p.strDriverName = QStringLiteral("winspool");
    p.strPort = QStringLiteral("LPT1:");
    p.intPaperSize = 9, p.intScaleMode = 6, p.intPaperBin = 7, p.intPrintQuality = -4;
    p.intColorMode = 2, p.intDuplex = 1, p.intOrientation = 2, p.intZoom = 100;
    p.sngPaperWidth = 21000.5f, p.sngPaperLength = 29700.25f, p.sngWidth = 11906.1f, p.sngHeight = 16838.7f;
    p.sngScaleWidth = 203.2f, p.sngScaleHeight = 289.5f;
    return p;
}

QList<float> numbers(const typPrinter& p)
{
    return {float(p.intPaperSize), p.sngPaperWidth, p.sngPaperLength, p.sngWidth, p.sngHeight, p.sngScaleWidth,
            p.sngScaleHeight, float(p.intScaleMode), float(p.intPaperBin), float(p.intPrintQuality),
            float(p.intColorMode), float(p.intDuplex), float(p.intOrientation), float(p.intZoom)};
}

// The number of columns the last insert wrote.
int columnsWritten()
{
    const QString sql = sqltext::lastStatement();
    return int(sql.section(QLatin1Char('('), 1, 1).section(QLatin1Char(')'), 0, 0).count(QLatin1Char(','))) + 1;
}

}  // namespace

class TestMdlSqlHatchingPrinter : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    bool openCopy(bool oldSchema = false)
    {
        const QString path = testsupport::copyTemplate(m_dir.filePath(QStringLiteral("h%1.mdb").arg(++m_count)));
        if (mdlDB::fncDbOpen(path) != 0)
            return false;
        if (oldSchema) {
            GE_objConnection->execute(
                QStringLiteral("ALTER TABLE tHatching DROP COLUMN iTilt; UPDATE tSystem SET System_Id = 200810"));
            GE_tpSystem.System_Id = 200810;
        }
        GE_booDbUpdate = false;
        return true;
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

    void tiltFollowsTheSchemaVersion_data()
    {
        QTest::addColumn<bool>("oldSchema");
        QTest::addColumn<bool>("nullTilt");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("tilt");
        QTest::newRow("before 200911") << true << false << 10 << 45;
        QTest::newRow("200911") << false << false << 11 << 30;
        QTest::newRow("200911, Null tilt") << false << true << 11 << 45;
    }
    void tiltFollowsTheSchemaVersion()
    {
        QFETCH(bool, oldSchema);
        QFETCH(bool, nullTilt);
        QFETCH(int, columns);
        QFETCH(int, tilt);
        ScopedScriptedUi ui;
        QVERIFY(openCopy(oldSchema));
        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing, hatching(QStringLiteral(" 1:2.5_AB12CD34EF56 ")), 0), qint16(0));
        QVERIFY(GE_booDbUpdate);
        QCOMPARE(columnsWritten(), columns);
        if (nullTilt)
            GE_objConnection->execute(QStringLiteral("UPDATE tHatching SET iTilt = NULL"));

        GE_booDbUpdate = false;
        QList<typHatching> records;
        QCOMPARE(mdlSQL::fncSQL_LoadHatching_Struct(Drawing, records), qint16(0));
        QVERIFY(!GE_booDbUpdate);
        QCOMPARE(records.size(), 2);
        typHatching expected = hatching(QStringLiteral("1:2.5_AB12CD34EF56"));
        expected.intIndex = 0;
        expected.iTilt = qint16(tilt);
        QCOMPARE(records[0].Tag, expected.Tag);
        QCOMPARE(fields(records[0]), fields(expected));
        QCOMPARE(fields(records[1]), fields(typHatching()));
        QCOMPARE(records[1].Tag, QString());
        QCOMPARE(ui->count(), 0);
    }

    void rowsGoToTheirPositions()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing, hatching(QStringLiteral("second"), 3), 2), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing, hatching(QStringLiteral("first")), 0), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing, hatching(QStringLiteral("damaged")), -1), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing + 1, hatching(QStringLiteral("other")), 1), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing, hatching(QString()), 5), qint16(0));
        QVERIFY(!sqltext::lastStatement().contains(QLatin1String("Tag")));
        GE_objConnection->execute(QStringLiteral("DELETE FROM tHatching WHERE intIndex = 5"));

        QList<typHatching> records(6, hatching(QStringLiteral("held"), 6));
        QCOMPARE(mdlSQL::fncSQL_LoadHatching_Struct(Drawing, records), qint16(2));
        QCOMPARE(records.size(), 4);
        QCOMPARE(records[0].Tag, QStringLiteral("first"));
        QCOMPARE(records[1].Tag, QStringLiteral("held"));  // no row names it
        QCOMPARE(records[1].iStyle, qint16(6));
        QCOMPARE(records[2].Tag, QStringLiteral("second"));
        QCOMPARE(records[2].intIndex, qint16(2));
        QCOMPARE(records[2].iStyle, qint16(3));
        QCOMPARE(records[3].Tag, QString());  // the spare
        QCOMPARE(fields(records[3]), fields(typHatching()));

        GE_objConnection->execute(QStringLiteral("UPDATE tHatching SET Tag = NULL WHERE intIndex = 0"));
        QCOMPARE(mdlSQL::fncSQL_LoadHatching_Struct(Drawing, records), qint16(2));
        QCOMPARE(records[0].Tag, QString());
        QCOMPARE(ui->count(), 0);
    }

    void noRowsAndFailuresLeaveTheRecords()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        QList<typHatching> records(3, hatching(QStringLiteral("held")));
        QCOMPARE(mdlSQL::fncSQL_LoadHatching_Struct(Drawing, records), qint16(-1));
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[2].Tag, QStringLiteral("held"));
        QCOMPARE(ui->count(), 0);

        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing, hatching(QStringLiteral("a")), 0), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing, hatching(QStringLiteral("b")), 1), qint16(0));
        GE_objConnection->execute(QStringLiteral("UPDATE tHatching SET iPitch = NULL WHERE intIndex = 1"));
        GE_booDbUpdate = false;
        records.clear();
        mdlSQL::Unread unread;
        const int boxes = ui->count();
        QCOMPARE(mdlSQL::fncSQL_LoadHatching_Struct(Drawing, records, &unread), qint16(0));
        QCOMPARE(ui->count(), boxes);  // passed over and counted, not reported
        QVERIFY(unread.rows == 1 && !unread.failed);
        QCOMPARE(records.size(), 2);  // the first row, then the spare
        QCOMPARE(records[0].Tag, QStringLiteral("a"));

        GE_objConnection->execute(QStringLiteral("DROP TABLE tHatching"));
        QCOMPARE(mdlSQL::fncSQL_InsertHatching(Drawing, hatching(QStringLiteral("a")), 0), qint16(-1));
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_InsertHatching() err.number = 1"));
        QVERIFY(!GE_booDbUpdate);
    }

    void printerRoundTripsTrimmedWithEmptyNamesLeftOut()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        const typPrinter stored = printer();
        QCOMPARE(mdlSQL::fncSQL_InsertPrinter(Drawing, stored), qint16(0));
        QVERIFY(GE_booDbUpdate);
        QVERIFY(!sqltext::lastStatement().contains(QLatin1String("strFormName")));
        QCOMPARE(columnsWritten(), 19);

        GE_booDbUpdate = false;
        typPrinter read;
        read.strFormName = QStringLiteral("stale");
        QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(Drawing, read), qint16(0));
        QVERIFY(!GE_booDbUpdate);
        QCOMPARE(read.strDeviceName, QStringLiteral("Office's printer"));
        QCOMPARE(read.strDriverName, stored.strDriverName);
        QCOMPARE(read.strPort, stored.strPort);
        QCOMPARE(read.strFormName, QString());
        QCOMPARE(numbers(read), numbers(stored));

        typPrinter changed = printer();
        changed.strPort.clear();
        changed.strFormName = QStringLiteral(" A4 ");
        changed.sngScaleWidth = 190.5f;
        changed.intZoom = 80;
        QCOMPARE(mdlSQL::fncSQL_UpdateLabel(Drawing, changed), qint16(0));
        QVERIFY(GE_booDbUpdate);
        QVERIFY(sqltext::lastStatement().contains(QLatin1String("strPort = NULL,")));
        QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(Drawing, read), qint16(0));
        QCOMPARE(read.strPort, QString());
        QCOMPARE(read.strFormName, QStringLiteral("A4"));
        QCOMPARE(numbers(read), numbers(changed));
        changed.strFormName.clear();
        QCOMPARE(mdlSQL::fncSQL_UpdateLabel(Drawing, changed), qint16(0));
        QVERIFY(sqltext::lastStatement().contains(QLatin1String("strFormName = NULL,")));
        QCOMPARE(ui->count(), 0);
    }

    void drawingWithoutPrinterRow()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        QCOMPARE(mdlSQL::fncSQL_InsertPrinter(Drawing + 1, printer()), qint16(0));
        GE_booDbUpdate = false;
        typPrinter held;
        held.strDeviceName = QStringLiteral("default");
        held.intZoom = 55;
        QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(Drawing, held), mdlSQL::PrinterNoRow);
        QCOMPARE(held.strDeviceName, QStringLiteral("default"));
        QCOMPARE(held.intZoom, qint16(55));
        QVERIFY(!GE_booDbUpdate);

        // The kept settings are stored even though the drawing had no row.
        QCOMPARE(mdlSQL::fncSQL_UpdateLabel(Drawing, held), qint16(0));
        QVERIFY(GE_booDbUpdate);
        typPrinter read;
        QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(Drawing, read), qint16(0));
        QCOMPARE(read.strDeviceName, QStringLiteral("default"));
        QCOMPARE(read.intZoom, qint16(55));
        QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(Drawing + 1, read), qint16(0));
        QCOMPARE(read.intZoom, qint16(100));  // the other drawing's row is untouched
        QCOMPARE(ui->count(), 0);
    }

    void printerFailures()
    {
        ScopedScriptedUi ui;
        QVERIFY(openCopy());
        QCOMPARE(mdlSQL::fncSQL_InsertPrinter(Drawing, printer()), qint16(0));
        GE_objConnection->execute(QStringLiteral("UPDATE tPrinter SET sngWidth = NULL"));
        typPrinter read;
        QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(Drawing, read), qint16(-1));
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_LoadPrinter_Struct() err.number = 94"));
        QCOMPARE(read.sngHeight, printer().sngHeight);  // read before the failing column

        GE_objConnection->execute(QStringLiteral("DROP TABLE tPrinter"));
        GE_booDbUpdate = false;
        QCOMPARE(mdlSQL::fncSQL_InsertPrinter(Drawing, printer()), qint16(-1));
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_InsertPrinter() err.number = 1"));
        QCOMPARE(mdlSQL::fncSQL_UpdateLabel(Drawing, printer()), qint16(-1));
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_UpdateLabel() err.number = 1"));
        QVERIFY(!GE_booDbUpdate);
    }
};

QTEST_MAIN(TestMdlSqlHatchingPrinter)
#include "tst_mdlsql_hatching_printer.moc"
