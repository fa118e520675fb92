// The preferences window opened from the real main window: the menu item and Ctrl+K, what OK
// applies through the option handlers and the folder choosers, the custom size chosen in the
// window and its Unpack, the file-manager verb, Cancel's folder restore, Reset and the file-type
// box, and a window that always shows the choices made since its last opening.
#include "KivroTest.h"
#include "StoredSettings.h"

#include "engine/MainWindowHosts.h"
#include "dialogs/DialogsGlobals.h"
#include "dialogs/Preferencesfrm.h"
#include "dialogs/copyrightstampingfrm.h"
#include "dialogs/customfilefilterfrm.h"
#include "dialogs/customfilesizefrm.h"
#include "engine/EngineGlobals.h"
#include "engine/CopyrightStamp.h"
#include "engine/Registry.h"
#include "engine/SettingNames.h"
#include "engine/StringHelpers.h"
#include "mainwindow/kivromainfrm.h"
#include "platform/FileManagerVerb.h"
#include "platform/Globals.h"
#include "platform/Paths.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

using namespace kivro;

namespace {

QString setting(const QString& name)
{
    return kivrotest::storedSetting(name, QStringLiteral("<none>"));
}

QStringList checkedOf(std::initializer_list<QAction*> items)
{
    QStringList on;
    for (QAction* a : items)
        if (a->isChecked())
            on << a->objectName();
    return on;
}

QStringList items(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

} // namespace

Q_DECLARE_METATYPE(const kivro::Settings::OptionGroup*)

class TestPreferencesWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<kivromainfrm> w;
    Preferencesfrm* prefs = nullptr;
    QString dir;

    // Loads and shows the window as the menu does, but not modally (the scripted prompts never
    // wait); OK, Cancel and Esc close it the same way.
    void open()
    {
        prefs->Form_Load();
        prefs->show();
        QVERIFY(QTest::qWaitForWindowExposed(prefs));
    }
    void page(int row)
    {
        prefs->PrefCmb->setCurrentIndex(row);
        prefs->PrefCmb_Click();
    }
    QStringList sizeItems() const
    {
        return checkedOf(
            {w->SmallFloppySizeChk, w->LowFloppySizeChk, w->HighFloppySizeChk, w->ZipSizeChk, w->CustomSizeChk});
    }
    // Chooses the custom size item in the window; the dialog that opens takes `typed` in the
    // box of `option` and is confirmed.
    void customSize(const QString& option, const QString& box, const QString& typed)
    {
        page(4);
        bool ran = false;
        kivrotest::whenModal<customfilesizefrm>([&](customfilesizefrm* d) {
            ran = true;
            QVERIFY(gCalledFromPreferences);
            QTest::mouseClick(d->findChild<QRadioButton*>(option), Qt::LeftButton);
            QTest::keyClicks(d->findChild<QLineEdit*>(box), typed);
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
        });
        QTest::keyClick(prefs->UnpackSizeCmb, Qt::Key_End);
        QVERIFY(ran);
        QVERIFY(!gCalledFromPreferences);
    }

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/prefs");
        QDir().mkpath(dir);
        gAppPath = kivrotest::rootDir();
        gPreferencesFormFactory = []() -> PreferencesLink* { return PreferencesWindow(); };
        prefs = PreferencesWindow();
    }
    void cleanupTestCase() { gPreferencesFormFactory = nullptr; }
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
        gUnpackCustomDir = gSaveCustomDir = gStartupCustomDir = dir;
        gCalledFromPreferences = false;
        w = std::make_unique<kivromainfrm>();
    }
    void cleanup()
    {
        if (prefs->isVisible())
            prefs->cancel_cmd_Click();
        w.reset();
    }

    // First: the pending custom size lives as long as the window object.
    void customItemWithNothingPendingSinceStart()
    {
        kivrotest::storeSetting("sSize", "customfs");
        kivrotest::storeSetting("cSize", "51200");
        w->HighFloppySizeChk_Click();
        kivrotest::storeSetting("sSize", "customfs");
        const QStringList before = sizeItems();
        const QString caption = w->CustomSizeChk->text();
        open();
        QCOMPARE(prefs->UnpackSizeTxt->text(), QStringLiteral("50K (Custom...)"));
        QTest::mouseClick(prefs->SavePref_cmd, Qt::LeftButton);
        QVERIFY(!prefs->isVisible());
        QCOMPARE(setting("sSize"), QStringLiteral("customfs"));
        QCOMPARE(sizeItems(), before);
        QCOMPARE(w->CustomSizeChk->text(), caption);
    }

    void openedModalFromTheMenuAndCtrlK()
    {
        QVERIFY(w->GeneralMnu->isEnabled());
        QCOMPARE(w->GeneralMnu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
        int shown = 0;
        auto cancelWhenUp = [&] {
            kivrotest::whenModal<Preferencesfrm>([&](Preferencesfrm* p) {
                ++shown;
                QVERIFY(p->isModal());
                QVERIFY(p->parentWidget() == nullptr);
                QVERIFY(p->loaded());
                QCOMPARE(p->PrefCmb->currentText(), QStringLiteral("General"));
                p->cancel_cmd_Click();
            });
        };
        cancelWhenUp();
        w->GeneralMnu->trigger();
        QCOMPARE(shown, 1);
        cancelWhenUp();
        QVERIFY(w->Form_KeyDown(Qt::Key_K, Qt::ControlModifier));
        QCOMPARE(shown, 2);
        QVERIFY(!prefs->loaded());
    }

    void okAppliesThroughTheMainWindow()
    {
        const QString unpackTo = kivrotest::freshFolder(dir + "/pieces");
        const QString saveTo = kivrotest::freshFolder(dir + "/saved");
        kivrotest::storeSetting("StartupOpt", "Custom");
        open();
        page(15);
        QTest::keyClick(prefs->ZipCmb, Qt::Key_Down);
        page(3);
        Prompts::queue(unpackTo);
        QTest::keyClick(prefs->UnpackToCmb, Qt::Key_End);
        QCOMPARE(prefs->UnpackToTxt->text(), "Custom - " + unpackTo);
        page(8);
        Prompts::queue(saveTo + "/");
        QTest::keyClick(prefs->SaveToCmb, Qt::Key_Home);
        QCOMPARE(prefs->SaveToTxt->text(), "Custom - " + saveTo);
        page(9);
        QTest::keyClick(prefs->StartupCmb, Qt::Key_End);
        // Nothing is applied before OK.
        QCOMPARE(setting("MZip"), QStringLiteral("<none>"));
        QCOMPARE(setting("sDir"), QStringLiteral("<none>"));
        // The save-as box is set before the folder is stored.
        QString storedWhenBoxSet = QStringLiteral("<box not set>");
        connect(w->SaveAsNewFilename_txt, &QLineEdit::textChanged, this, [&] {
            storedWhenBoxSet = Registry::RegReadString(Registry::HKEY_CURRENT_USER, Registry::kKivroKey,
                                                       QStringLiteral("SaveCustomDir"), QStringLiteral("<none>"));
        });
        const std::uint64_t writesBefore = win::RegStoreFileWrites();
        QTest::mouseClick(prefs->SavePref_cmd, Qt::LeftButton);
        disconnect(w->SaveAsNewFilename_txt, &QLineEdit::textChanged, this, nullptr);
        QCOMPARE(storedWhenBoxSet, QStringLiteral("<none>"));
        // Every choice goes to the settings file in one replacement.
        QCOMPARE(win::RegStoreFileWrites() - writesBefore, std::uint64_t(1));
        QVERIFY(!prefs->isVisible());
        QCOMPARE(Prompts::records(), (QStringList{"dialog|Unpack To Directory: " + dir + "|" + unpackTo,
                                                  "dialog|Save As Directory: " + dir + "|" + saveTo + "/"}));
        QCOMPARE(setting("MZip"), QStringLiteral("On"));
        QVERIFY(w->ZipCompressMnu->isChecked());
        QCOMPARE(setting("sDir"), QStringLiteral("custom"));
        QCOMPARE(setting("UnpackCustomDir"), unpackTo);
        QCOMPARE(checkedOf({w->UnpackSaveFileMnu, w->UnpackWhereFileDirMnu, w->UnpackCustomDirMnu}),
                 QStringList{"UnpackCustomDirMnu"});
        QCOMPARE(setting("SaveTo"), QStringLiteral("Custom"));
        QCOMPARE(setting("SaveCustomDir"), saveTo);
        QCOMPARE(w->SaveAsNewFilename_txt->text(), saveTo + "/default.mpg");
        QCOMPARE(checkedOf({w->SaveCustomDirMnu, w->LastSavedDirMnu}), QStringList{"SaveCustomDirMnu"});
        QCOMPARE(setting("StartupOpt"), QStringLiteral("LastUsed"));
        QCOMPARE(checkedOf({w->StartupCustomDirMnu, w->StartupLastUsedDirMnu}), QStringList{"StartupLastUsedDirMnu"});
        // The other rows as the load found them.
        QCOMPARE(setting("tRate"), QStringLiteral("normal"));
        QCOMPARE(setting("sSize"), QStringLiteral("high"));
        QCOMPARE(setting("MCC"), QStringLiteral("On"));
        QCOMPARE(setting("CKivro"), QStringLiteral("Off"));
    }

    // Every option group as its table has it: the menu holds exactly the table's items in its
    // order, the window's list shows the table's items, and each row chosen in the menu, in the
    // window or by the stored text at start marks only its own item and stores its own text.
    void everyOptionItemFollowsItsTable_data()
    {
        QTest::addColumn<const Settings::OptionGroup*>("group");
        QTest::addColumn<QString>("combo");
        QTest::newRow("rate") << &Settings::RateOptions << "TransferRateCmb";
        QTest::newRow("size") << &Settings::SizeOptions << "UnpackSizeCmb";
        QTest::newRow("unpack to") << &Settings::UnpackToOptions << "UnpackToCmb";
        QTest::newRow("unpack type") << &Settings::UnpackTypeOptions << "UnpackTypeCmb";
        QTest::newRow("join batch") << &Settings::JoinBatchOptions << "CreateJoinBatCmb";
        QTest::newRow("delete") << &Settings::DeleteOptions << "DelactCmb";
        QTest::newRow("save to") << &Settings::SaveToOptions << "SaveToCmb";
        QTest::newRow("startup") << &Settings::StartupOptions << "StartupCmb";
        QTest::newRow("overwrite") << &Settings::OverwriteOptions << "OverwriteSaveFileCmb";
    }
    void everyOptionItemFollowsItsTable()
    {
        QFETCH(const Settings::OptionGroup*, group);
        QFETCH(QString, combo);
        const QString valueName = QString(group->setting->name);
        QStringList menuNames;
        QStringList prefsItems;
        for (const Settings::OptionRow& r : group->rows) {
            menuNames << QString(r.menuItem);
            prefsItems << QString(r.prefsItem);
        }
        const auto marked = [&] {
            QStringList on;
            for (const QString& name : menuNames) {
                const QAction* a = w->findChild<QAction*>(name);
                if (a && a->isChecked())
                    on << name;
            }
            return on;
        };

        const QAction* first = w->findChild<QAction*>(menuNames.first());
        QVERIFY(first);
        const auto* menu = qobject_cast<const QMenu*>(first->parent());
        QVERIFY(menu);
        QStringList inMenu;
        for (const QAction* a : menu->actions())
            if (a->isCheckable())
                inMenu << a->objectName();
        QCOMPARE(inMenu, menuNames);

        open();
        QComboBox* list = prefs->findChild<QComboBox*>(combo);
        QVERIFY(list);
        QCOMPARE(items(list), prefsItems);
        prefs->cancel_cmd_Click();

        for (int row = 0; row < group->count(); ++row) {
            const Settings::OptionRow& r = group->row(row);
            // The custom rows open a folder dialog or keep their size elsewhere.
            if (r.text.size() == 0 || menuNames[row].contains(QLatin1String("Custom")))
                continue;
            const QString text = QString(r.text);
            kivrotest::storeSetting(valueName, QStringLiteral("stale"));
            w->findChild<QAction*>(menuNames[row])->trigger();
            QCOMPARE(setting(valueName), text);
            QCOMPARE(marked(), QStringList{menuNames[row]});

            kivrotest::storeSetting(valueName, QStringLiteral("stale"));
            w->findChild<QAction*>(menuNames[(row + 1) % group->count()])->setChecked(true);
            open();
            list->setCurrentIndex(row);
            QTest::mouseClick(prefs->SavePref_cmd, Qt::LeftButton);
            QCOMPARE(setting(valueName), text);
            QCOMPARE(marked(), QStringList{menuNames[row]});

            w.reset();
            w = std::make_unique<kivromainfrm>();
            w->show();
            QCOMPARE(marked(), QStringList{menuNames[row]});
            QCOMPARE(setting(valueName), text);
        }
    }

    // "Stamp..." and "Filetype..." open their editors over the window, each on its own page.
    void stampAndFileTypeButtons()
    {
        ResetFileFilter();
        QFile::remove(CopyrightStampFile());
        open();
        page(12);
        QVERIFY(prefs->CopyrightStamping_Cmd->isEnabled());
        QVERIFY(!prefs->CustomFileFilterCmd->isEnabled());
        QString stamp;
        kivrotest::whenModal<copyrightstampingfrm>([&](copyrightstampingfrm* d) {
            stamp = d->Copyright_txt->toPlainText();
            QTest::mouseClick(d->CancelButton, Qt::LeftButton);
        });
        QTest::mouseClick(prefs->CopyrightStamping_Cmd, Qt::LeftButton);
        QCOMPARE(stamp, QStringLiteral("Files unpacked by Tesma Kivro Pro (r)."));
        QVERIFY(!CopyrightStampForm()->isVisible());

        page(Preferencesfrm::kLastCategory);
        QVERIFY(prefs->CustomFileFilterCmd->isEnabled());
        QVERIFY(!prefs->CopyrightStamping_Cmd->isEnabled());
        QStringList types;
        kivrotest::whenModal<customfilefilterfrm>([&](customfilefilterfrm* d) {
            for (int i = 0; i < d->filtertype_lst->ListCount(); ++i)
                types << d->filtertype_lst->model()->index(i, 0).data().toString();
            d->descr_txt->setText(QStringLiteral("Video"));
            d->Filetype_txt->setText(QStringLiteral("*.avi"));
            QTest::mouseClick(d->add_cmd, Qt::LeftButton);
            QVERIFY(d->close());
        });
        QTest::mouseClick(prefs->CustomFileFilterCmd, Qt::LeftButton);
        QCOMPARE(types, (QStringList{"Mpeg (*.mpg,*.mpeg,*.mpe)", "Mp3 (*.mp3)", "All Files (*.*)"}));
        QVERIFY(!CustomFileFilterForm()->isVisible());
        // The window's count and the main window's type box follow the editor.
        QCOMPARE(prefs->NoOfCustomFilterTxt->text(), QStringLiteral("4"));
        QCOMPARE(setting("NoOfFilter"), QStringLiteral("4"));
        QVERIFY(prefs->isVisible());
        QCOMPARE(Prompts::records(), QStringList());
    }

    void customSizeChosenInTheWindow_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("companion");
        QTest::addColumn<QString>("stored");
        QTest::newRow("size 0050") << "ByFilesizeOpt"
                                   << "CustomFilesize_txt"
                                   << "0050"
                                   << "50K (Custom...)"
                                   << "cSize"
                                   << "customfs=51200";
        QTest::newRow("percent 05") << "ByPercentFilesizeOpt"
                                    << "CustomPercentFilesize_txt"
                                    << "05"
                                    << "5% (Custom...)"
                                    << "cPfs"
                                    << "custompfs=5";
    }
    void customSizeChosenInTheWindow()
    {
        QFETCH(QString, option);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, companion);
        QFETCH(QString, stored);
        w->HighFloppySizeChk_Click();
        open();
        customSize(option, box, typed);
        QCOMPARE(prefs->UnpackSizeCmb->itemText(4), shown);
        QCOMPARE(prefs->UnpackSizeTxt->text(), shown);
        // The dialog moved the mark at once; the caption and the stored size wait for OK.
        QCOMPARE(sizeItems(), QStringList{"CustomSizeChk"});
        QCOMPARE(setting("sSize"), QStringLiteral("high"));
        QCOMPARE(w->CustomSizeChk->text(), QStringLiteral("1,440K (Custom...)"));
        QTest::mouseClick(prefs->SavePref_cmd, Qt::LeftButton);
        QCOMPARE(w->CustomSizeChk->text(), shown);
        QCOMPARE(setting("sSize") + "=" + setting(companion), stored);
    }

    void halfSizedPiecesAfterFiftyPercent()
    {
        open();
        customSize("ByPercentFilesizeOpt", "CustomPercentFilesize_txt", "50");
        prefs->SavePref_cmd_Click();
        QCOMPARE(setting("cPfs"), QStringLiteral("50"));
        const QString d = kivrotest::freshFolder(dir + "/half");
        QByteArray src(1000, 'k');
        for (int i = 0; i < src.size(); ++i)
            src[i] = char(1 + i % 200);
        kivrotest::writeFile(d + "/m.dat", src);
        w->packList().append(d + "/", "m.dat");
        w->UnpackWhereFileDirMnu_Click();
        w->UnpackMnu_Click();
        QCOMPARE(QDir(d).entryList({"m.dat.*"}, QDir::Files, QDir::Name), (QStringList{"m.dat.001", "m.dat.002"}));
        QCOMPARE(kivrotest::readFile(d + "/m.dat.001"), src.left(500));
        QCOMPARE(kivrotest::readFile(d + "/m.dat.002"), src.mid(500));
    }

    void fileManagerVerb()
    {
        const QString data = qEnvironmentVariable("XDG_DATA_HOME");
        auto ours = [] {
            QStringList out;
            for (const QString& p : FileManagerVerb::VerbFilePaths())
                if (FileManagerVerb::IsOurs(p))
                    out << p;
            return out;
        };
        // Yes: the three files, then the mark and "On".
        open();
        page(18);
        QTest::keyClick(prefs->ShowPackItInExplorerCmb, Qt::Key_Down);
        prefs->SavePref_cmd_Click();
        QCOMPARE(ours(), FileManagerVerb::VerbFilePaths());
        QVERIFY(w->AddContextMenuMnu->isChecked());
        QCOMPARE(setting("CKivro"), QStringLiteral("On"));
        // Yes again: set, not toggled.
        open();
        QCOMPARE(prefs->ShowPackItInExplorerTxt->text(), QStringLiteral("Yes"));
        prefs->SavePref_cmd_Click();
        QVERIFY(w->AddContextMenuMnu->isChecked());
        QCOMPARE(ours().size(), 3);
        // No: the files go.
        open();
        page(18);
        QTest::keyClick(prefs->ShowPackItInExplorerCmb, Qt::Key_Up);
        prefs->SavePref_cmd_Click();
        QCOMPARE(ours(), QStringList());
        QVERIFY(!w->AddContextMenuMnu->isChecked());
        QCOMPARE(setting("CKivro"), QStringLiteral("Off"));
        // Yes where a plain file stands for the KDE folder: the message, and the verb stays off.
        QDir(data + "/kio").removeRecursively();
        kivrotest::writeFile(data + "/kio", "not a folder");
        Prompts::clearRecords();
        open();
        page(18);
        QTest::keyClick(prefs->ShowPackItInExplorerCmb, Qt::Key_Down);
        prefs->SavePref_cmd_Click();
        QCOMPARE(Prompts::records(),
                 QStringList{"box|Exclamation|OK|Tesma Kivro Pro|The \"Pack it...\" entries for the file manager "
                             "could not be written.|OK"});
        QVERIFY(!w->AddContextMenuMnu->isChecked());
        QCOMPARE(setting("CKivro"), QStringLiteral("Off"));
        QCOMPARE(ours(), QStringList());
        QFile::remove(data + "/kio");
    }

    void cancelPutsTheSaveFolderBack()
    {
        const QString old = kivrotest::freshFolder(dir + "/old");
        const QString chosen = kivrotest::freshFolder(dir + "/new");
        gSaveCustomDir = old;
        w->SaveAsNewFilename_txt->setText(QStringLiteral("/keep/this.mpg"));
        open();
        page(8);
        Prompts::queue(chosen);
        QTest::keyClick(prefs->SaveToCmb, Qt::Key_Home);
        QCOMPARE(gSaveCustomDir, chosen);
        QTest::mouseClick(prefs->cancel_cmd, Qt::LeftButton);
        QVERIFY(!prefs->isVisible());
        QCOMPARE(gSaveCustomDir, old);
        QCOMPARE(setting("SaveTo"), QStringLiteral("<none>"));
        QCOMPARE(setting("SaveCustomDir"), QStringLiteral("<none>"));
        QCOMPARE(w->SaveAsNewFilename_txt->text(), QStringLiteral("/keep/this.mpg"));
        // The next chooser starts from the old folder.
        Prompts::clearRecords();
        Prompts::queue(QString());
        w->SaveCustomDirMnu->trigger();
        QCOMPARE(Prompts::records(), QStringList{"dialog|Save As Directory: " + old + "|"});
    }

    void resetThenCancel()
    {
        kivrotest::storeSetting("tRate", "fast");
        kivrotest::storeSetting("MZip", "On");
        kivrotest::storeSetting("NoOfFilter", "4");
        using namespace Registry;
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, "1", "*.avi");
        RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, "1", "Video");
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, "4", "*.vob");
        RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, "4", "Dvd");
        w->FillFileTypeBox({"Video (*.avi)", "b", "c", "Dvd (*.vob)"});
        w->pattern_cmb->setCurrentIndex(3);
        QCOMPARE(w->File1->Pattern(), QStringLiteral("*.avi"));
        // Answered No: nothing changes.
        open();
        Prompts::queue(QStringLiteral("No"));
        QTest::mouseClick(prefs->Reset_Cmd, Qt::LeftButton);
        QCOMPARE(setting("NoOfFilter"), QStringLiteral("4"));
        QCOMPARE(w->pattern_cmb->count(), 4);
        const QString box = QStringLiteral("box|Information|YesNo|Tesma Kivro Pro|Are you sure you want to reset and "
                                           "restore all default settings?|");
        QCOMPARE(Prompts::records(), QStringList{box + "No"});
        // Yes, then Cancel: only the file types changed, and the type box lists them.
        Prompts::clearRecords();
        Prompts::queue(QStringLiteral("Yes"));
        QTest::mouseClick(prefs->Reset_Cmd, Qt::LeftButton);
        QTest::mouseClick(prefs->cancel_cmd, Qt::LeftButton);
        QCOMPARE(Prompts::records(), QStringList{box + "Yes"});
        QCOMPARE(setting("tRate"), QStringLiteral("fast"));
        QCOMPARE(setting("MZip"), QStringLiteral("On"));
        QCOMPARE(setting("fCheck"), QStringLiteral("fPass"));
        QCOMPARE(setting("NoOfFilter"), QStringLiteral("3"));
        QStringList values;
        for (const char* n : {"1", "2", "3", "4"})
            values << RegReadString(HKEY_CURRENT_USER, kFilterKey, n, "-") + "/"
                          + RegReadString(HKEY_CURRENT_USER, kFilterInfoKey, n, "-");
        QCOMPARE(values, (QStringList{"*.mpg,*.mpeg,*.mpe/Mpeg", "*.mp3/Mp3", "*.*/All Files", "-/-"}));
        QCOMPARE(items(w->pattern_cmb), (QStringList{"Mpeg (*.mpg,*.mpeg,*.mpe)", "Mp3 (*.mp3)", "All Files (*.*)"}));
        QCOMPARE(w->pattern_cmb->currentIndex(), 0);
        QCOMPARE(w->File1->Pattern(), QStringLiteral("*.mpg;*.mpeg;*.mpe"));
    }

    // The window shows what the menus chose since it was last open, also after the file-type
    // editor wrote its count while the window was closed, and OK keeps those choices.
    void showsTheChoicesMadeSinceItsLastOpening()
    {
        open();
        prefs->cancel_cmd_Click();
        customfilefilterfrm* editor = CustomFileFilterForm();
        bool edited = false;
        kivrotest::whenModal<customfilefilterfrm>([&](customfilefilterfrm* e) {
            edited = true;
            QVERIFY(e->close());
        });
        w->FileTypeMnu->trigger();
        QVERIFY(edited);
        QVERIFY(!editor->isVisible());
        QCOMPARE(prefs->NoOfCustomFilterTxt->text(), setting("NoOfFilter"));
        w->ZipCompressMnu->trigger();
        const QString chosen = kivrotest::freshFolder(dir + "/menu");
        Prompts::queue(chosen);
        // The menu's chooser stores the folder before it sets the save-as box.
        QString storedWhenBoxSet = QStringLiteral("<box not set>");
        connect(w->SaveAsNewFilename_txt, &QLineEdit::textChanged, this, [&] {
            storedWhenBoxSet = Registry::RegReadString(Registry::HKEY_CURRENT_USER, Registry::kKivroKey,
                                                       QStringLiteral("SaveCustomDir"), QStringLiteral("<none>"));
        });
        w->SaveCustomDirMnu->trigger();
        disconnect(w->SaveAsNewFilename_txt, &QLineEdit::textChanged, this, nullptr);
        QCOMPARE(storedWhenBoxSet, chosen);
        QCOMPARE(setting("SaveCustomDir"), chosen);
        open();
        QCOMPARE(prefs->ZipTxt->text(), QStringLiteral("Yes"));
        QCOMPARE(prefs->SaveToTxt->text(), "Custom - " + chosen);
        QCOMPARE(prefs->NoOfCustomFilterTxt->text(), QStringLiteral("3"));
        prefs->SavePref_cmd_Click();
        QCOMPARE(setting("MZip"), QStringLiteral("On"));
        QCOMPARE(setting("SaveTo"), QStringLiteral("Custom"));
        QCOMPARE(setting("SaveCustomDir"), chosen);
        QCOMPARE(gSaveCustomDir, chosen);
    }
};

KIVRO_TEST_MAIN(TestPreferencesWindow)
#include "tst_preferences.moc"
