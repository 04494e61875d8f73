#include "platform/application.h"

#include "platform/ownlinks.h"
#include "platform/ui.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QScreen>
#include <QTranslator>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {
// The system's macros, before the version's major() and minor() are met.
unsigned deviceMajor(dev_t device) { return major(device); }
unsigned deviceMinor(dev_t device) { return minor(device); }
}  // namespace
#undef major
#undef minor

namespace platform::app {

namespace {

QString& overridePath()
{
    static QString path;
    return path;
}

QString& helpFilePath()
{
    static QString path;
    return path;
}

int& lockDescriptor()
{
    static int fd = -1;
    return fd;
}

}  // namespace

QString path()
{
    if (!overridePath().isEmpty())
        return overridePath();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void setPath(const QString& folder)
{
    overridePath() = folder;
}

QString title()
{
    return QStringLiteral("ねむのきⅡ");
}

int major() { return NEMU_VERSION_MAJOR; }
int minor() { return NEMU_VERSION_MINOR; }
int revision() { return NEMU_VERSION_REVISION; }

QString helpFile()
{
    return helpFilePath();
}

void setHelpFile(const QString& file)
{
    helpFilePath() = file;
}

void showHelp()
{
    const QString file = helpFile();
    if (ui().openUrl(file))
        return;
    vb::MsgBox(file + vb::vbCrLf + QStringLiteral("ヘルプを表示できませんでした。") + vb::vbCrLf
                   + QStringLiteral("このファイルをブラウザで開いてください。"),
               vb::vbExclamation + vb::vbOKOnly, QStringLiteral("ヘルプ"));
}

namespace {

int openLockFile(const QString& folder, const QString& name, QString& foreignLink)
{
    const QString file = QDir(folder).filePath(name);
    const int fd = openOwn(file, O_RDONLY | O_CREAT, 0644, &foreignLink);
    // Another user's file in a shared folder may refuse O_CREAT yet open.
    return fd >= 0 || !foreignLink.isEmpty() ? fd : openOwn(file, O_RDONLY, 0, &foreignLink);
}

// The lock file: in the program folder, whose settings and work folder
// every instance started from it shares, whoever started it. Where that
// folder allows no new file (an installation the user may not write), in
// the user's runtime folder, else the system's temporary folder, which all
// users share: named after the program folder, so that each installation
// keeps its own lock, and after the user, so that one user's program never
// refuses another's.
int openInstanceLock(QString& foreignLink)
{
    const int fd = openLockFile(path(), QStringLiteral(".nemunoki2.lock"), foreignLink);
    if (fd >= 0 || !foreignLink.isEmpty())
        return fd;
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    const QByteArray id = QCryptographicHash::hash(QFile::encodeName(QDir(path()).absolutePath()),
                                                   QCryptographicHash::Sha1).toHex().left(16);
    return openLockFile(folder, QStringLiteral(".nemunoki2-%1-%2.lock").arg(::getuid()).arg(QString::fromLatin1(id)),
                        foreignLink);
}

// The user whose process holds the lock on the file open as `fd`, by the
// system's list of locks; "" where it is this user or can't be told.
QString lockHolder(int fd)
{
    struct stat own {};
    QFile locks(QStringLiteral("/proc/locks"));
    if (::fstat(fd, &own) != 0 || !locks.open(QIODevice::ReadOnly))
        return QString();
    // "1: FLOCK  ADVISORY  WRITE 4711 08:01:123456 0 EOF"
    const QByteArray file = QByteArray::number(deviceMajor(own.st_dev), 16).rightJustified(2, '0') + ':'
        + QByteArray::number(deviceMinor(own.st_dev), 16).rightJustified(2, '0') + ':' + QByteArray::number(quint64(own.st_ino));
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields[1] != "FLOCK" || fields[5] != file)
            continue;
        struct stat process {};
        if (::stat(("/proc/" + fields[4]).constData(), &process) == 0 && process.st_uid != ::geteuid())
            return userName(process.st_uid);
    }
    return QString();
}

}  // namespace

bool prevInstance(QString* foreignLink, QString* otherUser)
{
    if (lockDescriptor() >= 0)
        return false;
    // An advisory lock: the kernel drops it when the process dies, so a
    // crash never blocks the next start.
    QString link;
    const int fd = openInstanceLock(link);
    if (foreignLink)
        *foreignLink = link;
    if (fd < 0)
        return !link.isEmpty();  // no folder for a lock must not stop the program
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (otherUser)
            *otherUser = lockHolder(fd);
        ::close(fd);
        return true;
    }
    lockDescriptor() = fd;
    return false;
}

void releaseInstanceLock()
{
    if (lockDescriptor() >= 0) {
        ::close(lockDescriptor());
        lockDescriptor() = -1;
    }
}

bool loadQtTranslations()
{
    static QPointer<QTranslator> installed;
    if (installed)
        return true;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    auto* translator = new QTranslator(application);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

bool japaneseFontInstalled()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return true;
    // The font database counts a font for Japanese when fontconfig finds
    // the language's letters in it: kana and the common kanji.
    return !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
}

void takeSizeLimitAsWriteError()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

long platformId()
{
    return 2;
}

QRect workAreaTwips()
{
    QRect pixels(0, 0, 1024, 768);
    if (QGuiApplication::instance()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            pixels = screen->availableGeometry();
    }
    return QRect(pixels.x() * TwipsPerPixel, pixels.y() * TwipsPerPixel, pixels.width() * TwipsPerPixel,
                 pixels.height() * TwipsPerPixel);
}

}  // namespace platform::app
