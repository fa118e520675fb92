// MPEG sequence headers: the start-code search, the scan over blocks and its limit, decoding and
// rate texts, the pack's compatibility check, the MPEG information, FormatDuration, and the EMH
// piece header.
#include "KivroTest.h"

#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "HeadlessLink.h"
#include "engine/MainWindowLink.h"
#include "engine/Mpeg.h"
#include "engine/PackListModel.h"

#include "platform/FileApi.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"

#include <QLocale>
#include <QRandomGenerator>

using namespace kivro;

namespace {

// The main window as the MPEG routines see it, without a window.
class FakeWindow : public kivrotest::HeadlessLink {
public:
    PackListModel& packList() override { return m_packList; }
    File64& file64() override { return m_file; }

    int mousePointer() const override { return pointer; }
    void setMousePointer(int p) override
    {
        pointer = p;
        pointerLog << p;
    }
    void setMpegInfoVideoSize(const QString& t) override { sizeLabel = t; }
    void setMpegInfoVideoRate(const QString& t) override { rateLabel = t; }
    void setMoreInfoEnabled(bool e) override { moreInfoEnabled = e; }
    std::int64_t previewLengthMs() const override { return lengthMs; }
    std::int64_t previewLengthFrames() const override { return lengthFrames; }

    int pointer = 0;
    QList<int> pointerLog;
    QString sizeLabel;
    QString rateLabel;
    bool moreInfoEnabled = false;
    std::int64_t lengthMs = 0;
    std::int64_t lengthFrames = 0;
    // The pack run's list of the first signature, which CheckMpegFile fills.
    QStringList Mcheck_Lst;

private:
    PackListModel m_packList;
    File64 m_file;
};

const QByteArray kStartCode("\x00\x00\x01\xB3", 4);
// 352 x 240, aspect code F, rate code 5 (30).
const QByteArray kHeader352x240x30("\x16\x00\xF0\x15", 4);

// `size` bytes of `fill` with the start code (and the header bytes, as far as they fit) at `at`.
QByteArray withStartCode(qsizetype size, qsizetype at, const QByteArray& header = kHeader352x240x30, char fill = 0)
{
    QByteArray bytes(size, fill);
    if (at >= 0) {
        const QByteArray code = kStartCode + header;
        for (qsizetype i = 0; i < code.size() && at + i < size; ++i)
            bytes[at + i] = code[i];
    }
    return bytes;
}

// Bytes that differ from one position to the next and hold no start code.
QByteArray patterned(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) % 253 + 2);
    return bytes;
}

std::int64_t naiveFind(const QByteArray& b)
{
    const qsizetype at = b.indexOf(kStartCode);
    return at;
}

QStringList boxTexts()
{
    QStringList texts;
    for (const QString& r : Prompts::records())
        if (r.startsWith(QLatin1String("box|")))
            texts << r.section(QLatin1Char('|'), 1);
    return texts;
}

} // namespace

class TestMpeg : public QObject {
    Q_OBJECT

    QString dir;
    QString path(const QString& name) const { return dir + QLatin1Char('/') + name; }
    static QString fixture(const QString& name)
    {
        return QStringLiteral(KIVRO_SOURCE_DIR "/tests/engine/data/") + name;
    }

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/mpeg");
        QDir().mkpath(dir);
        QLocale::setDefault(QLocale::c());
    }
    void init()
    {
        Prompts::enableScripted();
        gOpenFileHandles.clear();
        gOpenFileCount = 0;
        gMpegCompatible = true;
        gMpegValid = true;
        gIgnoreMpegErrors = false;
        gMpegInfoAvailable = false;
        gMsgResult = 0;
    }
    void cleanup()
    {
        win::InjectWriteLimit(-1);
        QLocale::setDefault(QLocale::c());
        // Every routine closes what it opened (a failed open leaves its -1 in the table).
        QCOMPARE(gOpenFileHandles.count(-1), qsizetype(gOpenFileCount));
    }

    // --- the search inside a buffer -------------------------------------------------------------

    void findEveryPositionInEveryLength()
    {
        // Every length around the vector width and every place of the code, in a run of zeros
        // (full of near misses) and in varied bytes.
        for (qsizetype size = 0; size <= 100; ++size) {
            for (char fill : {char(0), char(0x5A)}) {
                const QByteArray none(size, fill);
                QCOMPARE(FindMpegStartCode(none.constData(), std::size_t(size)), std::int64_t(-1));
                for (qsizetype at = 0; at + 4 <= size; ++at) {
                    const QByteArray b = withStartCode(size, at, QByteArray(), fill);
                    QCOMPARE(FindMpegStartCode(b.constData(), std::size_t(size)), std::int64_t(at));
                }
            }
        }
    }

    void findAgreesWithPlainSearchOnNearMisses()
    {
        // Bytes drawn from 00, 01, B3, B2 and one other value: many partial codes, some whole.
        QRandomGenerator rng(20240611);
        const char alphabet[] = {0, 0, 0, 1, char(0xB3), char(0xB2), 0x47};
        for (int round = 0; round < 3000; ++round) {
            QByteArray b(qsizetype(rng.bounded(1, 300)), '\0');
            for (char& c : b)
                c = alphabet[rng.bounded(int(sizeof alphabet))];
            QCOMPARE(FindMpegStartCode(b.constData(), std::size_t(b.size())), naiveFind(b));
        }
    }

    // --- the scan over a file -------------------------------------------------------------------

    void scanFindsFirstStartCode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("expected");
        auto put = [](QByteArray b, qsizetype at, const QByteArray& what) {
            for (qsizetype i = 0; i < what.size(); ++i)
                b[at + i] = what[i];
            return b;
        };
        QTest::newRow("at 0 (elementary stream)") << withStartCode(100, 0) << qint64(0);
        QTest::newRow("at 28") << withStartCode(20000, 28) << qint64(28);
        QTest::newRow("spans blocks from 32,765") << withStartCode(40000, 32765) << qint64(32765);
        QTest::newRow("spans blocks from 32,766") << withStartCode(40000, 32766) << qint64(32766);
        QTest::newRow("spans blocks from 32,767") << withStartCode(40000, 32767) << qint64(32767);
        QTest::newRow("first byte of block 1") << withStartCode(40000, 32768) << qint64(32768);
        QTest::newRow("spans blocks 1 and 2") << withStartCode(70000, 65534) << qint64(65534);
        QTest::newRow("last four bytes of one full block") << withStartCode(32768, 32764) << qint64(32764);
        QTest::newRow("last four bytes of the file") << withStartCode(40000, 39996) << qint64(39996);
        QTest::newRow("first of two") << put(withStartCode(90000, 70000), 33000, kStartCode) << qint64(33000);
        QTest::newRow("near miss across the boundary")
            << put(withStartCode(60000, 50000), 32765, QByteArray("\x00\x00\x01", 3))
                   .replace(32768, 1, QByteArray("\xB2", 1))
            << qint64(50000);
        QTest::newRow("code cut off by the end")
            << put(QByteArray(40000, '\0'), 39997, QByteArray("\x00\x00\x01", 3)) << qint64(-1);
        QTest::newRow("exactly one block, none") << patterned(32768) << qint64(-1);
        QTest::newRow("several blocks, none") << patterned(200000) << qint64(-1);
        QTest::newRow("3 bytes") << QByteArray("\x00\x00\x01", 3) << qint64(-1);
        QTest::newRow("empty") << QByteArray() << qint64(-1);
    }
    void scanFindsFirstStartCode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, expected);
        kivrotest::writeFile(path("scan.bin"), bytes);
        FakeWindow w;
        const std::optional<std::int64_t> at = ScanMpegStartCode(w, path("scan.bin"));
        QCOMPARE(at.value_or(-1), expected);
    }

    void scanStopsAtTheBlockLimit_data()
    {
        QTest::addColumn<qint64>("at");
        QTest::addColumn<qint64>("expected");
        // Two blocks allowed: the second is searched on into the 4 bytes after it, so codes that
        // begin up to byte 65,536 are found.
        QTest::newRow("inside") << qint64(65532) << qint64(65532);
        QTest::newRow("begins before the limit, ends after") << qint64(65533) << qint64(65533);
        QTest::newRow("last byte before the limit") << qint64(65535) << qint64(65535);
        QTest::newRow("at the limit, found") << qint64(65536) << qint64(65536);
        QTest::newRow("one byte beyond") << qint64(65537) << qint64(-1);
        QTest::newRow("beyond") << qint64(70000) << qint64(-1);
    }
    void scanStopsAtTheBlockLimit()
    {
        QFETCH(qint64, at);
        QFETCH(qint64, expected);
        kivrotest::writeFile(path("limit.bin"), withStartCode(80000, at));
        FakeWindow w;
        QCOMPARE(ScanMpegStartCode(w, path("limit.bin"), 2).value_or(-1), expected);
    }

    void scanCoversExactly32767BlocksOfASparseFile()
    {
        // 1 GiB of holes (nothing written but the code): the real limit, without an overflow.
        const QString file = path("sparse.bin");
        for (const qint64 at : {kMpegScanLimit - 1, kMpegScanLimit, kMpegScanLimit + 1}) {
            {
                QFile f(file);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                QVERIFY(f.resize(at + 100));
                QVERIFY(f.seek(at));
                QCOMPARE(f.write(kStartCode + kHeader352x240x30), qint64(8));
            }
            FakeWindow w;
            w.sizeLabel = QStringLiteral("old");
            ShowMpegInfo(w, file, false);
            if (at <= kMpegScanLimit) {
                QCOMPARE(w.sizeLabel, QStringLiteral("352x240 (pxls)"));
                QVERIFY(gMpegValid);
            } else {
                QCOMPARE(w.sizeLabel, QStringLiteral("Not Available"));
                QVERIFY(!gMpegValid);
            }
            QVERIFY(Prompts::records().isEmpty());
        }
        QFile::remove(file);
    }

    // --- decoding and texts ---------------------------------------------------------------------

    void rateCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const char* const texts[] = {"0",  "23.976", "24", "25", "29.97", "30", "50", "59.94",
                                     "60", "9",      "10", "11", "12",    "13", "14", "15"};
        for (int code = 0; code < 16; ++code)
            QTest::addRow("code %d", code) << code << QString::fromLatin1(texts[code]);
    }
    void rateCodes()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        const unsigned char bytes[4] = {0x16, 0x00, 0xF0, (unsigned char)(0x10 | code)};
        const MpegSequenceHeader h = DecodeMpegHeader(bytes);
        QCOMPARE(h.rateCode, code);
        QCOMPARE(MpegRateText(h.rateCode), text);
        QCOMPARE(MpegSignature(h), QStringLiteral("352,240,") + text);
    }

    void decodesTwelveBitFieldsAndUsesTheLocaleSeparator()
    {
        const unsigned char bytes[4] = {0xFF, 0xFE, 0xDC, 0xA4};
        const MpegSequenceHeader h = DecodeMpegHeader(bytes);
        QCOMPARE(h.width, 0xFFF);
        QCOMPARE(h.height, 0xEDC);
        QCOMPARE(h.rateCode, 4);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(MpegSignature(h), QStringLiteral("4095,3804,29,97"));
    }

    void headerIsReadAfterTheStartCode_data()
    {
        QTest::addColumn<qint64>("at");
        QTest::newRow("at 0") << qint64(0);
        QTest::newRow("at 32,766") << qint64(32766);
        QTest::newRow("at 32,768") << qint64(32768);
    }
    void headerIsReadAfterTheStartCode()
    {
        QFETCH(qint64, at);
        // Decoys on both sides: only bytes at + 4 to at + 7 may be taken.
        QByteArray bytes = withStartCode(40000, at, kHeader352x240x30, char(0x2D));
        kivrotest::writeFile(path("hdr.bin"), bytes);
        FakeWindow w;
        ShowMpegInfo(w, path("hdr.bin"), false);
        QCOMPARE(w.sizeLabel, QStringLiteral("352x240 (pxls)"));
        QCOMPARE(w.rateLabel, QStringLiteral("30 fps"));
        QVERIFY(w.moreInfoEnabled);
        QVERIFY(gMpegInfoAvailable);
        QStringList list;
        CheckMpegFile(w, path("hdr.bin"), list);
        QCOMPARE(list, QStringList{QStringLiteral("352,240,30")});
    }

    void realFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("startCode");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("rate");
        // Offsets, picture sizes and rates as ffprobe reported them (tests/engine/data/README.txt).
        QTest::newRow("MPEG-1 system stream") << "mpeg1_352x240_29.97.mpg" << qint64(46) << "352x240 (pxls)"
                                              << "29.97 fps";
        QTest::newRow("MPEG-2 program stream PAL") << "mpeg2_720x576_25.mpg" << qint64(52) << "720x576 (pxls)"
                                                   << "25 fps";
        QTest::newRow("MPEG-2 program stream film") << "mpeg2_640x480_23.976.mpg" << qint64(52) << "640x480 (pxls)"
                                                    << "23.976 fps";
    }
    void realFiles()
    {
        QFETCH(QString, file);
        QFETCH(qint64, startCode);
        QFETCH(QString, size);
        QFETCH(QString, rate);
        FakeWindow w;
        QCOMPARE(ScanMpegStartCode(w, fixture(file)).value_or(-1), startCode);
        ShowMpegInfo(w, fixture(file), false);
        QCOMPARE(w.sizeLabel, size);
        QCOMPARE(w.rateLabel, rate);

        // Its EMH header is its own first (start code + 5,600) bytes.
        const QString piece = path("real.001.mpg");
        QFile::remove(piece);
        EmbedMpegHeader(w, fixture(file), piece, 1, false);
        QVERIFY(gEmhHeaderWritten);
        QCOMPARE(gEmhDataStart, std::int32_t(startCode + 5601));
        QCOMPARE(kivrotest::readFile(piece), kivrotest::readFile(fixture(file)).left(startCode + 5600));
    }

    // --- the pack's compatibility check ---------------------------------------------------------

    void checkRecordsTheFirstSignatureAndComparesTheOthers()
    {
        kivrotest::writeFile(path("a.mpg"), withStartCode(500, 10));
        kivrotest::writeFile(path("b.mpg"), withStartCode(700, 200));
        kivrotest::writeFile(path("c.mpg"), withStartCode(500, 10, QByteArray("\x2D\x02\x40\x13", 4)));
        FakeWindow w;
        CheckMpegFile(w, path("a.mpg"), w.Mcheck_Lst);
        CheckMpegFile(w, path("b.mpg"), w.Mcheck_Lst);
        QCOMPARE(w.Mcheck_Lst, QStringList{QStringLiteral("352,240,30")});
        QVERIFY(gMpegCompatible);
        CheckMpegFile(w, path("c.mpg"), w.Mcheck_Lst);
        QVERIFY(!gMpegCompatible);
        QCOMPARE(w.Mcheck_Lst, QStringList{QStringLiteral("352,240,30")});
        QVERIFY(gMpegValid);
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(w.pointer, 0);
    }

    void checkRateCodeZeroComparesEqual()
    {
        kivrotest::writeFile(path("z1.mpg"), withStartCode(50, 0, QByteArray("\x16\x00\xF0\x10", 4)));
        kivrotest::writeFile(path("z2.mpg"), withStartCode(90, 30, QByteArray("\x16\x00\xF0\x10", 4)));
        FakeWindow w;
        CheckMpegFile(w, path("z1.mpg"), w.Mcheck_Lst);
        CheckMpegFile(w, path("z2.mpg"), w.Mcheck_Lst);
        QCOMPARE(w.Mcheck_Lst, QStringList{QStringLiteral("352,240,0")});
        QVERIFY(gMpegCompatible);
    }

    void checkAsksAboutAFileWithoutHeader_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("ignore");
        QTest::newRow("Yes") << "Yes" << true;
        QTest::newRow("No") << "No" << false;
    }
    void checkAsksAboutAFileWithoutHeader()
    {
        QFETCH(QString, answer);
        QFETCH(bool, ignore);
        kivrotest::writeFile(path("plain.avi"), patterned(70000));
        FakeWindow w;
        Prompts::queue(answer);
        CheckMpegFile(w, path("plain.avi"), w.Mcheck_Lst);
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("Critical|YesNo|Tesma Kivro Pro|'") + path("plain.avi")
                                         + QStringLiteral("' is not a valid MPEG file.\\n\\nProceed packing "
                                                          "and ignore invalid Mpeg error?|")
                                         + answer});
        QCOMPARE(gIgnoreMpegErrors, ignore);
        QVERIFY(!gMpegValid);
        QVERIFY(gMpegCompatible);
        QVERIFY(w.Mcheck_Lst.isEmpty());
        QCOMPARE(gMsgResult, answer == QLatin1String("Yes") ? vbYes : vbNo);
        QCOMPARE(w.pointerLog, (QList<int>{11, 0}));
    }

    void checkRaisesForAFileThatCannotBeOpened()
    {
        FakeWindow w;
        try {
            CheckMpegFile(w, path("missing.mpg"), w.Mcheck_Lst);
            QFAIL("no error raised");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 13);
        }
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("Critical|OK|Tesma Kivro Pro|Error opening '")
                                         + path("missing.mpg") + QStringLiteral("'!|OK")});
        QCOMPARE(w.pointer, 0);
    }

    // --- the MPEG information -------------------------------------------------------------------

    void infoBoxShowsTheFiveLines()
    {
        kivrotest::writeFile(path("info.mpg"), withStartCode(1000, 100, QByteArray("\x2D\x02\x40\x14", 4)));
        FakeWindow w;
        w.sizeLabel = QStringLiteral("keep");
        w.lengthMs = 125500;
        w.lengthFrames = 3762;
        ShowMpegInfo(w, path("info.mpg"), true);
        QCOMPARE(boxTexts(),
                 QStringList{QStringLiteral("Information|OK|Tesma Kivro Pro|Filename: %1\\nDuration: 00:02:05:30 secs"
                                            "\\nTotal Frames: 3762 frames\\nVideo Rate: 29.97 fps\\nVideo Size: "
                                            "720x576 (pixels)|OK")
                                 .arg(path("info.mpg"))});
        QCOMPARE(w.sizeLabel, QStringLiteral("keep"));
        QCOMPARE(gDurationText, QStringLiteral("00:02:05:30"));
        QVERIFY(gMpegInfoAvailable);
        QCOMPARE(gMsgResult, vbOK);
    }

    void infoWithoutPreviewLengthStillShowsTheHeader()
    {
        // No media open in the preview: the lengths are 0, the header is still good.
        kivrotest::writeFile(path("nolen.mpg"), withStartCode(64, 0));
        FakeWindow w;
        ShowMpegInfo(w, path("nolen.mpg"), true);
        QVERIFY(boxTexts().value(0).contains(QLatin1String("Duration: 00:00:00:00 secs\\nTotal Frames: 0 frames")));
        ShowMpegInfo(w, path("nolen.mpg"), false);
        QCOMPARE(w.rateLabel, QStringLiteral("30 fps"));
    }

    void infoNotAvailableReplacesThePreviousFile_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty with "create" false: a missing file
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("validCleared");
        QTest::addColumn<int>("boxes");
        QTest::newRow("no start code") << patterned(5000) << true << true << 0;
        QTest::newRow("empty file") << QByteArray() << true << true << 0;
        QTest::newRow("3 bytes") << QByteArray("\x00\x00\x01", 3) << true << true << 0;
        QTest::newRow("cannot be opened") << QByteArray() << false << false << 1;
    }
    void infoNotAvailableReplacesThePreviousFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, create);
        QFETCH(bool, validCleared);
        QFETCH(int, boxes);
        kivrotest::writeFile(path("good.mpg"), withStartCode(64, 0));
        const QString other = path("other.bin");
        QFile::remove(other);
        if (create)
            kivrotest::writeFile(other, bytes);
        FakeWindow w;
        ShowMpegInfo(w, path("good.mpg"), false);
        QCOMPARE(w.sizeLabel, QStringLiteral("352x240 (pxls)"));
        w.pointerLog.clear();

        ShowMpegInfo(w, other, false);
        QCOMPARE(w.sizeLabel, QStringLiteral("Not Available"));
        QCOMPARE(w.rateLabel, QStringLiteral("Not Available"));
        QVERIFY(!w.moreInfoEnabled);
        QVERIFY(!gMpegInfoAvailable);
        QCOMPARE(gMpegValid, !validCleared);
        QCOMPARE(boxTexts().size(), boxes);
        QCOMPARE(w.pointerLog, (QList<int>{11, 0}));

        // The button's box for such a file shows nothing either.
        Prompts::clearRecords();
        ShowMpegInfo(w, other, true);
        QCOMPARE(boxTexts().size(), boxes);
        QCOMPARE(w.sizeLabel, QStringLiteral("Not Available"));
    }

    void hourglassOfARunningActionStays()
    {
        kivrotest::writeFile(path("src.mpg"), withStartCode(20000, 28));
        FakeWindow w;
        w.pointer = 11;
        EmbedMpegHeader(w, path("src.mpg"), path("p.001.mpg"), 1, false);
        QCOMPARE(w.pointer, 11);
        ShowMpegInfo(w, path("src.mpg"), false);
        QCOMPARE(w.pointer, 11);
        w.pointer = 0;
        EmbedMpegHeader(w, path("src.mpg"), path("p.001.mpg"), 1, false);
        QCOMPARE(w.pointer, 0);
    }

    // --- FormatDuration -------------------------------------------------------------------------

    void formatDuration_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << "3725."
                               << "01:02:05:00";
        QTest::newRow("no carry into seconds") << "59.999"
                                               << "00:00:59:60";
        QTest::newRow("half") << "125.5"
                              << "00:02:05:30";
        QTest::newRow("halves away from zero") << "125.375"
                                               << "00:02:05:23";
        QTest::newRow("just below a half") << "1.374"
                                           << "00:00:01:22";
        QTest::newRow(".992 gives 60") << "1.992"
                                       << "00:00:01:60";
        QTest::newRow(".991 gives 59") << "1.991"
                                       << "00:00:01:59";
        QTest::newRow("100 hours") << "360000."
                                   << "100:00:00:00";
        QTest::newRow("below one second") << ".5"
                                          << "00:00:00:30";
        QTest::newRow("zero") << "0."
                              << "00:00:00:00";
        QTest::newRow("nothing but the point") << "."
                                               << "00:00:00:00";
        QTest::newRow("no point: whole seconds") << "61"
                                                 << "00:01:01:00";
        QTest::newRow("long fraction, exact") << "0.0249999999999999999999"
                                              << "00:00:00:01";
        QTest::newRow("long fraction, half") << "0.0250000000000000000000"
                                             << "00:00:00:02";
    }
    void formatDuration()
    {
        QFETCH(QString, seconds);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(FormatDuration(seconds), text);
    }

    void formatDurationRefusesWhatIsNotANumber_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<int>("error");
        QTest::newRow("empty") << "" << 13;
        QTest::newRow("comma") << "125,5" << 13;
        QTest::newRow("two points") << "1.2.3" << 13;
        QTest::newRow("negative") << "-1." << 13;
        QTest::newRow("too large") << "99999999999999999999." << 6;
    }
    void formatDurationRefusesWhatIsNotANumber()
    {
        QFETCH(QString, seconds);
        QFETCH(int, error);
        try {
            FormatDuration(seconds);
            QFAIL("no error raised");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), error);
        }
    }

    void formatLengthSeconds_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << qint64(0) << ".";
        QTest::newRow("half a second") << qint64(500) << ".5";
        QTest::newRow("125.5") << qint64(125500) << "125.5";
        QTest::newRow("whole") << qint64(3725000) << "3725.";
        QTest::newRow("three decimals") << qint64(59999) << "59.999";
        QTest::newRow("inner zero") << qint64(1010) << "1.01";
        QTest::newRow("large") << qint64(360000000) << "360000.";
    }
    void formatLengthSeconds()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(FormatLengthSeconds(ms), text);
    }

    // --- the EMH piece header -------------------------------------------------------------------

    void emhPiecesOfASource()
    {
        // 20,000 bytes, start code at 28, pieces of 10,240: the caller writes each piece's own
        // bytes at gEmhDataStart - 1 when the header went in.
        const QByteArray source = [] {
            QByteArray b = patterned(20000);
            return b.replace(28, 8, kStartCode + kHeader352x240x30);
        }();
        kivrotest::writeFile(path("movie.mpg"), source);
        FakeWindow w;
        // Like the unpack action, the caller keeps the source open on the same File64 and reads
        // on from its own position between the calls.
        w.file64().OpenFile(path("movie.mpg"), QStringLiteral("READ_ONLY"));
        const std::int32_t sourceHandle = w.file64().FileHandle();
        QByteArray pieces[2];
        for (int n = 0; n < 2; ++n) {
            const QString piece = path(QStringLiteral("movie.mpg.00%1.mpg").arg(n + 1));
            QFile::remove(piece);
            EmbedMpegHeader(w, path("movie.mpg"), piece, n, false);
            QCOMPARE(gEmhDataStart, 5629);
            QCOMPARE(gEmhHeaderWritten, n > 0);
            QCOMPARE(QFile::exists(piece), n > 0);
            QByteArray own(10240, '\0');
            own.resize(w.file64().ReadInto(sourceHandle, own.data(), own.size()));
            QFile f(piece);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(gEmhHeaderWritten ? gEmhDataStart - 1 : 0));
            f.write(own);
            f.close();
            pieces[n] = kivrotest::readFile(piece);
        }
        w.file64().CloseFile(sourceHandle);
        QCOMPARE(pieces[0], source.left(10240));
        QCOMPARE(pieces[1].size(), 15388);
        QCOMPARE(pieces[1], source.left(5628) + source.mid(10240));
        QVERIFY(Prompts::records().isEmpty());
    }

    void emhLastPartModeWritesTheHeaderIntoTheOnlyPiece()
    {
        kivrotest::writeFile(path("last.mpg"), withStartCode(20000, 28));
        FakeWindow w;
        QFile::remove(path("last.001.mpg"));
        EmbedMpegHeader(w, path("last.mpg"), path("last.001.mpg"), 0, true);
        QVERIFY(gEmhHeaderWritten);
        QCOMPARE(kivrotest::readFile(path("last.001.mpg")), withStartCode(20000, 28).left(5628));
    }

    void emhHeaderOfAShortSourceIsZeroPadded()
    {
        const QByteArray source = withStartCode(3000, 12, kHeader352x240x30, char(0x77));
        kivrotest::writeFile(path("short.mpg"), source);
        FakeWindow w;
        QFile::remove(path("short.002.mpg"));
        EmbedMpegHeader(w, path("short.mpg"), path("short.002.mpg"), 1, false);
        QCOMPARE(gEmhDataStart, 5613);
        QCOMPARE(kivrotest::readFile(path("short.002.mpg")), source + QByteArray(2612, '\0'));
    }

    void emhHeaderDeepInTheFileIsCopiedWhole()
    {
        // A start code 3 MB in: the header spans several copy blocks.
        QByteArray source = patterned(3100000);
        source.replace(3000001, 8, kStartCode + kHeader352x240x30);
        kivrotest::writeFile(path("deep.mpg"), source);
        FakeWindow w;
        QFile::remove(path("deep.002.mpg"));
        EmbedMpegHeader(w, path("deep.mpg"), path("deep.002.mpg"), 1, false);
        QCOMPARE(gEmhDataStart, 3005602);
        QVERIFY(kivrotest::readFile(path("deep.002.mpg")) == source.left(3005601));
    }

    void emhWithoutHeaderSaysSoForEveryPiece()
    {
        kivrotest::writeFile(path("noheader.avi"), patterned(40000));
        FakeWindow w;
        gEmhDataStart = 77;
        for (int n = 0; n < 3; ++n) {
            QFile::remove(path("noheader.avi.00x.mpg"));
            EmbedMpegHeader(w, path("noheader.avi"), path("noheader.avi.00x.mpg"), n, false);
            QVERIFY(!gEmhHeaderWritten);
            QVERIFY(!QFile::exists(path("noheader.avi.00x.mpg")));
        }
        QCOMPARE(gEmhDataStart, 77);
        const QString box = QStringLiteral("Critical|OK|Tesma Kivro Pro|'") + path("noheader.avi")
                            + QStringLiteral("' MPEG header not found.|OK");
        QCOMPARE(boxTexts(), (QStringList{box, box, box}));
    }

    void emhScansAChangedSourceAnew()
    {
        // The start code is remembered per source; a file replaced under the same name (another
        // file, or another size) is scanned again.
        FakeWindow w;
        const QString src = path("changing.mpg");
        const QString piece = path("changing.002.mpg");
        const auto replaceWith = [&](const QByteArray& bytes) {
            kivrotest::writeFile(src + QStringLiteral(".new"), bytes);
            QFile::remove(src);
            QVERIFY(QFile::rename(src + QStringLiteral(".new"), src));
        };
        replaceWith(withStartCode(9000, 100));
        EmbedMpegHeader(w, src, piece, 1, false);
        QCOMPARE(gEmhDataStart, 5701);
        replaceWith(withStartCode(9000, 300));
        EmbedMpegHeader(w, src, piece, 1, false);
        QCOMPARE(gEmhDataStart, 5901);
        kivrotest::writeFile(src, withStartCode(9004, 40));
        EmbedMpegHeader(w, src, piece, 1, false);
        QCOMPARE(gEmhDataStart, 5641);
        QCOMPARE(kivrotest::readFile(piece).left(5640), withStartCode(9004, 40).left(5640));
    }

    void emhFailedHeaderWriteIsRaisedAndCanBeRetried()
    {
        const QByteArray source = withStartCode(20000, 28);
        kivrotest::writeFile(path("full.mpg"), source);
        const QString piece = path("full.002.mpg");
        QFile::remove(piece);
        FakeWindow w;
        win::InjectWriteLimit(1000);
        try {
            EmbedMpegHeader(w, path("full.mpg"), piece, 1, false);
            QFAIL("no error raised");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 75);
        }
        win::InjectWriteLimit(-1);
        QVERIFY(!gEmhHeaderWritten);
        QCOMPARE(gOpenFileCount, 0);
        QCOMPARE(w.pointer, 0);
        // Both files were closed, so the retry can open the piece again.
        EmbedMpegHeader(w, path("full.mpg"), piece, 1, false);
        QVERIFY(gEmhHeaderWritten);
        QCOMPARE(kivrotest::readFile(piece), source.left(5628));
    }

    void emhPieceThatCannotBeOpenedRaises75()
    {
        kivrotest::writeFile(path("ok.mpg"), withStartCode(20000, 28));
        FakeWindow w;
        const QString piece = path("no-such-folder/ok.002.mpg");
        try {
            EmbedMpegHeader(w, path("ok.mpg"), piece, 1, false);
            QFAIL("no error raised");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 75);
        }
        QVERIFY(!gEmhHeaderWritten);
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("Critical|OK|Tesma Kivro Pro|Error opening '") + piece
                                         + QStringLiteral("'!|OK")});
    }
};

KIVRO_TEST_MAIN(TestMpeg)
#include "tst_mpeg.moc"
