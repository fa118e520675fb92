#include "dialogs/abtfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/MouseDownLabel.h"
#include "platform/Icon32bit.h"
#include "platform/IconFile.h"
#include "platform/MsgBox.h"
#include "platform/gototesmabas.h"
#include "platform/Twips.h"
#include "platform/WindowHandlers.h"

#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace kivro {

abtfrm* AboutForm()
{
    static abtfrm* form = nullptr;
    if (!form)
        form = new abtfrm();
    return form;
}

namespace {

// The two places both credit panels share.
constexpr int kCreditLeft = twipsToPixelsTruncated(480);
constexpr int kCreditTops[2] = {twipsToPixelsTruncated(1575), twipsToPixelsTruncated(1815)};
constexpr int kCreditWidth = twipsToPixelsTruncated(4250);
constexpr int kMailImageSize = 16;

const QString kTitle = QStringLiteral("Tesma Kivro Pro");

// The roles of the credit lines, in the order of the panels; each has its own address.
struct Credit {
    const char* role;
    const char* mailbox;
};
constexpr Credit kCredits[4] = {
    {"Design", "design"},
    {"Programming", "programming"},
    {"Artwork", "artwork"},
    {"Testing", "testing"},
};

// The maker's mail domain: that of the support address.
QString mailDomain()
{
    const QString support = SupportMailAddress();
    return support.mid(support.lastIndexOf(QLatin1Char('@')) + 1);
}

QPixmap pictureOf(const QImage& image, int size)
{
    if (image.isNull())
        return QPixmap();
    return QPixmap::fromImage(image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

abtfrm::abtfrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("abtfrm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    PicIcon = new MouseDownLabel(this);
    PicIcon->setObjectName(QStringLiteral("PicIcon"));
    PicIcon->unsetCursor();
    PicIcon->setGeometry(12, 12, 32, 32);

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    lblTitle->setGeometry(60, 10, 200, 24);
    copyright_lbl = new QLabel(QStringLiteral("\u00AE"), this);
    copyright_lbl->setObjectName(QStringLiteral("copyright_lbl"));
    copyright_lbl->setGeometry(262, 10, 14, 14); // moved beside the title's text when loaded
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(60, 36, 200, 16);

    tesma_URL = new MouseDownLabel(this);
    tesma_URL->setObjectName(QStringLiteral("tesma_URL"));
    tesma_URL->setText(gototesmabas::HomePageAddress());
    QFont linkFont = tesma_URL->font();
    linkFont.setUnderline(true);
    tesma_URL->setFont(linkFont);
    tesma_URL->setStyleSheet(QStringLiteral("color: #0000c0"));
    tesma_URL->setGeometry(60, 58, 240, 16);

    const QStringList lines = CreditLines();
    for (int i = 0; i < 4; ++i) {
        const int top = kCreditTops[i % 2];
        Credit_Lbl[i] = new QLabel(lines.at(i), this);
        Credit_Lbl[i]->setObjectName(QStringLiteral("Credit_Lbl_%1").arg(i));
        Credit_Lbl[i]->setGeometry(kCreditLeft, top, kCreditWidth, 16);
        Credit_Lbl[i]->hide();
        Email_Img[i] = new MouseDownLabel(this);
        Email_Img[i]->setObjectName(QStringLiteral("Email_Img_%1").arg(i));
        Email_Img[i]->setGeometry(kCreditLeft - kMailImageSize - 4, top, kMailImageSize, kMailImageSize);
        Email_Img[i]->setScaledContents(true);
        Email_Img[i]->hide();
        connect(Email_Img[i], &MouseDownLabel::mouseDown, this,
                [this, i](int button) { Email_Img_MouseDown(i, button); });
    }

    Cpylogo_Lbl = new QLabel(QStringLiteral("\u00A9"), this);
    Cpylogo_Lbl->setObjectName(QStringLiteral("Cpylogo_Lbl"));
    Cpylogo_Lbl->setGeometry(12, 150, 14, 16);
    coy_Lbl1 = new QLabel(QStringLiteral("Tesma. All rights reserved."), this);
    coy_Lbl1->setObjectName(QStringLiteral("coy_Lbl1"));
    coy_Lbl1->setGeometry(28, 150, 260, 16);
    lblDisclaimer = new QLabel(QStringLiteral(" "), this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setGeometry(12, 172, 280, 16);

    // OK takes Enter also while "&System Info..." has the focus, and Esc closes as OK does.
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(true);
    cmdOK->setGeometry(306, 140, 96, 26);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    cmdSysInfo->setGeometry(306, 172, 96, 26);
    setFixedSize(414, 210);

    ChangeSplash = new QTimer(this);
    ChangeSplash->setObjectName(QStringLiteral("ChangeSplash"));
    ChangeSplash->setInterval(5000);

    connect(PicIcon, &MouseDownLabel::mouseDown, this, [this](int button) {
        if (button == vbLeftButton)
            PicIcon_Click();
    });
    connect(tesma_URL, &MouseDownLabel::mouseDown, this, [this](int button) { tesma_URL_MouseDown(button); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    connect(ChangeSplash, &QTimer::timeout, this, [this] { ChangeSplash_Timer(); });
}

abtfrm::~abtfrm()
{
    // Its controls go after this body: none of their signals reaches the window from here on.
    StopWindowHandlers(*this);
}

QString abtfrm::VersionText(int major, int minor, int revision)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.')
           + QString::number(revision);
}

QStringList abtfrm::CreditAddresses()
{
    QStringList addresses;
    for (const Credit& c : kCredits)
        addresses << QLatin1String(c.mailbox) + QLatin1Char('@') + mailDomain();
    return addresses;
}

QStringList abtfrm::CreditLines()
{
    const QStringList addresses = CreditAddresses();
    QStringList lines;
    for (int i = 0; i < 4; ++i)
        lines << QLatin1String(kCredits[i].role) + QStringLiteral(": ") + addresses.at(i);
    return lines;
}

QStringList abtfrm::SysInfoTools()
{
    return {QStringLiteral("kinfocenter"), QStringLiteral("hardinfo")};
}

void abtfrm::Show()
{
    Form_Load();
    cmdOK->setFocus();
    exec();
}

void abtfrm::Form_Load()
{
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
    setWindowTitle(QStringLiteral("About ") + kTitle);
    lblVersion->setText(VersionText(KIVRO_VERSION_MAJOR, KIVRO_VERSION_MINOR, KIVRO_VERSION_PATCH));
    lblTitle->setText(kTitle);
    // The registered sign stands right after the title's last letter, whatever the face measures.
    copyright_lbl->move(lblTitle->x() + lblTitle->fontMetrics().horizontalAdvance(lblTitle->text()) + 1, lblTitle->y());
    m_panelState = 1;
    if (gStartupPictures) {
        PicIcon->setPixmap(pictureOf(gStartupPictures->PicIcon2, PicIcon->width()));
        for (MouseDownLabel* image : Email_Img)
            image->setPixmap(pictureOf(gStartupPictures->PicIcon3, kMailImageSize));
    }
    // A fresh opening: no credit line until the first tick, which is a whole period away.
    showPanel(0, false);
    showPanel(2, false);
    ChangeSplash->start();
}

void abtfrm::showPanel(int first, bool visible)
{
    for (int i = first; i < first + 2; ++i) {
        Credit_Lbl[i]->setVisible(visible);
        Email_Img[i]->setVisible(visible);
    }
}

void abtfrm::ChangeSplash_Timer()
{
    switch (m_panelState) {
    case 1:
        showPanel(0, true);
        m_panelState = 2;
        break;
    case 2:
        showPanel(0, false);
        showPanel(2, true);
        m_panelState = 3;
        break;
    default:
        showPanel(2, false);
        m_panelState = 1;
        break;
    }
}

void abtfrm::cmdOK_Click()
{
    accept();
}

void abtfrm::PicIcon_Click()
{
    accept();
}

void abtfrm::done(int result)
{
    ChangeSplash->stop();
    QDialog::done(result);
}

void abtfrm::cmdSysInfo_Click()
{
    StartSysInfo();
}

void abtfrm::Email_Img_MouseDown(int Index, int Button)
{
    if (Button != vbLeftButton || Index < 0 || Index > 3)
        return;
    gototesmabas::SendMailTo(CreditAddresses().at(Index));
}

void abtfrm::tesma_URL_MouseDown(int Button)
{
    if (Button == vbLeftButton)
        gototesmabas::GoToHomePage();
}

void abtfrm::StartSysInfo()
{
    // Only the first viewer found is started: when it fails, the box says so rather than
    // quietly starting another one.
    for (const QString& tool : SysInfoTools()) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (path.isEmpty())
            continue;
        if (QProcess::startDetached(path, QStringList()))
            return;
        break;
    }
    MsgBoxResult(QStringLiteral("System Information Is Unavailable At This Time"), vbOKOnly | vbTopMost, kTitle);
}

} // namespace kivro
