#include "platform/wholefile.h"

#include "platform/writeerror.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace platform {

WholeFile::WholeFile(const QString& path, Durability durability)
    : m_file(path), m_cache(path + QStringLiteral(".part")), m_path(path), m_durability(durability)
{
}

// A file left without its commit is not put in place (QSaveFile discards
// its own new file the same way).
WholeFile::~WholeFile()
{
    if (m_cache.isOpen()) {
        m_cache.close();
        QFile::remove(m_cache.fileName());
    }
}

QFileDevice& WholeFile::device()
{
    if (m_durability == Durability::Cache)
        return m_cache;
    return m_file;
}

bool WholeFile::open()
{
    if (m_durability == Durability::Cache)
        return m_cache.open(QIODevice::WriteOnly | QIODevice::Truncate) || fail(m_cache.error());
    return m_file.open(QIODevice::WriteOnly) || fail(m_file.error());
}

bool WholeFile::write(const char* data, qint64 size)
{
    if (m_failed)
        return false;
    return device().write(data, size) == size || fail(device().error());
}

bool WholeFile::commit()
{
    QFileDevice& file = device();
    if (m_failed || !file.isOpen())
        return fail(file.error());
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail(file.error());
    if (m_durability == Durability::Synced && ::fsync(file.handle()) != 0)
        return fail(errno == ENOSPC || errno == EDQUOT ? QFileDevice::ResourceError : QFileDevice::WriteError);
    return putInPlace() || fail(file.error() != QFileDevice::NoError ? file.error() : QFileDevice::RenameError);
}

// rename(2) replaces the old file in one step: a reader sees the old file or
// the new one, never neither.
bool WholeFile::putInPlace()
{
    if (m_durability == Durability::Synced)
        return m_file.commit();
    m_cache.close();
    if (m_cache.error() != QFileDevice::NoError)
        return false;
    return std::rename(QFile::encodeName(m_cache.fileName()).constData(), QFile::encodeName(m_path).constData()) == 0;
}

// Keeps the first error (cancelling replaces the device's own) and removes
// the new file at once.
bool WholeFile::fail(QFileDevice::FileError error)
{
    if (!m_failed) {
        m_failed = true;
        m_error = error;
        if (m_durability == Durability::Cache) {
            m_cache.close();
            QFile::remove(m_cache.fileName());
        } else if (m_file.isOpen()) {
            m_file.cancelWriting();
            m_file.commit();
        }
    }
    return false;
}

void WholeFile::raiseError() const
{
    vb::raiseWriteError(m_failed ? m_error : m_file.error(), m_path);
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
