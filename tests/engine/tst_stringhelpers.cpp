// The small text and path helpers and the file-type filter store.
#include "KivroTest.h"

#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"

#include <QFontInfo>

using namespace kivro;
using namespace kivro::Registry;

namespace {

// Every character is 100 twips wide: widths are easy to reason about.
std::int32_t hundredPerChar(const QString& text)
{
    return std::int32_t(text.size()) * 100;
}

class FakeFileList : public FileListSource {
public:
    QStringList names;
    QList<bool> selected;
    int ListCount() const override { return int(names.size()); }
    QString List(int i) const override { return names.at(i); }
    bool Selected(int i) const override { return selected.at(i); }
};

QString filter(const QString& name)
{
    return RegReadString(HKEY_CURRENT_USER, kFilterKey, name, QStringLiteral("<none>"));
}
QString filterInfo(const QString& name)
{
    return RegReadString(HKEY_CURRENT_USER, kFilterInfoKey, name, QStringLiteral("<none>"));
}
QString mainValue(const QString& name)
{
    return RegReadString(HKEY_CURRENT_USER, kKivroKey, name, QStringLiteral("<none>"));
}

} // namespace

class TestStringHelpers : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
    }

    void lastInStr_data()
    {
        QTest::addColumn<QString>("txt");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("expected");
        QTest::newRow("path") << "/Video/clip.mpg"
                              << "/" << 7;
        QTest::newRow("overlapping") << "aaa"
                                     << "aa" << 2;
        QTest::newRow("none") << "clip.mpg"
                              << "/" << 0;
        QTest::newRow("case matters") << "ABC"
                                      << "b" << 0;
        QTest::newRow("empty pattern") << "abc"
                                       << "" << 0;
        QTest::newRow("empty text") << ""
                                    << "/" << 0;
        QTest::newRow("root") << "/"
                              << "/" << 1;
    }
    void lastInStr()
    {
        QFETCH(QString, txt);
        QFETCH(QString, pattern);
        QFETCH(int, expected);
        QCOMPARE(LastInStr(txt, pattern), expected);
    }

    void replaceallOnePass_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mpeg patterns") << "*.mpg,*.mpeg,*.mpe"
                                       << ","
                                       << ";"
                                       << "*.mpg;*.mpeg;*.mpe";
        QTest::newRow("no occurrence") << "*.mp3"
                                       << ","
                                       << ";"
                                       << "*.mp3";
        QTest::newRow("empty search text") << "abc"
                                           << ""
                                           << "x"
                                           << "abc";
        QTest::newRow("replacement recreates a match") << "a,b"
                                                       << ","
                                                       << ",,"
                                                       << "a,,b";
        QTest::newRow("replacement holds the text") << "aa"
                                                    << "a"
                                                    << "aa"
                                                    << "aaaa";
        QTest::newRow("adjacent occurrences") << ",,,"
                                              << ","
                                              << ";"
                                              << ";;;";
        QTest::newRow("longer find, non-overlapping") << "aaaa"
                                                      << "aa"
                                                      << "b"
                                                      << "bb";
        QTest::newRow("to empty") << "a,b,c"
                                  << ","
                                  << ""
                                  << "abc";
    }
    void replaceallOnePass()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QString rewritten = text;
        QCOMPARE(replaceall(rewritten, find, replacement), expected);
        QCOMPARE(rewritten, expected); // the argument itself is rewritten too
        QCOMPARE(replaceall(QString(text), find, replacement), expected);
    }

    void inverseString()
    {
        gInverseSource = QStringLiteral("abc");
        inverse_string();
        QCOMPARE(gInverseResult, QStringLiteral("cba"));
        gInverseSource.clear();
        inverse_string();
        QCOMPARE(gInverseResult, QString());
    }

    void addSlashLeavesPathsAlone()
    {
        QCOMPARE(AddSlash(QStringLiteral("/t")), QStringLiteral("/t"));
        QCOMPARE(AddSlash(QStringLiteral("/")), QStringLiteral("/"));
        QCOMPARE(AddSlash(QString()), QString());
        QCOMPARE(AddSlash(QStringLiteral("/home/v")), QStringLiteral("/home/v"));
    }

    void winPathIsThePerUserFolder()
    {
        QCOMPARE(paths::GetWinPath(), paths::userDataDir());
        QVERIFY(QDir(paths::GetWinPath()).exists());
    }

    void formatDir_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<QString>("expected");
        // Fits exactly: unchanged.
        QTest::newRow("fits") << "/a/b/c.mpg" << 1000 << "/a/b/c.mpg";
        // Tail ".../clip" = 800; the head may be 2900 - 800 - 350 = 1750 twips: 17 characters.
        QTest::newRow("long path keeps its last component")
            << "/home/user/videos/holiday/clip" << 2900 << "/home/user/videos.../clip";
        // A path ending in "/": the tail is ".../" alone (400); the head up to 2250: 22 characters.
        QTest::newRow("trailing slash") << "/home/user/videos/holiday/more/" << 3000 << "/home/user/videos/holi.../";
        // The last component alone is too wide (1400 - 1600 - 175 < 0): the whole path is cut to
        // 1200 twips and given "...".
        QTest::newRow("last component too wide") << "/a/verylongname" << 1400 << "/a/verylongn...";
        // No "/" at all: cut to maxWidth - 200 and "...".
        QTest::newRow("no separator") << "abcdefghijklmnop" << 1000 << "abcdefgh...";
        // Room for the head is 1000 - 800 - 175 = 25 twips: not even an empty head fits beside
        // the tail, which stands alone.
        QTest::newRow("empty head does not fit") << "/abcdef/ghij" << 1000 << ".../ghij";
    }
    void formatDir()
    {
        QFETCH(QString, path);
        QFETCH(int, maxWidth);
        QFETCH(QString, expected);
        QString result = QStringLiteral("old text");
        FormatDir(path, result, maxWidth, hundredPerChar);
        QCOMPARE(result, expected);
    }

    void formatDirWithTheRealFont()
    {
        const QString path = QStringLiteral("/home/someone/Videos/Holidays/2003/Summer/beach-evening-long-name.mpg");
        QString result;
        FormatDir(path, result, 4200);
        QVERIFY2(result.endsWith(QStringLiteral(".../beach-evening-long-name.mpg")), qPrintable(result));
        QVERIFY(result.startsWith(QStringLiteral("/home/")));
        QVERIFY(TextWidthTwips(result) <= 4200);
        FormatDir(QStringLiteral("/tmp"), result, 4200);
        QCOMPARE(result, QStringLiteral("/tmp"));
    }

    void widthsAreWholeTwipsInTheMetricCompatibleFace()
    {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(8.25);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
        const std::int32_t w = TextWidthTwips(QStringLiteral("Xyz"));
        QVERIFY(w > 0);
        QCOMPARE(w % 15, 0);
        QCOMPARE(w, QFontMetrics(font).horizontalAdvance(QStringLiteral("Xyz")) * 15);
        QCOMPARE(TextWidthTwips(QString()), 0);
        QVERIFY(TextWidthTwips(QStringLiteral("clip-0001.mpg")) > TextWidthTwips(QStringLiteral("clip.mpg")));
    }

    void refreshFileSelection()
    {
        FakeFileList file1;
        QStringList mirror{QStringLiteral("stale")};
        refresh_filesel_lst(file1, mirror);
        QVERIFY(mirror.isEmpty()); // an empty file list clears the mirror

        file1.names = {QStringLiteral("a.mpg"), QStringLiteral("b.mpg"), QStringLiteral("c.mpg")};
        file1.selected = {false, false, false};
        mirror = QStringList{QStringLiteral("stale")};
        refresh_filesel_lst(file1, mirror);
        QVERIFY(mirror.isEmpty());

        file1.selected = {true, false, true};
        refresh_filesel_lst(file1, mirror);
        QCOMPARE(mirror, (QStringList{QStringLiteral("a.mpg"), QStringLiteral("c.mpg")}));
    }

    void resetFileFilterLeavesExactlyTheDefaults()
    {
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter"), QStringLiteral("5"));
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("fCheck"), QStringLiteral("no"));
        for (int i = 1; i <= 5; ++i) {
            RegWriteString(HKEY_CURRENT_USER, kFilterKey, QString::number(i), QStringLiteral("*.x%1").arg(i));
            RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QString::number(i), QStringLiteral("X%1").arg(i));
        }
        ResetFileFilter();
        QCOMPARE(mainValue(QStringLiteral("fCheck")), QStringLiteral("fPass"));
        QCOMPARE(mainValue(QStringLiteral("NoOfFilter")), QStringLiteral("3"));
        QCOMPARE(filter(QStringLiteral("1")), QStringLiteral("*.mpg,*.mpeg,*.mpe"));
        QCOMPARE(filter(QStringLiteral("2")), QStringLiteral("*.mp3"));
        QCOMPARE(filter(QStringLiteral("3")), QStringLiteral("*.*"));
        QCOMPARE(filterInfo(QStringLiteral("1")), QStringLiteral("Mpeg"));
        QCOMPARE(filterInfo(QStringLiteral("2")), QStringLiteral("Mp3"));
        QCOMPARE(filterInfo(QStringLiteral("3")), QStringLiteral("All Files"));
        QCOMPARE(filter(QStringLiteral("4")), QStringLiteral("<none>"));
        QCOMPARE(filterInfo(QStringLiteral("5")), QStringLiteral("<none>"));
        QVERIFY(Prompts::records().isEmpty()); // it reports nothing
    }

    void damagedCountIsRepairedWithTheMessage_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("count");
        QTest::newRow("zero") << true << "0";
        QTest::newRow("empty") << true << "";
        QTest::newRow("missing") << false << "";
    }
    void damagedCountIsRepairedWithTheMessage()
    {
        QFETCH(bool, present);
        QFETCH(QString, count);
        if (present)
            RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter"), count);
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("7"), QStringLiteral("*.old"));
        gMsgResult = 0;
        const FileFilterStore store = ReadFileFilterStore();
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|")
                                                 + kFilterStoreDamagedText + QStringLiteral("|OK")});
        QCOMPARE(gMsgResult, vbOK);
        QVERIFY(store.repaired);
        QCOMPARE(store.count, QStringLiteral("3"));
        QCOMPARE(store.entries.size(), 3);
        QCOMPARE(store.entries.at(0).displayForm(), QStringLiteral("Mpeg (*.mpg,*.mpeg,*.mpe)"));
        QCOMPARE(store.entries.at(0).listPatterns(), QStringLiteral("*.mpg;*.mpeg;*.mpe"));
        QCOMPARE(store.entries.at(2).displayForm(), QStringLiteral("All Files (*.*)"));
        QCOMPARE(mainValue(QStringLiteral("NoOfFilter")), QStringLiteral("3"));
        QCOMPARE(mainValue(QStringLiteral("fCheck")), QStringLiteral("fPass"));
        QCOMPARE(filter(QStringLiteral("7")), QStringLiteral("<none>"));
    }

    void gapsAreSkippedAndLowerTheCount()
    {
        ResetFileFilter();
        win::RegDeleteKeyA(HKEY_CURRENT_USER, kFilterKey);
        win::RegDeleteKeyA(HKEY_CURRENT_USER, kFilterInfoKey);
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("1"), QStringLiteral("*.a"));
        RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QStringLiteral("1"), QStringLiteral("A"));
        RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QStringLiteral("3"), QStringLiteral("C only"));
        const FileFilterStore store = ReadFileFilterStore();
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(store.count, QStringLiteral("2"));
        QCOMPARE(store.entries.size(), 2);
        QCOMPARE(store.entries.at(0).number, 1);
        QCOMPARE(store.entries.at(1).number, 3); // entries keep their numbers
        QCOMPARE(store.entries.at(1).displayForm(), QStringLiteral("C only ()"));
    }

    void countTextsThatAreNotPlainNumbers_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("countAfter");
        QTest::addColumn<bool>("notNumber");
        QTest::newRow("letters: no passes") << "abc" << 0 << "abc" << false;
        QTest::newRow("leading number, a gap") << "4x" << 3 << "4x" << true;
        QTest::newRow("fraction rounds") << "2.5" << 2 << "2.5" << false;
    }
    void countTextsThatAreNotPlainNumbers()
    {
        QFETCH(QString, count);
        QFETCH(int, entries);
        QFETCH(QString, countAfter);
        QFETCH(bool, notNumber);
        ResetFileFilter();
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter"), count);
        const FileFilterStore store = ReadFileFilterStore();
        QCOMPARE(store.entries.size(), entries);
        QCOMPARE(store.count, countAfter);
        QCOMPARE(store.countNotNumber, notNumber);
        QVERIFY(!store.repaired);
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("plain") << "3" << qint64(3);
        QTest::newRow("blanks") << "  12" << qint64(12);
        QTest::newRow("trailing text") << "7abc" << qint64(7);
        QTest::newRow("half to even down") << "2.5" << qint64(2);
        QTest::newRow("half to even up") << "3.5" << qint64(4);
        QTest::newRow("none") << "abc" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("negative") << "-2" << qint64(-2);
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        QCOMPARE(qint64(LeadingNumber(text)), expected);
    }
};

KIVRO_TEST_MAIN(TestStringHelpers)
#include "tst_stringhelpers.moc"
