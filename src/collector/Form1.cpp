#include "collector/Form1.h"

#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"
#include "platform/Shell.h"
#include "platform/Twips.h"
#include "platform/WindowHandlers.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kivro {

Form1::Form1() : Form1(std::make_unique<collector::Start>())
{
    // In a process whose display is already open.
    m_start->openDisplay = [] { return true; };
}

Form1::Form1(std::unique_ptr<collector::Start> started) : m_start(std::move(started))
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
    m_start->endProgram = [this](int status) { Form_Unload(status); };
    CollectorListFile = m_start->listFile;
}

Form1::~Form1()
{
    // Its controls go after this body: the timer's tick no longer reaches the window.
    StopWindowHandlers(*this);
}

void Form1::Form_Load(const QStringList& arguments)
{
    QList<QByteArray> raw;
    for (const QString& argument : arguments)
        raw << QFile::encodeName(argument);
    const bool first = m_start->run(raw) == collector::Start::Outcome::Collect;
    CollectorListFile = m_start->listFile;
    if (first)
        Collect();
}

void Form1::Collect()
{
    setCursor(Qt::WaitCursor);
    getappath = paths::programDir();
    if (getappath.size() > 1 && getappath.endsWith(QLatin1Char('/')))
        getappath.chop(1);
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
    win::FileLockHolder listHeld(m_start->listLock);
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
    m_start->collectorLock.unlock();
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
    unsetCursor();
    m_start->abortWith(text);
}

} // namespace kivro
