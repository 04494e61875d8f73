// Fields of the database layer: declared column types and the runtime's
// conversions of a field's value.

#include "platform/database.h"

#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QRegularExpression>

namespace platform::db {

FieldType fieldTypeOf(const QString& declaredType)
{
    // "VARCHAR(50)" reads as "VARCHAR".
    static const QRegularExpression word(QStringLiteral("^\\s*([A-Za-z0-9_]+)"));
    const QString type = word.match(declaredType).captured(1).toUpper();
    static const QHash<QString, FieldType> types = {
        {QStringLiteral("BIT"), FieldType::Boolean},       {QStringLiteral("YESNO"), FieldType::Boolean},
        {QStringLiteral("BOOLEAN"), FieldType::Boolean},   {QStringLiteral("LOGICAL"), FieldType::Boolean},
        {QStringLiteral("SHORT"), FieldType::Int16},       {QStringLiteral("SMALLINT"), FieldType::Int16},
        {QStringLiteral("INT16"), FieldType::Int16},       {QStringLiteral("LONG"), FieldType::Int32},
        {QStringLiteral("INTEGER"), FieldType::Int32},     {QStringLiteral("INT"), FieldType::Int32},
        {QStringLiteral("INT32"), FieldType::Int32},       {QStringLiteral("COUNTER"), FieldType::Int32},
        {QStringLiteral("AUTOINCREMENT"), FieldType::Int32}, {QStringLiteral("SINGLE"), FieldType::Single},
        {QStringLiteral("REAL4"), FieldType::Single},      {QStringLiteral("DOUBLE"), FieldType::Double},
        {QStringLiteral("FLOAT"), FieldType::Double},      {QStringLiteral("REAL"), FieldType::Double},
        {QStringLiteral("DATETIME"), FieldType::Date},     {QStringLiteral("DATE"), FieldType::Date},
        {QStringLiteral("TEXT"), FieldType::Text},         {QStringLiteral("VARCHAR"), FieldType::Text},
        {QStringLiteral("MEMO"), FieldType::Text},         {QStringLiteral("CHAR"), FieldType::Text},
        {QStringLiteral("LONGTEXT"), FieldType::Text},
    };
    return types.value(type, FieldType::Other);
}

Field::Field(QString name, FieldType type, QVariant value)
    : m_name(std::move(name)), m_type(type), m_value(std::move(value))
{
}

namespace {

[[noreturn]] void raiseNull()
{
    vb::raise(vb::errInvalidUseOfNull);
}

bool isText(const QVariant& v) { return v.typeId() == QMetaType::QString; }

}  // namespace

double Field::toNumber() const
{
    if (isNull())
        raiseNull();
    switch (m_value.typeId()) {
    case QMetaType::Bool:
        return m_value.toBool() ? -1.0 : 0.0;
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return m_value.toDouble();
    case QMetaType::QString:
        if (vb::IsNumeric(m_value.toString()))
            return vb::Val(m_value.toString());
        break;
    default:
        break;
    }
    vb::raise(vb::errTypeMismatch);
}

bool Field::toBool() const
{
    if (isNull())
        raiseNull();
    if (m_value.typeId() == QMetaType::Bool)
        return m_value.toBool();
    if (isText(m_value)) {
        const QString t = m_value.toString().trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toNumber() != 0;
}

// A value already of the asked type (as a column of that type reads back)
// is taken as it is: the conversion would give it unchanged.
qint16 Field::toInt16() const
{
    if (m_value.typeId() == QMetaType::Short)
        return *static_cast<const qint16*>(m_value.constData());
    if (isText(m_value))
        return vb::CInt(m_value.toString());
    return vb::CInt(toNumber());
}

qint32 Field::toInt32() const
{
    if (m_value.typeId() == QMetaType::Int)
        return *static_cast<const qint32*>(m_value.constData());
    if (isText(m_value))
        return vb::CLng(m_value.toString());
    return vb::CLng(toNumber());
}

float Field::toSingle() const
{
    if (m_value.typeId() == QMetaType::Float)
        return *static_cast<const float*>(m_value.constData());
    return vb::CSng(toNumber());
}

double Field::toDouble() const
{
    if (m_value.typeId() == QMetaType::Double)
        return *static_cast<const double*>(m_value.constData());
    return toNumber();
}

QDateTime Field::toDate() const
{
    if (isNull())
        raiseNull();
    if (m_value.typeId() == QMetaType::QDateTime)
        return m_value.toDateTime();
    if (isText(m_value) && vb::IsDate(m_value.toString()))
        return vb::CDate(m_value.toString());
    vb::raise(vb::errTypeMismatch);
}

QString Field::toString() const
{
    if (isNull())
        raiseNull();
    switch (m_value.typeId()) {
    case QMetaType::Bool:
        return vb::CStr(m_value.toBool());
    case QMetaType::Short:
    case QMetaType::Int:
        return QString::number(m_value.toInt());
    case QMetaType::LongLong:
        return QString::number(m_value.toLongLong());
    case QMetaType::Float:
        return vb::CStr(m_value.value<float>());
    case QMetaType::Double:
        return vb::CStr(m_value.toDouble());
    case QMetaType::QDateTime:
        return vb::DateText(m_value.toDateTime());
    case QMetaType::QByteArray:
        return QString::fromUtf8(m_value.toByteArray());
    default:
        return m_value.toString();
    }
}

}  // namespace platform::db
