#!/usr/bin/python3
"""`lplayout --export-dxf` read back and audited by another program's reader (python3-ezdxf):
the example layout in metres at its own origin, and the same taken from a drawing in
millimetres far from the drawing's zero; then the failures' exit status and message.

  export_read_back.py LPLAYOUT EXAMPLE.lplayout
"""
import json
import os
import subprocess
import sys
import tempfile
from collections import Counter

try:
    import ezdxf
except ImportError:
    print("python3-ezdxf is not installed")
    sys.exit(77)

program, example = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def export(layout_path, out):
    return subprocess.run([program, "--export-dxf", layout_path, "-o", out],
                          capture_output=True, text=True, env=dict(os.environ, LC_ALL="de_DE.UTF-8"))


def read_back(dxf_path, unit, origin, insunits):
    doc = ezdxf.readfile(dxf_path)
    auditor = doc.audit()
    check(not auditor.has_errors, f"audit errors: {[str(e) for e in auditor.errors]}")
    check(doc.dxfversion >= "AC1021", f"version {doc.dxfversion}")
    check(doc.header["$INSUNITS"] == insunits, f"$INSUNITS {doc.header['$INSUNITS']}")

    colours = {layer.dxf.name: layer.dxf.color for layer in doc.layers}
    ours = ["避雷针", "避雷线", "被保护物", "保护范围", "校核结论", "图签"]
    check(all(name in colours for name in ours), f"layers {sorted(colours)}")
    check(len({colours[name] for name in ours if name in colours}) == len(ours),
          f"layer colours not distinct: {colours}")
    style = doc.styles.get(doc.header["$TEXTSTYLE"])
    check(style.dxf.font.lower().endswith((".ttf", ".ttc")), f"text font {style.dxf.font}")

    msp = doc.modelspace()
    kinds = Counter((e.dxftype(), e.dxf.layer) for e in msp)
    check(kinds[("CIRCLE", "避雷针")] == 3, f"rod circles {kinds}")
    check(kinds[("LINE", "避雷线")] == 1, f"wires {kinds}")
    check(kinds[("LWPOLYLINE", "被保护物")] == 2, f"outlines {kinds}")

    def at(x, y, z=0.0):
        return (origin[0] + x / unit, origin[1] + y / unit, z / unit)

    def near(p, q):
        return all(abs(a - b) < 1e-6 for a, b in zip(p, q))

    circles = [tuple(c.dxf.center) for c in msp.query('CIRCLE[layer=="避雷针"]')]
    check(near(circles[0], at(-6, -4, 30)), f"first rod at {circles[0]}")
    wire = msp.query('LINE[layer=="避雷线"]')[0]
    check(near(wire.dxf.start, at(0, 6, 22)) and near(wire.dxf.end, at(30, 6, 22)),
          f"wire {wire.dxf.start} {wire.dxf.end}")
    outlines = list(msp.query('LWPOLYLINE[layer=="被保护物"]'))
    check(all(o.closed for o in outlines), "an object's outline is open")
    check([round(o.dxf.elevation * unit, 6) for o in outlines] == [18, 12],
          f"roof heights {[o.dxf.elevation for o in outlines]}")
    corners = [near((x, y), at(cx, cy)[:2])
               for (x, y), (cx, cy) in zip(outlines[0].vertices(), [(0, 0), (30, 0), (30, 12)])]
    check(all(corners), f"1#楼 corners {list(outlines[0].vertices())}")
    check(outlines[0].dxf.color != outlines[1].dxf.color, "outlines not coloured by verdict")

    zone = list(msp.query('LWPOLYLINE[layer=="保护范围"]'))
    check(zone and all(z.closed for z in zone), "an area ring is missing or open")
    check({round(z.dxf.elevation * unit, 6) for z in zone} == {0, 12, 18},
          f"area heights {sorted({z.dxf.elevation for z in zone})}")

    texts = [t.dxf.text for t in msp.query("TEXT")]
    for wanted in ["1 h=30.0m", "4 h=22.0m", "hx=0.0m 保护范围", "hx=12.0m 保护范围", "1#楼",
                   "1#楼 未受保护 最小余量 -2.611 m", "2#楼 受保护 最小余量 0.978 m",
                   "依据 GB 50057-2010 滚球法", "防雷类别 2类 hr=45米"]:
        check(wanted in texts, f"no text {wanted!r} among {texts}")
    # Every text of the drawing within its extents, which frame all of it.
    lo, hi = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
    for t in msp.query("TEXT"):
        x, y = t.dxf.insert[0], t.dxf.insert[1]
        check(lo[0] <= x <= hi[0] and lo[1] <= y <= hi[1], f"text {t.dxf.text!r} off the extents")


with tempfile.TemporaryDirectory() as work:
    metres = os.path.join(work, "metres.dxf")
    result = export(example, metres)
    check(result.returncode == 0, f"export exit {result.returncode}: {result.stderr}")
    read_back(metres, 1.0, (0.0, 0.0), 6)

    # The same layout taken from a site plan in millimetres, 512 km out.
    with open(example, encoding="utf-8") as f:
        layout = json.load(f)
    layout["drawing"] = {"units": "mm", "origin": [512000000, 3010000]}
    far_layout = os.path.join(work, "far.lplayout")
    with open(far_layout, "w", encoding="utf-8") as f:
        json.dump(layout, f, ensure_ascii=False)
    far = os.path.join(work, "far.dxf")
    result = export(far_layout, far)
    check(result.returncode == 0, f"far export exit {result.returncode}: {result.stderr}")
    read_back(far, 0.001, (512000000.0, 3010000.0), 4)

    # Failures: exit status 2 and the reason; an old file at the output stays as it was.
    with open(far, "rb") as f:
        before = f.read()
    for args, reason in [
        ([os.path.join(work, "none.lplayout"), "-o", far], "none.lplayout"),
        ([example, "-o", os.path.join(work, "no", "such", "out.dxf")], "out.dxf"),
        ([example], "-o"),
    ]:
        result = subprocess.run([program, "--export-dxf", *args], capture_output=True, text=True)
        check(result.returncode == 2 and reason in result.stderr,
              f"{args}: exit {result.returncode}, stderr {result.stderr!r}")
    with open(far, "rb") as f:
        check(f.read() == before, "a failed export changed the old file")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
