#pragma once
// The printer settings a drawing keeps (typPrinter, stored as its tPrinter
// row) and the printer device of the system they come from.

#include "app/types.h"

class QPrinter;

namespace mdlPrinter {

// The system's default printer (or, where none is installed, the printer
// device the program prints through) into the record: device, driver and
// port names, paper size code and form name, page size in twips, printable
// area in millimetres (the scale mode is millimetres, 6), bin, quality,
// colour mode, duplex, orientation and zoom. A drawing without printer
// settings of its own starts from these.
void subGet_PrinterRec(typPrinter& record);

// The same from a given printer device.
void subGet_PrinterRec(typPrinter& record, const QPrinter& device);

}  // namespace mdlPrinter
