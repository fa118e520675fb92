#include "platform/MediaControl.h"

#include "platform/MediaFramework.h"
#include "platform/WindowHandles.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMediaPlayer>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace kivro::win {

using namespace mcierr;

namespace {

int gOpenWaitLimitMs = 5000;

struct ErrorText {
    MCIERROR code;
    const char* text;
};

const ErrorText kErrorTexts[] = {
    {kUnknownKeyword, "The command holds a word that this device does not understand."},
    {kUnknownVerb, "The command does not start with a media-control command."},
    {kNotOpen, "No media device is open under that name."},
    {kNoSuchDevice, "There is no media device of that type."},
    {kEmptyCommand, "The command is empty."},
    {kReplyTooLong, "The answer does not fit into the reply buffer."},
    {kBadInteger, "A whole number was expected."},
    {kMissingValue, "A word of the command needs a value after it."},
    {kUnsupported, "The media device cannot do that."},
    {kFileNotFound, "The media file was not found."},
    {kOutOfRange, "The value is outside the range of the media."},
    {kAliasInUse, "A media device is already open under that name."},
    {kBadConstant, "A value of the command is not one of its choices."},
    {kMissingDeviceName, "The command does not name a media device."},
    {kBadTimeFormat, "This media has no pictures, so it cannot count in frames."},
    {kNoClosingQuote, "A quoted word of the command has no closing quote."},
    {kNotMedia, "The file is not a media file that this device can play."},
    {kNoWindow, "The parent window of the picture does not exist."},
};

// Splits a command into words: blanks separate them, double quotes enclose one.
MCIERROR splitWords(const QString& command, QStringList* words)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype i = 0;
    const qsizetype n = command.size();
    for (;;) {
        while (i < n && isBlank(command[i]))
            ++i;
        if (i >= n)
            return 0;
        if (command[i] == QLatin1Char('"')) {
            const qsizetype end = command.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0)
                return kNoClosingQuote;
            words->append(command.mid(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const qsizetype start = i;
            while (i < n && !isBlank(command[i]))
                ++i;
            words->append(command.mid(start, i - start));
        }
    }
}

// A decimal whole number that fits 32 bits.
std::optional<qint64> wholeNumber(const QString& word)
{
    if (word.isEmpty() || word.startsWith(QLatin1Char('+')))
        return std::nullopt;
    bool ok = false;
    const qint64 v = word.toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return v;
}

class Device {
public:
    enum class Mode { Stopped, Playing, Paused };

    ~Device() { close(); }

    // Loads the file and waits for its first picture. 0 or an error code.
    MCIERROR load(const QString& path, QWidget* parent)
    {
        m_player = std::make_unique<QMediaPlayer>();
        m_audio = new QAudioOutput(m_player.get());
        m_player->setAudioOutput(m_audio);
        const QList<QWindow*> before = QGuiApplication::allWindows();
        m_video = new QVideoWidget(parent);
        // The widget draws through a window of its own, which draws a picture only when one
        // arrives. The picture of the open arrives before that window is first exposed on the
        // screen, so the picture is decoded again each time it is.
        for (QWindow* w : QGuiApplication::allWindows()) {
            if (!before.contains(w))
                w->installEventFilter(&m_exposeWatch);
        }
        m_video->setAspectRatioMode(Qt::IgnoreAspectRatio);
        m_video->hide();
        m_player->setVideoOutput(m_video.data());

        QVideoFrame first;
        bool done = false;
        bool failed = false;
        QEventLoop loop;
        const auto finish = [&](bool ok) {
            if (done)
                return;
            done = true;
            failed = !ok;
            loop.quit();
        };
        const auto check = [&] {
            const QMediaPlayer::MediaStatus status = m_player->mediaStatus();
            if (status == QMediaPlayer::InvalidMedia || m_player->error() != QMediaPlayer::NoError) {
                finish(false);
                return;
            }
            const bool loaded = status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferingMedia
                                || status == QMediaPlayer::BufferedMedia || status == QMediaPlayer::EndOfMedia;
            if (loaded && (!m_player->hasVideo() || first.isValid()))
                finish(true);
        };
        QObject::connect(m_video->videoSink(), &QVideoSink::videoFrameChanged, &loop, [&](const QVideoFrame& frame) {
            if (frame.isValid() && !first.isValid()) {
                first = frame;
                check();
            }
        });
        QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, &loop, check);
        QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, &loop, [&] { finish(false); });
        QTimer::singleShot(gOpenWaitLimitMs, &loop, [&] { finish(false); });

        m_player->setSource(QUrl::fromLocalFile(path));
        m_player->pause();
        check();
        if (!done)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (failed || (!m_player->hasVideo() && !m_player->hasAudio()))
            return kNotMedia;

        if (first.isValid()) {
            m_rate = first.surfaceFormat().frameRate();
            m_natural = m_video->videoSink()->videoSize();
            if (m_natural.isEmpty())
                m_natural = first.size();
        }
        m_origin = m_player->position();
        m_pictureAt = m_origin;
        m_length = std::max<qint64>(0, m_player->duration());
        m_destination = QRect(QPoint(0, 0), m_natural);
        m_video->setGeometry(m_destination);
        if (parent && first.isValid())
            m_video->show();

        m_watch.setInterval(10);
        QObject::connect(&m_watch, &QTimer::timeout, [this] { followPlay(); });
        m_settle.setSingleShot(true);
        m_settle.setInterval(200);
        QObject::connect(&m_settle, &QTimer::timeout, [this] { settlePicture(); });
        // The end of the media, or a stream that cannot go on (an MPEG program stream near its
        // end), ends a play at its last position.
        QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, [this](QMediaPlayer::MediaStatus s) {
            if (s == QMediaPlayer::EndOfMedia)
                endOfStream();
        });
        QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, [this] { endOfStream(); });
        return 0;
    }

    void close()
    {
        m_watch.stop();
        m_settle.stop();
        if (m_player)
            m_player->setVideoOutput(static_cast<QObject*>(nullptr));
        delete m_video.data();
        m_player.reset();
    }

    QMediaPlayer* player() const { return m_player.get(); }
    bool hasPictures() const { return m_rate > 0; }

    // Time-format units <-> milliseconds.
    qint64 units(qint64 ms) const { return m_frames ? std::llround(double(ms) * m_rate / 1000.0) : ms; }
    qint64 toMs(qint64 units) const
    {
        const qint64 ms = m_frames ? std::llround(double(units) * 1000.0 / m_rate) : units;
        return std::clamp<qint64>(ms, 0, m_length);
    }
    qint64 lengthUnits() const { return units(m_length); }
    qint64 positionMs() const
    {
        if (m_mode != Mode::Playing)
            return m_position;
        return std::clamp(m_player->position() - m_origin, m_from, m_to.value_or(m_length));
    }

    QString modeWord() const
    {
        switch (m_mode) {
        case Mode::Playing:
            return QStringLiteral("playing");
        case Mode::Paused:
            return QStringLiteral("paused");
        case Mode::Stopped:
            break;
        }
        return QStringLiteral("stopped");
    }

    MCIERROR setFrames(bool frames)
    {
        if (frames && !hasPictures())
            return kBadTimeFormat;
        m_frames = frames;
        return 0;
    }

    MCIERROR play(std::optional<qint64> fromUnits, std::optional<qint64> toUnits)
    {
        const qint64 from = fromUnits.value_or(units(positionMs()));
        const qint64 to = toUnits.value_or(lengthUnits());
        if (from < 0 || from > to || to > lengthUnits())
            return kOutOfRange;
        const qint64 fromMs = fromUnits ? toMs(from) : positionMs();
        const qint64 toMsValue = toMs(to);
        if (fromMs >= toMsValue) {
            stopAt(toMsValue);
            return 0;
        }
        if (m_mode != Mode::Playing || fromUnits)
            m_player->setPosition(m_origin + fromMs);
        startPlaying(fromMs, toMsValue);
        return 0;
    }

    void stop(Mode mode)
    {
        if (m_mode == Mode::Playing) {
            const qint64 at = positionMs();
            m_watch.stop();
            m_player->pause();
            m_position = at;
            m_mode = mode;
        } else if (mode == Mode::Stopped) {
            m_mode = Mode::Stopped;
        }
    }

    void resume()
    {
        if (m_mode == Mode::Playing)
            return;
        const qint64 end = m_to && m_position < *m_to ? *m_to : m_length;
        if (m_position >= end) {
            m_mode = Mode::Stopped;
            return;
        }
        startPlaying(m_position, end);
    }

    MCIERROR seek(qint64 to)
    {
        if (to < 0 || to > lengthUnits())
            return kOutOfRange;
        m_to.reset();
        stopAt(toMs(to));
        return 0;
    }

    void setMuted(bool muted) { m_audio->setMuted(muted); }
    void setVolume(int volume) { m_audio->setVolume(float(volume) / 1000.0f); }

    QRect destination() const { return m_destination; }
    void place(const QRect& rect)
    {
        m_destination = rect;
        if (m_video)
            m_video->setGeometry(rect);
    }

private:
    void startPlaying(qint64 fromMs, qint64 toMs)
    {
        m_from = fromMs;
        m_to = toMs;
        m_mode = Mode::Playing;
        m_settle.stop();
        m_player->play();
        m_watch.start();
    }

    // Ends a play on its last position: the picture of that position, the device stopped.
    void followPlay()
    {
        if (m_mode != Mode::Playing)
            return;
        const qint64 end = m_to.value_or(m_length);
        if (m_player->position() - m_origin >= end)
            stopAt(end);
    }

    void endOfStream()
    {
        if (m_mode == Mode::Playing)
            stopAt(m_to.value_or(m_length));
    }

    void stopAt(qint64 ms)
    {
        m_watch.stop();
        m_mode = Mode::Stopped;
        m_position = ms;
        m_player->pause();
        // The last picture starts before the end of the media: show that one at the end. The
        // player refuses positions beyond its duration.
        const qint64 last = std::max<qint64>(0, std::min(m_origin + m_length, m_player->duration()) - 1);
        m_pictureAt = std::min(m_origin + ms, last);
        m_player->setPosition(m_pictureAt);
        m_settleTries = 5;
        m_settle.start();
    }

    // A seek that meets the pipeline while it is still pausing can leave the picture of the
    // moment the play was caught on the screen: seek again (1 ms further, inside the same
    // picture, so that the player does not take it for the position it already has) until the
    // picture shown is the one of the position. MPEG program streams seek only roughly, so the
    // tries are few.
    void settlePicture()
    {
        if (m_mode == Mode::Playing || !m_video || !hasPictures() || m_settleTries <= 0)
            return;
        const QVideoFrame frame = m_video->videoSink()->videoFrame();
        const qint64 at = m_pictureAt * 1000;
        if (frame.isValid() && frame.startTime() <= at
            && (frame.endTime() <= frame.startTime() || at < frame.endTime()))
            return;
        --m_settleTries;
        // A play that ran into the end of the stream leaves the player stopped with no picture:
        // it pauses again to decode one.
        if (m_player->playbackState() != QMediaPlayer::PausedState)
            m_player->pause();
        m_nudge = 1 - m_nudge;
        m_player->setPosition(m_pictureAt + m_nudge);
        m_settle.start();
    }

    // Has the picture decoded again once the video window has been exposed (a burst of
    // exposures gives one new picture).
    class ExposeWatch : public QObject {
    public:
        explicit ExposeWatch(Device& device) : m_device(device)
        {
            m_settle.setSingleShot(true);
            m_settle.setInterval(50);
            QObject::connect(&m_settle, &QTimer::timeout, this, [this] { m_device.redrawPicture(); });
        }

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
                m_settle.start();
            return false;
        }

    private:
        Device& m_device;
        QTimer m_settle;
    };

    // The window draws a picture only when a new one arrives (not the one it already has): while
    // the device stands, the player decodes the picture of its place once more (1 ms further,
    // inside the same picture, so that it does not take it for the place it already has).
    void redrawPicture()
    {
        if (!m_player || !m_video || m_mode == Mode::Playing)
            return;
        m_nudge = 1 - m_nudge;
        m_player->setPosition(m_pictureAt + m_nudge);
    }

    ExposeWatch m_exposeWatch{*this};
    std::unique_ptr<QMediaPlayer> m_player;
    QAudioOutput* m_audio = nullptr;
    QPointer<QVideoWidget> m_video;
    QTimer m_watch;
    QTimer m_settle;
    qint64 m_pictureAt = 0;
    int m_settleTries = 0;
    int m_nudge = 0;
    double m_rate = 0.0;
    QSize m_natural{0, 0};
    QRect m_destination;
    qint64 m_origin = 0;
    qint64 m_length = 0;
    bool m_frames = false;
    Mode m_mode = Mode::Stopped;
    qint64 m_position = 0;
    qint64 m_from = 0;
    std::optional<qint64> m_to;
};

QHash<QString, Device*>& devices()
{
    static QHash<QString, Device*> open;
    return open;
}

MCIERROR openCommand(const QStringList& w)
{
    if (w.size() < 2)
        return kMissingDeviceName;
    const QString element = w[1];
    QString type;
    QString alias;
    std::optional<qint64> parent;
    for (qsizetype i = 2; i < w.size(); i += 2) {
        const QString key = w[i].toLower();
        if (key != QLatin1String("type") && key != QLatin1String("alias") && key != QLatin1String("parent")
            && key != QLatin1String("style"))
            return kUnknownKeyword;
        if (i + 1 >= w.size())
            return kMissingValue;
        const QString value = w[i + 1];
        if (key == QLatin1String("type")) {
            type = value.toLower();
        } else if (key == QLatin1String("alias")) {
            alias = value;
        } else {
            const std::optional<qint64> n = wholeNumber(value);
            if (!n)
                return kBadInteger;
            if (key == QLatin1String("parent"))
                parent = n;
        }
    }
    if (!type.isEmpty() && type != QLatin1String("mpegvideo") && type != QLatin1String("avivideo"))
        return kNoSuchDevice;
    const QString name = (alias.isEmpty() ? element : alias).toLower();
    if (devices().contains(name))
        return kAliasInUse;
    QWidget* parentWidget = nullptr;
    if (parent) {
        parentWidget = WindowFromHandle(HWND(*parent));
        if (!parentWidget)
            return kNoWindow;
    }
    const QFileInfo file(element);
    if (!file.exists())
        return kFileNotFound;
    if (!file.isFile())
        return kNotMedia;
    // Without a framework that can build a player, no file can be played.
    if (!MediaPlayerBuildable())
        return kNotMedia;

    auto device = std::make_unique<Device>();
    if (const MCIERROR err = device->load(file.absoluteFilePath(), parentWidget))
        return err;
    if (devices().contains(name)) // opened under the same name while this one was loading
        return kAliasInUse;
    devices().insert(name, device.release());
    return 0;
}

bool is(const QStringList& w, qsizetype i, const char* word)
{
    return i < w.size() && w[i].compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// The words from `at` on must be exactly `keywords` followed by one whole number.
MCIERROR keywordsAndNumber(const QStringList& w, qsizetype at, std::initializer_list<const char*> keywords,
                           qint64* value)
{
    for (const char* keyword : keywords) {
        if (at >= w.size())
            return kMissingValue;
        if (!is(w, at++, keyword))
            return kUnknownKeyword;
    }
    if (at >= w.size())
        return kMissingValue;
    if (at + 1 < w.size())
        return kUnknownKeyword;
    const std::optional<qint64> v = wholeNumber(w[at]);
    if (!v)
        return kBadInteger;
    *value = *v;
    return 0;
}

MCIERROR deviceCommand(const QString& verb, const QStringList& w, QString* reply)
{
    Device* d = devices().value(w[1].toLower());
    if (!d)
        return kNotOpen;
    const qsizetype n = w.size();

    if (verb == QLatin1String("close")) {
        if (n > 2)
            return kUnknownKeyword;
        devices().remove(w[1].toLower());
        delete d;
        return 0;
    }
    if (verb == QLatin1String("stop") || verb == QLatin1String("pause") || verb == QLatin1String("resume")) {
        if (n > 2)
            return kUnknownKeyword;
        if (verb == QLatin1String("resume"))
            d->resume();
        else
            d->stop(verb == QLatin1String("stop") ? Device::Mode::Stopped : Device::Mode::Paused);
        return 0;
    }
    if (verb == QLatin1String("play")) {
        std::optional<qint64> from;
        std::optional<qint64> to;
        for (qsizetype i = 2; i < n; i += 2) {
            const QString key = w[i].toLower();
            if (key != QLatin1String("from") && key != QLatin1String("to"))
                return kUnknownKeyword;
            if (i + 1 >= n)
                return kMissingValue;
            const std::optional<qint64> v = wholeNumber(w[i + 1]);
            if (!v)
                return kBadInteger;
            (key == QLatin1String("from") ? from : to) = v;
        }
        return d->play(from, to);
    }
    if (verb == QLatin1String("seek")) {
        qint64 to = 0;
        if (const MCIERROR err = keywordsAndNumber(w, 2, {"to"}, &to))
            return err;
        return d->seek(to);
    }
    if (verb == QLatin1String("status")) {
        if (n < 3)
            return kMissingValue;
        if (n > 3)
            return kUnknownKeyword;
        const QString item = w[2].toLower();
        if (item == QLatin1String("mode"))
            *reply = d->modeWord();
        else if (item == QLatin1String("length"))
            *reply = QString::number(d->lengthUnits());
        else if (item == QLatin1String("position"))
            *reply = QString::number(d->units(d->positionMs()));
        else if (item == QLatin1String("speed"))
            *reply = QStringLiteral("1000");
        else
            return kUnknownKeyword;
        return 0;
    }
    if (verb == QLatin1String("set")) {
        if (is(w, 2, "time")) {
            if (!is(w, 3, "format"))
                return n < 4 ? kMissingValue : kUnknownKeyword;
            if (n < 5)
                return kMissingValue;
            if (n > 5)
                return kUnknownKeyword;
            const QString format = w[4].toLower();
            if (format == QLatin1String("frames"))
                return d->setFrames(true);
            if (format == QLatin1String("ms") || format == QLatin1String("milliseconds"))
                return d->setFrames(false);
            return kBadConstant;
        }
        if (is(w, 2, "audio")) {
            if (n < 5)
                return kMissingValue;
            if (n > 5)
                return kUnknownKeyword;
            if (is(w, 3, "left") || is(w, 3, "right"))
                return kUnsupported;
            if (!is(w, 3, "all"))
                return kBadConstant;
            if (!is(w, 4, "on") && !is(w, 4, "off"))
                return kBadConstant;
            d->setMuted(is(w, 4, "off"));
            return 0;
        }
        return n < 3 ? kMissingValue : kUnknownKeyword;
    }
    if (verb == QLatin1String("setaudio")) {
        if (is(w, 2, "left") || is(w, 2, "right"))
            return kUnsupported;
        qint64 volume = 0;
        if (const MCIERROR err = keywordsAndNumber(w, 2, {"volume", "to"}, &volume))
            return err;
        if (volume < 0 || volume > 1000)
            return kOutOfRange;
        d->setVolume(int(volume));
        return 0;
    }
    if (verb == QLatin1String("where")) {
        if (n < 3)
            return kMissingValue;
        if (n > 3 || !is(w, 2, "destination"))
            return kUnknownKeyword;
        const QRect r = d->destination();
        *reply = QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        return 0;
    }
    // put A window at X Y W H
    if (!is(w, 2, "window") || !is(w, 3, "at"))
        return n < 4 ? kMissingValue : kUnknownKeyword;
    if (n < 8)
        return kMissingValue;
    if (n > 8)
        return kUnknownKeyword;
    qint64 v[4];
    for (int k = 0; k < 4; ++k) {
        const std::optional<qint64> x = wholeNumber(w[4 + k]);
        if (!x)
            return kBadInteger;
        v[k] = *x;
    }
    if (v[2] < 0 || v[3] < 0)
        return kOutOfRange;
    d->place(QRect(int(v[0]), int(v[1]), int(v[2]), int(v[3])));
    return 0;
}

} // namespace

MCIERROR mciSendStringA(const QString& command, QString* returnString, std::uint32_t returnLength,
                        std::int32_t /*callback*/)
{
    if (returnString)
        returnString->clear();
    QStringList w;
    if (const MCIERROR err = splitWords(command, &w))
        return err;
    if (w.isEmpty())
        return kEmptyCommand;
    const QString verb = w[0].toLower();
    static const QStringList kDeviceVerbs = {
        QStringLiteral("close"),    QStringLiteral("play"),  QStringLiteral("stop"),   QStringLiteral("pause"),
        QStringLiteral("resume"),   QStringLiteral("seek"),  QStringLiteral("status"), QStringLiteral("set"),
        QStringLiteral("setaudio"), QStringLiteral("where"), QStringLiteral("put"),
    };
    if (verb == QLatin1String("open"))
        return openCommand(w);
    if (!kDeviceVerbs.contains(verb))
        return kUnknownVerb;
    if (w.size() < 2)
        return kMissingDeviceName;
    QString reply;
    const MCIERROR err = deviceCommand(verb, w, &reply);
    if (err || reply.isEmpty())
        return err;
    if (std::uint32_t(reply.size()) + 1 > returnLength)
        return kReplyTooLong;
    if (returnString)
        *returnString = reply;
    return 0;
}

bool mciGetErrorStringA(MCIERROR error, QString* text, std::uint32_t length)
{
    if (text)
        text->clear();
    for (const ErrorText& e : kErrorTexts) {
        if (e.code == error) {
            if (text && length > 0)
                *text = QString::fromLatin1(e.text).left(qsizetype(length) - 1);
            return true;
        }
    }
    return false;
}

std::uint32_t GetShortPathNameA(const QString& longPath, QString* shortPath)
{
    const QFileInfo file(longPath);
    QString result;
    if (!longPath.contains(QLatin1Char('"')) && file.exists() && file.isFile()) {
        result = longPath;
        if (result.contains(QLatin1Char(' ')) || result.contains(QLatin1Char('\t')))
            result = QLatin1Char('"') + result + QLatin1Char('"');
    }
    if (shortPath)
        *shortPath = result;
    return std::uint32_t(result.size());
}

void setOpenWaitLimitMs(int ms)
{
    gOpenWaitLimitMs = ms;
}

QMediaPlayer* mciDevicePlayer(const QString& alias)
{
    Device* d = devices().value(alias.toLower());
    return d ? d->player() : nullptr;
}

} // namespace kivro::win
