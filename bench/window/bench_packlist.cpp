// Sorting the pack list and loading a pack-list file, at the list's old limit of 32,767 entries.
//
//   bench_packlist [--dir DIR] [--runs N] [--keep]
//
// Makes 32,767 empty files with random names (default folder: $TMPDIR or /tmp,
// "kivro-bench-packlist"), and a pack-list file naming all of them. Then, N times each (default
// 5), it times:
//   - QuickSortAscending and QuickSortDescending of the 32,767 random names alone;
//   - the Sort Ascending and Sort Descending pictures of the pack-list window (the copy into the
//     sort arrays, the sort and the refill of the shown list, its layout included), starting from
//     the unsorted list each time;
//   - the Load picture of the pack-list window reading the file (every line tested against the
//     file system) into the shown list, and the reading and testing alone (ReadPackListFile).
// The window is the real pack-list window of a real main window, on the offscreen platform; the
// settings folders point into DIR.
// Prints the best and median seconds; the target is under 0.5 s for each. Exits non-zero when a
// sort is out of order or the load did not give all 32,767 entries.
#include "BenchSupport.h"
#include "engine/PackListModel.h"
#include "mainwindow/kivromainfrm.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListFile.h"
#include "packlist/PackListGlobals.h"
#include "packlist/QuickSort.h"
#include "platform/Prompts.h"
#include "platform/SkinImage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace kivro;

namespace {

constexpr int kEntries = 32767;

struct Measure {
    std::string name;
    std::vector<double> seconds;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeIt(const std::function<void()>& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool inOrder(const PackListModel& list, bool ascending)
{
    for (int i = 1; i < list.count(); ++i) {
        const int c = QString::compare(list.name(i - 1), list.name(i), Qt::CaseSensitive);
        if (ascending ? c > 0 : c < 0)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    bench::Options o;
    o.path = QDir::tempPath().toStdString() + "/kivro-bench-packlist";
    if (!bench::parseOptions(argc, argv, "--dir", false, o))
        return 2;
    const QString dir = QString::fromStdString(o.path);
    const int runs = o.runs;
    const bool keep = o.keep;
    // The main window's settings and files stay in the benchmark's folder.
    bench::usePrivateFolders(o.path);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Prompts::enableScripted();

    // Random names of 8 to 40 letters, digits and blanks, upper and lower case.
    QRandomGenerator random(12345);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _-");
    QVector<PackListEntry> entries;
    QByteArray listBytes;
    QDir().mkpath(dir + QStringLiteral("/files"));
    const QString folder = dir + QStringLiteral("/files/");
    for (int i = 0; i < kEntries; ++i) {
        QString name;
        const int length = 8 + int(random.bounded(33));
        for (int k = 0; k < length; ++k)
            name += letters.at(int(random.bounded(letters.size())));
        name += QStringLiteral("-%1.mpg").arg(i);
        QFile f(folder + name);
        if (!f.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
            return 1;
        }
        entries.append(PackListEntry{folder, name});
        listBytes += QFile::encodeName(folder + name) + "\r\n";
    }
    const QString listFile = dir + QStringLiteral("/list.qvt");
    {
        QFile f(listFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(listBytes) != listBytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(listFile));
            return 1;
        }
    }

    kivromainfrm w;
    Brovletfrm* form = PackListForm();
    form->show();
    QApplication::processEvents();

    std::vector<Measure> measures{{"QuickSortAscending alone", {}},
                                  {"QuickSortDescending alone", {}},
                                  {"Sort Ascending picture (window)", {}},
                                  {"Sort Descending picture (window)", {}},
                                  {"Load picture, 32,767-line .qvt (window)", {}},
                                  {"ReadPackListFile alone", {}}};
    bool ok = true;
    for (int r = 0; r < runs; ++r) {
        for (const bool up : {true, false}) {
            QStringList names, folders;
            for (const PackListEntry& e : entries) {
                names << e.name;
                folders << e.folder;
            }
            measures[up ? 0 : 1].seconds.push_back(timeIt([&] {
                up ? QuickSort::QuickSortAscending(names, folders, 0, kEntries - 1)
                   : QuickSort::QuickSortDescending(names, folders, 0, kEntries - 1);
            }));

            w.packList().setEntries(entries);
            QApplication::processEvents();
            measures[up ? 2 : 3].seconds.push_back(timeIt([&] {
                up ? form->ButtonAscending_Img_Click() : form->ButtonDescending_Img_Click();
                QApplication::processEvents();
            }));
            ok = ok && inOrder(w.packList(), up) && w.packList().count() == kEntries;
        }

        w.packList().setEntries(entries.mid(0, 10));
        QApplication::processEvents();
        Prompts::queue(listFile);
        measures[4].seconds.push_back(timeIt([&] {
            form->BrovletMenu_Load_Img_Click();
            QApplication::processEvents();
        }));
        ok = ok && w.packList().count() == kEntries;
        std::optional<QVector<PackListEntry>> read;
        measures[5].seconds.push_back(timeIt([&] { read = ReadPackListFile(listFile); }));
        ok = ok && read && read->size() == kEntries;
        for (const QString& record : Prompts::records())
            ok = ok && !record.startsWith(QLatin1String("box|"));
        Prompts::clearRecords();
    }

    std::printf("%d entries, %d runs each\n", kEntries, runs);
    std::printf("%-44s %10s %10s\n", "measure", "best s", "median s");
    for (const Measure& m : measures)
        std::printf("%-44s %10.3f %10.3f\n", m.name.c_str(), *std::min_element(m.seconds.begin(), m.seconds.end()),
                    median(m.seconds));
    if (!keep)
        QDir(dir).removeRecursively();
    if (!ok) {
        std::fprintf(stderr, "a sort was out of order or the load lost entries\n");
        return 1;
    }
    return 0;
}
