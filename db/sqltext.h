#pragma once
// How every statement of mdlSQL is written and run: values written into the
// text in the runtime's forms, changing statements that set the modified
// flag only when they succeed, and one failure report for the whole unit.

#include "platform/database.h"
#include "platform/vberror.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace sqltext {

// A text value between single quotes; an embedded quote is doubled, so no
// text can end the value early and change the statement.
QString quoted(const QString& text);
// Numbers in the runtime's default text: integers in plain decimal, single
// to 7 and double to 15 significant digits ("1.5E-07" when very small); a
// single that 7 digits would not bring back exactly gets the 9 that do.
QString number(qint16 value);
QString number(qint32 value);
QString number(float value);
QString number(double value);
// Truth values as the words True and False.
QString truth(bool value);
// A date as its default text between single quotes; NULL when unset.
QString date(const QDateTime& value);
// The present time as a date value.
QString now();

// Column and value lists built side by side:
// "INSERT INTO <table> (<columns>) VALUES (<values>) ".
class Insert {
public:
    explicit Insert(QString table) : m_table(std::move(table)) {}
    // A value already in statement form.
    Insert& value(const QString& column, const QString& statementText);
    // A text value, quoted (after trimming when asked); left out with its
    // column when the text as passed is empty and the column may be left out.
    Insert& text(const QString& column, const QString& text, bool trim, bool omitWhenEmpty);
    QString statement() const;
    int columnCount() const { return int(m_columns.size()); }
    // The same statement with "?" for each value, and the values it stands
    // for as the engine reads them from the text; false when a value has no
    // such form (the statement then runs as text).
    QString shape() const;
    bool parameters(QVariantList& values) const;

private:
    QString m_table;
    QStringList m_columns;
    QStringList m_values;  // statement forms; texts unquoted
    QList<bool> m_isText;
};

// "UPDATE <table> SET a = 1,b = NULL,... WHERE <condition>".
class Update {
public:
    explicit Update(QString table) : m_table(std::move(table)) {}
    Update& value(const QString& column, const QString& statementText);  // empty text writes NULL
    Update& text(const QString& column, const QString& text, bool trim);  // empty text writes NULL
    QString statement(const QString& where) const;

private:
    QString m_table;
    QStringList m_assignments;
};

// The open connection; raises when no database is open.
platform::db::Connection& connection();

// The failure box of every mdlSQL procedure: the description, OK only, no
// icon, title "mdlSQL:<procedure>() err.number = <number>". A lost
// transaction, or a change the user let go at the box naming the room it
// lacks, shows nothing more: the user was told when it happened.
void report(const QString& procedure, const vb::Error& error);

// Runs a changing statement; sets GE_booDbUpdate when it succeeds, reports
// and returns false (the flag untouched) when it fails.
bool change(const QString& procedure, const QString& sql);

// The same for an insert, run as a statement prepared once per shape (the
// columns it names) with its values bound: the rows stored are those its
// text stores.
bool change(const QString& procedure, const Insert& statement);

// Runs a procedure's body; a failure inside it is reported and gives false.
bool guarded(const QString& procedure, const std::function<void()>& body);

// The text of the last statement run through change() (for diagnosis).
QString lastStatement();

}  // namespace sqltext
