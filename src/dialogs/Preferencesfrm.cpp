#include "dialogs/Preferencesfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/DialogsHost.h"
#include "engine/MainWindowHosts.h"
#include "dialogs/copyrightstampingfrm.h"
#include "dialogs/customfilefilterfrm.h"
#include "dialogs/customfilesizefrm.h"
#include "engine/CustomSize.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "platform/Globals.h"
#include "platform/Icon32bit.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"
#include "platform/WindowHandlers.h"

#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <functional>
#include <initializer_list>

namespace kivro {

Preferencesfrm* gPreferencesForm = nullptr;

Preferencesfrm* PreferencesWindow()
{
    if (!gPreferencesForm)
        gPreferencesForm = new Preferencesfrm();
    return gPreferencesForm;
}

namespace {

using Registry::readSetting;
using Registry::writeSetting;

// Places are in whole twips, each at its nearest pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// The grid: row k's top, and the columns of captions, value boxes and combos.
constexpr int kGridTop = 600;
constexpr int kRowStep = 360;
constexpr int kRowHeight = 255;
constexpr int kComboHeight = 315;
int rowTop(int k)
{
    return kGridTop + kRowStep * k;
}

// The built-in item lists; index 4 of the size list and the custom folder items change at run
// time and get their built-in text back at every loading.
// The custom rows, whose item shows the chosen folder or size.
constexpr int kUnpackToCustom = Settings::kUnpackToCustomRow;
constexpr int kSaveToCustom = Settings::kSaveToCustomRow;
constexpr int kStartupCustom = Settings::kStartupCustomRow;
constexpr int kSizeCustom = Settings::kSizeCustomRow;
const QString kCustomDirectory = QString(Settings::UnpackToOptions.row(kUnpackToCustom).prefsItem);
const QString kBuiltInCustomSize = QString(Settings::SizeOptions.row(kSizeCustom).prefsItem);

// A group's list: the preferences item of each row.
QStringList itemsOf(const Settings::OptionGroup& group)
{
    QStringList items;
    for (const Settings::OptionRow& r : group.rows)
        items << QString(r.prefsItem);
    return items;
}

const QStringList kCategories = {
    QStringLiteral("General"),
    Preferencesfrm::kSeparatorText,
    QStringLiteral("Unpack Type"),
    QStringLiteral("Unpack To"),
    QStringLiteral("Unpack Size"),
    Preferencesfrm::kSeparatorText,
    QStringLiteral("Transfer Rate"),
    Preferencesfrm::kSeparatorText,
    QStringLiteral("Save"),
    QStringLiteral("Startup"),
    Preferencesfrm::kSeparatorText,
    QStringLiteral("Delete After Action"),
    QStringLiteral("Create Join Batch"),
    QStringLiteral("Overwrite Save File"),
    Preferencesfrm::kSeparatorText,
    QStringLiteral("Zip Compression"),
    QStringLiteral("Mpeg Compatibilty Check"),
    Preferencesfrm::kSeparatorText,
    QStringLiteral("Miscellaneous"),
    Preferencesfrm::kSeparatorText,
    QStringLiteral("Custom Filetype"),
};

bool isSeparator(int row)
{
    return row >= 0 && row < kCategories.size() && kCategories.at(row) == Preferencesfrm::kSeparatorText;
}

// The item of a stored text: its place in `texts`, else `otherwise`.
int itemFor(const QString& stored, std::initializer_list<const char*> texts, int otherwise)
{
    int i = 0;
    for (const char* t : texts) {
        if (stored == QLatin1String(t))
            return i;
        ++i;
    }
    return otherwise;
}

QString customFolderText(const QString& folder)
{
    return QStringLiteral("Custom - ") + folder;
}

// Sets a flag for as long as it lives, also when a handler it wraps throws.
class CalledFromPreferences {
public:
    CalledFromPreferences() { gCalledFromPreferences = true; }
    ~CalledFromPreferences() { gCalledFromPreferences = false; }
    CalledFromPreferences(const CalledFromPreferences&) = delete;
    CalledFromPreferences& operator=(const CalledFromPreferences&) = delete;
};

} // namespace

// --- the category list ----------------------------------------------------------------------

void PrefCategoryBox::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event->key());
    QComboBox::keyPressEvent(event);
}

void PrefCategoryBox::wheelEvent(QWheelEvent* event)
{
    // A step of the wheel moves the selection as an arrow key does, and sets the direction so.
    const int dy = event->angleDelta().y();
    if (dy > 0)
        emit keyDown(Qt::Key_Up);
    else if (dy < 0)
        emit keyDown(Qt::Key_Down);
    QComboBox::wheelEvent(event);
}

// --- building -------------------------------------------------------------------------------

Preferencesfrm::Preferencesfrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Preferencesfrm"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The grid's places are measured for the window's small face: "Arial" 8.25 pt.
    QFont face(QStringLiteral("Arial"));
    face.setPointSizeF(8.25);
    setFont(face);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    Frame1->setGeometry(twips(120, 120, 5895, 5220));

    PrefCmb = new PrefCategoryBox(this);
    PrefCmb->setObjectName(QStringLiteral("PrefCmb"));
    PrefCmb->addItems(kCategories);
    PrefCmb->setMaxVisibleItems(int(kCategories.size()));
    PrefCmb->setGeometry(twips(240, 120, 2295, kComboHeight));

    auto button = [this](const QString& caption, const char* name, const QRect& place) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setGeometry(place);
        return b;
    };
    Reset_Cmd = button(QStringLiteral("Reset"), "Reset_Cmd", twips(2640, 140, 735, 280));
    SavePref_cmd = button(QStringLiteral("&OK"), "SavePref_cmd", twips(4740, 480, 1095, 375));
    SavePref_cmd->setDefault(true);
    cancel_cmd = button(QStringLiteral("Cancel"), "cancel_cmd", twips(4740, 885, 1095, 375));
    PrevCmd = button(QStringLiteral("&Prev"), "PrevCmd", twips(4740, 1395, 1095, 375));
    NextCmd = button(QStringLiteral("&Next"), "NextCmd", twips(4740, 1800, 1095, 375));

    struct GridRow {
        const char* caption;
        QLineEdit** box;
        const char* boxName;
        QComboBox** combo;
        const char* comboName;
        QStringList items;
    };
    const std::vector<GridRow> grid = {
        {"Unpack Type:", &UnpackTypeTxt, "UnpackTypeTxt", &UnpackTypeCmb, "UnpackTypeCmb",
         itemsOf(Settings::UnpackTypeOptions)},
        {"Unpack To:", &UnpackToTxt, "UnpackToTxt", &UnpackToCmb, "UnpackToCmb", itemsOf(Settings::UnpackToOptions)},
        {"Unpack Size:", &UnpackSizeTxt, "UnpackSizeTxt", &UnpackSizeCmb, "UnpackSizeCmb",
         itemsOf(Settings::SizeOptions)},
        {"Transfer Rate:", &TransferRateTxt, "TransferRateTxt", &TransferRateCmb, "TransferRateCmb",
         itemsOf(Settings::RateOptions)},
        {"Save To:", &SaveToTxt, "SaveToTxt", &SaveToCmb, "SaveToCmb", itemsOf(Settings::SaveToOptions)},
        {"Startup:", &StartupTxt, "StartupTxt", &StartupCmb, "StartupCmb", itemsOf(Settings::StartupOptions)},
        {"Delete After Action:", &DelactTxt, "DelactTxt", &DelactCmb, "DelactCmb", itemsOf(Settings::DeleteOptions)},
        {"Generate Batch File:", &CreateJoinBatTxt, "CreateJoinBatTxt", &CreateJoinBatCmb, "CreateJoinBatCmb",
         itemsOf(Settings::JoinBatchOptions)},
        {"Overwrite Save File:", &OverwriteSaveFileTxt, "OverwriteSaveFileTxt", &OverwriteSaveFileCmb,
         "OverwriteSaveFileCmb", itemsOf(Settings::OverwriteOptions)},
        {"Zip Compression:", &ZipTxt, "ZipTxt", &ZipCmb, "ZipCmb", {QStringLiteral("No"), QStringLiteral("Yes")}},
        {"Mpeg Compatibility Check:",
         &MCCTxt,
         "MCCTxt",
         &MCCCmb,
         "MCCCmb",
         {QStringLiteral("No"), QStringLiteral("Yes")}},
        {"Show 'Pack It' In Explorer:",
         &ShowPackItInExplorerTxt,
         "ShowPackItInExplorerTxt",
         &ShowPackItInExplorerCmb,
         "ShowPackItInExplorerCmb",
         {QStringLiteral("No"), QStringLiteral("Yes")}},
        {"No of Custom Filetype:", &NoOfCustomFilterTxt, "NoOfCustomFilterTxt", nullptr, nullptr, {}},
    };
    for (int k = 0; k < int(grid.size()); ++k) {
        const GridRow& r = grid[std::size_t(k)];
        auto* caption = new QLabel(QLatin1String(r.caption), this);
        caption->setObjectName(QStringLiteral("Label%1").arg(k + 1));
        caption->setGeometry(twips(240, rowTop(k), 1935, kRowHeight));
        // A caption a little wider than its place ("Mpeg Compatibility Check:") is set a little
        // closer, so that it shows whole in the place it has.
        const int needed = caption->fontMetrics().horizontalAdvance(caption->text());
        if (needed > caption->width()) {
            QFont closer = caption->font();
            closer.setLetterSpacing(QFont::PercentageSpacing, 100.0 * caption->width() / needed - 0.5);
            caption->setFont(closer);
        }
        captions.push_back(caption);
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(r.boxName));
        box->setReadOnly(true);
        // A value box only shows: it never takes the keyboard, and it shows the start of a text
        // too long for it ("Custom - ..." before the folder's end).
        box->setFocusPolicy(Qt::NoFocus);
        connect(box, &QLineEdit::cursorPositionChanged, box, [box](int, int now) {
            if (now != 0)
                box->setCursorPosition(0);
        });
        box->setGeometry(twips(2280, rowTop(k), r.combo ? 2295 : 615, kRowHeight));
        *r.box = box;
        if (!r.combo)
            continue;
        auto* combo = new QComboBox(this);
        combo->setObjectName(QLatin1String(r.comboName));
        combo->addItems(r.items);
        const int width = r.combo == &CreateJoinBatCmb ? 1650 : 2415;
        combo->setGeometry(twips(2220, rowTop(k) - 60, width, kComboHeight));
        combo->hide();
        *r.combo = combo;
    }
    CopyrightStamping_Cmd = button(QStringLiteral("Stamp..."), "CopyrightStamping_Cmd", twips(3900, 3090, 700, 280));
    CustomFileFilterCmd = button(QStringLiteral("Filetype..."), "CustomFileFilterCmd",
                                 twips(2760, rowTop(12), 1815, kRowHeight));
    setFixedSize(twipsToPixels(120 + 5895 + 120), twipsToPixels(120 + 5220 + 120));

    m_rows = {
        {UnpackTypeCmb, &Preferencesfrm::UnpackTypeCmb_Click},
        {UnpackToCmb, &Preferencesfrm::UnpackToCmb_Click},
        {UnpackSizeCmb, &Preferencesfrm::UnpackSizeCmb_Click},
        {TransferRateCmb, &Preferencesfrm::TransferRateCmb_Click},
        {SaveToCmb, &Preferencesfrm::SaveToCmb_Click},
        {StartupCmb, &Preferencesfrm::StartupCmb_Click},
        {DelactCmb, &Preferencesfrm::DelactCmb_Click},
        {CreateJoinBatCmb, &Preferencesfrm::CreateJoinBatCmb_Click},
        {OverwriteSaveFileCmb, &Preferencesfrm::OverwriteSaveFileCmb_Click},
        {ZipCmb, &Preferencesfrm::ZipCmb_Click},
        {MCCCmb, &Preferencesfrm::MCCCmb_Click},
        {ShowPackItInExplorerCmb, &Preferencesfrm::ShowPackItInExplorerCmb_Click},
    };
    for (const SettingRow& r : m_rows) {
        const Handler h = r.handler;
        connect(r.combo, &QComboBox::activated, this, [this, h] { (this->*h)(); });
    }
    connect(PrefCmb, &QComboBox::activated, this, [this] { PrefCmb_Click(); });
    connect(PrefCmb, &PrefCategoryBox::keyDown, this, [this](int key) { PrefCmb_KeyDown(key); });
    connect(PrevCmd, &QPushButton::clicked, this, [this] { PrevCmd_Click(); });
    connect(NextCmd, &QPushButton::clicked, this, [this] { NextCmd_Click(); });
    connect(SavePref_cmd, &QPushButton::clicked, this, [this] { SavePref_cmd_Click(); });
    connect(cancel_cmd, &QPushButton::clicked, this, [this] { cancel_cmd_Click(); });
    connect(Reset_Cmd, &QPushButton::clicked, this, [this] { Reset_Cmd_Click(); });
    connect(CopyrightStamping_Cmd, &QPushButton::clicked, this, [this] { CopyrightStamping_Cmd_Click(); });
    connect(CustomFileFilterCmd, &QPushButton::clicked, this, [this] { CustomFileFilterCmd_Click(); });
    PrevCmd->installEventFilter(this);
}

Preferencesfrm::~Preferencesfrm()
{
    // Its controls go after this body: none of their signals reaches the window from here on.
    StopWindowHandlers(*this);
    if (gPreferencesForm == this)
        gPreferencesForm = nullptr;
}

bool Preferencesfrm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PrevCmd && event->type() == QEvent::KeyRelease)
        PrevCmd_KeyUp();
    return QDialog::eventFilter(watched, event);
}

// --- selecting by code ----------------------------------------------------------------------

Preferencesfrm::Handler Preferencesfrm::handlerOf(QComboBox* combo) const
{
    if (combo == PrefCmb)
        return &Preferencesfrm::PrefCmb_Click;
    for (const SettingRow& r : m_rows)
        if (r.combo == combo)
            return r.handler;
    return nullptr;
}

void Preferencesfrm::select(QComboBox* combo, int index)
{
    {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(index);
    }
    if (const Handler h = handlerOf(combo))
        (this->*h)();
}

QComboBox* Preferencesfrm::pageCombo(int row) const
{
    switch (row) {
    case 2:
        return UnpackTypeCmb;
    case 3:
        return UnpackToCmb;
    case 4:
        return UnpackSizeCmb;
    case 6:
        return TransferRateCmb;
    case 8:
        return SaveToCmb;
    case 9:
        return StartupCmb;
    case 11:
        return DelactCmb;
    case 12:
        return CreateJoinBatCmb;
    case 13:
        return OverwriteSaveFileCmb;
    case 15:
        return ZipCmb;
    case 16:
        return MCCCmb;
    case 18:
        return ShowPackItInExplorerCmb;
    default:
        return nullptr;
    }
}

// --- paging ---------------------------------------------------------------------------------

void Preferencesfrm::PrefCmb_Click()
{
    int row = PrefCmb->currentIndex();
    if (isSeparator(row)) {
        // Runs this handler again for the row passed to, then goes on here for it.
        select(PrefCmb, PagingBackward ? row - 1 : row + 1);
        row = PrefCmb->currentIndex();
    }
    QComboBox* own = pageCombo(row);
    for (const SettingRow& r : m_rows) {
        if (r.combo == own) {
            r.combo->show();
            r.combo->raise();
        } else {
            r.combo->hide();
        }
    }
    CopyrightStamping_Cmd->setEnabled(row == 12);
    CustomFileFilterCmd->setEnabled(row == kLastCategory);
    PrevCmd->setEnabled(row != 0);
    NextCmd->setEnabled(row != kLastCategory);
}

void Preferencesfrm::PrefCmb_KeyDown(int KeyCode)
{
    if (KeyCode == Qt::Key_Up)
        PagingBackward = true;
    else if (KeyCode == Qt::Key_Down)
        PagingBackward = false;
}

void Preferencesfrm::NextCmd_Click()
{
    PagingBackward = false;
    const int row = PrefCmb->currentIndex();
    if (row < kLastCategory)
        select(PrefCmb, row + 1);
}

void Preferencesfrm::PrevCmd_Click()
{
    PagingBackward = true;
    const int row = PrefCmb->currentIndex();
    if (row >= 1)
        select(PrefCmb, row - 1);
    PagingBackward = false;
}

void Preferencesfrm::PrevCmd_KeyUp()
{
    PagingBackward = false;
}

// --- the setting combos ---------------------------------------------------------------------

void Preferencesfrm::UnpackTypeCmb_Click()
{
    UnpackTypeTxt->setText(UnpackTypeCmb->currentText());
}

void Preferencesfrm::TransferRateCmb_Click()
{
    TransferRateTxt->setText(TransferRateCmb->currentText());
}

void Preferencesfrm::DelactCmb_Click()
{
    DelactTxt->setText(DelactCmb->currentText());
}

void Preferencesfrm::CreateJoinBatCmb_Click()
{
    CreateJoinBatTxt->setText(CreateJoinBatCmb->currentText());
}

void Preferencesfrm::OverwriteSaveFileCmb_Click()
{
    OverwriteSaveFileTxt->setText(OverwriteSaveFileCmb->currentText());
}

void Preferencesfrm::ZipCmb_Click()
{
    ZipTxt->setText(ZipCmb->currentText());
}

void Preferencesfrm::MCCCmb_Click()
{
    MCCTxt->setText(MCCCmb->currentText());
}

void Preferencesfrm::ShowPackItInExplorerCmb_Click()
{
    ShowPackItInExplorerTxt->setText(ShowPackItInExplorerCmb->currentText());
}

// The custom folder rows: the chooser runs only once loading has finished; a chosen folder
// rewrites the custom item (setSaveToCustom and its siblings) before its text is copied.
void Preferencesfrm::customFolderRow(QComboBox* combo, int customItem, void (DialogsHost::*chooser)(), QLineEdit* box)
{
    const CalledFromPreferences flag;
    if (combo->currentIndex() == customItem && PrefLoaded && gDialogsHost)
        (gDialogsHost->*chooser)();
    box->setText(combo->currentText());
}

void Preferencesfrm::UnpackToCmb_Click()
{
    customFolderRow(UnpackToCmb, kUnpackToCustom, &DialogsHost::UnpackCustomDirMnu_Click, UnpackToTxt);
}

void Preferencesfrm::SaveToCmb_Click()
{
    customFolderRow(SaveToCmb, kSaveToCustom, &DialogsHost::SaveCustomDirMnu_Click, SaveToTxt);
}

void Preferencesfrm::StartupCmb_Click()
{
    customFolderRow(StartupCmb, kStartupCustom, &DialogsHost::StartupCustomDirMnu_Click, StartupTxt);
}

void Preferencesfrm::UnpackSizeCmb_Click()
{
    const CalledFromPreferences flag;
    UnpackSizeTxt->setText(UnpackSizeCmb->currentText());
    if (UnpackSizeCmb->currentIndex() == kSizeCustom && PrefLoaded)
        CustomFileSizeForm()->Show();
}

void Preferencesfrm::CopyrightStamping_Cmd_Click()
{
    CopyrightStampForm()->Show();
}

void Preferencesfrm::CustomFileFilterCmd_Click()
{
    CustomFileFilterForm()->Show();
}

// --- what the dialogs and choosers write here -------------------------------------------------

void Preferencesfrm::setSaveToCustom(const QString& text)
{
    SaveToCmb->setItemText(0, text);
    SaveToTxt->setText(text);
}

void Preferencesfrm::setStartupCustom(const QString& text)
{
    StartupCmb->setItemText(0, text);
    StartupTxt->setText(text);
}

void Preferencesfrm::setUnpackToCustom(const QString& text)
{
    UnpackToCmb->setItemText(2, text);
    UnpackToTxt->setText(text);
}

void Preferencesfrm::setPendingCustomSize(CustomSizeMode mode, std::int32_t number, const QString& text)
{
    switch (mode) {
    case CustomSizeMode::Size:
        PrefCustomFileSize = number;
        break;
    case CustomSizeMode::First:
        PrefCustomFirstFileSize = number;
        break;
    case CustomSizeMode::Last:
        PrefCustomLastFileSize = number;
        break;
    case CustomSizeMode::Percent:
        PrefCustomPercentFileSize = number;
        break;
    case CustomSizeMode::Files:
        PrefCustomNoOfFiles = number;
        break;
    }
    UnpackSizeCmb->setItemText(kSizeCustom, text);
    UnpackSizeTxt->setText(text);
    PrefCustomFs = mode == CustomSizeMode::Size;
    PrefCustomFfs = mode == CustomSizeMode::First;
    PrefCustomLfs = mode == CustomSizeMode::Last;
    PrefCustomPfs = mode == CustomSizeMode::Percent;
    PrefCustomNof = mode == CustomSizeMode::Files;
}

void Preferencesfrm::setNoOfCustomFilterTxt(const QString& count)
{
    // A window that is not open is not loaded for this: its next showing loads it afresh and
    // reads the count then.
    NoOfCustomFilterTxt->setText(count);
}

// --- loading --------------------------------------------------------------------------------

void Preferencesfrm::Show()
{
    Form_Load();
    exec();
}

void Preferencesfrm::restoreBuiltInItems()
{
    UnpackSizeCmb->setItemText(kSizeCustom, kBuiltInCustomSize);
    UnpackToCmb->setItemText(kUnpackToCustom, kCustomDirectory);
    SaveToCmb->setItemText(kSaveToCustom, kCustomDirectory);
    StartupCmb->setItemText(kStartupCustom, kCustomDirectory);
}

void Preferencesfrm::Form_Load()
{
    PrefLoaded = false;
    PrefSaved = false;
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
    restoreBuiltInItems();
    select(PrefCmb, 0);
    PrevCmd->setEnabled(false);

    select(UnpackTypeCmb, Registry::readOptionRow(Settings::UnpackTypeOptions));
    select(ShowPackItInExplorerCmb, itemFor(readSetting(Settings::CKivro), {"Off", "On"}, 0));
    select(TransferRateCmb, Registry::readOptionRow(Settings::RateOptions));
    const QString sSize = readSetting(Settings::sSize);
    if (CustomSizes::IsCustomSizeText(sSize)) {
        const QString stored = readSetting(CustomSizes::CompanionValueName(sSize));
        UnpackSizeCmb->setItemText(kSizeCustom, CustomSizes::CustomSizeFor(sSize, stored).caption);
        select(UnpackSizeCmb, kSizeCustom);
    } else {
        select(UnpackSizeCmb, Settings::SizeOptions.rowOf(sSize));
    }
    const int unpackTo = Registry::readOptionRow(Settings::UnpackToOptions);
    if (unpackTo == kUnpackToCustom)
        UnpackToCmb->setItemText(kUnpackToCustom, customFolderText(gUnpackCustomDir));
    select(UnpackToCmb, unpackTo);
    select(CreateJoinBatCmb, Registry::readOptionRow(Settings::JoinBatchOptions));
    select(DelactCmb, Registry::readOptionRow(Settings::DeleteOptions));
    const int saveTo = Registry::readOptionRow(Settings::SaveToOptions);
    if (saveTo == kSaveToCustom)
        SaveToCmb->setItemText(kSaveToCustom, customFolderText(gSaveCustomDir));
    select(SaveToCmb, saveTo);
    const int startup = Registry::readOptionRow(Settings::StartupOptions);
    if (startup == kStartupCustom)
        StartupCmb->setItemText(kStartupCustom, customFolderText(gStartupCustomDir));
    select(StartupCmb, startup);
    select(OverwriteSaveFileCmb, Registry::readOptionRow(Settings::OverwriteOptions));
    select(ZipCmb, itemFor(readSetting(Settings::MZip), {"Off", "On"}, 0));
    select(MCCCmb, itemFor(readSetting(Settings::MCC), {"Off", "On"}, 1));

    PrefSaveUnpackCustomDir = gUnpackCustomDir;
    PrefSaveToCustomDir = gSaveCustomDir;
    PrefStartupCustomDir = gStartupCustomDir;
    NoOfCustomFilterTxt->setText(readSetting(Settings::NoOfFilter));
    PrefLoaded = true;
}

// --- OK -------------------------------------------------------------------------------------

void Preferencesfrm::SavePref_cmd_Click()
{
    if (DialogsHost* host = gDialogsHost) {
        // Every choice of the window goes to the settings file in one write. A list's row runs
        // its handler; a custom row applies the folder or size the window holds.
        Registry::GroupWrite group;
        struct Applied {
            const QComboBox* combo;
            const Settings::OptionGroup& options;
            int customRow;
            std::function<void()> applyCustom;
        };
        const Applied applied[] = {
            {UnpackTypeCmb, Settings::UnpackTypeOptions, -1, {}},
            {UnpackToCmb, Settings::UnpackToOptions, kUnpackToCustom, [host] { host->ApplyUnpackCustomDir(); }},
            {UnpackSizeCmb, Settings::SizeOptions, kSizeCustom, [this] { applyPendingCustomSize(); }},
            {TransferRateCmb, Settings::RateOptions, -1, {}},
            {DelactCmb, Settings::DeleteOptions, -1, {}},
            {CreateJoinBatCmb, Settings::JoinBatchOptions, -1, {}},
            {SaveToCmb, Settings::SaveToOptions, kSaveToCustom, [host] { host->ApplySaveCustomDir(); }},
            {StartupCmb, Settings::StartupOptions, kStartupCustom, [host] { host->ApplyStartupCustomDir(); }},
            {OverwriteSaveFileCmb, Settings::OverwriteOptions, -1, {}},
        };
        for (const Applied& a : applied) {
            const int row = a.combo->currentIndex();
            if (row == a.customRow)
                a.applyCustom();
            else if (row >= 0 && row < a.options.count())
                host->ChooseOption(a.options, row);
        }
        host->SetExplorerVerb(ShowPackItInExplorerCmb->currentIndex() != 0);
        host->SetZipCompress(ZipCmb->currentIndex() != 0);
        host->SetMpegCheck(MCCCmb->currentIndex() != 0);
    }
    PrefSaved = true;
    done(QDialog::Accepted);
}

void Preferencesfrm::applyPendingCustomSize()
{
    // The dialog leaves at most one flag set; they are tested in this order. Nothing pending
    // (the dialog not used since start) leaves the size as it is.
    struct Pending {
        bool flag;
        CustomSizeMode mode;
        std::int32_t number;
    };
    const Pending pending[] = {
        {PrefCustomFs, CustomSizeMode::Size, PrefCustomFileSize},
        {PrefCustomFfs, CustomSizeMode::First, PrefCustomFirstFileSize},
        {PrefCustomLfs, CustomSizeMode::Last, PrefCustomLastFileSize},
        {PrefCustomPfs, CustomSizeMode::Percent, PrefCustomPercentFileSize},
        {PrefCustomNof, CustomSizeMode::Files, PrefCustomNoOfFiles},
    };
    for (const Pending& p : pending) {
        if (!p.flag)
            continue;
        gDialogsHost->setCustomSizeChkCaption(CustomSizes::Caption(p.mode, p.number));
        writeSetting(Settings::sSize, CustomSizes::SSizeText(p.mode));
        if (p.mode == CustomSizeMode::Percent)
            writeSetting(Settings::cPfs, QString::number(p.number));
        else if (p.mode == CustomSizeMode::Files)
            writeSetting(Settings::cNof, QString::number(p.number));
        else
            writeSetting(Settings::cSize, QString::number(std::int64_t(p.number) * 1024));
    }
}

// --- Cancel, Reset and closing ----------------------------------------------------------------

void Preferencesfrm::cancel_cmd_Click()
{
    done(QDialog::Rejected);
}

void Preferencesfrm::Reset_Cmd_Click()
{
    MsgBoxResult(QStringLiteral("Are you sure you want to reset and restore all default settings?"),
                 vbInformation | vbYesNo | vbDefaultButton2 | vbTopMost, kAppTitle);
    if (gMsgResult != vbYes)
        return;
    ResetDefaultSettings();
}

void Preferencesfrm::ResetDefaultSettings()
{
    // Pending like any other choice: only OK applies them.
    select(UnpackTypeCmb, Settings::UnpackTypeOptions.fallbackRow());
    select(ShowPackItInExplorerCmb, 0);
    select(TransferRateCmb, Settings::RateOptions.fallbackRow());
    select(SaveToCmb, Settings::SaveToOptions.fallbackRow());
    select(StartupCmb, Settings::StartupOptions.fallbackRow());
    select(UnpackSizeCmb, Settings::SizeOptions.fallbackRow());
    select(UnpackToCmb, Settings::UnpackToOptions.fallbackRow());
    select(CreateJoinBatCmb, Settings::JoinBatchOptions.fallbackRow());
    select(DelactCmb, Settings::DeleteOptions.fallbackRow());
    select(ZipCmb, 0);
    select(MCCCmb, 1);
    select(OverwriteSaveFileCmb, Settings::OverwriteOptions.fallbackRow());
    NoOfCustomFilterTxt->setText(QStringLiteral("3"));
    // The file types are rewritten at once, and the main window's type box follows them, so that
    // each of its entries stands for the stored type of its place.
    ResetFileFilter();
    QStringList shown;
    for (const FileFilter& f : ReadFileFilterStore().entries)
        shown << f.displayForm();
    if (gDialogsHost)
        gDialogsHost->FillFileTypeBox(shown);
}

void Preferencesfrm::Form_Unload()
{
    // Folders chosen while the window was open are set at once; without OK they go back.
    if (PrefLoaded && !PrefSaved) {
        gUnpackCustomDir = PrefSaveUnpackCustomDir;
        gSaveCustomDir = PrefSaveToCustomDir;
        gStartupCustomDir = PrefStartupCustomDir;
    }
    PrefLoaded = false;
    PrefSaved = false;
}

void Preferencesfrm::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

} // namespace kivro
