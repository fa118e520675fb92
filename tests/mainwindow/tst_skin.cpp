// The main window's skin logic without a display: the window shape at 96 and 120 dpi, the
// round-button hit test, the snapping of the pack-list window and the drag step.
#include "KivroTest.h"

#include "mainwindow/Skin.h"

using namespace kivro;

Q_DECLARE_METATYPE(kivro::SkinRoundRect)
Q_DECLARE_METATYPE(kivro::TwipRect)
Q_DECLARE_METATYPE(kivro::DockFlags)

class TestSkin : public QObject {
    Q_OBJECT
private slots:
    void shapeGeometry_data()
    {
        QTest::addColumn<double>("tpp");
        QTest::addColumn<int>("offsetX");
        QTest::addColumn<int>("offsetY");
        QTest::addColumn<QPoint>("vertex0");
        QTest::addColumn<QPoint>("vertex6");
        QTest::addColumn<SkinRoundRect>("rect1");
        QTest::addColumn<SkinRoundRect>("rect3");
        QTest::addColumn<SkinRoundRect>("rect5");
        // At 96 dpi the table values come out unchanged.
        QTest::newRow("96 dpi") << 15.0 << 0 << 0 << QPoint(79, 268) << QPoint(533, 11)
                                << SkinRoundRect{0, 0, 129, 40, 14, 10} << SkinRoundRect{435, 0, 534, 55, 18, 17}
                                << SkinRoundRect{391, 261, 366, 309, 26, 28};
        // Offsets move coordinates, never ellipse sizes.
        QTest::newRow("96 dpi, frame offsets")
            << 15.0 << 3 << 22 << QPoint(82, 290) << QPoint(536, 33) << SkinRoundRect{3, 22, 132, 62, 14, 10}
            << SkinRoundRect{438, 22, 537, 77, 18, 17} << SkinRoundRect{394, 283, 369, 331, 26, 28};
        // 120 dpi: x 1.25, halves to even (17.5 -> 18, 12.5 -> 12, 667.5 -> 668, 22.5 -> 22).
        QTest::newRow("120 dpi") << 12.0 << 0 << 0 << QPoint(99, 335) << QPoint(666, 14)
                                 << SkinRoundRect{0, 0, 161, 50, 18, 12} << SkinRoundRect{544, 0, 668, 69, 22, 21}
                                 << SkinRoundRect{489, 326, 458, 386, 32, 35};
        // The offset is added before rounding: 667.5 + 3 = 670.5 -> 670, 457.5 + 3 = 460.5 -> 460.
        QTest::newRow("120 dpi, frame offsets")
            << 12.0 << 3 << 22 << QPoint(102, 357) << QPoint(669, 36) << SkinRoundRect{3, 22, 164, 72, 18, 12}
            << SkinRoundRect{547, 22, 670, 91, 22, 21} << SkinRoundRect{492, 348, 460, 408, 32, 35};
    }
    void shapeGeometry()
    {
        QFETCH(double, tpp);
        QFETCH(int, offsetX);
        QFETCH(int, offsetY);
        const SkinShape s = MainWindowShape(1.0f, 1.0f, std::int16_t(offsetX), std::int16_t(offsetY), tpp, tpp);
        QCOMPARE(s.outline.size(), 11);
        QTEST(s.outline.at(0), "vertex0");
        QTEST(s.outline.at(6), "vertex6");
        QTEST(s.roundRects[0], "rect1");
        QTEST(s.roundRects[2], "rect3");
        QTEST(s.roundRects[4], "rect5");
    }

    void shapeScalesEachAxisOnItsOwn()
    {
        const SkinShape s = MainWindowShape(2.0f, 1.0f, 0, 0, 15.0, 15.0);
        QCOMPARE(s.outline.at(0), QPoint(158, 268));
        QCOMPARE(s.roundRects[0], (SkinRoundRect{0, 0, 258, 40, 28, 10}));
    }

    void regionCoversTheSkinOutline_data()
    {
        QTest::addColumn<double>("tpp");
        QTest::addColumn<QPoint>("skinPoint");
        QTest::addColumn<bool>("inside");
        // Skin points at 96 dpi; the test places the skin at the frame offset (3, 22).
        const QList<std::tuple<const char*, QPoint, bool>> points = {
            {"top-left corner cut", {0, 0}, false},
            {"inside the rounded corner", {2, 2}, true},
            {"centre", {266, 150}, true},
            {"right edge column between the round rectangles", {533, 100}, false},
            {"right edge inside the top-right rectangle", {533, 30}, true},
            {"bottom-left cut", {10, 290}, false},
            {"bottom-left round rectangle", {60, 300}, true},
            {"below the outline's 304 step", {400, 306}, false},
            {"small bottom tab", {380, 306}, true},
            {"bottom-right rectangle", {500, 303}, true},
            {"beyond the skin", {534, 150}, false},
        };
        for (const auto& [name, p, inside] : points) {
            QTest::addRow("96 dpi: %s", name) << 15.0 << p << inside;
            QTest::addRow("120 dpi: %s", name) << 12.0 << p << inside;
        }
    }
    void regionCoversTheSkinOutline()
    {
        QFETCH(double, tpp);
        QFETCH(QPoint, skinPoint);
        QFETCH(bool, inside);
        const QRegion r = ShapeMainWindow(1.0f, 1.0f, 3, 22, tpp, tpp);
        // The pixel at the scaled skin point (its centre scaled, for 120 dpi).
        const double f = 15.0 / tpp;
        const QPoint p(3 + int(std::floor((skinPoint.x() + 0.5) * f)), 22 + int(std::floor((skinPoint.y() + 0.5) * f)));
        QCOMPARE(r.contains(p), inside);
        // The window's own corner (1, 1), part of the frame, is never shown.
        QVERIFY(!r.contains(QPoint(1, 1)));
    }

    void maskIsTheShapeAtTheFrameOffset()
    {
        QCOMPARE(MainWindowMask(), ShapeMainWindow(1.0f, 1.0f, 3, 22, 15.0, 15.0));
        // The shape spans the whole skin and no more.
        QCOMPARE(MainWindowMask().boundingRect(), QRect(3, 22, 534, 309));
    }

    void roundRectRegionOrdersItsEdges()
    {
        const SkinRoundRect forward{366, 261, 391, 309, 26, 28};
        const SkinRoundRect reversed{391, 261, 366, 309, 26, 28};
        QCOMPARE(RoundRectRegion(reversed), RoundRectRegion(forward));
        QCOMPARE(RoundRectRegion(forward).boundingRect(), QRect(366, 261, 25, 48));
        // A rectangle without rounding covers exactly its pixels.
        QCOMPARE(RoundRectRegion({0, 0, 10, 5, 0, 0}), QRegion(0, 0, 10, 5));
        QVERIFY(RoundRectRegion({5, 5, 5, 9, 2, 2}).isEmpty());
    }

    void roundButton_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<float>("w");
        QTest::addColumn<float>("h");
        QTest::addColumn<bool>("hit");
        QTest::newRow("on the circle is no hit") << 300.f << 0.f << 600.f << 600.f << false;
        QTest::newRow("just inside") << 300.f << 1.f << 600.f << 600.f << true;
        QTest::newRow("centre") << 300.f << 300.f << 600.f << 600.f << true;
        QTest::newRow("corner") << 0.f << 0.f << 600.f << 600.f << false;
        QTest::newRow("radius from the width only") << 450.f << 0.f << 900.f << 300.f << true;
        // Distances are rounded to whole twips, halves to even: |300 - 0.5| = 299.5 -> 300.
        QTest::newRow("rounded distance 299.5 -> 300") << 300.f << 0.5f << 600.f << 600.f << false;
        QTest::newRow("rounded distance 298.5 -> 298") << 300.f << 1.5f << 600.f << 600.f << true;
        QTest::newRow("Pack picture, 675 x 630, centre") << 337.f << 315.f << 675.f << 630.f << true;
        QTest::newRow("Pack picture, 675 x 630, corner") << 15.f << 15.f << 675.f << 630.f << false;
    }
    void roundButton()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(float, w);
        QFETCH(float, h);
        QTEST(RoundButton(x, y, w, h), "hit");
    }

    void magnetise_data()
    {
        QTest::addColumn<TwipRect>("mainWindow");
        QTest::addColumn<QPointF>("packAt");
        QTest::addColumn<QPointF>("packTo");
        QTest::addColumn<QString>("flags");
        // The pack-list window is 4830 x 4400 twips in every row.
        const TwipRect lowMain{2000, 6000, 8100, 5010};
        const TwipRect main{1000, 1000, 8100, 5010};
        const TwipRect rightMain{6000, 1000, 8100, 5010};
        QTest::newRow("above: docks on top") << lowMain << QPointF(2500, 1000) << QPointF(2500, 1980) << "T";
        QTest::newRow("below: docks under, no correction") << main << QPointF(3000, 6700) << QPointF(3000, 5640) << "B";
        QTest::newRow("below right: bottom, then right with its corrections")
            << main << QPointF(9500, 5800) << QPointF(6690, 5580) << "BR";
        QTest::newRow("right") << main << QPointF(9200, 1500) << QPointF(9010, 1500) << "R";
        QTest::newRow("left edge on the main window's right edge: nothing")
            << main << QPointF(9100, 1500) << QPointF(9100, 1500) << "";
        QTest::newRow("left") << rightMain << QPointF(500, 1500) << QPointF(1260, 1500) << "L";
        QTest::newRow("left, low: moved 500 further") << rightMain << QPointF(500, 5500) << QPointF(1760, 5500) << "L";
        QTest::newRow("overlapping on all sides: nothing, all flags cleared")
            << main << QPointF(3000, 2000) << QPointF(3000, 2000) << "";
        // Bottom corrections b, c and d (a appears in the row above).
        QTest::newRow("bottom correction b") << main << QPointF(-3500, 6700) << QPointF(-3500, 5020) << "B";
        QTest::newRow("bottom correction b, then left, low")
            << main << QPointF(-4000, 6700) << QPointF(-3240, 5020) << "BL";
        QTest::newRow("bottom correction c")
            << TwipRect{6000, 1000, 8100, 5010} << QPointF(1760, 6700) << QPointF(1760, 5520) << "B";
        QTest::newRow("bottom correction d")
            << TwipRect{6000, 1000, 8100, 5010} << QPointF(1850, 6700) << QPointF(1850, 5580) << "B";
        QTest::newRow("above and left: top, then left")
            << rightMain << QPointF(500, -4000) << QPointF(1260, -3020) << "TL";
    }
    void magnetise()
    {
        QFETCH(TwipRect, mainWindow);
        QFETCH(QPointF, packAt);
        QFETCH(QPointF, packTo);
        QFETCH(QString, flags);
        const MagnetResult r = MagnetisePackList(mainWindow, {float(packAt.x()), float(packAt.y()), 4830, 4400});
        QCOMPARE(QPointF(r.left, r.top), packTo);
        QString got;
        if (r.flags.top)
            got += QLatin1Char('T');
        if (r.flags.bottom)
            got += QLatin1Char('B');
        if (r.flags.left)
            got += QLatin1Char('L');
        if (r.flags.right)
            got += QLatin1Char('R');
        QCOMPARE(got, flags);
    }

    void magnetiseComparesInSinglePrecision()
    {
        // PH + PT = 1 + 16777216 is not a single-precision number: it rounds to 16777216, so
        // PH + PT - 380 = 16776836 < MT = 16776837 and the window docks on top (in double
        // precision the two would be equal and it would not).
        const TwipRect main{0, 16776837.0f, 8100, 5010};
        const MagnetResult r = MagnetisePackList(main, {3000, 16777216.0f, 4830, 1});
        QCOMPARE(r.flags, (DockFlags{true, false, false, false}));
        QCOMPARE(r.top, 16772817.0f);
    }

    void beginDragRoundsHalvesToEven_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<int>("stored");
        QTest::newRow("100.5 -> 100") << 100.5f << 100;
        QTest::newRow("101.5 -> 102") << 101.5f << 102;
        QTest::newRow("-0.5 -> 0") << -0.5f << 0;
        QTest::newRow("99.7 -> 100") << 99.7f << 100;
    }
    void beginDragRoundsHalvesToEven()
    {
        QFETCH(float, x);
        WindowDrag d;
        BeginWindowDrag(d, x, x);
        QVERIFY(d.dragging);
        QTEST(int(d.dragX), "stored");
        QTEST(int(d.dragY), "stored");
    }

    void dragMovesByThePointersOffset_data()
    {
        QTest::addColumn<DockFlags>("flags");
        QTest::addColumn<bool>("carries");
        QTest::newRow("not docked: the pack list stays") << DockFlags{} << false;
        QTest::newRow("docked top") << DockFlags{true, false, false, false} << true;
        QTest::newRow("docked bottom") << DockFlags{false, true, false, false} << true;
        QTest::newRow("docked left") << DockFlags{false, false, true, false} << true;
        QTest::newRow("docked right and bottom") << DockFlags{false, true, false, true} << true;
    }
    void dragMovesByThePointersOffset()
    {
        QFETCH(DockFlags, flags);
        QFETCH(bool, carries);
        const TwipRect main{1500, 3000, 8100, 5010};
        const TwipRect pack{9600, 3000, 4830, 4400};
        WindowDrag d;
        BeginWindowDrag(d, 450, 210);
        // The pointer moved 300 twips right and 150 up relative to the pressed control.
        const DragStep s = DragWindow(d, 750, 60, main, pack, flags);
        QVERIFY(s.moves);
        QCOMPARE(s.mainLeft, 1800.f);
        QCOMPARE(s.mainTop, 2850.f);
        QCOMPARE(s.carriesPackList, carries);
        if (carries) {
            QCOMPARE(s.packLeft, 9900.f);
            QCOMPARE(s.packTop, 2850.f);
        }
    }

    void noDragWithoutAPress()
    {
        WindowDrag d;
        QVERIFY(!DragWindow(d, 750, 60, {0, 0, 8100, 5010}, {}, DockFlags{true}).moves);
        BeginWindowDrag(d, 10, 10);
        EndWindowDrag(d);
        QVERIFY(!DragWindow(d, 750, 60, {0, 0, 8100, 5010}, {}, DockFlags{true}).moves);
        // The drag step never changes the docking flags it is given (they are const) and never
        // snaps: a pack list far away is carried, not pulled in.
        BeginWindowDrag(d, 0, 0);
        const DragStep s = DragWindow(d, 15, 15, {0, 0, 8100, 5010}, {50000, 50000, 4830, 4400},
                                      DockFlags{false, false, false, true});
        QCOMPARE(QPointF(s.packLeft, s.packTop), QPointF(50015, 50015));
    }

    void applyingAStepMovesTheWindowsInPixels()
    {
        QWidget mainWindow(nullptr, Qt::FramelessWindowHint);
        QWidget packList(nullptr, Qt::FramelessWindowHint);
        mainWindow.setGeometry(100, 200, 540, 334);
        packList.setGeometry(640, 200, 322, 291);
        // Neither window is shown: a hidden pack list travels all the same.
        QVERIFY(packList.isHidden());
        const TwipRect m = windowTwips(&mainWindow);
        QCOMPARE(m, (TwipRect{1500, 3000, 8100, 5010}));
        WindowDrag d;
        BeginWindowDrag(d, 30, 30);
        applyDragStep(DragWindow(d, 330, 180, m, windowTwips(&packList), DockFlags{false, false, false, true}),
                      &mainWindow, &packList);
        QCOMPARE(mainWindow.pos(), QPoint(120, 210));
        QCOMPARE(packList.pos(), QPoint(660, 210));
        applyDragStep(DragWindow(d, 330, 180, windowTwips(&mainWindow), windowTwips(&packList), DockFlags{}),
                      &mainWindow, &packList);
        QCOMPARE(mainWindow.pos(), QPoint(140, 220));
        QCOMPARE(packList.pos(), QPoint(660, 210));
    }
};

KIVRO_TEST_MAIN(TestSkin)
#include "tst_skin.moc"
