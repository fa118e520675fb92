// The file dialogs and the folder browser: name filters that show the stored label and filter by
// its patterns, the scripted mode and the KIVRO_TEST_ANSWERS/KIVRO_TEST_LOG seam of the real
// programs, and the questions of the shown save dialog.
#include "KivroTest.h"

#include "platform/FileDialogs.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>

using namespace kivro;
using namespace kivro::win;

namespace {

const QString kFilter = QStringLiteral("Mpeg (*.mpg,*.mpeg,*.mpe)") + QChar(0) + QStringLiteral("*.mpg;*.mpeg;*.mpe")
                        + QChar(0) + QStringLiteral("All Files (*.*)") + QChar(0) + QStringLiteral("*.*") + QChar(0)
                        + QChar(0);

using kivrotest::whenModal;

void answerBox(QMessageBox::StandardButton button, QString* text = nullptr)
{
    kivrotest::whenModal<QMessageBox>([button, text](QMessageBox* box) {
        if (text)
            *text = box->text();
        box->button(button)->click();
    });
}

} // namespace

static int child(const QString& mode)
{
    OPENFILENAME ofn;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrTitle = QStringLiteral("Save Pack File As");
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_PATHMUSTEXIST;
    if (mode == QLatin1String("dialogs")) {
        // Three dialogs: a path, an empty line (cancel), then no line left (cancel).
        for (int i = 0; i < 3; ++i) {
            const bool ok = GetSaveFileNameA(ofn);
            std::printf("%d:%s\n", ok ? 1 : 0, ok ? qPrintable(ofn.lpstrFile) : "");
        }
        BROWSEINFO bi;
        bi.lpszTitle = QStringLiteral("Startup Directory: /a|b");
        const std::optional<QString> folder = SHBrowseForFolder(bi);
        std::printf("folder:%s\n", folder ? qPrintable(*folder) : "-");
        return 0;
    }
    if (mode == QLatin1String("wrong-kind")) {
        GetSaveFileNameA(ofn);
        return 0;
    }
    return 99;
}

class TestFileDialogs : public QObject {
    Q_OBJECT

    QString dir;
    // A folder that holds a link to nothing, "dangling.mpg".
    QString links;

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/files");
        for (const char* name : {"a.mpg", "b.mpeg", "c.mpe", "d.avi", "noext", "e.MPG"})
            kivrotest::writeFile(dir + QLatin1Char('/') + QLatin1String(name), "x");
        links = kivrotest::rootDir() + QStringLiteral("/links");
        QDir().mkpath(links);
        QVERIFY(QFile::link(links + QStringLiteral("/nowhere.mpg"), links + QStringLiteral("/dangling.mpg")));
    }
    void init() { Prompts::enableScripted(); }

    void nameFiltersShowTheLabelAndFilterByThePatterns_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("nameFilters");
        QTest::newRow("defaults") << kFilter
                                  << QStringList{QStringLiteral("Mpeg (*.mpg,*.mpeg,*.mpe) (*.mpg *.mpeg *.mpe)"),
                                                 QStringLiteral("All Files (*.*) (*)")};
        QTest::newRow("end of list at an empty description")
            << (QStringLiteral("Mp3 (*.mp3)") + QChar(0) + QStringLiteral("*.mp3") + QChar(0) + QChar(0)
                + QStringLiteral("Late (*.x)") + QChar(0) + QStringLiteral("*.x") + QChar(0))
            << QStringList{QStringLiteral("Mp3 (*.mp3) (*.mp3)")};
        QTest::newRow("empty pattern parts dropped")
            << (QStringLiteral("V (*.vob,*.avi)") + QChar(0) + QStringLiteral("*.vob;;*.avi;") + QChar(0))
            << QStringList{QStringLiteral("V (*.vob,*.avi) (*.vob *.avi)")};
        QTest::newRow("no filter") << QString() << QStringList();
    }
    void nameFiltersShowTheLabelAndFilterByThePatterns()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, nameFilters);
        QCOMPARE(FileDialogNameFilters(filter), nameFilters);
    }

    void scriptedAnswers_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("record");
        const QString t = QStringLiteral("dialog|T|");
        QTest::newRow("save, new file") << true << "/t/new.mpg" << true << t + "/t/new.mpg|create confirmed";
        QTest::newRow("save, existing file") << true << "<dir>/a.mpg" << true << t + "<dir>/a.mpg|replace confirmed";
        QTest::newRow("save, a link to nothing")
            << true << "<links>/dangling.mpg" << true << t + "<links>/dangling.mpg|replace confirmed";
        QTest::newRow("save, blanks kept") << true << " /t/x y.mpg " << true << t + " /t/x y.mpg |create confirmed";
        QTest::newRow("open, existing file") << false << "<dir>/a.mpg" << true << t + "<dir>/a.mpg";
        QTest::newRow("empty line cancels") << true << "" << false << t;
    }
    void scriptedAnswers()
    {
        QFETCH(bool, save);
        QFETCH(QString, answer);
        QFETCH(bool, confirmed);
        QFETCH(QString, record);
        answer.replace(QStringLiteral("<dir>"), dir).replace(QStringLiteral("<links>"), links);
        record.replace(QStringLiteral("<dir>"), dir).replace(QStringLiteral("<links>"), links);
        Prompts::queue(answer);
        OPENFILENAME ofn;
        ofn.lpstrTitle = QStringLiteral("T");
        ofn.lpstrFilter = kFilter;
        ofn.Flags = save ? (OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT) : (OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST);
        ofn.lpstrFile = QStringLiteral("untouched");
        QCOMPARE(save ? GetSaveFileNameA(ofn) : GetOpenFileNameA(ofn), confirmed);
        QCOMPARE(ofn.lpstrFile, confirmed ? answer : QStringLiteral("untouched"));
        QCOMPARE(Prompts::records(), QStringList{record});
    }

    void buttonNameForADialogIsTheWrongKind()
    {
        Prompts::queue(QStringLiteral("OK"));
        BROWSEINFO bi;
        bi.lpszTitle = QStringLiteral("Unpack To Directory: /t");
        QVERIFY(!SHBrowseForFolder(bi));
        QCOMPARE(Prompts::records(), (QStringList{QStringLiteral("dialog|Unpack To Directory: /t|"),
                                                  QStringLiteral("error|dialog answered with 'OK'")}));
    }

    void realProgramUsesAnswersFileAndLog()
    {
        const QString answers = kivrotest::rootDir() + QStringLiteral("/answers.txt");
        const QString log = kivrotest::rootDir() + QStringLiteral("/log.txt");
        kivrotest::writeFile(answers, "/t/out.mpg\n\n");
        QFile::remove(log);
        QByteArray out;
        QCOMPARE(kivrotest::runChild(
                     QStringLiteral("dialogs"),
                     {QStringLiteral("KIVRO_TEST_ANSWERS=") + answers, QStringLiteral("KIVRO_TEST_LOG=") + log}, &out),
                 0);
        QVERIFY2(out.endsWith("1:/t/out.mpg\n0:\n0:\nfolder:-\n"), out.constData());
        QCOMPARE(QString::fromUtf8(kivrotest::readFile(log)),
                 QStringLiteral("dialog|Save Pack File As|/t/out.mpg|create confirmed\n"
                                "dialog|Save Pack File As|\n"
                                "dialog|Save Pack File As|\n"
                                "dialog|Startup Directory: /a\\|b|\n"));
    }

    void realProgramEndsOnAButtonNameForADialog()
    {
        const QString answers = kivrotest::rootDir() + QStringLiteral("/answers2.txt");
        const QString log = kivrotest::rootDir() + QStringLiteral("/log2.txt");
        kivrotest::writeFile(answers, "Cancel\n");
        QVERIFY(kivrotest::runChild(QStringLiteral("wrong-kind"), {QStringLiteral("KIVRO_TEST_ANSWERS=") + answers,
                                                                   QStringLiteral("KIVRO_TEST_LOG=") + log})
                > 0);
        QVERIFY(kivrotest::readFile(log).contains("error|dialog answered with 'Cancel'"));
    }

    void shownSaveDialogAsksBeforeCreatingAndRefusesAMissingFolder()
    {
        Prompts::disableScripted();
        QString refusal, question;
        bool stillOpenAfterNo = false;
        kivrotest::whenModal<QFileDialog>([&](QFileDialog* dialog) {
            QLineEdit* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name || !dialog->testOption(QFileDialog::DontUseNativeDialog)) {
                dialog->reject();
                return;
            }
            // A name in a folder that does not exist is refused; the dialog stays.
            name->setText(QStringLiteral("nosuchdir/x.mpg"));
            answerBox(QMessageBox::Ok, &refusal);
            static_cast<QDialog*>(dialog)->accept();
            // A new file: No keeps the dialog open, Yes takes the name.
            name->setText(QStringLiteral(" new file.mpg "));
            answerBox(QMessageBox::No, &question);
            static_cast<QDialog*>(dialog)->accept();
            stillOpenAfterNo = dialog->isVisible();
            answerBox(QMessageBox::Yes);
            static_cast<QDialog*>(dialog)->accept();
        });
        OPENFILENAME ofn;
        ofn.lpstrFilter = kFilter;
        ofn.lpstrInitialDir = dir;
        ofn.lpstrTitle = QStringLiteral("Save Pack File As");
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT;
        QVERIFY(GetSaveFileNameA(ofn));
        QCOMPARE(ofn.lpstrFile, dir + QStringLiteral("/ new file.mpg "));
        QCOMPARE(refusal,
                 QStringLiteral("The folder '%1/nosuchdir' does not exist.\nCheck the name and try again.").arg(dir));
        QCOMPARE(question, QStringLiteral("' new file.mpg ' does not exist.\nCreate the file?"));
        QVERIFY(stillOpenAfterNo);
        QVERIFY(!QFile::exists(ofn.lpstrFile));
    }

    void shownFolderBrowser()
    {
        Prompts::disableScripted();
        QString title;
        bool foldersOnly = false;
        kivrotest::whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            foldersOnly = dialog->fileMode() == QFileDialog::Directory && dialog->testOption(QFileDialog::ShowDirsOnly)
                          && dialog->testOption(QFileDialog::DontUseNativeDialog);
            dialog->setDirectory(dir);
            static_cast<QDialog*>(dialog)->accept();
        });
        BROWSEINFO bi;
        bi.lpszTitle = QStringLiteral("Save As Directory: /home");
        bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
        QCOMPARE(SHBrowseForFolder(bi), std::optional<QString>(dir));
        QCOMPARE(title, bi.lpszTitle);
        QVERIFY(foldersOnly);
    }

    // An existing file, and a link that points to nothing (a file the save replaces as well),
    // are replaced only after the question.
    void shownSaveDialogAsksBeforeReplacing_data()
    {
        QTest::addColumn<bool>("dangling");
        QTest::newRow("existing file") << false;
        QTest::newRow("link to nothing") << true;
    }
    void shownSaveDialogAsksBeforeReplacing()
    {
        QFETCH(bool, dangling);
        const QString folder = dangling ? links : dir;
        const QString name = dangling ? QStringLiteral("dangling.mpg") : QStringLiteral("a.mpg");
        Prompts::disableScripted();
        QString question;
        bool stillOpenAfterNo = false;
        kivrotest::whenModal<QFileDialog>([&](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            answerBox(QMessageBox::No);
            static_cast<QDialog*>(dialog)->accept();
            stillOpenAfterNo = dialog->isVisible();
            answerBox(QMessageBox::Yes, &question);
            static_cast<QDialog*>(dialog)->accept();
        });
        OPENFILENAME ofn;
        ofn.lpstrFilter = kFilter;
        ofn.lpstrInitialDir = folder;
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT;
        QVERIFY(GetSaveFileNameA(ofn));
        QCOMPARE(ofn.lpstrFile, folder + QLatin1Char('/') + name);
        QCOMPARE(question, name + QStringLiteral(" already exists.\nDo you want to replace it?"));
        QVERIFY(stillOpenAfterNo);
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestFileDialogs, child)
#include "tst_filedialogs.moc"
