// The start window: opening the database, the upgrade question, the close
// actions, the version window, the guard while a drawing is open, and the
// ends from outside (signals, the display going away) in a child process.

#include "app/frmMain.h"
#include "app/frmVerInfo.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "app/mdlSub.h"
#include "db/mdlDB.h"
#include "db/sqltext.h"
#include "editor/frmEdit.h"
#include "library/frmNew.h"
#include "platform/application.h"
#include "platform/database.h"
#include "platform/events.h"
#include "platform/printscheduler.h"
#include "platform/ui.h"
#include "tests/editor/editorfixture.h"
#include "tests/support/sessionmanager.h"
#include "tests/support/testsupport.h"

#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using namespace vb;

namespace {

// The label's whole text, as its font lays it out, lies inside the label.
bool showsWhole(const QLabel* label)
{
    const QRect inside = label->contentsRect();
    return inside.contains(label->fontMetrics().boundingRect(inside, int(label->alignment()), label->text()));
}

// Stands for the editor window: the start window only knows it by name.
class FakeEditor : public platform::Form {
public:
    FakeEditor() : platform::Form(QStringLiteral("frmEdit")) {}
    bool refuse = false;
    int asked = 0;

protected:
    void Form_Unload(int& cancel) override
    {
        ++asked;
        cancel = refuse ? 1 : 0;
    }
};

// Answers as scripted, first doing what the test wants done while a
// retry box is up.
class ActingUi : public platform::ScriptedUserInterface {
public:
    std::function<void()> whileRetryShown;
    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        if ((style & 7) == vbRetryCancel && whileRetryShown)
            whileRetryShown();
        return ScriptedUserInterface::messageBox(prompt, style, title);
    }
};

QString connectionString(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=") + path
        + QStringLiteral(";User ID=Admin; Jet OLEDB:Database Password=quillmoss;");
}

qint32 storedVersion(const QString& path)
{
    platform::db::Connection connection;
    connection.open(connectionString(path));
    platform::db::Recordset rs = connection.openRecordset(QStringLiteral("SELECT * FROM tSystem ORDER BY System_Id"));
    return rs.field(QStringLiteral("System_Id")).toInt32();
}

// The box a command of the child below shows, held open until answered.
const QString kHeldBox = QStringLiteral("操作中のメッセージ");

// Answers the boxes as scripted, but the held box: a real one, open until a
// line comes on the standard input, and recorded once answered.
class HostUi : public platform::ScriptedUserInterface {
public:
    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        if (prompt != kHeldBox)
            return ScriptedUserInterface::messageBox(prompt, style, title);
        QTextStream(stdout) << "ready" << Qt::endl;
        const int answer = m_real.messageBox(prompt, style, title);
        boxes.append({QStringLiteral("MsgBox"), prompt, style, title});
        return answer;
    }

private:
    platform::QtUserInterface m_real;
};

// Run as a child by endFromOutside (NEMU_QUIT_HOST names the program
// folder): the program started there through its own start, with its boxes
// answered from NEMU_QUIT_ANSWERS, a drawing stored in this run and open in
// the editor with changed objects, until something from outside ends it;
// with NEMU_QUIT_BOX a command's box is open meanwhile, and NEMU_QUIT_WAIT
// sets how long (ms) the unattended close waits for a lock. Prints "ready",
// then the first line of each box asked.
int runQuitHost(int argc, char** argv)
{
    QApplication application(argc, argv);
    platform::app::setPath(qEnvironmentVariable("NEMU_QUIT_HOST"));
    HostUi ui;
    for (const QString& answer : qEnvironmentVariable("NEMU_QUIT_ANSWERS").split(u',', Qt::SkipEmptyParts))
        ui.answerMsgBox(answer.toInt());
    editortest::Fixture fixture;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [] {
        char bytes[64];
        if (::read(STDIN_FILENO, bytes, sizeof bytes) <= 0)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->buttons().constFirst()->click();
    });
    // The first thing the program's event loop runs: the user's work.
    QTimer::singleShot(0, &application, [&] {
        // A slow print server's wait shows itself from the start.
        if (platform::printscheduler::newWaitNote())
            QTextStream(stdout) << "print wait shown" << Qt::endl;
        platform::setUi(&ui);
        if (qEnvironmentVariableIsSet("NEMU_QUIT_WAIT"))
            mdlDB::subSet_UnattendedWait(std::chrono::milliseconds(qEnvironmentVariableIntValue("NEMU_QUIT_WAIT")));
        const QString folder = platform::app::path();
        editortest::writePicture(folder, QStringLiteral("map.bmp"), QSize(64, 48));
        if (fixture.storeDrawing(QStringLiteral("Q-1"), folder, QStringLiteral("map.bmp")) < 1) {
            QCoreApplication::exit(3);
            return;
        }
        frmEdit& editor = editortest::Fixture::open();
        editor.showForm(platform::vbModeless);
        editor.booDrawChange = true;
        if (qEnvironmentVariableIsSet("NEMU_QUIT_BOX"))
            platform::dispatch(QStringLiteral("frmEdit.test"), [] { MsgBox(kHeldBox); });
        else
            QTextStream(stdout) << "ready" << Qt::endl;
    });
    const int result = mdlSub::run(application);
    QTextStream out(stdout);
    for (const auto& box : ui.boxes)
        out << box.prompt.section(QStringLiteral("\r\n"), 0, 0) << Qt::endl;
    return result;
}

}  // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::ProgramFolder> m_folder;
    platform::EndHandler m_previousEnd;

    QString dbPath() const { return m_folder->file(QStringLiteral("MDB/master.mdb")); }

    // A database of the previous schema: no tHatching.iTilt, version 200810.
    void makeOldDatabase()
    {
        testsupport::copyTemplate(dbPath());
        platform::db::Connection connection;
        connection.open(connectionString(dbPath()));
        connection.execute(QStringLiteral("ALTER TABLE tHatching DROP COLUMN iTilt"));
        connection.execute(QStringLiteral("UPDATE tSystem SET System_Id = 200810"));
        connection.close();
    }

    bool startInterceptingEnd(platform::ScriptedUserInterface& ui)
    {
        Q_UNUSED(ui);
        try {
            mdlSub::Main();
        } catch (const platform::ImmediateEnd&) {
            return true;
        }
        return false;
    }

    void dropStart()
    {
        platform::Instance<frmMain>::release();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<testsupport::ProgramFolder>();
        GE_strDB_Folda_Path.clear();
        GE_strFile_Name.clear();
        GE_strPict_Drive.clear();
        GE_strPict_Folda.clear();
        GE_booDbUpdate = false;
        m_previousEnd = platform::setEndHandler([] { throw platform::ImmediateEnd{}; });
    }

    void cleanup()
    {
        if (auto* start = platform::Instance<frmMain>::pointer()) {
            platform::ScopedScriptedUi quiet;
            quiet->answerMsgBox(vbNo);
            if (!start->unload())
                dropStart();
        }
        dropStart();
        if (GE_booDbOpen && GE_objConnection && GE_objConnection->isOpen()) {
            platform::ScopedScriptedUi quiet;
            quiet->answerMsgBox(vbNo);
            mdlDB::fncDbClose();
        }
        GE_booDbOpen = false;
        platform::setEndHandler(m_previousEnd);
        platform::app::releaseInstanceLock();
        m_folder.reset();
    }

    void captionButtonsAndMenus()
    {
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        frmMain& start = platform::Instance<frmMain>::get();
        QCOMPARE(start.caption(), QStringLiteral("ねむのきⅡ Ver %1.%2.%3")
                                      .arg(platform::app::major())
                                      .arg(platform::app::minor())
                                      .arg(platform::app::revision()));
        QCOMPARE(start.cmdMenu.size(), 4);
        QCOMPARE(start.cmdMenu[3]->text(), QStringLiteral("終了"));
        QCOMPARE(start.cmdMenu[1]->geometry(), QRect(56, 48, 169, 33));
        QCOMPARE(start.mnuEnd->text(), QStringLiteral("ねむのきⅡの終了(&X)"));
        QVERIFY(GE_lngWorkArea[3] > 0);
        QCOMPARE(GE_lngWorkArea[3] % 15, 0);
        QCOMPARE(ui->count(), 0);
    }

    void vanishedDatabaseEndsAtOnce()
    {
        platform::ScopedScriptedUi ui;
        // Init.ini names a file the start-up made sure of; it goes before the window loads.
        QVERIFY(QFile::copy(testsupport::templatePath(), dbPath()));
        GE_strDB_Folda_Path = m_folder->file(QStringLiteral("MDB"));
        GE_strFile_Name = QStringLiteral("master.mdb");
        QFile::remove(dbPath());
        QVERIFY_THROWS_EXCEPTION(platform::ImmediateEnd, platform::Instance<frmMain>::get());
        QCOMPARE(ui->last().prompt, dbPath() + QStringLiteral("\r\nＭＤＢが存在しません！\r\nInit.ini ;データベース・フォルダ を確認してください。\r\n"));
        QCOMPARE(ui->last().title, QStringLiteral("ＭＤＢ異常！"));
        QCOMPARE(ui->last().style, vbInformation + vbOKOnly);
    }

    void unopenableDatabaseEndsAtOnce_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a database") << QByteArray("just some text, not a database file at all")
                                        << QStringLiteral("ＭＤＢのコネクションを開くことが出来ませんでした！");
    }

    void unopenableDatabaseEndsAtOnce()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFile file(dbPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content.repeated(200));
        file.close();
        platform::ScopedScriptedUi ui;
        QVERIFY(startInterceptingEnd(ui.get()));
        QCOMPARE(ui->count(), 2);
        QVERIFY(ui->boxes[0].title.startsWith(QStringLiteral("mdlDB:fncDbOpen() db コネクション error() err.number = ")));
        QCOMPARE(ui->last().prompt, message);
        QCOMPARE(ui->last().title, QStringLiteral("ＭＤＢ異常！"));
    }

    void databaseWithoutSystemRowEndsAtOnce()
    {
        testsupport::copyTemplate(dbPath());
        {
            platform::db::Connection connection;
            connection.open(connectionString(dbPath()));
            connection.execute(QStringLiteral("DELETE FROM tSystem"));
        }
        platform::ScopedScriptedUi ui;
        QVERIFY(startInterceptingEnd(ui.get()));
        QCOMPARE(ui->last().prompt, QStringLiteral("ＭＤＢのシステム情報がありません！"));
    }

    void upgradeAnsweredYesIsKeptWhenSaved()
    {
        makeOldDatabase();
        platform::ScopedScriptedUi ui;
        ui->answerMsgBox(vbYes);
        mdlSub::Main();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->boxes[0].style, vbYesNoCancel + vbExclamation + vbDefaultButton3);
        QCOMPARE(ui->boxes[0].title, QStringLiteral("ＭＤＢ異常！"));
        QVERIFY(ui->boxes[0].prompt.startsWith(QStringLiteral("ＭＤＢのシステム情報が古いバージョンです！\r\nアップデートしますか？\r\n")));
        QVERIFY(ui->boxes[0].prompt.endsWith(QStringLiteral("\r\n\r\n｢はい｣　　　 :アップデートを実施してプログラムを開始します。\r\n｢いいえ｣　　 ：アップデートせずにプログラムを開始します。\r\n　　　　　　　 ※ハッチングパターンで斜線の傾斜角が変更できません。\r\n｢キャンセル」：アプリケーションを終了します。\r\n")));
        QCOMPARE(GE_tpSystem.System_Id, 200911);
        QVERIFY(GE_booDbUpdate);
        ui->answerMsgBox(vbYes);
        QVERIFY(platform::Instance<frmMain>::get().unload());
        QCOMPARE(ui->last().prompt, QStringLiteral("図面が更新されています。保存しますか？"));
        QCOMPARE(storedVersion(dbPath()), 200911);
    }

    void upgradeThrownAwayAsksAgain()
    {
        makeOldDatabase();
        platform::ScopedScriptedUi ui;
        ui->answerMsgBox(vbYes);
        mdlSub::Main();
        ui->answerMsgBox(vbNo);  // don't save at the close
        QVERIFY(platform::Instance<frmMain>::get().unload());
        dropStart();
        QCOMPARE(storedVersion(dbPath()), 200810);
    }

    void upgradeAnsweredNoStartsWithTheOldVersion()
    {
        makeOldDatabase();
        platform::ScopedScriptedUi ui;
        ui->answerMsgBox(vbNo);
        mdlSub::Main();
        QVERIFY(platform::Instance<frmMain>::exists());
        QCOMPARE(GE_tpSystem.System_Id, 200810);
        QVERIFY(!GE_booDbUpdate);
        QVERIFY(platform::Instance<frmMain>::get().unload());
        QCOMPARE(ui->count(), 1);  // nothing written, so no save question
    }

    void upgradeCancelledEndsWithoutTouchingAnything()
    {
        makeOldDatabase();
        const QString ini = m_folder->file(QStringLiteral("Init.ini"));
        const QByteArray iniBefore = testsupport::fileBytes(ini);
        platform::ScopedScriptedUi ui;
        ui->answerMsgBox(vbCancel);
        QVERIFY(startInterceptingEnd(ui.get()));
        GE_booDbOpen = false;
        QCOMPARE(testsupport::fileBytes(ini), iniBefore);
        QCOMPARE(storedVersion(dbPath()), 200810);
    }

    void closeWritesTheFoldersAndAsksOnlyAfterAWrite()
    {
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        GE_strPict_Folda = QStringLiteral("/home/user/地図");
        GE_strPict_Drive = QString();  // an empty value leaves its entry as it was
        GE_strDB_Folda_Path = QStringLiteral("/srv/図面");  // a folder the user chose is kept by its path
        const QString jpeg = GE_strTempPath + QStringLiteral("/THUMB.JPG"), bin = GE_strTempPath + QStringLiteral("/123456.bin");
        for (const QString& file : {jpeg, bin})
            QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        QVERIFY(platform::Instance<frmMain>::get().unload());
        QCOMPARE(ui->count(), 0);
        const QString ini = m_folder->file(QStringLiteral("Init.ini"));
        QCOMPARE(mdlFileAccess::fncGetIni(QStringLiteral("フォルダPath"), QStringLiteral("Pict_Folda"), ini),
                 QStringLiteral("/home/user/地図"));
        QCOMPARE(mdlFileAccess::fncGetIni(QStringLiteral("フォルダPath"), QStringLiteral("DB_Folda_Path"), ini),
                 QStringLiteral("/srv/図面"));
        QVERIFY(!QFile::exists(jpeg));
        QVERIFY(!QFile::exists(bin));
        QVERIFY(!GE_booDbOpen);
    }

    // Folders that cannot be written back are told once; the program still ends.
    void closeTellsAnUnwritableInitIni()
    {
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        GE_strPict_Folda = QStringLiteral("/home/user/地図");
        const QString ini = m_folder->file(QStringLiteral("Init.ini"));
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        {
            testsupport::ReadOnlyFolder locked(m_folder->path());
            QVERIFY(platform::Instance<frmMain>::get().unload());
        }
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("初期設定ファイル異常"));
        QVERIFY(ui->last().prompt.startsWith(QStringLiteral("初期設定ファイル\r\n") + ini));
        QVERIFY(!GE_booDbOpen);
    }

    // Another program reading the file holds up the commit at quit: after
    // the busy wait the user is asked. Retrying once the reader ended
    // commits and ends the program; going back keeps the start window, the
    // transaction and its rows, never committed.
    void failingCommitAtQuit_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("retry") << int(vbRetry);
        QTest::newRow("back to the program") << int(vbCancel);
    }
    void failingCommitAtQuit()
    {
        QFETCH(int, answer);
        ActingUi ui;
        platform::UserInterface* previousUi = &platform::ui();
        platform::setUi(&ui);
        bool quit = false;
        const platform::QuitHandler previousQuit = platform::setQuitHandler([&quit] { quit = true; });
        const auto restore = qScopeGuard([&] {
            platform::setUi(previousUi);
            platform::setQuitHandler(previousQuit);
        });
        mdlSub::Main();
        frmMain& start = platform::Instance<frmMain>::get();
        QVERIFY(sqltext::change(QStringLiteral("test"), QStringLiteral("INSERT INTO tPrint (strNo) VALUES ('Q-1')")));
        platform::db::Connection reader;
        reader.open(connectionString(dbPath()));
        reader.beginTrans();
        const QString count = QStringLiteral("SELECT COUNT(*) AS n FROM tPrint");
        QCOMPARE(reader.openRecordset(count)[QStringLiteral("n")].toInt32(), 0);
        ui.whileRetryShown = [&reader] { reader.rollbackTrans(); };
        ui.answerMsgBox(vbYes);
        ui.answerMsgBox(answer);
        const QString file = GE_objConnection->path();
        QCOMPARE(start.unload(), answer == vbRetry);
        QCOMPARE(ui.last().style, vbRetryCancel + vbExclamation);
        // Whom to ask: the other copy of the program that reads the file.
        QCOMPARE(ui.last().prompt,
                 QStringLiteral("図面の変更をデータベースファイルに保存できませんでした。\r\n"
                                "データベースファイル %1 は、ほかのプログラムが使用中です。（database is locked）\r\n\r\n"
                                "このデータベースファイルを、ほかのねむのきⅡ（別のパソコンや別のユーザーのもの）が使っています。"
                                "そのねむのきⅡを終了してもらってから、｢再試行｣を押してください。\r\n\r\n"
                                "｢再試行｣　　：もう一度保存します。\r\n"
                                "｢キャンセル｣：変更を残したまま、プログラムに戻ります。")
                     .arg(file));
        QCOMPARE(quit, answer == vbRetry);
        if (answer == vbCancel) {
            QVERIFY(start.isVisible() && GE_booDbOpen && GE_objConnection->inTransaction());
            QCOMPARE(GE_objConnection->openRecordset(count)[QStringLiteral("n")].toInt32(), 1);
            ui.answerMsgBox(vbNo);  // thrown away now: it was never committed
            QVERIFY(start.unload() && quit);
        }
        QCOMPARE(reader.openRecordset(count)[QStringLiteral("n")].toInt32(), answer == vbRetry ? 1 : 0);
    }

    void versionWindow()
    {
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        platform::ModalScript script;
        QString caption, title, version;
        bool pictureCovers = false, wholeTexts = false;
        script.push([&](platform::Form& form) {
            auto& info = static_cast<frmVerInfo&>(form);
            caption = info.caption();
            title = info.lblCaption->text();
            version = info.lblVerNo->text();
            wholeTexts = showsWhole(info.lblCaption) && showsWhole(info.lblVerNo) && showsWhole(info.Label1);
            pictureCovers = info.imgPicture->isVisibleTo(&info)
                && info.imgPicture->geometry() == info.centralWidget()->rect();
            info.unload();
        });
        platform::Instance<frmMain>::get().mnuVerInfo_Click();
        QVERIFY2(script.allUsed(), qPrintable(script.unexpected.join(QLatin1Char(','))));
        QCOMPARE(caption, QStringLiteral("バージョン情報"));
        QCOMPARE(title, QStringLiteral("ねむのきⅡ"));
        QCOMPARE(version, QStringLiteral("Ver %1.%2.%3\r\n").arg(platform::app::major()).arg(platform::app::minor()).arg(platform::app::revision()));
        QVERIFY(pictureCovers && wholeTexts);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!platform::Instance<frmVerInfo>::exists());
    }

    void newDrawingOpensTheEditorWithItsHint()
    {
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        platform::ModalScript script;
        QString suggested;
        script.push([&](platform::Form& form) {
            auto& dialog = static_cast<frmNew&>(form);
            suggested = dialog.txtNo->Text();
            dialog.cmdOK->button()->click();
        });
        platform::Instance<frmMain>::get().cmdMenu_Click(0);
        QVERIFY2(script.allUsed(), qPrintable(script.unexpected.join(u',')));
        QCOMPARE(suggested.size(), 9);  // "mmdd-hhnn"
        QCOMPARE(GE_tpPrint.Print_Id, 0);
        QVERIFY(platform::Instance<frmEdit>::exists());
        frmEdit& editor = platform::Instance<frmEdit>::get();
        QCOMPARE(editor.stsTip->Panels(1).Text(), QStringLiteral("メニュー「ﾌｧｲﾙ」→「画像の取込」を選択してください。"));
        QVERIFY(showsWhole(editor.stsTip->Panels(1).label()));
        QVERIFY(!platform::Instance<frmMain>::get().cmdMenu[0]->isEnabled());
        QVERIFY(platform::Instance<frmMain>::get().unload());  // closes the editor first, asking nothing
        QVERIFY(!platform::Instance<frmEdit>::exists());
    }

    void cancelledDialogsOpenNoEditor()
    {
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        platform::ModalScript script;
        script.push([](platform::Form& form) { static_cast<frmNew&>(form).cmdCancel->button()->click(); });
        script.push([](platform::Form& form) { form.unload(); });  // the drawing list closed by its close box
        platform::Instance<frmMain>::get().cmdMenu_Click(0);
        platform::Instance<frmMain>::get().cmdMenu_Click(1);
        QVERIFY2(script.allUsed(), qPrintable(script.unexpected.join(u',')));
        QCOMPARE(script.shown, (QStringList{QStringLiteral("frmNew"), QStringLiteral("dlgDB")}));
        QVERIFY(!platform::Instance<frmEdit>::exists());
    }

    // Each of the four buttons clicked: its window comes up (closed here
    // unused), and 終了 ends the program.
    void startButtons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("window");
        QTest::newRow("図面新規作成") << 0 << "frmNew";
        QTest::newRow("図面を開く") << 1 << "dlgDB";
        QTest::newRow("データベースの管理") << 2 << "frmMDB";
        QTest::newRow("終了") << 3 << "";
    }
    void startButtons()
    {
        QFETCH(int, button);
        QFETCH(QString, window);
        platform::ScopedScriptedUi ui;
        bool quit = false;
        const platform::QuitHandler previousQuit = platform::setQuitHandler([&quit] { quit = true; });
        const auto restore = qScopeGuard([&] { platform::setQuitHandler(previousQuit); });
        mdlSub::Main();
        GE_tpPrint = typPrint{};
        frmMain& start = platform::Instance<frmMain>::get();
        platform::ModalScript script;
        if (!window.isEmpty())
            script.push([](platform::Form& form) { form.unload(); });
        QTest::mouseClick(start.cmdMenu[button], Qt::LeftButton);
        QCOMPARE(script.shown, window.isEmpty() ? QStringList() : QStringList{window});
        QCOMPARE(quit, window.isEmpty());
        QCOMPARE(start.isLoaded(), !window.isEmpty());
        QCOMPARE(GE_booDbOpen, !window.isEmpty());
        QVERIFY(!platform::Instance<frmEdit>::exists());
    }

    void openEditorDisablesCommandsAndClosesFirst()
    {
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        frmMain& start = platform::Instance<frmMain>::get();
        auto* editor = new FakeEditor;
        editor->load();
        QVERIFY(!start.cmdMenu[0]->isEnabled());
        QVERIFY(!start.cmdMenu[2]->isEnabled());
        QVERIFY(!start.mnuInPort->isEnabled());
        QVERIFY(start.cmdMenu[3]->isEnabled());

        editor->refuse = true;  // the user cancels the editor's own close question
        QVERIFY(!start.unload());
        QCOMPARE(editor->asked, 1);
        QVERIFY(GE_booDbOpen);

        editor->refuse = false;
        QVERIFY(start.unload());
        QCOMPARE(editor->asked, 2);
        QVERIFY(!editor->isLoaded());
        delete editor;
    }

    // SIGTERM (a logout), SIGHUP and SIGINT (Ctrl+C in its terminal) end
    // the program as 終了 does, with the editor's and the save questions,
    // answered here, and only once a box open meanwhile has been answered.
    // Once the display has gone nothing can be asked: the drawing saved in
    // the run is kept, the editor's unsaved objects (its printer row among
    // them) are not. Another copy of the program that holds the file (its
    // start window reads it) is waited for; where it holds on beyond the
    // wait, the save is lost but told, on the standard error and at the
    // next start. A desktop's log-out asks as 終了 does; where the user's
    // answers keep the program (the save could not be made while another
    // copy read), the desktop stays, and a later signal still asks and ends.
    void endFromOutside_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("during");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("drawingKept");
        QTest::addColumn<bool>("objectsKept");
        const QStringList both = {QStringLiteral("オブジェクトを上書きしますか？"),
                                  QStringLiteral("図面が更新されています。保存しますか？")};
        QTest::newRow("SIGTERM, both saved") << "TERM" << "" << "6,6" << both << true << true;
        QTest::newRow("SIGHUP, nothing saved") << "HUP" << "" << "7,7" << both << false << false;
        QTest::newRow("SIGINT, both saved") << "INT" << "" << "6,6" << both << true << true;
        QTest::newRow("SIGTERM while a box is open") << "TERM" << "box" << "6,6" << QStringList{kHeldBox} + both
                                                     << true << true;
        QTest::newRow("log-out cancelled, then SIGTERM")
            << "logout" << "read" << "6,6,2,6"
            << both + QStringList{QStringLiteral("図面の変更をデータベースファイルに保存できませんでした。"), both[1]} << true
            << true;
        QTest::newRow("display gone") << "display" << "" << "" << QStringList() << true << false;
        QTest::newRow("display gone, another copy reads a while")
            << "display" << "read" << "" << QStringList() << true << false;
        QTest::newRow("display gone, another copy reads on")
            << "display" << "read on" << "" << QStringList() << false << false;
    }
    void endFromOutside()
    {
        QFETCH(QString, how);
        QFETCH(QString, during);
        QFETCH(QString, answers);
        QFETCH(QStringList, asked);
        QFETCH(bool, drawingKept);
        QFETCH(bool, objectsKept);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NEMU_QUIT_HOST"), m_folder->path());
        env.insert(QStringLiteral("NEMU_QUIT_ANSWERS"), answers);
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        if (during == QLatin1String("box"))
            env.insert(QStringLiteral("NEMU_QUIT_BOX"), QStringLiteral("1"));
        if (during == QLatin1String("read on"))
            env.insert(QStringLiteral("NEMU_QUIT_WAIT"), QStringLiteral("2000"));
        QProcess display;
        const auto stopDisplay = qScopeGuard([&display] {
            display.kill();
            display.waitForFinished();
        });
        testsupport::SessionManager session;
        if (how == QLatin1String("logout")) {
            QVERIFY(!session.address().isEmpty());
            env.insert(QStringLiteral("SESSION_MANAGER"), QString::fromLatin1(session.address()));
        }
        if (how == QLatin1String("display") || how == QLatin1String("logout")) {
            const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
            if (xvfb.isEmpty())
                QSKIP("Xvfb is not installed");
            display.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                 QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                                 QStringLiteral("800x600x24")});
            QVERIFY(display.waitForReadyRead(30000));
            env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(display.readLine().trimmed()));
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        }
        QProcess host;
        host.setProcessEnvironment(env);
        host.start(QCoreApplication::applicationFilePath(), {});
        const auto forwardErrors = qScopeGuard([&host] { std::fputs(host.readAllStandardError().constData(), stderr); });
        QByteArray output;
        while (!output.contains("ready\n") && host.waitForReadyRead(60000))
            output += host.readAllStandardOutput();
        QVERIFY2(output.contains("ready\n"), output.constData());
        QVERIFY(output.contains("print wait shown\n"));
        // Another copy of the program with its start window open: a read in
        // its long transaction.
        platform::db::Connection other;
        if (during.startsWith(QLatin1String("read"))) {
            other.open(connectionString(dbPath()));
            other.beginTrans();
            other.openRecordset(QStringLiteral("SELECT * FROM tSystem"));
        }
        if (how == QLatin1String("display")) {
            display.terminate();
        } else if (how == QLatin1String("logout")) {
            session.logOut();
            QVERIFY(session.waitFor(QStringLiteral("save failed"), 1, std::chrono::seconds(60)));
            QCOMPARE(session.events(), (QStringList{"registered", "interact", "interact done, cancel", "save failed"}));
            other.close();  // the other copy is closed: the save can be made now
            ::kill(pid_t(host.processId()), SIGTERM);
        } else {
            ::kill(pid_t(host.processId()), how == QLatin1String("TERM") ? SIGTERM : how == QLatin1String("HUP") ? SIGHUP : SIGINT);
            if (during == QLatin1String("box")) {
                QThread::msleep(1000);  // the end waits for the box
                host.write("answer\n");
                QVERIFY(host.waitForBytesWritten(10000));
            }
        }
        if (during == QLatin1String("read") && how != QLatin1String("logout")) {
            // Longer than a single try waits for the lock.
            QThread::msleep(5000);
            QCOMPARE(host.state(), QProcess::Running);
            // A start from the same folder meanwhile finds no window, and is
            // told that the run is still ending and for how long at most.
            platform::app::releaseInstanceLock();
            platform::ScopedScriptedUi ui;
            mdlSub::Main();
            QVERIFY(!platform::Instance<frmMain>::exists());
            QCOMPARE(ui->count(), 1);
            QCOMPARE(ui->last().title, QStringLiteral("起動時エラー"));
            QVERIFY2(ui->last().prompt.contains(QRegularExpression(
                         QStringLiteral("^前回のねむのきⅡがまだ終了していません。\r\n.*\r\n終了まで最長で約 (5[0-9]|6[0-5]) 秒"))),
                     qPrintable(ui->last().prompt));
            other.close();
        }
        QVERIFY(host.waitForFinished(how == QLatin1String("logout") ? 30000 : 120000));
        other.close();
        output += host.readAllStandardOutput();
        const QString errors = QString::fromUtf8(host.readAllStandardError());
        std::fputs(errors.toUtf8().constData(), stderr);
        QCOMPARE(host.exitStatus(), QProcess::NormalExit);  // not killed by the signal
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral(".nemunoki2.ending"))));  // gone with the run
        const QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(lines.indexOf(QStringLiteral("ready")) + 1), asked);

        {
            platform::db::Connection stored;  // the file as the next start finds it
            stored.open(connectionString(dbPath()));
            const auto count = [&stored](const QString& table) {
                return stored.openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table)[QStringLiteral("n")].toInt32();
            };
            QCOMPARE(count(QStringLiteral("tPrint WHERE strNo = 'Q-1'")), drawingKept ? 1 : 0);
            QCOMPARE(count(QStringLiteral("tPrinter")), objectsKept ? 1 : 0);
        }

        // The next start tells of a lost save, once; of nothing else.
        const QString note = m_folder->file(QStringLiteral("lostsaves.txt"));
        const bool lost = during == QLatin1String("read on");
        QCOMPARE(QFile::exists(note), lost);
        // When the wait ended, not when the display went; the run's work is
        // gone from the program as well.
        const QString why = QStringLiteral(" に、データベースファイル %1 に変更を保存できないまま終了しました。\r\n"
                                           "データベースファイル %1 は、ほかのプログラムが使用中です。（database is locked）\r\n"
                                           "ほかのプログラム（別のパソコンのねむのきⅡなど）がこのファイルを使い終わるのを 2 秒待ちましたが、使い終わりませんでした。\r\n"
                                           "次の図面は、その実行で保存した内容がファイルに残っていません。"
                                           "その内容はプログラムにも残っていないため、もう一度作業し直してください。\r\n"
                                           "　管理番号 Q-1　試験図面")
                                .arg(dbPath());
        QCOMPARE(errors.contains(QString(why).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))), lost);
        platform::ScopedScriptedUi ui;
        mdlSub::Main();
        QVERIFY(platform::Instance<frmMain>::exists());
        QCOMPARE(ui->count(), lost ? 1 : 0);
        if (lost) {
            QCOMPARE(ui->last().title, QStringLiteral("保存できなかった図面"));
            QCOMPARE(ui->last().style, int(vbExclamation));
            QVERIFY2(ui->last().prompt.contains(why), qPrintable(ui->last().prompt));
            QVERIFY(ui->last().prompt.endsWith(QStringLiteral("試験図面")));
            QVERIFY(!QFile::exists(note));
        }
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("NEMU_QUIT_HOST"))
        return runQuitHost(argc, argv);
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    TestFrmMain test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_frmmain.moc"
