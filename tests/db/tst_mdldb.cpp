#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/sqltext.h"
#include "platform/database.h"
#include "platform/ui.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>
#include <sys/resource.h>

using platform::ScopedScriptedUi;

namespace {

// The engine's file system, with the next `failedWrites` writes to a
// database file refused as a full disk refuses them (its journal is written
// as usual, so the engine can roll back).
namespace fulldisk {
int failedWrites = 0;
sqlite3_vfs* base = nullptr;
sqlite3_vfs shim;
sqlite3_io_methods patched;
const sqlite3_io_methods* original = nullptr;

int write(sqlite3_file* file, const void* data, int size, sqlite3_int64 offset)
{
    if (failedWrites > 0) {
        --failedWrites;
        return SQLITE_FULL;
    }
    return original->xWrite(file, data, size, offset);
}

int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    const int rc = base->xOpen(base, name, file, flags, outFlags);
    if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MAIN_DB) && file->pMethods) {
        original = file->pMethods;
        patched = *original;
        patched.xWrite = write;
        file->pMethods = &patched;
    }
    return rc;
}

void install()
{
    if (base)
        return;
    base = sqlite3_vfs_find(nullptr);
    shim = *base;
    shim.pNext = nullptr;
    shim.zName = "fulldisk";
    shim.xOpen = open;
    sqlite3_vfs_register(&shim, 1);
}
}  // namespace fulldisk

}  // namespace

class TestMdlDB : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    QString copyOfTemplate()
    {
        return testsupport::copyTemplate(m_dir.filePath(QStringLiteral("copy%1.mdb").arg(++m_count)));
    }

    // The drawings stored in a file, read as another program would.
    int drawingsIn(const QString& path)
    {
        platform::db::Connection c;
        c.open(mdlDB::fncConnectionString(path));
        return c.openRecordset(QStringLiteral("SELECT COUNT (*) as RecCount FROM tPrint"))[QStringLiteral("RecCount")]
            .toInt32();
    }

    bool insertDrawing(const QString& number = QStringLiteral("0001"), const QString& name = QString())
    {
        return sqltext::change(QStringLiteral("test"),
                               QStringLiteral("INSERT INTO tPrint (strNo, strName, booEdit) VALUES ('%1', '%2', True)")
                                   .arg(number, name));
    }

private slots:
    void init()
    {
        GE_objConnection.reset();
        GE_booDbOpen = false;
        GE_booDbUpdate = false;
    }

    // A session that only read closes without a question; one that wrote
    // asks whether to save, and the next database of the run asks nothing.
    // Where nothing can be asked, the close keeps what was saved, but not a
    // save still under way when the program had to end.
    void closeAsksWhenWritten_data()
    {
        QTest::addColumn<int>("answer");  // 0: nothing written, -1: no one to ask
        QTest::addColumn<int>("kept");
        QTest::newRow("read only asks nothing") << 0 << 0;
        QTest::newRow("Yes commits") << int(vb::vbYes) << 1;
        QTest::newRow("No rolls back") << int(vb::vbNo) << 0;
        QTest::newRow("unattended keeps the saves") << -1 << 1;
    }
    void closeAsksWhenWritten()
    {
        QFETCH(int, answer);
        QFETCH(int, kept);
        ScopedScriptedUi ui;
        const QString path = copyOfTemplate();
        QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
        QVERIFY(GE_booDbOpen);
        QVERIFY(GE_objConnection && GE_objConnection->inTransaction());
        QVERIFY(!GE_objConnection->openRecordset(QStringLiteral("SELECT * FROM tSystem")).eof());
        const int asked = answer > 0 ? 1 : 0;
        if (answer) {
            QVERIFY(insertDrawing());
            QVERIFY(GE_booDbUpdate);
            ui->answerMsgBox(answer);
        }
        if (answer < 0) {
            GE_objConnection->savepoint(QStringLiteral("drawing_save"));
            QVERIFY(insertDrawing(QStringLiteral("0002")));
        }
        // Uncommitted rows stay inside the transaction.
        QCOMPARE(drawingsIn(path), 0);
        if (answer < 0)
            mdlDB::subDbClose_Unattended();
        else
            QCOMPARE(mdlDB::fncDbClose(), qint16(0));
        QCOMPARE(ui->count(), asked);
        if (answer > 0) {
            QCOMPARE(ui->last().prompt, QStringLiteral("図面が更新されています。保存しますか？"));
            QCOMPARE(ui->last().title, QStringLiteral("図面更新"));
            QCOMPARE(ui->last().style, int(vb::vbYesNo));
        }
        QVERIFY(!GE_booDbUpdate);  // also after No: nothing is left to save
        QVERIFY(!GE_booDbOpen);
        QVERIFY(!GE_objConnection);
        QCOMPARE(drawingsIn(path), kept);

        QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
        QCOMPARE(mdlDB::fncDbClose(), qint16(0));
        QCOMPARE(ui->count(), asked);
        QVERIFY(answer < 0 || ui->allAnswered());
    }

    // With no room left the engine drops the whole transaction: the user
    // hears it once, a new transaction stands at once, and the close still
    // decides what becomes permanent (Yes keeps only the later write). A
    // commit the engine rolls back is told once too, and the close goes on.
    void lostTransactionIsToldOnceAndBegunAgain_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("kept");
        QTest::addColumn<bool>("commitLost");
        QTest::newRow("Yes commits") << int(vb::vbYes) << 1 << false;
        QTest::newRow("No rolls back") << int(vb::vbNo) << 0 << false;
        QTest::newRow("commit rolled back by the engine") << int(vb::vbYes) << 0 << true;
    }
    void lostTransactionIsToldOnceAndBegunAgain()
    {
        QFETCH(int, answer);
        QFETCH(int, kept);
        QFETCH(bool, commitLost);
        fulldisk::install();
        ScopedScriptedUi ui;
        const QString path = copyOfTemplate();
        QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
        QVERIFY(insertDrawing(QStringLiteral("0001")) && insertDrawing(QStringLiteral("0002")));
        const QString pages = GE_objConnection->openRecordset(QStringLiteral("PRAGMA page_count"))
                                  [QStringLiteral("page_count")].toString();
        GE_objConnection->execute(QStringLiteral("PRAGMA max_page_count = ") + pages);
        QVERIFY(!insertDrawing(QStringLiteral("0003"), QString(20000, QLatin1Char('x'))));
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("データベース書き込みエラー"));
        QVERIFY(ui->last().prompt.contains(QLatin1String("database or disk is full")));
        QVERIFY(!GE_booDbUpdate && GE_objConnection->inTransaction());

        QVERIFY(insertDrawing(QStringLiteral("0004")));
        QCOMPARE(drawingsIn(path), 0);  // not permanent on its own
        ui->answerMsgBox(answer);
        fulldisk::failedWrites = commitLost ? 1 : 0;
        QCOMPARE(mdlDB::fncDbClose(), qint16(0));
        fulldisk::failedWrites = 0;
        QCOMPARE(ui->count(), commitLost ? 3 : 2);
        QCOMPARE(ui->boxes[1].prompt, QStringLiteral("図面が更新されています。保存しますか？"));
        QCOMPARE(ui->last().title, commitLost ? QStringLiteral("データベース書き込みエラー") : QStringLiteral("図面更新"));
        QVERIFY(!GE_booDbOpen);
        QCOMPARE(drawingsIn(path), kept);
    }

    // A folder that stops allowing new files costs the commit nothing; a file
    // that can't grow (past the file-size limit, told as that, not as a full
    // disk) refuses the commit with the transaction kept, and the save
    // succeeds once there is room. A folder closed from the start lets
    // the file open, and the first change says why it can't be written.
    void unwritablePlaceKeepsTheSession_data()
    {
        QTest::addColumn<QString>("place");
        QTest::newRow("folder closed during the session") << "folder";
        QTest::newRow("file can't grow") << "file";
        QTest::newRow("folder closed from the start") << "start";
        QTest::newRow("no room for the journal") << "journal";
    }
    void unwritablePlaceKeepsTheSession()
    {
        QFETCH(QString, place);
        QDir(m_dir.path()).mkdir(place);
        const QString path = testsupport::copyTemplate(m_dir.filePath(place + QStringLiteral("/a.mdb")));
        const QString big(100000, QLatin1Char('x'));
        if (place == QLatin1String("start")) {
            testsupport::ReadOnlyFolder closed(m_dir.filePath(place));
            ScopedScriptedUi ui;
            QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
            QVERIFY(!insertDrawing());
            QCOMPARE(ui->count(), 1);
            QVERIFY2(ui->last().prompt.contains(QStringLiteral("データベースファイル ") + path
                                                + QStringLiteral(" のあるフォルダに書き込めないため、変更を書き込めませんでした。（")),
                     qPrintable(ui->last().prompt));
            QVERIFY(!GE_booDbUpdate && GE_objConnection->inTransaction());
            QCOMPARE(mdlDB::fncDbClose(), qint16(0));
            return;
        }
        if (place == QLatin1String("journal")) {
            // In a child whose files can't grow to the room the journal may
            // need (a copy of each of the file's pages, here some 1.6 MB):
            // the change is refused with a box that names the room, the
            // limit below 1 MB in KB, and the session stays as it was.
            {
                platform::db::Connection c;
                c.open(mdlDB::fncConnectionString(path));
                c.execute(QStringLiteral("CREATE TABLE tPad (b BLOB); INSERT INTO tPad VALUES (zeroblob(1500000))"));
            }
            QCOMPARE(testsupport::withFileSizeLimit(512 * 1024, [&] {
                ScopedScriptedUi ui;
                if (mdlDB::fncDbOpen(path) != 0)
                    return 1;
                ui->answerMsgBox(vb::vbCancel);
                // The box that says what to do is the one shown: the
                // statement's own failure box would only repeat it.
                if (insertDrawing() || ui->count() != 1)
                    return 2;
                const QString expected = QStringLiteral("変更をデータベースファイルに書き込めませんでした。\r\n"
                                                        "ファイルサイズの上限を超えるため、データベースファイル ")
                    + path
                    + QStringLiteral(" に書き込めませんでした。\r\n"
                                     "この変更に要るファイルサイズは 2 MB、ファイルサイズの上限は 512 KB です。\r\n\r\n"
                                     "ファイルサイズの上限を引き上げてください。このファイルを開いてからの変更は、そのまま残っています。\r\n\r\n"
                                     "｢再試行｣　　：もう一度書き込みます。\r\n"
                                     "｢キャンセル｣：この変更を書き込まずに、プログラムに戻ります。");
                if (ui->boxes[0].prompt != expected || ui->boxes[0].title != QStringLiteral("データベース書き込みエラー")
                    || ui->boxes[0].style != int(vb::vbRetryCancel + vb::vbExclamation))
                    return 3;
                // A later failure of another kind, with room enough, is told all the same.
                rlimit unlimited{};
                ::getrlimit(RLIMIT_FSIZE, &unlimited);
                unlimited.rlim_cur = unlimited.rlim_max;
                if (::setrlimit(RLIMIT_FSIZE, &unlimited) != 0
                    || sqltext::change(QStringLiteral("test"), QStringLiteral("UPDATE tNone SET a = 1")) || ui->count() != 2
                    || ui->last().prompt != QStringLiteral("no such table: tNone"))
                    return 5;
                if (!GE_objConnection->inTransaction() || GE_booDbUpdate || mdlDB::fncDbClose() != 0 || !ui->allAnswered())
                    return 4;
                return 0;
            }), 0);
            QCOMPARE(drawingsIn(path), 0);
            return;
        }
        if (place == QLatin1String("folder")) {
            ScopedScriptedUi ui;
            QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
            testsupport::ReadOnlyFolder closed(m_dir.filePath(place));
            QVERIFY(insertDrawing(QStringLiteral("0001"), big));
            ui->answerMsgBox(vb::vbYes);
            QCOMPARE(mdlDB::fncDbClose(), qint16(0));
            QCOMPARE(ui->count(), 1);
        } else {
            // In a child whose files can't grow past what the journal needs (a
            // copy of every page and a header), so the file can't take the
            // drawing; the limit is lifted before the second save.
            const qint64 size = QFileInfo(path).size() * 257 / 256 + 65536;
            QCOMPARE(testsupport::withFileSizeLimit(size, [&] {
                ScopedScriptedUi ui;
                if (mdlDB::fncDbOpen(path) != 0 || !insertDrawing(QStringLiteral("0001"), big))
                    return 1;
                ui->answerMsgBox(vb::vbYes);
                ui->answerMsgBox(vb::vbCancel);
                if (mdlDB::fncDbClose() != -1 || ui->count() != 2)
                    return 2;
                // The limit is the one reason told: the disk has room.
                if (ui->last().style != int(vb::vbRetryCancel + vb::vbExclamation)
                    || !ui->last().prompt.contains(QStringLiteral("ファイルサイズの上限を超えるため、データベースファイル ") + path
                                                   + QStringLiteral(" に書き込めませんでした。\r\nこの変更に要るファイルサイズは "))
                    || ui->last().prompt.contains(QStringLiteral("ディスク")))
                    return 3;
                if (!GE_booDbOpen || !GE_booDbUpdate || !GE_objConnection->inTransaction()
                    || GE_objConnection->openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM tPrint"))
                               [QStringLiteral("n")].toInt32() != 1)
                    return 4;
                rlimit unlimited{};
                ::getrlimit(RLIMIT_FSIZE, &unlimited);
                unlimited.rlim_cur = unlimited.rlim_max;
                ::setrlimit(RLIMIT_FSIZE, &unlimited);
                ui->answerMsgBox(vb::vbYes);
                return mdlDB::fncDbClose() == 0 && ui->count() == 3 && !GE_booDbOpen ? 0 : 5;
            }), 0);
        }
        QCOMPARE(drawingsIn(path), 1);
    }

    void refusesFilesItCannotUse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("description");
        // %1 stands for the file's path.
        QTest::newRow("missing") << "missing" << 14L
                                 << "データベースファイル %1 を開けませんでした。（unable to open database file）";
        QTest::newRow("not a database") << "text" << 26L
                                        << "%1 はデータベースファイルではありません。（file is not a database）";
        QTest::newRow("empty") << "empty" << 26L
                               << "%1 はデータベースファイルではありません。（file is not a database）";
        QTest::newRow("another program's") << "foreign" << 1L
                                            << "%1 はねむのきⅡのデータベースファイルではありません。（no such table: tSystem）";
        QTest::newRow("no tSystem") << "noSystem" << 1L
                                    << "%1 はねむのきⅡのデータベースファイルではありません。（no such table: tSystem）";
        QTest::newRow("other password") << "otherPassword" << long(platform::db::errWrongPassword)
                                        << "パスワードが無効です。";
        QTest::newRow("damaged") << "damaged" << 11L
                                 << "データベースファイル %1 は壊れています。（database disk image is malformed）";
    }
    void refusesFilesItCannotUse()
    {
        QFETCH(QString, kind);
        QFETCH(long, number);
        QFETCH(QString, description);
        const QString path = m_dir.filePath(kind + QStringLiteral(".mdb"));
        if (kind == QLatin1String("text")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'M'));
        } else if (kind == QLatin1String("empty")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("damaged")) {
            // tSystem's page overwritten: the file opens, the table can't be read.
            platform::db::Connection c;
            c.open(mdlDB::fncConnectionString(testsupport::copyTemplate(path)));
            const QString rootPage = QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'tSystem'");
            const qint64 page = c.openRecordset(rootPage)[QStringLiteral("rootpage")].toInt32();
            c.close();
            QFile f(path);
            QVERIFY(page > 1 && f.open(QIODevice::ReadWrite) && f.seek((page - 1) * 4096));
            f.write(QByteArray(4096, 'Z'));
        } else if (kind != QLatin1String("missing")) {
            platform::db::createDatabase(path);
            platform::db::Connection c;
            c.open(QStringLiteral("Data Source=") + path);
            c.execute(QStringLiteral("CREATE TABLE tPrint (Print_Id INTEGER)"));
            if (kind == QLatin1String("otherPassword"))
                c.execute(QStringLiteral("CREATE TABLE tSystem (System_Id LONG)"));
            // Few rounds: only whether the password is the program's counts here.
            if (kind != QLatin1String("foreign"))
                platform::db::setDatabasePassword(
                    c, kind == QLatin1String("otherPassword") ? QStringLiteral("other") : mdlDB::DatabasePassword, 3);
        }
        const QByteArray bytes = QFile::exists(path) ? testsupport::fileBytes(path) : QByteArray();
        ScopedScriptedUi ui;
        QCOMPARE(mdlDB::fncDbOpen(path), qint16(-1));
        if (QFile::exists(path))  // a refused file is left as it was
            QCOMPARE(testsupport::fileBytes(path), bytes);
        QVERIFY(!GE_booDbOpen);
        QVERIFY(!GE_objConnection);
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().prompt, description.replace(QStringLiteral("%1"), path));
        QCOMPARE(ui->last().style, int(vb::vbOKOnly));
        QCOMPARE(ui->last().title,
                 QStringLiteral("mdlDB:fncDbOpen() db コネクション error() err.number = ") + QString::number(number));
    }
};

QTEST_MAIN(TestMdlDB)
#include "tst_mdldb.moc"
