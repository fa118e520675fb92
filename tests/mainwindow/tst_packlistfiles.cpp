// Pack-list files and sorting through the real main window (offscreen): the pack-list window's
// pictures reach the main window's dialogs, which are owned by it and disable the windows around
// them; a list saved there loads back through the shown open dialog.
#include "KivroTest.h"

#include "engine/PackListModel.h"
#include "mainwindow/kivromainfrm.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListGlobals.h"
#include "platform/Globals.h"
#include "platform/SkinImage.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

using namespace kivro;

class TestPackListFiles : public QObject {
    Q_OBJECT

    QString dir;

private slots:
    // The dialogs load the tip window on the way, and its icon file lies in the program folder.
    void initTestCase() { gAppPath = QStringLiteral(KIVRO_PROGRAM_DIR); }

    void init()
    {
        Prompts::enableScripted();
        dir = kivrotest::rootDir() + QStringLiteral("/lists-")
              + QString::number(QRandomGenerator::global()->generate());
        QDir().mkpath(dir);
    }

    void saveSortAndLoadBack()
    {
        kivromainfrm w;
        Brovletfrm* f = PackListForm();
        QStringList paths;
        for (const char* name : {"b.mpg", "c.mpg", "a.mpg"}) {
            paths << dir + QLatin1Char('/') + QLatin1String(name);
            kivrotest::writeFile(paths.last(), name);
            w.packList().append(dir + QLatin1Char('/'), QLatin1String(name));
        }
        QTest::mouseClick(f->ButtonDescending_Img, Qt::LeftButton);
        QCOMPARE(w.packList().fullPaths(), (QStringList{paths.at(1), paths.at(0), paths.at(2)}));

        // While the dialog is up, the main window and the pack-list window take nothing.
        bool enabledDuringDialog = true;
        Prompts::setRecordObserver([&](const QString& line) {
            if (line.startsWith(QLatin1String("dialog|")))
                enabledDuringDialog = w.isEnabled() || f->isEnabled();
        });
        const QString list = dir + QStringLiteral("/my list.qvt");
        Prompts::queue(list);
        QTest::mouseClick(f->BrovletMenu_Save_Img, Qt::LeftButton);
        Prompts::setRecordObserver({});
        QVERIFY(!enabledDuringDialog);
        QVERIFY(w.isEnabled() && f->isEnabled());
        QCOMPARE(Prompts::records(),
                 QStringList{QStringLiteral("dialog|Save Pack List As|") + list + QStringLiteral("|create confirmed")});
        QCOMPARE(kivrotest::readFile(list),
                 QFile::encodeName(paths.at(1) + QStringLiteral("\r\n") + paths.at(0) + QStringLiteral("\r\n")
                                   + paths.at(2) + QStringLiteral("\r\n")));
        QVERIFY(f->WhichFileLbl->text().isEmpty());

        // Append through the shown open dialog: its title and filter, the path typed in.
        Prompts::disableScripted();
        QString title;
        QStringList filters;
        kivrotest::whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) {
                dialog->reject();
                return;
            }
            name->setText(list);
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(f->BrovletMenu_Append_Img, Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Append which Pack List?"));
        QCOMPARE(filters.value(0), QStringLiteral("Kivro Pack List (*.qvt) (*.qvt)"));
        QCOMPARE(w.packList().fullPaths(),
                 (QStringList{paths.at(1), paths.at(0), paths.at(2), paths.at(1), paths.at(0), paths.at(2)}));
        QVERIFY(w.isEnabled() && f->isEnabled());
        QVERIFY(f->WhichFileLbl->text().isEmpty());
    }
};

KIVRO_TEST_MAIN(TestPackListFiles)
#include "tst_packlistfiles.moc"
