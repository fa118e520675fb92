#include "preview/ModuleMultimedia.h"

#include "platform/MediaControl.h"
#include "platform/WindowHandles.h"

#include <QRect>
#include <cmath>
#include <limits>

namespace kivro::ModuleMultimedia {

namespace {

class PlatformChannel : public MciChannel {
public:
    std::uint32_t mciSendStringA(const QString& command, QString* returnString, std::uint32_t returnLength,
                                 std::int32_t callback) override
    {
        return win::mciSendStringA(command, returnString, returnLength, callback);
    }
    bool mciGetErrorStringA(std::uint32_t error, QString* text, std::uint32_t length) override
    {
        return win::mciGetErrorStringA(error, text, length);
    }
};

MciChannel* gChannel = nullptr;

constexpr std::uint32_t kReplyLength = 128;

// A command without a reply: a dummy buffer of length 0.
std::uint32_t send(const QString& command)
{
    QString dummy;
    return channel().mciSendStringA(command, &dummy, 0, 0);
}

std::uint32_t query(const QString& command, QString* reply)
{
    return channel().mciSendStringA(command, reply, kReplyLength, 0);
}

QString textResult(std::uint32_t code)
{
    if (code == 0)
        return QStringLiteral("Success");
    QString text;
    channel().mciGetErrorStringA(code, &text, kReplyLength);
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

std::int32_t toInt32(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (r > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return std::int32_t(r);
}

// The leading decimal number of a text: blanks, a sign, digits, a point and digits.
double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
    }
    bool ok = false;
    const double v = text.mid(start, i - start).toDouble(&ok);
    return ok ? v : 0.0;
}

std::int32_t numberQuery(const QString& command)
{
    QString reply;
    if (query(command, &reply) != 0)
        return -1;
    return ReplyNumber(reply);
}

} // namespace

MciChannel& channel()
{
    static PlatformChannel platform;
    return gChannel ? *gChannel : platform;
}

void setChannel(MciChannel* c)
{
    gChannel = c;
}

std::int32_t ReplyNumber(const QString& reply)
{
    return toInt32(leadingNumber(reply));
}

QString OpenMedia(std::int32_t hWnd, const QString& alias, const QString& filePath, const QString& deviceType)
{
    QString shortPath;
    win::GetShortPathNameA(filePath, &shortPath);
    return textResult(send(QStringLiteral("open ") + shortPath + QStringLiteral(" type ") + deviceType
                           + QStringLiteral(" Alias ") + alias + QStringLiteral(" parent ") + QString::number(hWnd)
                           + QStringLiteral(" Style ") + QString::number(1073741824)));
}

QString PlayMedia(const QString& alias, const QString& from, const QString& to)
{
    const QString start = from.isEmpty() ? QStringLiteral("0") : from;
    const QString end = to.isEmpty() ? QString::number(GetMediaLengthFrames(alias)) : to;
    return textResult(
        send(QStringLiteral("play ") + alias + QStringLiteral(" from ") + start + QStringLiteral(" to ") + end));
}

QString CloseMedia(const QString& alias)
{
    return textResult(send(QStringLiteral("Close ") + alias));
}

QString PauseMedia(const QString& alias)
{
    return textResult(send(QStringLiteral("Pause ") + alias));
}

QString StopMedia(const QString& alias)
{
    return textResult(send(QStringLiteral("Stop ") + alias));
}

QString ResumeMedia(const QString& alias)
{
    return textResult(send(QStringLiteral("Resume ") + alias));
}

QString GetMediaMode(const QString& alias)
{
    QString reply;
    if (query(QStringLiteral("status ") + alias + QStringLiteral(" mode"), &reply) != 0)
        return QStringLiteral("ERROR");
    return reply;
}

std::int32_t GetMediaLengthFrames(const QString& alias)
{
    send(QStringLiteral("set ") + alias + QStringLiteral(" time format frames"));
    return numberQuery(QStringLiteral("status ") + alias + QStringLiteral(" length"));
}

std::int32_t GetMediaLengthMs(const QString& alias)
{
    send(QStringLiteral("set ") + alias + QStringLiteral(" time format ms"));
    QString reply;
    const std::uint32_t code = query(QStringLiteral("status ") + alias + QStringLiteral(" length"), &reply);
    send(QStringLiteral("set ") + alias + QStringLiteral(" time format frames"));
    return code == 0 ? ReplyNumber(reply) : -1;
}

QString SeekMediaAndPlay(const QString& alias, std::int32_t position)
{
    const std::uint32_t code = send(QStringLiteral("seek ") + alias + QStringLiteral(" to ")
                                    + QString::number(position));
    send(QStringLiteral("Play ") + alias);
    return textResult(code);
}

std::int32_t GetMediaPosition(const QString& alias)
{
    return numberQuery(QStringLiteral("status ") + alias + QStringLiteral(" position"));
}

QString PutMediaWindow(std::int32_t hWnd, const QString& alias, std::int32_t x, std::int32_t y, std::int32_t& width,
                       std::int32_t& height)
{
    if (width == 0 || height == 0) {
        QRect rect;
        win::GetWindowRect(hWnd, &rect);
        width = rect.width();
        height = rect.height();
    }
    return textResult(send(QStringLiteral("put ") + alias + QStringLiteral(" window at ") + QString::number(x)
                           + QLatin1Char(' ') + QString::number(y) + QLatin1Char(' ') + QString::number(width)
                           + QLatin1Char(' ') + QString::number(height)));
}

std::int32_t GetPercentPlayed(const QString& alias)
{
    const std::int32_t length = GetMediaLengthFrames(alias);
    const std::int32_t position = GetMediaPosition(alias);
    if (length == -1 || position == -1)
        return -1;
    const std::int64_t product = std::int64_t(position) * 100;
    if (length == 0 || product > std::numeric_limits<std::int32_t>::max()
        || product < std::numeric_limits<std::int32_t>::min())
        return 0;
    return toInt32(double(product) / double(length));
}

std::int32_t GetFramesPerSecond(const QString& alias)
{
    const std::int32_t ms = GetMediaLengthMs(alias);
    const std::int32_t frames = GetMediaLengthFrames(alias);
    if (frames == -1 || ms == -1)
        return -1;
    if (ms == 0)
        return 0;
    return toInt32(double(frames) / (double(ms) / 1000.0));
}

std::int32_t GetMediaDestinationSize(const QString& alias, const QString& which)
{
    const QString w = which.toLower();
    if (w != QLatin1String("cx") && w != QLatin1String("cy"))
        return -1;
    QString reply;
    if (query(QStringLiteral("Where ") + alias + QStringLiteral(" destination"), &reply) != 0)
        return -1;
    const qsizetype first = reply.indexOf(QLatin1Char(' '));
    const qsizetype second = first < 0 ? -1 : reply.indexOf(QLatin1Char(' '), first + 1);
    const qsizetype third = second < 0 ? -1 : reply.indexOf(QLatin1Char(' '), second + 1);
    if (third < 0)
        return -1;
    if (w == QLatin1String("cx"))
        return ReplyNumber(reply.mid(second, third - second));
    return ReplyNumber(reply.mid(third + 1));
}

QString SetMediaAudio(const QString& alias, const QString& channelName, const QString& state)
{
    return textResult(
        send(QStringLiteral("set ") + alias + QStringLiteral(" audio ") + channelName + QLatin1Char(' ') + state));
}

QString SetMediaVolume(const QString& alias, const QString& channelName, std::int32_t volume)
{
    if (volume < 0 || volume > 100)
        return QStringLiteral("out of volume");
    const QString v = QString::number(volume * 10);
    const QString c = channelName.toLower();
    if (c == QLatin1String("left") || c == QLatin1String("right"))
        return textResult(send(QStringLiteral("setaudio ") + alias + QLatin1Char(' ') + channelName
                               + QStringLiteral(" Volume to ") + v));
    return textResult(send(QStringLiteral("setaudio ") + alias + QStringLiteral(" Volume to ") + v));
}

std::int32_t GetMediaSpeed(const QString& alias)
{
    QString reply;
    if (query(QStringLiteral("status ") + alias + QStringLiteral(" speed"), &reply) != 0)
        return -1;
    return toInt32(leadingNumber(reply) / 10.0);
}

bool IsMediaAtEnd(const QString& alias, std::int32_t& cachedLength)
{
    if (cachedLength == 0)
        cachedLength = GetMediaLengthFrames(alias);
    const std::int32_t position = GetMediaPosition(alias);
    if (cachedLength == -1 || position == -1)
        return false;
    return position >= cachedLength;
}

} // namespace kivro::ModuleMultimedia
