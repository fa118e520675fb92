#pragma once
// The engine's one narrow view of the main window: what its algorithms read (the pack list, the
// options) and what they show (busy state, progress, labels). The main window implements it; tests
// can implement it headless. Each concern keeps its members in its own section.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <optional>

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
    // The window's mouse pointer state as the MPEG routines see it (0 normal, 11 hourglass while
    // an action runs, 99 hand). They show the hourglass while they read and then put back the
    // state they found.
    virtual int mpegMousePointer() const { return 0; }
    virtual void setMpegMousePointer(int /*pointer*/) {}
    // The two information labels MpegInfoVideoSize_Lbl and MpegInfoVideoRate_Lbl.
    virtual void setMpegInfoVideoSize(const QString& /*text*/) {}
    virtual void setMpegInfoVideoRate(const QString& /*text*/) {}
    // The enabled state of MoreInfo_Cmd.
    virtual void setMoreInfoEnabled(bool /*enabled*/) {}
    // The preview's length of the media it has open: milliseconds and frames (0 when none).
    virtual std::int64_t previewLengthMs() const { return 0; }
    virtual std::int64_t previewLengthFrames() const { return 0; }

    // The hidden list Mcheck_Lst: the signature of the first file checked in the current pack.
    QStringList Mcheck_Lst;
    // Left by EmbedMpegHeader for the unpack action: header length + 1 (the 1-based position in
    // the piece where the piece's own data begins), and whether the header went into this piece.
    std::int32_t mEmhDataStart = 0;
    bool mEmhHeaderWritten = false;
    // The start code of the last EMH source, kept with the identity of the file it was found in,
    // so that a source split into many pieces is scanned once and a changed file is scanned anew.
    struct EmhSourceScan {
        QString path;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = -1;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0;
        std::optional<std::int64_t> startCode;
        bool valid = false;
    };
    EmhSourceScan mEmhSourceScan;

    // --- zip, free space, delete after action -------------------------------------------------

    // --- options the actions read -------------------------------------------------------------
};

} // namespace kivro
