// The real brovlet, copied into a program folder of its own beside a stub kivro that records
// every start: the copies that "Pack it..." starts hand their paths to kivro once, in order, and
// no path is lost or handed over twice however the copies meet.
#include "KivroTest.h"
#include "StubKivro.h"

#include "platform/FileManagerVerb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <functional>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kLongMs = 120000;
// The inherited descriptor that tells the test when every copy and every program a copy started
// has ended: the write end of a pipe, open in all of them.
constexpr int kAliveFd = 9;

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')));
}

QString programBuilt()
{
    return QStringLiteral(KIVRO_PROGRAM_DIR "/brovlet");
}

// One run: a program folder with blanks and shell characters in its name, holding a copy of
// brovlet and (unless left out) a stub kivro that writes each start's arguments to a file of its
// own; a private runtime folder; an empty answers file (every box takes OK) and a log.
class Scene {
public:
    explicit Scene(bool withKivro = true)
    {
        root = m_dir.path();
        programDir = root + QStringLiteral("/prog dir $x 'q' 100%");
        runtimeDir = root + QStringLiteral("/runtime");
        callsDir = root + QStringLiteral("/calls");
        logFile = root + QStringLiteral("/log");
        listFile = runtimeDir + QStringLiteral("/tesma-kivro/brovlet.tmp");
        QDir().mkpath(programDir);
        QDir().mkpath(runtimeDir);
        QDir().mkpath(callsDir);
        QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The collector's own folder as it makes it, so a test can put a list in it first.
        QDir().mkpath(folderOf(listFile));
        QFile::setPermissions(folderOf(listFile), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString collector = programDir + QStringLiteral("/brovlet");
        if (!QFile::copy(programBuilt(), collector))
            qFatal("cannot copy %s", qPrintable(programBuilt()));
        if (withKivro)
            stubkivro::write(programDir + QStringLiteral("/kivro"), callsDir);
        kivrotest::writeFile(root + QStringLiteral("/answers"), QByteArray());
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        m_env.insert(QStringLiteral("KIVRO_TEST_ANSWERS"), root + QStringLiteral("/answers"));
        m_env.insert(QStringLiteral("KIVRO_TEST_LOG"), logFile);
        m_env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        if (::pipe2(m_alive, O_CLOEXEC) != 0)
            qFatal("pipe2 failed");
    }

    ~Scene()
    {
        for (QProcess* p : std::as_const(m_copies)) {
            if (p->state() != QProcess::NotRunning) {
                ::kill(pid_t(p->processId()), SIGCONT);
                p->kill();
                p->waitForFinished(kLongMs);
            }
            delete p;
        }
        for (int fd : m_alive)
            if (fd >= 0)
                ::close(fd);
    }

    void setEnv(const QString& name, const QString& value) { m_env.insert(name, value); }
    // Runs in each started process before it starts (limits for a fault).
    std::function<void()> childSetup;

    QString collectorPath() const { return programDir + QStringLiteral("/brovlet"); }

    // Starts `program` (by default the collector) with `arguments` in `workDir`.
    QProcess* start(const QStringList& arguments, const QString& workDir = QString(),
                    const QString& program = QString())
    {
        return startIn(m_env, arguments, workDir, program);
    }

    // Starts `program` (by default the collector) on the X11 platform without a display; its
    // standard error is kept.
    QProcess* startWithoutDisplay(const QStringList& arguments, const QString& program = QString(),
                                  const QString& platform = QStringLiteral("xcb"))
    {
        QProcessEnvironment env = m_env;
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return startIn(env, arguments, QString(), program, QProcess::SeparateChannels);
    }

    QProcess* startIn(const QProcessEnvironment& env, const QStringList& arguments, const QString& workDir,
                      const QString& program, QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel)
    {
        auto* p = new QProcess;
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(channels);
        p->setStandardOutputFile(QProcess::nullDevice());
        if (!workDir.isEmpty())
            p->setWorkingDirectory(workDir);
        const int aliveFd = m_alive[1];
        p->setChildProcessModifier([aliveFd, setup = childSetup] {
            if (aliveFd == kAliveFd)
                ::fcntl(kAliveFd, F_SETFD, 0);
            else
                ::dup2(aliveFd, kAliveFd);
            if (setup)
                setup();
        });
        p->start(program.isEmpty() ? collectorPath() : program, arguments);
        m_copies << p;
        return p;
    }

    // Waits until every copy has ended and so has every program they started.
    bool finish()
    {
        for (QProcess* p : std::as_const(m_copies))
            if (p->state() != QProcess::NotRunning && !p->waitForFinished(kLongMs))
                return false;
        if (m_alive[1] >= 0) {
            ::close(m_alive[1]);
            m_alive[1] = -1;
        }
        QElapsedTimer clock;
        clock.start();
        char buffer[64];
        while (clock.elapsed() < kLongMs) {
            pollfd pfd{m_alive[0], POLLIN, 0};
            const int rc = ::poll(&pfd, 1, 1000);
            if (rc < 0 && errno == EINTR)
                continue;
            if (rc > 0 && ::read(m_alive[0], buffer, sizeof buffer) == 0)
                return true;
        }
        return false;
    }

    QList<int> exitCodes() const
    {
        QList<int> codes;
        for (const QProcess* p : m_copies)
            codes << (p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1);
        return codes;
    }

    // The arguments of each start of the stub.
    QList<QStringList> calls() const { return stubkivro::calls(callsDir); }

    // The log's lines without the style line that follows each box line.
    QStringList logLines() const
    {
        QStringList lines = QString::fromUtf8(kivrotest::readFile(logFile)).split(QLatin1Char('\n'));
        lines.removeAll(QString());
        lines.removeIf([](const QString& line) { return line.startsWith(QLatin1String("boxstyle|")); });
        return lines;
    }

    QString listText() const { return QString::fromUtf8(kivrotest::readFile(listFile)); }

    // Holds the collector `p` still (SIGSTOP) once the list holds `lines` lines and the
    // collector is between two reads, so that the copies started next add their paths before
    // it reads again. False when the collector has already read for the last time.
    bool hold(QProcess* p, int lines)
    {
        const pid_t pid = pid_t(p->processId());
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kLongMs) {
            if (processState(pid) == 'Z' || !calls().isEmpty())
                return false;
            if (listText().count(QStringLiteral("\r\n")) >= lines) {
                ::kill(pid, SIGSTOP);
                char state;
                while ((state = processState(pid)) != 'T' && state != 'Z')
                    QThread::msleep(2);
                if (state == 'Z')
                    return false;
                // The last read deletes the list under the lock: a list still there while the
                // lock is free has not been read for the last time.
                if (listLockFree() && listText().count(QStringLiteral("\r\n")) >= lines)
                    return true;
                ::kill(pid, SIGCONT);
            }
            QThread::msleep(5);
        }
        return false;
    }

    void release(QProcess* p) { ::kill(pid_t(p->processId()), SIGCONT); }

    QString root;
    QString programDir;
    QString runtimeDir;
    QString callsDir;
    QString logFile;
    QString listFile;

private:
    // The state letter of a process ('T' stopped); 'Z' also when it is gone.
    static char processState(pid_t pid)
    {
        const QByteArray stat = kivrotest::readFile(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0 || stat.size() <= close + 2)
            return 'Z';
        const char state = stat.at(close + 2);
        return state == 'X' ? 'Z' : state == 't' ? 'T' : state;
    }

    // True when no copy is inside one of its steps on the list.
    bool listLockFree() const
    {
        const int fd = ::open(QFile::encodeName(listFile + QStringLiteral(".lock")).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        return free;
    }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/brovlet-XXXXXX")};
    QProcessEnvironment m_env;
    QList<QProcess*> m_copies;
    int m_alive[2] = {-1, -1};
};

// Starts one copy per argument list in order, each after the one before has added its path
// (the first is held between two reads meanwhile), as a file manager that starts them in quick
// succession. False when the first copy handed over before it could be held (a machine so
// loaded that the test could not keep up): the caller tries again with a fresh scene.
bool startInOrder(Scene& scene, const QList<QStringList>& copies)
{
    QProcess* first = scene.start(copies.first());
    if (!scene.hold(first, 1))
        return false;
    for (const QStringList& arguments : copies.mid(1)) {
        QProcess* later = scene.start(arguments);
        if (!later->waitForFinished(kLongMs))
            qFatal("a later copy did not end");
    }
    scene.release(first);
    return true;
}

// The Exec line of a desktop file, split into arguments as the Desktop Entry rules read it and
// with %F replaced by `files`, as Dolphin does for the selected files.
QStringList expandDesktopExec(const QString& value, const QStringList& files)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar c = value[++i];
            unescaped += c == QLatin1Char('n')   ? QChar(u'\n')
                         : c == QLatin1Char('t') ? QChar(u'\t')
                         : c == QLatin1Char('r') ? QChar(u'\r')
                         : c == QLatin1Char('s') ? QChar(u' ')
                                                 : c;
        } else {
            unescaped += value[i];
        }
    }
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < unescaped.size())
                word += unescaped[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                word += c;
        } else if (c == QLatin1Char('"')) {
            quoted = inWord = true;
        } else if (c == QLatin1Char(' ')) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    QStringList expanded;
    for (QString& w : words) {
        if (w == QLatin1String("%F"))
            expanded << files;
        else
            expanded << w.replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
    return expanded;
}

QString execLine(const QByteArray& desktopFile)
{
    for (const QByteArray& line : desktopFile.split('\n'))
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    return QString();
}

} // namespace

class TestBrovlet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFileInfo(programBuilt()).isExecutable(), "brovlet is not built"); }

    // Three copies in quick succession: kivro starts once, with the three paths in the order the
    // copies added them; the list is gone and every copy has ended.
    void threeCopiesOneStart()
    {
        const QStringList paths{QStringLiteral("/x/a b.mpg"), QStringLiteral("/x/c.mpg"), QStringLiteral("/y/d.mpg")};
        for (int attempt = 0;; ++attempt) {
            QVERIFY2(attempt < 5, "the first copy always handed over before the others started");
            Scene scene;
            if (!startInOrder(scene, {{paths[0]}, {paths[1]}, {paths[2]}}))
                continue;
            QVERIFY(scene.finish());
            QCOMPARE(scene.calls(), QList<QStringList>{{paths.join(QLatin1Char('|'))}});
            QCOMPARE(scene.exitCodes(), (QList<int>{0, 0, 0}));
            QVERIFY(!QFile::exists(scene.listFile));
            QCOMPARE(scene.logLines(), QStringList());
            break;
        }
    }

    // One copy hands over its one path, without "|", after two reads a second apart; a list
    // left by an interrupted run is not handed over.
    void oneCopy_data()
    {
        QTest::addColumn<QByteArray>("stale");
        QTest::newRow("no list") << QByteArray();
        QTest::newRow("stale list") << QByteArray("/old/x.mpg\r\n");
    }
    void oneCopy()
    {
        QFETCH(QByteArray, stale);
        Scene scene;
        if (!stale.isEmpty())
            kivrotest::writeFile(scene.listFile, stale);
        QElapsedTimer clock;
        clock.start();
        QProcess* copy = scene.start({QStringLiteral("/v/one file.mpg")});
        QVERIFY(copy->waitForFinished(kLongMs));
        const qint64 took = clock.elapsed();
        QVERIFY(scene.finish());
        QCOMPARE(scene.calls(), QList<QStringList>{{QStringLiteral("/v/one file.mpg")}});
        // Two reads a second apart, and no third: the time a loaded machine takes to start the
        // copy is far below the slack above two seconds.
        QVERIFY2(took >= 1900 && took < 8000, qPrintable(QStringLiteral("handed over after %1 ms").arg(took)));
        QCOMPARE(scene.exitCodes(), QList<int>{0});
        QVERIFY(!QFile::exists(scene.listFile));
    }

    // Forty copies 5 ms apart and a few more about when the collector reads for the last time:
    // every path reaches kivro exactly once, whichever copies end up collecting.
    void manyCopiesNoneLost()
    {
        Scene scene;
        QStringList expected;
        for (int i = 0; i < 40; ++i) {
            expected << QStringLiteral("/race/file %1.mpg").arg(i, 2, 10, QLatin1Char('0'));
            scene.start({expected.last()});
            QThread::msleep(5);
        }
        // The collector reads once a second and hands over after two equal reads; copies started
        // from about then on meet its last read, its deletion of the list and its giving up.
        QThread::msleep(1000);
        for (int i = 0; i < 8; ++i) {
            expected << QStringLiteral("/race/late %1.mpg").arg(i);
            scene.start({expected.last()});
            QThread::msleep(150);
        }
        QVERIFY(scene.finish());
        QStringList handed;
        for (const QStringList& call : scene.calls()) {
            QCOMPARE(call.size(), 1);
            handed << call.first().split(QLatin1Char('|'));
        }
        handed.sort();
        expected.sort();
        QCOMPARE(handed, expected);
        for (int code : scene.exitCodes())
            QCOMPARE(code, 0);
        QVERIFY(!QFile::exists(scene.listFile));
    }

    // "--each" adds its paths in order as one copy per path would, and collects when it is the
    // first.
    void eachInOrder()
    {
        Scene scene;
        scene.start({QStringLiteral("--each"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        QVERIFY(scene.finish());
        QCOMPARE(scene.calls(), QList<QStringList>{{QStringLiteral("a|b|c")}});
        QCOMPARE(scene.exitCodes(), QList<int>{0});
    }

    // The Nautilus script, run as Nautilus runs it: in the folder of the selected files, with
    // their names as arguments.
    void nautilusScript()
    {
        Scene scene;
        const QString folder = scene.root + QStringLiteral("/my videos");
        QDir().mkpath(folder);
        const QString script = scene.root + QStringLiteral("/Pack it...");
        kivrotest::writeFile(script, kivro::FileManagerVerb::NautilusScriptText(scene.programDir));
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        scene.start({QStringLiteral("first part.mpg"), QStringLiteral("b.mpg")}, folder, script);
        QVERIFY(scene.finish());
        QCOMPARE(scene.calls(),
                 QList<QStringList>{{folder + QStringLiteral("/first part.mpg|") + folder + QStringLiteral("/b.mpg")}});
    }

    // The KDE service menu's Exec line, expanded as Dolphin does for %F: one copy with every
    // selected file, and one start of kivro with all of them in order.
    void serviceMenuExec()
    {
        const QStringList files{QStringLiteral("/media/one $1 \"x\".mpg"), QStringLiteral("/media/two%s.mpg"),
                                QStringLiteral("/media/three.mpg")};
        Scene scene;
        const QString exec = execLine(kivro::FileManagerVerb::ServiceMenuText(scene.programDir));
        const QStringList words = expandDesktopExec(exec, files);
        QCOMPARE(words, QStringList{scene.collectorPath()} + QStringList{QStringLiteral("--each")} + files);
        scene.start(words.mid(1));
        QVERIFY(scene.finish());
        QCOMPARE(scene.calls(), QList<QStringList>{{files.join(QLatin1Char('|'))}});
        QCOMPARE(scene.exitCodes(), QList<int>{0});
    }

    // A path that kivro's "|"-joined command line cannot carry is skipped with a box saying so;
    // the other paths are handed over. Alone, such a copy leaves the list untouched.
    void unfitPathSkipped_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("bar") << QStringLiteral("/x/b|c.mpg") << QStringLiteral("\"\\|\"");
        QTest::newRow("line feed") << QStringLiteral("/x/b\nc.mpg") << QStringLiteral("a line break");
        QTest::newRow("carriage return") << QStringLiteral("/x/b\rc.mpg") << QStringLiteral("a line break");
    }
    void unfitPathSkipped()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        const QString box = QStringLiteral("box|Exclamation|OK|Tesma Kivro|The file '%1' was skipped: its path "
                                           "holds %2, which cannot be handed over to Tesma Kivro Pro.|OK")
                                .arg(kivro::Prompts::escape(path), reason);
        {
            Scene scene;
            scene.start({QStringLiteral("--each"), QStringLiteral("/x/a.mpg"), path, QStringLiteral("/x/d.mpg")});
            QVERIFY(scene.finish());
            QCOMPARE(scene.calls(), QList<QStringList>{{QStringLiteral("/x/a.mpg|/x/d.mpg")}});
            QCOMPARE(scene.logLines(), QStringList{box});
        }
        {
            Scene scene;
            scene.start({path});
            QVERIFY(scene.finish());
            QCOMPARE(scene.calls(), QList<QStringList>());
            QCOMPARE(scene.logLines(), QStringList{box});
            QCOMPARE(scene.exitCodes(), QList<int>{0});
            QVERIFY(!QFile::exists(scene.listFile));
        }
    }

    // A name that is not UTF-8 (Latin-1 "é") would reach kivro as another name: it is skipped with
    // the box, each byte that is not UTF-8 shown as U+FFFD, and the good ones are handed over.
    // Without a display the box's text goes to standard error.
    void nonUtf8NameSkipped()
    {
        const QString box = QStringLiteral("box|Exclamation|OK|Tesma Kivro|The file '/x/caf%1 %1.mpg' was skipped: "
                                           "its path holds bytes that are not UTF-8, which cannot be handed "
                                           "over to Tesma Kivro Pro.|OK")
                                .arg(QChar(0xFFFD));
        const QString latin1 = QStringLiteral("$(printf '/x/caf\\351 \\377.mpg')");
        {
            Scene scene;
            scene.start({QStringLiteral("-c"),
                         QStringLiteral("exec \"$0\" --each /x/a.mpg \"%1\" /x/b.mpg").arg(latin1),
                         scene.collectorPath()},
                        QString(), QStringLiteral("/bin/sh"));
            QVERIFY(scene.finish());
            QCOMPARE(scene.calls(), QList<QStringList>{{QStringLiteral("/x/a.mpg|/x/b.mpg")}});
            QCOMPARE(scene.logLines(), QStringList{box});
            QCOMPARE(scene.exitCodes(), QList<int>{0});
        }
        {
            Scene scene;
            scene.setEnv(QStringLiteral("KIVRO_TEST_ANSWERS"), QString());
            scene.setEnv(QStringLiteral("KIVRO_TEST_LOG"), QString());
            QProcess* copy = scene.startWithoutDisplay(
                {QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"%1\"").arg(latin1), scene.collectorPath()},
                QStringLiteral("/bin/sh"));
            QVERIFY(scene.finish());
            QCOMPARE(QString::fromUtf8(copy->readAllStandardError()),
                     QStringLiteral("brovlet: The file '/x/caf%1 %1.mpg' was skipped: its path holds bytes that are "
                                    "not UTF-8, which cannot be handed over to Tesma Kivro Pro.\n")
                         .arg(QChar(0xFFFD)));
            QCOMPARE(scene.exitCodes(), QList<int>{0});
            QCOMPARE(scene.calls(), QList<QStringList>());
        }
    }

    // A first copy without a display gives up being the collector before it adds its path: its
    // line on standard error, status 1, and the next copy collects. A later copy needs no display.
    // Also when the window system fails only once the application object connects (a platform
    // that cannot be loaded stands for a server that fills up in between).
    void withoutDisplay_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::newRow("X11 without DISPLAY") << "xcb";
        QTest::newRow("a platform that fails to load") << "no-such-platform";
    }
    void withoutDisplay()
    {
        QFETCH(QString, platform);
        Scene scene;
        QProcess* blind = scene.startWithoutDisplay({QStringLiteral("/x/blind first.mpg"), QStringLiteral("x")},
                                                    QString(), platform);
        QVERIFY(blind->waitForFinished(kLongMs));
        QCOMPARE(QString::fromUtf8(blind->readAllStandardError()),
                 QStringLiteral("brovlet: no display could be opened; '/x/blind first.mpg x' was not handed over.\n"));
        QCOMPARE(blind->exitCode(), 1);
        QVERIFY(!QFile::exists(scene.listFile));

        for (int attempt = 0;; ++attempt) {
            QVERIFY2(attempt < 5, "the first copy always handed over before the later one started");
            QProcess* first = scene.start({QStringLiteral("/x/first.mpg")});
            if (!scene.hold(first, 1)) {
                QVERIFY(scene.finish());
                continue;
            }
            QProcess* later = scene.startWithoutDisplay({QStringLiteral("/x/later.mpg")}, QString(), platform);
            QVERIFY(later->waitForFinished(kLongMs));
            QCOMPARE(later->exitCode(), 0);
            QCOMPARE(later->readAllStandardError(), QByteArray());
            scene.release(first);
            QVERIFY(scene.finish());
            QCOMPARE(scene.calls().last(), QStringList{QStringLiteral("/x/first.mpg|/x/later.mpg")});
            break;
        }
        QCOMPARE(scene.logLines(), QStringList());
    }

    // A runtime folder that is not a real folder of this user with mode 0700 is not used: the box
    // says why, nothing is written into it and nothing in it reaches kivro.
    void unsafeRuntimeFolder_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open to all") << "0777";
        QTest::newRow("group may enter") << "0710";
        QTest::newRow("sticky") << "1700";
        QTest::newRow("a link to a private folder") << "link";
        QTest::newRow("a plain file") << "file";
    }
    void unsafeRuntimeFolder()
    {
        QFETCH(QString, kind);
        Scene scene;
        const QString folder = folderOf(scene.listFile);
        QDir(folder).removeRecursively();
        if (kind == QLatin1String("link")) {
            const QString target = scene.root + QStringLiteral("/elsewhere");
            QDir().mkpath(target);
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            kivrotest::writeFile(target + QStringLiteral("/brovlet.tmp"), "/planted/x.mpg\r\n");
            QVERIFY(QFile::link(target, folder));
        } else if (kind == QLatin1String("file")) {
            kivrotest::writeFile(folder, "x");
        } else {
            QVERIFY(QDir().mkpath(folder));
            kivrotest::writeFile(scene.listFile, "/planted/x.mpg\r\n");
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), mode_t(kind.toInt(nullptr, 8))) == 0);
        }
        auto listing = [&] {
            QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
            for (QString& name : names)
                name += QLatin1Char(' ') + QString::fromUtf8(kivrotest::readFile(folder + QLatin1Char('/') + name));
            return names;
        };
        const QStringList before = listing();
        scene.start({QStringLiteral("/x/a.mpg")});
        QVERIFY(scene.finish());
        QCOMPARE(scene.exitCodes(), QList<int>{1});
        QCOMPARE(scene.calls(), QList<QStringList>());
        QCOMPARE(listing(), before);
        QCOMPARE(scene.logLines(),
                 QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro|'%1' belongs to someone else or is open to "
                                            "others; the chosen files cannot be collected safely.|OK")
                                 .arg(kivro::Prompts::escape(folder))});
    }

    // An empty command line ends the copy without touching the list, first copy or not.
    void emptyCommandLine()
    {
        Scene scene;
        kivrotest::writeFile(scene.listFile, "/old/x.mpg\r\n");
        scene.start({});
        scene.start({QStringLiteral("--each")});
        QVERIFY(scene.finish());
        QCOMPARE(scene.exitCodes(), (QList<int>{0, 0}));
        QCOMPARE(scene.listText(), QStringLiteral("/old/x.mpg\r\n"));
        QCOMPARE(scene.calls(), QList<QStringList>());
    }

    // No kivro beside the collector nor on PATH: the critical box, and the list is deleted.
    void kivroNotFound()
    {
        Scene scene(false);
        scene.start({QStringLiteral("/x/a.mpg")});
        QVERIFY(scene.finish());
        QCOMPARE(scene.logLines(),
                 QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro|'kivro' was not found! Packing aborted!|OK")});
        QVERIFY(!QFile::exists(scene.listFile));
        QCOMPARE(scene.exitCodes(), QList<int>{1});
    }

    // Without kivro beside the collector, the one on PATH is started.
    void kivroFromPath()
    {
        Scene scene(false);
        const QString bin = scene.root + QStringLiteral("/bin");
        stubkivro::write(bin + QStringLiteral("/kivro"), scene.callsDir);
        scene.setEnv(QStringLiteral("PATH"), bin + QStringLiteral(":/usr/bin:/bin"));
        scene.start({QStringLiteral("/x/a.mpg")});
        QVERIFY(scene.finish());
        QCOMPARE(scene.calls(), QList<QStringList>{{QStringLiteral("/x/a.mpg")}});
        QCOMPARE(scene.logLines(), QStringList());
    }

    // A list deleted behind the collector's back ends it without starting kivro.
    void listDeletedBehindItsBack()
    {
        for (int attempt = 0;; ++attempt) {
            QVERIFY2(attempt < 5, "the collector always handed over before the list could be deleted");
            Scene scene;
            QProcess* collector = scene.start({QStringLiteral("/x/a.mpg")});
            if (!scene.hold(collector, 1))
                continue;
            QVERIFY(QFile::remove(scene.listFile));
            scene.release(collector);
            QVERIFY(scene.finish());
            QCOMPARE(scene.calls(), QList<QStringList>());
            QCOMPARE(scene.exitCodes(), QList<int>{0});
            QCOMPARE(scene.logLines(), QStringList());
            break;
        }
    }

    // A collector that crashed holds nothing: the next copy collects, and the list the crashed
    // one left behind is not handed over.
    void crashedCollector()
    {
        for (int attempt = 0;; ++attempt) {
            QVERIFY2(attempt < 5, "the collector always handed over before it could be killed");
            Scene scene;
            QProcess* crashed = scene.start({QStringLiteral("/x/lost.mpg")});
            if (!scene.hold(crashed, 1))
                continue;
            crashed->kill();
            QVERIFY(crashed->waitForFinished(kLongMs));
            scene.start({QStringLiteral("/x/next.mpg")});
            QVERIFY(scene.finish());
            QCOMPARE(scene.calls(), QList<QStringList>{{QStringLiteral("/x/next.mpg")}});
            QVERIFY(!QFile::exists(scene.listFile));
            break;
        }
    }

    // More paths than one argument can carry: no start with a cut list, a box with the number of
    // files, and the list is deleted. One byte less still goes.
    void tooLongForOneArgument_data()
    {
        QTest::addColumn<int>("joinedBytes");
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("fits") << 128 * 1024 - 1 << true;
        QTest::newRow("one byte too many") << 128 * 1024 << false;
    }
    void tooLongForOneArgument()
    {
        QFETCH(int, joinedBytes);
        QFETCH(bool, handedOver);
        // 40 paths joined by 39 "|"; the last one takes up the rest.
        QStringList paths;
        const int each = 3000;
        for (int i = 0; i < 39; ++i)
            paths << QStringLiteral("/long/") + QString(each - 6, QLatin1Char(char('a' + i % 26)));
        const int rest = joinedBytes - 39 * each - 39;
        paths << QStringLiteral("/last/") + QString(rest - 6, QLatin1Char('z'));
        QCOMPARE(paths.join(QLatin1Char('|')).size(), joinedBytes);
        Scene scene;
        scene.start(QStringList{QStringLiteral("--each")} + paths);
        QVERIFY(scene.finish());
        QVERIFY(!QFile::exists(scene.listFile));
        if (handedOver) {
            QCOMPARE(scene.calls(), QList<QStringList>{{paths.join(QLatin1Char('|'))}});
            QCOMPARE(scene.logLines(), QStringList());
        } else {
            QCOMPARE(scene.calls(), QList<QStringList>());
            QCOMPARE(scene.logLines(),
                     QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro|40 files were chosen: too many for "
                                                "Tesma Kivro Pro to take at once. Packing aborted! Please choose "
                                                "fewer files at once.|OK")});
            QCOMPARE(scene.exitCodes(), QList<int>{1});
        }
    }

    // The start's own failures name the list file: its folder cannot be made, or the list
    // cannot be written (a write that fails half-way leaves no part of its line behind).
    // Nothing is handed over.
    void listCannotBeWritten_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("list is a folder") << "folder"
                                          << "Is a directory";
        QTest::newRow("runtime folder cannot be made") << "runtime"
                                                       << "its folder cannot be made";
        QTest::newRow("file size limit") << "limit"
                                         << "File too large";
    }
    void listCannotBeWritten()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        Scene scene;
        QString listFile = scene.listFile;
        QString path = QStringLiteral("/x/a.mpg");
        if (fault == QLatin1String("runtime")) {
            // The runtime folder lies under a plain file, where no folder can be made.
            kivrotest::writeFile(scene.root + QStringLiteral("/plain"), "x");
            scene.setEnv(QStringLiteral("XDG_RUNTIME_DIR"), scene.root + QStringLiteral("/plain/run"));
            listFile = scene.root + QStringLiteral("/plain/run/tesma-kivro/brovlet.tmp");
        } else if (fault == QLatin1String("folder")) {
            // A folder where the list should be: no normal file to delete, none to append to.
            QDir().mkpath(listFile);
        } else {
            // Files may grow to 1,000 bytes: the line of a long path fails after its first
            // 1,000 bytes, while the box still fits in the log.
            path = QStringLiteral("/x/") + QString(3000, QLatin1Char('n'));
            scene.childSetup = [] {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{1000, 1000};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            };
        }
        scene.start({path});
        QVERIFY(scene.finish());
        QCOMPARE(scene.logLines(),
                 QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro|The list of chosen files '%1' could "
                                            "not be written (%2). Packing aborted!|OK")
                                 .arg(listFile, reason)});
        QCOMPARE(scene.exitCodes(), QList<int>{1});
        QCOMPARE(scene.calls(), QList<QStringList>());
        if (fault == QLatin1String("limit"))
            QCOMPARE(QFileInfo(listFile).size(), 0);
    }

    // A kivro that is there but cannot be started (its interpreter is missing): the box gives
    // the system's reason.
    void kivroCannotStart()
    {
        Scene scene(false);
        const QString kivro = scene.programDir + QStringLiteral("/kivro");
        kivrotest::writeFile(kivro, "#!/nonexistent/interpreter\n");
        QFile::setPermissions(kivro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        scene.start({QStringLiteral("/x/a.mpg")});
        QVERIFY(scene.finish());
        const QStringList log = scene.logLines();
        QCOMPARE(log.size(), 1);
        const QString head = QStringLiteral("box|Critical|OK|Tesma Kivro|'%1' could not be started (")
                                 .arg(kivro::Prompts::escape(kivro));
        QVERIFY2(log.first().startsWith(head) && log.first().endsWith(QStringLiteral("). Packing aborted!|OK")),
                 qPrintable(log.first()));
        QVERIFY(!QFile::exists(scene.listFile));
        QCOMPARE(scene.exitCodes(), QList<int>{1});
    }
};

KIVRO_TEST_MAIN(TestBrovlet)
#include "tst_brovlet.moc"
