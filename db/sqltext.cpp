#include "db/sqltext.h"

#include "db/mdlDB.h"

#include "app/globals.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <charconv>
#include <optional>

namespace sqltext {

namespace {

// The last statement run through change(): its text, or the insert it was
// built from (made into text only when asked for).
struct LastStatement {
    QString text;
    std::optional<Insert> insert;
};
LastStatement& last()
{
    static LastStatement statement;
    return statement;
}

// A value as the engine reads it from the statement's text.
bool parameter(const QString& text, QVariant& value)
{
    if (text.size() >= 2 && text.startsWith(QLatin1Char('\'')) && text.endsWith(QLatin1Char('\''))) {
        QString unquoted = text.mid(1, text.size() - 2);
        value = unquoted.replace(QLatin1String("''"), QLatin1String("'"));
        return true;
    }
    if (text == QLatin1String("NULL")) {
        value = QVariant();
        return true;
    }
    if (text == QLatin1String("True") || text == QLatin1String("False")) {
        value = qlonglong(text == QLatin1String("True") ? 1 : 0);
        return true;
    }
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok) {
        value = whole;
        return true;
    }
    const double fraction = text.toDouble(&ok);
    if (ok)
        value = fraction;
    return ok;
}

}  // namespace

QString quoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString number(qint16 value) { return QString::number(value); }
QString number(qint32 value) { return QString::number(value); }
QString number(float value)
{
    // Seven digits do not always bring the same single back: a label's
    // place read again would then fall a device pixel off at some zooms.
    // Such a value is written with the eight or nine digits that do (the
    // shortest text that gives it back, which has more than seven exactly
    // when seven are not enough).
    char text[32];
    const auto [end, failed] = std::to_chars(text, text + sizeof text, value);
    int digits = 0;
    bool leading = true;
    for (const char* c = text; c != end && *c != 'e'; ++c) {
        if (*c >= '1' && *c <= '9')
            leading = false;
        digits += *c >= '0' && *c <= '9' && !leading;
    }
    if (failed != std::errc() || digits <= 7)
        return vb::CStr(value);
    return QString::fromLatin1(text, end - text).toUpper();
}
QString number(double value) { return vb::CStr(value); }
QString truth(bool value) { return vb::CStr(value); }
QString date(const QDateTime& value)
{
    // An unset date is Null: an empty text could never be read back as a date.
    if (!value.isValid())
        return QStringLiteral("NULL");
    return QLatin1Char('\'') + vb::DateText(value) + QLatin1Char('\'');
}
QString now() { return date(vb::Now()); }

Insert& Insert::value(const QString& column, const QString& statementText)
{
    m_columns << column;
    m_values << statementText;
    m_isText << false;
    return *this;
}

// Texts are quoted only when the statement is made as text.
Insert& Insert::text(const QString& column, const QString& text, bool trim, bool omitWhenEmpty)
{
    if (omitWhenEmpty && text.isEmpty())
        return *this;
    m_columns << column;
    m_values << (trim ? vb::Trim(text) : text);
    m_isText << true;
    return *this;
}

QString Insert::statement() const
{
    QStringList values = m_values;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (m_isText[i])
            values[i] = quoted(values[i]);
    }
    return QStringLiteral("INSERT INTO ") + m_table + QLatin1Char(' ') + QLatin1Char('(') +
           m_columns.join(QLatin1Char(',')) + QStringLiteral(") ") + QStringLiteral("VALUES ") + QLatin1Char('(') +
           values.join(QLatin1Char(',')) + QStringLiteral(") ");
}

QString Insert::shape() const
{
    // Rows of one table come one after another with the same columns: their
    // shape is made once and handed on as the same shared text.
    static QString lastTable;
    static QStringList lastColumns;
    static QString lastShape;
    if (m_table == lastTable && m_columns == lastColumns)
        return lastShape;
    QString marks(2 * m_values.size() - 1, QLatin1Char(','));
    for (qsizetype i = 0; i < marks.size(); i += 2)
        marks[i] = QLatin1Char('?');
    lastTable = m_table;
    lastColumns = m_columns;
    lastShape = QStringLiteral("INSERT INTO ") + m_table + QStringLiteral(" (") + m_columns.join(QLatin1Char(','))
        + QStringLiteral(") VALUES (") + marks + QStringLiteral(") ");
    return lastShape;
}

bool Insert::parameters(QVariantList& values) const
{
    values.clear();
    values.reserve(m_values.size());
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        QVariant value = m_values[i];
        if (!m_isText[i] && !parameter(m_values[i], value))
            return false;
        values << value;
    }
    return true;
}

Update& Update::value(const QString& column, const QString& statementText)
{
    m_assignments << column + QStringLiteral(" = ") +
                         (statementText.isEmpty() ? QStringLiteral("NULL") : statementText);
    return *this;
}

Update& Update::text(const QString& column, const QString& text, bool trim)
{
    return value(column, text.isEmpty() ? QString() : quoted(trim ? vb::Trim(text) : text));
}

QString Update::statement(const QString& where) const
{
    return QStringLiteral("UPDATE ") + m_table + QLatin1Char(' ') + QStringLiteral("SET ") +
           m_assignments.join(QLatin1Char(',')) + QLatin1Char(' ') + QStringLiteral("WHERE ") + where;
}

platform::db::Connection& connection()
{
    if (!GE_objConnection || !GE_objConnection->isOpen())
        vb::raise(platform::db::errObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    return *GE_objConnection;
}

void report(const QString& procedure, const vb::Error& error)
{
    mdlDB::subNote_Failure(error);
    // A lost transaction was told to the user as it happened.
    if (error.number() == platform::db::errTransactionLost)
        return;
    // Nor a change the user let go at the box that named the room it lacks.
    if (mdlDB::fncRefusal_Told(error))
        return;
    vb::MsgBox(error.description(), vb::vbOKOnly,
               QStringLiteral("mdlSQL:") + procedure + QStringLiteral("() err.number = ") +
                   QString::number(error.number()));
}

bool change(const QString& procedure, const QString& sql)
{
    last().text = sql;
    last().insert.reset();
    try {
        connection().execute(sql);
    } catch (const vb::Error& error) {
        report(procedure, error);
        return false;
    }
    GE_booDbUpdate = true;
    return true;
}

bool change(const QString& procedure, const Insert& statement)
{
    QVariantList values;
    if (!statement.parameters(values))
        return change(procedure, statement.statement());
    last().insert = statement;
    try {
        connection().execute(statement.shape(), values);
    } catch (const vb::Error& error) {
        report(procedure, error);
        return false;
    }
    GE_booDbUpdate = true;
    return true;
}

bool guarded(const QString& procedure, const std::function<void()>& body)
{
    try {
        body();
    } catch (const vb::Error& error) {
        report(procedure, error);
        return false;
    }
    return true;
}

QString lastStatement() { return last().insert ? last().insert->statement() : last().text; }

}  // namespace sqltext
