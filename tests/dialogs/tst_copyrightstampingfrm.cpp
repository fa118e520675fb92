// The copyright stamp editor: the text of the stamp file with its count-down note and limit,
// Save (byte-exact file, the stamp lines reloaded, a failed write that loses nothing), and the
// question before unsaved changes are dropped, for every way of closing.
#include "HeadlessLink.h"
#include "FakeDialogsHost.h"
#include "KivroTest.h"

#include "engine/MainWindowHosts.h"
#include "dialogs/copyrightstampingfrm.h"
#include "engine/CopyrightStamp.h"
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"

#include <QClipboard>
#include <QLabel>
#include <QPushButton>

#include <csignal>
#include <sys/resource.h>

using namespace kivro;

namespace {

using Host = kivrotest::FakeDialogsHost;

QString note(int n)
{
    return QStringLiteral("Note: Copyright text can hold another %1 %2")
        .arg(n)
        .arg(n < 2 ? "character." : "characters.");
}

const QString kQuestion = QStringLiteral(
    "box|Question|YesNo|Tesma Kivro Pro|Do you want to save the following changes before closing?|");

QString cannotOverwrite(const QString& answer)
{
    return QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '") + CopyrightStampFile()
           + QStringLiteral("'. Disk full/write-protected or file is in use.|") + answer;
}

// Files cannot grow past `bytes` while it lives (a full disk that root cannot escape).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { lift(); }
    void lift() { ::setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

class TestCopyrightStamping : public QObject {
    Q_OBJECT

    Host host;
    std::unique_ptr<copyrightstampingfrm> form;

    void open()
    {
        form->Form_Load();
        form->show();
        form->Copyright_txt->setFocus();
    }
    // Replaces the whole text by typing.
    void typeText(const QString& text)
    {
        QTest::keySequence(form->Copyright_txt, QKeySequence::SelectAll);
        for (const QChar c : text) {
            if (c == QLatin1Char('\n'))
                QTest::keyClick(form->Copyright_txt, Qt::Key_Return);
            else
                QTest::keyClicks(form->Copyright_txt, QString(c));
        }
    }
    QString text() const { return form->Copyright_txt->toPlainText(); }

private slots:
    void initTestCase() { gDialogsHost = &host; }
    void cleanupTestCase() { gDialogsHost = nullptr; }
    void init()
    {
        Prompts::enableScripted();
        Prompts::setRecordObserver({});
        QFile::remove(CopyrightStampFile());
        host.setCopyrightStamping_lst({});
        form = std::make_unique<copyrightstampingfrm>();
    }

    void controls()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Copyright Stamping"));
        QCOMPARE(form->packwhat_lbl->text(), QStringLiteral("Copyright Text:"));
        QCOMPARE(form->note_lbl->text(), note(640));
        QCOMPARE(form->SaveButton->text(), QStringLiteral("&Save"));
        QCOMPARE(form->CancelButton->text(), QStringLiteral("Close"));
        QVERIFY(form->parentWidget() == nullptr);
        QVERIFY(!form->isLoaded());
    }

    // The default file: created, shown, counted; Save disabled; nothing asked.
    void defaultFile()
    {
        open();
        QVERIFY(form->isLoaded());
        QCOMPARE(kivrotest::readFile(CopyrightStampFile()), QByteArray("Files unpacked by Tesma Kivro Pro (r).\r\n"));
        QCOMPARE(text(), kDefaultCopyrightStamp);
        QCOMPARE(form->note_lbl->text(), note(602));
        QVERIFY(!form->SaveButton->isEnabled());
        QCOMPARE(host.CopyrightStamping_lst(), QStringList{QStringLiteral("@echo ") + kDefaultCopyrightStamp});
        QTest::mouseClick(form->CancelButton, Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QVERIFY(!form->isLoaded());
        QVERIFY(Prompts::records().isEmpty());
    }

    // The note after typing: n = 640 minus the characters, a line break counting two.
    void countDown_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("left");
        QTest::newRow("abc") << QStringLiteral("abc") << 637;
        QTest::newRow("a break b") << QStringLiteral("a\nb") << 636;
        QTest::newRow("639 characters") << QString(639, QLatin1Char('x')) << 1;
        QTest::newRow("640 characters") << QString(640, QLatin1Char('x')) << 0;
        QTest::newRow("breaks up to the limit") << QString(638, QLatin1Char('x')) + QLatin1Char('\n') << 0;
    }
    void countDown()
    {
        QFETCH(QString, typed);
        QFETCH(int, left);
        open();
        typeText(typed);
        QCOMPARE(text(), typed);
        QCOMPARE(form->note_lbl->text(), note(left));
        QVERIFY(form->SaveButton->isEnabled());
    }

    // At the limit nothing more goes in, typed, entered or pasted; a paste inserts what fits.
    void limit()
    {
        open();
        const QString full(640, QLatin1Char('y'));
        typeText(full);
        QTest::keyClicks(form->Copyright_txt, QStringLiteral("z"));
        QTest::keyClick(form->Copyright_txt, Qt::Key_Return);
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        QTest::keySequence(form->Copyright_txt, QKeySequence::Paste);
        QCOMPARE(text(), full);
        QCOMPARE(form->note_lbl->text(), note(0));

        // Four places left: a paste brings four characters, or one and no break that needs two.
        QTest::keyClick(form->Copyright_txt, Qt::Key_Backspace);
        QTest::keyClick(form->Copyright_txt, Qt::Key_Backspace);
        QTest::keyClick(form->Copyright_txt, Qt::Key_Backspace);
        QTest::keyClick(form->Copyright_txt, Qt::Key_Backspace);
        QGuiApplication::clipboard()->setText(QStringLiteral("abcdef"));
        QTest::keySequence(form->Copyright_txt, QKeySequence::Paste);
        QCOMPARE(text(), full.left(636) + QStringLiteral("abcd"));
        QTest::keyClick(form->Copyright_txt, Qt::Key_Backspace);
        QTest::keyClick(form->Copyright_txt, Qt::Key_Backspace);
        QGuiApplication::clipboard()->setText(QStringLiteral("a\r\nb"));
        QTest::keySequence(form->Copyright_txt, QKeySequence::Paste);
        QCOMPARE(text(), full.left(636) + QStringLiteral("aba"));
        // A selection gives its room to what replaces it.
        QTest::keySequence(form->Copyright_txt, QKeySequence::SelectAll);
        QGuiApplication::clipboard()->setText(QStringLiteral("1\r\n2"));
        QTest::keySequence(form->Copyright_txt, QKeySequence::Paste);
        QCOMPARE(text(), QStringLiteral("1\n2"));
    }

    // A stamp file longer than the limit is shown whole; nothing can be added, deleting works.
    void longerFile()
    {
        kivrotest::writeFile(CopyrightStampFile(), QByteArray(643, 'L') + "\r\nM\r\n");
        open();
        QCOMPARE(text(), QString(643, QLatin1Char('L')) + QStringLiteral("\nM"));
        QCOMPARE(form->note_lbl->text(), note(-6));
        QCOMPARE(host.CopyrightStamping_lst(),
                 (QStringList{QStringLiteral("@echo ") + QString(643, QLatin1Char('L')), QStringLiteral("@echo M")}));
        QTest::keyClicks(form->Copyright_txt, QStringLiteral("x"));
        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        QTest::keySequence(form->Copyright_txt, QKeySequence::Paste);
        QCOMPARE(text(), QString(643, QLatin1Char('L')) + QStringLiteral("\nM"));
        QTest::keyClick(form->Copyright_txt, Qt::Key_Backspace);
        QCOMPARE(form->note_lbl->text(), note(-5));
        QVERIFY(form->SaveButton->isEnabled());
    }

    // Save writes the text with CR LF breaks and one CR LF after it, and reloads file and lines.
    void save_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("two lines") << QStringLiteral("A\nB") << QByteArray("A\r\nB\r\n")
                                   << QStringList{QStringLiteral("@echo A"), QStringLiteral("@echo B")};
        QTest::newRow("ending in a break") << QStringLiteral("A\n") << QByteArray("A\r\n\r\n")
                                           << QStringList{QStringLiteral("@echo A"), QStringLiteral("@echo.")};
        QTest::newRow("blank and spaces")
            << QStringLiteral(" x \n   \nz") << QByteArray(" x \r\n   \r\nz\r\n")
            << QStringList{QStringLiteral("@echo  x "), QStringLiteral("@echo."), QStringLiteral("@echo z")};
    }
    void save()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, lines);
        open();
        // A read-only stamp file is made writable and replaced.
        QFile::setPermissions(CopyrightStampFile(), QFileDevice::ReadOwner);
        typeText(typed);
        QTest::mouseClick(form->SaveButton, Qt::LeftButton);
        QCOMPARE(kivrotest::readFile(CopyrightStampFile()), file);
        QVERIFY(QFile::permissions(CopyrightStampFile()) & QFileDevice::WriteOwner);
        QCOMPARE(host.CopyrightStamping_lst(), lines);
        QCOMPARE(text(), typed);
        QVERIFY(!form->SaveButton->isEnabled());
        QVERIFY(form->isVisible());
        QVERIFY(Prompts::records().isEmpty());
    }

    // Empty lines at the start of the file give stamp lines but are not shown.
    void leadingEmptyLine()
    {
        kivrotest::writeFile(CopyrightStampFile(), QByteArray("\r\nB\r\n"));
        open();
        QCOMPARE(text(), QStringLiteral("B"));
        QCOMPARE(host.CopyrightStamping_lst(), (QStringList{QStringLiteral("@echo."), QStringLiteral("@echo B")}));
        QVERIFY(!form->SaveButton->isEnabled());
    }

    // Every way of closing asks while there are unsaved changes. No drops them; Yes saves them.
    void closing_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("answer");
        for (const char* answer : {"No", "Yes"}) {
            QTest::addRow("Close, %s", answer) << 0 << QString::fromLatin1(answer);
            QTest::addRow("close box, %s", answer) << 1 << QString::fromLatin1(answer);
            QTest::addRow("Escape, %s", answer) << 2 << QString::fromLatin1(answer);
        }
    }
    void closing()
    {
        QFETCH(int, way);
        QFETCH(QString, answer);
        kivrotest::writeFile(CopyrightStampFile(), QByteArray("Old\r\n"));
        open();
        auto closeIt = [&] {
            if (way == 0)
                QTest::mouseClick(form->CancelButton, Qt::LeftButton);
            else if (way == 1)
                form->close();
            else
                QTest::keyClick(form->Copyright_txt, Qt::Key_Escape);
        };
        typeText(QStringLiteral("New"));
        Prompts::queue(answer);
        closeIt();
        QCOMPARE(Prompts::records(), QStringList{kQuestion + answer});
        QVERIFY(!form->isVisible());
        QVERIFY(!form->isLoaded());
        const bool yes = answer == QLatin1String("Yes");
        QCOMPARE(kivrotest::readFile(CopyrightStampFile()), yes ? QByteArray("New\r\n") : QByteArray("Old\r\n"));
        QCOMPARE(host.CopyrightStamping_lst(),
                 QStringList{yes ? QStringLiteral("@echo New") : QStringLiteral("@echo Old")});

        // The next opening shows the file again, unchanged, and closing then asks nothing.
        Prompts::enableScripted();
        open();
        QCOMPARE(text(), yes ? QStringLiteral("New") : QStringLiteral("Old"));
        QVERIFY(!form->SaveButton->isEnabled());
        closeIt();
        QVERIFY(!form->isVisible());
        QVERIFY(Prompts::records().isEmpty());
    }

    // A failed save shows the box; Cancel keeps the editor open with its text and the old file
    // and stamp lines as they were; Retry saves again.
    void failedSave()
    {
        kivrotest::writeFile(CopyrightStampFile(), QByteArray("Old line\r\n"));
        open();
        typeText(QStringLiteral("A much longer text than the file may take"));
        {
            FileSizeLimit limit(8);
            Prompts::queue(QStringLiteral("Cancel"));
            QTest::mouseClick(form->SaveButton, Qt::LeftButton);
            QCOMPARE(Prompts::records(), QStringList{cannotOverwrite(QStringLiteral("Cancel"))});
            QCOMPARE(kivrotest::readFile(CopyrightStampFile()), QByteArray("Old line\r\n"));
            QCOMPARE(host.CopyrightStamping_lst(), QStringList{QStringLiteral("@echo Old line")});
            QCOMPARE(text(), QStringLiteral("A much longer text than the file may take"));
            QVERIFY(form->SaveButton->isEnabled());
            QVERIFY(form->isVisible());
            QCOMPARE(QDir(QFileInfo(CopyrightStampFile()).path()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{QStringLiteral("cstmp.ctd")});

            // From the closing question: Yes, the save fails, Cancel: the editor stays open.
            Prompts::enableScripted();
            Prompts::queue(QStringList{QStringLiteral("Yes"), QStringLiteral("Cancel")});
            form->close();
            QCOMPARE(Prompts::records(),
                     (QStringList{kQuestion + QStringLiteral("Yes"), cannotOverwrite(QStringLiteral("Cancel"))}));
            QVERIFY(form->isVisible());
            QVERIFY(form->isLoaded());
            QCOMPARE(kivrotest::readFile(CopyrightStampFile()), QByteArray("Old line\r\n"));

            // Retry once the disk has room again.
            Prompts::enableScripted();
            Prompts::queue(QStringLiteral("Retry"));
            Prompts::setRecordObserver([&limit](const QString&) { limit.lift(); });
            QTest::mouseClick(form->SaveButton, Qt::LeftButton);
            Prompts::setRecordObserver({});
        }
        QCOMPARE(Prompts::records(), QStringList{cannotOverwrite(QStringLiteral("Retry"))});
        QCOMPARE(kivrotest::readFile(CopyrightStampFile()),
                 QByteArray("A much longer text than the file may take\r\n"));
        QCOMPARE(host.CopyrightStamping_lst(),
                 QStringList{QStringLiteral("@echo A much longer text than the file may take")});
        QVERIFY(!form->SaveButton->isEnabled());
    }

    // A stamp file whose path is longer than the system takes: said as such, once, without a
    // Retry that could never succeed; the editor stays open with its text.
    void saveUnderANameTooLong()
    {
        open();
        typeText(QStringLiteral("New text"));
        const QByteArray oldData = qgetenv("XDG_DATA_HOME");
        // A data folder whose per-user folder can be made, but not the stamp file's full path.
        const QString top = kivrotest::rootDir() + QStringLiteral("/deep");
        QString deep = top;
        while (deep.size() < 4074)
            deep += QLatin1Char('/') + QString(int(std::min<qsizetype>(200, 4078 - deep.size())), QLatin1Char('d'));
        qputenv("XDG_DATA_HOME", QFile::encodeName(deep));
        const QString path = CopyrightStampFile();
        QVERIFY2(path.size() >= 4096, qPrintable(QString::number(path.size())));
        QVERIFY(!form->SaveButton_Click());
        qputenv("XDG_DATA_HOME", oldData);
        QDir(top).removeRecursively();
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro Pro|'") + path
                                                 + QStringLiteral("' cannot be written: the name is too long.|OK")});
        QCOMPARE(text(), QStringLiteral("New text"));
        QVERIFY(form->isVisible());
        QVERIFY(form->SaveButton->isEnabled());
    }

    // Shown modally: the real keys reach the box, Save and Escape work inside the modal loop.
    void modalRoundTrip()
    {
        bool ran = false;
        bool closedByEscape = false;
        QTimer::singleShot(0, form.get(), [&] {
            ran = true;
            QVERIFY(form->isModal() || form->windowModality() != Qt::NonModal);
            typeText(QStringLiteral("Copyright Bob\nx"));
            QTest::mouseClick(form->SaveButton, Qt::LeftButton);
            QTest::keyClick(form->Copyright_txt, Qt::Key_Escape);
            closedByEscape = !form->isVisible();
            // Only a failure gets here with the window up: end the modal loop so the test ends.
            if (form->isVisible())
                QTimer::singleShot(0, form.get(), [this] { form->hide(); });
        });
        form->Show();
        QVERIFY(ran);
        QVERIFY(closedByEscape);
        QVERIFY(!form->isVisible());
        QCOMPARE(kivrotest::readFile(CopyrightStampFile()), QByteArray("Copyright Bob\r\nx\r\n"));
        QCOMPARE(host.CopyrightStamping_lst(),
                 (QStringList{QStringLiteral("@echo Copyright Bob"), QStringLiteral("@echo x")}));
        QVERIFY(Prompts::records().isEmpty());
    }
};

KIVRO_TEST_MAIN(TestCopyrightStamping)
#include "tst_copyrightstampingfrm.moc"
