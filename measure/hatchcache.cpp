#include "measure/hatchcache.h"

#include "app/globals.h"
#include "platform/cachefiles.h"
#include "platform/vbruntime.h"

#include <QFile>
#include <QtEndian>

namespace mdlFileAccess {

namespace {

constexpr qint64 RecordSize = 16;

// The area's file's name in TEMP, or "" when there is no work folder. It is
// the whole group id (the key's last 12 characters), so areas made at the
// same time of day on different days keep apart; a key that is not all digits
// (from a stored or imported tag) is spelled in hexadecimal, so no separator
// or ".." reaches the path.
QString binName(const QString& key)
{
    if (GE_strTempPath.isEmpty())
        return {};
    const QString id = vb::Right(key, 12);
    bool digits = !id.isEmpty();
    for (const QChar c : id)
        digits = digits && c >= u'0' && c <= u'9';
    const QString stem = digits ? id : QStringLiteral("x") + QString::fromLatin1(id.toUtf8().toHex());
    return stem + QStringLiteral(".bin");
}

// The area's file opened for reading in `file`; false when there is none.
bool openBin(const QString& key, QFile& file)
{
    const QString name = binName(key);
    const int fd = name.isEmpty() ? -1 : platform::cache::openToRead(GE_strTempPath, name);
    return fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

void putRecord(char* out, const typHatchLine& line)
{
    qToLittleEndian<float>(line.X1, out);
    qToLittleEndian<float>(line.X2, out + 4);
    qToLittleEndian<float>(line.Y1, out + 8);
    qToLittleEndian<float>(line.Y2, out + 12);
}

typHatchLine getRecord(const char* in)
{
    typHatchLine line;
    line.X1 = qFromLittleEndian<float>(in);
    line.X2 = qFromLittleEndian<float>(in + 4);
    line.Y1 = qFromLittleEndian<float>(in + 8);
    line.Y2 = qFromLittleEndian<float>(in + 12);
    return line;
}

QByteArray records(const QList<typHatchLine>& lines)
{
    QByteArray data(lines.size() * RecordSize, '\0');
    for (qsizetype i = 0; i < lines.size(); ++i)
        putRecord(data.data() + i * RecordSize, lines[i]);
    return data;
}

}  // namespace

void subPut_Bin(const QString& key, const typHatching& /*hatching*/, const QList<typHatchLine>& lines)
{
    const QString name = binName(key);
    if (name.isEmpty())
        return;
    // A failed write leaves the previous file whole; the caller is told
    // nothing, as a missing cache file only costs its recomputation.
    platform::cache::write(GE_strTempPath, name, records(lines));
}

bool fncGet_Bin(const QString& key, const typHatching& hatching, QList<typHatchLine>& lines)
{
    QFile file;
    if (!openBin(key, file))
        return false;

    const qsizetype count = qMax<qsizetype>(0, qsizetype(hatching.iUbound) + 1);
    const qint64 wanted = qMin<qint64>(count, file.size() / RecordSize) * RecordSize;
    const QByteArray data = file.read(wanted);
    if (data.size() != wanted)
        return false;

    QList<typHatchLine> result(count);
    for (qsizetype i = 0; i < data.size() / RecordSize; ++i)
        result[i] = getRecord(data.constData() + i * RecordSize);
    lines = std::move(result);
    return true;
}

bool fncHolds_Bin(const QString& key, const QList<typHatchLine>& lines)
{
    QFile file;
    const qint64 size = lines.size() * RecordSize;
    if (!openBin(key, file) || file.size() != size)
        return false;
    return file.read(size) == records(lines);
}

bool fncGet_BinHeld(const QString& key, const typHatching& hatching, QList<typHatchLine>& lines)
{
    QFile file;
    if (!openBin(key, file))
        return false;
    QList<typHatchLine> all;
    if (!fncGet_Bin(key, hatching, all))
        return false;
    const qsizetype held = qMin<qsizetype>(all.size(), file.size() / RecordSize);
    all.resize(held);
    lines = std::move(all);
    return true;
}

void subKill_BinOne(const QString& key)
{
    const QString name = binName(key);
    if (!name.isEmpty())
        platform::cache::remove(GE_strTempPath, name);
}

void subKill_Bin()
{
    platform::cache::removeMatching(GE_strTempPath, QStringLiteral("*.bin"));
}

}  // namespace mdlFileAccess
