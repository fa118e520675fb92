// The main window's load through the real window (offscreen): the first start's defaults, the
// repair of values that are not one of their texts, custom sizes, the file-type box and its
// damage paths, the folders and the save-as box, the start folder, the pack-list window's place,
// and the window after a failure of the later steps.
#include "KivroTest.h"
#include "StoredSettings.h"

#include "engine/CopyrightStamp.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/StartupLinks.h"
#include "mainwindow/kivromainfrm.h"
#include "mainwindow/mMain.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/FileManagerVerb.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/RegistryStore.h"
#include "platform/RuntimeError.h"
#include "preview/MciIni.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSettings>

#include <memory>

using namespace kivro;
using namespace kivro::Registry;

namespace {

const QString kTampered = QStringLiteral(
    "box|Exclamation|OK|Tesma Kivro Pro|Your custom FileType information is tampered or deleted. Default FileType is "
    "replaced.|OK");
const QString kRestart = QStringLiteral(
    "box|Exclamation|OK|Tesma Kivro Pro|Your custom FileType information is tampered or deleted. Default FileType is "
    "replaced. Please restart Tesma Kivro Pro.|OK");
const QStringList kDefaultTypes{QStringLiteral("Mpeg (*.mpg,*.mpeg,*.mpe)"), QStringLiteral("Mp3 (*.mp3)"),
                                QStringLiteral("All Files (*.*)")};

QString setting(const QString& name)
{
    return kivrotest::storedSetting(name, QStringLiteral("<missing>"));
}
const auto store = kivrotest::storeSetting;

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

class TestLoad : public QObject {
    Q_OBJECT

    QString m_root;
    QString m_start; // the folder the browser shows before the load

    // A main window shown for the first time, which runs its load.
    std::unique_ptr<kivromainfrm> start()
    {
        auto w = std::make_unique<kivromainfrm>();
        w->show();
        return w;
    }

    QString folder(const QString& name)
    {
        const QString dir = m_root + QLatin1Char('/') + name;
        QDir().mkpath(dir);
        return dir;
    }

private slots:
    void initTestCase()
    {
        m_root = kivrotest::rootDir() + QStringLiteral("/load");
        m_start = m_root + QStringLiteral("/start here");
        QDir().mkpath(m_start);
        kivrotest::writeFile(m_start + QStringLiteral("/a.mpg"), "x");
        kivrotest::writeFile(m_start + QStringLiteral("/b.mp3"), "x");
        gAppPath = folder(QStringLiteral("program"));
    }

    void init()
    {
        QFile::remove(paths::settingsFile());
        QFile::remove(CopyrightStampFile());
        QFile::remove(MciIniPath());
        QVERIFY(QDir::setCurrent(m_start));
        gSplitModeSize = gSplitModeFirst = gSplitModeLast = gSplitModePercent = gSplitModeFiles = false;
        Prompts::enableScripted();
        mMain::SetEndProcessForTests(nullptr);
    }

    // An empty settings folder: every value written with its default, no box, the three file
    // types, every folder the browser's, the save-as box in it.
    void firstStart()
    {
        auto w = start();
        QVERIFY(w->isVisible());
        QVERIFY(Prompts::records().isEmpty());

        const QList<std::pair<const char*, const char*>> defaults = {
            {"CKivro", "Off"},       {"Magnet", "On"},           {"tRate", "normal"},  {"sSize", "high"},
            {"sDir", "sfile"},       {"UnpkTyp", "RAW"},         {"Jbat", "JbatNo"},   {"Delact", "No"},
            {"SaveTo", "LastSaved"}, {"StartupOpt", "LastUsed"}, {"Owrite", "Prompt"}, {"MZip", "Off"},
            {"MCC", "On"},           {"fCheck", "fPass"},        {"NoOfFilter", "3"}};
        for (const auto& [name, value] : defaults)
            QCOMPARE(setting(QLatin1String(name)), QLatin1String(value));
        for (const char* name : {"UnpackCustomDir", "SaveCustomDir", "LastSavedDir", "StartupCustomDir", "LastUsedDir"})
            QCOMPARE(setting(QLatin1String(name)), m_start);
        // The value names keep the spelling of the handlers that write them.
        const QByteArray ini = kivrotest::readFile(paths::settingsFile());
        QVERIFY(ini.contains("\nUnpkTyp=RAW\n"));
        QVERIFY(ini.contains("\nJbat=JbatNo\n"));

        // The pack-list window's computed place on the 800 x 800 test screen (12,000 twips each
        // way), from the main window's 8,100 x 5,010 and its own 4,830 x 4,395 twips:
        // Left = 6,000 + 4,050 - 2,415 = 7,635 (509 pixels); Top = 6,000 - 2,505 - 2,197.5 =
        // 1,297.5 (86.5, to the even 86 pixels). The place taken is written back as whole twips.
        const Brovletfrm* packList = PackListForm();
        QCOMPARE(w->screen()->geometry().size(), QSize(800, 800));
        QCOMPARE(packList->pos(), QPoint(509, 86));
        QCOMPARE(setting(QStringLiteral("BrovletXpos")), QStringLiteral("7635"));
        QCOMPARE(setting(QStringLiteral("BrovletYpos")), QStringLiteral("1290"));
        QVERIFY(!packList->isVisible()); // placed, not shown: the start-up shows it

        QCOMPARE(items(w->pattern_cmb), kDefaultTypes);
        QCOMPARE(w->File1->Pattern(), QStringLiteral("*.mpg;*.mpeg;*.mpe"));
        QCOMPARE(gCurrentDir, m_start);
        QCOMPARE(w->filesel_lst, QStringList{QStringLiteral("a.mpg")});
        QCOMPARE(w->SaveAsNewFilename_txt->text(), m_start + QStringLiteral("/default.mpg"));
        QCOMPARE(gUnpackCustomDir, m_start);
        QCOMPARE(gSaveCustomDir, m_start);
        QCOMPARE(gStartupCustomDir, m_start);
        QCOMPARE(w->TesmaKivroCaption->text(), QStringLiteral("Tesma Kivro Pro v1.03"));
        QCOMPARE(w->mousePointer(), MainWindowLink::kPointerDefault);
        QVERIFY(w->mFile64);
        QCOMPARE(w->MSSlider->Min(), 0);
        QCOMPARE(w->MSSlider->Max(), 100);
        QVERIFY(!w->MSSlider->Enabled());
        QVERIFY(w->MSSlider->isEnabled()); // the control ignores the mouse; the widget stays enabled
        QVERIFY(!w->mask().isEmpty());
        // The stamp lines the join batch files echo; a missing stamp file is made with its
        // default line.
        QCOMPARE(w->CopyrightStamping_lst(), QStringList{QStringLiteral("@echo ") + kDefaultCopyrightStamp});

        // The menus show the defaults, and the variables follow them.
        QVERIFY(!w->AddContextMenuMnu->isChecked());
        QVERIFY(w->MagnetMnu->isChecked());
        QVERIFY(w->NormalSpeedChk->isChecked());
        QCOMPARE(w->mBlockSize, 100000);
        QVERIFY(w->HighFloppySizeChk->isChecked());
        QCOMPARE(gUnpackSize, qint64(1440000));
        QVERIFY(w->UnpackRAWMnu->isChecked() && w->UnpackSaveFileMnu->isChecked());
        QVERIFY(w->CreateJoinBatNoMnu->isChecked() && w->DelNoMnu->isChecked());
        QVERIFY(w->LastSavedDirMnu->isChecked() && w->StartupLastUsedDirMnu->isChecked());
        QVERIFY(w->OverwritePromptMnu->isChecked());
        QVERIFY(!w->ZipCompressMnu->isChecked() && w->MCheckMnu->isChecked());

        // The media drivers of the per-user system.ini.
        QCOMPARE(ReadMciIniEntry(QStringLiteral("MPEGVideo")), QStringLiteral("mciqtz.drv"));
        QCOMPARE(ReadMciIniEntry(QStringLiteral("sequencer")), QStringLiteral("mciseq.drv"));
        QCOMPARE(ReadMciIniEntry(QStringLiteral("avivideo")), QStringLiteral("mciavi.drv"));

        // The load runs once.
        store(QStringLiteral("tRate"), QStringLiteral("slow"));
        w->hide();
        w->show();
        QVERIFY(w->NormalSpeedChk->isChecked());
    }

    void repairs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("checkedItem"); // empty: none of the group checked
        QTest::addColumn<QStringList>("group");
        const QStringList speed{"SlowSpeedChk", "NormalSpeedChk", "FastSpeedChk", "UltraSpeedChk"};
        const QStringList size{"SmallFloppySizeChk", "LowFloppySizeChk", "HighFloppySizeChk", "ZipSizeChk",
                               "CustomSizeChk"};
        const QStringList unpackTo{"UnpackSaveFileMnu", "UnpackWhereFileDirMnu", "UnpackCustomDirMnu"};
        QTest::newRow("MZip on (lower case)") << "MZip"
                                              << "on"
                                              << "Off"
                                              << "" << QStringList{"ZipCompressMnu"};
        QTest::newRow("MZip On") << "MZip"
                                 << "On"
                                 << "On"
                                 << "ZipCompressMnu" << QStringList{"ZipCompressMnu"};
        QTest::newRow("MCC Off") << "MCC"
                                 << "Off"
                                 << "Off"
                                 << "" << QStringList{"MCheckMnu"};
        QTest::newRow("MCC off") << "MCC"
                                 << "off"
                                 << "On"
                                 << "MCheckMnu" << QStringList{"MCheckMnu"};
        QTest::newRow("Magnet Off") << "Magnet"
                                    << "Off"
                                    << "Off"
                                    << "" << QStringList{"MagnetMnu"};
        QTest::newRow("tRate ufast") << "tRate"
                                     << "ufast"
                                     << "ufast"
                                     << "UltraSpeedChk" << speed;
        QTest::newRow("tRate Fast") << "tRate"
                                    << "Fast"
                                    << "normal"
                                    << "NormalSpeedChk" << speed;
        QTest::newRow("sSize zip") << "sSize"
                                   << "zip"
                                   << "zip"
                                   << "ZipSizeChk" << size;
        QTest::newRow("sSize big") << "sSize"
                                   << "big"
                                   << "high"
                                   << "HighFloppySizeChk" << size;
        QTest::newRow("sDir custom") << "sDir"
                                     << "custom"
                                     << "custom"
                                     << "UnpackCustomDirMnu" << unpackTo;
        QTest::newRow("sDir wfile") << "sDir"
                                    << "wfile"
                                    << "wfile"
                                    << "UnpackWhereFileDirMnu" << unpackTo;
        QTest::newRow("UnPkTyp EMH") << "UnPkTyp"
                                     << "EMH"
                                     << "EMH"
                                     << "UnpackEMHMnu" << QStringList{"UnpackRAWMnu", "UnpackEMHMnu"};
        QTest::newRow("JBat JbatInfo") << "JBat"
                                       << "JbatInfo"
                                       << "JbatInfo"
                                       << "CreateJoinBatwExtraInfoMnu"
                                       << QStringList{"CreateJoinBatNoMnu", "CreateJoinBatMnu",
                                                      "CreateJoinBatwExtraInfoMnu"};
        QTest::newRow("Delact NoPrompt") << "Delact"
                                         << "NoPrompt"
                                         << "NoPrompt"
                                         << "DelNoPromptMnu"
                                         << QStringList{"DelNoMnu", "DelPromptMnu", "DelNoPromptMnu"};
        QTest::newRow("SaveTo Custom") << "SaveTo"
                                       << "Custom"
                                       << "Custom"
                                       << "SaveCustomDirMnu" << QStringList{"SaveCustomDirMnu", "LastSavedDirMnu"};
        QTest::newRow("StartupOpt custom")
            << "StartupOpt"
            << "custom"
            << "LastUsed"
            << "StartupLastUsedDirMnu" << QStringList{"StartupCustomDirMnu", "StartupLastUsedDirMnu"};
        QTest::newRow("Owrite No") << "Owrite"
                                   << "No"
                                   << "No"
                                   << "OverwriteNoMnu"
                                   << QStringList{"OverwriteNoMnu", "OverwritePromptMnu", "OverwriteNoPromptMnu"};
    }

    void repairs()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, written);
        QFETCH(QString, checkedItem);
        QFETCH(QStringList, group);
        store(name, value);
        auto w = start();
        QCOMPARE(setting(name), written);
        for (const QString& item : group) {
            auto* action = w->findChild<QAction*>(item);
            QVERIFY2(action, qPrintable(item));
            QCOMPARE(action->isChecked(), item == checkedItem);
        }
        QVERIFY(Prompts::records().isEmpty());
    }

    void customSizes_data()
    {
        QTest::addColumn<QString>("sSize");
        QTest::addColumn<QString>("companion");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("written");
        QTest::newRow("customfs abc") << "customfs"
                                      << "cSize"
                                      << "abc"
                                      << "1,440K (Custom...)"
                                      << "1440000";
        QTest::newRow("customfs 2048000") << "customfs"
                                          << "cSize"
                                          << "2048000"
                                          << "2,000K (Custom...)"
                                          << "2048000";
        QTest::newRow("customlfs 0.5") << "customlfs"
                                       << "cSize"
                                       << "0.5"
                                       << "Last 1,440K (Custom...)"
                                       << "1440000";
        QTest::newRow("custompfs 100") << "custompfs"
                                       << "cPfs"
                                       << "100"
                                       << "50% (Custom...)"
                                       << "50";
        QTest::newRow("custompfs 25") << "custompfs"
                                      << "cPfs"
                                      << "25"
                                      << "25% (Custom...)"
                                      << "25";
        QTest::newRow("customnof 1") << "customnof"
                                     << "cNof"
                                     << "1"
                                     << "2 Files (Custom...)"
                                     << "2";
    }

    void customSizes()
    {
        QFETCH(QString, sSize);
        QFETCH(QString, companion);
        QFETCH(QString, value);
        QFETCH(QString, caption);
        QFETCH(QString, written);
        store(QStringLiteral("sSize"), sSize);
        store(companion, value);
        auto w = start();
        QCOMPARE(w->CustomSizeChk->text(), caption);
        QVERIFY(w->CustomSizeChk->isChecked());
        QVERIFY(!w->HighFloppySizeChk->isChecked() && !w->SmallFloppySizeChk->isChecked());
        QCOMPARE(setting(QStringLiteral("sSize")), sSize);
        QCOMPARE(setting(companion), written);
        if (sSize == QLatin1String("customfs")) {
            QVERIFY(gSplitModeSize);
            QCOMPARE(gUnpackSize, written.toLongLong());
        } else if (sSize == QLatin1String("customlfs")) {
            QVERIFY(gSplitModeLast);
        } else if (sSize == QLatin1String("custompfs")) {
            QVERIFY(gSplitModePercent);
            QCOMPARE(gSplitPercent, written.toInt());
        } else {
            QVERIFY(gSplitModeFiles);
            QCOMPARE(gSplitFiles, written.toInt());
        }
    }

    // A count of "0" is damage: the message, then the defaults.
    void filterCountZero()
    {
        store(QStringLiteral("fCheck"), QStringLiteral("fPass"));
        store(QStringLiteral("NoOfFilter"), QStringLiteral("0"));
        Prompts::queue(QStringLiteral("OK"));
        auto w = start();
        QCOMPARE(Prompts::records(), QStringList{kTampered});
        QCOMPARE(items(w->pattern_cmb), kDefaultTypes);
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), QStringLiteral("3"));
        QVERIFY(w->isVisible());
    }

    // A count that is no number leaves the type box empty: the restart message, the types
    // repaired, the program ended; the next start lists the defaults without a message.
    void filterCountNotANumber()
    {
        store(QStringLiteral("fCheck"), QStringLiteral("fPass"));
        store(QStringLiteral("NoOfFilter"), QStringLiteral("abc"));
        QList<int> ended;
        mMain::SetEndProcessForTests([&ended](int status) { ended << status; });
        Prompts::queue(QStringLiteral("OK"));
        {
            auto w = start();
            QCOMPARE(Prompts::records(), QStringList{kRestart});
            QCOMPARE(ended, QList<int>{0});
            QVERIFY(!w->isVisible());
            QCOMPARE(setting(QStringLiteral("NoOfFilter")), QStringLiteral("3"));
        }
        mMain::SetEndProcessForTests(nullptr);
        Prompts::clearRecords();
        auto next = start();
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(items(next->pattern_cmb), kDefaultTypes);
    }

    // A gap among the stored types: the rest are renumbered, so the n-th item of the type box
    // filters by the n-th entry and the last entry is kept for the next start.
    void filterGapCompacts()
    {
        store(QStringLiteral("fCheck"), QStringLiteral("fPass"));
        store(QStringLiteral("NoOfFilter"), QStringLiteral("3"));
        RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QStringLiteral("1"), QStringLiteral("Mpeg"));
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("1"), QStringLiteral("*.mpg"));
        RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QStringLiteral("3"), QStringLiteral("Mp3"));
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("3"), QStringLiteral("*.mp3"));
        auto w = start();
        QCOMPARE(items(w->pattern_cmb), (QStringList{QStringLiteral("Mpeg (*.mpg)"), QStringLiteral("Mp3 (*.mp3)")}));
        w->pattern_cmb->setCurrentIndex(1);
        w->pattern_cmb_Click();
        QCOMPARE(w->File1->Pattern(), QStringLiteral("*.mp3"));
        QCOMPARE(w->filesel_lst, QStringList{QStringLiteral("b.mp3")});
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), QStringLiteral("2"));
        w.reset();
        auto next = start();
        QCOMPARE(items(next->pattern_cmb),
                 (QStringList{QStringLiteral("Mpeg (*.mpg)"), QStringLiteral("Mp3 (*.mp3)")}));
    }

    void folders()
    {
        const QString unpack = folder(QStringLiteral("unpack to"));
        const QString saveTo = folder(QStringLiteral("save to"));
        const QString lastSaved = folder(QStringLiteral("last saved"));
        const QString plainFile = m_root + QStringLiteral("/a file");
        kivrotest::writeFile(plainFile, "x");
        store(QStringLiteral("UnpackCustomDir"), unpack);
        store(QStringLiteral("SaveCustomDir"), plainFile); // a file is no folder: repaired
        store(QStringLiteral("LastSavedDir"), lastSaved);
        store(QStringLiteral("LastUsedDir"), m_root + QStringLiteral("/gone"));
        auto w = start();
        QCOMPARE(gUnpackCustomDir, unpack);
        QCOMPARE(setting(QStringLiteral("UnpackCustomDir")), unpack);
        QCOMPARE(gSaveCustomDir, m_start);
        QCOMPARE(setting(QStringLiteral("SaveCustomDir")), m_start);
        QCOMPARE(w->SaveAsNewFilename_txt->text(), lastSaved + QStringLiteral("/default.mpg"));
        QCOMPARE(setting(QStringLiteral("LastSavedDir")), lastSaved);
        QCOMPARE(setting(QStringLiteral("LastUsedDir")), m_start);

        // With "Custom", the save-as box takes the custom folder.
        w.reset();
        store(QStringLiteral("SaveTo"), QStringLiteral("Custom"));
        store(QStringLiteral("SaveCustomDir"), saveTo);
        w = start();
        QCOMPARE(w->SaveAsNewFilename_txt->text(), saveTo + QStringLiteral("/default.mpg"));
        QCOMPARE(gSaveCustomDir, saveTo);
        // The root gives "/default.mpg".
        w.reset();
        store(QStringLiteral("SaveCustomDir"), QStringLiteral("/"));
        w = start();
        QCOMPARE(w->SaveAsNewFilename_txt->text(), QStringLiteral("/default.mpg"));
    }

    void startFolder_data()
    {
        QTest::addColumn<QString>("startupOpt");
        QTest::addColumn<QString>("lastUsed");      // relative to the root; "" none
        QTest::addColumn<QString>("startupCustom"); // relative to the root; "" none
        QTest::addColumn<QString>("opened");        // relative to the root; "" the start folder
        QTest::newRow("last used") << "LastUsed"
                                   << "last"
                                   << ""
                                   << "last";
        QTest::newRow("last used gone, custom set") << "LastUsed"
                                                    << "gone"
                                                    << "custom"
                                                    << "custom";
        QTest::newRow("last used gone") << "LastUsed"
                                        << "gone"
                                        << ""
                                        << "";
        QTest::newRow("custom") << "Custom"
                                << "last"
                                << "custom"
                                << "custom";
        QTest::newRow("custom gone") << "Custom"
                                     << "last"
                                     << "gone"
                                     << "";
    }

    void startFolder()
    {
        QFETCH(QString, startupOpt);
        QFETCH(QString, lastUsed);
        QFETCH(QString, startupCustom);
        QFETCH(QString, opened);
        folder(QStringLiteral("last"));
        folder(QStringLiteral("custom"));
        const auto path = [this](const QString& rel) {
            return rel.isEmpty() ? m_start : m_root + QLatin1Char('/') + rel;
        };
        store(QStringLiteral("StartupOpt"), startupOpt);
        if (!lastUsed.isEmpty())
            store(QStringLiteral("LastUsedDir"), path(lastUsed));
        if (!startupCustom.isEmpty())
            store(QStringLiteral("StartupCustomDir"), path(startupCustom));
        auto w = start();
        QCOMPARE(gCurrentDir, path(opened));
        QCOMPARE(w->Dir1->Path(), path(opened));
        if (startupOpt == QLatin1String("LastUsed"))
            QCOMPARE(setting(QStringLiteral("LastUsedDir")), path(opened));
        else
            QCOMPARE(setting(QStringLiteral("StartupCustomDir")), path(opened));
    }

    void packListPlace_data()
    {
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<bool>("kept");
        QTest::newRow("off screen to the left") << "-3000"
                                                << "6000" << true;
        QTest::newRow("largest") << "491505"
                                 << "-491505" << true;
        QTest::newRow("beyond 16-bit pixels") << "1e9"
                                              << "491520" << false;
        QTest::newRow("not numbers") << "left"
                                     << "" << false;
    }

    void packListPlace()
    {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(bool, kept);
        store(QStringLiteral("BrovletXpos"), x);
        store(QStringLiteral("BrovletYpos"), y);
        auto w = start();
        const Brovletfrm* packList = PackListForm();
        // The start-up shows it where the load placed it.
        const QPoint placed = packList->pos();
        startup::ShowPackListWindowAtStart(w.get());
        QCOMPARE(packList->pos(), placed);
        if (kept) {
            QCOMPARE(packList->x(), qRound(x.toDouble() / 15));
            QCOMPARE(packList->y(), qRound(y.toDouble() / 15));
            QCOMPARE(setting(QStringLiteral("BrovletXpos")), x);
            QCOMPARE(setting(QStringLiteral("BrovletYpos")), y);
        } else {
            QCOMPARE(setting(QStringLiteral("BrovletXpos")), QString::number(packList->x() * 15));
            QCOMPARE(setting(QStringLiteral("BrovletYpos")), QString::number(packList->y() * 15));
            QVERIFY(std::abs(packList->x()) < 32768 && std::abs(packList->y()) < 32768);
        }
    }

    void stampLines()
    {
        kivrotest::writeFile(CopyrightStampFile(), "(c) 2004 Me\r\n  \r\nAll rights reserved.\r\n");
        auto w = start();
        QCOMPARE(w->CopyrightStamping_lst(), (QStringList{QStringLiteral("@echo (c) 2004 Me"), QStringLiteral("@echo."),
                                                          QStringLiteral("@echo All rights reserved.")}));
    }

    // The verb is switched on at start with this run's program folder.
    void verbAtStart()
    {
        store(QStringLiteral("CKivro"), QStringLiteral("On"));
        auto w = start();
        QVERIFY(w->AddContextMenuMnu->isChecked());
        QVERIFY(FileManagerVerb::IsOurs(FileManagerVerb::NemoActionPath()));
        QVERIFY(kivrotest::readFile(FileManagerVerb::NemoActionPath()).contains(gAppPath.toUtf8() + "/brovlet"));
        w.reset();
        store(QStringLiteral("CKivro"), QStringLiteral("Off"));
        w = start();
        QVERIFY(!QFile::exists(FileManagerVerb::NemoActionPath()));
    }

    // The menu's switch-on that cannot write its files says so and stays off.
    void verbFromTheMenuFails()
    {
        auto w = start();
        const QString kio = kivrotest::rootDir() + QStringLiteral("/data/kio");
        QDir(kio).removeRecursively();
        kivrotest::writeFile(kio, "a file where a folder belongs");
        Prompts::queue(QStringLiteral("OK"));
        w->AddContextMenuMnu->trigger();
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral(
                                         "box|Exclamation|OK|Tesma Kivro Pro|The \"Pack it...\" entries for the file "
                                         "manager could not be written.|OK")});
        QVERIFY(!w->AddContextMenuMnu->isChecked());
        QCOMPARE(setting(QStringLiteral("CKivro")), QStringLiteral("Off"));
        QFile::remove(kio);
    }

    // After the unexpected-error text of a later step the window stays usable: its File64 is
    // there and the pointer is normal, so the menus open.
    void laterFailureLeavesAUsableWindow()
    {
        auto w = start();
        w->mFile64.reset();
        w->setMousePointer(MainWindowLink::kPointerHourglass);
        Prompts::queue(QStringLiteral("OK"));
        w->LoadFailed(75, errorDescription(75));
        QCOMPARE(Prompts::records(),
                 QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro Pro|")
                             + Prompts::escape(unexpectedErrorText(75, errorDescription(75))) + QStringLiteral("|OK")});
        QVERIFY(w->mFile64);
        QCOMPARE(w->mousePointer(), MainWindowLink::kPointerDefault);
        QVERIFY(w->isVisible());
    }

    // The window the load built shows "Preview" beside its check box (the label's mnemonic
    // leads to the box) and "More Info...".
    void captions()
    {
        auto w = start();
        QCOMPARE(w->ShowPreviewLbl->text(), QStringLiteral("&Preview"));
        QCOMPARE(w->ShowPreviewLbl->buddy(), w->ShowPreviewChk);
        QCOMPARE(w->MoreInfo_Cmd->text(), QStringLiteral("More Info..."));
    }

    // Nothing else places the main window: the load puts it in the middle of its screen before
    // it places the pack-list window, whose computed place (the middle of its width on the main
    // window's right edge) is then beside it. A stored place of the pack-list window still wins.
    void mainWindowCentred()
    {
        auto w = start();
        const QRect screen = w->screen()->geometry();
        const QRect main = w->frameGeometry();
        QVERIFY2(std::abs(main.center().x() - screen.center().x()) <= 1
                     && std::abs(main.center().y() - screen.center().y()) <= 1,
                 qPrintable(QStringLiteral("main window at %1,%2").arg(main.x()).arg(main.y())));
        const Brovletfrm* packList = PackListForm();
        QVERIFY(std::abs(packList->x() + packList->frameGeometry().width() / 2 - (main.x() + main.width())) <= 1);
        w.reset();

        store(QStringLiteral("BrovletXpos"), QStringLiteral("1500"));
        store(QStringLiteral("BrovletYpos"), QStringLiteral("3000"));
        auto again = start();
        QCOMPARE(again->frameGeometry().topLeft(), main.topLeft());
        QCOMPARE(PackListForm()->pos(), QPoint(100, 200));
    }

    // A settings store the program cannot write (a full disk, Tesma a file, Kivro.ini a folder):
    // one warning that names the file, then the window opens on the defaults, kept in memory, and
    // works: the three file types without the "tampered" boxes, a menu choice that holds for the
    // run, and no second warning.
    void storeThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("Tesma a file") << "Tesma";
        QTest::newRow("Kivro.ini a folder") << "Kivro.ini";
    }
    void storeThatCannotBeWritten()
    {
        QFETCH(QString, cause);
        const QString file = kivrotest::unwritableSettingsStore(cause);
        QCOMPARE(file, paths::settingsFile());
        win::RegStoreResetRun();
        const QString warning = QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|Settings cannot be saved to '")
                                + file + QStringLiteral("'. Changes will not be kept.|OK");
        {
            auto w = start();
            QVERIFY(w->isVisible());
            QCOMPARE(Prompts::records(), QStringList{warning});
            QCOMPARE(items(w->pattern_cmb), kDefaultTypes);
            QCOMPARE(w->File1->Pattern(), QStringLiteral("*.mpg;*.mpeg;*.mpe"));
            QVERIFY(w->NormalSpeedChk->isChecked() && w->HighFloppySizeChk->isChecked());
            QCOMPARE(w->SaveAsNewFilename_txt->text(), m_start + QStringLiteral("/default.mpg"));
            QVERIFY(w->mFile64);
            QCOMPARE(w->mousePointer(), MainWindowLink::kPointerDefault);

            w->SlowSpeedChk_Click();
            QCOMPARE(setting(QStringLiteral("tRate")), QStringLiteral("slow"));
            QCOMPARE(Prompts::records(), QStringList{warning});
        }
        kivrotest::writableSettingsStore();
        win::RegStoreResetRun();
    }
};

KIVRO_TEST_MAIN(TestLoad)
#include "tst_load.moc"
