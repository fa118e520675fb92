#pragma once
// A main window for the engine without a window: every call of MainWindowLink answers as an idle,
// empty window would and shows nothing. Tests and benchmarks derive from it and override what
// they want to see or set (the options, the pointer, the labels); the pack list and the File64
// object are theirs to give.
#include "engine/ActionOptions.h"
#include "engine/MainWindowLink.h"

namespace kivrotest {

class HeadlessLink : public kivro::MainWindowLink {
public:
    int mousePointer() const override { return kPointerDefault; }
    void setMousePointer(int) override {}
    QWidget* progressBarParent() override { return nullptr; }
    QRect progressBarPlace() const override { return {}; }
    void setBusyIconVisible(bool) override {}
    void setCancelPictureShown(const QString&, bool) override {}
    void setBrowserControlsEnabled(bool) override {}
    void setMoreInfoEnabled(bool) override {}
    void setPackListControlsEnabled(bool) override {}
    void setPercentDoneCaption(const QString&) override {}
    void setPercentDoneVisible(bool) override {}
    void setTimeRemainingCaption(const QString&) override {}
    void setTimeRemainingVisible(bool) override {}

    void setMpegInfoVideoSize(const QString&) override {}
    void setMpegInfoVideoRate(const QString&) override {}
    std::int64_t previewLengthMs() const override { return 0; }
    std::int64_t previewLengthFrames() const override { return 0; }

    // Without a save-as box of its own, the pack writes the snapshot's saveAsFile.
    QString saveAsNewFilename() const override { return actionOptions().saveAsFile; }
    void setZipProcessCaption(const QString&) override {}
    void setZipProcessVisible(bool) override {}
    void setZipAnimVisible(bool) override {}

    QStringList CopyrightStamping_lst() const override { return m_stampLines; }
    void setCopyrightStamping_lst(const QStringList& lines) override { m_stampLines = lines; }
    void UnpackCustomDirMnu_Click() override {}
    void UnpackWhereFileDirMnu_Click() override {}

    kivro::ActionOptions actionOptions() const override { return kivro::ActionOptions(); }
    kivro::DeleteAfterAction deleteAfterAction() const override { return kivro::DeleteAfterAction::No; }

private:
    QStringList m_stampLines;
};

} // namespace kivrotest
