// The media-control wrappers against a recorder: the exact command strings each one sends, in
// order, with the reply length it passes, and how it turns scripted replies into its result.
#include "KivroTest.h"
#include "MciRecorder.h"

#include "platform/MediaControl.h"
#include "platform/WindowHandles.h"
#include "preview/ModuleMultimedia.h"

#include <QWidget>
#include <functional>

using namespace kivro;
using namespace kivro::ModuleMultimedia;

namespace {

QString errorText(std::uint32_t code)
{
    QString text;
    win::mciGetErrorStringA(code, &text, 128);
    return text;
}

const QString kSetFrames = QStringLiteral("set movie0 time format frames");
const QString kSetMs = QStringLiteral("set movie0 time format ms");
const QString kLength = QStringLiteral("status movie0 length");
const QString kPosition = QStringLiteral("status movie0 position");

} // namespace

class TestModuleMultimedia : public QObject {
    Q_OBJECT

private slots:
    void playWholeFileAsksForTheLengthFirst()
    {
        MciRecorder mci;
        mci.answer(kLength, 0, QStringLiteral("750"));
        QCOMPARE(PlayMedia(QStringLiteral("movie0"), QString(), QString()), QStringLiteral("Success"));
        QCOMPARE(mci.commands(), (QStringList{kSetFrames, kLength, QStringLiteral("play movie0 from 0 to 750")}));
        // Queries pass the 128-character buffer, commands a dummy of length 0.
        QCOMPARE(mci.replyLengths(), (QList<std::uint32_t>{0, 128, 0}));
    }

    // Every text-result wrapper: its strings, and the error text when the device refuses.
    void textWrappers()
    {
        struct Row {
            const char* name;
            std::function<QString()> call;
            QStringList sent;
        };
        const QString a = QStringLiteral("movie0");
        const std::vector<Row> rows = {
            {"play range",
             [&] { return PlayMedia(a, QStringLiteral("1"), QStringLiteral("1")); },
             {QStringLiteral("play movie0 from 1 to 1")}},
            {"play a long range",
             [&] { return PlayMedia(a, QStringLiteral("3750"), QStringLiteral("7500")); },
             {QStringLiteral("play movie0 from 3750 to 7500")}},
            {"close", [&] { return CloseMedia(a); }, {QStringLiteral("Close movie0")}},
            {"pause", [&] { return PauseMedia(a); }, {QStringLiteral("Pause movie0")}},
            {"stop", [&] { return StopMedia(a); }, {QStringLiteral("Stop movie0")}},
            {"resume", [&] { return ResumeMedia(a); }, {QStringLiteral("Resume movie0")}},
            {"audio off",
             [&] { return SetMediaAudio(a, QStringLiteral("all"), QStringLiteral("off")); },
             {QStringLiteral("set movie0 audio all off")}},
            {"volume all",
             [&] { return SetMediaVolume(a, QStringLiteral("all"), 100); },
             {QStringLiteral("setaudio movie0 Volume to 1000")}},
            {"volume left keeps its spelling",
             [&] { return SetMediaVolume(a, QStringLiteral("Left"), 50); },
             {QStringLiteral("setaudio movie0 Left Volume to 500")}},
            {"volume 0",
             [&] { return SetMediaVolume(a, QStringLiteral("all"), 0); },
             {QStringLiteral("setaudio movie0 Volume to 0")}},
        };
        for (const Row& row : rows) {
            for (const std::uint32_t code : {std::uint32_t(0), win::mcierr::kNotOpen}) {
                MciRecorder mci;
                for (const QString& c : row.sent)
                    mci.answer(c, code);
                const QString expected = code ? errorText(code) : QStringLiteral("Success");
                QVERIFY2(!expected.isEmpty(), row.name);
                QCOMPARE(row.call(), expected);
                QCOMPARE(mci.commands(), row.sent);
            }
        }
    }

    void openSendsTheQuotedPathAndTheChildStyle()
    {
        const QString withBlank = QStringLiteral(KIVRO_SOURCE_DIR "/tests/preview/data/my clip.avi");
        const QString plain = QStringLiteral(KIVRO_SOURCE_DIR "/tests/preview/data/tone_2s.mp3");
        MciRecorder mci;
        QCOMPARE(OpenMedia(7, QStringLiteral("movie0"), withBlank, QStringLiteral("AviVideo")),
                 QStringLiteral("Success"));
        QCOMPARE(OpenMedia(7, QStringLiteral("movie0"), plain, QStringLiteral("MPEGVideo")), QStringLiteral("Success"));
        // No short form for a missing file: the path is left out and the device refuses.
        mci.answer(QStringLiteral("open  type MPEGVideo Alias movie0 parent 7 Style 1073741824"),
                   win::mcierr::kFileNotFound);
        QCOMPARE(OpenMedia(7, QStringLiteral("movie0"), QStringLiteral("/no/such.mpg"), QStringLiteral("MPEGVideo")),
                 errorText(win::mcierr::kFileNotFound));
        QCOMPARE(mci.commands(),
                 (QStringList{QStringLiteral("open \"") + withBlank
                                  + QStringLiteral("\" type AviVideo Alias movie0 parent 7 Style 1073741824"),
                              QStringLiteral("open ") + plain
                                  + QStringLiteral(" type MPEGVideo Alias movie0 parent 7 Style 1073741824"),
                              QStringLiteral("open  type MPEGVideo Alias movie0 parent 7 Style 1073741824")}));
        QCOMPARE(mci.replyLengths(), (QList<std::uint32_t>{0, 0, 0}));
    }

    void volumeOutOfRangeSendsNothing()
    {
        MciRecorder mci;
        QCOMPARE(SetMediaVolume(QStringLiteral("movie0"), QStringLiteral("all"), 101), QStringLiteral("out of volume"));
        QCOMPARE(SetMediaVolume(QStringLiteral("movie0"), QStringLiteral("all"), -1), QStringLiteral("out of volume"));
        QVERIFY(mci.commands().isEmpty());
    }

    void modeReplyOrError()
    {
        MciRecorder mci;
        mci.answer(QStringLiteral("status movie0 mode"), 0, QStringLiteral("playing"));
        mci.answer(QStringLiteral("status movie0 mode"), win::mcierr::kNotOpen);
        QCOMPARE(GetMediaMode(QStringLiteral("movie0")), QStringLiteral("playing"));
        QCOMPARE(GetMediaMode(QStringLiteral("movie0")), QStringLiteral("ERROR"));
        QCOMPARE(mci.replyLengths(), (QList<std::uint32_t>{128, 128}));
    }

    void lengths()
    {
        MciRecorder mci;
        mci.answer(kLength, 0, QStringLiteral("750"));
        QCOMPARE(GetMediaLengthFrames(QStringLiteral("movie0")), 750);
        QCOMPARE(mci.commands(), (QStringList{kSetFrames, kLength}));

        mci.clear();
        mci.answer(kLength, 0, QStringLiteral("30000"));
        QCOMPARE(GetMediaLengthMs(QStringLiteral("movie0")), 30000);
        QCOMPARE(mci.commands(), (QStringList{kSetMs, kLength, kSetFrames}));

        // A failed length query gives -1; the ms query still switches back to frames.
        mci.clear();
        mci.answer(kLength, win::mcierr::kNotOpen);
        QCOMPARE(GetMediaLengthFrames(QStringLiteral("movie0")), -1);
        QCOMPARE(GetMediaLengthMs(QStringLiteral("movie0")), -1);
        QCOMPARE(mci.commands(), (QStringList{kSetFrames, kLength, kSetMs, kLength, kSetFrames}));
    }

    void seekAndPlayReturnsTheSeekResult()
    {
        MciRecorder mci;
        QCOMPARE(SeekMediaAndPlay(QStringLiteral("movie0"), 3750), QStringLiteral("Success"));
        mci.answer(QStringLiteral("seek movie0 to -2"), win::mcierr::kOutOfRange);
        QCOMPARE(SeekMediaAndPlay(QStringLiteral("movie0"), -2), errorText(win::mcierr::kOutOfRange));
        QCOMPARE(mci.commands(), (QStringList{QStringLiteral("seek movie0 to 3750"), QStringLiteral("Play movie0"),
                                              QStringLiteral("seek movie0 to -2"), QStringLiteral("Play movie0")}));
    }

    void replyNumbers_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("number");
        QTest::newRow("whole") << "750" << 750;
        QTest::newRow("half down to even") << "12.5" << 12;
        QTest::newRow("half up to even") << "13.5" << 14;
        QTest::newRow("negative half") << "-2.5" << -2;
        QTest::newRow("leading blank") << " 42" << 42;
        QTest::newRow("stops at a letter") << "7 frames" << 7;
        QTest::newRow("no number") << "stopped" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void replyNumbers()
    {
        QFETCH(QString, reply);
        QFETCH(int, number);
        QCOMPARE(ReplyNumber(reply), number);
        MciRecorder mci;
        mci.answer(kPosition, 0, reply);
        QCOMPARE(GetMediaPosition(QStringLiteral("movie0")), number);
    }

    void positionFailureIsMinusOne()
    {
        MciRecorder mci;
        mci.answer(kPosition, win::mcierr::kNotOpen);
        QCOMPARE(GetMediaPosition(QStringLiteral("movie0")), -1);
    }

    void percentPlayed_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("percent");
        QTest::newRow("half") << "7500"
                              << "3750" << 50;
        QTest::newRow("12.5 to even") << "8"
                                      << "1" << 12;
        QTest::newRow("37.5 to even") << "8"
                                      << "3" << 38;
        QTest::newRow("length 0") << "0"
                                  << "5" << 0;
        QTest::newRow("product overflows") << "100"
                                           << "30000000" << 0;
        QTest::newRow("length fails") << ""
                                      << "5" << -1;
        QTest::newRow("position fails") << "8"
                                        << "" << -1;
    }
    void percentPlayed()
    {
        QFETCH(QString, length);
        QFETCH(QString, position);
        QFETCH(int, percent);
        MciRecorder mci;
        mci.answer(kLength, length.isEmpty() ? win::mcierr::kNotOpen : 0, length);
        mci.answer(kPosition, position.isEmpty() ? win::mcierr::kNotOpen : 0, position);
        QCOMPARE(GetPercentPlayed(QStringLiteral("movie0")), percent);
        QCOMPARE(mci.commands(), (QStringList{kSetFrames, kLength, kPosition}));
    }

    void framesPerSecond_data()
    {
        QTest::addColumn<QString>("ms");
        QTest::addColumn<QString>("frames");
        QTest::addColumn<int>("fps");
        QTest::newRow("25") << "30000"
                            << "750" << 25;
        QTest::newRow("29.97 rounds to 30") << "1800000"
                                            << "53946" << 30;
        QTest::newRow("0 ms") << "0"
                              << "0" << 0;
        QTest::newRow("ms fails") << ""
                                  << "750" << -1;
        QTest::newRow("frames fail") << "30000"
                                     << "" << -1;
    }
    void framesPerSecond()
    {
        QFETCH(QString, ms);
        QFETCH(QString, frames);
        QFETCH(int, fps);
        MciRecorder mci;
        // The length in ms comes first, then the length in frames.
        mci.answer(kLength, ms.isEmpty() ? win::mcierr::kNotOpen : 0, ms);
        mci.answer(kLength, frames.isEmpty() ? win::mcierr::kNotOpen : 0, frames);
        QCOMPARE(GetFramesPerSecond(QStringLiteral("movie0")), fps);
        QCOMPARE(mci.commands(), (QStringList{kSetMs, kLength, kSetFrames, kSetFrames, kLength}));
    }

    void destinationSize()
    {
        const QString where = QStringLiteral("Where movie0 destination");
        MciRecorder mci;
        mci.answer(where, 0, QStringLiteral("0 0 320 240"));
        QCOMPARE(GetMediaDestinationSize(QStringLiteral("movie0"), QStringLiteral("cx")), 320);
        QCOMPARE(GetMediaDestinationSize(QStringLiteral("movie0"), QStringLiteral("CY")), 240);
        QCOMPARE(mci.commands(), (QStringList{where, where}));
        QCOMPARE(mci.replyLengths(), (QList<std::uint32_t>{128, 128}));

        mci.clear();
        QCOMPARE(GetMediaDestinationSize(QStringLiteral("movie0"), QStringLiteral("width")), -1);
        QVERIFY(mci.commands().isEmpty());
        mci.answer(where, win::mcierr::kNotOpen);
        QCOMPARE(GetMediaDestinationSize(QStringLiteral("movie0"), QStringLiteral("cx")), -1);
    }

    void putWindowTakesTheWindowSizeWhenOneIsZero()
    {
        QWidget frame;
        frame.resize(124, 87);
        const win::HWND handle = win::RegisterWindow(&frame);
        MciRecorder mci;
        std::int32_t width = 100;
        std::int32_t height = 0;
        QCOMPARE(PutMediaWindow(handle, QStringLiteral("movie0"), 0, 0, width, height), QStringLiteral("Success"));
        QCOMPARE(width, 124);
        QCOMPARE(height, 87);
        width = 60;
        height = 40;
        QCOMPARE(PutMediaWindow(handle, QStringLiteral("movie0"), 3, 4, width, height), QStringLiteral("Success"));
        QCOMPARE(mci.commands(), (QStringList{QStringLiteral("put movie0 window at 0 0 124 87"),
                                              QStringLiteral("put movie0 window at 3 4 60 40")}));
    }

    void speedInPercent()
    {
        MciRecorder mci;
        const QString speed = QStringLiteral("status movie0 speed");
        mci.answer(speed, 0, QStringLiteral("1015"));
        mci.answer(speed, 0, QStringLiteral("1000"));
        mci.answer(speed, win::mcierr::kNotOpen);
        QCOMPARE(GetMediaSpeed(QStringLiteral("movie0")), 102);
        QCOMPARE(GetMediaSpeed(QStringLiteral("movie0")), 100);
        QCOMPARE(GetMediaSpeed(QStringLiteral("movie0")), -1);
    }

    void atEnd_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<bool>("atEnd");
        QTest::newRow("one before") << "749" << false;
        QTest::newRow("on the length") << "750" << true;
        QTest::newRow("beyond") << "800" << true;
        QTest::newRow("position fails") << "" << false;
    }
    void atEnd()
    {
        QFETCH(QString, position);
        QFETCH(bool, atEnd);
        MciRecorder mci;
        mci.answer(kLength, 0, QStringLiteral("750"));
        mci.answer(kPosition, position.isEmpty() ? win::mcierr::kNotOpen : 0, position);
        std::int32_t cache = 0;
        QCOMPARE(IsMediaAtEnd(QStringLiteral("movie0"), cache), atEnd);
        QCOMPARE(cache, 750);
        QCOMPARE(mci.commands(), (QStringList{kSetFrames, kLength, kPosition}));
        // A filled cache is not asked again.
        mci.clear();
        mci.answer(kPosition, 0, QStringLiteral("750"));
        QVERIFY(IsMediaAtEnd(QStringLiteral("movie0"), cache));
        QCOMPARE(mci.commands(), QStringList{kPosition});
    }

    // The wrappers over the platform's own device, with a real file.
    void overTheRealDevice()
    {
        win::setOpenWaitLimitMs(30000); // a loaded machine may need longer for the first picture
        QWidget frame;
        frame.resize(124, 87);
        frame.show();
        const std::int32_t handle = win::RegisterWindow(&frame);
        const QString a = QStringLiteral("movie0");
        QCOMPARE(OpenMedia(handle, a, QStringLiteral(KIVRO_SOURCE_DIR "/tests/preview/data/clip_mjpeg_320x240_25.avi"),
                           QStringLiteral("AviVideo")),
                 QStringLiteral("Success"));
        QCOMPARE(GetMediaDestinationSize(a, QStringLiteral("cx")), 320);
        QCOMPARE(GetMediaDestinationSize(a, QStringLiteral("cy")), 240);
        QCOMPARE(GetFramesPerSecond(a), 25);
        QCOMPARE(GetMediaLengthFrames(a), 125);
        QCOMPARE(GetMediaLengthMs(a), 5000);
        QCOMPARE(GetMediaSpeed(a), 100);
        QCOMPARE(GetMediaMode(a), QStringLiteral("stopped"));
        std::int32_t width = 0;
        std::int32_t height = 0;
        QCOMPARE(PutMediaWindow(handle, a, 0, 0, width, height), QStringLiteral("Success"));
        QCOMPARE(GetMediaDestinationSize(a, QStringLiteral("cx")), 124);
        QCOMPARE(SeekMediaAndPlay(a, 120), QStringLiteral("Success"));
        QCOMPARE(StopMedia(a), QStringLiteral("Success"));
        QCOMPARE(GetMediaMode(a), QStringLiteral("stopped"));
        QVERIFY(GetMediaPosition(a) >= 120);
        QCOMPARE(SetMediaAudio(a, QStringLiteral("all"), QStringLiteral("off")), QStringLiteral("Success"));
        QCOMPARE(SetMediaVolume(a, QStringLiteral("all"), 100), QStringLiteral("Success"));
        QCOMPARE(SetMediaVolume(a, QStringLiteral("left"), 100), errorText(win::mcierr::kUnsupported));
        QCOMPARE(CloseMedia(a), QStringLiteral("Success"));
        QCOMPARE(CloseMedia(a), errorText(win::mcierr::kNotOpen));
        QCOMPARE(GetMediaMode(a), QStringLiteral("ERROR"));
        QCOMPARE(GetMediaPosition(a), -1);
    }

    void atEndCachesAFailedLength()
    {
        MciRecorder mci;
        mci.answer(kLength, win::mcierr::kNotOpen);
        mci.answer(kPosition, 0, QStringLiteral("900"));
        std::int32_t cache = 0;
        QVERIFY(!IsMediaAtEnd(QStringLiteral("movie0"), cache));
        QCOMPARE(cache, -1);
        QVERIFY(!IsMediaAtEnd(QStringLiteral("movie0"), cache));
        QCOMPARE(mci.commands(), (QStringList{kSetFrames, kLength, kPosition, kPosition}));
    }
};

KIVRO_TEST_MAIN(TestModuleMultimedia)
#include "tst_modulemultimedia.moc"
