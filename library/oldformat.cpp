#include "library/oldformat.h"

#include "app/globals.h"
#include "platform/encoding.h"
#include "platform/inifile.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QFileInfo>
#include <cfloat>
#include <functional>

using namespace vb;

namespace mdlFileAccess {

namespace {

constexpr int MaxIndex = 32767;

// The lines of a record file. The previous version ended each at CR (a LF
// right after it belongs to the line end) and kept a lone LF inside a
// caption or comment as part of it; only a file without any CR, one that
// went through an editor of another system, ends its lines at LF. A UTF-8
// byte order mark is passed over, and the text after it read as UTF-8 when
// it is.
class LineReader {
public:
    LineReader(const QByteArray& bytes, const QString& fileName) : m_file(fileName)
    {
        const QString text = decoded(bytes);
        const QChar lineEnd = text.contains(QLatin1Char('\r')) ? QLatin1Char('\r') : QLatin1Char('\n');
        qsizetype start = 0;
        while (start < text.size()) {
            qsizetype end = start;
            while (end < text.size() && text.at(end) != lineEnd)
                ++end;
            m_lines.append(text.mid(start, end - start));
            start = end + 1;
            if (end < text.size() && text.at(end) == QLatin1Char('\r') && start < text.size()
                && text.at(start) == QLatin1Char('\n'))
                ++start;
        }
    }
    bool atEnd() const { return m_next >= m_lines.size(); }
    int lineNo() const { return int(m_next); }  // lines read so far
    QString next()
    {
        if (atEnd())
            fail(lineNo(), errInputPastEnd, QStringLiteral("で、記録が途中で終わっています。"));
        return m_lines.at(m_next++);
    }
    // The failure's description names the file and the line: "L.txt の 16
    // 行目" followed by `what`.
    [[noreturn]] void fail(int line, long number, const QString& what) const
    {
        raise(number, QStringLiteral("%1 の %2 行目").arg(m_file, QString::number(line)) + what);
    }

private:
    static QString decoded(const QByteArray& bytes)
    {
        static const QByteArray mark("\xEF\xBB\xBF");
        if (!bytes.startsWith(mark))
            return platform::encoding::decodeCp932(bytes);
        const QByteArray rest = bytes.mid(mark.size());
        return platform::encoding::isValidUtf8(rest) ? QString::fromUtf8(rest) : platform::encoding::decodeCp932(rest);
    }
    QString m_file;
    QStringList m_lines;
    qsizetype m_next = 0;
};

bool validColor(qint32 color)
{
    const quint32 bits = quint32(color);
    return bits <= 0xFFFFFFu || (bits >= 0x80000000u && bits <= 0x80000018u);
}

// One record's lines, read whole before any is converted; each conversion
// names its own line when it fails.
class Record {
public:
    Record(LineReader& reader, int count) : m_reader(reader), m_first(reader.lineNo() + 1)
    {
        for (int k = 0; k < count; ++k)
            m_lines.append(reader.next());
    }
    QString text(int k) const { return m_lines.at(k - 1); }
    bool truth(int k) const { return convert(k, [&] { return fncOld_Truth(text(k)); }); }
    float single(int k, float least = -FLT_MAX) const
    {
        const float v = convert(k, [&] { return CSng(Val(text(k))); });
        check(k, v >= least);
        return v;
    }
    qint16 integer(int k, int least, int most) const
    {
        const qint16 v = convert(k, [&] { return CInt(Val(text(k))); });
        check(k, v >= least && v <= most);
        return v;
    }
    qint32 color(int k) const
    {
        const qint32 v = convert(k, [&] { return CLng(Val(text(k))); });
        check(k, validColor(v));
        return v;
    }

private:
    template <class F>
    auto convert(int k, F f) const -> decltype(f())
    {
        try {
            return f();
        } catch (const Error& error) {
            m_reader.fail(m_first + k - 1, error.number(),
                          QStringLiteral("の値「%1」を読み取れません。").arg(text(k)) + error.description());
        }
    }
    void check(int k, bool accepted) const
    {
        if (!accepted)
            m_reader.fail(m_first + k - 1, errBadPropertyValue,
                          QStringLiteral("の値「%1」は使えません。").arg(text(k)) + errorDescription(errBadPropertyValue));
    }
    LineReader& m_reader;
    int m_first;
    QStringList m_lines;
};

typOldLabel fncReadOld_LabelRec(LineReader& reader)
{
    const Record r(reader, 19);
    typOldLabel l;
    l.Caption = r.text(2);
    l.ToolTipText = r.text(3);
    l.Tag = r.text(4);
    l.Top = r.single(5);
    l.Left = r.single(6);
    l.Width = r.single(7, 0);
    l.Height = r.single(8, 0);
    l.Alignment = r.integer(9, 0, 2);
    l.BackStyle = r.integer(10, 0, 1);
    l.BorderStyle = r.integer(11, 0, 1);
    l.BackColor = r.color(12);
    l.ForeColor = r.color(13);
    l.FontName = r.text(14);
    l.FontSize = r.single(15, FLT_MIN);
    l.FontItalic = r.truth(16);
    l.FontBold = r.truth(17);
    l.FontStrikethru = r.truth(18);
    l.FontUnderline = r.truth(19);
    l.Visible = r.truth(1);  // last, as the label takes it
    return l;
}

typOldLine fncReadOld_LineRec(LineReader& reader)
{
    const Record r(reader, 10);
    typOldLine l;
    l.Visible = r.truth(1);
    l.Tag = r.text(2);
    l.X1 = r.single(3);
    l.Y1 = r.single(4);
    l.X2 = r.single(5);
    l.Y2 = r.single(6);
    l.BorderColor = r.color(7);
    l.BorderWidth = r.integer(8, 1, 32767);
    l.BorderStyle = r.integer(9, 0, 6);
    l.DrawMode = r.integer(10, 1, 16);
    return l;
}

typOldShape fncReadOld_ShapeRec(LineReader& reader)
{
    const Record r(reader, 15);
    typOldShape s;
    s.Visible = r.truth(1);
    s.Tag = r.text(2);
    s.Left = r.single(3);
    s.Top = r.single(4);
    s.Width = r.single(5, 0);
    s.Height = r.single(6, 0);
    s.BackColor = r.color(7);
    s.FillColor = r.color(8);
    s.BorderColor = r.color(9);
    s.BorderWidth = r.integer(10, 1, 32767);
    s.BackStyle = r.integer(11, 0, 1);
    s.BorderStyle = r.integer(12, 0, 6);
    s.DrawMode = r.integer(13, 1, 16);
    s.Shape = r.integer(14, 0, 5);
    s.FillStyle = r.integer(15, 0, 7);
    return s;
}

// A run has no count: it ends at a hidden record, which stays its last
// element; in the text and position label runs a hidden element 0 lets
// the run go on, and the hidden end record is dropped again.
template <class R>
typOldRun<R> readRun(LineReader& reader, R (*parse)(LineReader&), bool dropsEnd)
{
    typOldRun<R> run;
    for (;;) {
        const int i = int(run.records.size());
        if (reader.atEnd()) {
            run.added = i > 0 && !dropsEnd;
            return run;
        }
        R record = parse(reader);
        if (!record.Visible && (!dropsEnd || i > 0)) {
            if (!dropsEnd)
                run.records.append(std::move(record));
            return run;
        }
        run.records.append(std::move(record));
        if (i + 1 > MaxIndex)
            reader.fail(reader.lineNo(), errOverflow,
                        QStringLiteral("で、要素の数が %1 個を超えています。").arg(MaxIndex + 1)
                            + errorDescription(errOverflow));
    }
}

}  // namespace

bool fncOld_Truth(const QString& text)
{
    const QString t = Trim(text);
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (IsNumeric(t))
        return Val(t) != 0;
    raise(errTypeMismatch);
}

typOldTextBin fncReadOld_TextBin(const QByteArray& bytes, const QString& fileName)
{
    LineReader reader(bytes, fileName);
    typOldTextBin runs;
    for (int k = 0; k < int(runs.size()); ++k)
        runs[size_t(k)] = readRun(reader, &fncReadOld_LabelRec, k == runMoji || k == runKeiIdoS);
    return runs;
}

typOldLineBin fncReadOld_LineBin(const QByteArray& bytes, const QString& fileName)
{
    LineReader reader(bytes, fileName);
    typOldLineBin runs;
    for (auto& run : runs)
        run = readRun(reader, &fncReadOld_LineRec, false);
    return runs;
}

typOldShapeBin fncReadOld_ShapeBin(const QByteArray& bytes, const QString& fileName)
{
    LineReader reader(bytes, fileName);
    return readRun(reader, &fncReadOld_ShapeRec, false);
}

void subReadOld_Settings(const QString& iniPath)
{
    subReadOld_Settings(platform::ini::Snapshot(iniPath), QFileInfo(iniPath).fileName());
}

void subReadOld_Settings(const platform::ini::Snapshot& ini, const QString& file)
{
    QList<std::function<void()>> stores;  // applied once every key has been read
    QString section;
    const auto value = [&](const QString& key, bool& found) { return ini.value(section, key, QString(), &found); };
    const auto converted = [&](const QString& key, const std::function<void(const QString&)>& take) {
        bool found = false;
        const QString text = value(key, found);
        try {
            if (found)
                take(text);
        } catch (const Error& error) {
            raise(error.number(), file + QLatin1Char(' ') + key + QStringLiteral(": ") + error.description());
        }
    };
    const auto truth = [&](const QString& key, bool& target) {
        bool found = false;
        const QString text = value(key, found);
        try {
            const bool v = fncOld_Truth(text);  // an absent key is no truth value either
            stores.append([&target, v] { target = v; });
        } catch (const Error& error) {
            raise(error.number(), file + QLatin1Char(' ') + key + QStringLiteral(": ") + error.description());
        }
    };
    const auto single = [&](const QString& key, float& target) {
        converted(key, [&](const QString& t) {
            const float v = CSng(Val(t));
            stores.append([&target, v] { target = v; });
        });
    };
    const auto dbl = [&](const QString& key, double& target) {
        converted(key, [&](const QString& t) {
            const double v = Val(t);
            stores.append([&target, v] { target = v; });
        });
    };
    const auto integer = [&](const QString& key, qint16& target) {
        converted(key, [&](const QString& t) {
            const qint16 v = CInt(Val(t));
            stores.append([&target, v] { target = v; });
        });
    };

    section = QStringLiteral("全般");
    truth(QStringLiteral("GE_booModeDis"), GE_booModeDis);
    truth(QStringLiteral("GE_booModeKei"), GE_booModeKei);
    single(QStringLiteral("GE_sngHojoLen"), GE_sngHojoLen);
    truth(QStringLiteral("GE_booSnap"), GE_booSnap);
    truth(QStringLiteral("GE_booPrtCmt"), GE_booPrtCmt);
    integer(QStringLiteral("GE_intUnitDIndex"), GE_intUnitDIndex);
    single(QStringLiteral("GE_sngKeisuD"), GE_sngKeisuD);
    integer(QStringLiteral("GE_intUnitSIndex"), GE_intUnitSIndex);
    single(QStringLiteral("GE_sngKeisuS"), GE_sngKeisuS);

    section = QStringLiteral("傾き補正");
    for (int n = 0; n < 4; ++n) {
        single(QStringLiteral("GE_sngHosei(%1)").arg(n), GE_sngHosei[size_t(n)]);
        dbl(QStringLiteral("GE_dblHosei(%1)").arg(n), GE_dblHosei[size_t(n)]);
    }

    section = QStringLiteral("既知距離");
    for (int n = 0; n < 4; ++n) {
        single(QStringLiteral("GE_tpPiccelD(%1).sngX").arg(n), GE_tpPiccelD[size_t(n)].sngX);
        single(QStringLiteral("GE_tpPiccelD(%1).sngY").arg(n), GE_tpPiccelD[size_t(n)].sngY);
    }
    single(QStringLiteral("GE_sngPiccelD_X"), GE_sngPiccelD_X);
    single(QStringLiteral("GE_sngPiccelD_Y"), GE_sngPiccelD_Y);
    single(QStringLiteral("GE_sngDistanceD_X"), GE_sngDistanceD_X);
    single(QStringLiteral("GE_sngDistanceD_Y"), GE_sngDistanceD_Y);
    dbl(QStringLiteral("GE_tpPtoD_r_X"), GE_tpPtoD_r.dblX);
    dbl(QStringLiteral("GE_tpPtoD_r_Y"), GE_tpPtoD_r.dblY);
    dbl(QStringLiteral("GE_dblAspectM"), GE_dblAspectM);

    section = QStringLiteral("経緯度データ");
    single(QStringLiteral("GE_tpPiccel_1X"), GE_tpPiccel[0].sngX);
    single(QStringLiteral("GE_tpPiccel_1Y"), GE_tpPiccel[0].sngY);
    single(QStringLiteral("GE_tpPiccel_2X"), GE_tpPiccel[1].sngX);
    single(QStringLiteral("GE_tpPiccel_2Y"), GE_tpPiccel[1].sngY);
    for (int n = 0; n < 2; ++n) {
        const size_t i = size_t(n);
        integer(QStringLiteral("GE_dblKeIdo_%1_intDeg").arg(n), GE_tpKeIdo[i].intDeg);
        integer(QStringLiteral("GE_dblKeIdo_%1_intMin").arg(n), GE_tpKeIdo[i].intMin);
        single(QStringLiteral("GE_dblKeIdo_%1_sngSec").arg(n), GE_tpKeIdo[i].sngSec);
        integer(QStringLiteral("GE_dblIdo_%1_intDeg").arg(n), GE_tpIdo[i].intDeg);
        integer(QStringLiteral("GE_dblIdo_%1_intMin").arg(n), GE_tpIdo[i].intMin);
        single(QStringLiteral("GE_dblIdo_%1_sngSec").arg(n), GE_tpIdo[i].sngSec);
    }
    dbl(QStringLiteral("GE_dblKeido0"), GE_dblKeido[0]);
    dbl(QStringLiteral("GE_dblIdo0"), GE_dblIdo[0]);
    dbl(QStringLiteral("GE_dblKeido1"), GE_dblKeido[1]);
    dbl(QStringLiteral("GE_dblIdo1"), GE_dblIdo[1]);
    dbl(QStringLiteral("GE_tpPtoK_r_X"), GE_tpPtoK_r.dblX);
    dbl(QStringLiteral("GE_tpPtoK_r_Y"), GE_tpPtoK_r.dblY);
    dbl(QStringLiteral("GE_tpKtoP_r_X"), GE_tpKtoP_r.dblX);
    dbl(QStringLiteral("GE_tpKtoP_r_Y"), GE_tpKtoP_r.dblY);
    dbl(QStringLiteral("GE_tpPx00ToKei_La"), GE_tpPx00ToKei.dblLatitude);
    dbl(QStringLiteral("GE_tpPx00ToKei_Ll"), GE_tpPx00ToKei.dblLongitude);
    dbl(QStringLiteral("GE_tpKI00ToPx_X"), GE_tpKI00ToPx.dblX);
    dbl(QStringLiteral("GE_tpKI00ToPx_Y"), GE_tpKI00ToPx.dblY);

    for (const auto& store : stores)
        store();
    // The unit tables have 14 entries; an index beyond them would read past.
    if (GE_intUnitDIndex < 0 || GE_intUnitDIndex >= UnitCount)
        GE_intUnitDIndex = 2;
    if (GE_intUnitSIndex < 0 || GE_intUnitSIndex >= UnitCount)
        GE_intUnitSIndex = 2;
}

}  // namespace mdlFileAccess
