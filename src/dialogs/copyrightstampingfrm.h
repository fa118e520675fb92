#pragma once
// The copyright stamp editor: the text of the stamp file, which every join batch file echoes,
// with a count-down of the room left, "&Save" while there are unsaved changes and "Close". Every
// way of closing asks before unsaved changes are dropped.
//
// The main window's load loads the editor hidden (which fills the stamp lines); every close
// unloads it, and the next opening loads it again from the file.
#include <QDialog>
#include <QPlainTextEdit>
#include <QString>

class QLabel;
class QPushButton;

namespace kivro {

// The stamp text box: at most kLimit characters, a line break counting as two (as the file
// holds it, CR LF). Typing, pasting or dropping can add only what fits; a longer text set by the
// program is kept whole, and then nothing can be added.
class CopyrightTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kLimit = 640;
    explicit CopyrightTextEdit(QWidget* parent = nullptr);

    // Characters of a text with every line break counted as two.
    static int countOf(const QString& text);
    // What kLimit leaves for text put in place of the selection (below zero when the text is
    // longer than the limit already).
    int room() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

class copyrightstampingfrm : public QDialog {
    Q_OBJECT
public:
    explicit copyrightstampingfrm(QWidget* parent = nullptr);
    ~copyrightstampingfrm() override;

    // Shows the editor modally, loading it first when it is not loaded; returns when it closes.
    void Show();
    // Loaded from Form_Load (also without being shown) until it is closed.
    bool isLoaded() const { return m_loaded; }

    // Reloads the text and the main window's stamp lines from the stamp file (a missing file is
    // created with the default line) and disables "&Save".
    void LoadCopyrightDataFromFile();

    // Event procedures.
    void Form_Load();
    void Copyright_txt_Change();
    // Saves the text; false when it could not be written and the user gave up (Cancel).
    bool SaveButton_Click();
    void CancelButton_Click();
    // True when the editor may close: no unsaved changes, or the user answered the question
    // (No, or Yes and the save succeeded).
    bool Form_QueryUnload();

    // Controls.
    QLabel* packwhat_lbl = nullptr;
    CopyrightTextEdit* Copyright_txt = nullptr;
    QLabel* note_lbl = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes through the same question as the close box.
    void reject() override;

private:
    bool m_loaded = false;
};

} // namespace kivro
