#pragma once
// Scripted answers for every prompt (message boxes, file and folder dialogs), so tests can drive
// the program without showing anything.
//
// Two ways in, one queue:
//  - in-process tests call Prompts::enableScripted() and queue answers with Prompts::queue();
//    every prompt is recorded (Prompts::records()).
//  - the real programs honour KIVRO_TEST_ANSWERS=<file> (one answer a line) and
//    KIVRO_TEST_LOG=<file> (one line appended per prompt), both off unless set.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kivro {

class Prompts {
public:
    // True when prompts are answered from a script instead of being shown.
    static bool scripted();

    // In-process scripting: clears the queue and the records and turns the scripted mode on.
    static void enableScripted();
    static void disableScripted();
    static void queue(const QString& answer);
    static void queue(const QStringList& answers);
    static int pending();

    // The next scripted answer, if any is left.
    static std::optional<QString> next();

    // Records one prompt: appended to the in-memory records and, when KIVRO_TEST_LOG is set, to
    // that file in one write. `fields` are escaped ("\" -> "\\", line break -> "\n", "|" -> "\|").
    static void record(const QStringList& fields);
    // Records a message box: its line as record() does, followed in the same write to the log
    // file by "boxstyle|<default button>|<top-most: 1 or 0>". The style lines are kept apart
    // from records(), one per box, in boxStyles().
    static void recordBox(const QStringList& fields, const QString& defaultButton, bool topMost);
    static QStringList records();
    static QStringList boxStyles();
    // Forgets the records and the box styles.
    static void clearRecords();
    // Test seam: called with every record line right after it is recorded (for a test that must
    // change the world while a box is up, as a user would). An empty function removes it.
    static void setRecordObserver(std::function<void(const QString& line)> observer);

    // A line of the wrong kind: logs "error|<what>" and, for the real programs, ends the process
    // with a non-zero status. In-process it is recorded and the caller treats it as a cancel.
    static void wrongKind(const QString& what);

    // Escapes one log field.
    static QString escape(const QString& field);

private:
    static void record(const QStringList& fields, const QStringList& styleFields);
};

} // namespace kivro
