#pragma once
// Test support shared by every QtTest executable.
//
// KIVRO_TEST_MAIN(Class) is QTEST_MAIN with the program's environment made private first:
// XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR point into a fresh temporary folder, so
// no test touches the user's settings, and prompts are scripted (nothing is shown).
// KIVRO_TEST_MAIN_WITH_CHILD(Class, fn) also lets the executable be started again as a child
// process (environment KIVRO_TEST_CHILD=<mode>): then fn(mode) runs instead of the tests and its
// result is the exit status. Tests use this for black-box checks of process-wide behaviour.
#include <QApplication>
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtTest/QtTest>

#include <functional>
#include <sys/resource.h>

namespace kivrotest {

// Makes the private folders; returns the root. Called before the application object exists.
QString setUpEnvironment();
// The private root folder of this test process.
QString rootDir();
// Writes `bytes` to `path` (folders created); fails the test on error.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// A settings store the program cannot write: "Tesma" makes the settings folder a file,
// "Kivro.ini" makes the settings file a folder (what was stored there is gone). Returns the
// settings file's path. writableSettingsStore() gives back an empty settings folder.
QString unwritableSettingsStore(const QString& how);
void writableSettingsStore();
// Runs this test executable again as a child in `mode` with extra environment entries.
// Returns the exit code; stdout and stderr go to `output` when given.
int runChild(const QString& mode, const QStringList& extraEnv = {}, QByteArray* output = nullptr,
             int timeoutMs = 30000);
// Empties the folder `path` (made when missing) and returns it: a fresh folder per test, so that
// listings show exactly what a run wrote.
QString freshFolder(const QString& path);

// The way the block copy is forced to take, through the platform layer's copy-refusal seam: the
// kernel's first way (nothing refused), its second (the first refused, as between two file
// systems), or the process's buffer (both refused). Tests that force a way put Range back at the
// end.
enum class CopyWay { Range, Send, Buffer };
void forceCopyWay(CopyWay way);
inline const char* copyWayName(CopyWay way)
{
    return way == CopyWay::Range ? "kernel range" : way == CopyWay::Send ? "kernel send" : "buffer";
}

// Runs this test executable again as a child in `mode` on the X11 platform under Xvfb
// ("xvfb-run -a"), as on a plain desktop (no portal, no desktop-specific opener), with
// `pathFirst` in front of PATH. A start that lost its display number to another test's X server
// is tried again. Returns the exit code (-1 when the child did not end, -2 when it crashed, -3
// when xvfb-run is not installed); stdout and stderr go to `output`. `screen` gives the X
// server's own arguments (such as "-screen 0 1280x800x24"; xvfb-run's defaults when empty).
int runChildOnX11(const QString& mode, const QStringList& extraEnv, const QString& pathFirst, QByteArray* output,
                  int timeoutMs = 60000, const QString& screen = {});

// On a real X server (a child run by runChildOnX11): xdotool with these arguments (true when it
// succeeded), the pointer moved to a point of the screen, a short wait that lets the server's
// events reach the windows, one pixel of the screen, and a plain frameless backdrop of one colour
// over the whole screen that stands in for the desktop.
bool xdo(const QStringList& args);
bool pointerTo(QPoint p);
void settle();
QColor screenPixel(const QPoint& global);
QWidget* makeDesktop(const QColor& colour);

// Deletes `window` and runs `step` while its controls go: after the window's own destructor and
// members have run, when its first child is going and every other one is still there. What a
// control does then must not reach the window any more.
void whileWindowEnds(QWidget* window, const std::function<void()>& step);
// Deletes `window` and lists what still calls into it while its controls go (as whileWindowEnds):
// each event filter of the window's that is still there, and each control whose signals still
// reach the window, by object name (or class name).
QStringList handlersLeftAtWindowEnd(QWidget* window);

// Runs `step` once on the first modal window of type T that shows up (polled every 10 ms from
// the event loop the modal window runs).
template <class T> void whenModal(std::function<void(T*)> step)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(w);
        }
    });
    timer->start();
}

// Sets this process's soft file-size limit for as long as it lives, or until lift(), with
// SIGXFSZ ignored, so a write beyond it fails with EFBIG instead of ending the process: a full
// disk that also works for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    void lift();

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_lifted = false;
};

} // namespace kivrotest

#define KIVRO_TEST_MAIN_IMPL(TestObject, childFn)                                                                      \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        const QByteArray childMode = qgetenv("KIVRO_TEST_CHILD");                                                      \
        if (childMode.isEmpty())                                                                                       \
            kivrotest::setUpEnvironment();                                                                             \
        QApplication app(argc, argv);                                                                                  \
        if (!childMode.isEmpty())                                                                                      \
            return childFn(QString::fromLocal8Bit(childMode));                                                         \
        kivro::Prompts::enableScripted();                                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }

namespace kivrotest {
inline int noChild(const QString&)
{
    return 99;
}
} // namespace kivrotest

#include "platform/Prompts.h"

#define KIVRO_TEST_MAIN(TestObject) KIVRO_TEST_MAIN_IMPL(TestObject, kivrotest::noChild)
#define KIVRO_TEST_MAIN_WITH_CHILD(TestObject, childFn) KIVRO_TEST_MAIN_IMPL(TestObject, childFn)
