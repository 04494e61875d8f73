// The start-up checks of the entry procedure, each in a scratch program folder.

#include "app/frmMain.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "app/mdlSub.h"
#include "db/mdlDB.h"
#include "platform/application.h"
#include "platform/events.h"
#include "platform/inifile.h"
#include "platform/ui.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace vb;

namespace {
const QString kAdvice = QStringLiteral(
    "「データベースの管理」で再設定してください。\r\n又は、ネットワークドライブ等の確認を行ってください。\r\n"
    "その間サンプルデータベースを使用します。\r\n");
}

class TestStartup : public QObject {
    Q_OBJECT

private:
    // Closes whatever a start left open, answering no save question.
    void closeStart()
    {
        if (auto* start = platform::Instance<frmMain>::pointer()) {
            platform::ScopedScriptedUi quiet;
            start->unload();
        }
        if (GE_booDbOpen) {
            platform::ScopedScriptedUi quiet;
            quiet->answerMsgBox(vbNo);
            mdlDB::fncDbClose();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::app::releaseInstanceLock();
    }

    void writeIni(const testsupport::ProgramFolder& folder, const QString& key, const QString& value)
    {
        const QString section = key == QLatin1String("File_Name") ? QStringLiteral("MDB") : QStringLiteral("フォルダPath");
        QVERIFY(mdlFileAccess::fncPutIni(section, key, value, folder.file(QStringLiteral("Init.ini"))));
    }

private slots:
    void init()
    {
        GE_strDB_Folda_Path.clear();
        GE_strFile_Name.clear();
        GE_strTempPath.clear();
    }
    void cleanup() { closeStart(); }

    void missingIniEndsTheStart()
    {
        testsupport::ProgramFolder folder(true, true, false);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("初期設定ファイル異常"));
        QCOMPARE(ui->last().prompt, QStringLiteral("初期設定ファイル\r\n") + folder.file(QStringLiteral("Init.ini"))
                                        + QStringLiteral("\r\nが見つかりませんでした。\r\nインストールをやり直してください。\r\n"));
        QCOMPARE(ui->last().style, vbCritical + vbOKOnly);
        QVERIFY(!platform::Instance<frmMain>::exists());
    }

    // A number that overflows reads as a missing one: the start goes on
    // and names the damaged section once.
    void overflowingFactorsStillStart_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("1e400") << QStringLiteral("距離換算係数mm") << QStringLiteral("GE_dblChgMMToO(3)") << QStringLiteral("1e400");
        QTest::newRow("9e308") << QStringLiteral("面積換算係数") << QStringLiteral("GE_dblChgOToMS(5)") << QStringLiteral("9e308");
        QTest::newRow("400 nines") << QStringLiteral("距離換算係数") << QStringLiteral("GE_dblChgMToOD(0)")
                                   << QString(400, QLatin1Char('9'));
        QTest::newRow("long hex") << QStringLiteral("距離換算係数") << QStringLiteral("GE_dblChgOToMD(13)")
                                  << QStringLiteral("&HFFFFFFFFFFFFFFFFFF");
    }

    void overflowingFactorsStillStart()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        testsupport::ProgramFolder folder;
        QVERIFY(mdlFileAccess::fncPutIni(section, key, value, folder.file(QStringLiteral("Init.ini"))));
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QVERIFY(platform::Instance<frmMain>::exists());
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("初期設定ファイル異常"));
        QVERIFY(ui->last().prompt.contains(QStringLiteral("\r\n[") + section + QStringLiteral("]\r\nその単位")));
    }

    void emptyFileNameOpensMasterMdb()
    {
        testsupport::ProgramFolder folder;
        QVERIFY(platform::ini::write(folder.file(QStringLiteral("Init.ini")), QStringLiteral("MDB"),
                                     QStringLiteral("File_Name"), QString()));
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 0);
        QCOMPARE(GE_strFile_Name, QStringLiteral("master.mdb"));
        QVERIFY(QFile::exists(folder.file(QStringLiteral("MDB/master.mdb"))));
        QVERIFY(GE_booDbOpen);
    }

    void missingTemplateEndsTheStart()
    {
        testsupport::ProgramFolder folder(true, false, true);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().prompt, QStringLiteral("template\\master.mdb が存在しません。再インストールしてください。"));
        QCOMPARE(ui->last().title, QStringLiteral("インストールエラー"));
        QVERIFY(!platform::Instance<frmMain>::exists());
    }

    void missingSampleFolderEndsTheStart()
    {
        testsupport::ProgramFolder folder(false, true, true);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        // The empty setting names the missing sample folder, so its warning comes first.
        QCOMPARE(ui->count(), 2);
        QCOMPARE(ui->boxes[0].title, QStringLiteral("フォルダ異常"));
        QCOMPARE(ui->last().prompt, folder.file(QStringLiteral("MDB")) + QStringLiteral(" が存在しません。再インストールしてください。"));
        QCOMPARE(ui->last().title, QStringLiteral("インストールエラー"));
    }

    void emptySettingsUseTheSampleDatabaseSilently()
    {
        testsupport::ProgramFolder folder;
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 0);
        QCOMPARE(GE_strDB_Folda_Path, folder.file(QStringLiteral("MDB")));
        QCOMPARE(GE_strFile_Name, QStringLiteral("master.mdb"));
        QVERIFY(QFile::exists(folder.file(QStringLiteral("MDB/master.mdb"))));
        QVERIFY(QFileInfo(folder.file(QStringLiteral("TEMP"))).isDir());
        QCOMPARE(platform::app::helpFile(), folder.file(QStringLiteral("help.html")));
        QVERIFY(platform::Instance<frmMain>::exists());
        QVERIFY(GE_booDbOpen);
        QCOMPARE(GE_lngPlatformId, 2);
    }

    void missingConfiguredFolderFallsBackAndIsWrittenBack()
    {
        testsupport::ProgramFolder folder;
        const QString gone = folder.file(QStringLiteral("network/share"));
        writeIni(folder, QStringLiteral("DB_Folda_Path"), gone);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("フォルダ異常"));
        QCOMPARE(ui->last().style, vbExclamation + vbOKOnly);
        QCOMPARE(ui->last().prompt, gone + QStringLiteral("\r\n設定していたデータベースフォルダが存在しません。\r\n") + kAdvice);
        QCOMPARE(GE_strDB_Folda_Path, folder.file(QStringLiteral("MDB")));
        closeStart();
        QCOMPARE(mdlFileAccess::fncGetIni(QStringLiteral("フォルダPath"), QStringLiteral("DB_Folda_Path"),
                                          folder.file(QStringLiteral("Init.ini"))),
                 folder.file(QStringLiteral("MDB")));
    }

    void configuredFolderWithoutTheFileFallsBack()
    {
        testsupport::ProgramFolder folder;
        const QString other = folder.file(QStringLiteral("other"));
        QDir().mkpath(other);
        writeIni(folder, QStringLiteral("DB_Folda_Path"), other);
        writeIni(folder, QStringLiteral("File_Name"), QStringLiteral("survey.mdb"));
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().prompt,
                 other + QStringLiteral("\r\n設定していたデータベースフォルダ内にＭＤＢが存在しません。\r\n") + kAdvice);
        QCOMPARE(GE_strDB_Folda_Path, folder.file(QStringLiteral("MDB")));
        QCOMPARE(GE_strFile_Name, QStringLiteral("survey.mdb"));
        QVERIFY(QFile::exists(folder.file(QStringLiteral("MDB/survey.mdb"))));
        QVERIFY(GE_booDbOpen);
    }

    void configuredFolderWithItsFileIsUsed()
    {
        testsupport::ProgramFolder folder;
        const QString other = folder.file(QStringLiteral("other"));
        QDir().mkpath(other);
        testsupport::copyTemplate(other + QStringLiteral("/master.mdb"));
        writeIni(folder, QStringLiteral("DB_Folda_Path"), other);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 0);
        QCOMPARE(GE_strDB_Folda_Path, other);
        // The sample folder still gets its copy of the configured name.
        QVERIFY(QFile::exists(folder.file(QStringLiteral("MDB/master.mdb"))));
    }

    void failedTemplateCopyEndsOnlyWhenTheDatabaseIsMissing()
    {
        // A folder where the copy should go makes the copy fail.
        testsupport::ProgramFolder folder;
        QDir().mkpath(folder.file(QStringLiteral("MDB/master.mdb")));
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QVERIFY(!platform::Instance<frmMain>::exists());
        QCOMPARE(ui->last().title, QStringLiteral("インストールエラー"));
        QVERIFY(ui->last().prompt.startsWith(folder.file(QStringLiteral("MDB/master.mdb")) + QStringLiteral("\r\n")));
    }

    void failedTemplateCopyWarnsWhenTheConfiguredDatabaseIsThere()
    {
        testsupport::ProgramFolder folder;
        QDir().mkpath(folder.file(QStringLiteral("MDB/master.mdb")));
        const QString other = folder.file(QStringLiteral("other"));
        QDir().mkpath(other);
        testsupport::copyTemplate(other + QStringLiteral("/master.mdb"));
        writeIni(folder, QStringLiteral("DB_Folda_Path"), other);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("フォルダ異常"));
        QVERIFY(platform::Instance<frmMain>::exists());
    }

    // A size limit smaller than the template: the copy fails as a write
    // does, and the start ends with its box instead of the process ending
    // by the signal the limit raises (the child ignores nothing itself).
    void sizeLimitAtTheTemplateCopyIsAWriteError()
    {
        testsupport::ProgramFolder folder;
        const QString sample = folder.file(QStringLiteral("MDB/master.mdb"));
        QVERIFY(QFileInfo(testsupport::templatePath()).size() > 4096);
        const int result = testsupport::withFileSizeLimit(4096, [&] {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            // The sample folder, lacking the file, is named first.
            if (ui->count() != 2 || ui->last().title != QStringLiteral("インストールエラー")
                || ui->last().prompt != sample + QStringLiteral("\r\nデータベースファイルを作成できませんでした。\r\nパス名が無効です。"))
                return 1;
            return platform::Instance<frmMain>::exists() ? 2 : 0;
        }, false);
        QCOMPARE(result, 0);
        QVERIFY(!QFile::exists(sample));
    }

    void uncreatableTempFolderEndsTheStart()
    {
        testsupport::ProgramFolder folder;
        QVERIFY(QFile(folder.file(QStringLiteral("TEMP"))).open(QIODevice::WriteOnly));
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QVERIFY(!platform::Instance<frmMain>::exists());
        QVERIFY(ui->last().prompt.startsWith(folder.file(QStringLiteral("TEMP")) + QStringLiteral("\r\n")));
    }

    void programFolderEndingInASlashDoublesNothing()
    {
        testsupport::ProgramFolder folder;
        platform::app::setPath(folder.path() + QLatin1Char('/'));
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 0);
        QCOMPARE(GE_strTempPath, folder.path() + QStringLiteral("/TEMP"));
        QCOMPARE(GE_strDB_Folda_Path, folder.path() + QStringLiteral("/MDB"));
        QCOMPARE(platform::app::helpFile(), folder.path() + QStringLiteral("/help.html"));
    }

    void secondInstanceIsRefused()
    {
        testsupport::ProgramFolder folder;
        // Another process's lock, as the kernel sees it: a separate open file.
        const QByteArray lockPath = QFile::encodeName(folder.file(QStringLiteral(".nemunoki2.lock")));
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        ::close(fd);
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().prompt, QStringLiteral("このアプリケーションはすでに開かれています。"));
        QCOMPARE(ui->last().title, QStringLiteral("起動時エラー"));
        QCOMPARE(ui->last().style, vbCritical + vbOKOnly);
        QVERIFY(!platform::Instance<frmMain>::exists());
    }

    // A program folder that allows no lock file keeps the lock in the
    // user's runtime folder, and a second start is still refused.
    void lockMovesToTheRuntimeFolder()
    {
        testsupport::ProgramFolder folder;
        QTemporaryDir runtime;
        const bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        bool refused = false;
        {
            testsupport::ReadOnlyFolder readOnly(folder.path());
            QVERIFY(!platform::app::prevInstance());
            const QStringList locks = QDir(runtime.path()).entryList(QDir::Files | QDir::Hidden);
            QCOMPARE(locks.size(), 1);
            // Another process's attempt, as the kernel sees it: a separate open file.
            const int fd = ::open(QFile::encodeName(runtime.filePath(locks[0])).constData(), O_RDONLY);
            QVERIFY(fd >= 0);
            QVERIFY(::flock(fd, LOCK_EX | LOCK_NB) != 0);
            platform::app::releaseInstanceLock();
            QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
            refused = platform::app::prevInstance();
            ::close(fd);
        }
        hadRuntime ? qputenv("XDG_RUNTIME_DIR", previous) : qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(refused);
        QVERIFY(!QFile::exists(folder.file(QStringLiteral(".nemunoki2.lock"))));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
