#include "platform/Globals.h"

namespace kivro {
QString gAppPath;
int gMsgResult = 0;
} // namespace kivro
