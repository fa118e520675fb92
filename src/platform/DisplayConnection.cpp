#include "platform/DisplayConnection.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>

#include <dlfcn.h>
#include <unistd.h>

namespace kivro::win {

namespace {

// The three calls of the X protocol library, looked up in the library Qt's X11 platform loads
// itself, so that the programs need nothing at build time for them.
struct XcbCalls {
    void* (*connect)(const char*, int*) = nullptr;
    int (*hasError)(void*) = nullptr;
    void (*disconnect)(void*) = nullptr;
};

bool loadXcb(XcbCalls& calls)
{
    void* lib = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return false;
    calls.connect = reinterpret_cast<void* (*)(const char*, int*)>(::dlsym(lib, "xcb_connect"));
    calls.hasError = reinterpret_cast<int (*)(void*)>(::dlsym(lib, "xcb_connection_has_error"));
    calls.disconnect = reinterpret_cast<void (*)(void*)>(::dlsym(lib, "xcb_disconnect"));
    return calls.connect && calls.hasError && calls.disconnect;
}

const char* g_program = "";
QtMessageHandler g_previousHandler = nullptr;

void startMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s: %s\n", g_program, message.toLocal8Bit().constData());
        std::fflush(stderr);
        ::_exit(1);
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

WindowSystemStartGuard::WindowSystemStartGuard(const char* program)
{
    g_program = program;
    g_previousHandler = qInstallMessageHandler(startMessages);
}

WindowSystemStartGuard::~WindowSystemStartGuard()
{
    qInstallMessageHandler(g_previousHandler);
}

bool WaitForDisplay(QString* reason)
{
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("xcb"))
        return true;
    const QByteArray display = qgetenv("DISPLAY");
    XcbCalls xcb;
    if (!loadXcb(xcb))
        return true; // Qt reports a missing X11 library itself
    int error = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (attempt > 0)
            ::usleep(100 * 1000);
        void* connection = xcb.connect(nullptr, nullptr);
        error = xcb.hasError(connection);
        xcb.disconnect(connection);
        if (error == 0)
            return true;
    }
    if (reason)
        *reason = QStringLiteral("cannot connect to the X display \"%1\" (error %2).")
                      .arg(QString::fromLocal8Bit(display))
                      .arg(error);
    return false;
}

} // namespace kivro::win
