// tPrint: one row per drawing, its key columns from the drawing record and
// the rest from the open drawing's settings globals.

#include "db/mdlSQL.h"

#include "app/globals.h"
#include "db/sqltext.h"
#include "platform/colors.h"
#include "platform/grid.h"
#include "platform/vbruntime.h"

#include <variant>
#include <vector>

namespace mdlSQL {

namespace {

using platform::db::Field;
using platform::db::Recordset;

// A settings column and the global it is stored from and loaded into.
struct Setting {
    QString column;
    std::variant<bool*, qint16*, float*, double*> global;
};

// The settings columns in the row's order, from booModeDis to tpKI00ToPx_dblY.
const std::vector<Setting>& settings()
{
    static const std::vector<Setting> list = [] {
        std::vector<Setting> s = {
            {QStringLiteral("booModeDis"), &GE_booModeDis},       {QStringLiteral("booModeKei"), &GE_booModeKei},
            {QStringLiteral("sngHojoLen"), &GE_sngHojoLen},       {QStringLiteral("sngScale"), &GE_sngScale},
            {QStringLiteral("booSnap"), &GE_booSnap},             {QStringLiteral("booPictAdj"), &GE_booPictAdj},
            {QStringLiteral("sngPictAdj"), &GE_sngPictAdj},       {QStringLiteral("booPrtCmt"), &GE_booPrtCmt},
            {QStringLiteral("intUnitDIndex"), &GE_intUnitDIndex}, {QStringLiteral("sngKeisuD"), &GE_sngKeisuD},
            {QStringLiteral("intUnitSIndex"), &GE_intUnitSIndex}, {QStringLiteral("sngKeisuS"), &GE_sngKeisuS},
        };
        const auto add = [&s](const QString& column, auto* global) { s.push_back({column, global}); };
        for (size_t i = 0; i < 4; ++i) {
            add(QStringLiteral("sngHosei%1").arg(i), &GE_sngHosei[i]);
            add(QStringLiteral("dblHosei%1").arg(i), &GE_dblHosei[i]);
        }
        for (size_t i = 0; i < 4; ++i)
            add(QStringLiteral("tpPiccelD%1_sngX").arg(i), &GE_tpPiccelD[i].sngX);
        for (size_t i = 0; i < 4; ++i)
            add(QStringLiteral("tpPiccelD%1_sngY").arg(i), &GE_tpPiccelD[i].sngY);
        add(QStringLiteral("sngPiccelD_X"), &GE_sngPiccelD_X);
        add(QStringLiteral("sngPiccelD_Y"), &GE_sngPiccelD_Y);
        add(QStringLiteral("sngDistanceD_X"), &GE_sngDistanceD_X);
        add(QStringLiteral("sngDistanceD_Y"), &GE_sngDistanceD_Y);
        add(QStringLiteral("tpPtoD_r_dblX"), &GE_tpPtoD_r.dblX);
        add(QStringLiteral("tpPtoD_r_dblY"), &GE_tpPtoD_r.dblY);
        add(QStringLiteral("dblAspectM"), &GE_dblAspectM);
        for (size_t i = 0; i < 2; ++i) {
            add(QStringLiteral("tpPiccel%1_sngX").arg(i), &GE_tpPiccel[i].sngX);
            add(QStringLiteral("tpPiccel%1_sngY").arg(i), &GE_tpPiccel[i].sngY);
        }
        for (const auto& [name, angles] : {std::pair{"tpKeIdo", &GE_tpKeIdo}, std::pair{"tpIdo", &GE_tpIdo}}) {
            for (size_t i = 0; i < 2; ++i) {
                const QString prefix = QLatin1String(name) + QString::number(i);
                add(prefix + QStringLiteral("_intDeg"), &(*angles)[i].intDeg);
                add(prefix + QStringLiteral("_intMin"), &(*angles)[i].intMin);
                add(prefix + QStringLiteral("_sngSec"), &(*angles)[i].sngSec);
            }
        }
        add(QStringLiteral("dblKeido0"), &GE_dblKeido[0]);
        add(QStringLiteral("dblKeido1"), &GE_dblKeido[1]);
        add(QStringLiteral("dblIdo0"), &GE_dblIdo[0]);
        add(QStringLiteral("dblIdo1"), &GE_dblIdo[1]);
        add(QStringLiteral("tpPtoK_r_dblX"), &GE_tpPtoK_r.dblX);
        add(QStringLiteral("tpPtoK_r_dblY"), &GE_tpPtoK_r.dblY);
        add(QStringLiteral("tpKtoP_r_dblX"), &GE_tpKtoP_r.dblX);
        add(QStringLiteral("tpKtoP_r_dblY"), &GE_tpKtoP_r.dblY);
        add(QStringLiteral("tpPx00ToKei_dblLatitude"), &GE_tpPx00ToKei.dblLatitude);
        add(QStringLiteral("tpPx00ToKei_dblLongitude"), &GE_tpPx00ToKei.dblLongitude);
        add(QStringLiteral("tpKI00ToPx_dblX"), &GE_tpKI00ToPx.dblX);
        add(QStringLiteral("tpKI00ToPx_dblY"), &GE_tpKI00ToPx.dblY);
        return s;
    }();
    return list;
}

QString statementText(const Setting& setting)
{
    return std::visit(
        [](auto* global) {
            if constexpr (std::is_same_v<decltype(global), bool*>)
                return sqltext::truth(*global);
            else
                return sqltext::number(*global);
        },
        setting.global);
}

void load(const Setting& setting, const Field& field)
{
    std::visit(
        [&field](auto* global) {
            using T = std::remove_pointer_t<decltype(global)>;
            if constexpr (std::is_same_v<T, bool>)
                *global = field.toBool();
            else if constexpr (std::is_same_v<T, qint16>)
                *global = field.toInt16();
            else if constexpr (std::is_same_v<T, float>)
                *global = field.toSingle();
            else
                *global = field.toDouble();
        },
        setting.global);
}

// Numbers match without regard to case, as the drawing list has always
// compared them ("a001" is "A001"). Should a file hold both spellings, the
// exact one comes first.
QString whereNumber(const QString& number)
{
    const QString quoted = sqltext::quoted(number);
    return QStringLiteral("WHERE strNo = ") + quoted + QStringLiteral(" COLLATE NOCASE ORDER BY strNo = ") + quoted
        + QStringLiteral(" DESC");
}

QString sortColumn(qint16 sortKey)
{
    switch (sortKey) {
    case 1:
        return QStringLiteral("strNo COLLATE NOCASE");
    case 2:
        return QStringLiteral("strName COLLATE NOCASE");
    case 3:
        return QStringLiteral("datHizuke");
    case 4:
        return QStringLiteral("datRenew");
    default:
        return QStringLiteral("Print_Id");
    }
}

// One drawing's row of the list: its cells, then the look of cells 1 to 5.
void putRow(platform::Grid& grid, const Recordset& rs, int row)
{
    static const char* const columns[] = {"Print_Id",  "strNo",   "strName",    "datHizuke",
                                          "datRenew",  "booEdit", "booVisible", "strPassWord"};
    for (int col = 0; col < 8; ++col) {
        const Field f = rs[QLatin1String(columns[col])];
        if (f.isNull())
            continue;
        if (f.type() == platform::db::FieldType::Date)
            grid.setTextMatrix(row, col, vb::Format(f.toDate(), QStringLiteral("yy/mm/dd hh:nn:ss")));
        else
            grid.setTextMatrix(row, col, f.toString());  // truth values as True and False
    }
    const Field visible = rs[QStringLiteral("booVisible")];
    const Field edit = rs[QStringLiteral("booEdit")];
    for (int col = 1; col <= 5; ++col) {
        grid.setRow(row);
        grid.setCol(col);
        grid.setCellForeColor(vb::vbBlack);
        grid.setCellBackColor(vb::vbWindowBackground);
        if (!visible.isNull() && !visible.toBool())
            grid.setCellForeColor(vb::vbButtonFace);
        if (!edit.isNull() && !edit.toBool())
            grid.setCellBackColor(vb::vbYellow);
    }
}

}  // namespace

PrintLookup fncSQL_GetPrint(const QString& number, typPrint& print)
{
    bool found = false;
    const bool ok = sqltext::guarded(QStringLiteral("fncSQL_GetPrint"), [&] {
        Recordset rs = sqltext::connection().openRecordset(QStringLiteral("SELECT * FROM tPrint ") + whereNumber(number));
        if (rs.eof()) {
            rs.close();
            return;
        }
        found = true;
        const auto whenNotNull = [&rs](const char* column, auto assign) {
            const Field f = rs[QLatin1String(column)];
            if (!f.isNull())
                assign(f);
        };
        whenNotNull("Print_Id", [&](const Field& f) { print.Print_Id = f.toInt32(); });
        whenNotNull("strName", [&](const Field& f) { print.strName = f.toString(); });
        whenNotNull("datHizuke", [&](const Field& f) { print.datHizuke = f.toDate(); });
        whenNotNull("strFileName", [&](const Field& f) { print.strFileName = f.toString(); });
        whenNotNull("strPath", [&](const Field& f) { print.strPath = f.toString(); });
        whenNotNull("strPassWord", [&](const Field& f) { print.strPassWord = f.toString(); });
        print.booEdit = rs[QStringLiteral("booEdit")].toBool();
        print.booVisible = rs[QStringLiteral("booVisible")].toBool();
        for (const Setting& s : settings())
            load(s, rs[s.column]);
        rs.close();
    });
    if (!ok)
        return PrintLookup::Failed;
    return found ? PrintLookup::Found : PrintLookup::NotFound;
}

qint32 fncSQL_GetPrintID(const QString& number)
{
    qint32 id = 0;
    const bool ok = sqltext::guarded(QStringLiteral("fncSQL_GetPrintID"), [&] {
        Recordset rs = sqltext::connection().openRecordset(QStringLiteral("SELECT Print_ID FROM tPrint ") + whereNumber(number));
        if (!rs.bof() && !rs.eof())
            id = rs[QStringLiteral("Print_Id")].toInt32();
        rs.close();
    });
    return ok ? id : -1;
}

qint16 fncSQL_InsertPrint(const typPrint& print)
{
    sqltext::Insert insert(QStringLiteral("tPrint"));
    insert.text(QStringLiteral("strNo"), print.strNo, true, false)
        .text(QStringLiteral("strName"), print.strName, true, true)
        .text(QStringLiteral("strFileName"), print.strFileName, true, true)
        .text(QStringLiteral("strPath"), print.strPath, true, true)
        .text(QStringLiteral("strPassWord"), print.strPassWord, true, true)
        .value(QStringLiteral("booEdit"), sqltext::truth(print.booEdit))
        .value(QStringLiteral("booVisible"), sqltext::truth(print.booVisible));
    for (const Setting& s : settings())
        insert.value(s.column, statementText(s));
    insert.value(QStringLiteral("datHizuke"), sqltext::date(print.datHizuke))
        .value(QStringLiteral("datRenew"), sqltext::now());
    return sqltext::change(QStringLiteral("fncSQL_InsertPrint"), insert.statement()) ? 0 : -1;
}

qint16 fncSQL_Print_Update(const typPrint& print)
{
    sqltext::Update update(QStringLiteral("tPrint"));
    update.value(QStringLiteral("strNo"), sqltext::quoted(print.strNo))
        .text(QStringLiteral("strName"), print.strName, false)
        .text(QStringLiteral("strFileName"), print.strFileName, false)
        .text(QStringLiteral("strPath"), print.strPath, false)
        .text(QStringLiteral("strPassWord"), print.strPassWord, false)
        .value(QStringLiteral("booEdit"), sqltext::truth(print.booEdit))
        .value(QStringLiteral("booVisible"), sqltext::truth(print.booVisible));
    for (const Setting& s : settings())
        update.value(s.column, statementText(s));
    update.value(QStringLiteral("datHizuke"), sqltext::date(print.datHizuke))
        .value(QStringLiteral("datReNew"), sqltext::now());
    return sqltext::change(QStringLiteral("fncSQL_Print_Update"),
                           update.statement(QStringLiteral("Print_Id = ") + sqltext::number(print.Print_Id)))
               ? 0
               : -1;
}

qint16 fncSQL_Print_UpdateNum(qint32 printId, const QString& column, const QString& value)
{
    const QString sql = sqltext::Update(QStringLiteral("tPrint"))
                            .value(column, value)
                            .value(QStringLiteral("datReNew"), sqltext::now())
                            .statement(QStringLiteral("Print_Id = ") + sqltext::number(printId));
    return sqltext::change(QStringLiteral("fncSQL_Print_UpdateNum"), sql) ? 0 : -1;
}

qint16 fncSQL_Print_UpdateText(qint32 printId, const QString& column, const QString& text)
{
    const QString sql = sqltext::Update(QStringLiteral("tPrint"))
                            .text(column, text, false)
                            .value(QStringLiteral("datReNew"), sqltext::now())
                            .statement(QStringLiteral("Print_ID = ") + sqltext::number(printId));
    return sqltext::change(QStringLiteral("fncSQL_Print_UpdateText"), sql) ? 0 : -1;
}

void subSQL_PutGrid_tPrint(platform::Grid& grid, qint16 sortKey, const QString& order)
{
    grid.setEnabled(false);
    sqltext::guarded(QStringLiteral("subSQL_PutGrid_tPrint"), [&] {
        platform::db::Connection& db = sqltext::connection();
        Recordset count = db.openRecordset(QStringLiteral("SELECT COUNT (*) as RecCount FROM tPrint"));
        const qint32 drawings = count[QStringLiteral("RecCount")].toInt32();
        count.close();
        Recordset rs = db.openRecordset(QStringLiteral("SELECT * FROM tPrint ORDER BY ") + sortColumn(sortKey) +
                                        QLatin1Char(' ') + (order.isEmpty() ? QStringLiteral("ASC") : order));
        if (rs.eof()) {
            rs.close();
            return;
        }
        grid.setRows(drawings + 1);
        for (int row = 1; !rs.eof(); ++row, rs.moveNext())
            putRow(grid, rs, row);
        grid.setEnabled(true);
        rs.close();
    });
}

void subSQL_PrintDeleteAll(qint32 printId)
{
    sqltext::change(QStringLiteral("subSQL_PrintDeleteAll"),
                    QStringLiteral("DELETE FROM tPrint WHERE Print_Id = ") + sqltext::number(printId));
}

}  // namespace mdlSQL
