// How long the media-control "open" takes: it returns once the first picture is decoded, and
// the preview opens a file at every click in the file list.
//
//   bench_mci_open [--runs N] [--dir FOLDER]
//
// Opens each media file of FOLDER (default: the test fixtures, tests/preview/data) N times
// (default 20) into a registered window, closing it after each open, and prints per file the
// median and the worst open in milliseconds. Exits non-zero when an open fails. Runs on the
// offscreen platform unless QT_QPA_PLATFORM is set, with the GStreamer backend.
#include "platform/MediaControl.h"
#include "platform/WindowHandles.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kivro;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication app(argc, argv);
    int runs = 20;
    QString dir = QStringLiteral(KIVRO_SOURCE_DIR "/tests/preview/data");
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--dir"))
            dir = args[i + 1];
    }

    QWidget frame;
    frame.resize(124, 87);
    frame.show();
    const win::HWND handle = win::RegisterWindow(&frame);

    const QStringList files = QDir(dir).entryList(
        {QStringLiteral("*.avi"), QStringLiteral("*.mpg"), QStringLiteral("*.mp3")}, QDir::Files, QDir::Name);
    bool failed = false;
    std::printf("%-32s %10s %10s\n", "file", "median ms", "worst ms");
    for (const QString& name : files) {
        if (name == QLatin1String("not_media.mpg"))
            continue;
        QString path;
        win::GetShortPathNameA(QDir(dir).filePath(name), &path);
        const QString open = QStringLiteral("open %1 type MPEGVideo alias bench parent %2").arg(path).arg(handle);
        std::vector<double> ms;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer clock;
            clock.start();
            const win::MCIERROR err = win::mciSendStringA(open, nullptr, 0, 0);
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
            win::mciSendStringA(QStringLiteral("close bench"), nullptr, 0, 0);
            if (err) {
                std::fprintf(stderr, "%s: open failed with %u\n", qPrintable(name), err);
                failed = true;
                break;
            }
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-32s %10.1f %10.1f\n", qPrintable(name), ms[ms.size() / 2], ms.back());
    }
    return failed ? 1 : 0;
}
