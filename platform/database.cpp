#include "platform/database.h"

#include "platform/database_names.h"
#include "platform/database_room.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/ownlinks.h"
#include "platform/passwordhash.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <cfloat>
#include <cmath>
#include <optional>
#include <set>
#include <sqlite3.h>
#include <vector>

namespace platform::db {

namespace {

const QString PasswordTable = QStringLiteral("zz_layer_password");

// The engine's failure on `file`, numbered with the engine's code; a file
// the engine could not open because another user's link stands at its name
// (the engine never follows one) is told as that link.
// The refusal of the journal `journal` of `file`, which `owner`, another
// user, made.
vb::Error foreignJournal(const QString& file, const RefusedJournal& journal)
{
    return vb::Error(vb::errPermission,
                     QStringLiteral("データベースファイル %1 を開けませんでした。").arg(file) + QStringLiteral("\r\n")
                         + QStringLiteral("ジャーナルファイル %1 は、ほかのユーザー（%2）が作ったファイルのため、"
                                          "このデータベースに書き戻さず、そのままにしました。")
                               .arg(journal.name, userName(journal.owner))
                         + QStringLiteral("\r\n")
                         + QStringLiteral("このファイルを作ったユーザーに確かめてから、移動するか削除してください。"));
}

vb::Error engineError(int code, const QString& engineText, const QString& file)
{
    if (const std::optional<RefusedJournal> journal = takeRefusedJournal())
        return foreignJournal(file, *journal);
    if ((code & 0xff) == SQLITE_CANTOPEN)
        if (const QString link = foreignLinkAt(file); !link.isEmpty())
            return vb::Error(vb::errPermission, foreignLinkText(link));
    return vb::Error(code, describeEngineFailure(code, file, engineText));
}

[[noreturn]] void raiseClosed()
{
    vb::raise(errObjectClosed, QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。"));
}

// --- reading values by declared type ---------------------------------------

// Dates are stored as the text the statements write them in.
QDateTime parseDate(const QString& text)
{
    static const char* const formats[] = {
        "yyyy/M/d H:m:s", "yyyy-M-d H:m:s", "yyyy-M-dTH:m:s", "yyyy/M/d H:m", "yyyy-M-d H:m",
        "yyyy/M/d",       "yyyy-M-d",
    };
    const QString t = text.trimmed();
    for (const char* format : formats) {
        QDateTime value = QDateTime::fromString(t, QLatin1String(format));
        if (value.isValid())
            return value;
    }
    return {};
}

std::optional<double> numberOf(const QVariant& raw)
{
    switch (raw.typeId()) {
    case QMetaType::LongLong:
        return double(raw.toLongLong());
    case QMetaType::Double:
        return raw.toDouble();
    default:
        return std::nullopt;
    }
}

// The stored value as the declared type reads it; a value that type cannot
// hold stays as stored, so the conversion that needs it raises the error.
QVariant typedValue(FieldType type, const QVariant& raw)
{
    if (raw.isNull())
        return raw;
    const std::optional<double> number = numberOf(raw);
    switch (type) {
    case FieldType::Boolean:
        if (number)
            return QVariant(*number != 0);
        if (raw.toString().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return QVariant(true);
        if (raw.toString().compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return QVariant(false);
        return raw;
    case FieldType::Int16:
    case FieldType::Int32: {
        if (!number)
            return raw;
        const double r = std::nearbyint(*number);  // halves to even
        if (type == FieldType::Int16 && r >= -32768 && r <= 32767)
            return QVariant::fromValue(qint16(r));
        if (type == FieldType::Int32 && r >= -2147483648.0 && r <= 2147483647.0)
            return QVariant::fromValue(qint32(r));
        return raw;
    }
    case FieldType::Single:
        if (number && std::isfinite(*number) && std::fabs(*number) <= FLT_MAX)
            return QVariant::fromValue(float(*number));
        return raw;
    case FieldType::Double:
        return number ? QVariant(*number) : raw;
    case FieldType::Date:
        if (raw.typeId() == QMetaType::QString) {
            const QDateTime value = parseDate(raw.toString());
            if (value.isValid())
                return value;
        }
        return raw;
    case FieldType::Text:
        if (raw.typeId() == QMetaType::QByteArray)
            return QString::fromUtf8(raw.toByteArray());
        return raw.toString();
    case FieldType::Other:
        break;
    }
    return raw;
}

QVariant columnValue(sqlite3_stmt* stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                 sqlite3_column_bytes(stmt, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i));
    default:
        return QVariant();
    }
}

// typedValue(type, columnValue(stmt, i)) without the stored value's own
// variant on the way for the cases a drawing's rows are made of: Null,
// numbers read as numbers and texts read as texts.
QVariant typedColumn(sqlite3_stmt* stmt, int i, FieldType type)
{
    const int stored = sqlite3_column_type(stmt, i);
    if (stored == SQLITE_NULL)
        return QVariant();
    if (stored == SQLITE_TEXT && type == FieldType::Text)
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                 sqlite3_column_bytes(stmt, i));
    if (stored != SQLITE_INTEGER && stored != SQLITE_FLOAT)
        return typedValue(type, columnValue(stmt, i));
    const double number = stored == SQLITE_INTEGER ? double(sqlite3_column_int64(stmt, i))
                                                   : sqlite3_column_double(stmt, i);
    switch (type) {
    case FieldType::Boolean:
        return QVariant(number != 0);
    case FieldType::Int16: {
        const double r = std::nearbyint(number);
        if (r >= -32768 && r <= 32767)
            return QVariant::fromValue(qint16(r));
        break;
    }
    case FieldType::Int32: {
        const double r = std::nearbyint(number);
        if (r >= -2147483648.0 && r <= 2147483647.0)
            return QVariant::fromValue(qint32(r));
        break;
    }
    case FieldType::Single:
        if (std::isfinite(number) && std::fabs(number) <= FLT_MAX)
            return QVariant::fromValue(float(number));
        break;
    case FieldType::Double:
        return QVariant(number);
    default:
        break;
    }
    return typedValue(type, columnValue(stmt, i));
}

}  // namespace

// --- failures ---------------------------------------------------------------------

QString describeEngineFailure(int code, const QString& file, const QString& engineText)
{
    QString sentence;
    switch (code & 0xff) {
    case SQLITE_FULL:
        sentence = QStringLiteral("ディスクの空き容量が足りないため、データベースファイル %1 に書き込めませんでした。");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        sentence = QStringLiteral("データベースファイル %1 は、ほかのプログラムが使用中です。");
        break;
    case SQLITE_READONLY:
        sentence = QStringLiteral("データベースファイル %1 は読み取り専用のため、書き込めません。");
        break;
    case SQLITE_NOTADB:
        sentence = QStringLiteral("%1 はデータベースファイルではありません。");
        break;
    case SQLITE_CORRUPT:
        sentence = QStringLiteral("データベースファイル %1 は壊れています。");
        break;
    case SQLITE_IOERR:
        sentence = QStringLiteral("データベースファイル %1 の読み書きでエラーが発生しました。");
        break;
    case SQLITE_CANTOPEN:
        sentence = QStringLiteral("データベースファイル %1 を開けませんでした。");
        break;
    default:
        return engineText;
    }
    return sentence.arg(file) + QStringLiteral("（") + engineText + QStringLiteral("）");
}

namespace {

// A change to a file whose folder allows no new file: the engine's journal
// could not be made beside it.
QString describeFolderFailure(const QString& file, const QString& engineText)
{
    return QStringLiteral("データベースファイル %1 のあるフォルダに書き込めないため、変更を書き込めませんでした。").arg(file)
        + QStringLiteral("（") + engineText + QStringLiteral("）");
}

}  // namespace

QString journalPath(const QString& file) { return file + QStringLiteral("-journal"); }

// --- connection string ---------------------------------------------------------

ConnectionSettings parseConnectionString(const QString& connectionString)
{
    static const QStringList keys = {QStringLiteral("provider"), QStringLiteral("data source"),
                                     QStringLiteral("user id"),
                                     QStringLiteral("jet oledb:database password")};
    QStringList values(keys.size());
    std::vector<bool> quoted(keys.size(), false);
    const QString& text = connectionString;
    const qsizetype n = text.size();
    int current = -1;  // the unquoted value a ";" may continue
    for (qsizetype at = 0; at < n;) {
        qsizetype end = text.indexOf(QLatin1Char(';'), at);
        if (end < 0)
            end = n;
        const QString segment = text.mid(at, end - at);
        const qsizetype eq = segment.indexOf(QLatin1Char('='));
        const int key = eq < 0 ? -1 : int(keys.indexOf(segment.left(eq).trimmed().toLower()));
        qsizetype start = at + eq + 1;
        while (key >= 0 && start < n && text[start] == QLatin1Char(' '))
            ++start;
        if (key >= 0 && start < n && (text[start] == QLatin1Char('"') || text[start] == QLatin1Char('\''))) {
            // A quoted value is taken whole, ";" and "=" included; a doubled
            // quote stands for one.
            const QChar quote = text[start];
            QString value;
            qsizetype i = start + 1;
            for (; i < n; ++i) {
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        value += quote;
                        ++i;
                        continue;
                    }
                    break;
                }
                value += text[i];
            }
            values[key] = value;
            quoted[size_t(key)] = true;
            current = -1;
            end = text.indexOf(QLatin1Char(';'), i);
            if (end < 0)
                end = n;
        } else if (key >= 0) {
            current = key;
            values[key] = segment.mid(eq + 1);
            quoted[size_t(key)] = false;
        } else if (current >= 0 && !(end == n && segment.trimmed().isEmpty())) {
            // A ";" inside an unquoted value (a path may hold one): the segment continues it.
            values[current] += QLatin1Char(';') + segment;
        }
        at = end + 1;
    }
    for (int k = 0; k < keys.size(); ++k) {
        if (!quoted[size_t(k)])
            values[k] = values[k].trimmed();
    }
    return {values[0], values[1], values[2], values[3]};
}

// --- recordset -------------------------------------------------------------------

// The rows are read when the statement runs: the statement is finished at
// once, so no open reader ever holds up a commit, a rollback or a schema change.
struct Recordset::Impl {
    QStringList names;
    std::vector<FieldType> types;
    std::vector<QVariant> cells;  // row after row, names.size() to a row
    size_t rowCount = 0;
    size_t position = 0;
    bool open = true;
    // The column of each name asked for, as it was spelt, in the order
    // asked: a load reads the same names in the same order on every row, so
    // the next name is nearly always the one after the last.
    struct Asked {
        QString name;
        int column;
    };
    mutable std::vector<Asked> asked;
    mutable size_t nextAsked = 0;
    int column(const QString& name) const;
};

int Recordset::Impl::column(const QString& name) const
{
    for (size_t n = 0; n < asked.size(); ++n) {
        const size_t at = (nextAsked + n) % asked.size();
        if (asked[at].name == name) {
            nextAsked = at + 1;
            return asked[at].column;
        }
    }
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) {
            asked.push_back({name, i});
            nextAsked = asked.size();
            return i;
        }
    }
    return -1;
}

Recordset::Recordset() : d(std::make_unique<Impl>()) { d->open = false; }
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

bool Recordset::eof() const { return !d || !d->open || d->position >= d->rowCount; }
bool Recordset::bof() const { return !d || !d->open || d->rowCount == 0; }

void Recordset::moveNext()
{
    if (!d || !d->open)
        raiseClosed();
    if (eof())
        vb::raise(errNoCurrentRecord, QStringLiteral("BOF と EOF のいずれかが True になっているか、または現在のレコードが削除されています。"
                                                     "要求された操作には、現在のレコードが必要です。"));
    ++d->position;
}

Field Recordset::field(const QString& name) const
{
    if (!d || !d->open)
        raiseClosed();
    const int index = d->column(name);
    if (index < 0)
        vb::raise(errItemNotFound,
                  QStringLiteral("要求された名前、または序数に対応する項目はコレクションで見つかりません。"));
    if (eof())
        vb::raise(errNoCurrentRecord, QStringLiteral("BOF と EOF のいずれかが True になっているか、または現在のレコードが削除されています。"
                                                     "要求された操作には、現在のレコードが必要です。"));
    return Field(d->names[index], d->types[size_t(index)], d->cells[d->position * d->names.size() + size_t(index)]);
}

int Recordset::fieldCount() const { return d ? int(d->names.size()) : 0; }
QString Recordset::fieldName(int index) const { return d ? d->names.value(index) : QString(); }

void Recordset::close()
{
    if (d) {
        d->cells = {};
        d->rowCount = 0;
        d->asked.clear();
        d->open = false;
    }
}

// --- connection ------------------------------------------------------------------

namespace {

// How long a statement waits for another program's lock, in milliseconds.
constexpr int BusyTimeout = 3000;

struct Session {
    sqlite3* db = nullptr;
    QString path;
    // Statements with parameters, prepared once per text; the last one used
    // is found again without hashing when its text is passed again.
    QHash<QString, sqlite3_stmt*> prepared;
    QString lastSql;
    // The savepoints open now, outermost first.
    QStringList savepoints;
    sqlite3_stmt* lastStmt = nullptr;
    // The long transaction: begun by the program and not yet ended by it.
    bool longTransaction = false;
    bool opened = false;  // the file passed the open's checks: it is a database
    bool asItIs = false;  // read as it is: no lock, no journal (Connection::openAsItIs)
    std::function<void(const vb::Error&)> onLoss;
    std::function<bool(const vb::Error&, bool)> onNoRoom;
    qint64 pageSize = 0;  // read at the first need
    // The journal's room was found for the write transaction now open; the
    // engine's hooks clear it as that transaction ends.
    bool roomHeld = false;

    ~Session() { shut(); }
    void shut();
    // Raises the failure of the statement just run (reset or finalized).
    [[noreturn]] void fail(const vb::Error& error);
    [[noreturn]] void fail() { fail(lastError()); }
    vb::Error lastError() const;
    QString journalPath() const { return platform::db::journalPath(path); }
    void keepJournal();
    void giveBackLeftRoom();
    bool readOnly() const { return sqlite3_db_readonly(db, "main") == 1; }
    void makeRoom();
    void reserveRoom();
    bool othersHoldFile() const;
    qint64 number(const char* pragma);
    void run(const QString& sql, long* changes);
    sqlite3_stmt* statement(const QString& sql);
    sqlite3_stmt* prepare(const QString& sql);
};

// Every open connection, so that an immediate end drops them all uncommitted.
// Never destroyed: a connection still held by a global closes after it.
std::set<Session*>& openConnections()
{
    static auto* connections = new std::set<Session*>;
    return *connections;
}

void registerConnection(Session* session)
{
    static bool cleanupAdded = false;
    if (!cleanupAdded) {
        cleanupAdded = true;
        platform::addEndCleanup([] {
            const std::set<Session*> connections = openConnections();
            for (Session* c : connections)
                c->shut();
        });
    }
    openConnections().insert(session);
}

void Session::shut()
{
    if (!db)
        return;
    for (sqlite3_stmt* stmt : std::as_const(prepared))
        sqlite3_finalize(stmt);
    prepared.clear();
    lastSql.clear();
    lastStmt = nullptr;
    savepoints.clear();
    longTransaction = false;
    pageSize = 0;
    roomHeld = false;
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    // The journal kept for the session goes with the last connection to the
    // file. Another one, here or in another program, counts on finding it
    // (its folder may allow no new file by now), so it stays while anyone
    // else holds the file: only a connection alone with it gets the file
    // exclusively, and the engine removes the journal under that lock.
    // Only a file taken as a database gets that write: on any other (an
    // empty file, another kind of file) it would make an empty database.
    if (opened && !asItIs && !othersHoldFile()) {
        sqlite3_busy_timeout(db, 0);
        // A file another program gave a write-ahead log keeps it (the engine
        // removed the journal kept for the session as the file was switched).
        if (!room::writeAheadLog(db) && sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK) {
            sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
    }
    sqlite3_close_v2(db);
    db = nullptr;
    opened = false;
    openConnections().erase(this);
}

// Another connection of this program open on the same file, which may hold
// no lock at this moment (between its reads), but will write with the journal.
bool Session::othersHoldFile() const
{
    const QString file = QFileInfo(path).canonicalFilePath();
    for (const Session* other : openConnections()) {
        if (other != this && other->db && QFileInfo(other->path).canonicalFilePath() == file)
            return true;
    }
    return false;
}

void Session::fail(const vb::Error& error)
{
    if (!db || !longTransaction || !sqlite3_get_autocommit(db))
        throw error;
    // The engine rolled the whole transaction back. It begins again before
    // anything else runs: a later write must never become permanent alone.
    savepoints.clear();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const vb::Error lost(errTransactionLost, error.description());
    if (onLoss)
        onLoss(lost);
    throw lost;
}

vb::Error Session::lastError() const
{
    const int code = sqlite3_errcode(db);
    const QString text = QString::fromUtf8(sqlite3_errmsg(db));
    // Once the file is open, "can't open" (or a folder found read-only) means
    // the journal could not be made.
    const int extended = sqlite3_extended_errcode(db);
    if (const std::optional<RefusedJournal> journal = takeRefusedJournal())
        return foreignJournal(path, *journal);
    if ((code & 0xff) == SQLITE_CANTOPEN)
        if (const QString link = foreignLinkAt(journalPath()); !link.isEmpty())
            return vb::Error(vb::errPermission, foreignLinkText(link));
    if ((extended == SQLITE_READONLY_DIRECTORY || (code & 0xff) == SQLITE_CANTOPEN)
        && !files::exists(journalPath()))
        return vb::Error(code, describeFolderFailure(path, text));
    return engineError(code, text, path);
}

// The commit of the long transaction must neither create nor delete a file
// in the folder, which may have stopped allowing either since the file was
// opened (a share whose rights changed): the engine would then roll the
// whole session back. So the journal is made when the file is opened, stays
// beside it for the session and is only emptied as each transaction ends
// (which no program takes for a journal to play back), so that it holds no
// room between transactions. Where it can't be made now, the first change
// says that the folder can't be written. A connection that can't write
// makes none.
void Session::keepJournal()
{
    run(QStringLiteral("PRAGMA journal_mode = PERSIST; PRAGMA journal_size_limit = 0"), nullptr);
    if (readOnly())
        return;
    if (files::exists(journalPath())) {
        giveBackLeftRoom();
        return;
    }
    // Changing a page opens the journal; rolled back, nothing of the file changes.
    try {
        run(QStringLiteral("BEGIN; PRAGMA user_version = %1").arg(number("PRAGMA user_version")), nullptr);
    } catch (const vb::Error&) {
    }
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

// A session that ended without its close (the program was killed) leaves
// the journal's room beyond the journal's end, which nothing else gives
// back; it goes now, unless another session is writing, whose room it is.
void Session::giveBackLeftRoom()
{
    sqlite3_busy_timeout(db, 0);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
        room::releaseJournal(journalPath());
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_busy_timeout(db, BusyTimeout);
}

// Before a change inside a transaction: while the journal can't have its
// room (see room::takeJournalRoom), the program's handler may have room made
// and try again; otherwise the change is refused with the transaction as it
// was.
void Session::makeRoom()
{
    if (!db || sqlite3_get_autocommit(db))
        return;
    // Once the room is held, it stays until the commit: the file is not
    // written before then, and no other program can touch the journal while
    // this one holds the file for writing. Taken again for every statement,
    // it made a drawing's save (tens of thousands of rows) take twice as long.
    // Where the file system can hold none, the free room is checked before
    // every change instead: another program may fill the disk meanwhile.
    if (roomHeld && sqlite3_txn_state(db, "main") == SQLITE_TXN_WRITE)
        return;
    // A connection that can't write changes nothing (the engine refuses),
    // and a file with a write-ahead log writes no journal.
    if (readOnly() || room::writeAheadLog(db)) {
        roomHeld = true;
        return;
    }
    for (;;) {
        if (pageSize <= 0)
            pageSize = number("PRAGMA page_size");
        const room::Outcome outcome = room::takeJournalRoom(path, pageSize);
        if (outcome.kind == room::Outcome::Taken) {
            roomHeld = true;
            return;
        }
        if (outcome.kind == room::Outcome::Checked)
            return;
        if (outcome.kind == room::Outcome::Unusable)
            throw room::unusableJournal(path, journalPath(), outcome.error);
        const vb::Error refused = room::shortage(path, outcome);
        if (!onNoRoom || !onNoRoom(refused, outcome.sizeLimit))
            throw refused;
    }
}

// A commit that runs out of room fails half way, and the engine rolls the
// whole transaction back; so the room it writes is taken first, and a
// refusal leaves the transaction open.
void Session::reserveRoom()
{
    // A transaction that changed nothing writes nothing.
    if (!db || sqlite3_txn_state(db, "main") != SQLITE_TXN_WRITE)
        return;
    if (pageSize <= 0)
        pageSize = number("PRAGMA page_size");
    // The log of another program's choice takes the changed pages at the commit.
    if (room::writeAheadLog(db)) {
        room::checkLogRoom(path, pageSize, number("PRAGMA page_count"));
        return;
    }
    // The journal gives back the room it didn't use: a later change takes it again.
    roomHeld = false;
    room::takeCommitRoom(db, path, pageSize, number("PRAGMA page_count"));
}

// The one number a pragma reads.
qint64 Session::number(const char* pragma)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, pragma, -1, &stmt, nullptr) != SQLITE_OK)
        fail();
    const int rc = sqlite3_step(stmt);
    const qint64 value = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    if (rc != SQLITE_ROW) {
        const vb::Error error = lastError();
        sqlite3_finalize(stmt);
        fail(error);
    }
    sqlite3_finalize(stmt);
    return value;
}

// Runs every statement of the text in order.
void Session::run(const QString& sql, long* changes)
{
    if (!db)
        raiseClosed();
    const QByteArray text = sql.toUtf8();
    const char* tail = text.constData();
    const char* end = tail + text.size();
    const long before = long(sqlite3_total_changes(db));
    while (tail < end) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, tail, int(end - tail), &stmt, &tail) != SQLITE_OK)
            fail();
        if (!stmt)  // only blanks or comments were left
            break;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            const vb::Error error = lastError();
            sqlite3_finalize(stmt);
            fail(error);
        }
        sqlite3_finalize(stmt);
    }
    if (changes)
        *changes = long(sqlite3_total_changes(db)) - before;
}

sqlite3_stmt* Session::statement(const QString& sql)
{
    if (!db)
        raiseClosed();
    // The same shared text (kept alive by lastSql) is the same statement.
    if (lastStmt && sql.constData() == lastSql.constData() && sql.size() == lastSql.size())
        return lastStmt;
    sqlite3_stmt* stmt = prepared.value(sql);
    if (!stmt)
        stmt = prepare(sql);
    lastSql = sql;
    lastStmt = stmt;
    return stmt;
}

sqlite3_stmt* Session::prepare(const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &stmt, nullptr)
        != SQLITE_OK)
        fail();
    if (!stmt)
        vb::raise(vb::errInvalidCall, QStringLiteral("実行するステートメントがありません。"));
    prepared.insert(sql, stmt);
    return stmt;
}

void bind(sqlite3_stmt* stmt, int index, const QVariant& value)
{
    switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
    case QMetaType::UnknownType:
        sqlite3_bind_null(stmt, index);
        break;
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
        break;
    case QMetaType::Float:
    case QMetaType::Double:
        sqlite3_bind_double(stmt, index, value.toDouble());
        break;
    default: {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

}  // namespace

struct Connection::Impl : Session {};

Connection::Connection() : d(std::make_unique<Impl>()) {}
Connection::~Connection() = default;

void Connection::open(const QString& connectionString) { open(connectionString, false); }

void Connection::openAsItIs(const QString& connectionString) { open(connectionString, true); }

namespace {
// The engine's name for `file` read as it is (a URI: the name's bytes that
// aren't plain letters, digits or "/" written as %XX).
QByteArray asItIsName(const QString& file)
{
    return "file:" + QFile::encodeName(file).toPercentEncoding("/") + "?immutable=1";
}
}  // namespace

void Connection::open(const QString& connectionString, bool asItIs)
{
    if (d->db)
        vb::raise(errObjectOpen, QStringLiteral("オブジェクトが開いている場合は、操作は許可されません。"));
    const ConnectionSettings settings = parseConnectionString(connectionString);
    // The engine would open an empty name as a private temporary database.
    if (settings.dataSource.isEmpty())
        vb::raise(SQLITE_CANTOPEN, QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)));
    room::checkLogIndexRoom(settings.dataSource);
    keepEngineToOwnLinks();
    takeRefusedJournal();  // one refused before is told no more
    sqlite3* db = nullptr;
    const int rc = asItIs ? sqlite3_open_v2(asItIsName(settings.dataSource).constData(), &db,
                                            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr)
                          : sqlite3_open_v2(settings.dataSource.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw engineError(rc, message, settings.dataSource);
    }
    d->db = db;
    d->path = settings.dataSource;
    d->asItIs = asItIs;
    registerConnection(d.get());
    // The journal's room found for a write transaction holds until it ends.
    sqlite3_commit_hook(db, [](void* s) { static_cast<Session*>(s)->roomHeld = false; return 0; }, d.get());
    sqlite3_rollback_hook(db, [](void* s) { static_cast<Session*>(s)->roomHeld = false; }, d.get());
    try {
        sqlite3_busy_timeout(db, BusyTimeout);
        // The first read of the schema tells a database from any other file;
        // the engine would take an empty file for a new database.
        // Changed pages stay in memory until the commit (see room::takeJournalRoom),
        // as do the copies a savepoint keeps.
        d->run(QStringLiteral("PRAGMA foreign_keys = OFF; PRAGMA cache_spill = OFF; PRAGMA temp_store = MEMORY; "
                              "SELECT count(*) FROM sqlite_master"),
               nullptr);
        if (openRecordset(QStringLiteral("PRAGMA page_count")).field(QStringLiteral("page_count")).value().toLongLong()
            == 0)
            throw engineError(SQLITE_NOTADB, QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB)), d->path);
        Recordset stored = openRecordset(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = '%1'").arg(PasswordTable));
        QString salt, hash;
        if (!stored.eof()) {
            Recordset row = openRecordset(QStringLiteral("SELECT salt, hash FROM %1").arg(PasswordTable));
            if (!row.eof()) {
                salt = row[QStringLiteral("salt")].value().toString();
                hash = row[QStringLiteral("hash")].value().toString();
            }
        }
        // The hash column holds the whole stored form; files written before
        // hold one round of SHA-256 there, its salt beside it.
        const QString storedForm = hash.startsWith(QLatin1Char('$'))
            ? hash
            : QStringLiteral("$sha256$") + salt + QLatin1Char('$') + hash;
        const bool accepted = hash.isEmpty() ? settings.password.isEmpty()
                                             : passwordhash::matches(storedForm, settings.password);
        if (!accepted)
            vb::raise(errWrongPassword, QStringLiteral("パスワードが無効です。"));
        if (!asItIs)
            d->keepJournal();
        d->opened = true;
    } catch (...) {
        d->shut();
        d->path.clear();
        throw;
    }
}

void Connection::close()
{
    d->shut();
    d->path.clear();
}

bool Connection::isOpen() const { return d->db != nullptr; }
bool Connection::isReadOnly() const { return d->db && d->readOnly(); }
QString Connection::path() const { return d->path; }

void Connection::beginTrans()
{
    d->run(QStringLiteral("BEGIN"), nullptr);
    d->longTransaction = true;
}

void Connection::commitTrans()
{
    d->reserveRoom();
    d->run(QStringLiteral("COMMIT"), nullptr);
    d->longTransaction = false;
    d->savepoints.clear();
}

void Connection::rollbackTrans()
{
    d->longTransaction = false;
    d->savepoints.clear();
    d->run(QStringLiteral("ROLLBACK"), nullptr);
}

bool Connection::inTransaction() const { return d->db && !sqlite3_get_autocommit(d->db); }

void Connection::setLossHandler(std::function<void(const vb::Error&)> handler) { d->onLoss = std::move(handler); }
void Connection::setNoRoomHandler(std::function<bool(const vb::Error&, bool)> handler)
{
    d->onNoRoom = std::move(handler);
}

namespace {
QString savepointName(const QString& name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identifier.match(name).hasMatch())
        vb::raise(vb::errInvalidCall, QStringLiteral("セーブポイント名が不正です: %1").arg(name));
    return name;
}
}  // namespace

void Connection::savepoint(const QString& name)
{
    d->run(QStringLiteral("SAVEPOINT ") + savepointName(name), nullptr);
    d->savepoints.append(name);
}

namespace {
// Ending a savepoint ends those opened inside it too.
void dropSavepoint(QStringList& open, const QString& name)
{
    const qsizetype at = open.lastIndexOf(name);
    if (at >= 0)
        open.resize(at);
}
}  // namespace

void Connection::releaseSavepoint(const QString& name)
{
    d->run(QStringLiteral("RELEASE ") + savepointName(name), nullptr);
    dropSavepoint(d->savepoints, name);
}

void Connection::rollbackToSavepoint(const QString& name)
{
    const QString n = savepointName(name);
    d->run(QStringLiteral("ROLLBACK TO ") + n + QStringLiteral("; RELEASE ") + n, nullptr);
    dropSavepoint(d->savepoints, name);
}

void Connection::rollbackOpenSavepoints()
{
    if (!d->savepoints.isEmpty())
        rollbackToSavepoint(d->savepoints.constFirst());
}

long Connection::execute(const QString& sql)
{
    long changes = 0;
    d->makeRoom();
    d->run(sql, &changes);
    return changes;
}

long Connection::execute(const QString& sql, const QVariantList& parameters)
{
    d->makeRoom();
    sqlite3_stmt* stmt = d->statement(sql);
    const long before = long(sqlite3_total_changes(d->db));
    for (int i = 0; i < parameters.size(); ++i)
        bind(stmt, i + 1, parameters[i]);
    const int rc = sqlite3_step(stmt);
    std::optional<vb::Error> error;
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        error.emplace(d->lastError());
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (error)
        d->fail(*error);
    return long(sqlite3_total_changes(d->db)) - before;
}

Recordset Connection::openRecordset(const QString& sql)
{
    if (!d->db)
        raiseClosed();
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(d->db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
        d->fail();
    if (!stmt)
        vb::raise(vb::errInvalidCall, QStringLiteral("ステートメントが空です。"));
    Recordset result;
    Recordset::Impl& r = *result.d;
    r.open = true;
    const int columns = sqlite3_column_count(stmt);
    for (int i = 0; i < columns; ++i) {
        r.names << QString::fromUtf8(sqlite3_column_name(stmt, i));
        const char* declared = sqlite3_column_decltype(stmt, i);
        r.types.push_back(declared ? fieldTypeOf(QString::fromUtf8(declared)) : FieldType::Other);
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i)
            r.cells.push_back(typedColumn(stmt, i, r.types[size_t(i)]));
        ++r.rowCount;
    }
    if (rc != SQLITE_DONE) {
        const vb::Error error = d->lastError();
        sqlite3_finalize(stmt);
        d->fail(error);
    }
    sqlite3_finalize(stmt);
    return result;
}

// --- files and passwords ---------------------------------------------------------

void createDatabase(const QString& path)
{
    if (files::exists(path))
        vb::raise(vb::errFileExists);
    keepEngineToOwnLinks();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        // An empty file becomes a database only once something is written.
        if (sqlite3_exec(db, "PRAGMA user_version = 0; VACUUM", nullptr, nullptr, nullptr) == SQLITE_OK) {
            sqlite3_close_v2(db);
            return;
        }
    }
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const int code = db ? sqlite3_errcode(db) : rc;
    sqlite3_close_v2(db);
    throw engineError(code, message, path);
}

bool lacksTable(const QString& path, const QString& table)
{
    // Opened for reading only: a look must never write into a file that
    // may be no database at all.
    keepEngineToOwnLinks();
    sqlite3* db = nullptr;
    bool lacks = false;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?", -1, &stmt,
                               nullptr)
            == SQLITE_OK) {
            const QByteArray name = table.toUtf8();
            sqlite3_bind_text(stmt, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            lacks = sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int64(stmt, 0) == 0;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    return lacks;
}

void setDatabasePassword(Connection& connection, const QString& password, int iterations)
{
    if (password.isEmpty()) {
        connection.execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(PasswordTable));
        return;
    }
    connection.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (salt TEXT, hash TEXT); DELETE FROM %1; "
                                      "INSERT INTO %1 (salt, hash) VALUES (NULL, '%2')")
                           .arg(PasswordTable, passwordhash::stored(password, iterations)));
}

}  // namespace platform::db
