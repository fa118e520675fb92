#include "packlist/PackListDocking.h"

#include "packlist/PackListGlobals.h"

namespace kivro {

namespace {

// The right rule's margin at the end of the pack-list window's own drag.
constexpr float kActivateMagnetRightMargin = 100.0f;

} // namespace

DockFlags PackListDockFlags()
{
    return {gPackListDockedTop, gPackListDockedBottom, gPackListDockedLeft, gPackListDockedRight};
}

void setPackListDockFlags(const DockFlags& flags)
{
    gPackListDockedTop = flags.top;
    gPackListDockedBottom = flags.bottom;
    gPackListDockedLeft = flags.left;
    gPackListDockedRight = flags.right;
}

MagnetResult SnapPackList(const TwipRect& m, const TwipRect& packList, const DockFlags& flags, float ADJ,
                          float rightMargin)
{
    // Every sum below is computed in single precision, as the window positions are held.
    const float ML = m.left, MT = m.top, MW = m.width, MH = m.height;
    const float MR = ML + MW;
    const float PW = packList.width, PH = packList.height;
    float PL = packList.left, PT = packList.top;
    DockFlags result = flags;

    // Top.
    if (!result.top && PH + PT - 380.0f - ADJ < MT) {
        PT = MT - MH + 990.0f + ADJ;
        result.top = true;
    }
    // Bottom, with one correction for the two outlines.
    if (!result.bottom && PH + PT + 380.0f >= 0.0f && MH + MT - ADJ < PT + 380.0f) {
        PT = MT + MH - 370.0f - ADJ;
        const float PR = PL + PW;
        if (MR - 2420.0f <= PL && MR > PL)
            PT = PT - 60.0f;
        else if (PR >= 0.0f && MR - 7520.0f > PR)
            PT = PT - 620.0f;
        else if (MR - 7520.0f <= PR && MR - 7480.0f > PR)
            PT = PT - 120.0f;
        else if (MR - 7480.0f <= PR && MR - 7380.0f > PR)
            PT = PT - 60.0f;
        result.bottom = true;
    }
    // Left.
    if (!result.left && PW + PL - 100.0f < ML) {
        PL = ML - MW + 3360.0f;
        if (MH + MT - 1000.0f - ADJ <= PT)
            PL = PL + 500.0f;
        result.left = true;
    }
    // Right.
    if (!result.right && MR - rightMargin < PL) {
        PL = MR - 90.0f;
        if (MH + MT - 420.0f - ADJ <= PT) {
            PL = PL - 2320.0f;
            if (MR - 2420.0f <= PL && MR > PL)
                PT = PT - 60.0f;
        }
        result.right = true;
    }
    return {PL, PT, result};
}

MagnetResult MagnetisePackList(const TwipRect& mainWindow, const TwipRect& packList)
{
    return SnapPackList(mainWindow, packList, DockFlags{}, 0.0f, 0.0f);
}

MagnetResult ActivateMagnetSnap(const TwipRect& mainWindow, const TwipRect& packList, const DockFlags& flags,
                                float captionAdjust)
{
    return SnapPackList(mainWindow, packList, flags, captionAdjust, kActivateMagnetRightMargin);
}

} // namespace kivro
