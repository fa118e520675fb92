#pragma once
// The media-control command strings, interpreted by our own small device over Qt Multimedia.
//
// A command is one line of blank-separated words (a word may be enclosed in double quotes):
// a verb, the device's alias and the verb's keywords. Verbs, keywords and aliases ignore case.
//
//   open FILE [type MPEGVideo|AviVideo] [alias A] [parent H] [style S]
//       Synchronous: it returns once the first picture is decoded (at most 5 s, see
//       setOpenWaitLimitMs), holding back user input while timers keep running. FILE must be an
//       existing regular file. The picture is a video widget, a child of the window registered
//       as H (see WindowHandles.h), showing the whole picture stretched to its rectangle. A
//       failed open leaves nothing open. Where the media framework cannot build a player (see
//       MediaFramework.h) every open of an existing file fails with kNotMedia at once, and no
//       Qt Multimedia object is made.
//   close A | stop A (pauses in place) | pause A | resume A (plays on from paused or stopped)
//   play A [from F] [to T]    asynchronous; needs 0 <= F <= T <= length; ends stopped on T
//   seek A to P               leaves the device stopped at P
//   status A mode|length|position|speed
//   set A time format frames|ms|milliseconds       (frames need pictures)
//   set A audio all on|off
//   setaudio A volume to V    V from 0 to 1000, linear
//   where A destination       "left top width height"
//   put A window at X Y W H   places the picture inside its parent window
//
// Positions and lengths are in the device's time format (milliseconds after open). The frame
// rate and the natural size come from the first picture; positions count from the position the
// media reports once loaded, and the length is the duration it reports then. At the end of the
// media the device stops with its position at the length.
//
// The answers are the classic numeric error codes (0 for success) listed below.
#include <QString>
#include <cstdint>

class QMediaPlayer;

namespace kivro::win {

using MCIERROR = std::uint32_t;

namespace mcierr {
inline constexpr MCIERROR kBase = 256;
inline constexpr MCIERROR kUnknownKeyword = kBase + 3;     // 259
inline constexpr MCIERROR kUnknownVerb = kBase + 5;        // 261
inline constexpr MCIERROR kNotOpen = kBase + 7;            // 263: no device has that alias
inline constexpr MCIERROR kNoSuchDevice = kBase + 10;      // 266: device type not available
inline constexpr MCIERROR kEmptyCommand = kBase + 11;      // 267
inline constexpr MCIERROR kReplyTooLong = kBase + 12;      // 268
inline constexpr MCIERROR kBadInteger = kBase + 14;        // 270
inline constexpr MCIERROR kMissingValue = kBase + 17;      // 273
inline constexpr MCIERROR kUnsupported = kBase + 18;       // 274
inline constexpr MCIERROR kFileNotFound = kBase + 19;      // 275
inline constexpr MCIERROR kOutOfRange = kBase + 26;        // 282
inline constexpr MCIERROR kAliasInUse = kBase + 33;        // 289
inline constexpr MCIERROR kBadConstant = kBase + 34;       // 290
inline constexpr MCIERROR kMissingDeviceName = kBase + 36; // 292
inline constexpr MCIERROR kBadTimeFormat = kBase + 37;     // 293: no frames without pictures
inline constexpr MCIERROR kNoClosingQuote = kBase + 38;    // 294
inline constexpr MCIERROR kNotMedia = kBase + 40;          // 296
inline constexpr MCIERROR kNoWindow = kBase + 90;          // 346: parent is not a window
} // namespace mcierr

// Runs one command. A reply (status, where) goes to `*returnString` when it fits a buffer of
// `returnLength` characters with its terminating NUL (else kReplyTooLong); a command without a
// reply leaves `*returnString` empty. `callback` (the notification window) is not used: no
// command notifies.
MCIERROR mciSendStringA(const QString& command, QString* returnString, std::uint32_t returnLength,
                        std::int32_t callback);

// The text of an error code, at most `length` - 1 characters. False (and an empty text) for a
// number that is no error code of this layer.
bool mciGetErrorStringA(MCIERROR error, QString* text, std::uint32_t length);

// The form of a path to put in a command: the path itself, in double quotes when it holds a
// blank. Empty (and 0 returned) when the path is not an existing regular file or holds a double
// quote. Returns the length of `*shortPath`.
std::uint32_t GetShortPathNameA(const QString& longPath, QString* shortPath);

// Sets the wait limit of open (5,000 ms). Tests on a heavily loaded machine may raise it.
void setOpenWaitLimitMs(int ms);

// The player behind an open device (nullptr when the alias is not open), for tests and
// diagnostics: its video output is the device's video widget, its audio output the device's.
QMediaPlayer* mciDevicePlayer(const QString& alias);

} // namespace kivro::win
