#pragma once
// Ini files as Windows reads and writes them: "[section]" lines and
// "key=value" lines, names matched without regard to ASCII case, the first
// match winning, blanks and tabs around names and values ignored.
//
// A write changes only the one line concerned and keeps everything else of
// the file byte for byte: comments, blank lines, order, line ends (CR LF,
// LF, or CR alone in a file without LF) and encoding. A file that is valid
// UTF-8 is read and written as UTF-8; any other file is read and written as
// CP932 until it is to hold a character CP932 has no form for: then the
// whole file is written as UTF-8.
// A byte order mark is passed over, whatever follows it, and kept. Values
// have no length limit.

#include <QHash>
#include <QString>

namespace platform::ini {

// A file read once for many lookups, each answered as `read` answers it.
// A missing or unreadable file answers every lookup with its default, as
// does one reached only through another user's link (never read).
class Snapshot {
public:
    explicit Snapshot(const QString& path);
    QString value(const QString& section, const QString& key, const QString& def = QString(),
                  bool* found = nullptr) const;

private:
    // Section -> key -> value, names folded to lower case.
    QHash<QString, QHash<QString, QString>> m_sections;
};

// The value of `key` in `section`, or `def` when the file, the section or the
// key is missing. A value wholly enclosed in matching single or double quotes
// is returned without them. `found` tells whether the key was there.
QString read(const QString& path, const QString& section, const QString& key, const QString& def = QString(),
             bool* found = nullptr);

// Sets `key` in `section` to `value`: in place when the key exists, else at
// the end of the section (after its last entry), else in a new section at the
// end of the file; a missing file is created (UTF-8, CR LF). The value is
// taken up to its first NUL, as the platform takes it. The file is replaced
// atomically wherever its folder allows it, whoever's the file is (not in a
// sticky folder where it is another user's); otherwise a file this process
// may write is rewritten in place. False when the file cannot be read or
// written, or when a name or the value holds a line break, the section or
// key is empty, or the key holds "=" (any of which would change other
// entries of the file).
bool write(const QString& path, const QString& section, const QString& key, const QString& value);

}  // namespace platform::ini
