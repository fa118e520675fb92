// Delete after action: the three settings, the one question of "Prompt", and the freedesktop
// Trash layout (files/ and info/*.trashinfo) with the pitfalls of the platform's trash call.
#include "KivroTest.h"

#include <QStorageInfo>

#include "engine/DeleteAfterAction.h"
#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/Trash.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace kivro;

namespace {

// The Trash's contents: original path (from the Path= line) -> bytes of the trashed file.
QMap<QString, QByteArray> trashContents(const QString& trash)
{
    QMap<QString, QByteArray> out;
    const QStringList infos
        = QDir(trash + QStringLiteral("/info")).entryList({QStringLiteral("*.trashinfo")}, QDir::Files);
    for (const QString& info : infos) {
        const QByteArray text = kivrotest::readFile(trash + QStringLiteral("/info/") + info);
        QString original;
        for (const QByteArray& line : text.split('\n'))
            if (line.startsWith("Path="))
                original = QUrl::fromPercentEncoding(line.mid(5));
        const QString name = info.chopped(int(qstrlen(".trashinfo")));
        out.insert(original, kivrotest::readFile(trash + QStringLiteral("/files/") + name));
    }
    return out;
}

std::uint64_t deviceOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? std::uint64_t(st.st_dev) : 0;
}

} // namespace

class TestDeleteAfterAction : public QObject {
    Q_OBJECT

    QString dir;
    QString path(const QString& name) const { return dir + QLatin1Char('/') + name; }

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/del");
        QDir().mkpath(dir);
    }
    void init()
    {
        Prompts::enableScripted();
        QDir(win::HomeTrashDir()).removeRecursively();
        win::InjectTrashFault(win::TrashStep::InfoFile, 0);
        win::InjectTrashFault(win::TrashStep::Move, 0);
    }
    void cleanup()
    {
        win::InjectTrashFault(win::TrashStep::InfoFile, 0);
        win::InjectTrashFault(win::TrashStep::Move, 0);
    }

    void settingsDecideWhatGoesToTheTrash_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("moved");
        QTest::newRow("No") << int(DeleteAfterAction::No) << QString() << false;
        QTest::newRow("NoPrompt") << int(DeleteAfterAction::NoPrompt) << QString() << true;
        QTest::newRow("Prompt, answered No") << int(DeleteAfterAction::Prompt) << QStringLiteral("No") << false;
        QTest::newRow("Prompt, answered Yes") << int(DeleteAfterAction::Prompt) << QStringLiteral("Yes") << true;
    }
    void settingsDecideWhatGoesToTheTrash()
    {
        QFETCH(int, setting);
        QFETCH(QString, answer);
        QFETCH(bool, moved);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(','), QString());
        const QStringList files = {path(tag + QStringLiteral("/a/x 1.mpg")), path(tag + QStringLiteral("/b/y%.mpg")),
                                   path(tag + QStringLiteral("/a/z.mpg"))};
        for (const QString& f : files)
            kivrotest::writeFile(f, f.toUtf8());
        if (!answer.isEmpty())
            Prompts::queue(answer);

        // A file listed twice counts once; one that no longer exists is left out.
        const QStringList list = files + QStringList{files.at(0), path(tag + QStringLiteral("/a/gone.mpg"))};
        const int n = DeleteFilesAfterAction(DeleteAfterAction(setting), list);

        QCOMPARE(n, moved ? 3 : 0);
        for (const QString& f : files)
            QCOMPARE(QFileInfo::exists(f), !moved);
        QMap<QString, QByteArray> expected;
        if (moved)
            for (const QString& f : files)
                expected.insert(f, f.toUtf8());
        QCOMPARE(trashContents(win::HomeTrashDir()), expected);
        if (moved) {
            // Path= lines are percent-encoded, so the names with a blank and a "%" come back right.
            QByteArray infos;
            for (const QString& i : QDir(win::HomeTrashDir() + QStringLiteral("/info")).entryList(QDir::Files))
                infos += kivrotest::readFile(win::HomeTrashDir() + QStringLiteral("/info/") + i);
            QVERIFY2(infos.contains("/a/x%201.mpg\n") && infos.contains("/b/y%25.mpg\n"), infos.constData());
        }
        QCOMPARE(win::HomeTrashDir(), qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash"));

        const QStringList boxes = DeleteAfterAction(setting) == DeleteAfterAction::Prompt
                                      ? QStringList{QStringLiteral("box|Question|YesNo|Tesma Kivro Pro|Are you sure "
                                                                   "you want to move these 3 items to the Trash?|")
                                                    + answer}
                                      : QStringList{};
        QCOMPARE(Prompts::records(), boxes);
    }

    void oneFileIsNamedInTheQuestion()
    {
        const QString f = path(QStringLiteral("one/solo.mpg"));
        kivrotest::writeFile(f, "solo");
        Prompts::queue(QStringLiteral("No"));
        QCOMPARE(DeleteFilesAfterAction(DeleteAfterAction::Prompt, {f}), 0);
        QCOMPARE(
            Prompts::records(),
            QStringList{
                QStringLiteral("box|Question|YesNo|Tesma Kivro Pro|Are you sure you want to move '%1' to the Trash?|No")
                    .arg(f)});
        // Nothing left to move: no question at all.
        QCOMPARE(DeleteFilesAfterAction(DeleteAfterAction::Prompt, {path(QStringLiteral("one/none.mpg"))}), 0);
        QCOMPARE(Prompts::records().size(), 1);
    }

    // A file this program still has open stays, and the others go all the same, without a word.
    void openFileStaysOthersGo()
    {
        const QString open = path(QStringLiteral("open/busy.mpg")), other = path(QStringLiteral("open/free.mpg"));
        kivrotest::writeFile(open, "busy");
        kivrotest::writeFile(other, "free");
        const win::HANDLE h = win::CreateFileA(open, win::GENERIC_READ, win::FILE_SHARE_READ, win::OPEN_EXISTING);
        QVERIFY(h != win::INVALID_HANDLE_VALUE);
        QCOMPARE(DeleteFilesAfterAction(DeleteAfterAction::NoPrompt, {open, other}), 1);
        win::CloseHandle(h);
        QVERIFY(QFileInfo::exists(open));
        QVERIFY(!QFileInfo::exists(other));
        QVERIFY(Prompts::records().isEmpty());
    }

    void refusedMovesLeaveTheFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("relative path") << QStringLiteral("rel.mpg");
        QTest::newRow("folder") << QStringLiteral("!folder");
        QTest::newRow("missing") << QStringLiteral("!missing.mpg");
    }
    void refusedMovesLeaveTheFile()
    {
        QFETCH(QString, target);
        QDir().mkpath(path(QStringLiteral("folder")));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir);
        kivrotest::writeFile(path(QStringLiteral("rel.mpg")), "rel");
        const QString p = target.startsWith(QLatin1Char('!')) ? path(target.mid(1)) : target;
        QString where = QStringLiteral("x");
        QVERIFY(!win::MoveFileToTrash(p, &where));
        QDir::setCurrent(cwd);
        QCOMPARE(where, QString());
        QVERIFY(QFileInfo::exists(path(QStringLiteral("rel.mpg"))));
        QVERIFY(QFileInfo(path(QStringLiteral("folder"))).isDir());
        QVERIFY(!QFileInfo::exists(win::HomeTrashDir() + QStringLiteral("/files")));
    }

    // The data folder may not exist yet: it is made, and the file lands in its Trash, never in
    // ./files of the current folder. When it cannot be made, the file stays.
    void dataFolderIsMadeFirst_data()
    {
        QTest::addColumn<bool>("makeable");
        QTest::newRow("missing data folder") << true;
        QTest::newRow("data folder cannot be made") << false;
    }
    void dataFolderIsMadeFirst()
    {
        QFETCH(bool, makeable);
        const QString oldData = qEnvironmentVariable("XDG_DATA_HOME");
        const QString cwd = QDir::currentPath();
        const QString work = path(QStringLiteral("cwd-%1").arg(makeable));
        QDir().mkpath(work);
        QDir::setCurrent(work);
        kivrotest::writeFile(path(QStringLiteral("blocker")), "a file where a folder would be");
        const QString data = makeable ? path(QStringLiteral("fresh-data/share"))
                                      : path(QStringLiteral("blocker/share"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(data));
        const QString f = path(QStringLiteral("fresh/%1.mpg").arg(makeable));
        kivrotest::writeFile(f, "fresh");

        QString where;
        const bool ok = win::MoveFileToTrash(f, &where);
        QDir::setCurrent(cwd);
        qputenv("XDG_DATA_HOME", QFile::encodeName(oldData));

        QCOMPARE(ok, makeable);
        QCOMPARE(QFileInfo::exists(f), !makeable);
        QVERIFY(!QFileInfo::exists(work + QStringLiteral("/files")));
        QVERIFY(!QFileInfo::exists(work + QStringLiteral("/info")));
        if (makeable) {
            QCOMPARE(QFileInfo(where).path(), data + QStringLiteral("/Trash/files"));
            QCOMPARE(trashContents(data + QStringLiteral("/Trash")), (QMap<QString, QByteArray>{{f, "fresh"}}));
        }
    }

    // A Trash that cannot take a file answers at once, whatever the reason: the file stays where
    // it was, byte for byte, nothing is left in the Trash, and the other files still go. (The
    // platform's own trash call retried new names for ever when the info file could not be made.)
    void refusingTrashKeepsTheFileAndAnswersAtOnce_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("info folder cannot be written") << "info";
        QTest::newRow("files folder cannot be written") << "move";
        QTest::newRow("name too long for an info file") << "long";
        QTest::newRow("info folder is a file") << "info-file";
    }
    void refusingTrashKeepsTheFileAndAnswersAtOnce()
    {
        QFETCH(QString, fault);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        QStringList files;
        for (int i = 0; i < 300; ++i)
            files << path(tag + QStringLiteral("/f%1.mpg").arg(i));
        if (fault == QLatin1String("long"))
            files[7] = path(tag + QLatin1Char('/') + QString(250, QLatin1Char('n'))); // + ".trashinfo" > 255
        for (const QString& f : files)
            kivrotest::writeFile(f, f.toUtf8());
        if (fault == QLatin1String("info"))
            win::InjectTrashFault(win::TrashStep::InfoFile, EACCES);
        else if (fault == QLatin1String("move"))
            win::InjectTrashFault(win::TrashStep::Move, EACCES);
        else if (fault == QLatin1String("info-file")) {
            QDir().mkpath(win::HomeTrashDir() + QStringLiteral("/files"));
            kivrotest::writeFile(win::HomeTrashDir() + QStringLiteral("/info"), "not a folder");
        }

        QElapsedTimer clock;
        clock.start();
        QStringList kept;
        const int moved = DeleteFilesAfterAction(DeleteAfterAction::NoPrompt, files, &kept);
        // Not a timing test: a retry without end would never come back at all.
        QVERIFY2(clock.elapsed() < 60000, qPrintable(QString::number(clock.elapsed())));

        const QStringList expectedKept = fault == QLatin1String("long") ? QStringList{files[7]} : files;
        QCOMPARE(kept, expectedKept);
        QCOMPARE(moved, int(files.size() - expectedKept.size()));
        for (const QString& f : files)
            QCOMPARE(kivrotest::readFile(f).isEmpty(), !expectedKept.contains(f));
        for (const QString& f : expectedKept)
            QCOMPARE(kivrotest::readFile(f), f.toUtf8());
        if (fault != QLatin1String("info-file")) {
            // Every entry has its information file and its file, and no information file is left
            // without its file.
            const QStringList infos = QDir(win::HomeTrashDir() + QStringLiteral("/info")).entryList(QDir::Files);
            const QStringList inTrash = QDir(win::HomeTrashDir() + QStringLiteral("/files")).entryList(QDir::Files);
            QCOMPARE(infos.size(), moved);
            QCOMPARE(inTrash.size(), moved);
        }
        QVERIFY(Prompts::records().isEmpty());
    }

    // A name taken in the Trash (by an earlier entry, or by a file there without its information
    // file) is never replaced: the next free name is used, and both stay whole.
    void takenNamesInTheTrashAreNotReplaced()
    {
        const QString trash = win::HomeTrashDir();
        QDir().mkpath(trash + QStringLiteral("/files"));
        QDir().mkpath(trash + QStringLiteral("/info"));
        kivrotest::writeFile(trash + QStringLiteral("/files/same.mpg"), "stray, without an info file");
        const QString first = path(QStringLiteral("taken/a/same.mpg")),
                      second = path(QStringLiteral("taken/b/same.mpg"));
        kivrotest::writeFile(first, "first");
        kivrotest::writeFile(second, "second");
        QString whereFirst, whereSecond;
        QVERIFY(win::MoveFileToTrash(first, &whereFirst));
        QVERIFY(win::MoveFileToTrash(second, &whereSecond));
        QCOMPARE(whereFirst, trash + QStringLiteral("/files/same.mpg.2"));
        QCOMPARE(whereSecond, trash + QStringLiteral("/files/same.mpg.3"));
        QCOMPARE(kivrotest::readFile(trash + QStringLiteral("/files/same.mpg")),
                 QByteArray("stray, without an info file"));
        QCOMPARE(trashContents(trash).value(first), QByteArray("first"));
        QCOMPARE(trashContents(trash).value(second), QByteArray("second"));
        const QByteArray info = kivrotest::readFile(trash + QStringLiteral("/info/same.mpg.2.trashinfo"));
        QVERIFY2(
            QRegularExpression(
                QStringLiteral("^\\[Trash Info\\]\nPath=%1\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$")
                    .arg(QRegularExpression::escape(first)))
                .match(QString::fromUtf8(info))
                .hasMatch(),
            info.constData());
    }

    // The files the Trash could not take, as the box after the success box names them: every
    // path on its own line up to 20, then how many more; files kept by the user's No are not
    // listed, and no box comes for them.
    void keptFilesAreListed_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("listed");
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("twenty") << 20 << 20;
        QTest::newRow("twenty-one") << 21 << 20;
        QTest::newRow("three hundred") << 300 << 20;
    }
    void keptFilesAreListed()
    {
        QFETCH(int, count);
        QFETCH(int, listed);
        QStringList kept;
        for (int i = 0; i < count; ++i)
            kept << QStringLiteral("/x/a b/%1.mpg").arg(i);
        QString expected = QStringLiteral("These files could not be moved to the Trash and were kept:\n");
        for (int i = 0; i < listed; ++i)
            expected += QStringLiteral("\n/x/a b/%1.mpg").arg(i);
        if (count > listed)
            expected += QStringLiteral("\nand %1 more.").arg(count - listed);
        ReportFilesKept(kept);
        QCOMPARE(
            Prompts::records(),
            QStringList{QStringLiteral("box|Information|OK|Tesma Kivro Pro|%1|OK").arg(Prompts::escape(expected))});

        Prompts::enableScripted();
        ReportFilesKept({});
        QVERIFY(Prompts::records().isEmpty());

        // Kept by the user's answer: not listed.
        const QString f = path(QStringLiteral("said-no/%1.mpg").arg(count));
        kivrotest::writeFile(f, "no");
        Prompts::queue(QStringLiteral("No"));
        QStringList keptByNo;
        QCOMPARE(DeleteFilesAfterAction(DeleteAfterAction::Prompt, {f}, &keptByNo), 0);
        QVERIFY(keptByNo.isEmpty());
    }

    // A file on another file system goes to that volume's own Trash.
    void otherFileSystemUsesItsOwnTrash()
    {
        const QString shm = QStringLiteral("/dev/shm");
        if (!QFileInfo(shm).isDir() || !QFileInfo(shm).isWritable() || deviceOf(shm) == deviceOf(dir)
            || QStorageInfo(shm).rootPath() != shm)
            QSKIP("no second writable file system mounted at /dev/shm");
        const QString trash = shm + QStringLiteral("/.Trash-") + QString::number(::getuid());
        const bool hadTrash = QFileInfo::exists(trash);
        const QString f = shm + QStringLiteral("/kivro-trash-test-%1.mpg").arg(QCoreApplication::applicationPid());
        kivrotest::writeFile(f, "elsewhere");

        QCOMPARE(DeleteFilesAfterAction(DeleteAfterAction::NoPrompt, {f}), 1);
        QVERIFY(!QFileInfo::exists(f));
        QString landed;
        for (const QString& n : QDir(trash + QStringLiteral("/files")).entryList(QDir::Files))
            if (n.startsWith(QFileInfo(f).completeBaseName()))
                landed = trash + QStringLiteral("/files/") + n;
        QVERIFY2(!landed.isEmpty(), qPrintable(trash));
        QCOMPARE(kivrotest::readFile(landed), QByteArray("elsewhere"));
        QVERIFY(QFileInfo::exists(trash + QStringLiteral("/info/") + QFileInfo(landed).fileName()
                                  + QStringLiteral(".trashinfo")));
        QVERIFY(trashContents(win::HomeTrashDir()).isEmpty());

        QFile::remove(landed);
        QFile::remove(trash + QStringLiteral("/info/") + QFileInfo(landed).fileName() + QStringLiteral(".trashinfo"));
        if (!hadTrash)
            QDir(trash).removeRecursively();
    }
};

KIVRO_TEST_MAIN(TestDeleteAfterAction)
#include "tst_deleteafteraction.moc"
