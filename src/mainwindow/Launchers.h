#pragma once
// Playing the browser's file: the launcher that reads the file browser. The other launchers
// (help, web pages, mail) are shared by every window: platform/gototesmabas.h.
#include "platform/gototesmabas.h"

namespace kivro {

class kivromainfrm;

namespace gototesmabas {

// Hands the file list's current entry (the one last clicked, whatever else is selected) to the
// desktop. With two or more files selected it first says that only the last selected file will
// be played; a file gone since it was listed gives "'<path>' was not found!".
void PlaySelectedFile(kivromainfrm& form);
// The same for the program's main window.
void PlaySelectedFile();

} // namespace gototesmabas
} // namespace kivro
