// Shutdown: the one way the program ends once the main window is up.
#include "mainwindow/kivromainfrm.h"

#include "engine/Registry.h"
#include "mainwindow/StartupLinks.h"
#include "mainwindow/mMain.h"
#include "platform/Paths.h"

#include <QCloseEvent>
#include <QFile>

#include <cmath>
#include <fcntl.h>
#include <unistd.h>

namespace kivro {

namespace {

void fsyncPath(const QString& path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QString wholeTwips(double twips)
{
    return QString::number(qint64(std::nearbyint(twips)));
}

} // namespace

void kivromainfrm::closeEvent(QCloseEvent* event)
{
    event->accept();
    Form_QueryUnload();
}

void kivromainfrm::Form_QueryUnload()
{
    if (mShuttingDown)
        return;
    mShuttingDown = true;

    // An action that runs closes its files and removes its progress bar first, so the files
    // it wrote are whole as far as they go and nothing of the run is left behind.
    startup::CancelActionForShutdown(this);

    hide();
    WriteShutdownSettings(startup::PackListWindowPositionTwips(), startup::BrowserFolder());

    // The process ends here: no other window is closed or asked, nothing else is saved, and
    // nothing returns into a copy loop that pumped the event which closed the window.
    mMain::EndProcess(0);
}

void kivromainfrm::WriteShutdownSettings(const std::optional<QPointF>& packListTopLeftTwips,
                                         const std::optional<QString>& lastUsedDir)
{
    using namespace Registry;
    if (packListTopLeftTwips) {
        Registry::writeSetting(Settings::BrovletXpos, wholeTwips(packListTopLeftTwips->x()));
        Registry::writeSetting(Settings::BrovletYpos, wholeTwips(packListTopLeftTwips->y()));
    }
    if (lastUsedDir)
        Registry::writeSetting(Settings::LastUsedDir, *lastUsedDir);

    // Each write reached the file; make sure the file and its folder entry are on disk before
    // the process ends.
    const QString file = paths::settingsFile();
    fsyncPath(file, O_RDONLY);
    fsyncPath(paths::folderOf(file), O_RDONLY | O_DIRECTORY);
}

} // namespace kivro
