// tLabel, tLine, tShape: one row per visible element of the editor's arrays.

#include "db/mdlSQL_objects.h"

#include "db/sqltext.h"
#include "platform/elements.h"

#include <QSet>

#include <memory>
#include <type_traits>

namespace mdlSQL {

namespace {

using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;
using platform::db::Field;
using platform::db::Recordset;
using sqltext::number;
using sqltext::truth;

// The arrays whose load ends with a hidden spare for the next new object.
bool keepsSpare(const QString& arrayName)
{
    static const QSet<QString> names{
        QStringLiteral("lblKyori"),      QStringLiteral("lblMensekiS"),  QStringLiteral("lblKeiroS"),
        QStringLiteral("lineHikidashi"), QStringLiteral("lineHojoSave"), QStringLiteral("lineDsSave"),
        QStringLiteral("linePS"),        QStringLiteral("shpShape"),     QStringLiteral("shpSnpo"),
    };
    return names.contains(arrayName);
}

// An empty text was stored by leaving its column out: it comes back empty,
// not as whatever the new element copied from element 0.
QString textOrEmpty(const Field& f) { return f.isNull() ? QString() : f.toString(); }

// The font size as written (10.5, 9.75): a single column would otherwise
// give 10.3 back as 10.300000190734863.
double fontSize(const Field& f) { return QString::number(f.toSingle(), 'g', 7).toDouble(); }

void fill(LabelElement& label, const Recordset& rs)
{
    label.Caption = textOrEmpty(rs[QStringLiteral("strCaption")]);
    label.ToolTipText = textOrEmpty(rs[QStringLiteral("strToolTipText")]);
    label.Tag = textOrEmpty(rs[QStringLiteral("Tag")]);
    label.Alignment = rs[QStringLiteral("intAlignment")].toInt16();
    label.Appearance = rs[QStringLiteral("intAppearance")].toInt16();
    label.FontSize = fontSize(rs[QStringLiteral("intFontSize")]);
    label.FontBold = rs[QStringLiteral("booFontBold")].toBool();
    label.FontItalic = rs[QStringLiteral("booFontItalic")].toBool();
    const Field fontName = rs[QStringLiteral("strFontname")];
    if (!fontName.isNull())
        label.FontName = fontName.toString();
    label.FontUnderline = rs[QStringLiteral("booFontUnderline")].toBool();
    label.FontStrikethrough = rs[QStringLiteral("booFontStrikethrough")].toBool();
    label.ForeColor = rs[QStringLiteral("lngForeColor")].toInt32();
    label.BackColor = rs[QStringLiteral("lngBackColor")].toInt32();
    label.BackStyle = rs[QStringLiteral("intBackStyle")].toInt16();
    label.BorderStyle = rs[QStringLiteral("intBorderStyle")].toInt16();
    label.Left = rs[QStringLiteral("sngLeft")].toSingle();
    label.Top = rs[QStringLiteral("sngTop")].toSingle();
}

void fill(LineElement& line, const Recordset& rs)
{
    line.Tag = textOrEmpty(rs[QStringLiteral("Tag")]);
    line.X1 = rs[QStringLiteral("X1")].toSingle();
    line.Y1 = rs[QStringLiteral("Y1")].toSingle();
    line.X2 = rs[QStringLiteral("X2")].toSingle();
    line.Y2 = rs[QStringLiteral("y2")].toSingle();
    line.BorderColor = rs[QStringLiteral("BorderColor")].toInt32();
    line.BorderStyle = rs[QStringLiteral("BorderStyle")].toInt16();
    line.BorderWidth = rs[QStringLiteral("BorderWidth")].toInt16();
    line.DrawMode = rs[QStringLiteral("DrawMode")].toInt16();
}

void fill(ShapeElement& shape, const Recordset& rs)
{
    shape.Tag = textOrEmpty(rs[QStringLiteral("Tag")]);
    shape.Left = rs[QStringLiteral("sngLeft")].toSingle();
    shape.Top = rs[QStringLiteral("sngTop")].toSingle();
    shape.setWidth(rs[QStringLiteral("Width")].toSingle());
    shape.setHeight(rs[QStringLiteral("Height")].toSingle());
    shape.BackColor = rs[QStringLiteral("BackColor")].toInt32();
    shape.BackStyle = rs[QStringLiteral("BackStyle")].toInt16();
    shape.BorderColor = rs[QStringLiteral("BorderColor")].toInt32();
    shape.BorderStyle = rs[QStringLiteral("BorderStyle")].toInt16();
    shape.BorderWidth = rs[QStringLiteral("BorderWidth")].toInt16();
    shape.FillColor = rs[QStringLiteral("FillColor")].toInt32();
    shape.FillStyle = rs[QStringLiteral("FillStyle")].toInt16();
    shape.Shape = rs[QStringLiteral("Shape")].toInt16();
    shape.DrawMode = rs[QStringLiteral("DrawMode")].toInt16();
}

// The highest element an array can hold.
constexpr int LastElement = 32767;

// Reads one row into element k (created when missing) and shows it. A row
// that fails part way leaves the array as it was (a new element goes again,
// an existing one gets its properties back): false then.
template <class T>
bool place(const Recordset& rs, platform::ElementArray<T>& elements, int k)
{
    std::unique_ptr<T> before;
    if (elements.exists(k)) {
        before = std::make_unique<T>(nullptr);
        before->copyFrom(elements(k));
    } else {
        elements.Load(k);
    }
    T& element = elements(k);
    try {
        rs[QStringLiteral("intIndex")].toInt16();  // a row without its number is damaged
        fill(element, rs);
    } catch (const vb::Error&) {
        if (before)
            element.copyFrom(*before);
        else
            elements.Unload(k);
        return false;
    }
    element.Visible = true;
    return true;
}

// The load of every array. Rows go into elements 0, 1, 2 ... in their
// stored order whatever their intIndex says, so a gap or a negative index in
// a damaged file can never leave a hole in the array or point outside it.
// A row that cannot be read is counted and its element goes to the next row;
// so are the rows for which the array has no room left (a spare included).
template <class T>
qint16 load(const QString& procedure, const QString& table, qint32 printId, platform::ElementArray<T>& elements,
            Unread* unread, Stacking* stacking = nullptr)
{
    qint16 last = -1;
    const int room = keepsSpare(elements.Name()) ? LastElement - 1 : LastElement;
    const bool ok = sqltext::guarded(procedure, [&] {
        Recordset rs = sqltext::connection().openRecordset(
            QStringLiteral("SELECT ") + (stacking ? QStringLiteral("rowid AS lngRowOrder, ") : QString()) +
            QStringLiteral("* FROM ") + table + QStringLiteral(" WHERE strObjName = ") +
            sqltext::quoted(elements.Name()) + QStringLiteral(" AND Print_ID = ") + number(printId) +
            QStringLiteral(" ORDER BY intIndex"));
        for (; !rs.eof(); rs.moveNext()) {
            const int k = last + 1;
            if (k <= room && place(rs, elements, k)) {
                last = qint16(k);
                if constexpr (std::is_same_v<T, LabelElement>) {
                    if (stacking)
                        stacking->emplace_back(rs[QStringLiteral("lngRowOrder")].toDouble(), &elements(k));
                }
            }
            else if (unread)
                ++unread->rows;
        }
        rs.close();
        if (last < 0 || !keepsSpare(elements.Name()))
            return;
        if (!elements.exists(last + 1))
            elements.Load(last + 1);
        elements(last + 1).Visible = false;
    });
    if (!ok && unread)
        unread->failed = true;
    return ok ? last : -1;
}

qint16 insert(const QString& procedure, const sqltext::Insert& statement)
{
    return sqltext::change(procedure, statement) ? 0 : -1;
}

}  // namespace

qint16 fncSQL_InsertLabel(qint32 printId, const LabelElement& label, qint16 index)
{
    sqltext::Insert row(QStringLiteral("tLabel"));
    row.value(QStringLiteral("Print_ID"), number(printId))
        .text(QStringLiteral("strObjName"), label.Name, false, false)
        .value(QStringLiteral("intIndex"), number(index))
        .text(QStringLiteral("strCaption"), label.Caption, true, true)
        .text(QStringLiteral("strToolTipText"), label.ToolTipText, true, true)
        .text(QStringLiteral("Tag"), label.Tag, true, true)
        .value(QStringLiteral("intAlignment"), number(label.Alignment.get()))
        .value(QStringLiteral("intAppearance"), number(label.Appearance.get()))
        .value(QStringLiteral("sngLeft"), number(label.Left.get()))
        .value(QStringLiteral("sngTop"), number(label.Top.get()))
        .value(QStringLiteral("intFontSize"), number(label.FontSize.get()))
        .value(QStringLiteral("booFontBold"), truth(label.FontBold))
        .value(QStringLiteral("booFontItalic"), truth(label.FontItalic))
        .text(QStringLiteral("strFontname"), label.FontName, false, false)
        .value(QStringLiteral("booFontUnderline"), truth(label.FontUnderline))
        .value(QStringLiteral("booFontStrikethrough"), truth(label.FontStrikethrough))
        .value(QStringLiteral("lngForeColor"), number(label.ForeColor.get()))
        .value(QStringLiteral("lngBackColor"), number(label.BackColor.get()))
        .value(QStringLiteral("intBackStyle"), number(label.BackStyle.get()))
        .value(QStringLiteral("intBorderStyle"), number(label.BorderStyle.get()));
    return insert(QStringLiteral("fncSQL_InsertLabel"), row);
}

qint16 fncSQL_InsertLine(qint32 printId, const LineElement& line, qint16 index)
{
    sqltext::Insert row(QStringLiteral("tLine"));
    row.text(QStringLiteral("strObjName"), line.Name, false, false)
        .value(QStringLiteral("Print_ID"), number(printId))
        .value(QStringLiteral("intIndex"), number(index))
        .text(QStringLiteral("Tag"), line.Tag, true, true)
        .value(QStringLiteral("X1"), number(line.X1.get()))
        .value(QStringLiteral("Y1"), number(line.Y1.get()))
        .value(QStringLiteral("X2"), number(line.X2.get()))
        .value(QStringLiteral("y2"), number(line.Y2.get()))
        .value(QStringLiteral("BorderColor"), number(line.BorderColor.get()))
        .value(QStringLiteral("BorderStyle"), number(line.BorderStyle.get()))
        .value(QStringLiteral("BorderWidth"), number(line.BorderWidth.get()))
        .value(QStringLiteral("DrawMode"), number(line.DrawMode.get()));
    return insert(QStringLiteral("fncSQL_InsertLine"), row);
}

qint16 fncSQL_InsertShape(qint32 printId, const ShapeElement& shape, qint16 index)
{
    sqltext::Insert row(QStringLiteral("tShape"));
    row.text(QStringLiteral("strObjName"), shape.Name, false, false)
        .value(QStringLiteral("Print_ID"), number(printId))
        .value(QStringLiteral("intIndex"), number(index))
        .text(QStringLiteral("Tag"), shape.Tag, true, true)
        .value(QStringLiteral("sngLeft"), number(shape.Left.get()))
        .value(QStringLiteral("sngTop"), number(shape.Top.get()))
        .value(QStringLiteral("Width"), number(shape.Width()))
        .value(QStringLiteral("Height"), number(shape.Height()))
        .value(QStringLiteral("BackColor"), number(shape.BackColor.get()))
        .value(QStringLiteral("BackStyle"), number(shape.BackStyle.get()))
        .value(QStringLiteral("BorderColor"), number(shape.BorderColor.get()))
        .value(QStringLiteral("BorderStyle"), number(shape.BorderStyle.get()))
        .value(QStringLiteral("BorderWidth"), number(shape.BorderWidth.get()))
        .value(QStringLiteral("FillColor"), number(shape.FillColor.get()))
        .value(QStringLiteral("FillStyle"), number(shape.FillStyle.get()))
        .value(QStringLiteral("Shape"), number(shape.Shape.get()))
        .value(QStringLiteral("DrawMode"), number(shape.DrawMode.get()));
    return insert(QStringLiteral("fncSQL_InsertShape"), row);
}

qint16 fncSQL_LoadLabel(qint32 printId, platform::ElementArray<LabelElement>& labels, Unread* unread,
                        Stacking* stacking)
{
    return load(QStringLiteral("fncSQL_LoadLabel"), QStringLiteral("tLabel"), printId, labels, unread, stacking);
}

qint16 fncSQL_LoadLine(qint32 printId, platform::ElementArray<LineElement>& lines, Unread* unread)
{
    return load(QStringLiteral("fncSQL_LoadLine"), QStringLiteral("tLine"), printId, lines, unread);
}

qint16 fncSQL_LoadShape(qint32 printId, platform::ElementArray<ShapeElement>& shapes, Unread* unread)
{
    return load(QStringLiteral("fncSQL_LoadShape"), QStringLiteral("tShape"), printId, shapes, unread);
}

}  // namespace mdlSQL
