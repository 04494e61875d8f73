#include "platform/bmpfile.h"

#include "platform/picturebox.h"
#include "platform/vberror.h"
#include "platform/writeerror.h"

#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr qint64 kHeaderSize = 54;
// About 16 MB of rendered rows at a time.
constexpr qint64 kStripBytes = 16LL << 20;

qint64 rowBytes(qint64 width)
{
    return (width * 3 + 3) & ~qint64(3);
}

template <class T>
void put(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

QByteArray header(int width, int height)
{
    QByteArray out;
    out.reserve(kHeaderSize);
    out.append("BM", 2);
    put<quint32>(out, quint32(bmpFileSize(width, height)));
    put<quint32>(out, 0);
    put<quint32>(out, quint32(kHeaderSize));
    put<quint32>(out, 40);  // BITMAPINFOHEADER
    put<qint32>(out, width);
    put<qint32>(out, height);  // positive: rows bottom-up
    put<quint16>(out, 1);
    put<quint16>(out, 24);
    put<quint32>(out, 0);  // BI_RGB
    put<quint32>(out, quint32(rowBytes(width) * height));
    put<qint32>(out, 3780);  // 96 dpi
    put<qint32>(out, 3780);
    put<quint32>(out, 0);
    put<quint32>(out, 0);
    return out;
}

}  // namespace

qint64 bmpFileSize(qint64 width, qint64 height)
{
    return kHeaderSize + rowBytes(width) * height;
}

void SavePicture(const PictureBox& box, const QString& path, int stripRows)
{
    const QSize size = box.deviceSize().toSize();
    const int width = qMax(0, size.width());
    const int height = qMax(0, size.height());
    if (bmpFileSize(width, height) > 0xFFFFFFFFLL)
        vb::raise(vb::errOutOfMemory);
    const qint64 stride = rowBytes(width);
    if (stripRows <= 0)
        stripRows = int(std::clamp<qint64>(kStripBytes / qMax<qint64>(1, qint64(width) * 4), 1, qMax(1, height)));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        vb::raiseWriteError(file, path);
    const QByteArray head = header(width, height);
    if (file.write(head) != head.size())
        vb::raiseWriteError(file, path);
    QByteArray rows;
    for (int bottom = height; bottom > 0; bottom -= stripRows) {
        const int top = qMax(0, bottom - stripRows);
        QImage strip = box.renderArea(QRect(0, top, width, bottom - top), false);
        if (strip.isNull())
            vb::raise(vb::errOutOfMemory);
        // Blue, green, red in that order: the bitmap's own byte order.
        strip.convertTo(QImage::Format_BGR888);
        rows.fill('\0', stride * (bottom - top));
        char* out = rows.data();
        for (int y = bottom - top - 1; y >= 0; --y, out += stride)
            std::memcpy(out, strip.constScanLine(y), size_t(width) * 3);
        if (file.write(rows) != rows.size())
            vb::raiseWriteError(file, path);
    }
    if (!file.commit())
        vb::raiseWriteError(file, path);
}

}  // namespace platform
