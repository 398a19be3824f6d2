#!/usr/bin/env python3
"""Draws the skin's images: window-button glyphs, device icons, battery and
link marks, check and combo glyphs, the main window's backgrounds and the
application icon.

Standard library only: shapes are inside-tests on points, each pixel takes the
coverage of 4x4 samples, and the result is written as an RGBA PNG with zlib.
Run from anywhere; it rewrites the files below skin/ and packaging/.
"""

import math
import os
import struct
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SKIN = os.path.join(ROOT, "skin")
SAMPLES = 4

# The skin's palette (keep in step with skin/style.qss).
GLYPH = (0xC9, 0xCE, 0xD6)
DIM = (0x7C, 0x85, 0x94)
KEYCAP = (0x4A, 0x51, 0x5E)
ACCENT = (0x00, 0xB4, 0xFF)
ACCENT_LIGHT = (0x8A, 0xDD, 0xFF)
PANEL = (0x1F, 0x23, 0x2B)
BACKGROUND = (0x15, 0x17, 0x1C)
GOOD = (0x3D, 0xD6, 0x8C)
WARN = (0xFF, 0xB0, 0x20)
SYNC = (0xB0, 0x7C, 0xFF)


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, inside, color, alpha=1.0, box=None):
        """Paints `color` where `inside(x, y)` holds, antialiased."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        x1, y1 = min(self.width, int(math.ceil(x1)) + 1), min(self.height, int(math.ceil(y1)) + 1)
        step = 1.0 / SAMPLES
        offsets = [(i + 0.5) * step for i in range(SAMPLES)]
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = sum(1 for oy in offsets for ox in offsets if inside(px + ox, py + oy))
                if hits:
                    self.blend(px, py, color, alpha * hits / (SAMPLES * SAMPLES))

    def blend(self, px, py, color, alpha):
        p = self.pixels[py * self.width + px]
        out = alpha + p[3] * (1 - alpha)
        for c in range(3):
            p[c] = (color[c] / 255 * alpha + p[c] * p[3] * (1 - alpha)) / out
        p[3] = out

    def save(self, relative, root=SKIN):
        path = os.path.join(root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        rows = bytearray()
        for y in range(self.height):
            rows.append(0)
            for p in self.pixels[y * self.width:(y + 1) * self.width]:
                rows.extend(round(v * 255) for v in p)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as out:
            out.write(png)


# Shapes: functions of a point.

def rect(x0, y0, x1, y1, radius=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, width):
    return lambda x, y: (r - width / 2) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= (r + width / 2) ** 2


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = min(1.0, max(0.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= width * width / 4
    return inside


def polyline(points, width):
    return union(*(segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)))


def polygon(points):
    def inside(x, y):
        hit = False
        for i, (ax, ay) in enumerate(points):
            bx, by = points[i - 1]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                hit = not hit
        return hit
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def both(*shapes):
    return lambda x, y: all(s(x, y) for s in shapes)


def minus(shape, *holes):
    return lambda x, y: shape(x, y) and not any(h(x, y) for h in holes)


def outline_rect(x0, y0, x1, y1, width, radius=0.0):
    inner = max(0.0, radius - width)
    return minus(rect(x0, y0, x1, y1, radius), rect(x0 + width, y0 + width, x1 - width, y1 - width, inner))


def arc(cx, cy, r, width, start, end):
    """A ring from angle `start` to `end` (degrees, clockwise on screen from the right)."""
    def inside(x, y):
        if not ring(cx, cy, r, width)(x, y):
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (angle - start) % 360 <= (end - start) % 360
    return inside


# Glyphs of the title bar (32 x 32, drawn in the middle 16 x 16).

STROKE = 1.6


def title_glyphs():
    glyphs = {
        "min": segment(10, 16.5, 22, 16.5, STROKE),
        "max": outline_rect(10, 10, 22, 22, STROKE, 1.5),
        "restore": union(outline_rect(9, 13, 19, 23, STROKE, 1.2),
                         minus(outline_rect(13, 9, 23, 19, STROKE, 1.2), rect(9, 13, 19, 23))),
        "close": union(segment(10.5, 10.5, 21.5, 21.5, STROKE), segment(21.5, 10.5, 10.5, 21.5, STROKE)),
        "skin": union(minus(circle(16, 16, 7.5), circle(16, 16, 5.9), circle(20.5, 20.5, 3.2)),
                      circle(12.5, 14, 1.3), circle(16, 11.5, 1.3), circle(19.6, 14, 1.3)),
        "gamemode": union(minus(rect(7, 11, 25, 22, 5), rect(8.6, 12.6, 23.4, 20.4, 3.6)),
                          segment(10.5, 16.5, 14.5, 16.5, STROKE), segment(12.5, 14.5, 12.5, 18.5, STROKE),
                          circle(19, 15.3, 1.2), circle(21.3, 17.7, 1.2)),
        "cloud": minus(union(circle(12.5, 18, 4.5), circle(17.5, 14.5, 5.5), circle(21.5, 18.5, 4), rect(12.5, 17, 21.5, 22.5)),
                       union(circle(12.5, 18, 2.9), circle(17.5, 14.5, 3.9), circle(21.5, 18.5, 2.4), rect(12.5, 17, 21.5, 20.9))),
        "smarteyes": union(minus(both(circle(16, 25, 12), circle(16, 7, 12)),
                                 both(circle(16, 26.6, 12), circle(16, 5.4, 12))),
                           minus(circle(16, 16, 3.4), circle(16, 16, 1.7))),
        "settings": minus(union(circle(16, 16, 5.6), *gear_teeth(16, 16, 5, 7.8, 8)), circle(16, 16, 2.4)),
    }
    for name, shape in glyphs.items():
        canvas = Canvas(32, 32)
        canvas.fill(shape, GLYPH)
        canvas.save(f"common/titlebar/{name}.png")


def gear_teeth(cx, cy, inner, outer, count):
    teeth = []
    for i in range(count):
        a = 2 * math.pi * i / count
        teeth.append(segment(cx + inner * math.cos(a), cy + inner * math.sin(a),
                             cx + outer * math.cos(a), cy + outer * math.sin(a), 2.6))
    return teeth


# Device icons (92 x 56, the size of a selector entry's picture).

def keyboard(canvas, body, columns, rows, gap_after, keys_color, body_color):
    x0, y0, x1, y1 = body
    canvas.fill(outline_rect(x0, y0, x1, y1, 1.6, 4), body_color, box=body)
    pitch_x = (x1 - x0 - 6) / columns
    pitch_y = (y1 - y0 - 6) / rows
    for row in range(rows):
        for col in range(columns):
            if col in gap_after:
                continue
            kx = x0 + 3 + col * pitch_x
            ky = y0 + 3 + row * pitch_y
            width = pitch_x * (5 if row == rows - 1 and col == columns // 3 else 1)
            if row == rows - 1 and columns // 3 < col < columns // 3 + 5:
                continue  # under the space bar
            box = (kx + 0.6, ky + 0.6, kx + width - 0.6, ky + pitch_y - 0.6)
            canvas.fill(rect(*box, 0.8), keys_color, box=box)


KEYBOARDS = {
    # folder: (body, columns, rows, empty columns): full size, tenkeyless, compact
    "KX310": ((8, 13, 84, 43), 19, 5, {15}),
    "KX320": ((13, 13, 79, 43), 16, 5, {}),
    "KX330": ((18, 13, 74, 43), 14, 5, {}),
}


def device_icons():
    for folder, (body, columns, rows, gaps) in KEYBOARDS.items():
        for state, keys, frame in (("normal", KEYCAP, DIM), ("selected", ACCENT, ACCENT_LIGHT)):
            canvas = Canvas(92, 56)
            keyboard(canvas, body, columns, rows, gaps, keys, frame)
            canvas.save(f"common/device_ico/{folder}/kb_device_{state}.png")
    for state, color in (("normal", DIM), ("selected", ACCENT)):
        canvas = Canvas(92, 56)
        canvas.fill(usb_mark(46, 28, 1.0), color)
        canvas.save(f"common/device_ico/unknow_device_{state}.png")
        canvas.fill(circle(66, 14, 9), BACKGROUND)
        canvas.fill(sync_mark(66, 14, 6.5, 1.6), SYNC)
        canvas.save(f"common/device_ico/unknow_device_synchro_{state}.png")


def usb_mark(cx, cy, s):
    """The USB trident: a stem with a plug dot, a round and a square branch."""
    return union(
        segment(cx, cy - 17 * s, cx, cy + 14 * s, 2.4 * s),
        polygon([(cx, cy - 22 * s), (cx - 4.5 * s, cy - 15 * s), (cx + 4.5 * s, cy - 15 * s)]),
        circle(cx, cy + 16 * s, 4 * s),
        polyline([(cx, cy + 7 * s), (cx - 10 * s, cy), (cx - 10 * s, cy - 5 * s)], 2.4 * s),
        circle(cx - 10 * s, cy - 7 * s, 3.2 * s),
        polyline([(cx, cy + 3 * s), (cx + 10 * s, cy - 3 * s), (cx + 10 * s, cy - 8 * s)], 2.4 * s),
        rect(cx + 7 * s, cy - 13 * s, cx + 13 * s, cy - 7.5 * s),
    )


def sync_mark(cx, cy, r, width):
    """Two arrows chasing each other round a circle."""
    head = r * 0.55
    return union(
        arc(cx, cy, r, width, 200, 340),
        arc(cx, cy, r, width, 20, 160),
        polygon([(cx + r - head, cy - head * 0.2), (cx + r + head, cy - head * 0.2), (cx + r, cy + head * 0.9)]),
        polygon([(cx - r - head, cy + head * 0.2), (cx - r + head, cy + head * 0.2), (cx - r, cy - head * 0.9)]),
    )


def synchro_checks():
    normal = Canvas(18, 18)
    normal.fill(ring(9, 9, 8, 1.2), DIM)
    normal.fill(sync_mark(9, 9, 4.2, 1.3), DIM)
    normal.save("common/synchro_check_normal.png")
    selected = Canvas(18, 18)
    selected.fill(circle(9, 9, 8.6), SYNC)
    selected.fill(sync_mark(9, 9, 4.2, 1.4), BACKGROUND)
    selected.save("common/synchro_check_selected.png")


# Battery indicator parts.

def battery(fill=None, bolt=False):
    canvas = Canvas(16, 16)
    canvas.fill(outline_rect(1, 4, 13, 12, 1.2, 1.5), GLYPH)
    canvas.fill(rect(13.2, 6.5, 15, 9.5, 0.6), GLYPH)
    if fill:
        width, color = fill
        canvas.fill(rect(2.8, 5.8, 2.8 + 8.4 * width, 10.2, 0.5), color)
    if bolt:
        canvas.fill(polygon([(8.2, 3), (3.8, 8.6), (7, 8.6), (5.8, 13), (10.2, 7.4), (7, 7.4)]), WARN)
    return canvas


def power_images():
    battery(fill=(0.55, GLYPH)).save("power/powered.png")
    battery(bolt=True).save("power/powering.png")
    battery(fill=(1.0, GOOD)).save("power/power.png")
    wireless = Canvas(16, 16)
    wireless.fill(union(circle(8, 13, 1.6), arc(8, 13, 5, 1.5, 225, 315), arc(8, 13, 9, 1.5, 225, 315)), ACCENT)
    wireless.save("power/wuxian_logo.png")
    back = Canvas(36, 12)
    back.fill(rect(0, 2, 36, 10, 3), PANEL)
    back.save("power/progress_back.png")
    fore = Canvas(36, 12)
    fore.fill(rect(0, 2, 36, 10, 3), GOOD)
    fore.save("power/progress_fore.png")
    phone = outline_rect(4, 1, 12, 15, 1.2, 2)
    marks = {
        "no_device": segment(2.5, 14, 13.5, 2, 1.3),
        "iphone": ring(8, 12.6, 0.9, 0.9),
        "samsung": segment(6.5, 3, 9.5, 3, 1.0),
        "other": union(circle(6, 8, 0.8), circle(8, 8, 0.8), circle(10, 8, 0.8)),
    }
    for name, mark in marks.items():
        canvas = Canvas(16, 16)
        canvas.fill(minus(phone, segment(2.5, 14, 13.5, 2, 3.2)) if name == "no_device" else phone, DIM)
        canvas.fill(mark, DIM if name == "no_device" else GLYPH)
        canvas.save(f"power/Phone_type_{name}.png")


# Style sheet glyphs.

def style_glyphs():
    check = Canvas(14, 14)
    check.fill(polyline([(3, 7.2), (5.8, 10), (11, 4)], 1.9), BACKGROUND)
    check.save("common/check_mark.png")
    arrow = Canvas(10, 6)
    arrow.fill(polyline([(1.5, 1.2), (5, 4.6), (8.5, 1.2)], 1.5), GLYPH)
    arrow.save("common/combo_arrow.png")


# The application's emblem: a hexagon ring round a lightning bolt.

def emblem(size):
    canvas = Canvas(size, size)
    s = size / 64.0

    def hexagon(r):
        return polygon([(32 * s + r * s * math.cos(math.radians(90 + 60 * i)),
                         32 * s + r * s * math.sin(math.radians(90 + 60 * i))) for i in range(6)])

    canvas.fill(rect(1 * s, 1 * s, 63 * s, 63 * s, 14 * s), PANEL)
    canvas.fill(minus(hexagon(27), hexagon(22)), ACCENT)
    bolt = [(35, 12), (19, 35), (30, 35), (27, 52), (45, 28), (34, 28), (38, 12)]
    canvas.fill(polygon([(x * s, y * s) for x, y in bolt]), (0xFF, 0xFF, 0xFF))
    return canvas


def shaded(width, height, shade):
    """A canvas whose every pixel is `shade(u, v)` for u, v in 0..1."""
    canvas = Canvas(width, height)
    for y in range(height):
        for x in range(width):
            r, g, b = shade((x + 0.5) / width, (y + 0.5) / height)
            canvas.pixels[y * width + x] = [r / 255, g / 255, b / 255, 1.0]
    return canvas


def glow(base, color, cx, cy, radius, strength):
    """`base` lit by a soft light of `color` around (cx, cy)."""
    def shade(u, v):
        d = math.hypot((u - cx) * 1.4, v - cy) / radius
        k = strength * max(0.0, 1.0 - d) ** 2
        return tuple(base[c] + (color[c] - base[c]) * k for c in range(3))
    return shade


def streaks(base, color):
    """Faint diagonal lines over `base`, in the manner of woven carbon."""
    def shade(u, v):
        k = 0.06 if int((u * 280 + v * 200) / 4) % 2 else 0.0
        return tuple(base[c] + (color[c] - base[c]) * k for c in range(3))
    return shade


def seven_colours():
    """The colour preview's mark for the seven-colour cycle: the hues in bands."""
    def shade(u, v):
        h = u * 6
        sector, f = int(h) % 6, h - int(h)
        ramps = [(1, f, 0), (1 - f, 1, 0), (0, 1, f), (0, 1 - f, 1), (f, 0, 1), (1, 0, 1 - f)]
        return tuple(255 * c for c in ramps[sector])
    shaded(48, 24, shade).save("common/base1.png")


def backgrounds():
    """The main window's backgrounds (stretched to the window) and their
    thumbnails for the skin frame; "common/background.png" is the plain one a
    reset returns to."""
    shaded(8, 8, lambda u, v: BACKGROUND).save("common/background.png")
    choices = {
        "aurora": glow(BACKGROUND, ACCENT, 0.15, 0.1, 0.9, 0.35),
        "ember": glow(BACKGROUND, WARN, 0.85, 0.9, 0.9, 0.3),
        "violet": glow(BACKGROUND, SYNC, 0.5, 0.0, 0.8, 0.3),
        "carbon": streaks(BACKGROUND, GLYPH),
    }
    for name, shade in choices.items():
        shaded(280, 200, shade).save("backgrounds/%s.png" % name)
        shaded(72, 52, shade).save("backgrounds/%s_thumb.png" % name)


def main():
    title_glyphs()
    device_icons()
    synchro_checks()
    power_images()
    style_glyphs()
    backgrounds()
    seven_colours()
    emblem(28).save("common/logo.png")
    emblem(64).save("common/app_icon.png")
    emblem(256).save("brontal-driver.png", root=os.path.join(ROOT, "packaging"))


if __name__ == "__main__":
    main()
