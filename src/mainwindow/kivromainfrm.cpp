#include "mainwindow/kivromainfrm.h"

#include "mainwindow/MainGlobals.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/MsgBox.h"

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
    setWindowTitle(kAppTitle);
    gPackListHost = this;
    SetDialogsHost(this);
    SetupSkin();
    SetupMenuBar();
}

kivromainfrm::~kivromainfrm()
{
    // The pack-list window lives as long as its host (tests make more than one main window).
    if (gPackListHost == this) {
        delete gPackListForm;
        gPackListForm = nullptr;
        gPackListHost = nullptr;
    }
    if (DialogsHostLink() == this)
        SetDialogsHost(nullptr);
}

} // namespace kivro
