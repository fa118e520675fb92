#include "dialogs/copyrightstampingfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/DialogsHost.h"
#include "engine/MainWindowHosts.h"
#include "engine/CopyrightStamp.h"
#include "platform/Icon32bit.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/WindowHandlers.h"

#include <QCloseEvent>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QTextCursor>

namespace kivro {

copyrightstampingfrm* CopyrightStampForm()
{
    static copyrightstampingfrm* form = nullptr;
    if (!form)
        form = new copyrightstampingfrm();
    return form;
}

// --- the text box ---------------------------------------------------------------------------

namespace {

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Line breaks of pasted or dropped text as the box holds them.
QString withPlainBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The longest start of `text` that fits into `room`.
QString fitting(const QString& text, int room)
{
    int used = 0;
    qsizetype n = 0;
    for (; n < text.size(); ++n) {
        const int cost = isLineBreak(text.at(n)) ? 2 : 1;
        if (used + cost > room)
            break;
        used += cost;
    }
    return text.left(n);
}

// Writes every byte, block after block. Unbuffered, so that a short write (a full disk) is seen
// here: a buffered device may let it pass and commit a cut file.
bool writeAll(QSaveFile& file, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += qsizetype(n);
    }
    return true;
}

} // namespace

CopyrightTextEdit::CopyrightTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

int CopyrightTextEdit::countOf(const QString& text)
{
    int n = int(text.size());
    for (const QChar c : text)
        if (isLineBreak(c))
            ++n;
    return n;
}

int CopyrightTextEdit::room() const
{
    return kLimit - countOf(toPlainText()) + countOf(textCursor().selectedText());
}

void CopyrightTextEdit::keyPressEvent(QKeyEvent* event)
{
    int adds = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        adds = 2;
    } else if (!(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).isPrint())
            adds = countOf(text);
    }
    if (adds > 0 && adds > room()) {
        // Full: the key adds nothing.
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CopyrightTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText())
        return;
    // A paste or drop inserts what fits.
    const QString text = fitting(withPlainBreaks(source->text()), room());
    if (!text.isEmpty())
        textCursor().insertText(text);
}

void CopyrightTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty()) {
        const QString text = fitting(withPlainBreaks(commit), room());
        if (text != commit) {
            QInputMethodEvent cut(event->preeditString(), event->attributes());
            cut.setCommitString(text, event->replacementStart(), event->replacementLength());
            QPlainTextEdit::inputMethodEvent(&cut);
            return;
        }
    }
    QPlainTextEdit::inputMethodEvent(event);
}

// --- the editor -----------------------------------------------------------------------------

copyrightstampingfrm::copyrightstampingfrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("copyrightstampingfrm"));
    setWindowTitle(QStringLiteral("Copyright Stamping"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    packwhat_lbl = new QLabel(QStringLiteral("Copyright Text:"), this);
    packwhat_lbl->setObjectName(QStringLiteral("packwhat_lbl"));
    packwhat_lbl->setGeometry(10, 8, 300, 18);
    Copyright_txt = new CopyrightTextEdit(this);
    Copyright_txt->setObjectName(QStringLiteral("Copyright_txt"));
    Copyright_txt->setGeometry(10, 28, 380, 132);
    note_lbl = new QLabel(QStringLiteral("Note: Copyright text can hold another 640 characters."), this);
    note_lbl->setObjectName(QStringLiteral("note_lbl"));
    note_lbl->setGeometry(10, 166, 380, 18);
    SaveButton = new QPushButton(QStringLiteral("&Save"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setAutoDefault(false);
    SaveButton->setGeometry(214, 192, 84, 26);
    CancelButton = new QPushButton(QStringLiteral("Close"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    CancelButton->setGeometry(306, 192, 84, 26);
    setFixedSize(400, 228);
    setTabOrder(Copyright_txt, SaveButton);
    setTabOrder(SaveButton, CancelButton);

    connect(Copyright_txt, &QPlainTextEdit::textChanged, this, [this] { Copyright_txt_Change(); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { SaveButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

copyrightstampingfrm::~copyrightstampingfrm()
{
    // Its controls go after this body: none of their signals reaches the window from here on.
    StopWindowHandlers(*this);
}

void copyrightstampingfrm::Show()
{
    if (!m_loaded)
        Form_Load();
    Copyright_txt->setFocus();
    exec();
}

void copyrightstampingfrm::Form_Load()
{
    m_loaded = true;
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
    LoadCopyrightDataFromFile();
}

void copyrightstampingfrm::LoadCopyrightDataFromFile()
{
    Copyright_txt->setPlainText(QString());
    DialogsHost* host = gDialogsHost;
    if (!host)
        return;
    // The stamp lines go to the main window's list; the box holds each break as one "\n".
    const QString text = kivro::LoadCopyrightDataFromFile(host->StampLineOwner());
    Copyright_txt->setPlainText(withPlainBreaks(text));
    Copyright_txt->moveCursor(QTextCursor::End);
    SaveButton->setEnabled(false);
}

void copyrightstampingfrm::Copyright_txt_Change()
{
    const int n = CopyrightTextEdit::kLimit - CopyrightTextEdit::countOf(Copyright_txt->toPlainText());
    note_lbl->setText(QStringLiteral("Note: Copyright text can hold another ") + QString::number(n)
                      + (n < 2 ? QStringLiteral(" character.") : QStringLiteral(" characters.")));
    SaveButton->setEnabled(true);
}

bool copyrightstampingfrm::SaveButton_Click()
{
    const QString path = CopyrightStampFile();
    // The file holds the text with CR LF breaks and one CR LF after it, in the local 8-bit
    // encoding the load reads.
    QString text = Copyright_txt->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray bytes = (text + QStringLiteral("\r\n")).toLocal8Bit();
    for (;;) {
        bool saved = false;
        if (!path.isEmpty()) {
            // A read-only stamp file is made writable for its owner first; the new text goes
            // into a temporary file beside it that replaces the old one only once it is whole.
            if (QFile::exists(path))
                QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
            QSaveFile file(path);
            saved = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, bytes) && file.commit();
        }
        if (saved)
            break;
        if (paths::nameTooLong(path)) {
            MsgBoxResult(QStringLiteral("'") + path + QStringLiteral("' cannot be written: the name is too long."),
                         vbCritical | vbOKOnly);
            return false;
        }
        if (MsgBoxResult(QStringLiteral("Cannot overwrite '") + path
                             + QStringLiteral("'. Disk full/write-protected or file is in use."),
                         vbCritical | vbRetryCancel | vbTopMost)
            != vbRetry)
            return false;
    }
    Form_Load();
    return true;
}

void copyrightstampingfrm::CancelButton_Click()
{
    close();
}

bool copyrightstampingfrm::Form_QueryUnload()
{
    if (!SaveButton->isEnabled())
        return true;
    if (MsgBoxResult(QStringLiteral("Do you want to save the following changes before closing?"),
                     vbQuestion | vbYesNo | vbTopMost)
        != vbYes)
        return true;
    // A save the user gave up keeps the editor open with its text.
    return SaveButton_Click();
}

void copyrightstampingfrm::closeEvent(QCloseEvent* event)
{
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    // Unloaded: unsaved edits are gone, and the next opening loads the file again.
    m_loaded = false;
    event->accept();
}

void copyrightstampingfrm::reject()
{
    close();
}

} // namespace kivro
