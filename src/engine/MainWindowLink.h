#pragma once
// The engine's one narrow view of the main window: what its algorithms read (the pack list, the
// options) and what they show (busy state, progress, labels). The main window implements it; tests
// can implement it headless. Each concern keeps its members in its own section.
#include "engine/ActionOptions.h"

#include <QString>
#include <QWidget>
#include <cstdint>

namespace kivro {

class PackListModel;
class File64;

class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;

    // --- pack list --------------------------------------------------------------------------
    virtual PackListModel& packList() = 0;

    // --- files --------------------------------------------------------------------------------
    // The main window's one File64 object (mFile64).
    virtual File64& file64() = 0;

    // --- action frame -------------------------------------------------------------------------

    // --- MPEG information ---------------------------------------------------------------------

    // --- zip, free space, delete after action -------------------------------------------------

    // --- options the actions read -------------------------------------------------------------
    // The options in force now (the checked menu items and the save-as box).
    virtual ActionOptions actionOptions() const = 0;
    // The delete-after-action choice in force now (read when an action reaches that step).
    virtual DeleteAfterAction deleteAfterAction() const = 0;
};

} // namespace kivro
