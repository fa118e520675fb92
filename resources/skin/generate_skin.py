#!/usr/bin/env python3
"""Writes the skin artwork of Kivro: every SVG picture in this folder and ../skin.qrc.

The SVG files are the artwork the program uses (checked in; the build needs no Python). This
script only keeps the many state variants of one look consistent: edit the palette or a glyph
here and run it again (python3 resources/skin/generate_skin.py).

The pictures use only what Qt's SVG renderer draws (paths, rects, circles, linear and radial
gradients, fill and stroke opacity, text): no clip paths, masks or filters.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# --- palette ------------------------------------------------------------------------------------
INK = "#1f2a3a"
EDGE = "#27354c"
TITLE_TOP, TITLE_BOTTOM = "#364a6b", "#1f2c43"
BODY_TOP, BODY_BOTTOM = "#f4f7fb", "#dde5ef"
PANEL_STROKE = "#c3cedc"
SCREEN = "#161e2b"
GLYPH = "#33445d"
BLUE, BLUE_DARK, BLUE_LIGHT = "#2f7de1", "#1d5cb4", "#e3eeff"
TEAL_TOP, TEAL_BOTTOM, TEAL_EDGE = "#2cc4a7", "#0e8a75", "#0a6657"
UNPACK_TOP, UNPACK_BOTTOM, UNPACK_EDGE = "#559cf2", "#1f5fc0", "#17488f"
RED_TOP, RED_BOTTOM, RED_EDGE = "#f36b60", "#c2352c", "#93261f"
AMBER_TOP, AMBER_BOTTOM = "#ffc24d", "#e08a12"
GREEN_TOP, GREEN_BOTTOM = "#4fd88e", "#1f9e5a"
SLATE_TOP, SLATE_BOTTOM = "#4e6f9f", "#2c466e"
FONT = 'font-family="Arial"'

written = []


def svg(name, w, h, body, defs=""):
    text = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
            + (f"<defs>\n{defs}</defs>\n" if defs else "") + body + "</svg>\n")
    with open(os.path.join(HERE, name + ".svg"), "w") as f:
        f.write(text)
    written.append(name)


def lin(id_, top, bottom, x1=0, y1=0, x2=0, y2=1, extra="", user=False):
    units = ' gradientUnits="userSpaceOnUse"' if user else ""
    return (f'<linearGradient id="{id_}" x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}"{units}>'
            f'<stop offset="0" stop-color="{top}"/>{extra}<stop offset="1" stop-color="{bottom}"/></linearGradient>\n')


def f(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


# --- the main window's background ------------------------------------------------------------------
OUTLINE = [(79, 268), (123, 308), (378, 308), (378, 304), (519, 303), (533, 259),
           (533, 11), (519, 0), (69, 0), (0, 30), (0, 257)]
ROUND_RECTS = [(0, 0, 129, 40, 14, 10), (0, 220, 109, 268, 14, 12), (435, 0, 534, 55, 18, 17),
               (438, 240, 534, 305, 14, 12), (366, 261, 391, 309, 26, 28), (31, 238, 153, 309, 16, 16)]


def inset_polygon(points, d):
    """The polygon with every edge moved inwards by d (vertices where adjacent edges meet)."""
    n = len(points)
    area = sum(points[i][0] * points[(i + 1) % n][1] - points[(i + 1) % n][0] * points[i][1] for i in range(n))
    sign = 1 if area > 0 else -1
    lines = []
    for i in range(n):
        (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
        dx, dy = x2 - x1, y2 - y1
        length = math.hypot(dx, dy)
        # Inward normal for the polygon's orientation (y grows downwards).
        nx, ny = -dy / length * sign, dx / length * sign
        lines.append(((x1 + nx * d, y1 + ny * d), (dx, dy)))
    out = []
    for i in range(n):
        (p, r), (q, s) = lines[i - 1], lines[i]
        cross = r[0] * s[1] - r[1] * s[0]
        t = ((q[0] - p[0]) * s[1] - (q[1] - p[1]) * s[0]) / cross
        out.append((p[0] + t * r[0], p[1] + t * r[1]))
    return out


def shape_elements(d, fill):
    """The skin's outline and rounded rectangles, each inset by d, filled with `fill`."""
    parts = []
    pts = inset_polygon(OUTLINE, d) if d else OUTLINE
    parts.append(f'<polygon fill="{fill}" points="' + " ".join(f"{f(x)},{f(y)}" for x, y in pts) + '"/>')
    for l, t, r, b, ew, eh in ROUND_RECTS:
        l, r = min(l, r), max(l, r)
        parts.append(f'<rect fill="{fill}" x="{f(l + d)}" y="{f(t + d)}" width="{f(r - l - 2 * d)}" '
                     f'height="{f(b - t - 2 * d)}" rx="{f(max(ew / 2 - d, 0.5))}" ry="{f(max(eh / 2 - d, 0.5))}"/>')
    return "\n".join(parts) + "\n"


def rounded_path(x0, y0, x1, y1, tl, tr, br, bl):
    """A rectangle path whose corners have their own (rx, ry) radii."""
    return (f"M{f(x0 + tl[0])},{f(y0)} H{f(x1 - tr[0])} "
            + (f"A{f(tr[0])},{f(tr[1])} 0 0 1 {f(x1)},{f(y0 + tr[1])} " if tr[0] else "")
            + f"V{f(y1 - br[1])} "
            + (f"A{f(br[0])},{f(br[1])} 0 0 1 {f(x1 - br[0])},{f(y1)} " if br[0] else "")
            + f"H{f(x0 + bl[0])} "
            + (f"A{f(bl[0])},{f(bl[1])} 0 0 1 {f(x0)},{f(y1 - bl[1])} " if bl[0] else "")
            + f"V{f(y0 + tl[1])} "
            + (f"A{f(tl[0])},{f(tl[1])} 0 0 1 {f(x0 + tl[0])},{f(y0)} " if tl[0] else "")
            + "Z")


def panel(x0, y0, x1, y1, r=6, fill="#ffffff", fill_opacity=0.62, stroke=PANEL_STROKE):
    return (f'<rect x="{f(x0 + 0.5)}" y="{f(y0 + 0.5)}" width="{f(x1 - x0 - 1)}" height="{f(y1 - y0 - 1)}" rx="{r}" '
            f'fill="{fill}" fill-opacity="{fill_opacity}" stroke="{stroke}"/>\n')


def socket(cx, cy, r):
    """A shallow round seat in the panel under a round picture."""
    return (f'<circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r)}" fill="url(#socket)" stroke="#b9c5d5"/>\n')


def folder_glyph(x, y):
    return (f'<path transform="translate({x},{y})" d="M1.5,3.5 a1,1 0 0 1 1,-1 h3.2 l1.3,1.5 h5 a1,1 0 0 1 1,1 '
            f'v6.5 a1,1 0 0 1 -1,1 h-9.5 a1,1 0 0 1 -1,-1 Z" fill="#f2c14e" stroke="#b98d22" stroke-width="0.9"/>\n')


def size_glyph(x, y):
    return (f'<g transform="translate({x},{y})" fill="none" stroke="{GLYPH}" stroke-width="1.1" stroke-linecap="round">'
            f'<rect x="0.5" y="1.5" width="11" height="9" rx="1.2"/>'
            f'<path d="M3,8 L9,4 M6.5,4 H9 V6"/></g>\n')


def rate_glyph(x, y):
    return (f'<g transform="translate({x},{y})" fill="none" stroke="{GLYPH}" stroke-width="1.1" stroke-linecap="round">'
            f'<circle cx="6" cy="6.5" r="4.8"/><path d="M6,3.8 V6.5 L8,7.8 M4.8,0.6 H7.2"/></g>\n')


def main_background():
    # The body gradient spans the whole skin, so the shapes it fills join without a seam.
    defs = (lin("body", BODY_TOP, BODY_BOTTOM, 0, 0, 0, 309, user=True)
            + lin("title", TITLE_TOP, TITLE_BOTTOM)
            + lin("socket", "#d3dbe6", "#eef2f7")
            + lin("trough", "#0f151f", "#243044"))
    body = ""
    # The edge: the whole shape in the edge colour, then the same shapes 1.5 px smaller in the
    # body colour, so that a line of the edge colour follows the window's outline.
    body += shape_elements(0, EDGE)
    body += shape_elements(1.5, "url(#body)")
    # Title bar, following the shape's rounded top corners.
    body += f'<path d="{rounded_path(1.5, 1.5, 532.5, 24, (5.5, 3.5), (7.5, 7), (0, 0), (0, 0))}" fill="url(#title)"/>\n'
    body += '<path d="M1.5,24.5 H532.5" stroke="#0f1726" stroke-opacity="0.55"/>\n'
    body += '<path d="M6,2.5 H527" stroke="#ffffff" stroke-opacity="0.14"/>\n'
    # Browser panel and preview panel.
    body += panel(6, 28, 282, 230)
    body += panel(286, 28, 528, 230)
    # The player's dark surround: video and slider.
    body += f'<rect x="288" y="32" width="133" height="118" rx="4" fill="{SCREEN}"/>\n'
    # MPEG information card.
    body += panel(422, 34, 525, 172, r=5, fill="#f6f8fb", fill_opacity=0.95, stroke="#d2dae5")
    body += size_glyph(425, 41)
    body += rate_glyph(425, 61)
    body += '<path d="M427,76.5 H520" stroke="#d2dae5"/>\n'
    # Seats of the round pictures.
    body += socket(296 + 22.5, 182 + 21, 23.5)
    body += socket(348 + 22.5, 182 + 21, 23.5)
    body += socket(400 + 11, 192 + 11, 12.5)
    body += '<path d="M430.5,184 V222" stroke="#c3cedc"/>\n'
    # Folder glyph under folder_lbl.
    body += folder_glyph(10, 117)
    # Progress: the percentage seat and the trough the progress bar sits in.
    body += f'<rect x="32.5" y="279.5" width="35" height="18" rx="4" fill="#ffffff" fill-opacity="0.7" stroke="{PANEL_STROKE}"/>\n'
    body += '<rect x="67.5" y="278.5" width="251" height="20" rx="5" fill="url(#trough)" stroke="#0d131c"/>\n'
    body += '<path d="M70,297.5 H316" stroke="#ffffff" stroke-opacity="0.25"/>\n'
    # A grip on the small bottom tab.
    for i, x in enumerate((373.5, 378.5, 383.5)):
        body += f'<circle cx="{x}" cy="303.5" r="1.1" fill="#8796ab"/>\n'
    svg("main_bg", 534, 309, body, defs)


# --- small buttons (18 x 18) ----------------------------------------------------------------------
GLYPHS_18 = {
    "close": '<path d="M5.6,5.6 L12.4,12.4 M12.4,5.6 L5.6,12.4" fill="none" stroke="{c}" stroke-width="1.9" stroke-linecap="round"/>',
    "minimise": '<path d="M5,12 H13" fill="none" stroke="{c}" stroke-width="2" stroke-linecap="round"/>',
    "add": '<path d="M9,4.5 V13.5 M4.5,9 H13.5" fill="none" stroke="{c}" stroke-width="2.1" stroke-linecap="round"/>',
    "selectall": ('<g fill="{c}"><rect x="3.5" y="3.6" width="3.4" height="3.4" rx="0.7"/>'
                  '<rect x="3.5" y="7.3" width="3.4" height="3.4" rx="0.7"/><rect x="3.5" y="11" width="3.4" height="3.4" rx="0.7"/></g>'
                  '<path d="M9,5.3 H14.5 M9,9 H14.5 M9,12.7 H14.5" stroke="{c}" stroke-width="1.4" stroke-linecap="round"/>'),
    "deselectall": ('<g fill="none" stroke="{c}" stroke-width="1"><rect x="4" y="4.1" width="2.5" height="2.5" rx="0.5"/>'
                    '<rect x="4" y="7.8" width="2.5" height="2.5" rx="0.5"/><rect x="4" y="11.5" width="2.5" height="2.5" rx="0.5"/></g>'
                    '<path d="M9,5.3 H14.5 M9,9 H14.5 M9,12.7 H14.5" stroke="{c}" stroke-width="1.4" stroke-linecap="round"/>'),
    "selectinverse": ('<rect x="3.5" y="3.6" width="3.4" height="3.4" rx="0.7" fill="{c}"/>'
                      '<rect x="4" y="7.8" width="2.5" height="2.5" rx="0.5" fill="none" stroke="{c}" stroke-width="1"/>'
                      '<rect x="3.5" y="11" width="3.4" height="3.4" rx="0.7" fill="{c}"/>'
                      '<path d="M9,5.3 H14.5 M9,9 H14.5 M9,12.7 H14.5" stroke="{c}" stroke-width="1.4" stroke-linecap="round"/>'),
    # Rescan the volumes: a drive under a turning arrow.
    "network": ('<rect x="3" y="10.2" width="12" height="4.6" rx="1.2" fill="none" stroke="{c}" stroke-width="1.3"/>'
                '<circle cx="12.4" cy="12.5" r="0.9" fill="{c}"/>'
                '<path d="M6.2,6.6 A3,3 0 1 1 9.2,8.6" fill="none" stroke="{c}" stroke-width="1.3" stroke-linecap="round"/>'
                '<path d="M4.6,5.2 L6.2,6.9 L7.9,5.4" fill="none" stroke="{c}" stroke-width="1.3" stroke-linecap="round" stroke-linejoin="round"/>'),
}


def light_button(name, glyph, accent=False):
    """A button on a light panel: up, over and down."""
    up_glyph = "#0e8a75" if accent else GLYPH
    states = {
        "up": ("#ffffff", "#e6ecf3", "#a9b6c8", up_glyph, 0),
        "over": (BLUE_LIGHT, "#cfe1fa", BLUE, BLUE_DARK, 0),
        "down": ("#bcd3f1", "#d6e4f8", BLUE_DARK, "#143f7c", 1),
    }
    for state, (top, bottom, stroke, color, shift) in states.items():
        defs = lin("g", top, bottom)
        body = (f'<rect x="0.5" y="0.5" width="17" height="17" rx="4" fill="url(#g)" stroke="{stroke}"/>\n'
                + ('<path d="M2.5,1.6 H15.5" stroke="#ffffff" stroke-opacity="0.8"/>\n' if state != "down" else
                   '<path d="M2.5,1.8 H15.5" stroke="#0f2a55" stroke-opacity="0.18"/>\n')
                + f'<g transform="translate(0,{shift * 0.8})">' + glyph.format(c=color) + "</g>\n")
        svg(f"{name}_{state}", 18, 18, body, defs)


def title_button(name, glyph, hover_fill, down_fill):
    """A button on the dark title bar: up, over and down."""
    states = {
        "up": (None, "#ffffff", 0.0, "#dbe4f0", 0),
        "over": (hover_fill, "#ffffff", 0.25, "#ffffff", 0),
        "down": (down_fill, "#000000", 0.25, "#e8edf5", 1),
    }
    for state, (fill, stroke, stroke_opacity, color, shift) in states.items():
        body = ""
        if fill:
            body += f'<rect x="0.5" y="0.5" width="17" height="17" rx="4" fill="{fill}" stroke="{stroke}" stroke-opacity="{stroke_opacity}"/>\n'
        else:
            body += '<rect x="0.5" y="0.5" width="17" height="17" rx="4" fill="#ffffff" fill-opacity="0.06" stroke="#ffffff" stroke-opacity="0.16"/>\n'
        body += f'<g transform="translate(0,{shift * 0.8})">' + glyph.format(c=color) + "</g>\n"
        svg(f"{name}_{state}", 18, 18, body)


# --- menu bar pictures ----------------------------------------------------------------------------
def menu_picture(name, label, width, chevron=True):
    """A picture of the title bar: a menu (with a chevron) or a command (text alone)."""
    body = (f'<rect x="0.5" y="0.5" width="{width - 1}" height="17" rx="4" fill="#ffffff" fill-opacity="0.07" '
            f'stroke="#ffffff" stroke-opacity="0.14"/>\n')
    if chevron:
        chevron_x = width - 11
        body += (f'<text x="8" y="13" {FONT} font-size="11" fill="#e6edf7">{label}</text>\n'
                 f'<path d="M{chevron_x},7.5 L{chevron_x + 3},10.5 L{chevron_x + 6},7.5" fill="none" stroke="#aebbd0" '
                 f'stroke-width="1.3" stroke-linecap="round" stroke-linejoin="round"/>\n')
    else:
        body += f'<text x="{width / 2}" y="13" text-anchor="middle" {FONT} font-size="11" fill="#e6edf7">{label}</text>\n'
    svg(name, width, 18, body)


# --- round action pictures (45 x 42) -------------------------------------------------------------
PACK_GLYPH = ('<path d="M12.5,13 C18.5,13 18.5,21 24,21 M12.5,29 C18.5,29 18.5,21 24,21 L32,21 M28,17 L32.4,21 L28,25" '
              'fill="none" stroke="#ffffff" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>')
UNPACK_GLYPH = ('<path d="M12,21 L20.5,21 C26,21 26,13 32,13 M20.5,21 C26,21 26,29 32,29 M28.6,9.8 L32.4,13 L28.6,16.2 '
                'M28.6,25.8 L32.4,29 L28.6,32.2" fill="none" stroke="#ffffff" stroke-width="3" stroke-linecap="round" '
                'stroke-linejoin="round"/>')
CANCEL_GLYPH = ('<path d="M16.5,15 L28.5,27 M28.5,15 L16.5,27" fill="none" stroke="#ffffff" stroke-width="3.4" '
                'stroke-linecap="round"/>')


def round_action(name, glyph, top, bottom, edge):
    cx, cy, r = 22.5, 20.5, 19.5
    for state in ("up", "down"):
        pressed = state == "down"
        defs = (lin("face", bottom if pressed else top, top if pressed else bottom)
                + lin("shine", "#ffffff", "#ffffff"))
        body = (f'<ellipse cx="{cx}" cy="{cy + 1.6}" rx="{r + 0.6}" ry="{r}" fill="#0b1626" fill-opacity="{0.12 if pressed else 0.22}"/>\n'
                f'<circle cx="{cx}" cy="{cy + (0.6 if pressed else 0)}" r="{r}" fill="url(#face)" stroke="{edge}"/>\n')
        if pressed:
            body += (f'<circle cx="{cx}" cy="{cy + 0.6}" r="{r - 1.2}" fill="none" stroke="#000000" stroke-opacity="0.22" stroke-width="1.6"/>\n')
        else:
            body += (f'<path d="M{cx - 13},{cy - 8} A15.5,14 0 0 1 {cx + 13},{cy - 8} A17,9 0 0 0 {cx - 13},{cy - 8} Z" '
                     f'fill="#ffffff" fill-opacity="0.28"/>\n'
                     f'<circle cx="{cx}" cy="{cy}" r="{r - 1.2}" fill="none" stroke="#ffffff" stroke-opacity="0.3"/>\n')
        body += f'<g transform="translate(0,{1.4 if pressed else 0})">{glyph}</g>\n'
        svg(f"{name}_{state}", 45, 42, body, defs)


# --- status lights (22 x 22) ----------------------------------------------------------------------
def status_light(name, top, bottom, glyph):
    defs = lin("face", top, bottom)
    body = (f'<circle cx="11" cy="11.6" r="9.6" fill="#0b1626" fill-opacity="0.2"/>\n'
            f'<circle cx="11" cy="11" r="9.3" fill="url(#face)" stroke="#000000" stroke-opacity="0.25"/>\n'
            f'<path d="M5.5,7.5 A7,6 0 0 1 16.5,7.5 A9,4.5 0 0 0 5.5,7.5 Z" fill="#ffffff" fill-opacity="0.35"/>\n'
            + glyph + "\n")
    svg(name, 22, 22, body, defs)


BUSY_GLYPH = ('<path d="M7.5,5.5 H14.5 M7.5,16.5 H14.5 M8.3,5.8 C8.3,9.2 13.7,9.2 13.7,11 C13.7,12.8 8.3,12.8 8.3,16.2 '
              'M13.7,5.8 C13.7,9.2 8.3,9.2 8.3,11 C8.3,12.8 13.7,12.8 13.7,16.2" fill="none" stroke="#ffffff" '
              'stroke-width="1.4" stroke-linecap="round"/><path d="M9.4,15.6 L11,13.6 L12.6,15.6 Z" fill="#ffffff"/>')
READY_GLYPH = ('<path d="M6.6,11.3 L9.7,14.2 L15.4,7.9" fill="none" stroke="#ffffff" stroke-width="2.1" '
               'stroke-linecap="round" stroke-linejoin="round"/>')


# --- round links (32 x 32) ------------------------------------------------------------------------
WEB_GLYPH = ('<g fill="none" stroke="#ffffff" stroke-width="1.5"><circle cx="16" cy="16" r="8.5"/>'
             '<ellipse cx="16" cy="16" rx="3.8" ry="8.5"/><path d="M7.8,13.2 H24.2 M7.8,18.8 H24.2"/></g>')
MAIL_GLYPH = ('<g fill="none" stroke="#ffffff" stroke-width="1.5" stroke-linejoin="round"><rect x="7.5" y="10.5" width="17" height="11.5" rx="1.6"/>'
              '<path d="M8.2,11.4 L16,17.4 L23.8,11.4"/></g>')


def round_link(name, glyph):
    defs = lin("face", SLATE_TOP, SLATE_BOTTOM)
    body = (f'<circle cx="16" cy="16.9" r="14.6" fill="#0b1626" fill-opacity="0.2"/>\n'
            f'<circle cx="16" cy="16" r="14.5" fill="url(#face)" stroke="#1e3354"/>\n'
            f'<path d="M7,10 A11,10 0 0 1 25,10 A12.5,6.5 0 0 0 7,10 Z" fill="#ffffff" fill-opacity="0.22"/>\n'
            + glyph + "\n")
    svg(name, 32, 32, body, defs)


# --- sound buttons (16 x 16) ----------------------------------------------------------------------
SPEAKER = '<path d="M2.5,6 H5 L8.6,3 V13 L5,10 H2.5 Z" fill="{c}" stroke="{c}" stroke-width="0.6" stroke-linejoin="round"/>'
SOUND_ON = SPEAKER + ('<path d="M10.6,5.8 A3,3 0 0 1 10.6,10.2 M12.3,4 A5.4,5.4 0 0 1 12.3,12" fill="none" stroke="{c}" '
                      'stroke-width="1.3" stroke-linecap="round"/>')
SOUND_OFF = SPEAKER + ('<path d="M10.6,6 L14.2,9.8 M14.2,6 L10.6,9.8" fill="none" stroke="{c}" stroke-width="1.4" '
                       'stroke-linecap="round"/>')


def sound_button(name, glyph):
    states = {
        "up": (None, None, GLYPH, 0),
        "over": (BLUE_LIGHT, BLUE, BLUE_DARK, 0),
        "down": ("#bcd3f1", BLUE_DARK, "#143f7c", 1),
    }
    for state, (fill, stroke, color, shift) in states.items():
        body = ""
        if fill:
            body += f'<rect x="0.5" y="0.5" width="15" height="15" rx="3.5" fill="{fill}" stroke="{stroke}"/>\n'
        body += f'<g transform="translate(0,{shift * 0.7})">' + glyph.format(c=color) + "</g>\n"
        svg(f"{name}_{state}", 16, 16, body)


# --- the player's buttons (16 x 16; the button greys a disabled one itself) -------------------------
PLAYER_GLYPHS = {
    "play": '<path d="M4.5,2.8 L13,8 L4.5,13.2 Z" fill="{c}" stroke="{c}" stroke-width="0.8" stroke-linejoin="round"/>',
    "resume": ('<rect x="2.6" y="3" width="2.2" height="10" rx="0.5" fill="{c}"/>'
               '<path d="M7,3 L14,8 L7,13 Z" fill="{c}" stroke="{c}" stroke-width="0.8" stroke-linejoin="round"/>'),
    "pause": '<rect x="3.6" y="3" width="3" height="10" rx="0.6" fill="{c}"/><rect x="9.4" y="3" width="3" height="10" rx="0.6" fill="{c}"/>',
    "stop": '<rect x="3.4" y="3.4" width="9.2" height="9.2" rx="1.2" fill="{c}"/>',
}


def player_button(name):
    svg("player_" + name, 16, 16, PLAYER_GLYPHS[name].format(c=GLYPH) + "\n")


# --- zip animation (16 x 16, 8 frames) --------------------------------------------------------------
def zip_frames():
    for k in range(8):
        slider_y = 2.4 + k * 1.25
        body = ('<path d="M3,1.5 H10.5 L13.5,4.5 V14 A0.9,0.9 0 0 1 12.6,14.9 H3.9 A0.9,0.9 0 0 1 3,14 Z" '
                'fill="#f6c751" stroke="#a97b12" stroke-width="0.9" stroke-linejoin="round"/>\n'
                '<path d="M10.5,1.5 V4.5 H13.5" fill="#fbe3a1" stroke="#a97b12" stroke-width="0.9" stroke-linejoin="round"/>\n')
        for i in range(7):
            y = 2.3 + i * 1.75
            closed = y < slider_y
            body += (f'<rect x="{6.9 if i % 2 == 0 else 7.9}" y="{f(y)}" width="1.3" height="1" '
                     f'fill="{"#5a4208" if closed else "#c9971f"}"/>\n')
        body += (f'<rect x="6.3" y="{f(slider_y)}" width="3.4" height="2.8" rx="0.6" fill="#3b4d68" stroke="#1f2a3a" stroke-width="0.5"/>\n'
                 f'<rect x="7.4" y="{f(slider_y + 2.6)}" width="1.2" height="1.8" rx="0.4" fill="#3b4d68"/>\n')
        svg(f"zip_{k}", 16, 16, body)


# --- hand pointer (32 x 32, hot spot at the fingertip: 10, 3) -------------------------------------
def hand_cursor():
    path = ("M8,17.6 V4.6 A2.2,2.2 0 0 1 12.4,4.6 V11.8 A2.1,2.1 0 0 1 16.6,11.8 V13 A2.1,2.1 0 0 1 20.8,13 "
            "V14.4 A2,2 0 0 1 24.8,14.4 V22 C24.8,26.5 22.3,29.5 18,29.5 H13.6 C11.1,29.5 9.7,28.4 8.5,26.8 "
            "L3.9,20.6 A1.9,1.9 0 0 1 6.8,18.2 Z")
    body = (f'<path d="{path}" fill="#ffffff" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>\n'
            f'<path d="M12.4,11.8 V16.5 M16.6,13 V17 M20.8,14.4 V17.5" fill="none" stroke="{INK}" stroke-width="1.1" '
            'stroke-linecap="round"/>\n')
    svg("cursor_hand", 32, 32, body)


# --- the program's mark on the skin (16 x 16) --------------------------------------------------------
def kivro_icon():
    defs = lin("face", TEAL_TOP, UNPACK_BOTTOM, 0, 0, 1, 1)
    body = ('<rect x="0.5" y="0.5" width="15" height="15" rx="3.5" fill="url(#face)" stroke="#0b1626" stroke-opacity="0.45"/>\n'
            '<path d="M3.6,4.6 C6.4,4.6 6.2,8 8.4,8 M3.6,11.4 C6.4,11.4 6.2,8 8.4,8 L12,8 M10.2,6.2 L12.3,8 L10.2,9.8" '
            'fill="none" stroke="#ffffff" stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>\n')
    svg("kivro_icon", 16, 16, body, defs)


# --- the preview slider's strip (stretched to 129 x 14) -------------------------------------------
def slider_bg():
    defs = lin("strip", "#222c3d", "#121924")
    body = ('<rect x="0" y="0" width="129" height="14" rx="3" fill="url(#strip)"/>\n'
            '<path d="M3,0.5 H126" stroke="#ffffff" stroke-opacity="0.08"/>\n')
    svg("slider_bg", 129, 14, body, defs)


# --- the slider control's track and gripper, enabled and disabled ---------------------------------
# The track's middle is left open: the slider's track colour shows through it.
def slider_parts():
    for state, edge, light, grip_top, grip_bottom, grip_edge in (
            ("enabled", "#0b1119", "#5d6f8c", "#f4f7fb", "#aab8cc", "#1f2a3a"),
            ("disabled", "#2a313c", "#4a5260", "#8b94a2", "#6b7482", "#3a424e")):
        body = (f'<rect x="0.5" y="0.5" width="256" height="4" rx="2" fill="none" stroke="{edge}"/>\n'
                f'<path d="M2,4.5 H255" stroke="{light}" stroke-opacity="0.6"/>\n')
        svg(f"slider_track_{state}", 257, 5, body)
        defs = lin("grip", grip_top, grip_bottom)
        body = (f'<rect x="0.5" y="0.5" width="5" height="11" rx="1.5" fill="url(#grip)" stroke="{grip_edge}"/>\n'
                f'<path d="M3,3 V9" stroke="{grip_edge}" stroke-opacity="0.5"/>\n')
        svg(f"slider_gripper_{state}", 6, 12, body, defs)


# --- the pack-list window ---------------------------------------------------------------------------
def packlist_background():
    w, h = 316, 268
    defs = lin("body", BODY_TOP, BODY_BOTTOM) + lin("title", TITLE_TOP, TITLE_BOTTOM)
    body = (f'<rect x="0" y="0" width="{w}" height="{h}" rx="7" fill="{EDGE}"/>\n'
            f'<rect x="1.5" y="1.5" width="{w - 3}" height="{h - 3}" rx="5.5" fill="url(#body)"/>\n'
            f'<path d="{rounded_path(1.5, 1.5, w - 1.5, 24, (5.5, 5.5), (5.5, 5.5), (0, 0), (0, 0))}" fill="url(#title)"/>\n'
            f'<path d="M1.5,24.5 H{w - 1.5}" stroke="#0f1726" stroke-opacity="0.55"/>\n'
            f'<path d="M6,2.5 H{w - 6}" stroke="#ffffff" stroke-opacity="0.14"/>\n'
            + panel(6, 28, 310, 236)
            + f'<path d="M288.5,32 V232" stroke="{PANEL_STROKE}"/>\n')
    svg("packlist_bg", w, h, body, defs)


SORT_ASC = ('<path d="M5,13 V5 M2.8,7.2 L5,5 L7.2,7.2" fill="none" stroke="{c}" stroke-width="1.4" stroke-linecap="round" stroke-linejoin="round"/>'
            '<path d="M9.5,5.5 H12 M9.5,9 H13.5 M9.5,12.5 H15" stroke="{c}" stroke-width="1.4" stroke-linecap="round"/>')
SORT_DESC = ('<path d="M5,5 V13 M2.8,10.8 L5,13 L7.2,10.8" fill="none" stroke="{c}" stroke-width="1.4" stroke-linecap="round" stroke-linejoin="round"/>'
             '<path d="M9.5,5.5 H15 M9.5,9 H13.5 M9.5,12.5 H12" stroke="{c}" stroke-width="1.4" stroke-linecap="round"/>')
REMOVE = ('<path d="M5,9 H13" stroke="{c}" stroke-width="2.1" stroke-linecap="round"/>')
SWAP_UP = ('<path d="M9,13.5 V5 M5.5,8.5 L9,5 L12.5,8.5" fill="none" stroke="{c}" stroke-width="1.9" stroke-linecap="round" stroke-linejoin="round"/>')
SWAP_DOWN = ('<path d="M9,4.5 V13 M5.5,9.5 L9,13 L12.5,9.5" fill="none" stroke="{c}" stroke-width="1.9" stroke-linecap="round" stroke-linejoin="round"/>')
SCROLL_UP = ('<path d="M5.5,11 L9,7.5 L12.5,11 M5.5,7 L9,3.5 L12.5,7" fill="none" stroke="{c}" stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>')
SCROLL_DOWN = ('<path d="M5.5,7 L9,10.5 L12.5,7 M5.5,11 L9,14.5 L12.5,11" fill="none" stroke="{c}" stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>')


def single_light_picture(name, glyph):
    defs = lin("g", "#ffffff", "#e6ecf3")
    body = ('<rect x="0.5" y="0.5" width="17" height="17" rx="4" fill="url(#g)" stroke="#a9b6c8"/>\n'
            + glyph.format(c=GLYPH) + "\n")
    svg(name, 18, 18, body, defs)


def main():
    for old in os.listdir(HERE):
        if old.endswith(".svg"):
            os.remove(os.path.join(HERE, old))
    main_background()
    title_button("btn_close", GLYPHS_18["close"], "#e0483e", "#a8302a")
    title_button("btn_minimise", GLYPHS_18["minimise"], "#4b628a", "#18223a")
    light_button("btn_add", GLYPHS_18["add"], accent=True)
    for n in ("selectall", "deselectall", "selectinverse", "network"):
        light_button("btn_" + n, GLYPHS_18[n])
    menu_picture("menu_file", "File", 40)
    menu_picture("menu_action", "Action", 52)
    menu_picture("menu_options", "Options", 60)
    menu_picture("menu_help", "Help", 44)
    round_action("pack", PACK_GLYPH, TEAL_TOP, TEAL_BOTTOM, TEAL_EDGE)
    round_action("unpack", UNPACK_GLYPH, UNPACK_TOP, UNPACK_BOTTOM, UNPACK_EDGE)
    round_action("pack_cancel", CANCEL_GLYPH, RED_TOP, RED_BOTTOM, RED_EDGE)
    round_action("unpack_cancel", CANCEL_GLYPH, RED_TOP, RED_BOTTOM, RED_EDGE)
    status_light("busy", AMBER_TOP, AMBER_BOTTOM, BUSY_GLYPH)
    status_light("notbusy", GREEN_TOP, GREEN_BOTTOM, READY_GLYPH)
    round_link("link_web", WEB_GLYPH)
    round_link("link_mail", MAIL_GLYPH)
    sound_button("sound_on", SOUND_ON)
    sound_button("sound_off", SOUND_OFF)
    for n in ("play", "resume", "pause", "stop"):
        player_button(n)
    zip_frames()
    hand_cursor()
    kivro_icon()
    slider_bg()
    slider_parts()
    # Pack-list window.
    packlist_background()
    light_button("btn_ascending", SORT_ASC)
    light_button("btn_descending", SORT_DESC)
    light_button("btn_remove", REMOVE)
    light_button("btn_swapup", SWAP_UP)
    light_button("btn_swapdown", SWAP_DOWN)
    for n in ("btn_swapup", "btn_swapdown"):
        os.remove(os.path.join(HERE, n + "_over.svg"))  # these two have no hover picture
        written.remove(n + "_over")
    single_light_picture("packlist_scrollup", SCROLL_UP)
    single_light_picture("packlist_scrolldown", SCROLL_DOWN)
    menu_picture("packlist_menu_save", "Save", 42, chevron=False)
    menu_picture("packlist_menu_load", "Load", 42, chevron=False)
    menu_picture("packlist_menu_append", "Append", 56, chevron=False)
    menu_picture("packlist_menu_clear", "Clear", 44, chevron=False)

    with open(os.path.join(HERE, "..", "skin.qrc"), "w") as qrc:
        qrc.write("<!DOCTYPE RCC>\n<!-- Written by skin/generate_skin.py: the skin pictures, at :/skin/<name>.svg -->\n"
                  '<RCC version="1.0">\n<qresource prefix="/skin">\n')
        for name in sorted(written):
            qrc.write(f'    <file alias="{name}.svg">skin/{name}.svg</file>\n')
        qrc.write("</qresource>\n</RCC>\n")


if __name__ == "__main__":
    main()
