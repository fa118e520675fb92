// The icon-file loader: which entry it takes, what it decodes and composes, and what it refuses.
#include "KivroTest.h"

#include "platform/IconFile.h"
#include "platform/MsgBox.h"

#include <QBuffer>

#include <functional>

using namespace kivro;

namespace {

// One entry of a test icon file. `pixel` gives a palette index, or for true colour 0xAARRGGBB.
struct Entry {
    int width = 16;
    int height = 16;
    int bitCount = 32;
    int colorCount = 0;    // the directory's bColorCount
    int widthByte = -1;    // overrides the directory's width byte (256-pixel entries: 0)
    QVector<QRgb> palette; // written when the derived form has one
    std::function<quint32(int, int)> pixel = [](int, int) { return 0xFF102030u; };
    std::function<bool(int, int)> transparent = [](int, int) { return false; };
    int dataBits = -1; // bits per pixel of the colour rows as written (default bitCount)
};

void put16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}
int rowBytes(int width, int bits)
{
    return ((width * bits + 31) / 32) * 4;
}

} // namespace

Q_DECLARE_METATYPE(Entry)

namespace {

QByteArray imageData(const Entry& e)
{
    QByteArray img;
    put32(img, 40);
    put32(img, quint32(e.width));
    put32(img, quint32(e.height * 2));
    put16(img, 1);
    put16(img, e.bitCount);
    for (int i = 0; i < 6; ++i)
        put32(img, 0);
    for (QRgb c : e.palette) {
        img.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    const int bits = e.dataBits > 0 ? e.dataBits : e.bitCount;
    for (int y = e.height - 1; y >= 0; --y) {
        QByteArray row(rowBytes(e.width, bits), '\0');
        for (int x = 0; x < e.width; ++x) {
            const quint32 v = e.pixel(x, y);
            switch (bits) {
            case 1:
                if (v & 1)
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
                break;
            case 4:
                row[x / 2] = char(row[x / 2] | ((v & 0x0F) << (x % 2 ? 0 : 4)));
                break;
            case 8:
                row[x] = char(v);
                break;
            case 24:
                row[x * 3] = char(qBlue(v));
                row[x * 3 + 1] = char(qGreen(v));
                row[x * 3 + 2] = char(qRed(v));
                break;
            case 32:
                row[x * 4] = char(qBlue(v));
                row[x * 4 + 1] = char(qGreen(v));
                row[x * 4 + 2] = char(qRed(v));
                row[x * 4 + 3] = char(qAlpha(v));
                break;
            default:
                break;
            }
        }
        img.append(row);
    }
    for (int y = e.height - 1; y >= 0; --y) {
        QByteArray row(rowBytes(e.width, 1), '\0');
        for (int x = 0; x < e.width; ++x)
            if (e.transparent(x, y))
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        img.append(row);
    }
    return img;
}

QByteArray iconFile(const QList<Entry>& entries, int idType = 1)
{
    QByteArray head;
    put16(head, 0);
    put16(head, idType);
    put16(head, int(entries.size()));
    QByteArray body;
    const int dirEnd = 6 + 16 * int(entries.size());
    for (const Entry& e : entries) {
        const QByteArray img = imageData(e);
        head.append(char(e.widthByte >= 0 ? e.widthByte : e.width)).append(char(e.height));
        head.append(char(e.colorCount)).append('\0');
        put16(head, 1);
        put16(head, e.bitCount);
        put32(head, quint32(img.size()));
        put32(head, quint32(dirEnd + body.size()));
        body.append(img);
    }
    return head + body;
}

Entry sized(int w, int h, int bits = 32)
{
    Entry e;
    e.width = w;
    e.height = h;
    e.bitCount = bits;
    return e;
}

int choose(const QByteArray& bytes)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    return ico::ChooseIconEntry(buf);
}

QString writeIcon(const QString& name, const QByteArray& bytes)
{
    const QString path = kivrotest::rootDir() + QStringLiteral("/icons/") + name;
    kivrotest::writeFile(path, bytes);
    return path;
}

const QString kInvalid = QStringLiteral(
    "box|None|OK|Tesma Kivro Pro|Invalid icon file or file does not contain 32x32 or 16x16 icon|OK");
QString failedRecord(const QString& path)
{
    return QStringLiteral("box|None|OK|Tesma Kivro Pro|") + path + QStringLiteral("\\nFailed to load this file|OK");
}

QRgb rgbAt(const QImage& img, int x, int y)
{
    return img.pixel(x, y) | 0xFF000000u;
}

} // namespace

class TestIconFile : public QObject {
    Q_OBJECT
private slots:
    void init() { Prompts::enableScripted(); }

    void entryChoice_data()
    {
        QTest::addColumn<QList<Entry>>("entries");
        QTest::addColumn<int>("idType");
        QTest::addColumn<int>("expected");
        Entry wide256 = sized(32, 32);
        wide256.widthByte = 0;
        QTest::newRow("one 16x16") << QList<Entry>{sized(16, 16)} << 1 << 0;
        QTest::newRow("one 32x16 passes the choice") << QList<Entry>{sized(32, 16)} << 1 << 0;
        QTest::newRow("one 48x48") << QList<Entry>{sized(48, 48)} << 1 << -1;
        QTest::newRow("16 then 32") << QList<Entry>{sized(16, 16), sized(32, 32)} << 1 << 1;
        QTest::newRow("32 then 16") << QList<Entry>{sized(32, 32), sized(16, 16)} << 1 << 0;
        QTest::newRow("32/8 then 32/32") << QList<Entry>{sized(32, 32, 8), sized(32, 32, 32)} << 1 << 1;
        QTest::newRow("32/32 then 32/8") << QList<Entry>{sized(32, 32, 32), sized(32, 32, 8)} << 1 << 0;
        QTest::newRow("16 then 48") << QList<Entry>{sized(16, 16), sized(48, 48)} << 1 << 0;
        QTest::newRow("first 256 makes it invalid") << QList<Entry>{wide256, sized(32, 32)} << 1 << -1;
        QTest::newRow("only 48 and 64") << QList<Entry>{sized(48, 48), sized(64, 64)} << 1 << -1;
        QTest::newRow("cursor file") << QList<Entry>{sized(32, 32)} << 2 << -1;
        QTest::newRow("no entries") << QList<Entry>{} << 1 << -1;
    }
    void entryChoice()
    {
        QFETCH(QList<Entry>, entries);
        QFETCH(int, idType);
        QFETCH(int, expected);
        QCOMPARE(choose(iconFile(entries, idType)), expected);
    }

    void truncatedDirectoryIsInvalid()
    {
        const QByteArray whole = iconFile({sized(16, 16), sized(32, 32)});
        QCOMPARE(choose(whole.left(6 + 16 + 8)), -1);
        QCOMPARE(choose(whole.left(4)), -1);
    }

    // Every depth the decoder has a rule for, with the bottom-up rows and their padding.
    void decodesEveryDepth_data()
    {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QRgb>("topLeft");
        QTest::addColumn<QRgb>("bottomRight");

        const QVector<QRgb> two{qRgb(0, 0, 0), qRgb(255, 255, 255)};
        QVector<QRgb> sixteen, all;
        for (int i = 0; i < 16; ++i)
            sixteen << qRgb(i * 16, 255 - i * 16, 7);
        for (int i = 0; i < 256; ++i)
            all << qRgb(i, 0, 255 - i);

        Entry mono = sized(16, 16, 1);
        mono.colorCount = 2;
        mono.palette = two;
        mono.pixel = [](int x, int y) { return quint32((x == 15 && y == 15) ? 1 : 0); };
        QTest::newRow("2 colours, 16x16 (2 data + 2 padding bytes a row)")
            << mono << qRgb(0, 0, 0) << qRgb(255, 255, 255);

        Entry nibble = sized(32, 32, 4);
        nibble.colorCount = 16;
        nibble.palette = sixteen;
        nibble.pixel = [](int x, int y) { return quint32((x + y) % 16); };
        QTest::newRow("16 colours") << nibble << sixteen[0] << sixteen[(31 + 31) % 16];

        Entry byte = sized(16, 16, 8);
        byte.palette = all;
        byte.pixel = [](int x, int y) { return quint32(y * 16 + x); };
        QTest::newRow("256 colours") << byte << all[0] << all[255];

        Entry bothZero = sized(16, 16, 0);
        bothZero.palette = all;
        bothZero.dataBits = 8;
        bothZero.pixel = [](int x, int y) { return quint32(y * 16 + x); };
        QTest::newRow("no count and no bits: 256 colours") << bothZero << all[0] << all[255];

        Entry rgb = sized(16, 16, 24);
        rgb.pixel = [](int x, int y) { return quint32(qRgb(x * 10, y * 10, 99)); };
        QTest::newRow("24 bits (48 data bytes a row)") << rgb << qRgb(0, 0, 99) << qRgb(150, 150, 99);

        Entry argb = sized(32, 32, 32);
        argb.pixel = [](int x, int y) { return quint32(qRgba(x * 8, y * 8, 1, 255)); };
        QTest::newRow("32 bits") << argb << qRgb(0, 0, 1) << qRgb(248, 248, 1);
    }
    void decodesEveryDepth()
    {
        QFETCH(Entry, entry);
        QFETCH(QRgb, topLeft);
        QFETCH(QRgb, bottomRight);
        const QString path = writeIcon(QStringLiteral("depth.ir"), iconFile({entry}));
        IconFileLoader loader;
        QVERIFY(loader.LoadOpenFileICO(path));
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(loader.picImage.size(), QSize(entry.width, entry.height));
        QCOMPARE(rgbAt(loader.picImage, 0, 0), topLeft);
        QCOMPARE(rgbAt(loader.picImage, entry.width - 1, entry.height - 1), bottomRight);
        QCOMPARE(rgbAt(loader.PicIcon, 0, 0), topLeft); // opaque everywhere
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("invalidFile"); // else "Failed to load this file"

        QTest::newRow("single 32x16 entry") << iconFile({sized(32, 16)}) << false;
        Entry four = sized(16, 16, 2);
        four.dataBits = 2;
        four.palette = QVector<QRgb>(4, qRgb(1, 2, 3));
        QTest::newRow("4-colour palette") << iconFile({four}) << false;
        QTest::newRow("16-bit true colour") << iconFile({sized(16, 16, 16)}) << false;
        QTest::newRow("31-bit true colour") << iconFile({sized(16, 16, 31)}) << false;
        QTest::newRow("truncated image") << iconFile({sized(32, 32)}).chopped(10) << false;
        QByteArray past = iconFile({sized(16, 16)});
        past[6 + 12] = char(0x00);
        past[6 + 13] = char(0x10); // offset 4096, past the end of the file
        QTest::newRow("offset past the end") << past << false;
        QByteArray png = iconFile({sized(16, 16)});
        png.replace(22, 8, QByteArray("\x89PNG\r\n\x1a\n", 8));
        QTest::newRow("PNG-compressed image") << png << false;
        QTest::newRow("cursor file") << iconFile({sized(32, 32)}, 2) << true;
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("text file") << QByteArray("Hello, this is not an icon at all\r\n") << true;
    }
    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, invalidFile);
        const QString path = writeIcon(QStringLiteral("bad.ir"), bytes);
        IconFileLoader loader;
        loader.PicIcon = QImage(8, 8, QImage::Format_RGB32);
        QVERIFY(!loader.LoadOpenFileICO(path));
        QCOMPARE(Prompts::records(), QStringList{invalidFile ? kInvalid : failedRecord(path)});
        // An invalid file leaves the pictures; a refused entry clears them.
        QCOMPARE(loader.PicIcon.isNull(), !invalidFile);
    }

    void missingFileOrFolderIsInvalid()
    {
        IconFileLoader loader;
        QVERIFY(!loader.LoadOpenFileICO(kivrotest::rootDir() + QStringLiteral("/nothing.ir")));
        QVERIFY(!loader.LoadOpenFileICO(kivrotest::rootDir()));
        QCOMPARE(Prompts::records(), (QStringList{kInvalid, kInvalid}));
    }

    void maskComposesOverTheBackground()
    {
        Entry e = sized(16, 16, 24);
        e.pixel = [](int x, int) { return quint32(x < 8 ? qRgb(0, 0, 0) : qRgb(10, 200, 30)); };
        e.transparent = [](int x, int) { return x < 8; };
        const QString path = writeIcon(QStringLiteral("mask.ir"), iconFile({e}));
        IconFileLoader loader;
        loader.PicIconBackColor = QColor(236, 233, 216);
        QVERIFY(loader.LoadOpenFileICO(path));
        QCOMPARE(rgbAt(loader.picMask, 0, 0), qRgb(255, 255, 255));
        QCOMPARE(rgbAt(loader.picMask, 15, 0), qRgb(0, 0, 0));
        QCOMPARE(rgbAt(loader.PicIcon, 0, 5), qRgb(236, 233, 216));
        QCOMPARE(rgbAt(loader.PicIcon, 15, 5), qRgb(10, 200, 30));
        // AND/XOR: a colour under a transparent mask bit inverts those bits of the background.
        QImage colour(1, 1, QImage::Format_RGB32);
        colour.fill(qRgb(0xFF, 0x0F, 0x00));
        QImage white(1, 1, QImage::Format_RGB32);
        white.fill(qRgb(255, 255, 255));
        QCOMPARE(rgbAt(ico::ComposeIcon(colour, white, QColor(0xF0, 0xF0, 0xF0)), 0, 0), qRgb(0x0F, 0xFF, 0xF0));
    }

    void alphaBlend_data()
    {
        QTest::addColumn<int>("alpha");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("alpha 128: p = 50, rounded down") << 128 << false << qRgb(245, 116, 108);
        QTest::newRow("alpha 0 shows the background") << 0 << false << qRgb(236, 233, 216);
        QTest::newRow("alpha 255 shows the colour") << 255 << false << qRgb(255, 0, 0);
        QTest::newRow("transparent mask keeps the background") << 255 << true << qRgb(236, 233, 216);
    }
    void alphaBlend()
    {
        QFETCH(int, alpha);
        QFETCH(bool, transparent);
        QFETCH(QRgb, expected);
        Entry e = sized(32, 32, 32);
        e.pixel = [alpha](int, int) { return quint32(qRgba(255, 0, 0, alpha)); };
        e.transparent = [transparent](int, int) { return transparent; };
        const QString path = writeIcon(QStringLiteral("alpha.ir"), iconFile({e}));
        IconFileLoader loader;
        loader.PicIconBackColor = QColor(236, 233, 216);
        QVERIFY(loader.LoadOpenFileICO(path));
        QCOMPARE(loader.picTemp[1].size(), QSize(32, 32));
        QCOMPARE(rgbAt(loader.picTemp[1], 7, 9), expected);
        QCOMPARE(loader.picTemp[0], loader.PicIcon);
    }

    void onlyThirtyTwoBitIconsReplaceTheBlendedPicture()
    {
        Entry red = sized(32, 32, 32);
        red.pixel = [](int, int) { return quint32(qRgba(255, 0, 0, 255)); };
        Entry blue = sized(16, 16, 24);
        blue.pixel = [](int, int) { return quint32(qRgb(0, 0, 255)); };
        IconFileLoader loader;
        QVERIFY(loader.LoadOpenFileICO(writeIcon(QStringLiteral("red.ir"), iconFile({red}))));
        QVERIFY(loader.LoadOpenFileICO(writeIcon(QStringLiteral("blue.ir"), iconFile({blue}))));
        QCOMPARE(rgbAt(loader.PicIcon, 0, 0), qRgb(0, 0, 255));
        QCOMPARE(rgbAt(loader.picTemp[1], 0, 0), qRgb(255, 0, 0));
    }

    void shippedIconFilesAreOne32BitEntry_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* n : {"KivroPro.ir", "Amail.ir", "Tod.ir"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }
    void shippedIconFilesAreOne32BitEntry()
    {
        QFETCH(QString, name);
        for (const QString& folder : {QStringLiteral(KIVRO_SOURCE_DIR "/data"), QStringLiteral(KIVRO_PROGRAM_DIR)}) {
            QFile f(folder + QLatin1Char('/') + name);
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
            const std::optional<ico::IconDir> dir = ico::ReadIconDir(f);
            QVERIFY(dir);
            QCOMPARE(int(dir->idCount), 1);
            QCOMPARE(int(dir->entries[0].bWidth), 32);
            QCOMPARE(int(dir->entries[0].wBitCount), 32);
            IconFileLoader loader;
            QVERIFY(loader.LoadOpenFileICO(f.fileName()));
            QCOMPARE(loader.picTemp[1].size(), QSize(32, 32));
        }
    }
};

KIVRO_TEST_MAIN(TestIconFile)
#include "tst_iconfile.moc"
