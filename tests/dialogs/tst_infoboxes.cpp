// The about box and the technical support box: texts and places, the credit rotation and its
// timer, the ways of closing, System Info with stub viewers on a private PATH, and the links,
// pressed in a child of this test on the X11 platform under Xvfb (the offscreen platform opens
// nothing) with a stub xdg-open on PATH that logs its argument.
#include "KivroTest.h"
#include "TextFits.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/MouseDownLabel.h"
#include "dialogs/TechSupportDialog.h"
#include "dialogs/abtfrm.h"
#include "platform/Globals.h"
#include "platform/IconFile.h"
#include "platform/MsgBox.h"

#include <QLabel>
#include <QPushButton>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

using namespace kivro;

namespace {

const QString kUnavailable = QStringLiteral(
    "box|None|OK|Tesma Kivro Pro|System Information Is Unavailable At This Time|OK");

// The visible credit lines and mail images, by index ("L0", "M0", ...).
QStringList shownCredits(const abtfrm& box)
{
    QStringList shown;
    for (int i = 0; i < 4; ++i) {
        if (box.Credit_Lbl[i]->isVisibleTo(&box))
            shown << QStringLiteral("L%1").arg(i);
        if (box.Email_Img[i]->isVisibleTo(&box))
            shown << QStringLiteral("M%1").arg(i);
    }
    return shown;
}

// Shows `dialog` through `show`, runs `whileOpen` once it is up (modal), and fails when the
// steps leave it open.
template <class Show, class Steps> void runModal(QDialog* dialog, Show show, Steps whileOpen)
{
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
        ran = true;
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->isModal());
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        whileOpen();
        if (dialog->isVisible()) {
            dialog->hide();
            QFAIL("the box stayed open");
        }
    });
    show();
    QVERIFY(ran);
}

void writeTool(const QString& path, const QByteArray& script)
{
    kivrotest::writeFile(path, script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList logged(const QString& log)
{
    return QString::fromUtf8(kivrotest::readFile(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The child: presses with the right and middle buttons on every link, then one left press on
// each, in order, waiting for each to reach the stub.
int linksChild(const QString& mode)
{
    if (mode != QLatin1String("links"))
        return 99;
    Prompts::enableScripted();
    const QString log = qEnvironmentVariable("KIVRO_LAUNCH_LOG");
    abtfrm about;
    about.Form_Load();
    about.show();
    TechSupportDialog support;
    support.Form_Load();
    support.show();
    if (!QTest::qWaitForWindowExposed(&about) || !QTest::qWaitForWindowExposed(&support))
        return 2;
    // The first panel's lines and images show after the first tick.
    about.ChangeSplash_Timer();
    MouseDownLabel* links[] = {about.tesma_URL, support.Label9, support.Label8, support.Label11, about.Email_Img[0]};
    for (MouseDownLabel* link : links) {
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mouseClick(link, Qt::MiddleButton);
    }
    about.Email_Img_MouseDown(4, vbLeftButton);
    about.Email_Img_MouseDown(-1, vbLeftButton);
    int expected = 0;
    for (MouseDownLabel* link : links) {
        QTest::mouseClick(link, Qt::LeftButton);
        ++expected;
        QDeadlineTimer deadline(20000);
        while (logged(log).size() < expected) {
            if (deadline.hasExpired())
                return 3;
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
    }
    printf("RECORDS:%d\nDONE\n", int(Prompts::records().size()));
    fflush(stdout);
    return 0;
}

} // namespace

class TestInfoBoxes : public QObject {
    Q_OBJECT

    StartupPictures pictures;

private slots:
    void initTestCase()
    {
        pictures.PicIcon2 = QImage(32, 32, QImage::Format_ARGB32);
        pictures.PicIcon2.fill(Qt::red);
        pictures.PicIcon3 = QImage(16, 16, QImage::Format_ARGB32);
        pictures.PicIcon3.fill(Qt::blue);
        gStartupPictures = &pictures;
    }

    void init() { Prompts::enableScripted(); }

    void versionText_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.0.3") << 1 << 0 << 3 << "1.0.3";
        QTest::newRow("no leading zeros") << 5 << 0 << 1 << "5.0.1";
        QTest::newRow("several digits") << 12 << 40 << 305 << "12.40.305";
    }

    void versionText()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, text);
        QCOMPARE(abtfrm::VersionText(major, minor, revision), text);
    }

    // The box shows the version the project is built as, the title, the signs and the
    // start-up form's pictures.
    void aboutBoxLoads()
    {
        const QString cmake = QString::fromUtf8(
            kivrotest::readFile(QStringLiteral(KIVRO_SOURCE_DIR "/CMakeLists.txt")));
        const auto m
            = QRegularExpression(QStringLiteral("project\\(Kivro VERSION (\\d+)\\.(\\d+)\\.(\\d+)")).match(cmake);
        QVERIFY(m.hasMatch());
        abtfrm* box = AboutForm();
        QCOMPARE(AboutForm(), box);
        box->Form_Load();
        QCOMPARE(box->windowTitle(), QStringLiteral("About Tesma Kivro Pro"));
        QCOMPARE(box->lblTitle->text(), QStringLiteral("Tesma Kivro Pro"));
        QCOMPARE(box->lblVersion->text(),
                 abtfrm::VersionText(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()));
        QCOMPARE(box->copyright_lbl->text(), QStringLiteral("\u00AE"));
        QCOMPARE(box->Cpylogo_Lbl->text(), QStringLiteral("\u00A9"));
        QVERIFY(box->coy_Lbl1->text().contains(QStringLiteral("Tesma")));
        QCOMPARE(box->lblDisclaimer->text(), QStringLiteral(" "));
        QCOMPARE(box->tesma_URL->text(), QStringLiteral("https://tesma.example/"));
        QCOMPARE(box->cmdOK->text(), QStringLiteral("OK"));
        QVERIFY(box->cmdOK->isDefault());
        QCOMPARE(box->cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(!box->windowIcon().isNull());
        QCOMPARE(box->PicIcon->pixmap().toImage().pixelColor(16, 16), QColor(Qt::red));
        for (MouseDownLabel* image : box->Email_Img)
            QCOMPARE(image->pixmap().toImage().pixelColor(8, 8), QColor(Qt::blue));
        // Links and mail images show the hand.
        for (QWidget* link : {static_cast<QWidget*>(box->tesma_URL), static_cast<QWidget*>(box->Email_Img[0]),
                              static_cast<QWidget*>(box->Email_Img[3])})
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        box->done(QDialog::Accepted);
    }

    // Four roles, each with its own address at the support address's domain; both panels use
    // the same two places, each line with its mail image beside it.
    void creditLines()
    {
        const QStringList addresses = abtfrm::CreditAddresses();
        QCOMPARE(addresses.size(), 4);
        QCOMPARE(QSet<QString>(addresses.begin(), addresses.end()).size(), 4);
        abtfrm* box = AboutForm();
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(addresses.at(i).endsWith(QStringLiteral("@tesma.example")), qPrintable(addresses.at(i)));
            QVERIFY(box->Credit_Lbl[i]->text().endsWith(addresses.at(i)));
            const QRect line = box->Credit_Lbl[i]->geometry();
            QCOMPARE(line, QRect(32, i % 2 ? 121 : 105, 283, 16));
            const QRect image = box->Email_Img[i]->geometry();
            QVERIFY(image.right() < line.left());
            QCOMPARE(image.top(), line.top());
        }
    }

    void rotation_data()
    {
        QTest::addColumn<int>("firings");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("state");
        QTest::newRow("opened") << 0 << QStringList{} << 1;
        QTest::newRow("first panel") << 1 << QStringList{"L0", "M0", "L1", "M1"} << 2;
        QTest::newRow("second panel") << 2 << QStringList{"L2", "M2", "L3", "M3"} << 3;
        QTest::newRow("none") << 3 << QStringList{} << 1;
        QTest::newRow("first again") << 4 << QStringList{"L0", "M0", "L1", "M1"} << 2;
    }

    void rotation()
    {
        QFETCH(int, firings);
        QFETCH(QStringList, shown);
        QFETCH(int, state);
        abtfrm* box = AboutForm();
        runModal(
            box, [&] { box->Show(); },
            [&] {
                QVERIFY(box->ChangeSplash->isActive());
                QCOMPARE(box->ChangeSplash->interval(), 5000);
                for (int i = 0; i < firings; ++i)
                    box->ChangeSplash_Timer();
                QCOMPARE(shownCredits(*box), shown);
                QCOMPARE(box->panelState(), state);
                QTest::mouseClick(box->cmdOK, Qt::LeftButton);
            });
        QVERIFY(!box->ChangeSplash->isActive());
        // Opened again, it starts afresh.
        runModal(
            box, [&] { box->Show(); },
            [&] {
                QVERIFY(shownCredits(*box).isEmpty());
                QCOMPARE(box->panelState(), 1);
                QVERIFY(box->ChangeSplash->isActive());
                box->cmdOK_Click();
            });
    }

    void aboutBoxCloses_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Enter while System Info has the focus") << "enter on sysinfo";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("OK") << "ok";
        QTest::newRow("icon") << "icon";
        QTest::newRow("close box") << "close";
    }

    void aboutBoxCloses()
    {
        QFETCH(QString, how);
        abtfrm* box = AboutForm();
        runModal(
            box, [&] { box->Show(); },
            [&] {
                if (how == QLatin1String("enter")) {
                    QTest::keyClick(box, Qt::Key_Return);
                } else if (how == QLatin1String("enter on sysinfo")) {
                    box->cmdSysInfo->setFocus();
                    QTest::keyClick(box->cmdSysInfo, Qt::Key_Return);
                } else if (how == QLatin1String("esc")) {
                    QTest::keyClick(box, Qt::Key_Escape);
                } else if (how == QLatin1String("ok")) {
                    QTest::mouseClick(box->cmdOK, Qt::LeftButton);
                } else if (how == QLatin1String("icon")) {
                    // A right press on the icon leaves the box open; a left one closes it.
                    QTest::mousePress(box->PicIcon, Qt::RightButton);
                    QVERIFY(box->isVisible());
                    QTest::mousePress(box->PicIcon, Qt::LeftButton);
                } else {
                    box->close();
                }
            });
        QVERIFY(!box->ChangeSplash->isActive());
        QVERIFY(Prompts::records().isEmpty());
    }

    // System Info looks on PATH for kinfocenter, then hardinfo, and starts only the first one
    // it finds; when there is none, or it cannot be started, the box says so.
    void systemInfo_data()
    {
        QTest::addColumn<QStringList>("tools");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<bool>("unavailable");
        QTest::newRow("none") << QStringList{} << QStringList{} << true;
        QTest::newRow("hardinfo") << QStringList{"hardinfo"} << QStringList{"hardinfo"} << false;
        QTest::newRow("kinfocenter") << QStringList{"kinfocenter"} << QStringList{"kinfocenter"} << false;
        QTest::newRow("both") << QStringList{"kinfocenter", "hardinfo"} << QStringList{"kinfocenter"} << false;
        QTest::newRow("kinfocenter broken") << QStringList{"broken kinfocenter", "hardinfo"} << QStringList{} << true;
        QTest::newRow("not executable") << QStringList{"plain kinfocenter"} << QStringList{} << true;
    }

    void systemInfo()
    {
        QFETCH(QStringList, tools);
        QFETCH(QStringList, started);
        QFETCH(bool, unavailable);
        const QString bin = kivrotest::rootDir() + QStringLiteral("/sysinfo/")
                            + QString::fromLatin1(QTest::currentDataTag());
        const QString log = bin + QStringLiteral(".log");
        QDir(bin).removeRecursively();
        QDir().mkpath(bin);
        QFile::remove(log);
        // A stub logs its name and the number of its arguments; "broken" names an interpreter
        // that does not exist, "plain" is not executable.
        for (const QString& tool : tools) {
            const QString name = tool.section(QLatin1Char(' '), -1);
            const QString path = bin + QLatin1Char('/') + name;
            const QByteArray stub = "#!/bin/sh\nprintf '%s %s\\n' " + name.toUtf8()
                                    + " \"$#\" >> \"$KIVRO_SYSINFO_LOG\"\n";
            if (tool.startsWith(QLatin1String("broken")))
                writeTool(path, "#!/nonexistent\n");
            else if (tool.startsWith(QLatin1String("plain")))
                kivrotest::writeFile(path, stub);
            else
                writeTool(path, stub);
        }
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit());
        qputenv("KIVRO_SYSINFO_LOG", log.toLocal8Bit());
        abtfrm* box = AboutForm();
        runModal(
            box, [&] { box->Show(); },
            [&] {
                // The mnemonic presses the button and clicks it once the press has been shown.
                QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
                QVERIFY(box->cmdSysInfo->isDown());
                QTRY_VERIFY_WITH_TIMEOUT(!box->cmdSysInfo->isDown(), 10000);
                QVERIFY(box->isVisible());
                box->cmdOK_Click();
            });
        qputenv("PATH", oldPath);
        QStringList expected;
        for (const QString& name : started)
            expected << name + QStringLiteral(" 0");
        QTRY_COMPARE_WITH_TIMEOUT(logged(log), expected, 20000);
        // Nothing else turns up later (a second viewer would have been started at once).
        QTest::qWait(300);
        QCOMPARE(logged(log), expected);
        QCOMPARE(Prompts::records(), unavailable ? QStringList{kUnavailable} : QStringList{});
        if (unavailable)
            QCOMPARE(gMsgResult, vbOK);
    }

    // Every text of both boxes fits its label in the label's font, the credit lines of both
    // panels included.
    void everyTextFitsItsLabel()
    {
        abtfrm* about = AboutForm();
        about->Form_Load();
        QCOMPARE(kivrotest::clippedLabels(*about), QStringList());
        TechSupportDialog* support = TechSupportForm();
        support->Form_Load();
        QCOMPARE(kivrotest::clippedLabels(*support), QStringList());
    }

    // The registered sign stands right after the title's last letter, at the top of its line.
    void registeredSignBesideTheTitle()
    {
        abtfrm* about = AboutForm();
        about->Form_Load();
        const QFontMetrics title(about->lblTitle->font());
        const int titleEnd = about->lblTitle->x() + title.horizontalAdvance(about->lblTitle->text());
        const int signLeft = about->copyright_lbl->x();
        QVERIFY2(signLeft >= titleEnd && signLeft <= titleEnd + 3,
                 qPrintable(QStringLiteral("title ends at %1, sign at %2").arg(titleEnd).arg(signLeft)));
        QCOMPARE(about->copyright_lbl->y(), about->lblTitle->y());
    }

    // The support box: its texts at their places, the links showing what they open, and Esc.
    void supportBox_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("Label1") << "Label1"
                                << "If you have any problem in using this program, you can always get help from"
                                << QPoint(8, 8);
        QTest::newRow("Label2") << "Label2"
                                << " Website:" << QPoint(48, 40);
        QTest::newRow("Label4") << "Label4"
                                << " Email:" << QPoint(48, 56);
        QTest::newRow("Label10") << "Label10"
                                 << "Or you can visit our support web page for latest information on" << QPoint(8, 96);
        QTest::newRow("Label12") << "Label12"
                                 << " Support:" << QPoint(48, 112);
        QTest::newRow("Label9") << "Label9"
                                << "https://tesma.example/kivro" << QPoint(120, 40);
        QTest::newRow("Label8") << "Label8"
                                << "support@tesma.example" << QPoint(120, 56);
        QTest::newRow("Label11") << "Label11"
                                 << "https://tesma.example/support" << QPoint(120, 112);
    }

    void supportBox()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QPoint, at);
        TechSupportDialog* box = TechSupportForm();
        QCOMPARE(TechSupportForm(), box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Tesma Kivro Technical Support"));
        auto* label = box->findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), at);
        // Only the links show the hand.
        const bool link = qobject_cast<MouseDownLabel*>(label) != nullptr;
        QCOMPARE(label->cursor().shape(), link ? Qt::PointingHandCursor : Qt::ArrowCursor);
        QVERIFY(label->geometry().right() < box->width());
    }

    void linksOpenThroughTheDesktop()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
            QSKIP("xvfb-run is not installed");
        const QString stubs = kivrotest::rootDir() + QStringLiteral("/linkbin");
        const QString log = kivrotest::rootDir() + QStringLiteral("/links.log");
        writeTool(stubs + QStringLiteral("/xdg-open"), "#!/bin/sh\necho \"$1\" >> \"$KIVRO_LAUNCH_LOG\"\n");
        QFile::remove(log);
        QByteArray out;
        const int code = kivrotest::runChildOnX11(QStringLiteral("links"), {QStringLiteral("KIVRO_LAUNCH_LOG=") + log},
                                                  stubs, &out);
        QVERIFY2(code == 0, out.constData());
        QVERIFY2(out.contains("RECORDS:0\nDONE"), out.constData());
        const QStringList expected{
            QStringLiteral("https://tesma.example/"),
            QStringLiteral("https://tesma.example/kivro"),
            QStringLiteral("mailto:support@tesma.example"),
            QStringLiteral("https://tesma.example/support"),
            QStringLiteral("mailto:") + abtfrm::CreditAddresses().at(0),
        };
        QCOMPARE(logged(log), expected);
    }

    void supportBoxCloses()
    {
        TechSupportDialog* box = TechSupportForm();
        QVERIFY(box->findChildren<QPushButton*>().isEmpty());
        runModal(
            box, [&] { box->Show(); },
            [&] {
                QVERIFY(!box->windowIcon().isNull());
                QTest::keyClick(box, Qt::Key_Escape);
            });
        runModal(
            box, [&] { box->Show(); }, [&] { box->close(); });
        QVERIFY(Prompts::records().isEmpty());
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestInfoBoxes, linksChild)
#include "tst_infoboxes.moc"
