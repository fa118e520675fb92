#pragma once
// A frameless window dressed with the main window's skin, shape and layout, for the tests that
// need a real display (shape, dragging, picture states) and for the screenshots. With
// `withPlaceholders` the controls that are not skin pictures (lists, combo boxes, the save-as box)
// are shown as ordinary widgets with sample content, so the picture shows the finished layout.
#include "mainwindow/Skin.h"
#include "mainwindow/SkinLayout.h"
#include "packlist/BrovletSkinLayout.h"
#include "platform/SkinImage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

namespace kivrotest {

class SkinTestWindow : public QWidget {
public:
    explicit SkinTestWindow(bool withPlaceholders)
        : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        using namespace kivro;
        using namespace kivro::skin;
        setWindowTitle(QStringLiteral("Tesma Kivro Pro"));
        setFixedSize(kOuterSize);
        setMask(MainWindowMask());
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(8.25);
        setFont(font);

        bg = new SkinImage(QStringLiteral("main_bg"), this);
        bg->setObjectName(QStringLiteral("BG_Img"));
        bg->setAutoStates(false);
        bg->setGeometry(QRect(kSkinOrigin, kSkinSize));
        connect(bg, &SkinImage::mouseDown, this, [this] { beginDrag(); });
        connect(bg, &SkinImage::mouseMove, this, [this] {
            dragStep();
            resetSkinButtons();
        });
        connect(bg, &SkinImage::mouseUp, this, [this] { kivro::EndWindowDrag(drag); });

        for (const LayoutEntry& e : kMainLayout) {
            const QString name = QString::fromUtf8(e.name.data(), qsizetype(e.name.size()));
            const QString picture = QString::fromUtf8(e.picture.data(), qsizetype(e.picture.size()));
            QWidget* w = nullptr;
            switch (e.kind) {
            case Kind::Picture:
            case Kind::Button:
            case Kind::Round:
            case Kind::Menu: {
                auto* img = new SkinImage(picture, this);
                img->setAutoStates(e.kind == Kind::Button);
                images.insert(name, img);
                w = img;
                break;
            }
            default:
                if (withPlaceholders)
                    w = placeholder(e, name);
                break;
            }
            if (!w)
                continue;
            w->setObjectName(name);
            w->setGeometry(e.rect.translated(kSkinOrigin));
        }
        // Controls that share a place: the idle state shows the first of each.
        for (const char* hidden : {"PackDownFullViewImg", "PackCANCELImg", "UnPackCANCELImg", "BusyIconImg",
                                   "SoundOff_Img", "CmdResume", "percentdone_lbl_above96DPI", "ZipAnimIco"}) {
            if (QWidget* w = findChild<QWidget*>(QString::fromLatin1(hidden)))
                w->hide();
        }
        for (const char* name : {"KivroIcon_Img"}) {
            SkinImage* icon = images.value(QString::fromLatin1(name));
            connect(icon, &SkinImage::mouseDown, this, [this, icon] { beginDrag(icon); });
            connect(icon, &SkinImage::mouseMove, this, [this, icon] { dragStep(icon); });
            connect(icon, &SkinImage::mouseUp, this, [this] { kivro::EndWindowDrag(drag); });
        }
    }

    void resetSkinButtons()
    {
        for (const char* name : {"ButtonClose_Img", "ButtonMinimise_Img", "ButtonAdd_Img", "ButtonSelectAll_Img",
                                 "ButtonDeselectAll_Img", "ButtonSelectInverse_Img", "Network_Img", "SoundOn_Img",
                                 "SoundOff_Img"})
            images.value(QString::fromLatin1(name))->showUp();
    }

    kivro::SkinImage* image(const char* name) const { return images.value(QString::fromLatin1(name)); }
    QWidget* control(const char* name) const { return findChild<QWidget*>(QString::fromLatin1(name)); }

    // The look of a pack running: the Cancel picture, the busy light, progress and time left,
    // the browser disabled (for the screenshots).
    void showPacking(int percent)
    {
        for (const char* name : {"PackImg", "NotBusyIconImg"})
            control(name)->hide();
        for (const char* name : {"PackCANCELImg", "BusyIconImg", "mProgressBar"})
            control(name)->show();
        for (const char* name : {"Drive1", "Dir1", "File1", "pattern_cmb", "ShowPreviewChk", "ShowPreviewLbl", "MoreInfo_Cmd",
                                 "Browse_cmd", "SaveAsNewFilename_txt"})
            control(name)->setEnabled(false);
        static_cast<QProgressBar*>(control("mProgressBar"))->setValue(percent);
        static_cast<QLabel*>(control("percentdone_lbl"))->setText(QStringLiteral("%1%").arg(percent));
        static_cast<QLabel*>(control("TimeRemainingLbl"))->setText(QStringLiteral("1 minute 30 seconds remaining"));
    }

    kivro::SkinImage* bg = nullptr;
    QWidget* packList = nullptr; // a pack-list window carried along while docked
    kivro::DockFlags dockFlags;
    kivro::WindowDrag drag;

private:
    void beginDrag(kivro::SkinImage* control = nullptr)
    {
        if (!control)
            control = bg;
        const QPointF t = kivro::twipsInControl(control, control->lastGlobalPosition());
        kivro::BeginWindowDrag(drag, float(t.x()), float(t.y()));
    }
    void dragStep(kivro::SkinImage* control = nullptr)
    {
        if (!control)
            control = bg;
        const QPointF t = kivro::twipsInControl(control, control->lastGlobalPosition());
        const kivro::TwipRect pack = packList ? kivro::windowTwips(packList) : kivro::TwipRect{};
        kivro::applyDragStep(kivro::DragWindow(drag, float(t.x()), float(t.y()), kivro::windowTwips(this), pack, dockFlags),
                             this, packList);
    }

    QWidget* placeholder(const kivro::skin::LayoutEntry& e, const QString& name)
    {
        using kivro::skin::Kind;
        const QString text = QString::fromUtf8(e.longestText.data(), qsizetype(e.longestText.size()));
        const QString textColor = QColor::fromRgba(name == QLatin1String("TesmaKivroCaption") ? kivro::skin::kTitleTextColor
                                                                                              : kivro::skin::kPanelTextColor)
                                      .name();
        switch (e.kind) {
        case Kind::Label: {
            static const QHash<QString, QString> samples = {
                {QStringLiteral("TesmaKivroCaption"), QStringLiteral("Tesma Kivro Pro v1.03")},
                {QStringLiteral("seldir_lbl"), QStringLiteral("/home/someone/Videos")},
                {QStringLiteral("ShowPreviewLbl"), QStringLiteral("Preview")},
                {QStringLiteral("MpegInfoVideoSize_Lbl"), QStringLiteral("720x576 (pxls)")},
                {QStringLiteral("MpegInfoVideoRate_Lbl"), QStringLiteral("25 fps")},
                {QStringLiteral("SaveAs_lbl"), QStringLiteral("Save As:")},
            };
            auto* l = new QLabel(samples.value(name), this);
            if (name.startsWith(QLatin1String("percentdone_lbl")))
                l->setAlignment(Qt::AlignCenter);
            l->setStyleSheet(QStringLiteral("color: %1;").arg(textColor));
            if (name == QLatin1String("TesmaKivroCaption")) {
                QFont b = font();
                b.setBold(true);
                l->setFont(b);
            }
            return l;
        }
        case Kind::Combo: {
            auto* c = new QComboBox(this);
            c->addItem(name == QLatin1String("Drive1") ? QStringLiteral("/home") : QStringLiteral("Mpeg (*.mpg,*.mpeg,*.mpe)"));
            return c;
        }
        case Kind::List: {
            auto* l = new QListWidget(this);
            if (name == QLatin1String("Dir1"))
                l->addItems({QStringLiteral("/"), QStringLiteral("home"), QStringLiteral("someone"), QStringLiteral("Videos")});
            else
                l->addItems({QStringLiteral("holiday-part1.mpg"), QStringLiteral("holiday-part2.mpg"),
                             QStringLiteral("holiday-part3.mpg"), QStringLiteral("wedding.mpg")});
            l->setCurrentRow(l->count() - 1);
            l->setSelectionMode(QAbstractItemView::ExtendedSelection);
            return l;
        }
        case Kind::Edit:
            return new QLineEdit(QStringLiteral("/home/someone/Videos/default.mpg"), this);
        case Kind::PushButton: {
            if (name == QLatin1String("MoreInfo_Cmd") || name == QLatin1String("Browse_cmd"))
                return new QPushButton(text, this);
            auto* b = new QToolButton(this);
            b->setAutoRaise(true);
            const QStyle::StandardPixmap icon = name == QLatin1String("CmdPause") ? QStyle::SP_MediaPause
                                                : name == QLatin1String("CmdStop") ? QStyle::SP_MediaStop
                                                                                    : QStyle::SP_MediaPlay;
            b->setIcon(style()->standardIcon(icon));
            b->setIconSize(QSize(12, 12));
            return b;
        }
        case Kind::Check:
            return new QCheckBox(this);
        case Kind::Frame: {
            auto* f = new QFrame(this);
            f->setStyleSheet(QStringLiteral("background: black;"));
            return f;
        }
        case Kind::Slider: {
            auto* s = new QSlider(Qt::Horizontal, this);
            s->setEnabled(false);
            return s;
        }
        case Kind::Progress: {
            // Created by an action only; shown here hidden, as the actions colour it.
            auto* bar = new QProgressBar(this);
            bar->setTextVisible(false);
            bar->setStyleSheet(QStringLiteral("QProgressBar { background: black; border: 0; }"
                                              "QProgressBar::chunk { background: rgb(200, 200, 200); }"));
            bar->hide();
            return bar;
        }
        default:
            return nullptr;
        }
    }

    QHash<QString, kivro::SkinImage*> images;
};

// The pack-list window dressed with its skin, shape and layout (for the screenshots).
class PackListTestWindow : public QWidget {
public:
    PackListTestWindow()
        : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        using namespace kivro;
        using namespace kivro::packlistskin;
        setWindowTitle(QStringLiteral("Pack List"));
        setFixedSize(kOuterSize);
        setMask(RoundRectRegion({kSkinOrigin.x(), kSkinOrigin.y(), kSkinOrigin.x() + kSkinSize.width(),
                                 kSkinOrigin.y() + kSkinSize.height(), kCornerEllipse, kCornerEllipse}));
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(8.25);
        setFont(font);
        auto* bg = new SkinImage(QStringLiteral("packlist_bg"), this);
        bg->setAutoStates(false);
        bg->setGeometry(QRect(kSkinOrigin, kSkinSize));
        for (const LayoutEntry& e : kPackListLayout) {
            const QString name = QString::fromUtf8(e.name.data(), qsizetype(e.name.size()));
            QWidget* w = nullptr;
            if (e.kind == Kind::Label) {
                auto* l = new QLabel(QStringLiteral("Pack List"), this);
                QFont b = font;
                b.setBold(true);
                l->setFont(b);
                l->setStyleSheet(QStringLiteral("color: %1;").arg(QColor::fromRgba(skin::kTitleTextColor).name()));
                w = l;
            } else if (e.kind == Kind::List) {
                auto* l = new QListWidget(this);
                l->addItems({QStringLiteral("holiday-part1.mpg"), QStringLiteral("holiday-part2.mpg"),
                             QStringLiteral("holiday-part3.mpg")});
                l->setSelectionMode(QAbstractItemView::ExtendedSelection);
                l->item(1)->setSelected(true);
                w = l;
            } else {
                auto* img = new SkinImage(QString::fromUtf8(e.picture.data(), qsizetype(e.picture.size())), this);
                img->setAutoStates(e.kind == Kind::Button);
                w = img;
            }
            w->setObjectName(name);
            w->setGeometry(e.rect.translated(kSkinOrigin));
        }
    }
};

} // namespace kivrotest
