// The preferences window against a fake main window: the layout, the load from the stored
// settings, the paging (buttons, keys, the wheel, picks in the list), what OK asks of the main
// window row by row, the custom size step, Reset, and every way of closing.
#include "FakeDialogsHost.h"
#include "KivroTest.h"
#include "TextFits.h"
#include "StoredSettings.h"

#include "engine/MainWindowHosts.h"
#include "dialogs/Preferencesfrm.h"
#include "dialogs/customfilesizefrm.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

using namespace kivro;

namespace {

using FakeHost = kivrotest::FakeDialogsHost;

QString setting(const QString& name)
{
    return kivrotest::storedSetting(name, QStringLiteral("<none>"));
}

QStringList valueBoxes(const Preferencesfrm& f)
{
    QStringList out;
    for (QLineEdit* box : {f.UnpackTypeTxt, f.UnpackToTxt, f.UnpackSizeTxt, f.TransferRateTxt, f.SaveToTxt,
                           f.StartupTxt, f.DelactTxt, f.CreateJoinBatTxt, f.OverwriteSaveFileTxt, f.ZipTxt, f.MCCTxt,
                           f.ShowPackItInExplorerTxt, f.NoOfCustomFilterTxt})
        out << box->text();
    return out;
}

QList<QComboBox*> settingCombos(const Preferencesfrm& f)
{
    return {f.UnpackTypeCmb,   f.UnpackToCmb,      f.UnpackSizeCmb,
            f.TransferRateCmb, f.SaveToCmb,        f.StartupCmb,
            f.DelactCmb,       f.CreateJoinBatCmb, f.OverwriteSaveFileCmb,
            f.ZipCmb,          f.MCCCmb,           f.ShowPackItInExplorerCmb};
}

QStringList shownCombos(const Preferencesfrm& f)
{
    QStringList out;
    for (QComboBox* c : settingCombos(f))
        if (c->isVisible())
            out << c->objectName();
    return out;
}

QStringList items(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

// What a stored choice stands for, as in a settings file written by hand ("a=b,c=d").
void store(const QString& pairs)
{
    for (const QString& pair : pairs.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int eq = pair.indexOf(QLatin1Char('='));
        kivrotest::storeSetting(pair.left(eq), pair.mid(eq + 1));
    }
}

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT

    FakeHost host;
    Preferencesfrm* form = nullptr;

    // Loads and shows the window (not modally: scripted boxes never wait).
    void open()
    {
        form->Form_Load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    int row() const { return form->PrefCmb->currentIndex(); }
    void goTo(int r)
    {
        form->PrefCmb->setCurrentIndex(r);
        form->PrefCmb_Click();
        QCOMPARE(row(), r);
    }
    // A pick in the open category list with the mouse.
    void pickInList(int r)
    {
        form->PrefCmb->showPopup();
        QAbstractItemView* view = form->PrefCmb->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex index = view->model()->index(r, 0);
        view->scrollTo(index);
        // The list ignores a release that comes too soon after it opened: click until it takes.
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     if (view->isVisible())
                                         QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                                           view->visualRect(index).center());
                                     return !view->isVisible();
                                 })(),
                                 20000);
    }

private slots:
    void initTestCase()
    {
        gDialogsHost = &host;
        form = PreferencesWindow();
    }
    void cleanupTestCase() { gDialogsHost = nullptr; }
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
        host.calls.clear();
        host.folders.clear();
        gUnpackCustomDir = QStringLiteral("/u");
        gSaveCustomDir = QStringLiteral("/s");
        gStartupCustomDir = QStringLiteral("/t");
        gCalledFromPreferences = false;
    }
    void cleanup()
    {
        if (form->isVisible())
            form->cancel_cmd_Click();
    }

    void builtInTextsAndPlaces()
    {
        QCOMPARE(PreferencesWindow(), form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Preferences"));
        const QString sep = QStringLiteral("____________________");
        QCOMPARE(items(form->PrefCmb), (QStringList{"General",
                                                    sep,
                                                    "Unpack Type",
                                                    "Unpack To",
                                                    "Unpack Size",
                                                    sep,
                                                    "Transfer Rate",
                                                    sep,
                                                    "Save",
                                                    "Startup",
                                                    sep,
                                                    "Delete After Action",
                                                    "Create Join Batch",
                                                    "Overwrite Save File",
                                                    sep,
                                                    "Zip Compression",
                                                    "Mpeg Compatibilty Check",
                                                    sep,
                                                    "Miscellaneous",
                                                    sep,
                                                    "Custom Filetype"}));
        QStringList captions;
        for (QLabel* l : form->captions)
            captions << l->text();
        QCOMPARE(captions, (QStringList{"Unpack Type:", "Unpack To:", "Unpack Size:", "Transfer Rate:", "Save To:",
                                        "Startup:", "Delete After Action:", "Generate Batch File:",
                                        "Overwrite Save File:", "Zip Compression:", "Mpeg Compatibility Check:",
                                        "Show 'Pack It' In Explorer:", "No of Custom Filetype:"}));
        QCOMPARE(items(form->UnpackSizeCmb),
                 (QStringList{"360K", "1,200K", "1,440K", "Zip 100", "1,440K (Custom...)"}));
        QCOMPARE(items(form->StartupCmb), (QStringList{"Custom Directory...", "Last Saved Directory"}));
        QCOMPARE(items(form->CreateJoinBatCmb), (QStringList{"No", "Yes", "Yes w/ Extra Info"}));
        // Places in twips, 15 to the pixel: row 10 at 600 + 360 x 10.
        QCOMPARE(form->captions[10]->geometry(), QRect(16, 280, 129, 17));
        QCOMPARE(form->MCCTxt->geometry(), QRect(152, 280, 153, 17));
        QCOMPARE(form->MCCCmb->geometry().topLeft(), QPoint(148, 276));
        QCOMPARE(form->MCCCmb->width(), 161);
        QCOMPARE(form->CreateJoinBatCmb->width(), 110);
        QCOMPARE(form->CopyrightStamping_Cmd->geometry(), QRect(260, 206, 47, 19));
        QCOMPARE(form->NoOfCustomFilterTxt->geometry(), QRect(152, 328, 41, 17));
        QCOMPARE(form->CustomFileFilterCmd->geometry(), QRect(184, 328, 121, 17));
        QCOMPARE(form->SavePref_cmd->geometry(), QRect(316, 32, 73, 25));
        QCOMPARE(form->NextCmd->geometry(), QRect(316, 120, 73, 25));
        QCOMPARE(form->Reset_Cmd->text(), QStringLiteral("Reset"));
        QCOMPARE(form->PrevCmd->text(), QStringLiteral("&Prev"));
        QCOMPARE(form->NextCmd->text(), QStringLiteral("&Next"));
        QCOMPARE(form->CopyrightStamping_Cmd->text(), QStringLiteral("Stamp..."));
        QCOMPARE(form->CustomFileFilterCmd->text(), QStringLiteral("Filetype..."));
    }

    void loadTable_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("shown");
        QTest::newRow("EMH") << "UnpkTyp=EMH"
                             << "UnpackTypeTxt"
                             << "EMH (Embedded Mpeg Header)";
        QTest::newRow("raw is not RAW") << "UnpkTyp=raw"
                                        << "UnpackTypeTxt"
                                        << "RAW (Read And Write)";
        QTest::newRow("JbatInfo") << "Jbat=JbatInfo"
                                  << "CreateJoinBatTxt"
                                  << "Yes w/ Extra Info";
        QTest::newRow("NoPrompt") << "Owrite=NoPrompt"
                                  << "OverwriteSaveFileTxt"
                                  << "Yes (No Prompt)";
        QTest::newRow("ufast") << "tRate=ufast"
                               << "TransferRateTxt"
                               << "Ultra Fast";
        QTest::newRow("LastUsed") << "StartupOpt=LastUsed"
                                  << "StartupTxt"
                                  << "Last Saved Directory";
        QTest::newRow("custom unpack folder") << "sDir=custom"
                                              << "UnpackToTxt"
                                              << "Custom - /srv/v";
        QTest::newRow("1474560 bytes") << "sSize=customfs,cSize=1474560"
                                       << "UnpackSizeTxt"
                                       << "1,440K (Custom...)";
        QTest::newRow("1440000 bytes") << "sSize=customfs,cSize=1440000"
                                       << "UnpackSizeTxt"
                                       << "1,406K (Custom...)";
        QTest::newRow("the largest") << "sSize=customfs,cSize=1048576000"
                                     << "UnpackSizeTxt"
                                     << "1,024,000K (Custom...)";
        QTest::newRow("not a number") << "sSize=customfs,cSize=abc"
                                      << "UnpackSizeTxt"
                                      << "1,440K (Custom...)";
        QTest::newRow("last, no cSize") << "sSize=customlfs"
                                        << "UnpackSizeTxt"
                                        << "Last 1,440K (Custom...)";
        QTest::newRow("first 50K") << "sSize=customffs,cSize=51200"
                                   << "UnpackSizeTxt"
                                   << "First 50K (Custom...)";
        QTest::newRow("100%") << "sSize=custompfs,cPfs=100"
                              << "UnpackSizeTxt"
                              << "50% (Custom...)";
        QTest::newRow("25%") << "sSize=custompfs,cPfs=25"
                             << "UnpackSizeTxt"
                             << "25% (Custom...)";
        QTest::newRow("1 file") << "sSize=customnof,cNof=1"
                                << "UnpackSizeTxt"
                                << "2 Files (Custom...)";
        QTest::newRow("99999 files") << "sSize=customnof,cNof=99999"
                                     << "UnpackSizeTxt"
                                     << "99999 Files (Custom...)";
        QTest::newRow("custom save folder") << "SaveTo=Custom"
                                            << "SaveToTxt"
                                            << "Custom - /s";
        QTest::newRow("count as stored") << "NoOfFilter=07"
                                         << "NoOfCustomFilterTxt"
                                         << "07";
        QTest::newRow("verb on") << "CKivro=On"
                                 << "ShowPackItInExplorerTxt"
                                 << "Yes";
        QTest::newRow("check off") << "MCC=Off"
                                   << "MCCTxt"
                                   << "No";
    }
    void loadTable()
    {
        QFETCH(QString, stored);
        QFETCH(QString, box);
        QFETCH(QString, shown);
        gUnpackCustomDir = QStringLiteral("/srv/v");
        store(stored);
        const QByteArray before = kivrotest::readFile(paths::settingsFile());
        open();
        QCOMPARE(form->findChild<QLineEdit*>(box)->text(), shown);
        // The selected item reads the same, and nothing is written back.
        for (QComboBox* c : settingCombos(*form))
            if (c->objectName().chopped(3) == box.chopped(3))
                QCOMPARE(c->currentText(), shown);
        QCOMPARE(kivrotest::readFile(paths::settingsFile()), before);
    }

    void loadWithNothingStored()
    {
        open();
        QCOMPARE(valueBoxes(*form),
                 (QStringList{"RAW (Read And Write)", "Save File", "1,440K", "Normal", "Last Saved Directory",
                              "Last Saved Directory", "No", "No", "Yes (Prompt)", "No", "Yes", "No", ""}));
        QVERIFY(!QFile::exists(paths::settingsFile()));
    }

    void loadingOpensNoDialogAndStartsFromTheBuiltInTexts()
    {
        store("sDir=custom,SaveTo=Custom,StartupOpt=Custom,sSize=custompfs,cPfs=30");
        open();
        QCOMPARE(host.calls, QStringList());
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!gCalledFromPreferences);
        QCOMPARE(form->UnpackToCmb->itemText(2), QStringLiteral("Custom - /u"));
        QCOMPARE(form->SaveToCmb->itemText(0), QStringLiteral("Custom - /s"));
        QCOMPARE(form->StartupCmb->itemText(0), QStringLiteral("Custom - /t"));
        QCOMPARE(form->UnpackSizeCmb->itemText(4), QStringLiteral("30% (Custom...)"));
        // The general page: no combo, every value box, Prev disabled.
        QCOMPARE(row(), 0);
        QCOMPARE(shownCombos(*form), QStringList());
        QVERIFY(!form->PrevCmd->isEnabled());
        form->cancel_cmd_Click();
        // The next loading starts from the built-in texts.
        QFile::remove(paths::settingsFile());
        open();
        QCOMPARE(form->UnpackToCmb->itemText(2), QStringLiteral("Custom Directory..."));
        QCOMPARE(form->SaveToCmb->itemText(0), QStringLiteral("Custom Directory..."));
        QCOMPARE(form->UnpackSizeCmb->itemText(4), QStringLiteral("1,440K (Custom...)"));
    }

    void paging_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("next");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("combo");
        // Prev, Next, Stamp..., Filetype... enabled
        QTest::addColumn<QString>("enabled");
        QTest::newRow("4 Next") << 4 << true << 6 << "TransferRateCmb"
                                << "PN--";
        QTest::newRow("6 Prev") << 6 << false << 4 << "UnpackSizeCmb"
                                << "PN--";
        QTest::newRow("18 Next") << 18 << true << 20 << ""
                                 << "P--F";
        QTest::newRow("2 Prev") << 2 << false << 0 << ""
                                << "-N--";
        QTest::newRow("11 Next") << 11 << true << 12 << "CreateJoinBatCmb"
                                 << "PNS-";
        QTest::newRow("20 Next") << 20 << true << 20 << ""
                                 << "P--F";
        QTest::newRow("0 Prev") << 0 << false << 0 << ""
                                << "-N--";
    }
    void paging()
    {
        QFETCH(int, from);
        QFETCH(bool, next);
        QFETCH(int, to);
        QFETCH(QString, combo);
        QFETCH(QString, enabled);
        open();
        goTo(from);
        // Called directly: also where the button is disabled, nothing changes.
        if (next)
            form->NextCmd_Click();
        else
            form->PrevCmd_Click();
        QCOMPARE(row(), to);
        QCOMPARE(shownCombos(*form), combo.isEmpty() ? QStringList() : QStringList{combo});
        const QString state = QString(form->PrevCmd->isEnabled() ? "P" : "-") + (form->NextCmd->isEnabled() ? "N" : "-")
                              + (form->CopyrightStamping_Cmd->isEnabled() ? "S" : "-")
                              + (form->CustomFileFilterCmd->isEnabled() ? "F" : "-");
        QCOMPARE(state, enabled);
        QVERIFY(!form->pagingBackward());
        // The value boxes are never hidden.
        for (QLineEdit* box : form->findChildren<QLineEdit*>())
            if (box->objectName().endsWith(QLatin1String("Txt")))
                QVERIFY(box->isVisible());
    }

    void thirteenNextClicks()
    {
        open();
        QList<int> visited;
        for (int i = 0; i < 13; ++i) {
            QTest::mouseClick(form->NextCmd, Qt::LeftButton);
            visited << row();
        }
        QCOMPARE(visited, (QList<int>{2, 3, 4, 6, 8, 9, 11, 12, 13, 15, 16, 18, 20}));
        QVERIFY(!form->NextCmd->isEnabled());
        QTest::mouseClick(form->PrevCmd, Qt::LeftButton);
        QCOMPARE(row(), 18);
    }

    void arrowKeysWheelAndPicksInTheList()
    {
        open();
        goTo(9);
        form->PrefCmb->setFocus();
        // Up moves the selection and sets the direction: a separator picked later is passed
        // upwards.
        QTest::keyClick(form->PrefCmb, Qt::Key_Up);
        QCOMPARE(row(), 8);
        QVERIFY(form->pagingBackward());
        pickInList(7);
        QCOMPARE(row(), 6);
        QCOMPARE(shownCombos(*form), QStringList{"TransferRateCmb"});
        // Up over a separator passes it upwards too.
        goTo(11);
        QTest::keyClick(form->PrefCmb, Qt::Key_Up);
        QCOMPARE(row(), 9);
        QTest::keyClick(form->PrefCmb, Qt::Key_Down);
        QCOMPARE(row(), 11);
        QVERIFY(!form->pagingBackward());
        pickInList(7);
        QCOMPARE(row(), 8);
        // A wheel step counts as its arrow.
        QWheelEvent up(QPointF(5, 5), form->PrefCmb->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->PrefCmb, &up);
        QVERIFY(form->pagingBackward());
        QCOMPARE(row(), 6);
        // A key released over "&Prev" clears the direction.
        QTest::keyRelease(form->PrevCmd, Qt::Key_Shift);
        QVERIFY(!form->pagingBackward());
        pickInList(5);
        QCOMPARE(row(), 6);
    }

    void settingCombosCopyTheirChoice()
    {
        open();
        goTo(15);
        QTest::keyClick(form->ZipCmb, Qt::Key_Down);
        QCOMPARE(form->ZipTxt->text(), QStringLiteral("Yes"));
        goTo(8);
        // Choosing the custom folder runs the chooser for this window; its folder shows at once.
        host.folders = QStringList{QStringLiteral("/new/save")};
        QTest::keyClick(form->SaveToCmb, Qt::Key_Up);
        QCOMPARE(host.calls, QStringList{"SaveCustomDirMnu_Click for prefs"});
        QVERIFY(!gCalledFromPreferences);
        QCOMPARE(form->SaveToTxt->text(), QStringLiteral("Custom - /new/save"));
        QCOMPARE(form->SaveToCmb->currentText(), QStringLiteral("Custom - /new/save"));
        QCOMPARE(gSaveCustomDir, QStringLiteral("/new/save"));
        // A cancelled chooser leaves the custom item chosen and the folder as it is.
        goTo(3);
        QTest::keyClick(form->UnpackToCmb, Qt::Key_End);
        QCOMPARE(form->UnpackToTxt->text(), QStringLiteral("Custom Directory..."));
        QCOMPARE(gUnpackCustomDir, QStringLiteral("/u"));
        QCOMPARE(host.calls.last(), QStringLiteral("UnpackCustomDirMnu_Click for prefs"));
    }

    void okAsksTheMainWindowRowByRow()
    {
        store("UnpkTyp=EMH,sDir=custom,sSize=zip,tRate=slow,Delact=NoPrompt,Jbat=Jbat,SaveTo=Custom,"
              "Owrite=No,CKivro=On,MZip=On,MCC=Off");
        open();
        QTest::mouseClick(form->SavePref_cmd, Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(host.calls, (QStringList{"UnpackEMHMnu_Click", "ApplyUnpackCustomDir", "ZipSizeChk_Click",
                                          "SlowSpeedChk_Click", "DelNoPromptMnu_Click", "CreateJoinBatMnu_Click",
                                          "ApplySaveCustomDir", "StartupLastUsedDirMnu_Click", "OverwriteNoMnu_Click",
                                          "SetExplorerVerb 1", "SetZipCompress 1", "SetMpegCheck 0"}));
    }

    // Runs first of the custom size tests: the pending copy lives as long as the window object.
    void okWithNoCustomSizePending()
    {
        store("sSize=customfs,cSize=51200");
        const QByteArray before = kivrotest::readFile(paths::settingsFile());
        open();
        form->SavePref_cmd_Click();
        QVERIFY(!host.calls.join(' ').contains(QLatin1String("caption")));
        QVERIFY(!host.calls.join(' ').contains(QLatin1String("SizeChk")));
        QCOMPARE(setting("sSize"), QStringLiteral("customfs"));
        QCOMPARE(kivrotest::readFile(paths::settingsFile()), before);
    }

    void okWritesThePendingCustomSize_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("written");
        QTest::newRow("size") << int(CustomSizeMode::Size) << 1500 << "1,500K (Custom...)"
                              << "sSize=customfs cSize=1536000";
        QTest::newRow("first") << int(CustomSizeMode::First) << 50 << "First 50K (Custom...)"
                               << "sSize=customffs cSize=51200";
        QTest::newRow("last") << int(CustomSizeMode::Last) << 1024000 << "Last 1,024,000K (Custom...)"
                              << "sSize=customlfs cSize=1048576000";
        QTest::newRow("percent") << int(CustomSizeMode::Percent) << 5 << "5% (Custom...)"
                                 << "sSize=custompfs cPfs=5";
        QTest::newRow("files") << int(CustomSizeMode::Files) << 12 << "12 Files (Custom...)"
                               << "sSize=customnof cNof=12";
    }
    void okWritesThePendingCustomSize()
    {
        QFETCH(int, mode);
        QFETCH(int, number);
        QFETCH(QString, caption);
        QFETCH(QString, written);
        open();
        form->setPendingCustomSize(CustomSizeMode(mode), number, caption);
        QCOMPARE(form->UnpackSizeCmb->itemText(4), caption);
        QCOMPARE(form->UnpackSizeTxt->text(), caption);
        goTo(4);
        // The custom size dialog opens modally from here; cancelled, it changes nothing.
        bool sizeDialog = false;
        kivrotest::whenModal<customfilesizefrm>([&](customfilesizefrm* d) {
            sizeDialog = true;
            d->CancelButton_Click();
        });
        QTest::keyClick(form->UnpackSizeCmb, Qt::Key_End);
        QVERIFY(sizeDialog);
        QCOMPARE(form->UnpackSizeTxt->text(), caption);
        form->SavePref_cmd_Click();
        QVERIFY(host.calls.contains(QStringLiteral("caption ") + caption));
        QStringList values;
        for (const QString& name : written.split(' '))
            values << name.section('=', 0, 0) + '=' + setting(name.section('=', 0, 0));
        QCOMPARE(values.join(' '), written);
    }

    // Every caption fits on every page; the value boxes show the start of a long text and
    // never take the keyboard.
    void textsFitAndValueBoxesShowTheirStart()
    {
        store("SaveTo=Custom");
        gSaveCustomDir = QStringLiteral("/run/Data/a very long folder name/that goes on/and on/D/a");
        open();
        for (int row = 0; row <= Preferencesfrm::kLastCategory; ++row) {
            form->PrefCmb->setCurrentIndex(row);
            form->PrefCmb_Click();
            QCOMPARE(kivrotest::clippedLabels(*form), QStringList());
        }
        QVERIFY(form->SaveToTxt->text().startsWith(QLatin1String("Custom - /run/Data/")));
        for (QLineEdit* box : form->findChildren<QLineEdit*>()) {
            QCOMPARE(box->focusPolicy(), Qt::NoFocus);
            QCOMPARE(box->cursorPosition(), 0); // the start of the text is in view
            QVERIFY(!box->hasSelectedText());
        }
        // Tab walks past them.
        form->PrefCmb->setFocus();
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY2(!qobject_cast<QLineEdit*>(QApplication::focusWidget()),
                     qPrintable(QApplication::focusWidget()->objectName()));
        }
    }

    void resetAnsweredNoChangesNothing()
    {
        store("tRate=fast,NoOfFilter=5");
        open();
        Prompts::queue(QStringLiteral("No"));
        QTest::mouseClick(form->Reset_Cmd, Qt::LeftButton);
        QCOMPARE(Prompts::records(),
                 QStringList{"box|Information|YesNo|Tesma Kivro Pro|Are you sure you want to reset and restore all "
                             "default settings?|No"});
        QCOMPARE(Prompts::boxStyles(), QStringList{"boxstyle|No|1"}); // No the default, on top
        QCOMPARE(gMsgResult, int(vbNo));
        QCOMPARE(form->TransferRateTxt->text(), QStringLiteral("Fast"));
        QCOMPARE(form->NoOfCustomFilterTxt->text(), QStringLiteral("5"));
        QCOMPARE(host.calls, QStringList());
        QCOMPARE(setting("fCheck"), QStringLiteral("<none>"));
    }

    void resetProposesDefaultsAndRewritesTheFileTypes()
    {
        store("UnpkTyp=EMH,CKivro=On,tRate=fast,SaveTo=Custom,StartupOpt=Custom,sSize=customfs,sDir=wfile,"
              "Jbat=JbatInfo,Delact=Prompt,MZip=On,MCC=Off,Owrite=No,NoOfFilter=5");
        Registry::RegWriteString(Registry::HKEY_CURRENT_USER, Registry::kFilterKey, "4", "*.avi");
        Registry::RegWriteString(Registry::HKEY_CURRENT_USER, Registry::kFilterInfoKey, "4", "Avi");
        open();
        Prompts::queue(QStringLiteral("Yes"));
        const std::uint64_t writesBefore = win::RegStoreFileWrites();
        form->Reset_Cmd_Click();
        // The file types are rewritten in one replacement of the settings file.
        QCOMPARE(win::RegStoreFileWrites() - writesBefore, std::uint64_t(1));
        QCOMPARE(valueBoxes(*form),
                 (QStringList{"RAW (Read And Write)", "Save File", "1,440K", "Normal", "Last Saved Directory",
                              "Last Saved Directory", "No", "No", "Yes (Prompt)", "No", "Yes", "No", "3"}));
        // The custom entries keep their texts.
        QCOMPARE(form->SaveToCmb->itemText(0), QStringLiteral("Custom - /s"));
        QCOMPARE(host.calls, QStringList{"fill Mpeg (*.mpg,*.mpeg,*.mpe)|Mp3 (*.mp3)|All Files (*.*)"});
        QCOMPARE(setting("fCheck"), QStringLiteral("fPass"));
        QCOMPARE(setting("NoOfFilter"), QStringLiteral("3"));
        using namespace Registry;
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kFilterKey, "4", "<none>"), QStringLiteral("<none>"));
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kFilterInfoKey, "4", "<none>"), QStringLiteral("<none>"));
        // Pending only: Cancel applies nothing else.
        form->cancel_cmd_Click();
        QCOMPARE(setting("tRate"), QStringLiteral("fast"));
        QCOMPARE(setting("UnpkTyp"), QStringLiteral("EMH"));
        QCOMPARE(host.calls.size(), 1);
    }

    void everyCloseWithoutOkRestoresTheFolders_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
    }
    void everyCloseWithoutOkRestoresTheFolders()
    {
        QFETCH(QString, how);
        open();
        host.folders = QStringList{"/a", "/b", "/c"};
        goTo(3);
        QTest::keyClick(form->UnpackToCmb, Qt::Key_End);
        goTo(8);
        QTest::keyClick(form->SaveToCmb, Qt::Key_Home);
        goTo(9);
        QTest::keyClick(form->StartupCmb, Qt::Key_Home);
        QCOMPARE(QStringList({gUnpackCustomDir, gSaveCustomDir, gStartupCustomDir}), (QStringList{"/a", "/b", "/c"}));
        if (how == QLatin1String("cancel"))
            QTest::mouseClick(form->cancel_cmd, Qt::LeftButton);
        else if (how == QLatin1String("esc"))
            QTest::keyClick(form->PrefCmb, Qt::Key_Escape);
        else
            QVERIFY(form->close());
        QVERIFY(!form->isVisible());
        QVERIFY(!form->loaded());
        QCOMPARE(QStringList({gUnpackCustomDir, gSaveCustomDir, gStartupCustomDir}), (QStringList{"/u", "/s", "/t"}));
        QVERIFY(!QFile::exists(paths::settingsFile()));
    }

    void okKeepsTheChosenFolders()
    {
        open();
        host.folders = QStringList{"/b"};
        goTo(8);
        QTest::keyClick(form->SaveToCmb, Qt::Key_Home);
        form->SavePref_cmd_Click();
        QCOMPARE(gSaveCustomDir, QStringLiteral("/b"));
        QVERIFY(host.calls.contains(QStringLiteral("ApplySaveCustomDir")));
    }

    void theCountOfAWindowNotShownIsNoLoad()
    {
        // The file-type editor writes the count while the window is closed: nothing is loaded for
        // it, so nothing is restored later and the next showing reads everything afresh.
        store("NoOfFilter=4,MZip=On");
        gSaveCustomDir = QStringLiteral("/before");
        form->setNoOfCustomFilterTxt(QStringLiteral("4"));
        QVERIFY(!form->loaded());
        gSaveCustomDir = QStringLiteral("/after");
        form->close();
        QCOMPARE(gSaveCustomDir, QStringLiteral("/after"));
        open();
        QCOMPARE(form->ZipTxt->text(), QStringLiteral("Yes"));
        QCOMPARE(form->NoOfCustomFilterTxt->text(), QStringLiteral("4"));
    }
};

KIVRO_TEST_MAIN(TestPreferences)
#include "tst_preferencesfrm.moc"
