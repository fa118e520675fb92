// Adding the browser's selection to the pack list: the refusal with nothing selected, list
// order, repeated adds, the folder of each entry, and the widest-name rule of the pack list.
#include "KivroTest.h"

#include "engine/PackListModel.h"
#include "engine/StringHelpers.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/kivromainfrm.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListGlobals.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"

#include <QDir>

using namespace kivro;

class TestAddFiles : public QObject {
    Q_OBJECT

    QString makeFolder(const QString& name, const QStringList& files)
    {
        const QString dir = kivrotest::rootDir() + QStringLiteral("/add/") + name;
        QDir().mkpath(dir);
        for (const QString& f : files)
            kivrotest::writeFile(dir + QLatin1Char('/') + f, "x");
        return dir;
    }

    // A main window whose browser shows `dir` with every file listed and the given rows selected.
    static void select(kivromainfrm& w, const QList<int>& rows)
    {
        for (int i = 0; i < w.File1->ListCount(); ++i)
            w.File1->setSelected(i, rows.contains(i));
        w.refresh_filesel_lst();
    }

private slots:
    void init() { Prompts::enableScripted(); }

    void nothingSelected()
    {
        kivromainfrm w;
        QVERIFY(w.BrowseTo(makeFolder(QStringLiteral("none"), {"a.mpg"})));
        w.File1->setPattern(QStringLiteral("*.*"));
        select(w, {});
        Prompts::queue(QStringLiteral("OK"));
        w.AddFileToList_Cmb_Click();
        QCOMPARE(Prompts::records(),
                 QStringList{QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|Nothing to add.|OK")});
        QCOMPARE(gMsgResult, vbOK);
        QCOMPARE(w.packList().count(), 0);
    }

    // Selected entries in list order, each time they are added; the selection stays.
    void selectionInOrderEveryTime()
    {
        kivromainfrm w;
        const QString dir = makeFolder(QStringLiteral("order"), {"a.mpg", "b.mpg", "c.mpg", "d.mpg"});
        QVERIFY(w.BrowseTo(dir));
        w.File1->setPattern(QStringLiteral("*.*"));
        select(w, {3, 0, 2});
        w.ButtonAdd_Img_Click();
        w.AddFileToList_Cmb_Click();
        QStringList names;
        for (int i = 0; i < w.packList().count(); ++i) {
            QCOMPARE(w.packList().folder(i), dir + QLatin1Char('/'));
            names << w.packList().name(i);
        }
        QCOMPARE(names, (QStringList{"a.mpg", "c.mpg", "d.mpg", "a.mpg", "c.mpg", "d.mpg"}));
        QCOMPARE(w.filesel_lst, (QStringList{"a.mpg", "c.mpg", "d.mpg"}));
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(PackListForm()->selpos_lst->model()->rowCount(), 6);
    }

    // The root folder is held as "/" and gives the folder "/", never "//".
    void rootFolder()
    {
        kivromainfrm w;
        QVERIFY(w.BrowseTo(makeFolder(QStringLiteral("root"), {"x.mpg"})));
        w.File1->setPattern(QStringLiteral("*.*"));
        select(w, {0});
        gCurrentDir = QStringLiteral("/");
        w.AddFileToList_Cmb_Click();
        QCOMPARE(w.packList().fullPaths(), QStringList{QStringLiteral("/x.mpg")});
    }

    // A name wider than 3,800 twips and wider than every name before it sets the extent; a
    // narrower one changes nothing; adding never narrows it.
    void widestNameSetsTheExtent()
    {
        const QString wide = QString(80, QLatin1Char('w')) + QStringLiteral(".mpg");
        const QString wider = QString(90, QLatin1Char('w')) + QStringLiteral(".mpg");
        const QString middle = QString(85, QLatin1Char('w')) + QStringLiteral(".mpg");
        QVERIFY(TextWidthTwips(wide) > 3800);
        kivromainfrm w;
        QVERIFY(w.BrowseTo(makeFolder(QStringLiteral("wide"), {"a.mpg", wide, wider, middle})));
        w.File1->setPattern(QStringLiteral("*.*"));
        const auto rowOf = [&w](const QString& name) {
            for (int i = 0; i < w.File1->ListCount(); ++i)
                if (w.File1->List(i) == name)
                    return i;
            return -1;
        };

        select(w, {rowOf(QStringLiteral("a.mpg"))});
        w.AddFileToList_Cmb_Click();
        QCOMPARE(w.PackListMaxWidth(), 0);
        QCOMPARE(PackListForm()->selpos_lst->horizontalExtent(), 0);

        select(w, {rowOf(wide)});
        w.AddFileToList_Cmb_Click();
        QCOMPARE(w.PackListMaxWidth(), TextWidthTwips(wide));
        QCOMPARE(PackListForm()->selpos_lst->horizontalExtent(), Brovletfrm::ExtentForWidth(TextWidthTwips(wide)));

        select(w, {rowOf(wider), rowOf(middle)});
        w.AddFileToList_Cmb_Click();
        QCOMPARE(w.PackListMaxWidth(), TextWidthTwips(wider));
        QCOMPARE(PackListForm()->selpos_lst->horizontalExtent(), Brovletfrm::ExtentForWidth(TextWidthTwips(wider)));
    }
};

KIVRO_TEST_MAIN(TestAddFiles)
#include "tst_addfiles.moc"
