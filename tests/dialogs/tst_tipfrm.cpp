// The tip of the day: its tips file, its icon and the "ShowTod" check box.
#include "KivroTest.h"
#include "StoredSettings.h"

#include "dialogs/Tipfrm.h"
#include "engine/Registry.h"
#include "platform/Globals.h"
#include "platform/Paths.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using namespace kivro;
using namespace kivro::Registry;

namespace {

const QString kNotFound = QStringLiteral("That the tod.ctd file was not found? ");
const QString kInvalidIcon = QStringLiteral(
    "box|None|OK|Tesma Kivro Pro|Invalid icon file or file does not contain 32x32 or 16x16 icon|OK");

// A program folder of its own for each test: tips file and icon as given.
QString programFolder(const std::optional<QByteArray>& tips, bool withIcon = true)
{
    static int n = 0;
    const QString dir = kivrotest::rootDir() + QStringLiteral("/app%1").arg(++n);
    QDir().mkpath(dir);
    if (tips)
        kivrotest::writeFile(dir + QStringLiteral("/tod.ctd"), *tips);
    if (withIcon)
        QFile::copy(QStringLiteral(KIVRO_SOURCE_DIR "/data/Tod.ir"), dir + QStringLiteral("/Tod.ir"));
    gAppPath = dir;
    return dir;
}

QString showTod()
{
    return kivrotest::storedSetting(QStringLiteral("ShowTod"), QStringLiteral("<missing>"));
}

} // namespace

class TestTipfrm : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
    }

    void oneTipIsShownAndNextTipKeepsIt()
    {
        programFolder(QByteArray("Hello"));
        Tipfrm form;
        form.Show(nullptr);
        QCOMPARE(form.windowTitle(), QStringLiteral("Tesma Kivro Tip of the Day"));
        QCOMPARE(form.lblTipText->text(), QStringLiteral("Hello"));
        for (int i = 0; i < 5; ++i) {
            form.cmdNextTip->click();
            QCOMPARE(form.lblTipText->text(), QStringLiteral("Hello"));
        }
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!form.PicIcon->pixmap().isNull());
        QCOMPARE(form.PicIcon->pixmap().size(), QSize(32, 32));
    }

    void everyTipCanBePicked()
    {
        programFolder(QByteArray("one\r\ntwo\r\nthree\r\n"));
        Tipfrm form;
        form.Show(nullptr);
        QSet<QString> seen;
        for (int i = 0; i < 300 && seen.size() < 3; ++i) {
            form.cmdNextTip->click();
            seen << form.lblTipText->text();
        }
        QCOMPARE(seen, (QSet<QString>{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
    }

    void missingOrUnreadableTipsFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("exists but cannot be read") << "unreadable";
    }
    void missingOrUnreadableTipsFile()
    {
        QFETCH(QString, kind);
        const QString dir = programFolder(std::nullopt);
        const QString tips = dir + QStringLiteral("/tod.ctd");
        if (kind == QLatin1String("folder"))
            QDir().mkpath(tips);
        if (kind == QLatin1String("unreadable")) {
            // A regular file whose read fails (EIO), also for root.
            QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), tips));
            QVERIFY(paths::isNormalFile(tips));
        }
        Tipfrm form;
        form.Show(nullptr);
        QCOMPARE(form.lblTipText->text(), kNotFound);
        QVERIFY(form.TipList.isEmpty());
        form.cmdNextTip->click();
        QCOMPARE(form.lblTipText->text(), kNotFound);
        QVERIFY(form.chkLoadTipsAtStartup->isChecked());
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("last line without end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("blank lines are tips") << QByteArray("a\r\n\r\n\nb") << QStringList{"a", "", "", "b"};
        QTest::newRow("LF then CR LF") << QByteArray("a\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("blanks kept") << QByteArray("  a b  \r\n") << QStringList{"  a b  "};
        QTest::newRow("UTF-8") << QByteArray("Vid\xc3\xa9o\r\n") << QStringList{QString::fromUtf8("Vid\xc3\xa9o")};
        QTest::newRow("Windows-1252") << QByteArray("Vid\xe9o \x80\r\n")
                                      << QStringList{QString::fromUtf8("Vid\xc3\xa9o \xe2\x82\xac")};
    }
    void lineEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(Tipfrm::SplitTipLines(bytes), lines);
    }

    void emptyTipsFileShowsNothing()
    {
        programFolder(QByteArray());
        Tipfrm form;
        form.Show(nullptr);
        QCOMPARE(form.lblTipText->text(), QString());
        QVERIFY(Prompts::records().isEmpty());
    }

    void everyLoadReadsTheTipsAfresh()
    {
        const QString dir = programFolder(QByteArray("one\r\ntwo\r\nthree\r\n"));
        Tipfrm form;
        form.Show(nullptr);
        QCOMPARE(form.TipList.size(), 3);
        form.Show(nullptr); // still loaded: same tip, nothing read
        QCOMPARE(form.TipList.size(), 3);
        form.cmdOK->click();
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isLoaded());
        kivrotest::writeFile(dir + QStringLiteral("/tod.ctd"), "only\r\n");
        form.Show(nullptr);
        QCOMPARE(form.TipList, QStringList{QStringLiteral("only")});
        QCOMPARE(form.lblTipText->text(), QStringLiteral("only"));
        form.close(); // the window's own close button unloads it too
        QVERIFY(!form.isLoaded());
        QFile::remove(dir + QStringLiteral("/tod.ctd"));
        form.Show(nullptr);
        QVERIFY(form.TipList.isEmpty());
        QCOMPARE(form.lblTipText->text(), kNotFound);
    }

    void checkBoxFollowsShowTod_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("after");
        QTest::newRow("missing") << QString() << true << "1";
        QTest::newRow("empty") << "" << true << "1";
        QTest::newRow("1") << "1" << true << "1";
        QTest::newRow("0") << "0" << false << "0";
        QTest::newRow("other text") << "no" << true << "1";
        QTest::newRow("0 with a blank") << "0 " << true << "1";
    }
    void checkBoxFollowsShowTod()
    {
        QFETCH(QString, stored);
        QFETCH(bool, checked);
        QFETCH(QString, after);
        if (!stored.isNull())
            RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("ShowTod"), stored);
        programFolder(QByteArray("Hello"));
        Tipfrm form;
        form.Show(nullptr);
        QCOMPARE(form.chkLoadTipsAtStartup->isChecked(), checked);
        QCOMPARE(showTod(), after);
    }

    void clickingTheBoxWritesShowTod()
    {
        programFolder(QByteArray("Hello"));
        Tipfrm form;
        form.Show(nullptr);
        QVERIFY(form.chkLoadTipsAtStartup->isChecked());
        form.chkLoadTipsAtStartup->click();
        QCOMPARE(showTod(), QStringLiteral("0"));
        form.chkLoadTipsAtStartup->click();
        QCOMPARE(showTod(), QStringLiteral("1"));
    }

    void missingTipIconCostsOnlyTheIcon()
    {
        programFolder(QByteArray("Hello"), false);
        Tipfrm form;
        form.Show(nullptr);
        QCOMPARE(Prompts::records(), QStringList{kInvalidIcon});
        QVERIFY(form.PicIcon->pixmap().isNull());
        QCOMPARE(form.lblTipText->text(), QStringLiteral("Hello"));
        QVERIFY(form.chkLoadTipsAtStartup->isChecked());
        QCOMPARE(showTod(), QStringLiteral("1"));
    }

    void shownWithItsOwner()
    {
        programFolder(QByteArray("Hello"));
        QWidget owner;
        owner.show();
        Tipfrm form;
        form.Show(&owner);
        QCOMPARE(form.parentWidget(), &owner);
        QVERIFY(form.isWindow());
        QVERIFY(form.isVisible());
        form.Show(nullptr);
        QCOMPARE(form.parentWidget(), nullptr);
        QVERIFY(form.isVisible());
    }

    void shippedTipsFile()
    {
        const QByteArray bytes = kivrotest::readFile(QStringLiteral(KIVRO_SOURCE_DIR "/data/tod.ctd"));
        QCOMPARE(kivrotest::readFile(QStringLiteral(KIVRO_PROGRAM_DIR "/tod.ctd")), bytes);
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
        QCOMPARE(bytes.count("\r"), bytes.count("\r\n"));
        const QStringList tips = Tipfrm::SplitTipLines(bytes);
        QVERIFY(tips.size() >= 12);
        for (const QString& t : tips)
            QVERIFY2(t.trimmed().size() > 20, qPrintable(t));
    }
};

KIVRO_TEST_MAIN(TestTipfrm)
#include "tst_tipfrm.moc"
