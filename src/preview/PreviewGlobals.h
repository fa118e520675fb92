#pragma once
// Shared state of the media preview, read by the main window's file browser.
namespace kivro {

// The preview pane is open (its check box turns it on and off); while it is set, choosing a file
// in the browser opens that file in the preview. Off at start.
extern bool gPreviewOn;
// The preview plays.
extern bool gPreviewPlaying;
// The preview's last open failed.
extern bool gPreviewOpenFailed;

} // namespace kivro
