#pragma once
// What the copy benchmarks share: test files, children that run one measure each, the pause
// between runs and the table of rows. See bench/README.md.
#include <cstdint>
#include <string>
#include <vector>

namespace kivro::bench {

// The transfer rates and their block sizes.
struct Rate {
    const char* name;
    std::int32_t blockSize;
    std::int32_t blockDigits;
};
inline constexpr Rate kRates[] = {
    {"slow", 10000, 4},
    {"normal", 100000, 5},
    {"fast", 1000000, 6},
    {"ufast", 5000000, 7},
};

// The command line every copy benchmark takes:
//   [PATH_FLAG PATH] [--out FOLDER] [--size BYTES | --big] [--runs N] [--keep]
// PATH_FLAG is "--dir" (the folder of the test files) or "--file" (the source); --out only where
// the benchmark allows it.
struct Options {
    std::string path;
    std::string out;
    std::int64_t size = 0;
    std::int64_t bigSize = 0;
    int runs = 5;
    bool keep = false;
};
// Fills `o` (whose path and sizes hold the defaults); false, with the usage printed, on an
// argument it does not know. A benchmark whose files have a fixed size leaves both sizes at 0 and
// takes no --size or --big.
bool parseOptions(int argc, char** argv, const char* pathFlag, bool withOut, Options& o);
// $TMPDIR, or /tmp.
std::string tempFolder();

// Writes `size` bytes of varied (not compressible, not repeating) content; false on any failure.
bool writeVariedFile(const std::string& path, std::int64_t size, unsigned seed);
// Reads the file once so that it is page-cached.
void warm(const std::string& path);
// The two files hold the same bytes.
bool sameContent(const std::string& x, const std::string& y);
// The concatenation of `parts` holds the bytes of `whole`.
bool sameContent(const std::vector<std::string>& parts, const std::string& whole);
// Removes the file or the folder with everything in it (missing is fine), then syncs every file
// system, so that the write-back of one run does not land on the next.
void removeAndSync(const std::string& path);

// One child process's run: the wall-clock time and the processor time (user and system) spent
// (the child's own report when it gave one), its peak resident memory and whether it succeeded.
// On a busy machine the processor time holds steadier than the wall-clock time: waiting for a
// core does not count.
struct Measure {
    double seconds = 0;
    double cpu = 0;
    long peakKiB = 0;
    bool ok = false;
};
// Runs `args` (argv[0] looked up on PATH) with stdout into `stdoutPath` (or inherited) and waits
// for it; the time is the wall-clock time around the child. With `reports`, the child is one of
// ours that prints "seconds <s>", "cpu <s>" and "peak <KiB>" lines on its stdout: its own time of
// the action and its peak memory, which count instead (its start-up is not part of the measure).
Measure runChild(const std::vector<std::string>& args, const std::string& stdoutPath = {}, bool reports = false);
// For a child: the processor time (user and system) it has spent so far, in seconds.
double ownCpuSeconds();
// For a child: its own peak resident memory (VmHWM), in KiB; and that of a running process.
long ownPeakKiB();
long peakKiBOf(int pid);
// The absolute path of the running program.
std::string selfPath();
// A benchmark with rows on an X server runs itself again, with the same arguments, under an X
// server of its own (xvfb-run); the inner run is told by KIVRO_BENCH_UNDER_XVFB. Returns in the
// inner run only; the outer one ends with the inner one's status (1 when xvfb-run cannot start).
void runUnderOwnXServer(int argc, char** argv);
// Points XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR at private folders (mode 0700) under
// `dir`, so that a benchmark of a real window never touches the user's own settings and files.
void usePrivateFolders(const std::string& dir);
// "load average: ..." of the machine now.
std::string loadAverage();

// One row of the table: a measure repeated, with the runs of every row interleaved.
struct Row {
    std::string name;
    std::vector<double> seconds;
    std::vector<double> cpu;
    long peakKiB = 0;
    bool ok = true;
    void add(const Measure& m);
};
// Prints the table: best and median seconds, GB/s (10^9 bytes per second) of the best run, the
// ratio of the reference row's time to the row's (above 1: faster than the reference), for the
// best runs and for the medians, the least processor time of a run and the same ratio for it, and
// the peak memory. Row 0 is the reference.
void printTable(const std::vector<Row>& rows, std::int64_t bytes, const char* reference);
// Prints the rows without a reference or a rate: best and median seconds, the least processor
// time where known, and the peak memory.
void printTimes(const std::vector<Row>& rows);

// The ways a copy row forces the block copy to take, through the platform layer's seam:
// "kernel" (the program's way within one file system), "send" (the kernel's way between two file
// systems: tmpfs, FUSE, network mounts) and "buffer" (the last way, through the program's buffer).
inline constexpr const char* kCopyModes[] = {"kernel", "send", "buffer"};
void forceCopyMode(const std::string& mode);

} // namespace kivro::bench
