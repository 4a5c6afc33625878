"""Writes the test drawings with ezdxf, a DXF writer that is not ours, into the directory given.

Each drawing's expected import is worked out by hand in the tests that read them; the entities'
handles, which ezdxf gives out, are written to handles.json for the messages that name them.
"""
import json
import pathlib
import sys

import ezdxf

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

(out / "handles.json").write_text(json.dumps(handles))
