"""Writes the test drawings with ezdxf, a DXF writer that is not ours, into the directory given.

Each drawing's expected import is worked out by hand in the tests that read them; the entities'
handles, which ezdxf gives out, are written to handles.json for the messages that name them.
"""
import json
import math
import pathlib
import re
import sys

import ezdxf
from shapely.geometry import Polygon

out = pathlib.Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)
handles = {}


def new(version, units=None, encoding=None):
    doc = ezdxf.new(version)
    if units is not None:
        doc.units = units
    if encoding is not None:
        doc.encoding = encoding
    return doc, doc.modelspace()


def outline(msp, version, points, **attribs):
    """A closed outline: a 2D POLYLINE in R12, which has no LWPOLYLINE, else an LWPOLYLINE."""
    if version == "R12":
        return msp.add_polyline2d(points, close=True, dxfattribs=attribs)
    return msp.add_lwpolyline(points, close=True, dxfattribs=attribs)


# One building in every version from R12 to 2018, in millimetres, its name and height as texts:
# the code page (GBK) before 2007, UTF-8 after.
for version in ["R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]:
    old = version in ("R12", "R2000", "R2004")
    doc, msp = new(version, None if version == "R12" else 4, "gbk" if old else None)
    doc.layers.add("建筑物轮廓")
    attribs = {"layer": "建筑物轮廓"}
    outline(msp, version, [(1000, 2000), (13000, 2000), (13000, 10000), (1000, 10000)], **attribs)
    msp.add_text("1#楼", dxfattribs={"layer": "建筑物轮廓", "insert": (5000, 5000), "height": 500})
    msp.add_text("24", dxfattribs={"layer": "建筑物轮廓", "insert": (5000, 4000), "height": 500})
    doc.saveas(out / f"version_{version}.dxf")

# R12 in GBK ($DWGCODEPAGE ANSI_936), no units in its header (so millimetres).
doc, msp = new("R12", encoding="gbk")
for name in ("建筑", "避雷针"):
    doc.layers.add(name)
outline(msp, "R12", [(100500, 200700), (120500, 200700), (120500, 210700), (100500, 210700)],
        layer="建筑")
msp.add_text("1#楼", dxfattribs={"layer": "建筑", "insert": (105000, 205000)})
msp.add_text("H=18m", dxfattribs={"layer": "建筑", "insert": (110000, 205000)})
msp.add_circle((150500, 205700), 4000, dxfattribs={"layer": "建筑"})
# A name the code page could hold anyway, written as escapes as some programs do.
msp.add_text(r"\U+6C34\U+5854", dxfattribs={"layer": "建筑", "insert": (150500, 205700)})
msp.add_text("30", dxfattribs={"layer": "建筑", "insert": (150500, 204000)})
msp.add_point((130500, 205700, 25000), dxfattribs={"layer": "避雷针"})
doc.saveas(out / "r12_gbk.dxf")
doc.saveas(out / "binary.dxf", fmt="bin")

# R2000 in metres: arcs as bulges, heights from elevation, thickness and texts. Its code page
# (windows-1252) holds no Chinese: ezdxf writes the layer names as \U+ escapes.
doc, msp = new("R2000", 6)
for name in ("建筑", "避雷针", "避雷线", "交叉", "开口", "远处"):
    doc.layers.add(name)
stadium = [(1000.4, 2000.6, 0), (1040.4, 2000.6, 1), (1040.4, 2020.6, 0), (1000.4, 2020.6, 1)]
msp.add_lwpolyline(stadium, format="xyb", close=True,
                   dxfattribs={"layer": "建筑", "elevation": 12})
msp.add_mtext(r"{\fSimSun|b0|i0;体育馆}\P\H2.5;h=18.00 m",
              dxfattribs={"layer": "建筑", "insert": (1020.4, 2015.6), "char_height": 1,
                          "attachment_point": 1})
msp.add_lwpolyline([(1060.4, 2000.6), (1070.4, 2000.6), (1070.4, 2010.6), (1060.4, 2010.6)],
                   close=True, dxfattribs={"layer": "建筑", "thickness": 9})
msp.add_lwpolyline([(1080.4, 2000.6), (1095.4, 2000.6), (1095.4, 2012.6), (1080.4, 2012.6)],
                   close=True, dxfattribs={"layer": "建筑"})
msp.add_mtext(r"2号楼\P18m", dxfattribs={"layer": "注记", "insert": (1085.4, 2008.6),
                                         "char_height": 1, "attachment_point": 1})
msp.add_lwpolyline([(1100.4, 2000.6), (1110.4, 2000.6), (1110.4, 2010.6), (1100.4, 2010.6)],
                   close=True, dxfattribs={"layer": "建筑"})
msp.add_text("18.0", dxfattribs={"layer": "建筑", "insert": (1105.4, 2005.6)})
msp.add_lwpolyline([(1000.4, 2030.6), (1020.4, 2030.6), (1020.4, 2040.6)],
                   dxfattribs={"layer": "避雷线"})
msp.add_line((1030.4, 2030.6, 20), (1050.4, 2030.6, 20), dxfattribs={"layer": "避雷线"})
msp.add_circle((1120.4, 2005.6), 0.3, dxfattribs={"layer": "避雷针"})
msp.add_text("h=35m", dxfattribs={"layer": "避雷针", "insert": (1121.4, 2005.6)})
msp.add_text("50", dxfattribs={"layer": "避雷针", "insert": (1122.2, 2005.6)})
msp.add_text("40", dxfattribs={"layer": "避雷针", "insert": (1123.4, 2005.6)})
bowtie = msp.add_lwpolyline([(1000, 3000), (1010, 3010), (1010, 3000), (1000, 3010)],
                            close=True, dxfattribs={"layer": "交叉"})
msp.add_lwpolyline([(1000, 3100), (1010, 3100), (1010, 3110)], dxfattribs={"layer": "开口"})
far = msp.add_lwpolyline([(21000, 2000), (21010, 2000), (21010, 2010), (21000, 2010)],
                         close=True, dxfattribs={"layer": "远处"})
handles["crossing"] = bowtie.dxf.handle
handles["far"] = far.dxf.handle
doc.saveas(out / "r2000_bulges.dxf")

# R2010 in millimetres far from the drawing's zero: blocks inserted scaled and rotated, nested,
# as an array, and an outline drawn mirrored (its extrusion 0, 0, -1).
doc, msp = new("R2010", 4)
for name in ("建筑", "避雷针"):
    doc.layers.add(name)
house = doc.blocks.new("楼A")
house.add_lwpolyline([(0, 0), (10000, 0), (10000, 5000), (0, 5000)], close=True)
house.add_text("A栋", dxfattribs={"insert": (5000, 2500), "height": 500})
group = doc.blocks.new("组", base_point=(1000, 0))
group.add_blockref("楼A", (0, 0))
group.add_circle((30000, 2500), 3000)
rod = doc.blocks.new("针")
rod.add_circle((0, 0), 200)
rod.add_line((-300, 0), (300, 0))
rod.add_line((0, -300), (0, 300))
msp.add_blockref("楼A", (512010000, 3010000),
                 dxfattribs={"layer": "建筑", "xscale": 2, "yscale": 1.5, "rotation": 90})
msp.add_blockref("组", (512100000, 3050000), dxfattribs={"layer": "建筑"})
array = msp.add_blockref("楼A", (512200000, 3100000), dxfattribs={"layer": "建筑"})
array.dxf.column_count = 3
array.dxf.row_count = 2
array.dxf.column_spacing = 20000
array.dxf.row_spacing = 15000
msp.add_lwpolyline([(-512300000, 3010000), (-512290000, 3010000), (-512290000, 3020000),
                    (-512300000, 3020000)], close=True,
                   dxfattribs={"layer": "建筑", "extrusion": (0, 0, -1), "elevation": -15000})
msp.add_blockref("针", (512050000, 3020000, 30000), dxfattribs={"layer": "避雷针"})
msp.add_point((512060000, 3020000), dxfattribs={"layer": "避雷针"})
msp.add_circle((512070000, 3020000), 300, dxfattribs={"layer": "避雷针"})
msp.add_text("h=35m", dxfattribs={"layer": "避雷针", "insert": (512071000, 3020000)})
doc.saveas(out / "r2010_blocks.dxf")

# What each drawing below should give: its buildings' areas (worked out by shapely from the
# same shapes, arcs drawn finely), names and counts.
expected = {}


def arc_points(cx, cy, r, start, end, n=720):
    """Points along a counter-clockwise arc from start to end (degrees), both ends included."""
    sweep = (end - start) % 360 or 360
    return [(cx + r * math.cos(math.radians(start + sweep * k / n)),
             cy + r * math.sin(math.radians(start + sweep * k / n))) for k in range(n + 1)]


# Buildings drawn with lines, in metres: four lines whose ends miss by half a millimetre; an
# open polyline closed by a line; lines and an arc; a building of two rooms crossed by a line
# that overshoots; a block of lines; a room inside a building; an outline drawn and hatched.
doc, msp = new("R2010", 6)
for name in ("建筑", "道路"):
    doc.layers.add(name)
b = {"layer": "建筑"}
gap = 0.0005
msp.add_line((0, 0), (20, 0), dxfattribs=b)
msp.add_line((20 + gap, 0), (20, 10), dxfattribs=b)
msp.add_line((20, 10 - gap), (0, 10), dxfattribs=b)
msp.add_line((0, 10), (0, gap), dxfattribs=b)
msp.add_text("1#楼", dxfattribs={"layer": "建筑", "insert": (5, 5), "height": 1})
open_piece = msp.add_lwpolyline([(30, 0), (50, 0), (50, 10), (30, 10)], dxfattribs=b)
msp.add_line((30, 10), (30, 0), dxfattribs=b)
msp.add_line((60, 0), (70, 0), dxfattribs=b)
msp.add_arc((70, 5), 5, -90, 90, dxfattribs=b)
msp.add_line((70, 10), (60, 10), dxfattribs=b)
msp.add_line((60, 10), (60, 0), dxfattribs=b)
for a, c in [((80, 0), (100, 0)), ((100, 0), (100, 10)), ((100, 10), (80, 10)),
             ((80, 10), (80, 0)), ((90, 0), (90, 10)), ((85, -2), (85, 12))]:
    msp.add_line(a, c, dxfattribs=b)
house = doc.blocks.new("房")
for a, c in [((0, 0), (8, 0)), ((8, 0), (8, 6)), ((8, 6), (0, 6)), ((0, 6), (0, 0))]:
    house.add_line(a, c)
msp.add_blockref("房", (110, 0), dxfattribs=b)
msp.add_lwpolyline([(0, 20), (30, 20), (30, 40), (0, 40)], close=True, dxfattribs=b)
msp.add_lwpolyline([(5, 25), (10, 25), (10, 30), (5, 30)], close=True, dxfattribs=b)
msp.add_lwpolyline([(40, 20), (50, 20), (50, 30), (40, 30)], close=True, dxfattribs=b)
hatch = msp.add_hatch(dxfattribs=b)
hatch.paths.add_polyline_path([(40, 20), (50, 20), (50, 30), (40, 30)], is_closed=True)
msp.add_line((0, 50), (10, 50), dxfattribs=b)  # hangs free: no outline
msp.add_line((-10, -5), (200, -5), dxfattribs={"layer": "道路"})
handles["open_piece"] = open_piece.dxf.handle
expected["lines_site"] = {
    "areas": [200, 200, Polygon([(60, 0)] + arc_points(70, 5, 5, -90, 90) + [(60, 10)]).area,
              200, 48, 600, 100],
    "names": ["1#楼"],
}
doc.saveas(out / "lines_site.dxf")

# A site filled with hatches, in millimetres: a polyline path with a bulge, edge paths with an
# arc either way round, and a building with a courtyard (an outer and an inner path).
doc, msp = new("R2018", 4)
doc.layers.add("建筑填充")
f = {"layer": "建筑填充"}
h = msp.add_hatch(dxfattribs=f)
h.paths.add_polyline_path([(0, 0, 0), (20000, 0, 1), (20000, 10000, 0), (0, 10000, 0)],
                          is_closed=True)
h = msp.add_hatch(dxfattribs=f)
e = h.paths.add_edge_path()
e.add_line((30000, 0), (40000, 0))
e.add_arc((40000, 5000), 5000, -90, 90, ccw=True)
e.add_line((40000, 10000), (30000, 10000))
e.add_line((30000, 10000), (30000, 0))
h = msp.add_hatch(dxfattribs=f)
e = h.paths.add_edge_path()
e.add_line((60000, 0), (60000, 10000))
e.add_line((60000, 10000), (70000, 10000))
e.add_arc((70000, 5000), 5000, 90, -90, ccw=False)
e.add_line((70000, 0), (60000, 0))
h = msp.add_hatch(dxfattribs=f)
h.paths.add_polyline_path([(0, 20000), (30000, 20000), (30000, 40000), (0, 40000)],
                          is_closed=True, flags=1)
h.paths.add_polyline_path([(10000, 25000), (20000, 25000), (20000, 35000), (10000, 35000)],
                          is_closed=True)
semicircle = lambda cx, cy, r, a, b: arc_points(cx, cy, r, a, b)
expected["hatch_site"] = {
    "areas": [Polygon([(0, 0)] + semicircle(20, 5, 5, -90, 90) + [(0, 10)]).area,
              Polygon([(30, 0)] + semicircle(40, 5, 5, -90, 90) + [(30, 10)]).area,
              Polygon([(60, 0)] + semicircle(70, 5, 5, 90, 270)[::-1] + [(60, 10)]).area,
              600],
}
doc.saveas(out / "hatch_site.dxf")

# 500 outlines in metres: 300 good squares (20 with a corner repeated, 20 with a spike), then
# 200 bad ones (bowties and outlines of no area) among them.
doc, msp = new("R2010", 6)
doc.layers.add("建筑")
good = bad = 0
for k in range(500):
    x, y = 15 * (k % 25), 15 * (k // 25)
    square = [(x, y), (x + 10, y), (x + 10, y + 10), (x, y + 10)]
    if k % 5 in (1, 3) and bad < 200:
        shape = ([(x, y), (x + 10, y + 10), (x + 10, y), (x, y + 10)] if k % 5 == 1
                 else [(x, y), (x + 5, y), (x + 10, y)])
        bad += 1
    else:
        shape = square
        if good % 15 == 1:
            shape = square[:2] + [square[1]] + square[2:]
        elif good % 15 == 2:
            shape = square[:2] + [(x + 14, y), square[1]] + square[2:]
        good += 1
    msp.add_lwpolyline(shape, close=True, dxfattribs={"layer": "建筑"})
expected["bad_outlines"] = {"good": good, "bad": bad,
                            "mended": sum(1 for g in range(good) if g % 15 in (1, 2))}
doc.saveas(out / "bad_outlines.dxf")

# Heights and storeys in each form, one building each, in metres; the vertical MTEXT is a name.
doc, msp = new("R2010", 6)
doc.layers.add("建筑")
labels = [
    [r"8\P5\P2\P0\P5\P采\P空\P区", "6F"],
    [r"{\fSimSun|b0|i0;综合楼}\P\H0.8x;18+1F"],
    ["3#", "6/-1"],
    ["6层", "H=20m"],
    ["12"],
    ["%%u高18米%%u", "A%%u栋%%u"],
    [r"{\H1.2x;建筑高度}24.5m"],
]
for k, texts in enumerate(labels):
    x = 30 * k
    msp.add_lwpolyline([(x, 0), (x + 20, 0), (x + 20, 40), (x, 40)], close=True,
                       dxfattribs={"layer": "建筑"})
    for i, t in enumerate(texts):
        if "\\" in t or "{" in t:
            msp.add_mtext(t, dxfattribs={"layer": "建筑", "insert": (x + 5 + 5 * i, 35),
                                         "char_height": 1, "attachment_point": 1})
        else:
            msp.add_text(t, dxfattribs={"layer": "建筑", "insert": (x + 5, 30 - 5 * i)})
# A tower on its podium, drawn inside it on the same layer: a part with its own height, no room.
msp.add_lwpolyline([(210, 0), (240, 0), (240, 40), (210, 40)], close=True, dxfattribs={"layer": "建筑"})
msp.add_text("3F", dxfattribs={"layer": "建筑", "insert": (235, 35)})
msp.add_lwpolyline([(212, 2), (222, 2), (222, 12), (212, 12)], close=True, dxfattribs={"layer": "建筑"})
msp.add_text("18F", dxfattribs={"layer": "建筑", "insert": (215, 5)})
doc.saveas(out / "labels_site.dxf")



def code_page_drawing(name, encoding, texts, header=None):
    """An R12 drawing in the code page given, its $DWGCODEPAGE taken out or replaced."""
    doc, msp = new("R12", encoding=encoding)
    doc.layers.add(texts[0])
    outline(msp, "R12", [(0, 0), (20000, 0), (20000, 10000), (0, 10000)], layer=texts[0])
    for i, t in enumerate(texts[1:]):
        msp.add_text(t, dxfattribs={"layer": texts[0], "insert": (2000, 8000 - 2000 * i)})
    path = out / name
    doc.saveas(path)
    data = path.read_bytes()
    written = re.search(rb" *9\r?\n\$DWGCODEPAGE\r?\n +3\r?\n[^\r\n]*\r?\n", data)
    assert written, name
    data = data.replace(written.group(0), b"" if header is None else
                        re.sub(rb"ANSI_\d+", header.encode(), written.group(0)))
    path.write_bytes(data)


# R12 drawings whose header gives no code page, or a Western one, for texts that are not.
code_page_drawing("r12_gbk_unmarked.dxf", "gbk", ["建筑物", "办公楼", "6层"])
code_page_drawing("r12_gbk_as_1252.dxf", "gbk", ["总平面", "综合楼", "H=18m"], "ANSI_1252")
code_page_drawing("r12_sjis_unmarked.dxf", "shift_jis", ["建物", "ビル", "事務所"])
code_page_drawing("r12_cp1252_unmarked.dxf", "cp1252", ["Bâtiment", "Hôtel de ville", "Café"])

# A flat closed 3D polyline at 12 m and a closed spline on the ground, in metres; a 3D
# polyline that is not flat is no outline.
doc, msp = new("R2010", 6)
doc.layers.add("建筑")
msp.add_polyline3d([(0, 0, 12), (20, 0, 12), (20, 10, 12), (0, 10, 12)], close=True,
                   dxfattribs={"layer": "建筑"})
msp.add_polyline3d([(40, 0, 0), (60, 0, 5), (60, 10, 0)], close=True, dxfattribs={"layer": "建筑"})
spline_points = [(100 + 10 * math.cos(math.radians(a)), 10 * math.sin(math.radians(a)))
                 for a in range(0, 360, 30)]
spline = msp.add_spline(dxfattribs={"layer": "建筑"})
spline.closed = True
spline.dxf.degree = 3
# A closed periodic B-spline: the control points wrapped round by the degree.
cps = spline_points + spline_points[:3]
spline.control_points = [(x, y, 0) for x, y in cps]
spline.knots = list(range(len(cps) + 4))
spline.dxf.flags = 1 | 2  # closed and periodic, as CAD programs write closed splines
curve = [spline.construction_tool().point(t) for t in
         [3 + k * (len(cps) - 3) / 2000 for k in range(2000)]]
expected["flat_curves"] = {"areas": [200, Polygon([(p.x, p.y) for p in curve]).area]}
doc.saveas(out / "flat_curves.dxf")

# Declared millimetres, drawn in metres: its buildings a few square millimetres each.
doc, msp = new("R2010", 4)
doc.layers.add("建筑")
for k in range(3):
    outline(msp, "R2010", [(30 * k, 0), (30 * k + 20, 0), (30 * k + 20, 12), (30 * k, 12)],
            layer="建筑")
doc.saveas(out / "mm_drawn_in_metres.dxf")

(out / "expected.json").write_text(json.dumps(expected))
(out / "handles.json").write_text(json.dumps(handles))
