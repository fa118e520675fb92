#pragma once
// One row of a skinned window's layout table: a control's name, its rectangle on the skin, what
// kind of control it is, its picture and whether it shares its place with others. The tables
// themselves live with their windows (mainwindow/SkinLayout.h, packlist/BrovletSkinLayout.h).
#include <QColor>
#include <QPoint>
#include <QRect>
#include <string_view>

namespace kivro {

// Text colours of the skins: labels on a title strip, and labels on the light panels.
inline constexpr QRgb kSkinTitleTextColor = 0xffeef3fa;
inline constexpr QRgb kSkinPanelTextColor = 0xff1f2a3a;

enum class SkinKind {
    Picture,    // SkinImage without picture states (drawn from the named picture)
    Button,     // SkinImage with up, over and down pictures (<picture>_up, _over, _down)
    Round,      // round SkinImage (hit test RoundButton); <picture>_up and _down where it has a pressed look
    Menu,       // one menu-bar picture (SkinImage, click pops up a menu)
    Label,      // QLabel
    Combo,      // QComboBox
    List,       // list view
    Edit,       // QLineEdit
    PushButton, // QPushButton / QToolButton
    Check,      // QCheckBox
    Frame,      // a plain frame (black for the video)
    Slider,     // the preview slider
    Progress,   // the progress bar the actions create (CProgBar32)
};

struct SkinLayoutEntry {
    std::string_view name; // the control's name in the code
    QRect rect;            // skin pixels
    SkinKind kind;
    std::string_view picture;          // picture stem in the skin resources ("" when none)
    std::string_view place;            // controls that share one place ("" when alone)
    bool container = false;            // may hold other controls inside it
    std::string_view longestText = {}; // the longest text the control shows, for the fit test
};

// The row of `name` in a layout table; nullptr when the table has none.
template <typename Table> constexpr const SkinLayoutEntry* findSkinLayout(const Table& table, std::string_view name)
{
    for (const SkinLayoutEntry& e : table)
        if (e.name == name)
            return &e;
    return nullptr;
}

// The rectangle of `name` in skin pixels; empty when the table has no row for it.
template <typename Table> constexpr QRect skinRectIn(const Table& table, std::string_view name)
{
    const SkinLayoutEntry* e = findSkinLayout(table, name);
    return e ? e->rect : QRect();
}

// The rectangle of `name` in its window: skin pixels moved by `skinOrigin`, where the window
// draws its skin; empty when the table has no row for it.
template <typename Table> constexpr QRect windowRectIn(const Table& table, QPoint skinOrigin, std::string_view name)
{
    const SkinLayoutEntry* e = findSkinLayout(table, name);
    return e ? e->rect.translated(skinOrigin) : QRect();
}

} // namespace kivro
