// Pack through the real main window (offscreen): fill the pack list, set the save-as box, press
// Pack (menu item or armed picture), answer the boxes, then check the output's bytes and the
// exact texts of the boxes. Covers the overwrite rule over two packs, zip after pack, a full
// disk (the file-size limit) with Cancel, and a Retry that writes the failed block again.
#include "KivroTest.h"

#include "engine/CopyLoop.h"
#include "engine/EngineGlobals.h"
#include "engine/StringHelpers.h"
#include "mainwindow/kivromainfrm.h"
#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/Trash.h"

#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>

using namespace kivro;

namespace {

QString box(const QString& icon, const QString& buttons, const QString& text, const QString& answer)
{
    return QStringList{QStringLiteral("box"), icon, buttons, kAppTitle, Prompts::escape(text), answer}.join(
        QLatin1Char('|'));
}
QString information(const QString& text)
{
    return box("Information", "OK", text, "OK");
}
QString success(const QString& out, const QString& total)
{
    return information("'" + out + "' successfully packed! Total filesize is " + total + " bytes.");
}

} // namespace

class TestPackWindow : public QObject {
    Q_OBJECT
    // The MPEG compatibility check is on from the start; these tests pack plain bytes.
    static void mpegCheckOff(kivromainfrm& w)
    {
        if (w.MCheckMnu->isChecked())
            w.MCheckMnu_Click();
    }

    QString dir;
    QString p(const QString& name) const { return dir + QLatin1Char('/') + name; }

    void fill(kivromainfrm& w, const QStringList& paths, const QString& saveAs)
    {
        w.packList().clear();
        for (const QString& path : paths)
            w.packList().append(paths::folderOf(path) + QLatin1Char('/'), paths::nameOf(path));
        w.SaveAsNewFilename_txt->setText(saveAs);
    }
    QStringList pressPack(kivromainfrm& w, const QStringList& answers = {})
    {
        Prompts::enableScripted();
        Prompts::queue(answers);
        w.PackMnu_Click();
        return Prompts::records();
    }
    void checkIdle(kivromainfrm& w)
    {
        QVERIFY(w.BusyIconImg->isHidden());
        QVERIFY(!w.PackImg->isHidden());
        QVERIFY(w.PackCANCELImg->isHidden());
        QVERIFY(w.TimeRemainingLbl->isHidden());
        QVERIFY(w.ZipProcess_Lbl->isHidden());
        QVERIFY(w.ZipAnimIco->isHidden());
        QVERIFY(w.SaveAsNewFilename_txt->isEnabled());
        QVERIFY(w.findChildren<QProgressBar*>().isEmpty());
        QCOMPARE(w.mousePointer(), MainWindowLink::kPointerDefault);
        QCOMPARE(gOpenFileCount, 0);
        QVERIFY(!gActionArmed);
    }

private slots:
    void initTestCase() { dir = kivrotest::rootDir() + QStringLiteral("/t"); }
    void init()
    {
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        QDir(win::HomeTrashDir()).removeRecursively();
        Prompts::enableScripted();
        gSaveAsFileSaved = false;
        gActionArmed = false;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void joinsTwoFilesIntoTheSaveAsFile()
    {
        kivromainfrm w;
        mpegCheckOff(w);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        fill(w, {p("a"), p("b")}, p("out.bin"));

        // The picture acts only when armed.
        Prompts::enableScripted();
        w.PackImg_Click();
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!QFileInfo::exists(p("out.bin")));

        // While the run copies, the window is busy.
        bool sawBusy = false;
        QTimer::singleShot(0, &w, [&] {
            sawBusy = !w.BusyIconImg->isHidden() && w.PackImg->isHidden() && !w.PackCANCELImg->isHidden()
                      && !w.SaveAsNewFilename_txt->isEnabled() && w.mousePointer() == MainWindowLink::kPointerHourglass
                      && w.mActionFrame.mProgressBar.bar() != nullptr;
        });
        QCOMPARE(pressPack(w), QStringList{success(p("out.bin"), "5")});
        QVERIFY(sawBusy);
        QCOMPARE(kivrotest::readFile(p("out.bin")), QByteArray("ABCDE"));
        QVERIFY(gSaveAsFileSaved);
        checkIdle(w);
        // Nothing is deleted after the action unless asked.
        QVERIFY(QFileInfo::exists(p("a")) && QFileInfo::exists(p("b")));
    }

    void totalUsesThousandsSeparators()
    {
        kivromainfrm w;
        mpegCheckOff(w);
        w.FastSpeedChk_Click();
        QByteArray a(1000000, 'x');
        QByteArray b(234567, 'y');
        kivrotest::writeFile(p("a"), a);
        kivrotest::writeFile(p("b"), b);
        fill(w, {p("a"), p("b")}, p("all.mpg"));
        QCOMPARE(pressPack(w), QStringList{success(p("all.mpg"), "1,234,567")});
        QCOMPARE(kivrotest::readFile(p("all.mpg")), a + b);
    }

    void refusedBeforeTheSaveAsFileIsTouched_data()
    {
        QTest::addColumn<QString>("second"); // "empty", "missing", "unreadable", "symlink"
        QTest::newRow("0-byte second entry") << "empty";
        QTest::newRow("missing second entry") << "missing";
        QTest::newRow("second entry cannot be opened") << "unreadable";
        QTest::newRow("save-as is a symbolic link to a listed file") << "symlink";
    }
    void refusedBeforeTheSaveAsFileIsTouched()
    {
        QFETCH(QString, second);
        kivromainfrm w;
        mpegCheckOff(w);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("out.bin"), "old");
        QString saveAs = p("out.bin");
        QString expected;
        if (second == QLatin1String("empty") || second == QLatin1String("missing")) {
            if (second == QLatin1String("empty"))
                kivrotest::writeFile(p("b"), "");
            expected = box("Critical", "OK", "Cannot pack '" + p("b") + "' which is a 0 byte file. Packing aborted!",
                           "OK");
        } else if (second == QLatin1String("unreadable")) {
            kivrotest::writeFile(p("b"), "CDE");
            expected = box("Critical", "OK", "Error opening '" + p("b") + "'!", "OK");
        } else {
            kivrotest::writeFile(p("b"), "CDE");
            QFile::remove(p("out.bin"));
            QVERIFY(QFile::link(p("b"), p("out.bin")));
            expected = box("Exclamation", "OK", "Cannot pack Save As file!", "OK");
        }
        fill(w, {p("a"), p("b")}, saveAs);
        // Held for writing by another handle: no other open of it succeeds.
        const win::HANDLE lock = second == QLatin1String("unreadable") ? win::CreateFileA(
                                     p("b"), win::GENERIC_READ | win::GENERIC_WRITE, 0, win::OPEN_EXISTING)
                                                                       : win::INVALID_HANDLE_VALUE;
        const QStringList boxes = pressPack(w);
        if (lock != win::INVALID_HANDLE_VALUE)
            win::CloseHandle(lock);
        QCOMPARE(boxes, QStringList{expected});
        QCOMPARE(kivrotest::readFile(p("out.bin")),
                 second == QLatin1String("symlink") ? QByteArray("CDE") : QByteArray("old"));
        QVERIFY(!gSaveAsFileSaved);
        checkIdle(w);
    }

    void oldSaveAsFileIsReplaced()
    {
        kivromainfrm w;
        mpegCheckOff(w);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        kivrotest::writeFile(p("out.bin"), "0123456789");
        fill(w, {p("a"), p("b")}, p("out.bin"));
        QCOMPARE(pressPack(w), QStringList{success(p("out.bin"), "5")});
        QCOMPARE(kivrotest::readFile(p("out.bin")), QByteArray("ABCDE"));
    }

    void secondPackMeetsTheOverwriteRule_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QByteArray>("output");
        const QString ask = "You are trying to overwrite a file that was previously saved. Do you want to continue?";
        QTest::newRow("Prompt, No") << int(OverwriteRule::Prompt) << QStringList{"No"}
                                    << QStringList{box("Exclamation", "YesNo", ask, "No")} << QByteArray("ABCDE");
        QTest::newRow("Prompt, Yes") << int(OverwriteRule::Prompt) << QStringList{"Yes"}
                                     << QStringList{box("Exclamation", "YesNo", ask, "Yes"), "success"}
                                     << QByteArray("CDEAB");
        QTest::newRow("No") << int(OverwriteRule::No) << QStringList{}
                            << QStringList{box("Exclamation", "OK",
                                               "You cannot overwrite a file that was previously saved.", "OK")}
                            << QByteArray("ABCDE");
        QTest::newRow("NoPrompt") << int(OverwriteRule::NoPrompt) << QStringList{} << QStringList{"success"}
                                  << QByteArray("CDEAB");
    }
    void secondPackMeetsTheOverwriteRule()
    {
        QFETCH(int, rule);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, expected);
        QFETCH(QByteArray, output);
        kivromainfrm w;
        mpegCheckOff(w);
        switch (OverwriteRule(rule)) {
        case OverwriteRule::Prompt:
            w.OverwritePromptMnu_Click();
            break;
        case OverwriteRule::No:
            w.OverwriteNoMnu_Click();
            break;
        case OverwriteRule::NoPrompt:
            w.OverwriteNoPromptMnu_Click();
            break;
        }
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        fill(w, {p("a"), p("b")}, p("out.bin"));
        QCOMPARE(pressPack(w), QStringList{success(p("out.bin"), "5")});
        // The second pack, in the other order, into the same name.
        fill(w, {p("b"), p("a")}, p("out.bin"));
        expected.replaceInStrings(QStringLiteral("success"), success(p("out.bin"), "5"));
        QCOMPARE(pressPack(w, answers), expected);
        QCOMPARE(kivrotest::readFile(p("out.bin")), output);
        QVERIFY(gSaveAsFileSaved);
        checkIdle(w);
    }

    void zipAfterPack_data()
    {
        QTest::addColumn<QString>("saveAs");
        QTest::addColumn<QString>("zipName"); // empty: no archive
        QTest::newRow("already a zip file") << "v/movie.ZIP"
                                            << "";
        QTest::newRow("no dot") << "v/output"
                                << "v/output.zip";
        QTest::newRow("dot in a folder name only") << "my.dir/output"
                                                   << "my.dir/output.zip";
        QTest::newRow("extension") << "v/movie.mpg"
                                   << "v/movie.zip";
    }
    void zipAfterPack()
    {
        QFETCH(QString, saveAs);
        QFETCH(QString, zipName);
        saveAs = p(saveAs);
        kivromainfrm w;
        mpegCheckOff(w);
        if (!w.ZipCompressMnu->isChecked())
            w.ZipCompressMnu_Click();
        QVERIFY(QDir().mkpath(paths::folderOf(saveAs)));
        kivrotest::writeFile(p("a"), QByteArray(3000, 'a'));
        kivrotest::writeFile(p("b"), QByteArray(4000, 'b'));
        // An unrelated file where a wrong archive name would land.
        kivrotest::writeFile(p("my.zip"), "unrelated");
        fill(w, {p("a"), p("b")}, saveAs);
        const QStringList boxes = pressPack(w);
        QStringList expected;
        if (zipName.isEmpty()) {
            expected << box("Critical", "OK",
                            "Cannot zip '" + saveAs + "' because it is already a zip file. Zipping aborted.", "OK");
        } else {
            zipName = p(zipName);
            expected << information("'" + saveAs + "' successfully zipped as '" + zipName + "'.");
            // The label keeps its last caption: the path shortened to 4,200 twips.
            QString shortened;
            FormatDir(saveAs, shortened, 4200);
            QCOMPARE(w.ZipProcess_Lbl->text(), "Zipping '" + shortened + "'");
        }
        expected << success(saveAs, "7,000");
        QCOMPARE(boxes, expected);
        QCOMPARE(kivrotest::readFile(saveAs), QByteArray(3000, 'a') + QByteArray(4000, 'b'));
        QCOMPARE(kivrotest::readFile(p("my.zip")), QByteArray("unrelated"));
        if (!zipName.isEmpty()) {
            QProcess unzip;
            unzip.start(QStringLiteral("unzip"), {QStringLiteral("-t"), zipName});
            QVERIFY(unzip.waitForFinished(30000));
            QCOMPARE(unzip.exitCode(), 0);
        }
        checkIdle(w);
    }

    // A full disk (here the file-size limit): the "Cannot overwrite" box; Cancel ends the run and
    // the sources stay where they were, although the choice is to delete them after a pack.
    void fileSizeLimitThenCancel()
    {
        kivromainfrm w;
        mpegCheckOff(w);
        w.SlowSpeedChk_Click();
        w.DelNoPromptMnu_Click();
        kivrotest::writeFile(p("a"), QByteArray(30000, 'a'));
        kivrotest::writeFile(p("b"), QByteArray(30000, 'b'));
        fill(w, {p("a"), p("b")}, p("out.bin"));
        QStringList boxes;
        {
            kivrotest::FileSizeLimit limit(45000);
            boxes = pressPack(w, {"Cancel"});
        }
        QCOMPARE(boxes, (QStringList{
                            box("Critical", "RetryCancel",
                                "Cannot overwrite '" + p("out.bin") + "'. Disk full/write-protected or file is in use.",
                                "Cancel"),
                            information("Packing aborted by user.")}));
        QCOMPARE(kivrotest::readFile(p("a")), QByteArray(30000, 'a'));
        QCOMPARE(kivrotest::readFile(p("b")), QByteArray(30000, 'b'));
        QVERIFY(QDir(win::HomeTrashDir() + "/files").isEmpty());
        QVERIFY(!gSaveAsFileSaved);
        checkIdle(w);
    }

    // Retry after the disk has room again: the failed block is written again at its offset, and
    // the output is exactly the joined bytes.
    void retryWritesTheFailedBlockAgain_data()
    {
        QTest::addColumn<int>("way");
        using kivrotest::CopyWay;
        for (const CopyWay way : {CopyWay::Range, CopyWay::Send, CopyWay::Buffer})
            QTest::newRow(kivrotest::copyWayName(way)) << int(way);
    }
    void retryWritesTheFailedBlockAgain()
    {
        QFETCH(int, way);
        kivrotest::forceCopyWay(kivrotest::CopyWay(way));
        kivromainfrm w;
        mpegCheckOff(w);
        w.SlowSpeedChk_Click();
        QByteArray a(30000, '\0');
        for (int i = 0; i < a.size(); ++i)
            a[i] = char('a' + i % 26);
        kivrotest::writeFile(p("a"), a);
        kivrotest::writeFile(p("b"), "tail");
        fill(w, {p("a"), p("b")}, p("out.bin"));

        // The box is shown for real; when it is up, the disk gets room and Retry is clicked.
        QString asked;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &w, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* mb = qobject_cast<QMessageBox*>(top);
                if (!mb || !mb->isVisible())
                    continue;
                asked = mb->text();
                win::InjectWriteLimit(-1);
                Prompts::enableScripted();
                mb->button(QMessageBox::Retry)->click();
                poll.stop();
            }
        });
        poll.start(10);
        win::InjectWriteLimit(16000); // the second block fails after 6,000 bytes
        Prompts::disableScripted();
        gActionArmed = true;
        w.PackImg_Click();
        poll.stop();
        win::InjectWriteLimit(-1);
        QCOMPARE(asked, "Cannot overwrite '" + p("out.bin") + "'. Disk full/write-protected or file is in use.");
        QCOMPARE(Prompts::records(), QStringList{success(p("out.bin"), "30,004")});
        kivrotest::forceCopyWay(kivrotest::CopyWay::Range);
        QCOMPARE(kivrotest::readFile(p("out.bin")), a + "tail");
        checkIdle(w);
    }
};

KIVRO_TEST_MAIN(TestPackWindow)
#include "tst_pack.moc"
