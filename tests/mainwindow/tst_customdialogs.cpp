// The custom size dialog, the copyright stamp editor and the file-type filter editor opened from
// the real main window's items: the size items and their caption, the stored choice, Cancel, the
// stamp editor that the load prepares and the item opens, and the filter editor whose close
// refills the file-type box and filters the file list.
#include "KivroTest.h"
#include "StoredSettings.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/copyrightstampingfrm.h"
#include "dialogs/customfilefilterfrm.h"
#include "dialogs/customfilesizefrm.h"
#include "engine/CopyrightStamp.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "mainwindow/kivromainfrm.h"
#include "platform/Globals.h"
#include "platform/Paths.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace kivro;

namespace {

QString setting(const QString& name)
{
    return kivrotest::storedSetting(name, QStringLiteral("<none>"));
}

QByteArray settingsBytes()
{
    QFile f(paths::settingsFile());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

// Runs `whileOpen` once the modal window `dialog` is up, then triggers `item`; a window the
// steps left open is hidden, which ends its modal loop.
template <class Steps> void openModal(QAction* item, QDialog* dialog, Steps whileOpen)
{
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
        ran = true;
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->isModal());
        whileOpen();
        if (dialog->isVisible())
            dialog->hide();
    });
    item->trigger();
    QVERIFY(ran);
}

} // namespace

class TestCustomDialogs : public QObject {
    Q_OBJECT
    static QStringList checkedSizeItems(const kivromainfrm& w)
    {
        QStringList on;
        for (QAction* a :
             {w.SmallFloppySizeChk, w.LowFloppySizeChk, w.HighFloppySizeChk, w.ZipSizeChk, w.CustomSizeChk})
            if (a->isChecked())
                on << a->objectName();
        return on;
    }

private slots:
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
        gCalledFromPreferences = false;
        gAppPath = kivrotest::rootDir();
    }

    void customSizeFromTheMenu_data()
    {
        QTest::addColumn<QString>("optionName");
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("sSize");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<QString>("value");
        QTest::newRow("size") << "ByFilesizeOpt"
                              << "CustomFilesize_txt"
                              << "0050"
                              << "50K (Custom...)"
                              << "customfs"
                              << "cSize"
                              << "51200";
        QTest::newRow("first") << "ByFirstFilesizeOpt"
                               << "CustomFirstFilesize_txt"
                               << "1440"
                               << "First 1,440K (Custom...)"
                               << "customffs"
                               << "cSize"
                               << "1474560";
        QTest::newRow("percent") << "ByPercentFilesizeOpt"
                                 << "CustomPercentFilesize_txt"
                                 << "05"
                                 << "05% (Custom...)"
                                 << "custompfs"
                                 << "cPfs"
                                 << "05";
        QTest::newRow("files") << "ByNoOfFilesOpt"
                               << "NoOfFiles_txt"
                               << "012"
                               << "012 Files (Custom...)"
                               << "customnof"
                               << "cNof"
                               << "012";
    }
    void customSizeFromTheMenu()
    {
        QFETCH(QString, optionName);
        QFETCH(QString, boxName);
        QFETCH(QString, typed);
        QFETCH(QString, caption);
        QFETCH(QString, sSize);
        QFETCH(QString, valueName);
        QFETCH(QString, value);
        kivromainfrm w;
        w.LowFloppySizeChk_Click();
        QVERIFY(w.CustomSizeChk->isEnabled());
        customfilesizefrm* dialog = CustomFileSizeForm();
        QVERIFY(dialog->parentWidget() == nullptr);
        openModal(w.CustomSizeChk, dialog, [&] {
            QTest::mouseClick(dialog->findChild<QRadioButton*>(optionName), Qt::LeftButton);
            auto* box = dialog->findChild<QLineEdit*>(boxName);
            box->setFocus();
            QTest::keyClicks(box, typed);
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
        QVERIFY(Prompts::records().isEmpty());
        QCOMPARE(checkedSizeItems(w), QStringList{QStringLiteral("CustomSizeChk")});
        QCOMPARE(w.CustomSizeChk->text(), caption);
        QCOMPARE(setting(QStringLiteral("sSize")), sSize);
        QCOMPARE(setting(valueName), value);
        QCOMPARE(int(gSplitModeSize) + int(gSplitModeFirst) + int(gSplitModeLast) + int(gSplitModePercent)
                     + int(gSplitModeFiles),
                 1);

        // The next opening starts in the stored mode with empty boxes.
        openModal(w.CustomSizeChk, dialog, [&] {
            QVERIFY(dialog->findChild<QRadioButton*>(optionName)->isChecked());
            QVERIFY(dialog->findChild<QLineEdit*>(boxName)->text().isEmpty());
            QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
        });
        QCOMPARE(w.CustomSizeChk->text(), caption);
    }

    // Cancel leaves the fixed size checked and the settings as they were.
    void cancelKeepsTheFixedSize()
    {
        kivromainfrm w;
        w.SmallFloppySizeChk_Click();
        const QString caption = w.CustomSizeChk->text();
        const QByteArray before = settingsBytes();
        customfilesizefrm* dialog = CustomFileSizeForm();
        openModal(w.CustomSizeChk, dialog, [&] {
            QTest::keyClicks(dialog->CustomFilesize_txt, QStringLiteral("100"));
            QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
        });
        QCOMPARE(checkedSizeItems(w), QStringList{QStringLiteral("SmallFloppySizeChk")});
        QCOMPARE(w.CustomSizeChk->text(), caption);
        QCOMPARE(settingsBytes(), before);
        QCOMPARE(gUnpackSize, 360000);
        QVERIFY(Prompts::records().isEmpty());
    }

    // The load prepares the editor hidden with the stamp lines; the item opens it modally; a
    // save reaches the window's stamp lines.
    void stampEditorFromTheMenu()
    {
        QFile::remove(CopyrightStampFile());
        kivromainfrm w;
        w.show();
        copyrightstampingfrm* editor = CopyrightStampForm();
        QVERIFY(editor->isLoaded());
        QVERIFY(!editor->isVisible());
        QCOMPARE(w.CopyrightStamping_lst(), QStringList{QStringLiteral("@echo ") + kDefaultCopyrightStamp});
        QVERIFY(w.CopyrightStampingMnu->isEnabled());
        openModal(w.CopyrightStampingMnu, editor, [&] {
            QCOMPARE(editor->Copyright_txt->toPlainText(), kDefaultCopyrightStamp);
            QTest::keySequence(editor->Copyright_txt, QKeySequence::SelectAll);
            QTest::keyClicks(editor->Copyright_txt, QStringLiteral("Copyright Bob"));
            QTest::keyClick(editor->Copyright_txt, Qt::Key_Return);
            QTest::keyClicks(editor->Copyright_txt, QStringLiteral("x"));
            QTest::mouseClick(editor->SaveButton, Qt::LeftButton);
            QTest::mouseClick(editor->CancelButton, Qt::LeftButton);
        });
        QVERIFY(!editor->isVisible());
        QVERIFY(!editor->isLoaded());
        QCOMPARE(kivrotest::readFile(CopyrightStampFile()), QByteArray("Copyright Bob\r\nx\r\n"));
        QCOMPARE(w.CopyrightStamping_lst(),
                 (QStringList{QStringLiteral("@echo Copyright Bob"), QStringLiteral("@echo x")}));
        QVERIFY(Prompts::records().isEmpty());
    }

    // A filter added, moved to the top with keypad minus and stored by the close box: the type
    // box lists the four filters with the new one chosen, and the file list shows its files.
    void fileTypeEditorFromTheMenu()
    {
        const QString dir = kivrotest::rootDir() + QStringLiteral("/types");
        QDir().mkpath(dir);
        for (const char* name : {"a.avi", "b.vob", "c.mpg"})
            kivrotest::writeFile(dir + QLatin1Char('/') + QLatin1String(name), "x");
        kivromainfrm w;
        w.show();
        QVERIFY(w.BrowseTo(dir));
        QVERIFY(w.FileTypeMnu->isEnabled());
        customfilefilterfrm* editor = CustomFileFilterForm();
        QVERIFY(editor->parentWidget() == nullptr);
        Prompts::clearRecords();
        openModal(w.FileTypeMnu, editor, [&] {
            QTest::keyClicks(editor->descr_txt, QStringLiteral("Video"));
            editor->Filetype_txt->selectAll();
            QTest::keyClicks(editor->Filetype_txt, QStringLiteral("*.avi,*.vob"));
            QTest::mouseClick(editor->add_cmd, Qt::LeftButton);
            FileTypeListBox* list = editor->filtertype_lst;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(list->model()->index(3, 0)).center());
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(list, Qt::Key_Minus, Qt::KeypadModifier);
            QVERIFY(editor->close());
        });
        QVERIFY(Prompts::records().isEmpty());
        QStringList types;
        for (int i = 0; i < w.pattern_cmb->count(); ++i)
            types << w.pattern_cmb->itemText(i);
        QCOMPARE(types,
                 (QStringList{"Video (*.avi,*.vob)", "Mpeg (*.mpg,*.mpeg,*.mpe)", "Mp3 (*.mp3)", "All Files (*.*)"}));
        QCOMPARE(w.pattern_cmb->currentIndex(), 0);
        QStringList files;
        for (int i = 0; i < w.File1->ListCount(); ++i)
            files << w.File1->List(i);
        QCOMPARE(files, (QStringList{"a.avi", "b.vob"}));
        QVERIFY(w.File1->Selected(0));
        QVERIFY(!w.File1->Selected(1));
        QCOMPARE(setting(QStringLiteral("NoOfFilter")), QStringLiteral("4"));
        QCOMPARE(Registry::RegReadString(Registry::HKEY_CURRENT_USER, Registry::kFilterKey, QStringLiteral("1")),
                 QStringLiteral("*.avi,*.vob"));
    }
};

KIVRO_TEST_MAIN(TestCustomDialogs)
#include "tst_customdialogs.moc"
