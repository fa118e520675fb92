#pragma once
// The tip of the day: a random line of tod.ctd in the program folder beside the icon of Tod.ir,
// with "&Next Tip", "Close" and the check box that keeps "ShowTod" in step.
//
// The window is "loaded" from its first showing until Close; the next showing loads it again
// (new icon, new seed, the tips read afresh, a new pick). Showing it while it is loaded only
// brings it up with the same tip.
#include "platform/IconFile.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QWidget>

#include <cstdint>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace kivro {

class Tipfrm : public QWidget {
    Q_OBJECT
public:
    explicit Tipfrm(QWidget* parent = nullptr);
    ~Tipfrm() override;

    // Shows the window modeless with `owner` as its owner (none when null), loading it first
    // when it is not loaded.
    void Show(QWidget* owner);
    // Loads the window without showing it (nothing happens when it is loaded already).
    void Load();
    // Hides the window; the next showing loads it again.
    void Unload();
    bool isLoaded() const { return m_loaded; }

    // Replaces TipList by the lines of sFile and shows a random tip. False, with TipList and the
    // tip unchanged, when sFile is empty, names no normal file, or cannot be read.
    bool LoadTips(const QString& sFile);
    void DisplayCurrentTip();
    void PickRandomTip();

    // Event procedures.
    void Form_Load();
    void cmdNextTip_Click();
    void cmdOK_Click();
    void chkLoadTipsAtStartup_Click();

    // Lines of a tips file: a line ends at CR LF, a lone CR or a lone LF; a last line without a
    // line end is still a line. Bytes that are not UTF-8 are read as Windows-1252.
    static QStringList SplitTipLines(const QByteArray& bytes);

    // Controls.
    QFrame* Picture1 = nullptr;
    QLabel* PicIcon = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblTipText = nullptr;
    QPushButton* cmdNextTip = nullptr;
    QPushButton* cmdOK = nullptr;
    QCheckBox* chkLoadTipsAtStartup = nullptr;

    // The tips read by the last load (positions from 1) and the position of the tip shown.
    QStringList TipList;
    std::int32_t TipIndex = 0;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    IconFileLoader& iconLoader();

    bool m_loaded = false;
    QRandomGenerator m_random;
    IconFileLoader m_ownIconLoader; // used only while the start-up form's loader is absent
};

} // namespace kivro
