#!/usr/bin/env python3
"""Builds the game's meshes and the brick picture.

Writes, under the game folder (default: game/ beside tools/):
  data/models.dat                 the six mesh files in model-number order
  data/models/brick_low.mesh      brick, 12 triangles                   (model 0)
  data/models/brick_medium.mesh   brick with bevelled edges              (model 1)
  data/models/brick_high.mesh     brick with smoothly rounded edges      (model 2)
  data/models/glass_frame_a.mesh  glass frame, blue crystal rails        (model 3)
  data/models/glass_frame_b.mesh  glass frame, violet pillars and gold   (model 4)
  data/models/bomb.mesh           the bomb: body, metal cap, fuse, ember (model 5)
  data/models/brick.bmp           128 x 128 24-bit brick face

Run:  python3 tools/meshes/make_meshes.py [game-folder]
Needs only Python 3 (Debian package python3). The output is the same on every run.

Conventions of the game's meshes: left-handed coordinates, y up; triangles are wound
clockwise seen from outside, so the face normal (P - Q) x (Q - R) points outward.
Bricks are unit cubes centred on the origin. The glass frames are centred on the glass
centre and are scaled by (1.03, 0.98, 1) when placed, then moved 0.3 toward the camera.
The bomb is modelled z-up in large units; its placement turns it 72 degrees about z,
stands it up (model z becomes world y) and scales it by (0.058343057, 0.0575374, 0.0362713).
"""

import math
import os
import struct
import sys

# --------------------------------------------------------------------------- vectors


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def mul(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def length(a):
    return math.sqrt(dot(a, a))


def normalize(a):
    n = length(a)
    return (a[0] / n, a[1] / n, a[2] / n)


def face_normal(p, q, r):
    """The loader's face normal: (P - Q) x (Q - R)."""
    return cross(sub(p, q), sub(q, r))


# --------------------------------------------------------------------------- mesh


class Mesh:
    """Vertices shared within a smoothing group; triangles with a material and corner uvs."""

    def __init__(self):
        self.positions = []
        self.keys = {}
        self.triangles = []  # (i, j, k, material, (uv, uv, uv) or None)

    def vertex(self, p, group):
        key = (group, round(p[0], 5), round(p[1], 5), round(p[2], 5))
        index = self.keys.get(key)
        if index is None:
            index = len(self.positions)
            self.positions.append(p)
            self.keys[key] = index
        return index

    def triangle(self, i, j, k, material=0, uvs=None, inside=None):
        """Adds a triangle, turned so that its normal points away from the point inside."""
        p, q, r = self.positions[i], self.positions[j], self.positions[k]
        n = face_normal(p, q, r)
        if length(n) < 1e-12:
            return
        if inside is not None:
            centre = mul(add(add(p, q), r), 1.0 / 3.0)
            if dot(n, sub(centre, inside)) < 0:
                j, k = k, j
                if uvs is not None:
                    uvs = (uvs[0], uvs[2], uvs[1])
        self.triangles.append((i, j, k, material, uvs))

    def quad(self, a, b, c, d, group, material=0, inside=None, uvs=None):
        """Quad a b c d (points in order around it) as two triangles."""
        ia, ib, ic, id_ = (self.vertex(x, group) for x in (a, b, c, d))
        ua = ub = uc = ud = None
        if uvs is not None:
            ua, ub, uc, ud = uvs
        self.triangle(ia, ib, ic, material, None if uvs is None else (ua, ub, uc), inside)
        self.triangle(ia, ic, id_, material, None if uvs is None else (ua, uc, ud), inside)

    def transformed(self, fn):
        self.positions = [fn(p) for p in self.positions]


def fmt(x):
    text = "%.6f" % x
    return "0.000000" if text == "-0.000000" else text


def write_material_section(out, colour):
    r, g, b = colour
    out.append("Material")
    out.append("%s %s %s 1.000000" % (fmt(r), fmt(g), fmt(b)))
    out.append("0.000000")
    out.append("0.000000 0.000000 0.000000")
    out.append("0.000000 0.000000 0.000000")


def write_plain(path, mesh, materials):
    tris = sorted(mesh.triangles, key=lambda t: t[3])  # one draw run per material
    out = ["Vertices", str(len(mesh.positions))]
    out += ["%s %s %s" % tuple(fmt(c) for c in p) for p in mesh.positions]
    out += ["", "Triangles", str(len(tris))]
    out += ["%d %d %d" % t[:3] for t in tris]
    out += ["", "MaterialList", str(len(materials)), str(len(tris))]
    out += [str(t[3]) for t in tris]
    for colour in materials:
        out.append("")
        write_material_section(out, colour)
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    return len(mesh.positions), len(tris)


def write_textured(path, mesh, texture_name):
    uv_index = {}
    uvs = []
    rows = []
    for t in mesh.triangles:
        row = []
        for uv in t[4]:
            key = (round(uv[0], 5), round(uv[1], 5))
            if key not in uv_index:
                uv_index[key] = len(uvs)
                uvs.append(uv)
            row.append(uv_index[key])
        rows.append(row)
    out = ["Vertices", str(len(mesh.positions))]
    out += ["%s %s %s" % tuple(fmt(c) for c in p) for p in mesh.positions]
    out += ["", "Triangles", str(len(mesh.triangles))]
    out += ["%d %d %d" % t[:3] for t in mesh.triangles]
    out += ["", "Texture", str(len(uvs))]
    out += ["%s %s" % (fmt(u), fmt(v)) for u, v in uvs]
    out += ["", "TrianglesTex", str(len(rows))]
    out += ["%d %d %d" % tuple(r) for r in rows]
    out += ["", "TextureFileName", texture_name]
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    return len(mesh.positions), len(mesh.triangles)


# --------------------------------------------------------------------------- bricks

H = 0.5  # half a brick
BEVEL = 0.12  # width of the bevel, also the width of the bevel painted on brick.bmp

# The six faces: outward normal, "right" and "up" as seen from outside.
FACES = [
    ((0, 0, -1), (1, 0, 0), (0, 1, 0)),  # front, toward the camera
    ((0, 0, 1), (-1, 0, 0), (0, 1, 0)),  # back
    ((1, 0, 0), (0, 0, 1), (0, 1, 0)),  # right
    ((-1, 0, 0), (0, 0, -1), (0, 1, 0)),  # left
    ((0, 1, 0), (1, 0, 0), (0, 0, 1)),  # top
    ((0, -1, 0), (1, 0, 0), (0, 0, -1)),  # bottom
]


def face_point(face, s, t):
    """Point of a cube face at (right, up) coordinates s, t in -H..H."""
    n, right, up = face
    return add(add(mul(n, H), mul(right, s)), mul(up, t))


def face_uv(s, t):
    """Texture coordinates of a face point: v = 0 at the top of each face, as for every
    picture the game loads, so the menu pictures drawn on the low brick stand upright. The
    brick textures hold brick.bmp upside down (its top row is the last texture row), so
    brick.bmp is stored upside down itself (see main) and the face stands upright too."""
    return (s + H, H - t)


def brick_low():
    mesh = Mesh()
    for index, face in enumerate(FACES):
        corners = [(-H, H), (H, H), (H, -H), (-H, -H)]
        points = [face_point(face, s, t) for s, t in corners]
        mesh.quad(*points, group=("face", index), inside=(0, 0, 0), uvs=[face_uv(s, t) for s, t in corners])
    return mesh


def brick_medium():
    """Chamfered cube: inset faces, flat 45-degree strips on the edges, triangles on the corners."""
    mesh = Mesh()
    c = H - BEVEL
    origin = (0, 0, 0)
    for index, face in enumerate(FACES):
        n, right, up = face
        corners = [(-c, c), (c, c), (c, -c), (-c, -c)]
        points = [face_point(face, s, t) for s, t in corners]
        mesh.quad(*points, group=("face", index), inside=origin, uvs=[face_uv(s, t) for s, t in corners])
        # The strip along each side of this face, out to the neighbouring face, and the
        # corner triangle; each painted with the border of this face's picture. Strips are
        # shared by two faces, so each face makes the half on its own side of the edge.
        for side in range(4):
            sa, ta = corners[side]
            sb, tb = corners[(side + 1) % 4]
            inner_a, inner_b = face_point(face, sa, ta), face_point(face, sb, tb)
            # Outward direction of this side within the face plane.
            out_s, out_t = (sa + sb) / 2 / c, (ta + tb) / 2 / c
            out_dir = add(mul(right, round(out_s)), mul(up, round(out_t)))
            edge_a = add(sub(inner_a, mul(n, BEVEL)), mul(out_dir, BEVEL))
            edge_b = add(sub(inner_b, mul(n, BEVEL)), mul(out_dir, BEVEL))
            mid_a = mul(add(inner_a, edge_a), 0.5)
            mid_b = mul(add(inner_b, edge_b), 0.5)
            group = ("strip", index, side)
            uv_inner_a, uv_inner_b = face_uv(sa, ta), face_uv(sb, tb)
            mid_sa, mid_ta = sa + round(out_s) * BEVEL / 2, ta + round(out_t) * BEVEL / 2
            mid_sb, mid_tb = sb + round(out_s) * BEVEL / 2, tb + round(out_t) * BEVEL / 2
            mesh.quad(inner_a, inner_b, mid_b, mid_a, group=group, inside=origin,
                      uvs=[uv_inner_a, uv_inner_b, face_uv(mid_sb, mid_tb), face_uv(mid_sa, mid_ta)])
        # Corner triangles: a third of each corner belongs to this face.
        for s, t in corners:
            inner = face_point(face, s, t)
            ds, dt = (1 if s > 0 else -1), (1 if t > 0 else -1)
            toward_s = add(sub(inner, mul(n, BEVEL)), mul(right, ds * BEVEL))
            toward_t = add(sub(inner, mul(n, BEVEL)), mul(up, dt * BEVEL))
            corner_centre = mul(add(add(inner, toward_s), toward_t), 1.0 / 3.0)
            mid_s = mul(add(inner, toward_s), 0.5)
            mid_t = mul(add(inner, toward_t), 0.5)
            group = ("corner", index, s, t)
            uv_c = face_uv(s + ds * BEVEL * 0.66, t + dt * BEVEL * 0.66)
            for a, b, uva, uvb in ((inner, mid_s, face_uv(s, t), face_uv(s + ds * BEVEL / 2, t)),
                                   (mid_t, inner, face_uv(s, t + dt * BEVEL / 2), face_uv(s, t))):
                ia, ib, ic = mesh.vertex(a, group), mesh.vertex(b, group), mesh.vertex(corner_centre, group)
                mesh.triangle(ia, ib, ic, uvs=(uva, uvb, uv_c), inside=origin)
    return weld_flat(mesh)


def weld_flat(mesh):
    """Merges vertices that share a position and lie on the same plane, so each flat facet
    (a strip made of two halves, a corner made of three thirds) shades as one."""
    result = Mesh()
    for i, j, k, material, uvs in mesh.triangles:
        p, q, r = mesh.positions[i], mesh.positions[j], mesh.positions[k]
        n = normalize(face_normal(p, q, r))
        group = tuple(round(x, 3) for x in n)
        a, b, c = (result.vertex(x, group) for x in (p, q, r))
        result.triangles.append((a, b, c, material, uvs))
    return result


def brick_high(segments=3):
    """Cube with edges rounded to a quarter circle of radius BEVEL; the rounding is one
    smoothing group, the flat middle of each face another."""
    mesh = Mesh()
    inner = H - BEVEL
    steps = [inner + BEVEL * math.tan(math.radians(45.0 * k / segments)) for k in range(segments + 1)]
    grid = [-x for x in reversed(steps)] + steps  # -H .. -inner, inner .. H
    origin = (0, 0, 0)

    def rounded(p):
        clamped = tuple(max(-inner, min(inner, x)) for x in p)
        d = sub(p, clamped)
        return add(clamped, mul(normalize(d), BEVEL))

    for index, face in enumerate(FACES):
        for a in range(len(grid) - 1):
            for b in range(len(grid) - 1):
                s0, s1, t0, t1 = grid[a], grid[a + 1], grid[b], grid[b + 1]
                flat = abs(s0) <= inner + 1e-9 and abs(s1) <= inner + 1e-9 and \
                    abs(t0) <= inner + 1e-9 and abs(t1) <= inner + 1e-9
                corners = [(s0, t1), (s1, t1), (s1, t0), (s0, t0)]
                points = [rounded(face_point(face, s, t)) for s, t in corners]
                group = ("face", index) if flat else "round"
                mesh.quad(*points, group=group, inside=origin, uvs=[face_uv(s, t) for s, t in corners])
    return mesh


# --------------------------------------------------------------------------- boxes and prisms


def box(mesh, lo, hi, material):
    """Axis-aligned box, flat faces."""
    x0, y0, z0 = lo
    x1, y1, z1 = hi
    centre = ((x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2)
    faces = [
        [(x0, y0, z0), (x1, y0, z0), (x1, y1, z0), (x0, y1, z0)],
        [(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)],
        [(x0, y0, z0), (x0, y1, z0), (x0, y1, z1), (x0, y0, z1)],
        [(x1, y0, z0), (x1, y1, z0), (x1, y1, z1), (x1, y0, z1)],
        [(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)],
        [(x0, y1, z0), (x1, y1, z0), (x1, y1, z1), (x0, y1, z1)],
    ]
    for n, f in enumerate(faces):
        mesh.quad(*f, group=("box", lo, hi, n), material=material, inside=centre)


def close_rings(mesh, ring0, ring1, side_group, caps, material, inside):
    """The side quads between two rings of as many points, side k in group side_group(k),
    then a fan over each cap: caps are (ring, centre, group)."""
    count = len(ring0)
    for k in range(count):
        m = (k + 1) % count
        mesh.quad(ring0[k], ring0[m], ring1[m], ring1[k], group=side_group(k), material=material, inside=inside)
    for ring, end, group in caps:
        c = mesh.vertex(end, group)
        for k in range(count):
            m = (k + 1) % count
            mesh.triangle(c, mesh.vertex(ring[k], group), mesh.vertex(ring[m], group), material, inside=inside)


def prism_y(mesh, cx, cz, radius, y0, y1, sides, material, smooth=True, top_radius=None):
    """Prism (or frustum) around a vertical axis from y0 to y1, with flat end caps."""
    top_radius = radius if top_radius is None else top_radius
    centre = (cx, (y0 + y1) / 2, cz)
    tag = ("prism", cx, cz, y0, y1, radius)
    ring0, ring1 = [], []
    for k in range(sides):
        a = 2 * math.pi * (k + 0.5) / sides
        ring0.append((cx + radius * math.cos(a), y0, cz + radius * math.sin(a)))
        ring1.append((cx + top_radius * math.cos(a), y1, cz + top_radius * math.sin(a)))
    side_group = (lambda k: tag) if smooth else (lambda k: (tag, k))
    caps = [(ring0, (cx, y0, cz), (tag, "cap", y0)), (ring1, (cx, y1, cz), (tag, "cap", y1))]
    close_rings(mesh, ring0, ring1, side_group, caps, material, centre)


def bipyramid_y(mesh, cx, cy, cz, radius, height, sides, material):
    """A faceted gem standing on a vertical axis."""
    centre = (cx, cy, cz)
    ring = []
    for k in range(sides):
        a = 2 * math.pi * (k + 0.5) / sides
        ring.append((cx + radius * math.cos(a), cy, cz + radius * math.sin(a)))
    for tip in ((cx, cy + height, cz), (cx, cy - height * 0.6, cz)):
        for k in range(sides):
            m = (k + 1) % sides
            group = ("gem", centre, tip, k)
            mesh.triangle(mesh.vertex(tip, group), mesh.vertex(ring[k], group), mesh.vertex(ring[m], group),
                          material, inside=centre)


# --------------------------------------------------------------------------- glass frames

WALL_IN = 4.95  # inner face of the walls; x 5.0985 once placed, just outside the bricks
WALL_OUT = 5.35
FLOOR_TOP = -10.25  # top of the floor; y -10.045 once placed, just below the bricks
FLOOR_BOTTOM = -10.65
TOP = 10.3  # top of the walls
Z_FRONT, Z_BACK = -0.35, 0.95  # -0.65 .. 0.65 once moved toward the camera


def row_line(k):
    """Model y of the boundary below glass row k + 1 (k = 0 is the floor line)."""
    return (-10.0 + k) / 0.98


def frame_a():
    """Blue crystal: glass walls and floor with glowing rails on every front edge, a scale
    of notches along the walls, bright corner blocks and caps."""
    glass, rail, back_rail, accent = 0, 1, 2, 3
    materials = [(0.09, 0.15, 0.22), (0.35, 0.8, 1.0), (0.12, 0.3, 0.42), (0.85, 0.95, 1.0)]
    mesh = Mesh()
    r = 0.07  # half width of a rail
    for side in (-1, 1):
        x_in, x_out = side * WALL_IN, side * WALL_OUT
        lo_x, hi_x = min(x_in, x_out), max(x_in, x_out)
        box(mesh, (lo_x, FLOOR_TOP, Z_FRONT + 0.06), (hi_x, TOP, Z_BACK - 0.06), glass)
        for x in (x_in, x_out):
            # The inner rail stays within the wall; the outer one sits on its edge.
            xr = (x - r, x + r) if x == x_out else tuple(sorted((x, x + side * 2 * r)))
            box(mesh, (xr[0], FLOOR_BOTTOM, Z_FRONT), (xr[1], TOP, Z_FRONT + 2 * r), rail)
            box(mesh, (xr[0], FLOOR_BOTTOM, Z_BACK - 2 * r), (xr[1], TOP, Z_BACK), back_rail)
        # A notch at every row line, a longer one every fifth.
        for k in range(1, 20):
            y = row_line(k)
            long_notch = k % 5 == 0
            half = 0.045 if long_notch else 0.025
            reach = (WALL_OUT - WALL_IN) * (0.9 if long_notch else 0.55)
            xs = sorted((x_out, x_out - side * reach))
            box(mesh, (xs[0], y - half, Z_FRONT - 0.03), (xs[1], y + half, Z_FRONT + 0.1), accent if long_notch else rail)
        # Cap on top of the wall and the corner block at the floor.
        box(mesh, (lo_x - 0.06, TOP, Z_FRONT - 0.04), (hi_x + 0.06, TOP + 0.16, Z_BACK + 0.04), accent)
        cx0, cx1 = sorted((side * WALL_IN, side * (WALL_OUT + 0.1)))
        box(mesh, (cx0, FLOOR_BOTTOM - 0.1, Z_FRONT - 0.06), (cx1, FLOOR_TOP, Z_FRONT + 0.25), accent)
    box(mesh, (-WALL_IN, FLOOR_BOTTOM, Z_FRONT + 0.06), (WALL_IN, FLOOR_TOP, Z_BACK - 0.06), glass)
    for y in (FLOOR_TOP, FLOOR_BOTTOM):
        yr = (y - 2 * r, y) if y == FLOOR_TOP else (y - r, y + r)
        box(mesh, (-WALL_IN, yr[0], Z_FRONT), (WALL_IN, yr[1], Z_FRONT + 2 * r), rail)
        box(mesh, (-WALL_IN, yr[0], Z_BACK - 2 * r), (WALL_IN, yr[1], Z_BACK), back_rail)
    # Small studs under every column line of the floor.
    for k in range(1, 10):
        x = (-5.0 + k) / 1.03
        box(mesh, (x - 0.03, FLOOR_BOTTOM + 0.08, Z_FRONT - 0.03), (x + 0.03, FLOOR_TOP - 0.16, Z_FRONT + 0.1), rail)
    return mesh, materials


def frame_b():
    """Violet and gold: each wall a column of twenty glass beads, one per row, strung on a
    glowing rod and parted by gold rings; the floor ten tiles with gold studs; gold bases
    and gem finials."""
    glass, gold, rod, gem = 0, 1, 2, 3
    materials = [(0.42, 0.16, 0.62), (1.0, 0.78, 0.3), (1.0, 0.45, 0.95), (1.0, 0.92, 0.7)]
    mesh = Mesh()
    radius = 0.32  # the beads stand out beyond the wall line, never into the glass
    axis_x = WALL_IN + radius + 0.02
    axis_z = 0.3
    for side in (-1, 1):
        cx = side * axis_x
        prism_y(mesh, cx, axis_z, 0.08, FLOOR_TOP, TOP + 0.1, 6, rod)
        for k in range(20):
            y0, y1 = row_line(k), row_line(k + 1)
            prism_y(mesh, cx, axis_z, radius * 0.82, y0 + 0.08, y1 - 0.08, 8, glass, top_radius=radius * 0.82)
            prism_y(mesh, cx, axis_z, radius * 0.92, y0 + 0.08, y0 + 0.14, 8, rod, smooth=False)
            prism_y(mesh, cx, axis_z, radius * 0.92, y1 - 0.14, y1 - 0.08, 8, rod, smooth=False)
            if k > 0:
                prism_y(mesh, cx, axis_z, radius * 1.05, y0 - 0.05, y0 + 0.05, 8, gold, smooth=False)
        # Gold base at the floor corner and a gem on top.
        prism_y(mesh, cx, axis_z, radius * 1.12, FLOOR_BOTTOM - 0.15, FLOOR_TOP, 8, gold, smooth=False,
                top_radius=radius * 1.0)
        prism_y(mesh, cx, axis_z, radius * 1.1, TOP - 0.02, TOP + 0.1, 8, gold, smooth=False)
        bipyramid_y(mesh, cx, TOP + 0.25, axis_z, radius * 0.95, 0.45, 8, gem)
    # Floor tiles, one under each column, with a gold stud on the front of each.
    for k in range(10):
        x0, x1 = (-5.0 + k) / 1.03, (-4.0 + k) / 1.03
        lo_x = max(x0 + 0.05, -WALL_IN + 0.05)
        hi_x = min(x1 - 0.05, WALL_IN - 0.05)
        box(mesh, (lo_x, FLOOR_BOTTOM, Z_FRONT + 0.1), (hi_x, FLOOR_TOP, Z_BACK - 0.1), glass)
        box(mesh, (lo_x, FLOOR_TOP - 0.06, Z_FRONT + 0.05), (hi_x, FLOOR_TOP, Z_FRONT + 0.15), rod)
        xc = (x0 + x1) / 2
        yc = (FLOOR_TOP + FLOOR_BOTTOM) / 2 - 0.03
        box(mesh, (xc - 0.09, yc - 0.09, Z_FRONT + 0.02), (xc + 0.09, yc + 0.09, Z_FRONT + 0.12), gold)
    return mesh, materials


# --------------------------------------------------------------------------- bomb

BOMB_ROTATE_Z = 1.2566371
BOMB_SCALE = (0.058343057, 0.0575374, 0.0362713)


def bomb_to_world(p):
    """The bomb's placement without its translation (turn about z, stand up, scale)."""
    c, s = math.cos(BOMB_ROTATE_Z), math.sin(BOMB_ROTATE_Z)
    x, y, z = p[0] * c - p[1] * s, p[0] * s + p[1] * c, p[2]
    x, y, z = x, z, -y  # the turn about x by -90 degrees: model z is world up
    return (x * BOMB_SCALE[0], y * BOMB_SCALE[1], z * BOMB_SCALE[2])


def world_to_bomb(w):
    c, s = math.cos(BOMB_ROTATE_Z), math.sin(BOMB_ROTATE_Z)
    x, y, z = w[0] / BOMB_SCALE[0], w[1] / BOMB_SCALE[1], w[2] / BOMB_SCALE[2]
    mx_r, my_r, mz = x, -z, y  # undo the stand-up
    return (mx_r * c + my_r * s, -mx_r * s + my_r * c, mz)


BODY_CENTRE_Z = -0.47 / BOMB_SCALE[1]  # the body sits on the figure's cells (1..2, 1..2)
BODY_RADIUS = 17.0
FUSE_TIP = (0.05, 1.73, 0.0)  # where the fuse sparks start, from the placement's origin


def sphere(mesh, centre, radius, rings, segments, material, group, squash=1.0):
    top = mesh.vertex(add(centre, (0, 0, radius * squash)), group)
    bottom = mesh.vertex(add(centre, (0, 0, -radius * squash)), group)
    rows = []
    for i in range(1, rings):
        theta = math.pi * i / rings
        row = []
        for k in range(segments):
            phi = 2 * math.pi * k / segments
            p = (radius * math.sin(theta) * math.cos(phi), radius * math.sin(theta) * math.sin(phi),
                 radius * squash * math.cos(theta))
            row.append(mesh.vertex(add(centre, p), group))
        rows.append(row)
    for k in range(segments):
        m = (k + 1) % segments
        mesh.triangle(top, rows[0][k], rows[0][m], material, inside=centre)
        mesh.triangle(bottom, rows[-1][k], rows[-1][m], material, inside=centre)
    for i in range(len(rows) - 1):
        for k in range(segments):
            m = (k + 1) % segments
            a, b, c, d = rows[i][k], rows[i][m], rows[i + 1][m], rows[i + 1][k]
            mesh.triangle(a, b, c, material, inside=centre)
            mesh.triangle(a, c, d, material, inside=centre)


def cylinder_z(mesh, centre_xy, radius, z0, z1, segments, material, group):
    cx, cy = centre_xy
    inside = (cx, cy, (z0 + z1) / 2)
    ring0, ring1 = [], []
    for k in range(segments):
        a = 2 * math.pi * k / segments
        ring0.append((cx + radius * math.cos(a), cy + radius * math.sin(a), z0))
        ring1.append((cx + radius * math.cos(a), cy + radius * math.sin(a), z1))
    caps = [(ring0, (cx, cy, z0), (group, "cap", z0)), (ring1, (cx, cy, z1), (group, "cap", z1))]
    close_rings(mesh, ring0, ring1, lambda k: (group, "side"), caps, material, inside)


def torus_z(mesh, cz, major, minor, segments, sides, material, group):
    centre_ring = []
    for k in range(segments):
        a = 2 * math.pi * k / segments
        ring = []
        axis_point = (major * math.cos(a), major * math.sin(a), cz)
        for j in range(sides):
            b = 2 * math.pi * j / sides
            radial = (math.cos(a) * math.cos(b), math.sin(a) * math.cos(b), math.sin(b))
            ring.append(mesh.vertex(add(axis_point, mul(radial, minor)), group))
        centre_ring.append((axis_point, ring))
    for k in range(segments):
        m = (k + 1) % segments
        (pa, ra), (pb, rb) = centre_ring[k], centre_ring[m]
        mid = mul(add(pa, pb), 0.5)
        for j in range(sides):
            n = (j + 1) % sides
            mesh.triangle(ra[j], rb[j], rb[n], material, inside=mid)
            mesh.triangle(ra[j], rb[n], ra[n], material, inside=mid)


def bezier(points, t):
    p0, p1, p2, p3 = points
    u = 1 - t
    return add(add(mul(p0, u * u * u), mul(p1, 3 * u * u * t)), add(mul(p2, 3 * u * t * t), mul(p3, t * t * t)))


def tube(mesh, path, radius, sides, material, group):
    """A smooth tube along a list of points, closed at both ends."""
    rings = []
    side = None
    for i, p in enumerate(path):
        ahead = path[min(i + 1, len(path) - 1)]
        behind = path[max(i - 1, 0)]
        tangent = normalize(sub(ahead, behind))
        if side is None:
            side = cross(tangent, (1.0, 0.0, 0.0))
            if length(side) < 1e-6:
                side = cross(tangent, (0.0, 1.0, 0.0))
        # Carry the ring's orientation along the path without twisting it.
        side = normalize(sub(side, mul(tangent, dot(side, tangent))))
        other = cross(tangent, side)
        ring = []
        for j in range(sides):
            b = 2 * math.pi * j / sides
            ring.append(mesh.vertex(add(p, add(mul(side, radius * math.cos(b)), mul(other, radius * math.sin(b)))),
                                    group))
        rings.append(ring)
    for i in range(len(rings) - 1):
        mid = mul(add(path[i], path[i + 1]), 0.5)
        for j in range(sides):
            n = (j + 1) % sides
            a, b, c, d = rings[i][j], rings[i][n], rings[i + 1][n], rings[i + 1][j]
            mesh.triangle(a, b, c, material, inside=mid)
            mesh.triangle(a, c, d, material, inside=mid)
    for end, ring, inner in ((path[0], rings[0], path[1]), (path[-1], rings[-1], path[-2])):
        g = (group, "end", end)
        c = mesh.vertex(end, g)
        inside = add(end, mul(sub(inner, end), 0.5))
        for j in range(sides):
            n = (j + 1) % sides
            mesh.triangle(c, mesh.vertex(mesh.positions[ring[j]], g), mesh.vertex(mesh.positions[ring[n]], g),
                          material, inside=inside)


def bomb():
    """Dark round body, a metal cap with a collar, a curling fuse and its glowing end.
    The last material is the ember at the fuse tip."""
    body, band, metal, fuse, ember = 0, 1, 2, 3, 4
    materials = [(0.3, 0.31, 0.38), (0.55, 0.55, 0.62), (0.9, 0.84, 0.7), (0.8, 0.64, 0.4), (1.0, 0.62, 0.2)]
    mesh = Mesh()
    centre = (0.0, 0.0, BODY_CENTRE_Z)
    sphere(mesh, centre, BODY_RADIUS, 16, 28, body, "body")
    # A raised band round the body, turned a little toward the top like a seam.
    torus_z(mesh, BODY_CENTRE_Z + 3.0, math.sqrt(BODY_RADIUS ** 2 - 3.0 ** 2), 0.9, 36, 8, band, "band")
    top = BODY_CENTRE_Z + BODY_RADIUS
    cylinder_z(mesh, (0, 0), 5.6, top - 3.2, top + 2.4, 20, metal, "cap")
    torus_z(mesh, top + 2.4, 5.0, 0.9, 24, 8, metal, "rim")
    torus_z(mesh, top - 1.4, 6.4, 1.1, 24, 8, metal, "collar")
    # The fuse, drawn in placed units and carried back into the model.
    tip = world_to_bomb(FUSE_TIP)
    start = (0.0, 0.0, top + 1.5)
    controls = [start, (0.0, 0.0, top + 9.0), world_to_bomb((0.42, 1.25, 0.0)), tip]
    path = [bezier(controls, i / 24) for i in range(25)]
    tube(mesh, path, 1.15, 8, fuse, "fuse")
    sphere(mesh, tip, 1.7, 8, 12, ember, "ember")
    return mesh, materials


# --------------------------------------------------------------------------- brick picture


def lattice(i, j):
    """A fixed pseudo-random value in -1..1 for each lattice point."""
    h = (i * 374761393 + j * 668265263) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 32767.5 - 1.0


def grain(x, y, size, cell=6):
    """Soft value noise that wraps round the picture, two octaves."""
    total = 0.0
    for octave, weight in ((cell, 0.7), (cell // 2, 0.3)):
        period = size // octave
        fx, fy = x / octave, y / octave
        i, j = int(fx), int(fy)
        tx, ty = fx - i, fy - j
        tx, ty = tx * tx * (3 - 2 * tx), ty * ty * (3 - 2 * ty)
        a = lattice(i % period, j % period)
        b = lattice((i + 1) % period, j % period)
        c = lattice(i % period, (j + 1) % period)
        d = lattice((i + 1) % period, (j + 1) % period)
        total += weight * ((a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty)
    return total


def brick_picture(size=128):
    """A light, neutral bevelled face: lit bevel top and left, shaded bottom and right,
    a slightly sunken middle with a soft grain, all near white so the tints stay pure."""
    border = int(round(BEVEL * size))  # the bevel painted where the meshes bevel
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            # Distance into the face from each side.
            left, right, top, bottom = x + 0.5, size - x - 0.5, y + 0.5, size - y - 0.5
            nearest = min(left, right, top, bottom)
            if nearest < border:
                # The bevel: which side is nearest decides how it is lit.
                if nearest == top:
                    shade = 1.0
                elif nearest == left:
                    shade = 0.93
                elif nearest == right:
                    shade = 0.70
                else:
                    shade = 0.62
                t = nearest / border
                shade = shade * (0.92 + 0.08 * t)
                if nearest < 1.5:
                    shade *= 0.8  # dark seam at the outer rim
            else:
                # The face: a gentle dome of light from the top left, a fine inner rim.
                u, v = (x - size / 2) / size, (y - size / 2) / size
                shade = 0.90 - 0.10 * (u + v) * 0.5 - 0.12 * (u * u + v * v)
                inner = nearest - border
                if inner < 2:
                    shade *= 0.86 + 0.07 * inner
                shade += 0.018 * grain(x, y, size)
            value = max(0, min(255, int(round(shade * 250))))
            row.append((value, value, value))
        pixels.append(row)
    return pixels


def write_bmp(path, pixels):
    height, width = len(pixels), len(pixels[0])
    row_size = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(pixels):  # bottom row first
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(row_size - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


# --------------------------------------------------------------------------- main

MODEL_FILES = [
    "data/models/brick_low.mesh",
    "data/models/brick_medium.mesh",
    "data/models/brick_high.mesh",
    "data/models/glass_frame_a.mesh",
    "data/models/glass_frame_b.mesh",
    "data/models/bomb.mesh",
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    game = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "game")
    os.makedirs(os.path.join(game, "data", "models"), exist_ok=True)
    made = [
        write_textured(os.path.join(game, MODEL_FILES[0]), brick_low(), "brick.bmp"),
        write_textured(os.path.join(game, MODEL_FILES[1]), brick_medium(), "brick.bmp"),
        write_textured(os.path.join(game, MODEL_FILES[2]), brick_high(), "brick.bmp"),
        write_plain(os.path.join(game, MODEL_FILES[3]), *frame_a()),
        write_plain(os.path.join(game, MODEL_FILES[4]), *frame_b()),
        write_plain(os.path.join(game, MODEL_FILES[5]), *bomb()),
    ]
    with open(os.path.join(game, "data", "models.dat"), "w", newline="\n") as f:
        f.write("\n".join(MODEL_FILES) + "\n")
    write_bmp(os.path.join(game, "data", "models", "brick.bmp"), brick_picture()[::-1])
    for name, (vertices, triangles) in zip(MODEL_FILES, made):
        print("%-32s %6d vertices %6d triangles" % (name, vertices, triangles))


if __name__ == "__main__":
    main()
