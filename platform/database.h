#pragma once
// The database layer in place of ADO and Jet: one SQLite file, one long
// transaction (with savepoints inside it), statements run as the program
// writes them, forward-only recordsets read by column name.
//
// Failures raise vb::Error: the engine's result code becomes the number and
// its message the description (after a sentence naming the file, see
// describeEngineFailure); the layer's own refusals use the numbers below.

#include "platform/passwordhash.h"
#include "platform/vberror.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace platform::db {

// Numbers of the layer's own refusals (the engine's codes are below 100).
enum LayerError : long {
    errStatement = 1,           // the engine's: a statement names no such table or column
    errBusy = 5,                // the engine's: another program holds the file's lock
    errLocked = 6,              // the engine's: the file's lock is held within this program
    errNoRoom = 13,             // the engine's "full": no room on the disk or under the file-size limit
    errWrongPassword = 23,      // the engine's "not authorized"
    errNoCurrentRecord = 3021,  // a field read at the end of a recordset
    errTransactionLost = 3034,  // the engine ended the long transaction itself
    errItemNotFound = 3265,     // no column of that name
    errObjectClosed = 3704,     // operation on a closed connection or recordset
    errObjectOpen = 3705,       // open on an open connection
};

enum class FieldType { Boolean, Int16, Int32, Single, Double, Date, Text, Other };

// One field of the current row: the value read back by the column's declared
// type (SQLite's own typing is loose), with Null kept apart.
class Field {
public:
    Field() = default;
    Field(QString name, FieldType type, QVariant value);
    const QString& name() const { return m_name; }
    FieldType type() const { return m_type; }
    bool isNull() const { return m_value.isNull(); }
    const QVariant& value() const { return m_value; }
    // Conversions as the runtime makes them; a Null raises vb::errInvalidUseOfNull (94),
    // an out-of-range value errOverflow, a text that is no number errTypeMismatch.
    bool toBool() const;
    qint16 toInt16() const;
    qint32 toInt32() const;
    float toSingle() const;
    double toDouble() const;
    QDateTime toDate() const;
    QString toString() const;

private:
    double toNumber() const;  // bool as -1/0; raises for Null and non-numbers

    QString m_name;
    FieldType m_type = FieldType::Other;
    QVariant m_value;
};

// Declared column type (as the schema writes it: "SHORT", "DATETIME",
// "VARCHAR(50)" ...) to the field type it reads back as.
FieldType fieldTypeOf(const QString& declaredType);

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    bool eof() const;
    bool bof() const;  // true when the result had no row
    void moveNext();
    // Field by name, without regard to case; an unknown name raises error 3265.
    Field field(const QString& name) const;
    Field operator[](const QString& name) const { return field(name); }
    int fieldCount() const;
    QString fieldName(int index) const;
    void close();

private:
    friend class Connection;
    struct Impl;
    std::unique_ptr<Impl> d;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "Provider=...; Data Source=<path>;User ID=Admin; Jet OLEDB:Database Password=<pw>;"
    // The file must exist and be a database (an empty file is none); a
    // password is checked against the one the file carries (a file without
    // one accepts only no password).
    void open(const QString& connectionString);
    // Opens the file as it is now, for reading only, with the same checks:
    // the engine takes no lock and looks for no journal beside it. For a
    // file no other program can have yet (a compaction's copy), whose
    // journal's name another user of the folder may take.
    void openAsItIs(const QString& connectionString);
    void close();  // an open transaction is rolled back
    bool isOpen() const;
    QString path() const;
    // True when the file could be opened for reading only (no right to
    // write it): every change will be refused.
    bool isReadOnly() const;

    void beginTrans();
    // A commit refused (a reader holds the file, no room for the file to
    // grow) leaves the transaction open and takes no room. The journal is
    // made when the file is opened and kept beside it until the last
    // connection to the file closes, so a commit creates and deletes no file
    // in the folder.
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const;
    // Some failures make the engine roll the whole transaction back on its
    // own (disk full, I/O error, out of memory, a failed commit). A transaction
    // begun here is then begun again at once, so no later write becomes
    // permanent by itself; the handler hears of the loss (the cause's
    // description, number errTransactionLost), and the failed statement
    // raises that error.
    void setLossHandler(std::function<void(const vb::Error&)> handler);
    // A change that finds no room for the journal (see execute) is handed to
    // the handler with its refusal (the engine's "full" error, 13, naming
    // the room the change needs and the room free) and whether the process's
    // file-size limit, not the disk, is what lacks it: true tries again once
    // the user has made room. Without a handler the change is refused at once.
    void setNoRoomHandler(std::function<bool(const vb::Error& refusal, bool sizeLimit)> handler);
    // Named savepoints inside the transaction. Rolling back to one also
    // releases it, so every savepoint is ended by exactly one of the two.
    void savepoint(const QString& name);
    void releaseSavepoint(const QString& name);
    void rollbackToSavepoint(const QString& name);
    // Rolls back to the outermost savepoint still open: work that was under
    // way when the program must end without asking is not kept half done.
    void rollbackOpenSavepoints();

    // Runs changing statements (several, separated by ";", run in order);
    // returns the rows changed. Inside a transaction, a change first makes
    // sure the journal has the room the transaction can need, so that no
    // full disk or file-size limit later costs the transaction; while it
    // can't (and the no-room handler doesn't have it tried again), the
    // change raises the engine's "full" error (13) with the transaction as
    // it was. A journal this process can't write (another user's, read-only)
    // refuses the change with error 8, naming the journal. A connection that
    // can't write takes no room and leaves no journal.
    long execute(const QString& sql);
    // Runs one changing statement whose values are "?" parameters, bound in
    // order: a null QVariant as Null, whole numbers and truth values as
    // integers, fractions as doubles, anything else as text. Each text is
    // prepared once and kept until the connection closes, for statements of
    // one shape run many times. Returns the rows changed.
    long execute(const QString& sql, const QVariantList& parameters);
    // Runs a reading statement; the recordset reads forward only. Its rows
    // are fetched at once, so it never holds up a commit or a schema change.
    Recordset openRecordset(const QString& sql);

private:
    void open(const QString& connectionString, bool asItIs);
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The parts of a connection string, keys without regard to case. A value in
// double (or single) quotes is taken whole, a doubled quote standing for
// one; an unquoted value is trimmed and runs on over a ";" that starts no key.
struct ConnectionSettings {
    QString provider;
    QString dataSource;
    QString userId;
    QString password;
};
ConnectionSettings parseConnectionString(const QString& connectionString);

// The description of the engine's failure `code` on `file`: for the
// failures a user can act on (full disk, locked or busy, read-only, not a
// database, damaged, I/O error, can't open) a sentence naming the file,
// followed by the engine's own text in brackets; for any other the engine's
// text alone.
QString describeEngineFailure(int code, const QString& file, const QString& engineText);

// The journal the engine keeps beside the database file `file`.
QString journalPath(const QString& file);

// Creates an empty database file; raises errFileExists when the path exists.
void createDatabase(const QString& path);

// True only when the file at `path` could be read as a database and has no
// table named `table` (checked without writing anything).
bool lacksTable(const QString& path, const QString& table);

// Sets the database password the file carries from now on (its stored
// form, platform/passwordhash.h, never the text); the empty text removes
// it. Runs inside the connection's transaction when one is open. Only a
// template made for tests takes fewer rounds than a new password's.
void setDatabasePassword(Connection& connection, const QString& password,
                         int iterations = passwordhash::Iterations);

}  // namespace platform::db
