#include "collector/Form1.h"

#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"
#include "platform/Shell.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kivro {

namespace {

const QString kListName = QStringLiteral("brovlet.tmp");

QString listNotWrittenText(const QString& listFile, const QString& reason)
{
    return QStringLiteral("The list of chosen files '%1' could not be written (%2). Packing aborted!")
        .arg(listFile, reason);
}

// Why kivro could not take `path` from the "|"-joined command line, or empty when it can: kivro
// splits that line at every "|", and the list file holds one path a line.
QString unfitReason(const QString& path)
{
    if (path.contains(QLatin1Char('|')))
        return QStringLiteral("\"|\"");
    if (path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n')))
        return QStringLiteral("a line break");
    return QString();
}

[[noreturn]] void raiseFileError(int err, bool creating)
{
    raiseError(errnoToErrorNumber(err, creating), qt_error_string(err));
}

// Appends one line per entry, each ended by CR LF, in one write. A write or close that fails
// takes back whatever part of it reached the file, so no partial line is ever read.
void appendLines(const QString& file, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += QFile::encodeName(line) + "\r\n";
    const win::HANDLE h = win::CreateFileA(file, win::GENERIC_WRITE, win::FILE_SHARE_READ, win::OPEN_ALWAYS);
    if (h == win::INVALID_HANDLE_VALUE)
        raiseFileError(win::GetLastError(), true);
    std::int32_t high = 0;
    win::SetFilePointer(h, 0, &high, win::FILE_END);
    const std::int64_t end = win::FilePosition(h);
    std::uint32_t written = 0;
    if (end < 0 || !win::WriteFile(h, bytes.constData(), std::uint32_t(bytes.size()), &written)) {
        const int err = win::GetLastError();
        if (end >= 0 && win::SeekHandle(h, end))
            win::SetEndOfFile(h);
        win::CloseHandle(h);
        raiseFileError(err, false);
    }
    if (!win::CloseHandle(h)) {
        const int err = win::GetLastError();
        const win::HANDLE again = win::CreateFileA(file, win::GENERIC_WRITE, win::FILE_SHARE_READ, win::OPEN_EXISTING);
        if (again != win::INVALID_HANDLE_VALUE) {
            if (win::SeekHandle(again, end))
                win::SetEndOfFile(again);
            win::CloseHandle(again);
        }
        raiseFileError(err, false);
    }
}

} // namespace

Form1::Form1()
{
    setWindowTitle(QStringLiteral("Tesma Kivro - BrovletTmp"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(twipsToPixelsTruncated(345), twipsToPixelsTruncated(285));
    // Storage, not input: both lie almost wholly outside the visible square.
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twipsToPixelsTruncated(120), twipsToPixelsTruncated(120), twipsToPixelsTruncated(2775),
                       twipsToPixelsTruncated(2790));
    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setGeometry(twipsToPixelsTruncated(3120), twipsToPixelsTruncated(120), twipsToPixelsTruncated(2655),
                       twipsToPixelsTruncated(2790));
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, [this] {
        try {
            Timer1_Timer();
        } catch (...) {
            // A failed tick ends without a message; the next one reads again.
        }
    });
    endProgram = [](int status) {
        std::fflush(nullptr);
        std::_Exit(status);
    };
}

void Form1::Form_Load(const QStringList& arguments)
{
    setCursor(Qt::WaitCursor);
    getappath = paths::programDir();
    if (getappath.size() > 1 && getappath.endsWith(QLatin1Char('/')))
        getappath.chop(1);

    QStringList lines;
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--each")) {
        for (const QString& path : arguments.mid(1))
            if (!path.isEmpty())
                lines << path;
    } else {
        const QString command = arguments.join(QLatin1Char(' '));
        if (!command.isEmpty())
            lines << command;
    }
    if (lines.isEmpty()) {
        Form_Unload(0);
        return;
    }

    // A path kivro would split into wrong paths is left out, with a word to the user; the other
    // files of the choice go on.
    QStringList fit;
    for (const QString& line : lines) {
        const QString why = unfitReason(line);
        if (why.isEmpty()) {
            fit << line;
            continue;
        }
        MsgBox(QStringLiteral("The file '%1' was skipped: its path holds %2, which cannot be handed over "
                              "to Tesma Kivro Pro.")
                   .arg(line, why),
               vbExclamation | vbOKOnly, kCollectorTitle);
    }
    if (fit.isEmpty()) {
        Form_Unload(0);
        return;
    }

    const QString folder = paths::runtimeDir();
    CollectorListFile = paths::joinPath(folder, kListName);
    if (!QFileInfo(folder).isDir()) {
        abortWith(listNotWrittenText(CollectorListFile, QStringLiteral("its folder cannot be made")));
        return;
    }
    if (!m_listLock.open(CollectorListFile + QStringLiteral(".lock"))) {
        abortWith(listNotWrittenText(CollectorListFile, m_listLock.errorString()));
        return;
    }
    if (!m_collectorLock.open(paths::joinPath(folder, QStringLiteral("brovlet.lock")))) {
        abortWith(listNotWrittenText(CollectorListFile, m_collectorLock.errorString()));
        return;
    }

    bool first = false;
    {
        win::FileLockHolder listHeld(m_listLock);
        if (!listHeld.acquire()) {
            abortWith(listNotWrittenText(CollectorListFile, m_listLock.errorString()));
            return;
        }
        first = m_collectorLock.tryLock();
        if (!first && !m_collectorLock.heldElsewhere()) {
            // Without the lock's answer a path could go to a list that nobody collects.
            listHeld.release();
            abortWith(listNotWrittenText(CollectorListFile, m_collectorLock.errorString()));
            return;
        }
        try {
            if (first)
                KillTmpFile(CollectorListFile); // left by an interrupted run
            appendLines(CollectorListFile, fit);
        } catch (const RuntimeError& e) {
            listHeld.release();
            abortWith(listNotWrittenText(CollectorListFile, e.description()));
            return;
        }
    }
    if (!first) {
        Form_Unload(0);
        return;
    }

    addwhichlst = 1;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    show();
    Timer1->start();
}

void Form1::Timer1_Timer()
{
    win::FileLockHolder listHeld(m_listLock);
    if (!listHeld.acquire())
        return; // the next tick tries again
    if (addwhichlst == 2) {
        List2->clear();
        LoadTmpFile(List2);
        addwhichlst = 1;
        m_reads = std::min(m_reads + 1, 2);
    } else if (addwhichlst == 1) {
        List1->clear();
        LoadTmpFile(List1);
        addwhichlst = 2;
        m_reads = std::min(m_reads + 1, 2);
    }

    // The list stopped growing between two reads a tick apart; or it has been missing or empty
    // twice in a row, and there is nothing to wait for.
    const bool settled = List1->count() == List2->count() && List1->count() != 0;
    const bool nothing = List1->count() == 0 && List2->count() == 0 && m_reads >= 2;
    if (!settled && !nothing)
        return;

    Timer1->stop();
    try {
        KillTmpFile(CollectorListFile);
    } catch (const RuntimeError& e) {
        listHeld.release();
        abortWith(QStringLiteral("The list of chosen files '%1' could not be deleted (%2). Packing aborted!")
                      .arg(CollectorListFile, e.description()));
        return;
    }
    // Still under the list lock: a copy that appends from now on finds no collector and becomes
    // the next one itself, so no line goes to a list that nobody reads.
    m_collectorLock.unlock();
    listHeld.release();
    if (nothing) {
        unsetCursor();
        Form_Unload(0);
        return;
    }

    QString joined;
    for (int i = 0; i < List2->count(); ++i)
        joined += QLatin1Char('|') + List2->item(i)->text();
    joined.remove(0, 1);
    if (QFile::encodeName(joined).size() + 1 > kMaxArgumentBytes) {
        abortWith(QStringLiteral("%1 files were chosen: too many for Tesma Kivro Pro to take at once. "
                                 "Packing aborted! Please choose fewer files at once.")
                      .arg(List2->count()));
        return;
    }

    const QString notFound = QStringLiteral("'kivro' was not found! Packing aborted!");
    const QString program = win::FindProgram(QStringLiteral("kivro"), getappath);
    if (program.isEmpty()) {
        abortWith(notFound);
        return;
    }
    try {
        win::Shell(program, {joined});
    } catch (const RuntimeError& e) {
        abortWith(
            e.number() == 53
                ? notFound
                : QStringLiteral("'%1' could not be started (%2). Packing aborted!").arg(program, e.description()));
        return;
    }
    unsetCursor();
    Form_Unload(0);
}

void Form1::LoadTmpFile(QListWidget* lst)
{
    const win::HANDLE h = win::CreateFileA(CollectorListFile, win::GENERIC_READ, win::FILE_SHARE_READ,
                                           win::OPEN_EXISTING);
    if (h == win::INVALID_HANDLE_VALUE)
        return;
    QByteArray text;
    char buffer[65536];
    std::uint32_t got = 0;
    while (win::ReadFile(h, buffer, sizeof buffer, &got) && got > 0)
        text.append(buffer, got);
    win::CloseHandle(h);
    // One path a line, each ended by CR LF; a last line without its end still counts.
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf("\r\n", start);
        if (end < 0)
            end = text.size();
        lst->addItem(QFile::decodeName(text.mid(start, end - start)));
        start = end + 2;
    }
}

void Form1::KillTmpFile(const QString& Thefile)
{
    if (!paths::isNormalFile(Thefile))
        return;
    QFile file(Thefile);
    if (!file.remove())
        raiseError(75, file.errorString());
}

void Form1::Form_Unload(int status)
{
    hide();
    endProgram(status);
}

void Form1::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Form_Unload(0);
}

void Form1::abortWith(const QString& text)
{
    Timer1->stop();
    m_collectorLock.unlock();
    m_listLock.unlock();
    unsetCursor();
    MsgBox(text, vbCritical | vbOKOnly, kCollectorTitle);
    Form_Unload(1);
}

} // namespace kivro
