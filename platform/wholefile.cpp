#include "platform/wholefile.h"

#include "platform/writeerror.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace platform {

namespace {

// A link is written through: its target takes the new file.
QString target(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

}  // namespace

WholeFile::WholeFile(const QString& path, Durability durability)
    : m_path(target(path)), m_new(m_path + QStringLiteral(".part")), m_durability(durability)
{
}

WholeFile::~WholeFile()
{
    if (m_new.isOpen()) {
        m_new.close();
        QFile::remove(m_new.fileName());
    }
}

bool WholeFile::open()
{
    if (!m_new.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(m_new.error());
    // The file it replaces keeps its permissions.
    if (QFile::exists(m_path))
        m_new.setPermissions(QFile::permissions(m_path));
    return true;
}

bool WholeFile::write(const char* data, qint64 size)
{
    if (m_failed)
        return false;
    return m_new.write(data, size) == size || fail(m_new.error());
}

bool WholeFile::commit()
{
    if (m_failed || !m_new.isOpen())
        return fail(m_new.error());
    if (!m_new.flush() || m_new.error() != QFileDevice::NoError)
        return fail(m_new.error());
    if (m_durability == Durability::Synced && ::fsync(m_new.handle()) != 0)
        return fail(errno == ENOSPC || errno == EDQUOT ? QFileDevice::ResourceError : QFileDevice::WriteError);
    m_new.close();
    if (m_new.error() != QFileDevice::NoError)
        return fail(m_new.error());
    if (std::rename(QFile::encodeName(m_new.fileName()).constData(), QFile::encodeName(m_path).constData()) != 0)
        return fail(errno == EACCES || errno == EPERM ? QFileDevice::PermissionsError : QFileDevice::RenameError);
    return true;
}

// Keeps the first error and removes the new file at once.
bool WholeFile::fail(QFileDevice::FileError error)
{
    if (!m_failed) {
        m_failed = true;
        m_error = error;
        m_new.close();
        QFile::remove(m_new.fileName());
    }
    return false;
}

void WholeFile::raiseError() const
{
    vb::raiseWriteError(m_failed ? m_error : m_new.error(), m_path);
}

bool writeWholeFile(const QString& path, const QByteArray& data, Durability durability)
{
    WholeFile file(path, durability);
    return file.open() && file.write(data) && file.commit();
}

void writeWholeFileOrRaise(const QString& path, const QByteArray& data)
{
    WholeFile file(path);
    if (!(file.open() && file.write(data) && file.commit()))
        file.raiseError();
}

}  // namespace platform
