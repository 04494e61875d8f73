#include "output/csvtext.h"

#include "platform/encoding.h"
#include "platform/wholefile.h"
#include "platform/vbruntime.h"

#include <QRegularExpression>

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

QString text(const QString& text)
{
    static const QString formulaStart = QStringLiteral("=+-@\t\r");
    static const QRegularExpression number(QStringLiteral("\\A[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?゜?\\z"));
    if (!text.isEmpty() && formulaStart.contains(text.front()) && !number.match(text).hasMatch())
        return field(QLatin1Char('\'') + text);
    return field(text);
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
    platform::writeWholeFileOrRaise(path, bytes);
}

}  // namespace mdlCsv
