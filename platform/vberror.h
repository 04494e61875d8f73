#pragma once
// Failures carry a number and a description, as the runtime the program was
// designed for reported them; message boxes show both.

#include <QString>
#include <exception>
#include <string>

namespace vb {

// The runtime's numbers for the failures this program meets.
enum ErrorNumber : long {
    errInvalidCall = 5,
    errOverflow = 6,
    errOutOfMemory = 7,
    errSubscript = 9,
    errDivisionByZero = 11,
    errTypeMismatch = 13,
    errFileNotFound = 53,
    errFileAlreadyOpen = 55,
    errFileExists = 58,
    errDiskFull = 61,
    errInputPastEnd = 62,
    errBadFileName = 64,
    errDeviceUnavailable = 68,
    errPermission = 70,
    errPathFileAccess = 75,
    errPathNotFound = 76,
    errInvalidUseOfNull = 94,  // a Null converted
    errNoElement = 340,        // a control array element that is not loaded
    errAlreadyLoaded = 360,    // a control array element loaded twice
    errDesignTimeUnload = 362, // an element made with its window unloaded
    errBadPropertyValue = 380,
    errBadPropertyIndex = 381,
    errPrinterError = 482,
    errIndexOutOfBounds = 35600,  // the toolbar's and status bar's collections
    errElementNotFound = 35601,
    errKeyNotUnique = 35602,
    errCancel = 32755,  // a common dialog cancelled while its CancelError is set
};

class Error : public std::exception {
public:
    Error(long number, QString description);
    explicit Error(long number);  // with the runtime's own description for that number

    long number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    long m_number;
    QString m_description;
    std::string m_what;
};

// The runtime's description of its own error numbers, in the words of a
// Japanese system ("オーバーフローしました。", ...).
QString errorDescription(long number);

// Error 340's description, which names the missing element's index.
QString noElementDescription(long index);

[[noreturn]] void raise(long number, const QString& description = QString());

}  // namespace vb
