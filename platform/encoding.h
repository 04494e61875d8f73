#pragma once
// Text encodings of the files the program shares with Windows: the Japanese
// ANSI code page (Windows-31J, "CP932") and UTF-8.

#include <QByteArray>
#include <QString>

namespace platform::encoding {

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF). An empty array is valid.
bool isValidUtf8(const QByteArray& bytes);

// CP932 bytes to text, as Windows decodes them: 0x8160 is U+FF5E, 0x815C is
// U+2015, NEC and IBM extensions included. An undefined double-byte pair
// becomes U+30FB; the single bytes 0x80, 0xA0, 0xFD-0xFF map to U+0080,
// U+F8F0, U+F8F1-U+F8F3.
QString decodeCp932(const QByteArray& bytes);

// Text to CP932 bytes, as Windows encodes them: the wave dash U+301C and the
// fullwidth tilde U+FF5E both give 0x8160; a character with no CP932 form
// gives "?".
QByteArray encodeCp932(const QString& text);

// True when every character of the text has a CP932 form.
bool fitsCp932(const QString& text);

}  // namespace platform::encoding
