#pragma once
// The run-time error of the program: an error number (the classic numbers: 9, 13, 52, 53, 55,
// 61, 67, 75, 76, 380, ...) with its description. Error handlers are try/catch blocks that
// dispatch on number().
#include <QString>
#include <stdexcept>

namespace kivro {

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number, const QString& description = QString(), const QString& source = QString());
    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }

private:
    int m_number;
    QString m_description;
    QString m_source;
};

// The standard description of an error number ("File not found" for 53, ...).
QString errorDescription(int number);

// The one mapping from errno to the program's error numbers. `creating` says the failed call
// tried to create a file, where a missing parent folder is "Path not found" (76).
int errnoToErrorNumber(int err, bool creating = false);

[[noreturn]] void raiseError(int number, const QString& description = QString(), const QString& source = QString());

// The shared text every error handler shows for an error it has no row for.
QString unexpectedErrorText(int number, const QString& description);

} // namespace kivro
