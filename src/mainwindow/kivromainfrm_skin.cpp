// The skinned main window: its shape, its pictures and the place of every control, dragging the
// window (with a docked pack-list window), the small skin buttons, Minimise and Close, and
// snapping the pack-list window against the skin.
#include "mainwindow/kivromainfrm.h"

#include "engine/EngineGlobals.h"
#include "mainwindow/SkinLayout.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/MsgBox.h"
#include "platform/SkinArt.h"
#include "platform/WindowHandlers.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QMouseEvent>
#include <QSet>

#include <string_view>

namespace kivro {

namespace {

QString str(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

// Mouse events of the controls that are not skin pictures: moves over the browser's lists, the
// folder glyph, the MPEG information and the save-as button put the skin buttons back to their
// up pictures, a move over the folder label gives it the full folder as its tip, and the
// not-busy light stands in for the busy light whenever that is hidden.
class kivromainfrm::SkinEventRouter : public WindowEventFilter {
public:
    explicit SkinEventRouter(kivromainfrm& window) : WindowEventFilter(&window), m_window(window) {}

    void addResetSurface(QWidget* w)
    {
        // Moves without a button held reach a control only when it tracks the mouse; a list
        // receives them on its viewport.
        w->setMouseTracking(true);
        w->installEventFilter(this);
        m_resetSurfaces.insert(w);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
            area->viewport()->setMouseTracking(true);
            area->viewport()->installEventFilter(this);
            m_resetSurfaces.insert(area->viewport());
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        kivromainfrm& w = m_window;
        if (watched == w.BusyIconImg) {
            if (event->type() == QEvent::ShowToParent)
                w.NotBusyIconImg->hide();
            else if (event->type() == QEvent::HideToParent)
                w.NotBusyIconImg->show();
            return false;
        }
        if (event->type() == QEvent::MouseMove && watched == w.seldir_lbl)
            w.seldir_lbl_MouseMove();
        if (event->type() == QEvent::MouseMove && m_resetSurfaces.contains(watched))
            w.ResetSkinButtons();
        return false;
    }

private:
    kivromainfrm& m_window;
    QSet<QObject*> m_resetSurfaces;
};

// --- building the skin --------------------------------------------------------------------------

SkinImage* kivromainfrm::skinTemplate(const char* name, const QString& picture)
{
    // A template only holds its picture; it is never shown.
    auto* t = new SkinImage(this);
    t->setObjectName(QLatin1String(name));
    t->setPictures(picture, picture, picture);
    t->setAutoStates(false);
    t->hide();
    return t;
}

SkinImage* kivromainfrm::skinButton(const char* name, SkinImage* up, SkinImage* over, SkinImage* down)
{
    auto* b = new SkinImage(this);
    b->setObjectName(QLatin1String(name));
    b->setPictures(up->pictureName(SkinImage::Picture::Up), over->pictureName(SkinImage::Picture::Up),
                   down->pictureName(SkinImage::Picture::Up));
    return b;
}

void kivromainfrm::SetupSkin()
{
    using namespace skin;

    setWindowFlag(Qt::FramelessWindowHint);
    setFixedSize(kOuterSize);
    mSkinRegion = MainWindowMask();
    setMask(mSkinRegion);

    // Every text of the skin in "Arial" 8.25 pt; labels sit on the light panels.
    SkinArt::applyTextStyle(*this, kPanelTextColor);
    mHandCursor = SkinArt::handCursor(devicePixelRatioF());

    const auto picture = [this](const char* name) {
        auto* img = new SkinImage(this);
        img->setObjectName(QLatin1String(name));
        img->setAutoStates(false);
        return img;
    };
    BG_Img = picture("BG_Img");
    BG_Img->setPictureStem(QStringLiteral("main_bg"));
    BG_Img->setGeometry(QRect(kSkinOrigin, kSkinSize));
    BG_Img->lower();

    KivroIcon_Img = picture("KivroIcon_Img");
    TesmaKivroCaption = new QLabel(kAppTitle, this);
    TesmaKivroCaption->setObjectName(QStringLiteral("TesmaKivroCaption"));
    QFont bold = font();
    bold.setBold(true);
    TesmaKivroCaption->setFont(bold);
    QPalette title = TesmaKivroCaption->palette();
    title.setColor(QPalette::WindowText, QColor::fromRgba(kTitleTextColor));
    TesmaKivroCaption->setPalette(title);

    FileMenu_File_Img = picture("FileMenu_File_Img");
    FileMenu_Action_Img = picture("FileMenu_Action_Img");
    FileMenu_Option_Img = picture("FileMenu_Option_Img");
    FileMenu_Help_Img = picture("FileMenu_Help_Img");
    NotBusyIconImg = picture("NotBusyIconImg");
    PackDownFullViewImg = picture("PackDownFullViewImg");
    PackDownFullViewImg->hide();
    WebBrowserImg = picture("WebBrowserImg");
    EmailImg = picture("EmailImg");
    folder_lbl = new QLabel(this);
    folder_lbl->setObjectName(QStringLiteral("folder_lbl"));
    SaveAs_lbl = new QLabel(QStringLiteral("Save As:"), this);
    SaveAs_lbl->setObjectName(QStringLiteral("SaveAs_lbl"));
    MpegInfoVideoSize_Lbl->setObjectName(QStringLiteral("MpegInfoVideoSize_Lbl"));
    MpegInfoVideoRate_Lbl->setObjectName(QStringLiteral("MpegInfoVideoRate_Lbl"));
    PackImg->setToolTip(QStringLiteral("Pack"));
    UnpackImg->setToolTip(QStringLiteral("Unpack"));

    // The small skin buttons and their templates.
    const auto button = [this](const char* stem, const char* art, const QString& tip, SkinImage*& img, SkinImage*& up,
                               SkinImage*& over, SkinImage*& down) {
        const QString s = QLatin1String(stem);
        const QString p = QLatin1String(art);
        up = skinTemplate(qPrintable(s + QStringLiteral("_Up_Img")), p + QStringLiteral("_up"));
        over = skinTemplate(qPrintable(s + QStringLiteral("_Over_Img")), p + QStringLiteral("_over"));
        down = skinTemplate(qPrintable(s + QStringLiteral("_Down_Img")), p + QStringLiteral("_down"));
        img = skinButton(qPrintable(s + QStringLiteral("_Img")), up, over, down);
        img->setToolTip(tip);
    };
    button("ButtonAdd", "btn_add", QStringLiteral("Add"), ButtonAdd_Img, ButtonAdd_Up_Img, ButtonAdd_Over_Img,
           ButtonAdd_Down_Img);
    button("ButtonSelectAll", "btn_selectall", QStringLiteral("Select All"), ButtonSelectAll_Img,
           ButtonSelectAll_Up_Img, ButtonSelectAll_Over_Img, ButtonSelectAll_Down_Img);
    button("ButtonDeselectAll", "btn_deselectall", QStringLiteral("Deselect All"), ButtonDeselectAll_Img,
           ButtonDeselectAll_Up_Img, ButtonDeselectAll_Over_Img, ButtonDeselectAll_Down_Img);
    button("ButtonSelectInverse", "btn_selectinverse", QStringLiteral("Select Inverse"), ButtonSelectInverse_Img,
           ButtonSelectInverse_Up_Img, ButtonSelectInverse_Over_Img, ButtonSelectInverse_Down_Img);
    button("Network", "btn_network", kNetworkImgToolTip, Network_Img, Network_Up_Img, Network_Over_Img,
           Network_Down_Img);
    button("ButtonMinimise", "btn_minimise", QStringLiteral("Minimise"), ButtonMinimise_Img, ButtonMinimise_Up_Img,
           ButtonMinimise_Over_Img, ButtonMinimise_Down_Img);
    button("ButtonClose", "btn_close", QStringLiteral("Close"), ButtonClose_Img, ButtonClose_Up_Img,
           ButtonClose_Over_Img, ButtonClose_Down_Img);
    button("SoundOn", "sound_on", QString(), SoundOn_Img, SoundOn_Up_Img, SoundOn_Over_Img, SoundOn_Down_Img);
    button("SoundOff", "sound_off", QString(), SoundOff_Img, SoundOff_Up_Img, SoundOff_Over_Img, SoundOff_Down_Img);
    // The sound is on at start; the switch works with or without a file open.
    SoundOff_Img->hide();

    // Every named control at its place; the pictures that are not skin buttons get their
    // artwork here.
    for (const LayoutEntry& e : kMainLayout) {
        QWidget* w = findChild<QWidget*>(str(e.name), Qt::FindDirectChildrenOnly);
        if (!w)
            continue;
        w->setGeometry(windowRect(e.name));
        auto* img = qobject_cast<SkinImage*>(w);
        if (img && e.kind != Kind::Button && !e.picture.empty()) {
            img->setPictureStem(str(e.picture));
            img->setAutoStates(false);
        }
    }
    for (std::string_view name : kHiddenControls) {
        if (QWidget* w = findChild<QWidget*>(str(name), Qt::FindDirectChildrenOnly))
            w->hide();
    }
    NotBusyIconImg->setVisible(BusyIconImg->isHidden());
    for (QLabel* label : {percentdone_lbl, percentdone_lbl_above96DPI})
        label->setAlignment(Qt::AlignCenter);
    // The window draws itself at every screen scale, so the large-font copy of the percentage
    // never needs to be seen. It keeps its caption and visibility with percentdone_lbl, at the
    // same place, but draws no text, so the two never print over each other.
    QPalette silent = percentdone_lbl_above96DPI->palette();
    silent.setColor(QPalette::WindowText, Qt::transparent);
    percentdone_lbl_above96DPI->setPalette(silent);

    // Mouse handling. The form follows the mouse over its own surface, as the background does.
    routeFormMouse(this, {[this](float X, float Y) { Form_MouseDown(X, Y); },
                          [this](float X, float Y) { Form_MouseMove(X, Y); }, [this] { Form_MouseUp(); }});
    connectDragPicture(BG_Img, this,
                       {[this](float X, float Y) { BG_Img_MouseDown(X, Y); },
                        [this](float X, float Y) { BG_Img_MouseMove(X, Y); }, [this] { BG_Img_MouseUp(); }});
    connectDragPicture(KivroIcon_Img, this,
                       {[this](float X, float Y) { KivroIcon_Img_MouseDown(X, Y); },
                        [this](float X, float Y) { KivroIcon_Img_MouseMove(X, Y); },
                        [this] { KivroIcon_Img_MouseUp(); }});
    // The caption is a label: its mouse events drag the window as the pictures' do.
    routeDragLabel(TesmaKivroCaption, {[this](float X, float Y) { TesmaKivroCaption_MouseDown(X, Y); },
                                       [this](float X, float Y) { TesmaKivroCaption_MouseMove(X, Y); },
                                       [this] { TesmaKivroCaption_MouseUp(); }});
    const auto twipsOf = [](SkinImage* img) { return twipsInControl(img, img->lastGlobalPosition()); };

    // The round web and mail pictures: the hand pointer inside their circle, and their links.
    for (SkinImage* link : {WebBrowserImg, EmailImg}) {
        connect(link, &SkinImage::mouseMove, this, [this, link, twipsOf] {
            const QPointF t = twipsOf(link);
            const QSizeF size = link->sizeTwips();
            const auto handler = link == WebBrowserImg ? &kivromainfrm::WebBrowserImg_MouseMove
                                                       : &kivromainfrm::EmailImg_MouseMove;
            (this->*handler)(float(t.x()), float(t.y()), float(size.width()), float(size.height()));
        });
    }
    connect(WebBrowserImg, &SkinImage::clicked, this, [this] { WebBrowserImg_Click(); });
    connect(EmailImg, &SkinImage::clicked, this, [this] { EmailImg_Click(); });
    connect(Network_Img, &SkinImage::clicked, this, [this] { Network_Img_Click(); });

    connect(ButtonMinimise_Img, &SkinImage::mouseUp, this, [this] { ButtonMinimise_Img_MouseUp(); });
    connect(ButtonClose_Img, &SkinImage::mouseUp, this, [this] { ButtonClose_Img_MouseUp(); });
    // The picture buttons do what their hidden command buttons do (a disabled one does nothing).
    connect(ButtonAdd_Img, &SkinImage::clicked, AddFileToList_Cmb, &QPushButton::click);
    connect(ButtonSelectAll_Img, &SkinImage::clicked, SelAll_Cmd, &QPushButton::click);
    connect(ButtonDeselectAll_Img, &SkinImage::clicked, DeSelAll_Cmd, &QPushButton::click);
    connect(ButtonSelectInverse_Img, &SkinImage::clicked, InvSel_Cmd, &QPushButton::click);

    auto* router = new SkinEventRouter(*this);
    BusyIconImg->installEventFilter(router);
    seldir_lbl->setMouseTracking(true);
    seldir_lbl->installEventFilter(router);
    for (const char* name : {"Dir1", "File1", "folder_lbl", "MpegInfoVideoRate_Lbl", "MpegInfoVideoSize_Lbl",
                             "Browse_cmd", "CmdPlay", "CmdPause", "CmdStop"}) {
        if (QWidget* w = findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly))
            router->addResetSurface(w);
    }
}

// --- skin buttons -------------------------------------------------------------------------------

void kivromainfrm::ResetSkinButtons()
{
    for (SkinImage* b : {ButtonClose_Img, ButtonMinimise_Img, ButtonAdd_Img, ButtonSelectAll_Img, ButtonDeselectAll_Img,
                         ButtonSelectInverse_Img, Network_Img, SoundOn_Img, SoundOff_Img})
        b->showUp();
}

void kivromainfrm::seldir_lbl_MouseMove()
{
    // The label shows the folder shortened; its tip shows it whole.
    seldir_lbl->setToolTip(Dir1->Path());
}

QString kivromainfrm::TemplatePicture(const QString& templateName) const
{
    const auto* t = findChild<SkinImage*>(templateName, Qt::FindDirectChildrenOnly);
    return t ? t->pictureName(SkinImage::Picture::Up) : QString();
}

// --- dragging -----------------------------------------------------------------------------------

void kivromainfrm::BeginWindowDrag(float X, float Y)
{
    kivro::BeginWindowDrag(mDrag, X, Y);
}

void kivromainfrm::DragWindow(float X, float Y)
{
    if (!mDrag.dragging)
        return;
    const DockFlags docked = PackListDockFlags();
    QWidget* packList = docked.any() ? PackListForm() : nullptr;
    const TwipRect packRect = packList ? windowTwips(packList) : TwipRect{};
    applyDragStep(kivro::DragWindow(mDrag, X, Y, windowTwips(this), packRect, docked), this, packList);
}

void kivromainfrm::BackgroundMouseMove()
{
    setMousePointer(BusyIconVisible() ? kPointerHourglass : kPointerDefault);
    gActionArmed = false;
}

void kivromainfrm::BG_Img_MouseDown(float X, float Y)
{
    BeginWindowDrag(X, Y);
}

void kivromainfrm::BG_Img_MouseMove(float X, float Y)
{
    BackgroundMouseMove();
    DragWindow(X, Y);
    ResetSkinButtons();
}

void kivromainfrm::BG_Img_MouseUp()
{
    EndWindowDrag(mDrag);
}

void kivromainfrm::Form_MouseDown(float X, float Y)
{
    BeginWindowDrag(X, Y);
}

void kivromainfrm::Form_MouseMove(float X, float Y)
{
    BackgroundMouseMove();
    DragWindow(X, Y);
    ResetSkinButtons();
}

void kivromainfrm::Form_MouseUp()
{
    EndWindowDrag(mDrag);
}

void kivromainfrm::KivroIcon_Img_MouseDown(float X, float Y)
{
    BeginWindowDrag(X, Y);
}

void kivromainfrm::KivroIcon_Img_MouseMove(float X, float Y)
{
    DragWindow(X, Y);
}

void kivromainfrm::KivroIcon_Img_MouseUp()
{
    EndWindowDrag(mDrag);
}

void kivromainfrm::TesmaKivroCaption_MouseDown(float X, float Y)
{
    BeginWindowDrag(X, Y);
}

void kivromainfrm::TesmaKivroCaption_MouseMove(float X, float Y)
{
    DragWindow(X, Y);
}

void kivromainfrm::TesmaKivroCaption_MouseUp()
{
    EndWindowDrag(mDrag);
}

// --- Minimise and Close ---------------------------------------------------------------------------

void kivromainfrm::ButtonMinimise_Img_MouseUp()
{
    MinimiseWindow();
}

void kivromainfrm::MinimiseWindow()
{
    showMinimized();
    PackListForm()->hide();
    setShowPackListChecked(false);
}

void kivromainfrm::setShowPackListChecked(bool checked)
{
    ShowBrovletMnu->setChecked(checked);
}

void kivromainfrm::ButtonClose_Img_MouseUp()
{
    StopPreview();
    ClosePreview();
    // Closing runs the shutdown, which ends the program.
    close();
}

// --- docking --------------------------------------------------------------------------------------

void kivromainfrm::MagnetisePackList()
{
    Brovletfrm* packList = PackListForm();
    const MagnetResult snap = kivro::MagnetisePackList(windowTwips(this), windowTwips(packList));
    setPackListDockFlags(snap.flags);
    moveWindowTwips(packList, snap.left, snap.top);
}

} // namespace kivro
