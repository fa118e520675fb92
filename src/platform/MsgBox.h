#pragma once
// Message boxes with the classic style bits and answer codes. Every box of the programs goes
// through MsgBox, so the scripted mode (Prompts) can answer and record them.
#include <QString>

namespace kivro {

// Buttons
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
// Icons
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
// Default button and modality
constexpr int vbDefaultButton1 = 0;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;
constexpr int vbSystemModal = 4096;
constexpr int vbMsgBoxSetForeground = 65536;
// The top-most flag of the platform's boxes.
constexpr int vbTopMost = 0x40000;

// Answers
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// The title of the main program's boxes.
inline const QString kAppTitle = QStringLiteral("Tesma Kivro Pro");

// Shows a box and returns the answer code. It does not store gMsgResult; MsgBoxResult does.
int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = kAppTitle);

// MsgBox that also stores the answer in gMsgResult, as most of the program's boxes do.
int MsgBoxResult(const QString& prompt, int style = vbOKOnly, const QString& title = kAppTitle);

// Names used in the test log and the answers file.
QString msgBoxIconName(int style);
QString msgBoxButtonsName(int style);
QString msgBoxAnswerName(int answer);

} // namespace kivro
