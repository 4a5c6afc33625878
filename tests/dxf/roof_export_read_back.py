#!/usr/bin/python3
"""`lplayout --export-dxf` of a tower on a podium laid out by `lplayout --lay-roof`, with two
wires strung over the podium by hand, read back and audited by another program's reader
(python3-ezdxf): the roof network on its own layers, each down conductor a block insert of its
mark with its number and its heights kept, the legend and the notes.

  roof_export_read_back.py LPLAYOUT
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

program = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


site = {"format": "lplayout", "version": 1, "hr": 45,
        "conductors": [{"kind": "wire", "a": [0, 8, 14], "b": [40, 8, 14]},
                       {"kind": "wire", "a": [0, 16, 14], "b": [40, 16, 14]}],
        "objects": [{"name": "裙房", "footprint": [[0, 0], [40, 0], [40, 24], [0, 24]],
                     "height": 12, "building": "综合楼"},
                    {"name": "塔楼", "footprint": [[8, 6], [20, 6], [20, 18], [8, 18]],
                     "height": 40, "building": "综合楼"}]}

with tempfile.TemporaryDirectory() as work:
    plain, example = os.path.join(work, "site.lplayout"), os.path.join(work, "roof.lplayout")
    with open(plain, "w", encoding="utf-8") as f:
        json.dump(site, f, ensure_ascii=False)
    run = subprocess.run([program, "--lay-roof", plain, "-o", example], capture_output=True,
                         text=True)
    check(run.returncode == 0, f"lay-roof exit {run.returncode}: {run.stderr}")
    with open(example, encoding="utf-8") as f:
        layout = json.load(f)
    wires = [c for c in layout["conductors"] if c["kind"] == "wire"]
    vertical = [w for w in wires if w["a"][:2] == w["b"][:2]]
    # The wires strung by hand 2 m over the podium's 12 m roof are no roof conductors (a roof
    # conductor runs at most 1 m above its roof).
    strung = [w for w in wires if not w.get("laidOut")]
    check(len(strung) == 2, f"hand-drawn wires {strung}")

    out = os.path.join(work, "roof.dxf")
    run = subprocess.run([program, "--export-dxf", example, "-o", out], capture_output=True,
                         text=True)
    check(run.returncode == 0, f"export exit {run.returncode}: {run.stderr}")
    doc = ezdxf.readfile(out)
    auditor = doc.audit()
    check(not auditor.has_errors, f"audit errors: {[str(e) for e in auditor.errors]}")

    colours = {layer.dxf.name: layer.dxf.color for layer in doc.layers}
    roof_layers = ["接闪带", "接闪网", "引下线", "图例", "说明"]
    check(all(name in colours for name in roof_layers), f"layers {sorted(colours)}")
    check(len({colours[n] for n in ["接闪带", "接闪网", "引下线"] if n in colours}) == 3,
          f"roof layers' colours not distinct: {colours}")

    # The mark: a circle and the three strokes of its arrow.
    block = doc.blocks.get("引下线符号")
    check(block is not None, "no block 引下线符号")
    if block is not None:
        check(Counter(e.dxftype() for e in block) == Counter({"CIRCLE": 1, "LINE": 3}),
              f"block holds {Counter(e.dxftype() for e in block)}")

    msp = doc.modelspace()
    kinds = Counter((e.dxftype(), e.dxf.layer) for e in msp)
    # Every wire is drawn once, on the layer of its role.
    horizontal = len(wires) - len(vertical) - len(strung)
    check(kinds[("LINE", "接闪带")] + kinds[("LINE", "接闪网")] == horizontal,
          f"roof conductors {kinds}")
    check(kinds[("LINE", "接闪带")] > 0 and kinds[("LINE", "接闪网")] > 0, f"roles {kinds}")
    check(kinds[("LINE", "避雷线")] == len(strung), f"plain wires {kinds}")
    check(kinds[("LINE", "引下线")] == len(vertical), f"down conductors {kinds}")
    inserts = [e for e in msp.query("INSERT") if e.dxf.layer == "引下线"]
    check(len(inserts) == len(vertical) and all(e.dxf.name == "引下线符号" for e in inserts),
          f"marks {len(inserts)} of {len(vertical)}")
    # Each mark stands at its conductor's top, at the top's height.
    tops = sorted((round(w["a"][0], 3), round(w["a"][1], 3), round(max(w["a"][2], w["b"][2]), 3))
                  for w in vertical)
    marks = sorted((round(e.dxf.insert.x, 3), round(e.dxf.insert.y, 3), round(e.dxf.insert.z, 3))
                   for e in inserts)
    check(tops == marks, f"marks at {marks[:3]}…, tops at {tops[:3]}…")
    # The tower's conductors come down to the podium's roof, the others to the ground.
    feet = Counter(round(min(e.dxf.start.z, e.dxf.end.z), 3) for e in msp.query("LINE")
                   if e.dxf.layer == "引下线")
    check(feet[12.0] > 0 and feet[0.0] > 0, f"feet {feet}")

    texts = [e.dxf.text for e in msp.query("TEXT")]
    numbers = {t for t in texts if t.startswith("引下线") and t[3:].isdigit()}
    check(len(numbers) == len(vertical), f"numbers {sorted(numbers)[:5]}…")
    notes = " ".join(e.dxf.text for e in msp.query("TEXT") if e.dxf.layer == "说明")
    for words in ["第二类防雷建筑物", "10m×10m", "12m×8m", "φ10 热镀锌圆钢", "18m",
                  "0.5m 处设断接卡", "4.3.3"]:
        check(words in notes, f"notes lack {words}: {notes}")
    legend = " ".join(e.dxf.text for e in msp.query("TEXT") if e.dxf.layer == "图例")
    check(all(w in legend for w in ["图例", "接闪带", "接闪网", "引下线"]), f"legend {legend}")
    check("天面防雷平面图" in texts, "title")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("ok")
