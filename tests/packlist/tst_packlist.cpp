// The pack-list window's editing of the pack list: remove, select, clear lost links, clear,
// scroll, move up and down, sort, keys, double-click, popup menu, tooltip, and the widest-name
// tracking that drives the list's horizontal extent; saving, loading and appending pack-list
// files.
#include "FakePackListHost.h"
#include "KivroTest.h"

#include "engine/MainWindowHosts.h"
#include "engine/PackListModel.h"
#include "engine/StringHelpers.h"
#include "packlist/Brovletfrm.h"
#include "platform/SkinImage.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListGlobals.h"
#include "packlist/PackListFile.h"
#include "packlist/PackListHost.h"
#include "packlist/QuickSort.h"
#include "platform/FileDialogs.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

#include <sys/stat.h>
#include <unistd.h>

using namespace kivro;

namespace {

using FakeHost = kivrotest::FakePackListHost;

const QString kPackListFilter = QStringLiteral("Kivro Pack List (*.qvt)|*.qvt|All Files (*.*)|*.*");

const QString kNothingToSwap = QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|Nothing to swap.|OK");
const QString kNothingToRemove = QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|Nothing to remove.|OK");

void sendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, const QPoint& pos)
{
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestPackList : public QObject {
    Q_OBJECT

    FakeHost* host = nullptr;
    Brovletfrm* form = nullptr;
    QString dir;

    // "A B* C" : entries A, B, C (folder "/dA/" for A, ...), B selected.
    void fill(const QString& entries)
    {
        const QStringList tokens = entries.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& t : tokens) {
            const QString name = t.endsWith(QLatin1Char('*')) ? t.chopped(1) : t;
            host->model.append(QStringLiteral("/d%1/").arg(name), name);
        }
        for (int i = 0; i < tokens.size(); ++i)
            form->selpos_lst->setSelected(i, tokens.at(i).endsWith(QLatin1Char('*')));
    }

    // The list as "A B* C", checking on the way that every name kept its own folder.
    QString state() const
    {
        QStringList out;
        for (int i = 0; i < host->model.count(); ++i) {
            const QString name = host->model.name(i);
            if (host->model.folder(i) != QStringLiteral("/d%1/").arg(name))
                return QStringLiteral("folder of %1 is %2").arg(name, host->model.folder(i));
            out << name + (form->selpos_lst->Selected(i) ? QStringLiteral("*") : QString());
        }
        return out.join(QLatin1Char(' '));
    }

    int row(const QString& name) const
    {
        for (int i = 0; i < host->model.count(); ++i)
            if (host->model.name(i) == name)
                return i;
        return -1;
    }

    QPoint rowCenter(int r) const
    {
        form->selpos_lst->doItemsLayout();
        return form->selpos_lst->visualRect(host->model.index(r)).center();
    }

    QString touch(const QString& name)
    {
        const QString path = dir + QLatin1Char('/') + name;
        kivrotest::writeFile(path, QByteArray("x"));
        return path;
    }

private slots:
    void init()
    {
        Prompts::enableScripted();
        host = new FakeHost;
        form = new Brovletfrm(*host);
        host->form = form;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        dir = kivrotest::rootDir() + QStringLiteral("/files-")
              + QString::number(QRandomGenerator::global()->generate());
        QDir().mkpath(dir);
    }
    void cleanup()
    {
        delete form;
        delete host;
        form = nullptr;
        host = nullptr;
        QDir(dir).removeRecursively();
    }

    // --- moves --------------------------------------------------------------------------------

    void moves_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("caret");
        QTest::addColumn<QString>("moves");
        QTest::addColumn<QString>("after");
        QTest::newRow("block moves down") << "A B C* D* E"
                                          << "C"
                                          << "down"
                                          << "A B E C* D*";
        QTest::newRow("block at the end stays") << "A B C* D* E"
                                                << "C"
                                                << "down down"
                                                << "A B E C* D*";
        QTest::newRow("two singles down") << "A B* C D* E"
                                          << "B"
                                          << "down"
                                          << "A C B* E D*";
        QTest::newRow("blocks move up") << "A B* C D* E*"
                                        << "D"
                                        << "up"
                                        << "B* A D* E* C";
        QTest::newRow("first moves, last stays") << "A* B C D E*"
                                                 << "A"
                                                 << "down"
                                                 << "B A* C D E*";
        QTest::newRow("caret on the last row: down does nothing") << "A B* C D E*"
                                                                  << "E"
                                                                  << "down"
                                                                  << "A B* C D E*";
        QTest::newRow("caret on the last row: up works") << "A B* C D E*"
                                                         << "E"
                                                         << "up"
                                                         << "B* A C E* D";
        QTest::newRow("caret on the first row: up does nothing") << "A* B C* D E"
                                                                 << "A"
                                                                 << "up"
                                                                 << "A* B C* D E";
        QTest::newRow("block at the top stays") << "A* B* C D E"
                                                << "B"
                                                << "up"
                                                << "A* B* C D E";
        QTest::newRow("down then up restores") << "A B* C D E"
                                               << "B"
                                               << "down up"
                                               << "A B* C D E";
    }
    void moves()
    {
        QFETCH(QString, before);
        QFETCH(QString, caret);
        QFETCH(QString, moves);
        QFETCH(QString, after);
        fill(before);
        form->selpos_lst->setListIndex(row(caret));
        for (const QString& m : moves.split(QLatin1Char(' ')))
            m == QLatin1String("down") ? form->selposdown_cmd_Click() : form->selposup_cmd_Click();
        QCOMPARE(state(), after);
        QVERIFY(Prompts::records().isEmpty());
    }

    void imagesAndMenuItemsMoveToo()
    {
        fill(QStringLiteral("A B* C"));
        form->selpos_lst->setListIndex(1);
        QTest::mouseClick(form->ButtonSwapDown_Img, Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("A C B*"));
        QTest::mouseClick(form->ButtonSwapUp_Img, Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("A B* C"));
        form->MoveUpPackWhatSelPopupMnu->trigger();
        QCOMPARE(state(), QStringLiteral("B* A C"));
        form->selpos_lst->setListIndex(0);
        form->MoveDownPackWhatSelPopupMnu->trigger();
        QCOMPARE(state(), QStringLiteral("A B* C"));
    }

    void nothingToSwap_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("down");
        QTest::newRow("empty, down") << "" << true;
        QTest::newRow("empty, up") << "" << false;
        QTest::newRow("none selected, down") << "A B C" << true;
        QTest::newRow("none selected, up") << "A B C" << false;
    }
    void nothingToSwap()
    {
        QFETCH(QString, before);
        QFETCH(bool, down);
        fill(before);
        form->selpos_lst->setListIndex(1);
        gMsgResult = 0;
        down ? form->selposdown_cmd_Click() : form->selposup_cmd_Click();
        QCOMPARE(Prompts::records(), QStringList{kNothingToSwap});
        QCOMPARE(gMsgResult, vbOK);
        QCOMPARE(state(), before);
    }

    // --- remove and select --------------------------------------------------------------------

    void removeTakesExactlyTheSelectedEntries()
    {
        fill(QStringLiteral("A B* C* D E* F"));
        form->selpos_lst->setListIndex(2);
        QTest::mouseClick(form->ButtonRemove_Img, Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("A D F"));
        QVERIFY(Prompts::records().isEmpty());
        form->selpos_lst->setSelected(0, true);
        form->RemovePackWhatSelPopupMnu->trigger();
        QCOMPARE(state(), QStringLiteral("D F"));
    }

    void removeWithNothingSelected_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("empty list") << "";
        QTest::newRow("none selected") << "A B";
    }
    void removeWithNothingSelected()
    {
        QFETCH(QString, before);
        fill(before);
        host->maxWidth = 4000;
        form->RemoveFileFromList_Cmd->click();
        QCOMPARE(Prompts::records(), QStringList{kNothingToRemove});
        QCOMPARE(state(), before);
        QCOMPARE(host->maxWidth, 4000);
    }

    void selectAllNoneInverse()
    {
        fill(QStringLiteral("A B* C D*"));
        form->InvSel_Cmd->click();
        QCOMPARE(state(), QStringLiteral("A* B C* D"));
        QTest::mouseClick(form->ButtonSelectInverse_Img, Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("A B* C D*"));
        QTest::mouseClick(form->ButtonSelectAll_Img, Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("A* B* C* D*"));
        form->DeSelAll_Cmd->click();
        QCOMPARE(state(), QStringLiteral("A B C D"));
        form->SelectAllPackWhatSelPopupMnu->trigger();
        QCOMPARE(state(), QStringLiteral("A* B* C* D*"));
        QTest::mouseClick(form->ButtonDeselectAll_Img, Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("A B C D"));
        host->model.clear();
        form->SelAll_Cmd->click();
        form->InvSel_Cmd->click();
        form->DeselectAllPackWhatSelPopupMnu->trigger();
        QCOMPARE(state(), QString());
        QVERIFY(Prompts::records().isEmpty());
    }

    // --- widest-name tracking -----------------------------------------------------------------

    void addRule_data()
    {
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<int>("extent");
        QTest::newRow("exactly 3800") << QList<int>{3800} << 0 << 0;
        QTest::newRow("3815 gives 264 pixels") << QList<int>{3815} << 3815 << 264;
        QTest::newRow("a narrower one after changes nothing") << QList<int>{3815, 3810} << 3815 << 264;
        QTest::newRow("a wider one after") << QList<int>{3815, 6000} << 6000 << 410;
        QTest::newRow("3832 gives 265 pixels") << QList<int>{3832} << 3832 << 265; // 265.47
    }
    void addRule()
    {
        QFETCH(QList<int>, widths);
        QFETCH(int, maxWidth);
        QFETCH(int, extent);
        for (int i = 0; i < widths.size(); ++i) {
            const QString name = QStringLiteral("N%1").arg(i);
            host->widths[name] = widths.at(i);
            host->model.append(QStringLiteral("/dN%1/").arg(i), name);
            form->ApplyAddRule(name);
        }
        QCOMPARE(host->maxWidth, maxWidth);
        QCOMPARE(form->selpos_lst->horizontalExtent(), extent);
    }

    void extentRounding()
    {
        QCOMPARE(Brovletfrm::ExtentForWidth(3815), 264); // 264.33
        QCOMPARE(Brovletfrm::ExtentForWidth(3967), 274); // 274.47
        QCOMPARE(Brovletfrm::ExtentForWidth(3982), 275); // 275.47
        QCOMPARE(Brovletfrm::ExtentForWidth(3975), 275); // 275.0
    }

    void removalMeasuresAgain_data()
    {
        // Names with their widths; the rule applies to each as it is added; then the marked
        // entries are removed.
        QTest::addColumn<QString>("before");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<int>("extent");
        QTest::newRow("widest gone, rest narrow") << "A B* C" << QList<int>{1000, 5000, 3800} << 0 << 0;
        QTest::newRow("widest gone, next above 3800") << "A B* C" << QList<int>{4500, 5000, 3900} << 4500 << 310;
        QTest::newRow("not the widest: unchanged") << "A B C*" << QList<int>{4500, 5000, 4000} << 5000 << 343;
        QTest::newRow("two of the greatest width") << "A* B C" << QList<int>{5000, 5000, 4000} << 5000 << 343;
        QTest::newRow("both of the greatest width") << "A* B* C" << QList<int>{5000, 5000, 4000} << 4000 << 277;
        QTest::newRow("greatest twice, next narrow") << "A* B* C" << QList<int>{5000, 5000, 1000} << 0 << 0;
        QTest::newRow("widest and a later wide one")
            << "A* B C* D" << QList<int>{6000, 1000, 5000, 4500} << 4500 << 310;
    }
    void removalMeasuresAgain()
    {
        QFETCH(QString, before);
        QFETCH(QList<int>, widths);
        QFETCH(int, maxWidth);
        QFETCH(int, extent);
        fill(before);
        for (int i = 0; i < widths.size(); ++i) {
            host->widths[host->model.name(i)] = widths.at(i);
            form->ApplyAddRule(host->model.name(i));
        }
        form->RemoveFileFromList_Cmd_Click();
        QCOMPARE(host->maxWidth, maxWidth);
        QCOMPARE(form->selpos_lst->horizontalExtent(), extent);
    }

    void notWidestRemovalKeepsAnUnruledLongName()
    {
        // B was added without the rule (as a loaded list adds): removing A keeps the tracking.
        fill(QStringLiteral("A* B"));
        host->widths[QStringLiteral("B")] = 9000;
        form->RemoveFileFromList_Cmd_Click();
        QCOMPARE(host->maxWidth, 0);
        QCOMPARE(form->selpos_lst->horizontalExtent(), 0);
    }

    void horizontalRangeFollowsOnlyTheExtent()
    {
        // The window is first shown after the list was filled, as at start-up.
        delete form;
        form = new Brovletfrm(*host);
        PackListBox* list = form->selpos_lst;
        // Really wide names, appended without the rule: no horizontal range of their own.
        const QString wide = QString(200, QLatin1Char('W')) + QStringLiteral(".mpg");
        host->model.append(QStringLiteral("/v/"), wide);
        for (int i = 0; i < 40; ++i) // enough for a vertical scroll bar
            host->model.append(QStringLiteral("/v/"), QStringLiteral("clip%1.mpg").arg(i));
        list->doItemsLayout();
        QCoreApplication::processEvents();
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);

        host->widths[wide] = TextWidthTwips(wide);
        form->ApplyAddRule(wide);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const int extent = Brovletfrm::ExtentForWidth(TextWidthTwips(wide));
        QCOMPARE(list->horizontalExtent(), extent);
        QCOMPARE(list->horizontalScrollBar()->maximum(), extent - list->viewport()->width());
        list->doItemsLayout(); // a new layout keeps the range
        QCoreApplication::processEvents();
        QCOMPARE(list->horizontalScrollBar()->maximum(), extent - list->viewport()->width());
        form->hide(); // and so does showing the window again
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(list->horizontalScrollBar()->maximum(), extent - list->viewport()->width());
        list->resize(list->width() - 20, list->height()); // or a narrower list
        QCoreApplication::processEvents();
        QCOMPARE(list->horizontalScrollBar()->maximum(), extent - list->viewport()->width());
        // The long name is drawn whole, so scrolling reaches its end.
        QVERIFY(list->visualRect(host->model.index(0)).width() >= TextWidthTwips(wide) / 15);

        form->ClearPackList();
        QCoreApplication::processEvents();
        QCOMPARE(list->horizontalExtent(), 0);
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
    }

    // --- clear all ----------------------------------------------------------------------------

    void clearAllGoesStraightToItsEnd()
    {
        fill(QStringLiteral("A* B C D"));
        host->widths[QStringLiteral("C")] = 6000;
        form->ApplyAddRule(QStringLiteral("C"));
        host->scanWidth = 77;
        form->ClearPackList();
        QCOMPARE(host->model.count(), 0);
        QCOMPARE(host->maxWidth, 0);
        QCOMPARE(host->scanWidth, 0);
        QCOMPARE(form->selpos_lst->horizontalExtent(), 0);
        QVERIFY(Prompts::records().isEmpty());
        form->ClearPackList(); // an empty list: nothing
        QVERIFY(Prompts::records().isEmpty());
    }

    // --- busy ---------------------------------------------------------------------------------

    void whileBusyTheEntriesStay()
    {
        const QString a = touch(QStringLiteral("a.mpg"));
        host->model.append(dir + QLatin1Char('/'), QStringLiteral("gone.mpg"));
        host->model.append(dir + QLatin1Char('/'), QStringLiteral("a.mpg"));
        host->model.append(dir + QLatin1Char('/'), QStringLiteral("gone2.mpg"));
        host->widths[QStringLiteral("a.mpg")] = 5000;
        form->ApplyAddRule(QStringLiteral("a.mpg"));
        form->selpos_lst->setSelected(1, true);
        form->selpos_lst->setListIndex(1);
        const QStringList before = host->model.fullPaths();
        QCOMPARE(before.at(1), a);

        host->busy = true;
        QTest::mouseClick(form->ButtonRemove_Img, Qt::LeftButton);
        QTest::mouseClick(form->ButtonSwapDown_Img, Qt::LeftButton);
        QTest::mouseClick(form->ButtonSwapUp_Img, Qt::LeftButton);
        form->ClearLostLinkPackWhatSelPopupMnu_Click();
        form->ClearPackList();
        form->selpos_lst_KeyDown(Qt::Key_Delete, Qt::NoModifier);
        QCOMPARE(host->model.fullPaths(), before);
        QVERIFY(form->selpos_lst->Selected(1));
        QCOMPARE(host->maxWidth, 5000);
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(host->refreshCalls, 0);

        // Selection-only operations stay live.
        QTest::mouseClick(form->ButtonSelectInverse_Img, Qt::LeftButton);
        QVERIFY(form->selpos_lst->Selected(0) && !form->selpos_lst->Selected(1));
        QTest::mouseClick(form->ButtonSelectAll_Img, Qt::LeftButton);
        QCOMPARE(form->selpos_lst->SelCount(), 3);
        QTest::mouseClick(form->ButtonDeselectAll_Img, Qt::LeftButton);
        QCOMPARE(form->selpos_lst->SelCount(), 0);

        host->busy = false;
        form->selpos_lst->setSelected(1, true);
        QTest::mouseClick(form->ButtonRemove_Img, Qt::LeftButton);
        QCOMPARE(host->model.count(), 2);
    }

    void disabledCommandButtonsDoNothing()
    {
        fill(QStringLiteral("A B* C"));
        form->selpos_lst->setListIndex(1);
        form->EnablePackListControls(false);
        QVERIFY(!form->selpos_lst->isEnabled());
        for (QPushButton* b : {form->RemoveFileFromList_Cmd, form->SelAll_Cmd, form->DeSelAll_Cmd, form->InvSel_Cmd,
                               form->selposup_cmd, form->selposdown_cmd})
            b->click();
        QCOMPARE(state(), QStringLiteral("A B* C"));
        form->EnablePackListControls(true);
        form->InvSel_Cmd->click();
        QCOMPARE(state(), QStringLiteral("A* B C*"));
    }

    // --- clear lost links ---------------------------------------------------------------------

    void clearLostLinks()
    {
        for (const char* n : {"A", "B", "C", "D", "E"})
            touch(QString::fromLatin1(n));
        for (const char* n : {"A", "B", "C", "D", "E"})
            host->model.append(dir + QLatin1Char('/'), QString::fromLatin1(n));
        QVERIFY(QFile::remove(dir + QStringLiteral("/B")));
        QVERIFY(QFile::remove(dir + QStringLiteral("/C")));
        QVERIFY(QDir().mkdir(dir + QStringLiteral("/C")));
        form->selpos_lst->setSelected(3, true); // the user's selection is replaced

        form->ClearLostLinkPackWhatSelPopupMnu->trigger();
        QStringList names;
        for (int i = 0; i < host->model.count(); ++i)
            names << host->model.name(i);
        QCOMPARE(names, (QStringList{QStringLiteral("A"), QStringLiteral("D"), QStringLiteral("E")}));
        QCOMPARE(host->model.folder(1), dir + QLatin1Char('/'));
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(host->refreshCalls, 1);
        QCOMPARE(form->selpos_lst->SelCount(), 0);

        form->selpos_lst->setSelected(1, true);
        form->ClearLostLinkPackWhatSelPopupMnu->trigger();
        QCOMPARE(Prompts::records(), QStringList{kNothingToRemove});
        QCOMPARE(host->model.count(), 3);
        QCOMPARE(form->selpos_lst->SelCount(), 0);
        QCOMPARE(host->refreshCalls, 2);
    }

    void lostEntry_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("lost");
        QTest::newRow("regular file") << "file" << false;
        QTest::newRow("link to a file") << "link" << false;
        QTest::newRow("missing") << "missing" << true;
        QTest::newRow("folder") << "folder" << true;
        QTest::newRow("hidden file") << "hidden" << true;
        QTest::newRow("dangling link") << "dangling" << true;
        QTest::newRow("file used as a folder") << "notdir" << true;
        QTest::newRow("fifo") << "fifo" << true;
        QTest::newRow("loop of links: another failure") << "loop" << false;
        QTest::newRow("name too long: another failure") << "toolong" << false;
        QTest::newRow("a file's name, a NUL and more") << "nul" << true;
    }
    void lostEntry()
    {
        QFETCH(QString, kind);
        QFETCH(bool, lost);
        QString path = dir + QStringLiteral("/x.mpg");
        const QByteArray p = QFile::encodeName(path);
        if (kind == QLatin1String("file")) {
            touch(QStringLiteral("x.mpg"));
        } else if (kind == QLatin1String("link")) {
            touch(QStringLiteral("target.mpg"));
            QVERIFY(::symlink("target.mpg", p.constData()) == 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("hidden")) {
            path = touch(QStringLiteral(".x.mpg"));
        } else if (kind == QLatin1String("dangling")) {
            QVERIFY(::symlink("nowhere.mpg", p.constData()) == 0);
        } else if (kind == QLatin1String("notdir")) {
            touch(QStringLiteral("x.mpg"));
            path += QStringLiteral("/y.mpg");
        } else if (kind == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(p.constData(), 0600) == 0);
        } else if (kind == QLatin1String("loop")) {
            QVERIFY(::symlink("y.mpg", p.constData()) == 0);
            QVERIFY(::symlink("x.mpg", QFile::encodeName(dir + QStringLiteral("/y.mpg")).constData()) == 0);
        } else if (kind == QLatin1String("toolong")) {
            path = dir + QLatin1Char('/') + QString(300, QLatin1Char('n')) + QStringLiteral("/x.mpg");
        } else if (kind == QLatin1String("nul")) {
            touch(QStringLiteral("x.mpg"));
            path += QChar(0) + QStringLiteral("junk");
        }
        QCOMPARE(IsLostPackListEntry(path), lost);
    }

    // --- scrolling ----------------------------------------------------------------------------

    void scrollImages_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("top");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<int>("after");
        QTest::newRow("up from 7 gives 2") << 40 << 7 << false << false << 2;
        QTest::newRow("up from 5 gives 0") << 40 << 5 << false << false << 0;
        QTest::newRow("up from 3 stays") << 40 << 3 << false << false << 3;
        QTest::newRow("down from 0 gives 5") << 40 << 0 << true << false << 5;
        QTest::newRow("down on an empty list") << 0 << 0 << true << false << 0;
        QTest::newRow("down while busy") << 40 << 0 << true << true << 0;
        QTest::newRow("up while busy") << 40 << 7 << false << true << 7;
    }
    void scrollImages()
    {
        QFETCH(int, count);
        QFETCH(int, top);
        QFETCH(bool, down);
        QFETCH(bool, busy);
        QFETCH(int, after);
        for (int i = 0; i < count; ++i)
            host->model.append(QStringLiteral("/v/"), QStringLiteral("clip%1.mpg").arg(i));
        QVERIFY(form->selpos_lst->visibleRows() < 20);
        form->selpos_lst->setTopIndex(top);
        QCOMPARE(form->selpos_lst->TopIndex(), top);
        host->busy = busy;
        QTest::mouseClick(down ? form->PackListDown_Img : form->PackListUp_Img, Qt::LeftButton);
        QCOMPARE(form->selpos_lst->TopIndex(), after);
    }

    void scrollDownPastTheLastEntryDoesNothing()
    {
        for (int i = 0; i < 40; ++i)
            host->model.append(QStringLiteral("/v/"), QStringLiteral("clip%1.mpg").arg(i));
        form->selpos_lst->setTopIndex(1000); // as far as the list goes
        const int bottom = form->selpos_lst->TopIndex();
        QVERIFY(bottom > 20);
        form->PackListDown_Img_Click();
        QCOMPARE(form->selpos_lst->TopIndex(), bottom);
    }

    // --- the list's events --------------------------------------------------------------------

    void rightClickShowsThePopupAndKeepsTheSelection()
    {
        fill(QStringLiteral("A B C*"));
        form->selpos_lst->setListIndex(2);
        QWidget* vp = form->selpos_lst->viewport();
        QTest::mouseClick(vp, Qt::RightButton, Qt::NoModifier, rowCenter(0));
        QMenu* menu = form->PackWhatSelPopupMnu;
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(state(), QStringLiteral("A B C*"));
        QCOMPARE(form->selpos_lst->ListIndex(), 2);
        QStringList shown;
        for (QAction* a : menu->actions())
            if (a->isVisible())
                shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(shown, (QStringList{"R&emove", "-", "Move &Up", "Move &Down", "-", "Select &All", "De&select All",
                                     "&Inverse Select", "-", "Clear &Lost Link"}));
        menu->hide();

        // Below the last entry: no "R&emove" and no first separator.
        QTest::mouseClick(vp, Qt::RightButton, Qt::NoModifier, QPoint(10, vp->height() - 5));
        QTRY_VERIFY(menu->isVisible());
        shown.clear();
        for (QAction* a : menu->actions())
            if (a->isVisible())
                shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(shown, (QStringList{"Move &Up", "Move &Down", "-", "Select &All", "De&select All", "&Inverse Select",
                                     "-", "Clear &Lost Link"}));
        menu->hide();

        // Back on an entry, every item shows again.
        QTest::mouseClick(vp, Qt::RightButton, Qt::NoModifier, rowCenter(1));
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(form->RemovePackWhatSelPopupMnu->isVisible() && form->brkmnu01->isVisible());
        menu->hide();

        // The left button shows nothing.
        QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, rowCenter(1));
        QVERIFY(!menu->isVisible());
        QCOMPARE(state(), QStringLiteral("A B* C"));
    }

    void rowUnderPointerSpansTheWholeRow()
    {
        fill(QStringLiteral("A B"));
        QWidget* vp = form->selpos_lst->viewport();
        QCOMPARE(form->RowUnderPointer(QPoint(vp->width() - 3, rowCenter(1).y())), 1);
        QCOMPARE(form->RowUnderPointer(QPoint(3, vp->height() - 3)), 2);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("after");
        QTest::newRow("Delete removes every selected entry") << int(Qt::Key_Delete) << int(Qt::NoModifier) << "A C";
        QTest::newRow("Shift+Delete too") << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << "A C";
        QTest::newRow("keypad minus moves up") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << "B* A D* C";
        QTest::newRow("keypad plus moves down") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << "A C B* D*";
        QTest::newRow("main keyboard minus does nothing") << int(Qt::Key_Minus) << int(Qt::NoModifier) << "A B* C D*";
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, after);
        fill(QStringLiteral("A B* C D*"));
        form->selpos_lst->setListIndex(1);
        form->selpos_lst->setFocus();
        QTest::keyClick(form->selpos_lst, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(state(), after);
    }

    void doubleClickRemovesTheSelection()
    {
        fill(QStringLiteral("A B C D"));
        QTest::mouseDClick(form->selpos_lst->viewport(), Qt::LeftButton, Qt::NoModifier, rowCenter(2));
        QCOMPARE(state(), QStringLiteral("A B D"));
        QVERIFY(Prompts::records().isEmpty());
    }

    void disabledListIgnoresMouseAndKeys()
    {
        fill(QStringLiteral("A B* C"));
        form->selpos_lst->setEnabled(false);
        QTest::keyClick(form->selpos_lst, Qt::Key_Delete);
        QTest::mouseClick(form->selpos_lst->viewport(), Qt::RightButton, Qt::NoModifier, rowCenter(0));
        QCOMPARE(state(), QStringLiteral("A B* C"));
        QVERIFY(!form->PackWhatSelPopupMnu->isVisible());
    }

    void tooltipShowsTheFullPath()
    {
        fill(QStringLiteral("A B"));
        QWidget* vp = form->selpos_lst->viewport();
        sendMouse(vp, QEvent::MouseMove, Qt::NoButton, rowCenter(1));
        QCOMPARE(form->selpos_lst->toolTip(), QStringLiteral("/dB/B"));
        sendMouse(vp, QEvent::MouseMove, Qt::NoButton, QPoint(5, vp->height() - 5));
        QCOMPARE(form->selpos_lst->toolTip(), QString());
    }

    // --- sorting ------------------------------------------------------------------------------

    // "b@F1 a@F2" : entry b in folder "/F1/", a in "/F2/"; and back.
    static QVector<PackListEntry> entriesOf(const QString& text)
    {
        QVector<PackListEntry> out;
        for (const QString& t : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QStringList parts = t.split(QLatin1Char('@'));
            out.append(PackListEntry{QLatin1Char('/') + parts.value(1) + QLatin1Char('/'), parts.at(0)});
        }
        return out;
    }
    static QString textOf(const QStringList& names, const QStringList& folders)
    {
        QStringList out;
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString folder = folders.at(i).mid(1).chopped(1);
            out << names.at(i) + (folder.isEmpty() ? QString() : QLatin1Char('@') + folder);
        }
        return out.join(QLatin1Char(' '));
    }
    QString listText() const
    {
        QStringList names, folders;
        for (int i = 0; i < host->model.count(); ++i) {
            names << host->model.name(i);
            folders << host->model.folder(i);
        }
        return textOf(names, folders);
    }

    void sortOrders_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("ascending");
        QTest::addColumn<QString>("descending");
        QTest::newRow("case") << "a B b A"
                              << "A B a b"
                              << "b a B A";
        QTest::newRow("equal names, three") << "b@F1 a@F2 b@F3"
                                            << "a@F2 b@F3 b@F1"
                                            << "b@F3 b@F1 a@F2";
        QTest::newRow("two equal names swap") << "x@F1 x@F2"
                                              << "x@F2 x@F1"
                                              << "x@F2 x@F1";
        QTest::newRow("three equal names") << "x@F1 x@F2 x@F3"
                                           << "x@F3 x@F2 x@F1"
                                           << "x@F3 x@F2 x@F1";
        QTest::newRow("sorted again") << "x@F3 x@F2 x@F1"
                                      << "x@F1 x@F2 x@F3"
                                      << "x@F1 x@F2 x@F3";
        QTest::newRow("five") << "b@1 a@2 b@3 a@4 b@5"
                              << "a@4 a@2 b@5 b@1 b@3"
                              << "b@3 b@5 b@1 a@4 a@2";
        QTest::newRow("no number order") << "clip10.mpg clip9.mpg Clip2.mpg"
                                         << "Clip2.mpg clip10.mpg clip9.mpg"
                                         << "clip9.mpg clip10.mpg Clip2.mpg";
        QTest::newRow("prefix first") << "ab a abc"
                                      << "a ab abc"
                                      << "abc ab a";
        QTest::newRow("one entry") << "a@F1"
                                   << "a@F1"
                                   << "a@F1";
    }
    // The sort itself without a window, and the same through the window's pictures.
    void sortOrders()
    {
        QFETCH(QString, entries);
        QFETCH(QString, ascending);
        QFETCH(QString, descending);
        for (const bool up : {true, false}) {
            QStringList names, folders;
            for (const PackListEntry& e : entriesOf(entries)) {
                names << e.name;
                folders << e.folder;
            }
            const auto hi = std::int32_t(names.size() - 1);
            up ? QuickSort::QuickSortAscending(names, folders, 0, hi)
               : QuickSort::QuickSortDescending(names, folders, 0, hi);
            QCOMPARE(textOf(names, folders), up ? ascending : descending);

            host->model.setEntries(entriesOf(entries));
            form->selpos_lst->setSelected(0, true);
            QTest::mouseClick(up ? form->ButtonAscending_Img : form->ButtonDescending_Img, Qt::LeftButton);
            QCOMPARE(listText(), up ? ascending : descending);
            QCOMPARE(textOf(form->SortNames, form->SortFolders), up ? ascending : descending);
            QCOMPARE(form->selpos_lst->SelCount(), 0);
        }
        QVERIFY(Prompts::records().isEmpty());
    }

    // Lists longer than 32,767 entries, in orders that are hard on a partition sort: the result
    // is in order, and every name still has its own folder.
    void sortLongLists_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("random") << "random";
        QTest::newRow("sorted") << "sorted";
        QTest::newRow("reversed") << "reversed";
        QTest::newRow("all equal") << "equal";
        QTest::newRow("two names") << "two";
    }
    void sortLongLists()
    {
        QFETCH(QString, order);
        const int n = 40000;
        QRandomGenerator random(7);
        QStringList names, folders;
        for (int i = 0; i < n; ++i) {
            int key = i;
            if (order == QLatin1String("random"))
                key = int(random.bounded(1000));
            else if (order == QLatin1String("reversed"))
                key = n - i;
            else if (order == QLatin1String("equal"))
                key = 0;
            else if (order == QLatin1String("two"))
                key = i % 2;
            names << QStringLiteral("n%1").arg(key, 6, 10, QLatin1Char('0'));
            folders << QStringLiteral("/f%1/").arg(i);
        }
        QStringList pairs;
        for (int i = 0; i < n; ++i)
            pairs << folders.at(i) + names.at(i);
        pairs.sort();
        for (const bool up : {true, false}) {
            up ? QuickSort::QuickSortAscending(names, folders, 0, n - 1)
               : QuickSort::QuickSortDescending(names, folders, 0, n - 1);
            QStringList after;
            for (int i = 0; i < n; ++i) {
                after << folders.at(i) + names.at(i);
                if (i > 0) {
                    const int c = QString::compare(names.at(i - 1), names.at(i), Qt::CaseSensitive);
                    QVERIFY2(up ? c <= 0 : c >= 0, qPrintable(QString::number(i)));
                }
            }
            after.sort();
            QCOMPARE(after, pairs);
        }
    }

    void sortRefillsWithNothingSelectedAtTheTop()
    {
        for (int i = 59; i >= 0; --i)
            host->model.append(QStringLiteral("/d/"), QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0')));
        host->widths[QStringLiteral("n00")] = 6000;
        form->ApplyAddRule(QStringLiteral("n00"));
        const int extent = form->selpos_lst->horizontalExtent();
        QCOMPARE(extent, Brovletfrm::ExtentForWidth(6000));
        form->selpos_lst->setSelected(3, true);
        form->selpos_lst->setSelected(10, true);
        form->selpos_lst->setListIndex(10);
        form->selpos_lst->setTopIndex(20);
        QVERIFY(form->selpos_lst->TopIndex() > 0);

        QTest::mouseClick(form->ButtonAscending_Img, Qt::LeftButton);
        for (int i = 0; i < 60; ++i) {
            QCOMPARE(host->model.name(i), QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0')));
            QCOMPARE(host->model.folder(i), QStringLiteral("/d/"));
        }
        QCOMPARE(form->selpos_lst->model()->rowCount(), 60);
        QCOMPARE(form->selpos_lst->SelCount(), 0);
        QCOMPARE(form->selpos_lst->ListIndex(), -1);
        QCOMPARE(form->selpos_lst->TopIndex(), 0);
        QCOMPARE(form->selpos_lst->horizontalExtent(), extent);
        QCOMPARE(host->maxWidth, 6000);
    }

    void sortOfAnEmptyListDoesNothing()
    {
        form->SortNames = QStringList{QStringLiteral("kept")};
        QTest::mouseClick(form->ButtonAscending_Img, Qt::LeftButton);
        QTest::mouseClick(form->ButtonDescending_Img, Qt::LeftButton);
        QCOMPARE(host->model.count(), 0);
        QCOMPARE(form->SortNames, QStringList{QStringLiteral("kept")});
        QVERIFY(Prompts::records().isEmpty());
    }

    // While an action runs the sort and the four menu-strip pictures change nothing.
    void whileBusyThePicturesChangeNothing()
    {
        fill(QStringLiteral("C A* B"));
        host->busy = true;
        Prompts::queue({dir + QStringLiteral("/list.qvt"), dir + QStringLiteral("/list.qvt")});
        for (SkinImage* img : {form->ButtonAscending_Img, form->ButtonDescending_Img, form->BrovletMenu_Save_Img,
                               form->BrovletMenu_Load_Img, form->BrovletMenu_Append_Img, form->BrovletMenu_Clear_Img})
            QTest::mouseClick(img, Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("C A* B"));
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(host->dialogCalls.isEmpty());
        QVERIFY(host->enableCalls.isEmpty());
        QVERIFY(QDir(dir).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // --- pack-list files ----------------------------------------------------------------------

    QStringList filesIn(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    void fileLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("empty") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("lone CR, lone LF, no end") << QByteArray("a\rb\nc") << QList<QByteArray>{"a", "b", "c"};
        QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("blank line only") << QByteArray("\r\n") << QList<QByteArray>{""};
        const QByteArray longest(4096, 'p');
        QTest::newRow("longer than any path: passed over")
            << QByteArray(longest + "q\r\n/a\r\n" + longest + "\n" + longest + "q") << QList<QByteArray>{"/a", longest};
    }
    // The same lines whether the file comes in one piece or byte by byte (a CR LF cut in two
    // between pieces is still one line end).
    void fileLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(PackListFileLines(bytes), lines);
        QList<QByteArray> byByte;
        PackListLineReader reader([&byByte](const QByteArray& line) { byByte << line; });
        for (qsizetype k = 0; k < bytes.size(); ++k)
            reader.feed(bytes.constData() + k, 1);
        reader.finish();
        QCOMPARE(byByte, lines);
    }

    void saveWritesOneLinePerEntry()
    {
        host->model.append(QStringLiteral("/"), QStringLiteral("a.mpg"));
        host->model.append(QStringLiteral("/t/sub/"), QStringLiteral("b é.mpg"));
        const QString out = dir + QStringLiteral("/list.qvt");
        Prompts::queue(out);
        QTest::mouseClick(form->BrovletMenu_Save_Img, Qt::LeftButton);
        QCOMPARE(kivrotest::readFile(out), QByteArray("/a.mpg\r\n/t/sub/b \xC3\xA9.mpg\r\n"));
        QCOMPARE(host->dialogCalls, QStringList{kPackListFilter + QStringLiteral("|Save Pack List As||SavePackList")});
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("dialog|Save Pack List As|") + out});
        QCOMPARE(host->enableCalls, (QList<bool>{false, true}));
        QVERIFY(form->WhichFileLbl->text().isEmpty());
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(filesIn(dir), QStringList{QStringLiteral("list.qvt")});
    }

    // The chosen name gets a regular file holding the list, whatever stood there: a link (to a
    // file, or to nothing outside the folder) is replaced and what it points to stays as it was;
    // an old list keeps its permissions. No temporary file stays.
    void saveReplacesWhatStandsAtTheName_data()
    {
        QTest::addColumn<QString>("pointsTo"); // empty: an old list stands there
        QTest::newRow("link to a file") << "victim";
        QTest::newRow("link to nothing elsewhere") << "elsewhere/ghost.qvt";
        QTest::newRow("old list, mode 0640") << "";
    }
    void saveReplacesWhatStandsAtTheName()
    {
        QFETCH(QString, pointsTo);
        QDir().mkpath(dir + QStringLiteral("/elsewhere"));
        kivrotest::writeFile(dir + QStringLiteral("/victim"), "keep");
        const QString out = dir + QStringLiteral("/.list.qvt");
        if (pointsTo.isEmpty()) {
            kivrotest::writeFile(out, QByteArray(5000, 'o'));
            QVERIFY(QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        } else {
            QVERIFY(QFile::link(dir + QLatin1Char('/') + pointsTo, out));
        }
        host->model.append(QStringLiteral("/"), QStringLiteral("a.mpg"));
        Prompts::queue(out);
        QTest::mouseClick(form->BrovletMenu_Save_Img, Qt::LeftButton);
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("dialog|Save Pack List As|") + out});
        const QFileInfo saved(out);
        QVERIFY(saved.isFile() && !saved.isSymLink());
        QCOMPARE(kivrotest::readFile(out), QByteArray("/a.mpg\r\n"));
        QCOMPARE(kivrotest::readFile(dir + QStringLiteral("/victim")), QByteArray("keep"));
        QVERIFY(QDir(dir + QStringLiteral("/elsewhere")).isEmpty());
        if (pointsTo.isEmpty())
            QCOMPARE(saved.permissions() & QFileDevice::Permissions(0x7077),
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 (QStringList{QStringLiteral(".list.qvt"), QStringLiteral("victim")}));
    }

    void savedListLoadsBack()
    {
        QDir().mkpath(dir + QStringLiteral("/sub dir"));
        const QStringList paths{touch(QStringLiteral("sub dir/c é.mpg")), touch(QStringLiteral("a.mpg")),
                                touch(QStringLiteral("sub dir/b.mpg"))};
        for (const QString& p : paths)
            host->model.append(p.left(p.lastIndexOf(QLatin1Char('/')) + 1), p.mid(p.lastIndexOf(QLatin1Char('/')) + 1));
        const QVector<PackListEntry> before = [this] {
            QVector<PackListEntry> e;
            for (int i = 0; i < host->model.count(); ++i)
                e << host->model.entry(i);
            return e;
        }();
        const QString out = dir + QStringLiteral("/list.qvt");
        Prompts::queue({out, out});
        QTest::mouseClick(form->BrovletMenu_Save_Img, Qt::LeftButton);
        QTest::mouseClick(form->BrovletMenu_Clear_Img, Qt::LeftButton);
        QCOMPARE(host->model.count(), 0);
        QTest::mouseClick(form->BrovletMenu_Load_Img, Qt::LeftButton);
        QCOMPARE(host->model.count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(host->model.folder(i), before.at(i).folder);
            QCOMPARE(host->model.name(i), before.at(i).name);
        }
        QCOMPARE(Prompts::records(), (QStringList{QStringLiteral("dialog|Save Pack List As|") + out,
                                                  QStringLiteral("dialog|Load which Pack List?|") + out}));
    }

    void saveRefusals_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("box");
        QTest::newRow("empty list") << QStringList{} << "box|Exclamation|OK|Tesma Kivro Pro|Nothing to save.|OK";
        QTest::newRow("a line break in a name")
            << QStringList{"a.mpg", "two\nlines.mpg"}
            << "box|Critical|OK|Tesma Kivro Pro|Cannot save the pack list: '/d/two\\nlines.mpg' holds a line "
               "break, which a pack-list file cannot carry.|OK";
        QTest::newRow("a carriage return") << QStringList{"cr\r.mpg"}
                                           << "box|Critical|OK|Tesma Kivro Pro|Cannot save the pack list: "
                                              "'/d/cr\r.mpg' holds a line break, which a pack-list file cannot "
                                              "carry.|OK";
    }
    // Refused before the dialog: nothing is asked and nothing written.
    void saveRefusals()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, box);
        for (const QString& n : names)
            host->model.append(QStringLiteral("/d/"), n);
        QTest::mouseClick(form->BrovletMenu_Save_Img, Qt::LeftButton);
        QCOMPARE(Prompts::records(), QStringList{box});
        QVERIFY(host->dialogCalls.isEmpty());
        QVERIFY(host->enableCalls.isEmpty());
        QVERIFY(filesIn(dir).isEmpty());
        QCOMPARE(host->model.count(), names.size());
    }

    void cancelledSaveWritesNothing()
    {
        fill(QStringLiteral("A B"));
        Prompts::queue(QString());
        QTest::mouseClick(form->BrovletMenu_Save_Img, Qt::LeftButton);
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("dialog|Save Pack List As|")});
        QCOMPARE(host->enableCalls, (QList<bool>{false, true}));
        QVERIFY(filesIn(dir).isEmpty());
        QVERIFY(form->WhichFileLbl->text().isEmpty());
    }

    void saveUnderAFileSizeLimit_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Retry writes it all again") << "Retry";
        QTest::newRow("Cancel keeps the old file") << "Cancel";
    }
    // The old file is replaced only by a whole new one; the temporary file never stays.
    void saveUnderAFileSizeLimit()
    {
        QFETCH(QString, answer);
        const QString out = dir + QStringLiteral("/list.qvt");
        const QByteArray old("/old/file.mpg\r\n");
        kivrotest::writeFile(out, old);
        for (int i = 0; i < 200; ++i)
            host->model.append(QStringLiteral("/some/longer/folder/"), QStringLiteral("entry %1.mpg").arg(i));
        const QByteArray whole = PackListFileBytes(host->model);
        QVERIFY(whole.size() > 4096);

        kivrotest::FileSizeLimit limit(1000);
        bool hourglassDuringBox = false;
        Prompts::setRecordObserver([&](const QString& line) {
            if (!line.startsWith(QLatin1String("box|")))
                return;
            hourglassDuringBox = form->cursor().shape() == Qt::WaitCursor;
            // The user frees some space before answering Retry.
            if (answer == QLatin1String("Retry"))
                limit.lift();
        });
        Prompts::queue({out, answer});
        QTest::mouseClick(form->BrovletMenu_Save_Img, Qt::LeftButton);
        Prompts::setRecordObserver({});
        limit.lift();

        QCOMPARE(Prompts::records(),
                 (QStringList{QStringLiteral("dialog|Save Pack List As|") + out,
                              QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '") + out
                                  + QStringLiteral("'. Disk full/write-protected or file is in use.|") + answer}));
        QCOMPARE(gMsgResult, answer == QLatin1String("Retry") ? vbRetry : vbCancel);
        QCOMPARE(kivrotest::readFile(out), answer == QLatin1String("Retry") ? whole : old);
        QCOMPARE(filesIn(dir), QStringList{QStringLiteral("list.qvt")});
        QVERIFY(hourglassDuringBox);
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(form->WhichFileLbl->text().isEmpty());
    }

    // A name longer than the file system holds: said as such, once, without a Retry that could
    // never succeed; nothing is written.
    void saveUnderANameTooLong()
    {
        const QString out = dir + QLatin1Char('/') + QString(256, QLatin1Char('n'));
        host->model.append(QStringLiteral("/a/"), QStringLiteral("x.mpg"));
        const QStringList before = filesIn(dir);
        Prompts::queue({out});
        QTest::mouseClick(form->BrovletMenu_Save_Img, Qt::LeftButton);
        QCOMPARE(Prompts::records(),
                 (QStringList{QStringLiteral("dialog|Save Pack List As|") + out,
                              QStringLiteral("box|Critical|OK|Tesma Kivro Pro|'") + out
                                  + QStringLiteral("' cannot be written: the name is too long.|OK")}));
        QCOMPARE(filesIn(dir), before);
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    }

    void loadAndAppend_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("Load") << true;
        QTest::newRow("Append") << false;
    }
    // Only lines that name a normal file by a path with a "/" are taken, whatever ends them; the
    // others are skipped and reading goes on. The widest-name rule is not applied.
    void loadAndAppend()
    {
        QFETCH(bool, replace);
        const QString oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir));
        const QString one = touch(QStringLiteral("one.mpg"));
        QDir().mkpath(dir + QStringLiteral("/s"));
        const QString two = touch(QStringLiteral("s/two.mpg"));
        const QString three = touch(QStringLiteral("three é.mpg"));
        const QString four = touch(QStringLiteral("four.mpg"));
        touch(QStringLiteral(".dot.mpg"));
        touch(QStringLiteral("noslash.mpg"));
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/folder.mpg")));
        const QByteArray d = QFile::encodeName(dir);
        const QByteArray bytes = QFile::encodeName(one) + "\r\n" + d + "/missing.mpg\r\n" + d + "/folder.mpg\r\n" + d
                                 + "/.dot.mpg\r\nnoslash.mpg\r\n\r\n" + d + "/*.mpg\r\n" + QFile::encodeName(one)
                                 + QByteArray("\0junk\r\n", 7) + QFile::encodeName(two) + "\n"
                                 + QFile::encodeName(three) + "\r" + QFile::encodeName(four);
        const QString list = dir + QStringLiteral("/list.qvt");
        kivrotest::writeFile(list, bytes);

        // One entry before, wide enough to set the extent; the file's names are wider still.
        host->model.append(dir + QLatin1Char('/'), QStringLiteral("one.mpg"));
        host->widths[QStringLiteral("one.mpg")] = 5000;
        for (const char* wide : {"two.mpg", "three é.mpg", "four.mpg"})
            host->widths[QString::fromUtf8(wide)] = 9000;
        form->ApplyAddRule(QStringLiteral("one.mpg"));
        const int extent = form->selpos_lst->horizontalExtent();

        Prompts::queue(list);
        QTest::mouseClick(replace ? form->BrovletMenu_Load_Img : form->BrovletMenu_Append_Img, Qt::LeftButton);
        QVERIFY(QDir::setCurrent(oldCurrent));

        QStringList expected{one, two, three, four};
        if (!replace)
            expected.prepend(one);
        QCOMPARE(host->model.fullPaths(), expected);
        QCOMPARE(host->model.folder(expected.size() - 3), dir + QStringLiteral("/s/"));
        QCOMPARE(host->model.name(expected.size() - 2), QStringLiteral("three é.mpg"));
        const QString title = replace ? QStringLiteral("Load which Pack List?")
                                      : QStringLiteral("Append which Pack List?");
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("dialog|") + title + QLatin1Char('|') + list});
        QCOMPARE(host->dialogCalls, QStringList{kPackListFilter + QLatin1Char('|') + title + QLatin1Char('|')});
        QCOMPARE(host->enableCalls, (QList<bool>{false, true}));
        QCOMPARE(form->selpos_lst->horizontalExtent(), replace ? 0 : extent);
        QCOMPARE(host->maxWidth, replace ? 0 : 5000);
        QCOMPARE(form->selpos_lst->SelCount(), 0);
        QVERIFY(form->WhichFileLbl->text().isEmpty());
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    }

    void cancelledLoadLeavesTheList_data() { loadAndAppend_data(); }
    void cancelledLoadLeavesTheList()
    {
        QFETCH(bool, replace);
        fill(QStringLiteral("A B* C"));
        Prompts::queue(QString());
        QTest::mouseClick(replace ? form->BrovletMenu_Load_Img : form->BrovletMenu_Append_Img, Qt::LeftButton);
        QCOMPARE(state(), QStringLiteral("A B* C"));
        QCOMPARE(Prompts::records().size(), 1);
        QCOMPARE(host->enableCalls, (QList<bool>{false, true}));
        QVERIFY(form->WhichFileLbl->text().isEmpty());
    }

    void unreadableFileLeavesTheList_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("missing") << "missing";
        QTest::newRow("link to a FIFO") << "link";
    }
    void unreadableFileLeavesTheList()
    {
        QFETCH(QString, kind);
        const QString path = dir + QStringLiteral("/list.qvt");
        const QByteArray p = QFile::encodeName(path);
        if (kind == QLatin1String("fifo"))
            QVERIFY(::mkfifo(p.constData(), 0600) == 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        else if (kind == QLatin1String("link")) {
            QVERIFY(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe")).constData(), 0600) == 0);
            QVERIFY(::symlink("pipe", p.constData()) == 0);
        }
        fill(QStringLiteral("A B* C"));
        Prompts::queue(path);
        QTest::mouseClick(form->BrovletMenu_Load_Img, Qt::LeftButton);
        QCOMPARE(Prompts::records(), (QStringList{QStringLiteral("dialog|Load which Pack List?|") + path,
                                                  QStringLiteral("box|Critical|OK|Tesma Kivro Pro|Cannot read '") + path
                                                      + QStringLiteral("'. The pack list was not changed.|OK")}));
        QCOMPARE(state(), QStringLiteral("A B* C"));
        QVERIFY(form->WhichFileLbl->text().isEmpty());
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    }

    // --- the one instance ---------------------------------------------------------------------

    void oneInstanceCreatedOnFirstUse()
    {
        QCOMPARE(gPackListForm, nullptr);
        gPackListHost = host;
        Brovletfrm* first = PackListForm();
        QVERIFY(first);
        QCOMPARE(PackListForm(), first);
        QVERIFY(!first->isVisible());
        QCOMPARE(first->windowTitle(), QStringLiteral("Pack List"));
        QCOMPARE(&first->packList(), &host->model);
        delete first;
        gPackListForm = nullptr;
        gPackListHost = nullptr;
    }
};

KIVRO_TEST_MAIN(TestPackList)
#include "tst_packlist.moc"
