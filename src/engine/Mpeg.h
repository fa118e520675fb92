#pragma once
// The MPEG video sequence header: finding the first one in a file, reading picture size and frame
// rate from it, the compatibility signature of the pack check, the MPEG information of the file
// chosen in the browser, and the EMH header that makes every piece of a split playable alone.
//
// All three routines find the header with the same scan: the file is read from its start in
// 32,768-byte blocks and searched for the start code 00 00 01 B3, also across block boundaries,
// over at most 32,767 blocks. Every read goes through the main window's File64 object.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kivro {

class MainWindowLink;

constexpr std::int32_t kMpegScanBlockSize = 32768;
constexpr std::int32_t kMpegScanMaxBlocks = 32767;
// The scan covers 32,767 blocks: start codes that begin beyond this offset are not looked for
// (one that begins exactly here still is, found by the read across the last block's end).
constexpr std::int64_t kMpegScanLimit = std::int64_t(kMpegScanBlockSize) * kMpegScanMaxBlocks;
// The EMH header holds this many bytes from the start code on.
constexpr std::int32_t kEmhBytesAfterStartCode = 5600;

// The fields of a sequence header that the program uses.
struct MpegSequenceHeader {
    int width = 0;    // 12 bits
    int height = 0;   // 12 bits
    int rateCode = 0; // 4 bits
};

// --- pure parts -------------------------------------------------------------------------------

// Offset of the first 00 00 01 B3 in data[0, size), or -1. Runs at memory speed.
std::int64_t FindMpegStartCode(const char* data, std::size_t size);

// The four bytes after the start code: width (12 bits), height (12 bits), aspect code (4 bits,
// unused), frame-rate code (4 bits).
MpegSequenceHeader DecodeMpegHeader(const unsigned char bytes[4]);

// The frame rate of a rate code as text: 23.976, 24, 25, 29.97, 30, 50, 59.94, 60 for the codes
// 1 to 8, the code itself for any other; with the decimal separator of the current locale.
QString MpegRateText(int rateCode);

// width + "," + height + "," + rate text, for example "352,240,29.97".
QString MpegSignature(const MpegSequenceHeader& header);

// A length in milliseconds as seconds in the pattern "#.###" with "." as the decimal point
// whatever the locale: at most three decimals, "125." for whole seconds, ".5" below one second.
QString FormatLengthSeconds(std::int64_t milliseconds);

// "hh:mm:ss:sixtieths" of a length in seconds given as "#.###" gives it ("125.5", "3725.",
// ".5"; a text without "." is whole seconds). The sixtieths are the fraction times 60 rounded
// half away from zero, without carry (".999" gives 60). Raises error 13 for a text that is not
// such a number and 6 for more whole seconds than fit 64 bits.
QString FormatDuration(const QString& secondsText);

// --- routines of the main window --------------------------------------------------------------

// Offset of the first start code in the file (first `maxBlocks` blocks only), or nothing.
// Raises 13 when the file cannot be opened (File64 has shown its message) and the mapped error
// number when a read fails. Leaves the mouse pointer alone.
std::optional<std::int64_t> ScanMpegStartCode(MainWindowLink& form, const QString& path,
                                              std::int32_t maxBlocks = kMpegScanMaxBlocks);

// The pack's compatibility check of one file: records the first file's signature in Mcheck_Lst
// and clears gMpegCompatible when a later one differs; a file without a sequence header clears
// gMpegValid after asking whether to go on (Yes sets gIgnoreMpegErrors). Failures are raised to
// the pack's handler.
void CheckMpegFile(MainWindowLink& form, const QString& path, QStringList& Mcheck_Lst);

// Picture size and frame rate of the file chosen in the browser: into the two information labels
// (showBox false) or in the information box (showBox true). A file without a readable sequence
// header shows "Not Available" in both labels and disables MoreInfo_Cmd. Never raises.
void ShowMpegInfo(MainWindowLink& form, const QString& path, bool showBox);
// "Not Available" in both information labels, MoreInfo_Cmd disabled, gMpegInfoAvailable false.
void ShowMpegInfoNotAvailable(MainWindowLink& form);

// Left by EmbedMpegHeader for the unpack run: header length + 1 (the 1-based position in the
// piece where the piece's own data begins), and whether the header went into this piece.
extern std::int32_t gEmhDataStart;
extern bool gEmhHeaderWritten;

// Writes the source's first (start-code offset + 5,600) bytes, zero-padded when the source is
// shorter, at the start of the piece when pieceCounter > 0 or splitModeLast is set; sets
// gEmhDataStart and gEmhHeaderWritten. A source without a header gets the message
// "'<source>' MPEG header not found." and nothing is written; the result is then false, so that
// the caller can write the source's other pieces without asking again. The header is copied in
// blocks, never held whole in memory; the start code is remembered per source file, so the pieces
// of one source scan it once. A piece that cannot be opened raises 75, a failed read or write the
// mapped error number (75 for a full disk), with both files closed again first.
bool EmbedMpegHeader(MainWindowLink& form, const QString& sourcePath, const QString& piecePath,
                     std::int64_t pieceCounter, bool splitModeLast);

// The length of the EMH header of the source (start-code offset + 5,600), or nothing when it has
// no sequence header; the scan is remembered for the EmbedMpegHeader calls that follow. Raises 13
// when the file cannot be opened (File64 has shown its message).
std::optional<std::int64_t> EmhHeaderLength(MainWindowLink& form, const QString& sourcePath);

} // namespace kivro
