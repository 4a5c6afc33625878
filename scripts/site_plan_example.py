#!/usr/bin/python3
"""Writes docs/examples/site_plan.dxf, a site plan as a CAD program would hand it over, made
with ezdxf (Debian's python3-ezdxf) rather than by lplayout: millimetres far from the origin,
buildings on layer 建筑 with their names and heights as texts inside them, a water tank as a
circle, rods as points with height texts, roads and grid lines on layers of their own."""
import sys

import ezdxf

out = sys.argv[1] if len(sys.argv) > 1 else "docs/examples/site_plan.dxf"
X0, Y0 = 512_300_000, 3_010_000  # the site's corner in the drawing, mm

doc = ezdxf.new("R2013", setup=True)
doc.header["$INSUNITS"] = 4  # mm
for name, colour in (("建筑", 7), ("避雷针", 1), ("道路", 8), ("轴网", 3), ("注记", 2)):
    doc.layers.add(name, color=colour)
msp = doc.modelspace()


def at(x, y):
    return (X0 + x * 1000, Y0 + y * 1000)


def building(points, name, height, text_at):
    msp.add_lwpolyline([at(*p) for p in points], close=True, dxfattribs={"layer": "建筑"})
    x, y = text_at
    msp.add_text(name, height=1200, dxfattribs={"layer": "建筑", "insert": at(x, y)})
    msp.add_text(f"H={height}m", height=900, dxfattribs={"layer": "建筑", "insert": at(x, y - 3)})


# An L-shaped office, a U-shaped teaching block whose court the area closes, a tower on its
# podium, a water tank.
building([(0, 0), (60, 0), (60, 15), (15, 15), (15, 45), (0, 45)], "1#办公楼", 18, (3, 8))
building([(90, 0), (140, 0), (140, 40), (125, 40), (125, 12), (105, 12), (105, 40), (90, 40)],
         "2#教学楼", 15, (108, 5))
building([(0, 70), (70, 70), (70, 100), (0, 100)], "3#裙房", 10, (40, 90))
building([(8, 74), (28, 74), (28, 94), (8, 94)], "3#塔楼", 54, (10, 86))
msp.add_circle(at(110, 85), 6000, dxfattribs={"layer": "建筑"})
msp.add_text("水箱", height=1000, dxfattribs={"layer": "建筑", "insert": at(107, 85)})
msp.add_text("12", height=900, dxfattribs={"layer": "建筑", "insert": at(108, 82)})

# Rods, each with its height written beside it.
for x, y, h in ((30, 30, 30), (75, 25, 25), (118, 20, 30), (18, 84, 66), (60, 95, 25),
                (110, 95, 22)):
    msp.add_point(at(x, y), dxfattribs={"layer": "避雷针"})
    msp.add_text(f"h={h}m", height=800, dxfattribs={"layer": "避雷针", "insert": at(x + 0.6, y + 0.4)})

# What a site plan also holds, on layers nobody picks: roads, grid lines and notes.
for y in (-8, 58):
    msp.add_line(at(-20, y), at(170, y), dxfattribs={"layer": "道路"})
for x in range(0, 150, 15):
    msp.add_line(at(x, -15), at(x, 110), dxfattribs={"layer": "轴网"})
msp.add_mtext("总平面图\\P比例 1:500", dxfattribs={"layer": "注记", "insert": at(150, 110),
                                                   "char_height": 2000})
doc.saveas(out)
