// The layout tables of the two skinned windows against their shapes and their artwork: every
// control lies inside the window's shape, none overlaps another unless they share a place, every
// fixed text fits, and every picture exists in the size its place has and renders at 100 % and
// 200 %.
#include "KivroTest.h"

#include "mainwindow/Skin.h"
#include "mainwindow/SkinLayout.h"
#include "packlist/BrovletSkinLayout.h"
#include "platform/SkinArt.h"

#include <QFontMetrics>
#include <span>

using namespace kivro;

namespace {

QString str(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

struct Window {
    const char* name;
    std::span<const SkinLayoutEntry> layout;
    QPoint origin;
    QRegion shape;
};

QList<Window> windows()
{
    return {
        {"main window", skin::kMainLayout, skin::kSkinOrigin, MainWindowMask()},
        {"pack list", packlistskin::kPackListLayout, packlistskin::kSkinOrigin,
         RoundRectRegion({3, 22, 3 + packlistskin::kSkinSize.width(), 22 + packlistskin::kSkinSize.height(),
                          packlistskin::kCornerEllipse, packlistskin::kCornerEllipse})},
    };
}

// The picture names a layout entry needs.
QStringList picturesOf(const SkinLayoutEntry& e)
{
    const QString stem = str(e.picture);
    if (stem.isEmpty())
        return {};
    switch (e.kind) {
    case SkinKind::Button:
        if (stem == QLatin1String("btn_swapup") || stem == QLatin1String("btn_swapdown"))
            return {stem + QStringLiteral("_up"), stem + QStringLiteral("_down")};
        return {stem + QStringLiteral("_up"), stem + QStringLiteral("_over"), stem + QStringLiteral("_down")};
    case SkinKind::Round:
        if (SkinArt::exists(stem))
            return {stem};
        return {stem + QStringLiteral("_up"), stem + QStringLiteral("_down")};
    default:
        return {stem};
    }
}

QFont labelFont(bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(8.25);
    f.setBold(bold);
    return f;
}

} // namespace

class TestSkinLayout : public QObject {
    Q_OBJECT
private slots:
    void everyControlLiesInsideTheShape()
    {
        for (const Window& w : windows()) {
            for (const SkinLayoutEntry& e : w.layout) {
                const QRect r = e.rect.translated(w.origin);
                QVERIFY2(!r.isEmpty(), e.name.data());
                QVERIFY2((QRegion(r) - w.shape).isEmpty(),
                         qPrintable(QStringLiteral("%1: %2 leaves the shape").arg(QLatin1String(w.name), str(e.name))));
            }
        }
    }

    void noControlsOverlapUnlessTheyShareAPlace()
    {
        for (const Window& w : windows()) {
            for (std::size_t i = 0; i < w.layout.size(); ++i) {
                for (std::size_t j = i + 1; j < w.layout.size(); ++j) {
                    const SkinLayoutEntry& a = w.layout[i];
                    const SkinLayoutEntry& b = w.layout[j];
                    QVERIFY2(a.name != b.name, a.name.data());
                    if (!a.rect.intersects(b.rect))
                        continue;
                    const bool samePlace = !a.place.empty() && a.place == b.place && a.rect == b.rect;
                    const bool held = (a.container && a.rect.contains(b.rect))
                                      || (b.container && b.rect.contains(a.rect));
                    QVERIFY2(
                        samePlace || held,
                        qPrintable(
                            QStringLiteral("%1: %2 overlaps %3").arg(QLatin1String(w.name), str(a.name), str(b.name))));
                }
            }
        }
    }

    void textsFitTheirControls()
    {
        for (const Window& w : windows()) {
            for (const SkinLayoutEntry& e : w.layout) {
                if (e.longestText.empty())
                    continue;
                const QFontMetrics fm(labelFont(e.name == "TesmaKivroCaption"));
                const int padding = e.kind == SkinKind::PushButton ? 10 : 0;
                const int width = fm.horizontalAdvance(str(e.longestText)) + padding;
                QVERIFY2(width <= e.rect.width(), qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                                                                 .arg(str(e.name), str(e.longestText))
                                                                 .arg(width)
                                                                 .arg(e.rect.width())));
                QVERIFY2(fm.height() <= e.rect.height(), e.name.data());
            }
        }
        // The folder label shows a path shortened to 3800 twips, the zip label "Zipping '" and a
        // path shortened to 4200 twips.
        const QFontMetrics fm(labelFont(false));
        QVERIFY(skin::skinRect("seldir_lbl").width() >= 3800 / 15);
        QVERIFY(skin::skinRect("ZipProcess_Lbl").width()
                >= fm.horizontalAdvance(QStringLiteral("Zipping ''")) + 4200 / 15);
    }

    void actionPicturesKeepTheirSize()
    {
        // The round pictures are 675 x 630 twips; the progress bar's place is the one the
        // actions create it at (left 70, 420 twips above the bottom of the client area).
        for (const char* name : {"PackImg", "PackCANCELImg", "PackDownFullViewImg", "UnpackImg", "UnPackCANCELImg"})
            QCOMPARE(skin::skinRect(name).size(), QSize(45, 42));
        QCOMPARE(skin::skinRect("mProgressBar"), QRect(70, 309 - 420 / 15, 246, 15));
        QCOMPARE(skin::windowRect("PackImg"), skin::skinRect("PackImg").translated(3, 22));
        QVERIFY(skin::findLayout("NoSuchControl") == nullptr);
        QCOMPARE(skin::kSkinOrigin + QPoint(skin::kSkinSize.width(), skin::kSkinSize.height()) + QPoint(3, 3),
                 QPoint(skin::kOuterSize.width(), skin::kOuterSize.height()));
    }

    void everyPictureExistsInItsSize()
    {
        for (const Window& w : windows()) {
            for (const SkinLayoutEntry& e : w.layout) {
                for (const QString& picture : picturesOf(e)) {
                    QVERIFY2(SkinArt::exists(picture), qPrintable(picture));
                    QCOMPARE(SkinArt::defaultSize(picture), e.rect.size());
                }
            }
        }
        QCOMPARE(SkinArt::defaultSize(QStringLiteral("main_bg")), skin::kSkinSize);
        QCOMPARE(SkinArt::defaultSize(QStringLiteral("packlist_bg")), packlistskin::kSkinSize);
        for (int k = 0; k < 8; ++k)
            QCOMPARE(SkinArt::defaultSize(QStringLiteral("zip_%1").arg(k)), QSize(16, 16));
        QCOMPARE(SkinArt::defaultSize(QStringLiteral("cursor_hand")), QSize(32, 32));
        QVERIFY(!SkinArt::exists(QStringLiteral("no_such_picture")));
        QVERIFY(SkinArt::defaultSize(QStringLiteral("no_such_picture")).isEmpty());
    }

    void picturesRenderCrisplyAt100And200Percent()
    {
        const QStringList names = SkinArt::names();
        QVERIFY(names.size() > 60);
        for (const QString& name : names) {
            const QSize size = SkinArt::defaultSize(name);
            QVERIFY2(!size.isEmpty(), qPrintable(name));
            for (const qreal dpr : {1.0, 2.0}) {
                const QPixmap pm = SkinArt::pixmap(name, size, dpr);
                QCOMPARE(pm.size(), size * dpr);
                QCOMPARE(pm.devicePixelRatio(), dpr);
                // Something is drawn: at least 2 % of the picture is mostly opaque.
                const QImage img = pm.toImage();
                int opaque = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x)
                        opaque += qAlpha(img.pixel(x, y)) > 128;
                QVERIFY2(opaque * 50 >= img.width() * img.height(),
                         qPrintable(QStringLiteral("%1 at %2x: %3 opaque pixels").arg(name).arg(dpr).arg(opaque)));
            }
        }
    }

    void statesOfAButtonDiffer()
    {
        // Hover and press must show: the three pictures of each button differ from each other.
        for (const Window& w : windows()) {
            for (const SkinLayoutEntry& e : w.layout) {
                const QStringList pictures = picturesOf(e);
                QList<QImage> images;
                for (const QString& p : pictures)
                    images << SkinArt::pixmap(p, e.rect.size(), 1.0).toImage();
                for (int i = 0; i < images.size(); ++i)
                    for (int j = i + 1; j < images.size(); ++j)
                        QVERIFY2(images[i] != images[j], qPrintable(pictures[i] + QLatin1Char('=') + pictures[j]));
            }
        }
        for (const QString& stem : {QStringLiteral("sound_on"), QStringLiteral("sound_off")}) {
            const QImage up = SkinArt::pixmap(stem + QStringLiteral("_up"), QSize(16, 16), 1).toImage();
            QVERIFY(up != SkinArt::pixmap(stem + QStringLiteral("_over"), QSize(16, 16), 1).toImage());
            QVERIFY(up != SkinArt::pixmap(stem + QStringLiteral("_down"), QSize(16, 16), 1).toImage());
        }
    }

    void zipAnimationMoves()
    {
        for (int k = 1; k < 8; ++k)
            QVERIFY(SkinArt::pixmap(QStringLiteral("zip_%1").arg(k), QSize(16, 16), 1).toImage()
                    != SkinArt::pixmap(QStringLiteral("zip_%1").arg(k - 1), QSize(16, 16), 1).toImage());
    }
};

KIVRO_TEST_MAIN(TestSkinLayout)
#include "tst_skinlayout.moc"
