#include "mainwindow/kivromainfrm.h"

#include "mainwindow/MainGlobals.h"
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
}

kivromainfrm::~kivromainfrm() = default;

} // namespace kivro
