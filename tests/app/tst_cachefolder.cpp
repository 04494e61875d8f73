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

#include <thread>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vb;
using namespace Qt::StringLiterals;

namespace {

constexpr unsigned office = 4242, user = 4241, colleague = 4243;

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// exFAT in an image, mounted on `folder` as a stick is mounted for its
// user: every file `owner`'s, every mode 0775 whatever is asked (the
// kernel's exFAT, else the FUSE one). why(): where neither mounts, why not.
struct FixedModesDisk {
    FixedModesDisk(const QString& folder, unsigned owner) : folder(folder)
    {
        const QString image = folder + u".img"_s, options = u"loop,uid=%1,gid=%1,umask=002"_s.arg(owner);
        QFile file(image);
        mounted = QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) && file.resize(32LL << 20)
                && run(u"mkfs.exfat"_s, {image})
                && (run(u"mount"_s, {u"-t"_s, u"exfat"_s, u"-o"_s, options, image, folder})
                    || run(u"mount"_s, {u"-t"_s, u"exfat-fuse"_s, u"-o"_s, options, image, folder}));
    }
    ~FixedModesDisk()
    {
        if (mounted && ::umount2(QFile::encodeName(folder).constData(), 0) != 0)
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    }
    QString folder;
    bool mounted = false;
};

// Starts the program, to the start window with no box.
bool start()
{
    platform::ScopedScriptedUi ui;
    mdlSub::Main();
    return ui->count() == 0 && platform::Instance<frmMain>::exists() && GE_booDbOpen;
}

bool quit()
{
    platform::ScopedScriptedUi quiet;
    platform::Instance<frmMain>::get().unload();
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
        if (!disk.mounted)
            QSKIP("no exFAT here: mkfs.exfat (exfatprogs) missing, or neither the kernel's exFAT nor exfat-fuse mounts");
        testsupport::ProgramFolder folder;
        const QString program = disk.folder + u"/p"_s;
        QVERIFY(run(u"cp"_s, {u"-r"_s, folder.path(), program}) && run(u"chown"_s, {QString::number(user), cacheHome.path()})
                && QFile::setPermissions(scratch.path(), QFileDevice::Permissions(0x7755)));
        platform::app::setPath(program);
        QCOMPARE(testsupport::asUser(user, [&] {
            qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
            return start() && GE_strTempPath == cacheHome.filePath(u".nemunoki2-%1"_s.arg(user)) && quit() ? 0 : 1;
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
        const QString temp = folder.file(u"TEMP"_s), name = temp + u"/.nemunoki2-%1"_s.arg(user), away = name + u".away"_s;
        const QStringList photos{u"a.jpg"_s, u"b.jpg"_s};
        for (const QString& photo : photos) {
            QFile file(pictures.filePath(photo));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(exifsamples::jpeg({exifsamples::exifSegment({})})) > 0);
        }
        QVERIFY(run(u"chown"_s, {u"-R"_s, QString::number(user), pictures.path()}) && QDir().mkpath(temp)
                && run(u"chgrp"_s, {u"-R"_s, QString::number(office), folder.path()})
                && run(u"chmod"_s, {u"-R"_s, u"g+rwX,o+rX"_s, folder.path()}));
        int ready[2], planted[2];
        QVERIFY(::pipe(ready) == 0 && ::pipe(planted) == 0);
        // The colleague's hand, during the run once the user's start is done.
        std::thread hand([&] {
            testsupport::asColleague(colleague, {office}, [&] {
                char word = 0;
                const bool put = (!during || (::read(ready[0], &word, 1) == 1 && QFile::rename(name, away)))
                        && (link ? QFile::link(pictures.path(), name)
                                 : QDir().mkdir(name) && QFile::setPermissions(name, QFileDevice::Permissions(0x7777)));
                return ::write(planted[1], put ? "y" : "n", 1) == 1 ? 0 : 1;
            });
        });
        if (!during)
            hand.join();
        const int result = testsupport::inChild([&] {
            if (!proc && (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                          || ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0))
                return 3;
            return testsupport::asColleague(user, {office}, [&] {
                char put = 0;
                if (!start() || (during && ::write(ready[1], "g", 1) != 1) || ::read(planted[0], &put, 1) != 1 || put != 'y')
                    return 1;
                GE_strFolder = pictures.path();
                frmThumbnail& browser = platform::Instance<frmThumbnail>::get();
                browser.showForm(platform::vbModeless);
                browser.activateWindow();  // the cells fill (and their thumbnails are kept) as it comes to the front
                if (!QTest::qWaitForWindowActive(&browser))
                    return 2;
                // Kept in TEMP (in the user's folder, wherever its name went), each in a folder of the user's closed to others.
                int kept = 0;
                for (QDirIterator it(temp, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
                    struct stat at {};
                    const QFileInfo file(it.next());
                    if (file.ownerId() == user && ++kept
                        && (::stat(QFile::encodeName(file.path()).constData(), &at) != 0 || at.st_uid != user || (at.st_mode & 077) != 0))
                        return 4;
                }
                if (kept == 0 || (during && QDir(away).entryList({u"thumb_*.jpg"_s}, QDir::Files).isEmpty()))
                    return 6;
                return quit() ? 0 : 5;
            });
        });
        if (during) {
            if (result != 0)  // the colleague's hand waits no longer
                QCOMPARE(::write(ready[1], "g", 1), 1);
            hand.join();
        }
        for (const int end : {ready[0], ready[1], planted[0], planted[1]})
            ::close(end);
        if (result == 3)
            QSKIP("no mount namespace of its own here");
        QCOMPARE(result, 0);
        QCOMPARE(QDir(pictures.path()).entryList(QDir::Files), photos);
        if (during)  // and removed from there at the close
            QCOMPARE(QDir(away).entryList(QDir::Files), QStringList());
    }
};

QTEST_MAIN(TestCacheFolder)
#include "tst_cachefolder.moc"
