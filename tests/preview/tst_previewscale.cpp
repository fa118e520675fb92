// The preview slider's scale: two seconds of video a step, whole numbers halves to even.
#include "KivroTest.h"

#include "preview/PreviewScale.h"

using namespace kivro;

class TestPreviewScale : public QObject {
    Q_OBJECT

private slots:
    void sliderMaximum_data()
    {
        QTest::addColumn<double>("frames");
        QTest::addColumn<double>("fps");
        QTest::addColumn<int>("maximum"); // -1: none, the slider keeps its own
        QTest::newRow("7,500 frames at 25") << 7500.0 << 25.0 << 150;
        QTest::newRow("53,946 frames at 30") << 53946.0 << 30.0 << 899;
        QTest::newRow("2.5 goes to 2") << 125.0 << 25.0 << 2;
        QTest::newRow("3.5 goes to 4") << 175.0 << 25.0 << 4;
        QTest::newRow("rate 0") << 7500.0 << 0.0 << -1;
    }
    void sliderMaximum()
    {
        QFETCH(double, frames);
        QFETCH(double, fps);
        QFETCH(int, maximum);
        const std::optional<std::int32_t> m = PreviewScale::SliderMaximum(frames, fps);
        QCOMPARE(m.value_or(-1), maximum);
    }

    void startFrameAndSliderValue()
    {
        QCOMPARE(PreviewScale::StartFrame(25, 75), 3750);
        QCOMPARE(PreviewScale::StartFrame(30, 899), 53940);
        QCOMPARE(PreviewScale::StartFrame(0, 10), 0);
        QCOMPARE(PreviewScale::SliderPosition(50, 150), 75.0);
        QCOMPARE(PreviewScale::SliderValue(PreviewScale::SliderPosition(25, 2)), 0);
        QCOMPARE(PreviewScale::SliderValue(PreviewScale::SliderPosition(75, 2)), 2);
        QCOMPARE(PreviewScale::SliderValue(PreviewScale::SliderPosition(-1, 150)), -2); // -1.5: a silent device
        QCOMPARE(PreviewScale::SliderValue(1e12), std::numeric_limits<std::int32_t>::max());
    }
};

KIVRO_TEST_MAIN(TestPreviewScale)
#include "tst_previewscale.moc"
