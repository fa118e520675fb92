// The help file says what the program does: each statement below is looked up in Kivro.html and
// checked against the code that does it.
#include "KivroTest.h"

#include "engine/JoinBatch.h"
#include "engine/Mpeg.h"
#include "packlist/PackListDocking.h"
#include "platform/NumberFormat.h"

using namespace kivro;

class TestManual : public QObject {
    Q_OBJECT

    QString manual;

    // The help text with its markup and line breaks folded to single blanks.
    static QString plain(QString html)
    {
        html.replace(QRegularExpression(QStringLiteral("<[^>]*>")), QString());
        html.replace(QStringLiteral("&#9656;"), QStringLiteral(">"));
        html.replace(QStringLiteral("&times;"), QStringLiteral("x"));
        html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        return html.simplified();
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QFile f(QStringLiteral(KIVRO_SOURCE_DIR "/data/Kivro.html"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        manual = plain(QString::fromUtf8(f.readAll()));
    }

    void statesWhatTheCodeDoes_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("scan limit") << "must lie within the first " + FormatThousands(kMpegScanLimit) + " bytes ("
                                           + FormatThousands(kMpegScanBlockSize) + " x "
                                           + FormatThousands(kMpegScanMaxBlocks) + ")";
        QTest::newRow("no header said once") << QStringLiteral("it says so once for that file");
        QTest::newRow("FAT limit") << QStringLiteral("holds files of at most 4,294,967,295 bytes");
        QTest::newRow("batch: any number of pieces") << QStringLiteral("It works for any number of pieces");
        QTest::newRow("batch: failed copy") << QStringLiteral("NOT successfully created.\" below the interpreter");
        QTest::newRow("settings under Preferences") << QStringLiteral("are under Options > Preferences...;");
        QTest::newRow("kept files listed") << QStringLiteral("one message lists the files kept");
        QTest::newRow("Magnetise beside, not over")
            << QStringLiteral("while it lies over the main window, Magnetise leaves it where it is");
    }
    void statesWhatTheCodeDoes()
    {
        QFETCH(QString, statement);
        QVERIFY2(manual.contains(statement), qPrintable(statement));
    }

    void statementsHoldInTheCode()
    {
        // A long piece list fits the interpreter's lines.
        JoinList list;
        for (int k = 1; k <= 1100; ++k)
            list.add(QStringLiteral("movie.mpg.%1").arg(k, 4, 10, QLatin1Char('0')));
        for (const QString& line : JoinBatchLines({}, list, "movie.mpg", "mpg"))
            QVERIFY(line.size() <= kBatchLineMax);
        // Magnetise moves a pack-list window that overlaps the main window nowhere.
        const TwipRect mainWindow{3000, 3000, 7710, 5190};
        const MagnetResult over = MagnetisePackList(mainWindow, {4000, 4000, 4830, 2000});
        QCOMPARE(over.left, 4000.0f);
        QCOMPARE(over.top, 4000.0f);
        QVERIFY(!over.flags.top && !over.flags.bottom && !over.flags.left && !over.flags.right);
    }
};

KIVRO_TEST_MAIN(TestManual)
#include "tst_manual.moc"
