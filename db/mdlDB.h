#pragma once
// The one database connection of the program and its long transaction:
// opened with the file, ended when the file is closed, committed only when
// the user agrees to save.

#include <QString>
#include <QtGlobal>

namespace mdlDB {

// Every database file of the program carries this password.
inline const QString DatabasePassword = QStringLiteral("quillmoss");

// The connection string for a database file (also used to compact a file).
QString fncConnectionString(const QString& path);

// Opens the file into GE_objConnection and begins its transaction: 0, or -1
// after telling the user why not.
qint16 fncDbOpen(const QString& path);

// Ends the transaction (commits only when something was written and the user
// says so), closes and releases the connection; always 0.
qint16 fncDbClose();

}  // namespace mdlDB
