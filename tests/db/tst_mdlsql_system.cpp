#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "db/sqltext.h"
#include "platform/database.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"
#include "tests/support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using platform::ScopedScriptedUi;

class TestMdlSqlSystem : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    QString copyOfTemplate()
    {
        return testsupport::copyTemplate(m_dir.filePath(QStringLiteral("copy%1.mdb").arg(++m_count)));
    }

    // A file as the previous schema version made them: without iTilt.
    QString oldVersionDatabase()
    {
        const QString path = copyOfTemplate();
        platform::db::Connection c;
        c.open(mdlDB::fncConnectionString(path));
        c.execute(QStringLiteral("ALTER TABLE tHatching DROP COLUMN iTilt; UPDATE tSystem SET System_Id = 200810"));
        return path;
    }

    // Opens a copy of the template whose tSystem holds only the given rows.
    void openWithSystemRows(const QString& inserts)
    {
        QCOMPARE(mdlDB::fncDbOpen(copyOfTemplate()), qint16(0));
        GE_objConnection->execute(QStringLiteral("DELETE FROM tSystem"));
        if (!inserts.isEmpty())
            GE_objConnection->execute(inserts);
    }

    platform::db::Recordset systemRow()
    {
        return GE_objConnection->openRecordset(QStringLiteral("SELECT * FROM tSystem ORDER BY System_Id"));
    }

private slots:
    void init()
    {
        GE_objConnection.reset();
        GE_booDbOpen = false;
        GE_booDbUpdate = false;
    }
    void cleanup()
    {
        GE_objConnection.reset();
        GE_booDbOpen = false;
    }

    void readsTheFirstSystemRow_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<qint16>("result");
        QTest::addColumn<qint32>("id");
        QTest::addColumn<QString>("comment");
        QTest::newRow("no row: record untouched") << "" << qint16(-1) << 1234 << "before";
        QTest::newRow("Null id") << "INSERT INTO tSystem (System_Id, strComment) VALUES (NULL, 'x')" << qint16(-1)
                                 << 1234 << "x";
        QTest::newRow("older version first")
            << "INSERT INTO tSystem (System_Id, strComment) VALUES (200911, 'new'), (200810, 'old')" << qint16(0)
            << 200810 << "old";
        QTest::newRow("Null texts keep the record's")
            << "INSERT INTO tSystem (System_Id) VALUES (200911)" << qint16(0) << 200911 << "before";
    }
    void readsTheFirstSystemRow()
    {
        QFETCH(QString, rows);
        QFETCH(qint16, result);
        QFETCH(qint32, id);
        QFETCH(QString, comment);
        ScopedScriptedUi ui;
        openWithSystemRows(rows);
        typSystem system;
        system.System_Id = 1234;
        system.strComment = QStringLiteral("before");
        QCOMPARE(mdlSQL::fncSQL_GetSystemTable(system), result);
        QCOMPARE(system.System_Id, id);
        QCOMPARE(system.strComment, comment);
        QCOMPARE(ui->count(), 0);
        QVERIFY(!GE_booDbUpdate);
    }

    void updateBinWritesNullAndStampsTheTime()
    {
        ScopedScriptedUi ui;
        openWithSystemRows(QStringLiteral(
            "INSERT INTO tSystem (System_Id, strComment, datReDate) VALUES (200911, 'x', '2001/01/01 00:00:00')"));
        const QDateTime before = vb::Now();
        QCOMPARE(mdlSQL::fncSQL_System_UpdateBin(200911, QStringLiteral("strComment"), QString()), qint16(0));
        QVERIFY(GE_booDbUpdate);
        platform::db::Recordset rs = systemRow();
        QVERIFY(rs[QStringLiteral("strComment")].isNull());
        const QDateTime stamped = rs[QStringLiteral("datReDate")].toDate();
        QVERIFY(stamped >= before && stamped <= vb::Now());
        QCOMPARE(ui->count(), 0);
    }

    void quotesInTextsAreStoredIntact_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("apostrophe") << QStringLiteral("山田's map");
        QTest::newRow("statement inside") << QStringLiteral("x', strUserId = 'y'; DELETE FROM tSystem; --");
    }
    void quotesInTextsAreStoredIntact()
    {
        QFETCH(QString, text);
        ScopedScriptedUi ui;
        QCOMPARE(mdlDB::fncDbOpen(copyOfTemplate()), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_System_UpdateBin(200911, QStringLiteral("strComment"), sqltext::quoted(text)),
                 qint16(0));
        typSystem system;
        QCOMPARE(mdlSQL::fncSQL_GetSystemTable(system), qint16(0));
        QCOMPARE(system.strComment, text);
        QVERIFY(system.strUserId.isEmpty());
        QCOMPARE(ui->count(), 0);
    }

    void failedStatementsReportAndLeaveTheFlag()
    {
        ScopedScriptedUi ui;
        QCOMPARE(mdlDB::fncDbOpen(copyOfTemplate()), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_System_UpdateBin(200911, QStringLiteral("strNothing"), QStringLiteral("1")),
                 qint16(-1));
        QVERIFY(!GE_booDbUpdate);
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_System_UpdateBin() err.number = 1"));
        QCOMPARE(ui->last().prompt, QStringLiteral("no such column: strNothing"));
        QCOMPARE(ui->last().style, int(vb::vbOKOnly));

        // The template is at the current version: iTilt exists already.
        QCOMPARE(mdlSQL::fncSQL_CreateFieldHatching(), qint16(-1));
        QVERIFY(!GE_booDbUpdate);
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_CreateFieldHatching() err.number = 1"));
        QCOMPARE(ui->last().prompt, QStringLiteral("duplicate column name: iTilt"));

        GE_objConnection->close();
        typSystem system;
        system.System_Id = 7;
        QCOMPARE(mdlSQL::fncSQL_GetSystemTable(system), qint16(-1));
        QCOMPARE(system.System_Id, 7);
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:fncSQL_GetSystemTable() err.number = ") +
                                       QString::number(platform::db::errObjectClosed));
    }

    void upgradeRunsInsideTheTransaction_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<qint32>("versionAfterReopen");
        QTest::newRow("kept") << int(vb::vbYes) << 200911;
        QTest::newRow("discarded") << int(vb::vbNo) << 200810;
    }
    void upgradeRunsInsideTheTransaction()
    {
        QFETCH(int, answer);
        QFETCH(qint32, versionAfterReopen);
        ScopedScriptedUi ui;
        const QString path = oldVersionDatabase();
        QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_GetSystemTable(GE_tpSystem), qint16(0));
        QCOMPARE(GE_tpSystem.System_Id, 200810);

        QCOMPARE(mdlSQL::fncSQL_CreateFieldHatching(), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_System_UpdateBin(GE_tpSystem.System_Id, QStringLiteral("System_Id"),
                                                 QStringLiteral("200911")),
                 qint16(0));
        QCOMPARE(mdlSQL::fncSQL_GetSystemTable(GE_tpSystem), qint16(0));
        QCOMPARE(GE_tpSystem.System_Id, 200911);
        QVERIFY(GE_booDbUpdate);
        GE_objConnection->execute(QStringLiteral("INSERT INTO tHatching (Print_ID, intIndex, iTilt) VALUES (1, 0, 30)"));
        QCOMPARE(ui->count(), 0);

        ui->answerMsgBox(answer);
        mdlDB::fncDbClose();
        QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
        QCOMPARE(mdlSQL::fncSQL_GetSystemTable(GE_tpSystem), qint16(0));
        QCOMPARE(GE_tpSystem.System_Id, versionAfterReopen);
        const bool hasTilt = versionAfterReopen == 200911;
        const auto readTilt = [] { GE_objConnection->openRecordset(QStringLiteral("SELECT iTilt FROM tHatching")); };
        QCOMPARE(testsupport::errorOf(readTilt) == 0, hasTilt);
        mdlDB::fncDbClose();
        QVERIFY(ui->allAnswered());
    }

    void statementForms_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("insert leaves empty optional texts out")
            << sqltext::Insert(QStringLiteral("tLine"))
                   .text(QStringLiteral("strObjName"), QStringLiteral(" a "), false, false)
                   .value(QStringLiteral("Print_ID"), sqltext::number(qint32(3)))
                   .text(QStringLiteral("Tag"), QString(), true, true)
                   .text(QStringLiteral("strCaption"), QStringLiteral(" b'c "), true, true)
                   .value(QStringLiteral("X1"), sqltext::number(1.5e-7f))
                   .value(QStringLiteral("booEdit"), sqltext::truth(false))
                   .statement()
            << "INSERT INTO tLine (strObjName,Print_ID,strCaption,X1,booEdit) VALUES (' a ',3,'b''c',1.5E-07,False) ";
        QTest::newRow("update writes empty as NULL")
            << sqltext::Update(QStringLiteral("tPrint"))
                   .text(QStringLiteral("strName"), QString(), false)
                   .text(QStringLiteral("strPath"), QStringLiteral(" p "), false)
                   .value(QStringLiteral("dblAspectM"), sqltext::number(0.1234567890123456))
                   .value(QStringLiteral("datHizuke"), sqltext::date(QDateTime(QDate(2009, 1, 2), QTime(3, 4, 5))))
                   .statement(QStringLiteral("Print_Id = 5"))
            << "UPDATE tPrint SET strName = NULL,strPath = ' p ',dblAspectM = 0.123456789012346,"
               "datHizuke = '2009/01/02 03:04:05' WHERE Print_Id = 5";
    }
    void statementForms()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(statement, expected);
    }
};

QTEST_MAIN(TestMdlSqlSystem)
#include "tst_mdlsql_system.moc"
