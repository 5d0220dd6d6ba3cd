#!/usr/bin/env python3
"""Writes the figure file game/data/figimages/images.dat: 48 figures in four turns each.

Run from the repository folder (Python 3 only, no other package):

    python3 tools/figures/make_figures.py            # writes the figure file
    python3 tools/figures/make_figures.py --check    # exits 1 if the committed file differs
    python3 tools/figures/make_figures.py --print    # shows every figure's four turns
    python3 tools/figures/make_figures.py --sheet figures.ppm
        # a picture of all figures; turn it into a PNG with ImageMagick:
        # convert figures.ppm figures.png   (apt-get install imagemagick)

Each figure's shape is written down once below, in its resting orientation; the generator
places it in the 4 x 4 box as turn 1 and computes turns 2..4. The file holds, for figure 1..48
and inside it turn 1..4, one caption line and four grid rows of four digits (1 = brick,
0 = empty): 960 lines, LF line ends, ending with a newline.

How a turn is computed. A grid cell (i, j) (row i from the top, column j from the left) sits at
x = j, y = -i. The turn animation swings every brick clockwise about the point (1.5, -1), 1.5
columns right of and one row below cell (0, 0), so a brick at (x, y) ends its swing at
(y + 2.5, 0.5 - x): half a cell off the grid in both directions. The next turn is that swung
shape moved by a whole-cell shift that keeps it inside the 4 x 4 box and puts the bricks
closest to where the swing ended. Such a shift is always half a cell along each axis
(0.5 * sqrt(2) from the swing's end), and up to four of them qualify. The shifts of turns 2,
3 and 4 are chosen together:
  1. turn 4's swing must come back onto turn 1 with one of its closest shifts as well;
  2. the middle of the figure's bricks travels least over the four turns, so a figure turns
     about its own middle as nearly as the half cells allow;
  3. remaining ties: turn 2, then 3, then 4 stands as high as it can, then as far left.

Where turn 1 stands: where the four turns travel least, then as high in the box as possible,
then nearest the middle of its columns, then leftmost. Most figures start in grid row 0 or 1.

The bomb is figure 5 and takes its square: drawn where it stands, in rows 1-2 and columns 1-2,
rather than placed by the rule above. There it turns exactly in place, so it stands there in
every turn, and the blast is centred on the middle of that square.
"""

import argparse
import math
import os
import sys
from fractions import Fraction

OUTPUT = os.path.join("game", "data", "figimages", "images.dat")
BOMB = 5  # the figure whose shape the bomb takes

# Every figure: number, one-word name, pool, and its shape drawn with '#' for bricks in its
# resting orientation. The generator places the shape in the box itself (see place()); only
# the bomb's square is drawn where it stands. "Redara" entries carry their row of the figure
# table; rows 12..14 hold the superfigures.
FIGURES = [
    # The seven classic figures of four bricks ("Torvane" and "Retro"; rows 1..7 in "Redara").
    (1, "line", "classic", ["####"]),
    (2, "tee", "classic", [".#.", "###"]),
    (3, "ell", "classic", ["..#", "###"]),
    (4, "jay", "classic", ["#..", "###"]),
    (5, "square", "classic", ["....", ".##.", ".##."]),
    (6, "ess", "classic", [".##", "##."]),
    (7, "zed", "classic", ["##.", ".##"]),
    # "Redara": the pool that grows with the level. Row 8: small and friendly.
    (10, "stick", "Redara row 8", ["###"]),
    (11, "corner", "Redara row 8", ["#.", "##"]),
    (13, "boot", "Redara row 8", ["##.", "###"]),
    (14, "sock", "Redara row 8", [".##", "###"]),
    # Row 9: long figures that still lie flat.
    (8, "cane", "Redara row 9", ["...#", "####"]),
    (9, "crook", "Redara row 9", ["#...", "####"]),
    (16, "branch", "Redara row 9", [".#..", "####"]),
    (17, "twig", "Redara row 9", ["..#.", "####"]),
    # Row 10: long steps and tall figures.
    (19, "snake", "Redara row 10", ["##..", ".###"]),
    (27, "eel", "Redara row 10", ["..##", "###."]),
    (28, "anvil", "Redara row 10", [".#.", ".#.", "###"]),
    (29, "angle", "Redara row 10", ["#..", "#..", "###"]),
    # Row 11: awkward figures, two of them in pieces; most surfaces take them only with a
    # notch left open or an overhang.
    (23, "flag", "Redara row 11", [".##", "##.", ".#."]),
    (33, "pennant", "Redara row 11", ["##.", ".##", ".#."]),
    (12, "posts", "Redara row 11", ["#.#", "#.#"]),
    (22, "gap", "Redara row 11", ["##.#"]),
    # Row 12, superfigures: a clean landing needs a matching bump or staircase.
    (15, "cup", "Redara superfigure row 12", ["#.#", "###"]),
    (18, "stairs", "Redara superfigure row 12", ["#..", "##.", ".##"]),
    (24, "bolt", "Redara superfigure row 12", ["##.", ".#.", ".##"]),
    (26, "flash", "Redara superfigure row 12", [".##", ".#.", "##."]),
    # Row 13, superfigures in pieces or bent around empty cells.
    (31, "slash", "Redara superfigure row 13", ["..#", ".#.", "#.."]),
    (32, "twins", "Redara superfigure row 13", ["..##", "##.."]),
    (20, "sickle", "Redara superfigure row 13", ["#...", "#...", ".###"]),
    (21, "arch", "Redara superfigure row 13", [".##.", "#..#"]),
    # Row 14, the hardest: a slot of their own, or holes wherever they land.
    (25, "ring", "Redara superfigure row 14", [".#.", "#.#", ".#."]),
    (30, "plus", "Redara superfigure row 14", [".#.", "###", ".#."]),
    (34, "dice", "Redara superfigure row 14", ["#.#", ".#.", "#.#"]),
    # "Kids": small, friendly figures of one to four bricks. Such shapes are few, so apart from
    # the dot and the pair they are shapes the other game types know too (the block is the
    # classic square standing one row higher).
    (35, "dot", "Kids", ["#"]),
    (36, "pair", "Kids", ["##"]),
    (37, "stick", "Kids", ["###"]),
    (38, "corner", "Kids", ["#.", "##"]),
    (39, "block", "Kids", ["##", "##"]),
    (40, "line", "Kids", ["####"]),
    (41, "tee", "Kids", [".#.", "###"]),
    # "Vodoza": seven figures of five bricks, each a classic figure grown by one brick. Every
    # shape of five bricks that fits the box already serves "Redara", so these are "Redara"
    # shapes; never a classic figure.
    (42, "cane", "Vodoza", ["...#", "####"]),
    (43, "crook", "Vodoza", ["#...", "####"]),
    (44, "boot", "Vodoza", ["##.", "###"]),
    (45, "sock", "Vodoza", [".##", "###"]),
    (46, "snake", "Vodoza", ["##..", ".###"]),
    (47, "eel", "Vodoza", ["..##", "###."]),
    (48, "anvil", "Vodoza", [".#.", ".#.", "###"]),
]


def parse(rows):
    """The drawn rows as a set of (i, j) grid cells."""
    assert len(rows) <= 4
    cells = set()
    for i, row in enumerate(rows):
        assert len(row) <= 4 and set(row) <= {"#", "."}, row
        cells.update((i, j) for j, c in enumerate(row) if c == "#")
    return frozenset(cells)


def centre(cells):
    n = len(cells)
    return (Fraction(sum(i for i, _ in cells), n), Fraction(sum(j for _, j in cells), n))


def closest_turns(cells):
    """The in-grid placements of the clockwise turn of `cells` closest to its swing's end.

    A brick at (i, j) ends its swing at grid position (j - 0.5, 2.5 - i); a placement puts it
    at (j + p, q - i) for whole numbers p, q: the swing's end moved by (p + 0.5, q - 2.5) rows
    and columns."""
    options = []
    for p in range(-4, 5):
        for q in range(-1, 8):
            placed = frozenset((j + p, q - i) for i, j in cells)
            if all(0 <= a <= 3 and 0 <= b <= 3 for a, b in placed):
                options.append(((2 * p + 1) ** 2 + (2 * q - 5) ** 2, placed))
    best = min(distance for distance, _ in options)
    return [placed for distance, placed in options if distance == best]


def travel(turns):
    """How far the middle of the bricks moves over the four turns and back to turn 1."""
    total = 0.0
    for a, b in zip(turns, turns[1:] + turns[:1]):
        (ai, aj), (bi, bj) = centre(a), centre(b)
        total += math.hypot(ai - bi, aj - bj)
    return round(total, 9)


def turns_of(first):
    """Turns 1..4 from turn 1: every turn a closest placement of the one before, chosen
    together so that turn 4 swings back onto turn 1; the middle of the bricks travels least;
    then turn 2, 3, 4 in turn lie as high, then as far left, as they can. None if no choice
    of closest placements comes back to turn 1."""
    best = None
    for second in closest_turns(first):
        for third in closest_turns(second):
            for fourth in closest_turns(third):
                if first not in closest_turns(fourth):
                    continue
                turns = [first, second, third, fourth]
                key = (travel(turns),) + tuple(x for t in turns[1:] for x in centre(t))
                if best is None or key < best[0]:
                    best = (key, turns)
    return None if best is None else best[1]


def place(cells):
    """Turn 1 of a figure: where in the box its shape stands. Of the placements whose turns
    come back to them, the one whose middle travels least over four turns, then the highest,
    then the one nearest the middle column line, then the leftmost."""
    top = min(i for i, _ in cells)
    left = min(j for _, j in cells)
    shape = frozenset((i - top, j - left) for i, j in cells)
    height = 1 + max(i for i, _ in shape)
    width = 1 + max(j for _, j in shape)
    best = None
    for di in range(5 - height):
        for dj in range(5 - width):
            placed = frozenset((i + di, j + dj) for i, j in shape)
            turns = turns_of(placed)
            if turns is None:
                continue
            key = (travel(turns), di, abs(centre(placed)[1] - Fraction(3, 2)), dj)
            if best is None or key < best[0]:
                best = (key, turns)
    return None if best is None else best[1]


def build():
    numbers = sorted(number for number, *_ in FIGURES)
    if numbers != list(range(1, 49)):
        sys.exit("the table must hold figures 1..48 once each")
    figures = {}
    for number, name, pool, rows in FIGURES:
        # The bomb's square keeps the place drawn for it; every other figure is placed here.
        turns = turns_of(parse(rows)) if number == BOMB else place(parse(rows))
        if turns is None:
            sys.exit(f"figure {number} ({name}): no closest turns come back to turn 1")
        figures[number] = (name, pool, turns)
    return figures


def grid_lines(cells):
    return ["".join("1" if (i, j) in cells else "0" for j in range(4)) for i in range(4)]


def render(figures):
    lines = []
    for number in range(1, 49):
        name, pool, turns = figures[number]
        for t, cells in enumerate(turns, start=1):
            lines.append(f"figure {number} turn {t} - {name} ({pool})")
            lines.extend(grid_lines(cells))
    assert len(lines) == 960
    return "\n".join(lines) + "\n"


def show(figures):
    for number in range(1, 49):
        name, pool, turns = figures[number]
        print(f"{number:2d} {name} ({pool}), {len(turns[0])} bricks")
        grids = [grid_lines(cells) for cells in turns]
        for i in range(4):
            print("   " + "   ".join(g[i].replace("0", ".").replace("1", "#") for g in grids))


def sheet(figures, path):
    """A picture of every figure's four turns: one figure per row, 8 x 6 rows of figures."""
    cell, pad = 10, 6
    box = 4 * cell
    fig_w = 4 * box + 5 * pad
    fig_h = box + 2 * pad
    cols, rows = 4, 12
    width, height = cols * fig_w, rows * fig_h
    pixels = bytearray([24, 26, 34] * width * height)

    def fill(x0, y0, w, h, rgb):
        for y in range(y0, y0 + h):
            start = (y * width + x0) * 3
            pixels[start:start + w * 3] = bytes(rgb) * w

    def colour(number):
        hue = (number * 0.618034) % 1.0
        r, g, b = (abs(((hue * 6 + k) % 6) - 3) - 1 for k in (0, 4, 2))
        return [int(90 + 150 * min(1, max(0, c))) for c in (r, g, b)]

    for number in range(1, 49):
        name, pool, turns = figures[number]
        fx = ((number - 1) % cols) * fig_w
        fy = ((number - 1) // cols) * fig_h
        for t, cells in enumerate(turns):
            bx = fx + pad + t * (box + pad)
            by = fy + pad
            fill(bx, by, box, box, [40, 44, 56])
            fill(bx + cell + cell // 2, by + cell, 1, 1, [255, 255, 255])  # swing pivot
            for i, j in cells:
                fill(bx + j * cell + 1, by + i * cell + 1, cell - 2, cell - 2, colour(number))
    with open(path, "wb") as out:
        out.write(f"P6 {width} {height} 255\n".encode())
        out.write(pixels)


def main():
    parser = argparse.ArgumentParser(description="Writes the figure file.")
    parser.add_argument("--check", action="store_true", help="compare with the committed file")
    parser.add_argument("--print", action="store_true", help="show the figures as text")
    parser.add_argument("--sheet", metavar="FILE.ppm", help="write a picture of the figures")
    parser.add_argument("--output", default=OUTPUT, help="the file to write or check")
    args = parser.parse_args()

    figures = build()
    text = render(figures)
    if args.print:
        show(figures)
    if args.sheet:
        sheet(figures, args.sheet)
    if args.check:
        with open(args.output, "rb") as existing:
            if existing.read() != text.encode("ascii"):
                sys.exit(f"{args.output} differs from what the generator writes")
        print(f"{args.output} is up to date")
    elif not args.print and not args.sheet:
        os.makedirs(os.path.dirname(args.output), exist_ok=True)
        with open(args.output, "wb") as out:
            out.write(text.encode("ascii"))
        print(f"wrote {args.output}")


if __name__ == "__main__":
    main()
