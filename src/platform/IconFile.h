#pragma once
// Icon files in the Windows icon layout (the program's .ir files): a directory of entries, each a
// bitmap information header, an optional palette, a colour bitmap and a 1-bit mask, rows bottom
// up and padded to 4 bytes, numbers little-endian.
//
// The program draws one 32 x 32 (else 16 x 16) entry itself, composes it over a background
// colour with AND/XOR as the system does for icons, and for 32-bit entries blends it by its
// alpha. Every window draws its icons through the one loader of the start-up form
// (StartupPictures): its pictures keep the last icon until the next load.
#include <QColor>
#include <QIODevice>
#include <QImage>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kivro {

namespace ico {

struct IconDirEntry {
    std::uint8_t bWidth = 0;
    std::uint8_t bHeight = 0;
    std::uint8_t bColorCount = 0;
    std::uint8_t bReserved = 0;
    std::uint16_t wPlanes = 0;
    std::uint16_t wBitCount = 0;
    std::uint32_t dwBytesInRes = 0;
    std::uint32_t dwImageOffset = 0;
};

struct IconDir {
    std::uint16_t idReserved = 0;
    std::uint16_t idType = 0;
    std::uint16_t idCount = 0;
    std::vector<IconDirEntry> entries;
};

// Reads the directory header and its idCount entries from the start of the device. Empty when
// the device holds fewer bytes than the directory claims.
std::optional<IconDir> ReadIconDir(QIODevice& dev);

// The entry to draw: the first 32 x 32 entry, or a later 32 x 32 entry of 32 bits per pixel,
// or, without any 32 x 32 entry, the first 16 x 16 entry. -1 when the file is not an icon file,
// its first entry is unusable (a zero width or height byte, as a 256-pixel entry has, or no
// image), or it has no entry of those sizes. A single entry passes when its width and height
// are each 16 or 32, square or not.
int ChooseIconEntry(QIODevice& dev);

// Palette colours the decoder derives from an entry: 0 for true colour, else 2, 16, 256 or
// 2^wBitCount for other bit counts up to 8.
int PaletteSizeOf(const IconDirEntry& entry);

// One decoded entry. Pixel arrays are width x height, row 0 at the top.
struct DecodedIcon {
    int width = 0;
    int height = 0;
    int bitCount = 0;            // the entry's wBitCount
    int paletteSize = 0;         // 0 for true colour
    QVector<QRgb> colour;        // opaque RGB of each pixel
    QVector<std::uint8_t> alpha; // 32-bit entries: the fourth byte; 0 elsewhere
    QVector<bool> transparent;   // mask bit set
};

// Decodes entry `index`. Empty when the entry is refused: the index is out of range, the entry
// is not square 16 or 32, its image is compressed (PNG), its derived form has no decoding
// (palettes other than 2, 16 or 256 colours; true colour other than 24 or 32 bits), or its data
// runs past the end of the file.
std::optional<DecodedIcon> DecodeIconEntry(QIODevice& dev, int index);

// The colour picture (RGB32).
QImage ColourPicture(const DecodedIcon& icon);
// The mask picture: white where transparent, black where opaque (RGB32).
QImage MaskPicture(const DecodedIcon& icon);
// (background AND mask) XOR colour, per channel: transparent pixels keep the background,
// opaque ones show the colour.
QImage ComposeIcon(const QImage& colour, const QImage& mask, const QColor& background);
// A 32-bit entry blended by its alpha over the background: where the mask is opaque,
// p = alpha * 100 / 255 (whole part) and each channel = ((100 - p) * back + p * colour) / 100
// (whole part); transparent pixels keep the background.
QImage BlendIcon32(const DecodedIcon& icon, const QImage& mask, const QColor& background);

} // namespace ico

// The icon-file loader and its pictures, kept between calls (one call at a time).
class IconFileLoader {
public:
    virtual ~IconFileLoader() = default;

    // Loads the icon file and draws its chosen entry. On true: PicIcon is the icon composed over
    // PicIconBackColor, picImage and picMask its colour image and mask, and, for 32-bit entries
    // only, picTemp[1] the icon blended by its alpha (picTemp[0] a copy of PicIcon); other depths
    // leave picTemp as it was. On false a plain box has said why:
    // "Invalid icon file or file does not contain 32x32 or 16x16 icon" (pictures unchanged), or
    // the path, a line break and "Failed to load this file" (the three pictures cleared).
    bool LoadOpenFileICO(const QString& inFileSpec);

    QImage picImage;
    QImage picMask;
    QImage PicIcon;
    std::array<QImage, 2> picTemp;
    // The background the icons are composed against (an invalid colour counts as black).
    QColor PicIconBackColor = QColor(236, 233, 216);
};

// The start-up form's pictures that other windows use: its icon-file loader with the loader's
// drawing surfaces, and the two icons the about box shows, filled at start-up.
class StartupPictures : public IconFileLoader {
public:
    QImage PicIcon2; // product icon, from KivroPro.ir
    QImage PicIcon3; // mail icon, from Amail.ir
};

// The start-up form, once it exists (every window draws icon files through its loader).
extern StartupPictures* gStartupPictures;

} // namespace kivro
