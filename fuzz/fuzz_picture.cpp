// libFuzzer target for the checks that tell a picture file cut short: each
// input is judged in memory and as a file. Both must agree, and a picture
// judged whole stays whole with any bytes after it (a trailer is no fault)
// once the input is long enough to name its kind.

#include "platform/picturefile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/fuzz_picture-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    const QString picture = dir.filePath(QStringLiteral("input"));
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(picture);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
            std::abort();
    }

    const bool cut = platform::pictureCutShort(data, qint64(size));
    if (platform::pictureCutShort(picture) != cut)
        std::abort();
    if (!cut && size >= 6) {
        const QByteArray longer = input + QByteArray(64, '\xFF') + QByteArray(64, '\0');
        if (platform::pictureCutShort(reinterpret_cast<const unsigned char*>(longer.constData()), longer.size()))
            std::abort();
    }
    return 0;
}
