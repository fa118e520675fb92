#pragma once
// Where every control of the pack-list window sits on its skin.
//
// The window keeps its classic outer size, 322 x 293 device-independent pixels (4,830 x 4,395
// twips: a 3-pixel dialog frame and a 19-pixel caption around its client area), which the
// docking rules assume. It is frameless and shaped by its skin region, a rounded rectangle of
// 316 x 268 pixels with 14-pixel corners at the frame offset (3, 22); the skin picture
// "packlist_bg" (316 x 268) is drawn there, and every rectangle below is in skin pixels.
//
// The Close, Select All, Deselect All and Select Inverse pictures are the main window's
// ("btn_close", "btn_selectall", ...). The menu-strip pictures and the scroll arrows have one
// picture each; the two move buttons have up and down pictures only. No two rectangles overlap
// and every one lies inside the window's shape (tests/mainwindow/tst_skinlayout.cpp).
#include "platform/SkinLayoutEntry.h"

#include <QPoint>
#include <QSize>
#include <array>
#include <string_view>

namespace kivro::packlistskin {

using LayoutEntry = kivro::SkinLayoutEntry;
using Kind = kivro::SkinKind;

inline constexpr QSize kOuterSize{322, 293};
inline constexpr QPoint kSkinOrigin{3, 22};
inline constexpr QSize kSkinSize{316, 268};
inline constexpr int kCornerEllipse = 14;

// clang-format off
inline constexpr std::array kPackListLayout = {
    // Title strip: drag handles, the pack-list file pictures, Close.
    LayoutEntry{"KivroIcon_Img",            {8, 4, 16, 16},    Kind::Picture, "kivro_icon", ""},
    LayoutEntry{"TesmaKivroCaption",        {28, 4, 64, 16},   Kind::Label,   "", "", false, "Pack List"},
    LayoutEntry{"BrovletMenu_Save_Img",     {98, 3, 42, 18},   Kind::Menu,    "packlist_menu_save", ""},
    LayoutEntry{"BrovletMenu_Load_Img",     {142, 3, 42, 18},  Kind::Menu,    "packlist_menu_load", ""},
    LayoutEntry{"BrovletMenu_Append_Img",   {186, 3, 56, 18},  Kind::Menu,    "packlist_menu_append", ""},
    LayoutEntry{"BrovletMenu_Clear_Img",    {244, 3, 44, 18},  Kind::Menu,    "packlist_menu_clear", ""},
    LayoutEntry{"ButtonClose_Img",          {292, 3, 18, 18},  Kind::Button,  "btn_close", ""},

    // The list and its column of arrows.
    LayoutEntry{"selpos_lst",               {10, 32, 274, 200}, Kind::List,   "", ""},
    LayoutEntry{"PackListUp_Img",           {290, 32, 18, 18},  Kind::Picture, "packlist_scrollup", ""},
    LayoutEntry{"ButtonSwapUp_Img",         {290, 100, 18, 18}, Kind::Button, "btn_swapup", ""},
    LayoutEntry{"ButtonSwapDown_Img",       {290, 122, 18, 18}, Kind::Button, "btn_swapdown", ""},
    LayoutEntry{"PackListDown_Img",         {290, 214, 18, 18}, Kind::Picture, "packlist_scrolldown", ""},

    // Button row under the list.
    LayoutEntry{"ButtonRemove_Img",         {10, 242, 18, 18},  Kind::Button, "btn_remove", ""},
    LayoutEntry{"ButtonSelectAll_Img",      {38, 242, 18, 18},  Kind::Button, "btn_selectall", ""},
    LayoutEntry{"ButtonDeselectAll_Img",    {58, 242, 18, 18},  Kind::Button, "btn_deselectall", ""},
    LayoutEntry{"ButtonSelectInverse_Img",  {78, 242, 18, 18},  Kind::Button, "btn_selectinverse", ""},
    LayoutEntry{"ButtonAscending_Img",      {106, 242, 18, 18}, Kind::Button, "btn_ascending", ""},
    LayoutEntry{"ButtonDescending_Img",     {126, 242, 18, 18}, Kind::Button, "btn_descending", ""},
};
// clang-format on

// Controls that exist for the code but are never seen: the command buttons behind the pictures
// and the label that carries a dialog's answer.
inline constexpr std::array<std::string_view, 7> kHiddenControls = {
    "RemoveFileFromList_Cmd", "SelAll_Cmd",     "DeSelAll_Cmd", "InvSel_Cmd",
    "selposup_cmd",           "selposdown_cmd", "WhichFileLbl",
};

constexpr const LayoutEntry* findLayout(std::string_view name)
{
    return kivro::findSkinLayout(kPackListLayout, name);
}

constexpr QRect skinRect(std::string_view name)
{
    return kivro::skinRectIn(kPackListLayout, name);
}

constexpr QRect windowRect(std::string_view name)
{
    return kivro::windowRectIn(kPackListLayout, kSkinOrigin, name);
}

} // namespace kivro::packlistskin
