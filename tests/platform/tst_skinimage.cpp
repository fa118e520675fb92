// SkinImage, the image control of the skinned windows: which picture it shows on press, move and
// release, what it reports, when it counts a click, and that it draws its picture for the
// device pixel ratio. (The same under a real X pointer: tests/mainwindow/tst_skinwindow.cpp.)
#include "KivroTest.h"

#include "platform/SkinArt.h"
#include "platform/SkinImage.h"

#include <QMouseEvent>

using namespace kivro;

namespace {

// A mouse move as the window system delivers it, with or without a button held.
void move(QWidget* w, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestSkinImage : public QObject {
    Q_OBJECT
private slots:
    void stemChoosesTheStatePictures()
    {
        SkinImage add(QStringLiteral("btn_add"));
        QCOMPARE(add.pictureName(SkinImage::Picture::Up), QStringLiteral("btn_add_up"));
        QCOMPARE(add.pictureName(SkinImage::Picture::Over), QStringLiteral("btn_add_over"));
        QCOMPARE(add.pictureName(SkinImage::Picture::Down), QStringLiteral("btn_add_down"));
        QCOMPARE(add.sizeHint(), QSize(18, 18));
        // Without a hover picture the up picture stands in for it.
        SkinImage swap(QStringLiteral("btn_swapup"));
        QCOMPARE(swap.pictureName(SkinImage::Picture::Over), QStringLiteral("btn_swapup_up"));
        QCOMPARE(swap.pictureName(SkinImage::Picture::Down), QStringLiteral("btn_swapup_down"));
        // A plain picture is all three.
        SkinImage web(QStringLiteral("link_web"));
        QCOMPARE(web.pictureName(SkinImage::Picture::Down), QStringLiteral("link_web"));
        QCOMPARE(web.sizeHint(), QSize(32, 32));
    }

    void smallButtonFollowsPressMoveRelease()
    {
        QWidget window;
        auto* add = new SkinImage(QStringLiteral("btn_add"), &window);
        add->setGeometry(10, 10, 18, 18);
        QList<QString> log;
        connect(add, &SkinImage::mouseDown, this, [&](Qt::MouseButton b, Qt::KeyboardModifiers, QPointF p) {
            log << QStringLiteral("down %1 %2,%3").arg(int(b)).arg(p.x()).arg(p.y());
        });
        connect(add, &SkinImage::mouseMove, this, [&](Qt::MouseButtons b, Qt::KeyboardModifiers, QPointF p) {
            log << QStringLiteral("move %1 %2,%3").arg(int(b)).arg(p.x()).arg(p.y());
        });
        connect(add, &SkinImage::mouseUp, this, [&](Qt::MouseButton b, Qt::KeyboardModifiers, QPointF p) {
            log << QStringLiteral("up %1 %2,%3").arg(int(b)).arg(p.x()).arg(p.y());
        });
        connect(add, &SkinImage::clicked, this, [&] { log << QStringLiteral("click"); });
        window.show();

        QCOMPARE(add->picture(), SkinImage::Picture::Up);
        move(add, {5, 6});
        QCOMPARE(add->picture(), SkinImage::Picture::Over);
        QTest::mousePress(add, Qt::LeftButton, {}, {5, 6});
        QCOMPARE(add->picture(), SkinImage::Picture::Down);
        // A move while pressed shows the hover picture again, as every move does.
        move(add, {6, 6}, Qt::LeftButton);
        QCOMPARE(add->picture(), SkinImage::Picture::Over);
        QTest::mouseRelease(add, Qt::LeftButton, {}, {6, 6});
        QCOMPARE(add->picture(), SkinImage::Picture::Up);
        QCOMPARE(log,
                 (QList<QString>{QStringLiteral("move 0 5,6"), QStringLiteral("down 1 5,6"),
                                 QStringLiteral("move 1 6,6"), QStringLiteral("up 1 6,6"), QStringLiteral("click")}));
        // The hover picture stays when nothing else changes it (leaving is no change).
        move(add, {3, 3});
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(add, &leave);
        QCOMPARE(add->picture(), SkinImage::Picture::Over);
    }

    void clickNeedsTheLeftButtonReleasedOnThePicture_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("left, released on it") << int(Qt::LeftButton) << QPoint(9, 9) << true;
        QTest::newRow("left, released on its last pixel") << int(Qt::LeftButton) << QPoint(17, 17) << true;
        QTest::newRow("left, released off it") << int(Qt::LeftButton) << QPoint(40, 9) << false;
        QTest::newRow("left, released above it") << int(Qt::LeftButton) << QPoint(9, -3) << false;
        QTest::newRow("right button") << int(Qt::RightButton) << QPoint(9, 9) << false;
    }
    void clickNeedsTheLeftButtonReleasedOnThePicture()
    {
        QFETCH(int, button);
        QFETCH(QPoint, releaseAt);
        SkinImage add(QStringLiteral("btn_add"));
        add.resize(18, 18);
        int clicks = 0, ups = 0;
        connect(&add, &SkinImage::clicked, this, [&] { ++clicks; });
        connect(&add, &SkinImage::mouseUp, this, [&] { ++ups; });
        QTest::mousePress(&add, Qt::MouseButton(button), {}, {9, 9});
        QTest::mouseRelease(&add, Qt::MouseButton(button), {}, releaseAt);
        QCOMPARE(ups, 1); // the release always reaches the pressed picture
        QTEST(clicks == 1, "clicked");
        QCOMPARE(add.picture(), SkinImage::Picture::Up);
        // A release without a press on the picture is no click.
        QTest::mouseRelease(&add, Qt::LeftButton, {}, {9, 9});
        QVERIFY(clicks <= 1);
    }

    // A double-click from the window system (press, release, press, release in quick succession):
    // the second press is the double-click event only, so the picture acts once.
    void doubleClickIsOneClick()
    {
        QWidget window;
        auto* add = new SkinImage(QStringLiteral("btn_add"), &window);
        add->setGeometry(10, 10, 18, 18);
        QStringList log;
        connect(add, &SkinImage::mouseDown, this, [&] { log << QStringLiteral("down"); });
        connect(add, &SkinImage::mouseUp, this, [&] { log << QStringLiteral("up"); });
        connect(add, &SkinImage::clicked, this, [&] { log << QStringLiteral("click"); });
        connect(add, &SkinImage::doubleClicked, this, [&] { log << QStringLiteral("double"); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(15, 15));
        QCOMPARE(log, (QStringList{QStringLiteral("down"), QStringLiteral("up"), QStringLiteral("click"),
                                   QStringLiteral("double"), QStringLiteral("up")}));
        QCOMPARE(add->picture(), SkinImage::Picture::Up);
        // The next press is a press again.
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(15, 15));
        QCOMPARE(log.mid(5), (QStringList{QStringLiteral("down"), QStringLiteral("up"), QStringLiteral("click")}));
    }

    void picturesChosenByTheHandlerStay()
    {
        SkinImage pack;
        pack.setPictures(QStringLiteral("pack_up"), QStringLiteral("pack_up"), QStringLiteral("pack_down"));
        pack.setAutoStates(false);
        pack.resize(45, 42);
        QTest::mousePress(&pack, Qt::LeftButton, {}, {20, 20});
        QCOMPARE(pack.picture(), SkinImage::Picture::Up);
        pack.showDown();
        move(&pack, {21, 20}, Qt::LeftButton);
        QTest::mouseRelease(&pack, Qt::LeftButton, {}, {21, 20});
        QCOMPARE(pack.picture(), SkinImage::Picture::Down);
        // Positions in twips, as the round hit test takes them.
        QCOMPARE(SkinImage::toTwips({20, 1.5}), QPointF(300, 22.5));
        QCOMPARE(pack.sizeTwips(), QSizeF(675, 630));
    }

    void drawsItsPictureForTheDevicePixelRatio_data()
    {
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("200 %") << 2.0;
    }
    void drawsItsPictureForTheDevicePixelRatio()
    {
        QFETCH(qreal, dpr);
        SkinImage close(QStringLiteral("btn_close"));
        close.resize(18, 18);
        close.showOver();
        QImage target(QSize(18, 18) * dpr, QImage::Format_ARGB32_Premultiplied);
        target.setDevicePixelRatio(dpr);
        target.fill(Qt::transparent);
        close.render(&target);
        const QImage expected = SkinArt::pixmap(QStringLiteral("btn_close_over"), QSize(18, 18), dpr)
                                    .toImage()
                                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(target, expected);
        // The hover picture of Close is red: its centre-left is the red fill, not the glyph.
        const QColor fill = target.pixelColor(QPoint(3, 9) * dpr);
        QVERIFY2(fill.red() > 180 && fill.green() < 110, qPrintable(fill.name()));
    }

    void disabledPictureIsFaded()
    {
        SkinImage close(QStringLiteral("btn_close"));
        close.resize(18, 18);
        const auto rendered = [&] {
            QImage target(QSize(18, 18), QImage::Format_ARGB32_Premultiplied);
            target.fill(Qt::transparent);
            close.render(&target);
            return target;
        };
        const QImage enabled = rendered();
        close.setEnabled(false);
        const QImage disabled = rendered();
        const QPoint centre(9, 9);
        QVERIFY(qAlpha(enabled.pixel(centre)) > 200);
        QVERIFY(std::abs(qAlpha(disabled.pixel(centre)) - qAlpha(enabled.pixel(centre)) * SkinImage::kDisabledOpacity)
                <= 2);
        // A disabled picture takes no press.
        int downs = 0;
        connect(&close, &SkinImage::mouseDown, this, [&] { ++downs; });
        QTest::mousePress(&close, Qt::LeftButton, {}, centre);
        QCOMPARE(downs, 0);
        QCOMPARE(close.picture(), SkinImage::Picture::Up);
    }

    void handPointerPointsWithItsFingertip()
    {
        const QCursor hand = SkinArt::handCursor();
        QCOMPARE(hand.shape(), Qt::BitmapCursor);
        QCOMPARE(hand.hotSpot(), QPoint(SkinArt::kHandHotX, SkinArt::kHandHotY));
        const QImage img = hand.pixmap().toImage();
        // The hot spot lies on the outline of the index finger's tip.
        QVERIFY(qAlpha(img.pixel(SkinArt::kHandHotX, SkinArt::kHandHotY)) > 0);
        QCOMPARE(qAlpha(img.pixel(SkinArt::kHandHotX, 0)), 0);
    }
};

KIVRO_TEST_MAIN(TestSkinImage)
#include "tst_skinimage.moc"
