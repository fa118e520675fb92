// Unpack of a page-cached file into 100,000,000-byte pieces at every transfer rate, inside the
// kernel and through the buffer, next to `split -b 100000000` on the same file in the same run.
// Each unpack and each split runs in a child process of its own, the rows taking turns run after
// run, and the pieces are removed and synced before the next run. See bench/README.md.
#include "BenchSupport.h"

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
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace kivro;
using namespace kivro::bench;

namespace {

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

// The child: one unpack of the source into the folder at one rate, the copy forced one way
// (kCopyModes): by size, RAW, no batch file. Prints the action's own time, processor time and
// peak memory; exit status 0 when it reported success.
int runUnpackChild(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Prompts::enableScripted();
    const Rate& rate = kRates[std::atoi(argv[2])];
    const QString file = QString::fromLocal8Bit(argv[3]);
    gUnpackCustomDir = QString::fromLocal8Bit(argv[4]);
    forceCopyMode(argc >= 6 ? argv[5] : "kernel");
    HeadlessWindow window;
    const int slash = file.lastIndexOf(QLatin1Char('/'));
    window.packList().append(file.left(slash + 1), file.mid(slash + 1));
    window.options.unpackTarget = UnpackTarget::Custom;
    window.options.unpackType = UnpackType::RAW;
    window.options.joinBatch = JoinBatch::None;
    window.options.blockSize = rate.blockSize;
    window.options.blockDigits = rate.blockDigits;
    gUnpackSize = kPieceSize;
    gSplitModeSize = gSplitModeFirst = gSplitModeLast = gSplitModePercent = gSplitModeFiles = false;
    ActionFrame frame(window);
    gActionArmed = true;
    const double cpuStart = ownCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    RunUnpack(window, frame);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = ownCpuSeconds() - cpuStart;
    const QStringList boxes = Prompts::records();
    const bool ok = boxes.size() == 1 && boxes[0].contains(QStringLiteral("1 file successfully unpacked!"));
    if (!ok)
        std::fprintf(stderr, "unpack at %s failed: %s\n", rate.name, qPrintable(boxes.join('\n')));
    std::printf("seconds %.9f\ncpu %.6f\npeak %ld\n", seconds, cpu, ownPeakKiB());
    return ok ? 0 : 1;
}

// The files of the folder in name order.
std::vector<std::string> piecesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The pieces of the folder: full pieces of 100,000,000 bytes and the rest, `size` bytes in all;
// with `compare`, their bytes joined are the source's.
bool piecesRight(const std::string& folder, const std::string& source, std::int64_t size, bool compare)
{
    const std::vector<std::string> pieces = piecesIn(folder);
    const std::int64_t full = size / kPieceSize;
    if (std::int64_t(pieces.size()) != full + (size % kPieceSize != 0 ? 1 : 0))
        return false;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        struct stat st {};
        if (::stat(pieces[i].c_str(), &st) != 0 || (std::int64_t(i) < full && st.st_size != kPieceSize))
            return false;
        total += st.st_size;
    }
    return total == size && (!compare || sameContent(pieces, source));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::strcmp(argv[1], "--child") == 0)
        return runUnpackChild(argc, argv);

    Options o;
    o.path = tempFolder() + "/kivro-bench-unpack.bin";
    o.size = std::int64_t(512) << 20;
    o.bigSize = std::int64_t(2) << 30;
    if (!parseOptions(argc, argv, "--file", true, o))
        return 2;
    const std::string file = o.path;
    const std::string outParent = o.out;
    const std::int64_t size = o.size;
    const int runs = o.runs;
    const bool keep = o.keep;
    const std::string out = (outParent.empty() ? file : outParent + "/kivro-bench-unpack") + ".pieces";
    const std::string report = file + ".report";
    std::printf("source %s (%lld bytes), pieces of %lld bytes into %s, %d runs per row; %s\n", file.c_str(),
                (long long)size, (long long)kPieceSize, out.c_str(), runs, loadAverage().c_str());
    struct stat st {};
    if ((::stat(file.c_str(), &st) != 0 || st.st_size != size) && !writeVariedFile(file, size, 3)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
    }
    warm(file);
    const std::string me = selfPath();

    // split, then each rate each way of copying (kCopyModes).
    const std::size_t rateCount = std::size(kRates);
    const std::size_t modeCount = std::size(kCopyModes);
    std::vector<Row> rows(1 + modeCount * rateCount);
    rows[0].name = "split -b";
    for (std::size_t k = 0; k < modeCount; ++k)
        for (std::size_t r = 0; r < rateCount; ++r)
            rows[1 + k * rateCount + r].name = std::string("unpack ") + kRates[r].name
                                               + (k == 0 ? std::string() : std::string(" (") + kCopyModes[k] + ")");

    for (int run = 0; run < runs; ++run) {
        const bool last = run == runs - 1;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            removeAndSync(out);
            std::filesystem::create_directories(out);
            Measure m;
            if (row == 0) {
                m = runChild({"split", "-b", std::to_string(kPieceSize), file, out + "/x"});
            } else {
                const std::size_t r = (row - 1) % rateCount;
                const char* mode = kCopyModes[(row - 1) / rateCount];
                m = runChild({me, "--child", std::to_string(r), file, out, mode}, report, true);
            }
            // Every run's pieces have the right sizes; those of the last run also the right bytes.
            m.ok = m.ok && piecesRight(out, file, size, last);
            rows[row].add(m);
        }
    }
    removeAndSync(out);
    ::unlink(report.c_str());
    printTable(rows, size, "split");
    std::printf("%s\n", loadAverage().c_str());

    if (!keep)
        removeAndSync(file);
    bool allOk = true;
    for (const Row& row : rows)
        allOk = allOk && row.ok;
    return allOk ? 0 : 1;
}
