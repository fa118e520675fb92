#include "platform/MsgBox.h"

#include "platform/Globals.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace kivro {

namespace {

std::vector<int> buttonsOf(int style)
{
    switch (style & 7) {
    case vbOKCancel:
        return {vbOK, vbCancel};
    case vbAbortRetryIgnore:
        return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel:
        return {vbYes, vbNo, vbCancel};
    case vbYesNo:
        return {vbYes, vbNo};
    case vbRetryCancel:
        return {vbRetry, vbCancel};
    default:
        return {vbOK};
    }
}

// The button a box has as its default: the first unless the style names another it has.
int defaultButtonOf(int style)
{
    const std::vector<int> buttons = buttonsOf(style);
    const size_t index = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

bool topMostOf(int style)
{
    return style & (vbTopMost | vbSystemModal | vbMsgBoxSetForeground);
}

void recordBox(int style, const QString& title, const QString& prompt, const QString& answer)
{
    Prompts::recordBox({QStringLiteral("box"), msgBoxIconName(style), msgBoxButtonsName(style), title, prompt, answer},
                       msgBoxAnswerName(defaultButtonOf(style)), topMostOf(style));
}

int answerFromName(const QString& name)
{
    for (int a = vbOK; a <= vbNo; ++a)
        if (msgBoxAnswerName(a) == name)
            return a;
    return 0;
}

int scriptedAnswer(const QString& prompt, int style, const QString& title)
{
    const std::vector<int> buttons = buttonsOf(style);
    int answer = 0;
    const std::optional<QString> line = Prompts::next();
    if (!line) {
        if (buttons.size() == 1) {
            answer = vbOK;
        } else {
            for (int b : buttons)
                if (b == vbCancel || b == vbNo) {
                    answer = b;
                    break;
                }
            if (answer == 0)
                answer = vbAbort;
        }
    } else {
        answer = answerFromName(line->trimmed());
        bool offered = false;
        for (int b : buttons)
            offered = offered || b == answer;
        if (!offered) {
            recordBox(style, title, prompt, QString());
            Prompts::wrongKind(QStringLiteral("box answered with '%1'").arg(*line));
            return buttons.size() == 1 ? vbOK : (buttons.back() == vbIgnore ? vbAbort : buttons.back());
        }
    }
    recordBox(style, title, prompt, msgBoxAnswerName(answer));
    if (!line && buttons.size() > 1)
        Prompts::record({QStringLiteral("error"), QStringLiteral("no answer left")});
    return answer;
}

int shownAnswer(const QString& prompt, int style, const QString& title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(prompt);
    switch (style & 0x70) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if (topMostOf(style))
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);

    const std::vector<int> buttons = buttonsOf(style);
    std::vector<QPushButton*> pushButtons;
    for (int b : buttons) {
        QMessageBox::StandardButton sb = QMessageBox::Ok;
        switch (b) {
        case vbOK:
            sb = QMessageBox::Ok;
            break;
        case vbCancel:
            sb = QMessageBox::Cancel;
            break;
        case vbAbort:
            sb = QMessageBox::Abort;
            break;
        case vbRetry:
            sb = QMessageBox::Retry;
            break;
        case vbIgnore:
            sb = QMessageBox::Ignore;
            break;
        case vbYes:
            sb = QMessageBox::Yes;
            break;
        case vbNo:
            sb = QMessageBox::No;
            break;
        }
        pushButtons.push_back(box.addButton(sb));
    }
    const int byDefault = defaultButtonOf(style);
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i] == byDefault)
            box.setDefaultButton(pushButtons[i]);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (size_t i = 0; i < pushButtons.size(); ++i)
        if (pushButtons[i] == clicked)
            return buttons[i];
    // Closed without a button: the box's cancel answer.
    for (int b : buttons)
        if (b == vbCancel || b == vbNo)
            return b;
    return buttons.front();
}

} // namespace

QString msgBoxIconName(int style)
{
    switch (style & 0x70) {
    case vbCritical:
        return QStringLiteral("Critical");
    case vbQuestion:
        return QStringLiteral("Question");
    case vbExclamation:
        return QStringLiteral("Exclamation");
    case vbInformation:
        return QStringLiteral("Information");
    default:
        return QStringLiteral("None");
    }
}

QString msgBoxButtonsName(int style)
{
    switch (style & 7) {
    case vbOKCancel:
        return QStringLiteral("OKCancel");
    case vbAbortRetryIgnore:
        return QStringLiteral("AbortRetryIgnore");
    case vbYesNoCancel:
        return QStringLiteral("YesNoCancel");
    case vbYesNo:
        return QStringLiteral("YesNo");
    case vbRetryCancel:
        return QStringLiteral("RetryCancel");
    default:
        return QStringLiteral("OK");
    }
}

QString msgBoxAnswerName(int answer)
{
    switch (answer) {
    case vbOK:
        return QStringLiteral("OK");
    case vbCancel:
        return QStringLiteral("Cancel");
    case vbAbort:
        return QStringLiteral("Abort");
    case vbRetry:
        return QStringLiteral("Retry");
    case vbIgnore:
        return QStringLiteral("Ignore");
    case vbYes:
        return QStringLiteral("Yes");
    case vbNo:
        return QStringLiteral("No");
    default:
        return QString();
    }
}

int MsgBox(const QString& prompt, int style, const QString& title)
{
    if (Prompts::scripted())
        return scriptedAnswer(prompt, style, title);
    return shownAnswer(prompt, style, title);
}

int MsgBoxResult(const QString& prompt, int style, const QString& title)
{
    gMsgResult = MsgBox(prompt, style, title);
    return gMsgResult;
}

} // namespace kivro
