#include "platform/commondialog.h"

#include "platform/printlogin.h"
#include "platform/printscheduler.h"
#include "platform/printservice.h"
#include "platform/vberror.h"

#include <QPrinter>

namespace platform {

namespace {

// Whether the printer the device now names offers the paper; a PDF file
// takes any.
bool offers(const QPrinter& device, const QPageSize& paper)
{
    if (device.outputFormat() != QPrinter::NativeFormat)
        return true;
    const QPrinterInfo info = printservice::printerInfo(device);
    if (info.isNull() || info.supportsCustomPageSizes())
        return true;
    for (const QPageSize& size : info.supportedPageSizes())
        if (size.isEquivalentTo(paper))
            return true;
    return false;
}

}  // namespace

FileDialogRequest CommonDialog::request() const
{
    FileDialogRequest r;
    r.title = DialogTitle;
    r.filter = Filter;
    r.filterIndex = FilterIndex;
    r.initDir = InitDir;
    r.fileName = FileName;
    r.defaultExt = DefaultExt;
    return r;
}

void CommonDialog::cancelled()
{
    if (CancelError)
        vb::raise(vb::errCancel);
}

void CommonDialog::ShowOpen()
{
    if (auto path = ui().openFile(request()))
        FileName = *path;
    else
        cancelled();
}

void CommonDialog::ShowSave()
{
    if (auto path = ui().saveFile(request()))
        FileName = *path;
    else
        cancelled();
}

void CommonDialog::ShowColor()
{
    if (auto color = ui().chooseColor(Color))
        Color = *color;
    else
        cancelled();
}

void CommonDialog::ShowFont()
{
    FontChoice initial;
    initial.name = FontName;
    initial.size = FontSize;
    initial.bold = FontBold;
    initial.italic = FontItalic;
    initial.underline = FontUnderline;
    initial.strikethrough = FontStrikethru;
    initial.color = Color;
    auto chosen = ui().chooseFont(initial);
    if (!chosen) {
        cancelled();
        return;
    }
    FontName = chosen->name;
    FontSize = chosen->size;
    FontBold = chosen->bold;
    FontItalic = chosen->italic;
    FontUnderline = chosen->underline;
    FontStrikethru = chosen->strikethrough;
}

void CommonDialog::ShowPrinter()
{
    if (!PrinterDevice)
        vb::raise(vb::errInvalidCall);
    const auto kind = (Flags & cdlPDPrintSetup) ? PrintDialogKind::Setup : PrintDialogKind::Print;
    const QPageSize opened = PrinterDevice->pageLayout().pageSize();
    // The dialog lists the printers; with the scheduler set aside it lists
    // none of them, and the user is told why first.
    if (!printscheduler::check())
        printservice::tellUnreachable(kind == PrintDialogKind::Setup);
    else if (printlogin::givenUp())
        printservice::tellNoLogin(kind == PrintDialogKind::Setup);
    const PrintDialogResult result = ui().printDialog(*PrinterDevice, PrinterName, kind);
    if (result == PrintDialogResult::Cancelled) {
        cancelled();
        return;
    }
    // The paper stays as the device held it unless the user chose another:
    // a print queue's default the dialog put there is no choice.
    if (result == PrintDialogResult::Accepted && !PrinterDevice->pageLayout().pageSize().isEquivalentTo(opened)
        && offers(*PrinterDevice, opened))
        PrinterDevice->setPageSize(opened);
}

}  // namespace platform
