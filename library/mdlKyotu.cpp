#include "library/mdlKyotu.h"

#include "platform/vberror.h"
#include "platform/vbruntime.h"

namespace mdlKyotu {

namespace {

// The bytes read as one big-endian number after putting them in the order
// the flag gives; false when there are none or more than `most`.
bool readNumber(const QByteArray& bytes, bool inOrder, int most, quint64& value)
{
    const qsizetype n = bytes.size();
    if (n == 0 || n > most)
        return false;
    value = 0;
    for (qsizetype i = 0; i < n; ++i)
        value = (value << 8) | quint8(bytes[inOrder ? i : n - 1 - i]);
    return true;
}

}  // namespace

QString fncBytesToHex(const QByteArray& bytes, bool inOrder)
{
    QString text;
    text.reserve(bytes.size() * 2);
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i)
        text += QStringLiteral("%1").arg(quint8(bytes[inOrder ? i : n - 1 - i]), 2, 16, QLatin1Char('0')).toUpper();
    return text;
}

double fncBytesToDbl(const QByteArray& bytes, bool inOrder)
{
    quint64 value = 0;
    return readNumber(bytes, inOrder, 4, value) ? double(value) : 0.0;
}

qint16 fncBytesToInt(const QByteArray& bytes, bool inOrder)
{
    // Hexadecimal text of up to four digits reads as a 16-bit number (two's
    // complement), of five to eight digits as a 32-bit one.
    quint64 value = 0;
    if (!readNumber(bytes, inOrder, 4, value))
        return 0;
    const qint64 number = bytes.size() <= 2 ? qint64(qint16(quint16(value))) : qint64(qint32(quint32(value)));
    try {
        return fncNullToZero(QVariant(number));
    } catch (const vb::Error&) {
        return 0;
    }
}

qint32 fncBytesToLng(const QByteArray& bytes, bool inOrder)
{
    quint64 value = 0;
    if (!readNumber(bytes, inOrder, 4, value))
        return 0;
    const qint32 number = qint32(quint32(value));
    return number < 0 ? number + 65536 : number;
}

qint16 fncNullToZero(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return 0;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (!vb::IsNumeric(text))
            return 0;
        const double number = vb::Val(text);
        return number == 0 ? 0 : vb::CInt(number);
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || number == 0)
        return 0;
    return vb::CInt(number);
}

}  // namespace mdlKyotu
