// The start-up checks of the entry procedure, each in a scratch program folder.

#include "app/frmMain.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "app/mdlSub.h"
#include "db/mdlDB.h"
#include "library/dlgBrowesForFolder.h"
#include "library/frmMDB.h"
#include "library/frmThumbnail.h"
#include "platform/application.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/form.h"
#include "platform/inifile.h"
#include "platform/ownlinks.h"
#include "platform/ui.h"
#include "tests/library/exif_corpus/exif_samples.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vb;
using namespace Qt::StringLiterals;

namespace {

// An environment variable set (or unset, when empty) for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name))
    {
        value.isEmpty() ? qunsetenv(name) : qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv() { m_had ? qputenv(m_name, m_previous) : qunsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_previous;
};

const QString kAdvice = QStringLiteral(
    "「データベースの管理」で再設定してください。\r\n又は、ネットワークドライブ等の確認を行ってください。\r\n"
    "その間サンプルデータベースを使用します。\r\n"
    "この間に保存した図面はサンプルデータベースに残り、フォルダが戻っても元のデータベースには移りません。\r\n");
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

    // The folder "other" of the program folder, set as the database folder;
    // it holds a copy of the template as master.mdb when `withFile`.
    QString configuredFolder(const testsupport::ProgramFolder& folder, bool withFile)
    {
        const QString other = folder.file(QStringLiteral("other"));
        QDir().mkpath(other);
        if (withFile)
            testsupport::copyTemplate(other + QStringLiteral("/master.mdb"));
        writeIni(folder, QStringLiteral("DB_Folda_Path"), other);
        return other;
    }

    // A program folder an office shares: group-writable, passing its group on.
    void shareWithOffice(const QString& path, unsigned office)
    {
        QVERIFY(QProcess::execute(QStringLiteral("chgrp"), {QStringLiteral("-R"), QString::number(office), path}) == 0);
        QVERIFY(QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("g+rwX,o+rX"), path}) == 0);
        QVERIFY(QProcess::execute(QStringLiteral("find"), {path, QStringLiteral("-type"), QStringLiteral("d"),
                                                           QStringLiteral("-exec"), QStringLiteral("chmod"),
                                                           QStringLiteral("g+s"), QStringLiteral("{}"), QStringLiteral("+")}) == 0);
    }

private slots:
    void init()
    {
        GE_strDB_Folda_Path.clear();
        GE_strFile_Name.clear();
        GE_strTempPath.clear();
    }
    void cleanup() { closeStart(); }

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

    // Starts that end at once with their box. %1 in the prompt stands for
    // the program folder; a count of -1, an empty title and a style of 0 go
    // unchecked, and a prompt that is not whole is the box's beginning.
    void startEndsWithItsBox_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("style");
        const QString install = QStringLiteral("インストールエラー");
        QTest::newRow("missing Init.ini")
            << "noIni" << 1 << QStringLiteral("初期設定ファイル異常")
            << QStringLiteral("初期設定ファイル\r\n%1/Init.ini\r\nが見つかりませんでした。\r\nインストールをやり直してください。\r\n")
            << true << int(vbCritical + vbOKOnly);
        QTest::newRow("missing template") << "noTemplate" << 1 << install
                                          << QStringLiteral("template\\master.mdb が存在しません。再インストールしてください。")
                                          << true << 0;
        // The empty setting names the missing sample folder, so its warning comes first (checked below).
        QTest::newRow("missing sample folder") << "noSample" << 2 << install
                                               << QStringLiteral("%1/MDB が存在しません。再インストールしてください。")
                                               << true << 0;
        // A folder where the copy should go makes the copy fail; with the
        // configured database missing too, the start ends.
        QTest::newRow("failed template copy") << "sampleIsFolder" << -1 << install
                                              << QStringLiteral("%1/MDB/master.mdb\r\n") << false << 0;
        QTest::newRow("uncreatable TEMP") << "tempIsFile" << -1 << QString()
                                          << QStringLiteral("%1/TEMP\r\n") << false << 0;
        QTest::newRow("second instance") << "locked" << 1 << QStringLiteral("起動時エラー")
                                         << QStringLiteral("このアプリケーションはすでに開かれています。") << true
                                         << int(vbCritical + vbOKOnly);
        // An ending mark left by a run that died while ending tells nothing.
        for (const char* mark : {"locked, ending mark past", "locked, ending mark damaged"})
            QTest::newRow(mark) << mark << 1 << QStringLiteral("起動時エラー")
                                << QStringLiteral("このアプリケーションはすでに開かれています。") << true
                                << int(vbCritical + vbOKOnly);
    }

    void startEndsWithItsBox()
    {
        QFETCH(QString, setup);
        QFETCH(int, count);
        QFETCH(QString, title);
        QFETCH(QString, prompt);
        QFETCH(bool, whole);
        QFETCH(int, style);
        testsupport::ProgramFolder folder(setup != QLatin1String("noSample"), setup != QLatin1String("noTemplate"),
                                          setup != QLatin1String("noIni"));
        int lock = -1;
        if (setup.startsWith(QLatin1String("locked"))) {
            QFile mark(folder.file(QStringLiteral(".nemunoki2.ending")));
            if (setup.contains(QLatin1String("past")))
                QVERIFY(mark.open(QIODevice::WriteOnly) && mark.write("2020-01-01T00:00:00Z") > 0);
            else if (setup.contains(QLatin1String("damaged")))
                QVERIFY(mark.open(QIODevice::WriteOnly) && mark.write("\xff 99:99") > 0);
            // Another process's lock, as the kernel sees it: a separate open file.
            lock = ::open(QFile::encodeName(folder.file(QStringLiteral(".nemunoki2.lock"))).constData(), O_RDWR | O_CREAT, 0644);
            QVERIFY(lock >= 0);
            QCOMPARE(::flock(lock, LOCK_EX | LOCK_NB), 0);
        } else if (setup == QLatin1String("sampleIsFolder")) {
            QDir().mkpath(folder.file(QStringLiteral("MDB/master.mdb")));
        } else if (setup == QLatin1String("tempIsFile")) {
            QVERIFY(QFile(folder.file(QStringLiteral("TEMP"))).open(QIODevice::WriteOnly));
        }
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        if (lock >= 0)
            ::close(lock);
        QVERIFY(!platform::Instance<frmMain>::exists());
        if (count >= 0)
            QCOMPARE(ui->count(), count);
        if (setup == QLatin1String("noSample"))
            QCOMPARE(ui->boxes[0].title, QStringLiteral("フォルダ異常"));
        if (!title.isEmpty())
            QCOMPARE(ui->last().title, title);
        prompt.replace(QStringLiteral("%1"), folder.path());
        if (whole)
            QCOMPARE(ui->last().prompt, prompt);
        else
            QVERIFY2(ui->last().prompt.startsWith(prompt), qPrintable(ui->last().prompt));
        if (style)
            QCOMPARE(ui->last().style, style);
    }

    // Empty settings, or an empty file name, use the sample database without
    // a word, and a program folder ending in a slash doubles nothing.
    void emptySettingsUseTheSampleDatabaseSilently_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::newRow("empty settings") << "";
        QTest::newRow("empty file name") << "emptyName";
        QTest::newRow("program folder ending in a slash") << "slash";
    }

    void emptySettingsUseTheSampleDatabaseSilently()
    {
        QFETCH(QString, setup);
        testsupport::ProgramFolder folder;
        if (setup == QLatin1String("emptyName"))
            QVERIFY(platform::ini::write(folder.file(QStringLiteral("Init.ini")), QStringLiteral("MDB"),
                                         QStringLiteral("File_Name"), QString()));
        if (setup == QLatin1String("slash"))
            platform::app::setPath(folder.path() + QLatin1Char('/'));
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 0);
        QCOMPARE(GE_strDB_Folda_Path, folder.file(QStringLiteral("MDB")));
        // The caches' folder: the user's own in TEMP, closed to others.
        QCOMPARE(QFileInfo(GE_strTempPath).canonicalFilePath(),
                 QFileInfo(folder.file(QStringLiteral("TEMP/.nemunoki2-0"))).canonicalFilePath());
        struct stat made {};
        QVERIFY(::stat(QFile::encodeName(GE_strTempPath).constData(), &made) == 0 && (made.st_mode & 07777) == 0700);
        QCOMPARE(GE_strFile_Name, QStringLiteral("master.mdb"));
        QVERIFY(QFile::exists(folder.file(QStringLiteral("MDB/master.mdb"))));
        QVERIFY(QFileInfo(folder.file(QStringLiteral("TEMP"))).isDir());
        QCOMPARE(platform::app::helpFile(), folder.file(QStringLiteral("help.html")));
        QVERIFY(platform::Instance<frmMain>::exists());
        QVERIFY(GE_booDbOpen);
        QCOMPARE(GE_lngPlatformId, 2);
    }

    // A configured folder that is missing (a network drive not mounted yet)
    // is told and the sample folder used for this run only: the quit leaves
    // the setting, and once the folder is back the next start uses it
    // without a word. A file the user takes into use in the database
    // manager, even one of the sample folder, becomes the setting: by the
    // folder change to it, or by 使用する on the file in use.
    void missingConfiguredFolderIsTriedAgain_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::newRow("fallen back") << "";
        QTest::newRow("sample database chosen in the manager") << "folder";
        QTest::newRow("sample database in use taken in the manager") << "in use";
    }
    void missingConfiguredFolderIsTriedAgain()
    {
        QFETCH(QString, chosen);
        testsupport::ProgramFolder folder;
        const QString gone = folder.file(QStringLiteral("network/share"));
        const QString ini = folder.file(QStringLiteral("Init.ini"));
        writeIni(folder, QStringLiteral("DB_Folda_Path"), gone);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("フォルダ異常"));
        QCOMPARE(ui->last().style, vbExclamation + vbOKOnly);
        QCOMPARE(ui->last().prompt, gone + QStringLiteral("\r\n設定していたデータベースフォルダが存在しません。\r\n") + kAdvice);
        QCOMPARE(GE_strDB_Folda_Path, folder.file(QStringLiteral("MDB")));
        if (!chosen.isEmpty()) {  // the file in use used, after a folder change to its folder or not
            frmMDB& manager = platform::Instance<frmMDB>::get();
            if (chosen == QLatin1String("folder")) {
                platform::ModalScript picker;
                picker.push([](platform::Form& form) { static_cast<dlgBrowesForFolder&>(form).OKButton->setValue(true); });
                ui->answerMsgBox(vbYes);
                manager.cmdSelect_Click();
                QVERIFY(picker.allUsed());
            }
            manager.fileList->setListIndex(0);
            QCOMPARE(manager.fileList->Text(), QStringLiteral("master.mdb"));
            manager.fileList_MouseDown(1, 0, 0, 0);
            ui->answerMsgBox(vbYes);
            manager.mnuUse_Click();
            QVERIFY(manager.unload());
        }
        closeStart();
        // The sample folder is the setting as "the sample folder" (empty).
        const QString setting = chosen.isEmpty() ? gone : QString();
        QCOMPARE(mdlFileAccess::fncGetIni(QStringLiteral("フォルダPath"), QStringLiteral("DB_Folda_Path"), ini), setting);

        QDir().mkpath(gone);
        testsupport::copyTemplate(gone + QStringLiteral("/master.mdb"));
        const qsizetype told = ui->count();
        mdlSub::Main();
        QCOMPARE(ui->count(), told);
        QCOMPARE(GE_strDB_Folda_Path, chosen.isEmpty() ? gone : folder.file(QStringLiteral("MDB")));
    }

    // The program's own sample folder is kept in Init.ini as such, not by
    // its path, and known whatever spelling of the program folder reached
    // it (a link, ".."): a copy of a program folder that has run uses its
    // own sample database, not the original's. A copy whose Init.ini still
    // names the original's by its path (as earlier versions wrote it) keeps
    // using it, and the start says so.
    void ownSampleFolderKnownByWhatItIs_data()
    {
        QTest::addColumn<QString>("reached");  // the program folder: "copy", a "link" to it, or "folder/MDB/.."
        QTest::addColumn<bool>("byPath");      // Init.ini names the original's sample folder by its path
        QTest::newRow("copy of a folder that has run") << "copy" << false;
        QTest::newRow("copy naming the original's sample folder") << "copy" << true;
        QTest::newRow("reached through a link") << "link" << true;
        QTest::newRow("reached through ..") << ".." << true;
    }
    void ownSampleFolderKnownByWhatItIs()
    {
        QFETCH(QString, reached);
        QFETCH(bool, byPath);
        testsupport::ProgramFolder original;
        {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            QVERIFY(platform::Instance<frmMain>::exists());
        }
        closeStart();
        const QString sample = original.file(QStringLiteral("MDB"));
        if (byPath)
            writeIni(original, QStringLiteral("DB_Folda_Path"), sample);
        std::optional<testsupport::ProgramFolder> copy;
        QTemporaryDir links;
        if (reached == QLatin1String("copy")) {
            copy.emplace(false, false, false);
            QCOMPARE(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), original.path() + QStringLiteral("/."), copy->path()}), 0);
        } else if (reached == QLatin1String("link")) {
            QVERIFY(QFile::link(original.path(), links.filePath(QStringLiteral("program"))));
            platform::app::setPath(links.filePath(QStringLiteral("program")));
        } else {
            platform::app::setPath(original.file(QStringLiteral("MDB/..")));
        }
        const bool others = copy && byPath;
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QVERIFY(platform::Instance<frmMain>::exists());
        QCOMPARE(ui->count(), others ? 1 : 0);
        if (others) {
            QCOMPARE(ui->last().title, QStringLiteral("フォルダ異常"));
            QCOMPARE(ui->last().style, vbExclamation + vbOKOnly);
            QCOMPARE(ui->last().prompt,
                     sample + QStringLiteral("\r\n設定していたデータベースフォルダは、ほかのねむのきⅡのフォルダ（") + original.path()
                         + QStringLiteral("）のサンプルデータベースです。\r\n引き続きこのデータベースフォルダを使用します。\r\n"
                                          "このねむのきⅡのサンプルデータベース（")
                         + copy->file(QStringLiteral("MDB"))
                         + QStringLiteral("）を使う場合は、「データベースの管理」で再設定してください。\r\n"));
        }
        QCOMPARE(platform::files::canonicalPath(GE_strDB_Folda_Path),
                 platform::files::canonicalPath(copy && !byPath ? copy->file(QStringLiteral("MDB")) : sample));
        closeStart();
        QCOMPARE(mdlFileAccess::fncGetIni(QStringLiteral("フォルダPath"), QStringLiteral("DB_Folda_Path"),
                                          mdlFileAccess::fncInitIniPath()),
                 others ? sample : QString());
    }

    // An empty file (an interrupted copy, a full disk) counts as none: the
    // sample's is replaced by the template, and the user is told.
    void configuredFolderWithoutTheFileFallsBack_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::newRow("missing") << false;
        QTest::newRow("empty files") << true;
    }
    void configuredFolderWithoutTheFileFallsBack()
    {
        QFETCH(bool, empty);
        testsupport::ProgramFolder folder;
        const QString other = configuredFolder(folder, false);
        writeIni(folder, QStringLiteral("File_Name"), QStringLiteral("survey.mdb"));
        const QString sample = folder.file(QStringLiteral("MDB/survey.mdb"));
        for (const QString& path : {other + QStringLiteral("/survey.mdb"), sample}) {
            QFile f(path);
            QVERIFY(!empty || f.open(QIODevice::WriteOnly));
        }
        // A user's sample, replaced by root, stays the user's as it was.
        QVERIFY(!empty || ::chown(QFile::encodeName(sample).constData(), testsupport::Nobody, testsupport::Nobody) == 0);
        QVERIFY(!empty || ::chmod(QFile::encodeName(sample).constData(), 0640) == 0);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), empty ? 2 : 1);
        if (empty) {
            QCOMPARE(ui->boxes[0].title, QStringLiteral("データベースファイル異常"));
            QCOMPARE(ui->boxes[0].prompt, sample + QStringLiteral("\r\nデータベースファイルが空（0 バイト）でした。\r\n"
                                                                 "図面は何も残っていないため、新しいデータベースファイルに置き換えました。\r\n"));
            QCOMPARE(ui->last().title, QStringLiteral("データベースファイル異常"));
            QCOMPARE(ui->last().prompt,
                     other + QStringLiteral("/survey.mdb\r\n設定していたデータベースファイルが空（0 バイト）で、図面が入っていません。\r\n"
                                            "バックアップしておいたファイルを戻すか、「データベースの管理」で再設定してください。\r\n"
                                            "その間サンプルデータベースを使用します。\r\n"
                                            "この間に保存した図面はサンプルデータベースに残り、フォルダが戻っても元のデータベースには移りません。\r\n"));
            QCOMPARE(QFileInfo(other + QStringLiteral("/survey.mdb")).size(), 0);
            struct stat st {};
            QVERIFY(::stat(QFile::encodeName(sample).constData(), &st) == 0);
            QCOMPARE(st.st_uid, uid_t(testsupport::Nobody));
            QCOMPARE(st.st_mode & 07777, mode_t(0640));
        } else {
            QCOMPARE(ui->last().title, QStringLiteral("フォルダ異常"));
            QCOMPARE(ui->last().prompt,
                     other + QStringLiteral("\r\n設定していたデータベースフォルダ内にＭＤＢが存在しません。\r\n") + kAdvice);
        }
        QCOMPARE(GE_strDB_Folda_Path, folder.file(QStringLiteral("MDB")));
        QCOMPARE(GE_strFile_Name, QStringLiteral("survey.mdb"));
        QVERIFY(QFileInfo(sample).size() > 0);
        QVERIFY(GE_booDbOpen);
    }

    void configuredFolderWithItsFileIsUsed()
    {
        testsupport::ProgramFolder folder;
        const QString other = configuredFolder(folder, true);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 0);
        QCOMPARE(GE_strDB_Folda_Path, other);
        // The sample folder still gets its copy of the configured name.
        QVERIFY(QFile::exists(folder.file(QStringLiteral("MDB/master.mdb"))));
    }

    // A print's document that a run killed in the instant it was made left
    // in the work folder goes at the next start; nothing else there does: no
    // name that only looks like one, no link laid at such a name (nor the
    // file it leads to), no other user's document.
    void startRemovesAKilledPrintsDocument()
    {
        testsupport::ProgramFolder folder;
        const QString temp = folder.file(QStringLiteral("TEMP"));
        QVERIFY(QDir().mkpath(temp));
        // The last two: another user's document, and a link to the first.
        const QStringList kept{QStringLiteral("thumb_0badcafe.jpg"), QStringLiteral("nemunoki-print-0BADCAFE.pdf"),
                               QStringLiteral("nemunoki-print-0badcafe.pdf.bak"), QStringLiteral("nemunoki-print-badcafe.pdf"),
                               QStringLiteral("nemunoki-print-1badcafe.pdf"), QStringLiteral("nemunoki-print-2badcafe.pdf")};
        const QStringList made = kept.mid(0, 5) + QStringList{QStringLiteral("nemunoki-print-0badcafe.pdf")};
        for (const QString& name : made) {
            QFile file(temp + u'/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
        }
        QVERIFY(::chown(QFile::encodeName(temp + u'/' + kept[4]).constData(), testsupport::Nobody, testsupport::Nobody) == 0);
        QVERIFY(QFile::link(kept[0], temp + u'/' + kept[5]));
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 0);
        const QStringList left = QDir(temp).entryList(QDir::Files | QDir::System | QDir::Hidden);
        QCOMPARE(QSet<QString>(left.begin(), left.end()), QSet<QString>(kept.begin(), kept.end()));
        QCOMPARE(testsupport::fileBytes(temp + u'/' + kept[0]), QByteArray("x"));
    }

    void failedTemplateCopyWarnsWhenTheConfiguredDatabaseIsThere()
    {
        testsupport::ProgramFolder folder;
        QDir().mkpath(folder.file(QStringLiteral("MDB/master.mdb")));
        configuredFolder(folder, true);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("フォルダ異常"));
        QVERIFY(platform::Instance<frmMain>::exists());
    }

    // A size limit smaller than the template: the copy fails as a write
    // does, naming the file and the size limit, and the start ends with
    // its box instead of the process ending by the signal the limit raises
    // (the child ignores nothing itself).
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
                || ui->last().prompt != sample + QStringLiteral("\r\nデータベースファイルを作成できませんでした。\r\n")
                        + QStringLiteral("ファイルサイズの上限を超えるため、%1 に書き込めませんでした。").arg(sample))
                return 1;
            return platform::Instance<frmMain>::exists() ? 2 : 0;
        }, false);
        QCOMPARE(result, 0);
        QVERIFY(!QFile::exists(sample));
    }

    // A program folder an office shares (group-writable, passing its group
    // on), started first by one colleague of umask 002: the sample database
    // made from the template (installed read-only for the group) gets the
    // mode and group of any new file there, and another colleague writes it.
    void sampleInASharedFolderIsWritableForColleagues()
    {
        constexpr unsigned office = 4242, maker = 4241, colleague = 4243;
        testsupport::ProgramFolder folder;
        const QString sample = folder.file(QStringLiteral("MDB/master.mdb"));
        shareWithOffice(folder.path(), office);
        QVERIFY(::chmod(QFile::encodeName(folder.file(QStringLiteral("template/master.mdb"))).constData(), 0644) == 0);
        QCOMPARE(testsupport::asColleague(maker, {office}, [&] {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            return ui->count() == 0 && GE_booDbOpen ? 0 : 1;
        }), 0);
        struct stat made {};
        QVERIFY(::stat(QFile::encodeName(sample).constData(), &made) == 0);
        QCOMPARE(made.st_uid, uid_t(maker));
        QCOMPARE(made.st_gid, gid_t(office));
        QCOMPARE(made.st_mode & 07777, mode_t(0664));
        QCOMPARE(testsupport::asColleague(colleague, {office}, [&] {
            const int fd = ::open(QFile::encodeName(sample).constData(), O_RDWR);
            return fd >= 0 && ::close(fd) == 0 ? 0 : 1;
        }), 0);
        // Left empty (a copy cut short), kept for one group of the office:
        // the template takes its place at the colleague's start, and the
        // file keeps its mode and group, not those of a new file there.
        constexpr unsigned survey = 4244;
        QVERIFY(::truncate(QFile::encodeName(sample).constData(), 0) == 0
                && ::chown(QFile::encodeName(sample).constData(), maker, survey) == 0
                && ::chmod(QFile::encodeName(sample).constData(), 0660) == 0);
        QCOMPARE(testsupport::asColleague(colleague, {office, survey}, [&] {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            return ui->count() == 1 && ui->last().title == QStringLiteral("データベースファイル異常") && GE_booDbOpen ? 0 : 1;
        }), 0);
        QVERIFY(::stat(QFile::encodeName(sample).constData(), &made) == 0);
        QVERIFY(made.st_size > 0);
        QCOMPARE(made.st_gid, gid_t(survey));
        QCOMPARE(made.st_mode & 07777, mode_t(0660));
    }

    // A program folder that allows no lock file keeps the lock in the
    // user's runtime folder or, without one (su, runuser), in the system's
    // temporary folder, which every user shares: the user's id is in its
    // name, so this user's second start is refused and another user's not.
    void lockOutsideTheProgramFolderIsPerUser_data()
    {
        QTest::addColumn<bool>("runtime");
        QTest::newRow("runtime folder") << true;
        QTest::newRow("system temporary folder") << false;
    }
    void lockOutsideTheProgramFolderIsPerUser()
    {
        QFETCH(bool, runtime);
        testsupport::ProgramFolder folder;
        QTemporaryDir scratch;  // the runtime folder, or the temporary folder all users share
        QVERIFY(::chmod(QFile::encodeName(scratch.path()).constData(), 01777) == 0);
        ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime ? scratch.path() : QString());
        ScopedEnv tempDir("TMPDIR", scratch.path());
        int sameUser = -1, otherUser = -1;
        bool refused = false;
        QStringList locks;
        {
            testsupport::ReadOnlyFolder readOnly(folder.path());
            QVERIFY(!platform::app::prevInstance());
            locks = QDir(scratch.path()).entryList(QDir::Files | QDir::Hidden);
            // Another process's start drops the lock it inherited and asks anew.
            const auto secondStart = [] {
                platform::app::releaseInstanceLock();
                return platform::app::prevInstance() ? 1 : 0;
            };
            sameUser = testsupport::inChild(secondStart);
            if (!runtime)
                otherUser = testsupport::asUser(testsupport::Nobody, secondStart);
            platform::app::releaseInstanceLock();
            refused = platform::app::prevInstance();
        }
        QCOMPARE(sameUser, 1);
        QCOMPARE(otherUser, runtime ? -1 : 0);
        QCOMPARE(locks.size(), 1);
        QVERIFY2(locks[0].contains(QStringLiteral("-%1-").arg(::getuid())), qPrintable(locks[0]));
        QVERIFY(!refused);
        QVERIFY(!QFile::exists(folder.file(QStringLiteral(".nemunoki2.lock"))));
    }

    // A program folder installed by another user (root) and not writable
    // for the one who starts it, even while root's copy runs from it, or
    // one writable at its top alone (a shared install opened there only):
    // one box names what can't be written and what to do, and the start
    // ends, with nothing said of a database folder the user never set nor
    // of a copy that runs. The same folder owned by the user starts
    // without a word.
    void programFolderTheUserMayNotWrite_data()
    {
        // What stays root's in a folder the user owns; "." the whole folder,
        // "/" its top alone, left writable for everyone ("/t" sticky too).
        QTest::addColumn<QStringList>("rootOwned");
        QTest::addColumn<QString>("root");  // root's own run: "running" from the folder, or "ran" in it once
        QTest::addColumn<QString>("expected");  // the box's first lines, %1 the program folder; "" no box
        const QString top = QStringLiteral("%1\r\nこのフォルダに書き込めないため、ねむのきⅡを起動できません。\r\n");
        QTest::newRow("installed by root") << QStringList{QStringLiteral(".")} << QString() << top;
        QTest::newRow("installed by root, root's copy running") << QStringList{QStringLiteral(".")} << "running" << top;
        QTest::newRow("writable at the top only")
            << QStringList{QStringLiteral("MDB"), QStringLiteral("TEMP")} << QString()
            << QStringLiteral("%1/MDB\r\n%1/TEMP\r\nプログラムのフォルダの中のこれらに書き込めないため、ねむのきⅡを起動できません。\r\n");
        QTest::newRow("owned by the user") << QStringList() << QString() << QString();
        // The settings are written by replacing the file, which the folder
        // (root's, writable for all, as a shared install) allows, and the
        // quit keeps them; a sticky folder keeps another's file from being
        // replaced, so the start names it.
        QTest::newRow("Init.ini root's, in a folder all may write")
            << QStringList{QStringLiteral("Init.ini"), QStringLiteral("/")} << QString() << QString();
        QTest::newRow("Init.ini root's, in a sticky folder all may write")
            << QStringList{QStringLiteral("Init.ini"), QStringLiteral("/t")} << QString()
            << QStringLiteral("%1/Init.ini\r\nプログラムのフォルダの中のこれらに書き込めないため、ねむのきⅡを起動できません。\r\n");
        // Run once by root (sudo), who made its work folder and a database
        // and wrote its settings there: the user's folder stays the user's.
        QTest::newRow("owned by the user, run by root once") << QStringList() << "ran" << QString();
    }
    void programFolderTheUserMayNotWrite()
    {
        QFETCH(QStringList, rootOwned);
        QFETCH(QString, root);
        QFETCH(QString, expected);
        testsupport::ProgramFolder folder;
        QVERIFY(QDir().mkpath(folder.file(QStringLiteral("TEMP"))));
        // An installation everyone may read.
        QVERIFY(QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a+rX"), folder.path()}) == 0);
        if (!rootOwned.contains(QStringLiteral(".")))
            QVERIFY(QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("nobody"), folder.path()}) == 0);
        for (const QString& place : rootOwned) {
            if (place.startsWith(u'/'))
                QVERIFY(::chown(QFile::encodeName(folder.path()).constData(), 0, 0) == 0
                        && ::chmod(QFile::encodeName(folder.path()).constData(), place == u"/t" ? 01777 : 0777) == 0);
            else
                QVERIFY(QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("root"), folder.file(place)}) == 0);
        }
        int lock = -1;
        if (root == QLatin1String("running")) {  // root's copy holds the program folder's lock
            lock = ::open(QFile::encodeName(folder.file(QStringLiteral(".nemunoki2.lock"))).constData(), O_RDWR | O_CREAT, 0644);
            QVERIFY(lock >= 0);
            QCOMPARE(::flock(lock, LOCK_EX | LOCK_NB), 0);
        }
        const auto unlock = qScopeGuard([lock] {
            if (lock >= 0)
                ::close(lock);
        });
        if (root == QLatin1String("ran")) {
            QVERIFY(QDir(folder.file(QStringLiteral("TEMP"))).removeRecursively());
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            ui->answerMsgBox(vbYes);
            platform::Instance<frmMDB>::get().cmdAdd_Click();
            QVERIFY(platform::Instance<frmMDB>::get().unload() && platform::Instance<frmMain>::get().unload());
            QCOMPARE(ui->count(), 1);
            closeStart();
            for (const char* name : {"Init.ini", "MDB/master.mdb", "MDB/New_2.mdb", "TEMP"})
                QVERIFY2(QFileInfo(folder.file(QString::fromLatin1(name))).ownerId() == testsupport::Nobody, name);
        }
        expected.replace(QStringLiteral("%1"), folder.path());
        const QString advice = QStringLiteral(
            "ねむのきⅡは、設定（Init.ini）、サンプルデータベース（MDB）と作業フォルダ（TEMP）をプログラムのフォルダに置いて書き込みます。\r\n"
            "プログラムのフォルダを自分のフォルダ（ホームフォルダなど）に複写してそこから起動するか、");
        const int result = testsupport::asUser(testsupport::Nobody, [&] {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            const bool told = expected.isEmpty() ? ui->count() == 0
                                                 : ui->count() == 1 && ui->last().title == QStringLiteral("インストールエラー")
                    && ui->last().style == vbCritical + vbOKOnly && ui->last().prompt.startsWith(expected + advice);
            for (const auto& box : ui->boxes) {
                if (!told)
                    qWarning("box %s: %s", qPrintable(box.title), qPrintable(box.prompt));
            }
            if (!told || platform::Instance<frmMain>::exists() != expected.isEmpty())
                return !told ? 1 : 2;
            if (!expected.isEmpty())
                return 0;
            // The quit keeps the settings without a word.
            GE_strPict_Folda = QStringLiteral("/地図");
            platform::Instance<frmMain>::get().unload();
            for (const auto& box : ui->boxes)
                qWarning("box at the quit %s: %s", qPrintable(box.title), qPrintable(box.prompt));
            return ui->count() == 0 && platform::ini::read(folder.file(QStringLiteral("Init.ini")), QStringLiteral("フォルダPath"),
                                                           QStringLiteral("Pict_Folda")) == GE_strPict_Folda ? 0 : 3;
        });
        QCOMPARE(result, 0);
    }

    // A work folder the office shares (TEMP as its first run makes it): a
    // colleague's link at the name a picture's thumbnail gets (anyone can
    // work it out) leads nowhere, nor does his folder at the name of the
    // user's own; nothing the user's run keeps there opens for the
    // colleague, and the colleague's next run starts.
    void sharedWorkFolderKeepsEachUsersCaches()
    {
        constexpr unsigned office = 4242, user = 4241, colleague = 4243;
        testsupport::ProgramFolder folder;
        QTemporaryDir home;  // the user's
        const QString temp = folder.file(u"TEMP"_s), picture = folder.file(u"maps/photo.jpg"_s), target = home.filePath(u".bash_profile"_s);
        QVERIFY(QDir().mkpath(folder.file(u"maps"_s)));
        for (const QString& name : {picture, folder.file(u"maps/other.jpg"_s)}) {
            QFile photo(name);
            QVERIFY(photo.open(QIODevice::WriteOnly) && photo.write(exifsamples::jpeg({exifsamples::exifSegment({})})) > 0);
        }
        shareWithOffice(folder.path(), office);
        QVERIFY(::chown(QFile::encodeName(home.path()).constData(), user, user) == 0);
        const auto start = [&] {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            return ui->count() == 0 && GE_booDbOpen;
        };
        QCOMPARE(testsupport::asColleague(colleague, {office}, [&] {
            const bool started = start();
            GE_strTempPath = temp;  // and a folder of his at the name of the user's own
            return started && QFile::link(target, frmThumbnail::thumbnailCachePath(picture))
                    && QDir(temp).mkdir(u".nemunoki2-%1"_s.arg(user)) ? 0 : 1;
        }), 0);
        QCOMPARE(testsupport::asColleague(user, {office}, [&] {
            const bool started = start();
            GE_strFolder = folder.file(u"maps"_s);
            frmThumbnail& browser = platform::Instance<frmThumbnail>::get();
            browser.showForm(platform::vbModeless);
            browser.activateWindow();  // the cells fill as it comes to the front
            return started && QTest::qWaitForWindowActive(&browser) && browser.imgPictureS.size() == 2 ? 0 : 1;
        }), 0);
        QVERIFY(!QFileInfo::exists(target));
        QStringList kept;  // the thumbnails
        for (QDirIterator it(temp, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            if (QFileInfo(it.next()).ownerId() == user)
                kept << it.filePath();
        QVERIFY(!kept.isEmpty());
        QCOMPARE(testsupport::asColleague(colleague, {office}, [&] {
            const auto opens = [](const QString& file) { return QFile(file).open(QIODevice::ReadOnly); };
            return std::none_of(kept.begin(), kept.end(), opens) && start() ? 0 : 1;
        }), 0);
    }

    // Another user's link at a name the program keeps in its folder (a
    // colleague's in a folder the user owns, the folder owner's where root
    // runs it) leads nowhere, whatever the link's target: the settings, the
    // sample databases, the work folder or the lock end the start with a
    // box naming it; a mark is neither written nor read. The user's own
    // link works.
    void anotherUsersLinkInTheProgramFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("root");   // root runs the folder of the user nobody
        QTest::addColumn<bool>("own");    // the link is the runner's own
        QTest::addColumn<QString>("title");  // the box's, "" the start goes on without one
        const QString install = QStringLiteral("インストールエラー");
        QTest::newRow("TEMP, a colleague's") << "TEMP" << false << false << install;
        QTest::newRow("MDB, a colleague's") << "MDB" << false << false << install;
        QTest::newRow("Init.ini, the owner's, root's run") << "Init.ini" << true << false << install;
        QTest::newRow("lock, the owner's, root's run") << ".nemunoki2.lock" << true << false << u"起動時エラー"_s;
        // Copied from to make the missing sample database, and given to the owner.
        QTest::newRow("template, the owner's, root's run") << "template/master.mdb" << true << false << install;
        QTest::newRow("ending mark, a colleague's") << ".nemunoki2.ending" << false << false << QString();
        QTest::newRow("lost saves note, a colleague's") << "lostsaves.txt" << false << false << QString();
        QTest::newRow("TEMP, the user's own") << "TEMP" << false << true << QString();
        // Judged where the quit writes it: the link's end, in a folder the user may not write.
        QTest::newRow("Init.ini, the user's own, to a file he may not write") << "Init.ini" << false << true << install;
    }
    void anotherUsersLinkInTheProgramFolder()
    {
        QFETCH(QString, name);
        QFETCH(bool, root);
        QFETCH(bool, own);
        QFETCH(QString, title);
        constexpr unsigned user = 4241, colleague = 4243;
        const unsigned runner = root ? 0 : user;
        testsupport::ProgramFolder folder;
        QTemporaryDir home;  // the runner's, closed to others
        const QString link = folder.file(name), target = home.filePath(QFileInfo(name).fileName());
        const QString sample = folder.file(u"MDB/master.mdb"_s);
        const bool copied = name.startsWith(u"template/");
        QVERIFY(!QFileInfo::exists(sample));  // made at the start from the template
        QDir(link).removeRecursively();
        QFile::remove(link);
        QFile made(target);
        if (name == u"TEMP" || name == u"MDB")
            QVERIFY(QDir().mkpath(target));
        else if (!name.endsWith(u".lock"))  // a lock's target is a name root's folder lacks, such as /etc/nologin
            QVERIFY(made.open(QIODevice::WriteOnly) && made.write("keep") == 4 && made.flush());
        QVERIFY(QFile::link(target, link));
        for (const QString& path : {folder.path(), home.path()})
            QCOMPARE(QProcess::execute(u"chown"_s, {u"-R"_s, QString::number(path == home.path() ? runner : root ? testsupport::Nobody : user), path}), 0);
        const unsigned linkOwner = own ? runner : root ? testsupport::Nobody : colleague;
        QVERIFY(::lchown(QFile::encodeName(link).constData(), linkOwner, linkOwner) == 0);
        if (own && !title.isEmpty())
            QVERIFY(::chmod(QFile::encodeName(target).constData(), 0444) == 0 && ::chmod(QFile::encodeName(home.path()).constData(), 0555) == 0);
        const QString expected = own ? link + u"\r\nプログラムのフォルダの中のこれらに書き込めないため、ねむのきⅡを起動できません。\r\n"_s
            : copied                 ? sample + u"\r\nデータベースファイルを作成できませんでした。\r\n"_s + platform::foreignLinkText(link)
                                     : platform::foreignLinkText(link) + u"\r\nこのため、ねむのきⅡを起動できません。\r\n"_s;
        QCOMPARE(testsupport::asUser(runner, [&] {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            if (GE_booDbOpen)  // the display lost: the close marks its end
                mdlDB::subDbClose_Unattended();
            if (title.isEmpty())
                return ui->count() == 0 && platform::Instance<frmMain>::exists() ? 0 : 1;
            // Told, and the start ends there (after the missing database's box).
            return ui->count() == (copied ? 2 : 1) && ui->last().title == title && ui->last().prompt.startsWith(expected)
                    && !platform::Instance<frmMain>::exists() ? 0 : 2;
        }), 0);
        QVERIFY(QFileInfo(link).isSymLink());
        if (QFileInfo(target).isDir())  // the user's own work folder holds the user's caches' folder
            QCOMPARE(QDir(target).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), !own);
        else
            QCOMPARE(testsupport::fileBytes(target), name.endsWith(u".lock") ? QByteArray() : QByteArray("keep"));
        QVERIFY(!copied || !QFileInfo::exists(sample));
    }

    // One program folder serves one run at a time: a colleague's start
    // while another user's run holds it is told whose it is and what to do.
    void programFolderOpenByAnotherUser()
    {
        testsupport::ProgramFolder folder;
        QCOMPARE(QProcess::execute(u"chown"_s, {u"-R"_s, u"nobody"_s, folder.path()}), 0);
        const int lock = ::open(QFile::encodeName(folder.file(u".nemunoki2.lock"_s)).constData(), O_RDONLY | O_CREAT, 0644);
        QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0);
        const auto unlock = qScopeGuard([lock] { ::close(lock); });
        const QString expected = u"このアプリケーションはすでに開かれています。\r\nこのプログラムのフォルダ（%1）からは、ユーザー root のねむのきⅡが起動しています。\r\n"
                                 "プログラムのフォルダからは、同時に一人のユーザーしか起動できません。"
                                 "プログラムのフォルダを自分のフォルダ（ホームフォルダなど）に複写して、そこから起動してください。\r\n"_s.arg(folder.path());
        QCOMPARE(testsupport::asUser(testsupport::Nobody, [&] {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            return ui->count() == 1 && ui->last().prompt == expected && !platform::Instance<frmMain>::exists() ? 0 : 1;
        }), 0);
    }

    // Whoever may rename the program folder during a run (its owner, where
    // root runs it; a colleague, in an office's group folder) swaps it for
    // a link to a folder of the runner's that he can't write himself: the
    // run's writes (a database added, the quit's settings) still go to the
    // folder the start found, and nothing reaches the link's target.
    void programFolderRenamedDuringTheRun_data()
    {
        QTest::addColumn<bool>("root");  // root runs the user's; else the user runs the office's
        QTest::newRow("root's run, the owner renames") << true;
        QTest::newRow("the user's run, a colleague renames") << false;
    }
    void programFolderRenamedDuringTheRun()
    {
        QFETCH(bool, root);
        constexpr unsigned office = 4242, user = 4241, colleague = 4243;
        testsupport::ProgramFolder folder;
        QTemporaryDir parent, vault;  // the folder's parent; the runner's own, closed to others
        const QString p7 = parent.filePath(u"p7"_s), moved = parent.filePath(u"p7.real"_s);
        QVERIFY(QDir().rename(folder.path(), p7));
        platform::app::setPath(p7);
        QFile ini(vault.filePath(u"Init.ini"_s));
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("keep") == 4 && ini.flush());
        if (root)
            QCOMPARE(QProcess::execute(u"chown"_s, {u"-R"_s, QString::number(user), parent.path()}), 0);
        else
            shareWithOffice(parent.path(), office);
        QVERIFY(::chown(QFile::encodeName(vault.path()).constData(), root ? 0 : user, 0) == 0);
        int go[2], done[2];
        QVERIFY(::pipe(go) == 0 && ::pipe(done) == 0);
        std::fflush(nullptr);
        if (::fork() == 0) {  // the renamer, waiting for the run to be open
            ::close(go[1]);
            char c = 0;
            c = ::read(go[0], &c, 1) == 1 && testsupport::asColleague(root ? user : colleague, {office}, [&] {
                return ::rename(QFile::encodeName(p7).constData(), QFile::encodeName(moved).constData()) == 0
                        && QFile::link(vault.path(), p7) ? 0 : 1;
            }) == 0;
            ::_exit(::write(done[1], &c, 1) == 1 ? 0 : 1);
        }
        const int run = testsupport::asColleague(root ? 0 : user, {office}, [&] {
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            char renamed = 0;
            if (ui->count() != 0 || !GE_booDbOpen || ::write(go[1], "r", 1) != 1 || ::read(done[0], &renamed, 1) != 1 || !renamed)
                return 1;
            frmMDB& manager = platform::Instance<frmMDB>::get();
            ui->answerMsgBox(vbYes);
            manager.cmdAdd_Click();  // the copy of the template, and the engine opening it
            manager.fileList->setListIndex(1);
            manager.fileList_MouseDown(1, 0, 0, 0);
            ui->answerMsgBox(vbYes);
            manager.mnuUse_Click();
            const bool closed = manager.unload() && platform::Instance<frmMain>::get().unload();
            return closed && ui->count() == 2 && QFileInfo::exists(moved + u"/MDB/New_2.mdb"_s)
                    && platform::ini::read(moved + u"/Init.ini"_s, u"MDB"_s, u"File_Name"_s) == u"New_2.mdb"_s
                    && platform::ini::read(moved + u"/Init.ini"_s, u"フォルダPath"_s, u"DB_Folda_Path"_s).isEmpty() ? 0 : 2;
        });
        for (const int end : {go[0], go[1], done[0], done[1]})
            ::close(end);
        ::wait(nullptr);
        QCOMPARE(run, 0);
        QCOMPARE(QDir(vault.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{u"Init.ini"_s});
        QCOMPARE(testsupport::fileBytes(ini.fileName()), QByteArray("keep"));
    }

    // Without a font for Japanese every caption shows as empty boxes: the
    // start says so in letters any font has, naming the package to install,
    // and goes on; with the machine's fonts it says nothing. The font
    // configuration is read once a process, so the Latin one gets a run of
    // this test program of its own.
    void missingJapaneseFontIsTold_data()
    {
        QTest::addColumn<bool>("latinOnly");
        QTest::newRow("a Latin font only") << true;
        QTest::newRow("this machine's fonts") << false;
    }
    void missingJapaneseFontIsTold()
    {
        QFETCH(bool, latinOnly);
        if (latinOnly && !qEnvironmentVariableIsSet("NEMU_LATIN_FONTS")) {
            QTemporaryDir fonts;
            QFile config(fonts.filePath(QStringLiteral("fonts.conf")));
            QVERIFY(config.open(QIODevice::WriteOnly));
            config.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                         "<dir>/usr/share/fonts/truetype/dejavu</dir>\n<cachedir>" + QFile::encodeName(fonts.path())
                         + "/cache</cachedir>\n</fontconfig>\n");
            config.close();
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("FONTCONFIG_FILE"), config.fileName());
            env.insert(QStringLiteral("NEMU_LATIN_FONTS"), QStringLiteral("1"));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("missingJapaneseFontIsTold:") + QString::fromUtf8(QTest::currentDataTag())});
            QVERIFY(child.waitForFinished(100000));
            const QByteArray output = child.readAll();
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
            QVERIFY2(output.contains("Totals: 3 passed, 0 failed"), output.constData());
            return;
        }
        testsupport::ProgramFolder folder;
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QVERIFY(platform::Instance<frmMain>::exists());
        if (!latinOnly) {
            QCOMPARE(ui->count(), 0);
            return;
        }
        QVERIFY(ui->count() >= 1);
        const auto& box = ui->boxes[0];
        QCOMPARE(box.style, vbExclamation + vbOKOnly);
        QVERIFY2(box.prompt.contains(QStringLiteral("apt-get install fonts-noto-cjk")), qPrintable(box.prompt));
        for (const QChar c : box.title + box.prompt)
            QVERIFY2(c.unicode() < 0x80, qPrintable(box.prompt));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
