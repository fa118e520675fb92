#pragma once
// The about box: the program title and version, the product icon, credit lines that rotate in two
// panels, the maker's home page and "&System Info...", which starts the desktop's
// system-information viewer.
//
// Every opening loads the box afresh (no credit line, the rotation from its start); the rotation
// timer runs only while the box is open.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>

class QLabel;
class QPushButton;
class QTimer;

namespace kivro {

class MouseDownLabel;

class abtfrm : public QDialog {
    Q_OBJECT
public:
    explicit abtfrm(QWidget* parent = nullptr);
    ~abtfrm() override;

    // Loads the box and shows it modally; returns when it closes.
    void Show();

    // "major.minor.revision", each a plain decimal number.
    static QString VersionText(int major, int minor, int revision);
    // The credit lines (a role and its address at the maker's mail domain) and their addresses.
    static QStringList CreditAddresses();
    static QStringList CreditLines();
    // The desktop programs that show the machine's hardware and system details, in the order
    // they are looked for on PATH.
    static QStringList SysInfoTools();

    // Event procedures.
    void Form_Load();
    void ChangeSplash_Timer();
    void cmdOK_Click();
    void PicIcon_Click();
    void cmdSysInfo_Click();
    void Email_Img_MouseDown(int Index, int Button);
    void tesma_URL_MouseDown(int Button);
    // Starts the first system-information viewer found on PATH, detached and without
    // arguments; without one, or when it cannot be started, a box says so.
    void StartSysInfo();

    // The next credit phase to show: 1 the first panel, 2 the second, 3 none.
    int panelState() const { return m_panelState; }

    // Controls.
    MouseDownLabel* PicIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* copyright_lbl = nullptr;
    QLabel* lblVersion = nullptr;
    MouseDownLabel* tesma_URL = nullptr;
    std::array<QLabel*, 4> Credit_Lbl{};
    std::array<MouseDownLabel*, 4> Email_Img{};
    QLabel* Cpylogo_Lbl = nullptr;
    QLabel* coy_Lbl1 = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QTimer* ChangeSplash = nullptr;

public slots:
    // Every way of closing ends here: the rotation stops with the box.
    void done(int result) override;

private:
    void showPanel(int first, bool visible);

    qint16 m_panelState = 1;
};

} // namespace kivro
