#include "engine/Mpeg.h"

#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"
#include "platform/Paths.h"

#include <QFile>
#include <QLocale>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kivro {

namespace {

constexpr int kPointerNormal = 0;
constexpr int kPointerHourglass = 11;
// Copy block of the EMH header: the header can be as long as the scanned part of the file.
constexpr std::int64_t kHeaderCopyBlock = 1 << 20;
const QString kNotAvailable = QStringLiteral("Not Available");

// Shows the hourglass while a routine reads, then the normal pointer again; a routine called in
// the middle of an action leaves the action's hourglass in place.
class PointerGuard {
public:
    explicit PointerGuard(MainWindowLink& form) : m_form(form), m_previous(form.mousePointer())
    {
        m_form.setMousePointer(kPointerHourglass);
    }
    ~PointerGuard() { restore(); }
    PointerGuard(const PointerGuard&) = delete;
    PointerGuard& operator=(const PointerGuard&) = delete;
    void restore()
    {
        if (m_active) {
            m_active = false;
            m_form.setMousePointer(m_previous == kPointerHourglass ? kPointerHourglass : kPointerNormal);
        }
    }

private:
    MainWindowLink& m_form;
    int m_previous;
    bool m_active = true;
};

// Closes one File64 handle when it goes out of scope (also when a failure is raised).
class HandleCloser {
public:
    HandleCloser(File64& file, std::int32_t handle) : m_file(file), m_handle(handle) {}
    ~HandleCloser()
    {
        if (m_handle != -1)
            m_file.CloseFile(m_handle);
    }
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;
    // The caller closes the handle itself from here on.
    std::int32_t release() { return std::exchange(m_handle, -1); }

private:
    File64& m_file;
    std::int32_t m_handle;
};

[[noreturn]] void raiseFromErrno(const File64& file)
{
    const int err = file.lastErrno();
    raiseError(err != 0 ? errnoToErrorNumber(err) : 57);
}

// Reads up to `count` bytes, fewer only at the end of the file.
std::int64_t readFull(File64& file, std::int32_t handle, char* buffer, std::int64_t count)
{
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t got = file.ReadInto(handle, buffer + done, count - done);
        if (got < 0)
            raiseFromErrno(file);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

std::int32_t openForReading(File64& file, const QString& path)
{
    file.OpenFile(path, QStringLiteral("READ_ONLY"));
    // File64 has already said "Error opening"; like the empty read of a file that cannot be
    // opened, this is a type mismatch for the callers' handlers.
    if (!file.IsOpen())
        raiseError(13);
    return file.FileHandle();
}

// The scan over an open handle, from its current position, which must be the file's start.
// The last three bytes of each block are kept in front of the next one, so that a start code
// split across two blocks is found at its place.
std::optional<std::int64_t> scanHandle(File64& file, std::int32_t handle, std::int32_t maxBlocks)
{
    constexpr std::int64_t kCarry = 3;
    std::vector<char> buffer(std::size_t(kCarry + kMpegScanBlockSize));
    std::int64_t blockStart = 0;
    std::int64_t carry = 0;
    for (std::int32_t block = 0; block < maxBlocks; ++block) {
        const std::int64_t got = readFull(file, handle, buffer.data() + carry, kMpegScanBlockSize);
        const std::int64_t at = FindMpegStartCode(buffer.data(), std::size_t(carry + got));
        if (at >= 0)
            return blockStart - carry + at;
        if (got < kMpegScanBlockSize)
            return std::nullopt;
        std::memmove(buffer.data(), buffer.data() + carry + got - kCarry, kCarry);
        carry = kCarry;
        blockStart += kMpegScanBlockSize;
    }
    // The limit: the last block is searched on into the first four bytes beyond it, so a start
    // code that begins in its last three bytes, or exactly at the limit, is still found.
    const std::int64_t got = readFull(file, handle, buffer.data() + carry, kCarry + 1);
    const std::int64_t at = FindMpegStartCode(buffer.data(), std::size_t(carry + got));
    if (at >= 0)
        return blockStart - carry + at;
    return std::nullopt;
}

MpegSequenceHeader readHeader(File64& file, std::int32_t handle, std::int64_t startCode)
{
    if (!file.SeekHandle(handle, startCode + 4))
        raiseError(52);
    // A start code at the very end of the file has its missing header bytes read as zeros.
    unsigned char bytes[4] = {0, 0, 0, 0};
    readFull(file, handle, reinterpret_cast<char*>(bytes), 4);
    return DecodeMpegHeader(bytes);
}

struct ScanResult {
    std::optional<std::int64_t> startCode;
    MpegSequenceHeader header;
};

ScanResult scanAndDecode(MainWindowLink& form, const QString& path)
{
    File64& file = form.file64();
    const std::int32_t handle = openForReading(file, path);
    HandleCloser closer(file, handle);
    ScanResult result;
    result.startCode = scanHandle(file, handle, kMpegScanMaxBlocks);
    if (result.startCode)
        result.header = readHeader(file, handle, *result.startCode);
    return result;
}

// The start code of the last EMH source, kept with the identity of the file it was found in, so
// that a source split into many pieces is scanned once and a changed file is scanned anew.
struct EmhSourceScan {
    QString path;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::optional<std::int64_t> startCode;
    bool valid = false;
};
EmhSourceScan lastEmhSource;

// The identity of a file as far as the EMH memo needs it; false when it cannot be taken.
bool fileIdentity(const QString& path, EmhSourceScan& id)
{
    struct stat st {};
    if (path.isEmpty() || !paths::statPath(path, &st) || !S_ISREG(st.st_mode))
        return false;
    id.path = path;
    id.device = std::uint64_t(st.st_dev);
    id.inode = std::uint64_t(st.st_ino);
    id.size = std::int64_t(st.st_size);
    id.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    id.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
    return true;
}

bool sameFile(const EmhSourceScan& a, const EmhSourceScan& b)
{
    return a.path == b.path && a.device == b.device && a.inode == b.inode && a.size == b.size
           && a.modifiedNs == b.modifiedNs && a.changedNs == b.changedNs;
}

std::optional<std::int64_t> emhStartCode(MainWindowLink& form, const QString& sourcePath)
{
    EmhSourceScan now;
    const bool known = fileIdentity(sourcePath, now);
    if (known && lastEmhSource.valid && sameFile(lastEmhSource, now))
        return lastEmhSource.startCode;

    lastEmhSource.valid = false;
    File64& file = form.file64();
    const std::int32_t handle = openForReading(file, sourcePath);
    HandleCloser closer(file, handle);
    const std::optional<std::int64_t> startCode = scanHandle(file, handle, kMpegScanMaxBlocks);
    if (known) {
        now.startCode = startCode;
        now.valid = true;
        lastEmhSource = now;
    }
    return startCode;
}

// Copies the source's first `length` bytes (zeros past its end) to the start of the piece.
void writeEmhHeader(MainWindowLink& form, const QString& sourcePath, const QString& piecePath, std::int64_t length)
{
    File64& file = form.file64();
    const std::int32_t source = openForReading(file, sourcePath);
    HandleCloser sourceCloser(file, source);
    file.OpenFile(piecePath, QStringLiteral("READ_WRITE"));
    if (!file.IsOpen())
        raiseError(75);
    const std::int32_t piece = file.FileHandle();
    HandleCloser pieceCloser(file, piece);

    std::vector<char> buffer(std::size_t(std::min(length, kHeaderCopyBlock)));
    bool sourceEnded = false;
    std::int64_t remaining = length;
    while (remaining > 0) {
        const std::int64_t count = std::min(remaining, std::int64_t(buffer.size()));
        std::int64_t got = 0;
        if (!sourceEnded) {
            got = readFull(file, source, buffer.data(), count);
            sourceEnded = got < count;
        }
        if (got < count)
            std::memset(buffer.data() + got, 0, std::size_t(count - got));
        if (file.WriteFrom(piece, buffer.data(), count) != count)
            raiseFromErrno(file);
        remaining -= count;
    }
    // The header is written through a handle of its own, whose close is checked like the piece's
    // (the piece's own sync, when asked, writes the header through with the rest of the file).
    CloseOutputFile(file, pieceCloser.release(), false, piecePath);
}

} // namespace

std::int32_t gEmhDataStart = 0;
bool gEmhHeaderWritten = false;

std::int64_t FindMpegStartCode(const char* data, std::size_t size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    std::size_t i = 0;
#if defined(__SSE2__)
    // 32 candidate positions per round: bytes i+2 == 01 and i+3 == B3 in parallel, then the two
    // zero bytes checked for the few candidates.
    const __m128i one = _mm_set1_epi8(0x01);
    const __m128i b3 = _mm_set1_epi8(char(0xB3));
    while (i + 32 + 3 <= size) {
        const __m128i c0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 2));
        const __m128i d0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 3));
        const __m128i c1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 18));
        const __m128i d1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 19));
        const __m128i m0 = _mm_and_si128(_mm_cmpeq_epi8(c0, one), _mm_cmpeq_epi8(d0, b3));
        const __m128i m1 = _mm_and_si128(_mm_cmpeq_epi8(c1, one), _mm_cmpeq_epi8(d1, b3));
        std::uint32_t mask = std::uint32_t(_mm_movemask_epi8(m0)) | (std::uint32_t(_mm_movemask_epi8(m1)) << 16);
        while (mask != 0) {
            const std::size_t at = i + std::size_t(__builtin_ctz(mask));
            if (p[at] == 0 && p[at + 1] == 0)
                return std::int64_t(at);
            mask &= mask - 1;
        }
        i += 32;
    }
#endif
    while (i + 4 <= size) {
        const void* hit = std::memchr(p + i + 3, 0xB3, size - i - 3);
        if (!hit)
            return -1;
        const std::size_t at = std::size_t(static_cast<const unsigned char*>(hit) - p) - 3;
        if (p[at] == 0 && p[at + 1] == 0 && p[at + 2] == 1)
            return std::int64_t(at);
        i = at + 1;
    }
    return -1;
}

MpegSequenceHeader DecodeMpegHeader(const unsigned char bytes[4])
{
    MpegSequenceHeader h;
    h.width = (int(bytes[0]) << 4) | (int(bytes[1]) >> 4);
    h.height = ((int(bytes[1]) & 0x0F) << 8) | int(bytes[2]);
    h.rateCode = int(bytes[3]) & 0x0F;
    return h;
}

QString MpegRateText(int rateCode)
{
    static const char* const kRates[] = {nullptr, "23.976", "24", "25", "29.97", "30", "50", "59.94", "60"};
    if (rateCode < 1 || rateCode > 8)
        return QString::number(rateCode);
    QString text = QString::fromLatin1(kRates[rateCode]);
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

QString MpegSignature(const MpegSequenceHeader& header)
{
    return QString::number(header.width) + QLatin1Char(',') + QString::number(header.height) + QLatin1Char(',')
           + MpegRateText(header.rateCode);
}

QString FormatLengthSeconds(std::int64_t milliseconds)
{
    const std::int64_t ms = std::max<std::int64_t>(milliseconds, 0);
    const std::int64_t whole = ms / 1000;
    QString fraction = QStringLiteral("%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return (whole > 0 ? QString::number(whole) : QString()) + QLatin1Char('.') + fraction;
}

QString FormatDuration(const QString& secondsText)
{
    const qsizetype dot = secondsText.indexOf(QLatin1Char('.'));
    const QString wholeText = dot < 0 ? secondsText : secondsText.left(dot);
    const QString fractionText = dot < 0 ? QString() : secondsText.mid(dot + 1);
    const auto allDigits = [](const QString& s) {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (!allDigits(wholeText) || !allDigits(fractionText) || (wholeText.isEmpty() && dot < 0))
        raiseError(13);

    std::int64_t whole = 0;
    for (QChar c : wholeText) {
        const int digit = c.unicode() - u'0';
        if (whole > (INT64_MAX - digit) / 10)
            raiseError(6);
        whole = whole * 10 + digit;
    }

    // Sixtieths: 0.<fraction> × 60, exactly, as decimal digits: the fraction times 6 has one
    // digit more than the fraction; times 10 puts the decimal point after the first two digits.
    int sixtieths = 0;
    if (!fractionText.isEmpty()) {
        const qsizetype n = fractionText.size();
        QByteArray product(n + 1, '0');
        int carry = 0;
        for (qsizetype k = n - 1; k >= 0; --k) {
            const int v = (fractionText.at(k).unicode() - u'0') * 6 + carry;
            product[k + 1] = char('0' + v % 10);
            carry = v / 10;
        }
        product[0] = char('0' + carry);
        product.append('0');
        // product holds n + 2 digits of value < 60 × 10^n: two whole digits, then the fraction.
        sixtieths = (product[0] - '0') * 10 + (product[1] - '0');
        if (product[2] >= '5')
            ++sixtieths; // halves away from zero; .992 and more give 60, without carry
    }

    const auto twoDigits = [](std::int64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const std::int64_t seconds = whole % 60;
    const std::int64_t minutes = ((whole - seconds) / 60) % 60;
    const std::int64_t hours = (whole - whole % 3600) / 3600;
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') + twoDigits(seconds)
           + QLatin1Char(':') + twoDigits(sixtieths);
}

std::optional<std::int64_t> ScanMpegStartCode(MainWindowLink& form, const QString& path, std::int32_t maxBlocks)
{
    File64& file = form.file64();
    const std::int32_t handle = openForReading(file, path);
    HandleCloser closer(file, handle);
    return scanHandle(file, handle, maxBlocks);
}

void CheckMpegFile(MainWindowLink& form, const QString& path, QStringList& Mcheck_Lst)
{
    PointerGuard pointer(form);
    const ScanResult scan = scanAndDecode(form, path);
    pointer.restore();
    if (!scan.startCode) {
        const int answer = MsgBoxResult(QLatin1Char('\'') + path + QLatin1Char('\'')
                                            + QStringLiteral(" is not a valid MPEG file.") + QStringLiteral("\n\n")
                                            + QStringLiteral("Proceed packing and ignore invalid Mpeg error?"),
                                        vbCritical | vbYesNo | vbTopMost);
        if (answer != vbNo)
            gIgnoreMpegErrors = true;
        gMpegValid = false;
        return;
    }
    const QString signature = MpegSignature(scan.header);
    if (Mcheck_Lst.isEmpty())
        Mcheck_Lst.append(signature);
    else if (Mcheck_Lst.first() != signature)
        gMpegCompatible = false;
}

void ShowMpegInfoNotAvailable(MainWindowLink& form)
{
    form.setMpegInfoVideoSize(kNotAvailable);
    form.setMpegInfoVideoRate(kNotAvailable);
    form.setMoreInfoEnabled(false);
    gMpegInfoAvailable = false;
}

void ShowMpegInfo(MainWindowLink& form, const QString& path, bool showBox)
{
    PointerGuard pointer(form);
    ScanResult scan;
    QString frames;
    try {
        scan = scanAndDecode(form, path);
        if (!scan.startCode)
            gMpegValid = false;
        else {
            frames = QString::number(form.previewLengthFrames());
            gDurationText = FormatDuration(FormatLengthSeconds(form.previewLengthMs()));
        }
    } catch (const RuntimeError&) {
        // Unreadable: shown like a file without a header, never with the last file's values.
        scan.startCode.reset();
    }
    if (!scan.startCode) {
        ShowMpegInfoNotAvailable(form);
        return;
    }
    gMpegInfoAvailable = true;
    pointer.restore();

    const MpegSequenceHeader& h = scan.header;
    const QString rate = MpegRateText(h.rateCode);
    const QString size = QString::number(h.width) + QLatin1Char('x') + QString::number(h.height);
    if (!showBox) {
        form.setMpegInfoVideoSize(size + QStringLiteral(" (pxls)"));
        form.setMpegInfoVideoRate(rate + QStringLiteral(" fps"));
        form.setMoreInfoEnabled(true);
        return;
    }
    MsgBoxResult(QStringLiteral("Filename: ") + path + QLatin1Char('\n') + QStringLiteral("Duration: ") + gDurationText
                     + QStringLiteral(" secs\n") + QStringLiteral("Total Frames: ") + frames
                     + QStringLiteral(" frames\n") + QStringLiteral("Video Rate: ") + rate + QStringLiteral(" fps\n")
                     + QStringLiteral("Video Size: ") + size + QStringLiteral(" (pixels)"),
                 vbInformation | vbOKOnly | vbTopMost);
}

std::optional<std::int64_t> EmhHeaderLength(MainWindowLink& form, const QString& sourcePath)
{
    const std::optional<std::int64_t> startCode = emhStartCode(form, sourcePath);
    if (!startCode)
        return std::nullopt;
    return *startCode + kEmhBytesAfterStartCode;
}

bool EmbedMpegHeader(MainWindowLink& form, const QString& sourcePath, const QString& piecePath,
                     std::int64_t pieceCounter, bool splitModeLast)
{
    PointerGuard pointer(form);
    gEmhHeaderWritten = false;
    const std::optional<std::int64_t> startCode = emhStartCode(form, sourcePath);
    if (!startCode) {
        pointer.restore();
        MsgBoxResult(QLatin1Char('\'') + sourcePath + QLatin1Char('\'') + QStringLiteral(" MPEG header not found."),
                     vbCritical | vbOKOnly);
        return false;
    }
    const std::int64_t headerLength = *startCode + kEmhBytesAfterStartCode;
    gEmhDataStart = std::int32_t(headerLength + 1);
    if (pieceCounter > 0 || splitModeLast) {
        writeEmhHeader(form, sourcePath, piecePath, headerLength);
        gEmhHeaderWritten = true;
    }
    return true;
}

} // namespace kivro
