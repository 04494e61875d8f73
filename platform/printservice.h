#pragma once
// The one way into Qt's printer support and libcups: the installed
// printers, what Qt knows of one, every QPrinter made (each asks for the
// default printer) and a queue's attributes. Each asks the scheduler's
// check first (printscheduler.h) and takes its answer: with the scheduler
// set aside no printer is listed or known, and a device made is Qt's PDF
// device, so nothing waits on a silent server. What Qt reads of the queues
// is kept for the run; a device for a queue still has Qt read its details.
// Every call that reaches the scheduler runs on the printer thread
// (printworker.h), the window painted meanwhile.

#include <QPrinterInfo>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>

class QPrinter;

namespace platform::printservice {

// The installed printers and the default one, as Qt lists them.
QStringList printerNames();
QString defaultPrinterName();
// What Qt knows of a printer, or of the one a device names (null when
// unknown).
QPrinterInfo printerInfo(const QString& name);
QPrinterInfo printerInfo(const QPrinter& device);
// A high-resolution device: for the printer given, or Qt's default, on that
// printer's own default paper.
std::unique_ptr<QPrinter> newDevice(const QPrinterInfo& printer = QPrinterInfo());
// A device for a print dialog on a queue: the one the dialog before gave
// back for that queue, set back to how Qt made it, else a new one (Qt
// reads the queue's details for each device made).
std::unique_ptr<QPrinter> dialogDevice(const QPrinterInfo& printer);
// Keeps a dialog's device for the next dialog on its queue; one that left
// the queue it was made for (another queue, a PDF file) is dropped.
void keepDialogDevice(std::unique_ptr<QPrinter> device);
// A high-resolution PDF device, made without asking the scheduler anything.
std::unique_ptr<QPrinter> newPdfDevice();
// The attributes the scheduler gives for a queue; nullopt when none answers
// or it doesn't know the queue.
std::optional<std::map<QByteArray, QString>> queueAttributes(const QString& queue);

// What was read of a queue (its dialog's device with it), the listing and
// the default are read again at the next use (a print to the queue
// failed). forget() drops all of it (for tests, with the scheduler's own).
void forgetQueue(const QString& name);
void forget();

// Tells the user that the printers can't be reached (the scheduler set
// aside), in a box: for a print, or for the printer set-up, whose settings
// stay as they were.
void tellUnreachable(bool setUp = false);
// The same where the user gave the print server no name and password
// (キャンセル in the box): the printers can't be read.
void tellNoLogin(bool setUp = false);

}  // namespace platform::printservice
