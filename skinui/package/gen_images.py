#!/usr/bin/env python3
"""Draws the skin's PNG images and the program icon (.ico) with the standard library only.

Usage: gen_images.py OUTDIR
Shapes are rendered with 4x4 supersampling; parts that sit on the magenta mask colour
(#FF00FF, made transparent when the skin loads them) are drawn without smoothing so that no
pink fringe survives the mask.
"""
import math
import os
import struct
import sys
import zlib

SS = 4  # samples per pixel side for smooth shapes


class Image:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(fill) for _ in range(w * h)]

    def put(self, x, y, rgba):
        """Plain write (no blending)."""
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = list(rgba)

    def blend(self, x, y, rgb, a):
        """Source-over with coverage/opacity a in 0..1."""
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        d = self.px[y * self.w + x]
        da = d[3] / 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        out = [(rgb[i] * a + d[i] * da * (1 - a)) / oa for i in range(3)]
        self.px[y * self.w + x] = [int(round(c)) for c in out] + [int(round(oa * 255))]

    def fill_rect(self, x0, y0, x1, y1, rgba):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.put(x, y, rgba)

    def shape(self, inside, box, rgb, opacity=1.0):
        """Smooth fill of the region where inside(x, y) holds (x, y in pixel units)."""
        x0, y0, x1, y1 = box
        for y in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)))):
            for x in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)))):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self.blend(x, y, rgb, opacity * hits / (SS * SS))

    def crisp(self, inside, rgba):
        """Hard-edged fill: a pixel is set when its centre is inside."""
        for y in range(self.h):
            for x in range(self.w):
                if inside(x + 0.5, y + 0.5):
                    self.put(x, y, rgba)

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.put(ox + x, oy + y, other.px[y * other.w + x])

    def png(self):
        raw = bytearray()
        for y in range(self.h):
            raw.append(0)
            for x in range(self.w):
                raw.extend(bytes(self.px[y * self.w + x]))

        def chunk(kind, data):
            c = struct.pack(">I", len(data)) + kind + data
            return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

        ihdr = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# ---- geometry helpers -------------------------------------------------------------------

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def seg_dist(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def polyline(points, width):
    half = width / 2.0
    segs = list(zip(points, points[1:]))

    def inside(x, y):
        return any(seg_dist(x, y, a[0], a[1], b[0], b[1]) <= half for a, b in segs)
    return inside


def triangle(p0, p1, p2):
    def sign(ax, ay, bx, by, cx, cy):
        return (ax - cx) * (by - cy) - (bx - cx) * (ay - cy)

    def inside(x, y):
        d1 = sign(x, y, p0[0], p0[1], p1[0], p1[1])
        d2 = sign(x, y, p1[0], p1[1], p2[0], p2[1])
        d3 = sign(x, y, p2[0], p2[1], p0[0], p0[1])
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)
    return inside


def bbox(points, pad):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


MAGENTA = (255, 0, 255, 255)
WHITE = (255, 255, 255)

# ---- the images ---------------------------------------------------------------------------

def program_icon(size):
    """A blue tile with a white disk drive and a check mark above it: "a clean disk"."""
    img = Image(size, size)
    s = size / 256.0
    small = size <= 20
    top, bottom = (60, 140, 230), (26, 88, 170)
    # Vertical gradient tile, drawn row by row through the rounded mask.
    tile = rounded_rect(8 * s, 8 * s, 248 * s, 248 * s, 44 * s)
    for y in range(size):
        t = y / max(1, size - 1)
        col = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
        img.shape(tile, (0, y, size, y + 1), col)
    # Disk drive body.
    img.shape(rounded_rect(40 * s, 150 * s, 216 * s, 214 * s, 14 * s),
              (0, 0, size, size), WHITE)
    if not small:
        img.shape(rounded_rect(60 * s, 178 * s, 150 * s, 186 * s, 3 * s), (0, 0, size, size),
                  (150, 170, 195))
    img.shape(circle(188 * s, 182 * s, (12 if small else 10) * s), (0, 0, size, size),
              (70, 200, 90))
    # Check mark: thicker at small sizes so it still reads at 16 px.
    pts = [(62 * s, 86 * s), (106 * s, 124 * s), (196 * s, 40 * s)]
    w = (40 if small else 30) * s
    img.shape(polyline(pts, w), bbox(pts, w), WHITE)
    return img


def button_faces():
    img = Image(222, 26)
    states = [((246, 247, 248), (180, 180, 180)),   # normal
              ((232, 241, 251), (126, 180, 234)),   # hot
              ((213, 230, 247), (86, 157, 229))]    # pushed
    for i, (fill, border) in enumerate(states):
        ox = i * 74
        img.shape(rounded_rect(ox + 0.5, 0.5, ox + 73.5, 25.5, 3), (ox, 0, ox + 74, 26), border)
        img.shape(rounded_rect(ox + 1.5, 1.5, ox + 72.5, 24.5, 2), (ox, 0, ox + 74, 26), fill)
    return img


def close_button():
    img = Image(64, 22)
    # State 0 (hot and pushed): red square with a white cross.
    img.fill_rect(0, 0, 32, 22, (232, 17, 35, 255))
    for ox, col in ((0, WHITE), (32, (90, 95, 99))):
        cx, cy = ox + 16, 11
        for a, b in (((cx - 5, cy - 5), (cx + 5, cy + 5)), ((cx - 5, cy + 5), (cx + 5, cy - 5))):
            img.shape(polyline([a, b], 1.6), bbox([a, b], 2), col)
    return img


def check_boxes():
    img = Image(64, 16)
    check = [(4.0, 8.2), (6.8, 11.0), (12.0, 5.0)]
    for i in range(4):
        ox = i * 16
        checked = i >= 2
        hot = i % 2 == 1
        if checked:
            border = (47, 125, 193) if not hot else (60, 143, 216)
            fill = border
        else:
            border = (143, 143, 143) if not hot else (60, 127, 177)
            fill = (255, 255, 255) if not hot else (234, 243, 252)
        img.fill_rect(ox + 1, 1, ox + 15, 15, border + (255,))
        img.fill_rect(ox + 2, 2, ox + 14, 14, fill + (255,))
        if checked:
            pts = [(ox + x, y) for x, y in check]
            img.shape(polyline(pts, 1.9), bbox(pts, 2), WHITE)
    return img


def radio_buttons():
    img = Image(63, 16)
    for i in range(4):
        ox = i * 16
        if ox + 16 > 63:
            break
        img.shape(circle(ox + 8, 8, 6.5), (ox, 0, ox + 16, 16), (143, 143, 143))
        img.shape(circle(ox + 8, 8, 5.5), (ox, 0, ox + 16, 16), WHITE)
        if i >= 2:
            img.shape(circle(ox + 8, 8, 3), (ox, 0, ox + 16, 16), (47, 125, 193))
    return img


def combo_faces():
    img = Image(429, 26)
    states = [((255, 255, 255), (180, 180, 180), (96, 96, 96), (255, 255, 255)),
              ((255, 255, 255), (126, 180, 234), (40, 90, 150), (232, 241, 251)),
              ((240, 240, 240), (200, 200, 200), (170, 170, 170), (240, 240, 240))]
    for i, (fill, border, arrow, arrowbk) in enumerate(states):
        ox = i * 143
        img.fill_rect(ox, 0, ox + 143, 26, border + (255,))
        img.fill_rect(ox + 1, 1, ox + 142, 25, fill + (255,))
        img.fill_rect(ox + 125, 1, ox + 142, 25, arrowbk + (255,))
        img.fill_rect(ox + 125, 4, ox + 126, 22, (215, 215, 215, 255))
        cx = ox + 125 + 8.5
        img.shape(triangle((cx - 4.5, 10.5), (cx + 4.5, 10.5), (cx, 15.5)),
                  (cx - 6, 9, cx + 6, 17), arrow)
    return img


def sort_icons():
    img = Image(18, 7)
    col = (128, 128, 128)
    img.shape(triangle((0.5, 6.5), (8.5, 6.5), (4.5, 0.5)), (0, 0, 9, 7), col)   # ascending
    img.shape(triangle((9.5, 0.5), (17.5, 0.5), (13.5, 6.5)), (9, 0, 18, 7), col)  # descending
    return img


def msgbox_icons():
    img = Image(128, 32)
    full = (0, 0, 128, 32)
    # 0: warning triangle with "!".
    img.shape(triangle((16, 2), (30.5, 29), (1.5, 29)), (0, 0, 32, 32), (245, 180, 30))
    img.shape(polyline([(16, 10), (16, 19)], 3.2), (12, 6, 20, 22), WHITE)
    img.shape(circle(16, 24, 1.9), (12, 20, 20, 28), WHITE)
    # 1: information, blue disc with "i".
    img.shape(circle(48, 16, 14.5), full, (47, 125, 193))
    img.shape(circle(48, 9, 2.1), full, WHITE)
    img.shape(polyline([(48, 14), (48, 24)], 3.4), full, WHITE)
    # 2: question, blue disc with "?".
    img.shape(circle(80, 16, 14.5), full, (47, 125, 193))

    def hook(x, y):
        d = math.hypot(x - 80, y - 12)
        ang = math.degrees(math.atan2(y - 12, x - 80))
        return 3.6 <= d <= 6.8 and not (60 < ang < 150)
    img.shape(hook, (70, 3, 90, 22), WHITE)
    img.shape(polyline([(81.5, 17.5), (80, 19.5), (80, 20.5)], 3.2), full, WHITE)
    img.shape(circle(80, 24.5, 1.9), full, WHITE)
    # 3: error, red disc with a cross.
    img.shape(circle(112, 16, 14.5), full, (214, 48, 49))
    for a, b in (((106, 10), (118, 22)), ((106, 22), (118, 10))):
        img.shape(polyline([a, b], 3.2), bbox([a, b], 2), WHITE)
    return img


def shadow():
    img = Image(246, 173)
    x0, y0, x1, y1 = 23, 13, 223, 140  # the window's rectangle inside the shadow
    for y in range(img.h):
        for x in range(img.w):
            dx = max(x0 - x, 0, x - x1)
            dy = max(y0 - y, 0, y - y1)
            d = math.hypot(dx, dy)
            a = max(0.0, 1.0 - d / 16.0) ** 2 * 0.30
            if a > 0:
                img.put(x, y, (0, 0, 0, int(round(a * 255))))
    return img


def vscroll_button(up):
    img = Image(32, 18, MAGENTA)
    for state in range(2):
        ox = state * 16
        if state == 1:
            img.crisp(rounded_rect(ox + 1, 1, ox + 15, 17, 2), (218, 218, 218, 255))
        col = (136, 136, 136, 255) if state == 0 else (80, 80, 80, 255)
        cx = ox + 8
        if up:
            tri = triangle((cx - 4, 11.5), (cx + 4, 11.5), (cx, 6.5))
        else:
            tri = triangle((cx - 4, 6.5), (cx + 4, 6.5), (cx, 11.5))
        img.crisp(tri, col)
    return img


def vscroll_thumb():
    img = Image(32, 63, MAGENTA)
    for state, col in ((0, (200, 200, 200, 255)), (1, (168, 168, 168, 255))):
        ox = state * 16
        img.crisp(rounded_rect(ox + 3, 1, ox + 13, 62, 2), col)
    return img


def hscroll_thumb():
    img = Image(63, 32, MAGENTA)
    for state, col in ((0, (200, 200, 200, 255)), (1, (168, 168, 168, 255))):
        oy = state * 16
        img.crisp(rounded_rect(1, oy + 3, 62, oy + 13, 2), col)
    return img


def vscroll_rail():
    img = Image(32, 16, MAGENTA)
    for state, col in ((0, (140, 140, 140, 255)), (1, (110, 110, 110, 255))):
        ox = state * 16
        for y in (5, 8, 11):
            img.fill_rect(ox + 5, y, ox + 11, y + 1, col)
    return img


def vscroll_back():
    img = Image(16, 32, (240, 240, 240, 255))
    img.fill_rect(0, 0, 1, 32, (227, 227, 227, 255))
    return img


# ---- icon file ----------------------------------------------------------------------------

def ico(images):
    """An .ico with 32-bit DIB entries, except 256 px which is stored as PNG."""
    entries, blobs = [], []
    for img in images:
        if img.w >= 256:
            blob = img.png()
        else:
            rows = bytearray()
            for y in reversed(range(img.h)):  # DIBs are bottom-up
                for x in range(img.w):
                    r, g, b, a = img.px[y * img.w + x]
                    rows.extend((b, g, r, a))
            mask_stride = ((img.w + 31) // 32) * 4
            mask = bytearray()
            for y in reversed(range(img.h)):
                row = bytearray(mask_stride)
                for x in range(img.w):
                    if img.px[y * img.w + x][3] == 0:
                        row[x // 8] |= 0x80 >> (x % 8)
                mask.extend(row)
            header = struct.pack("<IiiHHIIiiII", 40, img.w, img.h * 2, 1, 32, 0,
                                 len(rows) + len(mask), 0, 0, 0, 0)
            blob = header + bytes(rows) + bytes(mask)
        entries.append(img)
        blobs.append(blob)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, blob in zip(entries, blobs):
        dim = 0 if img.w >= 256 else img.w
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    images = {
        "tarnwell.png": program_icon(256),
        "Default_Btn.png": button_faces(),
        "Default_BtnCloseGrey.png": close_button(),
        "Default_Checkbox.png": check_boxes(),
        "Default_ComboBox.png": combo_faces(),
        "Default_RadioBtn.png": radio_buttons(),
        "Default_ListSortIcon.png": sort_icons(),
        "MsgBoxIcon.png": msgbox_icons(),
        "Default_Shadow.png": shadow(),
        "VListScrollBarBtn1.png": vscroll_button(True),
        "VListScrollBarBtn2.png": vscroll_button(False),
        "VListScrollBarThumb.png": vscroll_thumb(),
        "VListScrollBarRail.png": vscroll_rail(),
        "VListScrollBarBk.png": vscroll_back(),
        "HListScrollBarThumb.png": hscroll_thumb(),
    }
    for name, img in images.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(img.png())
    with open(os.path.join(out, "tarnwell.ico"), "wb") as f:
        f.write(ico([program_icon(n) for n in (16, 32, 48, 256)]))


if __name__ == "__main__":
    main()
