// The collector program brovlet.
#include "collector/Form1.h"
#include "platform/DisplayConnection.h"
#include "platform/FileApi.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <optional>

int main(int argc, char** argv)
{
    kivro::win::IgnoreFileSizeSignal();
    // The arguments as the process received them, before Qt takes its own options out.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);

    // The window is centred on the screen, which only X11 allows (XWayland too).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QString noDisplay;
    if (!kivro::win::WaitForDisplay(&noDisplay)) {
        std::fprintf(stderr, "brovlet: %s\n", noDisplay.toLocal8Bit().constData());
        return 1;
    }
    std::optional<kivro::win::WindowSystemStartGuard> starting(std::in_place, "brovlet");
    QApplication app(argc, argv);
    starting.reset();
    QGuiApplication::setQuitOnLastWindowClosed(false);

    kivro::Form1 form;
    form.Form_Load(arguments);
    return app.exec();
}
