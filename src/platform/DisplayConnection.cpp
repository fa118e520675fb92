#include "platform/DisplayConnection.h"

#include "platform/Display.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>

#include <unistd.h>

namespace kivro::win {

namespace {

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
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (attempt > 0)
            ::usleep(100 * 1000);
        if (display::canBeOpened())
            return true;
    }
    if (reason)
        *reason = QStringLiteral("cannot connect to the X display \"%1\".").arg(qEnvironmentVariable("DISPLAY"));
    return false;
}

} // namespace kivro::win
