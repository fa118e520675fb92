// Renders the program's icons from their SVG artwork in resources/icons/:
//   kivro.svg -> resources/icons/AAA-16.png, AAA-32.png, AAA-48.png (the window icon "AAA")
//             -> data/KivroPro.ir (product icon of the about box)
//   amail.svg -> data/Amail.ir (mail icon of the about box)
//   tod.svg   -> data/Tod.ir (tip-of-the-day icon)
// The .ir files are in the Windows icon layout with one 32 x 32 entry of 32 bits per pixel:
// straight (not premultiplied) BGRA rows bottom up, then the 1-bit mask (set where the pixel is
// fully transparent). The outputs are committed; run this after changing the artwork:
//   cmake --build build --target regenerate_icons
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QImage render(const QString& svgPath, int size)
{
    QSvgRenderer svg(svgPath);
    if (!svg.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(svgPath));
        std::exit(1);
    }
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    svg.render(&p, QRectF(0, 0, size, size));
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

void put16(QByteArray& out, int v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void put32(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray iconFile32(const QImage& img)
{
    const int size = 32;
    const int maskRow = ((size + 31) / 32) * 4;
    QByteArray image;
    // Bitmap information header: the height counts the colour bitmap and the mask.
    put32(image, 40);
    put32(image, size);
    put32(image, size * 2);
    put16(image, 1);
    put16(image, 32);
    put32(image, 0);
    put32(image, size * size * 4 + maskRow * size);
    put32(image, 0);
    put32(image, 0);
    put32(image, 0);
    put32(image, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const QRgb c = img.pixel(x, y);
            const bool clear = qAlpha(c) == 0;
            image.append(char(clear ? 0 : qBlue(c)));
            image.append(char(clear ? 0 : qGreen(c)));
            image.append(char(clear ? 0 : qRed(c)));
            image.append(char(qAlpha(c)));
        }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < size; ++x)
            if (qAlpha(img.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        image.append(row);
    }

    QByteArray file;
    put16(file, 0); // reserved
    put16(file, 1); // icon
    put16(file, 1); // one entry
    file.append(char(size));
    file.append(char(size));
    file.append(char(0)); // no palette
    file.append(char(0));
    put16(file, 1);  // planes
    put16(file, 32); // bits per pixel
    put32(file, quint32(image.size()));
    put32(file, 6 + 16);
    file.append(image);
    return file;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("wrote %s\n", qPrintable(path));
}

void writePng(const QImage& img, const QString& path)
{
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("wrote %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <source folder>\n", argv[0]);
        return 2;
    }
    const QString src = QFile::decodeName(argv[1]);
    const QString art = src + QStringLiteral("/resources/icons/");
    const QString data = src + QStringLiteral("/data/");

    for (int size : {16, 32, 48})
        writePng(render(art + QStringLiteral("kivro.svg"), size), art + QStringLiteral("AAA-%1.png").arg(size));
    write(data + QStringLiteral("KivroPro.ir"), iconFile32(render(art + QStringLiteral("kivro.svg"), 32)));
    write(data + QStringLiteral("Amail.ir"), iconFile32(render(art + QStringLiteral("amail.svg"), 32)));
    write(data + QStringLiteral("Tod.ir"), iconFile32(render(art + QStringLiteral("tod.svg"), 32)));
    return 0;
}
