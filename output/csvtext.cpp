#include "output/csvtext.h"

#include "platform/encoding.h"
#include "platform/vberror.h"
#include "platform/writeerror.h"
#include "platform/vbruntime.h"

#include <QSaveFile>

namespace mdlCsv {

QString field(const QString& text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (const QChar c : text) {
        if (special.contains(c)) {
            quote = true;
            break;
        }
    }
    if (!quote)
        return text;
    QString out = text;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString num(double value)
{
    return vb::CStr(value);
}

QString num(float value)
{
    return vb::CStr(value);
}

QString num(qint32 value)
{
    return vb::CStr(value);
}

QString row(const QStringList& fields)
{
    return fields.join(QLatin1Char(','));
}

void writeFile(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += platform::encoding::encodeCp932(line);
        bytes += "\r\n";
    }
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    ok = ok && file.write(bytes) == bytes.size();
    ok = ok && file.commit();
    if (ok)
        return;
    vb::raiseWriteError(file, path);
}

}  // namespace mdlCsv
