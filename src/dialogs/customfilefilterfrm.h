#pragma once
// The custom file-type filter editor: the user's ordered list of named pattern lists that the
// file browser's type box offers. Add, remove, move up and down, select, and reset to the three
// defaults; there is no OK or Cancel: every close stores the list (an empty list cannot be
// closed) and refills the main window's type box.
//
// Modal without an owner. Every opening reads the list afresh from the settings; the settings
// change only when the window closes.
#include "dialogs/FileFilterModel.h"

#include <QDialog>
#include <QListView>
#include <QString>

class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;

namespace kivro {

// The shown list (filtertype_lst): several entries may be selected at once. A right-button
// press leaves the selection as it is. Keys are reported before the list's own handling and
// the presses after it; a key the window acts on goes no further.
class FileTypeListBox : public QListView {
    Q_OBJECT
public:
    explicit FileTypeListBox(QWidget* parent = nullptr);

    int ListCount() const;
    bool Selected(int row) const;
    void setSelected(int row, bool selected);
    int SelCount() const;

signals:
    // Return true from the handler (through `handled`) when the key did something.
    void keyDown(int key, Qt::KeyboardModifiers modifiers, bool* handled);
    void mouseDown(Qt::MouseButton button, QPoint pos);
    void dblClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class customfilefilterfrm : public QDialog {
    Q_OBJECT
public:
    // The pattern box's text when the window opens; it counts as no pattern list.
    static inline const QString kFileTypeHint = QStringLiteral("*.FileType1,*.FileType2");

    explicit customfilefilterfrm(QWidget* parent = nullptr);
    ~customfilefilterfrm() override;

    // Loads the window afresh and shows it modally; returns when it has closed.
    void Show();

    // The filters as the window holds them.
    const FileFilterModel& filters() const { return m_filters; }

    // Event procedures.
    void Form_Load();
    void add_cmd_Click();
    void remove_cmd_Click();
    void selposup_cmd_Click();
    void selposdown_cmd_Click();
    void SelAllMnu_Click();
    void DelselAll_Click();
    void Reset_Cmd_Click();
    // Stores the list; false (the window stays open) when the list is empty.
    bool Form_Unload();
    // True when the key did something.
    bool filtertype_lst_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void filtertype_lst_MouseDown(Qt::MouseButton button, QPoint pos);
    void filtertype_lst_DblClick();

    // The three default filters, the first selected; the settings are not touched.
    void RestoreDefaultFilters();

    // Controls.
    QLabel* Label1 = nullptr;
    QLineEdit* descr_txt = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Filetype_txt = nullptr;
    QLabel* note_lbl = nullptr;
    QLabel* packwhat_lbl = nullptr;
    FileTypeListBox* filtertype_lst = nullptr;
    QPushButton* add_cmd = nullptr;
    QPushButton* remove_cmd = nullptr;
    QPushButton* selposup_cmd = nullptr;
    QPushButton* selposdown_cmd = nullptr;
    QPushButton* Reset_Cmd = nullptr;
    QMenu* FileTypeSelPopupMnu = nullptr;
    QAction* RemoveMnu = nullptr;
    QAction* brkmnu01 = nullptr;
    QAction* MoveUpMnu = nullptr;
    QAction* MoveDownMnu = nullptr;
    QAction* brkmnu02 = nullptr;
    QAction* SelAllMnu = nullptr;
    QAction* DelselAll = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes through the same store as the close box.
    void reject() override;

private:
    void selectOnly(int row);

    FileFilterModel m_filters;
};

} // namespace kivro
