// The custom file-type filter editor: its controls, the editing operations on the one list of
// filters (add, remove, up, down, select, reset), the keys, mouse and popup that reach them, the
// load with its repairs, and the store on every close (the close box and Escape), which refills
// the main window's type box and hands the count to the preferences window.
#include "HeadlessLink.h"
#include "FakeDialogsHost.h"
#include "KivroTest.h"

#include "engine/MainWindowHosts.h"
#include "dialogs/PreferencesLink.h"
#include "dialogs/customfilefilterfrm.h"
#include "engine/File64.h"
#include "engine/PackListModel.h"
#include "engine/Registry.h"
#include "platform/Paths.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace kivro;

namespace {

using Host = kivrotest::FakeDialogsHost;

struct Preferences : PreferencesLink {
    QWidget* folderDialogOwner() override { return nullptr; }
    void setSaveToCustom(const QString&) override {}
    void setStartupCustom(const QString&) override {}
    void setUnpackToCustom(const QString&) override {}
    void setPendingCustomSize(CustomSizeMode, std::int32_t, const QString&) override {}
    void setNoOfCustomFilterTxt(const QString& count) override { counts << count; }
    QStringList counts;
};

const QStringList kDefaults{QStringLiteral("Mpeg (*.mpg,*.mpeg,*.mpe)"), QStringLiteral("Mp3 (*.mp3)"),
                            QStringLiteral("All Files (*.*)")};
const QString kDamaged = QStringLiteral(
    "box|Exclamation|OK|Tesma Kivro Pro|Your custom FileType information is tampered or deleted. Default FileType is "
    "replaced.|OK");

QString exclamation(const QString& text)
{
    return QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|") + text + QStringLiteral("|OK");
}

QByteArray settingsBytes()
{
    QFile f(paths::settingsFile());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

// The "name=value" lines of one group of the settings file, in file order.
QStringList groupLines(const QString& group)
{
    QStringList lines;
    bool inside = false;
    for (const QString& line : QString::fromUtf8(settingsBytes()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + group + QLatin1Char(']');
        else if (inside && !line.isEmpty())
            lines << line;
    }
    return lines;
}

QString setting(const QString& name)
{
    return Registry::RegReadString(Registry::HKEY_CURRENT_USER, Registry::kKivroKey, name, QStringLiteral("<none>"));
}

// Stores a filter list as the settings would hold it: "<description>|<patterns>" per slot (an
// empty string leaves the slot out), under the given count (a null count: none). No fCheck: the
// editor neither reads nor writes it.
void storeFilters(const QString& count, const QStringList& filterSlots)
{
    QFile::remove(paths::settingsFile());
    using namespace Registry;
    if (!count.isNull())
        RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("NoOfFilter"), count);
    for (qsizetype i = 0; i < filterSlots.size(); ++i) {
        if (filterSlots.at(i).isEmpty())
            continue;
        const QStringList parts = filterSlots.at(i).split(QLatin1Char('|'));
        RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QString::number(i + 1), parts.at(0));
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, QString::number(i + 1), parts.at(1));
    }
}

const QStringList kABCDE{QStringLiteral("A|*.a"), QStringLiteral("B|*.b"), QStringLiteral("C|*.c"),
                         QStringLiteral("D|*.d"), QStringLiteral("E|*.e")};

} // namespace

using Rows = QList<int>;

class TestCustomFileFilter : public QObject {
    Q_OBJECT

    Host host;
    Preferences preferences;
    std::unique_ptr<customfilefilterfrm> form;

    void open()
    {
        form->Form_Load();
        form->show();
    }
    QStringList shown() const
    {
        QStringList out;
        for (int i = 0; i < form->filtertype_lst->ListCount(); ++i)
            out << form->filtertype_lst->model()->index(i, 0).data().toString();
        return out;
    }
    QStringList descriptions() const
    {
        QStringList out;
        for (const FileFilter& f : form->filters().entries())
            out << f.description;
        return out;
    }
    Rows selection() const
    {
        Rows out;
        for (int i = 0; i < form->filtertype_lst->ListCount(); ++i)
            if (form->filtertype_lst->Selected(i))
                out << i;
        return out;
    }
    void select(const Rows& rows)
    {
        form->filtertype_lst->clearSelection();
        for (int r : rows)
            form->filtertype_lst->setSelected(r, true);
    }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        gDialogsHost = &host;
        gPreferencesFormFactory = [this] { return static_cast<PreferencesLink*>(&preferences); };
    }
    void cleanupTestCase()
    {
        gDialogsHost = nullptr;
        gPreferencesFormFactory = nullptr;
    }
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
        host.typeBox.clear();
        host.fills = 0;
        preferences.counts.clear();
        form = std::make_unique<customfilefilterfrm>();
    }

    void controls()
    {
        storeFilters(QStringLiteral("5"), kABCDE);
        open();
        QCOMPARE(form->windowTitle(), QStringLiteral("Custom File Filter"));
        QVERIFY(form->parentWidget() == nullptr);
        QCOMPARE(form->Label1->text(), QStringLiteral("Description:"));
        QCOMPARE(form->Label2->text(), QStringLiteral("FileType:"));
        QCOMPARE(form->packwhat_lbl->text(), QStringLiteral("Current FileType:"));
        QCOMPARE(form->note_lbl->text(),
                 QStringLiteral("Note: You can filter more than one filetype by using a comma \",\" as a separator."));
        QCOMPARE(form->descr_txt->text(), QString());
        // Real text, not a placeholder.
        QCOMPARE(form->Filetype_txt->text(), QStringLiteral("*.FileType1,*.FileType2"));
        QCOMPARE(form->filtertype_lst->selectionMode(), QAbstractItemView::ExtendedSelection);
        const QList<QPushButton*> buttons = form->findChildren<QPushButton*>();
        QStringList captions;
        for (QPushButton* b : buttons) {
            captions << b->text();
            QVERIFY(!b->autoDefault());
        }
        captions.sort();
        QCOMPARE(captions, (QStringList{"Reset", "add", "down", "remove", "up"}));
        for (QPushButton* b : {form->add_cmd, form->remove_cmd, form->selposup_cmd, form->selposdown_cmd})
            QVERIFY2(!b->icon().pixmap(12, 12).isNull(), qPrintable(b->objectName()));
        QStringList items;
        for (QAction* a : form->FileTypeSelPopupMnu->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(items, (QStringList{"R&emove", "-", "Move &Up", "Move &Down", "-", "Select &All", "De&select All"}));
        QCOMPARE(shown(), (QStringList{"A (*.a)", "B (*.b)", "C (*.c)", "D (*.d)", "E (*.e)"}));
        QCOMPARE(selection(), Rows{0});
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), QStringLiteral("5"));
    }

    // Every editing operation through its button, from the defaults or from A B C D E; the
    // settings file does not change until the close.
    void editing_data()
    {
        QTest::addColumn<bool>("fromDefaults");
        QTest::addColumn<Rows>("selected");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("patterns");    // null: the hint left in place
        QTest::addColumn<QStringList>("presses"); // buttons, or "reset No" / "reset Yes"
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<Rows>("selectedAfter");
        QTest::addColumn<QStringList>("boxes");

        const QStringList defaults{"Mpeg", "Mp3", "All Files"};
        const QStringList abcde{"A", "B", "C", "D", "E"};
        QTest::newRow("add without a type") << true << Rows{0} << "Video"
                                            << "" << QStringList{"add"} << defaults << Rows{0}
                                            << QStringList{exclamation("Please key in an appropriate FileType.")};
        QTest::newRow("add, nothing typed") << true << Rows{0} << "" << QString() << QStringList{"add"} << defaults
                                            << Rows{0} << QStringList{exclamation("Nothing to add.")};
        QTest::newRow("add, description and hint")
            << true << Rows{0} << "Video" << QString() << QStringList{"add"} << defaults << Rows{0}
            << QStringList{exclamation("Please key in an appropriate FileType.")};
        QTest::newRow("add without a description") << true << Rows{0} << ""
                                                   << "*.avi" << QStringList{"add"} << defaults << Rows{0}
                                                   << QStringList{exclamation("Please key in a Description.")};
        QTest::newRow("add, a '|' in the description") << true << Rows{0} << "Vid|eo"
                                                       << "*.avi" << QStringList{"add"} << defaults << Rows{0}
                                                       << QStringList{exclamation("A file type cannot hold '\\|'.")};
        QTest::newRow("add, a '|' in the patterns") << true << Rows{0} << "Video"
                                                    << "*.avi|*.vob" << QStringList{"add"} << defaults << Rows{0}
                                                    << QStringList{exclamation("A file type cannot hold '\\|'.")};
        QTest::newRow("add, a '|' without a description: the missing text is named first")
            << true << Rows{0} << ""
            << "*.avi|" << QStringList{"add"} << defaults << Rows{0}
            << QStringList{exclamation("Please key in a Description.")};
        QTest::newRow("add, a ')' is text")
            << true << Rows{0} << "Video :)"
            << "*.avi" << QStringList{"add"} << (defaults + QStringList{"Video :)"}) << Rows{0} << QStringList{};
        QTest::newRow("add twice") << true << Rows{1} << "Video"
                                   << "*.avi,*.vob" << QStringList{"add", "add"}
                                   << (defaults + QStringList{"Video", "Video"}) << Rows{1} << QStringList{};
        QTest::newRow("add blanks") << false << Rows{} << " "
                                    << " " << QStringList{"add"} << (abcde + QStringList{" "}) << Rows{}
                                    << QStringList{};
        QTest::newRow("remove nothing selected") << false << Rows{} << "" << QString() << QStringList{"remove"} << abcde
                                                 << Rows{} << QStringList{exclamation("Nothing to remove.")};
        QTest::newRow("remove 0 2 3") << false << Rows{0, 2, 3} << "" << QString() << QStringList{"remove"}
                                      << QStringList{"B", "E"} << Rows{} << QStringList{};
        QTest::newRow("remove all") << false << Rows{0, 1, 2, 3, 4} << "" << QString() << QStringList{"remove"}
                                    << QStringList{} << Rows{} << QStringList{};
        QTest::newRow("up 2 3") << false << Rows{2, 3} << "" << QString() << QStringList{"up"}
                                << QStringList{"A", "C", "D", "B", "E"} << Rows{1, 2} << QStringList{};
        QTest::newRow("up 0") << false << Rows{0} << "" << QString() << QStringList{"up"} << abcde << Rows{0}
                              << QStringList{};
        QTest::newRow("up 0 1 3") << false << Rows{0, 1, 3} << "" << QString() << QStringList{"up"}
                                  << QStringList{"A", "B", "D", "C", "E"} << Rows{0, 1, 2} << QStringList{};
        QTest::newRow("down 0 2") << false << Rows{0, 2} << "" << QString() << QStringList{"down"}
                                  << QStringList{"B", "A", "D", "C", "E"} << Rows{1, 3} << QStringList{};
        QTest::newRow("down 4") << false << Rows{4} << "" << QString() << QStringList{"down"} << abcde << Rows{4}
                                << QStringList{};
        QTest::newRow("down 3 4") << false << Rows{3, 4} << "" << QString() << QStringList{"down"} << abcde
                                  << Rows{3, 4} << QStringList{};
        QTest::newRow("up, nothing selected") << false << Rows{} << "" << QString() << QStringList{"up"} << abcde
                                              << Rows{} << QStringList{exclamation("Nothing to swap.")};
        QTest::newRow("down, nothing selected") << false << Rows{} << "" << QString() << QStringList{"down"} << abcde
                                                << Rows{} << QStringList{exclamation("Nothing to swap.")};
        QTest::newRow("up and down, empty list")
            << false << Rows{0, 1, 2, 3, 4} << "" << QString() << QStringList{"remove", "up", "down"} << QStringList{}
            << Rows{} << QStringList{exclamation("Nothing to swap."), exclamation("Nothing to swap.")};
        const QString question = QStringLiteral("box|Information|YesNo|Tesma Kivro Pro|Are you sure you want to reset "
                                                "and restore the default File Filter?|");
        QTest::newRow("reset No") << false << Rows{2, 3} << "" << QString() << QStringList{"reset No"} << abcde
                                  << Rows{2, 3} << QStringList{question + "No"};
        QTest::newRow("reset Yes") << false << Rows{2, 3} << "" << QString() << QStringList{"reset Yes"} << defaults
                                   << Rows{0} << QStringList{question + "Yes"};
    }
    void editing()
    {
        QFETCH(bool, fromDefaults);
        QFETCH(Rows, selected);
        QFETCH(QString, description);
        QFETCH(QString, patterns);
        QFETCH(QStringList, presses);
        QFETCH(QStringList, after);
        QFETCH(Rows, selectedAfter);
        QFETCH(QStringList, boxes);
        if (fromDefaults)
            storeFilters(QString(), {}); // the load's repair writes the defaults
        else
            storeFilters(QStringLiteral("5"), kABCDE);
        open();
        Prompts::clearRecords();
        select(selected);
        QTest::keyClicks(form->descr_txt, description);
        if (!patterns.isNull()) {
            form->Filetype_txt->clear();
            QTest::keyClicks(form->Filetype_txt, patterns);
        }
        const QByteArray before = settingsBytes();
        for (const QString& press : presses) {
            if (press.startsWith(QLatin1String("reset "))) {
                Prompts::queue(press.mid(6));
                click(form->Reset_Cmd);
            } else {
                click(form->findChild<QPushButton*>(press == QLatin1String("up")     ? QStringLiteral("selposup_cmd")
                                                    : press == QLatin1String("down") ? QStringLiteral("selposdown_cmd")
                                                                                     : press + QStringLiteral("_cmd")));
            }
        }
        QCOMPARE(descriptions(), after);
        QCOMPARE(selection(), selectedAfter);
        QCOMPARE(Prompts::records(), boxes);
        // Every box stays on top; the Reset question has No as its default, the others OK.
        QStringList styles;
        for (const QString& b : boxes)
            styles << (b.contains(QLatin1String("|YesNo|")) ? QStringLiteral("boxstyle|No|1")
                                                            : QStringLiteral("boxstyle|OK|1"));
        QCOMPARE(Prompts::boxStyles(), styles);
        // The boxes keep their texts; nothing is stored before the close.
        QCOMPARE(form->descr_txt->text(), description);
        QCOMPARE(form->Filetype_txt->text(), patterns.isNull() ? customfilefilterfrm::kFileTypeHint : patterns);
        QCOMPARE(settingsBytes(), before);
        QCOMPARE(host.fills, 0);
        if (presses.startsWith(QStringLiteral("add")) && boxes.isEmpty())
            QCOMPARE(shown().last(), description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }

    // Keys, double-click, the right button and the popup reach the same operations. Keypad minus
    // and plus act with any other modifier; the main keyboard's minus and plus do nothing.
    void keysAndMouse_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<Rows>("selected");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<Rows>("selectedAfter");
        const QStringList abcde{"A", "B", "C", "D", "E"};
        QTest::newRow("Delete") << "Delete" << Rows{1, 3} << QStringList{"A", "C", "E"} << Rows{};
        QTest::newRow("Shift+Delete") << "Shift+Delete" << Rows{0} << QStringList{"B", "C", "D", "E"} << Rows{};
        QTest::newRow("keypad minus") << "KeypadMinus" << Rows{2} << QStringList{"A", "C", "B", "D", "E"} << Rows{1};
        QTest::newRow("Ctrl+keypad minus")
            << "Ctrl+KeypadMinus" << Rows{2} << QStringList{"A", "C", "B", "D", "E"} << Rows{1};
        QTest::newRow("keypad plus") << "KeypadPlus" << Rows{2} << QStringList{"A", "B", "D", "C", "E"} << Rows{3};
        QTest::newRow("minus") << "Minus" << Rows{2} << abcde << Rows{2};
        QTest::newRow("plus") << "Plus" << Rows{2} << abcde << Rows{2};
        QTest::newRow("double-click") << "DoubleClick" << Rows{} << QStringList{"A", "C", "D", "E"} << Rows{};
        QTest::newRow("right press") << "RightPress" << Rows{0, 3} << abcde << Rows{0, 3};
        QTest::newRow("popup Remove") << "RemoveMnu" << Rows{0, 3} << QStringList{"B", "C", "E"} << Rows{};
        QTest::newRow("popup Move Up") << "MoveUpMnu" << Rows{3} << QStringList{"A", "B", "D", "C", "E"} << Rows{2};
        QTest::newRow("popup Move Down") << "MoveDownMnu" << Rows{0} << QStringList{"B", "A", "C", "D", "E"} << Rows{1};
        QTest::newRow("popup Select All") << "SelAllMnu" << Rows{2} << abcde << Rows{0, 1, 2, 3, 4};
        QTest::newRow("popup Deselect All") << "DelselAll" << Rows{0, 4} << abcde << Rows{};
    }
    void keysAndMouse()
    {
        QFETCH(QString, input);
        QFETCH(Rows, selected);
        QFETCH(QStringList, after);
        QFETCH(Rows, selectedAfter);
        storeFilters(QStringLiteral("5"), kABCDE);
        open();
        select(selected);
        FileTypeListBox* list = form->filtertype_lst;
        list->setFocus();
        const QPoint second = list->visualRect(list->model()->index(1, 0)).center();
        if (input == QLatin1String("Delete"))
            QTest::keyClick(list, Qt::Key_Delete);
        else if (input == QLatin1String("Shift+Delete"))
            QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
        else if (input == QLatin1String("KeypadMinus"))
            QTest::keyClick(list, Qt::Key_Minus, Qt::KeypadModifier);
        else if (input == QLatin1String("Ctrl+KeypadMinus"))
            QTest::keyClick(list, Qt::Key_Minus, Qt::KeypadModifier | Qt::ControlModifier);
        else if (input == QLatin1String("KeypadPlus"))
            QTest::keyClick(list, Qt::Key_Plus, Qt::KeypadModifier);
        else if (input == QLatin1String("Minus"))
            QTest::keyClick(list, Qt::Key_Minus);
        else if (input == QLatin1String("Plus"))
            QTest::keyClick(list, Qt::Key_Plus);
        else if (input == QLatin1String("DoubleClick")) {
            // The first press selects the entry under the pointer alone; the double-click removes it.
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
        } else if (input == QLatin1String("RightPress")) {
            QTest::mousePress(list->viewport(), Qt::RightButton, {}, second);
            QTRY_VERIFY(form->FileTypeSelPopupMnu->isVisible());
            form->FileTypeSelPopupMnu->hide();
            QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, second);
        } else {
            form->findChild<QAction*>(input)->trigger();
        }
        QCOMPARE(descriptions(), after);
        QCOMPARE(selection(), selectedAfter);
        QVERIFY(Prompts::records().isEmpty());
    }

    // Every close stores the list, refills the type box from the values read back and hands the
    // count on; the close box and Escape both go through it.
    void store_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("patterns"); // null: nothing added
        QTest::addColumn<QStringList>("filter");
        QTest::addColumn<QStringList>("filterInfo");
        QTest::newRow("defaults") << false << QString() << QString()
                                  << QStringList{"1=*.mpg,*.mpeg,*.mpe", "2=*.mp3", "3=*.*"}
                                  << QStringList{"1=Mpeg", "2=Mp3", "3=All Files"};
        QTest::newRow("Video added") << false << "Video"
                                     << "*.avi,*.vob"
                                     << QStringList{"1=*.mpg,*.mpeg,*.mpe", "2=*.mp3", "3=*.*", "4=*.avi,*.vob"}
                                     << QStringList{"1=Mpeg", "2=Mp3", "3=All Files", "4=Video"};
        QTest::newRow("Video added, Escape")
            << true << "Video"
            << "*.avi,*.vob" << QStringList{"1=*.mpg,*.mpeg,*.mpe", "2=*.mp3", "3=*.*", "4=*.avi,*.vob"}
            << QStringList{"1=Mpeg", "2=Mp3", "3=All Files", "4=Video"};
        QTest::newRow("odd texts") << false << "Odd (x), \"q\""
                                   << " *.a, *.b "
                                   << QStringList{"1=*.mpg,*.mpeg,*.mpe", "2=*.mp3", "3=*.*", "4= *.a, *.b "}
                                   << QStringList{"1=Mpeg", "2=Mp3", "3=All Files", "4=Odd (x), \"q\""};
    }
    void store()
    {
        QFETCH(bool, byEscape);
        QFETCH(QString, description);
        QFETCH(QString, patterns);
        QFETCH(QStringList, filter);
        QFETCH(QStringList, filterInfo);
        // A longer list before: nothing of it may be left above the new count.
        storeFilters(QStringLiteral("6"), kABCDE + QStringList{QStringLiteral("F|*.f")});
        open();
        Prompts::queue(QStringLiteral("Yes"));
        QTest::mouseClick(form->Reset_Cmd, Qt::LeftButton);
        Prompts::clearRecords();
        if (!patterns.isNull()) {
            form->descr_txt->setText(description);
            form->Filetype_txt->setText(patterns);
            QTest::mouseClick(form->add_cmd, Qt::LeftButton);
        }
        if (byEscape) {
            form->filtertype_lst->setFocus();
            QTest::keyClick(form->filtertype_lst, Qt::Key_Escape);
        } else {
            QVERIFY(form->close());
        }
        QVERIFY(!form->isVisible());
        QVERIFY(Prompts::records().isEmpty());
        const QString n = QString::number(filter.size());
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), n);
        QCOMPARE(groupLines(QStringLiteral("Filter")), filter);
        QCOMPARE(groupLines(QStringLiteral("FilterInfo")), filterInfo);
        QStringList forms = kDefaults;
        if (!patterns.isNull())
            forms << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
        QCOMPARE(host.typeBox, forms);
        QCOMPARE(host.fills, 1);
        QCOMPARE(preferences.counts, QStringList{n});
    }

    // An empty list cannot be closed: the message, the window stays, nothing is written.
    void emptyListStaysOpen()
    {
        storeFilters(QStringLiteral("5"), kABCDE);
        open();
        form->SelAllMnu->trigger();
        QTest::mouseClick(form->remove_cmd, Qt::LeftButton);
        const QByteArray before = settingsBytes();
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QTest::keyClick(form->filtertype_lst, Qt::Key_Escape);
        QVERIFY(form->isVisible());
        QCOMPARE(Prompts::records(), QStringList(2, exclamation(QStringLiteral("At least 1 FileType must exist!"))));
        QCOMPARE(settingsBytes(), before);
        QCOMPARE(host.fills, 0);
        QVERIFY(preferences.counts.isEmpty());
        // Added again, it closes.
        form->descr_txt->setText(QStringLiteral("Video"));
        form->Filetype_txt->setText(QStringLiteral("*.avi"));
        QTest::mouseClick(form->add_cmd, Qt::LeftButton);
        QVERIFY(form->close());
        QCOMPARE(groupLines(QStringLiteral("Filter")), QStringList{"1=*.avi"});
    }

    // Hundreds of types close at once: the whole list replaces the settings file once, and a file
    // that does not take it warns once, the list kept for the rest of the run.
    void manyTypesAreWrittenInOneReplacement_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("settings file writable") << true;
        QTest::newRow("settings folder is a file") << false;
    }
    void manyTypesAreWrittenInOneReplacement()
    {
        QFETCH(bool, writable);
        constexpr int kTypes = 200;
        QByteArray ini = "[General]\nNoOfFilter=200\n\n[Filter]\n";
        QByteArray info = "\n[FilterInfo]\n";
        QStringList filter, filterInfo;
        for (int i = 1; i <= kTypes; ++i) {
            const QByteArray n = QByteArray::number(i);
            ini += n + "=*.t" + n + "\n";
            info += n + "=Type " + n + "\n";
            filter << QStringLiteral("%1=*.t%1").arg(i);
            filterInfo << QStringLiteral("%1=Type %1").arg(i);
        }
        kivrotest::writeFile(paths::settingsFile(), ini + info);
        open();
        QCOMPARE(form->filtertype_lst->ListCount(), kTypes);
        QString settingsFile;
        if (!writable)
            settingsFile = kivrotest::unwritableSettingsStore(QStringLiteral("Tesma"));
        win::RegStoreResetRun();
        Prompts::clearRecords();
        const std::uint64_t before = win::RegStoreFileWrites();
        QVERIFY(form->close());
        QCOMPARE(win::RegStoreFileWrites() - before, std::uint64_t(writable ? 1 : 0));
        QCOMPARE(host.typeBox.size(), qsizetype(kTypes));
        QCOMPARE(host.typeBox.last(), QStringLiteral("Type 200 (*.t200)"));
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), QStringLiteral("200"));
        if (writable) {
            QVERIFY(Prompts::records().isEmpty());
            QCOMPARE(groupLines(QStringLiteral("Filter")).size(), qsizetype(kTypes));
            QCOMPARE(groupLines(QStringLiteral("FilterInfo")).size(), qsizetype(kTypes));
            filter.sort();
            filterInfo.sort();
            QStringList stored = groupLines(QStringLiteral("Filter"));
            stored.sort();
            QCOMPARE(stored, filter);
            stored = groupLines(QStringLiteral("FilterInfo"));
            stored.sort();
            QCOMPARE(stored, filterInfo);
        } else {
            QCOMPARE(Prompts::records(), QStringList{QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|")
                                                     + win::RegStoreWarningText(settingsFile) + QStringLiteral("|OK")});
            QVERIFY(win::RegStoreWriteFailed());
            kivrotest::writableSettingsStore();
            win::RegStoreResetRun();
        }
    }

    // The load: the repairs, the gaps, and a count with text after its number (read to its end,
    // so that the close stores every filter).
    void load_data()
    {
        QTest::addColumn<QString>("count"); // null: missing
        QTest::addColumn<QStringList>("filterSlots");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("countAfter");
        QTest::addColumn<QStringList>("storedAtClose"); // FilterInfo lines
        QTest::newRow("count missing") << QString() << kABCDE << QStringList{kDamaged} << kDefaults << "3"
                                       << QStringList{"1=Mpeg", "2=Mp3", "3=All Files"};
        QTest::newRow("count 0") << "0" << kABCDE << QStringList{kDamaged} << kDefaults << "3"
                                 << QStringList{"1=Mpeg", "2=Mp3", "3=All Files"};
        QTest::newRow("slot 2 missing") << "3" << QStringList{"A|*.a", "", "C|*.c"} << QStringList{}
                                        << QStringList{"A (*.a)", "C (*.c)"} << "2" << QStringList{"1=A", "2=C"};
        QTest::newRow("only a pattern or only a description")
            << "2" << QStringList{"|*.a", "B|"} << QStringList{} << QStringList{" (*.a)", "B ()"} << "2"
            << QStringList{"1=", "2=B"};
        QTest::newRow("both groups missing") << "2" << QStringList{} << QStringList{kDamaged} << kDefaults << "3"
                                             << QStringList{"1=Mpeg", "2=Mp3", "3=All Files"};
        QTest::newRow("no number") << "x" << kABCDE << QStringList{kDamaged} << kDefaults << "3"
                                   << QStringList{"1=Mpeg", "2=Mp3", "3=All Files"};
        QTest::newRow("5x with slot 2 missing")
            << "5x" << QStringList{"A|*.a", "", "C|*.c", "D|*.d", "E|*.e"} << QStringList{}
            << QStringList{"A (*.a)", "C (*.c)", "D (*.d)", "E (*.e)"} << "5x"
            << QStringList{"1=A", "2=C", "3=D", "4=E"};
    }
    void load()
    {
        QFETCH(QString, count);
        QFETCH(QStringList, filterSlots);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, entries);
        QFETCH(QString, countAfter);
        QFETCH(QStringList, storedAtClose);
        storeFilters(count, filterSlots);
        open();
        QCOMPARE(Prompts::records(), boxes);
        QCOMPARE(shown(), entries);
        QCOMPARE(selection(), Rows{0});
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), countAfter);
        // Only the repair writes fCheck.
        QCOMPARE(setting(QStringLiteral("fCheck")),
                 boxes.isEmpty() ? QStringLiteral("<none>") : QStringLiteral("fPass"));
        QVERIFY(form->close());
        QCOMPARE(groupLines(QStringLiteral("FilterInfo")), storedAtClose);
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), QString::number(storedAtClose.size()));
    }

    // Show() is modal without an owner and opens afresh: the text boxes and the list are read
    // again at every opening.
    void showIsModalAndFresh()
    {
        storeFilters(QStringLiteral("5"), kABCDE);
        bool ran = false;
        QTimer::singleShot(0, form.get(), [&] {
            ran = form->isModal() && form->isVisible();
            form->descr_txt->setText(QStringLiteral("left over"));
            form->filtertype_lst->setSelected(0, false);
            form->filtertype_lst->setSelected(4, true);
            form->selposup_cmd->click();
            form->close();
        });
        form->Show();
        QVERIFY(ran);
        QCOMPARE(groupLines(QStringLiteral("FilterInfo")), (QStringList{"1=A", "2=B", "3=C", "4=E", "5=D"}));
        QStringList seen;
        QTimer::singleShot(0, form.get(), [&] {
            seen << form->descr_txt->text() << form->Filetype_txt->text() << descriptions();
            form->close();
        });
        form->Show();
        QCOMPARE(seen, (QStringList{"", "*.FileType1,*.FileType2", "A", "B", "C", "E", "D"}));
    }
};

KIVRO_TEST_MAIN(TestCustomFileFilter)
#include "tst_customfilefilterfrm.moc"
