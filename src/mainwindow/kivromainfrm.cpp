#include "mainwindow/kivromainfrm.h"

#include "dialogs/Preferencesfrm.h"
#include "engine/MainWindowHosts.h"
#include "mainwindow/MainGlobals.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/MsgBox.h"
#include "platform/WindowHandlers.h"
#include "preview/ModuleMultimedia.h"

namespace kivro {

kivromainfrm* MainForm()
{
    static kivromainfrm* form = nullptr;
    if (!form)
        form = new kivromainfrm();
    return form;
}

kivromainfrm::kivromainfrm(QWidget* parent) : QWidget(parent), mFile64(std::make_unique<File64>())
{
    CreateControls();
    SetupBrowser();
    SetupSaveAsBox();
    SetupOptionMenus();
    setWindowTitle(kAppTitle);
    // The ways up from the layers below (engine/MainWindowHosts.h), set here only. The preferences
    // window they reach is the program's one, which the choosers and editors write into.
    gPackListHost = this;
    gDialogsHost = this;
    gPreferencesFormFactory = []() -> PreferencesLink* { return PreferencesWindow(); };
    // The skin places every control made above; the menu bar wires the skin's pictures.
    SetupSkin();
    SetupMenuBar();
    SetupHandOffTimer();
    SetupPreview();
}

void kivromainfrm::CreateControls()
{
    MSSlider = new kivro::MSSlider(this);
    BusyIconImg = frameControl<SkinImage>("BusyIconImg", false);
    PackImg = frameControl<SkinImage>("PackImg", true);
    PackCANCELImg = frameControl<SkinImage>("PackCANCELImg", false);
    UnpackImg = frameControl<SkinImage>("UnpackImg", true);
    UnPackCANCELImg = frameControl<SkinImage>("UnPackCANCELImg", false);
    percentdone_lbl = frameControl<QLabel>("percentdone_lbl", true);
    percentdone_lbl_above96DPI = frameControl<QLabel>("percentdone_lbl_above96DPI", false);
    TimeRemainingLbl = frameControl<QLabel>("TimeRemainingLbl", false);
    AddFileToList_Cmb = frameControl<QPushButton>("AddFileToList_Cmb", true);
    SelAll_Cmd = frameControl<QPushButton>("SelAll_Cmd", true);
    DeSelAll_Cmd = frameControl<QPushButton>("DeSelAll_Cmd", true);
    InvSel_Cmd = frameControl<QPushButton>("InvSel_Cmd", true);
    Drive1 = frameControl<QComboBox>("Drive1", true);
    Dir1 = frameControl<DirListBox>("Dir1", true);
    File1 = frameControl<FileListBox>("File1", true);
    pattern_cmb = frameControl<QComboBox>("pattern_cmb", true);
    ShowPreviewChk = frameControl<QCheckBox>("ShowPreviewChk", true);
    ShowPreviewLbl = frameControl<QLabel>("ShowPreviewLbl", true);
    MoreInfo_Cmd = frameControl<QPushButton>("MoreInfo_Cmd", true);
    Browse_cmd = frameControl<QPushButton>("Browse_cmd", true);
    SaveAsNewFilename_txt = frameControl<QLineEdit>("SaveAsNewFilename_txt", true);
    MpegInfoVideoSize_Lbl = new QLabel(this);
    MpegInfoVideoRate_Lbl = new QLabel(this);
    seldir_lbl = new QLabel(this);
    seldirfulltmp_lbl = new QLabel(this);
    ZipProcess_Lbl = frameControl<QLabel>("ZipProcess_Lbl", false);
    ZipAnimIco = frameControl<QLabel>("ZipAnimIco", false);
    CreatePreviewControls();
}

kivromainfrm::~kivromainfrm()
{
    // The controls go after this body and the members: from here on nothing of theirs calls into
    // the window (the skin's router, the key filter, the drop box, the preview's label, the drag
    // surfaces, and every handler connected to a control's signal).
    StopWindowHandlers(*this);
    // The device shows its picture in this window: it goes with it.
    if (mPreviewDeviceOpen)
        ModuleMultimedia::CloseMedia(QStringLiteral("movie0"));
    // The ways up are cleared here only, and only while they are still this window's (tests make
    // more than one main window, and may put a fake host in place of one). The pack-list window
    // lives as long as its host.
    if (gPackListHost == this) {
        delete gPackListForm;
        gPackListForm = nullptr;
        gPackListHost = nullptr;
    }
    if (gDialogsHost == this) {
        gDialogsHost = nullptr;
        gPreferencesFormFactory = nullptr;
    }
}

} // namespace kivro
