// The media-control interpreter with real files (tests/preview/data): opening, lengths and rates,
// positions, the picture shown (read from the device's video sink: every fixture picture carries
// its frame number as 8 stripes), play ranges, failures, parsing and the error codes.
//
// The AVI is exact; the MPEG program streams are checked for rates, lengths, positions and modes
// only, never for their pictures. Waits are generous: the machine may be heavily loaded.
#include "KivroTest.h"

#include "platform/MediaControl.h"
#include "platform/WindowHandles.h"

#include <QAudioOutput>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaPlayer>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>
#include <cmath>

using namespace kivro;
using namespace kivro::win::mcierr;

namespace {

constexpr int kWait = 30000; // for anything that plays or decodes

QString fixture(const char* name)
{
    return QStringLiteral(KIVRO_SOURCE_DIR "/tests/preview/data/") + QString::fromUtf8(name);
}

win::MCIERROR mci(const QString& command, QString* reply = nullptr)
{
    QString r;
    const win::MCIERROR code = win::mciSendStringA(command, &r, 128, 0);
    if (reply)
        *reply = r;
    return code;
}

QString ask(const QString& command)
{
    QString reply;
    const win::MCIERROR code = mci(command, &reply);
    return code ? QStringLiteral("error %1").arg(code) : reply;
}

QVideoWidget* videoOf(const QString& alias)
{
    QMediaPlayer* player = win::mciDevicePlayer(alias);
    return player ? qobject_cast<QVideoWidget*>(player->videoOutput()) : nullptr;
}

// The frame number the device's picture shows, or -1 without a picture.
int shownPicture(const QString& alias)
{
    QVideoWidget* video = videoOf(alias);
    if (!video)
        return -1;
    QVideoFrame frame = video->videoSink()->videoFrame();
    const QImage image = frame.toImage();
    if (image.isNull())
        return -1;
    int n = 0;
    const int y = image.height() / 2;
    for (int bit = 0; bit < 8; ++bit) {
        const int x = (2 * bit + 1) * image.width() / 16;
        if (qGray(image.pixel(x, y)) > 128)
            n |= 1 << bit;
    }
    return n;
}

// Whether a library whose file name holds `name` is loaded into this process.
bool libraryLoaded(const char* name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

// A child whose media framework finds no plugins: every open fails as for a file that cannot be
// played, nothing is left open, and Qt's media backend is never even loaded (no Qt Multimedia
// object was made). Returns 0, or the number of the first check that failed.
int noPluginsChild(const QString& mode)
{
    if (mode != QLatin1String("no-plugins"))
        return 99;
    QWidget frame;
    frame.resize(124, 87);
    frame.show();
    const win::HWND handle = win::RegisterWindow(&frame);
    const auto open = [handle](const char* name, const char* type) {
        return mci(QStringLiteral("open \"%1\" type %2 alias movie0 parent %3 style 1073741824")
                       .arg(fixture(name), QLatin1String(type))
                       .arg(handle));
    };
    if (open("clip_mjpeg_320x240_25.avi", "AviVideo") != kNotMedia)
        return 1;
    if (win::mciDevicePlayer(QStringLiteral("movie0")) || frame.findChild<QVideoWidget*>())
        return 2;
    if (mci(QStringLiteral("close movie0")) != kNotOpen)
        return 3;
    // The next files fail the same way; a missing one is still reported as missing.
    if (open("clip_mpeg1_320x240_25.mpg", "MPEGVideo") != kNotMedia || open("tone_2s.mp3", "MPEGVideo") != kNotMedia)
        return 4;
    if (open("no_such_file.avi", "AviVideo") != kFileNotFound)
        return 5;
    if (libraryLoaded("libgstreamermediaplugin"))
        return 6;
    return 0;
}

} // namespace

class TestMediaControl : public QObject {
    Q_OBJECT

    QWidget* m_frame = nullptr;
    win::HWND m_handle = 0;

    win::MCIERROR open(const QString& path, const QString& type = QStringLiteral("MPEGVideo"))
    {
        QString shortPath;
        win::GetShortPathNameA(path, &shortPath);
        return mci(QStringLiteral("open %1 type %2 alias movie0 parent %3 style 1073741824")
                       .arg(shortPath, type)
                       .arg(m_handle));
    }

    // The length in the time format given, leaving the device in frames.
    int length(const char* format)
    {
        mci(QStringLiteral("set movie0 time format ") + QLatin1String(format));
        const int value = ask(QStringLiteral("status movie0 length")).toInt();
        mci(QStringLiteral("set movie0 time format frames"));
        return value;
    }
    int framesPerSecond() { return int(std::nearbyint(length("frames") / (length("ms") / 1000.0))); }

private slots:
    void initTestCase()
    {
        // A loaded machine can take longer than the program's 5 s to decode a first picture.
        win::setOpenWaitLimitMs(kWait);
        m_frame = new QWidget;
        m_frame->resize(124, 87);
        m_frame->show();
        m_handle = win::RegisterWindow(m_frame);
    }
    void cleanupTestCase() { delete m_frame; }
    void cleanup()
    {
        mci(QStringLiteral("close movie0"));
        win::setOpenWaitLimitMs(kWait);
    }

    void aviIsExact()
    {
        QCOMPARE(open(fixture("clip_mjpeg_320x240_25.avi"), QStringLiteral("AviVideo")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 length")), QStringLiteral("5000")); // ms after open
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"));
        QCOMPARE(ask(QStringLiteral("status movie0 speed")), QStringLiteral("1000"));
        QCOMPARE(mci(QStringLiteral("set movie0 time format frames")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 length")), QStringLiteral("125"));
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QStringLiteral("0"));
        QCOMPARE(framesPerSecond(), 25);

        // The picture: a child of the registered window, natural size first, then placed.
        QVideoWidget* video = videoOf(QStringLiteral("movie0"));
        QVERIFY(video);
        QCOMPARE(video->parentWidget(), m_frame);
        QCOMPARE(video->aspectRatioMode(), Qt::IgnoreAspectRatio);
        QCOMPARE(ask(QStringLiteral("where movie0 destination")), QStringLiteral("0 0 320 240"));
        QCOMPARE(mci(QStringLiteral("put movie0 window at 0 0 124 87")), 0u);
        QCOMPARE(ask(QStringLiteral("where movie0 destination")), QStringLiteral("0 0 124 87"));
        QCOMPARE(video->geometry(), m_frame->rect());

        QCOMPARE(mci(QStringLiteral("seek movie0 to 50")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"));
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QStringLiteral("50"));
        QTRY_COMPARE_WITH_TIMEOUT(shownPicture(QStringLiteral("movie0")), 50, kWait);

        // Play a range: it ends stopped exactly on its last frame, showing it.
        QCOMPARE(mci(QStringLiteral("play movie0 from 90 to 100")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("playing"));
        QTRY_COMPARE_WITH_TIMEOUT(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"), kWait);
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QStringLiteral("100"));
        QTRY_COMPARE_WITH_TIMEOUT(shownPicture(QStringLiteral("movie0")), 100, kWait);

        // Out of range: refused, nothing changes.
        QCOMPARE(mci(QStringLiteral("seek movie0 to 126")), kOutOfRange);
        QCOMPARE(mci(QStringLiteral("play movie0 from 10 to 126")), kOutOfRange);
        QCOMPARE(mci(QStringLiteral("play movie0 from 20 to 10")), kOutOfRange);
        QCOMPARE(mci(QStringLiteral("seek movie0 to -1")), kOutOfRange);
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QStringLiteral("100"));
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"));

        // From = to shows that one picture.
        QCOMPARE(mci(QStringLiteral("PLAY MOVIE0 FROM 1 TO 1")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"));
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QStringLiteral("1"));
        QTRY_COMPARE_WITH_TIMEOUT(shownPicture(QStringLiteral("movie0")), 1, kWait);

        QCOMPARE(mci(QStringLiteral("close movie0")), 0u);
        QCOMPARE(mci(QStringLiteral("close movie0")), kNotOpen);
        QVERIFY(!m_frame->findChild<QVideoWidget*>());
    }

    void stopPauseResume()
    {
        QCOMPARE(open(fixture("clip_mjpeg_320x240_25.avi"), QStringLiteral("AviVideo")), 0u);
        QCOMPARE(mci(QStringLiteral("set movie0 time format frames")), 0u);
        QCOMPARE(mci(QStringLiteral("play movie0 from 10")), 0u);
        QTRY_VERIFY_WITH_TIMEOUT(ask(QStringLiteral("status movie0 position")).toInt() > 12, kWait);
        QCOMPARE(mci(QStringLiteral("pause movie0")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("paused"));
        QCOMPARE(mci(QStringLiteral("resume movie0")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("playing"));
        QCOMPARE(mci(QStringLiteral("stop movie0")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"));
        // Stop pauses in place: the position stays where it was.
        const QString at = ask(QStringLiteral("status movie0 position"));
        QVERIFY(at.toInt() > 12);
        QTest::qWait(300);
        QCOMPARE(ask(QStringLiteral("status movie0 position")), at);
        // Resume plays on from stopped, to the end of the media, where it stops at the length.
        QCOMPARE(mci(QStringLiteral("resume movie0")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("playing"));
        QTRY_COMPARE_WITH_TIMEOUT(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"), kWait);
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QStringLiteral("125"));
        QTRY_COMPARE_WITH_TIMEOUT(shownPicture(QStringLiteral("movie0")), 124, kWait); // the last one
        // After the end it plays again.
        QCOMPARE(mci(QStringLiteral("play movie0 from 50 to 60")), 0u);
        QTRY_COMPARE_WITH_TIMEOUT(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"), kWait);
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QStringLiteral("60"));
        QTRY_COMPARE_WITH_TIMEOUT(shownPicture(QStringLiteral("movie0")), 60, kWait);
    }

    void commandErrors_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<uint>("code");
        QTest::newRow("unknown verb") << "frobnicate x" << uint(kUnknownVerb);
        QTest::newRow("unknown status item") << "status movie0 colour" << uint(kUnknownKeyword);
        QTest::newRow("bad integer") << "seek movie0 to x" << uint(kBadInteger);
        QTest::newRow("no closing quote") << "open \"/t/a" << uint(kNoClosingQuote);
        QTest::newRow("empty") << "" << uint(kEmptyCommand);
        QTest::newRow("blanks only") << "   " << uint(kEmptyCommand);
        QTest::newRow("alias not open") << "close movie9" << uint(kNotOpen);
        QTest::newRow("alias not open, any verb") << "status movie9 mode" << uint(kNotOpen);
        QTest::newRow("no device") << "play" << uint(kMissingDeviceName);
        QTest::newRow("seek without value") << "seek movie0 to" << uint(kMissingValue);
        QTest::newRow("unknown keyword") << "play movie0 from 1 till 2" << uint(kUnknownKeyword);
        QTest::newRow("unknown time format") << "set movie0 time format hours" << uint(kBadConstant);
        QTest::newRow("left volume") << "setaudio movie0 left volume to 500" << uint(kUnsupported);
        QTest::newRow("right volume") << "setaudio movie0 Right Volume to 500" << uint(kUnsupported);
        QTest::newRow("volume too high") << "setaudio movie0 volume to 1001" << uint(kOutOfRange);
        QTest::newRow("where source") << "where movie0 source" << uint(kUnknownKeyword);
        QTest::newRow("second open") << "open x alias MOVIE0" << uint(kAliasInUse);
    }
    void commandErrors()
    {
        QFETCH(QString, command);
        QFETCH(uint, code);
        QCOMPARE(open(fixture("my clip.avi"), QStringLiteral("AviVideo")), 0u);
        QCOMPARE(mci(command), win::MCIERROR(code));
        QString text;
        QVERIFY(win::mciGetErrorStringA(code, &text, 128));
        QVERIFY(!text.isEmpty());
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"));
    }

    void replyMustFitTheBuffer()
    {
        QCOMPARE(open(fixture("my clip.avi"), QStringLiteral("AviVideo")), 0u);
        QString reply;
        QCOMPARE(win::mciSendStringA(QStringLiteral("status movie0 mode"), &reply, 8, 0), 0u); // "stopped" + NUL
        QCOMPARE(reply, QStringLiteral("stopped"));
        QCOMPARE(win::mciSendStringA(QStringLiteral("status movie0 mode"), &reply, 7, 0), kReplyTooLong);
    }

    void mpegRatesAndLengths_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("fps");
        QTest::addColumn<int>("probedMs"); // ffprobe's duration
        QTest::newRow("MPEG-1, 25 fps") << fixture("clip_mpeg1_320x240_25.mpg") << 25 << 3960;
        QTest::newRow("MPEG-2, 29.97 fps") << fixture("clip_mpeg2_320x240_29.97.mpg") << 30 << 2936;
    }
    void mpegRatesAndLengths()
    {
        QFETCH(QString, file);
        QFETCH(int, fps);
        QFETCH(int, probedMs);
        QCOMPARE(open(file), 0u);
        QCOMPARE(framesPerSecond(), fps);
        const int ms = length("ms");
        QVERIFY2(qAbs(ms - probedMs) <= 100, qPrintable(QString::number(ms)));
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QStringLiteral("0")); // counted from the start
        QCOMPARE(ask(QStringLiteral("where movie0 destination")), QStringLiteral("0 0 320 240"));

        // Playing the last 25 frames ends stopped at the length.
        const int frames = length("frames");
        QCOMPARE(mci(QStringLiteral("play movie0 from %1").arg(frames - 25)), 0u);
        QTRY_COMPARE_WITH_TIMEOUT(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"), kWait);
        QCOMPARE(ask(QStringLiteral("status movie0 position")), QString::number(frames));
    }

    void failuresLeaveNothingOpen_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<uint>("code");
        const QString tail = QStringLiteral(" type MPEGVideo alias movie0");
        QTest::newRow("not media") << QStringLiteral("open ") + fixture("not_media.mpg") + tail << uint(kNotMedia);
        QTest::newRow("missing file") << QStringLiteral("open /no/such/file.mpg") + tail << uint(kFileNotFound);
        QTest::newRow("folder") << QStringLiteral("open ") + QDir::tempPath() + tail << uint(kNotMedia);
        QTest::newRow("DVD type") << QStringLiteral("open \"") + fixture("my clip.avi")
                                         + QStringLiteral("\" type DvDVideo alias movie0")
                                  << uint(kNoSuchDevice);
        QTest::newRow("unknown type") << QStringLiteral("open \"") + fixture("my clip.avi")
                                             + QStringLiteral("\" type Sequencer alias movie0")
                                      << uint(kNoSuchDevice);
        QTest::newRow("parent not a window")
            << QStringLiteral("open \"") + fixture("my clip.avi") + QStringLiteral("\" alias movie0 parent 999999")
            << uint(kNoWindow);
    }
    void failuresLeaveNothingOpen()
    {
        QFETCH(QString, command);
        QFETCH(uint, code);
        win::setOpenWaitLimitMs(5000);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(mci(command), win::MCIERROR(code));
        // Within the 5 s limit, with room for a loaded machine.
        QVERIFY2(clock.elapsed() < 5000 + 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(mci(QStringLiteral("status movie0 mode")), kNotOpen);
        QVERIFY(!m_frame->findChild<QVideoWidget*>());
    }

    void nameWithABlankOpens()
    {
        QString path;
        QVERIFY(win::GetShortPathNameA(fixture("my clip.avi"), &path) > 0);
        QCOMPARE(path, QLatin1Char('"') + fixture("my clip.avi") + QLatin1Char('"'));
        QCOMPARE(open(fixture("my clip.avi"), QStringLiteral("AviVideo")), 0u);
        QCOMPARE(length("frames"), 25);
    }

    void shortPathNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shortPath");
        QTest::newRow("plain") << fixture("tone_2s.mp3") << fixture("tone_2s.mp3");
        QTest::newRow("missing") << QStringLiteral("/no/such.mpg") << QString();
        QTest::newRow("folder") << QDir::tempPath() << QString();
        QTest::newRow("holds a quote") << QStringLiteral("/tmp/a\"b.mpg") << QString();
    }
    void shortPathNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, shortPath);
        QString result = QStringLiteral("x");
        QCOMPARE(win::GetShortPathNameA(path, &result), std::uint32_t(shortPath.size()));
        QCOMPARE(result, shortPath);
    }

    // Without the media framework's plugins (a minimal install has its libraries only) Qt's
    // backend would build its player from elements it could not make, and crash.
    void withoutFrameworkPlugins()
    {
        const QString empty = kivrotest::freshFolder(kivrotest::rootDir() + QStringLiteral("/no-plugins"));
        const QString registry = kivrotest::rootDir() + QStringLiteral("/no-plugins-registry.bin");
        QFile::remove(registry);
        QByteArray output;
        const int code = kivrotest::runChild(QStringLiteral("no-plugins"),
                                             {QStringLiteral("GST_PLUGIN_SYSTEM_PATH_1_0=") + empty,
                                              QStringLiteral("GST_PLUGIN_PATH_1_0=") + empty,
                                              QStringLiteral("GST_REGISTRY_1_0=") + registry},
                                             &output, kWait);
        QVERIFY2(code == 0,
                 qPrintable(QStringLiteral("child ended with %1:\n").arg(code) + QString::fromLocal8Bit(output)));
    }

    void soundOnlyWorksInMilliseconds()
    {
        QCOMPARE(open(fixture("tone_2s.mp3")), 0u);
        QCOMPARE(mci(QStringLiteral("set movie0 time format frames")), kBadTimeFormat);
        const int length = ask(QStringLiteral("status movie0 length")).toInt();
        QVERIFY2(qAbs(length - 2064) <= 100, qPrintable(QString::number(length)));

        QAudioOutput* audio = win::mciDevicePlayer(QStringLiteral("movie0"))->audioOutput();
        QCOMPARE(mci(QStringLiteral("set movie0 audio all off")), 0u);
        QVERIFY(audio->isMuted());
        QCOMPARE(mci(QStringLiteral("set movie0 audio all on")), 0u);
        QVERIFY(!audio->isMuted());
        QCOMPARE(mci(QStringLiteral("setaudio movie0 volume to 250")), 0u);
        QCOMPARE(audio->volume(), 0.25f);
        QCOMPARE(mci(QStringLiteral("set movie0 audio left off")), kUnsupported);

        QCOMPARE(mci(QStringLiteral("play movie0 from 1500")), 0u);
        QCOMPARE(ask(QStringLiteral("status movie0 mode")), QStringLiteral("playing"));
        QTRY_COMPARE_WITH_TIMEOUT(ask(QStringLiteral("status movie0 mode")), QStringLiteral("stopped"), kWait);
        QCOMPARE(ask(QStringLiteral("status movie0 position")).toInt(), length);
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestMediaControl, noPluginsChild)
#include "tst_mediacontrol.moc"
