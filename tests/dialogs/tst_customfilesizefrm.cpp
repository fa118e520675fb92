// The custom unpack size dialog: the five modes, the checks and their messages, what an accepted
// number sets (size items, globals, stored settings, the preferences window's pending copy), the
// digit-only boxes, and the dialog opened for the preferences window.
#include "HeadlessLink.h"
#include "FakeDialogsHost.h"
#include "KivroTest.h"
#include "TextFits.h"
#include "StoredSettings.h"

#include "engine/MainWindowHosts.h"
#include "dialogs/PreferencesLink.h"
#include "dialogs/customfilesizefrm.h"
#include "engine/ActionFrame.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "engine/Registry.h"
#include "engine/UnpackAction.h"
#include "platform/Paths.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace kivro;

namespace {

// The main window as the dialog sees it: the size items and the one unpack a test runs.
struct Host : kivrotest::FakeDialogsHost {
    ActionOptions actionOptions() const override
    {
        ActionOptions o;
        o.unpackTarget = UnpackTarget::WhereFile;
        return o;
    }
};

struct Pending : PreferencesLink {
    QWidget* folderDialogOwner() override { return nullptr; }
    void setSaveToCustom(const QString&) override {}
    void setStartupCustom(const QString&) override {}
    void setUnpackToCustom(const QString&) override {}
    void setPendingCustomSize(CustomSizeMode m, std::int32_t n, const QString& t) override
    {
        calls << QStringLiteral("%1 %2 %3").arg(int(m)).arg(n).arg(t);
    }
    void setNoOfCustomFilterTxt(const QString&) override {}
    QStringList calls;
};

QString setting(const QString& name)
{
    return kivrotest::storedSetting(name, QStringLiteral("<none>"));
}
const auto writeSetting = kivrotest::storeSetting;

QByteArray settingsBytes()
{
    QFile f(paths::settingsFile());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

// Values no accepted OK leaves, so that a change is seen.
void sentinelGlobals()
{
    gUnpackSize = 777;
    gSplitPercent = 77;
    gSplitFiles = 7777;
    gSplitModeSize = gSplitModeFirst = gSplitModeLast = gSplitModePercent = gSplitModeFiles = false;
}

QString exclamation(const QString& text)
{
    return QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|") + text + QStringLiteral("|OK");
}

QList<bool> flags()
{
    return {gSplitModeSize, gSplitModeFirst, gSplitModeLast, gSplitModePercent, gSplitModeFiles};
}

} // namespace

class TestCustomFileSize : public QObject {
    Q_OBJECT

    Host host;
    Pending pending;
    std::unique_ptr<customfilesizefrm> form;

    QRadioButton* option(const QString& name) { return form->findChild<QRadioButton*>(name); }
    QLineEdit* box(const QString& name) { return form->findChild<QLineEdit*>(name); }

    // Opens the dialog afresh (not modally: the scripted boxes never wait), chooses a mode with
    // a click and types into its box.
    void openAndType(const QString& optionName, const QString& boxName, const QString& typed)
    {
        form->Form_Load();
        form->show();
        QTest::mouseClick(option(optionName), Qt::LeftButton);
        box(boxName)->setFocus();
        QTest::keyClicks(box(boxName), typed);
        QCOMPARE(box(boxName)->text(), typed);
    }

private slots:
    void initTestCase()
    {
        gDialogsHost = &host;
        gPreferencesFormFactory = [this] { return static_cast<PreferencesLink*>(&pending); };
    }
    void cleanupTestCase()
    {
        gDialogsHost = nullptr;
        gPreferencesFormFactory = nullptr;
    }
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
        host.calls.clear();
        pending.calls.clear();
        gCalledFromPreferences = false;
        sentinelGlobals();
        form = std::make_unique<customfilesizefrm>();
    }

    void controlsAndCaptions()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Custom Unpack Size"));
        QCOMPARE(form->Frame2->title(), QStringLiteral("Filesize"));
        QCOMPARE(form->Frame3->title(), QStringLiteral("Number of Unpack Files"));
        QCOMPARE(form->ByFilesizeOpt->text(), QStringLiteral("Filesize (Kbytes):"));
        QCOMPARE(form->ByFirstFilesizeOpt->text(), QStringLiteral("First Filesize (Kbytes):"));
        QCOMPARE(form->ByLastFilesizeOpt->text(), QStringLiteral("Last Filesize (Kbtyes):"));
        QCOMPARE(form->ByPercentFilesizeOpt->text(), QStringLiteral("Percentage (1-99%):"));
        QCOMPARE(form->ByNoOfFilesOpt->text(), QStringLiteral("Unpack into"));
        QCOMPARE(form->individual_lbl->text(), QStringLiteral("individual files."));
        QCOMPARE(form->note_txt->text(), QStringLiteral("Note: 1K = 1024 bytes, 1 Mb = 1024 K"));
        QCOMPARE(form->OKButton->text(), QStringLiteral("&OK"));
        QCOMPARE(form->CancelButton->text(), QStringLiteral("Cancel"));
        QVERIFY(form->parentWidget() == nullptr);
    }

    // The texts fit their places, and the note and "individual files." are drawn on the face of
    // the frame they stand in, not on a patch of another colour.
    void textsFitAndSitOnTheirFrame()
    {
        form->Form_Load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(kivrotest::clippedLabels(*form), QStringList());
        const QImage shot = form->grab().toImage();
        for (QLineEdit* box : {form->note_txt, form->individual_lbl}) {
            auto* frame = box->parentWidget();
            const QPoint inBox = box->mapTo(form.get(), QPoint(box->width() - 3, box->height() / 2));
            const QPoint inFrame = frame->mapTo(form.get(), QPoint(frame->width() - 6, frame->height() - 6));
            QCOMPARE(shot.pixelColor(inBox), shot.pixelColor(inFrame));
        }
        form->hide();
    }

    // Each opening starts with empty boxes and the stored mode; only its box is enabled and on
    // the window colour.
    void openingChoosesTheStoredMode_data()
    {
        QTest::addColumn<QString>("sSize");
        QTest::addColumn<int>("chosen");
        QTest::newRow("none") << QString() << 0;
        QTest::newRow("high") << QStringLiteral("high") << 0;
        QTest::newRow("customfs") << QStringLiteral("customfs") << 0;
        QTest::newRow("customffs") << QStringLiteral("customffs") << 1;
        QTest::newRow("customlfs") << QStringLiteral("customlfs") << 2;
        QTest::newRow("custompfs") << QStringLiteral("custompfs") << 3;
        QTest::newRow("customnof") << QStringLiteral("customnof") << 4;
        QTest::newRow("other case") << QStringLiteral("CustomPfs") << 0;
    }
    void openingChoosesTheStoredMode()
    {
        QFETCH(QString, sSize);
        QFETCH(int, chosen);
        if (!sSize.isNull())
            writeSetting(QStringLiteral("sSize"), sSize);
        // Text left from an earlier opening is gone.
        form->Form_Load();
        for (QLineEdit* b : {form->CustomFilesize_txt, form->CustomFirstFilesize_txt, form->CustomLastFilesize_txt,
                             form->CustomPercentFilesize_txt, form->NoOfFiles_txt})
            b->setText(QStringLiteral("12"));
        form->Form_Load();

        const QList<QRadioButton*> options{form->ByFilesizeOpt, form->ByFirstFilesizeOpt, form->ByLastFilesizeOpt,
                                           form->ByPercentFilesizeOpt, form->ByNoOfFilesOpt};
        const QList<QLineEdit*> boxes{form->CustomFilesize_txt, form->CustomFirstFilesize_txt,
                                      form->CustomLastFilesize_txt, form->CustomPercentFilesize_txt,
                                      form->NoOfFiles_txt};
        const QColor window = form->TempColor->palette().color(QPalette::Text);
        const QColor grey = form->TempColor->palette().color(QPalette::Base);
        QVERIFY(window != grey);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(options[i]->isChecked(), i == chosen);
            QCOMPARE(boxes[i]->isEnabled(), i == chosen);
            QCOMPARE(boxes[i]->palette().color(QPalette::Base), i == chosen ? window : grey);
            QVERIFY(boxes[i]->text().isEmpty());
        }
    }

    // Clicking another mode moves the enabled box; typed text stays in the boxes.
    void choosingAModeKeepsTypedText()
    {
        openAndType(QStringLiteral("ByFirstFilesizeOpt"), QStringLiteral("CustomFirstFilesize_txt"),
                    QStringLiteral("33"));
        QTest::mouseClick(form->ByNoOfFilesOpt, Qt::LeftButton);
        QVERIFY(form->ByNoOfFilesOpt->isChecked());
        QVERIFY(!form->ByFirstFilesizeOpt->isChecked());
        QVERIFY(!form->CustomFirstFilesize_txt->isEnabled());
        QCOMPARE(form->CustomFirstFilesize_txt->text(), QStringLiteral("33"));
        QVERIFY(form->NoOfFiles_txt->isEnabled());
        // A click on the chosen option keeps it chosen.
        QTest::mouseClick(form->ByNoOfFilesOpt, Qt::LeftButton);
        QVERIFY(form->ByNoOfFilesOpt->isChecked());
    }

    // Digits only, typed or pasted, and no more than the box holds.
    void boxesTakeDigitsOnly_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("optionName");
        QTest::addColumn<int>("most");
        QTest::newRow("size") << QStringLiteral("CustomFilesize_txt") << QStringLiteral("ByFilesizeOpt") << 7;
        QTest::newRow("first") << QStringLiteral("CustomFirstFilesize_txt") << QStringLiteral("ByFirstFilesizeOpt")
                               << 7;
        QTest::newRow("last") << QStringLiteral("CustomLastFilesize_txt") << QStringLiteral("ByLastFilesizeOpt") << 7;
        QTest::newRow("percent") << QStringLiteral("CustomPercentFilesize_txt")
                                 << QStringLiteral("ByPercentFilesizeOpt") << 2;
        QTest::newRow("files") << QStringLiteral("NoOfFiles_txt") << QStringLiteral("ByNoOfFilesOpt") << 5;
    }
    void boxesTakeDigitsOnly()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, optionName);
        QFETCH(int, most);
        openAndType(optionName, boxName, QString());
        QLineEdit* b = box(boxName);
        QTest::keyClicks(b, QStringLiteral("a0-+ .,e") + QChar(0xB2));
        QCOMPARE(b->text(), QStringLiteral("0"));
        QTest::keyClicks(b, QStringLiteral("123456789"));
        QCOMPARE(b->text(), QStringLiteral("0123456789").left(most));

        b->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("1x"));
        QTest::keySequence(b, QKeySequence::Paste);
        QCOMPARE(b->text(), QString());
        for (const QString& refused : {QStringLiteral("-5"), QStringLiteral(" 5"), QString(QChar(0x0661))}) {
            QGuiApplication::clipboard()->setText(refused);
            QTest::keySequence(b, QKeySequence::Paste);
            QCOMPARE(b->text(), QString());
        }
        QGuiApplication::clipboard()->setText(QStringLiteral("0042"));
        QTest::keySequence(b, QKeySequence::Paste);
        QCOMPARE(b->text(), QStringLiteral("0042").left(most));
    }

    // OK from the main window: the exact texts, settings and globals of each mode.
    void acceptedNumber_data()
    {
        QTest::addColumn<QString>("optionName");
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("sSize");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<QString>("value");
        QTest::addColumn<qint64>("unpackSize");
        QTest::addColumn<int>("splitPercent");
        QTest::addColumn<int>("splitFiles");
        QTest::addColumn<int>("flag");
        QTest::addColumn<QString>("pendingCall");

        const QString size = QStringLiteral("ByFilesizeOpt"), sizeBox = QStringLiteral("CustomFilesize_txt");
        QTest::newRow("size 0050") << size << sizeBox << "0050"
                                   << "50K (Custom...)"
                                   << "customfs"
                                   << "cSize"
                                   << "51200" << qint64(51200) << 77 << 7777 << 0 << "0 50 50K (Custom...)";
        QTest::newRow("size 1") << size << sizeBox << "1"
                                << "1K (Custom...)"
                                << "customfs"
                                << "cSize"
                                << "1024" << qint64(1024) << 77 << 7777 << 0 << "0 1 1K (Custom...)";
        QTest::newRow("size 1024000") << size << sizeBox << "1024000"
                                      << "1,024,000K (Custom...)"
                                      << "customfs"
                                      << "cSize"
                                      << "1048576000" << qint64(1048576000) << 77 << 7777 << 0
                                      << "0 1024000 1,024,000K (Custom...)";
        QTest::newRow("first 1440") << "ByFirstFilesizeOpt"
                                    << "CustomFirstFilesize_txt"
                                    << "1440"
                                    << "First 1,440K (Custom...)"
                                    << "customffs"
                                    << "cSize"
                                    << "1474560" << qint64(1474560) << 77 << 7777 << 1
                                    << "1 1440 First 1,440K (Custom...)";
        QTest::newRow("last 1") << "ByLastFilesizeOpt"
                                << "CustomLastFilesize_txt"
                                << "1"
                                << "Last 1K (Custom...)"
                                << "customlfs"
                                << "cSize"
                                << "1024" << qint64(1024) << 77 << 7777 << 2 << "2 1 Last 1K (Custom...)";
        QTest::newRow("percent 05") << "ByPercentFilesizeOpt"
                                    << "CustomPercentFilesize_txt"
                                    << "05"
                                    << "05% (Custom...)"
                                    << "custompfs"
                                    << "cPfs"
                                    << "05" << qint64(5) << 5 << 7777 << 3 << "3 5 5% (Custom...)";
        QTest::newRow("percent 99") << "ByPercentFilesizeOpt"
                                    << "CustomPercentFilesize_txt"
                                    << "99"
                                    << "99% (Custom...)"
                                    << "custompfs"
                                    << "cPfs"
                                    << "99" << qint64(99) << 99 << 7777 << 3 << "3 99 99% (Custom...)";
        QTest::newRow("files 012") << "ByNoOfFilesOpt"
                                   << "NoOfFiles_txt"
                                   << "012"
                                   << "012 Files (Custom...)"
                                   << "customnof"
                                   << "cNof"
                                   << "012" << qint64(777) << 77 << 12 << 4 << "4 12 012 Files (Custom...)";
        QTest::newRow("files 99999") << "ByNoOfFilesOpt"
                                     << "NoOfFiles_txt"
                                     << "99999"
                                     << "99999 Files (Custom...)"
                                     << "customnof"
                                     << "cNof"
                                     << "99999" << qint64(777) << 77 << 99999 << 4 << "4 99999 99999 Files (Custom...)";
    }
    void acceptedNumber()
    {
        QFETCH(QString, optionName);
        QFETCH(QString, boxName);
        QFETCH(QString, typed);
        QFETCH(QString, caption);
        QFETCH(QString, sSize);
        QFETCH(QString, valueName);
        QFETCH(QString, value);
        QFETCH(qint64, unpackSize);
        QFETCH(int, splitPercent);
        QFETCH(int, splitFiles);
        QFETCH(int, flag);
        QFETCH(QString, pendingCall);

        openAndType(optionName, boxName, typed);
        QTest::mouseClick(form->OKButton, Qt::LeftButton);

        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QCOMPARE(host.calls, (QStringList{QStringLiteral("check custom"), QStringLiteral("caption ") + caption}));
        QCOMPARE(setting(QStringLiteral("sSize")), sSize);
        QCOMPARE(setting(valueName), value);
        for (const QString& other : {QStringLiteral("cSize"), QStringLiteral("cPfs"), QStringLiteral("cNof")})
            if (other != valueName)
                QCOMPARE(setting(other), QStringLiteral("<none>"));
        QCOMPARE(gUnpackSize, unpackSize);
        QCOMPARE(gSplitPercent, splitPercent);
        QCOMPARE(gSplitFiles, splitFiles);
        QList<bool> expected(5, false);
        expected[flag] = true;
        QCOMPARE(flags(), expected);
        QCOMPARE(pending.calls, QStringList{pendingCall});
    }

    // A refused number shows its message and changes nothing; the dialog stays open with the
    // text as typed.
    void refusedNumber_data()
    {
        QTest::addColumn<QString>("optionName");
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString kSize = QStringLiteral("Filesize must be between 1K to 1024000K.");
        const QString kPercent = QStringLiteral("Filesize must be between 1% to 99%.");
        const QString kFiles = QStringLiteral("Numbers of files must be between 2 to 99999.");
        QTest::newRow("size empty") << "ByFilesizeOpt"
                                    << "CustomFilesize_txt"
                                    << "" << kSize;
        QTest::newRow("size 0") << "ByFilesizeOpt"
                                << "CustomFilesize_txt"
                                << "0" << kSize;
        QTest::newRow("size 1024001") << "ByFilesizeOpt"
                                      << "CustomFilesize_txt"
                                      << "1024001" << kSize;
        QTest::newRow("first 0000000") << "ByFirstFilesizeOpt"
                                       << "CustomFirstFilesize_txt"
                                       << "0000000" << kSize;
        QTest::newRow("last 9999999") << "ByLastFilesizeOpt"
                                      << "CustomLastFilesize_txt"
                                      << "9999999" << kSize;
        QTest::newRow("percent empty") << "ByPercentFilesizeOpt"
                                       << "CustomPercentFilesize_txt"
                                       << "" << kPercent;
        QTest::newRow("percent 00") << "ByPercentFilesizeOpt"
                                    << "CustomPercentFilesize_txt"
                                    << "00" << kPercent;
        QTest::newRow("files 1") << "ByNoOfFilesOpt"
                                 << "NoOfFiles_txt"
                                 << "1" << kFiles;
        QTest::newRow("files 0") << "ByNoOfFilesOpt"
                                 << "NoOfFiles_txt"
                                 << "0" << kFiles;
    }
    void refusedNumber()
    {
        QFETCH(QString, optionName);
        QFETCH(QString, boxName);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        writeSetting(QStringLiteral("sSize"), QStringLiteral("low"));
        const QByteArray before = settingsBytes();

        openAndType(optionName, boxName, typed);
        QTest::mouseClick(form->OKButton, Qt::LeftButton);

        QCOMPARE(Prompts::records(), QStringList{exclamation(message)});
        QVERIFY(form->isVisible());
        QCOMPARE(box(boxName)->text(), typed);
        QVERIFY(host.calls.isEmpty());
        QVERIFY(pending.calls.isEmpty());
        QCOMPARE(settingsBytes(), before);
        QCOMPARE(gUnpackSize, 777);
        QCOMPARE(gSplitPercent, 77);
        QCOMPARE(gSplitFiles, 7777);
        QCOMPARE(flags(), QList<bool>(5, false));
        form->hide();
    }

    // Cancel, the close box and Escape close the dialog and change nothing.
    void cancellingChangesNothing_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("Escape") << 2;
    }
    void cancellingChangesNothing()
    {
        QFETCH(int, way);
        writeSetting(QStringLiteral("sSize"), QStringLiteral("small"));
        const QByteArray before = settingsBytes();
        openAndType(QStringLiteral("ByFilesizeOpt"), QStringLiteral("CustomFilesize_txt"), QStringLiteral("100"));
        if (way == 0)
            QTest::mouseClick(form->CancelButton, Qt::LeftButton);
        else if (way == 1)
            form->close();
        else
            QTest::keyClick(form->CustomFilesize_txt, Qt::Key_Escape);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(host.calls.isEmpty());
        QVERIFY(pending.calls.isEmpty());
        QCOMPARE(settingsBytes(), before);
        QCOMPARE(gUnpackSize, 777);
        QCOMPARE(flags(), QList<bool>(5, false));
    }

    // Enter in a box is OK.
    void enterAccepts()
    {
        openAndType(QStringLiteral("ByNoOfFilesOpt"), QStringLiteral("NoOfFiles_txt"), QStringLiteral("3"));
        QTest::keyClick(form->NoOfFiles_txt, Qt::Key_Return);
        QVERIFY(!form->isVisible());
        QCOMPARE(gSplitFiles, 3);
        QCOMPARE(setting(QStringLiteral("cNof")), QStringLiteral("3"));
    }

    // For the preferences window: the check mark and the globals change at once, the caption and
    // the stored settings do not, and the percentage is in force for the next unpack.
    void openedFromPreferences()
    {
        writeSetting(QStringLiteral("sSize"), QStringLiteral("high"));
        const QByteArray before = settingsBytes();
        gCalledFromPreferences = true;

        openAndType(QStringLiteral("ByPercentFilesizeOpt"), QStringLiteral("CustomPercentFilesize_txt"),
                    QStringLiteral("50"));
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(host.calls, QStringList{QStringLiteral("check custom")});
        QCOMPARE(settingsBytes(), before);
        QCOMPARE(flags(), (QList<bool>{false, false, false, true, false}));
        QCOMPARE(gUnpackSize, 50);
        QCOMPARE(gSplitPercent, 50);
        QCOMPARE(pending.calls, QStringList{QStringLiteral("3 50 50% (Custom...)")});

        const QString dir = kivrotest::rootDir() + QStringLiteral("/prefs");
        QDir().mkpath(dir);
        kivrotest::writeFile(dir + QStringLiteral("/m.bin"), QByteArray(1000, 'm'));
        host.list.append(dir + QStringLiteral("/"), QStringLiteral("m.bin"));
        ActionFrame frame(host);
        gActionArmed = true;
        RunUnpack(host, frame);
        QCOMPARE(QFileInfo(dir + QStringLiteral("/m.bin.001")).size(), 500);
        QCOMPARE(QFileInfo(dir + QStringLiteral("/m.bin.002")).size(), 500);
        QVERIFY(!QFileInfo::exists(dir + QStringLiteral("/m.bin.003")));
        host.list.clear();

        host.calls.clear();
        pending.calls.clear();
        openAndType(QStringLiteral("ByNoOfFilesOpt"), QStringLiteral("NoOfFiles_txt"), QStringLiteral("7"));
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
        QCOMPARE(host.calls, QStringList{QStringLiteral("check custom")});
        QCOMPARE(settingsBytes(), before);
        QCOMPARE(gSplitFiles, 7);
        QCOMPARE(flags(), (QList<bool>{false, false, false, false, true}));
        QCOMPARE(pending.calls, QStringList{QStringLiteral("4 7 7 Files (Custom...)")});
        gCalledFromPreferences = false;
    }

    // Without a preferences window nothing takes the pending copy, and OK works all the same.
    void noPreferencesWindow()
    {
        gPreferencesFormFactory = nullptr;
        openAndType(QStringLiteral("ByFilesizeOpt"), QStringLiteral("CustomFilesize_txt"), QStringLiteral("2"));
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(gUnpackSize, 2048);
        gPreferencesFormFactory = [this] { return static_cast<PreferencesLink*>(&pending); };
    }
};

KIVRO_TEST_MAIN(TestCustomFileSize)
#include "tst_customfilesizefrm.moc"
