// Delete after action: the three settings, the one question of "Prompt", and the freedesktop
// Trash layout (files/ and info/*.trashinfo) with the pitfalls of the platform's trash call.
#include "KivroTest.h"

#include <QStorageInfo>

#include "engine/DeleteAfterAction.h"
#include "platform/FileApi.h"
#include "platform/Trash.h"

#include <QUrl>

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
