#!/usr/bin/python3
"""Writes docs/examples/site_plan.dxf, a site plan as a CAD program would hand it over, made
with ezdxf (Debian's python3-ezdxf) rather than by lplayout: millimetres far from the origin,
buildings on layer 建筑 with their names inside them and their storeys as a bare number in
their upper right corner (as the site-plan drawing standard has it), a water tank as a circle
with its height, rods as points with height texts, roads and grid lines on layers of their
own."""
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


def building(points, name, storeys, text_at):
    msp.add_lwpolyline([at(*p) for p in points], close=True, dxfattribs={"layer": "建筑"})
    x, y = text_at
    msp.add_text(name, height=1200, dxfattribs={"layer": "建筑", "insert": at(x, y)})
    # The storeys in the upper right corner of the outline (of its first corner's edge there).
    right = max(p[0] for p in points if p[1] == max(q[1] for q in points))
    top = max(p[1] for p in points)
    msp.add_text(str(storeys), height=1000,
                 dxfattribs={"layer": "建筑", "insert": at(right - 1, top - 1),
                             "halign": 2, "valign": 3, "align_point": at(right - 1, top - 1)})


# An L-shaped office, a U-shaped teaching block whose court the area closes, a tower on its
# podium, a water tank.
building([(0, 0), (60, 0), (60, 15), (15, 15), (15, 45), (0, 45)], "1#办公楼", 5, (3, 8))
building([(90, 0), (140, 0), (140, 40), (125, 40), (125, 12), (105, 12), (105, 40), (90, 40)],
         "2#教学楼", 4, (108, 5))
building([(0, 70), (70, 70), (70, 100), (0, 100)], "3#裙房", 3, (40, 90))
building([(8, 74), (28, 74), (28, 94), (8, 94)], "3#塔楼", 17, (10, 86))
msp.add_circle(at(110, 85), 6000, dxfattribs={"layer": "建筑"})
msp.add_text("水箱", height=1000, dxfattribs={"layer": "建筑", "insert": at(107, 85)})
msp.add_text("H=12m", height=900, dxfattribs={"layer": "建筑", "insert": at(107, 82)})

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
