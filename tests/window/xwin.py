#!/usr/bin/python3
"""What the window tests and the window benchmark do through the X server:
close a window as a window manager does, compare its pixels with a screenshot of
the box, and time key presses until the screen shows them.

  xwin.py close WID [N]             send WM_DELETE_WINDOW (a client message), N times at once
  xwin.py compare WID PNG SCALE     the box screen area of the window against PNG
  xwin.py changed WID PNG SCALE     exit 0 when the area differs from PNG
  xwin.py latency WID SCALE N K1 K2 N presses (alternating keys) through XTEST:
                                    ms until the screen area changed, one per line
"""
import struct
import sys
import time
import zlib

from Xlib import X, XK, display
from Xlib.ext import xtest
from Xlib.protocol import event

SCREEN_W, SCREEN_H = 720, 576


def read_png(path):
    """RGB rows of an 8-bit PNG (palette, grey, RGB or RGBA; no interlace)."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, palette = 8, b"", None
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and interlace == 0, "only 8-bit, non-interlaced PNGs"
        elif kind == b"PLTE":
            palette = [body[i:i + 3] for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    bpp = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
    raw, stride, prev, rows = zlib.decompress(idat), w * bpp, bytearray(w * bpp), []
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], prev[i - bpp] if i >= bpp else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        if ctype == 3: rows.append(b"".join(palette[v] for v in line))
        elif ctype == 0: rows.append(bytes(v for v in line for _ in range(3)))
        else: rows.append(bytes(line[i + k] for i in range(0, stride, bpp) for k in range(3)))
    return w, h, rows


def grab(d, wid, scale):
    """The box screen area of the window as RGB rows, one box pixel per pixel, or
    None when the scaled pixels of one box pixel disagree."""
    win = d.create_resource_object("window", wid)
    img = win.get_image(0, 0, SCREEN_W * scale, SCREEN_H * scale, X.ZPixmap, 0xffffffff)
    data, stride = img.data, SCREEN_W * scale * 4
    rows = []
    for y in range(SCREEN_H):
        line = data[y * scale * stride:(y * scale + 1) * stride]
        rows.append(bytes(line[x * scale * 4 + k] for x in range(SCREEN_W) for k in (2, 1, 0)))
    return rows


def differing(a, b):
    return sum(1 for y in range(SCREEN_H) for x in range(0, SCREEN_W * 3, 3) if a[y][x:x + 3] != b[y][x:x + 3])


def main():
    d = display.Display()
    cmd, wid = sys.argv[1], int(sys.argv[2], 0)
    if cmd == "close":
        win = d.create_resource_object("window", wid)
        protocols, delete = d.intern_atom("WM_PROTOCOLS"), d.intern_atom("WM_DELETE_WINDOW")
        ev = event.ClientMessage(window=win, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        for _ in range(int(sys.argv[3]) if len(sys.argv) > 3 else 1):
            win.send_event(ev, event_mask=X.NoEventMask)
        d.flush()
        return 0
    if cmd in ("compare", "changed"):
        w, h, png = read_png(sys.argv[3])
        assert (w, h) == (SCREEN_W, SCREEN_H), "screenshot of %dx%d" % (w, h)
        scale = int(sys.argv[4])
        # The window presents a frame a little after the framebuffer holds it (seconds
        # on an emulated processor), so the area is read again until it matches.
        end = time.monotonic() + 10
        while True:
            shown = grab(d, wid, scale)
            # Every window pixel of a box pixel must show that box pixel.
            win = d.create_resource_object("window", wid)
            img = win.get_image(0, 0, SCREEN_W * scale, SCREEN_H * scale, X.ZPixmap, 0xffffffff).data
            bad_scaling = 0
            for y in range(0, SCREEN_H * scale, max(1, scale * 7)):
                for x in range(0, SCREEN_W * scale):
                    o, ref = (y * SCREEN_W * scale + x) * 4, ((y // scale * scale) * SCREEN_W * scale + x // scale * scale) * 4
                    if img[o:o + 3] != img[ref:ref + 3]:
                        bad_scaling += 1
            n = differing(shown, png)
            ok = n == 0 and bad_scaling == 0 if cmd == "compare" else n > 0
            if ok or time.monotonic() > end:
                break
            time.sleep(0.2)
        print("differing pixels: %d of %d; scaling faults: %d" % (n, SCREEN_W * SCREEN_H, bad_scaling))
        return 0 if ok else 1
    if cmd == "latency":
        scale, n, keys = int(sys.argv[3]), int(sys.argv[4]), sys.argv[5:7]
        win = d.create_resource_object("window", wid)
        win.set_input_focus(X.RevertToParent, X.CurrentTime)
        d.sync()

        def area():
            return win.get_image(0, 0, SCREEN_W * scale, SCREEN_H * scale, X.ZPixmap, 0xffffffff).data
        before = area()
        for i in range(n):
            code = d.keysym_to_keycode(XK.string_to_keysym(keys[i % 2]))
            t0 = time.monotonic()
            xtest.fake_input(d, X.KeyPress, code)
            xtest.fake_input(d, X.KeyRelease, code)
            d.sync()
            while True:
                now = area()
                if now != before:
                    break
                if time.monotonic() - t0 > 5:
                    print("timeout")
                    return 1
            print("%.2f" % ((time.monotonic() - t0) * 1000))
            before = now
            time.sleep(0.03)
        return 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
