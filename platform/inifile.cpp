#include "platform/inifile.h"

#include "platform/encoding.h"
#include "platform/ownlinks.h"
#include "platform/replacement.h"
#include "platform/wholefile.h"

#include <QFile>
#include <QList>
#include <QStringTokenizer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform::ini {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString trimBlanks(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s.at(begin)))
        ++begin;
    while (end > begin && isBlank(s.at(end - 1)))
        --end;
    return s.mid(begin, end - begin);
}

// Names compare as Windows compares them: ASCII letters without regard to
// case, everything else exactly.
QString folded(const QString& name)
{
    QString f = name;
    for (QChar& c : f) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return f;
}

bool sameName(const QString& a, const QString& b) { return a.size() == b.size() && folded(a) == folded(b); }

// A file as lines of raw bytes. Each line keeps its own CR when it had one,
// so that untouched lines are written back exactly as they were read.
struct Document {
    QList<QByteArray> lines;
    bool finalEol = true;  // the last line ends with a line break
    bool crlf = true;      // the style of line breaks added
    char eol = '\n';       // where lines break: LF (a CR before it stays in the line), or CR
    bool bom = false;
    bool cp932 = false;

    QString decode(const QByteArray& raw) const
    {
        QByteArray bytes = raw;
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        return cp932 ? encoding::decodeCp932(bytes) : QString::fromUtf8(bytes);
    }
    QByteArray encode(const QString& text) const { return cp932 ? encoding::encodeCp932(text) : text.toUtf8(); }

    // A CP932 file that is to hold text CP932 has no form for becomes UTF-8
    // as a whole, so nothing written turns into "?".
    void makeRoomFor(const QString& text)
    {
        if (!cp932 || encoding::fitsCp932(text))
            return;
        for (QByteArray& line : lines) {
            const bool cr = line.endsWith('\r');
            line = decode(line).toUtf8();
            if (cr)
                line += '\r';
        }
        cp932 = false;
    }

    void parse(QByteArray data)
    {
        bom = data.startsWith(Utf8Bom);
        if (bom)
            data.remove(0, Utf8Bom.size());
        cp932 = !encoding::isValidUtf8(data);  // a mark written before CP932 text is passed over too
        // A file without LF whose lines end at CR alone (as older editors
        // wrote them) is read and kept so.
        eol = !data.contains('\n') && data.contains('\r') ? '\r' : '\n';
        const qsizetype firstLf = data.indexOf('\n');
        crlf = eol == '\n' && (firstLf < 0 || (firstLf > 0 && data.at(firstLf - 1) == '\r'));
        lines.clear();
        if (data.isEmpty())
            return;
        lines = data.split(eol);
        finalEol = data.endsWith(eol);
        if (finalEol)
            lines.removeLast();
    }

    QByteArray serialize() const
    {
        QByteArray data = bom ? Utf8Bom : QByteArray();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            data += lines.at(i);
            if (i + 1 < lines.size() || finalEol)
                data += eol;
        }
        return data;
    }

    void insert(qsizetype at, const QString& text)
    {
        QByteArray raw = encode(text);
        if (crlf)
            raw += '\r';
        if (at == lines.size() && !finalEol) {
            // The old last line gets the line break it lacked.
            if (crlf && !lines.isEmpty() && !lines.last().endsWith('\r'))
                lines.last() += '\r';
            finalEol = true;
        }
        lines.insert(at, raw);
    }
};

// The parts of one line.
struct Line {
    enum Kind { Other, Section, Entry } kind = Other;
    QString name;   // section name or key, trimmed
    QString value;  // entry value, trimmed
};

Line parseLine(const QString& text)
{
    Line line;
    const QString t = trimBlanks(text);
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        line.kind = Line::Section;
        line.name = trimBlanks(t.mid(1, close < 0 ? -1 : close - 1));
    } else if (!t.startsWith(u';')) {
        const qsizetype eq = t.indexOf(u'=');
        if (eq > 0) {
            line.kind = Line::Entry;
            line.name = trimBlanks(t.left(eq));
            line.value = trimBlanks(t.mid(eq + 1));
        }
    }
    return line;
}

// Where a key stands in the document: the line of its section header (or -1),
// the line of the entry (or -1) and the last entry line of the section.
struct Place {
    qsizetype section = -1;
    qsizetype entry = -1;
    qsizetype lastEntry = -1;
    QString value;
};

Place locate(const Document& doc, const QString& section, const QString& key)
{
    Place place;
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const Line line = parseLine(doc.decode(doc.lines.at(i)));
        if (line.kind == Line::Section) {
            if (place.section >= 0)
                break;  // only the first section of that name counts
            if (sameName(line.name, section))
                place.section = i;
        } else if (line.kind == Line::Entry && place.section >= 0) {
            place.lastEntry = i;
            if (place.entry < 0 && sameName(line.name, key)) {
                place.entry = i;
                place.value = line.value;
            }
        }
    }
    return place;
}

// The file opened through this user's links only (ownlinks.h): another
// user's link at its name is neither read nor written through.
bool openOwnFile(QFile& file, const QString& path, int flags, QIODevice::OpenMode mode)
{
    const int fd = openOwn(path, flags);
    if (fd < 0)
        return false;
    if (file.open(fd, mode, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

bool load(const QString& path, Document& doc)
{
    QFile file;
    if (!openOwnFile(file, path, O_RDONLY, QIODevice::ReadOnly))
        return errno == ENOENT;  // no file: an empty document
    doc.parse(file.readAll());
    return true;
}

QString unquoted(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// For a file that may be written while its folder may not (no new file can
// be made beside it): the bytes are replaced in the file itself, and on a
// failure the old bytes are put back as far as the disk allows. Unbuffered,
// so that bytes a failed write left in a buffer can't stop the putting back.
bool writeInPlace(const QString& path, const QByteArray& data, const QByteArray& original)
{
    QFile file;
    if (!openOwnFile(file, path, O_RDWR, QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const bool written = file.write(data) == data.size() && file.resize(data.size()) && file.flush()
        && ::fsync(file.handle()) == 0;
    if (!written && file.seek(0) && file.write(original) == original.size())
        file.resize(original.size());
    return written;
}

bool hasLineBreak(const QString& s) { return s.contains(u'\r') || s.contains(u'\n'); }

}  // namespace

Snapshot::Snapshot(const QString& path)
{
    QFile file;
    if (!openOwnFile(file, path, O_RDONLY, QIODevice::ReadOnly))
        return;
    Document doc;
    doc.parse(file.readAll());
    // One decoding of the whole file: "\n" is never part of a CP932 character.
    QByteArray data;
    for (const QByteArray& line : doc.lines)
        data += line + '\n';
    const QString text = doc.cp932 ? encoding::decodeCp932(data) : QString::fromUtf8(data);

    QString current;
    bool collecting = false;  // only the first section of a name counts
    for (QStringView raw : QStringTokenizer(text, u'\n')) {
        if (raw.endsWith(u'\r'))
            raw.chop(1);
        const Line line = parseLine(raw.toString());
        if (line.kind == Line::Section) {
            current = folded(line.name);
            collecting = !m_sections.contains(current);
            if (collecting)
                m_sections.insert(current, {});
        } else if (line.kind == Line::Entry && collecting) {
            QHash<QString, QString>& entries = m_sections[current];
            const QString key = folded(line.name);
            if (!entries.contains(key))
                entries.insert(key, line.value);  // the first of a name wins
        }
    }
}

QString Snapshot::value(const QString& section, const QString& key, const QString& def, bool* found) const
{
    if (found)
        *found = false;
    const auto sec = m_sections.constFind(folded(trimBlanks(section)));
    if (sec == m_sections.constEnd())
        return def;
    const auto entry = sec->constFind(folded(trimBlanks(key)));
    if (entry == sec->constEnd())
        return def;
    if (found)
        *found = true;
    return unquoted(*entry);
}

QString read(const QString& path, const QString& section, const QString& key, const QString& def, bool* found)
{
    return Snapshot(path).value(section, key, def, found);
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value)
{
    const QString sec = trimBlanks(section);
    const QString k = trimBlanks(key);
    QString v = value;
    const qsizetype nul = v.indexOf(QChar(u'\0'));
    if (nul >= 0)
        v.truncate(nul);
    if (sec.isEmpty() || k.isEmpty() || hasLineBreak(sec) || hasLineBreak(k) || hasLineBreak(v) ||
        sec.contains(u']') || k.contains(u'=') || k.startsWith(u'[') || k.startsWith(u';'))
        return false;

    Document doc;
    if (!load(path, doc))
        return false;
    const QByteArray original = doc.serialize();
    const Place place = locate(doc, sec, k);
    doc.makeRoomFor(place.section >= 0 ? k + v : sec + k + v);
    if (place.entry >= 0) {
        // Keep the key as the file spells it, up to and including "=".
        // "=" never occurs inside a CP932 double-byte character.
        QByteArray& raw = doc.lines[place.entry];
        const bool cr = raw.endsWith('\r');
        raw = raw.left(raw.indexOf('=') + 1) + doc.encode(v);
        if (cr)
            raw += '\r';
    } else if (place.section >= 0) {
        doc.insert((place.lastEntry >= 0 ? place.lastEntry : place.section) + 1, k + u'=' + v);
    } else {
        doc.insert(doc.lines.size(), u'[' + sec + u']');
        doc.insert(doc.lines.size(), k + u'=' + v);
    }

    const QByteArray data = doc.serialize();
    // The settings file is replaced wherever its folder allows it, as the
    // start's check counts it writable, even one this user may not write
    // (another user's in a folder all may write).
    WholeFile file(path, Durability::Synced, ReplaceRule::Folder);
    if (!file.open())
        return QFile::exists(path) && !writeProtected(path) && writeInPlace(path, data, original);
    return file.write(data) && file.commit();
}

}  // namespace platform::ini
