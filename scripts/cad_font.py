#!/usr/bin/python3
"""Writes a LibreCAD stroke font (.lff) with the characters the given DXF files use, so that
LibreCAD, which draws texts only in fonts of its own kind, shows their Chinese.

  cad_font.py OUT.lff CJK_FONT DRAWING.dxf...

ASCII characters are copied from LibreCAD's standard font; every other one is the outline of
its glyph in CJK_FONT (a .ttf, .otf or .ttc with simplified Chinese), its curves cut into
short straight pieces. Needs python3-fonttools.
"""
import sys

from fontTools.pens.basePen import BasePen
from fontTools.ttLib import TTCollection, TTFont

STANDARD = "/usr/share/librecad/fonts/standard.lff"
# LibreCAD's fonts are 9 units tall to the top of a capital; a Chinese character, a little
# taller than a capital, gets about 10 of them.
CJK_HEIGHT = 10.0
CURVE_PIECES = 6


class Outline(BasePen):
    """The glyph's contours as polylines in font units."""

    def __init__(self, glyphs):
        super().__init__(glyphs)
        self.lines = []

    def _moveTo(self, p):
        self.lines.append([p])

    def _lineTo(self, p):
        self.lines[-1].append(p)

    def _curveToOne(self, p1, p2, p3):
        p0 = self.lines[-1][-1]
        for i in range(1, CURVE_PIECES + 1):
            t = i / CURVE_PIECES
            u = 1 - t
            self.lines[-1].append(tuple(
                u**3 * a + 3 * u * u * t * b + 3 * u * t * t * c + t**3 * d
                for a, b, c, d in zip(p0, p1, p2, p3)))

    def _qCurveToOne(self, p1, p2):
        p0 = self.lines[-1][-1]
        for i in range(1, CURVE_PIECES + 1):
            t = i / CURVE_PIECES
            u = 1 - t
            self.lines[-1].append(tuple(
                u * u * a + 2 * u * t * b + t * t * c for a, b, c in zip(p0, p1, p2)))

    def _closePath(self):
        if self.lines and self.lines[-1][0] != self.lines[-1][-1]:
            self.lines[-1].append(self.lines[-1][0])


def simplified_chinese_font(path):
    if not path.lower().endswith((".ttc", ".otc")):
        return TTFont(path)
    fonts = TTCollection(path).fonts
    for font in fonts:
        if "SC" in font["name"].getDebugName(1) or "zh" in font["name"].getDebugName(1).lower():
            return font
    return fonts[0]


def drawing_characters(paths):
    chars = set()
    for path in paths:
        with open(path, encoding="utf-8", errors="replace") as f:
            lines = f.read().splitlines()
        for code, value in zip(lines[::2], lines[1::2]):
            if code.strip() == "1":
                chars.update(value)
    return chars


def standard_glyphs():
    glyphs, current = {}, None
    with open(STANDARD, encoding="utf-8") as f:
        for line in f:
            if line.startswith("["):
                current = int(line[1:line.index("]")], 16)
                glyphs[current] = []
            elif current is not None and line.strip():
                glyphs[current].append(line.rstrip("\n"))
            else:
                current = None
    return glyphs


def main():
    out, font_path, drawings = sys.argv[1], sys.argv[2], sys.argv[3:]
    font = simplified_chinese_font(font_path)
    cmap, glyph_set = font.getBestCmap(), font.getGlyphSet()
    scale = CJK_HEIGHT / font["head"].unitsPerEm
    standard = standard_glyphs()
    with open(out, "w", encoding="utf-8") as f:
        f.write("# Format:            LibreCAD Font 1\n# Encoding:          UTF-8\n"
                "# LetterSpacing:     3\n# WordSpacing:       6.75\n"
                "# LineSpacingFactor: 1\n\n")
        for c in sorted(drawing_characters(drawings)):
            code = ord(c)
            if code in standard:
                lines = standard[code]
            elif code in cmap:
                pen = Outline(glyph_set)
                glyph_set[cmap[code]].draw(pen)
                lines = [";".join(f"{x * scale:.3f},{y * scale:.3f}" for x, y in line)
                         for line in pen.lines if len(line) > 1]
            else:
                continue
            f.write(f"[{code:04x}] {c}\n" + "".join(line + "\n" for line in lines) + "\n")


if __name__ == "__main__":
    main()
