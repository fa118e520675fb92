// Unpack of a page-cached 2 GiB file into 100,000,000-byte pieces at every transfer rate, next to
// `split -b 100000000` on the same file in the same run.
//
//   bench_unpack [--file PATH] [--out FOLDER] [--runs N] [--buffer] [--keep]
//
// The file (default: $TMPDIR or /tmp, "kivro-bench-unpack.bin") is written with varied bytes and
// read once to bring it into the page cache; the pieces go to a folder beside it (or FOLDER, for
// example one on a tmpfs to leave the disk out) and are deleted after every run, followed by a
// sync, outside the timing. Blocks are copied inside the kernel where the two files allow it (the
// program's normal way); --buffer copies every block through the one reused buffer instead. Each measure runs N times (default 3), the program and
// split taking turns; the best and the median are printed with the rate in GB/s (10^9 bytes per
// second) and the ratio split time / unpack time (1.0: as fast as split). Peak memory is the
// maximum resident size of this process (every unpack ran in it) and of the split children.
// Everything is removed at the end unless --keep is given. Exits non-zero when a run fails or its
// pieces are not the expected ones.
#include "engine/ActionFrame.h"
#include "engine/CopyLoop.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "HeadlessLink.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "engine/UnpackAction.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace kivro;

namespace {

constexpr std::int64_t kFileSize = std::int64_t(2) << 30;
constexpr std::int64_t kPieceSize = 100000000;

class HeadlessWindow : public kivrotest::HeadlessLink {
public:
    PackListModel& packList() override { return m_packList; }
    File64& file64() override { return m_file; }
    ActionOptions actionOptions() const override { return options; }

    ActionOptions options;

private:
    PackListModel m_packList;
    File64 m_file;
};

struct Rate {
    const char* name;
    std::int32_t blockSize;
    std::int32_t blockDigits;
};
constexpr Rate kRates[] = {{"slow", 10000, 4}, {"normal", 100000, 5}, {"fast", 1000000, 6}, {"ufast", 5000000, 7}};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool writeSource(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::vector<char> block(8 << 20);
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (std::int64_t done = 0; done < kFileSize; done += std::int64_t(block.size())) {
        for (std::size_t i = 0; i < block.size(); i += 8) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            std::memcpy(block.data() + i, &x, 8);
        }
        if (::write(fd, block.data(), block.size()) != ssize_t(block.size())) {
            ::close(fd);
            return false;
        }
    }
    return ::close(fd) == 0;
}

void readOnce(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    std::vector<char> block(8 << 20);
    while (fd >= 0 && ::read(fd, block.data(), block.size()) > 0) {
    }
    if (fd >= 0)
        ::close(fd);
}

// The pieces in the folder hold the whole file: 21 of 100,000,000 bytes and the rest.
bool piecesComplete(const QString& folder)
{
    const QFileInfoList list = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    const std::int64_t full = kFileSize / kPieceSize;
    if (list.size() != full + 1)
        return false;
    std::int64_t total = 0;
    for (int i = 0; i < list.size(); ++i) {
        if (i < full && list[i].size() != kPieceSize)
            return false;
        total += list[i].size();
    }
    return total == kFileSize;
}

// Removes the pieces of the last run and lets the disk settle, so that no run pays for the
// write-back of another.
void emptyFolder(const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    ::sync();
}

bool runSplit(const QString& source, const QString& folder)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const QByteArray prefix = QFile::encodeName(folder + QStringLiteral("/x"));
        const QByteArray src = QFile::encodeName(source);
        ::execlp("split", "split", "-b", "100000000", src.constData(), prefix.constData(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString file = QDir(qEnvironmentVariableIsEmpty("TMPDIR") ? QStringLiteral("/tmp") : qEnvironmentVariable("TMPDIR"))
                       .filePath(QStringLiteral("kivro-bench-unpack.bin"));
    int runs = 3;
    bool keep = false;
    QString out;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--file") && i + 1 < args.size())
            file = args[++i];
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--out") && i + 1 < args.size())
            out = args[++i] + QStringLiteral("/kivro-bench-unpack.pieces");
        else if (args[i] == QLatin1String("--buffer"))
            SetKernelBlockCopy(false);
        else if (args[i] == QLatin1String("--keep"))
            keep = true;
    }
    if (out.isEmpty())
        out = file + QStringLiteral(".pieces");
    Prompts::enableScripted(); // the end message is answered, never shown

    std::printf("source: %s (%lld bytes), pieces of %lld bytes into %s, blocks copied %s\n", qPrintable(file),
                static_cast<long long>(kFileSize), static_cast<long long>(kPieceSize), qPrintable(out),
                KernelBlockCopy() ? "inside the kernel where possible" : "through the buffer");
    if (QFileInfo(file).size() != kFileSize && !writeSource(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return 1;
    }
    readOnce(file);

    HeadlessWindow window;
    const int slash = file.lastIndexOf(QLatin1Char('/'));
    window.packList().append(file.left(slash + 1), file.mid(slash + 1));
    window.options.unpackTarget = UnpackTarget::Custom;
    window.options.unpackType = UnpackType::RAW;
    window.options.joinBatch = JoinBatch::None;
    gUnpackCustomDir = out;
    ActionFrame frame(window);

    std::vector<std::vector<double>> unpackSeconds(std::size(kRates));
    std::vector<double> splitSeconds;
    bool ok = true;
    for (int run = 0; run < runs && ok; ++run) {
        for (std::size_t r = 0; r < std::size(kRates) && ok; ++r) {
            emptyFolder(out);
            window.options.blockSize = kRates[r].blockSize;
            window.options.blockDigits = kRates[r].blockDigits;
            gUnpackSize = kPieceSize;
            gSplitModeSize = gSplitModeFirst = gSplitModeLast = gSplitModePercent = gSplitModeFiles = false;
            Prompts::enableScripted();
            gActionArmed = true;
            const double t0 = now();
            RunUnpack(window, frame);
            unpackSeconds[r].push_back(now() - t0);
            const QStringList boxes = Prompts::records();
            ok = boxes.size() == 1 && boxes[0].contains(QStringLiteral("1 file successfully unpacked!"))
                 && piecesComplete(out);
            if (!ok)
                std::fprintf(stderr, "unpack at %s failed: %s\n", kRates[r].name, qPrintable(boxes.join('\n')));
        }
        if (!ok)
            break;
        emptyFolder(out);
        const double t0 = now();
        ok = runSplit(file, out);
        splitSeconds.push_back(now() - t0);
        ok = ok && piecesComplete(out);
        if (!ok)
            std::fprintf(stderr, "split failed\n");
    }
    QDir(out).removeRecursively();

    if (ok) {
        const double split = median(splitSeconds);
        std::printf("\n%-14s %9s %9s %8s %16s\n", "", "best s", "median s", "GB/s", "split/unpack");
        std::printf("%-14s %9.3f %9.3f %8.2f %16s\n", "split -b", *std::min_element(splitSeconds.begin(), splitSeconds.end()),
                    split, double(kFileSize) / split / 1e9, "1.00");
        for (std::size_t r = 0; r < std::size(kRates); ++r) {
            const double m = median(unpackSeconds[r]);
            std::printf("%-14s %9.3f %9.3f %8.2f %16.2f\n", (std::string("unpack ") + kRates[r].name).c_str(),
                        *std::min_element(unpackSeconds[r].begin(), unpackSeconds[r].end()), m,
                        double(kFileSize) / m / 1e9, split / m);
        }
        rusage self {};
        rusage children {};
        ::getrusage(RUSAGE_SELF, &self);
        ::getrusage(RUSAGE_CHILDREN, &children);
        std::printf("\npeak memory: this process (every unpack) %.1f MB, split %.1f MB\n",
                    double(self.ru_maxrss) / 1024.0, double(children.ru_maxrss) / 1024.0);
    }
    if (!keep)
        QFile::remove(file);
    return ok ? 0 : 1;
}
