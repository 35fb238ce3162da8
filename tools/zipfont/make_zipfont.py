"""Builds "Kuvertix ZIPcode.ttf": the digits of the postal code as envelopes
print them in their lower left corner, drawn from thick straight strokes on
the postal-code grid, plus a dash.

The one face of the family is bold, as the big postal code is printed: a bold
request then finds a real bold face everywhere (PDF writers do not embolden
a regular face the way screen rasterizers do), and a regular request gets the
same glyphs.

The grid is two squares one above the other: the corners TL, TR, ML, MR, BL,
BR, their six outer edges, the middle bar and one diagonal in each square,
running from its upper right to its lower left corner. Each digit is a subset
of these nine strokes.

Usage: make_zipfont.py OUTPUT.ttf
"""
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

FAMILY = "Kuvertix ZIPcode"
STYLE = "Bold"
UNITS_PER_EM = 1000
ADVANCE = 640
STROKE = 100         # thickness of every stroke
LEFT, RIGHT = 120, 520   # centre lines of the vertical strokes
BOTTOM, TOP = 50, 700    # centre lines of the horizontal strokes
MIDDLE = (BOTTOM + TOP) // 2

POINTS = {
    "TL": (LEFT, TOP), "TR": (RIGHT, TOP),
    "ML": (LEFT, MIDDLE), "MR": (RIGHT, MIDDLE),
    "BL": (LEFT, BOTTOM), "BR": (RIGHT, BOTTOM),
}

STROKES = {
    "top": ("TL", "TR"), "middle": ("ML", "MR"), "bottom": ("BL", "BR"),
    "upper_left": ("TL", "ML"), "lower_left": ("ML", "BL"),
    "upper_right": ("TR", "MR"), "lower_right": ("MR", "BR"),
    "upper_diagonal": ("TR", "ML"), "lower_diagonal": ("MR", "BL"),
}

DIGITS = {
    "0": ["top", "bottom", "upper_left", "lower_left", "upper_right", "lower_right"],
    "1": ["upper_diagonal", "upper_right", "lower_right"],
    "2": ["top", "upper_right", "lower_diagonal", "bottom"],
    "3": ["top", "upper_diagonal", "middle", "lower_right", "bottom"],
    "4": ["upper_left", "middle", "upper_right", "lower_right"],
    "5": ["top", "upper_left", "middle", "lower_right", "bottom"],
    "6": ["upper_diagonal", "lower_left", "bottom", "lower_right", "middle"],
    "7": ["top", "upper_diagonal", "lower_left"],
    "8": ["top", "middle", "bottom", "upper_left", "lower_left", "upper_right", "lower_right"],
    "9": ["top", "upper_left", "upper_right", "middle", "lower_diagonal"],
}

DIGIT_NAMES = ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"]


def clockwise(polygon):
    """TrueType fills outer contours drawn clockwise (y up)."""
    area = 0
    for (x1, y1), (x2, y2) in zip(polygon, polygon[1:] + polygon[:1]):
        area += x1 * y2 - x2 * y1
    return polygon if area < 0 else list(reversed(polygon))


def stroke_polygon(start, end):
    (x1, y1), (x2, y2) = start, end
    dx, dy = x2 - x1, y2 - y1
    length = (dx * dx + dy * dy) ** 0.5
    nx, ny = -dy / length * STROKE / 2, dx / length * STROKE / 2
    return clockwise([(round(x1 + nx), round(y1 + ny)), (round(x2 + nx), round(y2 + ny)),
                      (round(x2 - nx), round(y2 - ny)), (round(x1 - nx), round(y1 - ny))])


def joint_square(point):
    """Fills the corner where two strokes meet, so joints are square."""
    x, y = point
    h = STROKE // 2
    return clockwise([(x - h, y - h), (x - h, y + h), (x + h, y + h), (x + h, y - h)])


def draw(polygons):
    pen = TTGlyphPen(None)
    for polygon in polygons:
        pen.moveTo(polygon[0])
        for point in polygon[1:]:
            pen.lineTo(point)
        pen.closePath()
    return pen.glyph()


def digit_glyph(strokes):
    polygons, corners = [], set()
    for name in strokes:
        a, b = STROKES[name]
        polygons.append(stroke_polygon(POINTS[a], POINTS[b]))
        corners.update((a, b))
    polygons.extend(joint_square(POINTS[c]) for c in sorted(corners))
    return draw(polygons)


def dash_glyph():
    return draw([stroke_polygon((LEFT, MIDDLE), (RIGHT, MIDDLE))]
                + [joint_square((LEFT, MIDDLE)), joint_square((RIGHT, MIDDLE))])


def notdef_glyph():
    outer = clockwise([(LEFT - 40, BOTTOM - 40), (LEFT - 40, TOP + 40),
                       (RIGHT + 40, TOP + 40), (RIGHT + 40, BOTTOM - 40)])
    inner = list(reversed(clockwise([(LEFT + 20, BOTTOM + 20), (LEFT + 20, TOP - 20),
                                     (RIGHT - 20, TOP - 20), (RIGHT - 20, BOTTOM + 20)])))
    return draw([outer, inner])


def build(path):
    glyphs = {".notdef": notdef_glyph(), "space": draw([]), "hyphen": dash_glyph()}
    cmap = {ord(" "): "space", ord("-"): "hyphen"}
    for digit, name in zip("0123456789", DIGIT_NAMES):
        glyphs[name] = digit_glyph(DIGITS[digit])
        cmap[ord(digit)] = name
    order = [".notdef", "space", "hyphen"] + DIGIT_NAMES

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    metrics = {}
    glyf = fb.font["glyf"]
    for name in order:
        glyph = glyf[name]
        glyph.recalcBounds(glyf)
        metrics[name] = (ADVANCE, getattr(glyph, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({
        "familyName": FAMILY,
        "styleName": STYLE,
        "uniqueFontIdentifier": FAMILY + " " + STYLE,
        "fullName": FAMILY + " " + STYLE,
        "psName": "KuvertixZIPcode-Bold",
        "version": "Version 1.0",
    })
    fb.setupOS2(sTypoAscender=800, sTypoDescender=-200, sTypoLineGap=0,
                usWinAscent=800, usWinDescent=200, sCapHeight=TOP + STROKE // 2,
                sxHeight=MIDDLE, achVendID="KVTX", usWeightClass=700,
                fsSelection=0x20)  # bold
    fb.font["head"].macStyle = 0x01  # bold
    fb.setupPost()
    fb.save(path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_zipfont.py OUTPUT.ttf")
    build(sys.argv[1])
