#pragma once
// Shared state owned by the main window and start-up.
#include <QString>
#include <cstdint>

namespace kivro {

class kivromainfrm;

// The main window: one instance, created on first use and kept until the program ends.
kivromainfrm* MainForm();

// The folder the file browser shows, without a trailing "/" (the root is "/"). Set on every
// folder change of the browser; the pack list takes it as the folder of the files added from
// the browser, and it is stored as "LastUsedDir" at shutdown.
extern QString gCurrentDir;

// The size in bytes of the file-list entry under the mouse, read for its tooltip.
extern std::int64_t gHoverFileSize;

} // namespace kivro
