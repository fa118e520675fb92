// Free space: measured where the action writes, the space this user can write, grouped per file
// system; exactly enough runs, one byte short refuses; paths without a volume measure 0.
#include "KivroTest.h"

#include <sys/statvfs.h>

#include "engine/FreeSpace.h"
#include "platform/DiskApi.h"

#include <QStorageInfo>

#include <numeric>

#include <sys/stat.h>

using namespace kivro;

namespace {
constexpr std::int64_t kFree = 1000000;

std::uint64_t deviceOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? std::uint64_t(st.st_dev) : 0;
}
} // namespace

class TestFreeSpace : public QObject {
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/space");
        QDir().mkpath(dir + QStringLiteral("/sub"));
    }
    void cleanup() { win::InjectDiskFreeSpace(-1); }

    void exactlyEnoughRunsOneByteShortRefuses_data()
    {
        QTest::addColumn<QList<qint64>>("bytes");
        QTest::addColumn<bool>("enough");
        QTest::newRow("equal") << QList<qint64>{kFree} << true;
        QTest::newRow("one byte more") << QList<qint64>{kFree + 1} << false;
        QTest::newRow("two parts, equal in sum") << QList<qint64>{kFree - 10, 10} << true;
        // Each part fits alone; together they do not.
        QTest::newRow("two parts, one byte more in sum") << QList<qint64>{kFree - 10, 11} << false;
    }
    void exactlyEnoughRunsOneByteShortRefuses()
    {
        QFETCH(QList<qint64>, bytes);
        QFETCH(bool, enough);
        win::InjectDiskFreeSpace(kFree);
        QCOMPARE(GetSaveDriveFreeSpace(dir + QStringLiteral("/out.mpg")), kFree);
        QVector<SpaceNeed> needs;
        for (int i = 0; i < bytes.size(); ++i)
            needs << SpaceNeed{i % 2 ? dir + QStringLiteral("/sub") : dir + QStringLiteral("/out.mpg"), bytes.at(i)};
        const QVector<VolumeSpace> volumes = MeasureSpaceNeeds(needs);
        QCOMPARE(volumes.size(), 1);
        QCOMPARE(volumes.at(0).freeBytes, kFree);
        QCOMPARE(volumes.at(0).needed, std::accumulate(bytes.begin(), bytes.end(), qint64(0)));
        QCOMPARE(volumes.at(0).targets.size(), bytes.size());
        QCOMPARE(EnoughFreeSpace(volumes), enough);
    }

    // A target that does not exist yet is measured on its nearest existing folder, and the figure
    // is the space this user can write.
    void measuresTheNearestExistingFolder()
    {
        const QString target = dir + QStringLiteral("/not/made/yet/out.mpg");
        QCOMPARE(win::NearestExistingFolder(target), dir);
        QCOMPARE(win::NearestExistingFolder(dir + QStringLiteral("/sub/")), dir + QStringLiteral("/sub"));
        QVERIFY(DoesSystemSupportLargeDrives(target));
        const qint64 measured = GetSaveDriveFreeSpace(target);
        // What the file system itself says the user can write there.
        struct statvfs vfs {};
        QCOMPARE(::statvfs(QFile::encodeName(dir).constData(), &vfs), 0);
        const qint64 available = qint64(vfs.f_bavail) * qint64(vfs.f_frsize);
        QVERIFY(measured > 0);
        QVERIFY2(std::abs(measured - available) < 64 * 1024 * 1024,
                 qPrintable(QStringLiteral("%1 vs %2").arg(measured).arg(available)));
        const QVector<VolumeSpace> v = MeasureSpaceNeeds({{target, 1}});
        QCOMPARE(v.size(), 1);
        QCOMPARE(v.at(0).folder, dir);
    }

    void pathsWithoutVolumeMeasureZero_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty") << QString();
        QTest::newRow("bare name") << QStringLiteral("out.mpg");
        QTest::newRow("relative folder") << QStringLiteral("space/out.mpg");
        QTest::newRow("drive letter") << QStringLiteral("D:\\out\\all.mpg");
    }
    void pathsWithoutVolumeMeasureZero()
    {
        QFETCH(QString, path);
        win::InjectDiskFreeSpace(kFree); // a figure for real volumes only
        QVERIFY(!DoesSystemSupportLargeDrives(path));
        QCOMPARE(GetSaveDriveFreeSpace(path), qint64(0));
        const QVector<VolumeSpace> v = MeasureSpaceNeeds({{path, 1}, {dir, 1}});
        QCOMPARE(v.size(), 2);
        QCOMPARE(v.at(0).freeBytes, qint64(0));
        QVERIFY(!EnoughFreeSpace(v));
    }

    // Pieces bound for two file systems are checked against each one's own space.
    void needsAreGroupedPerFileSystem()
    {
        const QString shm = QStringLiteral("/dev/shm");
        if (!QFileInfo(shm).isDir() || deviceOf(shm) == deviceOf(dir))
            QSKIP("no second file system");
        win::InjectDiskFreeSpace(kFree);
        const QVector<VolumeSpace> v = MeasureSpaceNeeds({{dir + QStringLiteral("/a.001"), kFree / 2},
                                                          {shm + QStringLiteral("/b.001"), kFree},
                                                          {dir + QStringLiteral("/sub/a.002"), kFree / 2}});
        QCOMPARE(v.size(), 2);
        QCOMPARE(v.at(0).needed, kFree);
        QCOMPARE(v.at(0).targets.size(), 2);
        QCOMPARE(v.at(1).needed, kFree);
        QCOMPARE(v.at(1).folder, shm);
        QVERIFY(EnoughFreeSpace(v));
        QVERIFY(!EnoughFreeSpace(MeasureSpaceNeeds({{dir, 1}, {shm, kFree + 1}})));
    }
};

KIVRO_TEST_MAIN(TestFreeSpace)
#include "tst_freespace.moc"
