#include "db/sqltext.h"

#include "app/globals.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

namespace sqltext {

namespace {
QString& lastText()
{
    static QString text;
    return text;
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
QString number(float value) { return vb::CStr(value); }
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
    return *this;
}

Insert& Insert::text(const QString& column, const QString& text, bool trim, bool omitWhenEmpty)
{
    if (omitWhenEmpty && text.isEmpty())
        return *this;
    return value(column, quoted(trim ? vb::Trim(text) : text));
}

QString Insert::statement() const
{
    return QStringLiteral("INSERT INTO ") + m_table + QLatin1Char(' ') + QLatin1Char('(') +
           m_columns.join(QLatin1Char(',')) + QStringLiteral(") ") + QStringLiteral("VALUES ") + QLatin1Char('(') +
           m_values.join(QLatin1Char(',')) + QStringLiteral(") ");
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
    vb::MsgBox(error.description(), vb::vbOKOnly,
               QStringLiteral("mdlSQL:") + procedure + QStringLiteral("() err.number = ") +
                   QString::number(error.number()));
}

bool change(const QString& procedure, const QString& sql)
{
    lastText() = sql;
    try {
        connection().execute(sql);
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

QString lastStatement() { return lastText(); }

}  // namespace sqltext
