#pragma once
// The main window. Its controls are members named as the design names them; its event procedures
// are member functions. The class is large, so its procedures live in several files by concern
// (kivromainfrm_<concern>.cpp); each concern keeps its members in its own section below.
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"

#include <QPointF>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

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

    // --- start-up and shutdown ----------------------------------------------------------------
    // Every close of the window (Close picture, Exit, a close asked by the system, the load's
    // error path) ends the program: a running action is cancelled first, the window hidden, the
    // pack-list window's position and the browser's folder stored and put on disk, and the
    // process ends at once with status 0; nothing returns into the code that was running.
    void Form_QueryUnload();
    void closeEvent(QCloseEvent* event) override;
    // Writes "BrovletXpos" and "BrovletYpos" (whole twips as decimal text) when the position is
    // known, "LastUsedDir" when the folder is known, and puts the settings file on disk.
    static void WriteShutdownSettings(const std::optional<QPointF>& packListTopLeftTwips,
                                      const std::optional<QString>& lastUsedDir);
    bool mShuttingDown = false;

public:
    std::unique_ptr<File64> mFile64;

private:
    PackListModel m_packList;
};

} // namespace kivro
