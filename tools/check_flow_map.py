#!/usr/bin/env python3
"""Checks the lines of a flow map drawn by talmero-cli against Graphviz's dot.

Usage: tools/check_flow_map.py [--cli PATH] FILE.dlg...

For each conversation it draws the map as SVG and reports:
- shared stretches: two arrows to different dialogs running on one line;
- arrows that pass through a box other than their two ends;
- gotos whose length exceeds the Manhattan distance between their ends by more than two box
  widths;
- the pairs of arrows that cross, next to the pairs that dot draws crossing for the same DOT.
Exits with 1 when a rule is broken or the crossings pass dot's plus one per 20 dialogs.
Needs Graphviz (dot) on the PATH.
"""

import argparse
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"
BOX_WIDTH = 210


def polyline(d):
    numbers = [float(n) for n in re.findall(r"-?\d+(?:\.\d+)?", d)]
    return list(zip(numbers[0::2], numbers[1::2]))


def segments(points):
    return [(points[i], points[i + 1]) for i in range(len(points) - 1)]


def read_svg(text):
    root = ElementTree.fromstring(text)
    boxes = {}
    edges = []
    for group in root.iter(SVG + "g"):
        kind = group.get("class", "")
        if kind.startswith("dialog"):
            rects = group.findall(SVG + "rect")
            rect = rects[-1] if kind.endswith("folded") else rects[0]
            number = int(group.get("id")[len("dialog"):])
            boxes[number] = tuple(float(rect.get(k)) for k in ("x", "y", "width", "height"))
        elif kind.startswith("edge"):
            path = group.find(SVG + "path")
            edges.append({
                "kind": kind.split()[1],
                "from": int(group.get("data-from")),
                "to": int(group.get("data-to")) if "data-to" in group.attrib else None,
                "points": polyline(path.get("d")),
            })
    for index, edge in enumerate(edges):
        # Broken arrows lead nowhere: each is its own target.
        edge["target"] = edge["to"] if edge["to"] is not None else ("broken", index)
    return boxes, edges


def overlap_length(a, b):
    """Length two axis-parallel segments run on one line."""
    (ax1, ay1), (ax2, ay2) = a
    (bx1, by1), (bx2, by2) = b
    if ax1 == ax2 and bx1 == bx2 and abs(ax1 - bx1) < 0.5:
        low = max(min(ay1, ay2), min(by1, by2))
        high = min(max(ay1, ay2), max(by1, by2))
        return max(0.0, high - low)
    if ay1 == ay2 and by1 == by2 and abs(ay1 - by1) < 0.5:
        low = max(min(ax1, ax2), min(bx1, bx2))
        high = min(max(ax1, ax2), max(bx1, bx2))
        return max(0.0, high - low)
    return 0.0


def cross(a, b):
    """Whether two segments cross properly (not at an end of either)."""
    (x1, y1), (x2, y2) = a
    (x3, y3), (x4, y4) = b
    d = (x2 - x1) * (y4 - y3) - (y2 - y1) * (x4 - x3)
    if abs(d) < 1e-9:
        return False
    t = ((x3 - x1) * (y4 - y3) - (y3 - y1) * (x4 - x3)) / d
    u = ((x3 - x1) * (y2 - y1) - (y3 - y1) * (x2 - x1)) / d
    eps = 1e-6
    return eps < t < 1 - eps and eps < u < 1 - eps


def crossing_pairs(lines):
    count = 0
    boxes = []
    for points in lines:
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        boxes.append((min(xs), min(ys), max(xs), max(ys)))
    for i in range(len(lines)):
        for j in range(i + 1, len(lines)):
            a, b = boxes[i], boxes[j]
            if a[2] < b[0] or b[2] < a[0] or a[3] < b[1] or b[3] < a[1]:
                continue
            if any(cross(s, t) for s in segments(lines[i]) for t in segments(lines[j])):
                count += 1
    return count


def through_box(segment, box):
    (x1, y1), (x2, y2) = segment
    x, y, w, h = box
    left, top, right, bottom = x + 1, y + 1, x + w - 1, y + h - 1
    return min(x1, x2) < right and max(x1, x2) > left and min(y1, y2) < bottom and max(y1, y2) > top


def check_svg(boxes, edges):
    faults = []
    for i, a in enumerate(edges):
        for b in edges[i + 1:]:
            if a["target"] == b["target"]:
                continue
            shared = max((overlap_length(s, t) for s in segments(a["points"])
                          for t in segments(b["points"])), default=0)
            if shared > 0.5:
                faults.append("shared stretch: %s %d>%s and %s %d>%s" % (
                    a["kind"], a["from"], a["to"], b["kind"], b["from"], b["to"]))
    for edge in edges:
        for number, box in boxes.items():
            if number in (edge["from"], edge["to"]):
                continue
            if any(through_box(s, box) for s in segments(edge["points"])):
                faults.append("through Dialog%d: %s %d>%s" % (number, edge["kind"], edge["from"],
                                                               edge["to"]))
    longest = 0
    for edge in edges:
        if edge["kind"] != "goto":
            continue
        points = edge["points"]
        length = sum(abs(p[0] - q[0]) + abs(p[1] - q[1]) for p, q in segments(points))
        manhattan = abs(points[0][0] - points[-1][0]) + abs(points[0][1] - points[-1][1])
        longest = max(longest, length - manhattan)
        if length - manhattan > 2 * BOX_WIDTH:
            faults.append("goto %d>%d detours %.0f" % (edge["from"], edge["to"],
                                                      length - manhattan))
    return faults, longest


def bezier_points(controls, steps=12):
    points = []
    for i in range(0, len(controls) - 3, 3):
        p0, p1, p2, p3 = controls[i:i + 4]
        for k in range(steps + (1 if i + 4 >= len(controls) else 0)):
            t = k / steps
            s = 1 - t
            points.append((s * s * s * p0[0] + 3 * s * s * t * p1[0] + 3 * s * t * t * p2[0] +
                           t * t * t * p3[0],
                           s * s * s * p0[1] + 3 * s * s * t * p1[1] + 3 * s * t * t * p2[1] +
                           t * t * t * p3[1]))
    return points


def dot_crossings(dot_text):
    plain = subprocess.run(["dot", "-Tplain"], input=dot_text, capture_output=True, text=True,
                           check=True).stdout
    lines = []
    for line in plain.splitlines():
        fields = line.split()
        if not fields or fields[0] != "edge":
            continue
        n = int(fields[3])
        controls = [(float(fields[4 + 2 * k]), float(fields[5 + 2 * k])) for k in range(n)]
        lines.append(bezier_points(controls))
    return crossing_pairs(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", default="build/talmero/talmero-cli")
    parser.add_argument("files", nargs="+")
    arguments = parser.parse_args()
    failed = False
    for name in arguments.files:
        svg = subprocess.run([arguments.cli, "map", name, "--format", "svg"], capture_output=True,
                             check=True).stdout
        dot = subprocess.run([arguments.cli, "map", name, "--format", "dot"], capture_output=True,
                             text=True, check=True).stdout
        boxes, edges = read_svg(svg)
        faults, longest = check_svg(boxes, edges)
        ours = crossing_pairs([e["points"] for e in edges])
        theirs = dot_crossings(dot)
        bound = theirs + len(boxes) // 20
        print("%s: %d dialogs, %d arrows; crossing pairs %d (dot %d, bound %d); longest goto "
              "detour %.0f" % (name, len(boxes), len(edges), ours, theirs, bound, longest))
        for fault in faults:
            print("  " + fault)
        failed = failed or bool(faults) or ours > bound
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
