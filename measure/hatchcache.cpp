#include "measure/hatchcache.h"

#include "app/globals.h"
#include "platform/files.h"
#include "platform/wholefile.h"
#include "platform/vbruntime.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace mdlFileAccess {

namespace {

constexpr qint64 RecordSize = 16;

// The area's file in TEMP, or "" when there is no work folder. The name is
// the whole group id (the key's last 12 characters), so areas made at the
// same time of day on different days keep apart; a key that is not all digits
// (from a stored or imported tag) is spelled in hexadecimal, so no separator
// or ".." reaches the path.
QString binPath(const QString& key)
{
    if (GE_strTempPath.isEmpty())
        return {};
    const QString id = vb::Right(key, 12);
    bool digits = !id.isEmpty();
    for (const QChar c : id)
        digits = digits && c >= u'0' && c <= u'9';
    const QString stem = digits ? id : QStringLiteral("x") + QString::fromLatin1(id.toUtf8().toHex());
    return platform::files::join(GE_strTempPath, stem + QStringLiteral(".bin"));
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
    const QString path = binPath(key);
    if (path.isEmpty())
        return;
    const QByteArray data = records(lines);

    // A failed write leaves the previous file whole; the caller is told
    // nothing, as a missing cache file only costs its recomputation.
    platform::writeWholeFile(path, data, platform::Durability::Cache);
}

bool fncGet_Bin(const QString& key, const typHatching& hatching, QList<typHatchLine>& lines)
{
    const QString path = binPath(key);
    if (path.isEmpty() || !platform::files::fileExists(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
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
    const QString path = binPath(key);
    if (path.isEmpty())
        return false;
    QFile file(path);
    const qint64 size = lines.size() * RecordSize;
    if (!file.open(QIODevice::ReadOnly) || file.size() != size)
        return false;
    return file.read(size) == records(lines);
}

bool fncGet_BinHeld(const QString& key, const typHatching& hatching, QList<typHatchLine>& lines)
{
    const QString path = binPath(key);
    if (path.isEmpty() || !platform::files::fileExists(path))
        return false;
    QList<typHatchLine> all;
    if (!fncGet_Bin(key, hatching, all))
        return false;
    const qsizetype held = qMin<qsizetype>(all.size(), QFileInfo(path).size() / RecordSize);
    all.resize(held);
    lines = std::move(all);
    return true;
}

void subKill_BinOne(const QString& key)
{
    const QString path = binPath(key);
    if (!path.isEmpty())
        QFile::remove(path);
}

void subKill_Bin()
{
    platform::files::killPattern(GE_strTempPath, QStringLiteral("*.bin"));
}

}  // namespace mdlFileAccess
