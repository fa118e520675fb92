// Closing the file-type editor with many types: the whole list written to the settings file.
//
//   bench_filetypes [--dir DIR] [--runs N] [--keep]
//
// Stores 200 types in the settings file (folders under DIR, default $TMPDIR or /tmp,
// "kivro-bench-filetypes"), then, N times (default 5), opens the real editor window on the
// offscreen platform (no main window), and times its close (the list written and read back). Prints the best and median seconds and how many times the settings file
// was replaced per close; the target is under 0.3 s on an idle machine. Exits non-zero when a
// close failed or the store did not keep the 200 types.
#include "BenchSupport.h"
#include "dialogs/customfilefilterfrm.h"
#include "engine/Registry.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace kivro;

namespace {

constexpr int kTypes = 200;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    bench::Options o;
    o.path = QDir::tempPath().toStdString() + "/kivro-bench-filetypes";
    if (!bench::parseOptions(argc, argv, "--dir", false, o))
        return 2;
    const QString dir = QString::fromStdString(o.path);
    bench::usePrivateFolders(o.path);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Prompts::enableScripted();

    QByteArray ini = "[General]\nNoOfFilter=200\n\n[Filter]\n";
    QByteArray info = "\n[FilterInfo]\n";
    for (int i = 1; i <= kTypes; ++i) {
        const QByteArray n = QByteArray::number(i);
        ini += n + "=*.type" + n + ",*.other" + n + "\n";
        info += n + "=Description of type " + n + "\n";
    }
    QDir().mkpath(QFileInfo(paths::settingsFile()).path());
    {
        QFile f(paths::settingsFile());
        if (!f.open(QIODevice::WriteOnly) || f.write(ini + info) != ini.size() + info.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
            return 1;
        }
    }

    customfilefilterfrm form;
    std::vector<double> seconds;
    std::uint64_t replacements = 0;
    bool ok = true;
    for (int r = 0; r < o.runs; ++r) {
        form.Form_Load();
        form.show();
        QApplication::processEvents();
        const std::uint64_t before = win::RegStoreFileWrites();
        const auto start = std::chrono::steady_clock::now();
        ok = ok && form.close();
        QApplication::processEvents();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        replacements = win::RegStoreFileWrites() - before;
        ok = ok && Registry::readSetting(Settings::NoOfFilter) == QStringLiteral("200");
    }
    ok = ok && Prompts::records().isEmpty();

    std::printf("%d types, %d runs\n", kTypes, o.runs);
    std::printf("%-36s %10s %10s %14s\n", "measure", "best s", "median s", "replacements");
    std::printf("%-36s %10.3f %10.3f %14llu\n", "close of the file-type editor",
                *std::min_element(seconds.begin(), seconds.end()), median(seconds),
                static_cast<unsigned long long>(replacements));
    if (!o.keep)
        QDir(dir).removeRecursively();
    if (!ok) {
        std::fprintf(stderr, "a close failed or the store lost types\n");
        return 1;
    }
    return 0;
}
