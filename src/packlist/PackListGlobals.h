#pragma once
// Shared state owned by the pack-list window. The main window it sees, gPackListHost, is in
// engine/MainWindowHosts.h.
namespace kivro {

class Brovletfrm;

// The pack-list window; null until its first use.
extern Brovletfrm* gPackListForm;

// The pack-list window: one instance, created (not shown) on first use with gPackListHost and
// kept until the program ends.
Brovletfrm* PackListForm();

// The sides of the main window the pack-list window is snapped to, False at start. Any of them
// set means the window is attached: a drag of the main window carries it along, shown or hidden.
// Set by the main window's Magnetise and by the pack-list window's own snap at the end of its
// drag; the start of its own drag clears all four.
extern bool gPackListDockedTop;
extern bool gPackListDockedBottom;
extern bool gPackListDockedLeft;
extern bool gPackListDockedRight;

} // namespace kivro
