// How long the preview pane stays without the picture of the file a user chose: the real program
// with its browser in a folder of three small MJPEG AVI files, Preview ticked, then a click on the
// second file and one on the third, each timed from the click to the moment the pane shows that
// file's first picture. Every picture carries a number of its own as eight black and white
// stripes (file k's picture i: 50 k + i), so the picture shown is read back without doubt.
//
//   bench_preview [--dir DIR] [--runs N] [--keep]
//
// On an X server (the benchmark runs itself under `xvfb-run -a`) the picture is read from the
// screen, by a thread of the program with an X connection of its own that reads the pane's
// stripes from the root window every half millisecond. Offscreen there is no screen: the time is
// the moment the pane's video output receives the picture (on the X server both are measured, so
// the table shows how far apart they are). Each run is a program process of its own; the runs of
// the two platforms take turns. See bench/README.md.
#include "BenchSupport.h"

#include "mainwindow/mMain.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
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

constexpr int kFiles = 3;
constexpr int kPictures = 25;
constexpr int kWidth = 320;
constexpr int kHeight = 240;
// After an open the preview shows its picture 1 (the second).
int expectedNumber(int file)
{
    return 50 * file + 1;
}

std::int64_t monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// --- the fixture files: MJPEG in AVI, written here ---------------------------------------------

void put32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
}

void put16(std::string& s, std::uint16_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}

std::string chunk(const char* id, const std::string& data)
{
    std::string s(id, 4);
    put32(s, std::uint32_t(data.size()));
    s += data;
    if (data.size() % 2)
        s.push_back('\0');
    return s;
}

std::string list(const char* type, const std::string& data)
{
    return chunk("LIST", std::string(type, 4) + data);
}

// A picture whose eight stripes, lowest bit on the left, carry `number`.
QByteArray stripedJpeg(int number)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    for (int bit = 0; bit < 8; ++bit) {
        const QColor c = (number >> bit) & 1 ? Qt::white : Qt::black;
        p.fillRect(bit * kWidth / 8, 0, kWidth / 8, kHeight, c);
    }
    p.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return jpeg;
}

bool writeStripedAvi(const std::string& path, int file)
{
    std::vector<QByteArray> frames;
    std::uint32_t largest = 0;
    for (int i = 0; i < kPictures; ++i) {
        frames.push_back(stripedJpeg(50 * file + i));
        largest = std::max(largest, std::uint32_t(frames.back().size()));
    }
    std::string avih;
    for (std::uint32_t v : {40000u, 0u, 0u, 0x10u, std::uint32_t(kPictures), 0u, 1u, largest, std::uint32_t(kWidth),
                            std::uint32_t(kHeight), 0u, 0u, 0u, 0u})
        put32(avih, v);
    std::string strh = "vidsMJPG";
    for (std::uint32_t v : {0u, 0u, 0u, 1u, 25u, 0u, std::uint32_t(kPictures), largest, 0xFFFFFFFFu, 0u})
        put32(strh, v);
    for (std::uint16_t v : {std::uint16_t(0), std::uint16_t(0), std::uint16_t(kWidth), std::uint16_t(kHeight)})
        put16(strh, v);
    std::string strf;
    put32(strf, 40);
    put32(strf, kWidth);
    put32(strf, kHeight);
    put16(strf, 1);
    put16(strf, 24);
    strf += "MJPG";
    for (std::uint32_t v : {std::uint32_t(kWidth * kHeight * 3), 0u, 0u, 0u, 0u})
        put32(strf, v);
    const std::string hdrl = list("hdrl",
                                  chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    std::string movi;
    std::string idx1;
    for (const QByteArray& f : frames) {
        idx1 += "00dc";
        put32(idx1, 0x10);
        put32(idx1, std::uint32_t(4 + movi.size()));
        put32(idx1, std::uint32_t(f.size()));
        movi += chunk("00dc", f.toStdString());
    }
    const std::string body = "AVI " + hdrl + list("movi", movi) + chunk("idx1", idx1);
    std::ofstream out(path, std::ios::binary);
    out << chunk("RIFF", body);
    return bool(out.flush());
}

// --- the child: the program, with a hand that clicks and eyes that read the pane ---------------

// The number the eight stripes of a row of grey levels show, or -1 when they are not clear black
// and white.
int stripesNumber(const std::vector<int>& grey)
{
    int n = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (grey[bit] > 60 && grey[bit] < 190)
            return -1;
        if (grey[bit] >= 190)
            n |= 1 << bit;
    }
    return n;
}

int grey(unsigned long rgb)
{
    return int(((rgb >> 16) & 255) * 0.299 + ((rgb >> 8) & 255) * 0.587 + (rgb & 255) * 0.114);
}

// Reads the pane's stripes from the screen until it shows `want`; the time it first did, or 0.
class ScreenEye {
public:
    ScreenEye() : m_display(XOpenDisplay(nullptr)) {}
    ~ScreenEye()
    {
        stop();
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool ok() const { return m_display != nullptr; }

    void watch(QRect pane, int want)
    {
        stop();
        m_seenNs = 0;
        m_stop = false;
        m_thread = std::thread([this, pane, want] {
            const Window root = DefaultRootWindow(m_display);
            const int y = pane.y() + pane.height() / 2;
            while (!m_stop) {
                XImage* image = XGetImage(m_display, root, pane.x(), y, unsigned(pane.width()), 1, AllPlanes, ZPixmap);
                const std::int64_t now = monotonicNs();
                if (image) {
                    std::vector<int> levels;
                    for (int bit = 0; bit < 8; ++bit)
                        levels.push_back(grey(XGetPixel(image, (2 * bit + 1) * pane.width() / 16, 0)));
                    XDestroyImage(image);
                    if (stripesNumber(levels) == want) {
                        m_seenNs = now;
                        return;
                    }
                }
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
        });
    }
    std::int64_t seenNs() const { return m_seenNs; }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    Display* m_display;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<std::int64_t> m_seenNs{0};
};

// The number a video frame's stripes show, or -1.
int frameNumber(const QVideoFrame& frame)
{
    if (!frame.isValid())
        return -1;
    const QImage image = frame.toImage();
    if (image.isNull())
        return -1;
    std::vector<int> levels;
    for (int bit = 0; bit < 8; ++bit)
        levels.push_back(grey(image.pixel((2 * bit + 1) * image.width() / 16, image.height() / 2)));
    return stripesNumber(levels);
}

struct Hand {
    QWidget* main = nullptr;
    QCheckBox* preview = nullptr;
    QListWidget* files = nullptr;
    QWidget* pane = nullptr;
    ScreenEye* eye = nullptr;
    int step = 0;
    int want = 0;
    std::int64_t clickNs = 0;
    std::int64_t sinkNs = 0;
    std::int64_t readySince = 0;
    std::int64_t stepSince = 0;
    std::vector<std::string> results;
    QMetaObject::Connection sinkWatch;
};

// Watches the video output of the pane's video widget (created by the open) for `want`.
void watchSink(Hand& h)
{
    if (h.sinkWatch)
        return;
    if (auto* video = h.pane->findChild<QVideoWidget*>()) {
        h.sinkWatch = QObject::connect(video->videoSink(), &QVideoSink::videoFrameChanged, video,
                                       [&h](const QVideoFrame& frame) {
                                           if (h.sinkNs == 0 && frameNumber(frame) == h.want)
                                               h.sinkNs = monotonicNs();
                                       });
    }
}

void click(Hand& h)
{
    h.want = expectedNumber(h.step + 1);
    h.sinkNs = 0;
    QObject::disconnect(h.sinkWatch);
    h.sinkWatch = {};
    if (h.eye)
        h.eye->watch(QRect(h.pane->mapToGlobal(QPoint(0, 0)), h.pane->size()), h.want);
    h.clickNs = monotonicNs();
    h.stepSince = h.clickNs;
    if (h.step == 0) {
        QTest::mouseClick(h.preview, Qt::LeftButton);
    } else {
        QListWidgetItem* item = h.files->item(h.step);
        const QRect r = h.files->visualItemRect(item);
        QTest::mouseClick(h.files->viewport(), Qt::LeftButton, {}, r.center());
    }
    // The open has made the video widget by now (it returns once the first picture is decoded).
    watchSink(h);
}

void handTick(Hand& h, QTimer* timer)
{
    const std::int64_t now = monotonicNs();
    if (!h.main) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == QLatin1String("Tesma Kivro Pro"))
                h.main = w;
        if (!h.main)
            return;
        h.preview = h.main->findChild<QCheckBox*>(QStringLiteral("ShowPreviewChk"));
        h.files = h.main->findChild<QListWidget*>(QStringLiteral("File1"));
        h.pane = h.main->findChild<QWidget*>(QStringLiteral("PreviewVideo_Frame"));
        if (!h.preview || !h.files || !h.pane || h.files->count() < kFiles) {
            std::fprintf(stderr, "the preview controls or the three files are missing\n");
            QApplication::exit(3);
            return;
        }
        h.readySince = now;
        return;
    }
    if (h.clickNs == 0) {
        if (now - h.readySince >= 500000000)
            click(h);
        return;
    }
    watchSink(h);
    const bool screenSeen = !h.eye || h.eye->seenNs() != 0;
    const bool sinkSeen = h.sinkNs != 0;
    const bool timedOut = now - h.stepSince > std::int64_t(20) * 1000000000;
    if (!(screenSeen && sinkSeen) && !timedOut)
        return;
    // A moment between the steps, as a user takes: the preview settles.
    if (now - std::max<std::int64_t>(h.sinkNs, h.eye ? h.eye->seenNs() : 0) < 300000000 && !timedOut)
        return;
    if (h.eye)
        h.eye->stop();
    const auto ms = [&](std::int64_t at) { return at ? double(at - h.clickNs) / 1e6 : -1.0; };
    std::ostringstream line;
    line << h.step << " " << ms(h.eye ? h.eye->seenNs() : 0) << " " << ms(h.sinkNs);
    h.results.push_back(line.str());
    h.clickNs = 0;
    h.readySince = now - 500000000;
    if (++h.step == kFiles) {
        timer->stop();
        std::ofstream out(qEnvironmentVariable("KIVRO_BENCH_RESULT").toStdString());
        for (const std::string& r : h.results)
            out << r << "\n";
        out.close();
        QApplication::exit(0);
    }
}

int runChild(int argc, char** argv)
{
    static Hand hand;
    static ScreenEye* eye = nullptr;
    static bool armed = false;
    qAddPreRoutine([] {
        if (armed)
            return;
        armed = true;
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            eye = new ScreenEye;
            if (!eye->ok()) {
                std::fprintf(stderr, "no X connection for reading the screen\n");
                std::exit(3);
            }
            hand.eye = eye;
        }
        auto* timer = new QTimer(qApp);
        QObject::connect(timer, &QTimer::timeout, [timer] { handTick(hand, timer); });
        timer->start(5);
    });
    std::vector<char*> args{argv[0], nullptr};
    int n = 1;
    (void)argc;
    const int rc = kivro::mMain::Main(n, args.data());
    delete eye;
    return rc;
}

// --- the parent ---------------------------------------------------------------------------------

void writeSettings(const std::string& config, const std::string& media)
{
    ::mkdir((config + "/Tesma").c_str(), 0755);
    std::ofstream ini(config + "/Tesma/Kivro.ini");
    ini << "[General]\nStartupOpt=LastUsed\nLastUsedDir=" << media << "\nShowTod=0\nMagnet=Off\nCKivro=Off\n"
        << "BrovletXpos=0\nBrovletYpos=0\nfCheck=fPass\nNoOfFilter=1\n\n[Filter]\n1=*.*\n\n[FilterInfo]\n1=All "
           "Files\n";
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// One program run on `platform`: per step the milliseconds to the screen and to the output (-1:
// not seen, or not measured), or empty when the run failed.
std::vector<std::pair<double, double>> runOnce(const std::string& me, const std::string& dir, const char* platform)
{
    const std::string result = dir + "/result";
    ::unlink(result.c_str());
    ::setenv("QT_QPA_PLATFORM", platform, 1);
    ::setenv("KIVRO_BENCH_RESULT", result.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(me.c_str()), const_cast<char*>("--child"), nullptr};
    pid_t pid = 0;
    std::vector<std::pair<double, double>> steps;
    if (posix_spawn(&pid, me.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return steps;
    int status = 0;
    const std::int64_t deadline = monotonicNs() + std::int64_t(120) * 1000000000;
    bool exited = false;
    while (monotonicNs() < deadline) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!exited) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        std::fprintf(stderr, "%s: the run did not end\n", platform);
    }
    std::istringstream in(readAll(result));
    int step = 0;
    double screen = 0, sink = 0;
    while (in >> step >> screen >> sink)
        steps.emplace_back(screen, sink);
    if (int(steps.size()) != kFiles)
        steps.clear();
    return steps;
}

struct Series {
    std::string name;
    std::vector<double> ms;
    int missed = 0;
};

void printSeries(const Series& s)
{
    if (s.ms.empty()) {
        std::printf("%-36s %10s %10s %10s %8d\n", s.name.c_str(), "-", "-", "-", s.missed);
        return;
    }
    std::vector<double> v = s.ms;
    std::sort(v.begin(), v.end());
    std::printf("%-36s %10.1f %10.1f %10.1f %8d\n", s.name.c_str(), v.front(), v[v.size() / 2], v.back(), s.missed);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);

    Options o;
    o.path = tempFolder() + "/kivro-bench-preview";
    o.size = 0;
    o.bigSize = 0;
    if (!parseOptions(argc, argv, "--dir", false, o))
        return 2;
    runUnderOwnXServer(argc, argv);
    const std::string dir = o.path;
    const std::string media = dir + "/media";
    const std::string config = dir + "/config";
    ::mkdir(dir.c_str(), 0755);
    for (const std::string& sub : {media, config, dir + "/data", dir + "/runtime", dir + "/cache"})
        ::mkdir(sub.c_str(), 0700);
    {
        // The image writer's plugins need an application object.
        int n = 1;
        QGuiApplication app(n, argv);
        for (int file = 1; file <= kFiles; ++file) {
            const std::string path = media + "/clip" + std::to_string(file) + ".avi";
            if (!writeStripedAvi(path, file)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    writeSettings(config, media);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (dir + "/runtime").c_str(), 1);
    // The media framework's plugin registry is kept between the runs, as on a user's machine (the
    // first run builds it).
    ::setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    const std::string log = dir + "/log";
    ::setenv("KIVRO_TEST_LOG", log.c_str(), 1);
    std::ofstream(log).flush();

    std::printf("three MJPEG AVI files of %d pictures (%dx%d) in %s, %d runs; %s\n", kPictures, kWidth, kHeight,
                media.c_str(), o.runs, loadAverage().c_str());
    const std::string me = selfPath();
    // A first run that is not counted: it builds the media framework's registry.
    runOnce(me, dir, "offscreen");
    const char* stepNames[kFiles] = {"tick Preview (clip1)", "click clip2", "click clip3"};
    std::vector<Series> series;
    for (const char* platform : {"xcb", "offscreen"}) {
        for (int step = 0; step < kFiles; ++step) {
            const std::string p = platform;
            if (p == "xcb")
                series.push_back(Series{std::string(stepNames[step]) + ", xcb screen", {}, 0});
            series.push_back(Series{std::string(stepNames[step]) + ", " + p + " output", {}, 0});
        }
    }
    bool failed = false;
    for (int run = 0; run < o.runs; ++run) {
        std::size_t at = 0;
        for (const char* platform : {"xcb", "offscreen"}) {
            const bool xcb = std::strcmp(platform, "xcb") == 0;
            const auto steps = runOnce(me, dir, platform);
            for (int step = 0; step < kFiles; ++step) {
                const auto add = [&](Series& s, double ms) {
                    if (ms >= 0)
                        s.ms.push_back(ms);
                    else
                        ++s.missed;
                };
                if (steps.empty()) {
                    failed = true;
                    at += xcb ? 2 : 1;
                    continue;
                }
                if (xcb)
                    add(series[at++], steps[step].first);
                add(series[at++], steps[step].second);
            }
        }
    }
    std::printf("%-36s %10s %10s %10s %8s\n", "from the click to the picture", "best ms", "median ms", "worst ms",
                "missed");
    for (const Series& s : series) {
        printSeries(s);
        failed = failed || s.missed > 0;
    }
    std::printf("%s\n", loadAverage().c_str());
    if (!o.keep)
        removeAndSync(dir);
    return failed ? 1 : 0;
}
