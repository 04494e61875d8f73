#include "output/mdlPrinter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace mdlPrinter {

namespace {

constexpr qint16 ScaleMillimetres = 6;
constexpr qint16 UserPaperSize = 256;  // a size the paper list doesn't name
constexpr double TwipsPerMillimetre = 1440 / 25.4;

// The paper size codes the stored settings use are the platform's own.
qint16 paperSizeCode(const QPageSize& size)
{
    const int code = size.id() == QPageSize::Custom ? 0 : size.windowsId();
    return code > 0 && code < UserPaperSize ? qint16(code) : UserPaperSize;
}

// Bin codes: "only one" is 1, then in the device's own order; the cassette
// and form-source bins have codes of their own.
qint16 paperBinCode(QPrinter::PaperSource source)
{
    switch (source) {
    case QPrinter::Cassette:
        return 14;
    case QPrinter::FormSource:
        return 15;
    case QPrinter::CustomSource:
        return 256;
    default:
        return qint16(int(source) + 1);
    }
}

// 1 simplex, 2 bound on the long edge (vertical), 3 on the short edge.
qint16 duplexCode(QPrinter::DuplexMode mode)
{
    switch (mode) {
    case QPrinter::DuplexNone:
        return 1;
    case QPrinter::DuplexShortSide:
        return 3;
    default:
        return 2;
    }
}

}  // namespace

void subGet_PrinterRec(typPrinter& record)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    const QPrinter device = info.isNull() ? QPrinter(QPrinter::HighResolution)
                                          : QPrinter(info, QPrinter::HighResolution);
    subGet_PrinterRec(record, device);
}

void subGet_PrinterRec(typPrinter& record, const QPrinter& device)
{
    const QPageLayout layout = device.pageLayout();
    record.strFormName = layout.pageSize().name();
    record.intColorMode = device.colorMode() == QPrinter::GrayScale ? 1 : 2;
    record.intDuplex = duplexCode(device.duplex());
    record.intOrientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    record.intPaperBin = paperBinCode(device.paperSource());
    record.intPaperSize = paperSizeCode(layout.pageSize());
    record.intPrintQuality = qint16(qBound(0, device.resolution(), 32767));
    record.intScaleMode = ScaleMillimetres;
    record.intZoom = 100;  // the device prints at its own size

    // The sheet as the page lies (turned with the orientation), in twips;
    // what can be printed on it in millimetres.
    const QRectF sheet = layout.fullRect(QPageLayout::Millimeter);
    const QRectF printable = layout.paintRect(QPageLayout::Millimeter);
    record.sngWidth = float(sheet.width() * TwipsPerMillimetre);
    record.sngHeight = float(sheet.height() * TwipsPerMillimetre);
    record.sngScaleWidth = float(printable.width());
    record.sngScaleHeight = float(printable.height());
    // The paper's width and length as the stored settings have always held
    // them: the twips taken as millimetres, in hundredths of a millimetre.
    record.sngPaperWidth = record.sngWidth * 100;
    record.sngPaperLength = record.sngHeight * 100;

    const QPrinterInfo info = QPrinterInfo::printerInfo(device.printerName());
    record.strDeviceName = device.printerName();
    record.strDriverName = info.isNull() ? QString() : info.makeAndModel();
    record.strPort = info.isNull() ? QString() : info.location();
}

}  // namespace mdlPrinter
