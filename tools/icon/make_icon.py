#!/usr/bin/python3
"""Draws the game's icon: four glossy bricks of a figure on a night-violet tile.

Run from the repository: /usr/bin/python3 tools/icon/make_icon.py
Writes the scalable icon dist/icons/hicolor/scalable/apps/<app id>.svg and renders it with
rsvg-convert (Debian's librsvg2-bin) to dist/icons/hicolor/<N>x<N>/apps/<app id>.png for each
size the desktops ask for. The result is reproducible.
"""
import math
import os
import shutil
import subprocess
import sys

APP_ID = "net.zellorytorvane.ZelloryTorvane"
SIZES = (48, 64, 128, 256, 512)
ICONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "dist", "icons", "hicolor")
VIEW = 256  # the drawing's own units

# A T figure standing upright: three bricks in a row and one below the middle; the lower brick
# first, so the row above covers its top face. (column, level), colour.
BRICKS = [((0, 1), (120, 230, 90)), ((-1, 0), (80, 200, 255)), ((0, 0), (255, 70, 70)), ((1, 0), (255, 200, 40))]


def hex_colour(colour):
    return "#%02x%02x%02x" % colour


def shade(colour, factor):
    return tuple(max(0, min(255, int(c * factor))) for c in colour)


def points(corners):
    return " ".join("%.2f,%.2f" % corner for corner in corners)


def cube(cx, cy, edge, colour):
    """An isometric cube whose top front corner is at (cx, cy): its three faces and a bevel light."""
    dx, dy = edge * math.cos(math.pi / 6), edge * 0.5
    top = [(cx, cy - dy), (cx + dx, cy), (cx, cy + dy), (cx - dx, cy)]
    left = [(cx - dx, cy), (cx, cy + dy), (cx, cy + dy + edge), (cx - dx, cy + edge)]
    right = [(cx + dx, cy), (cx, cy + dy), (cx, cy + dy + edge), (cx + dx, cy + edge)]
    inset = [(x * 0.8 + cx * 0.2, y * 0.8 + cy * 0.2) for x, y in top]
    outline = hex_colour(shade(colour, 0.35))
    faces = [(left, 0.72), (right, 0.52), (top, 1.15)]
    out = [
        '  <polygon points="%s" fill="%s" stroke="%s" stroke-width="0.8" stroke-linejoin="round"/>'
        % (points(face), hex_colour(shade(colour, factor)), outline)
        for face, factor in faces
    ]
    out.append('  <polygon points="%s" fill="%s"/>' % (points(inset), hex_colour(shade(colour, 1.3))))
    return out


def svg():
    margin = VIEW / 32
    edge = VIEW * 0.16
    dx, dy = edge * math.cos(math.pi / 6), edge * 0.5
    ox, oy = VIEW * 0.5, VIEW * 0.34
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % (VIEW, VIEW, VIEW, VIEW),
        "  <defs>",
        '    <linearGradient id="tile" x1="0" y1="0" x2="0.25" y2="1">',
        '      <stop offset="0" stop-color="#48268c"/>',
        '      <stop offset="1" stop-color="#0e0a30"/>',
        "    </linearGradient>",
        '    <filter id="soft" x="-0.5" y="-0.5" width="2" height="2">',
        '      <feGaussianBlur stdDeviation="%.1f"/>' % (VIEW / 10),
        "    </filter>",
        '    <clipPath id="inside">',
        '      <rect x="%.1f" y="%.1f" width="%.1f" height="%.1f" rx="%.1f"/>'
        % (margin, margin, VIEW - 2 * margin, VIEW - 2 * margin, VIEW / 5),
        "    </clipPath>",
        "  </defs>",
        '  <rect x="%.1f" y="%.1f" width="%.1f" height="%.1f" rx="%.1f" fill="url(#tile)"/>'
        % (margin, margin, VIEW - 2 * margin, VIEW - 2 * margin, VIEW / 5),
        '  <g clip-path="url(#inside)">',
        '    <ellipse cx="%.1f" cy="%.1f" rx="%.1f" ry="%.1f" fill="#5ac8ff" fill-opacity="0.43" filter="url(#soft)"/>'
        % (VIEW * 0.5, VIEW * 0.52, VIEW * 0.32, VIEW * 0.32),
        "  </g>",
    ]
    for (column, level), colour in BRICKS:
        lines += cube(ox + column * dx, oy + column * dy + level * edge, edge, colour)
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def main():
    if shutil.which("rsvg-convert") is None:
        sys.exit("rsvg-convert is missing: apt-get install librsvg2-bin")
    scalable = os.path.join(ICONS, "scalable", "apps", APP_ID + ".svg")
    os.makedirs(os.path.dirname(scalable), exist_ok=True)
    with open(scalable, "w", encoding="utf-8") as out:
        out.write(svg())
    for size in SIZES:
        png = os.path.join(ICONS, "%dx%d" % (size, size), "apps", APP_ID + ".png")
        os.makedirs(os.path.dirname(png), exist_ok=True)
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", png, scalable], check=True)


if __name__ == "__main__":
    main()
