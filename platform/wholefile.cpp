#include "platform/wholefile.h"

#include "platform/writeerror.h"

namespace platform {

WholeFile::WholeFile(const QString& path, Durability durability) : m_new(path), m_durability(durability) {}

WholeFile::~WholeFile()
{
    m_file.close();  // the replacement removes the file left without its commit
}

bool WholeFile::open()
{
    if (const QFileDevice::FileError error = m_new.create(); error != QFileDevice::NoError)
        return fail(error);
    if (!m_file.open(m_new.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return fail(m_file.error());
    return true;
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
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail(m_file.error());
    if (const QFileDevice::FileError error = m_new.putInPlace(m_durability == Durability::Synced);
        error != QFileDevice::NoError)
        return fail(error);
    return true;
}

// Keeps the first error and removes the new file at once.
bool WholeFile::fail(QFileDevice::FileError error)
{
    if (!m_failed) {
        m_failed = true;
        m_error = error;
        m_file.close();
        m_new.discard();
    }
    return false;
}

void WholeFile::raiseError() const
{
    vb::raiseWriteError(m_failed ? m_error : m_file.error(), m_new.target());
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
