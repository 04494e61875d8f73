// libFuzzer target for the EXIF thumbnail reader: each input is written to a
// picture file and read; a thumbnail it writes must be a piece of the input
// that starts with the JPEG start-of-image marker.

#include "library/exif.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/fuzz_exif-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    const QString picture = dir.filePath(QStringLiteral("input.jpg"));
    const QString output = dir.filePath(QStringLiteral("thumbnail.jpg"));
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(picture);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
            std::abort();
    }
    QFile::remove(output);

    const int result = mdlFileAccess::fncReadExifThumbnail(picture, output);
    switch (result) {
    case 1: {
        QFile file(output);
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray thumbnail = file.readAll();
        if (thumbnail.size() < 2 || quint8(thumbnail[0]) != 0xFF || quint8(thumbnail[1]) != 0xD8
            || !input.contains(thumbnail))
            std::abort();
        break;
    }
    case 0:
    case -2:
    case -3:
        if (QFile::exists(output))
            std::abort();  // only a found thumbnail is written
        break;
    default:
        std::abort();  // -4 can't happen: the output folder is writable
    }
    return 0;
}
