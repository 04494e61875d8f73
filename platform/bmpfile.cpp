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
    // Two strip buffers and one row buffer serve every strip: while a strip
    // renders, a worker packs the one before into the rows and writes them.
    // The padding bytes at the rows' ends stay zero from here on.
    QImage strips[2];
    QByteArray rows;
    if (height > 0) {
        for (QImage& strip : strips) {
            strip = QImage(width, qMin(stripRows, height), QImage::Format_RGB32);
            if (strip.isNull())
                vb::raise(vb::errOutOfMemory);
        }
        rows = QByteArray(stride * strips[0].height(), '\0');
    }
    // Declared after the buffers, so a raise waits for the work in flight.
    std::future<bool> writing;
    auto written = [&] { return !writing.valid() || writing.get(); };
    int which = 0;
    for (int bottom = height; bottom > 0; bottom -= stripRows, which ^= 1) {
        const int top = qMax(0, bottom - stripRows);
        const int count = bottom - top;
        // The worker that packed this buffer last, two strips ago, is done.
        uchar* pixels = strips[which].bits();
        const qsizetype line = strips[which].bytesPerLine();
        QImage strip(pixels, width, count, line, QImage::Format_RGB32);
        box.renderInto(strip, QPoint(0, top), false);
        if (!written())
            file.raiseError();
        writing = std::async(std::launch::async, [&file, &rows, pixels, line, count, width, stride] {
            // Blue, green, red in that order, as the opaque 32-bit pixels
            // keep them in memory: each pixel's first three bytes, the last
            // row first.
            char* out = rows.data();
            for (int y = count - 1; y >= 0; --y, out += stride)
                packRow(pixels + y * line, out, width);
            return file.write(rows.constData(), stride * count);
        });
    }
    if (!written() || !file.commit())
        file.raiseError();
}

}  // namespace platform
