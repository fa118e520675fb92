#pragma once
// The main window. Its controls are members named as the design names them; its event procedures
// are member functions. The class is large, so its procedures live in several files by concern
// (kivromainfrm_<concern>.cpp); each concern keeps its members in its own section below.
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"

#include <QLabel>
#include <QWidget>
#include <cstdint>
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
    QLabel* MpegInfoVideoSize_Lbl = new QLabel(this);
    QLabel* MpegInfoVideoRate_Lbl = new QLabel(this);
    // The preview's length of the media it has open, as numbers (0 while nothing is open).
    std::int64_t mPreviewLengthMs = 0;
    std::int64_t mPreviewLengthFrames = 0;
    // The pointer state and MoreInfo_Cmd's enabled state as the MPEG routines set them.
    int mMpegMousePointer = 0;
    bool mMoreInfoEnabled = false;

    int mpegMousePointer() const override;
    void setMpegMousePointer(int pointer) override;
    void setMpegInfoVideoSize(const QString& text) override;
    void setMpegInfoVideoRate(const QString& text) override;
    void setMoreInfoEnabled(bool enabled) override;
    std::int64_t previewLengthMs() const override { return mPreviewLengthMs; }
    std::int64_t previewLengthFrames() const override { return mPreviewLengthFrames; }

    // --- zip, free space, delete after action -------------------------------------------------

    // --- options ------------------------------------------------------------------------------

public:
    std::unique_ptr<File64> mFile64;

private:
    PackListModel m_packList;
};

} // namespace kivro
