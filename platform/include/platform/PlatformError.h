#pragma once

#include <QString>

#include <stdexcept>

namespace platform {

// Error numbers the program and the control report, as the system's own error codes.
enum ErrorNumber : int {
    kErrOverflow = 6,
    kErrTypeMismatch = 13,
    kErrFileNotFound = 53,
    kErrDeviceIO = 57,
    kErrPermissionDenied = 70,
    kErrPathNotFound = 76,
    kErrCannotCreateObject = 429,
    kErrNotSupported = 438, // Object doesn't support this property or method
    kErrWrongArgCount = 450, // Wrong number of arguments or invalid property assignment
    kErrInvalidPicture = 481,
    kErrCancel = 32755, // a common dialog closed without confirming
};

// A failing platform or control operation. Handlers that trap errors look at number() to tell
// a dialog's cancel from every real failure.
class PlatformError : public std::runtime_error {
public:
    PlatformError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number) {}

    int number() const noexcept { return m_number; }
    bool isCancel() const noexcept { return m_number == kErrCancel; }

private:
    int m_number;
};

} // namespace platform
