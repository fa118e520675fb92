// The "Pack it..." verb: the three file-manager files (their formats, quoting, executable bits
// and marker), switching from the menu with its failure message, the stored choice applied at
// start, and removal that spares a user's own file of the same name.
//
// The formats are checked by running what each file manager would run: the desktop Exec key is
// unescaped and unquoted by the rules of the desktop-entry format; Nemo's Exec is split by shell
// rules after its %F is replaced by the quoted paths; the Nautilus script is run with sh. A fake
// collector in the program folder records the arguments it receives.
#include "KivroTest.h"
#include "StoredSettings.h"

#include "engine/Registry.h"
#include "mainwindow/ExplorerVerb.h"
#include "platform/FileManagerVerb.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

using namespace kivro;
namespace fmv = kivro::FileManagerVerb;

namespace {

QString stored(const QString& name)
{
    return kivrotest::storedSetting(name);
}
const auto store = kivrotest::storeSetting;

// The value of `key` in `group` of a desktop or key file, with the string escapes undone.
QString keyValue(const QByteArray& file, const QString& group, const QString& key)
{
    QString current;
    for (const QString& line : QString::fromUtf8(file).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        if (current != group || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed() != key)
            continue;
        const QString raw = line.mid(eq + 1);
        QString out;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw.at(i) == QLatin1Char('\\') && i + 1 < raw.size()) {
                const QChar n = raw.at(++i);
                out += n == QLatin1Char('n')   ? QChar('\n')
                       : n == QLatin1Char('t') ? QChar('\t')
                       : n == QLatin1Char('r') ? QChar('\r')
                       : n == QLatin1Char('s') ? QChar(' ')
                                               : n;
            } else {
                out += raw.at(i);
            }
        }
        return out;
    }
    return QStringLiteral("<missing>");
}

// The arguments of a desktop Exec value (already string-unescaped): double-quoted arguments with
// \" \` \$ \\ escapes, "%%" a literal "%", other field codes kept as they stand.
QStringList desktopExecArgs(const QString& exec)
{
    QStringList args;
    QString cur;
    bool inArg = false, quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                cur += exec.at(++i);
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('%') && i + 1 < exec.size() && exec.at(i + 1) == QLatin1Char('%')) {
                cur += c;
                ++i;
            } else {
                cur += c;
            }
            continue;
        }
        if (c == QLatin1Char(' ')) {
            if (inArg)
                args << cur;
            cur.clear();
            inArg = false;
        } else if (c == QLatin1Char('"')) {
            quoted = inArg = true;
        } else {
            cur += c;
            inArg = true;
        }
    }
    if (inArg)
        args << cur;
    return args;
}

QString shellQuoted(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

} // namespace

class TestExplorerVerb : public QObject {
    Q_OBJECT

    QString m_root;
    QString m_dataHome;

    // A program folder with a fake collector that writes its arguments, one per line, to
    // <folder>/args.txt.
    QString makeProgramFolder(const QString& name)
    {
        const QString folder = m_root + QLatin1Char('/') + name;
        QDir().mkpath(folder);
        const QString collector = folder + QStringLiteral("/brovlet");
        kivrotest::writeFile(collector,
                             "#!/bin/sh\nfor a do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
        QFile::setPermissions(collector, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return folder;
    }

    QStringList recordedArgs(const QString& folder)
    {
        const QByteArray out = kivrotest::readFile(folder + QStringLiteral("/args.txt"));
        QFile::remove(folder + QStringLiteral("/args.txt"));
        QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    int runSh(const QString& script, const QStringList& args, const QString& workDir)
    {
        QProcess p;
        p.setWorkingDirectory(workDir);
        p.start(QStringLiteral("/bin/sh"), QStringList{script} + args);
        if (!p.waitForFinished(10000))
            return -1;
        return p.exitCode();
    }

    void cleanAll()
    {
        for (const QString& path : fmv::VerbFilePaths())
            QFile::remove(path);
        QFile::remove(m_dataHome + QStringLiteral("/kio"));
        QDir(m_dataHome + QStringLiteral("/kio")).removeRecursively();
    }

private slots:
    void initTestCase()
    {
        m_root = kivrotest::rootDir();
        m_dataHome = m_root + QStringLiteral("/data");
        QCOMPARE(fmv::ServiceMenuPath(), m_dataHome + QStringLiteral("/kio/servicemenus/tesma-kivro-packit.desktop"));
        QCOMPARE(fmv::NautilusScriptPath(), m_dataHome + QStringLiteral("/nautilus/scripts/Pack it..."));
        QCOMPARE(fmv::NemoActionPath(), m_dataHome + QStringLiteral("/nemo/actions/tesma-kivro-packit.nemo_action"));
    }

    void init()
    {
        cleanAll();
        Prompts::enableScripted();
    }

    void filesRunTheCollector_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::newRow("plain") << QStringLiteral("kivro");
        QTest::newRow("blanks") << QStringLiteral("Tesma Kivro Pro");
        QTest::newRow("quotes, dollar, backslash, percent") << QStringLiteral("a'b \"c\" $HOME `x` back\\slash 100%");
    }

    // Each file manager's own reading of its file starts the collector of the program folder
    // with the paths the user chose.
    void filesRunTheCollector()
    {
        QFETCH(QString, folderName);
        const QString folder = makeProgramFolder(folderName);
        QVERIFY(fmv::Install(folder));
        const QString collector = folder + QStringLiteral("/brovlet");

        // Dolphin: one start with every chosen file in place of %F.
        const QByteArray kde = kivrotest::readFile(fmv::ServiceMenuPath());
        QCOMPARE(keyValue(kde, QStringLiteral("Desktop Entry"), QStringLiteral("Type")), QStringLiteral("Service"));
        QCOMPARE(keyValue(kde, QStringLiteral("Desktop Entry"), QStringLiteral("X-KDE-ServiceTypes")),
                 QStringLiteral("KonqPopupMenu/Plugin"));
        QCOMPARE(keyValue(kde, QStringLiteral("Desktop Entry"), QStringLiteral("MimeType")),
                 QStringLiteral("application/octet-stream;"));
        const QString action
            = keyValue(kde, QStringLiteral("Desktop Entry"), QStringLiteral("Actions")).split(QLatin1Char(';')).first();
        const QString group = QStringLiteral("Desktop Action ") + action;
        QCOMPARE(keyValue(kde, group, QStringLiteral("Name")), QStringLiteral("Pack it..."));
        QCOMPARE(desktopExecArgs(keyValue(kde, group, QStringLiteral("Exec"))),
                 (QStringList{collector, QStringLiteral("--each"), QStringLiteral("%F")}));
        QVERIFY(QFileInfo(fmv::ServiceMenuPath()).permissions() & QFileDevice::ExeOwner);

        // Nautilus: the script gets names relative to the folder shown (its working folder) and
        // absolute paths; the collector gets full paths.
        const QString shown = m_root + QStringLiteral("/shown dir");
        QDir().mkpath(shown);
        QVERIFY(QFileInfo(fmv::NautilusScriptPath()).permissions() & QFileDevice::ExeOwner);
        QCOMPARE(runSh(fmv::NautilusScriptPath(), {QStringLiteral("c d.mpg"), QStringLiteral("/x/y z.mpg")}, shown), 0);
        QCOMPARE(recordedArgs(folder), (QStringList{QStringLiteral("--each"), shown + QStringLiteral("/c d.mpg"),
                                                    QStringLiteral("/x/y z.mpg")}));

        // Nemo: %F becomes the quoted paths, then the line is split by shell rules.
        const QByteArray nemo = kivrotest::readFile(fmv::NemoActionPath());
        QCOMPARE(keyValue(nemo, QStringLiteral("Nemo Action"), QStringLiteral("Name")), QStringLiteral("Pack it..."));
        QCOMPARE(keyValue(nemo, QStringLiteral("Nemo Action"), QStringLiteral("Selection")), QStringLiteral("notnone"));
        QCOMPARE(keyValue(nemo, QStringLiteral("Nemo Action"), QStringLiteral("Extensions")),
                 QStringLiteral("nodirs;"));
        const QString exec = keyValue(nemo, QStringLiteral("Nemo Action"), QStringLiteral("Exec"));
        QString line;
        for (qsizetype i = 0; i < exec.size(); ++i) {
            if (exec.at(i) == QLatin1Char('%') && i + 1 < exec.size()) {
                const QChar code = exec.at(++i);
                if (code == QLatin1Char('%'))
                    line += QLatin1Char('%');
                else if (code == QLatin1Char('F'))
                    line += shellQuoted(QStringLiteral("/m/a b.mpg")) + QLatin1Char(' ')
                            + shellQuoted(QStringLiteral("/m/c.mpg"));
                else
                    QFAIL("unexpected field code");
            } else {
                line += exec.at(i);
            }
        }
        const QString runner = m_root + QStringLiteral("/nemo-run.sh");
        kivrotest::writeFile(runner, ("exec " + line + "\n").toUtf8());
        QCOMPARE(runSh(runner, {}, m_root), 0);
        QCOMPARE(recordedArgs(folder),
                 (QStringList{QStringLiteral("--each"), QStringLiteral("/m/a b.mpg"), QStringLiteral("/m/c.mpg")}));

        for (const QString& path : fmv::VerbFilePaths())
            QVERIFY2(fmv::IsOurs(path), qPrintable(path));
    }

    // "Off" removes only marked files; "On" does not replace a user's own file either.
    void userFilesAreSpared()
    {
        const QString folder = makeProgramFolder(QStringLiteral("kivro"));
        const QByteArray own = "#!/bin/sh\necho my own Pack it script\n";
        kivrotest::writeFile(fmv::NautilusScriptPath(), own);

        QVERIFY(!fmv::Install(folder)); // the script could not be written
        QCOMPARE(kivrotest::readFile(fmv::NautilusScriptPath()), own);
        QVERIFY(fmv::IsOurs(fmv::ServiceMenuPath()));
        QVERIFY(fmv::IsOurs(fmv::NemoActionPath()));

        fmv::Remove();
        QVERIFY(!QFile::exists(fmv::ServiceMenuPath()));
        QVERIFY(!QFile::exists(fmv::NemoActionPath()));
        QCOMPARE(kivrotest::readFile(fmv::NautilusScriptPath()), own);

        // A file that only mentions the marker inside a line is not ours.
        kivrotest::writeFile(fmv::NemoActionPath(), "[Nemo Action]\nComment=x " + fmv::kVerbMarkerLine.toUtf8() + "\n");
        fmv::Remove();
        QVERIFY(QFile::exists(fmv::NemoActionPath()));
        QFile::remove(fmv::NautilusScriptPath());
        QFile::remove(fmv::NemoActionPath());
    }

    void menuSwitchesOnAndOff()
    {
        gAppPath = makeProgramFolder(QStringLiteral("menu prog"));
        QAction item;
        item.setCheckable(true);

        ExplorerVerb::AddContextMenuMnu_Click(item);
        QVERIFY(item.isChecked());
        QCOMPARE(stored(QStringLiteral("CKivro")), QStringLiteral("On"));
        for (const QString& path : fmv::VerbFilePaths())
            QVERIFY(fmv::IsOurs(path));
        QVERIFY(kivrotest::readFile(fmv::ServiceMenuPath()).contains("menu prog/brovlet"));

        ExplorerVerb::AddContextMenuMnu_Click(item);
        QVERIFY(!item.isChecked());
        QCOMPARE(stored(QStringLiteral("CKivro")), QStringLiteral("Off"));
        for (const QString& path : fmv::VerbFilePaths())
            QVERIFY(!QFile::exists(path));
        // Switching off when nothing is there is no fault and shows nothing.
        item.setChecked(true);
        ExplorerVerb::AddContextMenuMnu_Click(item);
        QVERIFY(Prompts::records().isEmpty());
    }

    // A switch-on whose files cannot be written says so and leaves the verb off.
    void menuReportsFilesNotWritten()
    {
        gAppPath = makeProgramFolder(QStringLiteral("kivro"));
        kivrotest::writeFile(m_dataHome + QStringLiteral("/kio"), "a file where a folder belongs");
        QAction item;
        item.setCheckable(true);
        Prompts::queue(QStringLiteral("OK"));

        ExplorerVerb::AddContextMenuMnu_Click(item);
        QCOMPARE(Prompts::records(),
                 QStringList{QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|The \"Pack it...\" entries for the "
                                            "file manager could not be written.|OK")});
        QCOMPARE(gMsgResult, vbOK);
        QVERIFY(!item.isChecked());
        QCOMPARE(stored(QStringLiteral("CKivro")), QStringLiteral("Off"));
        QVERIFY(!QFile::exists(fmv::NautilusScriptPath()));
        QVERIFY(!QFile::exists(fmv::NemoActionPath()));
    }

    void startAppliesStoredChoice_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("on");
        QTest::newRow("On") << QStringLiteral("On") << true;
        QTest::newRow("Off") << QStringLiteral("Off") << false;
        QTest::newRow("on (lower case)") << QStringLiteral("on") << false;
        QTest::newRow("missing") << QString() << false;
    }

    void startAppliesStoredChoice()
    {
        QFETCH(QString, choice);
        QFETCH(bool, on);
        // Installed earlier from another program folder, by a version whose KDE entry started one
        // collector per file (%f).
        QVERIFY(fmv::Install(makeProgramFolder(QStringLiteral("old"))));
        const QByteArray earlier = kivrotest::readFile(fmv::ServiceMenuPath()).replace(" --each %F", " %f");
        QVERIFY(earlier.contains("old/brovlet\" %f\n"));
        kivrotest::writeFile(fmv::ServiceMenuPath(), earlier);
        gAppPath = makeProgramFolder(QStringLiteral("moved here"));
        store(QStringLiteral("CKivro"), choice);
        QAction item;
        item.setCheckable(true);
        item.setChecked(!on);

        ExplorerVerb::ApplyStoredChoice(item);
        QCOMPARE(item.isChecked(), on);
        QCOMPARE(stored(QStringLiteral("CKivro")), on ? QStringLiteral("On") : QStringLiteral("Off"));
        for (const QString& path : fmv::VerbFilePaths()) {
            QCOMPARE(QFile::exists(path), on);
            if (on) {
                const QByteArray text = kivrotest::readFile(path);
                QVERIFY2(text.contains("moved here/brovlet"), path.toUtf8());
                QVERIFY(!text.contains("old/brovlet"));
                QVERIFY(!text.contains(" %f"));
            }
        }
        QVERIFY(Prompts::records().isEmpty());
    }

    // At start a failure stays silent and the stored choice stays "On".
    void startFailureIsSilent()
    {
        gAppPath = makeProgramFolder(QStringLiteral("kivro"));
        kivrotest::writeFile(m_dataHome + QStringLiteral("/kio"), "x");
        store(QStringLiteral("CKivro"), QStringLiteral("On"));
        QAction item;
        item.setCheckable(true);
        ExplorerVerb::ApplyStoredChoice(item);
        QVERIFY(item.isChecked());
        QCOMPARE(stored(QStringLiteral("CKivro")), QStringLiteral("On"));
        QVERIFY(Prompts::records().isEmpty());
    }
};

KIVRO_TEST_MAIN(TestExplorerVerb)
#include "tst_explorerverb.moc"
