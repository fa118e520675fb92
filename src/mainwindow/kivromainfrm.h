#pragma once
// The main window. Its controls are members named as the design names them; its event procedures
// are member functions. The class is large, so its procedures live in several files by concern
// (kivromainfrm_<concern>.cpp); each concern keeps its members in its own section below.
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"

#include <QWidget>
#include <memory>

namespace kivro {

class kivromainfrm : public QWidget, public MainWindowLink {
    Q_OBJECT
public:
    explicit kivromainfrm(QWidget* parent = nullptr);
    ~kivromainfrm() override;

    // --- MainWindowLink: pack list and files -------------------------------------------------
    PackListModel& packList() override { return m_packList; }
    File64& file64() override { return *mFile64; }

    // --- pack list (dirpos_lst is the folder column of the model) ----------------------------

    // --- action frame -------------------------------------------------------------------------

    // --- MPEG information ---------------------------------------------------------------------

    // --- zip, free space, delete after action -------------------------------------------------

    // --- options ------------------------------------------------------------------------------
    ActionOptions actionOptions() const override { return m_options; }
    DeleteAfterAction deleteAfterAction() const override { return m_deleteAfter; }
    // Until the option menus own them, the options are plain state (tests set them directly).
    ActionOptions m_options;
    DeleteAfterAction m_deleteAfter = DeleteAfterAction::No;

public:
    std::unique_ptr<File64> mFile64;

private:
    PackListModel m_packList;
};

} // namespace kivro
