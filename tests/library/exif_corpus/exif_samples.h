#pragma once
// Hand-made JPEG headers for the EXIF thumbnail reader: the test corpus and
// the fuzzer's seeds. Each sample is built here byte by byte, so what it
// holds can be read off the code; tst_exif writes them out as files
// (set NEMU_EXIF_CORPUS to a folder to keep them as fuzzing seeds).

#include <QByteArray>
#include <QList>
#include <optional>

namespace exifsamples {

inline void put16(QByteArray& b, quint32 v, bool big)
{
    const char hi = char((v >> 8) & 0xFF), lo = char(v & 0xFF);
    b += big ? hi : lo;
    b += big ? lo : hi;
}

inline void put32(QByteArray& b, quint32 v, bool big)
{
    if (big) {
        put16(b, v >> 16, true);
        put16(b, v & 0xFFFF, true);
    } else {
        put16(b, v & 0xFFFF, false);
        put16(b, v >> 16, false);
    }
}

// IFD entry: tag, type, count 1, value left-aligned in the 4-byte field.
inline void putEntry(QByteArray& b, quint16 tag, quint16 type, quint32 value, bool big)
{
    put16(b, tag, big);
    put16(b, type, big);
    put32(b, 1, big);
    if (type == 3) {  // SHORT: first two bytes of the field
        put16(b, value, big);
        put16(b, 0, big);
    } else {
        put32(b, value, big);
    }
}

// A stand-in thumbnail: start of image, a comment, end of image.
inline QByteArray fakeThumbnail()
{
    return QByteArray::fromHex("FFD8FFFE0007746875FF00FFD9");
}

// The TIFF structure of an EXIF segment: header, IFD0 with one entry
// (Orientation), IFD1 describing the thumbnail, then the thumbnail.
struct Tiff {
    bool bigEndian = false;
    QByteArray order;  // byte-order mark; empty: "II" or "MM"
    quint16 magic = 42;
    quint32 ifd0 = 8;                   // where IFD0 is laid out
    std::optional<quint32> ifd0Field;  // the header's IFD0 offset; default: ifd0
    std::optional<quint32> next;  // IFD0's next-IFD offset; default: IFD1's place
    bool withIfd1 = true;
    bool withCompression = true;
    quint16 compression = 6;
    QByteArray thumbnail = fakeThumbnail();
    std::optional<quint32> offset;  // default: where the thumbnail lies
    std::optional<quint32> length;  // default: its size
    std::optional<quint16> count1;  // IFD1's entry count; default: the entries written
};

inline QByteArray tiffData(const Tiff& t)
{
    const bool big = t.bigEndian;
    QByteArray b = t.order.isEmpty() ? QByteArray(big ? "MM" : "II") : t.order;
    put16(b, t.magic, big);
    put32(b, t.ifd0Field.value_or(t.ifd0), big);
    while (b.size() < qsizetype(t.ifd0))
        b += char(0);
    const quint32 ifd1 = t.ifd0 + 2 + 12 + 4;
    const quint32 entries = t.withCompression ? 3 : 2;
    const quint32 thumbAt = ifd1 + 2 + 12 * entries + 4;
    put16(b, 1, big);
    putEntry(b, 0x0112, 3, 1, big);
    put32(b, t.next.value_or(t.withIfd1 ? ifd1 : 0), big);
    if (!t.withIfd1)
        return b;
    put16(b, t.count1.value_or(entries), big);
    if (t.withCompression)
        putEntry(b, 0x0103, 3, t.compression, big);
    putEntry(b, 0x0201, 4, t.offset.value_or(thumbAt), big);
    putEntry(b, 0x0202, 4, t.length.value_or(quint32(t.thumbnail.size())), big);
    put32(b, 0, big);
    return b + t.thumbnail;
}

// A marker segment: FF, code, big-endian length (counting itself), data.
inline QByteArray segment(quint8 code, const QByteArray& data)
{
    QByteArray b;
    b += char(0xFF);
    b += char(code);
    put16(b, quint32(data.size() + 2), true);
    return b + data;
}

inline QByteArray exifSegment(const Tiff& t)
{
    return segment(0xE1, QByteArray("Exif\0\0", 6) + tiffData(t));
}

inline QByteArray app0()
{
    return segment(0xE0, QByteArray("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
}

inline QByteArray xmpSegment()
{
    return segment(0xE1, QByteArray("http://ns.adobe.com/xap/1.0/\0", 29) + "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>");
}

// Start of scan with a few bytes of "image data" and the end of image.
inline QByteArray scanAndEnd()
{
    return QByteArray::fromHex("FFDA000801010000003F00") + QByteArray(16, char(0x55)) + QByteArray::fromHex("FFD9");
}

inline QByteArray jpeg(const QList<QByteArray>& segments)
{
    QByteArray b = QByteArray::fromHex("FFD8");
    for (const QByteArray& s : segments)
        b += s;
    return b + scanAndEnd();
}

// A real JPEG (as an encoder wrote it) with an EXIF segment carrying
// `thumbnail` put right after its start-of-image marker.
inline QByteArray withExif(const QByteArray& jpegFile, const QByteArray& thumbnail, bool bigEndian = false)
{
    Tiff t;
    t.bigEndian = bigEndian;
    t.thumbnail = thumbnail;
    return jpegFile.left(2) + exifSegment(t) + jpegFile.mid(2);
}

struct Sample {
    const char* name;
    QByteArray bytes;
    int result;            // what the reader must give
    QByteArray thumbnail;  // what it must write (result 1)
};

inline QList<Sample> samples()
{
    const QByteArray thumb = fakeThumbnail();
    auto tiff = [](auto change) {
        Tiff t;
        change(t);
        return t;
    };
    const Tiff le;
    const Tiff be = tiff([](Tiff& t) { t.bigEndian = true; });
    const QByteArray whole = jpeg({exifSegment(le)});
    const int thumbAt = int(whole.indexOf(thumb, 20));

    return {
        {"little_endian", whole, 1, thumb},
        {"big_endian", jpeg({exifSegment(be)}), 1, thumb},
        {"app0_before_exif", jpeg({app0(), exifSegment(le)}), 1, thumb},
        {"stray_bytes_between_segments", jpeg({app0(), QByteArray(3, char(0)), exifSegment(be)}), 1, thumb},
        {"xmp_before_exif", jpeg({app0(), xmpSegment(), exifSegment(le)}), 1, thumb},
        {"ifd0_not_at_8", jpeg({exifSegment(tiff([](Tiff& t) { t.ifd0 = 20; }))}), 1, thumb},
        {"no_app1", jpeg({app0()}), 0, {}},
        {"xmp_only", jpeg({xmpSegment()}), 0, {}},
        {"no_ifd1", jpeg({exifSegment(tiff([](Tiff& t) { t.withIfd1 = false; }))}), 0, {}},
        {"compression_1", jpeg({exifSegment(tiff([](Tiff& t) { t.compression = 1; }))}), -3, {}},
        {"compression_1_big_endian",
         jpeg({exifSegment(tiff([](Tiff& t) { t.bigEndian = true; t.compression = 1; }))}), -3, {}},
        {"no_compression", jpeg({exifSegment(tiff([](Tiff& t) { t.withCompression = false; }))}), -3, {}},
        {"offset_zero", jpeg({exifSegment(tiff([](Tiff& t) { t.offset = 0; }))}), 0, {}},
        {"length_zero", jpeg({exifSegment(tiff([](Tiff& t) { t.length = 0; }))}), 0, {}},
        {"length_past_segment", jpeg({exifSegment(tiff([](Tiff& t) { t.length = 1000; }))}), 0, {}},
        {"length_huge", jpeg({exifSegment(tiff([](Tiff& t) { t.length = 0x7FFFFFF0; }))}), 0, {}},
        {"length_beyond_int32", jpeg({exifSegment(tiff([](Tiff& t) { t.length = 0xFFFFFFF0; }))}), 0, {}},
        {"offset_past_segment", jpeg({exifSegment(tiff([](Tiff& t) { t.offset = 200; }))}), 0, {}},
        {"ifd1_past_segment", jpeg({exifSegment(tiff([](Tiff& t) { t.next = 0x00FFFFFF; }))}), 0, {}},
        {"ifd0_past_segment", jpeg({exifSegment(tiff([](Tiff& t) { t.ifd0Field = 0x7FFFFFFF; }))}), 0, {}},
        {"thumbnail_not_jpeg",
         jpeg({exifSegment(tiff([](Tiff& t) { t.thumbnail = QByteArray::fromHex("0000FFD9"); }))}), 0, {}},
        {"truncated_in_thumbnail", whole.left(thumbAt + 4), 0, {}},
        {"truncated_in_tiff_header", whole.left(16), 0, {}},
        {"not_exif_identifier", QByteArray(whole).replace("Exif", "Exig"), 0, {}},
        {"bad_byte_order", jpeg({exifSegment(tiff([](Tiff& t) { t.order = "IM"; }))}), 0, {}},
        {"bad_magic", jpeg({exifSegment(tiff([](Tiff& t) { t.magic = 43; }))}), 0, {}},
        {"app1_length_below_2", QByteArray::fromHex("FFD8FFE10001") + QByteArray(8, char(0)), 0, {}},
        {"app1_length_below_2_then_exif", jpeg({QByteArray::fromHex("FFE10000"), exifSegment(le)}), 1, thumb},
        {"ifd1_entries_past_segment", jpeg({exifSegment(tiff([](Tiff& t) { t.count1 = 40; }))}), 0, {}},
        // Read as a segment header, the end-of-image marker would lead on to the EXIF segment.
        {"end_of_image_before_exif", QByteArray::fromHex("FFD8FFD90002") + jpeg({exifSegment(le)}).mid(2), 0, {}},
        {"bmp", QByteArray("BM") + QByteArray(60, char(0)), -2, {}},
        {"gif", QByteArray("GIF89a") + QByteArray(20, char(0)), -2, {}},
        {"ff_not_d8", QByteArray::fromHex("FFD9") + whole.mid(2), -2, {}},
        {"d8_second_only", QByteArray::fromHex("00D8") + whole.mid(2), -2, {}},
        {"empty", QByteArray(), -2, {}},
    };
}

}  // namespace exifsamples
