// Pack beside `cat a b > out` on the same two page-cached files, at every transfer rate, in one run.
// Each pack and each cat runs in a child process of its own, so that its peak memory (ru_maxrss
// from wait4) is its own; times are wall-clock times around each child. See bench/README.md.
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
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace kivro;

namespace {

struct Rate {
    const char* name;
    std::int32_t blockSize;
    std::int32_t digits;
};
constexpr Rate kRates[] = {
    {"slow", 10000, 4},
    {"normal", 100000, 5},
    {"fast", 1000000, 6},
    {"ufast", 5000000, 7},
};

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

// The child: one pack of a and b into out at one rate. Exit status 0 when it reported success.
int runPackChild(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Prompts::enableScripted();
    BenchLink link;
    ActionFrame frame(link);
    const Rate& rate = kRates[std::atoi(argv[2])];
    // "buffer": every block through the one buffer (one read and one write), not inside the kernel.
    SetKernelBlockCopy(!(argc >= 5 && std::strcmp(argv[4], "buffer") == 0));
    const QString dir = QString::fromLocal8Bit(argv[3]);
    link.options.blockSize = rate.blockSize;
    link.options.blockDigits = rate.digits;
    link.options.mpegCheck = false;
    link.options.zip = false;
    link.options.saveAsFile = dir + QStringLiteral("/out");
    link.list.append(dir + QLatin1Char('/'), QStringLiteral("a"));
    link.list.append(dir + QLatin1Char('/'), QStringLiteral("b"));
    gActionArmed = true;
    RunPackAction(link, frame);
    const QStringList boxes = Prompts::records();
    const bool ok = boxes.size() == 1 && boxes.first().contains(QStringLiteral("successfully packed"));
    if (!ok)
        std::fprintf(stderr, "pack failed: %s\n", qPrintable(boxes.join(QLatin1Char('\n'))));
    return ok ? 0 : 1;
}

struct Measure {
    double seconds = 0;
    long maxRssKiB = 0;
    bool ok = false;
};

// VmHWM (peak resident set) of a process in KiB; 0 when it cannot be read.
long peakKiB(const std::string& statusPath)
{
    FILE* f = std::fopen(statusPath.c_str(), "r");
    if (!f)
        return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            kib = std::atol(line + 6);
    std::fclose(f);
    return kib;
}

Measure spawnAndWait(const std::vector<std::string>& args, const char* stdoutPath)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutPath)
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Measure m;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return m;
    }
    // The child's own peak: VmHWM of /proc/<pid>/status, followed until it exits. (ru_maxrss of
    // wait4 would also count this process's memory, which the child shared until its exec.)
    const std::string statusPath = "/proc/" + std::to_string(pid) + "/status";
    int status = 0;
    for (;;) {
        const long hwm = peakKiB(statusPath);
        m.maxRssKiB = std::max(m.maxRssKiB, hwm);
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || done < 0)
            break;
        ::usleep(1000);
    }
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return m;
}

bool writeVariedFile(const std::string& path, std::int64_t size, unsigned seed)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::vector<std::uint64_t> block(1 << 17); // 1 MiB
    std::uint64_t x = 0x9E3779B97F4A7C15ull * (seed + 1);
    for (std::int64_t done = 0; done < size;) {
        for (std::uint64_t& v : block) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            v = x;
        }
        const std::int64_t n = std::min<std::int64_t>(size - done, std::int64_t(block.size() * 8));
        if (::write(fd, block.data(), std::size_t(n)) != n) {
            ::close(fd);
            return false;
        }
        done += n;
    }
    return ::close(fd) == 0;
}

// Reads the file once so that it is page-cached.
void warm(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::vector<char> buf(1 << 22);
    while (fd >= 0 && ::read(fd, buf.data(), buf.size()) > 0) {
    }
    if (fd >= 0)
        ::close(fd);
}

bool sameContent(const std::string& x, const std::string& y)
{
    const int fx = ::open(x.c_str(), O_RDONLY | O_CLOEXEC);
    const int fy = ::open(y.c_str(), O_RDONLY | O_CLOEXEC);
    bool same = fx >= 0 && fy >= 0;
    std::vector<char> bx(1 << 23), by(1 << 23);
    while (same) {
        const ssize_t nx = ::read(fx, bx.data(), bx.size());
        ssize_t ny = 0;
        while (ny < nx) {
            const ssize_t r = ::read(fy, by.data() + ny, std::size_t(nx - ny));
            if (r <= 0)
                break;
            ny += r;
        }
        if (nx != ny || std::memcmp(bx.data(), by.data(), std::size_t(nx)) != 0)
            same = false;
        if (nx <= 0)
            break;
    }
    if (same) {
        char c;
        same = ::read(fy, &c, 1) == 0;
    }
    if (fx >= 0)
        ::close(fx);
    if (fy >= 0)
        ::close(fy);
    return same;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--child") == 0)
        return runPackChild(argc, argv);

    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/kivro-bench-pack";
    std::int64_t size = std::int64_t(1) << 30;
    int runs = 3;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (a == "--size" && i + 1 < argc)
            size = std::atoll(argv[++i]);
        else if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--keep")
            keep = true;
        else {
            std::fprintf(stderr, "usage: %s [--dir DIR] [--size BYTES] [--runs N] [--keep]\n", argv[0]);
            return 2;
        }
    }
    ::mkdir(dir.c_str(), 0755);
    const std::string a = dir + "/a", b = dir + "/b", out = dir + "/out", catOut = dir + "/cat.out";
    std::printf("writing two files of %lld bytes in %s ...\n", (long long)size, dir.c_str());
    if (!writeVariedFile(a, size, 1) || !writeVariedFile(b, size, 2)) {
        std::fprintf(stderr, "cannot write the test files\n");
        return 1;
    }
    warm(a);
    warm(b);

    const std::string self = "/proc/self/exe";
    char exe[4096] = {};
    const ssize_t n = ::readlink(self.c_str(), exe, sizeof exe - 1);
    const std::string me = n > 0 ? std::string(exe, std::size_t(n)) : std::string(argv[0]);

    struct Row {
        std::string name;
        std::vector<double> times;
        long maxRss = 0;
        bool ok = true;
    };
    // cat, each rate copying inside the kernel, then each rate through the buffer.
    const std::size_t rateCount = std::size(kRates);
    std::vector<Row> rows(1 + 2 * rateCount);
    rows[0].name = "cat";
    for (std::size_t r = 0; r < rateCount; ++r) {
        rows[r + 1].name = kRates[r].name;
        rows[r + 1 + rateCount].name = std::string(kRates[r].name) + " (buffer)";
    }

    // Interleaved, so that a slow phase of the machine hits every row alike.
    for (int run = 0; run < runs; ++run) {
        ::unlink(catOut.c_str());
        Measure c = spawnAndWait({"cat", a, b}, catOut.c_str());
        rows[0].times.push_back(c.seconds);
        rows[0].maxRss = std::max(rows[0].maxRss, c.maxRssKiB);
        rows[0].ok = rows[0].ok && c.ok;
        for (std::size_t row = 1; row < rows.size(); ++row) {
            const std::size_t r = (row - 1) % rateCount;
            const char* mode = row > rateCount ? "buffer" : "kernel";
            ::unlink(out.c_str()); // drops the last run's dirty pages
            Measure m = spawnAndWait({me, "--child", std::to_string(r), dir, mode}, nullptr);
            struct stat st {};
            const bool sized = ::stat(out.c_str(), &st) == 0 && st.st_size == 2 * size;
            rows[row].times.push_back(m.seconds);
            rows[row].maxRss = std::max(rows[row].maxRss, m.maxRssKiB);
            rows[row].ok = rows[row].ok && m.ok && sized;
        }
    }
    // The last output (ufast through the buffer) is byte for byte what cat wrote.
    const bool same = sameContent(out, catOut);

    const double catBest = *std::min_element(rows[0].times.begin(), rows[0].times.end());
    std::printf("\n%-16s %10s %10s %9s %12s %12s %s\n", "", "best s", "median s", "GB/s", "vs cat best",
                "peak MB", "");
    for (const Row& row : rows) {
        const double best = *std::min_element(row.times.begin(), row.times.end());
        std::printf("%-16s %10.3f %10.3f %9.2f %11.2fx %12.1f %s\n", row.name.c_str(), best, median(row.times),
                    double(2 * size) / best / 1e9, catBest / best, double(row.maxRss) / 1024.0,
                    row.ok ? "" : "FAILED");
    }
    std::printf("\nufast (buffer) output equals cat's: %s\n", same ? "yes" : "NO");

    if (!keep) {
        ::unlink(a.c_str());
        ::unlink(b.c_str());
        ::unlink(out.c_str());
        ::unlink(catOut.c_str());
        ::rmdir(dir.c_str());
    }
    bool allOk = same;
    for (const Row& row : rows)
        allOk = allOk && row.ok;
    return allOk ? 0 : 1;
}
