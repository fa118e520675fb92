#pragma once
// The one-instance windows of the option dialogs and information windows.
namespace kivro {

class Tipfrm;

// The tip of the day: one instance, created on first use and kept until the program ends.
Tipfrm* TipForm();

} // namespace kivro
