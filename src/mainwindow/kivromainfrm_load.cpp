// The main window's load: runs once, inside the window's first show, before it becomes visible.
// It gives the window its icon and shape, lays it out, reads every setting (repairing and writing
// back what is missing or not one of its texts, mostly through the option handlers), fills the
// file-type box, settles the custom folders and the save-as box, corrects the media drivers,
// prepares the slider and the stamp lines, opens the start folder and makes the window's File64.
#include "mainwindow/kivromainfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/copyrightstampingfrm.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/ExplorerVerb.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/MainLoad.h"
#include "mainwindow/Skin.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/Globals.h"
#include "platform/Icon32bit.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/RegistryStore.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

#include <cmath>

namespace kivro {

namespace {

using namespace Registry;

// The folder label's width, twips.
constexpr std::int32_t kFolderLabelTwips = 3800;

const QString kDefaultFileName = QStringLiteral("default.mpg");

QRect screenTwips(const QWidget* w)
{
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    const QRect px = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    return QRect(0, 0, pixelsToTwips(px.width()), pixelsToTwips(px.height()));
}

} // namespace

void kivromainfrm::setVisible(bool visible)
{
    if (visible && !mLoadRun) {
        mLoadRun = true;
        Form_Load();
        // The restart path of the load has ended the program: nothing is shown.
        if (mShuttingDown)
            return;
    }
    QWidget::setVisible(visible);
}

void kivromainfrm::Form_Load()
{
    LoadWindowAndSettings();
    try {
        LoadBrowserFoldersAndRest();
    } catch (const RuntimeError& e) {
        LoadFailed(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        LoadFailed(7, errorDescription(7));
    } catch (const std::exception& e) {
        LoadFailed(51, QString::fromLocal8Bit(e.what()));
    }
}

void kivromainfrm::LoadFailed(int number, const QString& description)
{
    if (number == 380) {
        // The file-type box is empty: the store is repaired, and the program ends so that the
        // next start reads the repaired store.
        MsgBoxResult(QStringLiteral("Your custom FileType information is tampered or deleted. Default FileType is "
                                    "replaced. Please restart Tesma Kivro Pro."),
                     vbExclamation | vbOKOnly | vbTopMost);
        ResetFileFilter();
        Form_QueryUnload();
        return;
    }
    MsgBoxResult(unexpectedErrorText(number, description), vbCritical | vbOKOnly | vbTopMost);
    // The rest of the load does not run, but the window stays usable: an action needs its File64
    // and the menus refuse to open under the hourglass.
    if (!mFile64)
        mFile64 = std::make_unique<File64>();
    setMousePointer(kPointerDefault);
}

// The window and the settings: a failure here is not handled by the load; the start-up ends the program with
// the error's number and text.
void kivromainfrm::LoadWindowAndSettings()
{
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
    setMousePointer(kPointerHourglass);

    // The window's shape: the skin at the frame offset (frame 3 pixels, frame and caption 22).
    mSkinRegion = MainWindowMask();
    setMask(mSkinRegion);

    LayoutForScale(gDpiScale);
    TesmaKivroCaption->setText(MainLoad::CaptionText(KIVRO_VERSION_MAJOR, KIVRO_VERSION_MINOR, KIVRO_VERSION_PATCH));
    ShowPreviewLbl->setText(QStringLiteral("&Preview"));
    ShowPreviewLbl->setBuddy(ShowPreviewChk);
    MoreInfo_Cmd->setText(QStringLiteral("More Info..."));

    // The pack-list window's computed place assumes a main window in the middle of the screen.
    CentreOnScreen();

    LoadSettings();
}

void kivromainfrm::CentreOnScreen()
{
    // A window that its opener has already placed stays where it was put.
    if (testAttribute(Qt::WA_Moved))
        return;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void kivromainfrm::LayoutForScale(float scale)
{
    // The skin picture BG_Img is the window's background at every scale.
    if (scale <= 1.0f) {
        percentdone_lbl->show();
        percentdone_lbl_above96DPI->hide();
        return;
    }
    // Above 96 dpi the round buttons and busy icons sit a little higher and the MPEG labels a
    // little further right (twips).
    auto moveBy = [](QWidget* w, double dxTwips, double dyTwips) {
        w->move(w->x() + twipsToPixels(dxTwips), w->y() + twipsToPixels(dyTwips));
    };
    for (QWidget* w : std::initializer_list<QWidget*>{UnpackImg, UnPackCANCELImg, PackImg, PackCANCELImg})
        moveBy(w, 0, -40);
    moveBy(BusyIconImg, 0, -50);
    moveBy(NotBusyIconImg, 0, -50);
    moveBy(MpegInfoVideoSize_Lbl, (scale - 1.0) * 200, 0);
    moveBy(MpegInfoVideoRate_Lbl, (scale - 1.0) * 200, 0);
    percentdone_lbl->hide();
    percentdone_lbl_above96DPI->show();
}

void kivromainfrm::LoadSettings()
{
    // The verb: "On" writes the file-manager entries again with this run's program folder.
    ExplorerVerb::ApplyStoredChoice(*AddContextMenuMnu);

    {
        const bool on = readSetting(Settings::Magnet) != QLatin1String("Off");
        MagnetMnu->setChecked(on);
        writeSetting(Settings::Magnet, on ? QStringLiteral("On") : QStringLiteral("Off"));
    }

    PlacePackListWindow();

    // Each group's stored text runs its row's handler; an unknown text runs the fallback row's.
    // A custom unpack folder, save folder or start-up folder opens no dialog here: the stored
    // folder is settled with the folders below. A custom size is applied from its companion value.
    for (const Settings::OptionGroup* group : Settings::kOptionGroups) {
        const QString stored = readSetting(*group->setting);
        if (group == &Settings::SizeOptions && MainLoad::IsCustomSizeText(stored))
            ApplyStoredCustomSize(stored);
        else
            ChooseOption(*group, group->rowOf(stored));
    }

    {
        const bool on = readSetting(Settings::MZip) == QLatin1String("On");
        ZipCompressMnu->setChecked(on);
        writeSetting(Settings::MZip, on ? QStringLiteral("On") : QStringLiteral("Off"));
    }
    {
        const bool on = readSetting(Settings::MCC) != QLatin1String("Off");
        MCheckMnu->setChecked(on);
        writeSetting(Settings::MCC, on ? QStringLiteral("On") : QStringLiteral("Off"));
    }

    if (readSetting(Settings::fCheck) != QLatin1String("fPass"))
        ResetFileFilter();
}

void kivromainfrm::PlacePackListWindow()
{
    // The first use creates and loads the pack-list window.
    Brovletfrm* packList = PackListForm();
    const QRect screen = screenTwips(this);
    const double mainWidth = pixelsToTwips(double(frameGeometry().width()));
    const double mainHeight = pixelsToTwips(double(frameGeometry().height()));
    const double listWidth = pixelsToTwips(double(packList->frameGeometry().width()));
    const double listHeight = pixelsToTwips(double(packList->frameGeometry().height()));

    // A stored place is used as it stands, also off the screen; a value X11 cannot take (beyond
    // 16-bit pixels) is replaced like a missing one.
    const std::optional<double> x = MainLoad::StoredPosition(readSetting(Settings::BrovletXpos));
    if (x) {
        packList->move(twipsToPixels(*x), packList->y());
    } else {
        packList->move(twipsToPixels(screen.width() / 2.0 + mainWidth / 2 - listWidth / 2), packList->y());
        writeSetting(Settings::BrovletXpos, QString::number(pixelsToTwips(packList->x())));
    }
    const std::optional<double> y = MainLoad::StoredPosition(readSetting(Settings::BrovletYpos));
    if (y) {
        packList->move(packList->x(), twipsToPixels(*y));
    } else {
        packList->move(packList->x(), twipsToPixels(screen.height() / 2.0 - mainHeight / 2 - listHeight / 2));
        writeSetting(Settings::BrovletYpos, QString::number(pixelsToTwips(packList->y())));
    }
}

void kivromainfrm::ApplyStoredCustomSize(const QString& sSize)
{
    SmallFloppySizeChk->setChecked(false);
    LowFloppySizeChk->setChecked(false);
    HighFloppySizeChk->setChecked(false);
    ZipSizeChk->setChecked(false);
    CustomSizeChk->setChecked(true);

    const MainLoad::CustomSize c = MainLoad::CustomSizeFor(sSize, readSetting(MainLoad::CompanionValueName(sSize)));
    switch (c.mode) {
    case MainLoad::CustomSize::Mode::Size:
        gSplitModeSize = true;
        gUnpackSize = c.unpackSize;
        break;
    case MainLoad::CustomSize::Mode::First:
        gSplitModeFirst = true;
        gUnpackSize = c.unpackSize;
        break;
    case MainLoad::CustomSize::Mode::Last:
        gSplitModeLast = true;
        gUnpackSize = c.unpackSize;
        break;
    case MainLoad::CustomSize::Mode::Percent:
        gSplitModePercent = true;
        gSplitPercent = c.splitPercent;
        break;
    case MainLoad::CustomSize::Mode::Files:
        gSplitModeFiles = true;
        gSplitFiles = c.splitFiles;
        break;
    }
    CustomSizeChk->setText(c.caption);
    if (c.repairedCompanion) {
        writeSetting(Settings::sSize, sSize);
        writeSetting(MainLoad::CompanionValueName(sSize), *c.repairedCompanion);
    }
}

// From the file-type box on, under the load's error handler.
void kivromainfrm::LoadBrowserFoldersAndRest()
{
    // The file-type box.
    QStringList filters = MainLoad::LoadFileFilterList();
    if (filters.isEmpty() && win::RegStoreWriteFailed()) {
        // A store that cannot be written is not a damaged one: restarting would not repair it,
        // so the program works on with the default types it now holds in memory.
        ResetFileFilter();
        filters = MainLoad::LoadFileFilterList();
    }
    // Selecting the first type of an empty box is an invalid property value.
    if (filters.isEmpty()) {
        const QSignalBlocker block(pattern_cmb);
        pattern_cmb->clear();
        raiseError(380);
    }
    FillFileTypeBox(filters);

    // Browser state.
    if (File1->count() > 0) {
        File1->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        File1_Click();
    }
    gCurrentDir = Dir1->Path();
    seldirfulltmp_lbl->setText(Dir1->Path());
    QString shown;
    FormatDir(Dir1->Path(), shown, kFolderLabelTwips);
    seldir_lbl->setText(shown);

    // Unpack-to folder.
    gUnpackCustomDir = gCurrentDir;
    {
        const QString stored = readSetting(Settings::UnpackCustomDir);
        if (MainLoad::FolderExists(stored))
            gUnpackCustomDir = stored;
        writeSetting(Settings::UnpackCustomDir, gUnpackCustomDir);
    }

    // Save-to folder.
    gSaveCustomDir = gCurrentDir;
    {
        const QString stored = readSetting(Settings::SaveCustomDir);
        if (MainLoad::FolderExists(stored))
            gSaveCustomDir = stored;
        writeSetting(Settings::SaveCustomDir, gSaveCustomDir);
    }
    SaveAsNewFilename_txt->setText(paths::joinPath(gCurrentDir, kDefaultFileName));

    // The save-as box by the save-to choice.
    if (readOptionRow(Settings::SaveToOptions) == Settings::kSaveToCustomRow) {
        const QString stored = readSetting(Settings::SaveCustomDir);
        gSaveCustomDir = MainLoad::FolderExists(stored) ? stored : gCurrentDir;
        SaveAsNewFilename_txt->setText(paths::joinPath(gSaveCustomDir, kDefaultFileName));
        writeSetting(Settings::SaveCustomDir, gSaveCustomDir);
    } else {
        const QString stored = readSetting(Settings::LastSavedDir);
        const QString folder = MainLoad::FolderExists(stored) ? stored : gCurrentDir;
        SaveAsNewFilename_txt->setText(paths::joinPath(folder, kDefaultFileName));
        writeSetting(Settings::LastSavedDir, folder);
    }

    // The media drivers of the per-user system.ini.
    MainLoad::CorrectMciDrivers();

    // The preview slider: disabled until a file opens in the preview.
    MSSlider->setMin(0);
    MSSlider->setMax(100);
    MSSlider->ColInit();
    MSSlider->setEnabled(false);

    // The copyright stamp lines.
    LoadCopyrightStampLines();

    // The start-up custom folder.
    gStartupCustomDir = gCurrentDir;
    {
        const QString stored = readSetting(Settings::StartupCustomDir);
        if (stored.isEmpty()) {
            writeSetting(Settings::StartupCustomDir, gCurrentDir);
        } else {
            gStartupCustomDir = MainLoad::FolderExists(stored) ? stored : gCurrentDir;
            MoveBrowserTo(gStartupCustomDir);
            writeSetting(Settings::StartupCustomDir, gStartupCustomDir);
        }
    }

    // The start folder.
    if (readOptionRow(Settings::StartupOptions) == Settings::kStartupCustomRow) {
        const QString stored = readSetting(Settings::StartupCustomDir);
        gStartupCustomDir = MainLoad::FolderExists(stored) ? stored : gCurrentDir;
        MoveBrowserTo(gStartupCustomDir);
        writeSetting(Settings::StartupCustomDir, gStartupCustomDir);
    } else {
        const QString stored = readSetting(Settings::LastUsedDir);
        if (MainLoad::FolderExists(stored)) {
            MoveBrowserTo(stored);
            writeSetting(Settings::LastUsedDir, stored);
        } else {
            MoveBrowserTo(gCurrentDir);
            writeSetting(Settings::LastUsedDir, gCurrentDir);
        }
    }

    // The one File64 object, and the normal pointer again.
    if (!mFile64)
        mFile64 = std::make_unique<File64>();
    setMousePointer(kPointerDefault);
}

void kivromainfrm::LoadCopyrightStampLines()
{
    // The stamp editor is loaded hidden: its load fills CopyrightStamping_lst from the stamp file
    // (creating a missing one), and its first opening shows that text.
    CopyrightStampForm()->Form_Load();
}

void kivromainfrm::MoveBrowserTo(const QString& folder)
{
    // The browser's change events set gCurrentDir, the file list and the folder labels.
    BrowseTo(AddSlash(folder));
}

} // namespace kivro
