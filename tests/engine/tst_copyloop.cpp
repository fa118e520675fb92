// The copy loop's block plan (how many whole blocks and what tail a length is copied in), and
// the block copy at every transfer rate, each way it can go (the kernel's two ways and the buffer,
// each forced through the platform layer's seam): every byte
// arrives, at the output's own position, across the boundaries where each way splits its work
// (page and 1 MiB boundaries of the output, the buffer's pieces, a block that ends at the end of
// its source, short tails), also between two file systems.
#include "KivroTest.h"

#include "engine/CopyLoop.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "platform/FileApi.h"

#include <sys/stat.h>

using namespace kivro;

namespace {

QByteArray varied(qint64 size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2654435761u * quint32(seed + 1);
    for (qint64 i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = char(x >> 24);
    }
    return bytes;
}

dev_t deviceOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_dev : dev_t(0);
}

} // namespace

class TestCopyLoop : public QObject {
    Q_OBJECT

    QString dir;

    // A folder on another file system than `dir` (a tmpfs), or empty when there is none.
    QString otherFileSystem() const
    {
        const QString shm = QStringLiteral("/dev/shm");
        if (!QFileInfo(shm).isDir() || !QFileInfo(shm).isWritable() || deviceOf(shm) == deviceOf(dir))
            return QString();
        return shm;
    }

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/copy");
        QDir().mkpath(dir);
    }
    void init()
    {
        gOpenFileHandles.clear();
        gOpenFileCount = 0;
        gFileOpenError = 0;
    }
    void cleanup() { kivrotest::forceCopyWay(kivrotest::CopyWay::Range); }

    void planBlocks_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<int>("digits");
        QTest::addColumn<qint64>("blocks");
        QTest::addColumn<qint64>("tail");
        QTest::newRow("slow, one block") << 10000LL << 10000 << 4 << 1LL << 0LL;
        QTest::newRow("slow, block and tail") << 12345LL << 10000 << 4 << 1LL << 2345LL;
        QTest::newRow("slow, tail only") << 123LL << 10000 << 4 << 0LL << 123LL;
        QTest::newRow("slow, whole blocks") << 1440000LL << 10000 << 4 << 144LL << 0LL;
        QTest::newRow("normal") << 1234567LL << 100000 << 5 << 12LL << 34567LL;
        QTest::newRow("normal, floppy") << 1440000LL << 100000 << 5 << 14LL << 40000LL;
        QTest::newRow("fast") << 3000000LL << 1000000 << 6 << 3LL << 0LL;
        QTest::newRow("fast, block and tail") << 1440000LL << 1000000 << 6 << 1LL << 440000LL;
        QTest::newRow("ufast, one read") << 1440000LL << 5000000 << 7 << 0LL << 1440000LL;
        QTest::newRow("ufast, one block's length") << 5000000LL << 5000000 << 7 << 0LL << 5000000LL;
        QTest::newRow("ufast, two blocks and a tail") << 12345678LL << 5000000 << 7 << 2LL << 2345678LL;
        QTest::newRow("ufast, tail over a block") << 9999999LL << 5000000 << 7 << 0LL << 9999999LL;
        QTest::newRow("ufast, 9 MB tail") << 9000000LL << 5000000 << 7 << 0LL << 9000000LL;
        QTest::newRow("ufast, 100 MB") << 100000000LL << 5000000 << 7 << 20LL << 0LL;
        QTest::newRow("ufast, beyond 4 GiB") << 6442450944LL << 5000000 << 7 << 1288LL << 2450944LL;
        QTest::newRow("mismatched pair keeps every byte") << 250LL << 100 << 1 << 2LL << 50LL;
        QTest::newRow("more digits than int64 holds")
            << 9000000000000000000LL << 1000000 << 30 << 9000000000000LL << 0LL;
        QTest::newRow("no block size") << 1234LL << 0 << 4 << 0LL << 1234LL;
        QTest::newRow("empty") << 0LL << 10000 << 4 << 0LL << 0LL;
    }
    void planBlocks()
    {
        QFETCH(qint64, length);
        QFETCH(int, blockSize);
        QFETCH(int, digits);
        const BlockPlan plan = PlanBlocks(length, blockSize, digits);
        QTEST(qint64(plan.blocks), "blocks");
        QTEST(qint64(plan.tail), "tail");
        QCOMPARE(plan.blocks * qint64(blockSize) + plan.tail, length);
    }

    void copiesEveryByteAcrossTheBoundaries_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<bool>("otherFs");
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<qint64>("sourceSize");
        QTest::addColumn<qint64>("outputOffset");
        QTest::addColumn<int>("digits");
        const struct {
            const char* name;
            int blockSize;
            int digits;
        } rates[] = {{"slow", 10000, 4}, {"normal", 100000, 5}, {"fast", 1000000, 6}, {"ufast", 5000000, 7}};
        using kivrotest::CopyWay;
        for (const CopyWay way : {CopyWay::Range, CopyWay::Send, CopyWay::Buffer}) {
            for (const auto& rate : rates) {
                const qint64 b = rate.blockSize;
                const struct {
                    const char* name;
                    qint64 size;
                } sources[] = {
                    {"empty", 0},
                    {"1 byte", 1},
                    {"4,095 bytes", 4095},
                    {"4,096 bytes", 4096},
                    {"5,000,001 bytes", 5000001},
                    {"blocks ending at the end", 3 * b},
                    {"tail shorter than a page", 2 * b + 100},
                };
                for (const auto& source : sources) {
                    for (const qint64 offset : {qint64(0), qint64(4097), qint64((1 << 20) - 3)}) {
                        const QString name = QStringLiteral("%1, %2, %3, output at %4")
                                                 .arg(kivrotest::copyWayName(way), rate.name, source.name)
                                                 .arg(offset);
                        QTest::newRow(qPrintable(name))
                            << int(way) << false << rate.blockSize << source.size << offset << rate.digits;
                    }
                }
            }
            // The output on another file system: the kernel refuses its first way, every block
            // goes the next way all the same.
            for (const auto& rate : rates)
                QTest::newRow(
                    qPrintable(QStringLiteral("%1, %2, other file system").arg(kivrotest::copyWayName(way), rate.name)))
                    << int(way) << true << rate.blockSize << qint64(2 * rate.blockSize + 4095) << qint64(4097)
                    << rate.digits;
        }
    }
    void copiesEveryByteAcrossTheBoundaries()
    {
        QFETCH(int, way);
        QFETCH(bool, otherFs);
        QFETCH(int, blockSize);
        QFETCH(qint64, sourceSize);
        QFETCH(qint64, outputOffset);
        QFETCH(int, digits);
        QString outDir = dir;
        if (otherFs) {
            outDir = otherFileSystem();
            if (outDir.isEmpty())
                QSKIP("no second file system to copy to");
        }
        kivrotest::forceCopyWay(kivrotest::CopyWay(way));
        const QString in = dir + QStringLiteral("/source");
        const QString out = outDir + QStringLiteral("/kivro-copy-output");
        const QByteArray source = varied(sourceSize, blockSize);
        const QByteArray before = varied(outputOffset, 7);
        kivrotest::writeFile(in, source);
        kivrotest::writeFile(out, before);

        File64 file;
        file.OpenFile(in, QStringLiteral("READ_ONLY"));
        const std::int32_t hin = file.FileHandle();
        file.OpenFile(out, QStringLiteral("READ_WRITE"));
        const std::int32_t hout = file.FileHandle();
        QVERIFY(hin != -1 && hout != -1);
        QVERIFY(file.SeekHandle(hout, outputOffset));

        // Whole blocks, several to a call, then the tail, as the copy loops issue them.
        CopyBuffer buffer;
        const BlockPlan plan = PlanBlocks(sourceSize, blockSize, digits);
        QList<qint64> calls;
        for (qint64 b = 0; b < plan.blocks; b += BlocksPerCopy(blockSize))
            calls << std::min<qint64>(BlocksPerCopy(blockSize), plan.blocks - b) * blockSize;
        if (plan.tail > 0)
            calls << plan.tail;
        for (const qint64 count : calls) {
            try {
                CopyBlock(file, hin, hout, buffer.data(), count, in);
            } catch (const RuntimeError& e) {
                QFAIL(qPrintable(QStringLiteral("error %1 copying %2 bytes").arg(e.number()).arg(count)));
            }
        }
        QCOMPARE(win::FilePosition(hin), sourceSize);
        QCOMPARE(win::FilePosition(hout), outputOffset + sourceSize);
        file.CloseAllFilesQuietly();

        const QByteArray result = kivrotest::readFile(out);
        QFile::remove(out);
        QCOMPARE(result.size(), before.size() + source.size());
        QVERIFY(result.startsWith(before));
        QVERIFY(result.mid(before.size()) == source);
    }
};

KIVRO_TEST_MAIN(TestCopyLoop)
#include "tst_copyloop.moc"
