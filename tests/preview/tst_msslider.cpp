// The position slider through real mouse events on a 117 x 14 pixel control with the 6 x 12
// gripper: values and gripper places in twips, the order of the four signals, drags past the
// ends, the track colour, the disabled state and a gripper picture from a file.
#include "KivroTest.h"

#include "platform/RuntimeError.h"
#include "preview/MSSlider.h"

#include <QImage>
#include <QMouseEvent>

using namespace kivro;

namespace {

struct Recorder {
    QStringList events;
    explicit Recorder(MSSlider& s)
    {
        QObject::connect(&s, &MSSlider::ValueHasChanged, [this] { events << QStringLiteral("ValueHasChanged"); });
        QObject::connect(&s, &MSSlider::MouseDown, [this] { events << QStringLiteral("MouseDown"); });
        QObject::connect(&s, &MSSlider::MouseUp, [this] { events << QStringLiteral("MouseUp"); });
        QObject::connect(&s, &MSSlider::OnClick, [this] { events << QStringLiteral("OnClick"); });
    }
};

void press(MSSlider& s, int x, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(&s, button, Qt::NoModifier, QPoint(x, 7));
}

void release(MSSlider& s, int x, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(&s, button, Qt::NoModifier, QPoint(x, 7));
}

void drag(MSSlider& s, int x)
{
    const QPointF at(x, 7);
    QMouseEvent move(QEvent::MouseMove, at, s.mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s, &move);
}

QColor trackPixel(MSSlider& s, int x)
{
    return s.grab().toImage().pixelColor(x, 7);
}

} // namespace

class TestMSSlider : public QObject {
    Q_OBJECT

    std::unique_ptr<MSSlider> m_s;

private slots:
    void init()
    {
        m_s = std::make_unique<MSSlider>();
        m_s->resize(117, 14);
        m_s->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_s.get()));
    }
    void cleanup() { m_s.reset(); }

    void freshControl()
    {
        QCOMPARE(m_s->Min(), 0);
        QCOMPARE(m_s->Max(), 100);
        QCOMPARE(m_s->Value(), 0);
        QVERIFY(m_s->Enabled());
        QCOMPARE(m_s->trackBackColor(), MSSlider::kButtonFace);
        QCOMPARE(m_s->gripperLeft(), 5.0); // at the start of the track
        QCOMPARE(m_s->trackWidth(), 117 * 15 - 5.0);
    }

    void writingValuePlacesTheGripper()
    {
        Recorder r(*m_s);
        m_s->setColorShift(true);
        m_s->setHiColor(0x0000C8);
        m_s->setValue(50);
        QCOMPARE(r.events, QStringList{QStringLiteral("ValueHasChanged")});
        QCOMPARE(m_s->gripperLeft() + m_s->gripperWidth() / 2, 875.0);
        // The colour follows only at ColInit or a mouse action.
        QCOMPARE(m_s->trackBackColor(), MSSlider::kButtonFace);
        m_s->ColInit();
        QCOMPARE(m_s->trackBackColor(), 0x000064u);

        // Not clamped: the gripper goes beyond the end of the track.
        m_s->setValue(150);
        QCOMPARE(m_s->Value(), 150);
        QVERIFY(m_s->gripperLeft() + m_s->gripperWidth() > m_s->trackWidth());
        m_s->ColInit(); // beyond the end: the colour of the end
        QCOMPARE(m_s->trackBackColor(), 0x0000C8u);
    }

    void valueWithMaxEqualToMinIsOnlyStored()
    {
        m_s->setValue(30);
        const double left = m_s->gripperLeft();
        m_s->setMax(0);
        Recorder r(*m_s);
        m_s->setValue(7);
        QCOMPARE(m_s->Value(), 7);
        QVERIFY(r.events.isEmpty());
        QCOMPARE(m_s->gripperLeft(), left);
    }

    void pressOnTheTrack_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("value");
        QTest::addColumn<QStringList>("pressEvents");
        QTest::addColumn<QStringList>("releaseEvents");
        const QStringList onTrack{QStringLiteral("ValueHasChanged"), QStringLiteral("MouseDown")};
        const QStringList trackRelease{QStringLiteral("MouseUp"), QStringLiteral("OnClick")};
        QTest::newRow("x 30") << 30 << 24 << onTrack << trackRelease;
        QTest::newRow("x 58") << 58 << 49 << onTrack << trackRelease;
        QTest::newRow("x 59") << 59 << 50 << onTrack << trackRelease;
        QTest::newRow("x 114") << 114 << 100 << onTrack << trackRelease;
        QTest::newRow("x 3, on the gripper")
            << 3 << 0 << QStringList{QStringLiteral("MouseDown")}
            << QStringList{QStringLiteral("ValueHasChanged"), QStringLiteral("MouseUp"), QStringLiteral("OnClick")};
    }
    void pressOnTheTrack()
    {
        QFETCH(int, x);
        QFETCH(int, value);
        QFETCH(QStringList, pressEvents);
        QFETCH(QStringList, releaseEvents);
        Recorder r(*m_s);
        press(*m_s, x);
        QCOMPARE(m_s->Value(), value);
        QCOMPARE(r.events, pressEvents);
        r.events.clear();
        release(*m_s, x);
        QCOMPARE(r.events, releaseEvents);
        QCOMPARE(m_s->Value(), value);
    }

    void rightPressOnTheTrackDoesNothing()
    {
        Recorder r(*m_s);
        press(*m_s, 59, Qt::RightButton);
        QVERIFY(r.events.isEmpty());
        QCOMPARE(m_s->Value(), 0);
        QCOMPARE(m_s->gripperLeft(), 5.0);
        release(*m_s, 59, Qt::RightButton);
        QCOMPARE(m_s->Value(), 0);
        // Any button pressed on the gripper reports MouseDown.
        r.events.clear();
        press(*m_s, 3, Qt::RightButton);
        QCOMPARE(r.events, QStringList{QStringLiteral("MouseDown")});
        release(*m_s, 3, Qt::RightButton);
    }

    void dragPastEitherEnd()
    {
        Recorder r(*m_s);
        press(*m_s, 3); // on the gripper
        drag(*m_s, 58);
        QCOMPARE(m_s->Value(), 50);
        drag(*m_s, 300);
        QCOMPARE(m_s->Value(), 100);
        QCOMPARE(m_s->gripperLeft() + m_s->gripperWidth(), m_s->trackWidth()); // right edge at the end
        drag(*m_s, -40);
        QCOMPARE(m_s->Value(), 0);
        QCOMPARE(m_s->gripperLeft(), 0.0);
        release(*m_s, -40);
        QCOMPARE(r.events, (QStringList{QStringLiteral("MouseDown"), QStringLiteral("ValueHasChanged"),
                                        QStringLiteral("ValueHasChanged"), QStringLiteral("ValueHasChanged"),
                                        QStringLiteral("ValueHasChanged"), QStringLiteral("MouseUp"),
                                        QStringLiteral("OnClick")}));

        // Dragging on the track after a press there moves the gripper along.
        r.events.clear();
        press(*m_s, 30);
        drag(*m_s, 59);
        QCOMPARE(m_s->Value(), 50);
        drag(*m_s, 500);
        QCOMPARE(m_s->Value(), 100);
        release(*m_s, 500);
        QCOMPARE(r.events, (QStringList{QStringLiteral("ValueHasChanged"), QStringLiteral("MouseDown"),
                                        QStringLiteral("ValueHasChanged"), QStringLiteral("ValueHasChanged"),
                                        QStringLiteral("MouseUp"), QStringLiteral("OnClick")}));
    }

    void colourFollowsTheGripper()
    {
        m_s->setLowColor(0x000000);
        m_s->setHiColor(0x0000C8);
        m_s->setColorShift(true);
        press(*m_s, 114);
        release(*m_s, 114);
        QCOMPARE(m_s->trackBackColor(), 0x0000C8u);
        QCOMPARE(trackPixel(*m_s, 30), QColor(200, 0, 0));
        press(*m_s, 59); // the gripper's centre at the middle of the travel
        release(*m_s, 59);
        QCOMPARE(m_s->trackBackColor(), 0x000064u);
        QCOMPARE(trackPixel(*m_s, 30), QColor(100, 0, 0));
        press(*m_s, 1);
        release(*m_s, 1);
        QCOMPARE(m_s->Value(), 0);
        QCOMPARE(m_s->trackBackColor(), 0x000000u);
        QCOMPARE(trackPixel(*m_s, 60), QColor(0, 0, 0));
    }

    void disabledIgnoresTheMouse()
    {
        const QImage enabled = m_s->grab().toImage();
        m_s->setEnabled(false);
        QVERIFY(!m_s->Enabled());
        QVERIFY(m_s->isEnabled());                 // the widget itself stays enabled
        QVERIFY(m_s->grab().toImage() != enabled); // the disabled pictures
        Recorder r(*m_s);
        press(*m_s, 59);
        drag(*m_s, 80);
        release(*m_s, 80);
        press(*m_s, 3);
        release(*m_s, 3);
        QVERIFY(r.events.isEmpty());
        QCOMPARE(m_s->Value(), 0);
        // Writing the value still works.
        m_s->setValue(50);
        QCOMPARE(r.events, QStringList{QStringLiteral("ValueHasChanged")});
        m_s->setEnabled(true);
        press(*m_s, 114);
        QCOMPARE(m_s->Value(), 100);
        release(*m_s, 114);
    }

    void gripperPictureFromAFile()
    {
        const QString file = kivrotest::rootDir() + QStringLiteral("/gripper.png");
        QImage picture(8, 12, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(file));
        m_s->setValue(50);
        Recorder r(*m_s);
        m_s->setGripperPic(file);
        QCOMPARE(m_s->gripperWidth(), 120.0);
        QCOMPARE(m_s->gripperLeft(), 5.0); // back at the start of the track
        QCOMPARE(m_s->Value(), 0);
        QVERIFY(r.events.isEmpty());
        QCOMPARE(m_s->grab().toImage().pixelColor(3, 7), QColor(Qt::red));

        const QString missing = kivrotest::rootDir() + QStringLiteral("/none.png");
        try {
            m_s->setGripperPic(missing);
            QFAIL("no error for a missing picture");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 53);
        }
        const QString notPicture = kivrotest::rootDir() + QStringLiteral("/text.png");
        kivrotest::writeFile(notPicture, "no picture");
        try {
            m_s->setGripperPic(notPicture);
            QFAIL("no error for a file that is no picture");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 481);
        }
    }
};

KIVRO_TEST_MAIN(TestMSSlider)
#include "tst_msslider.moc"
