// The save-as box through the real main window (offscreen): the "Save Pack File As" dialog from
// the button, the menu item and the handler, its cancel, the stored file types it offers and
// filters by, "LastSavedDir", drops on the box, and the save dialog's purposes.
#include "KivroTest.h"
#include "StoredSettings.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Tipfrm.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/commondialogbas.h"
#include "mainwindow/kivromainfrm.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/Globals.h"
#include "platform/Paths.h"
#include "platform/Volumes.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <functional>

using namespace kivro;

namespace {

QString setting(const QString& name)
{
    return kivrotest::storedSetting(name, QStringLiteral("<none>"));
}
using kivrotest::whenModal;

// The files the dialog's list shows as choosable.
QStringList shownFiles(QFileDialog* dialog)
{
    QStringList names;
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!view)
        return names;
    QAbstractItemModel* model = view->model();
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
        const QModelIndex index = model->index(row, 0, root);
        if (model->flags(index) & Qt::ItemIsEnabled)
            names << index.data().toString();
    }
    names.sort();
    return names;
}

// What the save dialog's type box offers, and the files each chosen row shows: the dialog opened
// by `open`, its folder set to `dir`, the rows of `choices` chosen in turn (each with the number
// of files it should show), then cancelled. `whileOpen` runs first, with the dialog up.
struct TypeBoxVisit {
    QStringList offered;
    QList<QStringList> shown;
};
TypeBoxVisit visitTypeBox(const std::function<void()>& open, const QString& dir,
                          const QList<std::pair<int, int>>& choices,
                          const std::function<void(QFileDialog*)>& whileOpen = {})
{
    TypeBoxVisit visit;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        if (whileOpen)
            whileOpen(dialog);
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (!combo) {
            dialog->reject();
            return;
        }
        for (int i = 0; i < combo->count(); ++i)
            visit.offered << combo->itemText(i);
        dialog->setDirectory(dir);
        for (const auto& [index, expectedCount] : choices) {
            combo->setCurrentIndex(index);
            emit combo->activated(index);
            (void)QTest::qWaitFor([&] { return shownFiles(dialog).size() == expectedCount; }, 5000);
            visit.shown << shownFiles(dialog);
        }
        dialog->reject();
    });
    open();
    return visit;
}

QMimeData* fileDrop(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

} // namespace

class TestSaveAs : public QObject {
    Q_OBJECT

    QString root;
    QString usb;

private slots:
    void initTestCase()
    {
        // The dialogs' EnableBottomMostFrm loads the tip window when it is not loaded: load it once
        // from the program folder, where its icon file is.
        gAppPath = QStringLiteral(KIVRO_PROGRAM_DIR);
        TipForm()->Load();
        root = kivrotest::rootDir();
        usb = root + QStringLiteral("/media/usb");
        kivrotest::writeFile(usb + QStringLiteral("/Video/Part/clip.mpg"), "clip");
        kivrotest::writeFile(usb + QStringLiteral("/Video/Part/other.mpg"), "other");
        QFile::link(root + QStringLiteral("/gone.mpg"), usb + QStringLiteral("/Video/dangling.mpg"));
        for (const char* name : {"a.mpg", "b.mpeg", "c.mpe", "d.avi", "noext", "e.MPG", "f.mp3"})
            kivrotest::writeFile(root + QStringLiteral("/types/") + QLatin1String(name), "x");
    }
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
        ResetFileFilter();
        Registry::RegWriteString(Registry::HKEY_CURRENT_USER, Registry::kKivroKey, QStringLiteral("fCheck"),
                                 QStringLiteral("fPass"));
        gSaveAsFileSaved = false;
        win::InjectVolumeRoot(QString());
    }

    void dialogFillsTheBox_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("Browse button") << "button";
        QTest::newRow("Save As... item") << "menu";
        QTest::newRow("handler") << "handler";
    }
    void dialogFillsTheBox()
    {
        QFETCH(QString, route);
        kivromainfrm w;
        QCOMPARE(w.Browse_cmd->text(), QStringLiteral("..."));
        QCOMPARE(w.Browse_cmd->toolTip(), QStringLiteral("Browse"));
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/old/default.mpg"));
        gSaveAsFileSaved = true;
        const QString chosen = root + QStringLiteral("/out dir/ my pack .mpg");
        Prompts::queue(chosen);
        if (route == QLatin1String("button"))
            w.Browse_cmd->click();
        else if (route == QLatin1String("menu"))
            w.SaveAsMnu->trigger();
        else
            w.Browse_cmd_Click();
        QCOMPARE(w.SaveAsNewFilename_txt->text(), chosen);
        QVERIFY(!gSaveAsFileSaved);
        QCOMPARE(setting(QStringLiteral("LastSavedDir")), root + QStringLiteral("/out dir"));
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("dialog|Save Pack File As|") + chosen
                                                 + QStringLiteral("|create confirmed")});
    }

    void replacingAFileIsConfirmedByTheAnswer()
    {
        kivromainfrm w;
        const QString chosen = usb + QStringLiteral("/Video/Part/clip.mpg");
        Prompts::queue(chosen);
        w.Browse_cmd_Click();
        QCOMPARE(w.SaveAsNewFilename_txt->text(), chosen);
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("dialog|Save Pack File As|") + chosen
                                                 + QStringLiteral("|replace confirmed")});
    }

    void cancelledDialogKeepsTheBoxAndTheProtection_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("lastSavedDir");
        QTest::newRow("folder") << "/t/v/out.mpg"
                                << "/t/v";
        QTest::newRow("root") << "/x.mpg"
                              << "/";
        QTest::newRow("no folder") << "out.mpg"
                                   << "<none>";
        QTest::newRow("empty") << ""
                               << "<none>";
    }
    void cancelledDialogKeepsTheBoxAndTheProtection()
    {
        QFETCH(QString, box);
        QFETCH(QString, lastSavedDir);
        kivromainfrm w;
        w.SaveAsNewFilename_txt->setText(box);
        gSaveAsFileSaved = true;
        Prompts::queue(QString());
        w.Browse_cmd_Click();
        QCOMPARE(w.SaveAsNewFilename_txt->text(), box);
        QVERIFY(gSaveAsFileSaved);
        QCOMPARE(setting(QStringLiteral("LastSavedDir")), lastSavedDir);
        // Typing into the box does not clear it either.
        w.SaveAsNewFilename_txt->setFocus();
        QTest::keyClicks(w.SaveAsNewFilename_txt, QStringLiteral("x"));
        QCOMPARE(w.SaveAsNewFilename_txt->text(), box + QStringLiteral("x"));
        QVERIFY(gSaveAsFileSaved);
    }

    void damagedFileTypesAreRepairedFirst()
    {
        kivromainfrm w;
        QSettings ini(paths::settingsFile(), QSettings::IniFormat);
        ini.remove(QStringLiteral("General/NoOfFilter"));
        ini.sync();
        w.Browse_cmd_Click();
        QCOMPARE(Prompts::records(),
                 (QStringList{QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|Your custom FileType information is "
                                             "tampered or deleted. Default FileType is replaced.|OK"),
                              QStringLiteral("dialog|Save Pack File As|")}));
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), QStringLiteral("3"));
    }

    void dialogOffersTheStoredTypesAndFiltersByThem()
    {
        Prompts::disableScripted();
        kivromainfrm w;
        // A type whose description and patterns are both empty is not offered.
        QSettings ini(paths::settingsFile(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("General/NoOfFilter"), QStringLiteral("4"));
        ini.setValue(QStringLiteral("Filter/4"), QStringLiteral("*.mp3"));
        ini.setValue(QStringLiteral("FilterInfo/4"), QStringLiteral("Music"));
        ini.setValue(QStringLiteral("Filter/2"), QString());
        ini.setValue(QStringLiteral("FilterInfo/2"), QString());
        ini.sync();
        bool othersDisabled = false, dialogEnabled = false;
        const TypeBoxVisit visit = visitTypeBox([&] { w.Browse_cmd_Click(); }, root + QStringLiteral("/types"),
                                                {{1, 7}, {0, 4}, {2, 1}},
                                                [&](QFileDialog* dialog) {
                                                    othersDisabled = !w.isEnabled() && !PackListForm()->isEnabled();
                                                    dialogEnabled = dialog->isEnabled();
                                                });
        const QStringList offered = visit.offered;
        const QStringList allFiles = visit.shown.value(0), mpegFiles = visit.shown.value(1),
                          musicFiles = visit.shown.value(2);
        QCOMPARE(offered, (QStringList{"Mpeg (*.mpg,*.mpeg,*.mpe)", "All Files (*.*)", "Music (*.mp3)"}));
        QCOMPARE(allFiles, (QStringList{"a.mpg", "b.mpeg", "c.mpe", "d.avi", "e.MPG", "f.mp3", "noext"}));
        QCOMPARE(mpegFiles, (QStringList{"a.mpg", "b.mpeg", "c.mpe", "e.MPG"}));
        QCOMPARE(musicFiles, QStringList{"f.mp3"});
        // The other windows are disabled around the dialog, which itself stays usable.
        QVERIFY(othersDisabled);
        QVERIFY(dialogEnabled);
        QVERIFY(w.isEnabled() && PackListForm()->isEnabled());
    }

    // Types stored by an earlier build, or by hand, may hold a "|" or a ")": each is offered as
    // it stands, no later type is shifted, and each row filters by its own patterns.
    void storedTypesAreOfferedAsTyped()
    {
        Prompts::disableScripted();
        kivromainfrm w;
        QSettings ini(paths::settingsFile(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("General/NoOfFilter"), QStringLiteral("4"));
        ini.setValue(QStringLiteral("FilterInfo/1"), QStringLiteral("Mpeg|Video"));
        ini.setValue(QStringLiteral("FilterInfo/2"), QStringLiteral("Sound :)"));
        ini.setValue(QStringLiteral("Filter/2"), QStringLiteral("*.mp3"));
        ini.setValue(QStringLiteral("FilterInfo/3"), QStringLiteral("Odd"));
        ini.setValue(QStringLiteral("Filter/3"), QStringLiteral("*.a|*.b"));
        ini.setValue(QStringLiteral("FilterInfo/4"), QStringLiteral("All  Files"));
        ini.setValue(QStringLiteral("Filter/4"), QStringLiteral("*.*"));
        ini.sync();
        const TypeBoxVisit visit = visitTypeBox([&] { w.Browse_cmd_Click(); }, root + QStringLiteral("/types"),
                                                {{3, 7}, {0, 4}, {1, 1}});
        const QStringList offered = visit.offered;
        const QStringList allFiles = visit.shown.value(0), mpegFiles = visit.shown.value(1),
                          soundFiles = visit.shown.value(2);
        QCOMPARE(offered, (QStringList{"Mpeg|Video (*.mpg,*.mpeg,*.mpe)", "Sound :) (*.mp3)", "Odd (*.a|*.b)",
                                       "All  Files (*.*)"}));
        QCOMPARE(mpegFiles, (QStringList{"a.mpg", "b.mpeg", "c.mpe", "e.MPG"}));
        QCOMPARE(soundFiles, QStringList{"f.mp3"});
        QCOMPARE(allFiles, (QStringList{"a.mpg", "b.mpeg", "c.mpe", "d.avi", "e.MPG", "f.mp3", "noext"}));
    }

    // Through the dialog itself, confirmed with Enter: a name typed without an extension takes
    // the selected type's first extension ("*.*" adds none); the question that follows has Yes
    // as its default button when it asks to create the file, No when it asks to replace one.
    void typedNameTakesTheTypesExtension_data()
    {
        QTest::addColumn<int>("type"); // row of the type box
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("box"); // the save-as box afterwards, "<dir>/..."
        const QString create = QStringLiteral("'%1' does not exist.\nCreate the file?");
        QTest::newRow("Mpeg, no extension") << 0 << "joined" << create.arg("joined.mpg") << "<dir>/joined.mpg";
        QTest::newRow("Mp3, no extension") << 1 << "joined" << create.arg("joined.mp3") << "<dir>/joined.mp3";
        QTest::newRow("All Files, no extension") << 2 << "joined" << create.arg("joined") << "<dir>/joined";
        QTest::newRow("Mpeg, an extension of its own")
            << 0 << "joined.avi" << create.arg("joined.avi") << "<dir>/joined.avi";
        QTest::newRow("Mpeg, names an existing file") << 0 << "a"
                                                      << "a.mpg already exists.\nDo you want to replace it?"
                                                      << "/keep/box.mpg";
    }
    void typedNameTakesTheTypesExtension()
    {
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(QString, question);
        QFETCH(QString, box);
        const QString dir = root + QStringLiteral("/types");
        box.replace(QStringLiteral("<dir>"), dir);
        Prompts::disableScripted();
        kivromainfrm w;
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/keep/box.mpg"));
        QString asked;
        QMessageBox::StandardButton byDefault = QMessageBox::NoButton;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!combo || !name) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(dir);
            combo->setCurrentIndex(type);
            emit combo->activated(type);
            name->setFocus();
            QTest::keyClicks(name, typed);
            whenModal<QMessageBox>([&](QMessageBox* replaceBox) {
                asked = replaceBox->text();
                byDefault = replaceBox->standardButton(replaceBox->defaultButton());
                QTest::keyClick(replaceBox, Qt::Key_Return);
            });
            QTest::keyClick(name, Qt::Key_Return);
            // After a No the dialog is still open.
            if (dialog->isVisible())
                dialog->reject();
        });
        w.Browse_cmd_Click();
        QCOMPARE(asked, question);
        QCOMPARE(byDefault, box.startsWith(dir) ? QMessageBox::Yes : QMessageBox::No);
        QCOMPARE(w.SaveAsNewFilename_txt->text(), box);
        QVERIFY(!QFileInfo::exists(dir + QStringLiteral("/joined.mpg")));
    }

    void drop_data()
    {
        QTest::addColumn<QStringList>("files");  // a file list, or none (plain text)
        QTest::addColumn<QString>("volumeRoot"); // injected; empty: the mount table
        QTest::addColumn<QString>("box");        // before the drop
        QTest::addColumn<QString>("newBox");
        QTest::addColumn<QString>("lastSavedDir");
        QTest::addColumn<QString>("record");
        const QString clip = "<usb>/Video/Part/clip.mpg";
        QTest::newRow("file, writable volume root") << QStringList{clip} << "<usb>"
                                                    << "/keep/box.mpg"
                                                    << "<usb>/clip.mpg"
                                                    << "<usb>"
                                                    << "";
        QTest::newRow("several files: the first") << QStringList{"<usb>/Video/Part/other.mpg", clip} << "<usb>"
                                                  << "/keep/box.mpg"
                                                  << "<usb>/other.mpg"
                                                  << "<usb>"
                                                  << "";
        QTest::newRow("volume root not writable: home folder") << QStringList{clip} << "<root>/no such mount"
                                                               << "/keep/box.mpg"
                                                               << "<root>/clip.mpg"
                                                               << "<root>"
                                                               << "";
        QTest::newRow("folder") << QStringList{"<usb>/Video"} << "<usb>"
                                << "/keep/box.mpg"
                                << "/keep/box.mpg"
                                << "/keep"
                                << "box|Information|OK|Tesma Kivro Pro|'<usb>/Video' is a directory.|OK";
        QTest::newRow("missing file") << QStringList{"<usb>/none.mpg"} << "<usb>"
                                      << "/keep/box.mpg"
                                      << "/keep/box.mpg"
                                      << "<none>"
                                      << "box|Critical|OK|Tesma Kivro Pro|'<usb>/none.mpg' was not found!|OK";
        QTest::newRow("dangling link")
            << QStringList{"<usb>/Video/dangling.mpg"} << "<usb>"
            << "/keep/box.mpg"
            << "/keep/box.mpg"
            << "<none>"
            << "box|Critical|OK|Tesma Kivro Pro|'<usb>/Video/dangling.mpg' was not found!|OK";
        QTest::newRow("plain text") << QStringList() << ""
                                    << "/keep/box.mpg"
                                    << "/keep/box.mpg"
                                    << "/keep"
                                    << "";
        QTest::newRow("plain text, box at the root") << QStringList() << ""
                                                     << "/x.mpg"
                                                     << "/x.mpg"
                                                     << "/"
                                                     << "";
    }
    void drop()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, volumeRoot);
        QFETCH(QString, box);
        QFETCH(QString, newBox);
        QFETCH(QString, lastSavedDir);
        QFETCH(QString, record);
        auto fill = [this](QString s) {
            return s.replace(QStringLiteral("<usb>"), usb).replace(QStringLiteral("<root>"), root);
        };
        for (QString& f : files)
            f = fill(f);
        win::InjectVolumeRoot(fill(volumeRoot));
        kivromainfrm w;
        w.SaveAsNewFilename_txt->setText(box);
        gSaveAsFileSaved = true;
        std::unique_ptr<QMimeData> data(fileDrop(files));
        if (files.isEmpty())
            data->setText(QStringLiteral("/some/text.mpg"));
        w.SaveAsNewFilename_txt_OLEDragDrop(data.get());
        QCOMPARE(w.SaveAsNewFilename_txt->text(), fill(newBox));
        QCOMPARE(setting(QStringLiteral("LastSavedDir")), fill(lastSavedDir));
        QCOMPARE(Prompts::records(), record.isEmpty() ? QStringList() : QStringList{fill(record)});
        QVERIFY(gSaveAsFileSaved);
    }

    void dropEventReachesOnlyTheHandler()
    {
        win::InjectVolumeRoot(usb);
        kivromainfrm w;
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/keep/box.mpg"));
        std::unique_ptr<QMimeData> data(fileDrop({usb + QStringLiteral("/Video/Part/clip.mpg")}));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.SaveAsNewFilename_txt, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.SaveAsNewFilename_txt, &drop);
        QCOMPARE(w.SaveAsNewFilename_txt->text(), usb + QStringLiteral("/clip.mpg"));
        QCOMPARE(setting(QStringLiteral("LastSavedDir")), usb);
    }

    void saveDialogPurposes_data()
    {
        QTest::addColumn<QString>("purpose");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("label");
        QTest::newRow("SavePackFile") << "SavePackFile"
                                      << "/t/list.qvt"
                                      << "before";
        QTest::newRow("SavePackList") << "SavePackList"
                                      << "/keep/box.mpg"
                                      << "/t/list.qvt";
        QTest::newRow("other purpose") << "savepackfile"
                                       << "/keep/box.mpg"
                                       << "before";
    }
    void saveDialogPurposes()
    {
        QFETCH(QString, purpose);
        QFETCH(QString, box);
        QFETCH(QString, label);
        kivromainfrm w;
        w.SaveAsNewFilename_txt->setText(QStringLiteral("/keep/box.mpg"));
        PackListForm()->WhichFileLbl->setText(QStringLiteral("before"));
        Prompts::queue(QStringLiteral("/t/list.qvt"));
        QVERIFY(commondialogbas::ShowSaveDialog(&w, QStringLiteral("Kivro Pack List (*.qvt)|*.qvt|All Files (*.*)|*.*"),
                                                QStringLiteral("Save Pack List As"), QString(), purpose));
        QCOMPARE(w.SaveAsNewFilename_txt->text(), box);
        QCOMPARE(PackListForm()->WhichFileLbl->text(), label);
    }

    void openDialogFillsThePackListLabel()
    {
        kivromainfrm w;
        PackListForm()->WhichFileLbl->setText(QStringLiteral("before"));
        Prompts::queue({QString(), QStringLiteral("/t/list.qvt")});
        const QString filter = QStringLiteral("Kivro Pack List (*.qvt)|*.qvt|All Files (*.*)|*.*");
        QVERIFY(!commondialogbas::ShowOpenDialog(nullptr, filter, QStringLiteral("Load which Pack List?"), QString()));
        QCOMPARE(PackListForm()->WhichFileLbl->text(), QStringLiteral("before"));
        QVERIFY(commondialogbas::ShowOpenDialog(nullptr, filter, QStringLiteral("Append which Pack List?"), QString()));
        QCOMPARE(PackListForm()->WhichFileLbl->text(), QStringLiteral("/t/list.qvt"));
        QCOMPARE(commondialogbas::DialogFilter(filter),
                 QStringLiteral("Kivro Pack List (*.qvt)") + QChar(0) + QStringLiteral("*.qvt") + QChar(0)
                     + QStringLiteral("All Files (*.*)") + QChar(0) + QStringLiteral("*.*") + QChar(0));
    }
};

KIVRO_TEST_MAIN(TestSaveAs)
#include "tst_saveas.moc"
