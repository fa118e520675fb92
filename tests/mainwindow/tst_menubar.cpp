// The action pictures, the image menu bar and the window's shortcuts through the real main window
// (offscreen): pressing and releasing Pack and Unpack, the pointer over the round pictures and the
// Cancel pictures, the popups and their refusal while an action runs, the menu tree, the keys
// whichever control has the focus, their refusal during a real pack, "Show Pack List", the tip
// window, Exit and the zip picture.
#include "KivroTest.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Tipfrm.h"
#include "engine/EngineGlobals.h"
#include "engine/StringHelpers.h"
#include "dialogs/Preferencesfrm.h"
#include "mainwindow/kivromainfrm.h"
#include "mainwindow/mMain.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QWindow>

using namespace kivro;

namespace {

QString box(const QString& icon, const QString& buttons, const QString& text, const QString& answer)
{
    return QStringList{QStringLiteral("box"), icon, buttons, kAppTitle, Prompts::escape(text), answer}.join(
        QLatin1Char('|'));
}
const QString kNothingToPack = box("Exclamation", "OK", "Nothing to pack.", "OK");
const QString kNothingToUnpack = box("Exclamation", "OK", "Nothing to unpack.", "OK");

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& local, Qt::MouseButton button = Qt::NoButton,
               Qt::MouseButtons held = Qt::NoButton)
{
    const QPointF global = target->mapToGlobal(QPointF(local));
    QMouseEvent e(type, QPointF(local), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

void hover(QWidget* target, QPoint local)
{
    sendMouse(target, QEvent::MouseMove, local);
}

QPoint centre(const QWidget* w)
{
    return QPoint(w->width() / 2, w->height() / 2);
}

// The menu as lines: "---" for a separator, "(off) " before a disabled item, the shortcut shown
// after two blanks, " >" after a submenu (whose items are not listed).
QStringList menuLines(const QMenu* menu)
{
    QStringList lines;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            lines << QStringLiteral("---");
            continue;
        }
        QString line = a->isEnabled() ? QString() : QStringLiteral("(off) ");
        line += a->text();
        if (!a->shortcut().isEmpty())
            line += QStringLiteral("  ") + a->shortcut().toString();
        if (a->menu())
            line += QStringLiteral(" >");
        lines << line;
    }
    return lines;
}

// One click of the left button at `local` of the window `w`, delivered as the window system
// delivers it, at the time stamp `time`: two clicks at one place with one stamp make a double-click.
void systemClick(QWidget& w, QPoint local, int time)
{
    QWindow* window = w.windowHandle();
    const QPointF global = w.mapToGlobal(QPointF(local));
    const QPointF inWindow = window->mapFromGlobal(global);
    qt_handleMouseEvent(window, inWindow, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress,
                        Qt::NoModifier, time);
    qt_handleMouseEvent(window, inWindow, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease,
                        Qt::NoModifier, time);
}

} // namespace

class TestMenuBar : public QObject {
    Q_OBJECT
    static void closePopups(kivromainfrm& w)
    {
        for (QMenu* m : {w.FileMnu, w.ActionMnu, w.OptMnu, w.HelpMnu})
            m->hide();
    }

    QString dir;
    QString p(const QString& name) const { return dir + QLatin1Char('/') + name; }

    // A shown, active window whose browser shows `dir` with three files, none selected, and
    // whose save-as box is empty.
    void openOn(kivromainfrm& w)
    {
        for (const char* name : {"a.mpg", "b.mpg", "c.mpg"})
            kivrotest::writeFile(p(QLatin1String(name)), "x");
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(w.BrowseTo(dir));
        w.DeSelAll_Cmd_Click();
        w.SaveAsNewFilename_txt->clear();
        QCOMPARE(w.File1->ListCount(), 3);
    }

    // Ready for a long pack: MPEG check off, the slowest rate, two files of 2,000,000 bytes
    // ("one<ext>", "two<ext>") in the pack list and `out` (removed) in the save-as box. Returns
    // the files' bytes.
    QByteArray readyForALongPack(kivromainfrm& w, const QString& ext, const QString& out)
    {
        if (w.MCheckMnu->isChecked())
            w.MCheckMnu_Click();
        w.SlowSpeedChk_Click();
        const QByteArray big(2000000, 'k');
        for (const QString& name : {QStringLiteral("one") + ext, QStringLiteral("two") + ext}) {
            kivrotest::writeFile(p(name), big);
            w.packList().append(dir + QLatin1Char('/'), name);
        }
        QFile::remove(out);
        w.SaveAsNewFilename_txt->setText(out);
        return big;
    }

    static int selectedCount(const kivromainfrm& w)
    {
        int n = 0;
        for (int i = 0; i < w.File1->ListCount(); ++i)
            n += w.File1->Selected(i) ? 1 : 0;
        return n;
    }

private slots:
    void initTestCase()
    {
        // The test's program folder (gAppPath) holds the tip window's files: the save dialog's
        // EnableBottomMostFrm loads that window whenever it is not loaded.
        for (const char* name : {"/Tod.ir", "/tod.ctd"})
            QFile::copy(QStringLiteral(KIVRO_PROGRAM_DIR) + QLatin1String(name),
                        kivrotest::rootDir() + QLatin1String(name));
        dir = kivrotest::rootDir() + QStringLiteral("/files");
        // The stored file types the save dialog offers.
        ResetFileFilter();
    }
    void init()
    {
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        Prompts::enableScripted();
        gActionArmed = false;
        gCancelArmed = false;
        gSaveAsFileSaved = false;
        gAppPath = kivrotest::rootDir();
    }

    // --- Pack and Unpack pictures --------------------------------------------------------------

    void packPictureArmsOnALeftPress_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("armedBefore");
        QTest::addColumn<bool>("pressed");
        QTest::newRow("left") << int(Qt::LeftButton) << false << true;
        QTest::newRow("right") << int(Qt::RightButton) << false << false;
        QTest::newRow("left while armed") << int(Qt::LeftButton) << true << false;
    }
    void packPictureArmsOnALeftPress()
    {
        QFETCH(int, button);
        QFETCH(bool, armedBefore);
        QFETCH(bool, pressed);
        kivromainfrm w;
        w.show();
        gActionArmed = armedBefore;
        const auto b = Qt::MouseButton(button);
        // A press in the picture's corner, outside its circle, arms all the same.
        QTest::mousePress(w.PackImg, b, {}, QPoint(1, 1));
        QCOMPARE(w.PackImg->picture(), pressed ? SkinImage::Picture::Down : SkinImage::Picture::Up);
        QCOMPARE(w.PackDownFullViewImg->isVisible(), pressed);
        QCOMPARE(gActionArmed, armedBefore || pressed);
        // Released off the picture: no click, but the released look comes back.
        QTest::mouseRelease(w.PackImg, b, {}, QPoint(200, 1));
        QCOMPARE(w.PackImg->picture(), SkinImage::Picture::Up);
        QVERIFY(w.PackDownFullViewImg->isHidden());
        QVERIFY(Prompts::records().isEmpty());
    }

    void clickRunsTheActionOnlyAfterALeftPress_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("Pack") << "PackImg" << kNothingToPack;
        QTest::newRow("Unpack") << "UnpackImg" << kNothingToUnpack;
    }
    void clickRunsTheActionOnlyAfterALeftPress()
    {
        QFETCH(QString, picture);
        QFETCH(QString, refusal);
        kivromainfrm w;
        w.show();
        auto* img = w.findChild<SkinImage*>(picture, Qt::FindDirectChildrenOnly);
        // A right-button press and release start nothing.
        QTest::mouseClick(img, Qt::RightButton, {}, centre(img));
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!gActionArmed);
        // A left click runs the action (on an empty pack list it has nothing to do).
        QTest::mouseClick(img, Qt::LeftButton, {}, centre(img));
        QCOMPARE(Prompts::records(), QStringList{refusal});
        QVERIFY(w.BusyIconImg->isHidden());
        QVERIFY(!gActionArmed);
    }

    void actionMenuItemsRunTheActions()
    {
        kivromainfrm w;
        w.show();
        w.PackMnu->trigger();
        w.UnpackMnu->trigger();
        QCOMPARE(Prompts::records(), (QStringList{kNothingToPack, kNothingToUnpack}));
    }

    void packPressedCopyNeverCoversCancel()
    {
        kivromainfrm w;
        w.show();
        // Pack, its pressed copy and Cancel share one place, from the bottom in that order; the
        // pressed copy takes no mouse input.
        const QObjectList& order = w.children();
        QVERIFY(order.indexOf(w.PackImg) < order.indexOf(w.PackDownFullViewImg));
        QVERIFY(order.indexOf(w.PackDownFullViewImg) < order.indexOf(w.PackCANCELImg));
        QVERIFY(order.indexOf(w.UnpackImg) < order.indexOf(w.UnPackCANCELImg));
        QVERIFY(w.PackDownFullViewImg->testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    void unpackReleaseShowsPackUnlessCancelStandsThere_data()
    {
        QTest::addColumn<bool>("packCancelShown");
        QTest::newRow("Pack hidden by itself") << false;
        QTest::newRow("Pack Cancel in its place") << true;
    }
    void unpackReleaseShowsPackUnlessCancelStandsThere()
    {
        QFETCH(bool, packCancelShown);
        kivromainfrm w;
        w.show();
        w.setCancelPictureShown(QStringLiteral("pack"), packCancelShown);
        w.PackImg->hide();
        QTest::mousePress(w.UnpackImg, Qt::LeftButton, {}, centre(w.UnpackImg));
        QCOMPARE(w.UnpackImg->picture(), SkinImage::Picture::Down);
        QVERIFY(gActionArmed);
        QTest::mouseRelease(w.UnpackImg, Qt::LeftButton, {}, QPoint(300, 0));
        QCOMPARE(w.UnpackImg->picture(), SkinImage::Picture::Up);
        QCOMPARE(w.PackImg->isHidden(), packCancelShown);
        QCOMPARE(w.PackCANCELImg->isHidden(), !packCancelShown);
    }

    void roundPicturesPointer_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("inside");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        const int arrow = MainWindowLink::kPointerDefault;
        const int hourglass = MainWindowLink::kPointerHourglass;
        const int hand = MainWindowLink::kPointerHand;
        for (const char* picture : {"PackImg", "UnpackImg", "WebBrowserImg", "EmailImg"}) {
            const QByteArray n(picture);
            QTest::newRow(n + ", inside") << QString::fromLatin1(n) << true << false << arrow << hand;
            QTest::newRow(n + ", outside after the hand") << QString::fromLatin1(n) << false << false << hand << arrow;
            QTest::newRow(n + ", outside after the hand, busy")
                << QString::fromLatin1(n) << false << true << hand << hourglass;
            QTest::newRow(n + ", inside the hourglass")
                << QString::fromLatin1(n) << true << true << hourglass << hourglass;
            QTest::newRow(n + ", outside the hourglass")
                << QString::fromLatin1(n) << false << false << hourglass << hourglass;
        }
    }
    void roundPicturesPointer()
    {
        QFETCH(QString, picture);
        QFETCH(bool, inside);
        QFETCH(bool, busy);
        QFETCH(int, before);
        QFETCH(int, after);
        kivromainfrm w;
        w.show();
        if (busy)
            w.DisableControlsWhileBusy();
        w.setMousePointer(before);
        auto* img = w.findChild<SkinImage*>(picture, Qt::FindDirectChildrenOnly);
        QVERIFY(img);
        hover(img, inside ? centre(img) : QPoint(1, 1));
        QCOMPARE(w.mousePointer(), after);
        QCOMPARE(w.cursor().shape(), after == MainWindowLink::kPointerHourglass ? Qt::WaitCursor
                                     : after == MainWindowLink::kPointerDefault ? Qt::ArrowCursor
                                                                                : w.mHandCursor.shape());
        w.ResetAfterAction();
    }

    void cancelPicturesPointer_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("zipChecked");
        QTest::addColumn<bool>("zipStepShown");
        QTest::addColumn<bool>("inside");
        QTest::addColumn<int>("pointer");
        const int hourglass = MainWindowLink::kPointerHourglass;
        const int hand = MainWindowLink::kPointerHand;
        QTest::newRow("pack, copying") << "PackCANCELImg" << true << false << true << hand;
        QTest::newRow("pack, zipping, inside") << "PackCANCELImg" << true << true << true << hourglass;
        QTest::newRow("pack, zipping, outside") << "PackCANCELImg" << true << true << false << hourglass;
        QTest::newRow("pack, zip label without zip") << "PackCANCELImg" << false << true << true << hand;
        QTest::newRow("unpack, copying") << "UnPackCANCELImg" << true << false << true << hand;
        QTest::newRow("unpack, zipping, inside") << "UnPackCANCELImg" << true << true << true << hourglass;
        QTest::newRow("unpack, zipping, outside") << "UnPackCANCELImg" << true << true << false << hand;
        QTest::newRow("unpack, zip label without zip") << "UnPackCANCELImg" << false << true << true << hand;
    }
    void cancelPicturesPointer()
    {
        QFETCH(QString, picture);
        QFETCH(bool, zipChecked);
        QFETCH(bool, zipStepShown);
        QFETCH(bool, inside);
        QFETCH(int, pointer);
        kivromainfrm w;
        w.show();
        w.ZipCompressMnu->setChecked(zipChecked);
        w.ZipProcess_Lbl->setVisible(zipStepShown);
        w.DisableControlsWhileBusy();
        w.setCancelPictureShown(
            picture == QLatin1String("PackCANCELImg") ? QStringLiteral("pack") : QStringLiteral("unpack"), true);
        w.setMousePointer(MainWindowLink::kPointerHourglass);
        auto* img = w.findChild<SkinImage*>(picture, Qt::FindDirectChildrenOnly);
        hover(img, inside ? centre(img) : QPoint(1, 1));
        QCOMPARE(w.mousePointer(), pointer);

        // A right press arms nothing; a left press arms the cancel and shows the pressed look.
        QTest::mousePress(img, Qt::RightButton, {}, centre(img));
        QVERIFY(!gCancelArmed);
        QCOMPARE(img->picture(), SkinImage::Picture::Up);
        QTest::mouseRelease(img, Qt::RightButton, {}, centre(img));
        QTest::mousePress(img, Qt::LeftButton, {}, centre(img));
        QVERIFY(gCancelArmed);
        QCOMPARE(img->picture(), SkinImage::Picture::Down);
        QTest::mouseRelease(img, Qt::LeftButton, {}, QPoint(300, 0));
        QCOMPARE(img->picture(), SkinImage::Picture::Up);
        QVERIFY(w.PackDownFullViewImg->isHidden());
        w.ResetAfterAction();
    }

    // --- the menu bar -----------------------------------------------------------------------------

    void menuBarPopups_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("state"); // "idle", "busy", "hourglass"
        QTest::addColumn<bool>("opens");
        const struct {
            const char* picture;
            const char* menu;
            bool always;
        } bar[] = {{"FileMenu_File_Img", "FileMnu", false},
                   {"FileMenu_Action_Img", "ActionMnu", false},
                   {"FileMenu_Option_Img", "OptMnu", false},
                   {"FileMenu_Help_Img", "HelpMnu", true}};
        for (const auto& b : bar)
            for (const char* state : {"idle", "busy", "hourglass"})
                QTest::newRow(QByteArray(b.menu) + ", " + state)
                    << QString::fromLatin1(b.picture) << QString::fromLatin1(b.menu) << QString::fromLatin1(state)
                    << (b.always || QByteArray(state) == "idle");
    }
    void menuBarPopups()
    {
        QFETCH(QString, picture);
        QFETCH(QString, menu);
        QFETCH(QString, state);
        QFETCH(bool, opens);
        kivromainfrm w;
        w.show();
        if (state == QLatin1String("busy"))
            w.DisableControlsWhileBusy();
        else if (state == QLatin1String("hourglass"))
            w.setMousePointer(MainWindowLink::kPointerHourglass);
        auto* img = w.findChild<SkinImage*>(picture, Qt::FindDirectChildrenOnly);
        auto* popup = w.findChild<QMenu*>(menu);
        QVERIFY(img && popup);
        QTest::mouseClick(img, Qt::LeftButton, {}, centre(img));
        QCOMPARE(popup->isVisible(), opens);
        // Only the picture's own popup opens.
        for (QMenu* other : {w.FileMnu, w.ActionMnu, w.OptMnu, w.HelpMnu})
            if (other != popup)
                QVERIFY(!other->isVisible());
        closePopups(w);
        w.ResetAfterAction();
    }

    void popupsHoldTheirItems()
    {
        kivromainfrm w;
        QCOMPARE(menuLines(w.FileMnu), (QStringList{"Save As...  Ctrl+S", "---", "E&xit"}));
        QCOMPARE(menuLines(w.ActionMnu),
                 (QStringList{"&Pack  Ctrl+P", "&Unpack  Ctrl+U", "---", "Select &All  Ctrl+A", "De&select All  Ctrl+D",
                              "&Inverse Select  Ctrl+I", "---", "Re&fresh  F5"}));
        QCOMPARE(menuLines(w.OptMnu),
                 (QStringList{"Pre&ferences... >", "---", "Show Pack List", "---", "Magnet", "&Magnetise"}));
        QCOMPARE(menuLines(w.HelpMnu),
                 (QStringList{"Tesma Kivro Help Topics  F1", "Tip of the Day", "---", "Technical &Support", "---",
                              "Tesma", "Kivro Webpage", "Kivro FAQ", "---", "&About Tesma Kivro..."}));
        for (QAction* on : {w.GeneralMnu, w.CustomSizeChk, w.CopyrightStampingMnu, w.FileTypeMnu, w.TechMnu, w.AbtMnu})
            QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));
        QVERIFY(w.ShowBrovletMnu->isChecked());
    }

    void showPackListTwiceHidesAndShows()
    {
        kivromainfrm w;
        w.show();
        PackListForm()->show();
        QVERIFY(w.ShowBrovletMnu->isChecked());
        w.ShowBrovletMnu->trigger();
        QVERIFY(PackListForm()->isHidden());
        QVERIFY(!w.ShowBrovletMnu->isChecked());
        w.ShowBrovletMnu->trigger();
        QVERIFY(PackListForm()->isVisible());
        QVERIFY(w.ShowBrovletMnu->isChecked());
        // After Minimise hid it, the item shows it again.
        w.MinimiseWindow();
        QVERIFY(PackListForm()->isHidden());
        w.ShowBrovletMnu->trigger();
        QVERIFY(PackListForm()->isVisible());
        QVERIFY(w.ShowBrovletMnu->isChecked());
    }

    void tipOfTheDayIsOwnedByTheMainWindow()
    {
        kivromainfrm w;
        w.show();
        w.TODMnu->trigger();
        QVERIFY(TipForm()->isVisible());
        QCOMPARE(TipForm()->parentWidget(), &w);
        // The tip window outlives this test's main window.
        TipForm()->cmdOK_Click();
        TipForm()->setParent(nullptr);
    }

    // The Help items open the about and support boxes modally, without an owner, also while an
    // action runs; each closes with its own key.
    void helpItemsOpenTheInformationBoxes_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("closeKey");
        QTest::newRow("about") << "AbtMnu"
                               << "About Tesma Kivro Pro" << int(Qt::Key_Return);
        QTest::newRow("support") << "TechMnu"
                                 << "Tesma Kivro Technical Support" << int(Qt::Key_Escape);
    }

    void helpItemsOpenTheInformationBoxes()
    {
        QFETCH(QString, item);
        QFETCH(QString, title);
        QFETCH(int, closeKey);
        kivromainfrm w;
        w.show();
        w.BusyIconImg->show();
        QVERIFY(w.ActionRunning());
        auto* action = w.findChild<QAction*>(item);
        QVERIFY(action && action->isEnabled());
        QString seen;
        bool owned = true;
        bool modal = false;
        QTimer::singleShot(0, &w, [&] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            seen = box->windowTitle();
            owned = box->parentWidget() != nullptr;
            modal = box->isModal();
            if (item == QLatin1String("AbtMnu"))
                QCOMPARE(box->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("1.0.3"));
            QTest::keyClick(box, Qt::Key(closeKey));
            if (box->isVisible()) {
                box->hide();
                QFAIL("the key did not close the box");
            }
        });
        action->trigger();
        QCOMPARE(seen, title);
        QVERIFY(modal);
        QVERIFY(!owned);
        QVERIFY(Prompts::records().isEmpty());
    }

    void exitEndsTheProgramThroughTheShutdown()
    {
        kivromainfrm w;
        w.show();
        QList<int> ended;
        mMain::SetEndProcessForTests([&](int status) { ended << status; });
        w.ExitMnu->trigger();
        mMain::SetEndProcessForTests(nullptr);
        QCOMPARE(ended, QList<int>{0});
        QVERIFY(!w.isVisible());
    }

    void zipPictureTurnsWhileShown()
    {
        kivromainfrm w;
        w.show();
        auto* frame = w.ZipAnimIco->findChild<SkinImage*>(QStringLiteral("ZipAnimPicture"));
        QVERIFY(frame);
        QCOMPARE(frame->geometry(), w.ZipAnimIco->rect());
        QCOMPARE(frame->pictureName(SkinImage::Picture::Up), QStringLiteral("zip_0"));
        w.setZipAnimVisible(true);
        QTRY_COMPARE(frame->pictureName(SkinImage::Picture::Up), QStringLiteral("zip_2"));
        w.setZipAnimVisible(false);
        const QString stopped = frame->pictureName(SkinImage::Picture::Up);
        QTest::qWait(300);
        QCOMPARE(frame->pictureName(SkinImage::Picture::Up), stopped);
        // Shown again, it starts at the first frame.
        w.setZipAnimVisible(true);
        QCOMPARE(frame->pictureName(SkinImage::Picture::Up), QStringLiteral("zip_0"));
    }

    // --- keys -------------------------------------------------------------------------------------

    void selectionKeysActWhateverHasTheFocus_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("modifiers");
        const int ctrl = int(Qt::ControlModifier);
        QTest::newRow("save-as box") << "SaveAsNewFilename_txt" << ctrl;
        QTest::newRow("save-as box, Ctrl+Shift") << "SaveAsNewFilename_txt" << (ctrl | int(Qt::ShiftModifier));
        QTest::newRow("file list, Ctrl+Alt") << "File1" << (ctrl | int(Qt::AltModifier));
        QTest::newRow("folder list") << "Dir1" << ctrl;
        QTest::newRow("file types") << "pattern_cmb" << ctrl;
    }
    void selectionKeysActWhateverHasTheFocus()
    {
        QFETCH(QString, focus);
        QFETCH(int, modifiers);
        kivromainfrm w;
        openOn(w);
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/some/where.mpg"));
        auto* target = w.findChild<QWidget*>(focus, Qt::FindDirectChildrenOnly);
        QVERIFY(target);
        target->setFocus();
        QCOMPARE(QApplication::focusWidget(), target);
        const auto mods = Qt::KeyboardModifiers(modifiers);

        QTest::keyClick(target, Qt::Key_A, mods);
        QCOMPARE(selectedCount(w), 3);
        QCOMPARE(w.filesel_lst, (QStringList{"a.mpg", "b.mpg", "c.mpg"}));
        QTest::keyClick(target, Qt::Key_D, mods);
        QCOMPARE(selectedCount(w), 0);
        QVERIFY(w.filesel_lst.isEmpty());
        w.File1->setSelected(1, true);
        w.refresh_filesel_lst();
        QTest::keyClick(target, Qt::Key_I, mods);
        QCOMPARE(w.filesel_lst, (QStringList{"a.mpg", "c.mpg"}));
        // The focus stays where it was, and the box neither selected its text nor changed.
        QCOMPARE(QApplication::focusWidget(), target);
        QVERIFY(!w.SaveAsNewFilename_txt->hasSelectedText());
        QCOMPARE(w.SaveAsNewFilename_txt->text(), QStringLiteral("/some/where.mpg"));
        QVERIFY(Prompts::records().isEmpty());
    }

    void typingIntoTheSaveAsBoxKeepsWorking()
    {
        kivromainfrm w;
        openOn(w);
        w.SaveAsNewFilename_txt->setFocus();
        QTest::keyClicks(w.SaveAsNewFilename_txt, QStringLiteral("/tmp/Pack Us/adipus.mpg"));
        QCOMPARE(w.SaveAsNewFilename_txt->text(), QStringLiteral("/tmp/Pack Us/adipus.mpg"));
        QCOMPARE(selectedCount(w), 0);
        QVERIFY(!gActionArmed);
        QVERIFY(Prompts::records().isEmpty());
        // Keys the window does not use still edit the box.
        QTest::keyClick(w.SaveAsNewFilename_txt, Qt::Key_Backspace);
        QTest::keyClick(w.SaveAsNewFilename_txt, Qt::Key_Home);
        QTest::keyClick(w.SaveAsNewFilename_txt, Qt::Key_Delete);
        QCOMPARE(w.SaveAsNewFilename_txt->text(), QStringLiteral("tmp/Pack Us/adipus.mp"));
    }

    void actionKeysWithCtrlWhateverElseIsHeld_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("records");
        const int ctrl = int(Qt::ControlModifier);
        const struct {
            const char* letter;
            int key;
            QString refusal;
        } keys[] = {{"P", Qt::Key_P, kNothingToPack}, {"U", Qt::Key_U, kNothingToUnpack}};
        for (const auto& k : keys) {
            const QByteArray l(k.letter);
            QTest::newRow("Ctrl+" + l) << k.key << ctrl << QStringList{k.refusal};
            QTest::newRow("Ctrl+Shift+" + l) << k.key << (ctrl | int(Qt::ShiftModifier)) << QStringList{k.refusal};
            QTest::newRow("Ctrl+Alt+Shift+" + l)
                << k.key << (ctrl | int(Qt::AltModifier) | int(Qt::ShiftModifier)) << QStringList{k.refusal};
            QTest::newRow("plain " + l.toLower()) << k.key << 0 << QStringList{};
            QTest::newRow("Shift+" + l) << k.key << int(Qt::ShiftModifier) << QStringList{};
            QTest::newRow("Alt+" + l) << k.key << int(Qt::AltModifier) << QStringList{};
        }
    }
    void actionKeysWithCtrlWhateverElseIsHeld()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QStringList, records);
        kivromainfrm w;
        openOn(w);
        // On the file list (whose names start with neither letter).
        w.File1->setSelected(1, true);
        w.refresh_filesel_lst();
        w.File1->setFocus();
        QTest::keyClick(w.File1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(Prompts::records(), records);
        QCOMPARE(w.filesel_lst, QStringList{"b.mpg"});
        QVERIFY(!gActionArmed);
        // Alt+P is the mnemonic of the "Preview" caption: the keyboard moves to its check box.
        const bool previewMnemonic = key == Qt::Key_P && modifiers == int(Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(),
                 previewMnemonic ? static_cast<QWidget*>(w.ShowPreviewChk) : static_cast<QWidget*>(w.File1));
    }

    void otherKeysWhileIdle_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<bool>("refreshed");
        const int ctrl = int(Qt::ControlModifier);
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << ctrl << QStringList{""} << QStringList{"dialog|Save Pack File As|"}
                                << false;
        QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << (ctrl | int(Qt::ShiftModifier)) << QStringList{""}
                                      << QStringList{"dialog|Save Pack File As|"} << false;
        QTest::newRow("F5") << int(Qt::Key_F5) << 0 << QStringList{} << QStringList{} << true;
        QTest::newRow("Ctrl+Shift+F5") << int(Qt::Key_F5) << (ctrl | int(Qt::ShiftModifier)) << QStringList{}
                                       << QStringList{} << true;
        QTest::newRow("Alt+F5") << int(Qt::Key_F5) << int(Qt::AltModifier) << QStringList{} << QStringList{} << true;
        // Ctrl+K opens the preferences window (closed again at once).
        QTest::newRow("Ctrl+K") << int(Qt::Key_K) << ctrl << QStringList{} << QStringList{} << false;
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << QStringList{}
                            << QStringList{box("Critical", "OK",
                                               "'" + kivrotest::rootDir() + "/Kivro.html' was not found!", "OK")}
                            << false;
    }
    void otherKeysWhileIdle()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, records);
        QFETCH(bool, refreshed);
        kivromainfrm w;
        openOn(w);
        kivrotest::writeFile(p("d.mpg"), "new");
        w.SaveAsNewFilename_txt->setFocus();
        Prompts::queue(answers);
        bool preferencesShown = false;
        if (key == Qt::Key_K)
            kivrotest::whenModal<Preferencesfrm>([&](Preferencesfrm* p) {
                preferencesShown = true;
                p->cancel_cmd_Click();
            });
        QTest::keyClick(w.SaveAsNewFilename_txt, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(preferencesShown, key == Qt::Key_K);
        QCOMPARE(Prompts::records(), records);
        QCOMPARE(w.File1->ListCount(), refreshed ? 4 : 3);
        // A window that was shown hands the activation back through the window manager.
        if (!preferencesShown)
            QCOMPARE(QApplication::activeWindow(), &w);
        QVERIFY(w.SaveAsNewFilename_txt->text().isEmpty());
    }

    void keysDoNothingWhileBusy_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        const int ctrl = int(Qt::ControlModifier);
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << ctrl;
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << ctrl;
        QTest::newRow("Ctrl+I") << int(Qt::Key_I) << ctrl;
        QTest::newRow("Ctrl+D") << int(Qt::Key_D) << ctrl;
        QTest::newRow("Ctrl+K") << int(Qt::Key_K) << ctrl;
        QTest::newRow("F5") << int(Qt::Key_F5) << 0;
        QTest::newRow("Ctrl+P") << int(Qt::Key_P) << ctrl;
        QTest::newRow("Ctrl+U") << int(Qt::Key_U) << ctrl;
    }
    void keysDoNothingWhileBusy()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        kivromainfrm w;
        openOn(w);
        w.File1->setSelected(0, true);
        w.refresh_filesel_lst();
        kivrotest::writeFile(p("d.mpg"), "new");
        w.DisableControlsWhileBusy();
        Prompts::queue(QStringLiteral("/should/not/be/asked.mpg"));
        QTest::keyClick(&w, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(w.File1->ListCount(), 3);
        QCOMPARE(w.filesel_lst, QStringList{"a.mpg"});
        QVERIFY(w.SaveAsNewFilename_txt->text().isEmpty());
        w.ResetAfterAction();
    }

    // A quick double-click on a skin picture acts once: on Pack the second press does not reach
    // the Cancel picture that stands there once the run has begun, Add adds the selection once,
    // Select Inverse inverts once.
    void doubleClickOnAPictureActsOnce_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::newRow("Pack during a slow run") << "PackImg";
        QTest::newRow("Add") << "ButtonAdd_Img";
        QTest::newRow("Select Inverse") << "ButtonSelectInverse_Img";
    }
    void doubleClickOnAPictureActsOnce()
    {
        QFETCH(QString, picture);
        kivromainfrm w;
        openOn(w);
        const QString out = kivrotest::rootDir() + QStringLiteral("/double.bin");
        const QByteArray big = readyForALongPack(w, QStringLiteral(".bin"), out);
        w.File1->setSelected(0, true);
        w.refresh_filesel_lst();

        auto* target = w.findChild<SkinImage*>(picture);
        QVERIFY(target);
        const QPoint at = target->mapTo(&w, centre(target));
        QTest::lastMouseTimestamp += 2000;
        const int time = QTest::lastMouseTimestamp;
        bool secondWhileRunning = false;
        if (picture == QLatin1String("PackImg")) {
            // The second click comes while the run copies (inside its progress updates).
            QTimer::singleShot(0, &w, [&] {
                secondWhileRunning = w.ActionRunning() && !w.PackCANCELImg->isHidden();
                systemClick(w, at, time);
            });
            systemClick(w, at, time);
        } else {
            systemClick(w, at, time);
            systemClick(w, at, time);
        }
        QTest::lastMouseTimestamp += 2000;

        if (picture == QLatin1String("PackImg")) {
            QVERIFY(secondWhileRunning);
            QCOMPARE(Prompts::records().size(), 1);
            QVERIFY2(Prompts::records().first().contains(QStringLiteral("successfully packed!")),
                     qPrintable(Prompts::records().first()));
            QCOMPARE(QFileInfo(out).size(), 2 * big.size());
            QVERIFY(!gCancelArmed);
        } else if (picture == QLatin1String("ButtonAdd_Img")) {
            QCOMPARE(w.packList().count(), 3);
            QCOMPARE(w.packList().name(2), QStringLiteral("a.mpg"));
        } else {
            QCOMPARE(w.filesel_lst, (QStringList{"b.mpg", "c.mpg"}));
        }
        QCOMPARE(target->picture(), SkinImage::Picture::Up);
        QVERIFY(!w.ActionRunning());
    }

    // During a real pack at the slowest rate, events run inside its progress updates: the
    // Options popup and the keys are refused there, the Help popup opens, and the Cancel
    // picture ends the run.
    void duringALongPack()
    {
        kivromainfrm w;
        openOn(w);
        const QString out = kivrotest::rootDir() + QStringLiteral("/joined.bin");
        const QByteArray big = readyForALongPack(w, QStringLiteral(".mpg"), out);
        w.RefreshMnu_Click();
        w.File1->setSelected(0, true);
        w.refresh_filesel_lst();
        const int listed = w.File1->ListCount();
        kivrotest::writeFile(p("later.mpg"), "new");

        bool checked = false;
        bool optionsOpened = true, helpOpened = false, asked = true, refreshed = true, ranOn = false;
        QTimer::singleShot(0, &w, [&] {
            checked = true;
            QVERIFY(w.ActionRunning());
            QTest::mouseClick(w.FileMenu_Option_Img, Qt::LeftButton, {}, centre(w.FileMenu_Option_Img));
            optionsOpened = w.OptMnu->isVisible();
            QTest::mouseClick(w.FileMenu_Help_Img, Qt::LeftButton, {}, centre(w.FileMenu_Help_Img));
            helpOpened = w.HelpMnu->isVisible();
            closePopups(w);
            Prompts::queue(QStringLiteral("/should/not/be/asked.mpg"));
            QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
            asked = !Prompts::records().isEmpty();
            Prompts::enableScripted();
            QTest::keyClick(&w, Qt::Key_F5, Qt::NoModifier);
            refreshed = w.File1->ListCount() != listed;
            QTest::keyClick(&w, Qt::Key_A, Qt::ControlModifier);
            // The run goes on after all of this; then the Cancel picture ends it.
            ranOn = w.ActionRunning() && w.filesel_lst == QStringList{"a.mpg"};
            hover(w.PackCANCELImg, centre(w.PackCANCELImg));
            QTest::mouseClick(w.PackCANCELImg, Qt::LeftButton, {}, centre(w.PackCANCELImg));
        });
        QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(checked);
        QVERIFY(!optionsOpened);
        QVERIFY(helpOpened);
        QVERIFY(!asked);
        QVERIFY(!refreshed);
        QVERIFY(ranOn);
        QCOMPARE(Prompts::records(), QStringList{box("Information", "OK", "Packing aborted by user", "OK")});
        QVERIFY(QFileInfo(out).size() < 2 * big.size());
        QVERIFY(!w.ActionRunning());
        // Idle again, the same keys act.
        QTest::keyClick(&w, Qt::Key_F5, Qt::NoModifier);
        QCOMPARE(w.File1->ListCount(), listed + 1);
    }
};

KIVRO_TEST_MAIN(TestMenuBar)
#include "tst_menubar.moc"
