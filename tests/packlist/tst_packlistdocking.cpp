// The snap of the pack-list window at the end of its own drag, as a pure table over twips
// rectangles: the main window at (1000, 1000), 8100 x 5010, the pack list 4830 x 4400.
#include "KivroTest.h"

#include "packlist/PackListDocking.h"

using namespace kivro;

Q_DECLARE_METATYPE(kivro::TwipRect)
Q_DECLARE_METATYPE(kivro::DockFlags)

namespace {

const TwipRect kMain{1000, 1000, 8100, 5010};

DockFlags flagsOf(const QString& sides)
{
    return {sides.contains(QLatin1Char('T')), sides.contains(QLatin1Char('B')), sides.contains(QLatin1Char('L')),
            sides.contains(QLatin1Char('R'))};
}

} // namespace

class TestPackListDocking : public QObject {
    Q_OBJECT
private slots:
    void activateMagnet_data()
    {
        QTest::addColumn<TwipRect>("mainWindow");
        QTest::addColumn<QPointF>("packAt");
        QTest::addColumn<int>("adj");
        QTest::addColumn<QString>("flagsBefore");
        QTest::addColumn<QPointF>("packTo");
        QTest::addColumn<QString>("flagsAfter");
        QTest::newRow("below") << kMain << QPointF(3000, 6700) << 0 << "" << QPointF(3000, 5640) << "B";
        QTest::newRow("below right: bottom, then right with its corrections")
            << kMain << QPointF(9500, 5800) << 0 << "" << QPointF(6690, 5580) << "BR";
        QTest::newRow("right") << kMain << QPointF(9200, 1500) << 0 << "" << QPointF(9010, 1500) << "R";
        QTest::newRow("right: inside the 100-twip margin")
            << kMain << QPointF(9100, 1500) << 0 << "" << QPointF(9010, 1500) << "R";
        QTest::newRow("on the margin: nothing") << kMain << QPointF(9000, 1500) << 0 << "" << QPointF(9000, 1500) << "";
        QTest::newRow("below left, case b") << kMain << QPointF(-3500, 6700) << 0 << "" << QPointF(-3500, 5020) << "B";
        QTest::newRow("below, then left") << kMain << QPointF(-5000, 6700) << 0 << "" << QPointF(-3240, 5640) << "BL";
        QTest::newRow("top: 379 twips below the main top")
            << kMain << QPointF(3000, -3021) << 0 << "" << QPointF(3000, -3020) << "T";
        QTest::newRow("380 twips below the main top: nothing")
            << kMain << QPointF(3000, -3020) << 0 << "" << QPointF(3000, -3020) << "";
        QTest::newRow("overlapping: nothing") << kMain << QPointF(8000, 1500) << 0 << "" << QPointF(8000, 1500) << "";
        QTest::newRow("below, caption adjusted")
            << kMain << QPointF(3000, 6700) << 110 << "" << QPointF(3000, 5530) << "B";
        QTest::newRow("below right, caption adjusted")
            << kMain << QPointF(9500, 5800) << 110 << "" << QPointF(6690, 5470) << "BR";
        QTest::newRow("bottom flag already set: skipped")
            << kMain << QPointF(3000, 6700) << 0 << "B" << QPointF(3000, 6700) << "B";
        // Below, with the left edge within 2420 twips inside the main window's right edge: 60
        // twips higher.
        QTest::newRow("bottom, left edge 2420 twips inside the right edge")
            << kMain << QPointF(6680, 6700) << 0 << "" << QPointF(6680, 5580) << "B";
        QTest::newRow("bottom, left edge 2421 twips inside the right edge")
            << kMain << QPointF(6679, 6700) << 0 << "" << QPointF(6679, 5640) << "B";
        QTest::newRow("bottom, left edge 100 twips inside the right edge")
            << kMain << QPointF(9000, 6700) << 0 << "" << QPointF(9000, 5580) << "B";
        QTest::newRow("bottom, left edge 2420 twips inside, caption adjusted")
            << kMain << QPointF(6680, 6700) << 110 << "" << QPointF(6680, 5470) << "B";
        // The right rule's second move starts 420 twips above the main window's bottom.
        QTest::newRow("right, 420 twips above the main bottom")
            << kMain << QPointF(9200, 5590) << 0 << "" << QPointF(6690, 5530) << "R";
        QTest::newRow("right, 421 twips above the main bottom")
            << kMain << QPointF(9200, 5589) << 0 << "" << QPointF(9010, 5589) << "R";
        QTest::newRow("right, 420 twips and the caption above the main bottom")
            << kMain << QPointF(9200, 5480) << 110 << "" << QPointF(6690, 5420) << "R";
        QTest::newRow("right, 421 twips and the caption above the main bottom")
            << kMain << QPointF(9200, 5479) << 110 << "" << QPointF(9010, 5479) << "R";
        QTest::newRow("above left of a main window at (6000, 6000)")
            << TwipRect{6000, 6000, 8100, 5010} << QPointF(500, 500) << 0 << "" << QPointF(1260, 1980) << "TL";
    }
    void activateMagnet()
    {
        QFETCH(TwipRect, mainWindow);
        QFETCH(QPointF, packAt);
        QFETCH(int, adj);
        QFETCH(QString, flagsBefore);
        QFETCH(QPointF, packTo);
        QFETCH(QString, flagsAfter);
        const TwipRect pack{float(packAt.x()), float(packAt.y()), 4830, 4400};
        const MagnetResult r = ActivateMagnetSnap(mainWindow, pack, flagsOf(flagsBefore), float(adj));
        QCOMPARE(QPointF(r.left, r.top), packTo);
        QCOMPARE(r.flags, flagsOf(flagsAfter));
    }

    void magnetiseDiffersInItsThreePoints()
    {
        // No right margin: a window whose left edge lies on the main window's right edge stays.
        const MagnetResult onEdge = MagnetisePackList(kMain, {9100, 1500, 4830, 4400});
        QCOMPARE(QPointF(onEdge.left, onEdge.top), QPointF(9100, 1500));
        QCOMPARE(onEdge.flags, DockFlags{});
        // No caption adjustment: the same release below lands 110 twips lower than the snap
        // with ADJ 110.
        const MagnetResult below = MagnetisePackList(kMain, {3000, 6700, 4830, 4400});
        QCOMPARE(QPointF(below.left, below.top), QPointF(3000, 5640));
        QCOMPARE(below.flags, flagsOf(QStringLiteral("B")));
    }
};

KIVRO_TEST_MAIN(TestPackListDocking)
#include "tst_packlistdocking.moc"
