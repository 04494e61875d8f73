#pragma once
// Whether the print scheduler (CUPS) answers, asked with a bounded wait
// before the program's printer code reaches it. Qt's printer listing, its
// default-printer lookup, its print dialog and the queue checks all ask
// libcups, which waits a minute for each answer and tries again: a
// scheduler that takes the connection and never answers (hung, overloaded,
// a remote server that stalls) would freeze the window for minutes.
//
// A scheduler that answers at all is used, however slowly: a busy one or
// one behind a slow link is waited for, with the busy pointer and a note
// saying what the program waits for, for up to ten seconds. One that stays
// silent past that is set aside: libcups on the GUI thread is pointed at no
// server, so every question finds no scheduler at once, as on a machine
// without one, and a PDF file can still be printed. It is asked again at
// the first use of the printer after a while. A scheduler that refuses the
// connection, or can't be reached at all, fails at once by itself and is
// left as it is.
//
// Everything of the program that may reach the scheduler goes through the
// functions below, which ask first: Qt's printer listing and printer
// information, every QPrinter made (each asks for the default printer), and
// the queue's attributes.

#include <QPrinterInfo>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>

class QPrinter;

namespace platform::printscheduler {

// Asks the scheduler unless it was asked a moment ago (while set aside:
// unless it was asked within the last half minute). False while it is set
// aside.
bool check();

// Asks the scheduler now, whatever was learnt a moment ago (a silence
// learnt stands for its half minute): before a step that would wait on it
// at length, such as Qt taking a chosen queue's details.
bool confirm();

// Whether the scheduler is set aside now.
bool setAside();

// Tells the user that the printers can't be reached (the scheduler set
// aside), in a box.
void tellUnreachable();

// The installed printers and the default one, as Qt lists them.
QStringList printerNames();
QString defaultPrinterName();
// What Qt knows of a printer, or of the one a device names (null when
// unknown).
QPrinterInfo printerInfo(const QString& name);
QPrinterInfo printerInfo(const QPrinter& device);
// A high-resolution device: for the printer given, or Qt's default.
std::unique_ptr<QPrinter> newDevice(const QPrinterInfo& printer = QPrinterInfo());
// The attributes the scheduler gives for a queue; nullopt when none answers
// or it doesn't know the queue.
std::optional<std::map<QByteArray, QString>> queueAttributes(const QString& queue);

// For tests: forgets what was learnt and reads the scheduler's address
// (CUPS_SERVER, client.conf) again.
void forget();

}  // namespace platform::printscheduler
