// The option menus through the real main window (offscreen): the menu tree as it is created, the
// radio groups and toggles clicked as a user clicks them (the handler sees the item as it was,
// sets every mark of its group, its variable and its stored value), the folder choosers with
// their dialogs, their cancel and their work for the preferences window, and what the actions
// read from the menus.
#include "KivroTest.h"
#include "StoredSettings.h"

#include "engine/MainWindowHosts.h"
#include "dialogs/PreferencesLink.h"
#include "dialogs/Preferencesfrm.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "mainwindow/kivromainfrm.h"
#include "platform/Paths.h"

#include <QAction>
#include <QMenu>

using namespace kivro;

namespace {

QString setting(const QString& name)
{
    return kivrotest::storedSetting(name, QStringLiteral("<none>"));
}
const auto writeSetting = kivrotest::storeSetting;

// The menu as lines: "---" for a separator, "[x] " or "[ ] " before a checkable item, " >" after a
// submenu, whose items follow indented.
void listMenu(const QMenu* menu, const QString& indent, QStringList& lines)
{
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            lines << indent + QStringLiteral("---");
            continue;
        }
        QString line = indent;
        if (a->isCheckable())
            line += a->isChecked() ? QStringLiteral("[x] ") : QStringLiteral("[ ] ");
        line += a->text();
        if (!a->shortcut().isEmpty())
            line += QStringLiteral("  ") + a->shortcut().toString();
        if (a->menu()) {
            lines << line + QStringLiteral(" >");
            listMenu(a->menu(), indent + QStringLiteral("  "), lines);
        } else {
            lines << line;
        }
    }
}

const QStringList kSpeed = {"SlowSpeedChk", "NormalSpeedChk", "FastSpeedChk", "UltraSpeedChk"};
const QStringList kSize = {"SmallFloppySizeChk", "LowFloppySizeChk", "HighFloppySizeChk", "ZipSizeChk",
                           "CustomSizeChk"};
const QStringList kType = {"UnpackRAWMnu", "UnpackEMHMnu"};
const QStringList kTarget = {"UnpackSaveFileMnu", "UnpackWhereFileDirMnu", "UnpackCustomDirMnu"};
const QStringList kSaveTo = {"SaveCustomDirMnu", "LastSavedDirMnu"};
const QStringList kStartup = {"StartupCustomDirMnu", "StartupLastUsedDirMnu"};
const QStringList kOverwrite = {"OverwriteNoMnu", "OverwritePromptMnu", "OverwriteNoPromptMnu"};
const QStringList kDelete = {"DelNoMnu", "DelPromptMnu", "DelNoPromptMnu"};
const QStringList kJoin = {"CreateJoinBatNoMnu", "CreateJoinBatMnu", "CreateJoinBatwExtraInfoMnu"};

QStringList groupOf(const QString& name)
{
    for (const QStringList* g : {&kSpeed, &kSize, &kType, &kTarget, &kSaveTo, &kStartup, &kOverwrite, &kDelete, &kJoin})
        if (g->contains(name))
            return *g;
    return {};
}

// The preferences window as the folder choosers see it.
struct FakePreferences : PreferencesLink {
    QWidget owner;
    QStringList fields;
    QWidget* folderDialogOwner() override { return &owner; }
    void setSaveToCustom(const QString& text) override { fields << QStringLiteral("SaveTo:") + text; }
    void setStartupCustom(const QString& text) override { fields << QStringLiteral("Startup:") + text; }
    void setUnpackToCustom(const QString& text) override { fields << QStringLiteral("UnpackTo:") + text; }
    void setPendingCustomSize(CustomSizeMode, std::int32_t, const QString& text) override
    {
        fields << QStringLiteral("UnpackSize:") + text;
    }
    void setNoOfCustomFilterTxt(const QString& count) override { fields << QStringLiteral("NoOfFilter:") + count; }
};

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
    // The names of the checked items of a group.
    static QStringList checkedOf(kivromainfrm& w, const QStringList& group)
    {
        QStringList checked;
        for (const QString& name : group)
            if (item(w, name)->isChecked())
                checked << name;
        return checked;
    }

    static QAction* item(kivromainfrm& w, const QString& name)
    {
        auto* a = w.OptMnu->findChild<QAction*>(name);
        if (!a)
            a = w.findChild<QAction*>(name);
        return a;
    }

private slots:
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
        gUnpackSize = 1440000;
        gSplitFiles = gSplitPercent = 0;
        gSplitModeSize = gSplitModeFiles = gSplitModePercent = gSplitModeFirst = gSplitModeLast = false;
        gUnpackCustomDir = gSaveCustomDir = gStartupCustomDir = QStringLiteral("/start");
        gCalledFromPreferences = false;
        gPreferencesFormFactory = nullptr;
    }

    // The window sets the ways up from below and its preferences window's factory as it is made,
    // and clears them as it goes, so that nothing reaches a window that is gone.
    void windowSetsAndClearsTheWaysUp()
    {
        QVERIFY(!gPreferencesFormFactory);
        {
            kivromainfrm w;
            QCOMPARE(gPackListHost, static_cast<PackListHost*>(&w));
            QCOMPARE(gDialogsHost, static_cast<DialogsHost*>(&w));
            QVERIFY(gPreferencesFormFactory);
            QCOMPARE(gPreferencesFormFactory(), static_cast<PreferencesLink*>(PreferencesWindow()));
        }
        QVERIFY(!gPackListHost);
        QVERIFY(!gDialogsHost);
        QVERIFY(!gPreferencesFormFactory);
    }

    void menuTreeAsCreated()
    {
        kivromainfrm w;
        QCOMPARE(w.OptMnu->title(), QStringLiteral("&Options"));
        QVERIFY(!w.OptMnu->isVisible());
        QStringList lines;
        listMenu(w.OptMnu, QString(), lines);
        const QStringList expected = {
            "Pre&ferences... >",
            "  &General...  Ctrl+K",
            "  ---",
            "  Unpack Ty&pe >",
            "    [x] Unpack (&RAW)",
            "    [ ] Unpack (&EMH)",
            "  Unpack &To >",
            "    [x] &Save File",
            "    [ ] Where &File Is",
            "    [ ] &Custom Directory...",
            "  Unpack &Size >",
            "    [ ] 360K",
            "    [ ] 1,200K",
            "    [x] 1,440K",
            "    [ ] Zip 100",
            "    [ ] 1,440K (Custom...)",
            "  ---",
            "  Sa&ve >",
            "    Save &To >",
            "      [ ] &Custom Directory...",
            "      [ ] Last &Saved Directory",
            "    &Overwrite >",
            "      [ ] &Don't Overwrite Saved File",
            "      [ ] &Ask Before Overwrite Saved File",
            "      [ ] Do&n't Ask Before Overwrite Saved File",
            "  Startup >",
            "    [ ] &Custom Directory...",
            "    [ ] Last &Used Directory",
            "  ---",
            "  Transfer &Rate >",
            "    [ ] &Slow",
            "    [x] &Normal",
            "    [ ] &Fast",
            "    [ ] &Ultra Fast",
            "  ---",
            "  &Delete After Action >",
            "    [x] &Don't Delete",
            "    [ ] &Ask Before Sending To Recycle Bin",
            "    [ ] Do&n't Ask Before Sending To Recycle Bin",
            "  &Join.bat >",
            "    [x] &Don't Create Join.bat",
            "    [ ] Create &Join.bat",
            "    [ ] Create Join.bat w/ &Extra Info",
            "    ---",
            "    Copyright Stamping...",
            "  ---",
            "  [ ] &Zip Compression",
            "  [x] &MPEG Compatibility",
            "  ---",
            "  Miscella&neous >",
            "    [ ] Show \"Pack It...\" in &Explorer",
            "  ---",
            "  Custom FileT&ype...",
            "---",
            "[x] Show Pack List",
            "---",
            "[ ] Magnet",
            "&Magnetise",
        };
        QCOMPARE(lines, expected);
        // The initial marks and the variables agree.
        QCOMPARE(w.mBlockSize, 100000);
        QCOMPARE(w.mBlockDigits, 5);
        QCOMPARE(w.SaveAsMnu->text(), QStringLiteral("Save As..."));
        QCOMPARE(w.SaveAsMnu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    }

    void radioItem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<QString>("value");
        QTest::newRow("slow") << "SlowSpeedChk"
                              << "tRate"
                              << "slow";
        QTest::newRow("normal (already checked)") << "NormalSpeedChk"
                                                  << "tRate"
                                                  << "normal";
        QTest::newRow("fast") << "FastSpeedChk"
                              << "tRate"
                              << "fast";
        QTest::newRow("ultra fast") << "UltraSpeedChk"
                                    << "tRate"
                                    << "ufast";
        QTest::newRow("360K") << "SmallFloppySizeChk"
                              << "sSize"
                              << "small";
        QTest::newRow("1,200K") << "LowFloppySizeChk"
                                << "sSize"
                                << "low";
        QTest::newRow("1,440K") << "HighFloppySizeChk"
                                << "sSize"
                                << "high";
        QTest::newRow("Zip 100") << "ZipSizeChk"
                                 << "sSize"
                                 << "zip";
        QTest::newRow("RAW") << "UnpackRAWMnu"
                             << "UnpkTyp"
                             << "RAW";
        QTest::newRow("EMH") << "UnpackEMHMnu"
                             << "UnpkTyp"
                             << "EMH";
        QTest::newRow("save file") << "UnpackSaveFileMnu"
                                   << "sDir"
                                   << "sfile";
        QTest::newRow("where file is") << "UnpackWhereFileDirMnu"
                                       << "sDir"
                                       << "wfile";
        QTest::newRow("last saved") << "LastSavedDirMnu"
                                    << "SaveTo"
                                    << "LastSaved";
        QTest::newRow("last used") << "StartupLastUsedDirMnu"
                                   << "StartupOpt"
                                   << "LastUsed";
        QTest::newRow("don't overwrite") << "OverwriteNoMnu"
                                         << "Owrite"
                                         << "No";
        QTest::newRow("ask before overwrite") << "OverwritePromptMnu"
                                              << "Owrite"
                                              << "Prompt";
        QTest::newRow("overwrite") << "OverwriteNoPromptMnu"
                                   << "Owrite"
                                   << "NoPrompt";
        QTest::newRow("don't delete") << "DelNoMnu"
                                      << "Delact"
                                      << "No";
        QTest::newRow("ask before delete") << "DelPromptMnu"
                                           << "Delact"
                                           << "Prompt";
        QTest::newRow("delete") << "DelNoPromptMnu"
                                << "Delact"
                                << "NoPrompt";
        QTest::newRow("no join.bat") << "CreateJoinBatNoMnu"
                                     << "Jbat"
                                     << "JbatNo";
        QTest::newRow("join.bat") << "CreateJoinBatMnu"
                                  << "Jbat"
                                  << "Jbat";
        QTest::newRow("join.bat with info") << "CreateJoinBatwExtraInfoMnu"
                                            << "Jbat"
                                            << "JbatInfo";
    }
    void radioItem()
    {
        QFETCH(QString, name);
        QFETCH(QString, valueName);
        QFETCH(QString, value);
        kivromainfrm w;
        // Every item of the group checked beforehand: the handler must set each one itself.
        const QStringList group = groupOf(name);
        for (const QString& other : group)
            item(w, other)->setChecked(true);
        writeSetting(valueName, QStringLiteral("stale"));
        item(w, name)->trigger();
        QCOMPARE(checkedOf(w, group), QStringList{name});
        QCOMPARE(setting(valueName), value);
        // A second click keeps it checked and writes the value again.
        writeSetting(valueName, QStringLiteral("stale"));
        item(w, name)->trigger();
        QCOMPARE(checkedOf(w, group), QStringList{name});
        QCOMPARE(setting(valueName), value);
        // Nothing else was written.
        QSettings ini(paths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.allKeys(), QStringList{QStringLiteral("General/") + valueName});
    }

    void transferRateSetsTheBlockSizeAndSurvivesARestart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<int>("blockDigits");
        QTest::newRow("slow") << "SlowSpeedChk" << 10000 << 4;
        QTest::newRow("normal") << "NormalSpeedChk" << 100000 << 5;
        QTest::newRow("fast") << "FastSpeedChk" << 1000000 << 6;
        QTest::newRow("ultra fast") << "UltraSpeedChk" << 5000000 << 7;
    }
    void transferRateSetsTheBlockSizeAndSurvivesARestart()
    {
        QFETCH(QString, name);
        QFETCH(int, blockSize);
        QFETCH(int, blockDigits);
        QString stored;
        {
            kivromainfrm w;
            w.SlowSpeedChk_Click();
            w.UltraSpeedChk_Click();
            item(w, name)->trigger();
            QCOMPARE(w.mBlockSize, blockSize);
            QCOMPARE(w.mBlockDigits, blockDigits);
            QCOMPARE(w.actionOptions().blockSize, blockSize);
            QCOMPARE(w.actionOptions().blockDigits, blockDigits);
            stored = setting(QStringLiteral("tRate"));
        }
        // A new window starts with the initial mark; the start-up applies the stored text
        // through the handler it names.
        kivromainfrm restarted;
        QCOMPARE(checkedOf(restarted, kSpeed), QStringList{"NormalSpeedChk"});
        const QHash<QString, void (kivromainfrm::*)()> byText = {{"slow", &kivromainfrm::SlowSpeedChk_Click},
                                                                 {"normal", &kivromainfrm::NormalSpeedChk_Click},
                                                                 {"fast", &kivromainfrm::FastSpeedChk_Click},
                                                                 {"ufast", &kivromainfrm::UltraSpeedChk_Click}};
        QVERIFY2(byText.contains(stored), qPrintable(stored));
        (restarted.*byText.value(stored))();
        QCOMPARE(checkedOf(restarted, kSpeed), QStringList{name});
        QCOMPARE(restarted.mBlockSize, blockSize);
        QCOMPARE(restarted.mBlockDigits, blockDigits);
    }

    void fixedSizeAfterACustomSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("value");
        QTest::newRow("360K") << "SmallFloppySizeChk" << qint64(360000) << "small";
        QTest::newRow("1,200K") << "LowFloppySizeChk" << qint64(1200000) << "low";
        QTest::newRow("1,440K") << "HighFloppySizeChk" << qint64(1440000) << "high";
        QTest::newRow("Zip 100") << "ZipSizeChk" << qint64(100000000) << "zip";
    }
    void fixedSizeAfterACustomSize()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(QString, value);
        kivromainfrm w;
        // As the custom size dialog leaves the menu: its item checked with its own caption, one
        // split mode set.
        for (const QString& s : kSize)
            item(w, s)->setChecked(s == QLatin1String("CustomSizeChk"));
        w.CustomSizeChk->setText(QStringLiteral("First 2,000K (Custom...)"));
        gUnpackSize = 2048000;
        gSplitModeFirst = true;
        writeSetting(QStringLiteral("sSize"), QStringLiteral("customffs"));

        item(w, name)->trigger();
        QCOMPARE(checkedOf(w, kSize), QStringList{name});
        QCOMPARE(w.CustomSizeChk->text(), QStringLiteral("First 2,000K (Custom...)"));
        QCOMPARE(setting(QStringLiteral("sSize")), value);
        QCOMPARE(gUnpackSize, size);
        QVERIFY(!gSplitModeSize && !gSplitModeFiles && !gSplitModePercent && !gSplitModeFirst && !gSplitModeLast);
        // Clicking it again clears a split mode again.
        gSplitModePercent = true;
        item(w, name)->trigger();
        QVERIFY(!gSplitModePercent);
    }

    void toggles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<bool>("checkedAtStart");
        QTest::newRow("zip") << "ZipCompressMnu"
                             << "MZip" << false;
        QTest::newRow("MPEG check") << "MCheckMnu"
                                    << "MCC" << true;
        QTest::newRow("magnet") << "MagnetMnu"
                                << "Magnet" << false;
        QTest::newRow("explorer verb") << "AddContextMenuMnu"
                                       << "CKivro" << false;
    }
    void toggles()
    {
        QFETCH(QString, name);
        QFETCH(QString, valueName);
        QFETCH(bool, checkedAtStart);
        kivromainfrm w;
        QAction* a = item(w, name);
        QCOMPARE(a->isChecked(), checkedAtStart);
        a->trigger();
        QCOMPARE(a->isChecked(), !checkedAtStart);
        QCOMPARE(setting(valueName), checkedAtStart ? QStringLiteral("Off") : QStringLiteral("On"));
        a->trigger();
        QCOMPARE(a->isChecked(), checkedAtStart);
        QCOMPARE(setting(valueName), checkedAtStart ? QStringLiteral("On") : QStringLiteral("Off"));
    }

    void magnetiseWritesNothing()
    {
        kivromainfrm w;
        w.MagnetiseMnu->trigger();
        QVERIFY(!w.MagnetMnu->isChecked());
        QVERIFY(!QFile::exists(paths::settingsFile()));
    }

    void actionsReadTheMenus()
    {
        kivromainfrm w;
        ActionOptions o = w.actionOptions();
        QCOMPARE(o.mpegCheck, true);
        QCOMPARE(o.overwrite, OverwriteRule::Prompt);
        QCOMPARE(o.zip, false);
        QCOMPARE(o.unpackType, UnpackType::RAW);
        QCOMPARE(o.unpackTarget, UnpackTarget::SaveFile);
        QCOMPARE(o.joinBatch, JoinBatch::None);
        QCOMPARE(w.deleteAfterAction(), DeleteAfterAction::No);

        w.MCheckMnu_Click();
        w.OverwriteNoPromptMnu_Click();
        w.ZipCompressMnu_Click();
        w.UnpackEMHMnu_Click();
        w.UnpackWhereFileDirMnu_Click();
        w.CreateJoinBatwExtraInfoMnu_Click();
        w.DelPromptMnu_Click();
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/t/out.mpg"));
        o = w.actionOptions();
        QCOMPARE(o.mpegCheck, false);
        QCOMPARE(o.overwrite, OverwriteRule::NoPrompt);
        QCOMPARE(o.zip, true);
        QCOMPARE(o.unpackType, UnpackType::EMH);
        QCOMPARE(o.unpackTarget, UnpackTarget::WhereFile);
        QCOMPARE(o.joinBatch, JoinBatch::WithInfo);
        QCOMPARE(o.saveAsFile, QStringLiteral("/t/out.mpg"));
        QCOMPARE(w.deleteAfterAction(), DeleteAfterAction::Prompt);

        w.OverwriteNoMnu_Click();
        w.CreateJoinBatMnu_Click();
        w.DelNoPromptMnu_Click();
        Prompts::queue(QStringLiteral("/u"));
        w.UnpackCustomDirMnu_Click();
        o = w.actionOptions();
        QCOMPARE(o.overwrite, OverwriteRule::No);
        QCOMPARE(o.joinBatch, JoinBatch::Plain);
        QCOMPARE(o.unpackTarget, UnpackTarget::Custom);
        QCOMPARE(w.deleteAfterAction(), DeleteAfterAction::NoPrompt);
    }

    void cancelledChooserChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("title");
        QTest::newRow("unpack to") << "UnpackCustomDirMnu"
                                   << "UnpackSaveFileMnu"
                                   << "Unpack To Directory: /start";
        QTest::newRow("save to") << "SaveCustomDirMnu"
                                 << "LastSavedDirMnu"
                                 << "Save As Directory: /start";
        QTest::newRow("startup") << "StartupCustomDirMnu"
                                 << "StartupLastUsedDirMnu"
                                 << "Startup Directory: /start";
    }
    void cancelledChooserChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, previous);
        QFETCH(QString, title);
        kivromainfrm w;
        item(w, previous)->setChecked(true);
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/box/keep.mpg"));
        writeSetting(QStringLiteral("sDir"), QStringLiteral("sfile"));
        const QByteArray before = kivrotest::readFile(paths::settingsFile());
        Prompts::queue(QString()); // an empty line cancels
        item(w, name)->trigger();
        QCOMPARE(checkedOf(w, groupOf(name)), QStringList{previous});
        QCOMPARE(kivrotest::readFile(paths::settingsFile()), before);
        QCOMPARE(w.SaveAsNewFilename_txt->text(), QStringLiteral("/box/keep.mpg"));
        QCOMPARE(gUnpackCustomDir + gSaveCustomDir + gStartupCustomDir, QStringLiteral("/start/start/start"));
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("dialog|") + title + QLatin1Char('|')});
    }

    void chosenFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("box");
        QTest::newRow("save to /tmp/x") << "SaveCustomDirMnu"
                                        << "/tmp/x"
                                        << "/tmp/x" << QStringList{"SaveTo=Custom", "SaveCustomDir=/tmp/x"}
                                        << "/tmp/x/default.mpg";
        QTest::newRow("save to /tmp/x/") << "SaveCustomDirMnu"
                                         << "/tmp/x/"
                                         << "/tmp/x" << QStringList{"SaveTo=Custom", "SaveCustomDir=/tmp/x"}
                                         << "/tmp/x/default.mpg";
        QTest::newRow("save to the root") << "SaveCustomDirMnu"
                                          << "/"
                                          << "/" << QStringList{"SaveTo=Custom", "SaveCustomDir=/"} << "/default.mpg";
        QTest::newRow("startup") << "StartupCustomDirMnu"
                                 << "/home/u/Videos"
                                 << "/home/u/Videos"
                                 << QStringList{"StartupOpt=Custom", "StartupCustomDir=/home/u/Videos"}
                                 << "/box/keep.mpg";
        QTest::newRow("unpack to") << "UnpackCustomDirMnu"
                                   << "/mnt/big disk"
                                   << "/mnt/big disk" << QStringList{"sDir=custom", "UnpackCustomDir=/mnt/big disk"}
                                   << "/box/keep.mpg";
    }
    void chosenFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, answer);
        QFETCH(QString, folder);
        QFETCH(QStringList, settings);
        QFETCH(QString, box);
        kivromainfrm w;
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/box/keep.mpg"));
        for (const QString& other : groupOf(name))
            item(w, other)->setChecked(true);
        Prompts::queue(answer);
        item(w, name)->trigger();
        QCOMPARE(checkedOf(w, groupOf(name)), QStringList{name});
        for (const QString& s : settings)
            QCOMPARE(setting(s.section(QLatin1Char('='), 0, 0)), s.section(QLatin1Char('='), 1));
        QCOMPARE(w.SaveAsNewFilename_txt->text(), box);
        const QString variable = name == QLatin1String("SaveCustomDirMnu")      ? gSaveCustomDir
                                 : name == QLatin1String("StartupCustomDirMnu") ? gStartupCustomDir
                                                                                : gUnpackCustomDir;
        QCOMPARE(variable, folder);
    }

    void chooserTitleShortensALongFolder()
    {
        kivromainfrm w;
        const QString longFolder = QStringLiteral("/media/archive/") + QString(60, QLatin1Char('v'))
                                   + QStringLiteral("/recordings/2004/holiday");
        gSaveCustomDir = longFolder;
        Prompts::queue(QString());
        w.SaveCustomDirMnu_Click();
        const QString record = Prompts::records().value(0);
        QVERIFY2(record.startsWith(QStringLiteral("dialog|Save As Directory: /media/")), qPrintable(record));
        QVERIFY2(record.endsWith(QStringLiteral(".../holiday|")), qPrintable(record));
        QCOMPARE(gSaveCustomDir, longFolder);
    }

    void choosersWorkingForThePreferencesWindow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        QTest::newRow("save to") << "SaveCustomDirMnu"
                                 << "SaveTo:Custom - /tmp/p";
        QTest::newRow("startup") << "StartupCustomDirMnu"
                                 << "Startup:Custom - /tmp/p";
        QTest::newRow("unpack to") << "UnpackCustomDirMnu"
                                   << "UnpackTo:Custom - /tmp/p";
    }
    void choosersWorkingForThePreferencesWindow()
    {
        QFETCH(QString, name);
        QFETCH(QString, field);
        FakePreferences prefs;
        int created = 0;
        kivromainfrm w;
        gPreferencesFormFactory = [&] {
            ++created;
            return &prefs;
        };
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/box/keep.mpg"));
        const QStringList before = checkedOf(w, groupOf(name));
        gCalledFromPreferences = true;
        Prompts::queue(QStringLiteral("/tmp/p/"));
        item(w, name)->trigger();
        gCalledFromPreferences = false;
        QVERIFY(created > 0);
        QCOMPARE(prefs.fields, QStringList{field});
        // Menus, settings and the save-as box stay; only the variable holds the new folder.
        QCOMPARE(checkedOf(w, groupOf(name)), before);
        QVERIFY(!QFile::exists(paths::settingsFile()));
        QCOMPARE(w.SaveAsNewFilename_txt->text(), QStringLiteral("/box/keep.mpg"));
        auto expected = [&name](const char* chooser) {
            return name == QLatin1String(chooser) ? QStringLiteral("/tmp/p") : QStringLiteral("/start");
        };
        QCOMPARE(gSaveCustomDir, expected("SaveCustomDirMnu"));
        QCOMPARE(gStartupCustomDir, expected("StartupCustomDirMnu"));
        QCOMPARE(gUnpackCustomDir, expected("UnpackCustomDirMnu"));
        // Cancelled, the field is not touched either.
        gCalledFromPreferences = true;
        Prompts::queue(QString());
        item(w, name)->trigger();
        gCalledFromPreferences = false;
        QCOMPARE(prefs.fields, QStringList{field});
    }
};

KIVRO_TEST_MAIN(TestOptions)
#include "tst_options.moc"
