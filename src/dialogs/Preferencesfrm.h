#pragma once
// The preferences window: every setting as one row of a grid (a caption and a value box), a
// category list that pages through them, and on each page the combo of its one setting laid
// over that setting's value box. Choices take effect only with OK, through the main window's
// option handlers (DialogsHost); Cancel, Esc and the close box apply nothing and give the
// three custom folders back the values they had when the window opened. Reset proposes the
// default of every row and rewrites the default file types at once.
//
// One window object for the whole run (PreferencesWindow()); modal without an owner. Every
// showing loads the window afresh from the built-in item texts and the stored settings; the
// pending custom size that the custom size dialog leaves here lives as long as the object.
#include "dialogs/PreferencesLink.h"

#include <QComboBox>
#include <QDialog>
#include <QString>

#include <cstdint>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kivro {
class DialogsHost;
}

namespace kivro {

// The category list: it reports the arrow keys (and a wheel step as the arrow of its direction)
// before its own handling moves the selection.
class PrefCategoryBox : public QComboBox {
    Q_OBJECT
public:
    explicit PrefCategoryBox(QWidget* parent = nullptr) : QComboBox(parent) {}

signals:
    void keyDown(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

class Preferencesfrm : public QDialog, public PreferencesLink {
    Q_OBJECT
public:
    // A separator row of the category list: 20 underscores.
    static inline const QString kSeparatorText = QStringLiteral("____________________");
    static constexpr int kLastCategory = 20;

    explicit Preferencesfrm(QWidget* parent = nullptr);
    ~Preferencesfrm() override;

    // Loads the window afresh and shows it modally; returns when it has closed.
    void Show();

    // Event procedures.
    void Form_Load();
    void Form_Unload();
    void PrefCmb_Click();
    void PrefCmb_KeyDown(int KeyCode);
    void PrevCmd_Click();
    void NextCmd_Click();
    void PrevCmd_KeyUp();
    void UnpackTypeCmb_Click();
    void UnpackToCmb_Click();
    void UnpackSizeCmb_Click();
    void TransferRateCmb_Click();
    void SaveToCmb_Click();
    void StartupCmb_Click();
    void DelactCmb_Click();
    void CreateJoinBatCmb_Click();
    void OverwriteSaveFileCmb_Click();
    void ZipCmb_Click();
    void MCCCmb_Click();
    void ShowPackItInExplorerCmb_Click();
    void CopyrightStamping_Cmd_Click();
    void CustomFileFilterCmd_Click();
    void SavePref_cmd_Click();
    void cancel_cmd_Click();
    void Reset_Cmd_Click();

    // PreferencesLink: the folder choosers' and the editors' writes into this window.
    QWidget* folderDialogOwner() override { return this; }
    void setSaveToCustom(const QString& text) override;
    void setStartupCustom(const QString& text) override;
    void setUnpackToCustom(const QString& text) override;
    void setPendingCustomSize(CustomSizeMode mode, std::int32_t number, const QString& text) override;
    void setNoOfCustomFilterTxt(const QString& count) override;

    // The pending custom size (set only by the custom size dialog) and the folders at loading.
    std::int32_t PrefCustomFileSize = 0;
    std::int32_t PrefCustomFirstFileSize = 0;
    std::int32_t PrefCustomLastFileSize = 0;
    std::int32_t PrefCustomPercentFileSize = 0;
    std::int32_t PrefCustomNoOfFiles = 0;
    bool PrefCustomFs = false;
    bool PrefCustomFfs = false;
    bool PrefCustomLfs = false;
    bool PrefCustomPfs = false;
    bool PrefCustomNof = false;
    QString PrefSaveUnpackCustomDir;
    QString PrefSaveToCustomDir;
    QString PrefStartupCustomDir;

    bool pagingBackward() const { return PagingBackward; }
    bool loaded() const { return PrefLoaded; }

    // Controls.
    QFrame* Frame1 = nullptr;
    PrefCategoryBox* PrefCmb = nullptr;
    QPushButton* Reset_Cmd = nullptr;
    QPushButton* SavePref_cmd = nullptr;
    QPushButton* cancel_cmd = nullptr;
    QPushButton* PrevCmd = nullptr;
    QPushButton* NextCmd = nullptr;
    QPushButton* CopyrightStamping_Cmd = nullptr;
    QPushButton* CustomFileFilterCmd = nullptr;
    QLineEdit* UnpackTypeTxt = nullptr;
    QLineEdit* UnpackToTxt = nullptr;
    QLineEdit* UnpackSizeTxt = nullptr;
    QLineEdit* TransferRateTxt = nullptr;
    QLineEdit* SaveToTxt = nullptr;
    QLineEdit* StartupTxt = nullptr;
    QLineEdit* DelactTxt = nullptr;
    QLineEdit* CreateJoinBatTxt = nullptr;
    QLineEdit* OverwriteSaveFileTxt = nullptr;
    QLineEdit* ZipTxt = nullptr;
    QLineEdit* MCCTxt = nullptr;
    QLineEdit* ShowPackItInExplorerTxt = nullptr;
    QLineEdit* NoOfCustomFilterTxt = nullptr;
    QComboBox* UnpackTypeCmb = nullptr;
    QComboBox* UnpackToCmb = nullptr;
    QComboBox* UnpackSizeCmb = nullptr;
    QComboBox* TransferRateCmb = nullptr;
    QComboBox* SaveToCmb = nullptr;
    QComboBox* StartupCmb = nullptr;
    QComboBox* DelactCmb = nullptr;
    QComboBox* CreateJoinBatCmb = nullptr;
    QComboBox* OverwriteSaveFileCmb = nullptr;
    QComboBox* ZipCmb = nullptr;
    QComboBox* MCCCmb = nullptr;
    QComboBox* ShowPackItInExplorerCmb = nullptr;
    // The grid's captions, row by row.
    std::vector<QLabel*> captions;

protected:
    // Every way of closing (OK, Cancel, Esc, the close box) ends here.
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Handler = void (Preferencesfrm::*)();
    struct SettingRow {
        QComboBox* combo;
        Handler handler;
    };
    // Selects an item by code and runs the control's click handler once, as a user's choice.
    void select(QComboBox* combo, int index);
    Handler handlerOf(QComboBox* combo) const;
    void customFolderRow(QComboBox* combo, int customItem, void (DialogsHost::*chooser)(), QLineEdit* box);
    // The built-in texts of the items that change at run time.
    void restoreBuiltInItems();
    // The custom size step of OK.
    void applyPendingCustomSize();
    void ResetDefaultSettings();
    QComboBox* pageCombo(int row) const;

    std::vector<SettingRow> m_rows;
    bool PagingBackward = false;
    bool PrefLoaded = false;
    bool PrefSaved = false;
};

// The preferences window: created on first use, kept until the program ends.
extern Preferencesfrm* gPreferencesForm;
Preferencesfrm* PreferencesWindow();

} // namespace kivro
