// Handing targets to the desktop: the existence test before a local file is opened, and the
// properties window, asked of the file manager over D-Bus (a private bus with a stand-in file
// manager, run in children of this test) with the information box when no file manager answers.
#include "KivroTest.h"

#include "platform/MsgBox.h"
#include "platform/Shell.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QStandardPaths>

using namespace kivro;

namespace {

// Stands in for a file manager: records the items it was asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public slots:
    void ShowItemProperties(const QStringList& uris, const QString& /*startupId*/) { shown << uris; }
};

bool spinUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Children: ask for the properties of KIVRO_PROPS_FILE on the session bus, with ("answered") or
// without ("unanswered") a file manager on it; print what the file manager was asked and every
// box shown.
int propsChild(const QString& mode)
{
    Prompts::enableScripted();
    const QString path = qEnvironmentVariable("KIVRO_PROPS_FILE");
    FakeFileManager manager;
    if (mode == QLatin1String("answered")) {
        QDBusConnection bus = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                                                            QStringLiteral("filemanager"));
        if (!bus.registerService(QStringLiteral("org.freedesktop.FileManager1"))
            || !bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                                   QDBusConnection::ExportAllSlots))
            return 2;
    } else if (mode != QLatin1String("unanswered")) {
        return 99;
    }
    win::ShowItemProperties(path, nullptr);
    spinUntil([&] { return !manager.shown.isEmpty() || !Prompts::records().isEmpty(); }, 10000);
    spinUntil([] { return false; }, 300); // nothing more may follow
    for (const QString& uri : manager.shown)
        printf("URI:%s\n", qPrintable(uri));
    for (const QString& r : Prompts::records())
        printf("REC:%s\n", qPrintable(r));
    fflush(stdout);
    return 0;
}

QStringList prefixed(const QByteArray& output, const char* prefix)
{
    QStringList lines;
    for (const QByteArray& line : output.split('\n'))
        if (line.startsWith(prefix))
            lines << QString::fromUtf8(line.mid(int(qstrlen(prefix))));
    return lines;
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

    QString root;
    QProcess bus;
    QString busAddress;

private slots:
    void initTestCase()
    {
        root = kivrotest::rootDir() + QStringLiteral("/shell");
        QDir().mkpath(root);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void cleanupTestCase()
    {
        if (bus.state() != QProcess::NotRunning) {
            bus.terminate();
            bus.waitForFinished(3000);
        }
    }

    void missingLocalFilesAreNotOpened_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("gone") << root + QStringLiteral("/gone.mpg");
        QTest::newRow("empty") << QString();
        QTest::newRow("broken link") << root + QStringLiteral("/broken");
    }

    void missingLocalFilesAreNotOpened()
    {
        QFETCH(QString, target);
        QFile::link(root + QStringLiteral("/nowhere"), root + QStringLiteral("/broken"));
        QCOMPARE(win::ShellExecute(target), win::SE_ERR_FNF);
    }

    void propertiesText()
    {
        const QString file = root + QStringLiteral("/big.mpg");
        kivrotest::writeFile(file, QByteArray(1234567, 'x'));
        const QStringList lines = win::FilePropertiesText(file).split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("Name: big.mpg"));
        QCOMPARE(lines.value(1), QStringLiteral("Folder: ") + root);
        QCOMPARE(lines.value(2), QStringLiteral("Type: File"));
        QCOMPARE(lines.value(3), QStringLiteral("Size: 1,234,567 bytes"));
        QVERIFY(lines.filter(QRegularExpression(QStringLiteral("^Modified: \\S"))).size() == 1);
        QVERIFY(lines.filter(QRegularExpression(QStringLiteral("^Accessed: \\S"))).size() == 1);
        QVERIFY(lines.last().startsWith(QStringLiteral("Permissions: -rw")));

        kivrotest::writeFile(root + QStringLiteral("/empty.mpg"), QByteArray());
        QVERIFY(
            win::FilePropertiesText(root + QStringLiteral("/empty.mpg")).contains(QStringLiteral("\nSize: 0 bytes\n")));
        QVERIFY(win::FilePropertiesText(root).contains(QStringLiteral("\nType: Folder\n")));
        QVERIFY(win::FilePropertiesText(root + QStringLiteral("/none")).isEmpty());
    }

    void propertiesFromTheFileManager()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed");
        // A private bus that starts no services of its own.
        const QString config = root + QStringLiteral("/bus.conf");
        kivrotest::writeFile(
            config,
            QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                           "<busconfig><type>session</type><listen>unix:path=%1/bus</listen><auth>EXTERNAL</auth>\n"
                           "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                .arg(root)
                .toUtf8());
        bus.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1")});
        QVERIFY(bus.waitForStarted(5000));
        QVERIFY(spinUntil([this] { return bus.canReadLine(); }, 5000) || bus.waitForReadyRead(5000));
        busAddress = QString::fromUtf8(bus.readLine()).trimmed();
        QVERIFY(!busAddress.isEmpty());

        const QString file = root + QStringLiteral("/a b.mpg");
        kivrotest::writeFile(file, "abc");
        const QStringList env{QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + busAddress,
                              QStringLiteral("KIVRO_PROPS_FILE=") + file};

        // A file manager answers: it is asked for the file, and no box is shown.
        QByteArray out;
        QCOMPARE(kivrotest::runChild(QStringLiteral("answered"), env, &out), 0);
        QCOMPARE(prefixed(out, "URI:"), QStringList{QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded())});
        QCOMPARE(prefixed(out, "REC:"), QStringList());

        // None does: the information box.
        QCOMPARE(kivrotest::runChild(QStringLiteral("unanswered"), env, &out), 0);
        QCOMPARE(prefixed(out, "URI:"), QStringList());
        const QStringList boxes = prefixed(out, "REC:");
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("box|Information|OK|Tesma Kivro Pro|Name: a b.mpg\\nFolder: ")),
                 qPrintable(boxes[0]));
        QVERIFY(boxes[0].contains(QStringLiteral("\\nSize: 3 bytes\\n")));
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestShell, propsChild)
#include "tst_shell.moc"
