// The database-file manager and the start window's web links: the commands
// on the files of the folder, the refusal of the file in use, compaction
// that keeps the only good copy, and the shared connection afterwards.

#include "app/frmMain.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "db/sqltext.h"
#include "library/dlgBrowesForFolder.h"
#include "library/frmMDB.h"
#include "library/mdlMdbFile.h"
#include "platform/application.h"
#include "platform/database.h"
#include "platform/dbfilehold.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "tests/library/olddataset.h"
#include "tests/support/testsupport.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace platform;
using namespace vb;

namespace {

using testsupport::fileBytes;

// The drawings a connection sees in the file.
qint32 rowsOf(db::Connection& c)
{
    return c.openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM tPrint"))[QStringLiteral("n")].toInt32();
}

qint64 countRows(const QString& path)
{
    db::Connection connection;
    connection.open(mdlDB::fncConnectionString(path));
    return rowsOf(connection);
}

QString openPath() { return GE_booDbOpen && GE_objConnection ? files::canonicalPath(GE_objConnection->path()) : QString(); }

// The rows of tPrint and the engine's check of the file ("0 ok" for the
// template), or the failure that stops either.
QString stateOf(const QString& path)
{
    try {
        db::Connection c;
        c.open(mdlDB::fncConnectionString(path));
        return QString::number(rowsOf(c)) + QLatin1Char(' ')
            + c.openRecordset(QStringLiteral("PRAGMA integrity_check")).field(QStringLiteral("integrity_check")).toString();
    } catch (const vb::Error& error) {
        return error.description();
    }
}

void insertRows(db::Connection& c, int rows, QChar letter = u'o', int length = 200)
{
    for (int i = 0; i < rows; ++i)
        c.execute(QStringLiteral("INSERT INTO tPrint (strNo, strName) VALUES ('O-%1', '%2')").arg(i).arg(QString(length, letter)));
}

// Another program on a file, in a child process (the engine's locks belong
// to a process): it runs `first` and reports, then waits for finish() to
// run `second` (its save) and end.
class OtherProgram {
public:
    OtherProgram(const std::function<void()>& first, const std::function<void()>& second)
    {
        if (::pipe(m_ready) != 0 || ::pipe(m_go) != 0)
            return;
        std::fflush(nullptr);
        m_pid = ::fork();
        if (m_pid != 0)
            return;
        const auto ran = [](const std::function<void()>& part) {
            try {
                part();
                return char(1);
            } catch (...) {
                return char(0);
            }
        };
        char word = ran(first);
        if (::write(m_ready[1], &word, 1) == 1 && ::read(m_go[0], &word, 1) == 1)
            ::_exit(ran(second) ? 0 : 1);
        ::_exit(2);
    }
    ~OtherProgram()
    {
        kill();
        for (int fd : {m_ready[0], m_ready[1], m_go[0], m_go[1]})
            if (fd >= 0)
                ::close(fd);
    }
    // Whether `first` ran whole.
    bool ready()
    {
        char word = 0;
        return m_pid > 0 && ::read(m_ready[0], &word, 1) == 1 && word == 1;
    }
    // Whether `second` ran whole.
    bool finish()
    {
        const char word = 1;
        return ::write(m_go[1], &word, 1) == 1 && wait() == 0;
    }
    // Ends the program where it stands, as a crash would.
    void kill()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGKILL);
        wait();
    }

private:
    int wait()
    {
        int status = -1;
        if (m_pid > 0)
            ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t m_pid = -1;
    int m_ready[2] = {-1, -1};
    int m_go[2] = {-1, -1};
};

// A swap of the compacted copy `copy` for a link of `owner`'s to `other`
// (of the file at `over` for a file of `owner`'s, when `other` is empty),
// at the first open of the copy (as it is made): that open goes on with
// the file it found, later uses of the name find the link. Every open in
// the folder waits for the answer of this listener (fanotify), a process
// of its own (its descriptors of the folder's files must not be the
// program's: their close would drop the program's locks), so the swap
// falls exactly there.
struct SwapAtCheck {
    SwapAtCheck(const QString& folder, const QString& copy, const QString& other, uid_t owner, const QString& over)
    {
        const QByteArray link = QFile::encodeName(folder) + "/.swap", name = QFile::encodeName(copy);
        const QByteArray place = QFile::encodeName(folder), target = QFile::encodeName(over);
        int ready[2];
        if ((other.isEmpty() ? !olddata::write(folder + QStringLiteral("/.swap"), "theirs")
                             : ::symlink(QFile::encodeName(other).constData(), link.constData()) != 0)
            || ::lchown(link.constData(), owner, gid_t(-1)) != 0 || ::pipe(ready) != 0)
            return;
        listener = ::fork();
        if (listener == 0) {
            const int fd = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_LARGEFILE);
            if (fd < 0 || ::fanotify_mark(fd, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD, AT_FDCWD, place.constData()) != 0
                || ::write(ready[1], "r", 1) != 1)
                ::_exit(1);
            for (bool swapped = false;;) {
                alignas(fanotify_event_metadata) char buffer[4096];
                ssize_t got = ::read(fd, buffer, sizeof buffer);
                for (auto* e = reinterpret_cast<fanotify_event_metadata*>(buffer); FAN_EVENT_OK(e, got); e = FAN_EVENT_NEXT(e, got)) {
                    struct stat opened {}, named {};
                    if (!swapped && ::fstat(e->fd, &opened) == 0 && ::lstat(name.constData(), &named) == 0
                        && named.st_ino == opened.st_ino)
                        swapped = ::rename(link.constData(), target.constData()) == 0;
                    const fanotify_response allow{e->fd, FAN_ALLOW};
                    if (::write(fd, &allow, sizeof allow) != sizeof allow)
                        ::_exit(1);
                    ::close(e->fd);
                }
            }
        }
        char answer = 0;
        ::close(ready[1]);
        if (listener < 0 || ::read(ready[0], &answer, 1) != 1)
            listener = -1;
        ::close(ready[0]);
    }
    ~SwapAtCheck()
    {
        if (listener > 0 && ::kill(listener, SIGKILL) == 0)
            ::waitpid(listener, nullptr, 0);
    }
    pid_t listener = -1;
};

}  // namespace

class TestFrmMdb : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::ProgramFolder> m_program;
    std::unique_ptr<QTemporaryDir> m_dir;
    EndHandler m_previousEnd;

    QString file(const QString& name) const { return m_dir->filePath(name); }
    QString db(const QString& name) { return testsupport::copyTemplate(file(name)); }

    frmMDB& manager() { return Instance<frmMDB>::get(); }

    // The scratch folder as an office shares it: the office's group may
    // write it and passes its group on; the file in use is a user's.
    static constexpr unsigned Office = 4242, Team = 4244, Maker = 4241, Colleague = 4243, Outside = 4245;
    void shareFolder()
    {
        const QByteArray folder = QFile::encodeName(m_dir->path());
        QVERIFY(::chown(folder.constData(), 0, Office) == 0 && ::chmod(folder.constData(), 02775) == 0);
        QVERIFY(::chown(QFile::encodeName(file(QStringLiteral("a.mdb"))).constData(), Maker, Office) == 0);
    }
    static int writes(const QString& path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
        return fd >= 0 && ::close(fd) == 0 ? 0 : 1;
    }
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

    // A real click of `button` on the list: on the row of `name`, or below
    // the last row when `name` is empty; then the handler the press queued.
    void clickList(Qt::MouseButton button, const QString& name)
    {
        QListWidget* list = manager().fileList->listWidget();
        QPoint at(5, list->viewport()->height() - 5);
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text() == name)
                at = list->visualItemRect(list->item(i)).center();
        }
        QTest::mouseClick(list->viewport(), button, {}, at);
        QCoreApplication::processEvents();
    }

    // The folder change to `folder` (the folder listed when empty), or the
    // picker cancelled; the answers after the first question are queued by
    // the caller.
    void changeFolder(ScriptedUserInterface& ui, const QString& folder = QString(), bool queued = false,
                      bool cancel = false)
    {
        ModalScript script;
        script.push([folder, cancel](Form& form) {
            auto& picker = static_cast<dlgBrowesForFolder&>(form);
            if (!folder.isEmpty())
                picker.stsBar->Panels(1).setText(folder);
            (cancel ? picker.CancelButton : picker.OKButton)->setValue(true);
        });
        if (!queued)
            ui.answerMsgBox(vbYes);
        manager().cmdSelect_Click();
        QVERIFY(script.allUsed());
    }

    // `name` selected, the boxes' answers queued, then the command on it.
    void run(ScriptedUserInterface& ui, const QString& name, void (frmMDB::*command)(),
             std::initializer_list<int> answers = {vbYes})
    {
        select(name);
        for (int answer : answers)
            ui.answerMsgBox(answer);
        (manager().*command)();
    }

    // The names in the folder, sorted, without the journal that stands
    // beside the file in use while it is open.
    QStringList folderFiles() const
    {
        QStringList names = QDir(m_dir->path()).entryList(QDir::Files, QDir::Name);
        if (GE_objConnection)
            names.removeOne(QFileInfo(GE_objConnection->path()).fileName() + QStringLiteral("-journal"));
        return names;
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
        changeFolder(ui.get());
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
        // Another folder's file of the same name is not the one in use:
        // each command asks its question about it.
        QTemporaryDir other;
        testsupport::copyTemplate(other.filePath(QStringLiteral("a.mdb")));
        changeFolder(ui.get(), other.path());
        for (auto command : {&frmMDB::mnuUse_Click, &frmMDB::mnuCompact_Click, &frmMDB::popReNmae_Click, &frmMDB::mnuDel_Click}) {
            run(ui.get(), QStringLiteral("a.mdb"), command, {vbNo});
            QCOMPARE(ui->last().title, QStringLiteral("a.mdb"));
            QVERIFY2(ui->last().prompt.endsWith(QStringLiteral("しますか？"))
                         || ui->last().prompt.endsWith(QStringLiteral("出来ません！")),
                     qPrintable(ui->last().prompt));
        }
        QVERIFY(ui->allAnswered());
    }

    // The menu names and acts on the file right-clicked, not on the one
    // selected before; a right click below the rows leaves the selection.
    void rightClickActsOnTheFileClicked()
    {
        db(QStringLiteral("b.mdb"));
        ScopedScriptedUi ui;
        PopupScript popups;
        frmMDB& m = manager();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        clickList(Qt::LeftButton, QStringLiteral("a.mdb"));
        popups.choose(*m.mnuDel);
        clickList(Qt::RightButton, QString());
        QCOMPARE(m.mnuDel->Caption(), QStringLiteral("a.mdb を削除する"));
        QCOMPARE(ui->last().prompt + ui->last().title, QStringLiteral("現在このデータ・ベースを使用中です！a.mdb"));
        popups.choose(*m.mnuDel);
        ui->answerMsgBox(vbYes);
        clickList(Qt::RightButton, QStringLiteral("b.mdb"));
        QVERIFY(popups.allUsed() && ui->allAnswered());
        QCOMPARE(m.mnuUse->Caption() + m.mnuDel->Caption(), QStringLiteral("b.mdb を使用するb.mdb を削除する"));
        QCOMPARE(ui->last().prompt, file(QStringLiteral("b.mdb")) + QStringLiteral("\r\nこのデータ・ベースを削除しますか？\r\n"
                                                                                  "※削除後の取り消しは出来ません！"));
        QCOMPARE(ui->last().title, QStringLiteral("b.mdb"));
        QCOMPARE(folderFiles(), QStringList{QStringLiteral("a.mdb")});
        QCOMPARE(openPath(), firstFile());
    }

    void addAndRename()
    {
        db(QStringLiteral("New_3.mdb"));
        db(QStringLiteral("c.mdb"));
        // The journal of a New_4.mdb deleted by hand: no file gets its name.
        const QString orphan = file(QStringLiteral("New_4.mdb-journal"));
        QVERIFY(olddata::write(orphan, QByteArray(512, 'j')));
        ScopedScriptedUi ui;
        ui->answerMsgBox(vbYes);
        manager().cmdAdd_Click();  // a.mdb, c.mdb, New_3.mdb listed: New_5.mdb, not a second New_3.mdb
        QCOMPARE(ui->count(), 1);
        QCOMPARE(fileBytes(file(QStringLiteral("New_5.mdb"))), fileBytes(testsupport::templatePath()));
        // The row, the answer and the notice that refuses it ("" when renamed).
        struct Rename {
            const char* row;
            const char* answer;
            const char* refusal;
        };
        const QString badName = QStringLiteral("入力された名前はファイル名に使用できません！");
        const QString leftJournal = orphan + QStringLiteral("\r\n入力された名前のデータ・ベースのジャーナルファイルが残っています！");
        for (const Rename& r : {Rename{"New_5.mdb", "abc.mdb", ""}, Rename{"c.mdb", "../x", "bad"},
                                Rename{"c.mdb", ".x", "bad"}, Rename{"c.mdb", "abc.mdb", "入力されたデータ・ベースは既に存在します！"},
                                Rename{"c.mdb", "New_4", "journal"}}) {
            ui->answerInput(QString::fromLatin1(r.answer));
            run(ui.get(), QString::fromLatin1(r.row), &frmMDB::popReNmae_Click);
            QCOMPARE(openPath(), firstFile());
            const QString refusal = qstrcmp(r.refusal, "bad") == 0 ? badName
                : qstrcmp(r.refusal, "journal") == 0               ? leftJournal
                                                                   : QString::fromUtf8(r.refusal);
            if (!refusal.isEmpty()) {
                QCOMPARE(ui->last().prompt, refusal);
                QCOMPARE(ui->last().title, QString::fromLatin1(r.answer) + QStringLiteral(".mdb"));
            }
        }
        QCOMPARE(folderFiles(), (QStringList{QStringLiteral("New_3.mdb"), QStringLiteral("New_4.mdb-journal"),
                                             QStringLiteral("a.mdb"), QStringLiteral("abc.mdb.mdb"), QStringLiteral("c.mdb")}));
        run(ui.get(), QStringLiteral("abc.mdb.mdb"), &frmMDB::mnuDel_Click);
        QVERIFY(!QFile::exists(file(QStringLiteral("abc.mdb.mdb"))));
        QCOMPARE(openPath(), firstFile());
        QVERIFY(ui->allAnswered());
    }

    void compactionReplacesTheFileByItsCopy()
    {
        const QString x = db(QStringLiteral("x.mdb"));
        {
            db::Connection c;
            c.open(mdlDB::fncConnectionString(x));
            c.beginTrans();
            insertRows(c, 400, u'n');
            c.execute(QStringLiteral("DELETE FROM tPrint WHERE Print_Id > 2"));
            c.commitTrans();
        }
        const qint64 rows = countRows(x);
        const qint64 before = QFileInfo(x).size();
        QVERIFY(olddata::write(x + QStringLiteral(".Tmp"), "left over"));
        const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(x, readOnly));
        const QByteArray bytes = fileBytes(x);
        {
            // Read-only, it is refused as every writer refuses one, even for root.
            ScopedScriptedUi ui;
            run(ui.get(), QStringLiteral("x.mdb"), &frmMDB::mnuCompact_Click, {});
            run(ui.get(), QStringLiteral("x.mdb"), &frmMDB::mnuDel_Click, {});
            QCOMPARE(ui->count(), 2);
            for (const auto& box : ui->boxes)
                QCOMPARE(box.prompt, QStringLiteral("読み取り専用か書き込みが許可されていないため、") + x
                                         + QStringLiteral(" に書き込めませんでした。"));
            QCOMPARE(fileBytes(x), bytes);
        }
        const auto groupReads = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(x, groupReads));
        // A user's file, compacted by root.
        QVERIFY(::chown(QFile::encodeName(x).constData(), testsupport::Nobody, testsupport::Nobody) == 0);

        ScopedScriptedUi ui;
        GE_booDbUpdate = true;  // the close asks first
        run(ui.get(), QStringLiteral("x.mdb"), &frmMDB::mnuCompact_Click, {vbYes, vbNo});  // compact? save the open one?
        QCOMPARE(ui->boxes[1].title, QStringLiteral("図面更新"));
        QCOMPARE(ui->last().prompt, QStringLiteral("最適化が終了しました。「閉じる」前に、データベースを選択してください。"));
        QCOMPARE(ui->last().title, QStringLiteral("最適化"));
        QVERIFY(!QFile::exists(x + QStringLiteral(".Tmp")));
        QCOMPARE(countRows(x), rows);
        QVERIFY(QFileInfo(x).size() < before);
        const int ownerGroupOther = 0xF0FF;
        QCOMPARE(int(QFile::permissions(x)) & ownerGroupOther, int(groupReads));  // the file's permissions stay
        QCOMPARE(QFileInfo(x).ownerId(), uint(testsupport::Nobody));  // and its owner: the user goes on writing it
        // The copy keeps the file's password.
        const QString bare = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + x + QStringLiteral(";");
        QCOMPARE(testsupport::errorOf([&] { db::Connection().open(bare); }), long(db::errWrongPassword));
        QCOMPARE(openPath(), firstFile());
    }

    // An office's shared folder (group-writable, passing its group on) and
    // two colleagues of umask 002, neither root: a database one of them
    // adds gets the mode and group of any new file there, not the
    // template's, and the other colleague writes it.
    void sharedFolderFilesStayWritableForColleagues()
    {
        constexpr unsigned maker = 4241, colleague = 4243;
        // An installation everyone may read, its template as the build installs it.
        QVERIFY(QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a+rX"), m_program->path()}) == 0);
        QVERIFY(::chmod(QFile::encodeName(m_program->file(QStringLiteral("template/master.mdb"))).constData(), 0644) == 0);
        shareFolder();
        const QString added = file(QStringLiteral("New_2.mdb"));  // a.mdb listed
        QCOMPARE(testsupport::asColleague(maker, {Office}, [&] {
            ScopedScriptedUi ui;
            ui->answerMsgBox(vbYes);
            manager().cmdAdd_Click();
            return ui->count() == 1 && QFile::exists(added) ? 0 : 1;
        }), 0);
        struct stat made {};
        QVERIFY(::stat(QFile::encodeName(added).constData(), &made) == 0);
        QCOMPARE(made.st_uid, uid_t(maker));
        QCOMPARE(made.st_gid, gid_t(Office));
        QCOMPARE(made.st_mode & 07777, mode_t(0664));
        QCOMPARE(testsupport::asColleague(colleague, {Office}, [&] { return writes(added); }), 0);
    }

    // In the shared folder, a file of a team (a group other than the
    // folder's) with an access-list entry that lets a user outside the team
    // write it. The compacted file keeps its owner, group, mode and list,
    // whoever may compact it: its owner in its group, or root. Another
    // user, or the owner outside the group, is refused before the question
    // with the box that says why, and the file stays as it was; so is a
    // copy whose name another user swapped for a link to root's own file
    // before it was given the file's owner and mode: root's file is left
    // root's.
    void compactionKeepsWhoMayUseTheFile_data()
    {
        QTest::addColumn<unsigned>("who");
        QTest::addColumn<unsigned>("owner");
        QTest::addColumn<unsigned>("group");
        QTest::addColumn<QString>("swap");  // where a link put over the copy leads
        QTest::addColumn<QString>("told");  // after the file's name; none when compacted
        QTest::newRow("the owner, in its group") << Maker << Maker << Team << QString() << QString();
        QTest::newRow("root") << 0u << Colleague << Team << QString() << QString();
        QTest::newRow("another user's file")
            << Maker << Colleague << Team << QString()
            << QStringLiteral("このファイルの所有者はユーザー 4243 です。ほかのユーザーが作るファイルには、この所有者を付けられません。");
        QTest::newRow("a group the user is not in")
            << Maker << Maker << Outside << QString()
            << QStringLiteral("このファイルのグループ 4245 に、ユーザー 4241 は入っていません。作るファイルにこのグループを付けられません。");
        // Its access list lets him write the file: what stops him is the owner.
        QTest::newRow("an outsider the access list lets write")
            << Outside << Maker << Team << QString()
            << QStringLiteral("このファイルの所有者はユーザー 4241 です。ほかのユーザーが作るファイルには、この所有者を付けられません。");
        const QString swapped = QStringLiteral(".Tmp が、作成中にほかのファイルに置き換えられたため、%1 の代わりには使いませんでした。");
        QTest::newRow("the copy swapped for root's link") << 0u << Colleague << Team << "root.mdb" << swapped;
        QTest::newRow("a colleague's link to a missing name, root compacting")
            << 0u << Colleague << Team << "private/made.mdb" << swapped;
        QTest::newRow("a colleague's link to a missing name") << Maker << Maker << Team << "mine/made.mdb" << swapped;
        QTest::newRow("a colleague's file put over the original, root compacting")
            << 0u << Maker << Team << "x.mdb"
            << QStringLiteral(" が、最適化の間にほかのファイルに置き換えられたため、写しを置きませんでした。");
    }
    void compactionKeepsWhoMayUseTheFile()
    {
        QFETCH(unsigned, who);
        QFETCH(unsigned, owner);
        QFETCH(unsigned, group);
        QFETCH(QString, swap);
        QFETCH(QString, told);
        shareFolder();
        // Folders only root, or only the user, may reach.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("private"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
                && QDir(m_dir->path()).mkdir(QStringLiteral("mine"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
                && ::chown(QFile::encodeName(file(QStringLiteral("mine"))).constData(), Maker, Maker) == 0);
        const QString x = db(QStringLiteral("x.mdb"));
        const QByteArray name = QFile::encodeName(x);
        // user::rw- user:<Outside>:rw- group::rw- mask::rw- other::r--
        const QByteArray list = QByteArray::fromHex("02000000" "01000600ffffffff" "0200060095100000" "04000600ffffffff"
                                                    "10000600ffffffff" "20000400ffffffff");
        QVERIFY(::chown(name.constData(), owner, group) == 0);
        QVERIFY(::setxattr(name.constData(), "system.posix_acl_access", list.constData(), size_t(list.size()), 0) == 0);
        const QString rootsOwn = testsupport::copyTemplate(file(QStringLiteral("root.mdb")));
        QVERIFY(::chmod(QFile::encodeName(rootsOwn).constData(), 0600) == 0);
        const QByteArray bytes = fileBytes(x);
        std::unique_ptr<SwapAtCheck> swapper;
        const bool overOriginal = swap == QLatin1String("x.mdb");
        if (!swap.isEmpty())
            swapper = std::make_unique<SwapAtCheck>(m_dir->path(), x + QStringLiteral(".Tmp"), overOriginal ? QString() : file(swap),
                                                    swap == QLatin1String("root.mdb") ? 0 : who == 0 && !overOriginal ? Maker : Colleague,
                                                    overOriginal ? x : x + QStringLiteral(".Tmp"));

        const auto compact = [&] {
            ScopedScriptedUi ui;
            run(ui.get(), QStringLiteral("x.mdb"), &frmMDB::mnuCompact_Click, {vbYes});
            if (told.isEmpty())
                return ui->count() == 2 && ui->last().title == QStringLiteral("最適化") ? 0 : 1;
            // Refused before the question, or as it failed.
            if (ui->count() != (swap.isEmpty() ? 1 : 2) || ui->last().style != int(vbOKOnly))
                return 2;
            const QString why = overOriginal ? x + told
                : !swap.isEmpty()              ? x + QString(told).arg(x)
                                     : QStringLiteral("最適化した写しがこのファイルに代わるため、"
                                                      "写しにはこのファイルと同じ所有者とグループが要ります。\r\n")
                    + told + QStringLiteral("\r\nこのファイルの所有者で、このファイルのグループに入っているユーザーか、管理者（root）が最適化してください。");
            return ui->last().prompt == x + QStringLiteral(" を最適化できませんでした。元のファイルはそのままです。\r\n") + why ? 0 : 3;
        };
        const QList<unsigned> groups = who == Outside ? QList<unsigned>() : QList<unsigned>{Office, Team};
        QCOMPARE(who == 0 ? compact() : testsupport::asColleague(who, groups, compact), 0);
        // The colleague's file keeps its place: nothing of the drawings goes there.
        if (overOriginal) {
            QCOMPARE(fileBytes(x), QByteArray("theirs"));
            return;
        }
        struct stat st {}, root {};
        QVERIFY(::lstat(name.constData(), &st) == 0 && ::stat(QFile::encodeName(rootsOwn).constData(), &root) == 0);
        QCOMPARE(st.st_uid, uid_t(owner));
        QCOMPARE(st.st_gid, gid_t(group));
        QCOMPARE(st.st_mode, mode_t(S_IFREG | 0664));
        QCOMPARE(root.st_uid, uid_t(0));
        QCOMPARE(root.st_mode & 07777, mode_t(0600));
        QByteArray kept(list.size() + 8, 0);
        kept.resize(::getxattr(name.constData(), "system.posix_acl_access", kept.data(), size_t(kept.size())));
        QCOMPARE(kept, list);
        if (!told.isEmpty())
            QCOMPARE(fileBytes(x), bytes);
        // Nothing is made where the link leads.
        QVERIFY(swap.isEmpty() || swap == QLatin1String("root.mdb") || !QFileInfo::exists(file(swap)));
        // The outsider writes the file through the list.
        QCOMPARE(testsupport::asColleague(Outside, {}, [&] { return writes(x); }), 0);
        QCOMPARE(openPath(), firstFile());
    }

    // A compaction that fails names the file, changes nothing and leaves no
    // copy of its own; a leftover that may be the only good copy, or a
    // folder of the copy's name, stays as it was.
    void failedCompactionChangesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("told");
        QTest::newRow("leftover beside a bad file")
            << "leftover" << " が正しい写しかもしれないため、どちらのファイルも変更しませんでした。";
        QTest::newRow("leftover folder") << "folder" << ".Tmp はフォルダです。";
        QTest::newRow("a colleague's link at the copy's name")
            << "link" << ".Tmp は、ほかのユーザー（4243）が作ったリンクです。ほかのユーザーのリンクの先へは、読み書きしません。";
        // Refused before the file is looked at: not taken for a good leftover.
        QTest::newRow("a colleague's link to a database, beside a bad file")
            << "link beside a bad file" << ".Tmp は、ほかのユーザー（4243）が作ったリンクです。ほかのユーザーのリンクの先へは、読み書きしません。";
        QTest::newRow("damaged file") << "damaged"
                                      << " を最適化できませんでした。元のファイルはそのままです。\r\nデータベースファイル "
                                         "%1 は壊れています。（database disk image is malformed）";
    }
    void failedCompactionChangesNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, told);
        const QString y = file(QStringLiteral("y.mdb"));
        const QString tmp = y + QStringLiteral(".Tmp");
        if (kind.contains(QLatin1String("bad file"))) {
            QVERIFY(olddata::write(y, QByteArray("not a database").repeated(100)));
            QVERIFY(QFile::link(db(QStringLiteral("theirs.mdb")), tmp)
                    && ::lchown(QFile::encodeName(tmp).constData(), Colleague, gid_t(-1)) == 0);
        } else if (kind == QLatin1String("leftover")) {
            QVERIFY(olddata::write(y, QByteArray("not a database").repeated(100)));
            testsupport::copyTemplate(tmp);
        } else {
            db(QStringLiteral("y.mdb"));
            if (kind == QLatin1String("folder"))
                QVERIFY(QDir().mkdir(tmp));
            if (kind == QLatin1String("link"))
                QVERIFY(QFile::link(file(QStringLiteral("made.mdb")), tmp)
                        && ::lchown(QFile::encodeName(tmp).constData(), Colleague, gid_t(-1)) == 0);
        }
        if (kind == QLatin1String("damaged")) {
            {
                db::Connection c;
                c.open(mdlDB::fncConnectionString(y));
                c.beginTrans();
                insertRows(c, 200, u'n', 300);
                c.commitTrans();
            }
            // A page of tPrint's rows overwritten: the file opens, its copy can't be read.
            QFile f(y);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(f.size() - 3 * 4096);
            f.write(QByteArray(4096, 'Z'));
        }
        const QByteArray badBytes = fileBytes(y), goodBytes = fileBytes(tmp);

        ScopedScriptedUi ui;
        run(ui.get(), QStringLiteral("y.mdb"), &frmMDB::mnuCompact_Click);
        QCOMPARE(ui->count(), 2);
        QCOMPARE(ui->last().style, int(vbOKOnly));
        QCOMPARE(ui->last().title, app::title());
        QVERIFY2(ui->last().prompt.contains(y) && ui->last().prompt.contains(told.replace(QStringLiteral("%1"), y)),
                 qPrintable(ui->last().prompt));
        QCOMPARE(fileBytes(y), badBytes);
        QCOMPARE(fileBytes(tmp), goodBytes);
        QCOMPARE(QFileInfo(tmp).isDir(), kind == QLatin1String("folder"));
        QCOMPARE(QFile::exists(tmp) || QFileInfo(tmp).isSymLink(), kind != QLatin1String("damaged"));
        QVERIFY(!QFile::exists(file(QStringLiteral("made.mdb"))));
        QCOMPARE(openPath(), firstFile());
    }

    // A colleague renames a file or a link of his over the copy, or a file
    // over the original, just before the copy takes the file's place: the
    // file stays as the colleague left it, the box says what stood where and
    // whose, and the colleague's keeps its name.
    void compactionPutsItsCopyOrNothing_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("at");  // after the file's name
        QTest::newRow("a colleague's file over the copy") << false << ".Tmp";
        QTest::newRow("a colleague's link over the copy, to root's file") << true << ".Tmp";
        QTest::newRow("a colleague's file over the original") << false << "";
    }
    void compactionPutsItsCopyOrNothing()
    {
        QFETCH(bool, link);
        QFETCH(QString, at);
        shareFolder();
        const QString x = db(QStringLiteral("x.mdb")), tmp = x + QStringLiteral(".Tmp"), name = x + at;
        const QString spare = file(QStringLiteral(".spare")), rootsOwn = db(QStringLiteral("root.mdb"));
        QVERIFY(::chown(QFile::encodeName(x).constData(), Maker, Office) == 0);
        QVERIFY(link ? QFile::link(rootsOwn, spare) : olddata::write(spare, "theirs"));
        QVERIFY(::lchown(QFile::encodeName(spare).constData(), Colleague, Office) == 0);
        const QByteArray bytes = at.isEmpty() ? QByteArray("theirs") : fileBytes(x), rootsBytes = fileBytes(rootsOwn);
        files::setBeforePlacing([&] { ::rename(QFile::encodeName(spare).constData(), QFile::encodeName(name).constData()); });
        const auto unset = qScopeGuard([] { files::setBeforePlacing({}); });
        ScopedScriptedUi ui;
        run(ui.get(), QStringLiteral("x.mdb"), &frmMDB::mnuCompact_Click, {vbYes});
        const QString theirs = QStringLiteral("ほかのファイル（ユーザー 4243 の") + (link ? QStringLiteral("リンク") : QStringLiteral("ファイル"));
        QCOMPARE(ui->last().prompt, x + QStringLiteral(" を最適化できませんでした。元のファイルはそのままです。\r\n")
                     + (at.isEmpty() ? x + QStringLiteral(" が、") + theirs + QStringLiteral("）に置き換えられていたため、") + tmp + QStringLiteral(" を置きませんでした。")
                                     : tmp + QStringLiteral(" が、") + x + QStringLiteral(" の代わりに置く間に") + theirs + QStringLiteral("）に置き換えられたため、置きませんでした。")));
        struct stat st {}, placed {};
        QVERIFY(::lstat(QFile::encodeName(x).constData(), &st) == 0 && ::lstat(QFile::encodeName(name).constData(), &placed) == 0);
        QVERIFY(S_ISREG(st.st_mode) && placed.st_uid == Colleague);
        QCOMPARE(fileBytes(x), bytes);
        QCOMPARE(fileBytes(rootsOwn), rootsBytes);
        QCOMPARE(fileBytes(name), link ? rootsBytes : QByteArray("theirs"));
        QCOMPARE(QFileInfo::exists(tmp), !at.isEmpty());
    }

    // A colleague's hot journal, which the engine wrote for his own changed
    // copy of the user's private file, put where the engine looks for the
    // file's journal, or for the compacted copy's once it is written. It is
    // never played back: the file is refused with a box naming the journal
    // and its owner, or the copy's check reads the copy alone; the drawings
    // stay the user's and the journal stays as it was.
    void colleaguesJournalIsNeverPlayedBack_data()
    {
        QTest::addColumn<unsigned>("who");
        QTest::addColumn<QString>("at");  // after the file's name
        QTest::addColumn<bool>("compact");
        QTest::newRow("at use") << Maker << "-journal" << false;
        QTest::newRow("at root's compaction") << 0u << "-journal" << true;
        QTest::newRow("beside the copy, at the owner's compaction") << Maker << ".Tmp-journal" << true;
    }
    void colleaguesJournalIsNeverPlayedBack()
    {
        QFETCH(unsigned, who);
        QFETCH(QString, at);
        QFETCH(bool, compact);
        shareFolder();
        const QString x = db(QStringLiteral("x.mdb")), his = file(QStringLiteral("his.mdb"));
        const bool besideCopy = at.startsWith(QLatin1String(".Tmp"));
        // His copy has the pages the journal is for (the file's, or its
        // compacted copy's), with his row; the journal of a change under way
        // keeps them.
        sqlite3* engine = nullptr;
        QVERIFY(besideCopy ? sqlite3_open(QFile::encodeName(x).constData(), &engine) == SQLITE_OK
                    && sqlite3_exec(engine, ("VACUUM INTO '" + QFile::encodeName(his) + "'").constData(), nullptr, nullptr, nullptr) == SQLITE_OK
                    && sqlite3_close(engine) == SQLITE_OK
                           : QFile::copy(x, his));
        QVERIFY(sqlite3_open(QFile::encodeName(his).constData(), &engine) == SQLITE_OK);
        QVERIFY(sqlite3_exec(engine, "PRAGMA synchronous = OFF; INSERT INTO tPrint (strNo, strName) VALUES ('his', 'his'); "
                             "BEGIN; DELETE FROM tPrint", nullptr, nullptr, nullptr) == SQLITE_OK);
        const QByteArray journal = fileBytes(his + QStringLiteral("-journal"));
        sqlite3_close_v2(engine);
        QVERIFY(journal.startsWith(QByteArray::fromHex("d9d505f920a163d7")));
        const QString spare = file(QStringLiteral(".spare")), name = x + at;
        QCOMPARE(testsupport::asColleague(Colleague, {Office}, [&] { return olddata::write(spare, journal) ? 0 : 1; }), 0);
        QVERIFY(::chown(QFile::encodeName(x).constData(), Maker, Office) == 0 && ::chmod(QFile::encodeName(x).constData(), 0600) == 0);
        const auto put = [&] { ::rename(QFile::encodeName(spare).constData(), QFile::encodeName(name).constData()); };
        const auto unset = qScopeGuard([] { mdlMdbFile::setAfterCopyWritten({}); });
        if (besideCopy)
            mdlMdbFile::setAfterCopyWritten(put);
        else
            put();
        const QByteArray bytes = fileBytes(x);
        const auto command = [&] {
            ScopedScriptedUi ui;
            run(ui.get(), QStringLiteral("x.mdb"), compact ? &frmMDB::mnuCompact_Click : &frmMDB::mnuUse_Click);
            if (besideCopy)
                return ui->last().title == QStringLiteral("最適化") ? 0 : 1;
            const QString told = QStringLiteral("ジャーナルファイル ") + name
                + QStringLiteral(" は、ほかのユーザー（4243）が作ったファイルのため、このデータベースに書き戻さず、そのままにしました。");
            return std::any_of(ui->boxes.begin(), ui->boxes.end(), [&](const auto& box) { return box.prompt.contains(told); }) ? 0 : 2;
        };
        QCOMPARE(who == 0 ? command() : testsupport::asColleague(who, {Office}, command), 0);
        QCOMPARE(fileBytes(name), journal);
        if (besideCopy)
            QCOMPARE(countRows(x), 0);  // compacted, with the user's drawings
        else
            QCOMPARE(fileBytes(x), bytes);
    }

    // Another program holds a file: with rows it has not saved yet, or only
    // read in its transaction (as this program does with the file it has
    // open). Compaction, rename and delete refuse it before any question and
    // leave it to that program, whose save then keeps its rows.
    void fileAnotherProgramHoldsIsRefused_data()
    {
        QTest::addColumn<int>("unsaved");
        QTest::newRow("changed") << 7;
        QTest::newRow("read") << 0;
    }
    void fileAnotherProgramHoldsIsRefused()
    {
        QFETCH(int, unsaved);
        const QString b = db(QStringLiteral("b.mdb"));
        db::Connection other;  // in the child
        OtherProgram program(
            [&] {
                other.open(mdlDB::fncConnectionString(b));
                other.beginTrans();
                other.openRecordset(QStringLiteral("SELECT * FROM tSystem")).close();
                insertRows(other, unsaved);
            },
            [&] {
                insertRows(other, unsaved ? 0 : 1);
                other.commitTrans();
            });
        QVERIFY(program.ready());
        QCOMPARE(db::otherUse(b), unsaved ? db::FileUse::Writing : db::FileUse::Reading);
        const QByteArray bytes = fileBytes(b);
        ScopedScriptedUi ui;
        for (auto command : {&frmMDB::mnuCompact_Click, &frmMDB::popReNmae_Click, &frmMDB::mnuDel_Click}) {
            run(ui.get(), QStringLiteral("b.mdb"), command, {});
            QCOMPARE(ui->last().prompt, b + QStringLiteral("\r\nほかのプログラムがこのデータ・ベースを使用中です！"));
            QCOMPARE(ui->last().title, QStringLiteral("b.mdb"));
        }
        QCOMPARE(ui->count(), 3);
        QCOMPARE(fileBytes(b), bytes);
        QCOMPARE(openPath(), firstFile());
        QVERIFY(program.finish());  // its save is not held up
        QCOMPARE(stateOf(b), QString::number(qMax(unsaved, 1)) + QStringLiteral(" ok"));
    }

    // While the manager holds a file, another program can't begin a change
    // in it; once it lets go, it can.
    void heldFileKeepsOtherProgramsOut()
    {
        const QString b = db(QStringLiteral("b.mdb"));
        db::FileHold hold;
        hold.take(mdlDB::fncConnectionString(b));
        const auto change = [&] {
            db::Connection other;
            other.open(mdlDB::fncConnectionString(b));
            other.beginTrans();
            insertRows(other, 1);
            other.commitTrans();
        };
        OtherProgram shut(change, [] {});
        QVERIFY(!shut.ready());
        hold.release();
        OtherProgram let(change, [] {});
        QVERIFY(let.ready());
        QVERIFY(let.finish());
        QCOMPARE(stateOf(b), QStringLiteral("1 ok"));
    }

    // Another program killed in a commit (`inCommit`), leaving a journal with
    // the pages to put back, or before it (as a session that never saved),
    // leaving the journal it kept with its header zeroed.
    void killedProgram(const QString& path, bool inCommit)
    {
        db::Connection writer;  // in the child
        OtherProgram program(
            [&] {
                writer.open(mdlDB::fncConnectionString(path));
                if (inCommit) {
                    // A small cache that spills: changed pages reach the file before the commit.
                    writer.execute(QStringLiteral("PRAGMA cache_size = 2"));
                    writer.execute(QStringLiteral("PRAGMA cache_spill = ON"));
                }
                writer.beginTrans();
                insertRows(writer, inCommit ? 300 : 5);
            },
            [&] { writer.commitTrans(); });
        QVERIFY(program.ready());
        program.kill();
        const QByteArray journal = fileBytes(path + QStringLiteral("-journal"));
        QVERIFY(!journal.isEmpty());
        QCOMPARE(journal.left(8) == QByteArray::fromHex("d9d505f920a163d7"), inCommit);
    }

    // A program killed in a commit leaves a journal with the pages to put
    // back. Renamed, the file is whole under its new name; deleted, its
    // journal goes with it, and a file renamed to its name stays whole.
    void hotJournalStaysWithItsFile()
    {
        const auto killedInCommit = [&](const QString& path) { killedProgram(path, true); };
        const QString whole = QStringLiteral("0 ok");
        const QString h = db(QStringLiteral("h.mdb"));
        killedInCommit(h);
        QVERIFY(QFile::copy(h, file(QStringLiteral("alone.bin"))));
        QVERIFY(stateOf(file(QStringLiteral("alone.bin"))) != whole);  // the file without its journal
        const QString d = db(QStringLiteral("d.mdb"));
        killedInCommit(d);
        {
            db::Connection e;  // rows of its own, which d's journal would overwrite
            e.open(mdlDB::fncConnectionString(db(QStringLiteral("e.mdb"))));
            insertRows(e, 5);
        }
        ScopedScriptedUi ui;
        ui->answerInput(QStringLiteral("r"));
        run(ui.get(), QStringLiteral("h.mdb"), &frmMDB::popReNmae_Click);
        QCOMPARE(stateOf(file(QStringLiteral("r.mdb"))), whole);
        run(ui.get(), QStringLiteral("d.mdb"), &frmMDB::mnuDel_Click);
        ui->answerInput(QStringLiteral("d"));
        run(ui.get(), QStringLiteral("e.mdb"), &frmMDB::popReNmae_Click);
        QCOMPARE(stateOf(d), QStringLiteral("5 ok"));
        QCOMPARE(folderFiles(), (QStringList{QStringLiteral("a.mdb"), QStringLiteral("alone.bin"), QStringLiteral("d.mdb"),
                                             QStringLiteral("r.mdb")}));
        QCOMPARE(ui->count(), 3);
        QVERIFY(ui->allAnswered());
    }

    // A file the engine can't open beside the journal of a program killed
    // before its save (nothing to put back): delete and rename take the
    // journal with the file, with no box but their questions. Beside a
    // journal a commit left hot, the file gets its pages back first.
    void damagedFileBesideAJournal_data()
    {
        QTest::addColumn<bool>("inCommit");
        QTest::newRow("killed before its save") << false;
        QTest::newRow("killed in its commit") << true;
    }
    void damagedFileBesideAJournal()
    {
        QFETCH(bool, inCommit);
        const QByteArray damaged = "not a database!!" + fileBytes(testsupport::templatePath()).mid(16);
        for (const QString& name : {QStringLiteral("x.mdb"), QStringLiteral("y.mdb")}) {
            const QString path = db(name);
            killedProgram(path, inCommit);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.write("not a database!!") == 16);
        }
        ScopedScriptedUi ui;
        ui->answerInput(QStringLiteral("r"));
        run(ui.get(), QStringLiteral("x.mdb"), &frmMDB::popReNmae_Click);
        run(ui.get(), QStringLiteral("y.mdb"), &frmMDB::mnuDel_Click);
        QCOMPARE(ui->count(), 2);
        QVERIFY(ui->allAnswered());
        QCOMPARE(folderFiles(), (QStringList{QStringLiteral("a.mdb"), QStringLiteral("r.mdb")}));
        QVERIFY(fileBytes(file(QStringLiteral("r.mdb"))) == damaged);
    }

    // Another user's link at the journal's name may hide pages to put back:
    // a file the engine can't open beside it is neither deleted nor renamed.
    void journalBehindAnotherUsersLinkKeepsItsFile()
    {
        const QString path = db(QStringLiteral("y.mdb"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.write("not a database!!") == 16);
        f.close();
        const QByteArray journal = QFile::encodeName(path + QStringLiteral("-journal"));
        QVERIFY(::symlink("elsewhere/y.mdb-journal", journal.constData()) == 0 && ::lchown(journal.constData(), Colleague, Colleague) == 0);
        ScopedScriptedUi ui;
        run(ui.get(), QStringLiteral("y.mdb"), &frmMDB::mnuDel_Click);
        QCOMPARE(ui->last().prompt, path + QStringLiteral("-journal は、ほかのユーザー（4243）が作ったリンクです。"
                                                          "ほかのユーザーのリンクの先へは、読み書きしません。"));
        QVERIFY(QFileInfo::exists(path) && QFileInfo(QFile::decodeName(journal)).isSymLink());
    }

    // A size limit below the template's size: the new file is named with the
    // reason it could not be written, and nothing of it stays.
    void addPastTheSizeLimitSaysWhy()
    {
        const QString target = file(QStringLiteral("New_2.mdb"));
        QCOMPARE(testsupport::withFileSizeLimit(4096, [&] {
            ScopedScriptedUi ui;
            ui->answerMsgBox(vbYes);
            manager().cmdAdd_Click();
            return ui->count() == 2 && ui->last().style == int(vbOKOnly)
                    && ui->last().prompt
                        == target + QStringLiteral("\r\nファイルサイズの上限を超えるため、%1 に書き込めませんでした。").arg(target)
                ? 0
                : 1;
        }), 0);
        QCOMPARE(folderFiles(), QStringList{QStringLiteral("a.mdb")});
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
        run(ui.get(), QStringLiteral("b.mdb"), &frmMDB::mnuUse_Click, {vbYes, vbNo, vbYes});  // use? save? upgrade?
        QCOMPARE(ui->boxes[1].title, QStringLiteral("図面更新"));
        QCOMPARE(ui->boxes[2].title, QStringLiteral("ＭＤＢ異常！"));
        QVERIFY(ui->boxes[2].prompt.contains(
            QStringLiteral("\r\n｢いいえ｣　　 ：アップデートせずにプログラムを開始しますが、保存は出来ません！\r\n")));
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

    // Init.ini that can't be rewritten (a full disk): the close says so, the
    // program goes on with the chosen file, and Init.ini stays as it was.
    void closeTellsAnIniItCannotWrite()
    {
        db(QStringLiteral("b.mdb"));
        const QString ini = mdlFileAccess::fncInitIniPath();
        const QByteArray iniBefore = fileBytes(ini);
        ScopedScriptedUi ui;
        run(ui.get(), QStringLiteral("b.mdb"), &frmMDB::mnuUse_Click);
        QCOMPARE(testsupport::withFileSizeLimit(iniBefore.size() / 2, [&] {
            manager().cmdCloase_Click();
            const bool told = ui->count() == 2 && ui->last().style == int(vbExclamation + vbOKOnly)
                && ui->last().title == QStringLiteral("初期設定ファイル異常")
                && ui->last().prompt == QStringLiteral("初期設定ファイル\r\n") + ini
                        + QStringLiteral("\r\nに使用するデータベースの設定を書き込めませんでした。次回の起動では前回のデータベースが使われます。");
            return told && GE_strFile_Name == QStringLiteral("b.mdb") && !Instance<frmMDB>::exists() ? 0 : 1;
        }), 0);
        QCOMPARE(fileBytes(ini), iniBefore);
    }

    // The save at the switch fails while another program reads the file in
    // use; the user goes back with the changes kept: nothing changes, no
    // other box follows. Once the reader is gone the same command commits.
    void keptChangesStopTheSwitch_data()
    {
        QTest::addColumn<bool>("folderChange");
        QTest::newRow("use") << false;
        QTest::newRow("folder change") << true;
    }
    void keptChangesStopTheSwitch()
    {
        QFETCH(bool, folderChange);
        const QString b = db(QStringLiteral("b.mdb"));
        QVERIFY(sqltext::change(QStringLiteral("test"), QStringLiteral("INSERT INTO tPrint (strNo) VALUES ('K-1')")));
        db::Connection reader;
        reader.open(mdlDB::fncConnectionString(file(QStringLiteral("a.mdb"))));
        reader.beginTrans();
        QCOMPARE(rowsOf(reader), 0);
        ScopedScriptedUi ui;
        const auto command = [&](int saveAnswer) {
            ui->answerMsgBox(vbYes);  // use? / change the folder?
            ui->answerMsgBox(vbYes);  // save?
            if (saveAnswer)
                ui->answerMsgBox(saveAnswer);
            if (folderChange)
                changeFolder(ui.get(), QString(), true);
            else
                run(ui.get(), QStringLiteral("b.mdb"), &frmMDB::mnuUse_Click, {});
        };
        command(vbCancel);
        QCOMPARE(ui->count(), 3);
        QCOMPARE(ui->last().style, vbRetryCancel + vbExclamation);
        QVERIFY2(ui->last().prompt.contains(QStringLiteral("データベースファイル ") + GE_objConnection->path()
                                            + QStringLiteral(" は、ほかのプログラムが使用中です。（database is locked）")),
                 qPrintable(ui->last().prompt));
        QCOMPARE(openPath(), firstFile());
        QVERIFY(GE_booDbUpdate && GE_objConnection->inTransaction());
        QCOMPARE(rowsOf(*GE_objConnection), 1);
        QCOMPARE(manager().stsBar->Panels(2).Text(), QStringLiteral("a.mdb"));

        reader.rollbackTrans();
        command(0);
        QCOMPARE(ui->count(), 5);
        QCOMPARE(openPath(), folderChange ? QString() : files::canonicalPath(b));
        QCOMPARE(manager().stsBar->Panels(2).Text(), folderChange ? QString() : QStringLiteral("b.mdb"));
        QCOMPARE(rowsOf(reader), 1);
        QVERIFY(!GE_booDbUpdate && ui->allAnswered());
    }

    // Whatever a name holds, the manager works on the listed file and no
    // other (y.mdb stands by for a name that would point at it).
    void namesReachTheListedFile_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("; and =") << "x;Data Source=y";
        QTest::newRow("quotes") << "q\";Data Source=y.mdb;'";
        QTest::newRow("spaces, one trailing") << "a = b ";
    }
    void namesReachTheListedFile()
    {
        QFETCH(QString, answer);
        const QString name = answer + QStringLiteral(".mdb");
        db(QStringLiteral("plain.mdb"));
        db(QStringLiteral("y.mdb"));
        QStringList all{QStringLiteral("a.mdb"), name, QStringLiteral("y.mdb")};
        all.sort();
        ScopedScriptedUi ui;
        ui->answerInput(answer);
        run(ui.get(), QStringLiteral("plain.mdb"), &frmMDB::popReNmae_Click);
        QCOMPARE(folderFiles(), all);
        // Its saves go to it.
        run(ui.get(), name, &frmMDB::mnuUse_Click);
        QCOMPARE(openPath(), files::canonicalPath(file(name)));
        QVERIFY(sqltext::change(QStringLiteral("test"), QStringLiteral("INSERT INTO tPrint (strNo) VALUES ('N-1')")));
        run(ui.get(), QStringLiteral("a.mdb"), &frmMDB::mnuUse_Click, {vbYes, vbYes});
        QCOMPARE(countRows(file(name)), 1);
        QCOMPARE(countRows(file(QStringLiteral("y.mdb"))), 0);
        // A link of the user's own, to nothing, left at the copy's name goes.
        QVERIFY(QFile::link(file(QStringLiteral("gone.mdb")), file(name + QStringLiteral(".Tmp"))));
        run(ui.get(), name, &frmMDB::mnuCompact_Click);
        QCOMPARE(ui->last().title, QStringLiteral("最適化"));
        QVERIFY(!QFileInfo(file(name + QStringLiteral(".Tmp"))).isSymLink());
        QCOMPARE(countRows(file(name)), 1);
        QCOMPARE(folderFiles(), all);
        run(ui.get(), name, &frmMDB::mnuDel_Click);
        all.removeOne(name);
        QCOMPARE(folderFiles(), all);
        QVERIFY(ui->allAnswered());
    }

    void badFileGoesBackToTheFileUsedBefore()
    {
        QVERIFY(olddata::write(file(QStringLiteral("bad.mdb")), QByteArray("garbage").repeated(300)));
        ScopedScriptedUi ui;
        run(ui.get(), QStringLiteral("bad.mdb"), &frmMDB::mnuUse_Click);  // no end
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
        const QByteArray iniBefore = fileBytes(ini);
        ScopedScriptedUi ui;
        // A folder that can't be listed leaves the manager as it was.
        const QString gone = file(QStringLiteral("gone"));
        changeFolder(ui.get(), gone);
        QCOMPARE(ui->last().prompt, gone + QStringLiteral("\r\nパスが見つかりません。"));
        QCOMPARE(manager().lblPath->Caption(), m_dir->path());
        QCOMPARE(manager().fileList->ListCount(), 1);
        QCOMPARE(manager().stsBar->Panels(2).Text(), QStringLiteral("a.mdb"));
        QCOMPARE(openPath(), firstFile());
        // The picker cancelled: the question was the only box.
        const int shown = ui->count();
        changeFolder(ui.get(), gone, false, true);
        QCOMPARE(ui->count(), shown + 1);
        QCOMPARE(manager().stsBar->Panels(2).Text(), QStringLiteral("a.mdb"));
        changeFolder(ui.get());
        QCOMPARE(manager().stsBar->Panels(2).Text(), QString());
        ui->answerMsgBox(vbNo);
        manager().cmdCloase_Click();
        QCOMPARE(ui->last().title, QStringLiteral("データベース未選択"));
        QCOMPARE(ui->last().style, vbYesNo + vbExclamation + vbDefaultButton2);
        QVERIFY(!Instance<frmMDB>::exists());
        QCOMPARE(openPath(), firstFile());
        QCOMPARE(GE_strFile_Name, QStringLiteral("a.mdb"));
        QCOMPARE(fileBytes(ini), iniBefore);
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
        const QByteArray page = fileBytes(testsupport::sourceDir() + QStringLiteral("/resources/help.html"));
        QVERIFY(page.contains("id=\"works\"") && page.contains("id=\"home\""));
    }
};

QTEST_MAIN(TestFrmMdb)
#include "tst_frmmdb.moc"
