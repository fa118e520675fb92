// The skinned main window offscreen: its shape, pictures and the place of every control, the
// small skin buttons and their templates, which moves reset them, the drag handles with the
// pointer rule and disarming, carrying a docked pack-list window, Minimise, Close and Magnetise.
// (The same under a real X server and pointer: tst_skinwindow.cpp.)
#include "KivroTest.h"

#include "engine/EngineGlobals.h"
#include "mainwindow/SkinLayout.h"
#include "mainwindow/kivromainfrm.h"
#include "mainwindow/mMain.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"

#include <QAction>
#include <QMouseEvent>

using namespace kivro;

Q_DECLARE_METATYPE(kivro::DockFlags)

namespace {

QString str(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// A mouse event as the window system delivers it, at a global position.
void sendMouse(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButton button = Qt::NoButton,
               Qt::MouseButtons held = Qt::NoButton)
{
    const QPointF local = target->mapFromGlobal(QPointF(global));
    QMouseEvent e(type, local, QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

void hover(QWidget* target, QPoint local = {5, 5})
{
    sendMouse(target, QEvent::MouseMove, target->mapToGlobal(local));
}

void setDocked(const DockFlags& f)
{
    gPackListDockedTop = f.top;
    gPackListDockedBottom = f.bottom;
    gPackListDockedLeft = f.left;
    gPackListDockedRight = f.right;
}

DockFlags docked()
{
    return {gPackListDockedTop, gPackListDockedBottom, gPackListDockedLeft, gPackListDockedRight};
}

struct Stems {
    const char* stem;
    const char* art;
};
const Stems kSkinButtons[] = {
    {"ButtonClose", "btn_close"},
    {"ButtonMinimise", "btn_minimise"},
    {"ButtonAdd", "btn_add"},
    {"ButtonSelectAll", "btn_selectall"},
    {"ButtonDeselectAll", "btn_deselectall"},
    {"ButtonSelectInverse", "btn_selectinverse"},
    {"Network", "btn_network"},
    {"SoundOn", "sound_on"},
    {"SoundOff", "sound_off"},
};

SkinImage* image(const kivromainfrm& w, const QString& name)
{
    return w.findChild<SkinImage*>(name, Qt::FindDirectChildrenOnly);
}

} // namespace

class TestMainSkin : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        setDocked({});
        gActionArmed = false;
        Prompts::clearRecords();
    }

    void windowWearsTheSkin()
    {
        kivromainfrm w;
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(w.minimumSize(), QSize(540, 334));
        QCOMPARE(w.maximumSize(), QSize(540, 334));
        QCOMPARE(w.mask(), MainWindowMask());
        QCOMPARE(w.mSkinRegion, MainWindowMask());
        QCOMPARE(w.BG_Img->geometry(), QRect(3, 22, 534, 309));
        QCOMPARE(w.BG_Img->pictureName(SkinImage::Picture::Up), QStringLiteral("main_bg"));
        // The background lies under every other control.
        QWidget* lowest = nullptr;
        for (QObject* o : w.children())
            if ((lowest = qobject_cast<QWidget*>(o)))
                break;
        QCOMPARE(lowest, static_cast<QWidget*>(w.BG_Img));
        QCOMPARE(w.TesmaKivroCaption->text(), QStringLiteral("Tesma Kivro Pro"));
        QCOMPARE(w.font().family(), QStringLiteral("Arial"));

        // Every control the window has sits at its place; the skin's own are all there.
        for (const char* name : {"KivroIcon_Img",
                                 "TesmaKivroCaption",
                                 "FileMenu_File_Img",
                                 "FileMenu_Action_Img",
                                 "FileMenu_Option_Img",
                                 "FileMenu_Help_Img",
                                 "ButtonMinimise_Img",
                                 "ButtonClose_Img",
                                 "Network_Img",
                                 "folder_lbl",
                                 "ButtonSelectAll_Img",
                                 "ButtonDeselectAll_Img",
                                 "ButtonSelectInverse_Img",
                                 "ButtonAdd_Img",
                                 "SoundOn_Img",
                                 "SoundOff_Img",
                                 "MpegInfoVideoSize_Lbl",
                                 "MpegInfoVideoRate_Lbl",
                                 "PackImg",
                                 "PackDownFullViewImg",
                                 "PackCANCELImg",
                                 "UnpackImg",
                                 "UnPackCANCELImg",
                                 "BusyIconImg",
                                 "NotBusyIconImg",
                                 "WebBrowserImg",
                                 "EmailImg",
                                 "SaveAs_lbl",
                                 "percentdone_lbl",
                                 "TimeRemainingLbl"})
            QVERIFY2(w.findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly), name);
        for (const skin::LayoutEntry& e : skin::kMainLayout) {
            QWidget* c = w.findChild<QWidget*>(str(e.name), Qt::FindDirectChildrenOnly);
            if (!c)
                continue;
            QCOMPARE(c->geometry(), skin::windowRect(e.name));
            // Pictures that are not small buttons show their own artwork.
            auto* img = qobject_cast<SkinImage*>(c);
            if (img && e.kind != skin::Kind::Button) {
                const QString up = img->pictureName(SkinImage::Picture::Up);
                QVERIFY2(up == str(e.picture) || up == str(e.picture) + QStringLiteral("_up"), e.name.data());
                QVERIFY(!img->autoStates());
            }
        }
        for (std::string_view name : skin::kHiddenControls) {
            if (QWidget* c = w.findChild<QWidget*>(str(name), Qt::FindDirectChildrenOnly))
                QVERIFY2(c->isHidden(), name.data());
        }
        // At rest: Pack, Unpack and the not-busy light show; of every shared place only one.
        for (QWidget* shown : {static_cast<QWidget*>(w.PackImg), static_cast<QWidget*>(w.UnpackImg),
                               static_cast<QWidget*>(w.NotBusyIconImg), static_cast<QWidget*>(w.SoundOn_Img)})
            QVERIFY2(!shown->isHidden(), qPrintable(shown->objectName()));
        for (QWidget* hidden :
             {static_cast<QWidget*>(w.PackCANCELImg), static_cast<QWidget*>(w.UnPackCANCELImg),
              static_cast<QWidget*>(w.PackDownFullViewImg), static_cast<QWidget*>(w.BusyIconImg),
              static_cast<QWidget*>(w.SoundOff_Img), static_cast<QWidget*>(w.percentdone_lbl_above96DPI)})
            QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
        QCOMPARE(w.PackImg->toolTip(), QStringLiteral("Pack"));
        QCOMPARE(w.UnpackImg->toolTip(), QStringLiteral("Unpack"));
    }

    void busyStateOnTheSkin()
    {
        kivromainfrm w;
        // The bar the actions show (left 70, 420 twips above the bottom of the client area)
        // lands in the trough the skin draws for it.
        CProgBar32& bar = w.mActionFrame.mProgressBar;
        w.mActionFrame.ShowProgressBar();
        QVERIFY(bar.bar());
        QCOMPARE(bar.bar()->geometry(), QRect(70, w.progressBarParent()->height() - 420 / 15, 246, 15));
        QCOMPARE(QRect(bar.bar()->mapTo(&w, QPoint(0, 0)), bar.bar()->size()), skin::windowRect("mProgressBar"));
        bar.DestroyProgBar();

        // The busy light and the not-busy light take turns at their place.
        w.DisableControlsWhileBusy();
        QVERIFY(!w.BusyIconImg->isHidden());
        QVERIFY(w.NotBusyIconImg->isHidden());
        // Both percentage labels hold the caption; only one draws it.
        w.setPercentDoneCaption(QStringLiteral("42%"));
        w.setPercentDoneVisible(true);
        QCOMPARE(w.percentdone_lbl_above96DPI->text(), QStringLiteral("42%"));
        QCOMPARE(w.percentdone_lbl_above96DPI->palette().color(QPalette::WindowText).alpha(), 0);
        QVERIFY(w.percentdone_lbl->palette().color(QPalette::WindowText).alpha() > 0);
        w.ResetAfterAction();
        QVERIFY(w.BusyIconImg->isHidden());
        QVERIFY(!w.NotBusyIconImg->isHidden());
    }

    void skinButtonsShowTheirTemplates()
    {
        kivromainfrm w;
        for (const Stems& b : kSkinButtons) {
            const QString stem = QLatin1String(b.stem);
            SkinImage* visible = image(w, stem + QStringLiteral("_Img"));
            QVERIFY2(visible, b.stem);
            QVERIFY(visible->autoStates());
            struct State {
                const char* suffix;
                SkinImage::Picture state;
                const char* art;
            };
            for (const auto& [suffix, state, artSuffix] : {State{"_Up_Img", SkinImage::Picture::Up, "_up"},
                                                           State{"_Over_Img", SkinImage::Picture::Over, "_over"},
                                                           State{"_Down_Img", SkinImage::Picture::Down, "_down"}}) {
                SkinImage* t = image(w, stem + QLatin1String(suffix));
                QVERIFY2(t, qPrintable(stem + QLatin1String(suffix)));
                QVERIFY(t->isHidden());
                const QString art = QLatin1String(b.art) + QLatin1String(artSuffix);
                QCOMPARE(t->pictureName(SkinImage::Picture::Up), art);
                QCOMPARE(visible->pictureName(state), art);
                QCOMPARE(w.TemplatePicture(stem + QLatin1String(suffix)), art);
            }
        }
        QCOMPARE(w.TemplatePicture(QStringLiteral("NoSuch_Up_Img")), QString());
    }

    void overPictureStaysUntilAResettingMove_data()
    {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<bool>("resets");
        QTest::newRow("background") << "BG_Img" << true;
        QTest::newRow("folder list") << "Dir1" << true;
        QTest::newRow("file list") << "File1" << true;
        QTest::newRow("folder glyph") << "folder_lbl" << true;
        QTest::newRow("video size") << "MpegInfoVideoSize_Lbl" << true;
        QTest::newRow("frame rate") << "MpegInfoVideoRate_Lbl" << true;
        QTest::newRow("save-as button") << "Browse_cmd" << true;
        QTest::newRow("another skin button") << "ButtonSelectAll_Img" << false;
        QTest::newRow("caption") << "TesmaKivroCaption" << false;
        QTest::newRow("save-as label") << "SaveAs_lbl" << false;
        QTest::newRow("save-as box") << "SaveAsNewFilename_txt" << false;
    }
    void overPictureStaysUntilAResettingMove()
    {
        QFETCH(QString, surface);
        QFETCH(bool, resets);
        kivromainfrm w;
        w.show();
        QWidget* target = w.findChild<QWidget*>(surface, Qt::FindDirectChildrenOnly);
        QVERIFY(target);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
            target = area->viewport();
        for (SkinImage* b : {w.ButtonAdd_Img, w.ButtonClose_Img, w.Network_Img})
            hover(b);
        QCOMPARE(w.ButtonAdd_Img->picture(), SkinImage::Picture::Over);
        hover(target);
        for (SkinImage* b : {w.ButtonAdd_Img, w.ButtonClose_Img, w.Network_Img})
            QCOMPARE(b->picture(), resets ? SkinImage::Picture::Up : SkinImage::Picture::Over);
        w.ResetSkinButtons();
        for (const Stems& b : kSkinButtons)
            QCOMPARE(image(w, QLatin1String(b.stem) + QStringLiteral("_Img"))->picture(), SkinImage::Picture::Up);
    }

    void pictureButtonsClickTheirCommands()
    {
        kivromainfrm w;
        w.show();
        QStringList clicked;
        for (QPushButton* cmd : {w.AddFileToList_Cmb, w.SelAll_Cmd, w.DeSelAll_Cmd, w.InvSel_Cmd})
            connect(cmd, &QPushButton::clicked, this, [&clicked, cmd] { clicked << cmd->objectName(); });
        for (SkinImage* img :
             {w.ButtonAdd_Img, w.ButtonSelectAll_Img, w.ButtonDeselectAll_Img, w.ButtonSelectInverse_Img})
            QTest::mouseClick(img, Qt::LeftButton, {}, QPoint(9, 9));
        QCOMPARE(clicked, (QStringList{"AddFileToList_Cmb", "SelAll_Cmd", "DeSelAll_Cmd", "InvSel_Cmd"}));
        // Released off the picture: no click. While an action runs the commands are disabled.
        QTest::mousePress(w.ButtonAdd_Img, Qt::LeftButton, {}, QPoint(9, 9));
        QTest::mouseRelease(w.ButtonAdd_Img, Qt::LeftButton, {}, QPoint(40, 9));
        w.DisableControlsWhileBusy();
        QTest::mouseClick(w.ButtonSelectAll_Img, Qt::LeftButton, {}, QPoint(9, 9));
        w.ResetAfterAction();
        QCOMPARE(clicked.size(), 4);
    }

    void folderLabelTipIsTheWholeFolder()
    {
        const QString deep = kivrotest::rootDir()
                             + QStringLiteral("/a rather long folder name/and another one below it");
        QVERIFY(QDir().mkpath(deep));
        kivromainfrm w;
        w.show();
        QVERIFY(w.BrowseTo(deep));
        QVERIFY(w.seldir_lbl->text() != deep); // shortened to fit
        hover(w.seldir_lbl);
        QCOMPARE(w.seldir_lbl->toolTip(), deep);
    }

    void roundLinksGiveTheHandInsideTheirCircle()
    {
        kivromainfrm w;
        w.show();
        for (SkinImage* link : {w.WebBrowserImg, w.EmailImg}) {
            w.setMousePointer(MainWindowLink::kPointerDefault);
            hover(link, {1, 1}); // the picture's corner lies outside its circle
            QCOMPARE(w.mousePointer(), MainWindowLink::kPointerDefault);
            hover(link, {16, 16});
            QCOMPARE(w.mousePointer(), MainWindowLink::kPointerHand);
        }
    }

    void dragHandles_data()
    {
        QTest::addColumn<QString>("handle");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<int>("pointer"); // after the moves
        QTest::addColumn<bool>("armed");
        QTest::newRow("background, idle") << "BG_Img" << false << int(MainWindowLink::kPointerDefault) << false;
        QTest::newRow("background, busy") << "BG_Img" << true << int(MainWindowLink::kPointerHourglass) << false;
        QTest::newRow("form, idle") << "form" << false << int(MainWindowLink::kPointerDefault) << false;
        QTest::newRow("form, busy") << "form" << true << int(MainWindowLink::kPointerHourglass) << false;
        QTest::newRow("icon") << "KivroIcon_Img" << false << int(MainWindowLink::kPointerHand) << true;
        QTest::newRow("caption, busy") << "TesmaKivroCaption" << true << int(MainWindowLink::kPointerHand) << true;
    }
    void dragHandles()
    {
        QFETCH(QString, handle);
        QFETCH(bool, busy);
        QFETCH(int, pointer);
        QFETCH(bool, armed);
        kivromainfrm w;
        w.move(100, 100);
        w.show();
        if (busy)
            w.DisableControlsWhileBusy();
        w.setMousePointer(MainWindowLink::kPointerHand);
        gActionArmed = true;
        QWidget* target = handle == QLatin1String("form") ? static_cast<QWidget*>(&w)
                                                          : w.findChild<QWidget*>(handle, Qt::FindDirectChildrenOnly);
        QVERIFY(target);
        // The form shows only outside every control (its frame corner).
        const QPoint local = target == &w ? QPoint(1, 1) : QPoint(4, 4);
        QVERIFY(target == &w ? w.childAt(local) == nullptr : w.childAt(target->mapTo(&w, local)) == target);
        const QPoint press = target->mapToGlobal(local);

        sendMouse(target, QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton); // any button drags
        QVERIFY(w.mDrag.dragging);
        QCOMPARE(w.mDrag.dragX, std::int16_t(local.x() * 15));
        sendMouse(target, QEvent::MouseMove, press + QPoint(12, 4), Qt::NoButton, Qt::RightButton);
        sendMouse(target, QEvent::MouseMove, press + QPoint(20, 10), Qt::NoButton, Qt::RightButton);
        QCOMPARE(w.pos(), QPoint(120, 110));
        sendMouse(target, QEvent::MouseButtonRelease, press + QPoint(20, 10), Qt::RightButton);
        QVERIFY(!w.mDrag.dragging);
        QCOMPARE(w.mousePointer(), pointer);
        QCOMPARE(gActionArmed, armed);
        // Once released, moves drag nothing.
        sendMouse(target, QEvent::MouseMove, press + QPoint(60, 30));
        QCOMPARE(w.pos(), QPoint(120, 110));
        w.ResetAfterAction();
    }

    void dragCarriesADockedPackList_data()
    {
        QTest::addColumn<DockFlags>("flags");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("carried");
        QTest::newRow("not docked") << DockFlags{} << true << false;
        QTest::newRow("docked on top") << DockFlags{true, false, false, false} << true << true;
        QTest::newRow("docked below") << DockFlags{false, true, false, false} << true << true;
        QTest::newRow("docked left") << DockFlags{false, false, true, false} << true << true;
        QTest::newRow("docked right, hidden") << DockFlags{false, false, false, true} << false << true;
        QTest::newRow("docked below and right") << DockFlags{false, true, false, true} << true << true;
    }
    void dragCarriesADockedPackList()
    {
        QFETCH(DockFlags, flags);
        QFETCH(bool, shown);
        QFETCH(bool, carried);
        kivromainfrm w;
        w.move(100, 100);
        w.show();
        Brovletfrm* packList = PackListForm();
        packList->move(700, 120);
        packList->setVisible(shown);
        setDocked(flags);
        // By 300 twips right and 150 down: 20 and 10 pixels.
        w.BG_Img_MouseDown(1200, 900);
        w.BG_Img_MouseMove(1500, 1050);
        w.BG_Img_MouseUp();
        QCOMPARE(w.pos(), QPoint(120, 110));
        QCOMPARE(packList->pos(), carried ? QPoint(720, 130) : QPoint(700, 120));
        QCOMPARE(packList->isVisible(), shown);
        // The drag neither snaps nor changes the flags.
        QCOMPARE(docked(), flags);
    }

    void minimiseHidesThePackListAndUnchecksShowPackList()
    {
        kivromainfrm w;
        w.show();
        QAction* item = w.ShowBrovletMnu;
        QVERIFY(item->isChecked());
        PackListForm()->show();
        // Pressed on Minimise, released elsewhere: it acts on the release.
        QTest::mousePress(w.ButtonMinimise_Img, Qt::LeftButton, {}, QPoint(9, 9));
        QVERIFY(!w.isMinimized());
        QTest::mouseRelease(w.ButtonMinimise_Img, Qt::LeftButton, {}, QPoint(200, 90));
        QVERIFY(w.isMinimized());
        QVERIFY(PackListForm()->isHidden());
        QVERIFY(!item->isChecked());
        QCOMPARE(w.ButtonMinimise_Img->picture(), SkinImage::Picture::Up);
    }

    void minimiseCreatesThePackListWindowToHideIt()
    {
        kivromainfrm w;
        QCOMPARE(gPackListForm, nullptr);
        w.MinimiseWindow();
        QVERIFY(gPackListForm);
        QVERIFY(gPackListForm->isHidden());
    }

    void closeActsOnItsReleaseWherever()
    {
        kivromainfrm w;
        w.show();
        QList<int> ended;
        mMain::SetEndProcessForTests([&](int status) { ended << status; });
        QTest::mousePress(w.ButtonClose_Img, Qt::LeftButton, {}, QPoint(9, 9));
        QCOMPARE(w.ButtonClose_Img->picture(), SkinImage::Picture::Down);
        QVERIFY(ended.isEmpty());
        QTest::mouseRelease(w.ButtonClose_Img, Qt::LeftButton, {}, QPoint(-300, 200));
        mMain::SetEndProcessForTests(nullptr);
        QCOMPARE(ended, QList<int>{0});
        QVERIFY(!w.isVisible());
        QCOMPARE(w.ButtonClose_Img->picture(), SkinImage::Picture::Up);
    }

    void magnetiseSnapsThePackList_data()
    {
        // Pixels; the pack-list window is 322 x 293 (4,830 x 4,395 twips), the main window
        // 540 x 334 (8,100 x 5,010).
        QTest::addColumn<QPoint>("main");
        QTest::addColumn<QPoint>("packList");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QPoint>("snapped");
        QTest::addColumn<DockFlags>("flags");
        QTest::newRow("on top") << QPoint(100, 500) << QPoint(150, 100) << true << QPoint(150, 232)
                                << DockFlags{true, false, false, false};
        QTest::newRow("below") << QPoint(100, 100) << QPoint(150, 480) << true << QPoint(150, 409)
                               << DockFlags{false, true, false, false};
        QTest::newRow("left") << QPoint(600, 100) << QPoint(50, 100) << true << QPoint(284, 100)
                              << DockFlags{false, false, true, false};
        QTest::newRow("right") << QPoint(100, 100) << QPoint(700, 100) << true << QPoint(634, 100)
                               << DockFlags{false, false, false, true};
        QTest::newRow("right, hidden") << QPoint(100, 100) << QPoint(700, 100) << false << QPoint(634, 100)
                                       << DockFlags{false, false, false, true};
        QTest::newRow("overlapping: detached")
            << QPoint(100, 100) << QPoint(150, 150) << true << QPoint(150, 150) << DockFlags{};
    }
    void magnetiseSnapsThePackList()
    {
        QFETCH(QPoint, main);
        QFETCH(QPoint, packList);
        QFETCH(bool, shown);
        QFETCH(QPoint, snapped);
        QFETCH(DockFlags, flags);
        kivromainfrm w;
        w.move(main);
        w.show();
        Brovletfrm* p = PackListForm();
        p->move(packList);
        p->setVisible(shown);
        setDocked({true, true, true, true});
        w.MagnetisePackList();
        QCOMPARE(p->pos(), snapped);
        QCOMPARE(p->size(), QSize(322, 293));
        QCOMPARE(docked(), flags);
        QCOMPARE(p->isVisible(), shown);
        QCOMPARE(w.pos(), main);
    }

    void magnetiseFromTheOptionsMenu()
    {
        kivromainfrm w;
        w.move(100, 100);
        w.show();
        Brovletfrm* p = PackListForm();
        p->move(700, 100);
        const DockFlags right{false, false, false, true};
        w.MagnetiseMnu->trigger();
        QCOMPARE(p->pos(), QPoint(634, 100));
        QCOMPARE(docked(), right);
        // Switching the magnet off snaps nothing and leaves the pack list attached; switching it
        // on snaps it at once.
        w.MagnetMnu->setChecked(true); // as the stored setting "On" leaves it
        p->move(700, 100);
        w.MagnetMnu->trigger();
        QVERIFY(!w.MagnetMnu->isChecked());
        QCOMPARE(p->pos(), QPoint(700, 100));
        QCOMPARE(docked(), right);
        w.MagnetMnu->trigger();
        QVERIFY(w.MagnetMnu->isChecked());
        QCOMPARE(p->pos(), QPoint(634, 100));
    }
};

KIVRO_TEST_MAIN(TestMainSkin)
#include "tst_mainskin.moc"
