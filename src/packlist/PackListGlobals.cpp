#include "packlist/PackListGlobals.h"

#include "engine/MainWindowHosts.h"
#include "packlist/Brovletfrm.h"

#include <QtGlobal>

namespace kivro {

Brovletfrm* gPackListForm = nullptr;
bool gPackListDockedTop = false;
bool gPackListDockedBottom = false;
bool gPackListDockedLeft = false;
bool gPackListDockedRight = false;

Brovletfrm* PackListForm()
{
    if (!gPackListForm) {
        if (!gPackListHost)
            qFatal("The pack-list window was used before the main window set gPackListHost.");
        gPackListForm = new Brovletfrm(*gPackListHost);
    }
    return gPackListForm;
}

} // namespace kivro
