# The screen of the X server a black-box test runs on, read by the tests' own Python lines
# (run through e2e_python of lib.sh, which makes this module importable).
import ctypes
import sys

_x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XGetImage.restype = ctypes.c_void_p
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                           ctypes.c_ulong, ctypes.c_int]
_x11.XGetPixel.restype = ctypes.c_ulong
_x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
_display = _x11.XOpenDisplay(None)
if not _display:
    sys.exit(1)
_root = _x11.XDefaultRootWindow(_display)


def pixels(left, top, width, height):
    """The pixels of a rectangle of the screen (ZPixmap, all planes), row by row."""
    image = _x11.XGetImage(_display, _root, left, top, width, height, 0xFFFFFFFF, 2)
    if not image:
        sys.exit(1)
    return [_x11.XGetPixel(image, i, j) for j in range(height) for i in range(width)]


def gray(x, y):
    """One pixel of the screen as its grey level."""
    p = pixels(x, y, 1, 1)[0]
    return ((p >> 16) & 255) * 0.299 + ((p >> 8) & 255) * 0.587 + (p & 255) * 0.114
