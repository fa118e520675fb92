#include "dialogs/DialogsHost.h"

namespace kivro {

namespace {
DialogsHost*& registered()
{
    static DialogsHost* host = nullptr;
    return host;
}
} // namespace

DialogsHost* DialogsHostLink()
{
    return registered();
}

void SetDialogsHost(DialogsHost* host)
{
    registered() = host;
}

} // namespace kivro
