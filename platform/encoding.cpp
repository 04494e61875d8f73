#include "platform/encoding.h"

#include <cerrno>
#include <iconv.h>

namespace platform::encoding {

namespace {

// One conversion descriptor for the length of a call.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false at a sequence it cannot
    // convert (left at `in`) and true when all input is consumed.
    bool run(const char*& in, size_t& left, QByteArray& out)
    {
        char buffer[1024];
        while (left > 0) {
            char* dst = buffer;
            size_t room = sizeof buffer;
            char* src = const_cast<char*>(in);
            const size_t result = iconv(m_cd, &src, &left, &dst, &room);
            in = src;
            out.append(buffer, dst - buffer);
            if (result == static_cast<size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

private:
    iconv_t m_cd;
};

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Single bytes Windows maps outside the double-byte table.
struct SingleByte {
    unsigned char byte;
    char16_t unicode;
};
constexpr SingleByte SingleBytes[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
int utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

}  // namespace

bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int len;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0)
                lo = 0xA0;  // no overlong forms
            if (b == 0xED)
                hi = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0)
                lo = 0x90;
            if (b == 0xF4)
                hi = 0x8F;  // nothing above U+10FFFF
        } else {
            return false;
        }
        if (n - i < len || p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k < len; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        i += len;
    }
    return true;
}

QString decodeCp932(const QByteArray& bytes)
{
    Converter converter("UTF-8", "CP932");
    if (!converter.ok())
        return QString::fromLatin1(bytes);
    QString text;
    QByteArray utf8;
    const char* in = bytes.constData();
    size_t left = size_t(bytes.size());
    while (!converter.run(in, left, utf8)) {
        const auto b = static_cast<unsigned char>(*in);
        size_t skip = 1;
        char16_t replacement = 0x30FB;
        if (isLeadByte(b) && left >= 2 && isTrailByte(static_cast<unsigned char>(in[1]))) {
            skip = 2;
        } else {
            for (const SingleByte& s : SingleBytes)
                if (s.byte == b)
                    replacement = s.unicode;
        }
        text += QString::fromUtf8(utf8);
        utf8.clear();
        text += QChar(replacement);
        in += skip;
        left -= skip;
    }
    text += QString::fromUtf8(utf8);
    return text;
}

namespace {

QByteArray encode(const QString& text, bool& lossless)
{
    lossless = true;
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    Converter converter("CP932", "UTF-8");
    if (!converter.ok()) {
        for (QChar c : text) {
            out += c.unicode() < 0x80 ? char(c.unicode()) : '?';
            lossless = lossless && c.unicode() < 0x80;
        }
        return out;
    }
    const char* in = utf8.constData();
    size_t left = size_t(utf8.size());
    while (!converter.run(in, left, out)) {
        const size_t len = qMin(size_t(utf8Length(static_cast<unsigned char>(*in))), left);
        const QString c = QString::fromUtf8(in, qsizetype(len));
        char replacement = '?';
        for (const SingleByte& s : SingleBytes)
            if (c.size() == 1 && c.at(0).unicode() == s.unicode)
                replacement = char(s.byte);
        lossless = lossless && replacement != '?';
        out += replacement;
        in += len;
        left -= len;
    }
    return out;
}

}  // namespace

QByteArray encodeCp932(const QString& text)
{
    bool lossless = true;
    return encode(text, lossless);
}

bool fitsCp932(const QString& text)
{
    bool lossless = true;
    encode(text, lossless);
    return lossless;
}

}  // namespace platform::encoding
