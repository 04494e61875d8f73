// The CSV lists and details, built from the elements the editor holds.
// Elements stand at the current zoom; every coordinate is taken back to
// the picture's own units before it is converted or written.
#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/hatchcache.h"
#include "measure/resulttag.h"
#include "objects/chains.h"
#include "output/csvtext.h"

#include <cmath>

using mdlCsv::num;
using mdlCsv::text;

namespace {

QString kyoriHeader()
{
    const QString u = GE_strUnitD;
    const QString tail = QStringLiteral("),X1(mm),Y1(mm),x2(mm),y2(mm),L(mm)");
    if (GE_booModeKei)
        return QStringLiteral("№,コメント,x1(秒),y1(秒),x2(秒),y2(秒),L(") + u + tail;
    return QStringLiteral("№,コメント,x1(%1),y1(%1),x2(%1),y2(%1),L(%1").arg(u) + tail;
}

QString hatchHeader()
{
    if (GE_booModeKei)
        return QStringLiteral("№,x1(秒),y1(秒),x2(秒),y2(秒),X1(mm),Y1(mm),x2(mm),y2(mm)");
    return QStringLiteral("№,x1(%1),y1(%1),x2(%1),y2(%1),X1(mm),Y1(mm),x2(mm),y2(mm)").arg(GE_strUnitD);
}

// The unit name at a tag's unit index.
QString unitName(const std::array<QString, UnitCount>& names, qint16 unit)
{
    if (unit < 0 || unit >= qint16(names.size()))
        vb::raise(vb::errSubscript);
    return names[size_t(unit)];
}

}  // namespace

float frmEdit::fncGet_PointDistance(float x1, float y1, float x2, float y2) const
{
    return float(std::pow(std::pow(double(x2) - x1, 2) + std::pow(double(y2) - y1, 2), 0.5));
}

namespace {

// Two converted points in the calibration mode in force.
QStringList pointColumns(frmEdit& e, float x, float y)
{
    if (GE_booModeKei) {
        QString lon, lat;
        e.fncPix_KeiIdo(x, y, lon, lat);
        return {lon, lat};
    }
    double mx = 0, my = 0;
    e.fncPix_MM(x, y, mx, my);
    return {num(mx), num(my)};
}

// Columns 3 to 12 of a distance row for a segment given at the current
// zoom. The length is measured again from the same ends and at the same
// scale as the coordinates beside it, the scale in force now, so that every
// row adds up; a label measured before a recalibration still shows the old
// figure, and one rounded to its decimals may differ in the last digits.
QStringList segmentColumns(frmEdit& e, float zx1, float zy1, float zx2, float zy2)
{
    const float z = GE_sngZoom;
    const float x1 = zx1 / z, y1 = zy1 / z, x2 = zx2 / z, y2 = zy2 / z;
    QStringList out = pointColumns(e, x1, y1) + pointColumns(e, x2, y2);
    out << num(GE_booModeKei ? e.fncLen_KeiIdo(x1, y1, x2, y2) : e.fncLen_Dis(x1, y1, x2, y2));
    out << num(x1) << num(y1) << num(x2) << num(y2) << num(e.fncGet_PointDistance(x1, y1, x2, y2));
    return out;
}

QStringList segmentColumns(frmEdit& e, const platform::LineElement& line)
{
    return segmentColumns(e, line.X1, line.Y1, line.X2, line.Y2);
}

// Distance i's row columns from its measured points: the starts of its two
// extension lines. Its dimension line stands the extension length (at the
// zoom it was measured at) away from them. A distance whose extension lines
// are not its own (they carry another key) is given by its dimension line.
QStringList distanceColumns(frmEdit& e, int i)
{
    const platform::LineElement& dimension = e.lineDsSave(i);
    const int a = 2 * i, b = 2 * i + 1;
    const auto own = [&](int k) { return e.lineHojoSave.exists(k) && e.lineHojoSave(k).Tag == dimension.Tag; };
    if (!own(a) || !own(b))
        return segmentColumns(e, dimension);
    return segmentColumns(e, e.lineHojoSave(a).X1, e.lineHojoSave(a).Y1, e.lineHojoSave(b).X1, e.lineHojoSave(b).Y1);
}

QStringList resultList(platform::ElementArray<platform::LabelElement>& labels, const QString& header,
                       const std::array<QString, UnitCount>& units)
{
    QStringList lines{header};
    for (int i = 0; i < labels.UBound(); ++i) {
        qint16 unit = 0, decimals = 0;
        double value = 0;
        ResultTag::subParse_ResultTag(labels(i).Tag, unit, decimals, value);
        lines << mdlCsv::row({num(qint32(i + 1)), text(labels(i).ToolTipText), num(value), unitName(units, unit)});
    }
    return lines;
}

// Line 1, the object line, the distance header and the side rows.
QStringList detailHead(frmEdit& e, const platform::LabelElement& label, const QString& first,
                       const std::array<QString, UnitCount>& units)
{
    qint16 unit = 0, decimals = 0;
    double value = 0;
    ResultTag::subParse_ResultTag(label.Tag, unit, decimals, value);
    QStringList lines{first, mdlCsv::row({text(label.ToolTipText), num(value), unitName(units, unit)}),
                      kyoriHeader()};
    const QString key = ResultTag::fncTag_Key(label.Tag);
    int n = 0;
    for (int j = 0; j < e.linePS.UBound(); ++j) {
        if (!e.linePS.exists(j) || !e.linePS(j).Tag.endsWith(key))
            continue;
        // Only the distance this measurement keeps on the side: another one
        // starting at the same vertex belongs to another object.
        const int k = mdlChain::fncFind_SideKyori(e.lineHojoSave, e.linePS, j);
        const QString comment = k >= 0 && e.lblKyori.exists(k) ? text(e.lblKyori(k).ToolTipText)
                                                                : QStringLiteral("-----");
        lines << mdlCsv::row(QStringList{num(qint32(++n)), comment} + segmentColumns(e, e.linePS(j)));
    }
    return lines;
}

}  // namespace

void frmEdit::subCsvOut_Kyori(const QString& path)
{
    QStringList lines{kyoriHeader()};
    for (int i = 0; i < lineDsSave.UBound(); ++i) {
        const QString comment = lblKyori.exists(i) ? text(lblKyori(i).ToolTipText) : QString();
        lines << mdlCsv::row(QStringList{num(qint32(i + 1)), comment} + distanceColumns(*this, i));
    }
    mdlCsv::writeFile(path, lines);
}

void frmEdit::subCsvOut_Keiro(const QString& path)
{
    mdlCsv::writeFile(path, resultList(lblKeiroS, QStringLiteral("№,コメント,経路,単位"), GE_strUnitDistance));
}

void frmEdit::subCsvOut_Menseki(const QString& path)
{
    mdlCsv::writeFile(path, resultList(lblMensekiS, QStringLiteral("№,コメント,面積,単位"), GE_strUnitArea));
}

void frmEdit::subCsvOut_KeiIdo(const QString& path, const QString& header)
{
    QStringList lines{header};
    int n = 0;
    // The visible elements are the position labels; an empty first element
    // of a fresh drawing is hidden.
    for (int i = 0; i <= lblKeiIdoS.UBound(); ++i) {
        if (!lblKeiIdoS.exists(i) || !lblKeiIdoS(i).Visible)
            continue;
        const platform::LabelElement& label = lblKeiIdoS(i);
        const QString tip = label.ToolTipText;
        const qsizetype comma = tip.indexOf(QLatin1Char(','));
        const QString tip1 = comma < 0 ? tip : tip.left(comma);
        const QString tip2 = comma < 0 ? QString() : tip.mid(comma + 1);
        const QStringList tag = label.Tag.split(QLatin1Char(','));
        if (tag.size() < 2)
            vb::raise(vb::errSubscript);
        // Tips and tags come from shared files as comments do: every part is a text field.
        lines << mdlCsv::row({num(qint32(++n)), text(label.Caption), text(tip1), text(tip2), text(tag[0]), text(tag[1])});
    }
    mdlCsv::writeFile(path, lines);
}

void frmEdit::subCsvOut_KeiroDetail(const QString& path, int index)
{
    mdlCsv::writeFile(path, detailHead(*this, lblKeiroS(index), QStringLiteral("コメント,経路,単位"), GE_strUnitDistance));
}

void frmEdit::subCsvOut_MensekiDetail(const QString& path, int index)
{
    const platform::LabelElement& label = lblMensekiS(index);
    QStringList lines = detailHead(*this, label, QStringLiteral("コメント,面積,単位"), GE_strUnitArea);
    const QString key = ResultTag::fncTag_Key(label.Tag);
    for (int r = 0; r < GE_tpHatching.size(); ++r) {
        if (!GE_tpHatching[r].Tag.endsWith(key))
            continue;
        QList<typHatchLine> segments;
        if (lblMensekiS.exists(r) && mdlFileAccess::fncGet_BinHeld(lblMensekiS(r).Tag, GE_tpHatching[r], segments)) {
            lines << QStringLiteral("ハッチング・パターン座標") << hatchHeader();
            int n = 0;
            for (const typHatchLine& s : segments) {
                lines << mdlCsv::row(QStringList{num(qint32(++n))} + pointColumns(*this, s.X1, s.Y1) +
                                     pointColumns(*this, s.X2, s.Y2) +
                                     QStringList{num(s.X1), num(s.Y1), num(s.X2), num(s.Y2)});
            }
        }
        break;
    }
    mdlCsv::writeFile(path, lines);
}
