#pragma once
// Shared state owned by the main window and start-up.
namespace kivro {

class kivromainfrm;

// The main window: one instance, created on first use and kept until the program ends.
kivromainfrm* MainForm();

} // namespace kivro
