#include "mainwindow/mMain.h"

#include "mainwindow/HandOff.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/agreefrm.h"
#include "mainwindow/kivromainfrm.h"
#include "platform/DisplayConnection.h"
#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"

#include <QLockFile>
#include <QSocketNotifier>
#include <QWindow>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <new>
#include <optional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kivro::mMain {

namespace {

QString g_command;
std::unique_ptr<QLockFile> g_lock;
std::function<void(int)> g_endProcessForTests;
int g_signalPipe[2] = {-1, -1};

void onCloseSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    ssize_t w = ::write(g_signalPipe[1], &byte, 1);
    (void)w;
    errno = saved;
}

} // namespace

bool InitCommonControlsVB()
{
    return true;
}

QString Command()
{
    return g_command;
}

float DpiScaleFromText(const QString& dpiText)
{
    // The value of the leading number, as the classic Val reads it: blanks skipped, digits with
    // at most one decimal point; anything else ends the number.
    const QString t = dpiText.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    double value = 0;
    double scale = 0;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            if (scale == 0) {
                value = value * 10 + (c.unicode() - '0');
            } else {
                value += (c.unicode() - '0') * scale;
                scale /= 10;
            }
        } else if (c == QLatin1Char('.') && scale == 0) {
            scale = 0.1;
        } else {
            break;
        }
    }
    if (negative)
        value = -value;
    if (value > 96)
        return float((value - 96) / 96 + 1);
    return 1.0f;
}

QString ProgramFolder(const QString& folder)
{
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        return folder.left(folder.size() - 1);
    return folder;
}

QString SingleInstanceLockPath()
{
    return paths::joinPath(paths::runtimeDir(), QStringLiteral("kivro.lock"));
}

SingleInstance TakeSingleInstanceLock()
{
    if (g_lock && g_lock->isLocked())
        return SingleInstance::Taken;
    if (paths::prepareRuntimeFolder(paths::runtimeDir()) == paths::RuntimeFolderState::Unsafe)
        return SingleInstance::UnsafeFolder;
    g_lock = std::make_unique<QLockFile>(SingleInstanceLockPath());
    // A lock is stale only when its process is gone, never because it is old.
    g_lock->setStaleLockTime(0);
    if (g_lock->tryLock(0))
        return SingleInstance::Taken;
    if (g_lock->error() == QLockFile::LockFailedError)
        return SingleInstance::HeldElsewhere;
    // The runtime folder cannot hold a lock (no permission, no space): rather than refusing
    // to start, run without the single-instance guard.
    std::fprintf(stderr, "kivro: cannot create the single-instance lock %s\n", qPrintable(SingleInstanceLockPath()));
    return SingleInstance::Taken;
}

void EndProcessNow(int status)
{
    if (g_lock)
        g_lock->unlock();
    std::fflush(nullptr);
    std::_Exit(status);
}

void EndProcess(int status)
{
    if (g_endProcessForTests) {
        g_endProcessForTests(status);
        return;
    }
    EndProcessNow(status);
}

void SetEndProcessForTests(std::function<void(int)> fn)
{
    g_endProcessForTests = std::move(fn);
}

QString RuntimeErrorText(int number, const QString& description)
{
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description);
}

int RunGuarded(const std::function<int()>& fn)
{
    int number = 0;
    QString description;
    try {
        return fn();
    } catch (const RuntimeError& e) {
        number = e.number();
        description = e.description();
    } catch (const std::bad_alloc&) {
        number = 7;
        description = errorDescription(7);
    } catch (const std::exception& e) {
        number = 51;
        description = QString::fromLocal8Bit(e.what());
    } catch (...) {
        number = 51;
        description = QStringLiteral("Internal error");
    }
    MsgBox(RuntimeErrorText(number, description), vbOKOnly | vbCritical, kAppTitle);
    EndProcess(1);
    return 1;
}

KivroApplication::KivroApplication(int& argc, char** argv) : QApplication(argc, argv)
{}

bool KivroApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    RunGuarded([&] {
        handled = QApplication::notify(receiver, event);
        return 0;
    });
    return handled;
}

void InstallCloseRequestSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte;
        ssize_t r = ::read(g_signalPipe[0], &byte, 1);
        (void)r;
        agreefrm* start = AgreeForm();
        if (start->MainWindowShown)
            MainForm()->close();
        else
            EndProcess(0); // nothing shown and nothing to save yet
    });
    struct sigaction sa {};
    sa.sa_handler = onCloseSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

void RaiseOpenFileLimit()
{
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max)
        return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

// The hourglass pointer is read from the pointer theme the first time a window shows it (on X11 a
// file of megabytes, sent to the server as a picture of several frames) and kept from then on:
// read at start-up, so that the first action does not wait for it.
void LoadBusyPointer()
{
    QWindow probe;
    probe.create();
    probe.setCursor(Qt::WaitCursor);
}

int Main(int argc, char** argv)
{
    RaiseOpenFileLimit();
    win::IgnoreFileSizeSignal();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << paths::decodeFileName(QByteArray(argv[i]));
    g_command = CommandLineText(args);

    // Windows are placed at absolute positions, which only X11 allows (XWayland too).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // The ffmpeg media backend crashes without a sound device.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QString noDisplay;
    if (!win::WaitForDisplay(&noDisplay)) {
        std::fprintf(stderr, "kivro: %s\n", noDisplay.toLocal8Bit().constData());
        return 1;
    }

    // On X11 a window painted through shared memory waits, before its next paint of the same
    // place, for the server to have read the last one: a round trip for each of the hundred
    // pictures of a progress bar. Sent with the request instead, a paint waits for nothing.
    if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // The preview's video window would otherwise draw through OpenGL, which it sets up only when it
    // is first shown, after the file has loaded: the video output then starts anew and waits for
    // the GUI thread, which the preview's first seek holds, and the first picture reaches the
    // screen seconds late. Shown before the load instead, the next open now and then never got its
    // first picture. Drawn by the processor, a picture of the small pane shows as it is decoded.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    std::optional<win::WindowSystemStartGuard> starting(std::in_place, "kivro");
    KivroApplication app(argc, argv);
    starting.reset();
    QGuiApplication::setDesktopFileName(QStringLiteral("tesma-kivro"));
    // The program ends only through the main window's shutdown.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    InstallCloseRequestSignals();
    LoadBusyPointer();

    InitCommonControlsVB();
    RunGuarded([] {
        AgreeForm()->Form_Load();
        return 0;
    });
    return RunGuarded([&] { return app.exec(); });
}

} // namespace kivro::mMain
