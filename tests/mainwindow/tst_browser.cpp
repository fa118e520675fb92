// The main window's file browser: the drive list over the mounted volumes, the folder list, the
// file list with its type filter, click logic, size tooltip and popup menu, the selection
// commands and the selection mirror, Refresh, Properties and "More Info...".
#include "KivroTest.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Tipfrm.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/BrowserControls.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/StartupLinks.h"
#include "mainwindow/kivromainfrm.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Shell.h"

#include <QAction>
#include <QMenu>

using namespace kivro;

namespace {

const QString kNoFileSelected = QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|No filename(s) selected.|OK");

// A drive list of the test's own making: "/" and two volumes inside the test folder, one of
// them not mounted until the test says so.
class FakeVolumes : public VolumeSource {
public:
    QVector<Volume> volumes;
    mutable QStringList mounted;
    // Volumes that come up at their n-th probe (and stay).
    mutable QHash<QString, int> mountOnProbe;
    QVector<Volume> mountedVolumes() const override { return volumes; }
    bool isMounted(const QString& root) const override
    {
        if (mountOnProbe.contains(root) && --mountOnProbe[root] <= 0) {
            mountOnProbe.remove(root);
            mounted << root;
        }
        return mounted.contains(root);
    }
};

void sendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, const QPoint& pos,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                                      ? Qt::MouseButtons(Qt::NoButton)
                                      : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held, modifiers);
    QApplication::sendEvent(target, &event);
}

void click(QWidget* target, const QPoint& pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(target, QEvent::MouseButtonPress, Qt::LeftButton, pos, modifiers);
    sendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, pos, modifiers);
}

QStringList entries(const FileListBox* list)
{
    QStringList names;
    for (int i = 0; i < list->ListCount(); ++i)
        names << list->List(i);
    return names;
}

QList<int> selectedRows(const FileListBox* list)
{
    QList<int> rows;
    for (int i = 0; i < list->ListCount(); ++i)
        if (list->Selected(i))
            rows << i;
    return rows;
}

// The popup's visible items, separators as "-", without access-key marks.
QStringList visibleItems(const QMenu* menu)
{
    QStringList items;
    for (const QAction* a : menu->actions())
        if (a->isVisible())
            items << (a->isSeparator() ? QStringLiteral("-") : QString(a->text()).remove(QLatin1Char('&')));
    return items;
}

} // namespace

class TestBrowser : public QObject {
    Q_OBJECT

    QString root;

    // A shown main window whose file list is large enough to point at its rows.
    std::unique_ptr<kivromainfrm> makeForm()
    {
        auto form = std::make_unique<kivromainfrm>();
        form->resize(600, 500);
        form->Dir1->setGeometry(0, 0, 280, 150);
        form->File1->setGeometry(0, 160, 280, 200);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("window not exposed");
        Prompts::clearRecords();
        return form;
    }

    QPoint rowCentre(const FileListBox* list, int row) { return list->visualItemRect(list->item(row)).center(); }
    // A point of the viewport below the last entry.
    QPoint belowEntries(const FileListBox* list)
    {
        const QRect last = list->visualItemRect(list->item(list->ListCount() - 1));
        return QPoint(last.center().x(), last.bottom() + last.height() / 2 + 1);
    }

    QString makeFolder(const QString& name, const QStringList& files)
    {
        const QString dir = root + QLatin1Char('/') + name;
        QDir().mkpath(dir);
        for (const QString& f : files)
            kivrotest::writeFile(dir + QLatin1Char('/') + f, "x");
        return dir;
    }

private slots:
    void initTestCase()
    {
        root = kivrotest::rootDir() + QStringLiteral("/browse");
        QDir().mkpath(root);
        // No file manager answers on this bus: Properties shows its own box.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kivro-test-bus");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void init()
    {
        Prompts::enableScripted();
        SetVolumeSource(nullptr);
    }

    // --- file types ------------------------------------------------------------------------

    void patterns_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("patterns");
        QTest::addColumn<bool>("matches");
        const QString mpeg = QStringLiteral("*.mpg;*.mpeg;*.mpe");
        QTest::newRow("mpg") << "x.mpg" << mpeg << true;
        QTest::newRow("upper case") << "Y.MPEG" << mpeg << true;
        QTest::newRow("mpe") << "z.mpe" << mpeg << true;
        QTest::newRow("mpe is not a prefix match") << "x.mpeg4" << QStringLiteral("*.mpe") << false;
        QTest::newRow("other type") << "a.avi" << mpeg << false;
        QTest::newRow("all files, no dot") << "README" << QStringLiteral("*.*") << true;
        QTest::newRow("star") << "README" << QStringLiteral("*") << true;
        QTest::newRow("blanks around patterns") << "a.avi" << QStringLiteral(" *.mpg ; *.AVI ") << true;
        QTest::newRow("question mark") << "a1.mpg" << QStringLiteral("a?.mpg") << true;
        QTest::newRow("question mark is one character") << "a12.mpg" << QStringLiteral("a?.mpg") << false;
        QTest::newRow("brackets are plain") << "a[1].mpg" << QStringLiteral("a[1].*") << true;
        QTest::newRow("star in the middle") << "part.001.mpg" << QStringLiteral("part*.mpg") << true;
        QTest::newRow("empty list") << "a.mpg" << QString() << false;
    }

    void patterns()
    {
        QFETCH(QString, name);
        QFETCH(QString, patterns);
        QFETCH(bool, matches);
        QCOMPARE(MatchesFilePattern(name, patterns), matches);
    }

    void typeBoxFiltersTheFileList()
    {
        const QString dir = makeFolder(QStringLiteral("types"),
                                       {"x.mpg", "Y.MPEG", "z.mpe", "a.avi", "README", ".hidden.mpg"});
        QDir().mkpath(dir + QStringLiteral("/folder.mpg"));
        ResetFileFilter();
        auto form = makeForm();
        for (const QString& entry : {QStringLiteral("Mpeg (*.mpg,*.mpeg,*.mpe)"), QStringLiteral("Mp3 (*.mp3)"),
                                     QStringLiteral("All Files (*.*)")})
            form->pattern_cmb->addItem(entry);
        QVERIFY(form->BrowseTo(dir));

        form->pattern_cmb->setCurrentIndex(0);
        form->pattern_cmb_Click();
        QCOMPARE(form->File1->Pattern(), QStringLiteral("*.mpg;*.mpeg;*.mpe"));
        QCOMPARE(entries(form->File1), (QStringList{"x.mpg", "Y.MPEG", "z.mpe"}));
        QCOMPARE(selectedRows(form->File1), QList<int>{0});
        QCOMPARE(form->filesel_lst, QStringList{"x.mpg"});

        // No match: nothing selected, no box, and the mirror is empty.
        form->pattern_cmb->setCurrentIndex(1);
        form->pattern_cmb_Click();
        QCOMPARE(form->File1->ListCount(), 0);
        QVERIFY(form->filesel_lst.isEmpty());

        form->pattern_cmb->setCurrentIndex(2);
        emit form->pattern_cmb->activated(2); // as the user chooses it
        QCOMPARE(entries(form->File1), (QStringList{"a.avi", "README", "x.mpg", "Y.MPEG", "z.mpe"}));
        QCOMPARE(form->filesel_lst, QStringList{"a.avi"});
        QVERIFY(Prompts::records().isEmpty());
    }

    // --- tooltip ---------------------------------------------------------------------------

    void sizeTooltip()
    {
        const QString dir = root + QStringLiteral("/sizes");
        kivrotest::writeFile(dir + QStringLiteral("/a.mpg"), QByteArray(1234, 'a'));
        kivrotest::writeFile(dir + QStringLiteral("/e.mpg"), QByteArray());
        kivrotest::writeFile(dir + QStringLiteral("/gone.mpg"), "x");
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        QWidget* viewport = form->File1->viewport();

        sendMouse(viewport, QEvent::MouseMove, Qt::NoButton, rowCentre(form->File1, 0));
        QCOMPARE(form->File1->toolTip(), QStringLiteral("a.mpg (1,234 bytes)"));
        QCOMPARE(gHoverFileSize, 1234);
        sendMouse(viewport, QEvent::MouseMove, Qt::NoButton, rowCentre(form->File1, 1));
        QCOMPARE(form->File1->toolTip(), QStringLiteral("e.mpg (0 byte)"));
        sendMouse(viewport, QEvent::MouseMove, Qt::NoButton, belowEntries(form->File1));
        QCOMPARE(form->File1->toolTip(), QString());

        // A file deleted after listing has no size to show (not "0 byte").
        QFile::remove(dir + QStringLiteral("/gone.mpg"));
        sendMouse(viewport, QEvent::MouseMove, Qt::NoButton, rowCentre(form->File1, 2));
        QCOMPARE(form->File1->toolTip(), QString());
    }

    // --- popup -----------------------------------------------------------------------------

    void popupFullAndReduced()
    {
        const QString dir = makeFolder(QStringLiteral("popup"), {"a.mpg", "b.mpg", "c.mpg"});
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        form->File1->setSelected(2, true);
        const QList<int> before = selectedRows(form->File1);
        QWidget* viewport = form->File1->viewport();

        sendMouse(viewport, QEvent::MouseButtonPress, Qt::RightButton, rowCentre(form->File1, 1));
        sendMouse(viewport, QEvent::MouseButtonRelease, Qt::RightButton, rowCentre(form->File1, 1));
        QVERIFY(form->FileSelPopupMnu->isVisible());
        QCOMPARE(visibleItems(form->FileSelPopupMnu),
                 (QStringList{"Add", "-", "Select All", "Deselect All", "Inverse Select", "-", "Refresh", "-", "Play",
                              "Properties"}));
        QCOMPARE(selectedRows(form->File1), before);
        QCOMPARE(form->File1->ListIndex(), 0);
        form->FileSelPopupMnu->hide();

        // The first empty row below the entries, and further below.
        for (const QPoint p : {belowEntries(form->File1), QPoint(5, form->File1->viewport()->height() - 2)}) {
            sendMouse(viewport, QEvent::MouseButtonPress, Qt::RightButton, p);
            QCOMPARE(visibleItems(form->FileSelPopupMnu),
                     (QStringList{"Select All", "Deselect All", "Inverse Select", "-", "Refresh"}));
            form->FileSelPopupMnu->hide();
        }
        // A left press below the entries changes nothing either.
        sendMouse(viewport, QEvent::MouseButtonPress, Qt::LeftButton, belowEntries(form->File1));
        QCOMPARE(selectedRows(form->File1), before);
        QVERIFY(Prompts::records().isEmpty());
    }

    // The popup's "Add", a double-click on an entry and the Add button each add the selection.
    void addFromPopupAndDoubleClick()
    {
        const QString dir = makeFolder(QStringLiteral("add"), {"a.mpg", "b.mpg"});
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        form->AddFileSelPopupMnu->trigger();
        QCOMPARE(form->packList().fullPaths(), QStringList{dir + QStringLiteral("/a.mpg")});
        const QPoint p = rowCentre(form->File1, 1);
        click(form->File1->viewport(), p);
        sendMouse(form->File1->viewport(), QEvent::MouseButtonDblClick, Qt::LeftButton, p);
        QCOMPARE(form->packList().count(), 2);
        // Not below the entries.
        sendMouse(form->File1->viewport(), QEvent::MouseButtonDblClick, Qt::LeftButton, belowEntries(form->File1));
        QCOMPARE(form->packList().count(), 2);
        form->AddFileToList_Cmb->click();
        QCOMPARE(form->packList().fullPaths(),
                 (QStringList{dir + QStringLiteral("/a.mpg"), dir + QStringLiteral("/b.mpg"),
                              dir + QStringLiteral("/b.mpg")}));
    }

    // --- selection -------------------------------------------------------------------------

    void clicksAndKeysKeepTheMirror()
    {
        const QString dir = makeFolder(QStringLiteral("clicks"), {"a.mpg", "b.mpg", "c.mpg", "d.mpg"});
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        QCOMPARE(form->filesel_lst, QStringList{"a.mpg"});
        QWidget* viewport = form->File1->viewport();

        int clicks = 0;
        connect(form->File1, &FileListBox::click, this, [&clicks] { ++clicks; });
        click(viewport, rowCentre(form->File1, 1));
        QCOMPARE(form->filesel_lst, QStringList{"b.mpg"});
        QCOMPARE(clicks, 1);
        click(viewport, rowCentre(form->File1, 1)); // the entry already selected: a click all the same
        QCOMPARE(clicks, 2);
        click(viewport, rowCentre(form->File1, 3), Qt::ShiftModifier);
        QCOMPARE(form->filesel_lst, (QStringList{"b.mpg", "c.mpg", "d.mpg"}));
        QCOMPARE(form->File1->FileName(), QStringLiteral("d.mpg"));

        // A keyboard move runs the click logic too.
        form->File1->setFocus();
        QTest::keyClick(form->File1, Qt::Key_Up);
        QCOMPARE(form->filesel_lst, QStringList{"c.mpg"});
        QVERIFY(Prompts::records().isEmpty());

        // Deselecting the only selected file leaves nothing selected: the click says so.
        click(viewport, rowCentre(form->File1, 2), Qt::ControlModifier);
        QVERIFY(form->filesel_lst.isEmpty());
        QCOMPARE(Prompts::records(), QStringList{kNoFileSelected});
    }

    void selectAllNoneInverse()
    {
        const QString dir = makeFolder(QStringLiteral("select"), {"a.mpg", "b.mpg", "c.mpg"});
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        QCOMPARE(selectedRows(form->File1), QList<int>{0});

        // Only entry 0 of 3 selected: inverting leaves 1 and 2, in one step without a box.
        form->InvSel_Cmd_Click();
        QCOMPARE(selectedRows(form->File1), (QList<int>{1, 2}));
        QCOMPARE(form->filesel_lst, (QStringList{"b.mpg", "c.mpg"}));
        QCOMPARE(form->File1->ListIndex(), 0);

        form->SelectAllFileSelPopupMnu->trigger();
        QCOMPARE(form->filesel_lst, (QStringList{"a.mpg", "b.mpg", "c.mpg"}));
        // Everything selected: the inverse is empty, still without a box.
        form->InvSelFilePopupMnu->trigger();
        QVERIFY(form->filesel_lst.isEmpty());
        form->ButtonSelectInverse_Img_Click();
        QCOMPARE(form->filesel_lst.size(), 3);
        form->DeSelAllMnu_Click();
        QVERIFY(selectedRows(form->File1).isEmpty());
        QVERIFY(form->filesel_lst.isEmpty());
        form->SelAll_Cmd->click();
        QCOMPARE(form->filesel_lst.size(), 3);
        form->DeSelAll_Cmd->click();
        form->InvSel_Cmd->click();
        QCOMPARE(form->filesel_lst.size(), 3);
        QVERIFY(Prompts::records().isEmpty());
    }

    void refreshReadsTheFolderAgain()
    {
        const QString dir = makeFolder(QStringLiteral("refresh"), {"b.mpg"});
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        kivrotest::writeFile(dir + QStringLiteral("/a.mpg"), "x");
        form->RefreshFileSelPopupMnu->trigger();
        QCOMPARE(entries(form->File1), (QStringList{"a.mpg", "b.mpg"}));
        QCOMPARE(form->filesel_lst, QStringList{"a.mpg"});
        QFile::remove(dir + QStringLiteral("/a.mpg"));
        QFile::remove(dir + QStringLiteral("/b.mpg"));
        form->RefreshMnu_Click();
        QCOMPARE(form->File1->ListCount(), 0);
        QVERIFY(form->filesel_lst.isEmpty());
        QVERIFY(Prompts::records().isEmpty());
    }

    // --- folders ---------------------------------------------------------------------------

    void folderListChainAndSubfolders()
    {
        const QString dir = makeFolder(QStringLiteral("tree/inner"), {"f.mpg"});
        for (const char* sub : {"zeta", "Alpha", ".dot", "beta"})
            QDir().mkpath(dir + QLatin1Char('/') + QLatin1String(sub));
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));

        QStringList chain;
        for (QString p = dir; p != QLatin1String("/"); p = QFileInfo(p).path())
            chain.prepend(p);
        chain.prepend(QStringLiteral("/"));
        QCOMPARE(form->Dir1->chainLength(), chain.size());
        QStringList folders;
        for (int i = 0; i < form->Dir1->count(); ++i)
            folders << form->Dir1->folderAt(i);
        const QStringList expected = chain + QStringList{dir + "/Alpha", dir + "/beta", dir + "/zeta"};
        QCOMPARE(folders, expected);
        QCOMPARE(form->Dir1->item(0)->text(), QStringLiteral("/"));
        QCOMPARE(form->Dir1->currentRow(), chain.size() - 1);
        QCOMPARE(gCurrentDir, dir);
        QCOMPARE(startup::BrowserFolder(), std::optional<QString>(dir)); // stored at shutdown
        QCOMPARE(form->seldirfulltmp_lbl->text(), dir);
        QString shortened;
        FormatDir(dir, shortened, 3800);
        QCOMPARE(form->seldir_lbl->text(), shortened);

        // A double-click on a subfolder goes there; on a folder of the chain back up.
        const int beta = chain.size() + 1;
        const QPoint betaRow = form->Dir1->visualItemRect(form->Dir1->item(beta)).center();
        click(form->Dir1->viewport(), betaRow);
        QCOMPARE(gCurrentDir, dir); // one click only marks the row
        sendMouse(form->Dir1->viewport(), QEvent::MouseButtonDblClick, Qt::LeftButton, betaRow);
        QCOMPARE(gCurrentDir, dir + QStringLiteral("/beta"));
        QCOMPARE(form->File1->ListCount(), 0);
        QVERIFY(form->filesel_lst.isEmpty());
        emit form->Dir1->folderChosen(root);
        QCOMPARE(gCurrentDir, root);
        QCOMPARE(form->File1->Path(), root);

        // The root is "/", and files there join to "/name".
        QVERIFY(form->BrowseTo(QStringLiteral("/")));
        QCOMPARE(gCurrentDir, QStringLiteral("/"));
        QCOMPARE(form->Dir1->count(), 1 + ListSubfolders(QStringLiteral("/")).size());
        QVERIFY(Prompts::records().isEmpty());
    }

    // --- drives ----------------------------------------------------------------------------

    void pseudoFileSystems_data()
    {
        QTest::addColumn<QString>("mountPoint");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<bool>("left");
        QTest::newRow("root on overlay") << "/" << QByteArray("overlay") << false;
        QTest::newRow("home") << "/home" << QByteArray("ext4") << false;
        QTest::newRow("usb stick") << "/media/u/STICK" << QByteArray("vfat") << false;
        QTest::newRow("removable under /run/media") << "/run/media/u/DISC" << QByteArray("udf") << false;
        QTest::newRow("proc") << "/proc" << QByteArray("proc") << true;
        QTest::newRow("tmpfs") << "/dev/shm" << QByteArray("tmpfs") << true;
        QTest::newRow("cgroup") << "/sys/fs/cgroup" << QByteArray("cgroup2") << true;
        QTest::newRow("user runtime") << "/run/user/1000" << QByteArray("ext4") << true;
        QTest::newRow("snap") << "/snap/core/1" << QByteArray("squashfs") << true;
        QTest::newRow("portal") << "/run/user/1000/doc" << QByteArray("fuse.portal") << true;
    }

    void pseudoFileSystems()
    {
        QFETCH(QString, mountPoint);
        QFETCH(QByteArray, type);
        QFETCH(bool, left);
        QCOMPARE(IsPseudoFileSystem(mountPoint, type), left);
    }

    void realVolumesStartWithRoot()
    {
        const QVector<Volume> volumes = VolumeSource().mountedVolumes();
        QVERIFY(!volumes.isEmpty());
        QCOMPARE(volumes.first().root, QStringLiteral("/"));
        QVERIFY(VolumeSource().isMounted(QStringLiteral("/")));
        const QStringList roots{"/", "/media/a", "/media/ab"};
        QCOMPARE(VolumeRootOf(roots, QStringLiteral("/media/ab/x")), QStringLiteral("/media/ab"));
        QCOMPARE(VolumeRootOf(roots, QStringLiteral("/media/abc")), QStringLiteral("/"));
        QCOMPARE(VolumeRootOf(roots, QStringLiteral("/media/a")), QStringLiteral("/media/a"));
    }

    void driveNotReadyRetryAndCancel()
    {
        const QString vol = makeFolder(QStringLiteral("vol"), {"v.mpg"});
        QDir().mkpath(vol + QStringLiteral("/deep"));
        const QString gone = root + QStringLiteral("/gone");
        const QString home = makeFolder(QStringLiteral("home"), {"h.mpg"});
        FakeVolumes volumes;
        volumes.volumes = {{QStringLiteral("/"), QString()}, {gone, QString()}, {vol, QStringLiteral("VOL")}};
        volumes.mounted = {QStringLiteral("/")};
        SetVolumeSource(&volumes);
        auto form = makeForm();
        form->RefreshDriveList();
        QVERIFY(form->BrowseTo(home));
        QCOMPARE(form->Drive1->count(), 3);
        QCOMPARE(form->Drive1->itemText(2), vol + QStringLiteral(" [VOL]"));
        QCOMPARE(form->Drive1->currentData().toString(), QStringLiteral("/"));

        // A volume that is not there: Retry asks again, Cancel keeps the folder and the list
        // names the volume of the folder on show.
        Prompts::queue({QStringLiteral("Retry"), QStringLiteral("Cancel")});
        form->Drive1->setCurrentIndex(1);
        emit form->Drive1->activated(1);
        const QString notReady = QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|The device ") + gone
                                 + QStringLiteral("/ is not ready.|");
        QCOMPARE(Prompts::records(), (QStringList{notReady + "Retry", notReady + "Cancel"}));
        QCOMPARE(gMsgResult, vbCancel);
        QCOMPARE(gCurrentDir, home);
        QCOMPARE(form->Dir1->Path(), home);
        QCOMPARE(form->File1->Path(), home);
        QCOMPARE(form->Drive1->currentData().toString(), QStringLiteral("/"));

        // Mounted while the box is up: Retry goes there.
        Prompts::clearRecords();
        volumes.mountOnProbe.insert(vol, 2);
        Prompts::queue(QStringLiteral("Retry"));
        form->Drive1->setCurrentIndex(2);
        emit form->Drive1->activated(2);
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|The device ")
                                                 + vol + QStringLiteral("/ is not ready.|Retry")});
        QCOMPARE(gCurrentDir, vol);
        QCOMPARE(form->Drive1->currentData().toString(), vol);
        QCOMPARE(form->filesel_lst, QStringList{"v.mpg"});

        // Each volume keeps the folder last shown on it.
        emit form->Dir1->folderChosen(vol + QStringLiteral("/deep"));
        QVERIFY(form->BrowseTo(home));
        QCOMPARE(form->Drive1->currentData().toString(), QStringLiteral("/"));
        form->Drive1->setCurrentIndex(2);
        emit form->Drive1->activated(2);
        QCOMPARE(gCurrentDir, vol + QStringLiteral("/deep"));
        QCOMPARE(form->Drive1->currentData().toString(), vol);

        // The Network picture reads the volumes again.
        volumes.volumes.removeLast();
        form->BrowseTo(home);
        form->Network_Img_Click();
        QCOMPARE(form->Drive1->count(), 2);
        SetVolumeSource(nullptr);
    }

    // --- properties and information --------------------------------------------------------

    void propertiesWithoutFileManager()
    {
        const QString dir = root + QStringLiteral("/props");
        kivrotest::writeFile(dir + QStringLiteral("/a.mpg"), QByteArray(2048, 'a'));
        kivrotest::writeFile(dir + QStringLiteral("/b.mpg"), "b");
        kivrotest::writeFile(dir + QStringLiteral("/c.mpg"), "c");
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        form->SelAll_Cmd_Click();
        form->File1->setCurrentRow(0, QItemSelectionModel::NoUpdate);

        form->FilePropertiesFileSelPopupMnu->trigger();
        const QStringList records = Prompts::records();
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0], QStringLiteral("box|Information|OK|Tesma Kivro Pro|More than 1 file selected. "
                                            "Only last selected file properties will be shown.|OK"));
        QVERIFY2(records[1].startsWith(QStringLiteral("box|Information|OK|Tesma Kivro Pro|Name: a.mpg\\nFolder: ") + dir
                                       + QStringLiteral("\\nType: File\\nSize: 2,048 bytes\\n")),
                 qPrintable(records[1]));
        QVERIFY(records[1].contains(QStringLiteral("\\nModified: ")));
        QVERIFY(records[1].contains(QStringLiteral("\\nPermissions: -rw")));

        // A file gone since it was listed.
        Prompts::clearRecords();
        form->DeSelAll_Cmd_Click();
        QFile::remove(dir + QStringLiteral("/a.mpg"));
        form->FilePropertiesFileSelPopupMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro Pro|'") + dir
                                                 + QStringLiteral("/a.mpg' was not found!|OK")});
    }

    void moreInfoShowsTheFocusedFile()
    {
        const QString dir = root + QStringLiteral("/info");
        kivrotest::writeFile(dir + QStringLiteral("/m.mpg"),
                             QByteArray("\x00\x00\x01\xB3\x2D\x02\x40\x13", 8) + QByteArray(100, '\x55'));
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        form->MoreInfo_Cmd->setEnabled(true);
        form->MoreInfo_Cmd->click();
        QCOMPARE(Prompts::records().size(), 1);
        QVERIFY(Prompts::records()[0].contains(QStringLiteral("Filename: ") + dir + QStringLiteral("/m.mpg\\n")));
        QVERIFY(Prompts::records()[0].contains(QStringLiteral("Video Size: 720x576 (pixels)")));
    }

    void bottomMostWindowsAroundADialog()
    {
        auto form = makeForm();
        gAppPath = QStringLiteral(KIVRO_PROGRAM_DIR); // the tip window's icon and tips
        TipForm()->Unload();
        form->EnableBottomMostFrm(false);
        QVERIFY(!form->isEnabled());
        QVERIFY(!PackListForm()->isEnabled());
        QVERIFY(!TipForm()->isEnabled());
        // The tip window not loaded yet is loaded on the way, and not shown.
        QVERIFY(TipForm()->isLoaded());
        QVERIFY(!TipForm()->isVisible());
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!PackListForm()->isVisible());
        form->EnableBottomMostFrm(true);
        QVERIFY(form->isEnabled() && PackListForm()->isEnabled() && TipForm()->isEnabled());
    }

    void busyWindowDisablesTheBrowser()
    {
        const QString dir = makeFolder(QStringLiteral("busy"), {"a.mpg", "b.mpg"});
        auto form = makeForm();
        QVERIFY(form->BrowseTo(dir));
        form->setBrowserControlsEnabled(false);
        sendMouse(form->File1->viewport(), QEvent::MouseButtonPress, Qt::RightButton, rowCentre(form->File1, 1));
        QVERIFY(!form->FileSelPopupMnu->isVisible());
        form->setBrowserControlsEnabled(true);
        QVERIFY(form->File1->isEnabled() && form->Dir1->isEnabled() && form->Drive1->isEnabled());
    }
};

KIVRO_TEST_MAIN(TestBrowser)
#include "tst_browser.moc"
