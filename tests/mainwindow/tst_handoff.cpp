// The command-line hand-off: StripItem, the argument text, the paths of a command line and the
// pack-list entries they give, through the real main window.
#include "KivroTest.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Tipfrm.h"
#include "engine/PackListModel.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/HandOff.h"
#include "mainwindow/kivromainfrm.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"

using namespace kivro;

class TestHandOff : public QObject {
    Q_OBJECT

    // The tip window lives as long as the program; a test's main window does not.
    static void releaseTipWindow()
    {
        TipForm()->hide();
        TipForm()->setParent(nullptr);
    }

private slots:
    // The tip window reads its icon and tips from the program folder.
    void initTestCase() { gAppPath = QStringLiteral(KIVRO_PROGRAM_DIR); }

    void stripItemCutsOneItemAtATime()
    {
        QString work = QStringLiteral("a|b||");
        QCOMPARE(StripItem(work, QStringLiteral("|")), QStringLiteral("a"));
        QCOMPARE(work, QStringLiteral("b||"));
        QCOMPARE(StripItem(work, QStringLiteral("|")), QStringLiteral("b"));
        QCOMPARE(work, QStringLiteral("|"));
        QCOMPARE(StripItem(work, QStringLiteral("|")), QString());
        QCOMPARE(work, QString());

        // A separator of two characters never matches; without a match the whole text is the
        // item.
        work = QStringLiteral("a||b");
        QCOMPARE(StripItem(work, QStringLiteral("||")), QStringLiteral("a||b"));
        QCOMPARE(work, QString());
    }

    void commandLineToEntries_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("entries"); // "folder" + "*" + "name"
        QTest::newRow("two paths") << QStringList{QStringLiteral("/a/x.mpg|/b/y.mpg")}
                                   << QStringList{QStringLiteral("/a/*x.mpg"), QStringLiteral("/b/*y.mpg")};
        QTest::newRow("empty item ends the list")
            << QStringList{QStringLiteral("/a/x.mpg||/b/y.mpg")} << QStringList{QStringLiteral("/a/*x.mpg")};
        QTest::newRow("leading separator adds nothing") << QStringList{QStringLiteral("|/a/x.mpg")} << QStringList{};
        QTest::newRow("trailing separator")
            << QStringList{QStringLiteral("/a/x.mpg|")} << QStringList{QStringLiteral("/a/*x.mpg")};
        QTest::newRow("blanks, one argument")
            << QStringList{QStringLiteral("/a b/c d.mpg")} << QStringList{QStringLiteral("/a b/*c d.mpg")};
        QTest::newRow("blanks, split by a shell")
            << QStringList{QStringLiteral("/a"), QStringLiteral("b/c"), QStringLiteral("d.mpg")}
            << QStringList{QStringLiteral("/a b/*c d.mpg")};
        QTest::newRow("root folder") << QStringList{QStringLiteral("/x.mpg")} << QStringList{QStringLiteral("/*x.mpg")};
        QTest::newRow("no folder") << QStringList{QStringLiteral("x.mpg")} << QStringList{QStringLiteral("*x.mpg")};
        QTest::newRow("no arguments") << QStringList{} << QStringList{};
        QTest::newRow("one blank argument") << QStringList{QStringLiteral(" ")} << QStringList{QStringLiteral("* ")};
        QTest::newRow("same path twice, missing files")
            << QStringList{QStringLiteral("/gone/x.mpg|/gone/x.mpg")}
            << QStringList{QStringLiteral("/gone/*x.mpg"), QStringLiteral("/gone/*x.mpg")};
    }

    // ShellCommandAddFiles appends every path at the end of the pack list, after what is there.
    void commandLineToEntries()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, entries);
        kivromainfrm w;
        w.packList().append(QStringLiteral("/before/"), QStringLiteral("first.mpg"));

        w.ShellCommandAddFiles(CommandLineText(arguments));

        QStringList got;
        for (int i = 1; i < w.packList().count(); ++i)
            got << w.packList().folder(i) + QLatin1Char('*') + w.packList().name(i);
        QCOMPARE(got, entries);
        QCOMPARE(w.packList().name(0), QStringLiteral("first.mpg"));
        QVERIFY(Prompts::records().isEmpty());
    }

    // A path whose bytes are not valid UTF-8 is refused by name, with each invalid byte shown as
    // U+FFFD; valid names, also those holding U+FFFD itself or characters beyond U+FFFF, pass.
    void namesNotValidUtf8AreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown"); // empty: a valid name, added
        QTest::newRow("Latin-1 byte") << QByteArray("/d/caf\xe9.mpg") << QStringLiteral("/d/caf\uFFFD.mpg");
        QTest::newRow("two bad bytes") << QByteArray("/d/\xff\xfe.mpg") << QStringLiteral("/d/\uFFFD\uFFFD.mpg");
        QTest::newRow("overlong slash") << QByteArray("/d/\xc0\xaf.mpg") << QStringLiteral("/d/\uFFFD\uFFFD.mpg");
        QTest::newRow("encoded surrogate") << QByteArray("/d/\xed\xa0\x80") << QStringLiteral("/d/\uFFFD\uFFFD\uFFFD");
        QTest::newRow("beyond U+10FFFF") << QByteArray("/d/\xf4\x90\x80\x80")
                                         << QStringLiteral("/d/\uFFFD\uFFFD\uFFFD\uFFFD");
        QTest::newRow("cut-off sequence at the end")
            << QByteArray("/d/x\xe2\x82") << QStringLiteral("/d/x\uFFFD\uFFFD");
        QTest::newRow("valid accents") << QByteArray("/d/caf\xc3\xa9.mpg") << QString();
        QTest::newRow("valid U+FFFD in the name") << QByteArray("/d/\xef\xbf\xbd.mpg") << QString();
        QTest::newRow("valid U+10080") << QByteArray("/d/\xf0\x90\x82\x80.mpg") << QString();
    }
    void namesNotValidUtf8AreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        Prompts::enableScripted();
        kivromainfrm w;
        // As the program reads its arguments: the bad path between two good ones.
        const QStringList arguments = {paths::decodeFileName("/a/x.mpg|" + bytes + "|/b/y.mpg")};
        w.ShellCommandAddFiles(CommandLineText(arguments));

        QStringList got;
        for (int i = 0; i < w.packList().count(); ++i)
            got << w.packList().fullPath(i);
        QStringList expected = {QStringLiteral("/a/x.mpg")};
        if (shown.isEmpty())
            expected << QString::fromUtf8(bytes);
        expected << QStringLiteral("/b/y.mpg");
        QCOMPARE(got, expected);
        if (shown.isEmpty()) {
            QCOMPARE(QFile::encodeName(got.at(1)), bytes);
            QVERIFY(Prompts::records().isEmpty());
        } else {
            QCOMPARE(Prompts::records(),
                     QStringList{QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|'%1' cannot be used: its name is "
                                                "not valid UTF-8. Filename skipped.|OK")
                                     .arg(shown)});
        }
    }

    // The paths are the items StripItem cuts off the line followed by "||", up to the first
    // empty one, at most as many as the line has characters.
    void pathsAreTheStrippedItems()
    {
        const QString alphabet = QStringLiteral("|a/ ");
        for (int n = 0; n <= 6; ++n) {
            int combos = 1;
            for (int i = 0; i < n; ++i)
                combos *= int(alphabet.size());
            for (int c = 0; c < combos; ++c) {
                QString line;
                for (int i = 0, v = c; i < n; ++i, v /= int(alphabet.size()))
                    line += alphabet.at(v % alphabet.size());
                QString work = line + QStringLiteral("||");
                QStringList expected;
                for (int pass = 0; pass < line.size(); ++pass) {
                    const QString item = StripItem(work, QStringLiteral("|"));
                    if (item.isEmpty())
                        break;
                    expected << item;
                }
                QCOMPARE(HandOffPaths(line), expected);
            }
        }
    }

    void timerHandsOffOnce_data()
    {
        QTest::addColumn<QString>("showTod");
        QTest::addColumn<bool>("tip");
        QTest::newRow("ShowTod 0") << QStringLiteral("0") << false;
        QTest::newRow("ShowTod 1") << QStringLiteral("1") << true;
        QTest::newRow("ShowTod empty") << QString() << true;
        QTest::newRow("ShowTod 00") << QStringLiteral("00") << true;
    }

    // The tick after start-up: the paths go into the pack list, the save-as dialog opens, the tip
    // shows unless "ShowTod" is "0", the pack-list window shows; nothing starts an action and the
    // timer never runs again.
    void timerHandsOffOnce()
    {
        QFETCH(QString, showTod);
        QFETCH(bool, tip);
        Registry::RegWriteString(Registry::HKEY_CURRENT_USER, Registry::kKivroKey, QStringLiteral("ShowTod"), showTod);
        ResetFileFilter();
        kivromainfrm w;
        Prompts::enableScripted();
        Prompts::queue(QString()); // the dialog is cancelled

        w.ArmContextMenuShellTimer(QStringLiteral("/a/x.mpg|/b/y.mpg"));
        QVERIFY(w.ContextMenuShell_Timer->isActive());
        QTRY_VERIFY(w.mHandOffDone);
        QVERIFY(!w.ContextMenuShell_Timer->isActive());
        QCOMPARE(w.packList().fullPaths(), (QStringList{QStringLiteral("/a/x.mpg"), QStringLiteral("/b/y.mpg")}));
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("dialog|Save Pack File As|")});
        QCOMPARE(TipForm()->isVisible(), tip);
        QVERIFY(PackListForm()->isVisible());
        QVERIFY(!w.BusyIconVisible());

        // Never again: neither a second tick nor a second arming.
        w.ContextMenuShell_Timer_Timer(QStringLiteral("/c/z.mpg"));
        w.ArmContextMenuShellTimer(QStringLiteral("/c/z.mpg"));
        QVERIFY(!w.ContextMenuShell_Timer->isActive());
        QCOMPARE(w.packList().count(), 2);
        QCOMPARE(Prompts::records().size(), 1);
        releaseTipWindow();
    }

    void emptyCommandLineOnlyStopsTheTimer()
    {
        kivromainfrm w;
        Prompts::enableScripted();
        w.ArmContextMenuShellTimer(QString());
        QTRY_VERIFY(w.mHandOffDone);
        QVERIFY(!w.ContextMenuShell_Timer->isActive());
        QCOMPARE(w.packList().count(), 0);
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!TipForm()->isVisible());
        QVERIFY(!PackListForm()->isVisible());
        releaseTipWindow();
    }

    // Many paths in one line (the collector hands a whole selection over at once).
    void manyPaths()
    {
        QStringList paths;
        for (int i = 0; i < 2000; ++i)
            paths << QStringLiteral("/v/part %1.mpg").arg(i);
        const QStringList got = HandOffPaths(paths.join(QLatin1Char('|')));
        QCOMPARE(got, paths);
    }
};

KIVRO_TEST_MAIN(TestHandOff)
#include "tst_handoff.moc"
