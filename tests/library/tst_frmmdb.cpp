// The database-file manager and the start window's web links: the commands
// on the files of the folder, the refusal of the file in use, compaction
// that keeps the only good copy, and the shared connection afterwards.

#include "app/frmMain.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "library/dlgBrowesForFolder.h"
#include "library/frmMDB.h"
#include "platform/application.h"
#include "platform/database.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "tests/support/testsupport.h"

#include <QAction>
#include <QFile>
#include <QtTest>

using namespace platform;
using namespace vb;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 countRows(const QString& path)
{
    db::Connection connection;
    connection.open(mdlDB::fncConnectionString(path));
    return connection.openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM tPrint")).field(QStringLiteral("n")).toInt32();
}

QString openPath() { return GE_booDbOpen && GE_objConnection ? files::canonicalPath(GE_objConnection->path()) : QString(); }

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

class TestFrmMdb : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::ProgramFolder> m_program;
    std::unique_ptr<QTemporaryDir> m_dir;
    EndHandler m_previousEnd;

    QString file(const QString& name) const { return m_dir->filePath(name); }
    QString db(const QString& name) { return testsupport::copyTemplate(file(name)); }

    frmMDB& manager() { return Instance<frmMDB>::get(); }
    QString firstFile() const { return files::canonicalPath(file(QStringLiteral("a.mdb"))); }

    // The row selected by the left button, as the commands take it.
    void select(const QString& name)
    {
        frmMDB& m = manager();
        m.fileList->Refresh();
        for (int i = 0; i < m.fileList->ListCount(); ++i) {
            if (m.fileList->List(i) == name)
                m.fileList->setListIndex(i);
        }
        QCOMPARE(m.fileList->Text(), name);
        m.fileList_MouseDown(1, 0, 0, 0);
    }

    void changeFolderToSame(ScriptedUserInterface& ui)
    {
        ModalScript script;
        script.push([](Form& form) { static_cast<dlgBrowesForFolder&>(form).OKButton->setValue(true); });
        ui.answerMsgBox(vbYes);
        manager().cmdSelect_Click();
        QVERIFY(script.allUsed());
    }

private slots:
    void init()
    {
        m_program = std::make_unique<testsupport::ProgramFolder>();
        m_dir = std::make_unique<QTemporaryDir>();
        m_previousEnd = setEndHandler([] { throw ImmediateEnd{}; });
        GE_strDB_Folda_Path = m_dir->path();
        GE_strFile_Name = QStringLiteral("a.mdb");
        GE_booDbUpdate = false;
        QVERIFY(mdlDB::fncDbOpen(db(QStringLiteral("a.mdb"))) == 0);
        QCOMPARE(mdlSQL::fncSQL_GetSystemTable(GE_tpSystem), qint16(0));
    }

    void cleanup()
    {
        {
            ScopedScriptedUi quiet;
            quiet->answerMsgBox(vbNo);
            if (Instance<frmMDB>::exists()) {
                manager().unload();
                Instance<frmMDB>::release();
            }
            if (GE_booDbOpen)
                mdlDB::fncDbClose();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setEndHandler(m_previousEnd);
        m_dir.reset();
        m_program.reset();
    }

    void fileInUseIsRefused()
    {
        ScopedScriptedUi ui;
        PopupScript popups;
        frmMDB& m = manager();
        QCOMPARE(m.stsBar->Panels(2).Text(), QStringLiteral("a.mdb"));
        m.fileList_MouseDown(2, 0, 0, 0);  // nothing selected: no popup
        QVERIFY(popups.shown.isEmpty());
        select(QStringLiteral("a.mdb"));
        popups.choose(*m.mnuUse);
        m.fileList_MouseDown(2, 0, 0, 0);
        QCOMPARE(popups.shown, QStringList{QStringLiteral("popMDB")});
        QCOMPARE(m.mnuDel->Caption(), QStringLiteral("a.mdb を削除する"));
        QCOMPARE(ui->last().title, QStringLiteral("a.mdb"));
        for (auto command : {&frmMDB::mnuCompact_Click, &frmMDB::popReNmae_Click, &frmMDB::mnuDel_Click})
            (m.*command)();
        // After a folder change the file the close falls back on keeps its name and its file.
        changeFolderToSame(ui.get());
        QVERIFY(!GE_booDbOpen);
        select(QStringLiteral("a.mdb"));
        m.popReNmae_Click();
        m.mnuDel_Click();
        QCOMPARE(ui->count(), 4 + 1 + 2);
        for (const auto& box : ui->boxes) {
            if (box.title != QStringLiteral("データベース・フォルダ変更"))
                QCOMPARE(box.prompt, QStringLiteral("現在このデータ・ベースを使用中です！"));
        }
        QVERIFY(QFile::exists(file(QStringLiteral("a.mdb"))));
        QVERIFY(ui->allAnswered());
    }

    void addAndRename()
    {
        db(QStringLiteral("New_3.mdb"));
        db(QStringLiteral("c.mdb"));
        ScopedScriptedUi ui;
        ui->answerMsgBox(vbYes);
        manager().cmdAdd_Click();  // a.mdb, c.mdb, New_3.mdb listed: New_4.mdb, not a second New_3.mdb
        QCOMPARE(ui->count(), 1);
        QCOMPARE(bytesOf(file(QStringLiteral("New_4.mdb"))), bytesOf(testsupport::templatePath()));
        for (const auto& [row, answer] : {std::pair{"New_4.mdb", "abc.mdb"}, std::pair{"c.mdb", "../x"}}) {
            select(QString::fromLatin1(row));
            ui->answerMsgBox(vbYes);
            ui->answerInput(QString::fromLatin1(answer));
            manager().popReNmae_Click();
            QCOMPARE(openPath(), firstFile());
        }
        QVERIFY(QFile::exists(file(QStringLiteral("abc.mdb.mdb"))) && QFile::exists(file(QStringLiteral("c.mdb"))));
        select(QStringLiteral("abc.mdb.mdb"));
        ui->answerMsgBox(vbYes);
        manager().mnuDel_Click();
        QVERIFY(!QFile::exists(file(QStringLiteral("abc.mdb.mdb"))));
        QCOMPARE(openPath(), firstFile());
        QCOMPARE(ui->boxes[5].prompt, QStringLiteral("入力された名前はファイル名に使用できません！"));
        QCOMPARE(ui->boxes[5].title, QStringLiteral("../x.mdb"));
        QVERIFY(ui->allAnswered());
    }

    void compactionReplacesTheFileByItsCopy()
    {
        const QString x = db(QStringLiteral("x.mdb"));
        {
            db::Connection c;
            c.open(mdlDB::fncConnectionString(x));
            c.beginTrans();
            for (int i = 0; i < 400; ++i)
                c.execute(QStringLiteral("INSERT INTO tPrint (strNo, strName) VALUES ('%1', '%2')")
                              .arg(i).arg(QString(200, QLatin1Char('n'))));
            c.execute(QStringLiteral("DELETE FROM tPrint WHERE Print_Id > 2"));
            c.commitTrans();
        }
        const qint64 rows = countRows(x);
        const qint64 before = QFileInfo(x).size();
        writeBytes(x + QStringLiteral(".Tmp"), "left over");

        ScopedScriptedUi ui;
        GE_booDbUpdate = true;  // the close asks first
        ui->answerMsgBox(vbYes);  // compact?
        ui->answerMsgBox(vbNo);   // save the open database?
        select(QStringLiteral("x.mdb"));
        manager().mnuCompact_Click();
        QCOMPARE(ui->boxes[1].title, QStringLiteral("図面更新"));
        QCOMPARE(ui->last().prompt, QStringLiteral("最適化が終了しました。「閉じる」前に、データベースを選択してください。"));
        QCOMPARE(ui->last().title, QStringLiteral("最適化"));
        QVERIFY(!QFile::exists(x + QStringLiteral(".Tmp")));
        QCOMPARE(countRows(x), rows);
        QVERIFY(QFileInfo(x).size() < before);
        // The copy keeps the file's password.
        const QString bare = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + x + QStringLiteral(";");
        QCOMPARE(testsupport::errorOf([&] { db::Connection().open(bare); }), long(db::errWrongPassword));
        QCOMPARE(openPath(), firstFile());
    }

    void compactionKeepsALeftoverBesideABadFile()
    {
        const QString y = file(QStringLiteral("y.mdb"));
        writeBytes(y, QByteArray("not a database").repeated(100));
        testsupport::copyTemplate(y + QStringLiteral(".Tmp"));
        const QByteArray badBytes = bytesOf(y), goodBytes = bytesOf(y + QStringLiteral(".Tmp"));

        ScopedScriptedUi ui;
        ui->answerMsgBox(vbYes);
        select(QStringLiteral("y.mdb"));
        manager().mnuCompact_Click();
        QCOMPARE(ui->count(), 2);
        QCOMPARE(ui->last().style, int(vbOKOnly));
        QCOMPARE(ui->last().title, app::title());
        QVERIFY(ui->last().prompt.contains(y));
        QCOMPARE(bytesOf(y), badBytes);
        QCOMPARE(bytesOf(y + QStringLiteral(".Tmp")), goodBytes);
        QCOMPARE(openPath(), firstFile());
    }

    void useAsksToSaveAndUpgradesAtOnce()
    {
        const QString b = db(QStringLiteral("b.mdb"));
        {
            db::Connection c;
            c.open(mdlDB::fncConnectionString(b));
            c.execute(QStringLiteral("ALTER TABLE tHatching DROP COLUMN iTilt"));
            c.execute(QStringLiteral("UPDATE tSystem SET System_Id = 200801"));
        }
        ScopedScriptedUi ui;
        GE_booDbUpdate = true;
        ui->answerMsgBox(vbYes);  // use?
        ui->answerMsgBox(vbNo);   // save?
        ui->answerMsgBox(vbYes);  // upgrade?
        select(QStringLiteral("b.mdb"));
        manager().mnuUse_Click();
        QCOMPARE(ui->boxes[1].title, QStringLiteral("図面更新"));
        QCOMPARE(ui->boxes[2].title, QStringLiteral("ＭＤＢ異常！"));
        QCOMPARE(GE_tpSystem.System_Id, qint32(200911));
        QCOMPARE(openPath(), files::canonicalPath(b));
        GE_objConnection->openRecordset(QStringLiteral("SELECT iTilt FROM tHatching")).close();
        QCOMPARE(manager().stsBar->Panels(2).Text(), QStringLiteral("b.mdb"));

        manager().cmdCloase_Click();
        QVERIFY(!Instance<frmMDB>::exists());
        QCOMPARE(GE_strFile_Name, QStringLiteral("b.mdb"));
        QCOMPARE(mdlFileAccess::fncGetIni(QStringLiteral("MDB"), QStringLiteral("File_Name"),
                                          mdlFileAccess::fncInitIniPath()),
                 QStringLiteral("b.mdb"));
        QVERIFY(ui->allAnswered());
    }

    void badFileGoesBackToTheFileUsedBefore()
    {
        writeBytes(file(QStringLiteral("bad.mdb")), QByteArray("garbage").repeated(300));
        ScopedScriptedUi ui;
        ui->answerMsgBox(vbYes);
        select(QStringLiteral("bad.mdb"));
        manager().mnuUse_Click();  // no end
        QCOMPARE(ui->count(), 3);
        QVERIFY(ui->boxes[1].title.startsWith(QStringLiteral("mdlDB:fncDbOpen()")));
        QCOMPARE(ui->last().prompt, QStringLiteral("ＭＤＢのコネクションを開くことが出来ませんでした！"));
        QCOMPARE(openPath(), firstFile());
        QCOMPARE(manager().stsBar->Panels(2).Text(), QStringLiteral("a.mdb"));
        QVERIFY(Instance<frmMDB>::exists());
    }

    void closeWithoutAFileReopensTheOneUsedBefore()
    {
        const QString ini = mdlFileAccess::fncInitIniPath();
        const QByteArray iniBefore = bytesOf(ini);
        ScopedScriptedUi ui;
        changeFolderToSame(ui.get());
        QCOMPARE(manager().stsBar->Panels(2).Text(), QString());
        ui->answerMsgBox(vbNo);
        manager().cmdCloase_Click();
        QCOMPARE(ui->last().title, QStringLiteral("データベース未選択"));
        QCOMPARE(ui->last().style, vbYesNo + vbExclamation + vbDefaultButton2);
        QVERIFY(!Instance<frmMDB>::exists());
        QCOMPARE(openPath(), firstFile());
        QCOMPARE(GE_strFile_Name, QStringLiteral("a.mdb"));
        QCOMPARE(bytesOf(ini), iniBefore);
    }

    void startWindowCommands()
    {
        ScopedScriptedUi ui;
        app::setHelpFile(m_program->file(QStringLiteral("help.html")));
        frmMain start;
        ModalScript script;
        script.push([](Form& form) { static_cast<frmMDB&>(form).cmdCloase->setValue(true); });
        start.cmdMenu_Click(2);
        QCOMPARE(script.shown, QStringList{QStringLiteral("frmMDB")});
        QVERIFY(script.allUsed());
        QCOMPARE(start.mnuMn_Hp->text(), QStringLiteral("ミナモ・ラボ　配布サイトＨＰ"));
        start.mnuMnInfo_Click();
        start.mnuMn_Hp_Click();
        QCOMPARE(ui->count(QStringLiteral("Url")), 2);
        QCOMPARE(ui->boxes[0].prompt, QUrl::fromLocalFile(app::helpFile()).toString() + QStringLiteral("#works"));
        QCOMPARE(ui->boxes[1].prompt, QUrl::fromLocalFile(app::helpFile()).toString() + QStringLiteral("#home"));
        ui->answerUrl(false);
        start.mnuMn_Hp_Click();
        QCOMPARE(ui->last().prompt, QStringLiteral("ブラウザを起動できませんでした。\r\n") + ui->boxes[1].prompt);
        QCOMPARE(ui->last().title, QStringLiteral("ミナモ・ラボ　配布サイトＨＰ"));
        // The help page holds both sections.
        const QByteArray page = bytesOf(testsupport::sourceDir() + QStringLiteral("/resources/help.html"));
        QVERIFY(page.contains("id=\"works\"") && page.contains("id=\"home\""));
    }
};

QTEST_MAIN(TestFrmMdb)
#include "tst_frmmdb.moc"
