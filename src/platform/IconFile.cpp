#include "platform/IconFile.h"

#include "platform/MsgBox.h"

#include <QFile>
#include <QFileInfo>

namespace kivro {

StartupPictures* gStartupPictures = nullptr;

namespace ico {

namespace {

constexpr qint64 kDirHeaderSize = 6;
constexpr qint64 kDirEntrySize = 16;
constexpr qint64 kBitmapInfoHeaderSize = 40;

std::uint16_t le16(const char* p)
{
    return std::uint16_t(std::uint8_t(p[0]) | (std::uint8_t(p[1]) << 8));
}

std::uint32_t le32(const char* p)
{
    return std::uint32_t(std::uint8_t(p[0])) | (std::uint32_t(std::uint8_t(p[1])) << 8)
           | (std::uint32_t(std::uint8_t(p[2])) << 16) | (std::uint32_t(std::uint8_t(p[3])) << 24);
}

bool readExactly(QIODevice& dev, qint64 pos, qint64 count, QByteArray& out)
{
    if (pos < 0 || !dev.seek(pos))
        return false;
    out = dev.read(count);
    return out.size() == count;
}

// Bytes of one bitmap row of `width` pixels at `bits` per pixel, padded to 4 bytes.
int rowBytes(int width, int bits)
{
    return ((width * bits + 31) / 32) * 4;
}

bool isSize16or32(int v)
{
    return v == 16 || v == 32;
}

} // namespace

std::optional<IconDir> ReadIconDir(QIODevice& dev)
{
    QByteArray head;
    if (!readExactly(dev, 0, kDirHeaderSize, head))
        return std::nullopt;
    IconDir dir;
    dir.idReserved = le16(head.constData());
    dir.idType = le16(head.constData() + 2);
    dir.idCount = le16(head.constData() + 4);
    QByteArray entries;
    if (!readExactly(dev, kDirHeaderSize, kDirEntrySize * dir.idCount, entries))
        return std::nullopt;
    dir.entries.reserve(dir.idCount);
    for (int i = 0; i < dir.idCount; ++i) {
        const char* p = entries.constData() + i * kDirEntrySize;
        IconDirEntry e;
        e.bWidth = std::uint8_t(p[0]);
        e.bHeight = std::uint8_t(p[1]);
        e.bColorCount = std::uint8_t(p[2]);
        e.bReserved = std::uint8_t(p[3]);
        e.wPlanes = le16(p + 4);
        e.wBitCount = le16(p + 6);
        e.dwBytesInRes = le32(p + 8);
        e.dwImageOffset = le32(p + 12);
        dir.entries.push_back(e);
    }
    return dir;
}

int ChooseIconEntry(QIODevice& dev)
{
    const std::optional<IconDir> dir = ReadIconDir(dev);
    if (!dir || dir->idCount < 1 || dir->idType != 1)
        return -1;
    const IconDirEntry& first = dir->entries.front();
    if (first.bWidth == 0 || first.bHeight == 0 || first.dwBytesInRes == 0 || first.dwImageOffset == 0)
        return -1;
    if (dir->idCount == 1)
        return isSize16or32(first.bWidth) && isSize16or32(first.bHeight) ? 0 : -1;

    int choice = -1;
    int found = 0;
    for (int i = 0; i < int(dir->entries.size()); ++i) {
        const IconDirEntry& e = dir->entries[size_t(i)];
        if (e.bWidth == 32 && e.bHeight == 32) {
            if (found != 32) {
                choice = i;
                found = 32;
            } else if (e.wBitCount == 32) {
                return i;
            }
        } else if (e.bWidth == 16 && e.bHeight == 16) {
            if (found == 0) {
                choice = i;
                found = 16;
            }
        }
    }
    return choice;
}

int PaletteSizeOf(const IconDirEntry& e)
{
    if (e.bColorCount == 0 && e.wBitCount >= 9)
        return 0;
    if (e.bColorCount != 0) {
        if (e.bColorCount == 2 || e.bColorCount == 16)
            return e.bColorCount;
        return e.bColorCount > 2 ? 16 : 2;
    }
    if (e.wBitCount >= 1 && e.wBitCount <= 8)
        return 1 << e.wBitCount;
    return 256;
}

std::optional<DecodedIcon> DecodeIconEntry(QIODevice& dev, int index)
{
    const std::optional<IconDir> dir = ReadIconDir(dev);
    if (!dir || dir->idCount < 1 || dir->idType != 1 || index < 0 || index >= int(dir->entries.size()))
        return std::nullopt;
    const IconDirEntry& e = dir->entries[size_t(index)];
    const int width = e.bWidth;
    const int height = e.bHeight;
    if (width != height || !isSize16or32(width))
        return std::nullopt;

    // The decoding has rules for palettes of 2, 16 and 256 colours and for true colour of 24 or
    // 32 bits; anything else would be read with the wrong row layout and drawn as garbage.
    const int paletteSize = PaletteSizeOf(e);
    int bitsPerPixel = 0;
    switch (paletteSize) {
    case 2:
        bitsPerPixel = 1;
        break;
    case 16:
        bitsPerPixel = 4;
        break;
    case 256:
        bitsPerPixel = 8;
        break;
    case 0:
        if (e.wBitCount == 24 || e.wBitCount == 32)
            bitsPerPixel = e.wBitCount;
        break;
    default:
        break;
    }
    if (bitsPerPixel == 0)
        return std::nullopt;

    // A PNG-compressed image has no bitmap rows to read.
    QByteArray signature;
    if (readExactly(dev, e.dwImageOffset, 8, signature) && signature == QByteArray("\x89PNG\r\n\x1a\n", 8))
        return std::nullopt;

    const int colourRow = rowBytes(width, bitsPerPixel);
    const int maskRow = rowBytes(width, 1);
    const qint64 dataSize = qint64(paletteSize) * 4 + qint64(colourRow) * height + qint64(maskRow) * height;
    QByteArray data;
    if (!readExactly(dev, qint64(e.dwImageOffset) + kBitmapInfoHeaderSize, dataSize, data))
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());

    QVector<QRgb> palette(paletteSize);
    for (int i = 0; i < paletteSize; ++i)
        palette[i] = qRgb(bytes[i * 4 + 2], bytes[i * 4 + 1], bytes[i * 4]);
    const std::uint8_t* colourBits = bytes + paletteSize * 4;
    const std::uint8_t* maskBits = colourBits + colourRow * height;

    DecodedIcon icon;
    icon.width = width;
    icon.height = height;
    icon.bitCount = e.wBitCount;
    icon.paletteSize = paletteSize;
    icon.colour.fill(qRgb(0, 0, 0), width * height);
    icon.alpha.fill(0, width * height);
    icon.transparent.fill(false, width * height);

    // Rows are stored bottom row first.
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = height - 1 - fileRow;
        const std::uint8_t* row = colourBits + fileRow * colourRow;
        for (int x = 0; x < width; ++x) {
            const int at = y * width + x;
            switch (bitsPerPixel) {
            case 1:
                icon.colour[at] = palette[(row[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                icon.colour[at] = palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
                break;
            case 8:
                icon.colour[at] = palette[row[x]];
                break;
            case 24:
                icon.colour[at] = qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
                break;
            case 32:
                icon.colour[at] = qRgb(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
                icon.alpha[at] = row[x * 4 + 3];
                break;
            }
        }
        const std::uint8_t* mrow = maskBits + fileRow * maskRow;
        for (int x = 0; x < width; ++x)
            icon.transparent[y * width + x] = ((mrow[x / 8] >> (7 - x % 8)) & 1) != 0;
    }
    return icon;
}

QImage ColourPicture(const DecodedIcon& icon)
{
    QImage img(icon.width, icon.height, QImage::Format_RGB32);
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x)
            img.setPixel(x, y, icon.colour[y * icon.width + x]);
    return img;
}

QImage MaskPicture(const DecodedIcon& icon)
{
    QImage img(icon.width, icon.height, QImage::Format_RGB32);
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x)
            img.setPixel(x, y, icon.transparent[y * icon.width + x] ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return img;
}

static QRgb backgroundRgb(const QColor& background)
{
    return background.isValid() ? background.rgb() : qRgb(0, 0, 0);
}

QImage ComposeIcon(const QImage& colour, const QImage& mask, const QColor& background)
{
    const QRgb back = backgroundRgb(background) & 0x00FFFFFFu;
    QImage img(colour.size(), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb m = mask.pixel(x, y) & 0x00FFFFFFu;
            const QRgb c = colour.pixel(x, y) & 0x00FFFFFFu;
            img.setPixel(x, y, 0xFF000000u | ((back & m) ^ c));
        }
    return img;
}

QImage BlendIcon32(const DecodedIcon& icon, const QImage& mask, const QColor& background)
{
    const QRgb back = backgroundRgb(background);
    QImage img(icon.width, icon.height, QImage::Format_RGB32);
    img.fill(back);
    if (icon.alpha.size() != icon.width * icon.height || mask.width() != icon.width)
        return img;
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x) {
            if ((mask.pixel(x, y) & 0x00FFFFFFu) != 0)
                continue; // transparent: the background stays
            const int at = y * icon.width + x;
            const int p = icon.alpha[at] * 100 / 255;
            const QRgb c = icon.colour[at];
            const int r = ((100 - p) * qRed(back) + p * qRed(c)) / 100;
            const int g = ((100 - p) * qGreen(back) + p * qGreen(c)) / 100;
            const int b = ((100 - p) * qBlue(back) + p * qBlue(c)) / 100;
            img.setPixel(x, y, qRgb(r, g, b));
        }
    return img;
}

} // namespace ico

bool IconFileLoader::LoadOpenFileICO(const QString& inFileSpec)
{
    // Only a regular file is read: a FIFO or device must never block or stream the loader.
    QFile file(inFileSpec);
    int index = -1;
    if (!inFileSpec.isEmpty() && QFileInfo(inFileSpec).isFile() && file.open(QIODevice::ReadOnly))
        index = ico::ChooseIconEntry(file);
    if (index < 0) {
        MsgBox(QStringLiteral("Invalid icon file or file does not contain 32x32 or 16x16 icon"), vbOKOnly, kAppTitle);
        return false;
    }
    const std::optional<ico::DecodedIcon> icon = ico::DecodeIconEntry(file, index);
    file.close();
    if (!icon) {
        picImage = QImage();
        picMask = QImage();
        PicIcon = QImage();
        MsgBox(inFileSpec + QStringLiteral("\nFailed to load this file"), vbOKOnly, kAppTitle);
        return false;
    }
    picImage = ico::ColourPicture(*icon);
    picMask = ico::MaskPicture(*icon);
    PicIcon = ico::ComposeIcon(picImage, picMask, PicIconBackColor);
    // Only an entry decoded as true colour of 32 bits carries alpha to blend by.
    if (icon->paletteSize == 0 && icon->bitCount == 32) {
        picTemp[0] = PicIcon;
        picTemp[1] = ico::BlendIcon32(*icon, picMask, PicIconBackColor);
    }
    return true;
}

} // namespace kivro
