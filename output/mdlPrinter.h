#pragma once
// The printer settings a drawing keeps (typPrinter, stored as its tPrinter
// row), the device blocks the print dialogs exchange, and the current
// printer they are applied to.

#include "app/types.h"

#include <memory>

class QPrinter;
class QWidget;

namespace platform {
struct JobChoices;
}

namespace mdlPrinter {

// The print set-up dialog, opened on the drawing's settings (GE_tpPrinter):
// on OK the choice is applied to the printer and read back into
// GE_tpPrinter, true when that changed the drawing's settings; Cancel, OK
// on the settings as they were, or a failure (reported) changes nothing
// (false).
bool fncSetUp_Printer(QWidget* owner);
// Whether two records hold the same settings as the drawing's row keeps them.
bool fncSame_Settings(const typPrinter& a, const typPrinter& b);
// The name of the record's paper: its form name, else the name of its
// paper code (a row the save wrote keeps no form name); "" for a
// user-defined size without one.
QString fncPaper_Name(const typPrinter& record);

// Record -> device-mode block. For a user-defined paper the size comes from
// the sheet's twips (turned back to portrait), as the block's 16-bit fields
// can't hold the stored paper width and length.
void subSet_DevModeRec(const typPrinter& record, typDEVMODE& devMode);
// Record -> device-name block.
void subSet_DevNamesRec(const typPrinter& record, typDEVNAMES& devNames);
// The current printer -> a fresh device-mode block.
typDEVMODE subSet_DevModePrt();
// The current printer's driver, device and port -> device-name block.
void subSet_DevNamesPrt(typDEVNAMES& devNames);
// Both blocks -> the printer: the named printer (any case) becomes current
// when installed, then paper (a refused paper is told), bin, quality,
// colour, duplex, orientation and zoom (refused values skipped silently).
void subSet_Printer(const typDEVMODE& devMode, const typDEVNAMES& devNames);
// The current printer and the block's form name -> record (scale mode
// millimetres, the printable area in millimetres).
void subGet_PrinterRec(typPrinter& record, const typDEVMODE& devMode);
// The same with GE_tpDevMode.
void subGet_PrinterRec(typPrinter& record);
// The current printer's settings when the run has chosen that printer
// already, which asks nothing; else, false, those of the device the program
// prints through without a printer, so that the caller asks the print
// scheduler nothing now and reads the printer's when it needs them.
bool fncGet_PrinterRec_Known(typPrinter& record);

// --- the blocks around a dialog ---
// The name of the block's device, its driver and its port.
QString fncDevNames_Part(const typDEVNAMES& devNames, qint16 offset);
// A printer device set up from the blocks, for a print dialog; a queue's
// is the one the dialog before on it gave back (Printers::dialogDevice).
std::unique_ptr<QPrinter> fncDevice_FromBlocks(const typDEVMODE& devMode, const typDEVNAMES& devNames,
                                               QString& deviceName);
// What a dialog's device held as it opened, to tell what the user changed.
struct DeviceOffer {
    int color = 0, duplex = 0, resolution = 0, source = 0;
};
DeviceOffer fncDevice_Offer(const QPrinter& device);
// The dialog's choice back into the blocks; what the device can't express
// (zoom, a negative quality, a bin it lacks) stays as the block held it
// unless the choice changed it from what the device was offered with.
void subBlocks_FromDevice(const QPrinter& device, const QString& deviceName, const DeviceOffer& offered,
                          typDEVMODE& devMode, typDEVNAMES& devNames);

// The platform's print dialog (or, with `setup`, the set-up dialog) on the
// blocks; false when cancelled (the blocks unchanged). `pdfFile` receives
// the PDF file the user chose to print to, "" for the printer itself, and
// `job` what the dialog chose for the print that the blocks don't hold.
bool fncPrintDialog(bool setup, typDEVMODE& devMode, typDEVNAMES& devNames, QString* pdfFile = nullptr,
                    platform::JobChoices* job = nullptr);

}  // namespace mdlPrinter
