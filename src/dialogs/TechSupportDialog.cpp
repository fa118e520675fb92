#include "dialogs/TechSupportDialog.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/MouseDownLabel.h"
#include "platform/Icon32bit.h"
#include "platform/gototesmabas.h"
#include "platform/Twips.h"
#include "platform/WindowHandlers.h"

#include <QLabel>

namespace kivro {

TechSupportDialog* TechSupportForm()
{
    static TechSupportDialog* form = nullptr;
    if (!form)
        form = new TechSupportDialog();
    return form;
}

namespace {

// Where the link labels start: right of their captions.
constexpr int kLinkLeft = twipsToPixelsTruncated(1800);
constexpr int kLineHeight = 16;

QLabel* captionLabel(QWidget* parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(twipsToPixelsTruncated(left), twipsToPixelsTruncated(top), width, kLineHeight);
    return label;
}

MouseDownLabel* linkLabel(QWidget* parent, const char* name, const QString& text, int top)
{
    auto* label = new MouseDownLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setText(text);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #0000c0"));
    label->setGeometry(kLinkLeft, twipsToPixelsTruncated(top), 300, kLineHeight);
    return label;
}

} // namespace

TechSupportDialog::TechSupportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TechSupportDialog"));
    setWindowTitle(QStringLiteral("Tesma Kivro Technical Support"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The lines' places are measured for the small face: "Arial" 8.25 pt (a desktop's default
    // face clips the first line).
    QFont face(QStringLiteral("Arial"));
    face.setPointSizeF(8.25);
    setFont(face);

    Label1 = captionLabel(this, "Label1",
                          QStringLiteral("If you have any problem in using this program, you can always get help from"),
                          120, 120, 460);
    Label2 = captionLabel(this, "Label2", QStringLiteral(" Website:"), 720, 600, 70);
    Label9 = linkLabel(this, "Label9", gototesmabas::ProductPageAddress(), 600);
    Label4 = captionLabel(this, "Label4", QStringLiteral(" Email:"), 720, 840, 70);
    Label8 = linkLabel(this, "Label8", SupportMailAddress(), 840);
    Label10 = captionLabel(this, "Label10",
                           QStringLiteral("Or you can visit our support web page for latest information on"), 120, 1440,
                           460);
    Label12 = captionLabel(this, "Label12", QStringLiteral(" Support:"), 720, 1680, 70);
    Label11 = linkLabel(this, "Label11", gototesmabas::SupportPageAddress(), 1680);
    setFixedSize(480, twipsToPixelsTruncated(1680) + kLineHeight + 24);

    connect(Label9, &MouseDownLabel::mouseDown, this, [this](int button) { Label9_MouseDown(button); });
    connect(Label8, &MouseDownLabel::mouseDown, this, [this](int button) { Label8_MouseDown(button); });
    connect(Label11, &MouseDownLabel::mouseDown, this, [this](int button) { Label11_MouseDown(button); });
}

TechSupportDialog::~TechSupportDialog()
{
    // Its controls go after this body: none of their signals reaches the window from here on.
    StopWindowHandlers(*this);
}

void TechSupportDialog::Show()
{
    Form_Load();
    exec();
}

void TechSupportDialog::Form_Load()
{
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
}

void TechSupportDialog::Label9_MouseDown(int Button)
{
    if (Button == vbLeftButton)
        gototesmabas::GoToProductPage();
}

void TechSupportDialog::Label8_MouseDown(int Button)
{
    if (Button == vbLeftButton)
        gototesmabas::SendMailTo(SupportMailAddress());
}

void TechSupportDialog::Label11_MouseDown(int Button)
{
    if (Button == vbLeftButton)
        gototesmabas::GoToSupportPage();
}

} // namespace kivro
