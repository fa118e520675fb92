// The copy loop's block plan: how many whole blocks and what tail a length is copied in.
#include "KivroTest.h"

#include "engine/CopyLoop.h"

using namespace kivro;

class TestCopyLoop : public QObject {
    Q_OBJECT
private slots:
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
        QTest::newRow("more digits than int64 holds") << 9000000000000000000LL << 1000000 << 30
                                                      << 9000000000000LL << 0LL;
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
};

KIVRO_TEST_MAIN(TestCopyLoop)
#include "tst_copyloop.moc"
