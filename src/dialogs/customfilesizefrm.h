#pragma once
// The custom unpack size dialog: one of five custom ways of cutting a file (pieces of a size in
// K, one first piece, one last piece, a percentage, a number of pieces) and its number. OK checks
// the number, sets the piece-size and split-mode globals the split reads, moves the size menu's
// check mark to CustomSizeChk and, unless the preferences window has the dialog open, stores the
// choice and rewrites the item's caption; the preferences window's pending copy always follows.
//
// Modal without an owner, and fresh at every opening: five empty boxes and the mode of the stored
// "sSize" (by size for anything else).
#include "dialogs/PreferencesLink.h"

#include <QDialog>
#include <QString>

#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kivro {

class customfilesizefrm : public QDialog {
    Q_OBJECT
public:
    explicit customfilesizefrm(QWidget* parent = nullptr);
    ~customfilesizefrm() override;

    // Loads the dialog afresh and shows it modally; returns when it is closed.
    void Show();

    // Digit-only entry for a box: ASCII digits, typed or pasted, and nothing else (Flag True), or
    // any text (Flag False).
    static void SetNumber(QLineEdit* NumberText, bool Flag);

    // Event procedures.
    void Form_Load();
    void ByFilesizeOpt_Click();
    void ByFirstFilesizeOpt_Click();
    void ByLastFilesizeOpt_Click();
    void ByPercentFilesizeOpt_Click();
    void ByNoOfFilesOpt_Click();
    void OKButton_Click();
    void CancelButton_Click();

    // Controls.
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* ByFilesizeOpt = nullptr;
    QRadioButton* ByFirstFilesizeOpt = nullptr;
    QRadioButton* ByLastFilesizeOpt = nullptr;
    QRadioButton* ByPercentFilesizeOpt = nullptr;
    QRadioButton* ByNoOfFilesOpt = nullptr;
    QLineEdit* CustomFilesize_txt = nullptr;
    QLineEdit* CustomFirstFilesize_txt = nullptr;
    QLineEdit* CustomLastFilesize_txt = nullptr;
    QLineEdit* CustomPercentFilesize_txt = nullptr;
    QLineEdit* NoOfFiles_txt = nullptr;
    QLineEdit* note_txt = nullptr;
    QLineEdit* individual_lbl = nullptr;
    // Never shown: its text colour is the chosen box's background, its background the grey of
    // the other boxes.
    QLineEdit* TempColor = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    struct Mode {
        CustomSizeMode mode;
        QRadioButton* option;
        QLineEdit* box;
    };
    // The modes in the order OK tests them.
    Mode modes(int i) const;
    void choose(CustomSizeMode mode);
};

} // namespace kivro
