// Throughput of the MPEG sequence-header scan on a page-cached 1 GiB file whose only start code
// lies near its end (just inside the scan's 32,767-block reach), next to memmem over the same
// bytes in the same run.
//
//   bench_mpeg_scan [--file PATH] [--runs N] [--keep]
//
// The file (default: $TMPDIR or /tmp, "kivro-bench-mpeg.bin") is written with varied bytes that
// hold no start code, read once to bring it into the page cache, and removed at the end unless
// --keep is given. Each measure runs N times (default 5); the best and the median are printed.
// Rates are in GB/s (10^9 bytes per second) over the bytes up to and including the start code.
#include "BenchSupport.h"
#include "engine/File64.h"
#include "HeadlessLink.h"
#include "engine/MainWindowLink.h"
#include "engine/Mpeg.h"
#include "engine/PackListModel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kivro;

namespace {

class HeadlessWindow : public kivrotest::HeadlessLink {
public:
    PackListModel& packList() override { return m_packList; }
    File64& file64() override { return m_file; }

private:
    PackListModel m_packList;
    File64 m_file;
};

constexpr std::int64_t kFileSize = std::int64_t(1) << 30;
// Inside the last block the scan reaches, off any alignment.
constexpr std::int64_t kStartCodeAt = kMpegScanLimit - 4099;

struct Measure {
    std::string name;
    std::vector<double> seconds;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The reference: read in 32,768-byte blocks and memmem each block with the previous block's last
// three bytes in front, as the scan does.
std::int64_t readAndMemmem(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -2;
    std::vector<char> buffer(3 + kMpegScanBlockSize);
    std::int64_t blockStart = 0;
    std::size_t carry = 0;
    std::int64_t found = -1;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data() + carry, kMpegScanBlockSize);
        if (got <= 0)
            break;
        const std::size_t len = carry + std::size_t(got);
        const void* hit = ::memmem(buffer.data(), len, "\x00\x00\x01\xB3", 4);
        if (hit) {
            found = blockStart - std::int64_t(carry) + (static_cast<const char*>(hit) - buffer.data());
            break;
        }
        std::memmove(buffer.data(), buffer.data() + len - 3, 3);
        carry = 3;
        blockStart += got;
    }
    ::close(fd);
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::Options o;
    o.path = bench::tempFolder() + "/kivro-bench-mpeg.bin";
    if (!bench::parseOptions(argc, argv, "--file", false, o))
        return 2;
    const QString path = QString::fromStdString(o.path);
    const int runs = o.runs;
    const bool keep = o.keep;

    // Varied bytes (xorshift), any accidental start code broken, then the one start code.
    std::vector<char> data(static_cast<std::size_t>(kFileSize));
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::memcpy(&data[i], &x, 8);
    }
    for (std::size_t from = 0;;) {
        const std::int64_t at = FindMpegStartCode(data.data() + from, data.size() - from);
        if (at < 0)
            break;
        data[from + std::size_t(at) + 3] = char(0xB4);
        from += std::size_t(at) + 1;
    }
    std::memcpy(&data[std::size_t(kStartCodeAt)], "\x00\x00\x01\xB3\x16\x00\xF0\x15", 8);

    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || out.write(data.data(), qint64(data.size())) != qint64(data.size())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    // Bring the file into the page cache.
    if (readAndMemmem(path) != kStartCodeAt) {
        std::fprintf(stderr, "reference search failed\n");
        return 1;
    }

    HeadlessWindow window;
    const double bytes = double(kStartCodeAt + 4);
    bool allFound = true;
    std::vector<Measure> measures;
    auto time = [&](const std::string& name, const std::function<std::int64_t()>& fn) {
        Measure m{name, {}};
        for (int r = 0; r < runs; ++r) {
            const auto t0 = std::chrono::steady_clock::now();
            const std::int64_t at = fn();
            const auto t1 = std::chrono::steady_clock::now();
            allFound = allFound && at == kStartCodeAt;
            m.seconds.push_back(std::chrono::duration<double>(t1 - t0).count());
        }
        measures.push_back(m);
    };

    time("scan of the file (ScanMpegStartCode, File64, 32 KiB blocks)",
         [&] { return ScanMpegStartCode(window, path).value_or(-1); });
    time("read(2) in 32 KiB blocks + memmem", [&] { return readAndMemmem(path); });
    time("FindMpegStartCode over the 1 GiB buffer", [&] { return FindMpegStartCode(data.data(), data.size()); });
    time("memmem over the same 1 GiB buffer", [&] {
        const void* hit = ::memmem(data.data(), data.size(), "\x00\x00\x01\xB3", 4);
        return hit ? std::int64_t(static_cast<const char*>(hit) - data.data()) : std::int64_t(-1);
    });

    std::printf("file: %s (%lld bytes, start code at %lld), %d runs each\n", qPrintable(path),
                static_cast<long long>(kFileSize), static_cast<long long>(kStartCodeAt), runs);
    std::printf("%-62s %10s %10s\n", "measure", "best GB/s", "median");
    for (const Measure& m : measures) {
        const double best = *std::min_element(m.seconds.begin(), m.seconds.end());
        std::printf("%-62s %10.2f %10.2f\n", m.name.c_str(), bytes / best / 1e9, bytes / median(m.seconds) / 1e9);
    }
    const double scanMedian = bytes / median(measures[0].seconds) / 1e9;
    const double memmemMedian = bytes / median(measures[3].seconds) / 1e9;
    std::printf("scan / memmem over the buffer: %.2f\n", scanMedian / memmemMedian);

    if (!keep)
        QFile::remove(path);
    if (!allFound) {
        std::fprintf(stderr, "a search missed the start code\n");
        return 1;
    }
    return 0;
}
