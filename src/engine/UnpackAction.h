#pragma once
// Unpack: splits every file of the pack list, in list order, into numbered pieces, optionally
// zipping each source first, giving every piece a playable MPEG start (EMH) and writing a join
// batch file per source. The action runs to its end inside the Unpack click on the one GUI
// thread; progress, cancel and the busy state are the action frame's.
//
// Before anything is written the run checks every source (no empty file, big enough for the
// piece size), the free space of every file system it writes to, and every name it will write:
// no archive, piece or batch file may be a listed source, and no two sources may write the same
// names. Every write is checked: a failed one asks "Cannot overwrite" with Retry and Cancel, and
// Retry writes the same block again at the same place.
#include "engine/ActionOptions.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

namespace kivro {

class ActionFrame;
class MainWindowLink;

// What the run split for pack-list entry k: the source itself or its zip archive, and the
// File64 handle it read through (kept open until that source is finished).
extern QStringList gSourcePaths;
extern QVector<std::int32_t> gSourceHandles;

// The piece size and split mode of a run.
struct SplitSettings {
    std::int64_t unpackSize = 0; // gUnpackSize: piece size in bytes
    std::int32_t files = 0;      // gSplitFiles: number of pieces
    std::int32_t percent = 0;    // gSplitPercent
    bool modeFiles = false;
    bool modePercent = false;
    bool modeFirst = false;
    bool modeLast = false;
    bool onePiece() const { return modeFirst || modeLast; }
};
// The settings in force now (the globals of the piece-size menus and the custom size dialog).
SplitSettings CurrentSplitSettings();

// How a file of S bytes is cut.
struct PiecePlan {
    std::int64_t pieceSize = 0;   // P; 0 when no piece can be made
    std::int64_t fullPieces = 0;  // C: pieces of P bytes (1 in the first-part and last-part modes)
    std::int64_t remainder = 0;   // R: the bytes of the remainder piece, when it is written
    int digits = 3;               // width of the piece numbers (at least three)
    std::int64_t firstOffset = 0; // where reading starts: S - P in the last-part mode, else 0
    std::int64_t pieceCount() const { return fullPieces + (remainder > 0 ? 1 : 0); }
};
// P by mode: the size setting; q + r of S in n (q = Int(S / n), r = S - q * n); Int(S * (p / 100))
// with p / 100 taken first as a double; then C = Int(S / P) and R = S - C * P, except that the
// first-part and last-part modes make one piece and never a remainder. The digits are those of
// Int(S / P) + 1 in every mode. S must be positive.
PiecePlan PlanPieces(std::int64_t S, const SplitSettings& settings);
// Int(S * (percent / 100)), the percentage taken first as a double.
std::int64_t PercentPieceSize(std::int64_t S, std::int32_t percent);
// The smallest file size whose percentage piece is at least one byte.
std::int64_t SmallestPercentSource(std::int32_t percent);
// n with leading zeros to `digits` places ("001", "0999").
QString FormatPieceNumber(std::int64_t n, int digits);

// The stem every piece name of a source starts with: the save-as text, the file that is split
// (beside itself), or the custom folder joined with the split file's name.
QString PieceStem(UnpackTarget target, const QString& saveAsText, const QString& splitFile, const QString& customDir);
// stem + "." + the piece number, + ".mpg" for EMH pieces.
QString PieceName(const QString& stem, std::int64_t n, int digits, bool emh);

// The action (UnpackImg_Click): acts only when the window is not busy and gActionArmed is set.
void RunUnpack(MainWindowLink& form, ActionFrame& frame);

} // namespace kivro
