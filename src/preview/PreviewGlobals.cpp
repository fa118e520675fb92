#include "preview/PreviewGlobals.h"

namespace kivro {

bool gPreviewOn = false;
bool gPreviewPlaying = false;
bool gPreviewOpenFailed = false;
bool gSliderDragging = false;

} // namespace kivro
