#pragma once
// Whether the media framework behind Qt Multimedia can build a player at all.
//
// Qt 6.4's GStreamer backend builds its player from framework elements without checking that
// they could be made: on a system without GStreamer's plugins (a minimal install has the
// libraries only) constructing a QMediaPlayer crashes the program. The media-control layer asks
// this before it makes its first player and, when the answer is no, makes no Qt Multimedia object
// at all.
namespace kivro::win {

// Asked once per process; later calls return the first answer. True for any other backend
// (QT_MEDIA_BACKEND names one), which is left to itself.
bool MediaPlayerBuildable();

} // namespace kivro::win
