#include "KivroTest.h"

#include "platform/FileApi.h"
#include "platform/WindowHandlers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

namespace kivrotest {

namespace {
// Removed when the test process ends, so runs leave nothing behind in /tmp.
std::unique_ptr<QTemporaryDir>& tempDir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

QString setUpEnvironment()
{
    if (!tempDir())
        tempDir() = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kivro-test-XXXXXX"));
    const QString root = tempDir()->path();
    for (const char* sub : {"config", "data", "runtime"})
        QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    qputenv("HOME", QFile::encodeName(root));
    qunsetenv("KIVRO_TEST_ANSWERS");
    qunsetenv("KIVRO_TEST_LOG");
    return root;
}

QString rootDir()
{
    return tempDir() ? tempDir()->path() : QString();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

namespace {
QString settingsFolder()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tesma");
}
} // namespace

QString unwritableSettingsStore(const QString& how)
{
    const QString folder = settingsFolder();
    const QString file = folder + QStringLiteral("/Kivro.ini");
    QDir(folder).removeRecursively();
    QFile::remove(folder);
    if (how == QLatin1String("Tesma"))
        writeFile(folder, "not a folder");
    else
        QDir().mkpath(file);
    return file;
}

void writableSettingsStore()
{
    const QString folder = settingsFolder();
    QFile::remove(folder);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

int runChild(const QString& mode, const QStringList& extraEnv, QByteArray* output, int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KIVRO_TEST_CHILD"), mode);
    for (const QString& e : extraEnv) {
        const qsizetype eq = e.indexOf(QLatin1Char('='));
        env.insert(e.left(eq), e.mid(eq + 1));
    }
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QCoreApplication::applicationFilePath(), {});
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (output)
        *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}

QString freshFolder(const QString& path)
{
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

int runChildOnX11(const QString& mode, const QStringList& extraEnv, const QString& pathFirst, QByteArray* output,
                  int timeoutMs, const QString& screen)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfb.isEmpty())
        return -3;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KIVRO_TEST_CHILD"), mode);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("PATH"), pathFirst + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    env.remove(QStringLiteral("DESKTOP_SESSION"));
    for (const QString& e : extraEnv) {
        const qsizetype eq = e.indexOf(QLatin1Char('='));
        env.insert(e.left(eq), e.mid(eq + 1));
    }
    QByteArray out;
    int code = -1;
    for (int attempt = 0; attempt < 3; ++attempt) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        QStringList args{QStringLiteral("-a")};
        if (!screen.isEmpty())
            args << QStringLiteral("-s") << screen;
        child.start(xvfb, args << QCoreApplication::applicationFilePath());
        if (!child.waitForFinished(timeoutMs)) {
            child.kill();
            child.waitForFinished();
            code = -1;
        } else {
            code = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2;
        }
        out = child.readAll();
        if (code != 0 && (out.contains("Xvfb failed to start") || out.contains("Server is already active")))
            continue;
        break;
    }
    if (output)
        *output = out;
    return code;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    ::getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

void FileSizeLimit::lift()
{
    if (m_lifted)
        return;
    m_lifted = true;
    ::setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
}

bool xdo(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool pointerTo(QPoint p)
{
    return xdo({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
}

void settle()
{
    QTest::qWait(150);
    QCoreApplication::processEvents();
}

QColor screenPixel(const QPoint& global)
{
    const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
    return img.pixelColor(0, 0);
}

QWidget* makeDesktop(const QColor& colour)
{
    auto* desktop = new QWidget(nullptr, Qt::FramelessWindowHint);
    desktop->setAutoFillBackground(true);
    QPalette pal = desktop->palette();
    pal.setColor(QPalette::Window, colour);
    desktop->setPalette(pal);
    desktop->setGeometry(QGuiApplication::primaryScreen()->geometry());
    desktop->show();
    return desktop;
}

void whileWindowEnds(QWidget* window, const std::function<void()>& step)
{
    QObject* first = window->children().value(0);
    QVERIFY2(first, "the window has no child");
    // QWidget deletes its children in order, and a child's children with it.
    auto* probe = new QObject(first);
    QObject::connect(probe, &QObject::destroyed, step);
    delete window;
}

QStringList handlersLeftAtWindowEnd(QWidget* window)
{
    // Only pointers taken before the end: while the children go, the window's list of them has
    // holes and cannot be searched.
    const QObject* first = window->children().value(0);
    QList<QPointer<QObject>> controls;
    QList<QPointer<kivro::WindowEventFilter>> filters;
    for (QObject* o : window->findChildren<QObject*>()) {
        if (auto* f = qobject_cast<kivro::WindowEventFilter*>(o))
            filters.append(f);
        bool belowFirst = false;
        for (const QObject* p = o; p && !belowFirst; p = p->parent())
            belowFirst = p == first;
        if (!belowFirst)
            controls.append(o);
    }
    const auto nameOf = [](const QObject* o) {
        return o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className()) : o->objectName();
    };
    QStringList left;
    whileWindowEnds(window, [&] {
        for (const QPointer<kivro::WindowEventFilter>& f : filters)
            if (f)
                left << QStringLiteral("filter ") + nameOf(f.data());
        // A disconnect that finds a connection to cut is one that was still there.
        for (const QPointer<QObject>& c : controls)
            if (c && QObject::disconnect(c.data(), nullptr, window, nullptr))
                left << QStringLiteral("signals of ") + nameOf(c.data());
    });
    return left;
}

void forceCopyWay(CopyWay way)
{
    kivro::win::InjectCopyRefusal(kivro::win::KernelCopyWay::Range, way != CopyWay::Range);
    kivro::win::InjectCopyRefusal(kivro::win::KernelCopyWay::Send, way == CopyWay::Buffer);
}

} // namespace kivrotest
