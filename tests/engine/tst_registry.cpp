// The settings store: text values round-trip exactly, names compare without regard to case,
// DWORDs stay a type of their own, and every write is on disk for another process at once.
#include "KivroTest.h"

#include "engine/Registry.h"
#include "platform/Paths.h"
#include "platform/RegistryStore.h"

#include <csignal>
#include <sys/resource.h>

using namespace kivro;
using namespace kivro::Registry;

static int child(const QString& mode)
{
    if (mode == QLatin1String("read-jbat")) {
        const QString v = RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("JBat"),
                                        QStringLiteral("missing"));
        std::fputs(qPrintable(v), stdout);
        return 0;
    }
    return 99;
}

class TestRegistry : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(paths::settingsFile()); }

    void textRoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "high";
        QTest::newRow("commas") << "*.mpg,*.mpeg,*.mpe";
        QTest::newRow("empty") << "";
        QTest::newRow("leading and trailing blanks") << "  a b  ";
        QTest::newRow("quotes") << "\"quoted\"";
        QTest::newRow("lone quote") << "\"x";
        QTest::newRow("looks like a dword") << "dword:0000002a";
        QTest::newRow("backslashes and equals") << "C:\\a\\b=c;d";
        QTest::newRow("line breaks") << "one\ntwo\r\nthree";
        QTest::newRow("section-like") << "[General]";
        QTest::newRow("unicode") << QString::fromUtf8("Vid\xc3\xa9o \xe2\x82\xac");
    }
    void textRoundTrips()
    {
        QFETCH(QString, text);
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Value"), text);
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Value"), QStringLiteral("default")), text);
    }

    void missingValueGivesDefault()
    {
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Nope"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Nope")), QString());
        QCOMPARE(RegReadDWord(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Nope")), 0);
        QCOMPARE(RegReadDWord(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Nope"), 7), 7);
    }

    void emptyTextIsNotMissing()
    {
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("E"), QString());
        const QString v = RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("E"), QStringLiteral("d"));
        QCOMPARE(v, QString());
    }

    void namesCompareWithoutCaseAndKeepFirstSpelling()
    {
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Jbat"), QStringLiteral("Jbat"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("JBat")), QStringLiteral("Jbat"));
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("JBAT"), QStringLiteral("JbatInfo"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("jbat")), QStringLiteral("JbatInfo"));
        const QByteArray file = kivrotest::readFile(paths::settingsFile());
        QVERIFY2(file.contains("\nJbat=JbatInfo\n"), file.constData());
        QVERIFY(!file.contains("JBAT"));
    }

    void writtenValueIsOnDiskForAnotherProcess()
    {
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Jbat"), QStringLiteral("JbatInfo"));
        QByteArray out;
        QCOMPARE(kivrotest::runChild(QStringLiteral("read-jbat"), {}, &out), 0);
        QCOMPARE(out, QByteArray("JbatInfo"));
    }

    void handWrittenFileReadsBackUnchanged()
    {
        kivrotest::writeFile(paths::settingsFile(),
                             "[General]\nsSize=high\nNoOfFilter=3\n\n[Filter]\n1=*.mpg,*.mpeg,*.mpe\n"
                             "[FilterInfo]\n1=Mpeg\n");
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("ssize")), QStringLiteral("high"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("1")),
                 QStringLiteral("*.mpg,*.mpeg,*.mpe"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kFilterInfoKey, QStringLiteral("1")), QStringLiteral("Mpeg"));
        // A write keeps what a person wrote and stays plain text.
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("2"), QStringLiteral("*.mp3"));
        const QByteArray file = kivrotest::readFile(paths::settingsFile());
        QVERIFY2(file.contains("1=*.mpg,*.mpeg,*.mpe\n2=*.mp3\n"), file.constData());
        QVERIFY(file.contains("sSize=high\n"));
    }

    void dwordStaysItsOwnType()
    {
        using namespace kivro::win;
        HKEY key = 0;
        QCOMPARE(RegCreateKeyA(HKEY_CURRENT_USER, kKivroKey, &key), ERROR_SUCCESS);
        const qint32 n = 42;
        RegSetValueExA(key, QStringLiteral("LogPixels"), REG_DWORD, QByteArray(reinterpret_cast<const char*>(&n), 4));
        RegCloseKey(key);
        QVERIFY(kivrotest::readFile(paths::settingsFile()).contains("LogPixels=dword:0000002a"));
        QCOMPARE(RegReadDWord(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("logpixels")), 42);
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("LogPixels"), QStringLiteral("d")),
                 QStringLiteral("d"));
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Text"), QStringLiteral("42"));
        QCOMPARE(RegReadDWord(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("Text"), -1), -1);
    }

    void subKeysAreCreatedAndDeleted()
    {
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("1"), QStringLiteral("*.mpg"));
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("4"), QStringLiteral("*.old"));
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter"), QStringLiteral("1"));
        QCOMPARE(win::RegDeleteKeyA(HKEY_CURRENT_USER, QStringLiteral("Software\\Tesma\\Kivro\\filter")),
                 win::ERROR_SUCCESS);
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("4"), QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter")), QStringLiteral("1"));
        QCOMPARE(win::RegDeleteKeyA(HKEY_CURRENT_USER, kFilterKey), win::ERROR_FILE_NOT_FOUND);
    }

    // A settings file the file system does not take: reads stay silent, each write reports the
    // failure and its value holds for the rest of the run, a deleted sub-key reads as deleted,
    // and one warning names the file, once.
    void failedWritesAreReportedAndKept_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("full disk") << "full disk";
        QTest::newRow("Tesma a file") << "Tesma";
        QTest::newRow("Kivro.ini a folder") << "Kivro.ini";
    }
    void failedWritesAreReportedAndKept()
    {
        QFETCH(QString, cause);
        const QString file = paths::settingsFile();
        kivrotest::writeFile(file, "[General]\nsSize=high\nMZip=On\n[Filter]\n1=*.mpg\n");
        rlimit oldLimit{};
        ::getrlimit(RLIMIT_FSIZE, &oldLimit);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (cause == QLatin1String("full disk")) {
            rlimit none = oldLimit;
            none.rlim_cur = 0;
            ::setrlimit(RLIMIT_FSIZE, &none);
        } else {
            QCOMPARE(kivrotest::unwritableSettingsStore(cause), file);
        }
        win::RegStoreResetRun();
        Prompts::enableScripted();

        const QString onDisk = cause == QLatin1String("full disk") ? QStringLiteral("high") : QStringLiteral("d");
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("sSize"), QStringLiteral("d")), onDisk);
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!win::RegStoreWriteFailed());

        win::HKEY key = 0;
        QCOMPARE(win::RegCreateKeyA(HKEY_CURRENT_USER, kKivroKey, &key), win::ERROR_SUCCESS);
        QCOMPARE(win::RegSetValueExA(key, QStringLiteral("SSIZE"), win::REG_SZ, "low"), win::ERROR_WRITE_FAULT);
        win::RegCloseKey(key);
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter"), QStringLiteral("3"));
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("2"), QStringLiteral("*.mp3"));
        QVERIFY(win::RegStoreWriteFailed());
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("ssize")), QStringLiteral("low"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter")), QStringLiteral("3"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("2")), QStringLiteral("*.mp3"));
        // Deleting what the file holds is a failed write too; what only memory holds just goes.
        const long deleted = win::RegDeleteKeyA(HKEY_CURRENT_USER, kFilterKey);
        if (cause == QLatin1String("full disk"))
            QCOMPARE(deleted, win::ERROR_WRITE_FAULT);
        else
            QVERIFY2(deleted == win::ERROR_SUCCESS || deleted == win::ERROR_WRITE_FAULT,
                     qPrintable(QString::number(deleted)));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("1"), QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("2"), QStringLiteral("gone")),
                 QStringLiteral("gone"));
        // What was not written again still reads from the file.
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("MZip"), QStringLiteral("d")),
                 cause == QLatin1String("full disk") ? QStringLiteral("On") : QStringLiteral("d"));
        QCOMPARE(Prompts::records(),
                 QStringList{QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|Settings cannot be saved to '") + file
                             + QStringLiteral("'. Changes will not be kept.|OK")});

        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);
        if (cause != QLatin1String("full disk"))
            kivrotest::writableSettingsStore();
        win::RegStoreResetRun();
        // Once the file takes writes again, they are on disk.
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("sSize"), QStringLiteral("zip"));
        const QByteArray written = kivrotest::readFile(file);
        QVERIFY2(written.toLower().contains("\nssize=zip\n"), written.constData());
    }

    void machineRootsHaveNoStore()
    {
        RegWriteString(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\*\\shell"), QString(),
                       QStringLiteral("x"));
        QCOMPARE(RegReadString(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\*\\shell"), QString(),
                               QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(RegReadDWord(HKEY_CURRENT_CONFIG, QStringLiteral("Software\\Fonts"), QStringLiteral("LogPixels"), 96),
                 96);
        QVERIFY(!QFile::exists(paths::settingsFile()) || !kivrotest::readFile(paths::settingsFile()).contains("shell"));
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestRegistry, child)
#include "tst_registry.moc"
