#!/usr/bin/python3
"""Zellory Torvane picture generator.

Draws every 2D picture of the game (all but the font sheets and the brick face) and
writes them into game/textures/:

  loading screen   intro.jpg, loadingprogress.bmp
  game scene       bkgrgame.jpg, bkgrgame2.jpg .. bkgrgame5.jpg (one per game type),
                   loadingline2.bmp / progressline2.bmp (time and bomb-power bar),
                   loadingline3.tga / progressline3.tga (the two-part bomb/power bar),
                   motionblur.tga (drop trail), gameover.bmp, pause.bmp, abortgame.bmp
  menu             background.jpg, backhelp.jpg, newgame.bmp .. exit.bmp, sound.bmp ..
                   return.bmp, zellory1.bmp .. zellory5.bmp, return2.bmp, cw.bmp, ccw.bmp,
                   low.bmp, medium.bmp, high.bmp, stripe.bmp
  particles        effect.tga, sparkle.tga, sparkle2.tga, explosion.tga, smoke.tga

Formats: .bmp are 24-bit uncompressed Windows bitmaps (BITMAPINFOHEADER, bottom-up rows);
.tga are 32-bit uncompressed true-colour with 8 alpha bits, bottom-left origin; .jpg are
baseline JPEGs with full-resolution colour (4:4:4). The game turns the JPEGs into bitmaps at
its first start. The pictures shown on the menu's slabs (the items and the values) are stored
at the aspect of the slab face they cover, 128 texels high, so their lettering keeps its true
proportions; every other picture has power-of-two sides, is drawn at the aspect of the quad it
is shown on and then resampled to its texture size, so it looks right once stretched back on
screen.

The value pictures (cw, ccw, low, medium, high) are loaded with the white colour key, but
the slab they cover is drawn opaque: they are dark key-caps with no pixel of exact white, so
the key takes nothing away. The pictures the key cuts out (stripe, backhelp) have an exactly
white (255, 255, 255) background. Their shapes have dark outlines and a hard coverage edge: a
pixel is either the shape's own colour or pure white, never a blend of both, so no light
fringe survives the key. backhelp.jpg keeps its panel edges on 8-pixel block boundaries so the
JPEG leaves the white around it untouched.

Run (from anywhere):

    /usr/bin/python3 tools/pictures/make_pictures.py [--out DIR] [--preview DIR]

--out defaults to the repository's game/textures. --preview also writes PNG copies, a contact
sheet and mock-ups of a game screen and the menus into DIR, for looking at the pictures.
All noise is drawn from fixed seeds: running it again rewrites identical files.

Debian packages: python3 python3-pil python3-numpy fonts-urw-base35 fonts-dejavu-core
fonts-dejavu-extra
(apt-get install python3-pil python3-numpy fonts-urw-base35 fonts-dejavu-core
fonts-dejavu-extra). Lettering is set in URW Gothic (fonts-urw-base35) and DejaVu Sans
(fonts-dejavu-core, fonts-dejavu-extra), both freely licensed.
"""

import argparse
import math
import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))

FONT_TITLE = "/usr/share/fonts/opentype/urw-base35/URWGothic-Demi.otf"
FONT_BOOK = "/usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf"
FONT_LABEL = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"
FONT_SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# House palette: night blue and violet, with cyan and magenta light.
INK = (0.02, 0.02, 0.07)          # outlines and deepest shade
NAVY = (0.04, 0.06, 0.20)
INDIGO = (0.13, 0.12, 0.42)
CYAN = (0.35, 0.88, 1.00)
ICE = (0.82, 0.96, 1.00)
VIOLET = (0.62, 0.38, 1.00)
MAGENTA = (1.00, 0.36, 0.85)
GOLD = (1.00, 0.80, 0.35)

# Accent per game type: Torvane, Redara, Vodoza, Kids, Retro.
TYPE_ACCENT = [VIOLET, (1.00, 0.32, 0.22), (0.20, 0.85, 0.85), (1.00, 0.70, 0.20), (1.00, 0.30, 0.75)]
TYPE_NAMES = ["Torvane", "Redara", "Vodoza", "Kids", "Retro"]


# ----------------------------------------------------------------------------------------------
# File writers
# ----------------------------------------------------------------------------------------------

def to_u8(rgb):
    return np.clip(np.rint(np.asarray(rgb) * 255.0), 0, 255).astype(np.uint8)


def write_bmp24(path, rgb):
    """24-bit uncompressed bitmap, bottom-up, rows padded to four bytes."""
    px = to_u8(rgb)
    h, w, _ = px.shape
    row = w * 3
    pad = (4 - row % 4) % 4
    body = bytearray()
    for y in range(h - 1, -1, -1):
        body += px[y, :, ::-1].tobytes() + b"\0" * pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def write_tga32(path, rgb, alpha):
    """32-bit uncompressed true-colour TGA (BGRA), bottom-left origin, 8 alpha bits."""
    px = to_u8(np.dstack([rgb, alpha]))
    h, w, _ = px.shape
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, w, h, 32, 8)
    with open(path, "wb") as f:
        f.write(header)
        f.write(px[::-1, :, [2, 1, 0, 3]].tobytes())


def write_jpeg(path, rgb, quality=93):
    Image.fromarray(to_u8(rgb), "RGB").save(path, "JPEG", quality=quality, subsampling=0,
                                              progressive=False, optimize=False)


# ----------------------------------------------------------------------------------------------
# Drawing helpers (float images, 0..1)
# ----------------------------------------------------------------------------------------------

def resize(arr, w, h):
    """Resample a float image (h, w) or (h, w, c) to w x h with a Lanczos filter."""
    if arr.ndim == 2:
        return np.asarray(Image.fromarray(arr.astype(np.float32), "F").resize((w, h), Image.LANCZOS))
    return np.dstack([resize(arr[:, :, i], w, h) for i in range(arr.shape[2])])


def box_down(arr, f):
    """Average f x f blocks (supersampled drawing down to its size)."""
    h, w = arr.shape[:2]
    return arr.reshape(h // f, f, w // f, f, *arr.shape[2:]).mean(axis=(1, 3))


def blur(arr, radius):
    if radius <= 0:
        return arr
    if arr.ndim == 3:
        return np.dstack([blur(arr[:, :, i], radius) for i in range(arr.shape[2])])
    # Gaussian of standard deviation `radius`, through the Fourier transform, edges extended.
    pad = int(math.ceil(radius * 3))
    padded = np.pad(arr, pad, mode="edge")
    fy = np.fft.fftfreq(padded.shape[0])[:, None]
    fx = np.fft.rfftfreq(padded.shape[1])[None, :]
    kernel = np.exp(-2 * (math.pi * radius) ** 2 * (fx ** 2 + fy ** 2))
    out = np.fft.irfft2(np.fft.rfft2(padded) * kernel, s=padded.shape)
    return out[pad:pad + arr.shape[0], pad:pad + arr.shape[1]]


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3 - 2 * t)


def col(c):
    return np.asarray(c, dtype=np.float64).reshape(1, 1, 3)


def lerp(a, b, t):
    t = np.asarray(t)
    if t.ndim == 2:
        t = t[:, :, None]
    return np.asarray(a) * (1 - t) + np.asarray(b) * t


def grid(w, h):
    """Pixel-centre coordinates, x to the right and y downwards."""
    y, x = np.mgrid[0:h, 0:w].astype(np.float64)
    return x + 0.5, y + 0.5


def value_noise(w, h, cells, seed, octaves=5, persistence=0.5):
    """Fractal value noise in 0..1, from bicubically enlarged random grids."""
    rng = np.random.default_rng(seed)
    total = np.zeros((h, w))
    amp, norm = 1.0, 0.0
    c = cells
    for _ in range(octaves):
        gw, gh = max(2, int(c * w / max(w, h)) + 2), max(2, int(c * h / max(w, h)) + 2)
        small = rng.random((gh, gw)).astype(np.float32)
        big = np.asarray(Image.fromarray(small, "F").resize((w, h), Image.BICUBIC))
        total += amp * big
        norm += amp
        amp *= persistence
        c *= 2
    return np.clip(total / norm, 0, 1)


def shape_mask(w, h, draw_fn, ss=4):
    """Anti-aliased mask of shapes drawn by draw_fn(ImageDraw, scale) at ss times the size."""
    img = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(img), ss)
    return box_down(np.asarray(img, dtype=np.float64) / 255.0, ss)


def text_masks(w, h, text, font_path, size, cx, cy, tracking=0.0, stroke=0, ss=2, anchor_x="c"):
    """Fill and outline masks of a line of text centred on (cx, cy) in a w x h image.

    tracking adds that many pixels between letters; stroke is the outline width in pixels."""
    font = ImageFont.truetype(font_path, int(round(size * ss)))
    widths = [font.getlength(ch) for ch in text]
    total = sum(widths) + tracking * ss * (len(text) - 1)
    asc, desc = font.getmetrics()
    # Centre capital letters vertically: use the cap height of "H".
    hb = font.getbbox("H", anchor="ls")
    cap = -hb[1]
    x0 = cx * ss - (total / 2 if anchor_x == "c" else 0)
    base = cy * ss + cap / 2
    fill = Image.new("L", (w * ss, h * ss), 0)
    line = Image.new("L", (w * ss, h * ss), 0)
    df, dl = ImageDraw.Draw(fill), ImageDraw.Draw(line)
    x = x0
    for ch, cw in zip(text, widths):
        df.text((x, base), ch, font=font, fill=255, anchor="ls")
        if stroke:
            dl.text((x, base), ch, font=font, fill=255, anchor="ls", stroke_width=int(round(stroke * ss)),
                    stroke_fill=255)
        x += cw + tracking * ss
    f = box_down(np.asarray(fill, dtype=np.float64) / 255.0, ss)
    o = box_down(np.asarray(line, dtype=np.float64) / 255.0, ss) if stroke else f
    return f, np.maximum(o, f)


class Layered:
    """A premultiplied RGBA picture that layers are painted onto."""

    def __init__(self, w, h, rgb=None, alpha=0.0):
        self.w, self.h = w, h
        self.a = np.full((h, w), float(alpha))
        self.rgb = np.zeros((h, w, 3)) if rgb is None else np.broadcast_to(col(rgb), (h, w, 3)) * self.a[:, :, None]

    def over(self, mask, colour):
        m = np.clip(mask, 0, 1)[:, :, None]
        c = colour if isinstance(colour, np.ndarray) and colour.ndim == 3 else col(colour)
        self.rgb = c * m + self.rgb * (1 - m)
        self.a = m[:, :, 0] + self.a * (1 - m[:, :, 0])

    def add(self, light):
        """Additive light (only where the picture is already covered)."""
        self.rgb = self.rgb + light * self.a[:, :, None]

    def straight(self):
        a = np.maximum(self.a, 1e-6)[:, :, None]
        return np.clip(self.rgb / a, 0, 1), np.clip(self.a, 0, 1)


def keyed_on_white(layered, w, h):
    """Resample to w x h and flatten onto the white colour key with a hard coverage edge."""
    rgb = resize(layered.rgb, w, h)
    a = np.clip(resize(layered.a, w, h), 0, 1)
    straight = np.clip(rgb / np.maximum(a, 1e-6)[:, :, None], 0, 1)
    inside = a >= 0.5
    out = np.ones((h, w, 3))
    out[inside] = straight[inside]
    # No pixel of a shape may be pure white, or the key would punch a hole into it.
    u8 = to_u8(out)
    hole = inside & np.all(u8 == 255, axis=2)
    out[hole] = (250 / 255.0, 250 / 255.0, 1.0)
    return out


def vgrad(h, w, stops):
    """Vertical colour gradient through (position 0..1, colour) stops."""
    y = (np.arange(h) + 0.5) / h
    out = np.zeros((h, 3))
    ps = [p for p, _ in stops]
    for i in range(3):
        out[:, i] = np.interp(y, ps, [c[i] for _, c in stops])
    return np.broadcast_to(out[:, None, :], (h, w, 3)).copy()


def hgrad(h, w, stops):
    x = (np.arange(w) + 0.5) / w
    out = np.zeros((w, 3))
    ps = [p for p, _ in stops]
    for i in range(3):
        out[:, i] = np.interp(x, ps, [c[i] for _, c in stops])
    return np.broadcast_to(out[None, :, :], (h, w, 3)).copy()


def round_rect(w, h, box, radius, ss=4):
    x0, y0, x1, y1 = box
    return shape_mask(w, h, lambda d, s: d.rounded_rectangle(
        [x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius=radius * s, fill=255), ss)


def gauss_spot(w, h, cx, cy, sx, sy=None):
    x, y = grid(w, h)
    sy = sx if sy is None else sy
    return np.exp(-(((x - cx) / sx) ** 2 + ((y - cy) / sy) ** 2))


# ----------------------------------------------------------------------------------------------
# Particles
# ----------------------------------------------------------------------------------------------

def particle_grid(n):
    x, y = grid(n, n)
    u = (x - n / 2) / (n / 2)
    v = (y - n / 2) / (n / 2)
    return u, v, np.hypot(u, v)


def edge_window(r):
    """Fades everything to nothing before the texture's border."""
    return smoothstep(1.0, 0.8, r)


def additive(rgb, window):
    rgb = np.clip(rgb * window[:, :, None], 0, 1)
    return rgb, np.clip(rgb.max(axis=2), 0, 1)


def make_effect(n=64):
    u, v, r = particle_grid(n)
    core = np.exp(-(r / 0.17) ** 2)
    halo = np.exp(-(r / 0.45) ** 2)
    rays = (np.exp(-np.abs(u) / 0.035) + np.exp(-np.abs(v) / 0.035)) * np.exp(-(r / 0.55) ** 2)
    rgb = col((1, 1, 1)) * core[:, :, None] + col((0.35, 0.75, 1.0)) * (0.65 * halo)[:, :, None] \
        + col((0.6, 0.85, 1.0)) * (0.35 * rays)[:, :, None]
    return additive(rgb, edge_window(r))


def make_sparkle(n=64):
    u, v, r = particle_grid(n)
    ang = np.arctan2(v, u)
    long_rays = (np.exp(-np.abs(u) / 0.025) * np.exp(-np.abs(v) / 0.55)
                 + np.exp(-np.abs(v) / 0.025) * np.exp(-np.abs(u) / 0.55))
    diag = np.exp(-np.abs(np.sin(2 * ang)) * r / 0.03) * np.exp(-(r / 0.35) ** 2) * (np.abs(np.cos(2 * ang)) < 0.2)
    core = np.exp(-(r / 0.1) ** 2)
    halo = np.exp(-(r / 0.3) ** 2)
    rgb = col((1, 1, 1)) * (core + 0.8 * long_rays)[:, :, None] + col((1.0, 0.85, 0.5)) * (0.45 * halo + 0.3 * diag)[:, :, None]
    return additive(rgb, edge_window(r))


def make_sparkle2(n=64):
    u, v, r = particle_grid(n)
    ang = np.arctan2(v, u)
    spikes = np.clip(np.cos(ang * 6 + 0.3), 0, 1) ** 12 * np.exp(-(r / 0.55) ** 2)
    core = np.exp(-(r / 0.12) ** 2)
    halo = np.exp(-(r / 0.32) ** 2)
    rgb = col((1, 1, 0.9)) * core[:, :, None] + col((1.0, 0.62, 0.18)) * (0.75 * halo + 0.6 * spikes)[:, :, None]
    return additive(rgb, edge_window(r))


def make_explosion(n=128):
    u, v, r = particle_grid(n)
    turb = value_noise(n, n, 6, seed=401, octaves=4)
    fine = value_noise(n, n, 16, seed=402, octaves=3)
    rr = r * (0.85 + 0.55 * (turb - 0.5))
    heat = np.clip(1.0 - rr / 0.88, 0, 1) ** 1.3
    heat = heat * (0.85 + 0.3 * fine)
    ramp_p = [0.0, 0.12, 0.35, 0.62, 0.9]
    ramp_c = [(0, 0, 0), (0.45, 0.05, 0.02), (0.95, 0.32, 0.04), (1.0, 0.72, 0.25), (1.0, 0.97, 0.82)]
    rgb = np.dstack([np.interp(heat, ramp_p, [c[i] for c in ramp_c]) for i in range(3)])
    return additive(rgb, edge_window(r))


def make_smoke(n=64):
    u, v, r = particle_grid(n)
    rng = np.random.default_rng(501)
    x, y = grid(n, n)
    dens = np.zeros((n, n))
    # a puff made of overlapping round billows
    for _ in range(14):
        ang, dist = rng.random() * 2 * math.pi, rng.random() * 0.38
        bx, by = n / 2 + math.cos(ang) * dist * n / 2, n / 2 + math.sin(ang) * dist * n / 2
        rad = (0.18 + rng.random() * 0.18) * n / 2
        dens += 0.5 * gauss_spot(n, n, bx, by, rad)
    grain = value_noise(n, n, 10, seed=502, octaves=3)
    dens = dens * (0.8 + 0.4 * grain) * edge_window(r)
    alpha = np.clip(dens, 0, 1) ** 1.5 * 0.75
    shade = 0.72 + 0.20 * grain - 0.12 * (u + v) / 2
    rgb = np.clip(np.dstack([shade, shade, shade * 1.03]), 0, 1)
    return rgb, np.clip(alpha, 0, 1)


# ----------------------------------------------------------------------------------------------
# Bars and the drop trail
# ----------------------------------------------------------------------------------------------

SS = 4


def bar_picture(w, h, design_w, fill_colours=None, split=False, ss=SS):
    """A bar trough with a bevelled rim; with fill_colours the trough glows filled.

    The frame and the filled picture share the rim exactly: the game lays the left part of the
    filled picture over the frame, so only the inside changes."""
    W, H = design_w * ss, h * ss
    rim = round_rect(W, H, (0, 0, W, H), H * 0.48, ss=1)
    inner_box = (H * 0.16, H * 0.2, W - H * 0.16, H * 0.8)
    inner = round_rect(W, H, inner_box, H * 0.3, ss=1)
    pic = Layered(W, H)
    pic.over(rim, vgrad(H, W, [(0, (0.55, 0.62, 0.85)), (0.45, (0.22, 0.24, 0.45)), (1, (0.10, 0.10, 0.25))]))
    # thin bright edge on the rim's upper side
    x, y = grid(W, H)
    pic.add(col(CYAN) * (0.35 * smoothstep(H * 0.35, 0.0, y) * rim)[:, :, None])
    if fill_colours is None:
        trough = vgrad(H, W, [(0, (0.01, 0.01, 0.05)), (0.5, (0.04, 0.05, 0.14)), (1, (0.07, 0.08, 0.22))])
        pic.over(inner, trough)
        # faint segment ticks so the empty trough still reads as a gauge
        ticks = ((x / W * 16) % 1.0 < 0.035) * inner * 0.5
        pic.over(ticks, (0.18, 0.22, 0.45))
    else:
        stops = [(i / (len(fill_colours) - 1), c) for i, c in enumerate(fill_colours)]
        body = hgrad(H, W, stops)
        yy = (y - inner_box[1]) / (inner_box[3] - inner_box[1])
        shade = 0.55 + 0.45 * np.clip(1 - np.abs(yy - 0.35) * 1.6, 0, 1)
        body = body * shade[:, :, None]
        gloss = smoothstep(0.45, 0.05, yy) * 0.45
        body = body + gloss[:, :, None]
        seg = ((x / W * 16) % 1.0 < 0.035)
        body = np.where(seg[:, :, None], body * 0.55, body)
        pic.over(inner, np.clip(body, 0, 1))
    if split:
        mid = np.abs(x - W / 2) < H * 0.09
        pic.over(mid * rim, (0.75, 0.80, 1.0))
    rgb, _ = pic.straight()
    rgb = rgb * rim[:, :, None] + col(INK) * (1 - rim)[:, :, None]
    return resize(rgb, w, h)


def make_motionblur(w=64, h=128):
    x, y = grid(w, h)
    t = y / h                             # 0 at the top of the trail, 1 at the figure
    across = np.abs(x / w - 0.5) * 2
    side = smoothstep(1.0, 0.55, across)
    streak = 0.85 + 0.15 * np.cos(across * math.pi * 3)
    alpha = (t ** 1.6) * side * streak
    rgb = lerp(col((0.55, 0.75, 1.0)), col((0.92, 0.97, 1.0)), t)
    rgb = np.broadcast_to(rgb, (h, w, 3)) if rgb.ndim == 3 else rgb
    return np.clip(rgb, 0, 1), np.clip(alpha, 0, 1)


# ----------------------------------------------------------------------------------------------
# Lettering plates: interruption pictures and menu items
# ----------------------------------------------------------------------------------------------

def glow_text(pic, w, h, text, font, size, cx, cy, top, bottom, glow_colour, tracking=0.0,
              stroke=None, glow=None, glow_strength=0.9):
    """Lettering with an ink outline, a vertical colour gradient and a soft glow around it."""
    stroke = max(2, size * 0.07) if stroke is None else stroke
    fill, outline = text_masks(w, h, text, font, size, cx, cy, tracking=tracking, stroke=stroke)
    halo = blur(outline, size * 0.22 if glow is None else glow)
    pic.add(col(glow_colour) * (glow_strength * halo)[:, :, None])
    pic.over(outline, INK)
    rows = np.nonzero(fill.max(axis=1) > 0.2)[0]
    y0, y1 = (rows[0], rows[-1] + 1) if len(rows) else (0, h)
    ramp = np.clip((np.arange(h) - y0) / max(1, y1 - y0), 0, 1)
    grad = np.asarray(top)[None, :] * (1 - ramp[:, None]) + np.asarray(bottom)[None, :] * ramp[:, None]
    # a bright sheen across the upper half of the letters
    sheen = np.clip(1 - np.abs(ramp - 0.28) * 4, 0, 1)[:, None] * 0.25
    grad = np.clip(grad + sheen, 0, 1)
    pic.over(fill, np.broadcast_to(grad[:, None, :], (h, w, 3)))
    return fill, outline


def plate(w, h, accent, base_top=(0.10, 0.11, 0.34), base_bottom=(0.03, 0.03, 0.13), seed=0):
    """A glass-and-metal plate filling the whole picture: gradient body, inset glowing rule,
    small corner brackets and a faint starry grain."""
    pic = Layered(w, h, rgb=(0, 0, 0), alpha=1.0)
    pic.over(np.ones((h, w)), vgrad(h, w, [(0, base_top), (0.55, lerp(base_top, base_bottom, 0.6)), (1, base_bottom)]))
    x, y = grid(w, h)
    # soft light from the centre and a gloss band over the top
    pic.add(col(accent) * (0.16 * gauss_spot(w, h, w / 2, h * 0.55, w * 0.35, h * 0.7))[:, :, None])
    pic.add(col((1, 1, 1)) * (0.07 * smoothstep(h * 0.48, h * 0.08, y))[:, :, None])
    rng = np.random.default_rng(900 + seed)
    dust = np.zeros((h, w))
    for _ in range(int(w * h / 2500)):
        dust[rng.integers(0, h), rng.integers(0, w)] = rng.random() * 0.8
    pic.add(col(ICE) * blur(dust, 0.7)[:, :, None])
    m = h * 0.075
    rule = round_rect(w, h, (m, m, w - m, h - m), h * 0.14) - round_rect(w, h, (m + h * 0.018, m + h * 0.018, w - m - h * 0.018, h - m - h * 0.018), h * 0.12)
    rule = np.clip(rule, 0, 1)
    pic.add(col(accent) * (0.55 * blur(rule, h * 0.03))[:, :, None])
    pic.over(rule * 0.85, lerp(col(accent), col((1, 1, 1)), 0.35))
    # corner brackets
    bw, bl = h * 0.035, h * 0.22
    def brackets(d, s):
        for (cx, cy, sx, sy) in ((m * 0.45, m * 0.45, 1, 1), (w - m * 0.45, m * 0.45, -1, 1),
                                 (m * 0.45, h - m * 0.45, 1, -1), (w - m * 0.45, h - m * 0.45, -1, -1)):
            d.rectangle(sorted_box(cx * s, cy * s, (cx + sx * bl) * s, (cy + sy * bw) * s), fill=255)
            d.rectangle(sorted_box(cx * s, cy * s, (cx + sx * bw) * s, (cy + sy * bl) * s), fill=255)
    br = shape_mask(w, h, brackets)
    pic.over(br, lerp(col(accent), col((1, 1, 1)), 0.55))
    # darken the very edge so the slab's sides read as a bevel
    edge = np.minimum(np.minimum(x, w - x), np.minimum(y, h - y))
    pic.rgb *= (0.55 + 0.45 * smoothstep(0, h * 0.05, edge))[:, :, None]
    return pic


def sorted_box(x0, y0, x1, y1):
    return [min(x0, x1), min(y0, y1), max(x0, x1), max(y0, y1)]


def fit_size(text, font, size, max_width, tracking=0.0):
    f = ImageFont.truetype(font, int(size))
    width = sum(f.getlength(ch) for ch in text) + tracking * (len(text) - 1)
    return size if width <= max_width else size * max_width / width


def state_picture(title, subtitle, accent, seed):
    W, H = 1382, 256                      # shown 14 x 2.59 units; stored 1024 x 256
    pic = plate(W, H, accent, seed=seed)
    size = fit_size(title, FONT_TITLE, 128, W * 0.80, tracking=10)
    glow_text(pic, W, H, title, FONT_TITLE, size, W / 2, H * 0.42, (1, 1, 1), lerp(ICE, accent, 0.45), accent,
              tracking=10)
    glow_text(pic, W, H, subtitle, FONT_LABEL, 40, W / 2, H * 0.775, GOLD, (1.0, 0.62, 0.25), GOLD,
              tracking=6, stroke=3.5, glow=6, glow_strength=0.35)
    rgb, _ = pic.straight()
    return resize(rgb, 1024, 256)


# The menu's slabs are the low brick scaled to s x s/5.4 x s/5.4 (items) and s/2.6 x s/5.4 x
# s/5.4 (the values beside Rotation and Quality). A slab picture covers one face, stored at that
# face's aspect and SLAB_TEXELS high, and is drawn on a canvas `detail` times as large.
ITEM_FACE = 5.4
VALUE_FACE = 5.4 / 2.6
SLAB_TEXELS = 128


def slab_sizes(aspect, detail):
    """(stored width, height), (canvas width, height) of a picture for a face of that aspect."""
    w, h = int(round(SLAB_TEXELS * aspect)), SLAB_TEXELS
    return (w, h), (w * detail, h * detail)


def item_picture(text, accent, seed, gems=False):
    (w, h), (W, H) = slab_sizes(ITEM_FACE, 2)
    pic = plate(W, H, accent, seed=seed)
    size = fit_size(text, FONT_TITLE, 150, W * (0.66 if gems else 0.78), tracking=8)
    glow_text(pic, W, H, text, FONT_TITLE, size, W / 2, H * 0.5, (1, 1, 1), lerp(ICE, accent, 0.35), accent,
              tracking=8)
    if gems:
        for gx in (W * 0.105, W * 0.895):
            gem_brick(pic, W, H, gx, H * 0.5, H * 0.30, accent)
    rgb, _ = pic.straight()
    return resize(rgb, w, h)


def gem_brick(pic, w, h, cx, cy, s, colour):
    """A small glossy brick seen face-on, with a bevel: the game's building block as an emblem."""
    half = s / 2
    outer = round_rect(w, h, (cx - half - 4, cy - half - 4, cx + half + 4, cy + half + 4), s * 0.2)
    body = round_rect(w, h, (cx - half, cy - half, cx + half, cy + half), s * 0.16)
    face = round_rect(w, h, (cx - half * 0.62, cy - half * 0.62, cx + half * 0.62, cy + half * 0.62), s * 0.08)
    pic.add(col(colour) * (0.8 * blur(outer, s * 0.25))[:, :, None])
    pic.over(outer, INK)
    x, y = grid(w, h)
    t = np.clip(((x - cx) + (y - cy)) / (2 * s) + 0.5, 0, 1)
    pic.over(body, lerp(lerp(col(colour), col((1, 1, 1)), 0.55), lerp(col(colour), col(INK), 0.55), t))
    pic.over(face, lerp(lerp(col(colour), col((1, 1, 1)), 0.15), lerp(col(colour), col(INK), 0.2), t))
    highlight = gauss_spot(w, h, cx - half * 0.3, cy - half * 0.35, s * 0.12) * face
    pic.add(col((1, 1, 1)) * (0.7 * highlight)[:, :, None])


# ----------------------------------------------------------------------------------------------
# Value slabs (dark key-caps) and the volume stripe (its white is cut away by the game)
# ----------------------------------------------------------------------------------------------

def dilate(mask, r):
    return smoothstep(0.03, 0.25, blur(mask, r))


def inked(pic, fill, colour, ink_width, glow_colour=None):
    outline = np.maximum(dilate(fill, ink_width), fill)
    pic.over(outline, INK)
    pic.over(fill, colour)
    return outline


KEYCAP_INSET = 0.09  # the top face's margin, a fraction of the picture's height, on all four sides


def keycap(w, h, accent):
    """A dark key-cap filling the whole picture: its sloping sides lit from above, the top face
    inset from them with a faint glow of the accent and a thin light along its upper rim."""
    pic = Layered(w, h, rgb=(0, 0, 0), alpha=1.0)
    pic.over(np.ones((h, w)), vgrad(h, w, [(0, (0.22, 0.24, 0.50)), (0.5, (0.09, 0.10, 0.25)), (1, (0.02, 0.02, 0.08))]))
    m = h * KEYCAP_INSET
    top = round_rect(w, h, (m, m, w - m, h - m), h * 0.10)
    x, y = grid(w, h)
    face = vgrad(h, w, [(0, (0.09, 0.10, 0.28)), (1, (0.03, 0.035, 0.12))])
    face = face + col(accent) * (0.10 * gauss_spot(w, h, w / 2, h * 0.45, w * 0.38, h * 0.45))[:, :, None]
    pic.over(top, face)
    pic.add(col(ICE) * (0.22 * top * smoothstep(m + h * 0.035, m, y))[:, :, None])
    edge = np.minimum(np.minimum(x, w - x), np.minimum(y, h - y))
    pic.rgb *= (0.55 + 0.45 * smoothstep(0, h * 0.04, edge))[:, :, None]
    return pic


def opaque_slab(pic, w, h):
    """The picture at its stored size, without a texel of the white colour key."""
    rgb, _ = pic.straight()
    return np.clip(resize(rgb, w, h), 0, 254 / 255.0)


def rotation_picture(clockwise):
    (w, h), (W, H) = slab_sizes(VALUE_FACE, 4)
    pic = keycap(W, H, CYAN)
    cx, cy, width = W / 2, H / 2 + H * 0.02, H * 0.12
    r = H * 0.40                          # outer radius; PIL draws the width inwards
    rc = r - width / 2                    # centre line of the ring
    # a ring arrow of 280 degrees; the head points the way the figure turns
    start, end = -50, 230                 # degrees, PIL measures clockwise from +x

    def arc(d, s):
        d.arc([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], start, end, fill=255, width=int(width * s))
    ring = shape_mask(W, H, arc)
    tip_angle = math.radians(end + 30)
    base_angle = math.radians(end - 1)

    def head(d, s):
        pts = [(cx + rc * math.cos(tip_angle), cy + rc * math.sin(tip_angle)),
               (cx + (rc + width * 1.05) * math.cos(base_angle), cy + (rc + width * 1.05) * math.sin(base_angle)),
               (cx + (rc - width * 1.05) * math.cos(base_angle), cy + (rc - width * 1.05) * math.sin(base_angle))]
        d.polygon([(px * s, py * s) for px, py in pts], fill=255)
    tip = shape_mask(W, H, head)
    fill = np.clip(ring + tip, 0, 1)
    if not clockwise:
        fill = fill[:, ::-1].copy()
    x, y = grid(W, H)
    shade = lerp(col((0.75, 0.98, 1.0)), col((0.15, 0.50, 1.0)), np.clip((y - (cy - r)) / (2 * r), 0, 1))
    inked(pic, fill, shade, H * 0.028)
    # a small brick in the middle of the ring, the thing being turned
    s = H * 0.22
    gem = Layered(W, H)
    gem_brick(gem, W, H, cx, cy, s, CYAN)
    pic.over(gem.a, gem.straight()[0])
    return opaque_slab(pic, w, h)


def quality_picture(word, level, colour):
    (w, h), (W, H) = slab_sizes(VALUE_FACE, 4)
    pic = keycap(W, H, colour)
    # three signal bars, `level` of them lit
    bx0, bw, gap = W * 0.07, W * 0.055, W * 0.025
    size = fit_size(word.upper(), FONT_TITLE, 230, W * 0.62, tracking=4)
    for i in range(3):
        top = H * (0.62 - 0.14 * i)
        box = (bx0 + i * (bw + gap), top, bx0 + i * (bw + gap) + bw, H * 0.72)
        bar = round_rect(W, H, box, bw * 0.25)
        lit = i < level
        inked(pic, bar, lerp(col(colour), col((1, 1, 1)), 0.25) if lit else col((0.16, 0.18, 0.34)), H * 0.022)
    text_x = bx0 + 3 * (bw + gap) + W * 0.04
    fill, _ = text_masks(W, H, word.upper(), FONT_TITLE, size, text_x, H * 0.5, tracking=4, anchor_x="l")
    rows = np.nonzero(fill.max(axis=1) > 0.2)[0]
    y0, y1 = rows[0], rows[-1] + 1
    ramp = np.clip((np.arange(H) - y0) / (y1 - y0), 0, 1)[:, None, None]
    grad = lerp(col((1, 1, 1)), col(colour), np.broadcast_to(ramp[:, :, 0], (H, W)) * 0.9)
    inked(pic, fill, grad, H * 0.03)
    return opaque_slab(pic, w, h)


# The volume rows of the Options screen, in units from the glass centre: nine bricks 0.74 wide,
# 0.84 apart from 3.75 to the right, on the sound row (2.6 up) and the music row (0.2 up). Behind
# each row lies a stripe quad 0.83 high, its centre 0.36 above the row, of its own width. Both
# show the same picture.
VOLUME_ROWS = (2.6, 0.2)
VOLUME_STRIPES = ((7.17, 7.6923075), (7.18, 7.76699))  # centre x and width, by row
STRIPE_HEIGHT, STRIPE_RAISE = 0.8333333, 0.36
VOLUME_BRICK, VOLUME_FIRST, VOLUME_STEP = 0.74, 3.75, 0.84
EYE_DISTANCE = 19.0                   # the camera, straight in front of the glass centre
SLOT_MARGIN = 0.035                   # units inside a brick's face, for the bevels and the ink


def seen_at_glass(x, y, z):
    """The point of the glass's plane (z = 0) the eye sees in line with (x, y, z)."""
    k = EYE_DISTANCE / (EYE_DISTANCE + z)
    return x * k, y * k


def volume_slots():
    """Where each volume brick covers the stripe picture, as (u0, v0, u1, v1) from its top left.

    A slot is the brick's front face as the eye sees it against the stripe, in both rows (their
    quads differ), less a margin; it ends at the stripe's lower edge, which runs behind the
    bricks. Whatever lies in a slot is hidden while the brick stands, and no two slots meet."""
    half = VOLUME_BRICK / 2
    slots = []
    for i in range(9):
        bx = VOLUME_FIRST + VOLUME_STEP * i
        boxes = []
        for row, (sx, width) in zip(VOLUME_ROWS, VOLUME_STRIPES):
            x0, y0 = seen_at_glass(bx - half, row - half, -half)
            x1, y1 = seen_at_glass(bx + half, row + half, -half)
            left, top = sx - width / 2, row + STRIPE_RAISE + STRIPE_HEIGHT / 2
            boxes.append(((x0 + SLOT_MARGIN - left) / width, (top - y1 + SLOT_MARGIN) / STRIPE_HEIGHT,
                          (x1 - SLOT_MARGIN - left) / width, (top - y0 - SLOT_MARGIN) / STRIPE_HEIGHT))
        slots.append((max(0.0, max(b[0] for b in boxes)), max(b[1] for b in boxes),
                      min(1.0, min(b[2] for b in boxes)), min(1.0, min(b[3] for b in boxes))))
    return slots


def stripe_picture():
    """Nine sockets the volume bricks stand in, each with a level mark rising left to right."""
    width = VOLUME_STRIPES[0][1]
    W, H = int(round(256 * width / STRIPE_HEIGHT)), 256   # the sound row's aspect; stored 512 x 64
    pic = Layered(W, H)
    _, y = grid(W, H)
    radius = 0.12 / STRIPE_HEIGHT * H
    for i, (u0, v0, u1, v1) in enumerate(volume_slots()):
        t = i / 8
        c = lerp(lerp(col(CYAN), col(VIOLET), min(1, t * 2)), col(MAGENTA), max(0, t * 2 - 1))
        x0, top, x1 = u0 * W, v0 * H, u1 * W
        bottom = v1 * H + (radius if v1 >= 1.0 else 0)   # runs on past the stripe's edge
        ink = H * 0.022
        socket = round_rect(W, H, (x0 + ink, top + ink, x1 - ink, bottom - ink), radius)
        depth = np.clip((y - top) / max(1.0, v1 * H - top), 0, 1)
        inked(pic, socket, lerp(lerp(c, col(INK), 0.55), lerp(c, col(INK), 0.85), depth), ink)
        pad = H * 0.035
        level_top = top + ink + pad + (1 - (0.25 + 0.75 * t)) * (v1 * H - top - 2 * ink - 2 * pad)
        level = round_rect(W, H, (x0 + ink + pad, level_top, x1 - ink - pad, bottom), radius * 0.6)
        pic.over(level, lerp(lerp(c, col(NAVY), 0.25), lerp(c, col(INK), 0.6), np.clip((y - level_top) / (H - level_top), 0, 1)))
        cap = round_rect(W, H, (x0 + ink + pad * 1.5, level_top + pad * 0.5, x1 - ink - pad * 1.5, level_top + pad * 1.6), pad * 0.5)
        pic.over(cap, lerp(c, col((1, 1, 1)), 0.45))
    return keyed_on_white(pic, 512, 64)


# ----------------------------------------------------------------------------------------------
# Full-screen pictures: backgrounds, menu, loading screen, help backdrop
# ----------------------------------------------------------------------------------------------

# The backgrounds fill a 36 x 26.25 quad five units behind the glass. They are drawn on a canvas
# of that aspect, 39 pixels per unit, then stored at 1024 x 1024.
BW, BH = 1404, 1024
BPU = BW / 36.0
GLASS_SCALE = 24.0 / 19.0                 # things at the glass's depth, seen on the background plane


def bg_px(x, y):
    """Background-plane units (origin at the glass centre, y up) to canvas pixels."""
    return BW / 2 + x * BPU, BH / 2 - y * BPU


def glass_px(x, y):
    """A point at the glass's depth, where it falls on the background picture."""
    return bg_px(x * GLASS_SCALE, y * GLASS_SCALE)


def starfield(w, h, seed, count, tint=(0.85, 0.9, 1.0), big=0.02):
    rng = np.random.default_rng(seed)
    stars = np.zeros((h, w, 3))
    xs, ys = rng.integers(0, w, count), rng.integers(0, h, count)
    mags = rng.random(count) ** 3
    hues = rng.random(count)
    for x, y, m, hue in zip(xs, ys, mags, hues):
        c = lerp(np.asarray(tint), np.asarray((1.0, 0.85, 0.7)) if hue > 0.7 else np.asarray((0.7, 0.85, 1.0)), 0.5)
        stars[y, x] += c * (0.25 + 1.6 * m)
    light = blur(stars, 0.6) * 2.2 + blur(stars, 2.5) * 1.5
    # a few large stars with a soft cross flare
    for i in range(int(count * big)):
        x, y = rng.integers(0, w), rng.integers(0, h)
        size = 2 + rng.random() * 5
        X, Y = grid(w, h)
        flare = np.exp(-np.abs(X - x) / (size * 6)) * np.exp(-np.abs(Y - y) / 1.2) \
            + np.exp(-np.abs(Y - y) / (size * 6)) * np.exp(-np.abs(X - x) / 1.2)
        core = np.exp(-((X - x) ** 2 + (Y - y) ** 2) / (size ** 2))
        light += (0.35 * flare + 0.9 * core)[:, :, None] * np.asarray(tint)
    return light


def colour_map(t, stops):
    ps = [p for p, _ in stops]
    return np.dstack([np.interp(t, ps, [c[i] for _, c in stops]) for i in range(3)])


def calm(rgb, strength=1.0):
    """Quiets the picture where the glass and the text panels stand: darker and softer there,
    so the bricks and the lettering read against it."""
    h, w = rgb.shape[:2]
    x, y = grid(w, h)
    gx0, _ = glass_px(-5.6, 0)
    gx1, _ = glass_px(5.6, 0)
    glass = smoothstep(gx0 - 60, gx0 + 30, x) * smoothstep(gx1 + 60, gx1 - 30, x)
    _, ty0 = glass_px(0, 9.6)
    _, ty1 = glass_px(0, -8.4)
    band = smoothstep(ty0 - 140, ty0 + 40, y) * smoothstep(ty1 + 140, ty1 - 40, y)
    amount = np.maximum(glass, 0.45 * band) * strength
    soft = blur(rgb, 5)
    out = lerp(rgb, soft, 0.55 * amount)
    return out * (1 - 0.5 * amount)[:, :, None]


def sun(rgb, cx, cy, radius, centre, edge, seed, corona=(1.0, 0.45, 0.15)):
    """A star seen close: limb-darkened disc with granulation, and a corona."""
    h, w = rgb.shape[:2]
    x, y = grid(w, h)
    d = np.hypot(x - cx, y - cy) / radius
    disc = smoothstep(1.0, 0.99, d)
    mu = np.sqrt(np.clip(1 - d * d, 0, 1))
    gran = value_noise(w, h, 60, seed, 3)
    face = lerp(col(edge), col(centre), mu ** 1.2) * (0.75 + 0.5 * gran)[:, :, None]
    ray_noise = value_noise(w, 1, 50, seed + 1, 3)[0]
    ang = (np.arctan2(y - cy, x - cx) + math.pi) / (2 * math.pi) * (w - 1)
    rays = np.interp(ang, np.arange(w), ray_noise)
    glow = np.exp(-np.clip(d - 1, 0, None) / (0.35 + 0.5 * rays)) * (d > 0.98)
    out = rgb * (1 - disc)[:, :, None] + face * disc[:, :, None]
    return out + col(corona) * (0.9 * glow)[:, :, None] + col(corona) * (0.25 * np.exp(-d / 3.0))[:, :, None]


def vignette(rgb, amount=0.45):
    h, w = rgb.shape[:2]
    x, y = grid(w, h)
    d = np.hypot((x - w / 2) / (w / 2), (y - h / 2) / (h / 2))
    return rgb * (1 - amount * smoothstep(0.6, 1.45, d))[:, :, None]


def planet(w, h, cx, cy, radius, dark, light, seed, light_dir=(-0.6, -0.5), ring=None, atmosphere=None):
    """A shaded sphere with banded surface noise, rim light and an optional ring.

    Returns (rgb premultiplied, coverage)."""
    x, y = grid(w, h)
    dx, dy = (x - cx) / radius, (y - cy) / radius
    d2 = dx * dx + dy * dy
    inside = smoothstep(1.0, 0.985, np.sqrt(d2))
    nz = np.sqrt(np.clip(1 - d2, 0, 1))
    lx, ly = light_dir
    lz = math.sqrt(max(0.0, 1 - lx * lx - ly * ly))
    lam = np.clip(dx * lx + dy * ly + nz * lz, 0, 1)
    bands = value_noise(w, h, 3, seed=seed, octaves=4)
    lat = dy + 0.25 * (bands - 0.5)
    stripes = 0.5 + 0.5 * np.sin(lat * 9 + 3 * bands)
    surf = lerp(col(dark), col(light), np.clip(stripes * 0.6 + bands * 0.4, 0, 1))
    rgb = surf * (0.12 + 0.95 * lam)[:, :, None]
    rim = smoothstep(0.75, 1.0, np.sqrt(d2)) * smoothstep(-0.2, 0.6, -(dx * -lx + dy * -ly)) * inside
    if atmosphere is not None:
        rgb = rgb + col(atmosphere) * (0.6 * rim)[:, :, None]
    rgb = rgb * inside[:, :, None]
    cover = inside.copy()
    glow = None
    if atmosphere is not None:
        outer = np.exp(-np.clip(np.sqrt(d2) - 1, 0, None) / 0.06) * (1 - inside)
        glow = col(atmosphere) * (0.5 * outer)[:, :, None]
    ring_layers = None
    if ring is not None:
        tilt, colour = ring
        # ellipse ring in the plane tilted towards the viewer
        rx = dx * math.cos(tilt[0]) + dy * math.sin(tilt[0])
        ry = (-dx * math.sin(tilt[0]) + dy * math.cos(tilt[0])) / tilt[1]
        rr = np.sqrt(rx * rx + ry * ry)
        band = smoothstep(1.35, 1.45, rr) * smoothstep(2.25, 2.05, rr)
        band *= 0.55 + 0.45 * np.sin(rr * 38) ** 2
        front = ry > 0                    # the half of the ring in front of the planet
        ring_layers = (band, front, colour)
    return rgb, cover, glow, ring_layers


def paint_planet(rgb, *args, **kw):
    prgb, cover, glow, ring = planet(rgb.shape[1], rgb.shape[0], *args, **kw)
    if ring is not None:
        band, front, colour = ring
        back = band * (~front)
        rgb = rgb * (1 - 0.8 * back)[:, :, None] + col(colour) * (0.8 * back)[:, :, None]
    rgb = rgb * (1 - cover)[:, :, None] + prgb
    if glow is not None:
        rgb = rgb + glow
    if ring is not None:
        fr = band * front
        rgb = rgb * (1 - 0.85 * fr)[:, :, None] + col(colour) * (0.85 * fr)[:, :, None]
    return rgb


def iso_cube(pic, cx, cy, s, colour, glow=0.0):
    """One brick seen from above at an angle: three shaded faces, bevel lines and ink edges."""
    w, h = pic.w, pic.h
    c = np.asarray(colour)
    hx, hy = s * 0.866, s * 0.5
    top = [(cx, cy - s), (cx + hx, cy - s + hy), (cx, cy), (cx - hx, cy - s + hy)]
    left = [(cx - hx, cy - s + hy), (cx, cy), (cx, cy + s), (cx - hx, cy + hy)]
    right = [(cx + hx, cy - s + hy), (cx, cy), (cx, cy + s), (cx + hx, cy + hy)]
    hull = [(cx, cy - s), (cx + hx, cy - s + hy), (cx + hx, cy + hy), (cx, cy + s), (cx - hx, cy + hy), (cx - hx, cy - s + hy)]

    def poly(points, grow=0.0):
        def f(d, k):
            if grow:
                mx = sum(p[0] for p in points) / len(points)
                my = sum(p[1] for p in points) / len(points)
                pts = [(mx + (px - mx) * (1 + grow), my + (py - my) * (1 + grow)) for px, py in points]
            else:
                pts = points
            d.polygon([(px * k, py * k) for px, py in pts], fill=255)
        return shape_mask(w, h, f, ss=3)
    hull_m = poly(hull, 0.07)
    if glow:
        pic.add(col(c) * (glow * blur(hull_m, s * 0.5))[:, :, None])
    pic.over(hull_m, INK)
    for face, shade in ((top, 1.0), (left, 0.62), (right, 0.38)):
        m = poly(face, -0.06)
        base = np.clip(c * shade + (0.25 if shade == 1.0 else 0.0), 0, 1)
        pic.over(m, tuple(base))
        inner = poly(face, -0.42)
        pic.over(inner * 0.55, tuple(np.clip(base * 1.15 + 0.05, 0, 1)))
    highlight = gauss_spot(w, h, cx - hx * 0.25, cy - s * 0.62, s * 0.18) * poly(top, -0.1)
    pic.add(col((1, 1, 1)) * (0.55 * highlight)[:, :, None])


def figure_cubes(pic, cells, ox, oy, s, colour, glow=0.0):
    """A figure of cubes on an isometric grid; cells are (column, row) with row up."""
    hx, hy = s * 0.866, s * 0.5
    # draw back to front: higher rows first, then left to right along the view
    order = sorted(cells, key=lambda c: (-c[1], c[0]))
    for cx_, cy_ in order:
        px = ox + cx_ * hx
        py = oy - cy_ * s * 1.0 + cx_ * hy
        iso_cube(pic, px, py, s, colour, glow)


def logo(pic, cx, cy, scale, glow=1.0):
    """The game's name: ZELLORY spaced wide over a large TORVANE."""
    w, h = pic.w, pic.h
    big = 150 * scale
    glow_text(pic, w, h, "TORVANE", FONT_TITLE, big, cx, cy + big * 0.22, (1, 1, 1), (0.55, 0.78, 1.0), VIOLET,
              tracking=big * 0.09, stroke=big * 0.05, glow=big * 0.25, glow_strength=0.9 * glow)
    small = 50 * scale
    glow_text(pic, w, h, "ZELLORY", FONT_TITLE, small, cx, cy - big * 0.55, ICE, CYAN, CYAN,
              tracking=small * 0.9, stroke=small * 0.08, glow=small * 0.4, glow_strength=0.7 * glow)
    x, y = grid(w, h)
    for side in (-1, 1):
        x0 = cx + side * big * 1.55
        x1 = cx + side * big * 2.35
        line = (np.abs(y - (cy - big * 0.55)) < 1.6 * scale) * smoothstep(x1, x0, x) * smoothstep(x0 - side * 0.1, x0, x) \
            if side > 0 else (np.abs(y - (cy - big * 0.55)) < 1.6 * scale) * smoothstep(x1, x0, x) * smoothstep(x0 + 1, x0, x)
        line = (np.abs(y - (cy - big * 0.55)) < 1.8 * scale) * np.clip((x - x1) / (x0 - x1), 0, 1) * ((x - x0) * side <= 0) * ((x - x1) * side >= 0)
        pic.add(col(CYAN) * (blur(line.astype(float), 2) * 1.5 + line * 0.8)[:, :, None])


def nebula(w, h, seed, palette, cells=3, octaves=6, warp=0.35):
    a = value_noise(w, h, cells, seed, octaves)
    b = value_noise(w, h, cells * 1.7, seed + 1, octaves)
    t = np.clip(a + warp * (b - 0.5), 0, 1)
    return colour_map(t, palette), a, b


def background_torvane():
    rgb, a, b = nebula(BW, BH, 101, [(0.0, (0.01, 0.01, 0.04)), (0.42, (0.04, 0.03, 0.13)), (0.6, (0.18, 0.07, 0.38)),
                                     (0.75, (0.30, 0.18, 0.65)), (1.0, (0.55, 0.55, 1.0))])
    x, y = grid(BW, BH)
    # a cyan aurora ribbon crossing the sky
    ribbon_y = BH * 0.30 + 90 * np.sin(x / BW * 5.0 + 0.6) + 60 * (b - 0.5)
    ribbon = np.exp(-((y - ribbon_y) / 55) ** 2) * (0.4 + 0.6 * a)
    rgb = rgb + col((0.15, 0.55, 0.85)) * (0.45 * ribbon)[:, :, None]
    rgb = rgb + starfield(BW, BH, 102, 1500, tint=(0.85, 0.85, 1.0))
    rgb = paint_planet(rgb, *bg_px(-13.5, -9.0), 300, (0.10, 0.05, 0.28), (0.55, 0.40, 0.95), 103,
                       light_dir=(0.55, -0.55), ring=((0.35, 0.28), (0.65, 0.55, 1.0)), atmosphere=(0.45, 0.4, 1.0))
    rgb = paint_planet(rgb, *bg_px(14.5, 9.5), 70, (0.05, 0.15, 0.3), (0.45, 0.85, 1.0), 104,
                       light_dir=(-0.6, 0.3), atmosphere=(0.4, 0.8, 1.0))
    rgb = rgb + col((0.6, 0.5, 1.0)) * (0.25 * gauss_spot(BW, BH, *bg_px(9, 6), 320))[:, :, None]
    return finish(rgb)


def background_redara():
    rgb, a, b = nebula(BW, BH, 201, [(0.0, (0.02, 0.0, 0.01)), (0.40, (0.09, 0.01, 0.03)), (0.58, (0.32, 0.04, 0.06)),
                                     (0.74, (0.70, 0.18, 0.08)), (1.0, (1.0, 0.62, 0.30))], cells=2.5)
    # dark dust lanes
    dust = value_noise(BW, BH, 6, 203, 5)
    rgb = rgb * (1 - 0.75 * smoothstep(0.55, 0.75, dust))[:, :, None]
    # a red giant rising at the upper left
    rgb = sun(rgb, *bg_px(-16.0, 12.3), 200, (1.0, 0.62, 0.18), (0.75, 0.12, 0.0), 204)
    # drifting embers
    rng = np.random.default_rng(205)
    embers = np.zeros((BH, BW))
    for _ in range(260):
        embers[rng.integers(0, BH), rng.integers(0, BW)] = 0.5 + rng.random() * 1.5
    rgb = rgb + col((1.0, 0.55, 0.2)) * (blur(embers, 1.2) * 3 + blur(embers, 5) * 4)[:, :, None]
    rgb = rgb + starfield(BW, BH, 206, 900, tint=(1.0, 0.85, 0.75), big=0.01)
    rgb = paint_planet(rgb, *bg_px(14.0, -10.0), 210, (0.10, 0.02, 0.02), (0.75, 0.30, 0.15), 207,
                       light_dir=(-0.75, -0.45), atmosphere=(1.0, 0.45, 0.25))
    return finish(rgb)


def background_vodoza():
    x, y = grid(BW, BH)
    rgb = vgrad(BH, BW, [(0, (0.02, 0.22, 0.32)), (0.35, (0.01, 0.10, 0.20)), (1, (0.0, 0.02, 0.07))])
    # light shafts fanning down from the surface
    fan = np.arctan2(x - BW * 0.45, y + BH * 0.6)
    shafts = value_noise(2048, 1, 22, 301, 3)[0]
    rays = np.interp((fan + 1.2) / 2.4 * 2047, np.arange(2048), shafts)
    rays = smoothstep(0.45, 0.85, rays) * np.exp(-y / (BH * 0.6))
    rgb = rgb + col((0.35, 0.85, 0.95)) * (0.30 * blur(rays, 3))[:, :, None]
    # caustic ripples: bright where two wave fields cross
    w1 = value_noise(BW, BH, 9, 302, 2)
    w2 = value_noise(BW, BH, 9, 303, 2)
    caustic = (1 - np.abs(np.sin(w1 * 18))) * (1 - np.abs(np.sin(w2 * 18)))
    caustic = caustic ** 6 * (0.3 + 0.7 * np.exp(-y / (BH * 0.45)))
    rgb = rgb + col((0.4, 0.95, 1.0)) * (0.45 * caustic)[:, :, None]
    # deep glow and drifting plankton
    rgb = rgb + col((0.05, 0.45, 0.55)) * (0.35 * gauss_spot(BW, BH, BW * 0.5, BH * 1.05, BW * 0.45, BH * 0.3))[:, :, None]
    rgb = rgb + starfield(BW, BH, 304, 700, tint=(0.6, 1.0, 0.95), big=0.0) * 0.6
    # rising bubbles at the sides
    rng = np.random.default_rng(305)
    pic = Layered(BW, BH, rgb=(0, 0, 0), alpha=1.0)
    pic.rgb = rgb
    for _ in range(70):
        side = rng.random() < 0.5
        bx = (rng.random() * 0.24 + (0.02 if side else 0.74)) * BW
        by = rng.random() * BH
        r = 3 + rng.random() ** 2 * 18
        ring = np.clip(gauss_spot(BW, BH, bx, by, r) - gauss_spot(BW, BH, bx, by, r * 0.75), 0, 1)
        hi = gauss_spot(BW, BH, bx - r * 0.35, by - r * 0.35, r * 0.22)
        pic.add(col((0.6, 0.95, 1.0)) * (0.9 * ring + 0.8 * hi)[:, :, None])
    rgb = pic.rgb
    # a sunken planet, an ocean world, low on the right
    rgb = paint_planet(rgb, *bg_px(13.0, -9.5), 250, (0.0, 0.15, 0.25), (0.25, 0.85, 0.85), 306,
                       light_dir=(-0.5, -0.65), atmosphere=(0.35, 0.95, 1.0))
    return finish(rgb)


def background_kids():
    x, y = grid(BW, BH)
    rgb = vgrad(BH, BW, [(0, (0.10, 0.06, 0.30)), (0.55, (0.18, 0.12, 0.42)), (1, (0.30, 0.14, 0.45))])
    rng = np.random.default_rng(401)
    # soft pastel clouds
    for cxp, cyp, colr in ((0.1, 0.85, (1.0, 0.55, 0.75)), (0.92, 0.80, (0.45, 0.85, 0.95)), (0.15, 0.2, (0.6, 0.5, 1.0)),
                           (0.85, 0.18, (1.0, 0.7, 0.5))):
        cloud = np.zeros((BH, BW))
        for _ in range(9):
            cloud += gauss_spot(BW, BH, (cxp + (rng.random() - 0.5) * 0.22) * BW, (cyp + (rng.random() - 0.5) * 0.1) * BH,
                                40 + rng.random() * 70)
        rgb = rgb + col(colr) * (0.32 * np.clip(cloud, 0, 1.2))[:, :, None]
    rgb = rgb + starfield(BW, BH, 402, 600, tint=(1.0, 0.95, 0.85), big=0.0) * 0.8
    # a bank of candy clouds along the bottom
    bank = np.zeros((BH, BW))
    for i in range(34):
        bx = (i / 33) * BW + (rng.random() - 0.5) * 60
        by = BH * (0.93 + rng.random() * 0.08)
        bank += gauss_spot(BW, BH, bx, by, 60 + rng.random() * 50)
    bank = np.clip(bank, 0, 1)
    cloud_col = lerp(col((1.0, 0.62, 0.85)), col((0.55, 0.75, 1.0)), np.clip(x / BW, 0, 1))
    rgb = rgb * (1 - 0.7 * bank)[:, :, None] + cloud_col * (0.55 * bank)[:, :, None]
    pic = Layered(BW, BH, rgb=(0, 0, 0), alpha=1.0)
    pic.rgb = rgb
    # friendly round-tipped stars
    for _ in range(26):
        sx = (rng.random() * 0.26 + (0.02 if rng.random() < 0.5 else 0.72)) * BW
        sy = (0.06 + rng.random() * 0.88) * BH
        size = 14 + rng.random() * 26
        colr = [(1.0, 0.85, 0.3), (1.0, 0.6, 0.8), (0.6, 0.9, 1.0), (0.75, 1.0, 0.6)][rng.integers(0, 4)]
        rot = rng.random() * math.pi

        def star(d, k, sx=sx, sy=sy, size=size, rot=rot):
            pts = []
            for i in range(10):
                rr = size if i % 2 == 0 else size * 0.48
                a = rot + i * math.pi / 5
                pts.append(((sx + rr * math.cos(a)) * k, (sy + rr * math.sin(a)) * k))
            d.polygon(pts, fill=255)
        m = shape_mask(BW, BH, star, ss=2)
        m = smoothstep(0.1, 0.6, blur(m, size * 0.06))
        pic.add(col(colr) * (0.35 * blur(m, size * 0.6))[:, :, None])
        pic.over(dilate(m, 2), (0.15, 0.08, 0.3))
        pic.over(m, colr)
        pic.add(col((1, 1, 1)) * (0.5 * gauss_spot(BW, BH, sx - size * 0.15, sy - size * 0.2, size * 0.2) * m)[:, :, None])
    rgb = pic.rgb
    rgb = paint_planet(rgb, *bg_px(-14.0, 9.0), 120, (0.9, 0.45, 0.55), (1.0, 0.8, 0.6), 403, light_dir=(0.5, -0.5),
                       ring=((-0.3, 0.3), (0.55, 0.95, 1.0)), atmosphere=(1.0, 0.7, 0.8))
    rgb = paint_planet(rgb, *bg_px(14.5, -2.0), 60, (0.3, 0.75, 0.45), (0.8, 1.0, 0.6), 404, light_dir=(-0.5, -0.5),
                       atmosphere=(0.7, 1.0, 0.7))
    pic = Layered(BW, BH, rgb=(0, 0, 0), alpha=1.0)
    pic.rgb = rgb
    # toy blocks tumbling in the corners
    figure_cubes(pic, [(0, 0), (1, 0), (2, 0), (1, 1)], *bg_px(-16.6, -9.4), 46, (1.0, 0.45, 0.55), glow=0.25)
    figure_cubes(pic, [(0, 0), (0, 1), (1, 1)], *bg_px(12.3, -9.6), 42, (0.35, 0.8, 1.0), glow=0.25)
    figure_cubes(pic, [(0, 0), (1, 0)], *bg_px(13.6, 10.6), 32, (1.0, 0.85, 0.3), glow=0.25)
    return finish(pic.rgb, calm_strength=1.1)


def background_retro():
    x, y = grid(BW, BH)
    _, horizon = bg_px(0, -3.8)
    sky = vgrad(BH, BW, [(0, (0.02, 0.0, 0.06)), (0.45, (0.12, 0.02, 0.22)), (horizon / BH, (0.45, 0.08, 0.38)),
                         (horizon / BH + 0.001, (0.03, 0.0, 0.08)), (1, (0.05, 0.0, 0.10))])
    rgb = sky + starfield(BW, BH, 501, 900, tint=(1.0, 0.8, 1.0), big=0.01) * (y < horizon)[:, :, None]
    # the striped sunset sun, sinking behind the horizon
    sx, sy, sr = BW / 2, horizon - 120, 300
    d = np.hypot(x - sx, y - sy)
    disc = smoothstep(sr + 1.5, sr - 1.5, d) * (y < horizon)
    phase = (y - (sy - sr * 0.05)) / (sr * 0.17)
    cuts = (phase > 0) & ((phase % 1.0) < 0.10 + 0.07 * phase)
    disc = disc * (~cuts)
    sun_col = lerp(col((1.0, 0.92, 0.35)), col((1.0, 0.25, 0.6)), np.clip((y - (sy - sr)) / (2 * sr), 0, 1))
    rgb = rgb * (1 - disc)[:, :, None] + sun_col * disc[:, :, None]
    rgb = rgb + col((1.0, 0.3, 0.6)) * (0.45 * np.exp(-np.clip(d - sr, 0, None) / 120) * (d > sr) * (y < horizon))[:, :, None]
    # mountains on the horizon
    ridge = value_noise(BW, 1, 14, 502, 4)[0]
    far = horizon - 40 - 170 * ridge ** 1.6 * (0.35 + 0.65 * np.abs(x[0] / BW - 0.5) * 2)
    mount = (y > far[None, :]) & (y < horizon)
    edge = np.abs(y - far[None, :]) < 2.0
    rgb = np.where(mount[:, :, None], col((0.06, 0.01, 0.12)) + col((0.4, 0.05, 0.35)) * ((y - far[None, :]) < 30)[:, :, None] * 0.15, rgb)
    rgb = rgb + col((1.0, 0.35, 0.85)) * (edge * (y < horizon) * 0.8)[:, :, None]
    # the neon floor grid in perspective
    def floor(d, k):
        for i in range(1, 40):
            gy = horizon + 260.0 / (i * 0.55) - 8
            if gy < horizon + 3 or gy > BH + 10:
                continue
            d.line([(0, gy * k), (BW * k, gy * k)], fill=int(255 * min(1.0, (gy - horizon) / 90.0)), width=max(1, int(k * (1.0 + (gy - horizon) / 200.0))))
        for j in range(-30, 31):
            d.line([(BW / 2 * k, horizon * k), ((BW / 2 + j * 150) * k, (horizon + 900) * k)], fill=255, width=int(k * 1.6))
    neon = shape_mask(BW, BH, floor, ss=3) * (y > horizon) * smoothstep(horizon, horizon + 70, y)
    rgb = rgb + col((1.0, 0.25, 0.8)) * (0.9 * neon)[:, :, None] + col((0.9, 0.3, 1.0)) * (0.35 * blur(neon, 4))[:, :, None]
    rgb = rgb + col((1.0, 0.3, 0.7)) * (0.5 * np.exp(-np.abs(y - horizon) / 14))[:, :, None]
    # faint scanlines for the old-screen feel
    rgb = rgb * (0.93 + 0.07 * (np.floor(y / 3) % 2))[:, :, None]
    return finish(rgb, calm_strength=1.1, light=retro_floor_light())


# Retro pushes its added lines in from below in the darkest brick colour; the floor behind the
# glass's lowest rows is lit so they stand out against it. Glass rows 1..3 lie fully in the light,
# which has gone by row 8.
RETRO_LIT_ROWS = (-7.0, -3.0)  # glass units from its centre: fully lit below, unlit above


def retro_floor_light():
    x, y = grid(BW, BH)
    x0, _ = glass_px(-5.0, 0)
    x1, _ = glass_px(5.0, 0)
    _, lit = glass_px(0, RETRO_LIT_ROWS[0])
    _, unlit = glass_px(0, RETRO_LIT_ROWS[1])
    pool = smoothstep(x0 - 50, x0 + 20, x) * smoothstep(x1 + 50, x1 - 20, x) * smoothstep(unlit, lit, y)
    return col((0.30, 0.19, 0.34)) * pool[:, :, None]


def planet_limb(rgb, centre_y, radius, body, air, seed):
    """The curve of a huge planet along the bottom, lit from behind: a thin bright rim of air."""
    h, w = rgb.shape[:2]
    x, y = grid(w, h)
    d = np.hypot(x - w / 2, y - centre_y) - radius
    inside = smoothstep(1.5, -1.5, d)
    clouds = value_noise(w, h, 8, seed, 4)
    surf = col(body) * (0.6 + 0.5 * clouds)[:, :, None] * np.exp(-np.clip(-d, 0, None) / 120)[:, :, None]
    rgb = rgb * (1 - inside)[:, :, None] + surf * inside[:, :, None]
    rim = np.exp(-np.abs(d) / 5) * 1.2 + np.exp(-np.clip(d, 0, None) / 45) * 0.5 * (d > 0)
    rim = rim * (0.35 + 0.65 * np.exp(-((x - w / 2) / (w * 0.45)) ** 2))
    return rgb + col(air) * rim[:, :, None]


def menu_background():
    rgb, a, b = nebula(BW, BH, 601, [(0.0, (0.01, 0.01, 0.04)), (0.45, (0.03, 0.03, 0.12)), (0.65, (0.10, 0.06, 0.30)),
                                     (0.82, (0.22, 0.14, 0.52)), (1.0, (0.40, 0.45, 0.95))])
    rgb = rgb + starfield(BW, BH, 602, 1300, tint=(0.85, 0.9, 1.0))
    rgb = planet_limb(rgb, BH + 2600, 2640, (0.02, 0.05, 0.14), (0.35, 0.75, 1.0), 603)
    rgb = calm_columns(rgb)
    pic = Layered(BW, BH, rgb=(0, 0, 0), alpha=1.0)
    pic.rgb = rgb
    figure_cubes(pic, [(0, 0), (1, 0), (2, 0), (2, 1)], *bg_px(-16.3, -6.6), 40, VIOLET, glow=0.35)
    figure_cubes(pic, [(0, 0), (1, 0), (1, 1), (2, 1)], *bg_px(-14.3, 9.8), 26, CYAN, glow=0.3)
    figure_cubes(pic, [(0, 0), (0, 1), (1, 0)], *bg_px(14.6, 8.4), 30, MAGENTA, glow=0.3)
    logo(pic, BW / 2, 92, 0.78)
    return finish_plain(pic.rgb)


def calm_columns(rgb):
    """Menu screens: darker and softer behind the column of items."""
    h, w = rgb.shape[:2]
    x, y = grid(w, h)
    x0, _ = glass_px(-5.0, 0)
    x1, _ = glass_px(5.0, 0)
    amount = smoothstep(x0 - 120, x0 + 60, x) * smoothstep(x1 + 120, x1 - 60, x) * smoothstep(200, 320, y)
    return lerp(rgb, blur(rgb, 4), 0.5 * amount) * (1 - 0.35 * amount)[:, :, None]


def finish_plain(rgb):
    rgb = vignette(np.clip(rgb, 0, 1.5))
    rgb = 1 - np.exp(-rgb * 1.6)
    return resize(np.clip(rgb / (1 - math.exp(-1.6)), 0, 1), 1024, 1024)


# Where the loading bar (10.3 x 0.464 units, three units behind the glass) falls on the picture.
LOAD_BAR = (2.38 * 24 / 22, -8.018 * 24 / 22, 12.68 * 24 / 22, -8.482 * 24 / 22)


def intro_picture():
    rgb, a, b = nebula(BW, BH, 701, [(0.0, (0.01, 0.01, 0.05)), (0.40, (0.04, 0.03, 0.15)), (0.6, (0.20, 0.08, 0.42)),
                                     (0.78, (0.36, 0.22, 0.75)), (1.0, (0.6, 0.7, 1.0))])
    x, y = grid(BW, BH)
    rgb = rgb + starfield(BW, BH, 702, 1600, tint=(0.85, 0.9, 1.0))
    rgb = rgb + col((0.55, 0.45, 1.0)) * (0.35 * gauss_spot(BW, BH, BW / 2, BH * 0.38, 520, 260))[:, :, None]
    rgb = planet_limb(rgb, BH + 2500, 2680, (0.02, 0.05, 0.16), (0.40, 0.80, 1.0), 703)
    pic = Layered(BW, BH, rgb=(0, 0, 0), alpha=1.0)
    pic.rgb = rgb
    # figures tumbling down on both sides of the name
    figure_cubes(pic, [(0, 0), (1, 0), (2, 0), (1, 1)], *bg_px(-15.5, 7.5), 44, VIOLET, glow=0.4)
    figure_cubes(pic, [(0, 0), (0, 1), (0, 2), (1, 0)], *bg_px(12.6, 9.6), 40, CYAN, glow=0.4)
    figure_cubes(pic, [(0, 0), (1, 0), (1, 1), (2, 1)], *bg_px(-13.0, -5.0), 34, MAGENTA, glow=0.4)
    figure_cubes(pic, [(0, 0), (1, 0), (0, 1), (1, 1)], *bg_px(14.8, -3.5), 30, GOLD, glow=0.4)
    logo(pic, BW / 2, BH * 0.40, 1.45, glow=1.2)
    # the slot the loading bar fills
    x0, y0 = bg_px(LOAD_BAR[0], LOAD_BAR[1])
    x1, y1 = bg_px(LOAD_BAR[2], LOAD_BAR[3])
    m = 5
    slot = round_rect(BW, BH, (x0 - m, y0 - m, x1 + m, y1 + m), (y1 - y0) / 2 + m)
    inner = round_rect(BW, BH, (x0 - 1, y0 - 1, x1 + 1, y1 + 1), (y1 - y0) / 2)
    pic.add(col(CYAN) * (0.35 * blur(slot, 10))[:, :, None])
    pic.over(slot, (0.30, 0.42, 0.75))
    pic.over(inner, (0.02, 0.02, 0.07))
    glow_text(pic, BW, BH, "LOADING", FONT_LABEL, 22, x0 + 4, y0 - 26, ICE, CYAN, CYAN, tracking=7, stroke=2,
              glow=5, glow_strength=0.5) if False else None
    lab, labo = text_masks(BW, BH, "LOADING", FONT_LABEL, 22, x0 + 2, y0 - 26, tracking=7, stroke=2, anchor_x="l")
    pic.add(col(CYAN) * (0.5 * blur(labo, 5))[:, :, None])
    pic.over(labo, INK)
    pic.over(lab, ICE)
    return finish_plain(pic.rgb)


# The help and high-score backdrop: a quad of 35.2 x 25.99 units at the glass's depth, stored
# 1024 x 1024. The panel's edges lie on multiples of 8 pixels.
HELP_PANEL = (176, 240, 848, 1024)


def help_backdrop():
    W = H = 1024
    x0, y0, x1, y1 = HELP_PANEL
    x, y = grid(W, H)
    inside = (x >= x0) & (x < x1) & (y >= y0) & (y < y1)
    body = vgrad(H, W, [(y0 / H, (0.07, 0.08, 0.24)), ((y0 + 120) / H, (0.035, 0.04, 0.14)), (1, (0.015, 0.02, 0.07))])
    body = body + col((0.25, 0.2, 0.6)) * (0.12 * gauss_spot(W, H, (x0 + x1) / 2, y0 + 40, 300, 120))[:, :, None]
    grain = value_noise(W, H, 30, 801, 3)
    body = body * (0.92 + 0.16 * grain)[:, :, None]
    # inset glowing rule and corner brackets
    m = 10
    rule = ((np.abs(x - (x0 + m)) < 1.2) | (np.abs(x - (x1 - m)) < 1.2)) & (y > y0 + m) \
        | (np.abs(y - (y0 + m)) < 1.2) & (x > x0 + m) & (x < x1 - m)
    rule = rule.astype(float)
    body = body + col(CYAN) * (0.55 * blur(rule, 3) + 0.6 * rule)[:, :, None]
    for cx, sx in ((x0 + 4, 1), (x1 - 4, -1)):
        brk = (((x - cx) * sx >= 0) & ((x - cx) * sx < 70) & (np.abs(y - (y0 + 4)) < 2.5)) \
            | ((np.abs(x - cx) < 2.5) & (y >= y0 + 2) & (y < y0 + 70))
        body = body + col(ICE) * (0.8 * brk.astype(float))[:, :, None]
    body = np.clip(body, 0, 0.92)
    return np.where(inside[:, :, None], body, 1.0)


def finish(rgb, calm_strength=1.0, light=0.0):
    """Calms the picture behind the glass and the panels, adds `light` over that, darkens the
    corners and rolls the highlights off; stored 1024 x 1024."""
    rgb = vignette(calm(np.clip(rgb, 0, 1.5), calm_strength) + light)
    # a soft highlight roll-off instead of a hard clip
    rgb = 1 - np.exp(-rgb * 1.6)
    return resize(np.clip(rgb / (1 - math.exp(-1.6 * 1.0)), 0, 1), 1024, 1024)


# ----------------------------------------------------------------------------------------------
# Output
# ----------------------------------------------------------------------------------------------

MENU_ITEMS = [
    ("newgame", "New Game"), ("options", "Options"), ("highscores", "High Scores"), ("help", "Help"),
    ("exit", "Exit"), ("sound", "Sound"), ("music", "Music"), ("rotation", "Rotation"),
    ("quality", "Quality"), ("return", "Return"),
]


def build(out, only=None):
    """Writes every picture; returns {file name: (rgb, alpha or None)} for previews."""
    made = {}

    def want(name):
        return only is None or any(name.startswith(o) for o in only)

    def bmp(name, rgb):
        write_bmp24(os.path.join(out, name), rgb)
        made[name] = (rgb, None)

    def tga(name, rgb_alpha):
        rgb, alpha = rgb_alpha
        write_tga32(os.path.join(out, name), rgb, alpha)
        made[name] = (rgb, alpha)

    def jpg(name, rgb):
        path = os.path.join(out, name)
        write_jpeg(path, rgb)
        made[name] = (np.asarray(Image.open(path).convert("RGB"), dtype=np.float64) / 255.0, None)

    if want("particles"):
        tga("effect.tga", make_effect())
        tga("sparkle.tga", make_sparkle())
        tga("sparkle2.tga", make_sparkle2())
        tga("explosion.tga", make_explosion())
        tga("smoke.tga", make_smoke())
    if want("bars"):
        frame_w = 424                     # 5.3 x 0.4 units at 32 pixels high
        blue = [(0.20, 0.95, 1.00), (0.30, 0.55, 1.00), (0.62, 0.38, 1.00)]
        bmp("loadingline2.bmp", bar_picture(256, 32, frame_w))
        bmp("progressline2.bmp", bar_picture(256, 32, frame_w, blue))
        split_fill = [(1.0, 0.55, 0.10), (1.0, 0.78, 0.25), (1.0, 0.45, 0.12), (0.95, 0.30, 0.85), (0.62, 0.38, 1.0)]
        frame3 = bar_picture(256, 32, frame_w, split=True)
        tga("loadingline3.tga", (frame3, np.ones((32, 256))))
        fill3 = bar_picture(256, 32, frame_w, split_fill, split=True)
        tga("progressline3.tga", (fill3, np.ones((32, 256))))
        bmp("loadingprogress.bmp", bar_picture(512, 32, 710, [(0.20, 0.95, 1.00), (0.35, 0.60, 1.00), (0.75, 0.40, 1.00), (1.0, 0.40, 0.85)]))
        tga("motionblur.tga", make_motionblur())
    if want("states"):
        bmp("gameover.bmp", state_picture("GAME OVER", "PRESS ENTER TO CONTINUE", MAGENTA, 1))
        bmp("pause.bmp", state_picture("PAUSE", "PRESS P TO PLAY ON", CYAN, 2))
        bmp("abortgame.bmp", state_picture("ABORT GAME?", "Y  -  YES          N  -  NO", GOLD, 3))
    if want("items"):
        for i, (name, text) in enumerate(MENU_ITEMS):
            bmp(name + ".bmp", item_picture(text, CYAN, 10 + i))
        for t, text in enumerate(TYPE_NAMES):
            bmp("zellory%d.bmp" % (t + 1), item_picture(text, TYPE_ACCENT[t], 30 + t, gems=True))
        bmp("return2.bmp", item_picture("Return", CYAN, 40))
    if want("backgrounds"):
        jpg("bkgrgame.jpg", background_torvane())
        jpg("bkgrgame2.jpg", background_redara())
        jpg("bkgrgame3.jpg", background_vodoza())
        jpg("bkgrgame4.jpg", background_kids())
        jpg("bkgrgame5.jpg", background_retro())
    if want("menu"):
        jpg("background.jpg", menu_background())
        jpg("intro.jpg", intro_picture())
        jpg("backhelp.jpg", help_backdrop())
    if want("values"):
        bmp("cw.bmp", rotation_picture(True))
        bmp("ccw.bmp", rotation_picture(False))
        bmp("low.bmp", quality_picture("Low", 1, (0.35, 0.90, 1.00)))
        bmp("medium.bmp", quality_picture("Medium", 2, (1.00, 0.78, 0.30)))
        bmp("high.bmp", quality_picture("High", 3, (1.00, 0.40, 0.62)))
        bmp("stripe.bmp", stripe_picture())
    return made


def preview(made, folder):
    os.makedirs(folder, exist_ok=True)
    for name, (rgb, alpha) in made.items():
        img = to_u8(rgb)
        if alpha is not None:
            # show TGAs over a dark checker so their alpha can be judged
            h, w = alpha.shape
            x, y = grid(w, h)
            checker = np.where(((x // 8 + y // 8) % 2)[:, :, None] == 0, 0.10, 0.16)
            img = to_u8(rgb * alpha[:, :, None] + checker * (1 - alpha[:, :, None]))
        Image.fromarray(img).save(os.path.join(folder, os.path.splitext(name)[0] + ".png"))


def contact_sheet(made, folder):
    """All pictures on one sheet, each shown at the aspect it has on screen."""
    tiles = []
    label_font = ImageFont.truetype(FONT_LABEL, 13)
    for name, (rgb, alpha) in sorted(made.items()):
        img = Image.open(os.path.join(folder, os.path.splitext(name)[0] + ".png")).convert("RGB")
        w, h = img.size
        if name.endswith(".jpg"):
            w, h = 256, 192
        elif w > h:
            w, h = 256, max(16, int(256 * h / w))
        else:
            w, h = min(w, 128), min(h, 128)
        tile = Image.new("RGB", (272, 228), (40, 40, 52))
        tile.paste(img.resize((w, h), Image.LANCZOS), ((272 - w) // 2, 8 + (192 - h) // 2))
        ImageDraw.Draw(tile).text((8, 208), "%s  %dx%d" % (name, rgb.shape[1], rgb.shape[0]), font=label_font,
                                  fill=(220, 220, 235))
        tiles.append(tile)
    cols = 6
    rows = (len(tiles) + cols - 1) // cols
    sheet = Image.new("RGB", (cols * 272, rows * 228), (25, 25, 32))
    for i, t in enumerate(tiles):
        sheet.paste(t, ((i % cols) * 272, (i // cols) * 228))
    sheet.save(os.path.join(folder, "contact_sheet.png"))


def load_preview(folder, name):
    return Image.open(os.path.join(folder, name)).convert("RGB")


def screen_point(x, y, z, W=1024, H=768):
    """Scene coordinates relative to the glass centre to window pixels (the game's camera)."""
    d = z + 19.0
    half_h = d * math.tan(0.5)
    half_w = half_h / 0.75
    return W / 2 + x / half_w * W / 2, H / 2 - y / half_h * H / 2


def mock_game(folder, game_type, state):
    W, H = 1024, 768
    shot = load_preview(folder, "bkgrgame%s.png" % ("" if game_type == 1 else game_type)).resize((W, H), Image.LANCZOS)
    d = ImageDraw.Draw(shot, "RGBA")
    rng = np.random.default_rng(7)
    x0, y0 = screen_point(-5, 10, 0)
    x1, y1 = screen_point(5, -10, 0)
    d.rectangle([x0 - 6, y0 - 6, x1 + 6, y1 + 6], outline=(150, 190, 255, 200), width=3)
    cell = (x1 - x0) / 10
    colours = [(230, 40, 40), (40, 200, 60), (50, 80, 240), (240, 220, 40), (220, 40, 220), (40, 220, 220)]
    for r in range(7):
        for c in range(10):
            if r < 5 and rng.random() < 0.85 or rng.random() < 0.3:
                cx, cy = x0 + c * cell, y1 - (r + 1) * cell
                col_ = colours[rng.integers(0, len(colours))]
                d.rectangle([cx + 1, cy + 1, cx + cell - 2, cy + cell - 2], fill=col_ + (255,), outline=(20, 20, 30, 255))
    font = ImageFont.truetype(FONT_LABEL, 22)
    for text, dx, dy in (("NEXT:", -13.3, 7.8), ("SCORES: 12840", -13.3, 3.0), ("LINES: 42", -13.3, 1.8),
                         ("LEVEL: 5", -13.3, 0.6), ("SPEED: 31", -13.3, -1.8), ("POSITION: 3", -13.3, -3.0),
                         ("GAME TIME:", 7.02, 7.8), ("04:17", 8.35, 6.6), ("GAME TYPE:", 7.0, 2.3),
                         (TYPE_NAMES[game_type - 1].upper(), 7.4, 1.1), ("NEXT SCORE: 15200", 6.5, -1.8),
                         ("BEST SCORE: 40210", 6.5, -3.0), ("TIME", 8.9, -6.0)):
        px, py = screen_point(dx, dy, 0)
        d.text((px, py), text, font=font, fill=(255, 255, 255), anchor="lm")
    for name, yoff, frac in (("progressline2.png", -5.5, 0.6),):
        bx0, by0 = screen_point(6.95, yoff + 0.2, 0)
        bx1, by1 = screen_point(12.25, yoff - 0.2, 0)
        frame = load_preview(folder, "loadingline2.png").resize((int(bx1 - bx0), int(by1 - by0)), Image.LANCZOS)
        fill = load_preview(folder, name).resize((int(bx1 - bx0), int(by1 - by0)), Image.LANCZOS)
        shot.paste(frame, (int(bx0), int(by0)))
        shot.paste(fill.crop((0, 0, int(frac * (bx1 - bx0)), int(by1 - by0))), (int(bx0), int(by0)))
    bx0, by0 = screen_point(6.95, -7.0 + 0.2, 0)
    bx1, by1 = screen_point(12.25, -7.0 - 0.2, 0)
    size = (int(bx1 - bx0), int(by1 - by0))
    shot.paste(load_preview(folder, "loadingline3.png").resize(size, Image.LANCZOS), (int(bx0), int(by0)))
    shot.paste(load_preview(folder, "progressline3.png").resize(size, Image.LANCZOS).crop((0, 0, int(size[0] * 0.7), size[1])),
               (int(bx0), int(by0)))
    if state:
        sx0, sy0 = screen_point(-7, 1.296, -1)
        sx1, sy1 = screen_point(7, -1.296, -1)
        pic = load_preview(folder, state + ".png").resize((int(sx1 - sx0), int(sy1 - sy0)), Image.LANCZOS)
        shot.paste(pic, (int(sx0), int(sy0)))
    return shot


def mock_menu(folder, names, x_offset=0.0, top=2.6, selected=1, values=None):
    W, H = 1024, 768
    shot = load_preview(folder, "background.png").resize((W, H), Image.LANCZOS)
    for i, name in enumerate(names):
        y = top - 2.4 * i
        s = 8.4 if i + 1 == selected else 8.0
        gain = 1.25 if i + 1 == selected else 0.85
        x0, y0 = screen_point(x_offset - s / 2, y + s / 10.8, 0)
        x1, y1 = screen_point(x_offset + s / 2, y - s / 10.8, 0)
        img = load_preview(folder, name + ".png").resize((int(x1 - x0), int(y1 - y0)), Image.LANCZOS)
        img = Image.fromarray(to_u8(np.asarray(img, dtype=np.float64) / 255 * gain))
        shot.paste(img, (int(x0), int(y0)))
        if values and i in values:
            half_w, half_h = s * VALUE_FACE / ITEM_FACE / 2, s / ITEM_FACE / 2
            vx0, vy0 = screen_point(5.1 - half_w, y + half_h, 0)
            vx1, vy1 = screen_point(5.1 + half_w, y - half_h, 0)
            img = load_preview(folder, values[i] + ".png").resize((int(vx1 - vx0), int(vy1 - vy0)), Image.LANCZOS)
            shot.paste(img, (int(vx0), int(vy0)))
    return shot


def mock_help(folder):
    W, H = 1024, 768
    shot = load_preview(folder, "background.png").resize((W, H), Image.LANCZOS)
    # the backdrop quad is larger than the view; cut the visible part
    back = load_preview(folder, "backhelp.png")
    bx0, by0 = screen_point(-17.6, 12.99375, 0)
    bx1, by1 = screen_point(17.6, -12.99375, 0)
    big = back.resize((int(bx1 - bx0), int(by1 - by0)), Image.LANCZOS)
    arr = np.asarray(big)
    mask = Image.fromarray(np.where(np.all(arr > 250, axis=2), 0, 200).astype(np.uint8))
    layer = Image.new("RGB", (W, H))
    layer.paste(shot)
    layer.paste(big, (int(bx0), int(by0)), mask)
    d = ImageDraw.Draw(layer)
    font = ImageFont.truetype(FONT_LABEL, 17)
    title = ImageFont.truetype(FONT_LABEL, 28)
    d.text(screen_point(-2.9, 5.6, 0), "GAME HELP", font=title, fill=(255, 255, 255), anchor="lm")
    for i in range(7):
        d.text(screen_point(-10, 4.6 - 0.8 * i, 0), "THE RULES OF ZELLORY TORVANE ARE SIMILAR TO THOSE", font=font,
               fill=(255, 255, 255), anchor="lm")
    d.text(screen_point(-6.2, -9.6, 0), "PRESS ESC TO RETURN", font=title, fill=(255, 255, 255), anchor="lm")
    return layer


def mock_loading(folder, fraction=0.6):
    W, H = 1024, 768
    shot = load_preview(folder, "intro.png").resize((W, H), Image.LANCZOS)
    x0, y0 = screen_point(7.53 - 5.15, -8.25 + 0.232, 3)
    x1, y1 = screen_point(7.53 + 5.15, -8.25 - 0.232, 3)
    bar = load_preview(folder, "loadingprogress.png").resize((int(round(x1 - x0)), int(round(y1 - y0))), Image.LANCZOS)
    shot.paste(bar.crop((0, 0, int(bar.size[0] * fraction), bar.size[1])), (int(round(x0)), int(round(y0))))
    return shot


def mockups(made, folder):
    for t, state in ((1, "gameover"), (2, "pause"), (3, "abortgame"), (4, None), (5, "pause")):
        mock_game(folder, t, state).save(os.path.join(folder, "mock_game%d.png" % t))
    mock_menu(folder, ["newgame", "options", "highscores", "help", "exit"], selected=2).save(
        os.path.join(folder, "mock_menu_main.png"))
    mock_menu(folder, ["zellory1", "zellory2", "zellory3", "zellory4", "zellory5", "return2"], top=3.6,
              selected=4).save(os.path.join(folder, "mock_menu_types.png"))
    mock_menu(folder, ["sound", "music", "rotation", "quality", "return"], x_offset=-5.0, selected=3,
              values={2: "cw", 3: "medium"}).save(os.path.join(folder, "mock_menu_options.png"))
    mock_help(folder).save(os.path.join(folder, "mock_help.png"))
    mock_loading(folder).save(os.path.join(folder, "mock_loading.png"))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(REPO, "game", "textures"))
    ap.add_argument("--preview", default=None)
    ap.add_argument("--only", nargs="*", default=None, help="groups: particles bars states items values backgrounds menu")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    made = build(args.out, args.only)
    if args.preview:
        preview(made, args.preview)
        contact_sheet(made, args.preview)
        if args.only is None:
            mockups(made, args.preview)
    print("wrote %d pictures to %s" % (len(made), args.out))


if __name__ == "__main__":
    main()
