#pragma once
// The media-control wrappers: each builds one or a few command strings, sends them and turns the
// answer into a text or a number. Nothing is remembered between calls: the caller keeps the
// alias, the window handle and any cached length.
//
// Text results are "Success" or the error text of the code the command returned; numeric results
// are -1 when a query failed. A number in a reply is its leading decimal number rounded to the
// nearest whole number, halves to even.
#include <QString>
#include <cstdint>

namespace kivro {

// What the wrappers send through: the platform's media-control interpreter, or a recorder in
// tests (tests/common/MciRecorder.h).
class MciChannel {
public:
    virtual ~MciChannel() = default;
    virtual std::uint32_t mciSendStringA(const QString& command, QString* returnString, std::uint32_t returnLength,
                                         std::int32_t callback)
        = 0;
    virtual bool mciGetErrorStringA(std::uint32_t error, QString* text, std::uint32_t length) = 0;
};

namespace ModuleMultimedia {

// The channel in use; setChannel(nullptr) goes back to the platform's.
MciChannel& channel();
void setChannel(MciChannel* channel);

QString OpenMedia(std::int32_t hWnd, const QString& alias, const QString& filePath, const QString& deviceType);
// An empty `from` plays from 0, an empty `to` to the length in frames.
QString PlayMedia(const QString& alias, const QString& from, const QString& to);
QString CloseMedia(const QString& alias);
QString PauseMedia(const QString& alias);
QString StopMedia(const QString& alias);
QString ResumeMedia(const QString& alias);
// The mode word, or "ERROR".
QString GetMediaMode(const QString& alias);
// Both leave the device counting in frames.
std::int32_t GetMediaLengthFrames(const QString& alias);
std::int32_t GetMediaLengthMs(const QString& alias);
// The result of the seek; the play after it is sent whatever it gives.
QString SeekMediaAndPlay(const QString& alias, std::int32_t position);
std::int32_t GetMediaPosition(const QString& alias);
// A width or height of 0 takes both from the window's rectangle and stores them back.
QString PutMediaWindow(std::int32_t hWnd, const QString& alias, std::int32_t x, std::int32_t y, std::int32_t& width,
                       std::int32_t& height);
std::int32_t GetPercentPlayed(const QString& alias);
std::int32_t GetFramesPerSecond(const QString& alias);
// `which` is "cx" (width) or "cy" (height), in any case; anything else gives -1 unsent.
std::int32_t GetMediaDestinationSize(const QString& alias, const QString& which);
QString SetMediaAudio(const QString& alias, const QString& channel, const QString& state);
// `volume` from 0 to 100; outside that "out of volume", unsent.
QString SetMediaVolume(const QString& alias, const QString& channel, std::int32_t volume);
// In percent of normal speed.
std::int32_t GetMediaSpeed(const QString& alias);
// `cachedLength` 0 fetches the length in frames into it (-1 when that fails, kept from then on).
bool IsMediaAtEnd(const QString& alias, std::int32_t& cachedLength);

// The leading decimal number of a reply, rounded to the nearest whole number (halves to even);
// 0 when the reply does not start with a number.
std::int32_t ReplyNumber(const QString& reply);

} // namespace ModuleMultimedia
} // namespace kivro
