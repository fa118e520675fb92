#pragma once
// Where every control of the main window sits on the skin.
//
// The window keeps its classic outer size, 540 x 334 device-independent pixels (8,100 x 5,010
// twips: a 3-pixel frame and a 19-pixel caption around a 534 x 309 client area), so that stored
// positions and the docking numbers keep their meaning. The window is frameless and shaped by
// MainWindowMask(); the skin picture "main_bg" (534 x 309) is drawn at kSkinOrigin, where the
// client area would begin, and every rectangle below is in skin pixels: add kSkinOrigin to place
// a control in the window (windowRect() does).
//
// Controls that share a place (the same `place` text) are never shown together: the Pack,
// Pack-pressed and Pack-Cancel pictures, Unpack and Unpack-Cancel, busy and not busy, sound on
// and off, Play and Resume, the two percentage labels. A `container` (a frame or a picture strip)
// may hold other controls inside it. Apart from those, no two rectangles overlap, and every one
// lies wholly inside the window's shape (tests/mainwindow/tst_skinlayout.cpp checks both, and
// that the longest text of each label fits its rectangle in "Arial" 8.25 pt).
//
// Text: labels on the title bar (TesmaKivroCaption, bold) use kTitleTextColor; every other label
// sits on a light panel and uses kPanelTextColor. The percentage labels are centred in the seat
// the skin draws for them; the progress bar sits in the dark trough beside it.
#include "platform/SkinLayoutEntry.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <string_view>

namespace kivro::skin {

using LayoutEntry = kivro::SkinLayoutEntry;
using Kind = kivro::SkinKind;

inline constexpr QSize kOuterSize{540, 334};
inline constexpr QPoint kSkinOrigin{3, 22};
inline constexpr QSize kSkinSize{534, 309};

inline constexpr QRgb kTitleTextColor = kivro::kSkinTitleTextColor;
inline constexpr QRgb kPanelTextColor = kivro::kSkinPanelTextColor;

// clang-format off
inline constexpr std::array kMainLayout = {
    // Title bar: drag handles, the menu bar pictures, Minimise and Close.
    LayoutEntry{"KivroIcon_Img",           {8, 4, 16, 16},     Kind::Picture,  "kivro_icon", ""},
    LayoutEntry{"TesmaKivroCaption",       {28, 4, 124, 16},   Kind::Label,    "", "", false, "Tesma Kivro Pro v9.99"},
    LayoutEntry{"FileMenu_File_Img",       {166, 3, 40, 18},   Kind::Menu,     "menu_file", ""},
    LayoutEntry{"FileMenu_Action_Img",     {208, 3, 52, 18},   Kind::Menu,     "menu_action", ""},
    LayoutEntry{"FileMenu_Option_Img",     {262, 3, 60, 18},   Kind::Menu,     "menu_options", ""},
    LayoutEntry{"FileMenu_Help_Img",       {324, 3, 44, 18},   Kind::Menu,     "menu_help", ""},
    LayoutEntry{"ButtonMinimise_Img",      {484, 3, 18, 18},   Kind::Button,   "btn_minimise", ""},
    LayoutEntry{"ButtonClose_Img",         {506, 3, 18, 18},   Kind::Button,   "btn_close", ""},

    // File browser (left panel).
    LayoutEntry{"Drive1",                  {10, 32, 246, 20},  Kind::Combo,    "", ""},
    LayoutEntry{"Network_Img",             {260, 33, 18, 18},  Kind::Button,   "btn_network", ""},
    LayoutEntry{"Dir1",                    {10, 56, 268, 58},  Kind::List,     "", ""},
    LayoutEntry{"folder_lbl",              {10, 117, 14, 14},  Kind::Label,    "", ""},  // empty, over the folder glyph of the skin
    LayoutEntry{"seldir_lbl",              {26, 117, 254, 14}, Kind::Label,    "", "", false, ""},  // FormatDir keeps it within 3800 twips
    LayoutEntry{"File1",                   {10, 134, 268, 68}, Kind::List,     "", ""},
    LayoutEntry{"pattern_cmb",             {10, 206, 172, 20}, Kind::Combo,    "", ""},
    LayoutEntry{"ButtonSelectAll_Img",     {188, 207, 18, 18}, Kind::Button,   "btn_selectall", ""},
    LayoutEntry{"ButtonDeselectAll_Img",   {208, 207, 18, 18}, Kind::Button,   "btn_deselectall", ""},
    LayoutEntry{"ButtonSelectInverse_Img", {228, 207, 18, 18}, Kind::Button,   "btn_selectinverse", ""},
    LayoutEntry{"ButtonAdd_Img",           {260, 207, 18, 18}, Kind::Button,   "btn_add", ""},

    // Preview pane (right panel): the player's own geometry, moved as one block.
    LayoutEntry{"VideoFrameOnly",          {290, 34, 129, 99}, Kind::Frame,    "", "", true},
    LayoutEntry{"PreviewVideo_Frame",      {293, 43, 124, 87}, Kind::Frame,    "", ""},
    LayoutEntry{"MMSlider_BG",             {290, 134, 129, 14}, Kind::Picture, "slider_bg", "", true},
    LayoutEntry{"MSSlider",                {295, 134, 117, 14}, Kind::Slider,  "", ""},
    LayoutEntry{"ShowPreviewChk",          {290, 155, 15, 17}, Kind::Check,    "", ""},
    LayoutEntry{"ShowPreviewLbl",          {307, 157, 40, 14}, Kind::Label,    "", "", false, "Preview"},
    LayoutEntry{"CmdPlay",                 {353, 155, 16, 16}, Kind::PushButton, "", "play"},
    LayoutEntry{"CmdResume",               {353, 155, 16, 16}, Kind::PushButton, "", "play"},
    LayoutEntry{"CmdPause",                {369, 155, 16, 16}, Kind::PushButton, "", ""},
    LayoutEntry{"CmdStop",                 {385, 155, 16, 16}, Kind::PushButton, "", ""},
    LayoutEntry{"SoundOn_Img",             {403, 155, 16, 16}, Kind::Button,   "sound_on", "sound"},
    LayoutEntry{"SoundOff_Img",            {403, 155, 16, 16}, Kind::Button,   "sound_off", "sound"},

    // MPEG information card beside the preview.
    LayoutEntry{"MpegInfoVideoSize_Lbl",   {439, 40, 84, 14},  Kind::Label,    "", "", false, "1920x1088 (pxls)"},
    LayoutEntry{"MpegInfoVideoRate_Lbl",   {439, 60, 84, 14},  Kind::Label,    "", "", false, "Not Available"},
    LayoutEntry{"MoreInfo_Cmd",            {428, 82, 92, 22},  Kind::PushButton, "", "", false, "More Info..."},

    // Action row: the round Pack and Unpack pictures, the busy light, the web and mail links.
    LayoutEntry{"PackImg",                 {296, 182, 45, 42}, Kind::Round,    "pack", "pack"},
    LayoutEntry{"PackDownFullViewImg",     {296, 182, 45, 42}, Kind::Picture,  "pack_down", "pack"},
    LayoutEntry{"PackCANCELImg",           {296, 182, 45, 42}, Kind::Round,    "pack_cancel", "pack"},
    LayoutEntry{"UnpackImg",               {348, 182, 45, 42}, Kind::Round,    "unpack", "unpack"},
    LayoutEntry{"UnPackCANCELImg",         {348, 182, 45, 42}, Kind::Round,    "unpack_cancel", "unpack"},
    LayoutEntry{"BusyIconImg",             {400, 192, 22, 22}, Kind::Picture,  "busy", "busy"},
    LayoutEntry{"NotBusyIconImg",          {400, 192, 22, 22}, Kind::Picture,  "notbusy", "busy"},
    LayoutEntry{"WebBrowserImg",           {440, 187, 32, 32}, Kind::Round,    "link_web", ""},
    LayoutEntry{"EmailImg",                {482, 187, 32, 32}, Kind::Round,    "link_mail", ""},

    // Save-as row.
    LayoutEntry{"SaveAs_lbl",              {10, 238, 46, 14},  Kind::Label,    "", "", false, "Save As:"},
    LayoutEntry{"SaveAsNewFilename_txt",   {58, 235, 432, 20}, Kind::Edit,     "", ""},
    LayoutEntry{"Browse_cmd",              {494, 235, 28, 20}, Kind::PushButton, "", "", false, "..."},

    // Zip status row and progress row.
    LayoutEntry{"ZipAnimIco",              {34, 259, 16, 16},  Kind::Picture,  "zip_0", ""},
    LayoutEntry{"ZipProcess_Lbl",          {54, 260, 380, 14}, Kind::Label,    "", "", false,
                "Zipping '/home/someone/Videos/.../holiday-2023-part-one.mpg'"},
    LayoutEntry{"percentdone_lbl",         {34, 281, 34, 15},  Kind::Label,    "", "percent", false, "100%"},
    LayoutEntry{"percentdone_lbl_above96DPI", {34, 281, 34, 15}, Kind::Label,  "", "percent", false, "100%"},
    LayoutEntry{"mProgressBar",            {70, 281, 246, 15}, Kind::Progress, "", ""},
    LayoutEntry{"TimeRemainingLbl",        {322, 281, 180, 14}, Kind::Label,   "", "", false,
                "59 minutes 59 seconds remaining"},
};
// clang-format on

// Controls that exist for the code but are never seen (they lie outside the shape):
// the command buttons behind the skin pictures, the focus keeper, the hidden lists and the
// measuring labels. Create them hidden; they need no place.
// The preview's value labels and its CmdClose belong here too.
inline constexpr std::array<std::string_view, 28> kHiddenControls = {
    "AddFileToList_Cmb", "SelAll_Cmd",        "DeSelAll_Cmd",      "InvSel_Cmd",    "SetFocus_txt", "Min_Cmd",
    "close_cmd",         "seldirfulltmp_lbl", "filesel_lst",       "dirpos_lst",    "Mcheck_Lst",   "selpos_lstlentst",
    "CmdClose",          "LbFileName",        "LbFramesPerSecond", "LbTotalFrames", "LbTotalTime",  "LbActualCx",
    "LbActualCy",        "LbCurrentCx",       "LbCurrentCy",       "LbCurrentRate", "LbProgress",   "LbCurrPos",
    "LbCurrentTime",     "LbStatus",          "PlayProgressLbl",   "LbResult",
};

// The layout entry of a control; nullptr when the control has no place on the skin.
constexpr const LayoutEntry* findLayout(std::string_view name)
{
    return kivro::findSkinLayout(kMainLayout, name);
}

// A control's rectangle in skin pixels (empty when it has no place).
constexpr QRect skinRect(std::string_view name)
{
    return kivro::skinRectIn(kMainLayout, name);
}

// A control's rectangle in the main window (skin pixels moved by kSkinOrigin).
constexpr QRect windowRect(std::string_view name)
{
    return kivro::windowRectIn(kMainLayout, kSkinOrigin, name);
}

} // namespace kivro::skin
