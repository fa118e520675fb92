#pragma once
// The start-up form: never shown. Its load is the program's start-up sequence; it holds the
// icon-file loader with its drawing surfaces and the two about-box icons.
#include "platform/IconFile.h"

#include <QWidget>

namespace kivro {

class agreefrm : public QWidget, public StartupPictures {
    Q_OBJECT
public:
    explicit agreefrm(QWidget* parent = nullptr);
    ~agreefrm() override;

    // The start-up sequence: program icon, single-instance test ("This program is already
    // running!" ends a second copy with status 0), gAppPath, gDpiScale, gSkinCaptionAdjust,
    // then ShowStartupWindows.
    void Form_Load();

    // The main window, the tip of the day unless "ShowTod" is exactly "0", the pack-list window,
    // the about-box icons, and last the command-line hand-off, which therefore cannot run while
    // any box of the start-up is open.
    void ShowStartupWindows();

    // KivroPro.ir into PicIcon2 and, only after that succeeded, Amail.ir into PicIcon3.
    void LoadAboutBoxIcons();

    // Set once the main window has been shown: from then on a close asked by the system goes
    // through the main window's shutdown.
    bool MainWindowShown = false;
};

// The start-up form: one instance, created on first use and kept until the program ends.
agreefrm* AgreeForm();

} // namespace kivro
