#pragma once
// The CSV files' text: fields, numbers and the file itself.
//
// A field holding ",", a double quote, CR or LF is written between double
// quotes with each quote doubled (so a comment never shifts the columns);
// every other field as it is. Numbers take the runtime's general form with
// "." whatever the locale. The file is CP932 without a byte-order mark,
// every line ending CR LF, and appears only when complete.

#include <QString>
#include <QStringList>

namespace mdlCsv {

QString field(const QString& text);
// A text field of a list (a comment, a caption, a position label's tip or
// tag part). One that begins with "=", "+", "-", "@", a tab or a carriage
// return gets a leading apostrophe, so a spreadsheet opening the list shows
// it as text instead of running it as a formula (such text can come from a
// shared database file or an imported data set). A plain number, or one
// followed by the angle sign "゜" as the program's own readouts are, cannot
// run and is written as it is.
QString text(const QString& text);
QString num(double value);  // up to 15 significant digits
QString num(float value);   // up to 7
QString num(qint32 value);  // a counter

// Joins the fields with ",".
QString row(const QStringList& fields);

// Writes the lines to the path, replacing the file only when all are
// written. Raises vb::Error: 76 when the folder does not exist, 70 when
// access is refused, 61 when the disk is full, 75 otherwise.
void writeFile(const QString& path, const QStringList& lines);

}  // namespace mdlCsv
