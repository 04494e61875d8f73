// The caches' folder a start gives a user: on a file system that gives no
// folder a mode of its own, and in a work folder a colleague may write.

#include "app/frmMain.h"
#include "app/globals.h"
#include "app/mdlSub.h"
#include "db/mdlDB.h"
#include "library/frmThumbnail.h"
#include "platform/application.h"
#include "platform/form.h"
#include "platform/ui.h"
#include "tests/library/exif_corpus/exif_samples.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vb;
using namespace Qt::StringLiterals;

namespace {

constexpr unsigned office = 4242, user = 4241, colleague = 4243;

// exFAT in an image, mounted on `folder` as a stick is mounted for its
// user: every file `owner`'s, every mode 0775 whatever is asked. The
// kernel's exFAT where it has one, else the FUSE one; where neither
// mounts, why not.
class FixedModesDisk {
public:
    FixedModesDisk(const QString& folder, unsigned owner) : m_folder(folder), m_image(folder + u".img"_s)
    {
        QDir().mkpath(folder);
        QFile image(m_image);
        if (!image.open(QIODevice::WriteOnly) || !image.resize(32LL << 20))
            m_why = u"no image file"_s;
        else if (image.close(); !run(u"mkfs.exfat"_s, {m_image}))
            m_why = u"mkfs.exfat (exfatprogs) fails or is missing"_s;
        const QString options = u"loop,uid=%1,gid=%1,umask=002"_s.arg(owner);
        m_mounted = m_why.isEmpty()
            && (run(u"mount"_s, {u"-t"_s, u"exfat"_s, u"-o"_s, options, m_image, folder})
                || run(u"mount"_s, {u"-t"_s, u"exfat-fuse"_s, u"-o"_s, options, m_image, folder}));
        if (m_why.isEmpty() && !m_mounted)
            m_why = u"neither the kernel's exFAT nor exfat-fuse (with /dev/fuse) mounts here"_s;
    }
    ~FixedModesDisk()
    {
        if (m_mounted && ::umount2(QFile::encodeName(m_folder).constData(), 0) != 0)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
        QFile::remove(m_image);
    }
    const QString& why() const { return m_why; }

private:
    static bool run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QString m_folder, m_image, m_why;
    bool m_mounted = false;
};

bool copyTree(const QString& from, const QString& to)
{
    bool copied = QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        copied = copied && (entry.isDir() ? copyTree(entry.filePath(), to + u'/' + entry.fileName())
                                          : QFile::copy(entry.filePath(), to + u'/' + entry.fileName()));
    return copied;
}

bool chownTo(const QString& path, unsigned uid)
{
    return ::chown(QFile::encodeName(path).constData(), uid, uid) == 0;
}

// Starts the program as the test's user, to the start window with no box.
bool start()
{
    platform::ScopedScriptedUi ui;
    mdlSub::Main();
    for (const auto& box : ui->boxes)
        qWarning("box %s: %s", qPrintable(box.title), qPrintable(box.prompt));
    return ui->count() == 0 && platform::Instance<frmMain>::exists() && GE_booDbOpen;
}

// The thumbnail browser shown on `folder`, its cells filled (cached).
bool browse(const QString& folder)
{
    GE_strFolder = folder;
    frmThumbnail& browser = platform::Instance<frmThumbnail>::get();
    browser.showForm(platform::vbModeless);
    browser.activateWindow();
    return QTest::qWaitForWindowActive(&browser) && !browser.imgPictureS.isEmpty();
}

bool quit()
{
    platform::ScopedScriptedUi quiet;
    platform::Instance<frmMain>::get().unload();
    for (const auto& box : quiet->boxes)
        qWarning("box at the quit %s: %s", qPrintable(box.title), qPrintable(box.prompt));
    return quiet->count() == 0;
}

}  // namespace

class TestCacheFolder : public QObject {
    Q_OBJECT

private slots:
    // A program folder on a stick or a share whose file system keeps no
    // modes starts to the start window: the caches go to the user's own
    // folder in the desktop's cache folder, and TEMP is left as it was.
    void fixedModesFileSystemStarts()
    {
        QTemporaryDir scratch, cacheHome;
        FixedModesDisk disk(scratch.filePath(u"stick"_s), user);
        if (!disk.why().isEmpty())
            QSKIP(qPrintable(disk.why()));
        testsupport::ProgramFolder folder;
        const QString program = scratch.filePath(u"stick/p"_s);
        QVERIFY(copyTree(folder.path(), program) && chownTo(cacheHome.path(), user));
        QVERIFY(QFile::setPermissions(scratch.path(), QFileDevice::Permissions(0x7755)));
        platform::app::setPath(program);
        QCOMPARE(testsupport::asUser(user, [&] {
            qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
            struct stat held {};
            return start() && GE_strTempPath == cacheHome.filePath(u".nemunoki2-%1"_s.arg(user))
                    && ::stat(QFile::encodeName(GE_strTempPath).constData(), &held) == 0 && (held.st_mode & 0777) == 0700
                    && quit() ? 0 : 1;
        }), 0);
        QCOMPARE(QDir(program + u"/TEMP"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // A colleague in the office's work folder puts a link to the user's
    // photos at the name of the user's caches' folder before the start,
    // or renames that folder during the run for such a link or a folder of
    // his (with or without the system's /proc): the user's thumbnails go
    // to a folder of the user's own closed to others, and the close
    // removes them there, not one of the photos.
    void colleagueAtTheCacheFolder_data()
    {
        QTest::addColumn<bool>("during");  // the run's: renamed away; else put before the start
        QTest::addColumn<bool>("link");    // a link to the photos; else a folder of his
        QTest::addColumn<bool>("proc");
        QTest::newRow("a link to the photos at its name") << false << true << true;
        QTest::newRow("renamed for a link to the photos") << true << true << true;
        QTest::newRow("renamed for a link to the photos, no /proc") << true << true << false;
        QTest::newRow("renamed for his own folder, no /proc") << true << false << false;
    }
    void colleagueAtTheCacheFolder()
    {
        QFETCH(bool, during);
        QFETCH(bool, link);
        QFETCH(bool, proc);
        testsupport::ProgramFolder folder;
        QTemporaryDir pictures;  // the user's, closed to others
        const QString temp = folder.file(u"TEMP"_s), name = temp + u"/.nemunoki2-%1"_s.arg(user);
        const QStringList photos{u"a.jpg"_s, u"b.jpg"_s};
        for (const QString& photo : photos) {
            QFile file(pictures.filePath(photo));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(exifsamples::jpeg({exifsamples::exifSegment({})})) > 0);
            file.close();
            QVERIFY(chownTo(file.fileName(), user));
        }
        QVERIFY(chownTo(pictures.path(), user) && QDir().mkpath(temp));
        QVERIFY(QProcess::execute(u"chgrp"_s, {u"-R"_s, QString::number(office), folder.path()}) == 0
                && QProcess::execute(u"chmod"_s, {u"-R"_s, u"g+rwX,o+rX"_s, folder.path()}) == 0);
        // What the colleague puts at the name (the user's folder renamed away first, during the run).
        const auto plant = [&] {
            if (during && ::rename(QFile::encodeName(name).constData(), QFile::encodeName(name + u".away"_s).constData()) != 0)
                return 1;
            return (link ? QFile::link(pictures.path(), name) : QDir().mkdir(name) && QFile::setPermissions(name, QFileDevice::Permissions(0x7777)))
                    ? 0 : 1;
        };
        if (!during)
            QCOMPARE(testsupport::asColleague(colleague, {office}, plant), 0);
        int ready[2], planted[2];
        QVERIFY(::pipe(ready) == 0 && ::pipe(planted) == 0);
        const pid_t planter = during ? ::fork() : 0;
        if (during && planter == 0) {  // the colleague, once the user's run has started
            char go = 0;
            const gid_t groups[] = {office};
            const bool as = ::setgroups(1, groups) == 0 && ::setgid(colleague) == 0 && ::setuid(colleague) == 0;
            const char done = as && ::read(ready[0], &go, 1) == 1 && plant() == 0 ? 'y' : 'n';
            ::_exit(::write(planted[1], &done, 1) == 1 ? 0 : 1);
        }
        const int result = testsupport::inChild([&] {
            if (!proc && (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                          || ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0))
                return 3;
            return testsupport::asColleague(user, {office}, [&] {
                char done = 'y';
                if (!start() || (during && (::write(ready[1], "g", 1) != 1 || ::read(planted[0], &done, 1) != 1 || done != 'y')))
                    return 1;
                if (!browse(pictures.path()))
                    return 2;
                // The thumbnails are kept in TEMP (in the user's folder, wherever its name
                // went), each in a folder of the user's closed to others.
                int kept = 0;
                for (QDirIterator it(temp, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
                    struct stat at {};
                    const QFileInfo file(it.next());
                    if (file.ownerId() == user && ++kept
                        && (::stat(QFile::encodeName(file.path()).constData(), &at) != 0 || at.st_uid != user || (at.st_mode & 077) != 0))
                        return 4;
                }
                if (kept == 0 || (during && QDir(name + u".away"_s).entryList({u"thumb_*.jpg"_s}, QDir::Files).isEmpty()))
                    return 6;
                return quit() ? 0 : 5;
            });
        });
        if (during)
            ::waitpid(planter, nullptr, 0);
        for (const int end : {ready[0], ready[1], planted[0], planted[1]})
            ::close(end);
        if (result == 3)
            QSKIP("no mount namespace of its own here");
        QCOMPARE(result, 0);
        QCOMPARE(QDir(pictures.path()).entryList(QDir::Files), photos);
        if (during)  // and removed from there at the close
            QCOMPARE(QDir(name + u".away"_s).entryList(QDir::Files), QStringList());
    }
};

QTEST_MAIN(TestCacheFolder)
#include "tst_cachefolder.moc"
