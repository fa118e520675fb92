#pragma once
// Shared state owned by the pack-list window.
namespace kivro {

class Brovletfrm;
class PackListHost;

// The main window as the pack-list window sees it; set by the main window before the window's
// first use.
extern PackListHost* gPackListHost;

// The pack-list window; null until its first use.
extern Brovletfrm* gPackListForm;

// The pack-list window: one instance, created (not shown) on first use with gPackListHost and
// kept until the program ends.
Brovletfrm* PackListForm();

} // namespace kivro
