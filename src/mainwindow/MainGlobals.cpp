#include "mainwindow/MainGlobals.h"

namespace kivro {

QString gCurrentDir;
std::int64_t gHoverFileSize = 0;

} // namespace kivro
