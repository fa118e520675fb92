// The window-free parts of the main window's load: the caption, stored positions, folders and
// custom piece sizes as the load judges them, the file-type filter stage with its repairs, and
// the media-driver entries of system.ini.
#include "KivroTest.h"

#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/MainLoad.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "preview/MciIni.h"

#include <QDir>
#include <QFile>

using namespace kivro;
using namespace kivro::Registry;
namespace ml = kivro::MainLoad;

namespace {

const QString kTampered = QStringLiteral(
    "box|Exclamation|OK|Tesma Kivro Pro|Your custom FileType information is tampered or deleted. Default FileType is "
    "replaced.|OK");
const QStringList kDefaultItems{QStringLiteral("Mpeg (*.mpg,*.mpeg,*.mpe)"), QStringLiteral("Mp3 (*.mp3)"),
                                QStringLiteral("All Files (*.*)")};

QString stored(const QString& key, const QString& name)
{
    return RegReadString(HKEY_CURRENT_USER, key, name, QStringLiteral("<missing>"));
}

} // namespace

class TestMainLoad : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(paths::settingsFile());
        Prompts::enableScripted();
    }

    void caption_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1.0.3") << 1 << 0 << 3 << QStringLiteral("Tesma Kivro Pro v1.03");
        QTest::newRow("2.0.5") << 2 << 0 << 5 << QStringLiteral("Tesma Kivro Pro v2.05");
        QTest::newRow("1.2.10") << 1 << 2 << 10 << QStringLiteral("Tesma Kivro Pro v1.210");
    }

    void caption()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, caption);
        QCOMPARE(ml::CaptionText(major, minor, revision), caption);
    }

    void storedPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<double>("value");
        QTest::newRow("off screen to the left") << QStringLiteral("-3000") << true << -3000.0;
        QTest::newRow("blanks around") << QStringLiteral(" 6000 ") << true << 6000.0;
        QTest::newRow("decimals") << QStringLiteral("1234.5") << true << 1234.5;
        QTest::newRow("largest") << QStringLiteral("491505") << true << 491505.0;
        QTest::newRow("smallest") << QStringLiteral("-491505") << true << -491505.0;
        QTest::newRow("beyond 16-bit pixels") << QStringLiteral("491506") << false << 0.0;
        QTest::newRow("far beyond") << QStringLiteral("1e30") << false << 0.0;
        QTest::newRow("not a number") << QStringLiteral("abc") << false << 0.0;
        QTest::newRow("infinite") << QStringLiteral("inf") << false << 0.0;
        QTest::newRow("nan") << QStringLiteral("nan") << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
    }

    void storedPosition()
    {
        QFETCH(QString, text);
        QFETCH(bool, usable);
        QFETCH(double, value);
        const std::optional<double> p = ml::StoredPosition(text);
        QCOMPARE(p.has_value(), usable);
        if (usable)
            QCOMPARE(*p, value);
    }

    void folderExists()
    {
        const QString root = kivrotest::rootDir();
        QVERIFY(ml::FolderExists(root));
        QVERIFY(ml::FolderExists(QStringLiteral("/")));
        QVERIFY(!ml::FolderExists(QString()));
        QVERIFY(!ml::FolderExists(root + QStringLiteral("/no such folder")));
        kivrotest::writeFile(root + QStringLiteral("/plain file"), "x");
        QVERIFY(!ml::FolderExists(root + QStringLiteral("/plain file")));
    }

    void customSize_data()
    {
        QTest::addColumn<QString>("sSize");
        QTest::addColumn<QString>("companion");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("repaired"); // empty: kept
        QTest::newRow("size abc") << "customfs"
                                  << "abc"
                                  << "1,440K (Custom...)" << qint64(1440000) << 0 << 0 << "1440000";
        QTest::newRow("size 0.5") << "customfs"
                                  << "0.5"
                                  << "1,440K (Custom...)" << qint64(1440000) << 0 << 0 << "1440000";
        QTest::newRow("size too big") << "customfs"
                                      << "1048576001"
                                      << "1,440K (Custom...)" << qint64(1440000) << 0 << 0 << "1440000";
        QTest::newRow("size largest") << "customfs"
                                      << "1048576000"
                                      << "1,024,000K (Custom...)" << qint64(1048576000) << 0 << 0 << "";
        QTest::newRow("size 1440000") << "customfs"
                                      << "1440000"
                                      << "1,406K (Custom...)" << qint64(1440000) << 0 << 0 << "";
        QTest::newRow("size half K rounds up") << "customfs"
                                               << "1536"
                                               << "2K (Custom...)" << qint64(1536) << 0 << 0 << "";
        QTest::newRow("first part") << "customffs"
                                    << "2048000"
                                    << "First 2,000K (Custom...)" << qint64(2048000) << 0 << 0 << "";
        QTest::newRow("first part missing") << "customffs"
                                            << ""
                                            << "First 1,440K (Custom...)" << qint64(1440000) << 0 << 0 << "1440000";
        QTest::newRow("last part") << "customlfs"
                                   << "102400"
                                   << "Last 100K (Custom...)" << qint64(102400) << 0 << 0 << "";
        QTest::newRow("percent 99") << "custompfs"
                                    << "99"
                                    << "99% (Custom...)" << qint64(0) << 99 << 0 << "";
        QTest::newRow("percent 100") << "custompfs"
                                     << "100"
                                     << "50% (Custom...)" << qint64(0) << 50 << 0 << "50";
        QTest::newRow("percent 0") << "custompfs"
                                   << "0"
                                   << "50% (Custom...)" << qint64(0) << 50 << 0 << "50";
        QTest::newRow("percent 2.5 to even") << "custompfs"
                                             << "2.5"
                                             << "2.5% (Custom...)" << qint64(0) << 2 << 0 << "";
        QTest::newRow("pieces 1") << "customnof"
                                  << "1"
                                  << "2 Files (Custom...)" << qint64(0) << 0 << 2 << "2";
        QTest::newRow("pieces 99999") << "customnof"
                                      << "99999"
                                      << "99999 Files (Custom...)" << qint64(0) << 0 << 99999 << "";
        QTest::newRow("pieces 100000") << "customnof"
                                       << "100000"
                                       << "2 Files (Custom...)" << qint64(0) << 0 << 2 << "2";
    }

    void customSize()
    {
        QFETCH(QString, sSize);
        QFETCH(QString, companion);
        QFETCH(QString, caption);
        QFETCH(qint64, size);
        QFETCH(int, percent);
        QFETCH(int, files);
        QFETCH(QString, repaired);
        QVERIFY(ml::IsCustomSizeText(sSize));
        const ml::CustomSize c = ml::CustomSizeFor(sSize, companion);
        QCOMPARE(c.caption, caption);
        QCOMPARE(qint64(c.unpackSize), size);
        QCOMPARE(int(c.splitPercent), percent);
        QCOMPARE(int(c.splitFiles), files);
        QCOMPARE(c.repairedCompanion.value_or(QString()), repaired);
        QCOMPARE(c.companionName, sSize == QLatin1String("custompfs")   ? QStringLiteral("cPfs")
                                  : sSize == QLatin1String("customnof") ? QStringLiteral("cNof")
                                                                        : QStringLiteral("cSize"));
        QVERIFY(!ml::IsCustomSizeText(QStringLiteral("CustomFS")));
    }

    void filterStage_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QStringList>("entries"); // "i=description|patterns"
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("countAfter");
        QTest::addColumn<bool>("tampered");
        QTest::addColumn<QStringList>("storeAfter"); // entries 1..N after the stage
        const QStringList defaults{QStringLiteral("Mpeg|*.mpg,*.mpeg,*.mpe"), QStringLiteral("Mp3|*.mp3"),
                                   QStringLiteral("All Files|*.*")};
        QTest::newRow("zero") << "0" << QStringList{QStringLiteral("1=Old|*.old")} << kDefaultItems << "3" << true
                              << defaults;
        QTest::newRow("missing") << QString() << QStringList{} << kDefaultItems << "3" << true << defaults;
        QTest::newRow("not a number") << "abc" << defaults.mid(0, 0) << QStringList{} << "abc" << false
                                      << QStringList{};
        QTest::newRow("gap in the middle compacts")
            << "3" << QStringList{QStringLiteral("1=Mpeg|*.mpg"), QStringLiteral("3=Vob|*.vob")}
            << QStringList{QStringLiteral("Mpeg (*.mpg)"), QStringLiteral("Vob (*.vob)")} << "2" << false
            << QStringList{QStringLiteral("Mpeg|*.mpg"), QStringLiteral("Vob|*.vob")};
        QTest::newRow("first entry empty")
            << "2" << QStringList{QStringLiteral("2=Avi|*.avi")} << QStringList{QStringLiteral("Avi (*.avi)")} << "1"
            << false << QStringList{QStringLiteral("Avi|*.avi")};
        QTest::newRow("count beyond the entries")
            << "5" << QStringList{QStringLiteral("1=A|*.a"), QStringLiteral("2=B|*.b")}
            << QStringList{QStringLiteral("A (*.a)"), QStringLiteral("B (*.b)")} << "2" << false
            << QStringList{QStringLiteral("A|*.a"), QStringLiteral("B|*.b")};
        QTest::newRow("count with a tail and a gap")
            << "3x" << QStringList{QStringLiteral("1=A|*.a"), QStringLiteral("3=C|*.c")}
            << QStringList{QStringLiteral("A (*.a)"), QStringLiteral("C (*.c)")} << "2" << false
            << QStringList{QStringLiteral("A|*.a"), QStringLiteral("C|*.c")};
        QTest::newRow("count with a tail, no gap")
            << "2 " << QStringList{QStringLiteral("1=A|*.a"), QStringLiteral("2=B|*.b")}
            << QStringList{QStringLiteral("A (*.a)"), QStringLiteral("B (*.b)")} << "2 " << false
            << QStringList{QStringLiteral("A|*.a"), QStringLiteral("B|*.b")};
        QTest::newRow("description only")
            << "1" << QStringList{QStringLiteral("1=Odd|")} << QStringList{QStringLiteral("Odd ()")} << "1" << false
            << QStringList{QStringLiteral("Odd|")};
    }

    void filterStage()
    {
        QFETCH(QString, count);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, items);
        QFETCH(QString, countAfter);
        QFETCH(bool, tampered);
        QFETCH(QStringList, storeAfter);
        if (!count.isNull())
            RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter"), count);
        for (const QString& e : entries) {
            const QString n = e.section(QLatin1Char('='), 0, 0);
            const QString rest = e.section(QLatin1Char('='), 1);
            RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, n, rest.section(QLatin1Char('|'), 0, 0));
            RegWriteString(HKEY_CURRENT_USER, kFilterKey, n, rest.section(QLatin1Char('|'), 1));
        }
        Prompts::queue(QStringLiteral("OK"));

        QCOMPARE(ml::LoadFileFilterList(), items);
        QCOMPARE(Prompts::records(), tampered ? QStringList{kTampered} : QStringList{});
        QCOMPARE(stored(kKivroKey, QStringLiteral("NoOfFilter")), countAfter);
        // Read as the type box and the save-as dialog read the store: entry n by number.
        QStringList after;
        for (int i = 1; i <= int(LeadingNumber(countAfter)); ++i)
            after << stored(kFilterInfoKey, QString::number(i)) + QLatin1Char('|')
                         + stored(kFilterKey, QString::number(i));
        QCOMPARE(after, storeAfter);
    }

    void mciDrivers()
    {
        const QString ini = MciIniPath();
        QFile::remove(ini);
        kivrotest::writeFile(ini, "[MCI]\nsequencer=other.drv\navivideo = mciavi.drv\n");
        ml::CorrectMciDrivers();
        QCOMPARE(ReadMciIniEntry(QStringLiteral("MPEGVideo")), QStringLiteral("mciqtz.drv"));
        QCOMPARE(ReadMciIniEntry(QStringLiteral("sequencer")), QStringLiteral("mciseq.drv"));
        // The entry that held its driver already was not written (its blanks are still there).
        QCOMPARE(kivrotest::readFile(ini),
                 QByteArray("[MCI]\nsequencer=mciseq.drv\navivideo = mciavi.drv\nMPEGVideo=mciqtz.drv\n"));
        const QByteArray before = kivrotest::readFile(ini);
        ml::CorrectMciDrivers();
        QCOMPARE(kivrotest::readFile(ini), before);
    }
};

KIVRO_TEST_MAIN(TestMainLoad)
#include "tst_mainload.moc"
