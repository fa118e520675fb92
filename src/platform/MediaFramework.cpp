#include "platform/MediaFramework.h"

#include <QByteArray>
#include <QtGlobal>

#include <gst/gst.h>

namespace kivro::win {

namespace {

// The elements the backend's player is built from, found by watching it build one: its stream
// selectors, the video output's queue, converter and placeholder sink, and the decoding bins
// its sources are. Without any of them the player's pipeline is broken (and without the decoding
// bins the construction crashes). The audio chain is left out: the backend copes without it.
const char* const kPlayerElements[] = {"input-selector", "queue",     "videoconvert",
                                       "fakesink",       "decodebin", "uridecodebin"};

bool gstreamerBuildsPlayer()
{
    // The backend initialises the framework with gst_init(), which ends the process when that
    // fails; initialised here it is not initialised again.
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        g_clear_error(&error);
        return false;
    }
    // Made rather than looked up: a plugin that the registry lists may still fail to load.
    for (const char* name : kPlayerElements) {
        GstElement* element = gst_element_factory_make(name, nullptr);
        if (!element)
            return false;
        gst_object_unref(gst_object_ref_sink(element));
    }
    return true;
}

} // namespace

bool MediaPlayerBuildable()
{
    static const bool buildable = [] {
        const QByteArray backend = qgetenv("QT_MEDIA_BACKEND");
        return (!backend.isEmpty() && backend != "gstreamer") || gstreamerBuildsPlayer();
    }();
    return buildable;
}

} // namespace kivro::win
