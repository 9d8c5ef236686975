#!/usr/bin/env python3
"""Draws the installer's skin images into ui/skin/ and writes ui/skin/skin.rc.

Every image is drawn from geometry: a shape is an inside-test evaluated on
a supersampled grid, so curves come out anti-aliased. Run it again after
changing a drawing; its output is committed.

    tools/make-skin.py            # writes ui/skin/*.png, skin.rc, app.ico

Needs numpy, ImageMagick's convert and zopflipng (tools/setup installs them).
"""

import os
import struct
import subprocess
import sys
import zlib

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "ui", "skin")


# ---------------------------------------------------------------- PNG output

def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def _png(width, height, colour_type, rows, extra=b""):
    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + extra +
            _chunk(b"IDAT", zlib.compress(raw, 9)) + _chunk(b"IEND", b""))


def to_bytes(rgba):
    """Straight-alpha float image (h, w, 4) in 0..1 to uint8."""
    return np.clip(np.rint(rgba * 255.0), 0, 255).astype(np.uint8)


def save_rgba(name, rgba):
    img = to_bytes(rgba)
    h, w, _ = img.shape
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(_png(w, h, 6, [img[y].tobytes() for y in range(h)]))


def save_rgb(name, rgba):
    img = to_bytes(rgba)[:, :, :3]
    h, w, _ = img.shape
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(_png(w, h, 2, [img[y].tobytes() for y in range(h)]))


def quantise(img, colours=256, iterations=8, seed=7):
    """k-means over RGBA to a palette of at most `colours` entries."""
    flat = img.reshape(-1, 4).astype(np.float32)
    unique = np.unique(img.reshape(-1, 4), axis=0)
    if len(unique) <= colours:
        palette = unique.astype(np.float32)
    else:
        rng = np.random.default_rng(seed)
        sample = flat[rng.choice(len(flat), size=min(len(flat), 60000), replace=False)]
        # Seed with the most distinct colours of the sample, then refine.
        palette = sample[rng.choice(len(sample), size=colours, replace=False)].copy()
        for _ in range(iterations):
            labels = _nearest(sample, palette)
            for k in range(colours):
                members = sample[labels == k]
                if len(members):
                    palette[k] = members.mean(axis=0)
        # Fully transparent and fully opaque white stay exact.
        palette[0] = (0, 0, 0, 0)
        palette[1] = (255, 255, 255, 255)
    labels = _nearest(flat, palette)
    return np.clip(np.rint(palette), 0, 255).astype(np.uint8), labels.reshape(img.shape[:2]).astype(np.uint8)


def _nearest(points, palette, chunk=200000):
    out = np.empty(len(points), dtype=np.int64)
    weights = np.array([1.0, 1.0, 1.0, 1.5], dtype=np.float32)
    p = palette * weights
    for start in range(0, len(points), chunk):
        block = points[start:start + chunk] * weights
        d = (block * block).sum(1)[:, None] - 2.0 * block @ p.T + (p * p).sum(1)[None, :]
        out[start:start + chunk] = d.argmin(1)
    return out


def palette_png(img):
    """A PNG of at most 256 colours of the uint8 RGBA image."""
    img = img.copy()
    # Transparent pixels carry no colour: make them all one entry.
    img[img[:, :, 3] == 0] = 0
    palette, indices = quantise(img)
    h, w = indices.shape
    extra = _chunk(b"PLTE", palette[:, :3].tobytes()) + _chunk(b"tRNS", palette[:, 3].tobytes())
    return _png(w, h, 3, [indices[y].tobytes() for y in range(h)], extra)


def save_palette(name, rgba):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(palette_png(to_bytes(rgba)))


def reduced(source, size):
    """The image file reduced to size x size (Lanczos), as uint8 RGBA."""
    raw = subprocess.run(["convert", source, "-filter", "Lanczos", "-resize", "%dx%d" % (size, size),
                          "-depth", "8", "rgba:-"], check=True, stdout=subprocess.PIPE).stdout
    return np.frombuffer(raw, dtype=np.uint8).reshape(size, size, 4)


def save_icon(name, source, sizes=(256, 48, 32, 16)):
    """An icon whose images are PNGs (Windows Vista and later read them at
    every size), each reduced from the large source image."""
    images = []
    for size in sizes:
        images.append((size, palette_png(reduced(source, size))))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, data = b"", b""
    for size, png in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(png), offset + len(data))
        data += png
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(header + entries + data)


def recompress(names):
    """Every PNG recompressed losslessly (zopflipng): the same pixels in
    fewer bytes, so a smaller exe."""
    for n in names:
        path = os.path.join(OUT, n)
        subprocess.run(["zopflipng", "-y", "-m", path, path], check=True,
                       stdout=subprocess.DEVNULL)


# ------------------------------------------------------------------ drawing

# Images are drawn in layout pixels (96 dpi) and rendered SCALE device
# pixels to each: the same drawing gives the 1x, 1.5x and 2x images.
SCALE = 1.0


def size_at_scale(n):
    return int(round(n * SCALE))


def grid(w, h, ss):
    """Sample coordinates, ss x ss per device pixel, in layout pixels."""
    xs = (np.arange(size_at_scale(w) * ss) + 0.5) / ss / SCALE
    ys = (np.arange(size_at_scale(h) * ss) + 0.5) / ss / SCALE
    return np.meshgrid(xs, ys)


def centres(w, h):
    """The device pixels' centres, in layout pixels."""
    return grid(w, h, 1)


def coverage(w, h, inside, ss=4):
    x, y = grid(w, h, ss)
    m = inside(x, y).astype(np.float32)
    return m.reshape(size_at_scale(h), ss, size_at_scale(w), ss).mean(axis=(1, 3))


def rounded_rect(left, top, right, bottom, r):
    def inside(x, y):
        cx = np.clip(x, left + r, right - r)
        cy = np.clip(y, top + r, bottom - r)
        return ((x - cx) ** 2 + (y - cy) ** 2 <= r * r) & (x >= left) & (x <= right) & (y >= top) & (y <= bottom)
    return inside


def rounded_sd(x, y, left, top, right, bottom, r):
    """Signed distance to a rounded rectangle (negative inside)."""
    cx, cy = (left + right) / 2.0, (top + bottom) / 2.0
    hx, hy = (right - left) / 2.0 - r, (bottom - top) / 2.0 - r
    qx, qy = np.abs(x - cx) - hx, np.abs(y - cy) - hy
    outside = np.sqrt(np.maximum(qx, 0) ** 2 + np.maximum(qy, 0) ** 2)
    return outside + np.minimum(np.maximum(qx, qy), 0) - r


def ring(cx, cy, r_outer, r_inner):
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        return (d2 <= r_outer ** 2) & (d2 >= r_inner ** 2)
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def capsule(points, width):
    """A polyline stroked with round caps and joins."""
    half = width / 2.0

    def inside(x, y):
        hit = np.zeros_like(x, dtype=bool)
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            dx, dy = bx - ax, by - ay
            t = np.clip(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0, 1)
            hit |= (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half
        return hit
    return inside


def polygon(points):
    def inside(x, y):
        hit = np.zeros_like(x, dtype=bool)
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            crosses = ((ay > y) != (by > y))
            with np.errstate(divide="ignore", invalid="ignore"):
                xint = ax + (y - ay) * (bx - ax) / (by - ay)
            hit ^= crosses & (x < xint)
        return hit
    return inside


def union(*fns):
    return lambda x, y: np.logical_or.reduce([f(x, y) for f in fns])


def minus(a, b):
    return lambda x, y: a(x, y) & ~b(x, y)


def hex_colour(text, alpha=1.0):
    v = int(text, 16)
    return np.array([(v >> 16) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0, alpha], dtype=np.float32)


def layer(cov, colour):
    """A layer of one colour with the coverage as alpha."""
    h, w = cov.shape
    out = np.zeros((h, w, 4), dtype=np.float32)
    out[:, :, :3] = colour[:3]
    out[:, :, 3] = cov * colour[3]
    return out


def over(top, bottom):
    """Porter-Duff 'over' of straight-alpha images."""
    at, ab = top[:, :, 3:4], bottom[:, :, 3:4]
    a = at + ab * (1 - at)
    with np.errstate(divide="ignore", invalid="ignore"):
        rgb = np.where(a > 0, (top[:, :, :3] * at + bottom[:, :, :3] * ab * (1 - at)) / a, 0)
    return np.concatenate([rgb, a], axis=2)


def blank(w, h):
    return np.zeros((h, w, 4), dtype=np.float32)


# ------------------------------------------------------------------ images

def window_background():
    w, h = 440, 540
    panel = coverage(w, h, lambda x, y: rounded_sd(x, y, 30, 30, 410, 510, 10) <= 0)
    # Shadow: from 1 px outside the panel (alpha 36) out to 18 px (alpha 1),
    # i.e. between 29 and 12 px from the window edge; eased for softness.
    xs, ys = centres(w, h)
    t = rounded_sd(xs, ys, 30, 30, 410, 510, 10)
    ramp = np.clip((18.0 - t) / 17.0, 0, 1) ** 1.6
    shadow_alpha = np.where((t >= 0) & (t <= 18.0), (1 + 35 * ramp) / 255.0, 0)
    shadow = np.zeros(panel.shape + (4,), dtype=np.float32)
    shadow[:, :, 3] = shadow_alpha
    return over(layer(panel, hex_colour("FFFFFF")), shadow)


def title_buttons():
    """Title-bar buttons of the window skin: close, maximise, restore, minimise."""
    s = 30
    backs = {
        "close": [None, hex_colour("D44027"), hex_colour("A62A15")],
        "other": [None, hex_colour("FFFFFF", 0.15), hex_colour("FFFFFF", 0.30)],
    }
    glyphs = {
        "close": union(capsule([(10, 10), (20, 20)], 1.6), capsule([(20, 10), (10, 20)], 1.6)),
        "maximise": minus(rounded_rect(9.5, 9.5, 20.5, 20.5, 0.5), rounded_rect(11, 11, 19, 19, 0)),
        "restore": union(minus(rounded_rect(9, 12, 18, 21, 0), rounded_rect(10.5, 13.5, 16.5, 19.5, 0)),
                         minus(capsule([(12, 9.75), (21, 9.75), (21, 18)], 1.5), rounded_rect(9, 12, 18, 21, 0))),
        "minimise": rounded_rect(9.5, 14.25, 20.5, 15.75, 0.4),
    }
    for name, glyph in glyphs.items():
        for state, back in zip(("normal", "hover", "pressed"), backs["close" if name == "close" else "other"]):
            img = blank(s, s)
            if back is not None:
                img = over(layer(coverage(s, s, lambda x, y: np.ones_like(x, bool)), back), img)
            img = over(layer(coverage(s, s, glyph, 8), hex_colour("FFFFFF")), img)
            save_palette("title_%s_%s.png" % (name, state), img)


def exit_button():
    s = 26
    cross = union(capsule([(9, 9), (17, 17)], 1.8), capsule([(17, 9), (9, 17)], 1.8))
    halo = union(capsule([(9, 9), (17, 17)], 4.0), capsule([(17, 9), (9, 17)], 4.0))
    circle = coverage(s, s, disc(13, 13, 12), 8)
    # Normal: a light cross with a faint dark halo, so it reads on the white
    # panel as well as on the blue banner. Hover and pressed: a white cross
    # on a soft dark disc.
    normal = over(layer(coverage(s, s, cross, 8), hex_colour("E0E0E0")),
                  layer(coverage(s, s, halo, 8), hex_colour("000000", 0.10)))
    hover = over(layer(coverage(s, s, cross, 8), hex_colour("FFFFFF")), layer(circle, hex_colour("000000", 0.22)))
    pressed = over(layer(coverage(s, s, cross, 8), hex_colour("FFFFFF")), layer(circle, hex_colour("000000", 0.36)))
    for state, img in (("normal", normal), ("hover", hover), ("pressed", pressed)):
        save_rgba(scaled_name("exit_%s.png" % state), img)


def button_set(prefix, w, h, radius, rgb_on_white=False):
    for state, colour in (("normal", "398DFF"), ("hover", "39A4FF"), ("pressed", "3968FF")):
        body = layer(coverage(w, h, rounded_rect(0, 0, w, h, radius), 8), hex_colour(colour))
        # A gentle top light makes the flat blue look finished.
        xs, ys = centres(w, h)
        shade = (0.06 * (1 - ys / h))[:, :, None]
        body[:, :, :3] = np.clip(body[:, :, :3] + shade, 0, 1)
        if rgb_on_white:
            save_rgb(scaled_name("%s_%s.png" % (prefix, state)),
                     over(body, layer(np.ones(body.shape[:2]), hex_colour("FFFFFF"))))
        else:
            save_rgba(scaled_name("%s_%s.png" % (prefix, state)), body)


def banner():
    w, h = 380, 226
    inside = lambda x, y: rounded_rect(0, 0, w, h + 20, 5)(x, y) & (y <= h)
    return layer(coverage(w, h, inside, 8), hex_colour("398DFF"))


def browse_button():
    s = 26
    # A folder outline: body with a tab on its upper left.
    outline = [(4.5, 8.5), (10, 8.5), (12, 10.5), (21.5, 10.5), (21.5, 19.5), (4.5, 19.5), (4.5, 8.5)]
    stroke = capsule(outline, 1.4)
    for state, colour in (("normal", "A8A8A8"), ("hover", "5795EE")):
        save_rgba(scaled_name("browse_%s.png" % state), layer(coverage(s, s, stroke, 8), hex_colour(colour)))
    if SCALE != 1.0:
        return
    # The engine's default skin for a selected image button: three switch
    # drawings (normal, hover, pressed). The program never selects it.
    w, h = 80, 40
    for state, colour in (("normal", "4CD964"), ("hover", "5EE077"), ("pressed", "3CC453")):
        track = layer(coverage(w, h, rounded_rect(8, 8, 72, 32, 12), 8), hex_colour(colour))
        knob = layer(coverage(w, h, disc(60, 20, 10), 8), hex_colour("FFFFFF"))
        save_rgba("switch_%s.png" % state, over(knob, track))


def folder_box():
    w, h = 230, 34
    for state, colour in (("normal", "EBF3FF"), ("focus", "D7E8FF")):
        save_rgba(scaled_name("folderbox_%s.png" % state),
                  layer(coverage(w, h, rounded_rect(0, 0, w, h, 4), 8), hex_colour(colour)))
    if SCALE != 1.0:
        return
    # Scroll-arrow glyphs of the edit box's default skin: up, down, left,
    # right, each in a light and a dark grey.
    s = 12
    arrows = {
        "up": [(3, 8), (6, 4), (9, 8)],
        "down": [(3, 4), (6, 8), (9, 4)],
        "left": [(8, 3), (4, 6), (8, 9)],
        "right": [(4, 3), (8, 6), (4, 9)],
    }
    for name, pts in arrows.items():
        for shade, colour in (("light", "B4B4B4"), ("dark", "6E6E6E")):
            save_rgba("arrow_%s_%s.png" % (name, shade), layer(coverage(s, s, polygon(pts), 8), hex_colour(colour)))


def progress_ring():
    s = 150
    c = s / 2.0
    save_rgba(scaled_name("ring_track.png"), layer(coverage(s, s, ring(c, c, 71.5, 66.5), 8), hex_colour("FFFFFF", 28 / 255.0)))
    cov = coverage(s, s, ring(c, c, 74, 64), 8)
    ys = centres(s, s)[1][:, :1] / s
    top, bottom = hex_colour("4AA9FF"), hex_colour("2696FF")
    fill = np.zeros(cov.shape + (4,), dtype=np.float32)
    fill[:, :, :3] = top[:3][None, None, :] * (1 - ys)[:, :, None] + bottom[:3][None, None, :] * ys[:, :, None]
    fill[:, :, 3] = cov
    save_rgba(scaled_name("ring_fill.png"), fill)


def check_mark():
    s = 264
    c = s / 2.0
    circle = coverage(s, s, ring(c, c, 128, 118), 4)
    tick = coverage(s, s, capsule([(78, 136), (116, 172), (188, 98)], 14), 4)
    blue = hex_colour("3B98FF")
    return over(layer(tick, blue), layer(circle, blue))


def logo():
    """The product logo: a blue rounded badge with a white sparkle in a hexagon."""
    s = 1600
    ss = 2
    badge = rounded_rect(80, 80, 1520, 1520, 330)
    cov = coverage(s, s, badge, ss)
    xs, ys = np.meshgrid((np.arange(s) + 0.5) / s, (np.arange(s) + 0.5) / s)
    t = np.clip((xs + ys) / 2.0, 0, 1)[:, :, None]
    light, deep = hex_colour("58B8FF"), hex_colour("2459E8")
    img = np.zeros((s, s, 4), dtype=np.float32)
    img[:, :, :3] = light[:3] * (1 - t) + deep[:3] * t
    img[:, :, 3] = cov
    # A soft glow in the upper left of the badge.
    glow = np.clip(1 - np.sqrt((xs - 0.3) ** 2 + (ys - 0.25) ** 2) / 0.55, 0, 1) ** 2 * 0.22
    img[:, :, :3] = np.clip(img[:, :, :3] + glow[:, :, None], 0, 1)

    cx, cy = 800, 820
    hexagon = [(cx + 470 * np.cos(np.radians(a)), cy + 470 * np.sin(np.radians(a))) for a in range(-90, 270, 60)]
    hexagon_inner = [(cx + 390 * np.cos(np.radians(a)), cy + 390 * np.sin(np.radians(a))) for a in range(-90, 270, 60)]
    frame = minus(polygon(hexagon), polygon(hexagon_inner))

    def sparkle(px, py, r, x, y):
        # A four-pointed star with curved, concave sides.
        u, v = np.abs(x - px) / r, np.abs(y - py) / r
        return np.sqrt(u) + np.sqrt(v) <= 1.0

    star = lambda x, y: sparkle(cx, cy, 330, x, y)
    small = lambda x, y: sparkle(1180, 400, 120, x, y)
    white = hex_colour("FFFFFF")
    img = over(layer(coverage(s, s, frame, ss) * cov, white), img)
    img = over(layer(coverage(s, s, star, ss), white), img)
    img = over(layer(coverage(s, s, small, ss) * cov, hex_colour("FFFFFF", 0.92)), img)
    # A gap in the frame where the small sparkle crosses it.
    return img


def scaled_name(name):
    """quick_normal.png at 1x; quick_normal_150.png, quick_normal_200.png
    at 1.5x and 2x (the program picks the one drawn for its scale)."""
    if SCALE == 1.0:
        return name
    return "%s_%d.png" % (name[:-4], int(round(SCALE * 100)))


def scalable_images():
    """The images drawn at each scale. The logo and the check mark are
    drawn large once and reduced by the program; the title-bar buttons,
    arrows and switch belong to skins the program never shows."""
    save_rgba(scaled_name("window_background.png"), window_background())
    exit_button()
    save_rgba(scaled_name("banner.png"), banner())
    button_set("quick", 220, 50, 8, rgb_on_white=True)
    button_set("install", 230, 40, 4)
    button_set("run", 194, 40, 4)
    browse_button()
    folder_box()
    progress_ring()


def main():
    global SCALE
    os.makedirs(OUT, exist_ok=True)
    for SCALE in (1.5, 2.0, 1.0):
        scalable_images()
    title_buttons()
    save_rgba("check_mark.png", check_mark())
    logo_img = logo()
    save_rgba("logo_full.png", logo_img)  # 1600 x 1600, the source of the icon and the logo
    save_icon("app.ico", os.path.join(OUT, "logo_full.png"))
    # The window shows the logo at 120 px at most (240 at 2x): drawn at 240
    # it is decoded and reduced in a fraction of the time and memory that
    # 1600 px took at every start.
    with open(os.path.join(OUT, "logo.png"), "wb") as f:
        f.write(palette_png(reduced(os.path.join(OUT, "logo_full.png"), 240)))
    os.remove(os.path.join(OUT, "logo_full.png"))

    names = sorted(n for n in os.listdir(OUT) if n.endswith(".png"))
    recompress(names)
    with open(os.path.join(OUT, "skin.rc"), "w") as f:
        f.write("// Written by tools/make-skin.py: every skin image as a resource.\n")
        f.write('APP_ICON ICON "app.ico"\n')
        for n in names:
            f.write('%s RCDATA "%s"\n' % (n[:-4].upper(), n))
    print("skin: %d images in %s" % (len(names), OUT))
    return 0


if __name__ == "__main__":
    sys.exit(main())
