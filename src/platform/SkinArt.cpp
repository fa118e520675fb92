#include "SkinArt.h"

#include <QDir>
#include <QFont>
#include <QPalette>
#include <QWidget>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <memory>

// The resource file lives in a static library: register it explicitly (outside any namespace),
// or the linker could drop it.
static void initSkinResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(skin);
        return true;
    }();
    Q_UNUSED(done);
}

namespace kivro::SkinArt {

namespace {

QSvgRenderer* renderer(const QString& name)
{
    initSkinResources();
    static QHash<QString, std::shared_ptr<QSvgRenderer>> renderers;
    auto it = renderers.find(name);
    if (it == renderers.end()) {
        std::shared_ptr<QSvgRenderer> r;
        if (QFile::exists(resourcePath(name))) {
            r = std::make_shared<QSvgRenderer>(resourcePath(name));
            if (!r->isValid())
                r.reset();
        }
        it = renderers.insert(name, r);
    }
    return it->get();
}

} // namespace

QString resourcePath(const QString& name)
{
    return QStringLiteral(":/skin/") + name + QStringLiteral(".svg");
}

bool exists(const QString& name)
{
    return renderer(name) != nullptr;
}

QSize defaultSize(const QString& name)
{
    QSvgRenderer* r = renderer(name);
    return r ? r->defaultSize() : QSize();
}

QPixmap pixmap(const QString& name, const QSize& logicalSize, qreal dpr)
{
    QSvgRenderer* r = renderer(name);
    if (!r || logicalSize.isEmpty())
        return QPixmap();
    if (dpr <= 0)
        dpr = 1.0;
    static QHash<QString, QPixmap> cache;
    const QString key
        = QStringLiteral("%1|%2x%3|%4").arg(name).arg(logicalSize.width()).arg(logicalSize.height()).arg(dpr);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    const QSize device(int(std::ceil(logicalSize.width() * dpr)), int(std::ceil(logicalSize.height() * dpr)));
    QPixmap pm(device);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        r->render(&p, QRectF(QPointF(0, 0), QSizeF(device)));
    }
    pm.setDevicePixelRatio(dpr);
    cache.insert(key, pm);
    return pm;
}

QStringList names()
{
    initSkinResources();
    QStringList out;
    const QStringList files
        = QDir(QStringLiteral(":/skin")).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        out << f.chopped(4);
    return out;
}

QCursor handCursor(qreal dpr)
{
    const QPixmap pm = pixmap(QStringLiteral("cursor_hand"), QSize(32, 32), dpr);
    if (pm.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(pm, kHandHotX, kHandHotY);
}

void applyTextStyle(QWidget& window, QRgb textColor)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    window.setFont(font);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, QColor::fromRgba(textColor));
    pal.setColor(QPalette::Inactive, QPalette::WindowText, QColor::fromRgba(textColor));
    window.setPalette(pal);
}

} // namespace kivro::SkinArt
