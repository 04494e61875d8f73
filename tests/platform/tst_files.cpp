#include "app/globals.h"
#include "measure/hatchcache.h"
#include "platform/files.h"
#include "platform/inifile.h"
#include "platform/ownlinks.h"
#include "platform/replacement.h"
#include "platform/vberror.h"
#include "platform/wholefile.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <optional>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace files = platform::files;
using testsupport::errorOf;
using namespace Qt::StringLiterals;

namespace {

void touch(const QString& path, const QByteArray& content = "x")
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
}

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
    }

    void join_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("root") << u"/"_s << u"Init.ini"_s << u"/Init.ini"_s;
        QTest::newRow("folder") << u"/opt/nemu"_s << u"Init.ini"_s << u"/opt/nemu/Init.ini"_s;
        QTest::newRow("folder with slash") << u"/opt/nemu/"_s << u"TEMP"_s << u"/opt/nemu/TEMP"_s;
        QTest::newRow("relative name") << u"/opt"_s << u"template/master.mdb"_s << u"/opt/template/master.mdb"_s;
    }

    void join()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(files::join(folder, name), path);
    }

    void matches_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("match");
        QTest::newRow("extension") << u"*.bin"_s << u"123456.bin"_s << true;
        QTest::newRow("extension upper") << u"*.bin"_s << u"123456.BIN"_s << true;
        QTest::newRow("other extension") << u"*.bin"_s << u"123456.jpg"_s << false;
        QTest::newRow("longer extension") << u"*.bin"_s << u"a.binx"_s << false;
        QTest::newRow("extension only") << u"*.bin"_s << u".bin"_s << true;
        QTest::newRow("question") << u"a?c.mdb"_s << u"ABC.MDB"_s << true;
        QTest::newRow("question needs a char") << u"a?c"_s << u"ac"_s << false;
        QTest::newRow("star in middle") << u"a*b*c"_s << u"aXbYbZc"_s << true;
        QTest::newRow("star backtracks") << u"*ab"_s << u"aab"_s << true;
        QTest::newRow("star star dot") << u"*.*"_s << u"noextension"_s << true;
        QTest::newRow("japanese") << u"地図*.JPG"_s << u"地図1.jpg"_s << true;
        QTest::newRow("brackets are plain") << u"[a].bin"_s << u"a.bin"_s << false;
        QTest::newRow("exact name") << u"master.mdb"_s << u"Master.mdb"_s << true;
    }

    void matches()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, match);
        QCOMPARE(files::matches(pattern, name), match);
    }

    void killPatternIgnoresCase()
    {
        touchAll({"a.jpg", "B.JPG", "c.Jpg", "d.jpeg", "e.bin", "f.jpg.txt"});
        QDir(m_dir->path()).mkdir(u"g.jpg"_s);  // a folder is no file
        QCOMPARE(files::killPattern(m_dir->path(), u"*.jpg"_s), 3);
        QCOMPARE(files::listFiles(m_dir->path()), (QStringList{u"d.jpeg"_s, u"e.bin"_s, u"f.jpg.txt"_s}));
        QVERIFY(files::dirExists(file(u"g.jpg"_s)));
        QCOMPARE(files::killPattern(m_dir->path(), u"*.jpg"_s), 0);
        QCOMPARE(files::killPattern(file(u"missing"_s), u"*"_s), 0);
    }

    void listFilesSortedWithoutCase()
    {
        touchAll({"b.mdb", "A.mdb", "c.MDB", "a.txt"});
        QCOMPARE(files::listFiles(m_dir->path(), u"*.mdb"_s), (QStringList{u"A.mdb"_s, u"b.mdb"_s, u"c.MDB"_s}));
    }

    void neverOverwrites_data()
    {
        QTest::addColumn<bool>("move");
        QTest::newRow("copy") << false;
        QTest::newRow("rename") << true;
    }
    void neverOverwrites()
    {
        QFETCH(bool, move);
        const auto transfer = [&](const QString& from, const QString& to) {
            return errorOf([&] { (move ? files::renameFile : files::copyFile)(file(from), file(to)); });
        };
        touch(file(u"src"_s), "source");
        touch(file(u"dst"_s), "target");
        QCOMPARE(transfer(u"src"_s, u"dst"_s), long(vb::errFileExists));
        QCOMPARE(testsupport::fileBytes(file(u"dst"_s)), QByteArray("target"));
        QCOMPARE(transfer(u"none"_s, u"new"_s), long(vb::errFileNotFound));
        QVERIFY(!files::exists(file(u"new"_s)));
        QCOMPARE(transfer(u"src"_s, u"no/new"_s), long(vb::errPathNotFound));
        QCOMPARE(transfer(u"src"_s, u"new"_s), 0L);
        QCOMPARE(testsupport::fileBytes(file(u"new"_s)), QByteArray("source"));
        QCOMPARE(files::exists(file(u"src"_s)), !move);
    }

    // A new file gets what any new file of the user's gets there: the
    // office's umask 002 lets the group write it.
    void newFileTakesTheUmask()
    {
        const mode_t old = ::umask(002);
        const bool written = platform::writeWholeFile(file(u"new.csv"_s), "x");
        ::umask(old);
        struct stat st {};
        QVERIFY(written && ::stat(QFile::encodeName(file(u"new.csv"_s)).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0664));
    }

    void makeDirFailures()
    {
        QCOMPARE(errorOf([&] { files::makeDir(file(u"TEMP"_s)); }), 0L);
        QVERIFY(files::dirExists(file(u"TEMP"_s)));
        QCOMPARE(errorOf([&] { files::makeDir(file(u"TEMP"_s)); }), long(vb::errPathFileAccess));
        QCOMPARE(errorOf([&] { files::makeDir(file(u"no/TEMP"_s)); }), long(vb::errPathNotFound));
    }

    // A folder that takes no change: every operation raises 70 and says why;
    // the files stay as they were.
    void refusedFolderSaysSo()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(u"locked"_s));
        touch(file(u"src"_s), "source");
        touch(file(u"locked/a"_s), "a");
        const QString refused = u"読み取り専用か書き込みが許可されていないため、ファイルまたはフォルダに書き込めません。"_s;
        testsupport::ReadOnlyFolder locked(file(u"locked"_s));
        for (const std::function<void()>& operation : std::initializer_list<std::function<void()>>{
                 [&] { files::makeDir(file(u"locked/TEMP"_s)); },
                 [&] { files::copyFile(file(u"src"_s), file(u"locked/b"_s)); },
                 [&] { files::renameFile(file(u"locked/a"_s), file(u"locked/b"_s)); },
                 [&] { files::deleteFile(file(u"locked/a"_s)); },
             }) {
            const vb::Error e = testsupport::raisedError(operation);
            QCOMPARE(e.number(), long(vb::errPermission));
            QCOMPARE(e.description(), refused);
        }
        QCOMPARE(QDir(file(u"locked"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"a"_s});
        QCOMPARE(testsupport::fileBytes(file(u"locked/a"_s)), QByteArray("a"));
    }

    void driveOfFolder()
    {
        const QString drive = files::driveOf(m_dir->path());
        QVERIFY(!drive.isEmpty());
        QVERIFY(m_dir->path().startsWith(drive));
        QCOMPARE(files::driveOf(file(u"not/yet/made"_s)), drive);
        QCOMPARE(files::driveOf(u"/"_s), u"/"_s);
    }

    void killBinLeavesOtherFiles()
    {
        GE_strTempPath = m_dir->path();
        touchAll({"120000.bin", "130000.BIN", "140000.Bin", "thumb.jpg", "a.bin.bak", "binfile"});
        mdlFileAccess::subKill_Bin();
        QCOMPARE(files::listFiles(m_dir->path()), (QStringList{u"a.bin.bak"_s, u"binfile"_s, u"thumb.jpg"_s}));
        mdlFileAccess::subKill_Bin();  // nothing left to delete: silent

        // A missing or unset work folder deletes nothing, anywhere.
        GE_strTempPath = file(u"missing"_s);
        mdlFileAccess::subKill_Bin();
        GE_strTempPath.clear();
        touch(QDir::current().filePath(u"tst_files_probe.bin"_s));
        mdlFileAccess::subKill_Bin();
        QVERIFY(QFile::remove(QDir::current().filePath(u"tst_files_probe.bin"_s)));
    }

    // A whole file written where it may or may not be: the runtime's error
    // naming the file, and every file and link of the folder as it was but the
    // one that took the bytes. A chain of links is written through to its end,
    // but for another user's link in a sticky folder all may write, which the
    // system would not follow either; the file of an earlier write that was
    // cut off is removed, the user's own names beside the target stay.
    void writeError_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");  // the file that takes the bytes
        QTest::addColumn<long>("number");
        QTest::newRow("missing folder") << u"no/out.csv"_s << QString() << long(vb::errPathNotFound);
        QTest::newRow("a folder in the way") << u"TEMP"_s << QString() << long(vb::errPathFileAccess);
        QTest::newRow("read-only file") << u"ro.csv"_s << QString() << long(vb::errPermission);
        QTest::newRow("read-only folder") << u"locked/out.csv"_s << QString() << long(vb::errPermission);
        QTest::newRow("chain of links") << u"c.csv"_s << u"real/t.csv"_s << 0L;
        QTest::newRow("loop of links") << u"loop.csv"_s << QString() << long(vb::errPathFileAccess);
        QTest::newRow("40 links, as the system follows") << u"k40.csv"_s << u"real/t.csv"_s << 0L;
        QTest::newRow("41 links") << u"k41.csv"_s << QString() << long(vb::errPathFileAccess);
        QTest::newRow("leftover of a write cut off") << u"x.csv"_s << u"x.csv"_s << 0L;
        QTest::newRow("name of 253 bytes") << longName() << longName() << 0L;
    }

    void writeError()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        QFETCH(long, number);
        QDir folder(m_dir->path());
        for (const char* sub : {"TEMP", "real", "locked"})
            QVERIFY(folder.mkdir(QString::fromLatin1(sub)));
        // Beside x.csv, its cut-off write's file and names that only look like one.
        touchAll({"ro.csv", "real/t.csv", "x.csv", "x.csv.part", ".x.csv~0badcafe", "user_x.0badcafe",
                  "abcdefg12345678", ".x.csv~abc", ".x.csv~0badcafe0", ".x.csv~0BADCAFE", ".x.csv~0badcafg",
                  ".y.csv~0badcafe"}, "old");
        // A long name's cut-off write, and one of a name with the same head.
        const auto cutOff = [&](const QString& target) {
            platform::Replacement write(file(target));
            write.create();
            const QString left = write.path();
            write.discard();
            touch(left, "old");
            return folder.relativeFilePath(left);
        };
        const QMap<QString, QString> ownLeftover{{u"x.csv"_s, u".x.csv~0badcafe"_s}, {longName(), cutOff(longName())}};
        cutOff(longName().chopped(3) + u"txt"_s);
        QVERIFY(QFile::setPermissions(file(u"ro.csv"_s), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::link(u"real/t.csv"_s, file(u"t.csv"_s)) && QFile::link(u"t.csv"_s, file(u"c.csv"_s)));
        QVERIFY(QFile::link(u"loop.csv"_s, file(u"loop.csv"_s)));
        // k1.csv to k41.csv, each a link to the one before, k1.csv to the file.
        for (int k = 1; k <= 41; ++k)
            QVERIFY(QFile::link(k == 1 ? u"real/t.csv"_s : u"k%1.csv"_s.arg(k - 1), file(u"k%1.csv"_s.arg(k))));
        QVERIFY(QFile(file(u"k40.csv"_s)).open(QIODevice::ReadOnly) && !QFile(file(u"k41.csv"_s)).open(QIODevice::ReadOnly));
        // Each file's bytes, or where a link points.
        const auto contents = [&] {
            QMap<QString, QByteArray> all;
            QDirIterator it(m_dir->path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo info = it.nextFileInfo();
                all[folder.relativeFilePath(info.filePath())] =
                    info.isSymLink() ? QFile::encodeName(info.symLinkTarget()) : testsupport::fileBytes(info.filePath());
            }
            return all;
        };
        QMap<QString, QByteArray> expected = contents();
        if (!written.isEmpty())
            expected[written] = "new";
        expected.remove(ownLeftover.value(name));

        std::optional<testsupport::ReadOnlyFolder> locked;
        if (name.startsWith(u"locked/"_s))
            locked.emplace(file(u"locked"_s));
        const vb::Error error = testsupport::raisedError([&] { platform::writeWholeFileOrRaise(file(name), "new"); });
        locked.reset();
        QCOMPARE(error.number(), number);
        if (number != 0)
            QVERIFY2(error.description().contains(file(name)), qPrintable(error.description()));
        QCOMPARE(contents(), expected);
    }

    // A name in a folder another user may write (an office's group folder,
    // a user's folder root runs from, a sticky one) is written through
    // this user's links only: another user's link points the write at a
    // file its maker can't reach. The file it leads to stays as it was
    // and nothing is made where it points; the refusal names the link.
    void otherUsersLinksAreNotFollowed_data()
    {
        QTest::addColumn<unsigned>("who");     // the user writing (0: root)
        QTest::addColumn<int>("linkBy");       // whose link stands at the name (-1: none, a file the list lets him write)
        QTest::addColumn<unsigned>("owner");   // the folder's owner
        QTest::addColumn<int>("mode");         // and its mode
        QTest::addColumn<QString>("name");     // written in it
        QTest::addColumn<QString>("leadsTo");  // where the link points
        QTest::addColumn<bool>("through");
        QTest::newRow("a colleague's link into the user's home, a group folder")
            << User << int(Colleague) << 0u << 02775 << u"out.csv"_s << u"home/notes.ini"_s << false;
        QTest::newRow("a colleague's link to a missing name there")
            << User << int(Colleague) << 0u << 02775 << u"out.csv"_s << u"home/new.csv"_s << false;
        QTest::newRow("the user's own link there")
            << User << int(User) << 0u << 02775 << u"out.csv"_s << u"home/notes.ini"_s << true;
        QTest::newRow("root: the user's link at the settings to a root-only file")
            << 0u << int(User) << User << 0755 << u"Init.ini"_s << u"rootonly/secret.ini"_s << false;
        QTest::newRow("root: the user's link to a missing name of a root-only folder")
            << 0u << int(User) << User << 0755 << u"out.csv"_s << u"rootonly/new.csv"_s << false;
        QTest::newRow("root's own link") << 0u << 0 << User << 0755 << u"Init.ini"_s << u"rootonly/secret.ini"_s << true;
        QTest::newRow("the folder owner's link, a sticky folder")
            << User << int(Colleague) << Colleague << 01777 << u"out.csv"_s << u"home/notes.ini"_s << false;
        QTest::newRow("the user's own link, a sticky folder")
            << User << int(User) << Colleague << 01777 << u"out.csv"_s << u"home/notes.ini"_s << true;
        QTest::newRow("a hard link to another user's file, links unguarded")
            << User << -2 << 0u << 02775 << u"out.csv"_s << u"theirs.csv"_s << false;
    }

    void otherUsersLinksAreNotFollowed()
    {
        QFETCH(unsigned, who);
        QFETCH(int, linkBy);
        QFETCH(unsigned, owner);
        QFETCH(int, mode);
        QFETCH(QString, name);
        QFETCH(QString, leadsTo);
        QFETCH(bool, through);
        const auto own = [](const QString& path, unsigned uid, mode_t bits, unsigned group = Office) {
            const QByteArray native = QFile::encodeName(path);
            return ::lchown(native.constData(), uid, group) == 0
                && (bits == 0 || ::chmod(native.constData(), bits) == 0);
        };
        QDir folder(m_dir->path());
        QVERIFY(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755) == 0);
        for (const char* sub : {"home", "rootonly", "place"})
            QVERIFY(folder.mkdir(QString::fromLatin1(sub)));
        touch(file(u"home/notes.ini"_s), "[s]\nk=notes\n");
        touch(file(u"rootonly/secret.ini"_s), "[s]\nk=secret\n");
        QVERIFY(own(file(u"home"_s), User, 0700) && own(file(u"home/notes.ini"_s), User, 0600)
                && own(file(u"rootonly/secret.ini"_s), 0, 0600, 0) && own(file(u"rootonly"_s), 0, 0700, 0));
        const QString at = file(u"place/"_s + name);
        if (linkBy >= 0) {
            QVERIFY(QFile::link(file(leadsTo), at) && own(at, unsigned(linkBy), 0));
        } else {  // another user's file the user may write, a second name of it
            touch(file(leadsTo), "theirs");
            QVERIFY(own(file(leadsTo), Colleague, 0666) && ::link(QFile::encodeName(file(leadsTo)).constData(), QFile::encodeName(at).constData()) == 0);
            linkBy = int(Colleague);
        }
        QVERIFY(own(file(u"place"_s), owner, mode_t(mode)));
        const QStringList targets{u"home/notes.ini"_s, u"rootonly/secret.ini"_s};

        const auto write = [&] {
            platform::assumeHardLinksProtected(false);
            if (name == u"Init.ini"_s) {
                // Neither read nor written through the link.
                const bool read = platform::ini::read(at, u"s"_s, u"k"_s) == u"secret"_s;
                return platform::ini::write(at, u"s"_s, u"k"_s, u"new"_s) == through && read == through ? 0 : 1;
            }
            const vb::Error error = testsupport::raisedError([&] { platform::writeWholeFileOrRaise(at, "[s]\nk=new\n"); });
            if (through)
                return error.number() == 0 ? 0 : 2;
            return error.number() == vb::errPermission
                    && error.description() == at + u" は、ほかのユーザー（%1）が作ったリンクです。ほかのユーザーのリンクの先へは、読み書きしません。"_s.arg(linkBy)
                ? 0 : 3;
        };
        QCOMPARE(who == 0 ? testsupport::inChild(write) : testsupport::asColleague(who, {Office}, write), 0);
        for (const QString& target : targets)
            QCOMPARE(testsupport::fileBytes(file(target)).contains("new"), through && target == leadsTo);
        QVERIFY(!QFile::exists(file(u"home/new.csv"_s)) && !QFile::exists(file(u"rootonly/new.csv"_s)));
        QCOMPARE(QFileInfo(at).isSymLink(), leadsTo != u"theirs.csv"_s);
    }

    // Another user's link met by copy, rename and delete, at either name,
    // is refused and named: a copy would give the colleague the user's
    // private file's bytes in a file of the group folder.
    void copyRenameDeleteRefuseAnotherUsersLink()
    {
        QDir(m_dir->path()).mkpath(u"home"_s);
        QDir(m_dir->path()).mkpath(u"place"_s);
        touch(file(u"home/notes.ini"_s), "private");
        touch(file(u"place/mine"_s), "mine");
        const QString link = file(u"place/link"_s);
        QVERIFY(QFile::link(file(u"home/notes.ini"_s), link));
        const auto chown = [](const QString& path, unsigned uid, unsigned group, mode_t mode) {
            const QByteArray native = QFile::encodeName(path);
            return ::lchown(native.constData(), uid, group) == 0 && (mode == 0 || ::chmod(native.constData(), mode) == 0);
        };
        QVERIFY(chown(m_dir->path(), 0, 0, 0755) && chown(file(u"home"_s), User, User, 0700)
                && chown(file(u"home/notes.ini"_s), User, User, 0600) && chown(file(u"place/mine"_s), User, Office, 0664)
                && chown(link, Colleague, Colleague, 0) && chown(file(u"place"_s), 0, Office, 02775));
        const QString told = platform::foreignLinkText(link);
        QCOMPARE(testsupport::asColleague(User, {Office}, [&] {
            int refused = 0;
            for (const std::function<void()>& operation : std::initializer_list<std::function<void()>>{
                     [&] { files::copyFile(link, file(u"place/copy"_s)); },
                     [&] { files::copyFile(file(u"place/mine"_s), link); },
                     [&] { files::renameFile(link, file(u"place/moved"_s)); },
                     [&] { files::renameFile(file(u"place/mine"_s), link); },
                     [&] { files::deleteFile(link); },
                 }) {
                const vb::Error e = testsupport::raisedError(operation);
                refused += e.number() == vb::errPermission && e.description() == told;
            }
            return refused;
        }), 5);
        struct stat st {};
        QVERIFY(::lstat(QFile::encodeName(link).constData(), &st) == 0 && S_ISLNK(st.st_mode) && st.st_uid == Colleague);
        QCOMPARE(QDir(file(u"place"_s)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), (QStringList{u"link"_s, u"mine"_s}));
        QCOMPARE(testsupport::fileBytes(file(u"home/notes.ini"_s)), "private"_ba);
    }

    // A file replaced by a write keeps its owner, group, mode and access
    // list. A user the list lets write another user's file can't make the
    // file again as it is: refused, saying why, the file as it was.
    void replacedFileKeepsItsAccessList_data()
    {
        QTest::addColumn<unsigned>("who");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("the owner") << User << true;
        QTest::newRow("an outsider the list lets write") << Colleague << false;
        QTest::newRow("root") << 0u << true;
    }
    void replacedFileKeepsItsAccessList()
    {
        QFETCH(unsigned, who);
        QFETCH(bool, replaced);
        const QString at = file(u"acl.csv"_s);
        const QByteArray native = QFile::encodeName(at);
        touch(at, "old");
        // user::rw- user:<Colleague>:rw- group::r-- mask::rw- other::r--
        const QByteArray list = QByteArray::fromHex("02000000" "01000600ffffffff" "0200060093100000"
                                                    "04000400ffffffff" "10000600ffffffff" "20000400ffffffff");
        if (::setxattr(native.constData(), "system.posix_acl_access", list.constData(), size_t(list.size()), 0) != 0)
            QSKIP(qPrintable(u"the test folder's file system keeps no access list: "_s + QString::fromLocal8Bit(std::strerror(errno))));
        QVERIFY(::chown(native.constData(), User, Office) == 0 && ::chmod(m_dir->path().toLocal8Bit().constData(), 0777) == 0);
        const auto write = [&] {
            const vb::Error error = testsupport::raisedError([&] { platform::writeWholeFileOrRaise(at, "new"); });
            if (replaced)
                return error.number() == 0 ? 0 : 1;
            return error.number() == vb::errPermission
                    && error.description() == at + u" に書き込めませんでした。元のファイルはそのままです。\r\n"
                                                   "書き込んだファイルがこのファイルに代わるため、このファイルと同じ所有者とグループが要ります。\r\n"
                                                   "このファイルの所有者はユーザー 4241 です。ほかのユーザーが作るファイルには、この所有者を付けられません。\r\n"
                                                   "このファイルの所有者で、このファイルのグループに入っているユーザーが書き込むか、ほかの名前で保存してください。"_s
                ? 0 : 2;
        };
        QCOMPARE(who == 0 ? testsupport::inChild(write) : testsupport::asColleague(who, {Office}, write), 0);
        QCOMPARE(testsupport::fileBytes(at), replaced ? "new"_ba : "old"_ba);
        struct stat st {};
        QVERIFY(::stat(native.constData(), &st) == 0);
        QCOMPARE(st.st_uid, uid_t(User));
        QCOMPARE(st.st_gid, gid_t(Office));
        QCOMPARE(st.st_mode & 07777, mode_t(0664));
        QByteArray kept(list.size() + 8, 0);
        kept.resize(qMax<ssize_t>(::getxattr(native.constData(), "system.posix_acl_access", kept.data(), size_t(kept.size())), 0));
        QCOMPARE(kept, list);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"acl.csv"_s});
    }

    // A colleague exchanging his link with the user's own link at the name
    // the user writes, over and over: the user's own link is followed or
    // the colleague's refused, never the colleague's text followed.
    void exchangedLinkLendsNoText()
    {
        for (const char* sub : {"home", "place"})
            QVERIFY(QDir(m_dir->path()).mkdir(QString::fromLatin1(sub)));
        touch(file(u"home/secret.txt"_s), "secret");
        touch(file(u"place/mine.csv"_s), "mine");
        const QByteArray out = QFile::encodeName(file(u"place/out.csv"_s)), theirs = QFile::encodeName(file(u"place/theirs"_s));
        QVERIFY(::symlink("mine.csv", out.constData()) == 0
                && ::symlink(QFile::encodeName(file(u"home/secret.txt"_s)).constData(), theirs.constData()) == 0);
        QVERIFY(::lchown(out.constData(), User, Office) == 0 && ::lchown(theirs.constData(), Colleague, Office) == 0
                && ::chown(QFile::encodeName(file(u"place/mine.csv"_s)).constData(), User, Office) == 0
                && ::chown(QFile::encodeName(file(u"home"_s)).constData(), User, User) == 0
                && ::chown(QFile::encodeName(file(u"home/secret.txt"_s)).constData(), User, User) == 0
                && ::chmod(QFile::encodeName(file(u"home"_s)).constData(), 0700) == 0
                && ::chown(QFile::encodeName(file(u"place"_s)).constData(), 0, Office) == 0
                && ::chmod(QFile::encodeName(file(u"place"_s)).constData(), 02775) == 0
                && ::chmod(m_dir->path().toLocal8Bit().constData(), 0755) == 0);
        const auto result = [&] {
            const testsupport::NameExchange colleague(Colleague, {Office}, QFile::decodeName(out), QFile::decodeName(theirs));
            return testsupport::asColleague(User, {Office}, [&] {
                // Two looks were taken in between within a few thousand writes.
                for (int write = 0; write < 8000 && (write % 64 || testsupport::fileBytes(file(u"home/secret.txt"_s)) == "secret"); ++write)
                    platform::writeWholeFile(file(u"place/out.csv"_s), "export", platform::Durability::Cache);
                return 0;
            });
        }();
        QCOMPARE(result, 0);
        QCOMPARE(testsupport::fileBytes(file(u"home/secret.txt"_s)), "secret"_ba);
        QCOMPARE(testsupport::fileBytes(file(u"place/mine.csv"_s)), "export"_ba);
    }

private:
    static constexpr unsigned Office = 4242, User = 4241, Colleague = 4243;
    // 82 kanji or more pass the system's limit once a new file's marks are added.
    static QString longName() { return QString(83, u'あ') + u".csv"_s; }
    QScopedPointer<QTemporaryDir> m_dir;
    QString file(const QString& name) const { return m_dir->filePath(name); }
    void touchAll(std::initializer_list<const char*> names, const QByteArray& content = "x") const
    {
        for (const char* name : names)
            touch(file(QString::fromLatin1(name)), content);
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
