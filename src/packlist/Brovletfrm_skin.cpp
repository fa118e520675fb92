// The pack-list window's skin: its rounded shape, its pictures and the place of every control,
// the image buttons' pictures, Close, and dragging the window with its snap to the main window.
#include "packlist/Brovletfrm.h"

#include "packlist/BrovletSkinLayout.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListDocking.h"
#include "packlist/PackListHost.h"
#include "platform/Globals.h"
#include "platform/Icon32bit.h"
#include "platform/SkinArt.h"
#include "platform/SkinImage.h"
#include "platform/WindowRegion.h"

#include <QLabel>
#include <QPushButton>

#include <cmath>
#include <string_view>

namespace kivro {

namespace {

QString str(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

int roundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

} // namespace

QRegion Brovletfrm::CreateSkinRegion(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY,
                                     double twipsPerPixelX, double twipsPerPixelY)
{
    using namespace packlistskin;
    const double sx = double(scaleX) * kTwipsPerPixel / twipsPerPixelX;
    const double sy = double(scaleY) * kTwipsPerPixel / twipsPerPixelY;
    return RoundRectRegion({offsetX, offsetY, roundHalfEven(offsetX + sx * kSkinSize.width()),
                            roundHalfEven(offsetY + sy * kSkinSize.height()), roundHalfEven(sx * kCornerEllipse),
                            roundHalfEven(sy * kCornerEllipse)});
}

void Brovletfrm::SetupSkin()
{
    using namespace packlistskin;

    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
    setWindowFlag(Qt::FramelessWindowHint);
    setFixedSize(kOuterSize);
    mSkinRegion = CreateSkinRegion(1.0f, 1.0f, std::int16_t(kSkinOrigin.x()), std::int16_t(kSkinOrigin.y()));
    setMask(mSkinRegion);

    SkinArt::applyTextStyle(*this, kSkinPanelTextColor);

    const auto picture = [this](const char* name, const QString& stem) {
        auto* img = new SkinImage(stem, this);
        img->setObjectName(QLatin1String(name));
        img->setAutoStates(false);
        return img;
    };
    BG_Img = picture("BG_Img", QStringLiteral("packlist_bg"));
    BG_Img->setGeometry(QRect(kSkinOrigin, kSkinSize));
    BG_Img->lower();
    KivroIcon_Img = picture("KivroIcon_Img", QStringLiteral("kivro_icon"));
    TesmaKivroCaption = new QLabel(QStringLiteral("Pack List"), this);
    TesmaKivroCaption->setObjectName(QStringLiteral("TesmaKivroCaption"));
    QFont bold = font();
    bold.setBold(true);
    TesmaKivroCaption->setFont(bold);
    QPalette title = TesmaKivroCaption->palette();
    title.setColor(QPalette::WindowText, QColor::fromRgba(kSkinTitleTextColor));
    TesmaKivroCaption->setPalette(title);

    BrovletMenu_Save_Img = picture("BrovletMenu_Save_Img", QStringLiteral("packlist_menu_save"));
    BrovletMenu_Load_Img = picture("BrovletMenu_Load_Img", QStringLiteral("packlist_menu_load"));
    BrovletMenu_Append_Img = picture("BrovletMenu_Append_Img", QStringLiteral("packlist_menu_append"));
    BrovletMenu_Clear_Img = picture("BrovletMenu_Clear_Img", QStringLiteral("packlist_menu_clear"));
    connect(BrovletMenu_Save_Img, &SkinImage::clicked, this, &Brovletfrm::BrovletMenu_Save_Img_Click);
    connect(BrovletMenu_Load_Img, &SkinImage::clicked, this, &Brovletfrm::BrovletMenu_Load_Img_Click);
    connect(BrovletMenu_Append_Img, &SkinImage::clicked, this, &Brovletfrm::BrovletMenu_Append_Img_Click);
    connect(BrovletMenu_Clear_Img, &SkinImage::clicked, this, &Brovletfrm::BrovletMenu_Clear_Img_Click);

    // The window's own button pictures, held by hidden templates.
    const auto holder = [this](const char* name, const QString& pictureName) {
        auto* t = new SkinImage(this);
        t->setObjectName(QLatin1String(name));
        t->setPictures(pictureName, pictureName, pictureName);
        t->setAutoStates(false);
        t->hide();
        return t;
    };
    ButtonAscending_Up_Img = holder("ButtonAscending_Up_Img", QStringLiteral("btn_ascending_up"));
    ButtonAscending_Over_Img = holder("ButtonAscending_Over_Img", QStringLiteral("btn_ascending_over"));
    ButtonAscending_Down_Img = holder("ButtonAscending_Down_Img", QStringLiteral("btn_ascending_down"));
    ButtonDescending_Up_Img = holder("ButtonDescending_Up_Img", QStringLiteral("btn_descending_up"));
    ButtonDescending_Over_Img = holder("ButtonDescending_Over_Img", QStringLiteral("btn_descending_over"));
    ButtonDescending_Down_Img = holder("ButtonDescending_Down_Img", QStringLiteral("btn_descending_down"));
    ButtonRemove_Up_Img = holder("ButtonRemove_Up_Img", QStringLiteral("btn_remove_up"));
    ButtonRemove_Over_Img = holder("ButtonRemove_Over_Img", QStringLiteral("btn_remove_over"));
    ButtonRemove_Down_Img = holder("ButtonRemove_Down_Img", QStringLiteral("btn_remove_down"));
    ButtonSwapUp_Up_Img = holder("ButtonSwapUp_Up_Img", QStringLiteral("btn_swapup_up"));
    ButtonSwapUp_Down_Img = holder("ButtonSwapUp_Down_Img", QStringLiteral("btn_swapup_down"));
    ButtonSwapDown_Up_Img = holder("ButtonSwapDown_Up_Img", QStringLiteral("btn_swapdown_up"));
    ButtonSwapDown_Down_Img = holder("ButtonSwapDown_Down_Img", QStringLiteral("btn_swapdown_down"));
    const auto pictureOf = [](SkinImage* t) { return t->pictureName(SkinImage::Picture::Up); };
    // One of the main window's templates, or the skin's own picture when the host has none.
    const auto hostPicture = [this](const char* templateName, const char* fallback) {
        const QString name = m_host.TemplatePicture(QLatin1String(templateName));
        return name.isEmpty() ? QString::fromLatin1(fallback) : name;
    };

    ButtonClose_Img = new SkinImage(this);
    ButtonClose_Img->setObjectName(QStringLiteral("ButtonClose_Img"));
    ButtonClose_Img->setToolTip(QStringLiteral("Close"));
    ButtonAscending_Img = new SkinImage(this);
    ButtonAscending_Img->setObjectName(QStringLiteral("ButtonAscending_Img"));
    ButtonAscending_Img->setToolTip(QStringLiteral("Sort Ascending"));
    ButtonDescending_Img = new SkinImage(this);
    ButtonDescending_Img->setObjectName(QStringLiteral("ButtonDescending_Img"));
    ButtonDescending_Img->setToolTip(QStringLiteral("Sort Descending"));
    connect(ButtonAscending_Img, &SkinImage::clicked, this, &Brovletfrm::ButtonAscending_Img_Click);
    connect(ButtonDescending_Img, &SkinImage::clicked, this, &Brovletfrm::ButtonDescending_Img_Click);

    ButtonClose_Img->setPictures(hostPicture("ButtonClose_Up_Img", "btn_close_up"),
                                 hostPicture("ButtonClose_Over_Img", "btn_close_over"),
                                 hostPicture("ButtonClose_Down_Img", "btn_close_down"));
    ButtonSelectAll_Img->setPictures(hostPicture("ButtonSelectAll_Up_Img", "btn_selectall_up"),
                                     hostPicture("ButtonSelectAll_Over_Img", "btn_selectall_over"),
                                     hostPicture("ButtonSelectAll_Down_Img", "btn_selectall_down"));
    ButtonDeselectAll_Img->setPictures(hostPicture("ButtonDeselectAll_Up_Img", "btn_deselectall_up"),
                                       hostPicture("ButtonDeselectAll_Over_Img", "btn_deselectall_over"),
                                       hostPicture("ButtonDeselectAll_Down_Img", "btn_deselectall_down"));
    ButtonSelectInverse_Img->setPictures(hostPicture("ButtonSelectInverse_Up_Img", "btn_selectinverse_up"),
                                         hostPicture("ButtonSelectInverse_Over_Img", "btn_selectinverse_over"),
                                         hostPicture("ButtonSelectInverse_Down_Img", "btn_selectinverse_down"));
    ButtonRemove_Img->setPictures(pictureOf(ButtonRemove_Up_Img), pictureOf(ButtonRemove_Over_Img),
                                  pictureOf(ButtonRemove_Down_Img));
    ButtonAscending_Img->setPictures(pictureOf(ButtonAscending_Up_Img), pictureOf(ButtonAscending_Over_Img),
                                     pictureOf(ButtonAscending_Down_Img));
    ButtonDescending_Img->setPictures(pictureOf(ButtonDescending_Up_Img), pictureOf(ButtonDescending_Over_Img),
                                      pictureOf(ButtonDescending_Down_Img));
    // The move buttons have no over picture: a move over them resets the others instead, and a
    // held press keeps the down picture.
    ButtonSwapUp_Img->setPictures(pictureOf(ButtonSwapUp_Up_Img), pictureOf(ButtonSwapUp_Up_Img),
                                  pictureOf(ButtonSwapUp_Down_Img));
    ButtonSwapDown_Img->setPictures(pictureOf(ButtonSwapDown_Up_Img), pictureOf(ButtonSwapDown_Up_Img),
                                    pictureOf(ButtonSwapDown_Down_Img));
    for (SkinImage* move : {ButtonSwapUp_Img, ButtonSwapDown_Img}) {
        move->setAutoStates(false);
        connect(move, &SkinImage::mouseDown, move, [move] { move->showDown(); });
        connect(move, &SkinImage::mouseUp, move, [move] { move->showUp(); });
        connect(move, &SkinImage::mouseMove, this, &Brovletfrm::ResetButtonImages);
    }
    // The scroll arrows keep one picture.
    PackListUp_Img->setPictureStem(QStringLiteral("packlist_scrollup"));
    PackListDown_Img->setPictureStem(QStringLiteral("packlist_scrolldown"));
    PackListUp_Img->setAutoStates(false);
    PackListDown_Img->setAutoStates(false);

    for (const LayoutEntry& e : kPackListLayout) {
        if (QWidget* w = findChild<QWidget*>(str(e.name), Qt::FindDirectChildrenOnly))
            w->setGeometry(windowRect(e.name));
    }

    // Dragging: the background, the form itself, the icon and the caption label.
    connectDragPicture(BG_Img, this, dragSurface(true));
    routeFormMouse(this, dragSurface(true));
    connectDragPicture(KivroIcon_Img, this, dragSurface(false));
    routeDragLabel(TesmaKivroCaption, dragSurface(false));
    connect(ButtonClose_Img, &SkinImage::mouseUp, this, &Brovletfrm::ButtonClose_Img_MouseUp);
}

void Brovletfrm::ResetButtonImages()
{
    for (SkinImage* b : {ButtonClose_Img, ButtonRemove_Img, ButtonSelectAll_Img, ButtonDeselectAll_Img,
                         ButtonSelectInverse_Img, ButtonAscending_Img, ButtonDescending_Img})
        b->showUp();
}

void Brovletfrm::ButtonClose_Img_MouseUp()
{
    if (busy())
        return;
    selpos_lst->setFocus();
    hide();
    m_host.setShowPackListChecked(false);
}

// --- dragging and docking ---------------------------------------------------------------------

void Brovletfrm::BeginFormDrag(float X, float Y)
{
    BeginWindowDrag(mDrag, X, Y);
    setPackListDockFlags(DockFlags{});
}

void Brovletfrm::DragFormMove(float X, float Y)
{
    const std::optional<TwipOffset> offset = DragOffset(mDrag, X, Y);
    if (!offset)
        return;
    const TwipRect at = windowTwips(this);
    moveWindowTwips(this, at.left + offset->dx, at.top + offset->dy);
}

void Brovletfrm::ActivateMagnet()
{
    EndWindowDrag(mDrag);
    if (!m_host.MagnetChecked())
        return;
    const MagnetResult snap = ActivateMagnetSnap(m_host.MainWindowTwips(), windowTwips(this), PackListDockFlags(),
                                                 float(gSkinCaptionAdjust));
    setPackListDockFlags(snap.flags);
    moveWindowTwips(this, snap.left, snap.top);
}

DragHandlers Brovletfrm::dragSurface(bool resetsButtons)
{
    return {[this](float X, float Y) { BeginFormDrag(X, Y); },
            [this, resetsButtons](float X, float Y) {
                DragFormMove(X, Y);
                if (resetsButtons)
                    ResetButtonImages();
            },
            [this] { ActivateMagnet(); }};
}

void Brovletfrm::BrovletMenu_Clear_Img_Click()
{
    if (busy())
        return;
    ClearPackList();
}

} // namespace kivro
