// The pack-list window's skin offscreen: its shape at 96 and 120 dpi, the place of every control,
// the buttons' pictures (Close and the three selection buttons from the main window's
// templates), which moves reset them, Close and Clear, also while an action runs.
#include "FakePackListHost.h"
#include "KivroTest.h"

#include "engine/PackListModel.h"
#include "packlist/Brovletfrm.h"
#include "packlist/BrovletSkinLayout.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListHost.h"
#include "platform/SkinImage.h"
#include "platform/WindowRegion.h"

#include <QLabel>
#include <QMouseEvent>

using namespace kivro;

Q_DECLARE_METATYPE(kivro::SkinRoundRect)

namespace {

using FakeHost = kivrotest::FakePackListHost;

QString str(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

void hover(QWidget* target, Qt::MouseButtons held = Qt::NoButton)
{
    const QPointF local(5, 5);
    QMouseEvent e(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

} // namespace

class TestPackListSkin : public QObject {
    Q_OBJECT
private slots:
    void init() { Prompts::clearRecords(); }

    void regionAtTheScreensResolution_data()
    {
        QTest::addColumn<double>("twipsPerPixel");
        QTest::addColumn<SkinRoundRect>("shape");
        QTest::newRow("96 dpi") << 15.0 << SkinRoundRect{3, 22, 319, 290, 14, 14};
        // 316 x 268 grow to 395 x 335; the 17.5-pixel corners round to even, 18.
        QTest::newRow("120 dpi") << 12.0 << SkinRoundRect{3, 22, 398, 357, 18, 18};
    }
    void regionAtTheScreensResolution()
    {
        QFETCH(double, twipsPerPixel);
        QFETCH(SkinRoundRect, shape);
        QCOMPARE(Brovletfrm::CreateSkinRegion(1.0f, 1.0f, 3, 22, twipsPerPixel, twipsPerPixel), RoundRectRegion(shape));
    }

    void windowWearsTheSkin()
    {
        FakeHost host;
        Brovletfrm f(host);
        QVERIFY(f.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(!f.windowIcon().isNull());
        QCOMPARE(f.minimumSize(), QSize(322, 293));
        QCOMPARE(f.maximumSize(), QSize(322, 293));
        QCOMPARE(f.mask(), Brovletfrm::CreateSkinRegion(1.0f, 1.0f, 3, 22));
        QCOMPARE(f.mask().boundingRect(), QRect(3, 22, 316, 268));
        QCOMPARE(f.BG_Img->geometry(), QRect(3, 22, 316, 268));
        QCOMPARE(f.BG_Img->pictureName(SkinImage::Picture::Up), QStringLiteral("packlist_bg"));
        QCOMPARE(f.TesmaKivroCaption->text(), QStringLiteral("Pack List"));
        for (const packlistskin::LayoutEntry& e : packlistskin::kPackListLayout) {
            QWidget* c = f.findChild<QWidget*>(str(e.name), Qt::FindDirectChildrenOnly);
            QVERIFY2(c, e.name.data());
            QCOMPARE(c->geometry(), packlistskin::windowRect(e.name));
            QVERIFY2(!c->isHidden(), e.name.data());
        }
        for (std::string_view name : packlistskin::kHiddenControls) {
            if (QWidget* c = f.findChild<QWidget*>(str(name), Qt::FindDirectChildrenOnly))
                QVERIFY2(c->isHidden(), name.data());
        }
        // Every picture of the window takes clicks.
        for (SkinImage* on : {f.BrovletMenu_Save_Img, f.BrovletMenu_Load_Img, f.BrovletMenu_Append_Img,
                              f.BrovletMenu_Clear_Img, f.ButtonAscending_Img, f.ButtonDescending_Img})
            QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));
    }

    void buttonPictures()
    {
        FakeHost host;
        // The main window's templates, told apart from the skin's own pictures.
        host.templates = {{"ButtonClose_Up_Img", "main_close_up"},       {"ButtonClose_Over_Img", "main_close_over"},
                          {"ButtonClose_Down_Img", "main_close_down"},   {"ButtonSelectAll_Up_Img", "main_all_up"},
                          {"ButtonSelectAll_Over_Img", "main_all_over"}, {"ButtonSelectAll_Down_Img", "main_all_down"}};
        Brovletfrm f(host);
        const auto pictures = [](SkinImage* img) {
            return QStringList{img->pictureName(SkinImage::Picture::Up), img->pictureName(SkinImage::Picture::Over),
                               img->pictureName(SkinImage::Picture::Down)};
        };
        QCOMPARE(pictures(f.ButtonClose_Img), (QStringList{"main_close_up", "main_close_over", "main_close_down"}));
        QCOMPARE(pictures(f.ButtonSelectAll_Img), (QStringList{"main_all_up", "main_all_over", "main_all_down"}));
        // Without a template of the host, the skin's own picture.
        QCOMPARE(pictures(f.ButtonDeselectAll_Img),
                 (QStringList{"btn_deselectall_up", "btn_deselectall_over", "btn_deselectall_down"}));
        // The window's own buttons show its own templates; the move buttons have no over picture.
        QCOMPARE(pictures(f.ButtonRemove_Img), (QStringList{"btn_remove_up", "btn_remove_over", "btn_remove_down"}));
        QCOMPARE(f.ButtonRemove_Up_Img->pictureName(SkinImage::Picture::Up), QStringLiteral("btn_remove_up"));
        QVERIFY(f.ButtonRemove_Up_Img->isHidden());
        QCOMPARE(pictures(f.ButtonAscending_Img),
                 (QStringList{"btn_ascending_up", "btn_ascending_over", "btn_ascending_down"}));
        QCOMPARE(pictures(f.ButtonSwapUp_Img), (QStringList{"btn_swapup_up", "btn_swapup_up", "btn_swapup_down"}));
        QCOMPARE(f.PackListDown_Img->pictureName(SkinImage::Picture::Down), QStringLiteral("packlist_scrolldown"));
    }

    void overPictureStaysUntilAResettingMove_data()
    {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<bool>("resets");
        QTest::newRow("background") << "BG_Img" << true;
        QTest::newRow("list") << "selpos_lst" << true;
        QTest::newRow("move button") << "ButtonSwapDown_Img" << true;
        QTest::newRow("another button") << "ButtonRemove_Img" << false;
        QTest::newRow("scroll arrow") << "PackListUp_Img" << false;
    }
    void overPictureStaysUntilAResettingMove()
    {
        QFETCH(QString, surface);
        QFETCH(bool, resets);
        FakeHost host;
        Brovletfrm f(host);
        f.show();
        QWidget* target = f.findChild<QWidget*>(surface, Qt::FindDirectChildrenOnly);
        QVERIFY(target);
        if (auto* list = qobject_cast<QAbstractScrollArea*>(target))
            target = list->viewport();
        for (SkinImage* b : {f.ButtonClose_Img, f.ButtonSelectAll_Img})
            hover(b);
        QCOMPARE(f.ButtonClose_Img->picture(), SkinImage::Picture::Over);
        hover(target);
        for (SkinImage* b : {f.ButtonClose_Img, f.ButtonSelectAll_Img})
            QCOMPARE(b->picture(), resets ? SkinImage::Picture::Up : SkinImage::Picture::Over);
    }

    void moveButtonKeepsItsDownPictureWhileHeld()
    {
        FakeHost host;
        Brovletfrm f(host);
        f.show();
        hover(f.ButtonRemove_Img);
        QTest::mousePress(f.ButtonSwapUp_Img, Qt::LeftButton, {}, QPoint(9, 9));
        QCOMPARE(f.ButtonSwapUp_Img->picture(), SkinImage::Picture::Down);
        hover(f.ButtonSwapUp_Img, Qt::LeftButton);
        QCOMPARE(f.ButtonSwapUp_Img->picture(), SkinImage::Picture::Down);
        QCOMPARE(f.ButtonRemove_Img->picture(), SkinImage::Picture::Up);
        QTest::mouseRelease(f.ButtonSwapUp_Img, Qt::LeftButton, {}, QPoint(9, 9));
        QCOMPARE(f.ButtonSwapUp_Img->picture(), SkinImage::Picture::Up);
    }

    void closeHidesTheWindowUnlessBusy_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("idle") << false;
        QTest::newRow("an action runs") << true;
    }
    void closeHidesTheWindowUnlessBusy()
    {
        QFETCH(bool, busy);
        FakeHost host;
        host.busy = busy;
        host.model.append(QStringLiteral("/v/"), QStringLiteral("a.mpg"));
        Brovletfrm f(host);
        f.show();
        // Pressed on Close, released elsewhere: it acts on the release.
        QTest::mousePress(f.ButtonClose_Img, Qt::LeftButton, {}, QPoint(9, 9));
        QTest::mouseRelease(f.ButtonClose_Img, Qt::LeftButton, {}, QPoint(-200, 40));
        QCOMPARE(f.ButtonClose_Img->picture(), SkinImage::Picture::Up);
        QCOMPARE(f.isHidden(), !busy);
        QCOMPARE(host.showPackListChecks, busy ? QList<bool>{} : QList<bool>{false});
        // Hiding keeps the list.
        QCOMPARE(host.model.count(), 1);
    }

    void clearEmptiesTheListUnlessBusy()
    {
        FakeHost host;
        host.model.append(QStringLiteral("/v/"), QStringLiteral("a.mpg"));
        host.model.append(QStringLiteral("/v/"), QStringLiteral("b.mpg"));
        Brovletfrm f(host);
        f.show();
        host.busy = true;
        QTest::mouseClick(f.BrovletMenu_Clear_Img, Qt::LeftButton, {}, QPoint(9, 9));
        QCOMPARE(host.model.count(), 2);
        host.busy = false;
        QTest::mouseClick(f.BrovletMenu_Clear_Img, Qt::LeftButton, {}, QPoint(9, 9));
        QCOMPARE(host.model.count(), 0);
        QVERIFY(Prompts::records().isEmpty());
    }
};

KIVRO_TEST_MAIN(TestPackListSkin)
#include "tst_packlistskin.moc"
