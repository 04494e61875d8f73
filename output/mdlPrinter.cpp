#include "output/mdlPrinter.h"

#include "app/globals.h"
#include "platform/commondialog.h"
#include "platform/encoding.h"
#include "platform/events.h"
#include "platform/printer.h"
#include "platform/printlogin.h"
#include "platform/printscheduler.h"
#include "platform/printservice.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <tuple>

using platform::CurrentPrinter;
using platform::Printer;

namespace mdlPrinter {

namespace {

constexpr qint16 UserPaperSize = 256;
constexpr double TwipsPerMillimetre = 1440 / 25.4;

// dmFields bits.
constexpr qint32 DM_ORIENTATION = 0x1, DM_PAPERSIZE = 0x2, DM_PAPERLENGTH = 0x4, DM_PAPERWIDTH = 0x8,
                 DM_SCALE = 0x10, DM_DEFAULTSOURCE = 0x200, DM_PRINTQUALITY = 0x400, DM_COLOR = 0x800,
                 DM_DUPLEX = 0x1000;

QString name32(const QString& name, bool pad)
{
    const QString cut = name.left(32);
    return pad ? cut.leftJustified(32, QLatin1Char(' ')) : cut;
}

// Runs one step of building or applying a block; a refused value is skipped.
template <typename F>
bool attempt(F&& step)
{
    try {
        step();
        return true;
    } catch (const vb::Error&) {
        return false;
    }
}

void layoutNames(typDEVNAMES& devNames, const QString& driver, const QString& device, const QString& port)
{
    using platform::encoding::encodeCp932;
    devNames.wDriverOffset = 8;
    devNames.wDeviceOffset = qint16(8 + encodeCp932(driver).size() + 1);
    devNames.wOutputOffset = qint16(devNames.wDeviceOffset + encodeCp932(device).size() + 1);
    devNames.wDefault = 0;
    const QString text = driver + QChar(0) + device + QChar(0) + port + QChar(0);
    const qsizetype bytes = encodeCp932(text).size();
    devNames.strText = bytes < 256 ? text + QString(256 - bytes, QLatin1Char(' ')) : text;
}

// A user-defined sheet's portrait width and length in hundredths of a
// millimetre, from its size in twips as it lies.
void userPaper(double widthTwips, double heightTwips, int orientation, typDEVMODE& devMode)
{
    double w = widthTwips / TwipsPerMillimetre * 100, h = heightTwips / TwipsPerMillimetre * 100;
    if (orientation == 2)
        std::swap(w, h);
    attempt([&] { devMode.dmPaperWidth = vb::CLng(w); });
    attempt([&] { devMode.dmPaperLength = vb::CLng(h); });
}

QString installedName(const QString& name)
{
    // The name as it is needs no listing of the printers.
    if (name.isEmpty() || platform::Printers::installed(name))
        return name;
    for (const QString& installed : platform::Printers::names())
        if (installed.compare(name, Qt::CaseInsensitive) == 0)
            return installed;
    return QString();
}

qint16 binOf(QPrinter::PaperSource source)
{
    switch (source) {
    case QPrinter::Cassette: return 14;
    case QPrinter::FormSource: return 15;
    case QPrinter::CustomSource: return 256;
    default: return qint16(int(source) + 1);
    }
}

}  // namespace

void subSet_DevModeRec(const typPrinter& record, typDEVMODE& devMode)
{
    devMode.dmSize = 124;
    devMode.dmSpecVersion = devMode.dmDriverVersion = devMode.dmDriverExtra = 0;
    devMode.dmFields = 0;
    devMode.dmDeviceName = name32(record.strDeviceName, true);
    if (record.intPaperSize == UserPaperSize) {
        devMode.dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
        devMode.dmPaperSize = UserPaperSize;
        userPaper(record.sngWidth, record.sngHeight, record.intOrientation, devMode);
    } else {
        devMode.dmFields |= DM_PAPERSIZE;
        devMode.dmPaperSize = record.intPaperSize;
        devMode.dmPaperWidth = devMode.dmPaperLength = 0;
    }
    devMode.dmDefaultSource = record.intPaperBin;
    devMode.dmPrintQuality = record.intPrintQuality;
    devMode.dmColor = record.intColorMode;
    devMode.dmDuplex = record.intDuplex;
    devMode.dmOrientation = record.intOrientation;
    devMode.dmScale = record.intZoom;
    devMode.dmFields |= DM_DEFAULTSOURCE | DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_ORIENTATION | DM_SCALE;
}

void subSet_DevNamesRec(const typPrinter& record, typDEVNAMES& devNames)
{
    layoutNames(devNames, record.strDriverName, record.strDeviceName, record.strPort);
}

typDEVMODE subSet_DevModePrt()
{
    Printer& printer = CurrentPrinter();
    typDEVMODE devMode;
    devMode.dmSize = 124;
    devMode.dmDeviceName = name32(printer.DeviceName(), true);
    const int paper = printer.PaperSize();
    devMode.dmPaperSize = qint16(paper);
    devMode.dmFields |= DM_PAPERSIZE;
    if (paper == UserPaperSize) {
        devMode.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
        userPaper(printer.Width(), printer.Height(), printer.Orientation(), devMode);
    }
    const auto field = [&](qint16& target, qint32 bit, auto read) {
        if (attempt([&] { target = vb::CInt(read()); }))
            devMode.dmFields |= bit;
    };
    field(devMode.dmDefaultSource, DM_DEFAULTSOURCE, [&] { return printer.PaperBin(); });
    field(devMode.dmPrintQuality, DM_PRINTQUALITY, [&] { return printer.PrintQuality(); });
    field(devMode.dmColor, DM_COLOR, [&] { return printer.ColorMode(); });
    field(devMode.dmDuplex, DM_DUPLEX, [&] { return printer.Duplex(); });
    field(devMode.dmOrientation, DM_ORIENTATION, [&] { return printer.Orientation(); });
    field(devMode.dmScale, DM_SCALE, [&] { return printer.Zoom(); });
    return devMode;
}

void subSet_DevNamesPrt(typDEVNAMES& devNames)
{
    Printer& printer = CurrentPrinter();
    layoutNames(devNames, printer.DriverName(), printer.DeviceName(), printer.Port());
}

QString fncDevNames_Part(const typDEVNAMES& devNames, qint16 offset)
{
    const QByteArray area = platform::encoding::encodeCp932(devNames.strText);
    const qsizetype start = offset - 8;
    if (start < 0 || start > area.size())
        return QString();
    qsizetype end = area.indexOf('\0', start);
    if (end < 0)
        end = area.size();
    return platform::encoding::decodeCp932(area.mid(start, end - start));
}

void subSet_Printer(const typDEVMODE& devMode, const typDEVNAMES& devNames)
{
    Printer& printer = CurrentPrinter();
    bool failed = !attempt([&] {
        const QString name = installedName(fncDevNames_Part(devNames, devNames.wDeviceOffset).trimmed());
        if (!name.isEmpty())
            printer.select(name);
    });
    failed = !attempt([&] {
        if (devMode.dmPaperSize != UserPaperSize) {
            printer.setPaperSize(devMode.dmPaperSize);
            return;
        }
        // The size is given upright; the orientation follows below.
        attempt([&] { printer.setOrientation(1); });
        printer.setPaperSize(UserPaperSize);
        printer.setWidth(devMode.dmPaperWidth / 100.0 * TwipsPerMillimetre);
        printer.setHeight(devMode.dmPaperLength / 100.0 * TwipsPerMillimetre);
    }) || failed;
    if (failed)
        vb::MsgBox(QStringLiteral("指定された用紙サイズが不正です"), vb::vbOKOnly, QStringLiteral("プリンタの設定"));
    attempt([&] { printer.setPaperBin(devMode.dmDefaultSource); });
    attempt([&] { printer.setPrintQuality(devMode.dmPrintQuality); });
    attempt([&] { printer.setColorMode(devMode.dmColor); });
    attempt([&] { printer.setDuplex(devMode.dmDuplex); });
    attempt([&] { printer.setOrientation(devMode.dmOrientation); });
    attempt([&] { printer.setZoom(devMode.dmScale); });
}

namespace {

void readRecord(Printer& printer, typPrinter& record, const typDEVMODE& devMode)
{
    // A block no dialog has filled names no form, and the record keeps none.
    record.strFormName = QString(devMode.dmFormName).remove(QChar(0));
    printer.setScaleMode(platform::vbMillimeters);
    record.intColorMode = qint16(printer.ColorMode());
    record.intDuplex = qint16(printer.Duplex());
    record.intOrientation = qint16(printer.Orientation());
    record.intPaperBin = qint16(printer.PaperBin());
    record.intPaperSize = qint16(printer.PaperSize());
    // A block left by a dialog for another paper names that one.
    if (devMode.dmPaperSize != record.intPaperSize)
        record.strFormName.clear();
    record.intPrintQuality = qint16(printer.PrintQuality());
    record.intScaleMode = qint16(printer.ScaleMode());
    record.intZoom = vb::CInt(printer.Zoom());
    record.sngHeight = float(printer.Height());
    record.sngWidth = float(printer.Width());
    record.sngScaleHeight = float(printer.ScaleHeight());
    record.sngScaleWidth = float(printer.ScaleWidth());
    // The stored paper width and length have always been the twips taken as
    // millimetres, in hundredths.
    record.sngPaperWidth = record.sngWidth * 100;
    record.sngPaperLength = record.sngHeight * 100;
    record.strDeviceName = printer.DeviceName();
    record.strDriverName = printer.DriverName();
    record.strPort = printer.Port();
}

}  // namespace

void subGet_PrinterRec(typPrinter& record, const typDEVMODE& devMode)
{
    readRecord(CurrentPrinter(), record, devMode);
}

void subGet_PrinterRec(typPrinter& record)
{
    subGet_PrinterRec(record, GE_tpDevMode);
}

bool fncGet_PrinterRec_Known(typPrinter& record)
{
    if (CurrentPrinter().chosen()) {
        subGet_PrinterRec(record);
        return true;
    }
    Printer none(Printer::Start::None);
    readRecord(none, record, GE_tpDevMode);
    return false;
}

std::unique_ptr<QPrinter> fncDevice_FromBlocks(const typDEVMODE& devMode, const typDEVNAMES& devNames,
                                               QString& deviceName)
{
    deviceName = installedName(fncDevNames_Part(devNames, devNames.wDeviceOffset).trimmed());
    if (deviceName.isEmpty())
        deviceName = CurrentPrinter().DeviceName();
    auto device = platform::Printers::dialogDevice(deviceName);
    const QMarginsF margins = device->pageLayout().margins(QPageLayout::Millimeter);
    if (devMode.dmPaperSize == UserPaperSize && devMode.dmPaperWidth > 0 && devMode.dmPaperLength > 0)
        device->setPageSize(QPageSize(QSizeF(devMode.dmPaperWidth / 100.0, devMode.dmPaperLength / 100.0),
                                      QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    else if (QPageSize::id(devMode.dmPaperSize) != QPageSize::Custom)
        device->setPageSize(QPageSize(QPageSize::id(devMode.dmPaperSize)));
    device->setPageOrientation(devMode.dmOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    device->setPageMargins(margins, QPageLayout::Millimeter);
    if (devMode.dmColor == 1 || devMode.dmColor == 2)
        device->setColorMode(devMode.dmColor == 1 ? QPrinter::GrayScale : QPrinter::Color);
    if (devMode.dmDuplex >= 1 && devMode.dmDuplex <= 3)
        device->setDuplex(devMode.dmDuplex == 1   ? QPrinter::DuplexNone
                          : devMode.dmDuplex == 2 ? QPrinter::DuplexLongSide
                                                  : QPrinter::DuplexShortSide);
    if (devMode.dmPrintQuality > 0)
        device->setResolution(devMode.dmPrintQuality);
    if (devMode.dmDefaultSource >= 1 && devMode.dmDefaultSource <= 11)
        device->setPaperSource(QPrinter::PaperSource(devMode.dmDefaultSource - 1));
    else if (devMode.dmDefaultSource == 14 || devMode.dmDefaultSource == 15)
        device->setPaperSource(devMode.dmDefaultSource == 14 ? QPrinter::Cassette : QPrinter::FormSource);
    if (devMode.dmCopies > 0)
        device->setCopyCount(devMode.dmCopies);
    return device;
}

DeviceOffer fncDevice_Offer(const QPrinter& device)
{
    return {int(device.colorMode()), int(device.duplex()), device.resolution(), int(device.paperSource())};
}

void subBlocks_FromDevice(const QPrinter& device, const QString& deviceName, const DeviceOffer& offered,
                          typDEVMODE& devMode, typDEVNAMES& devNames)
{
    const QPageLayout layout = device.pageLayout();
    const QPageSize size = layout.pageSize();
    devMode.dmSize = 124;
    devMode.dmDeviceName = name32(deviceName, true);
    const int code = size.id() == QPageSize::Custom ? 0 : size.windowsId();
    devMode.dmOrientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    devMode.dmPaperWidth = devMode.dmPaperLength = 0;
    devMode.dmFields = DM_PAPERSIZE | DM_ORIENTATION | DM_COLOR | DM_DUPLEX | DM_DEFAULTSOURCE | DM_PRINTQUALITY |
                       DM_SCALE;
    if (code > 0 && code < UserPaperSize) {
        devMode.dmPaperSize = qint16(code);
    } else {
        devMode.dmPaperSize = UserPaperSize;
        devMode.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
        const QSizeF upright = size.size(QPageSize::Millimeter);
        attempt([&] { devMode.dmPaperWidth = vb::CLng(upright.width() * 100); });
        attempt([&] { devMode.dmPaperLength = vb::CLng(upright.height() * 100); });
    }
    devMode.dmFormName = name32(size.name(), false);
    if (int(device.colorMode()) != offered.color)
        devMode.dmColor = device.colorMode() == QPrinter::GrayScale ? 1 : 2;
    if (int(device.duplex()) != offered.duplex)
        devMode.dmDuplex = device.duplex() == QPrinter::DuplexNone        ? 1
                           : device.duplex() == QPrinter::DuplexShortSide ? 3
                                                                           : 2;
    if (device.resolution() != offered.resolution)
        devMode.dmPrintQuality = qint16(qBound(1, device.resolution(), 32767));
    if (int(device.paperSource()) != offered.source)
        devMode.dmDefaultSource = binOf(device.paperSource());
    devMode.dmCopies = qint16(qBound(1, device.copyCount(), 32767));
    layoutNames(devNames, platform::Printers::driverOf(deviceName), deviceName,
                platform::Printers::portOf(deviceName));
}

bool fncPrintDialog(bool setup, typDEVMODE& devMode, typDEVNAMES& devNames, QString* pdfFile,
                    platform::JobChoices* job)
{
    // A print begins here, as the device is read for the dialog: the
    // user may be asked for a name and password again.
    platform::printlogin::beginPrint();
    QString name;
    auto device = fncDevice_FromBlocks(devMode, devNames, name);
    // Kept for the next dialog on its queue, whatever this one's end.
    const struct GiveBack {
        std::unique_ptr<QPrinter>& device;
        ~GiveBack() { platform::Printers::keepDialogDevice(std::move(device)); }
    } giveBack{device};
    device->setDocName(GE_tpPrint.strName);  // the file name the dialog proposes
    // A printer that itself writes a file (a test printer) offers it.
    const QString offered = device->outputFormat() == QPrinter::PdfFormat ? device->outputFileName() : QString();
    const DeviceOffer offer = fncDevice_Offer(*device);
    platform::CommonDialog dialog;
    dialog.PrinterDevice = device.get();
    dialog.PrinterName = name;
    dialog.Flags = setup ? platform::CommonDialog::cdlPDPrintSetup : 0;
    dialog.CancelError = true;
    try {
        dialog.ShowPrinter();
    } catch (const vb::Error& e) {
        if (e.number() == vb::errCancel)
            return false;
        throw;
    }
    subBlocks_FromDevice(*device, dialog.PrinterName, offer, devMode, devNames);
    if (pdfFile) {
        const bool toFile = device->outputFormat() == QPrinter::PdfFormat && device->outputFileName() != offered;
        *pdfFile = toFile ? device->outputFileName() : QString();
    }
    if (job)
        *job = platform::jobChoicesOf(*device);
    return true;
}

bool fncSame_Settings(const typPrinter& a, const typPrinter& b)
{
    // The sizes as the text of a single, as the row keeps them, so the same
    // paper read back from the printer compares equal to the one the row gave.
    // The form name is left out: it only names the paper the sizes give, and
    // a record made from the printer rather than a dialog has none. So is the
    // printable size: it is the device's, read back from it, not a choice,
    // and a row stored by an earlier version or with another driver's margins
    // may differ from it by a fraction of a millimetre.
    const auto fields = [](const typPrinter& p) {
        using vb::CStr;
        return std::make_tuple(p.strDeviceName, p.intPaperSize, CStr(p.sngPaperWidth), CStr(p.sngPaperLength),
                               CStr(p.sngWidth), CStr(p.sngHeight),
                               p.intScaleMode, p.intPaperBin, p.intPrintQuality, p.intColorMode, p.intDuplex,
                               p.intOrientation, p.intZoom, p.strDriverName, p.strPort);
    };
    return fields(a) == fields(b);
}

QString fncPaper_Name(const typPrinter& record)
{
    if (!record.strFormName.isEmpty())
        return record.strFormName;
    const QPageSize::PageSizeId id = QPageSize::id(record.intPaperSize);
    return record.intPaperSize > 0 && id != QPageSize::Custom ? QPageSize(id).name() : QString();
}

bool fncSetUp_Printer(QWidget* /*owner*/)
{
    try {
        // The dialog opens on the open drawing's own settings: the blocks
        // still hold the last dialog's choice, which may be another
        // drawing's. A cancel leaves the blocks as they were.
        typDEVMODE devMode = GE_tpDevMode;
        typDEVNAMES devNames = GE_tpDevNames;
        subSet_DevModeRec(GE_tpPrinter, devMode);
        subSet_DevNamesRec(GE_tpPrinter, devNames);
        if (!fncPrintDialog(true, devMode, devNames))
            return false;
        // Accepted while the print server had stopped answering, or was shut
        // down while the drawing or the dialog named a queue, the dialog took
        // no queue's details: said so as a print says it, and nothing changes.
        const QString chosen = fncDevNames_Part(devNames, devNames.wDeviceOffset).trimmed();
        if (platform::printscheduler::setAside() || platform::Printers::unreachable(GE_tpPrinter.strDeviceName)
            || platform::Printers::unreachable(chosen)) {
            platform::printservice::tellUnreachable(true);
            return false;
        }
        GE_tpDevMode = devMode;
        GE_tpDevNames = devNames;
        const typPrinter before = GE_tpPrinter;
        subSet_Printer(GE_tpDevMode, GE_tpDevNames);
        subGet_PrinterRec(GE_tpPrinter, GE_tpDevMode);
        // Accepted as it opened, the drawing keeps its settings and has
        // nothing to save; only the printable size is the device's own.
        if (fncSame_Settings(before, GE_tpPrinter)) {
            const typPrinter device = GE_tpPrinter;
            GE_tpPrinter = before;
            GE_tpPrinter.sngScaleWidth = device.sngScaleWidth;
            GE_tpPrinter.sngScaleHeight = device.sngScaleHeight;
            return false;
        }
        return true;
    } catch (const vb::Error& e) {
        platform::showStandardError(QStringLiteral("dmdlPrinter:fncSetUp_Printer"), e.number(), e.description());
        return false;
    }
}

}  // namespace mdlPrinter
