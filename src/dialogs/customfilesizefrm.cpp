#include "dialogs/customfilesizefrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/DialogsHost.h"
#include "engine/MainWindowHosts.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "platform/Icon32bit.h"
#include "platform/MsgBox.h"
#include "platform/WindowHandlers.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace kivro {

customfilesizefrm* CustomFileSizeForm()
{
    static customfilesizefrm* form = nullptr;
    if (!form)
        form = new customfilesizefrm();
    return form;
}

namespace {

constexpr int kModeCount = 5;

using Registry::readSetting;
using Registry::writeSetting;

// A box's background in every state (a disabled box draws with the disabled group).
void setBoxBackground(QLineEdit* box, const QColor& colour)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
}

// A text box drawn as a label: no frame, read-only, and no background of its own, so that it
// shows the face of the frame it stands in (a frame may draw a shade of its own).
QLineEdit* labelBox(const QString& text, QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setFrame(false);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    setBoxBackground(box, Qt::transparent);
    return box;
}

QLineEdit* numberBox(int maxLength, QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(maxLength);
    return box;
}

QRadioButton* modeOption(const QString& caption, QWidget* parent, const char* name)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QLatin1String(name));
    // Every handler sets all five itself: the options stand in two frames.
    option->setAutoExclusive(false);
    return option;
}

using CustomSizes::SSizeText;

struct Range {
    std::int64_t low;
    std::int64_t high;
    const char* message;
};

Range rangeOf(CustomSizeMode mode)
{
    switch (mode) {
    case CustomSizeMode::Percent:
        return {1, 99, "Filesize must be between 1% to 99%."};
    case CustomSizeMode::Files:
        return {2, 99999, "Numbers of files must be between 2 to 99999."};
    default:
        return {1, 1024000, "Filesize must be between 1K to 1024000K."};
    }
}

} // namespace

customfilesizefrm::customfilesizefrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("customfilesizefrm"));
    setWindowTitle(QStringLiteral("Custom Unpack Size"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Frame2 = new QGroupBox(QStringLiteral("Filesize"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(8, 6, 314, 156);
    ByFilesizeOpt = modeOption(QStringLiteral("Filesize (Kbytes):"), Frame2, "ByFilesizeOpt");
    ByFirstFilesizeOpt = modeOption(QStringLiteral("First Filesize (Kbytes):"), Frame2, "ByFirstFilesizeOpt");
    ByLastFilesizeOpt = modeOption(QStringLiteral("Last Filesize (Kbtyes):"), Frame2, "ByLastFilesizeOpt");
    ByPercentFilesizeOpt = modeOption(QStringLiteral("Percentage (1-99%):"), Frame2, "ByPercentFilesizeOpt");
    CustomFilesize_txt = numberBox(7, Frame2, "CustomFilesize_txt");
    CustomFirstFilesize_txt = numberBox(7, Frame2, "CustomFirstFilesize_txt");
    CustomLastFilesize_txt = numberBox(7, Frame2, "CustomLastFilesize_txt");
    CustomPercentFilesize_txt = numberBox(2, Frame2, "CustomPercentFilesize_txt");
    note_txt = labelBox(QStringLiteral("Note: 1K = 1024 bytes, 1 Mb = 1024 K"), Frame2, "note_txt");
    int y = 24;
    for (auto [option, box] :
         {std::pair{ByFilesizeOpt, CustomFilesize_txt}, std::pair{ByFirstFilesizeOpt, CustomFirstFilesize_txt},
          std::pair{ByLastFilesizeOpt, CustomLastFilesize_txt},
          std::pair{ByPercentFilesizeOpt, CustomPercentFilesize_txt}}) {
        option->setGeometry(12, y, 176, 22);
        box->setGeometry(194, y, 104, 22);
        y += 28;
    }
    note_txt->setGeometry(12, y + 2, 290, 18);

    Frame3 = new QGroupBox(QStringLiteral("Number of Unpack Files"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(8, 168, 314, 58);
    ByNoOfFilesOpt = modeOption(QStringLiteral("Unpack into"), Frame3, "ByNoOfFilesOpt");
    NoOfFiles_txt = numberBox(5, Frame3, "NoOfFiles_txt");
    individual_lbl = labelBox(QStringLiteral("individual files."), Frame3, "individual_lbl");
    ByNoOfFilesOpt->setGeometry(12, 24, 100, 22);
    NoOfFiles_txt->setGeometry(116, 24, 64, 22);
    individual_lbl->setGeometry(188, 26, 110, 18);

    TempColor = new QLineEdit(this);
    TempColor->setObjectName(QStringLiteral("TempColor"));
    TempColor->hide();
    {
        // The chosen box stands on the window colour, the others on the inactive border's grey.
        QPalette p = TempColor->palette();
        p.setColor(QPalette::Text, QApplication::palette().color(QPalette::Base));
        p.setColor(QPalette::Base, QColor(0xD4, 0xD0, 0xC8));
        TempColor->setPalette(p);
    }

    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(146, 236, 84, 26);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    CancelButton->setGeometry(238, 236, 84, 26);
    setFixedSize(330, 272);

    connect(ByFilesizeOpt, &QRadioButton::clicked, this, [this] { ByFilesizeOpt_Click(); });
    connect(ByFirstFilesizeOpt, &QRadioButton::clicked, this, [this] { ByFirstFilesizeOpt_Click(); });
    connect(ByLastFilesizeOpt, &QRadioButton::clicked, this, [this] { ByLastFilesizeOpt_Click(); });
    connect(ByPercentFilesizeOpt, &QRadioButton::clicked, this, [this] { ByPercentFilesizeOpt_Click(); });
    connect(ByNoOfFilesOpt, &QRadioButton::clicked, this, [this] { ByNoOfFilesOpt_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

customfilesizefrm::~customfilesizefrm()
{
    // Its controls go after this body: none of their signals reaches the window from here on.
    StopWindowHandlers(*this);
}

customfilesizefrm::Mode customfilesizefrm::modes(int i) const
{
    switch (i) {
    case 0:
        return {CustomSizeMode::Size, ByFilesizeOpt, CustomFilesize_txt};
    case 1:
        return {CustomSizeMode::First, ByFirstFilesizeOpt, CustomFirstFilesize_txt};
    case 2:
        return {CustomSizeMode::Last, ByLastFilesizeOpt, CustomLastFilesize_txt};
    case 3:
        return {CustomSizeMode::Percent, ByPercentFilesizeOpt, CustomPercentFilesize_txt};
    default:
        return {CustomSizeMode::Files, ByNoOfFilesOpt, NoOfFiles_txt};
    }
}

void customfilesizefrm::Show()
{
    Form_Load();
    exec();
}

void customfilesizefrm::SetNumber(QLineEdit* NumberText, bool Flag)
{
    const auto* digits = qobject_cast<const QRegularExpressionValidator*>(NumberText->validator());
    if (Flag && !digits) {
        // ASCII digits only: "0050" stays as typed, and no text that is not a whole number can
        // arise, also not by a paste.
        NumberText->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), NumberText));
    } else if (!Flag && digits) {
        NumberText->setValidator(nullptr);
        delete digits;
    }
    NumberText->update();
}

void customfilesizefrm::Form_Load()
{
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
    for (int i = 0; i < kModeCount; ++i) {
        modes(i).box->clear();
        SetNumber(modes(i).box, true);
    }
    const QString sSize = readSetting(Settings::sSize);
    for (int i = 0; i < kModeCount; ++i) {
        if (sSize == SSizeText(modes(i).mode)) {
            choose(modes(i).mode);
            return;
        }
    }
    ByFilesizeOpt_Click();
}

void customfilesizefrm::choose(CustomSizeMode mode)
{
    const QColor chosenColour = TempColor->palette().color(QPalette::Text);
    const QColor otherColour = TempColor->palette().color(QPalette::Base);
    for (int i = 0; i < kModeCount; ++i) {
        const Mode m = modes(i);
        const bool chosen = m.mode == mode;
        m.option->setChecked(chosen);
        // Text already typed stays.
        m.box->setEnabled(chosen);
        setBoxBackground(m.box, chosen ? chosenColour : otherColour);
    }
}

void customfilesizefrm::ByFilesizeOpt_Click()
{
    choose(CustomSizeMode::Size);
}

void customfilesizefrm::ByFirstFilesizeOpt_Click()
{
    choose(CustomSizeMode::First);
}

void customfilesizefrm::ByLastFilesizeOpt_Click()
{
    choose(CustomSizeMode::Last);
}

void customfilesizefrm::ByPercentFilesizeOpt_Click()
{
    choose(CustomSizeMode::Percent);
}

void customfilesizefrm::ByNoOfFilesOpt_Click()
{
    choose(CustomSizeMode::Files);
}

void customfilesizefrm::OKButton_Click()
{
    int found = -1;
    for (int i = 0; i < kModeCount && found < 0; ++i)
        if (modes(i).option->isChecked())
            found = i;
    if (found < 0)
        return;
    const Mode chosen = modes(found);
    const CustomSizeMode mode = chosen.mode;

    // The boxes hold digits only; an empty box is refused like a number out of range.
    const QString typed = chosen.box->text();
    bool isNumber = false;
    const std::int64_t number = typed.toLongLong(&isNumber);
    const Range range = rangeOf(mode);
    if (!isNumber || number < range.low || number > range.high) {
        MsgBoxResult(QString::fromLatin1(range.message), vbExclamation | vbOKOnly | vbTopMost);
        return;
    }

    // The check mark moves to the custom item also for the preferences window.
    if (DialogsHost* host = gDialogsHost)
        host->CheckCustomSizeChk();

    switch (mode) {
    case CustomSizeMode::Size:
    case CustomSizeMode::First:
    case CustomSizeMode::Last:
        gUnpackSize = number * 1024;
        break;
    case CustomSizeMode::Percent:
        gUnpackSize = number;
        // The split reads the percentage from gSplitPercent: set with the flag, also for the
        // preferences window, so the next Unpack never cuts by an older percentage.
        gSplitPercent = std::int32_t(number);
        break;
    case CustomSizeMode::Files:
        break;
    }
    gSplitModeSize = mode == CustomSizeMode::Size;
    gSplitModeFirst = mode == CustomSizeMode::First;
    gSplitModeLast = mode == CustomSizeMode::Last;
    gSplitModePercent = mode == CustomSizeMode::Percent;
    gSplitModeFiles = mode == CustomSizeMode::Files;

    // The menu's caption keeps a percentage or a number of pieces as typed ("05% (Custom...)").
    QString caption = CustomSizes::Caption(mode, number);
    if (mode == CustomSizeMode::Percent)
        caption = typed + QStringLiteral("% (Custom...)");
    else if (mode == CustomSizeMode::Files)
        caption = typed + QStringLiteral(" Files (Custom...)");

    if (!gCalledFromPreferences) {
        if (DialogsHost* host = gDialogsHost)
            host->setCustomSizeChkCaption(caption);
        writeSetting(Settings::sSize, SSizeText(mode));
        if (mode == CustomSizeMode::Percent)
            writeSetting(Settings::cPfs, typed);
        else if (mode == CustomSizeMode::Files)
            writeSetting(Settings::cNof, typed);
        else
            writeSetting(Settings::cSize, QString::number(number * 1024));
    }
    if (mode == CustomSizeMode::Files)
        gSplitFiles = std::int32_t(number);

    // The preferences window's entry shows the percentage without leading zeros.
    const QString pendingText = mode == CustomSizeMode::Percent ? CustomSizes::Caption(mode, number) : caption;
    if (PreferencesLink* preferences = PreferencesForm())
        preferences->setPendingCustomSize(mode, std::int32_t(number), pendingText);

    accept();
}

void customfilesizefrm::CancelButton_Click()
{
    reject();
}

} // namespace kivro
