#pragma once
// Shared state of the media preview, read by the main window's file browser.
namespace kivro {

// The preview pane is open (its check box turns it on and off); while it is set, choosing a file
// in the browser opens that file in the preview. Off at start.
extern bool gPreviewOn;
// The preview was told to play and has not been paused or stopped since.
extern bool gPreviewPlaying;
// The preview's last open failed.
extern bool gPreviewOpenFailed;
// The mouse button is held on the preview slider: the position tick leaves the slider alone.
extern bool gSliderDragging;

} // namespace kivro
