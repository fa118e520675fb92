// Pack through the real program window beside `cat a b > out`, at every transfer rate: the
// program's own start-up with two page-cached files handed to it on its command line, the save
// path answered, then Ctrl+P, timed from the key to the success box in the program's log.
// Offscreen and on an X server (the whole benchmark runs itself under `xvfb-run -a` for that).
// Each program and each cat runs in a child process of its own, the rows taking turns run after
// run, and every output is removed and synced before the next run. With --unpack-files N it
// measures Ctrl+U of N small files handed off the same way instead. See bench/README.md.
#include "BenchSupport.h"

#include "mainwindow/mMain.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace kivro::bench;

namespace {

std::int64_t monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// --- the child: the program itself, with a hand that presses Ctrl+P ----------------------------

// Once the hand-off has asked for the save path and the main window is up, and the program has
// had a moment to settle, writes the time and the processor time of this (the GUI) thread so far
// to $KIVRO_BENCH_PRESS and presses Ctrl and `key` (P or U) on the main window (through the
// window system's shortcut path, as a key from the keyboard).
void pressWhenReady(Qt::Key key)
{
    auto* timer = new QTimer(qApp);
    auto readySince = std::make_shared<std::int64_t>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, readySince, key] {
        const std::string log = readAll(qEnvironmentVariable("KIVRO_TEST_LOG").toStdString());
        QWidget* main = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == QLatin1String("Tesma Kivro Pro"))
                main = w;
        if (!main || log.find("dialog|Save Pack File As|") == std::string::npos)
            return;
        if (*readySince == 0) {
            *readySince = monotonicNs();
            return;
        }
        if (monotonicNs() - *readySince < 500000000)
            return;
        timer->stop();
        {
            std::ofstream press(qEnvironmentVariable("KIVRO_BENCH_PRESS").toStdString());
            timespec cpu{};
            ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
            press << monotonicNs() << " " << std::int64_t(cpu.tv_sec) * 1000000000 + cpu.tv_nsec << "\n";
        }
        main->activateWindow();
        QTest::keyClick(main, key, Qt::ControlModifier);
    });
    timer->start(50);
}

// argv: me --child-window HANDOFF [U]: the program with HANDOFF, then Ctrl+P (Ctrl+U with "U").
int runWindowChild(int argc, char** argv)
{
    // The hand is set up as soon as the application object exists.
    static bool armed = false;
    static Qt::Key key = Qt::Key_P;
    if (argc >= 4 && std::strcmp(argv[3], "U") == 0)
        key = Qt::Key_U;
    qAddPreRoutine([] {
        if (!armed) {
            armed = true;
            QTimer::singleShot(0, [] { pressWhenReady(key); });
        }
    });
    // The program as started by the collector: the paths as one argument.
    std::vector<char*> args{argv[0], argv[2], nullptr};
    int n = 2;
    return kivro::mMain::Main(n, args.data());
}

// --- the parent ---------------------------------------------------------------------------------

struct Setup {
    std::string dir, a, b, out, log, answers, press, config;
};

void writeSettings(const Setup& s, const char* rate)
{
    ::mkdir((s.config + "/Tesma").c_str(), 0755);
    std::ofstream ini(s.config + "/Tesma/Kivro.ini");
    ini << "[General]\ntRate=" << rate << "\nsSize=customfs\ncSize=4096\ncPfs=50\ncNof=2\nUnpkTyp=RAW\n"
        << "sDir=wfile\nUnpackCustomDir=" << s.dir << "\nJbat=Jbat\nDelact=No\nSaveTo=LastSaved\n"
        << "SaveCustomDir=" << s.dir << "\nLastSavedDir=" << s.dir << "\nStartupOpt=LastUsed\n"
        << "StartupCustomDir=" << s.dir << "\nLastUsedDir=" << s.dir << "\nOwrite=Prompt\nMZip=Off\n"
        << "MCC=Off\nMagnet=Off\nCKivro=Off\nBrovletXpos=9000\nBrovletYpos=1500\nShowTod=0\n"
        << "fCheck=fPass\nNoOfFilter=1\n\n[Filter]\n1=*.*\n\n[FilterInfo]\n1=All Files\n";
}

// What one program run is handed and pressed, and the box that ends it.
struct Road {
    std::string handOff; // the paths, joined by "|"
    std::string key;     // "" for Ctrl+P, "U" for Ctrl+U
    std::string success; // a text of the success box
};

// One program run at `rate` on `platform`: seconds from the key to the logged success box, or a
// failed measure. `*startSeconds` gets the time from the start to the save dialog (the program's
// start-up and its hand-off of the paths into the pack list), 0 when it did not come.
Measure runWindow(const Setup& s, const std::string& me, const char* rate, const char* platform, const Road& road,
                  double* startSeconds)
{
    writeSettings(s, rate);
    ::unlink(s.log.c_str());
    ::unlink(s.press.c_str());
    {
        std::ofstream log(s.log);
        std::ofstream answers(s.answers);
        answers << s.out << "\nOK\n";
    }
    ::setenv("QT_QPA_PLATFORM", platform, 1);
    std::vector<std::string> args{me, "--child-window", road.handOff, road.key};
    std::vector<char*> argv;
    for (const std::string& x : args)
        argv.push_back(const_cast<char*>(x.c_str()));
    argv.push_back(nullptr);
    Measure m;
    *startSeconds = 0;
    const std::int64_t started = monotonicNs();
    pid_t pid = 0;
    if (posix_spawn(&pid, me.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return m;
    std::int64_t seen = 0;
    const std::int64_t deadline = monotonicNs() + std::int64_t(600) * 1000000000;
    int status = 0;
    bool exited = false;
    // The processor time the GUI thread (the copy, the bar, the event pumping) had spent when the
    // success box was seen (the first field of its schedstat, in nanoseconds).
    std::int64_t cpuSeen = 0;
    const std::string schedstat = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/schedstat";
    while (monotonicNs() < deadline) {
        const std::string log = readAll(s.log);
        if (*startSeconds == 0 && log.find("dialog|Save Pack File As|") != std::string::npos)
            *startSeconds = double(monotonicNs() - started) / 1e9;
        if (log.find(road.success) != std::string::npos) {
            seen = monotonicNs();
            cpuSeen = std::atoll(readAll(schedstat).c_str());
            break;
        }
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const std::string pressed = readAll(s.press);
    if (seen > 0 && !pressed.empty()) {
        std::istringstream fields(pressed);
        std::int64_t pressNs = 0, pressCpuNs = 0;
        fields >> pressNs >> pressCpuNs;
        m.seconds = double(seen - pressNs) / 1e9;
        m.cpu = cpuSeen > pressCpuNs && pressCpuNs > 0 ? double(cpuSeen - pressCpuNs) / 1e9 : 0;
        m.ok = true;
    } else {
        std::fprintf(stderr, "%s on %s: no success box; log:\n%s\n", rate, platform, readAll(s.log).c_str());
    }
    if (!exited) {
        m.peakKiB = peakKiBOf(pid);
        ::kill(pid, SIGTERM);
        ::waitpid(pid, &status, 0);
    }
    return m;
}

const char* const kManyOutputs[] = {".001", ".002", "-JOIN.bat"};

// The outputs of the many-files road made with plain system calls, as the floor the file system
// sets: every source opened, its two pieces created and copied in the kernel, a batch file of the
// program's size written, each file closed. It starts as late after the removal of the last
// outputs as the program's key comes (ext4 creates files several times faster right after as many
// were removed than a second later).
Measure plainOutputs(const std::vector<std::string>& sources)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    Measure m;
    timespec cpu0{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
    const std::int64_t start = monotonicNs();
    std::vector<int> in;
    for (const std::string& source : sources)
        in.push_back(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    const std::string batch(468, 'x');
    m.ok = true;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        for (const auto& [suffix, bytes] : {std::pair{kManyOutputs[0], 4096}, std::pair{kManyOutputs[1], 904}}) {
            const int out = ::open((sources[i] + suffix).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            m.ok = m.ok && out >= 0 && ::copy_file_range(in[i], nullptr, out, nullptr, std::size_t(bytes), 0) == bytes;
            ::close(out);
        }
        const int out = ::open((sources[i] + kManyOutputs[2]).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        m.ok = m.ok && out >= 0 && ::write(out, batch.data(), batch.size()) == ssize_t(batch.size());
        ::close(out);
        ::close(in[i]);
    }
    m.seconds = double(monotonicNs() - start) / 1e9;
    timespec cpu1{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
    m.cpu = double(cpu1.tv_sec - cpu0.tv_sec) + double(cpu1.tv_nsec - cpu0.tv_nsec) / 1e9;
    return m;
}

// Only the sources stay, synced and page-cached.
void removeManyOutputs(const std::vector<std::string>& sources)
{
    for (const std::string& source : sources)
        for (const char* suffix : kManyOutputs)
            ::unlink((source + suffix).c_str());
    ::sync();
    for (const std::string& source : sources)
        warm(source);
}

// --unpack-files N: N files of 5,000 bytes (pieces of 4,096 bytes: two each, and a join batch
// file) handed off in one command line, then Ctrl+U; every output removed before each run. The
// same files made with plain system calls are the reference.
int unpackManyFiles(const Setup& s, const std::string& me, int files, int runs)
{
    const std::string folder = s.dir + "/many";
    removeAndSync(folder);
    ::mkdir(folder.c_str(), 0755);
    const int width = int(std::to_string(files).size());
    Road road;
    road.key = "U";
    road.success = std::to_string(files) + " files successfully unpacked!";
    std::vector<std::string> sources;
    for (int i = 1; i <= files; ++i) {
        std::string name = std::to_string(i);
        name.insert(0, std::size_t(width) - name.size(), '0');
        sources.push_back(folder + "/" + name);
        road.handOff += (i > 1 ? "|" : "") + sources.back();
        if (!writeVariedFile(sources.back(), 5000, unsigned(i))) {
            std::fprintf(stderr, "cannot write the test files\n");
            return 1;
        }
    }
    // The hand-off is one argument, as the collector passes it.
    if (road.handOff.size() >= 128 * 1024) {
        std::fprintf(stderr, "the hand-off of %d files is longer than one argument may be: use a shorter --dir\n",
                     files);
        return 2;
    }
    std::printf("%d files of 5,000 bytes in %s, %d runs per row; %s\n", files, folder.c_str(), runs,
                loadAverage().c_str());
    const char* platforms[] = {"offscreen", "xcb"};
    std::vector<Row> rows;
    rows.push_back(Row{"plain system calls", {}, {}, 0, true});
    for (const char* platform : platforms) {
        rows.push_back(Row{std::string("start, hand-off ") + platform, {}, {}, 0, true});
        rows.push_back(Row{std::string("Ctrl+U to success ") + platform, {}, {}, 0, true});
    }
    for (int run = 0; run < runs; ++run) {
        removeManyOutputs(sources);
        rows[0].add(plainOutputs(sources));
        std::size_t row = 1;
        for (const char* platform : platforms) {
            removeManyOutputs(sources);
            double startSeconds = 0;
            Measure m = runWindow(s, me, "normal", platform, road, &startSeconds);
            std::size_t written = 0;
            struct stat st {};
            for (const std::string& source : sources)
                for (const char* suffix : kManyOutputs)
                    written += ::stat((source + suffix).c_str(), &st) == 0 ? 1 : 0;
            m.ok = m.ok && written == 3 * sources.size();
            Measure start;
            start.seconds = startSeconds;
            start.ok = startSeconds > 0;
            rows[row++].add(start);
            rows[row++].add(m);
        }
    }
    printTimes(rows);
    std::printf("%s\n", loadAverage().c_str());
    bool allOk = true;
    for (const Row& row : rows)
        allOk = allOk && row.ok;
    return allOk ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--child-window") == 0)
        return runWindowChild(argc, argv);

    // --unpack-files N chooses the many-files road; the other options are the common ones.
    int unpackFiles = 0;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unpack-files") == 0 && i + 1 < argc)
            unpackFiles = std::max(2, std::atoi(argv[++i]));
        else
            rest.push_back(argv[i]);
    }
    Options o;
    o.path = tempFolder() + "/kivro-bench-window";
    o.size = std::int64_t(256) << 20;
    o.bigSize = std::int64_t(1) << 30;
    if (!parseOptions(int(rest.size()), rest.data(), "--dir", false, o))
        return 2;
    const std::string dir = o.path;
    const std::int64_t size = o.size;
    const int runs = o.runs;
    const bool keep = o.keep;
    // The X server rows need one: the whole benchmark runs again under its own.
    runUnderOwnXServer(argc, argv);

    Setup s;
    s.dir = dir;
    s.a = dir + "/a";
    s.b = dir + "/b";
    s.out = dir + "/out";
    s.log = dir + "/log";
    s.answers = dir + "/answers";
    s.press = dir + "/press";
    s.config = dir + "/config";
    ::mkdir(dir.c_str(), 0755);
    for (const char* sub : {"/config", "/data", "/runtime"})
        ::mkdir((dir + sub).c_str(), 0700);
    ::setenv("XDG_CONFIG_HOME", s.config.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (dir + "/runtime").c_str(), 1);
    ::setenv("KIVRO_TEST_LOG", s.log.c_str(), 1);
    ::setenv("KIVRO_TEST_ANSWERS", s.answers.c_str(), 1);
    ::setenv("KIVRO_BENCH_PRESS", s.press.c_str(), 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);

    const std::string me = selfPath();
    if (unpackFiles > 0) {
        const int rc = unpackManyFiles(s, me, unpackFiles, runs);
        if (!keep)
            removeAndSync(dir);
        return rc;
    }

    std::printf("two files of %lld bytes in %s, %d runs per row; %s\n", (long long)size, dir.c_str(), runs,
                loadAverage().c_str());
    if (!writeVariedFile(s.a, size, 1) || !writeVariedFile(s.b, size, 2)) {
        std::fprintf(stderr, "cannot write the test files\n");
        return 1;
    }
    const char* platforms[] = {"offscreen", "xcb"};
    std::vector<Row> rows;
    rows.push_back(Row{"cat", {}, {}, 0, true});
    for (const char* platform : platforms)
        for (const Rate& rate : kRates)
            rows.push_back(Row{std::string(rate.name) + " " + platform, {}, {}, 0, true});

    const std::string catOut = dir + "/cat.out";
    for (int run = 0; run < runs; ++run) {
        warm(s.a);
        warm(s.b);
        removeAndSync(catOut);
        rows[0].add(runChild({"cat", s.a, s.b}, catOut));
        std::size_t row = 1;
        for (const char* platform : platforms) {
            for (const Rate& rate : kRates) {
                removeAndSync(s.out);
                warm(s.a);
                warm(s.b);
                Road road{s.a + "|" + s.b, "", "successfully packed!"};
                double startSeconds = 0;
                Measure m = runWindow(s, me, rate.name, platform, road, &startSeconds);
                struct stat st {};
                struct stat sa {};
                m.ok = m.ok && ::stat(s.out.c_str(), &st) == 0 && ::stat(s.a.c_str(), &sa) == 0
                       && st.st_size == 2 * sa.st_size;
                if (run == runs - 1)
                    m.ok = m.ok && sameContent(s.out, catOut);
                rows[row++].add(m);
            }
        }
    }
    printTable(rows, 2 * size, "cat");
    std::printf("%s\n", loadAverage().c_str());
    if (!keep)
        removeAndSync(dir);
    bool allOk = true;
    for (const Row& row : rows)
        allOk = allOk && row.ok;
    return allOk ? 0 : 1;
}
