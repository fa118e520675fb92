// The end of a window: once its destructor has run, what its controls do while they go (the
// events Qt sends them, a signal, a key, a drop, a press) reaches nothing of the window any more.
// The window's members are gone by then, so a handler that still ran would read a dead window
// and might touch a control that was already deleted.
#include "KivroTest.h"

#include "dialogs/Preferencesfrm.h"
#include "dialogs/TechSupportDialog.h"
#include "dialogs/Tipfrm.h"
#include "dialogs/abtfrm.h"
#include "dialogs/copyrightstampingfrm.h"
#include "dialogs/customfilefilterfrm.h"
#include "dialogs/customfilesizefrm.h"
#include "mainwindow/kivromainfrm.h"
#include "packlist/Brovletfrm.h"
#include "platform/SkinImage.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

using namespace kivro;

namespace {

template <class T> T* control(QWidget* window, const char* name)
{
    auto* c = window->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(local), target->mapToGlobal(QPointF(local)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

} // namespace

class TestWindowEnd : public QObject {
    Q_OBJECT

private slots:
    void init() { Prompts::clearRecords(); }

    // Each way a control of the main window calls into it, tried on a live control once while
    // the window is whole (the window reacts) and once while its end is under way (it does not).
    void mainWindowControls_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("the skin's router: a move over the file list") << "router";
        QTest::newRow("the window's keys: F5 on the file list") << "keys";
        QTest::newRow("a drop on the save-as box") << "drop";
        QTest::newRow("a click on the preview's label") << "label";
        QTest::newRow("a drag by the caption") << "drag";
        QTest::newRow("a button's signal") << "signal";
    }
    void mainWindowControls()
    {
        QFETCH(QString, way);
        auto* w = new kivromainfrm;
        w->move(200, 100);
        w->show();
        QWidget* const window = w; // what is left of it while it ends
        auto* add = control<SkinImage>(w, "ButtonAdd_Img");
        auto* list = control<QWidget>(w, "File1");
        auto* box = control<QLineEdit>(w, "SaveAsNewFilename_txt");
        auto* check = control<QCheckBox>(w, "ShowPreviewChk");
        auto* label = control<QLabel>(w, "ShowPreviewLbl");
        auto* caption = control<QLabel>(w, "TesmaKivroCaption");
        auto* browse = control<QPushButton>(w, "Browse_cmd");
        QMimeData missingFile;
        missingFile.setUrls({QUrl::fromLocalFile(kivrotest::rootDir() + QStringLiteral("/not there.mpg"))});

        // True when the window's handler ran.
        const auto act = [&] {
            Prompts::clearRecords();
            add->showOver();
            const bool checked = check->isChecked();
            const QPoint at = window->pos();
            if (way == QLatin1String("router")) {
                sendMouse(list, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
                return add->picture() != SkinImage::Picture::Over;
            }
            if (way == QLatin1String("keys")) {
                QKeyEvent key(QEvent::ShortcutOverride, Qt::Key_F5, Qt::NoModifier);
                key.ignore();
                QApplication::sendEvent(list, &key);
                return key.isAccepted();
            }
            if (way == QLatin1String("drop")) {
                QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &missingFile, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(box, &enter);
                QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &missingFile, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(box, &drop);
                return !Prompts::records().isEmpty();
            }
            if (way == QLatin1String("label")) {
                sendMouse(label, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
                sendMouse(label, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
                return check->isChecked() != checked;
            }
            if (way == QLatin1String("drag")) {
                sendMouse(caption, QEvent::MouseButtonPress, QPoint(4, 4), Qt::LeftButton, Qt::LeftButton);
                sendMouse(caption, QEvent::MouseMove, QPoint(24, 14), Qt::NoButton, Qt::LeftButton);
                sendMouse(caption, QEvent::MouseButtonRelease, QPoint(24, 14), Qt::LeftButton, Qt::NoButton);
                return window->pos() != at;
            }
            emit browse->clicked();
            return !Prompts::records().isEmpty();
        };
        QVERIFY2(act(), "the whole window does not react");
        bool reacted = true;
        kivrotest::whileWindowEnds(w, [&] { reacted = act(); });
        QVERIFY(!reacted);
    }

    // No window leaves a filter or a connection that calls into it once its end has begun.
    void windows_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* name : {"main window", "pack-list window", "Preferences", "tips", "about", "support",
                                 "copyright stamp", "custom size", "file types"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void windows()
    {
        QFETCH(QString, window);
        kivromainfrm host;
        QWidget* w = nullptr;
        if (window == QLatin1String("main window"))
            w = new kivromainfrm;
        else if (window == QLatin1String("pack-list window"))
            w = new Brovletfrm(host);
        else if (window == QLatin1String("Preferences"))
            w = new Preferencesfrm;
        else if (window == QLatin1String("tips"))
            w = new Tipfrm;
        else if (window == QLatin1String("about"))
            w = new abtfrm;
        else if (window == QLatin1String("support"))
            w = new TechSupportDialog;
        else if (window == QLatin1String("copyright stamp"))
            w = new copyrightstampingfrm;
        else if (window == QLatin1String("custom size"))
            w = new customfilesizefrm;
        else
            w = new customfilefilterfrm;
        w->show();
        QCOMPARE(kivrotest::handlersLeftAtWindowEnd(w), QStringList());
    }
};

KIVRO_TEST_MAIN(TestWindowEnd)
#include "tst_windowend.moc"
