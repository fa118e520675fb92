// The action buttons, the image menu bar and the window's shortcuts: the round Pack and Unpack
// pictures and their Cancel pictures, the four menu-bar pictures with their popups, the key
// filter, and the small items of the popups (exit, the pack list, the tip window, the windows of
// the option dialogs).
#include "mainwindow/kivromainfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Preferencesfrm.h"
#include "dialogs/TechSupportDialog.h"
#include "dialogs/abtfrm.h"
#include "dialogs/Tipfrm.h"
#include "dialogs/copyrightstampingfrm.h"
#include "dialogs/customfilefilterfrm.h"
#include "dialogs/customfilesizefrm.h"
#include "engine/EngineGlobals.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/WindowHandlers.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

namespace kivro {

// Hands every key of the main window to Form_KeyDown before the control with the focus sees it.
// It watches the whole application, because a key goes first to the focus widget, and a line
// edit or a list takes keys such as Ctrl+A for itself before the window could see them.
//
// A key the window uses is claimed at its shortcut-override stage (so no shortcut of any control
// or action runs on it) and acted on at its key press, which then goes no further. Other keys
// pass untouched, so typing into the save-as box and moving in the lists work as ever.
class kivromainfrm::MainWindowKeyFilter : public WindowEventFilter {
public:
    explicit MainWindowKeyFilter(kivromainfrm& window) : WindowEventFilter(&window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
            return false;
        if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &m_window)
            return false;
        // A disabled window (a dialog of its own is open) takes no keys.
        if (!m_window.isEnabled())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsWindowKey(key->key(), key->modifiers()))
            return false;
        key->accept();
        if (type == QEvent::KeyPress)
            m_window.Form_KeyDown(key->key(), key->modifiers());
        return true;
    }

private:
    static bool IsWindowKey(int keyCode, Qt::KeyboardModifiers shift)
    {
        if (keyCode == Qt::Key_F5)
            return true;
        if (keyCode == Qt::Key_F1)
            return (shift & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier)) == 0;
        if (!(shift & Qt::ControlModifier))
            return false;
        switch (keyCode) {
        case Qt::Key_A:
        case Qt::Key_D:
        case Qt::Key_I:
        case Qt::Key_K:
        case Qt::Key_P:
        case Qt::Key_S:
        case Qt::Key_U:
            return true;
        default:
            return false;
        }
    }

    kivromainfrm& m_window;
};

namespace {

// The zip step's picture: the frames zip_0 to zip_7 in turn while ZipAnimIco is shown. The zip
// step lets events run while it works, so the frames move on during it.
class ZipAnimation : public QObject {
public:
    explicit ZipAnimation(QWidget* icon) : QObject(icon), m_picture(new SkinImage(icon))
    {
        m_picture->setObjectName(QStringLiteral("ZipAnimPicture"));
        m_picture->setAutoStates(false);
        m_picture->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_picture->setGeometry(icon->rect());
        showFrame(0);
        m_timer.setInterval(kFrameMs);
        connect(&m_timer, &QTimer::timeout, this, [this] { showFrame((m_frame + 1) % kFrames); });
        icon->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ShowToParent:
            showFrame(0);
            m_timer.start();
            break;
        case QEvent::HideToParent:
            m_timer.stop();
            break;
        case QEvent::Resize:
            m_picture->setGeometry(static_cast<QWidget*>(parent())->rect());
            break;
        default:
            break;
        }
        return false;
    }

private:
    static constexpr int kFrames = 8;
    static constexpr int kFrameMs = 120;
    void showFrame(int frame)
    {
        m_frame = frame;
        m_picture->setPictureStem(QStringLiteral("zip_%1").arg(frame));
    }
    SkinImage* m_picture;
    QTimer m_timer;
    int m_frame = 0;
};

QPointF twips(const QPointF& pixels)
{
    return SkinImage::toTwips(pixels);
}

QMenu* popupMenu(QWidget* owner, const QString& caption, const char* name)
{
    auto* menu = new QMenu(caption, owner);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

// An item of a popup. The key is shown beside the caption only: the window's key filter acts on
// it, and the menu never has the keyboard while the window does, so nothing fires twice.
QAction* popupItem(QMenu* menu, const QString& caption, const char* name, const QKeySequence& shownKey = {})
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    if (!shownKey.isEmpty()) {
        item->setShortcut(shownKey);
        item->setShortcutContext(Qt::WidgetShortcut);
        item->setShortcutVisibleInContextMenu(true);
    }
    return item;
}

} // namespace

// --- building -----------------------------------------------------------------------------------

void kivromainfrm::SetupMenuBar()
{
    // The looks of the round pictures, held by their templates; the visible picture shows the
    // pressed or the released one.
    PackPressedImg = skinTemplate("PackPressedImg", QStringLiteral("pack_down"));
    PackNotPressedImg = skinTemplate("PackNotPressedImg", QStringLiteral("pack_up"));
    UnpackPressedImg = skinTemplate("UnpackPressedImg", QStringLiteral("unpack_down"));
    UnpackNotPressedImg = skinTemplate("UnpackNotPressedImg", QStringLiteral("unpack_up"));
    PackPressedCANCELImg = skinTemplate("PackPressedCANCELImg", QStringLiteral("pack_cancel_down"));
    PackNotPressedCANCELImg = skinTemplate("PackNotPressedCANCELImg", QStringLiteral("pack_cancel_up"));
    UnpackPressedCANCELImg = skinTemplate("UnpackPressedCANCELImg", QStringLiteral("unpack_cancel_down"));
    UnpackNotPressedCANCELImg = skinTemplate("UnpackNotPressedCANCELImg", QStringLiteral("unpack_cancel_up"));
    const auto looks = [](SkinImage* img, SkinImage* released, SkinImage* pressed) {
        const QString up = released->pictureName(SkinImage::Picture::Up);
        img->setPictures(up, up, pressed->pictureName(SkinImage::Picture::Up));
        img->setAutoStates(false);
        img->showUp();
    };
    looks(PackImg, PackNotPressedImg, PackPressedImg);
    looks(UnpackImg, UnpackNotPressedImg, UnpackPressedImg);
    looks(PackCANCELImg, PackNotPressedCANCELImg, PackPressedCANCELImg);
    looks(UnPackCANCELImg, UnpackNotPressedCANCELImg, UnpackPressedCANCELImg);

    // At the Pack place, from the bottom: Pack, its pressed copy, Cancel. The pressed copy covers
    // Pack while it is pressed and never covers the Cancel picture, and it takes no mouse input,
    // so the press, moves and release stay with the picture pressed.
    PackDownFullViewImg->setAttribute(Qt::WA_TransparentForMouseEvents);
    PackDownFullViewImg->stackUnder(PackCANCELImg);
    PackImg->stackUnder(PackDownFullViewImg);
    UnpackImg->stackUnder(UnPackCANCELImg);

    // The round pictures' mouse.
    struct Round {
        SkinImage* img;
        void (kivromainfrm::*down)(Qt::MouseButton, float, float);
        void (kivromainfrm::*up)(Qt::MouseButton, float, float);
        void (kivromainfrm::*move)(float, float);
    };
    for (const Round& r : {Round{PackImg, &kivromainfrm::PackImg_MouseDown, &kivromainfrm::PackImg_MouseUp,
                                 &kivromainfrm::PackImg_MouseMove},
                           Round{UnpackImg, &kivromainfrm::UnpackImg_MouseDown, &kivromainfrm::UnpackImg_MouseUp,
                                 &kivromainfrm::UnpackImg_MouseMove},
                           Round{PackCANCELImg, &kivromainfrm::PackCANCELImg_MouseDown,
                                 &kivromainfrm::PackCANCELImg_MouseUp, &kivromainfrm::PackCANCELImg_MouseMove},
                           Round{UnPackCANCELImg, &kivromainfrm::UnPackCANCELImg_MouseDown,
                                 &kivromainfrm::UnPackCANCELImg_MouseUp, &kivromainfrm::UnPackCANCELImg_MouseMove}}) {
        connect(r.img, &SkinImage::mouseDown, this, [this, r](Qt::MouseButton b, Qt::KeyboardModifiers, QPointF pos) {
            const QPointF t = twips(pos);
            (this->*r.down)(b, float(t.x()), float(t.y()));
        });
        connect(r.img, &SkinImage::mouseUp, this, [this, r](Qt::MouseButton b, Qt::KeyboardModifiers, QPointF pos) {
            const QPointF t = twips(pos);
            (this->*r.up)(b, float(t.x()), float(t.y()));
        });
        connect(r.img, &SkinImage::mouseMove, this, [this, r](Qt::MouseButtons, Qt::KeyboardModifiers, QPointF pos) {
            const QPointF t = twips(pos);
            (this->*r.move)(float(t.x()), float(t.y()));
        });
    }
    connect(PackImg, &SkinImage::clicked, this, [this] { PackImg_Click(); });
    connect(PackCANCELImg, &SkinImage::clicked, this, [this] { PackCANCELImg_Click(); });
    connect(UnpackImg, &SkinImage::clicked, this, [this] { UnpackImg_Click(); });
    connect(UnPackCANCELImg, &SkinImage::clicked, this, [this] { UnPackCANCELImg_Click(); });

    // The popups, in menu order.
    FileMnu = popupMenu(this, QStringLiteral("&File"), "FileMnu");
    FileMnu->addAction(SaveAsMnu);
    FileMnu->addSeparator();
    ExitMnu = popupItem(FileMnu, QStringLiteral("E&xit"), "ExitMnu");
    connect(ExitMnu, &QAction::triggered, this, [this] { ExitMnu_Click(); });

    ActionMnu = popupMenu(this, QStringLiteral("&Action"), "ActionMnu");
    PackMnu = popupItem(ActionMnu, QStringLiteral("&Pack"), "PackMnu", QKeySequence(Qt::CTRL | Qt::Key_P));
    UnpackMnu = popupItem(ActionMnu, QStringLiteral("&Unpack"), "UnpackMnu", QKeySequence(Qt::CTRL | Qt::Key_U));
    connect(PackMnu, &QAction::triggered, this, [this] { PackMnu_Click(); });
    connect(UnpackMnu, &QAction::triggered, this, [this] { UnpackMnu_Click(); });
    ActionMnu->addSeparator();
    SelAllMnu = popupItem(ActionMnu, QStringLiteral("Select &All"), "SelAllMnu", QKeySequence(Qt::CTRL | Qt::Key_A));
    DeSelAllMnu = popupItem(ActionMnu, QStringLiteral("De&select All"), "DeSelAllMnu",
                            QKeySequence(Qt::CTRL | Qt::Key_D));
    InvSelMnu = popupItem(ActionMnu, QStringLiteral("&Inverse Select"), "InvSelMnu",
                          QKeySequence(Qt::CTRL | Qt::Key_I));
    ActionMnu->addSeparator();
    RefreshMnu = popupItem(ActionMnu, QStringLiteral("Re&fresh"), "RefreshMnu", QKeySequence(Qt::Key_F5));
    connect(SelAllMnu, &QAction::triggered, this, [this] { SelAllMnu_Click(); });
    connect(DeSelAllMnu, &QAction::triggered, this, [this] { DeSelAllMnu_Click(); });
    connect(InvSelMnu, &QAction::triggered, this, [this] { InvSelMnu_Click(); });
    connect(RefreshMnu, &QAction::triggered, this, [this] { RefreshMnu_Click(); });

    HelpMnu = popupMenu(this, QStringLiteral("&Help"), "HelpMnu");
    HelpTopicMnu = popupItem(HelpMnu, QStringLiteral("Tesma Kivro Help Topics"), "HelpTopicMnu",
                             QKeySequence(Qt::Key_F1));
    TODMnu = popupItem(HelpMnu, QStringLiteral("Tip of the Day"), "TODMnu");
    HelpMnu->addSeparator();
    TechMnu = popupItem(HelpMnu, QStringLiteral("Technical &Support"), "TechMnu");
    HelpMnu->addSeparator();
    GoToSiteMnu = popupItem(HelpMnu, QStringLiteral("Tesma"), "GoToSiteMnu");
    KivroSiteMnu = popupItem(HelpMnu, QStringLiteral("Kivro Webpage"), "KivroSiteMnu");
    KivroFAQMnu = popupItem(HelpMnu, QStringLiteral("Kivro FAQ"), "KivroFAQMnu");
    HelpMnu->addSeparator();
    AbtMnu = popupItem(HelpMnu, QStringLiteral("&About Tesma Kivro..."), "AbtMnu");
    connect(HelpTopicMnu, &QAction::triggered, this, [this] { HelpTopicMnu_Click(); });
    connect(TODMnu, &QAction::triggered, this, [this] { TODMnu_Click(); });
    connect(TechMnu, &QAction::triggered, this, [this] { TechMnu_Click(); });
    connect(GoToSiteMnu, &QAction::triggered, this, [this] { GoToSiteMnu_Click(); });
    connect(KivroSiteMnu, &QAction::triggered, this, [this] { KivroSiteMnu_Click(); });
    connect(KivroFAQMnu, &QAction::triggered, this, [this] { KivroFAQMnu_Click(); });
    connect(AbtMnu, &QAction::triggered, this, [this] { AbtMnu_Click(); });

    // The Options items this section handles (the item has put its own check mark back before
    // this runs: the handler decides it).
    connect(ShowBrovletMnu, &QAction::triggered, this, [this] { ShowBrovletMnu_Click(); });
    connect(GeneralMnu, &QAction::triggered, this, [this] { GeneralMnu_Click(); });
    connect(CustomSizeChk, &QAction::triggered, this, [this] { CustomSizeChk_Click(); });
    connect(FileTypeMnu, &QAction::triggered, this, [this] { FileTypeMnu_Click(); });
    connect(CopyrightStampingMnu, &QAction::triggered, this, [this] { CopyrightStampingMnu_Click(); });

    connect(FileMenu_File_Img, &SkinImage::clicked, this, [this] { FileMenu_File_Img_Click(); });
    connect(FileMenu_Action_Img, &SkinImage::clicked, this, [this] { FileMenu_Action_Img_Click(); });
    connect(FileMenu_Option_Img, &SkinImage::clicked, this, [this] { FileMenu_Option_Img_Click(); });
    connect(FileMenu_Help_Img, &SkinImage::clicked, this, [this] { FileMenu_Help_Img_Click(); });

    new ZipAnimation(ZipAnimIco);
    qApp->installEventFilter(new MainWindowKeyFilter(*this));
}

bool kivromainfrm::ZipStepShown() const
{
    return !ZipProcess_Lbl->isHidden();
}

bool kivromainfrm::ActionRunning() const
{
    return !BusyIconImg->isHidden() || mActionFrame.running();
}

// --- Pack and Unpack ----------------------------------------------------------------------------

void kivromainfrm::PackImg_MouseDown(Qt::MouseButton Button, float, float)
{
    // A press anywhere on the picture arms; the circle only decides the pointer.
    if (Button != Qt::LeftButton || gActionArmed)
        return;
    PackImg->showDown();
    PackDownFullViewImg->show();
    gActionArmed = true;
}

void kivromainfrm::PackImg_MouseUp(Qt::MouseButton, float, float)
{
    PackImg->showUp();
    PackDownFullViewImg->hide();
}

void kivromainfrm::PackImg_MouseMove(float X, float Y)
{
    const QSizeF size = PackImg->sizeTwips();
    RoundPictureMouseMove(X, Y, float(size.width()), float(size.height()));
}

void kivromainfrm::UnpackImg_MouseDown(Qt::MouseButton Button, float, float)
{
    if (Button != Qt::LeftButton || gActionArmed)
        return;
    UnpackImg->showDown();
    gActionArmed = true;
}

void kivromainfrm::UnpackImg_MouseUp(Qt::MouseButton, float, float)
{
    UnpackImg->showUp();
    // Pack is shown again unless its Cancel picture stands in its place: the two never show
    // together.
    if (PackCANCELImg->isHidden())
        PackImg->show();
}

void kivromainfrm::UnpackImg_MouseMove(float X, float Y)
{
    const QSizeF size = UnpackImg->sizeTwips();
    RoundPictureMouseMove(X, Y, float(size.width()), float(size.height()));
}

void kivromainfrm::RoundPictureMouseMove(float X, float Y, float Width, float Height)
{
    if (mousePointer() == kPointerHourglass)
        return;
    if (RoundButton(X, Y, Width, Height))
        setMousePointer(kPointerHand);
    else
        setMousePointer(BusyIconVisible() ? kPointerHourglass : kPointerDefault);
}

// --- Cancel -------------------------------------------------------------------------------------

void kivromainfrm::PackCANCELImg_MouseDown(Qt::MouseButton Button, float, float)
{
    if (Button != Qt::LeftButton)
        return;
    PackCANCELImg->showDown();
    PackDownFullViewImg->show();
    gCancelArmed = true;
}

void kivromainfrm::PackCANCELImg_MouseUp(Qt::MouseButton, float, float)
{
    PackCANCELImg->showUp();
    PackDownFullViewImg->hide();
}

void kivromainfrm::PackCANCELImg_MouseMove(float X, float Y)
{
    const QSizeF size = PackCANCELImg->sizeTwips();
    RoundButton(X, Y, float(size.width()), float(size.height()));
    // While the pack zips its output the whole picture shows the hourglass, and a click on it
    // cancels nothing.
    setMousePointer(ZipCompressMnu->isChecked() && ZipStepShown() ? kPointerHourglass : kPointerHand);
}

void kivromainfrm::UnPackCANCELImg_MouseDown(Qt::MouseButton Button, float, float)
{
    if (Button != Qt::LeftButton)
        return;
    UnPackCANCELImg->showDown();
    gCancelArmed = true;
}

void kivromainfrm::UnPackCANCELImg_MouseUp(Qt::MouseButton, float, float)
{
    UnPackCANCELImg->showUp();
    if (PackCANCELImg->isHidden())
        PackImg->show();
}

void kivromainfrm::UnPackCANCELImg_MouseMove(float X, float Y)
{
    const QSizeF size = UnPackCANCELImg->sizeTwips();
    const bool hit = RoundButton(X, Y, float(size.width()), float(size.height()));
    // While the unpack zips a source, only the round button itself shows the hourglass.
    setMousePointer(ZipCompressMnu->isChecked() && ZipStepShown() && hit ? kPointerHourglass : kPointerHand);
}

// --- the menu bar -------------------------------------------------------------------------------

void kivromainfrm::popUpAtPointer(QMenu* menu)
{
    menu->popup(QCursor::pos());
}

void kivromainfrm::FileMenu_File_Img_Click()
{
    if (mousePointer() == kPointerHourglass || ActionRunning())
        return;
    popUpAtPointer(FileMnu);
}

void kivromainfrm::FileMenu_Action_Img_Click()
{
    if (mousePointer() == kPointerHourglass || ActionRunning())
        return;
    popUpAtPointer(ActionMnu);
}

void kivromainfrm::FileMenu_Option_Img_Click()
{
    if (mousePointer() == kPointerHourglass || ActionRunning())
        return;
    popUpAtPointer(OptMnu);
}

void kivromainfrm::FileMenu_Help_Img_Click()
{
    popUpAtPointer(HelpMnu);
}

// --- keys ---------------------------------------------------------------------------------------

bool kivromainfrm::Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift)
{
    try {
        if (KeyCode == Qt::Key_F5) {
            if (!ActionRunning())
                RefreshMnu_Click();
            return true;
        }
        if (KeyCode == Qt::Key_F1
            && !(Shift & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier))) {
            HelpTopicMnu_Click();
            return true;
        }
        if (!(Shift & Qt::ControlModifier))
            return false;
        switch (KeyCode) {
        case Qt::Key_A:
            if (!ActionRunning())
                SelAll_Cmd_Click();
            return true;
        case Qt::Key_D:
            if (!ActionRunning())
                DeSelAll_Cmd_Click();
            return true;
        case Qt::Key_I:
            if (!ActionRunning())
                InvSel_Cmd_Click();
            return true;
        case Qt::Key_K:
            if (!ActionRunning())
                GeneralMnu_Click();
            return true;
        case Qt::Key_P:
            gActionArmed = true;
            PackImg_Click();
            return true;
        case Qt::Key_S:
            if (!ActionRunning())
                Browse_cmd_Click();
            return true;
        case Qt::Key_U:
            gActionArmed = true;
            UnpackImg_Click();
            return true;
        default:
            return false;
        }
    } catch (...) {
        // A shortcut that fails ends without a word.
        return true;
    }
}

// --- small items --------------------------------------------------------------------------------

void kivromainfrm::ExitMnu_Click()
{
    StopPreview();
    ClosePreview();
    // Closing runs the shutdown, which ends the program.
    close();
}

void kivromainfrm::ShowBrovletMnu_Click()
{
    Brovletfrm* packList = PackListForm();
    if (!ShowBrovletMnu->isChecked()) {
        packList->show();
        ShowBrovletMnu->setChecked(true);
    } else {
        packList->hide();
        ShowBrovletMnu->setChecked(false);
    }
}

void kivromainfrm::TODMnu_Click()
{
    TipForm()->Show(this);
}

void kivromainfrm::GeneralMnu_Click()
{
    PreferencesWindow()->Show();
}

void kivromainfrm::CustomSizeChk_Click()
{
    CustomFileSizeForm()->Show();
}

void kivromainfrm::FileTypeMnu_Click()
{
    CustomFileFilterForm()->Show();
}

void kivromainfrm::CopyrightStampingMnu_Click()
{
    CopyrightStampForm()->Show();
}

// Help stays reachable while an action runs: these boxes only show information.
void kivromainfrm::TechMnu_Click()
{
    TechSupportForm()->Show();
}

void kivromainfrm::AbtMnu_Click()
{
    AboutForm()->Show();
}

} // namespace kivro
