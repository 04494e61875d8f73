#include "platform/vberror.h"

namespace vb {

Error::Error(long number, QString description)
    : m_number(number),
      m_description(description.isEmpty() ? errorDescription(number) : std::move(description)),
      m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toStdString())
{
}

Error::Error(long number) : Error(number, QString()) {}

QString errorDescription(long number)
{
    switch (number) {
    case errInvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case errOverflow: return QStringLiteral("Overflow");
    case errOutOfMemory: return QStringLiteral("Out of memory");
    case errSubscript: return QStringLiteral("Subscript out of range");
    case errDivisionByZero: return QStringLiteral("Division by zero");
    case errTypeMismatch: return QStringLiteral("Type mismatch");
    case errFileNotFound: return QStringLiteral("File not found");
    case errFileAlreadyOpen: return QStringLiteral("File already open");
    case errFileExists: return QStringLiteral("File already exists");
    case errDiskFull: return QStringLiteral("Disk full");
    case errBadFileName: return QStringLiteral("Bad file name");
    case errPermission: return QStringLiteral("Permission denied");
    case errPathFileAccess: return QStringLiteral("Path/File access error");
    case errPathNotFound: return QStringLiteral("Path not found");
    case errCancel: return QStringLiteral("Cancel was selected.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

void raise(long number, const QString& description)
{
    throw Error(number, description);
}

}  // namespace vb
