#pragma once
// Data sets of the previous version written in code: records as lists of
// line texts, files as CP932 bytes with CR LF line ends.

#include "app/globals.h"
#include "platform/encoding.h"

#include <QFile>
#include <QMap>
#include <QStringList>
#include <functional>

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

// Every key of the settings file past [全般] with a value of its own (none
// a default, no two alike, no X its Y), and where the reader puts it.
struct Setting {
    QString section, key;
    double value;
    std::function<double()> stored;
};

inline QList<Setting> calibration()
{
    QList<Setting> all;
    double next = 1.25;
    const auto add = [&](const QString& section, const QString& key, std::function<double()> stored, bool whole = false) {
        all.append({section, key, whole ? double(all.size() + 1) : next, std::move(stored)});
        next += 0.5;
    };
    for (int n = 0; n < 4; ++n) {
        add("傾き補正", QString("GE_sngHosei(%1)").arg(n), [n] { return GE_sngHosei[size_t(n)]; });
        add("傾き補正", QString("GE_dblHosei(%1)").arg(n), [n] { return GE_dblHosei[size_t(n)]; });
    }
    for (int n = 0; n < 4; ++n) {
        add("既知距離", QString("GE_tpPiccelD(%1).sngX").arg(n), [n] { return GE_tpPiccelD[size_t(n)].sngX; });
        add("既知距離", QString("GE_tpPiccelD(%1).sngY").arg(n), [n] { return GE_tpPiccelD[size_t(n)].sngY; });
    }
    add("既知距離", "GE_sngPiccelD_X", [] { return GE_sngPiccelD_X; });
    add("既知距離", "GE_sngPiccelD_Y", [] { return GE_sngPiccelD_Y; });
    add("既知距離", "GE_sngDistanceD_X", [] { return GE_sngDistanceD_X; });
    add("既知距離", "GE_sngDistanceD_Y", [] { return GE_sngDistanceD_Y; });
    add("既知距離", "GE_tpPtoD_r_X", [] { return GE_tpPtoD_r.dblX; });
    add("既知距離", "GE_tpPtoD_r_Y", [] { return GE_tpPtoD_r.dblY; });
    add("既知距離", "GE_dblAspectM", [] { return GE_dblAspectM; });
    for (int n = 0; n < 2; ++n) {
        const size_t i = size_t(n);
        add("経緯度データ", QString("GE_tpPiccel_%1X").arg(n + 1), [i] { return GE_tpPiccel[i].sngX; });
        add("経緯度データ", QString("GE_tpPiccel_%1Y").arg(n + 1), [i] { return GE_tpPiccel[i].sngY; });
        add("経緯度データ", QString("GE_dblKeIdo_%1_intDeg").arg(n), [i] { return GE_tpKeIdo[i].intDeg; }, true);
        add("経緯度データ", QString("GE_dblKeIdo_%1_intMin").arg(n), [i] { return GE_tpKeIdo[i].intMin; }, true);
        add("経緯度データ", QString("GE_dblKeIdo_%1_sngSec").arg(n), [i] { return GE_tpKeIdo[i].sngSec; });
        add("経緯度データ", QString("GE_dblIdo_%1_intDeg").arg(n), [i] { return GE_tpIdo[i].intDeg; }, true);
        add("経緯度データ", QString("GE_dblIdo_%1_intMin").arg(n), [i] { return GE_tpIdo[i].intMin; }, true);
        add("経緯度データ", QString("GE_dblIdo_%1_sngSec").arg(n), [i] { return GE_tpIdo[i].sngSec; });
        add("経緯度データ", QString("GE_dblKeido%1").arg(n), [i] { return GE_dblKeido[i]; });
        add("経緯度データ", QString("GE_dblIdo%1").arg(n), [i] { return GE_dblIdo[i]; });
    }
    add("経緯度データ", "GE_tpPtoK_r_X", [] { return GE_tpPtoK_r.dblX; });
    add("経緯度データ", "GE_tpPtoK_r_Y", [] { return GE_tpPtoK_r.dblY; });
    add("経緯度データ", "GE_tpKtoP_r_X", [] { return GE_tpKtoP_r.dblX; });
    add("経緯度データ", "GE_tpKtoP_r_Y", [] { return GE_tpKtoP_r.dblY; });
    add("経緯度データ", "GE_tpPx00ToKei_La", [] { return GE_tpPx00ToKei.dblLatitude; });
    add("経緯度データ", "GE_tpPx00ToKei_Ll", [] { return GE_tpPx00ToKei.dblLongitude; });
    add("経緯度データ", "GE_tpKI00ToPx_X", [] { return GE_tpKI00ToPx.dblX; });
    add("経緯度データ", "GE_tpKI00ToPx_Y", [] { return GE_tpKI00ToPx.dblY; });
    return all;
}

// Those sections as the file holds them.
inline QString calibrationText()
{
    QString text, section;
    for (const Setting& s : calibration()) {
        if (s.section != section)
            text += "[" + (section = s.section) + "]\r\n";
        text += s.key + "=" + QString::number(s.value) + "\r\n";
    }
    return text;
}

// The keys whose value was not taken as written.
inline QStringList calibrationMisread()
{
    QStringList wrong;
    for (const Setting& s : calibration()) {
        if (s.stored() != s.value)
            wrong << s.key;
    }
    return wrong;
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
