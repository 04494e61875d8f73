#include "platform/bmpfile.h"

#include "platform/picturebox.h"
#include "platform/vberror.h"
#include "platform/wholefile.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <future>

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

// RGB32 pixels in memory are blue, green, red, 0xFF on a little-endian machine.
void packRow(const uchar* in, char* out, int width)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
    int x = 0;
    // Four bytes at a time, the fourth overwritten by the next pixel.
    for (; x + 1 < width; ++x, in += 4, out += 3)
        std::memcpy(out, in, 4);
    for (; x < width; ++x, in += 4, out += 3)
        std::memcpy(out, in, 3);
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

    WholeFile file(path);
    if (!file.open() || !file.write(header(width, height)))
        file.raiseError();
    // One strip buffer and two row buffers serve every strip: while one
    // strip's rows go to the file on a worker, the next strip renders. The
    // padding bytes at the rows' ends stay zero from here on.
    QImage buffer;
    QByteArray rows[2];
    if (height > 0) {
        buffer = QImage(width, qMin(stripRows, height), QImage::Format_RGB32);
        if (buffer.isNull())
            vb::raise(vb::errOutOfMemory);
        for (QByteArray& half : rows)
            half = QByteArray(stride * buffer.height(), '\0');
    }
    // Declared after the buffers, so a raise waits for the write in flight.
    std::future<bool> writing;
    auto written = [&] { return !writing.valid() || writing.get(); };
    int which = 0;
    for (int bottom = height; bottom > 0; bottom -= stripRows, which ^= 1) {
        const int top = qMax(0, bottom - stripRows);
        const int count = bottom - top;
        QImage strip(buffer.bits(), width, count, buffer.bytesPerLine(), QImage::Format_RGB32);
        box.renderInto(strip, QPoint(0, top), false);
        // Blue, green, red in that order, as the opaque 32-bit pixels keep
        // them in memory: each pixel's first three bytes, the last row first.
        char* out = rows[which].data();
        for (int y = count - 1; y >= 0; --y, out += stride)
            packRow(strip.constScanLine(y), out, width);
        if (!written())
            file.raiseError();
        writing = std::async(std::launch::async, [&file, data = rows[which].constData(), bytes = stride * count] {
            return file.write(data, bytes);
        });
    }
    if (!written() || !file.commit())
        file.raiseError();
}

}  // namespace platform
