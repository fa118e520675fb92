#pragma once
// Small text and path helpers the whole program uses (the engine, the main window, the pack-list
// window and the option dialogs), and the file-type filter store in the settings.
//
// Paths use "/". Widths are whole twips: whole pixels of the text in "Arial" 8.25 pt times 15,
// so that width comparisons between names compare equal values.
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <functional>

namespace kivro {

// Work strings of inverse_string (empty at start).
extern QString gInverseSource;
extern QString gInverseResult;

// 1-based position of the last occurrence of `pattern` in `txt` (exact, case-sensitive;
// overlapping occurrences count, so "aa" in "aaa" is at 2); 0 when there is none or when
// `pattern` is empty.
std::int32_t LastInStr(const QString& txt, const QString& pattern);

// `searchstring` with every occurrence of `findstring` replaced by `replacestring`, in one
// left-to-right pass over non-overlapping occurrences (the scan resumes after each inserted
// text, so a replacement that contains the searched text is never scanned again). An empty
// `findstring`, or a text without it, comes back unchanged. The first form also rewrites its
// argument, as callers that keep the text expect.
QString replaceall(QString& searchstring, const QString& findstring, const QString& replacestring);
QString replaceall(const QString& searchstring, const QString& findstring, const QString& replacestring);

// gInverseResult becomes gInverseSource reversed.
void inverse_string();

// The root "/" already ends in "/", and Linux has no bare drive names: the path comes back
// unchanged ("/t" stays "/t").
QString AddSlash(const QString& Path);

// Width of a text in whole twips, as drawn in "Arial" 8.25 pt (the font of the labels and of
// the pack list).
using TextWidthFunction = std::function<std::int32_t(const QString&)>;
std::int32_t TextWidthTwips(const QString& text);

// Sets `result` to `path` shortened until it fits `maxWidth` twips: the head of the path is cut
// from the right and joined to ".../" and the last component, so a long path keeps its first
// folders and its last component whole. When the last component alone is too wide (or the path
// has no "/"), the whole path is cut from the right and ended with "..."; when even an empty
// head does not fit beside ".../" and the last component, the result is ".../" and the last
// component. `result` is always set. `measure` gives the width of a text (TextWidthTwips unless
// a test injects another).
void FormatDir(const QString& path, QString& result, std::int32_t maxWidth);
void FormatDir(const QString& path, QString& result, std::int32_t maxWidth, const TextWidthFunction& measure);

// What refresh_filesel_lst reads of the browser's file list (File1).
class FileListSource {
public:
    virtual ~FileListSource() = default;
    virtual int ListCount() const = 0;
    virtual QString List(int index) const = 0;
    virtual bool Selected(int index) const = 0;
};

// Rebuilds the selection mirror `filesel_lst` from File1: the names of the selected entries, in
// list order (empty when File1 is empty or nothing is selected).
void refresh_filesel_lst(const FileListSource& File1, QStringList& filesel_lst);

// --- file-type filter store ---------------------------------------------------------------------
// [General] fCheck = "fPass" once the defaults were written; NoOfFilter = count N in decimal.
// [Filter] "1".."N" = pattern lists ("*.mpg,*.mpeg,*.mpe"); [FilterInfo] "1".."N" = descriptions.

inline const QString kFilterStoreDamagedText = QStringLiteral(
    "Your custom FileType information is tampered or deleted. Default FileType is replaced.");

struct FileFilter {
    int number = 0;      // the value name it was read under (1-based)
    QString description; // "Mpeg"
    QString patterns;    // "*.mpg,*.mpeg,*.mpe"
    // "Mpeg (*.mpg,*.mpeg,*.mpe)"
    QString displayForm() const;
    // The pattern list as a file list or dialog takes it: "," replaced by ";".
    QString listPatterns() const;
};

// Writes the three default filters: fCheck "fPass", NoOfFilter "3", both sub-keys deleted and
// written afresh (so nothing of an earlier, longer list is left). Reports nothing.
void ResetFileFilter();

// What a reader of the store found.
struct FileFilterStore {
    // The count text after the repair and the gap rule, as readers write it back.
    QString count;
    // The entries in stored order, gaps (description and pattern list both empty) skipped.
    QVector<FileFilter> entries;
    // True when the count was empty or "0" and the defaults were written after the message.
    bool repaired = false;
    // True when a gap had to lower a count text that is not a plain decimal number (the count
    // is then left as it was); the custom filter editor ends its load there.
    bool countNotNumber = false;
};

// Reads the store as every reader does: a count that is empty or "0" shows
// kFilterStoreDamagedText (exclamation, OK, top-most; answer in gMsgResult), runs
// ResetFileFilter and goes on with "3"; then entries 1 to the number the count text starts with
// (at most 32,767) are read, and every gap lowers the count by one. Writes nothing back.
FileFilterStore ReadFileFilterStore();

// Stores `filters` as the whole list, with no gaps: NoOfFilter = their number, both sub-keys
// deleted, then for each filter i (from 1) its pattern list and its description written under
// "i", exactly as given. Returns the display forms of the values read back, in stored order.
QStringList WriteFileFilterStore(const QVector<FileFilter>& filters);

// The number a text starts with (leading blanks skipped, optional sign, digits and one decimal
// point), rounded to a whole number, halves to even; 0 when it starts with none.
std::int64_t LeadingNumber(const QString& text);

} // namespace kivro
