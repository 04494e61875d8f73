// tPrinter: a drawing's printer settings, one row per drawing.

#include "db/mdlSQL_objects.h"

#include "db/sqltext.h"

namespace mdlSQL {

namespace {

using platform::db::Field;
using platform::db::Recordset;
using sqltext::number;

QString insertStatement(qint32 printId, const typPrinter& p)
{
    sqltext::Insert row(QStringLiteral("tPrinter"));
    row.value(QStringLiteral("Print_Id"), number(printId))
        .text(QStringLiteral("strDeviceName"), p.strDeviceName, true, true)
        .text(QStringLiteral("strDriverName"), p.strDriverName, true, true)
        .text(QStringLiteral("strPort"), p.strPort, true, true)
        .text(QStringLiteral("strFormName"), p.strFormName, true, true)
        .value(QStringLiteral("intColorMode"), number(p.intColorMode))
        .value(QStringLiteral("intDuplex"), number(p.intDuplex))
        .value(QStringLiteral("intOrientation"), number(p.intOrientation))
        .value(QStringLiteral("intPaperBin"), number(p.intPaperBin))
        .value(QStringLiteral("intPaperSize"), number(p.intPaperSize))
        .value(QStringLiteral("intPrintQuality"), number(p.intPrintQuality))
        .value(QStringLiteral("intScaleMode"), number(p.intScaleMode))
        .value(QStringLiteral("intZoom"), number(p.intZoom))
        .value(QStringLiteral("sngHeight"), number(p.sngHeight))
        .value(QStringLiteral("sngWidth"), number(p.sngWidth))
        .value(QStringLiteral("sngScaleHeight"), number(p.sngScaleHeight))
        .value(QStringLiteral("sngScaleWidth"), number(p.sngScaleWidth))
        .value(QStringLiteral("sngPaperLength"), number(p.sngPaperLength))
        .value(QStringLiteral("sngPaperWidth"), number(p.sngPaperWidth))
        .value(QStringLiteral("datReDate"), sqltext::now());
    return row.statement();
}

QString updateStatement(qint32 printId, const typPrinter& p)
{
    return sqltext::Update(QStringLiteral("tPrinter"))
        .text(QStringLiteral("strDeviceName"), p.strDeviceName, true)
        .text(QStringLiteral("strDriverName"), p.strDriverName, true)
        .text(QStringLiteral("strPort"), p.strPort, true)
        .text(QStringLiteral("strFormName"), p.strFormName, true)
        .value(QStringLiteral("intColorMode"), number(p.intColorMode))
        .value(QStringLiteral("intDuplex"), number(p.intDuplex))
        .value(QStringLiteral("intOrientation"), number(p.intOrientation))
        .value(QStringLiteral("intPaperBin"), number(p.intPaperBin))
        .value(QStringLiteral("intPaperSize"), number(p.intPaperSize))
        .value(QStringLiteral("intPrintQuality"), number(p.intPrintQuality))
        .value(QStringLiteral("intScaleMode"), number(p.intScaleMode))
        .value(QStringLiteral("intZoom"), number(p.intZoom))
        .value(QStringLiteral("sngHeight"), number(p.sngHeight))
        .value(QStringLiteral("sngWidth"), number(p.sngWidth))
        .value(QStringLiteral("sngPaperWidth"), number(p.sngPaperWidth))
        .value(QStringLiteral("sngPaperLength"), number(p.sngPaperLength))
        .value(QStringLiteral("sngScaleHeight"), number(p.sngScaleHeight))
        .value(QStringLiteral("sngScaleWidth"), number(p.sngScaleWidth))
        .value(QStringLiteral("datReDate"), sqltext::now())
        .statement(QStringLiteral("Print_Id = ") + number(printId));
}

QString whereDrawing(qint32 printId) { return QStringLiteral(" WHERE Print_Id = ") + number(printId); }

QString textOrEmpty(const Field& f) { return f.isNull() ? QString() : f.toString(); }

}  // namespace

qint16 fncSQL_InsertPrinter(qint32 printId, const typPrinter& printer)
{
    return sqltext::change(QStringLiteral("fncSQL_InsertPrinter"), insertStatement(printId, printer)) ? 0 : -1;
}

qint16 fncSQL_UpdateLabel(qint32 printId, const typPrinter& printer)
{
    const QString procedure = QStringLiteral("fncSQL_UpdateLabel");
    bool stored = false;
    const bool read = sqltext::guarded(procedure, [&] {
        Recordset rs =
            sqltext::connection().openRecordset(QStringLiteral("SELECT Print_Id FROM tPrinter") + whereDrawing(printId));
        stored = !rs.eof();
        rs.close();
    });
    if (!read)
        return -1;
    // An update that matches no row would drop the settings the user chose
    // to keep while reporting success.
    const QString sql = stored ? updateStatement(printId, printer) : insertStatement(printId, printer);
    return sqltext::change(procedure, sql) ? 0 : -1;
}

qint16 fncSQL_LoadPrinter_Struct(qint32 printId, typPrinter& printer)
{
    bool found = false;
    const bool ok = sqltext::guarded(QStringLiteral("fncSQL_LoadPrinter_Struct"), [&] {
        Recordset rs = sqltext::connection().openRecordset(QStringLiteral("SELECT * FROM tPrinter") + whereDrawing(printId));
        if (rs.eof()) {
            rs.close();
            return;
        }
        found = true;
        printer.intColorMode = rs[QStringLiteral("intColorMode")].toInt16();
        printer.intDuplex = rs[QStringLiteral("intDuplex")].toInt16();
        printer.intOrientation = rs[QStringLiteral("intOrientation")].toInt16();
        printer.intPaperBin = rs[QStringLiteral("intPaperBin")].toInt16();
        printer.intPaperSize = rs[QStringLiteral("intPaperSize")].toInt16();
        printer.intPrintQuality = rs[QStringLiteral("intPrintQuality")].toInt16();
        printer.intScaleMode = rs[QStringLiteral("intScaleMode")].toInt16();
        printer.intZoom = rs[QStringLiteral("intZoom")].toInt16();
        printer.sngHeight = rs[QStringLiteral("sngHeight")].toSingle();
        printer.sngWidth = rs[QStringLiteral("sngWidth")].toSingle();
        printer.sngScaleHeight = rs[QStringLiteral("sngScaleHeight")].toSingle();
        printer.sngScaleWidth = rs[QStringLiteral("sngScaleWidth")].toSingle();
        printer.sngPaperLength = rs[QStringLiteral("sngPaperLength")].toSingle();
        printer.sngPaperWidth = rs[QStringLiteral("sngPaperWidth")].toSingle();
        printer.strDeviceName = textOrEmpty(rs[QStringLiteral("strDeviceName")]);
        printer.strDriverName = textOrEmpty(rs[QStringLiteral("strDriverName")]);
        printer.strPort = textOrEmpty(rs[QStringLiteral("strPort")]);
        printer.strFormName = textOrEmpty(rs[QStringLiteral("strFormName")]);
        rs.close();
    });
    if (!ok)
        return -1;
    return found ? 0 : PrinterNoRow;
}

}  // namespace mdlSQL
