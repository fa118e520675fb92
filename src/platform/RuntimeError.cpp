#include "platform/RuntimeError.h"

#include <cerrno>

namespace kivro {

RuntimeError::RuntimeError(int number, const QString& description, const QString& source)
    : std::runtime_error(QStringLiteral("Error %1: %2")
                             .arg(number)
                             .arg(description.isEmpty() ? errorDescription(number) : description)
                             .toStdString()),
      m_number(number), m_description(description.isEmpty() ? errorDescription(number) : description), m_source(source)
{}

QString errorDescription(int number)
{
    switch (number) {
    case 3:
        return QStringLiteral("Return without GoSub");
    case 5:
        return QStringLiteral("Invalid procedure call or argument");
    case 6:
        return QStringLiteral("Overflow");
    case 7:
        return QStringLiteral("Out of memory");
    case 9:
        return QStringLiteral("Subscript out of range");
    case 11:
        return QStringLiteral("Division by zero");
    case 13:
        return QStringLiteral("Type mismatch");
    case 52:
        return QStringLiteral("Bad file name or number");
    case 53:
        return QStringLiteral("File not found");
    case 54:
        return QStringLiteral("Bad file mode");
    case 55:
        return QStringLiteral("File already open");
    case 57:
        return QStringLiteral("Device I/O error");
    case 58:
        return QStringLiteral("File already exists");
    case 61:
        return QStringLiteral("Disk full");
    case 62:
        return QStringLiteral("Input past end of file");
    case 64:
        return QStringLiteral("Bad file name");
    case 67:
        return QStringLiteral("Too many files");
    case 68:
        return QStringLiteral("Device unavailable");
    case 70:
        return QStringLiteral("Permission denied");
    case 71:
        return QStringLiteral("Disk not ready");
    case 75:
        return QStringLiteral("Path/File access error");
    case 76:
        return QStringLiteral("Path not found");
    case 91:
        return QStringLiteral("Object variable or With block variable not set");
    case 380:
        return QStringLiteral("Invalid property value");
    case 481:
        return QStringLiteral("Invalid picture");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

int errnoToErrorNumber(int err, bool creating)
{
    switch (err) {
    case ENOENT:
        return creating ? 76 : 53;
    case ENOTDIR:
        return 76;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 75;
    case EMFILE:
    case ENFILE:
        return 67;
    case ENAMETOOLONG:
        return 64;
    case EIO:
        return 57;
    default:
        return 75;
    }
}

void raiseError(int number, const QString& description, const QString& source)
{
    throw RuntimeError(number, description, source);
}

QString unexpectedErrorText(int number, const QString& description)
{
    return QStringLiteral("Unexpected error. It may be a bug or an unexpected error has occur! "
                          "Please quit and restart Tesma Kivro Pro.\n"
                          "If the problem persists, please submit a bug report immediately.\n\n"
                          "Error %1: '%2'  detected.")
        .arg(number)
        .arg(description);
}

} // namespace kivro
