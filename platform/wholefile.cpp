#include "platform/wholefile.h"

#include "platform/writeerror.h"

#include <cerrno>
#include <unistd.h>

namespace platform {

WholeFile::WholeFile(const QString& path) : m_file(path), m_path(path) {}

bool WholeFile::open()
{
    return m_file.open(QIODevice::WriteOnly) || fail(m_file.error());
}

bool WholeFile::write(const char* data, qint64 size)
{
    if (m_failed)
        return false;
    return m_file.write(data, size) == size || fail(m_file.error());
}

bool WholeFile::commit()
{
    if (m_failed || !m_file.isOpen())
        return fail(m_file.error());
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError)
        return fail(m_file.error());
    if (::fsync(m_file.handle()) != 0)
        return fail(errno == ENOSPC || errno == EDQUOT ? QFileDevice::ResourceError : QFileDevice::WriteError);
    return m_file.commit() || fail(m_file.error());
}

// Keeps the first error (cancelling replaces the device's own) and removes
// the new file at once.
bool WholeFile::fail(QFileDevice::FileError error)
{
    if (!m_failed) {
        m_failed = true;
        m_error = error;
        if (m_file.isOpen()) {
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

bool writeWholeFile(const QString& path, const QByteArray& data)
{
    WholeFile file(path);
    return file.open() && file.write(data) && file.commit();
}

void writeWholeFileOrRaise(const QString& path, const QByteArray& data)
{
    WholeFile file(path);
    if (!(file.open() && file.write(data) && file.commit()))
        file.raiseError();
}

}  // namespace platform
