// The collector program brovlet.
#include "collector/Form1.h"
#include "collector/Start.h"
#include "platform/Display.h"
#include "platform/FileApi.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// What is said when building the application object fails after all (the display went away
// between the test and the connection): the copy has handed nothing over yet.
QByteArray g_noDisplayText;

void onFatalWhileOpening(QtMsgType type, const QMessageLogContext&, const QString&)
{
    // Qt's own complaints about the display are replaced by the one line that matters.
    if (type != QtFatalMsg)
        return;
    std::fputs(g_noDisplayText.constData(), stderr);
    std::fflush(nullptr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    kivro::win::IgnoreFileSizeSignal();
    // The arguments as the process received them, before Qt takes its own options out.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);

    // The window is centred on the screen, which only X11 allows (XWayland too).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    // No application object until the copy knows it needs one: a copy that only adds its paths
    // to the list ends without ever connecting to the display.
    std::unique_ptr<QApplication> app;
    auto start = std::make_unique<kivro::collector::Start>();
    start->endProgram = [](int status) {
        std::fflush(nullptr);
        std::_Exit(status);
    };
    start->openDisplay = [&app, &argc, argv, &arguments] {
        if (app)
            return true;
        if (!kivro::display::canBeOpened())
            return false;
        g_noDisplayText.clear();
        for (const QByteArray& path : kivro::collector::Start::linesOf(arguments))
            g_noDisplayText += kivro::collector::noDisplayLine(path);
        const QtMessageHandler previous = qInstallMessageHandler(onFatalWhileOpening);
        app = std::make_unique<QApplication>(argc, argv);
        qInstallMessageHandler(previous);
        QGuiApplication::setQuitOnLastWindowClosed(false);
        return true;
    };
    if (start->run(arguments) != kivro::collector::Start::Outcome::Collect)
        return 0;

    kivro::Form1 form(std::move(start));
    form.Collect();
    return app->exec();
}
