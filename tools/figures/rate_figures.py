#!/usr/bin/env python3
"""Rates how hard each figure of the figure file is to place.

Run from the repository folder (Python 3 only, about ten seconds):

    python3 tools/figures/rate_figures.py [--surfaces 1000] [--seed 7]

Every figure is dropped onto the same set of random, hole-free surfaces of a glass ten
columns wide (column heights from a random walk). On each surface its best landing over every
turn and column is the one that covers the fewest empty cells, then leaves the smoothest
surface. Three numbers per figure:

    clean  the share of surfaces where the figure lands without covering an empty cell
    holes  the empty cells covered by its best landing, on average
    rough  how much that landing adds to the summed height steps between columns, on average
           (a figure that fits nowhere snugly leaves a more ragged surface)

The figures of the "Redara" pool should grow harder from row 8 to row 14 of the figure table.
"""

import argparse
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_figures  # noqa: E402

TABLE_ROWS = {
    8: (10, 11, 13, 14), 9: (8, 9, 16, 17), 10: (19, 27, 28, 29), 11: (12, 22, 23, 33),
    12: (15, 18, 24, 26), 13: (31, 32, 20, 21), 14: (25, 30, 34, 30),
}
WIDTH = 10


def surfaces(count, seed):
    rng = random.Random(seed)
    result = []
    for _ in range(count):
        height = rng.randint(0, 4)
        columns = []
        for _ in range(WIDTH):
            columns.append(height)
            height = min(8, max(0, height + rng.choice((-2, -1, -1, 0, 0, 0, 1, 1, 2))))
        result.append(columns)
    return result


def landings(turns):
    """For every distinct turn: per grid column in use, the lowest and highest brick (rows up
    from the figure's bottom) and the brick count, with the grid width."""
    result = []
    seen = set()
    for cells in turns:
        left = min(j for _, j in cells)
        bottom = max(i for i, _ in cells)
        shape = frozenset((bottom - i, j - left) for i, j in cells)  # (row up, column)
        if shape in seen:
            continue
        seen.add(shape)
        width = 1 + max(c for _, c in shape)
        columns = []
        for c in range(width):
            rows = [r for r, cc in shape if cc == c]
            columns.append((min(rows), max(rows), len(rows)) if rows else None)
        result.append((width, columns))
    return result


def best_landing(shapes, heights):
    """(covered empty cells, added roughness) of the figure's best landing on a surface: fewest
    covered cells first, then the least growth of the summed height steps between columns."""
    before = sum(abs(a - b) for a, b in zip(heights, heights[1:]))
    best = None
    for width, columns in shapes:
        for x in range(WIDTH - width + 1):
            # The figure rests where the lowest brick of one of its columns meets the surface.
            base = max(heights[x + c] - col[0] for c, col in enumerate(columns) if col)
            holes = 0
            after = list(heights)
            for c, col in enumerate(columns):
                if col:
                    low, high, count = col
                    holes += (base + high + 1 - heights[x + c]) - count
                    after[x + c] = base + high + 1
            rough = sum(abs(a - b) for a, b in zip(after, after[1:])) - before
            if best is None or (holes, rough) < best:
                best = (holes, rough)
    return best


def line(rating):
    clean, holes, rough = rating
    return f"clean {clean:4.2f}  holes {holes:4.2f}  rough {rough:+5.2f}"


def main():
    parser = argparse.ArgumentParser(description="Rates how hard each figure is to place.")
    parser.add_argument("--surfaces", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()

    figures = make_figures.build()
    tests = surfaces(args.surfaces, args.seed)
    rating = {}
    for number in range(1, 49):
        name, pool, turns = figures[number]
        shapes = landings(turns)
        best = [best_landing(shapes, heights) for heights in tests]
        rating[number] = (sum(1 for h, _ in best if h == 0) / len(best),
                          sum(h for h, _ in best) / len(best),
                          sum(r for _, r in best) / len(best))
        print(f"{number:2d} {name:8s} {pool:28s} " + line(rating[number]))
    print()
    groups = [("classic 1..7", range(1, 8))]
    groups += [(f"table row {row}", numbers) for row, numbers in TABLE_ROWS.items()]
    groups += [("Kids", range(35, 42)), ("Vodoza", range(42, 49))]
    for label, numbers in groups:
        print(f"{label:13s} " + line([sum(rating[n][k] for n in numbers) / len(numbers) for k in range(3)]))


if __name__ == "__main__":
    main()
