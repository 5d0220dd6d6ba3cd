#!/usr/bin/python3
"""Draws the game's 256 x 256 icon: four glossy bricks of a figure on a night-violet tile.

Run from the repository: /usr/bin/python3 tools/icon/make_icon.py
Needs Debian's python3-pil. Writes dist/zellory-torvane.png; the result is reproducible.
"""
import math
import os

from PIL import Image, ImageDraw, ImageFilter

SIZE = 256
SCALE = 4  # drawn large, then reduced for smooth edges
OUT = os.path.join(os.path.dirname(__file__), "..", "..", "dist", "zellory-torvane.png")


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def shade(color, factor):
    return tuple(max(0, min(255, int(c * factor))) for c in color)


def background(size):
    tile = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    gradient = Image.new("RGBA", (size, size))
    top, bottom = (72, 38, 140), (14, 10, 48)
    pixels = gradient.load()
    for y in range(size):
        for x in range(size):
            t = (y / size) * 0.8 + (x / size) * 0.2
            pixels[x, y] = lerp(top, bottom, t) + (255,)
    mask = Image.new("L", (size, size), 0)
    margin = size // 32
    ImageDraw.Draw(mask).rounded_rectangle([margin, margin, size - margin, size - margin], radius=size // 5, fill=255)
    tile.paste(gradient, (0, 0), mask)
    # a soft glow behind the figure
    glow = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    ImageDraw.Draw(glow).ellipse([size * 0.18, size * 0.2, size * 0.82, size * 0.84], fill=(90, 200, 255, 110))
    glow = glow.filter(ImageFilter.GaussianBlur(size / 10))
    tile = Image.alpha_composite(tile, Image.composite(glow, Image.new("RGBA", (size, size)), mask))
    return tile


def cube(draw, cx, cy, edge, color):
    """An isometric cube whose top front corner is at (cx, cy)."""
    dx, dy = edge * math.cos(math.pi / 6), edge * 0.5
    top = [(cx, cy - dy), (cx + dx, cy), (cx, cy + dy), (cx - dx, cy)]
    left = [(cx - dx, cy), (cx, cy + dy), (cx, cy + dy + edge), (cx - dx, cy + edge)]
    right = [(cx + dx, cy), (cx, cy + dy), (cx, cy + dy + edge), (cx + dx, cy + edge)]
    outline = shade(color, 0.35)
    draw.polygon(left, fill=shade(color, 0.72), outline=outline)
    draw.polygon(right, fill=shade(color, 0.52), outline=outline)
    draw.polygon(top, fill=shade(color, 1.15), outline=outline)
    # a bevel highlight on the top face
    inset = [(x * 0.8 + cx * 0.2, y * 0.8 + (cy) * 0.2) for x, y in top]
    draw.polygon(inset, fill=shade(color, 1.3))


def main():
    big = SIZE * SCALE
    image = background(big)
    draw = ImageDraw.Draw(image)
    edge = big * 0.16
    dx, dy = edge * math.cos(math.pi / 6), edge * 0.5
    ox, oy = big * 0.5, big * 0.3
    # a T figure standing upright: three bricks in a row along the x axis and one below the
    # middle; the lower brick first, so the row above covers its top face
    bricks = [((0, 1), (120, 230, 90)), ((-1, 0), (80, 200, 255)), ((0, 0), (255, 70, 70)), ((1, 0), (255, 200, 40))]
    for (gx, level), color in bricks:
        cube(draw, ox + gx * dx, oy + gx * dy + level * edge, edge, color)
    icon = image.resize((SIZE, SIZE), Image.LANCZOS)
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    icon.save(OUT, optimize=True)


if __name__ == "__main__":
    main()
