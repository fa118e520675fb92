#include "BenchSupport.h"

#include "platform/FileApi.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kivro::bench {

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double best(const std::vector<double>& v)
{
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

// VmHWM (peak resident set) of a process in KiB; 0 when it cannot be read.
double cpuOf(const struct rusage& usage)
{
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakOf(const std::string& statusPath)
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

// Reads exactly n bytes (fewer only at the end of the file).
ssize_t readFull(int fd, char* p, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::read(fd, p + done, n - done);
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        done += std::size_t(r);
    }
    return ssize_t(done);
}

} // namespace

bool parseOptions(int argc, char** argv, const char* pathFlag, bool withOut, Options& o)
{
    const bool withSize = o.size > 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool value = i + 1 < argc;
        if (a == pathFlag && value)
            o.path = argv[++i];
        else if (withOut && a == "--out" && value)
            o.out = argv[++i];
        else if (withSize && a == "--size" && value)
            o.size = std::atoll(argv[++i]);
        else if (withSize && a == "--big")
            o.size = o.bigSize;
        else if (a == "--runs" && value)
            o.runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--keep")
            o.keep = true;
        else {
            std::fprintf(stderr, "usage: %s [%s PATH]%s%s [--runs N] [--keep]\n", argv[0], pathFlag,
                         withOut ? " [--out FOLDER]" : "", withSize ? " [--size BYTES | --big]" : "");
            return false;
        }
    }
    return !withSize || o.size > 0;
}

std::string tempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
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

void warm(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::vector<char> buf(1 << 22);
    while (fd >= 0 && ::read(fd, buf.data(), buf.size()) > 0) {}
    if (fd >= 0)
        ::close(fd);
}

bool sameContent(const std::vector<std::string>& parts, const std::string& whole)
{
    const int fw = ::open(whole.c_str(), O_RDONLY | O_CLOEXEC);
    if (fw < 0)
        return false;
    std::vector<char> bp(1 << 23), bw(1 << 23);
    bool same = true;
    for (const std::string& part : parts) {
        const int fp = ::open(part.c_str(), O_RDONLY | O_CLOEXEC);
        same = fp >= 0;
        while (same) {
            const ssize_t np = readFull(fp, bp.data(), bp.size());
            const ssize_t nw = np > 0 ? readFull(fw, bw.data(), std::size_t(np)) : 0;
            if (np < 0 || nw != np || std::memcmp(bp.data(), bw.data(), std::size_t(std::max<ssize_t>(np, 0))) != 0)
                same = false;
            if (np <= 0)
                break;
        }
        if (fp >= 0)
            ::close(fp);
        if (!same)
            break;
    }
    char c;
    same = same && ::read(fw, &c, 1) == 0;
    ::close(fw);
    return same;
}

bool sameContent(const std::string& x, const std::string& y)
{
    return sameContent(std::vector<std::string>{x}, y);
}

void removeAndSync(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    ::sync();
}

Measure runChild(const std::vector<std::string>& args, const std::string& stdoutPath, bool reports)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!stdoutPath.empty())
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Measure m;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return m;
    // The child's own peak: VmHWM of /proc/<pid>/status, followed until it exits. (ru_maxrss of
    // wait4 would also count this process's memory, which the child shared until its exec.)
    const std::string statusPath = "/proc/" + std::to_string(pid) + "/status";
    int status = 0;
    struct rusage usage {};
    for (;;) {
        m.peakKiB = std::max(m.peakKiB, peakOf(statusPath));
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid || done < 0)
            break;
        ::usleep(2000);
    }
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.cpu = cpuOf(usage);
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (reports && !stdoutPath.empty()) {
        if (FILE* f = std::fopen(stdoutPath.c_str(), "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, f)) {
                double s = 0;
                long kib = 0;
                if (std::sscanf(line, "seconds %lf", &s) == 1)
                    m.seconds = s;
                else if (std::sscanf(line, "cpu %lf", &s) == 1)
                    m.cpu = s;
                else if (std::sscanf(line, "peak %ld", &kib) == 1)
                    m.peakKiB = std::max(m.peakKiB, kib);
            }
            std::fclose(f);
        }
    }
    return m;
}

double ownCpuSeconds()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return cpuOf(usage);
}

long ownPeakKiB()
{
    return peakOf("/proc/self/status");
}

long peakKiBOf(int pid)
{
    return peakOf("/proc/" + std::to_string(pid) + "/status");
}

std::string selfPath()
{
    char exe[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    return n > 0 ? std::string(exe, std::size_t(n)) : std::string();
}

void usePrivateFolders(const std::string& dir)
{
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = QString::fromStdString(dir) + QStringLiteral("/") + QLatin1String(var);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(var, QFile::encodeName(path));
    }
}

void runUnderOwnXServer(int argc, char** argv)
{
    if (std::getenv("KIVRO_BENCH_UNDER_XVFB"))
        return;
    ::setenv("KIVRO_BENCH_UNDER_XVFB", "1", 1);
    std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                            const_cast<char*>("-screen 0 1280x1024x24")};
    const std::string me = selfPath();
    args.push_back(const_cast<char*>(me.c_str()));
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    ::execvp("xvfb-run", args.data());
    std::perror("xvfb-run");
    std::exit(1);
}

std::string loadAverage()
{
    char buf[128] = {};
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(buf, sizeof buf, f))
            buf[0] = 0;
        std::fclose(f);
    }
    std::string s(buf);
    // "1.00 0.50 0.25 2/300 1234": the three averages.
    std::size_t cut = 0;
    for (int spaces = 0; cut < s.size() && spaces < 3; ++cut)
        if (s[cut] == ' ')
            ++spaces;
    return "load average: " + s.substr(0, cut > 0 ? cut - 1 : 0);
}

void Row::add(const Measure& m)
{
    seconds.push_back(m.seconds);
    cpu.push_back(m.cpu);
    peakKiB = std::max(peakKiB, m.peakKiB);
    ok = ok && m.ok;
}

void printTable(const std::vector<Row>& rows, std::int64_t bytes, const char* reference)
{
    const double refBest = best(rows.front().seconds);
    const double refMedian = median(rows.front().seconds);
    const double refCpu = best(rows.front().cpu);
    const std::string ref(reference);
    std::printf("\n%-22s %9s %9s %7s %11s %13s %8s %10s %9s\n", "", "best s", "median s", "GB/s",
                ("best/" + ref).c_str(), ("median/" + ref).c_str(), "cpu s", ("cpu/" + ref).c_str(), "peak MB");
    for (const Row& row : rows) {
        const double b = best(row.seconds);
        const double m = median(row.seconds);
        const double c = best(row.cpu);
        // The processor time is known only where the child reported it (or is a plain command).
        char cpu[48] = "       -          -";
        if (c > 0 && refCpu > 0)
            std::snprintf(cpu, sizeof cpu, "%8.3f %9.2fx", c, refCpu / c);
        std::printf("%-22s %9.3f %9.3f %7.2f %10.2fx %12.2fx %s %9.1f %s\n", row.name.c_str(), b, m,
                    b > 0 ? double(bytes) / b / 1e9 : 0.0, b > 0 ? refBest / b : 0.0, m > 0 ? refMedian / m : 0.0, cpu,
                    double(row.peakKiB) / 1024.0, row.ok ? "" : "FAILED");
    }
    std::printf("\n(%zu runs per row; ratio above 1: faster than %s; cpu s: the least processor time of a run)\n",
                rows.front().seconds.size(), reference);
}

void printTimes(const std::vector<Row>& rows)
{
    std::printf("\n%-28s %9s %9s %8s %9s\n", "", "best s", "median s", "cpu s", "peak MB");
    for (const Row& row : rows) {
        const double c = best(row.cpu);
        char cpu[16] = "       -";
        if (c > 0)
            std::snprintf(cpu, sizeof cpu, "%8.3f", c);
        std::printf("%-28s %9.3f %9.3f %s %9.1f %s\n", row.name.c_str(), best(row.seconds), median(row.seconds), cpu,
                    double(row.peakKiB) / 1024.0, row.ok ? "" : "FAILED");
    }
    std::printf("\n(%zu runs per row; cpu s: the least processor time of a run)\n", rows.front().seconds.size());
}

void forceCopyMode(const std::string& mode)
{
    win::InjectCopyRefusal(win::KernelCopyWay::Range, mode != "kernel");
    win::InjectCopyRefusal(win::KernelCopyWay::Send, mode == "buffer");
}

} // namespace kivro::bench
