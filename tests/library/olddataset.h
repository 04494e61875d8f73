#pragma once
// Data sets of the previous version written in code: records as lists of
// line texts, files as CP932 bytes with CR LF line ends.

#include "platform/encoding.h"

#include <QFile>
#include <QMap>
#include <QStringList>

namespace olddata {

// Visible records with every value acceptable; a test changes lines by number (from 1).
inline QStringList label(bool visible, const QMap<int, QString>& lines = {})
{
    QStringList r = {visible ? "True" : "False", "12.5 m", "", "020:12.5_093000", "10", "20", "30", "15", "0",
                     "1", "0", "16777215", "0", "ＭＳ Ｐゴシック", "9", "False", "False", "False", "False"};
    for (auto it = lines.begin(); it != lines.end(); ++it)
        r[it.key() - 1] = it.value();
    return r;
}

inline QStringList line(bool visible, const QMap<int, QString>& lines = {})
{
    QStringList r = {visible ? "True" : "False", "", "0", "0", "10", "10", "0", "1", "1", "13"};
    for (auto it = lines.begin(); it != lines.end(); ++it)
        r[it.key() - 1] = it.value();
    return r;
}

inline QStringList shape(bool visible, const QMap<int, QString>& lines = {})
{
    QStringList r = {visible ? "True" : "False", "", "0", "0", "2", "2", "16777215", "0", "0", "1", "0", "1", "13",
                     "0", "1"};
    for (auto it = lines.begin(); it != lines.end(); ++it)
        r[it.key() - 1] = it.value();
    return r;
}

// Records given as "V" and "H" letters, for run tests.
inline QList<QStringList> pattern(const QString& letters, QStringList (*make)(bool, const QMap<int, QString>&))
{
    QList<QStringList> records;
    for (QChar c : letters)
        records.append(make(c == QLatin1Char('V'), {}));
    return records;
}

inline QByteArray bytes(const QList<QStringList>& records)
{
    QString text;
    for (const QStringList& r : records) {
        for (const QString& l : r)
            text += l + QStringLiteral("\r\n");
    }
    return platform::encoding::encodeCp932(text);
}

inline bool write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace olddata
