// Message boxes: the scripted mode of in-process tests, and the KIVRO_TEST_ANSWERS and
// KIVRO_TEST_LOG seam of the real programs.
#include "KivroTest.h"

#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"

using namespace kivro;

static int child(const QString& mode)
{
    if (mode == QLatin1String("boxes")) {
        const int a = MsgBox(QStringLiteral("Cannot overwrite 'a|b'.\nRetry?"),
                             vbRetryCancel | vbExclamation | vbTopMost);
        const int b = MsgBox(QStringLiteral("Done"), vbInformation);
        const int c = MsgBox(QStringLiteral("Go on?"), vbYesNo | vbQuestion, QStringLiteral("Tesma Kivro"));
        std::printf("%d %d %d\n", a, b, c);
        return 0;
    }
    if (mode == QLatin1String("wrong-kind")) {
        MsgBox(QStringLiteral("Sure?"), vbYesNo);
        return 0;
    }
    return 99;
}

class TestMsgBox : public QObject {
    Q_OBJECT
private slots:
    void scriptedAnswersAreRecorded()
    {
        Prompts::enableScripted();
        Prompts::queue({QStringLiteral("No"), QStringLiteral("Retry")});
        QCOMPARE(MsgBoxResult(QStringLiteral("Zip it?"), vbYesNo | vbQuestion), vbNo);
        QCOMPARE(gMsgResult, vbNo);
        QCOMPARE(MsgBox(QStringLiteral("x"), vbRetryCancel | vbCritical), vbRetry);
        QCOMPARE(Prompts::records(), (QStringList{QStringLiteral("box|Question|YesNo|Tesma Kivro Pro|Zip it?|No"),
                                                  QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|x|Retry")}));
    }

    // Each box's default button and whether it stays on top, kept apart from the box lines.
    void boxStyles_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("boxStyle");
        QTest::newRow("OK only") << int(vbOKOnly) << "boxstyle|OK|0";
        QTest::newRow("Yes/No, No the default, top-most")
            << int(vbYesNo | vbDefaultButton2 | vbTopMost) << "boxstyle|No|1";
        QTest::newRow("Yes/No/Cancel, the third") << int(vbYesNoCancel | vbDefaultButton3) << "boxstyle|Cancel|0";
        QTest::newRow("Abort/Retry/Ignore, the second, system-modal")
            << int(vbAbortRetryIgnore | vbDefaultButton2 | vbSystemModal) << "boxstyle|Retry|1";
        QTest::newRow("OK/Cancel, a third it does not have") << int(vbOKCancel | vbDefaultButton3) << "boxstyle|OK|0";
        QTest::newRow("Retry/Cancel, brought to the front")
            << int(vbRetryCancel | vbMsgBoxSetForeground) << "boxstyle|Retry|1";
    }
    void boxStyles()
    {
        QFETCH(int, style);
        QFETCH(QString, boxStyle);
        Prompts::enableScripted();
        MsgBox(QStringLiteral("t"), style);
        QCOMPARE(Prompts::records().size(), qsizetype(style == vbOKOnly ? 1 : 2)); // "error|no answer left"
        QVERIFY(Prompts::records().first().startsWith(QLatin1String("box|")));
        QCOMPARE(Prompts::boxStyles(), QStringList{boxStyle});
        Prompts::clearRecords();
        QVERIFY(Prompts::boxStyles().isEmpty());
    }

    void answersRunningOutNeverRetry_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("logsError");
        QTest::newRow("OK only") << int(vbOKOnly) << int(vbOK) << false;
        QTest::newRow("Retry/Cancel") << int(vbRetryCancel) << int(vbCancel) << true;
        QTest::newRow("Yes/No") << int(vbYesNo) << int(vbNo) << true;
        QTest::newRow("OK/Cancel") << int(vbOKCancel) << int(vbCancel) << true;
    }
    void answersRunningOutNeverRetry()
    {
        QFETCH(int, style);
        QFETCH(int, answer);
        QFETCH(bool, logsError);
        Prompts::enableScripted();
        QCOMPARE(MsgBox(QStringLiteral("t"), style), answer);
        QCOMPARE(Prompts::records().contains(QStringLiteral("error|no answer left")), logsError);
    }

    void realProgramUsesAnswersFileAndLog()
    {
        const QString answers = kivrotest::rootDir() + QStringLiteral("/answers.txt");
        const QString log = kivrotest::rootDir() + QStringLiteral("/log.txt");
        kivrotest::writeFile(answers, "Retry\nOK\n");
        QFile::remove(log);
        QByteArray out;
        QCOMPARE(kivrotest::runChild(
                     QStringLiteral("boxes"),
                     {QStringLiteral("KIVRO_TEST_ANSWERS=") + answers, QStringLiteral("KIVRO_TEST_LOG=") + log}, &out),
                 0);
        QVERIFY2(out.endsWith("4 1 7\n"), out.constData());
        QCOMPARE(QString::fromUtf8(kivrotest::readFile(log)),
                 QStringLiteral("box|Exclamation|RetryCancel|Tesma Kivro Pro|Cannot overwrite 'a\\|b'.\\nRetry?|Retry\n"
                                "boxstyle|Retry|1\n"
                                "box|Information|OK|Tesma Kivro Pro|Done|OK\n"
                                "boxstyle|OK|0\n"
                                "box|Question|YesNo|Tesma Kivro|Go on?|No\n"
                                "boxstyle|Yes|0\n"
                                "error|no answer left\n"));
    }

    void wrongKindOfAnswerEndsTheProgram()
    {
        const QString answers = kivrotest::rootDir() + QStringLiteral("/answers2.txt");
        const QString log = kivrotest::rootDir() + QStringLiteral("/log2.txt");
        kivrotest::writeFile(answers, "/tmp/some/path\n");
        QVERIFY(kivrotest::runChild(QStringLiteral("wrong-kind"), {QStringLiteral("KIVRO_TEST_ANSWERS=") + answers,
                                                                   QStringLiteral("KIVRO_TEST_LOG=") + log})
                > 0);
        QVERIFY(kivrotest::readFile(log).contains("error|"));
    }

    void unexpectedErrorText()
    {
        QCOMPARE(kivro::unexpectedErrorText(5, QStringLiteral("Invalid procedure call or argument")),
                 QStringLiteral("Unexpected error. It may be a bug or an unexpected error has occur! Please quit and "
                                "restart Tesma Kivro Pro.\n"
                                "If the problem persists, please submit a bug report immediately.\n\n"
                                "Error 5: 'Invalid procedure call or argument'  detected."));
        QCOMPARE(errnoToErrorNumber(ENOENT), 53);
        QCOMPARE(errnoToErrorNumber(ENOENT, true), 76);
        QCOMPARE(errnoToErrorNumber(ENOSPC), 75);
        QCOMPARE(errnoToErrorNumber(EMFILE), 67);
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestMsgBox, child)
#include "tst_msgbox.moc"
