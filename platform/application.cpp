#include "platform/application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

bool prevInstance()
{
    if (lockDescriptor() >= 0)
        return false;
    // An advisory lock on a file of the program folder: the kernel drops it
    // when the process dies, so a crash never blocks the next start.
    const QByteArray lockPath = QFile::encodeName(QDir(path()).filePath(QStringLiteral(".nemunoki2.lock")));
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;  // a read-only program folder must not stop the program
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
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
