#include "dialogs/Tipfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "engine/Registry.h"
#include "platform/Globals.h"
#include "platform/Icon32bit.h"
#include "platform/Paths.h"
#include "platform/WindowHandlers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringDecoder>
#include <QVBoxLayout>

#include <cmath>

namespace kivro {

Tipfrm* TipForm()
{
    static Tipfrm* form = nullptr;
    if (!form)
        form = new Tipfrm();
    return form;
}

namespace {

QString decodeTipText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder ansi("windows-1252");
    if (ansi.isValid()) {
        text = ansi.decode(bytes);
        if (!ansi.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

} // namespace

Tipfrm::Tipfrm(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("Tesma Kivro Tip of the Day"));
    setObjectName(QStringLiteral("Tipfrm"));

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setFrameShadow(QFrame::Sunken);
    Picture1->setAutoFillBackground(true);
    QPalette pal = Picture1->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    Picture1->setPalette(pal);

    PicIcon = new QLabel(Picture1);
    PicIcon->setObjectName(QStringLiteral("PicIcon"));
    PicIcon->setFixedSize(32, 32);

    Label1 = new QLabel(QStringLiteral("Did you know..."), Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    Label1->setFont(heading);

    lblTipText = new QLabel(Picture1);
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setTextFormat(Qt::PlainText);
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK = new QPushButton(QStringLiteral("Close"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));

    // The icon beside the heading, the tip under the heading.
    auto* panel = new QGridLayout(Picture1);
    panel->setContentsMargins(14, 12, 14, 12);
    panel->setHorizontalSpacing(12);
    panel->setVerticalSpacing(10);
    panel->addWidget(PicIcon, 0, 0, Qt::AlignTop);
    panel->addWidget(Label1, 0, 1, Qt::AlignVCenter);
    panel->addWidget(lblTipText, 1, 1);
    panel->setRowStretch(1, 1);
    panel->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkLoadTipsAtStartup);
    buttons->addStretch(1);
    buttons->addWidget(cmdNextTip);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(Picture1, 1);
    layout->addLayout(buttons);
    setFixedSize(440, 260);

    connect(cmdNextTip, &QPushButton::clicked, this, [this] { cmdNextTip_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(chkLoadTipsAtStartup, &QCheckBox::clicked, this, [this] { chkLoadTipsAtStartup_Click(); });
}

Tipfrm::~Tipfrm()
{
    // Its controls go after this body: none of their signals reaches the window from here on.
    StopWindowHandlers(*this);
}

IconFileLoader& Tipfrm::iconLoader()
{
    if (gStartupPictures)
        return *gStartupPictures;
    return m_ownIconLoader;
}

void Tipfrm::Show(QWidget* owner)
{
    if (parentWidget() != owner) {
        const bool wasVisible = isVisible();
        setParent(owner, Qt::Dialog);
        if (wasVisible)
            QWidget::show();
    }
    if (!m_loaded)
        Form_Load();
    if (!isVisible()) {
        // A fresh showing (also of a window loaded without being shown) opens over the middle of
        // its owner (of the screen without one).
        const QRect area = owner ? owner->frameGeometry() : screen()->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::show();
    raise();
    activateWindow();
}

void Tipfrm::Load()
{
    if (!m_loaded)
        Form_Load();
}

void Tipfrm::Unload()
{
    m_loaded = false;
    hide();
}

void Tipfrm::closeEvent(QCloseEvent* event)
{
    m_loaded = false;
    event->accept();
}

void Tipfrm::Form_Load()
{
    m_loaded = true;
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);

    // Every load starts from the window's initial state.
    PicIcon->clear();
    lblTipText->clear();
    {
        const QSignalBlocker block(chkLoadTipsAtStartup);
        chkLoadTipsAtStartup->setChecked(false);
    }

    // A missing or unusable Tod.ir costs only the icon (the loader has said why).
    IconFileLoader& loader = iconLoader();
    loader.PicIconBackColor = Picture1->palette().color(QPalette::Window);
    if (loader.LoadOpenFileICO(paths::joinPath(gAppPath, QStringLiteral("Tod.ir"))) && !loader.picTemp[1].isNull())
        PicIcon->setPixmap(QPixmap::fromImage(loader.picTemp[1]));

    if (Registry::readSetting(Settings::ShowTod) != QLatin1String("0")) {
        {
            const QSignalBlocker block(chkLoadTipsAtStartup);
            chkLoadTipsAtStartup->setChecked(true);
        }
        chkLoadTipsAtStartup_Click();
    }

    m_random.seed(quint32(QDateTime::currentMSecsSinceEpoch() & 0xFFFFFFFFu));

    // The tips are read afresh at every load, never piled onto those of an earlier one.
    TipList.clear();
    TipIndex = 0;

    if (!LoadTips(paths::joinPath(gAppPath, QStringLiteral("tod.ctd"))))
        lblTipText->setText(QStringLiteral("That the ") + QStringLiteral("tod.ctd")
                            + QStringLiteral(" file was not found? "));
}

QStringList Tipfrm::SplitTipLines(const QByteArray& bytes)
{
    const QString text = decodeTipText(bytes);
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

bool Tipfrm::LoadTips(const QString& sFile)
{
    if (sFile.isEmpty() || !paths::isNormalFile(sFile))
        return false;
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    file.close();
    TipList = SplitTipLines(bytes);
    PickRandomTip();
    return true;
}

void Tipfrm::DisplayCurrentTip()
{
    if (!TipList.isEmpty())
        lblTipText->setText(TipList.at(TipIndex - 1));
}

void Tipfrm::PickRandomTip()
{
    const double r = m_random.generateDouble();
    const qsizetype n = TipList.size();
    TipIndex = std::int32_t(std::floor(r * double(n) + 1.0));
    if (n > 0 && TipIndex > n)
        TipIndex = std::int32_t(n);
    DisplayCurrentTip();
}

void Tipfrm::cmdNextTip_Click()
{
    PickRandomTip();
}

void Tipfrm::cmdOK_Click()
{
    Unload();
}

void Tipfrm::chkLoadTipsAtStartup_Click()
{
    Registry::writeSetting(Settings::ShowTod,
                           chkLoadTipsAtStartup->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace kivro
