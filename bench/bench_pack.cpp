// Pack beside `cat a b > out` on the same two page-cached files, at every transfer rate, in one run.
// Each pack and each cat runs in a child process of its own, the rows taking turns run after run,
// and every output is removed and synced before the next run. See bench/README.md.
#include "BenchSupport.h"

#include "engine/ActionFrame.h"
#include "engine/CopyLoop.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "HeadlessLink.h"
#include "engine/MainWindowLink.h"
#include "engine/PackAction.h"
#include "engine/PackListModel.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace kivro;
using namespace kivro::bench;

namespace {

class BenchLink : public kivrotest::HeadlessLink {
public:
    PackListModel list;
    File64 file;
    ActionOptions options;
    PackListModel& packList() override { return list; }
    File64& file64() override { return file; }
    ActionOptions actionOptions() const override { return options; }
    QString saveAsNewFilename() const override { return options.saveAsFile; }
};

// The child: one pack of a and b into out at one rate, the copy forced one way (kCopyModes).
// Prints the action's own time, processor time and peak memory; exit status 0 when it reported
// success.
int runPackChild(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Prompts::enableScripted();
    BenchLink link;
    ActionFrame frame(link);
    const Rate& rate = kRates[std::atoi(argv[2])];
    forceCopyMode(argc >= 5 ? argv[4] : "kernel");
    const QString dir = QString::fromLocal8Bit(argv[3]);
    link.options.blockSize = rate.blockSize;
    link.options.blockDigits = rate.blockDigits;
    link.options.mpegCheck = false;
    link.options.zip = false;
    link.options.saveAsFile = dir + QStringLiteral("/out");
    link.list.append(dir + QLatin1Char('/'), QStringLiteral("a"));
    link.list.append(dir + QLatin1Char('/'), QStringLiteral("b"));
    gActionArmed = true;
    const double cpuStart = ownCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    RunPackAction(link, frame);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = ownCpuSeconds() - cpuStart;
    const QStringList boxes = Prompts::records();
    const bool ok = boxes.size() == 1 && boxes.first().contains(QStringLiteral("successfully packed"));
    if (!ok)
        std::fprintf(stderr, "pack failed: %s\n", qPrintable(boxes.join(QLatin1Char('\n'))));
    std::printf("seconds %.9f\ncpu %.6f\npeak %ld\n", seconds, cpu, ownPeakKiB());
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--child") == 0)
        return runPackChild(argc, argv);

    Options o;
    o.path = tempFolder() + "/kivro-bench-pack";
    o.size = std::int64_t(256) << 20;
    o.bigSize = std::int64_t(1) << 30;
    if (!parseOptions(argc, argv, "--dir", false, o))
        return 2;
    const std::string dir = o.path;
    const std::int64_t size = o.size;
    const int runs = o.runs;
    const bool keep = o.keep;
    ::mkdir(dir.c_str(), 0755);
    const std::string a = dir + "/a", b = dir + "/b", out = dir + "/out", catOut = dir + "/cat.out",
                      report = dir + "/report";
    std::printf("two files of %lld bytes in %s, %d runs per row; %s\n", (long long)size, dir.c_str(), runs,
                loadAverage().c_str());
    if (!writeVariedFile(a, size, 1) || !writeVariedFile(b, size, 2)) {
        std::fprintf(stderr, "cannot write the test files\n");
        return 1;
    }
    warm(a);
    warm(b);
    const std::string me = selfPath();

    // cat, then each rate each way of copying (kCopyModes).
    const std::size_t rateCount = std::size(kRates);
    const std::size_t modeCount = std::size(kCopyModes);
    std::vector<Row> rows(1 + modeCount * rateCount);
    rows[0].name = "cat";
    for (std::size_t k = 0; k < modeCount; ++k)
        for (std::size_t r = 0; r < rateCount; ++r)
            rows[1 + k * rateCount + r].name = std::string(kRates[r].name)
                                               + (k == 0 ? std::string() : std::string(" (") + kCopyModes[k] + ")");

    // Interleaved, so that a busy phase of the machine hits every row alike; every output is
    // removed and synced first, so that no run pays for the write-back of another.
    bool same = true;
    for (int run = 0; run < runs; ++run) {
        removeAndSync(catOut);
        Measure c = runChild({"cat", a, b}, catOut);
        rows[0].add(c);
        for (std::size_t row = 1; row < rows.size(); ++row) {
            const std::size_t r = (row - 1) % rateCount;
            const char* mode = kCopyModes[(row - 1) / rateCount];
            removeAndSync(out);
            Measure m = runChild({me, "--child", std::to_string(r), dir, mode}, report, true);
            struct stat st {};
            m.ok = m.ok && ::stat(out.c_str(), &st) == 0 && st.st_size == 2 * size;
            // Every row's output of the last run is byte for byte cat's.
            if (run == runs - 1)
                m.ok = m.ok && sameContent(out, catOut);
            same = same && m.ok;
            rows[row].add(m);
        }
    }
    printTable(rows, 2 * size, "cat");
    std::printf("%s; outputs of the last run equal cat's: %s\n", loadAverage().c_str(), same ? "yes" : "NO");

    if (!keep) {
        removeAndSync(dir);
    }
    bool allOk = same;
    for (const Row& row : rows)
        allOk = allOk && row.ok;
    return allOk ? 0 : 1;
}
