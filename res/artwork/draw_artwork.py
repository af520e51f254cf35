#!/usr/bin/env python3
"""Draws Lumaquill's icons and button pictures with ImageMagick.

The generated PNG files are committed beside this script, so building the
program never runs it. Run it again after changing a drawing:

    python3 res/artwork/draw_artwork.py

Needs ImageMagick's convert and the DejaVu fonts (fonts-dejavu-core).
Resource ids: icon 128 (32 x 32, window icon), icon 141 (232 x 71 banner),
bitmaps 142 and 143 (106 x 67, the Encode and Decode button pictures).
Each is also drawn at twice and three times its size (128@2x.png,
128@3x.png, ...), from the same drawing, for screens scaled by 2 or 3: Qt
picks the file that suits the device pixel ratio, and the pictures keep
their size in the dialogs.

The installed application icon (the menu entry, the package and the themed
window icon) is drawn once as SVG text and rendered from it into the hicolor
theme sizes under res/icons/hicolor/, named after the application id.
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
CONVERT = "/usr/bin/convert"
APP_ID = "io.github.lumaquill.Lumaquill"
HICOLOR_SIZES = (16, 24, 32, 48, 64, 128, 256)

NAVY = "#1d4a72"
SKY = "#9bd8ff"
HILL = "#3f9b45"
HILL_DARK = "#2e7a35"
SUN = "#ffcf33"
GOLD = "#f0ad1c"
GOLD_DARK = "#8a5a00"
STEEL_DARK = "#7d8995"
ARROW = "#2f8f3a"
ARROW_OUT = "#d9622b"


def landscape(x, y, w, h, border=2):
    """A framed picture: white mount, sky, sun and two hills."""
    ix, iy, iw, ih = x + border, y + border, w - 2 * border, h - 2 * border
    sun_r = max(2, ih // 6)
    return [
        f"fill white stroke #5a6b7a stroke-width 1 rectangle {x},{y} {x + w - 1},{y + h - 1}",
        f"stroke none fill {SKY} rectangle {ix},{iy} {ix + iw - 1},{iy + ih - 1}",
        f"fill {SUN} circle {ix + iw * 3 // 4},{iy + ih // 3} {ix + iw * 3 // 4 + sun_r},{iy + ih // 3}",
        f"fill {HILL_DARK} polygon {ix},{iy + ih - 1} {ix + iw * 2 // 5},{iy + ih * 2 // 5} "
        f"{ix + iw * 3 // 4},{iy + ih - 1}",
        f"fill {HILL} polygon {ix + iw // 4},{iy + ih - 1} {ix + iw * 2 // 3},{iy + ih // 2} "
        f"{ix + iw - 1},{iy + ih * 3 // 4} {ix + iw - 1},{iy + ih - 1}",
    ]


def padlock(x, y, w, open_shackle=False):
    """A padlock whose body is w wide; (x, y) is the body's top-left corner.
    The open lock has its shackle lifted out of the body on the right."""
    h = w * 4 // 5
    sw = max(2, w // 6)
    left, right = x + w // 5 + sw // 2, x + w - 1 - w // 5 - sw // 2
    r = (right - left) // 2
    lift = w // 4 if open_shackle else 0
    arc_y = y - w // 3 - lift
    kx, ky = x + w // 2, y + h * 2 // 5
    shackle = (f"fill none stroke {STEEL_DARK} stroke-width {sw} "
               f"ellipse {left + r},{arc_y} {r},{r} 180,360 "
               f"line {left},{arc_y} {left},{y + 1} "
               f"line {right},{arc_y} {right},{y + 1 - (lift + 2 if open_shackle else 0)}")
    body = (f"stroke {GOLD_DARK} stroke-width 1 fill {GOLD} roundrectangle {x},{y} {x + w - 1},{y + h - 1} 2,2 "
            f"stroke none fill {GOLD_DARK} circle {kx},{ky} {kx + max(1, w // 10)},{ky} "
            f"rectangle {kx - max(0, w // 20)},{ky} {kx + max(0, w // 20)},{ky + h // 3}")
    return [shackle, body]


def arrow(x0, x1, y, colour, thickness=7):
    """A fat arrow from x0 to x1 along y, head at x1."""
    head = thickness + 5
    t = thickness // 2
    return [
        f"stroke none fill {colour} polygon {x0},{y - t} {x1 - head},{y - t} {x1 - head},{y - head // 2 - 2} "
        f"{x1},{y} {x1 - head},{y + head // 2 + 2} {x1 - head},{y + t} {x0},{y + t}",
    ]


def label(text, x, y, size, colour, font=FONT_BOLD, gravity="NorthWest"):
    return ["-gravity", gravity, "-font", font, "-pointsize", str(size), "-fill", colour,
            "-annotate", f"+{x}+{y}", text]


# The scale of the picture being drawn: 1, or 2 and 3 for the @2x and @3x
# files. Drawings keep their 1x coordinates; render() scales them.
SCALE = [1]


def scaled_text(text, scale):
    """A label's arguments with its size and offset multiplied by scale."""
    args = list(text)
    size = args.index("-pointsize") + 1
    args[size] = str(float(args[size]) * scale)
    at = args.index("-annotate") + 1
    x, y = args[at].lstrip("+").split("+")
    args[at] = f"+{int(x) * scale}+{int(y) * scale}"
    return args


def render(path, width, height, background, drawing, texts=(), fmt="PNG24"):
    scale = SCALE[0]
    if scale != 1:
        root, ext = os.path.splitext(path)
        path = f"{root}@{scale}x{ext}"
        drawing = [f"scale {scale},{scale} {primitive}" for primitive in drawing]
        texts = [scaled_text(text, scale) for text in texts]
    args = [CONVERT, "-size", f"{width * scale}x{height * scale}", background]
    for primitive in drawing:
        args += ["-draw", primitive]
    for text in texts:
        args += text
    args += ["-strip", "-define", "png:exclude-chunks=date,time", f"{fmt}:{path}"]
    subprocess.run(args, check=True)


def app_icon(path):
    drawing = [f"stroke none fill {NAVY} roundrectangle 0,0 31,31 6,6"]
    drawing += landscape(4, 6, 19, 16, border=2)
    drawing += padlock(19, 20, 10)
    render(path, 32, 32, "xc:none", drawing, fmt="PNG32")


def banner(path):
    drawing = [
        "stroke #0f2c44 stroke-width 1 fill none rectangle 0,0 231,70",
    ]
    drawing += landscape(12, 10, 52, 42, border=3)
    drawing += padlock(44, 36, 26)
    texts = [
        label("Lumaquill", 76, 12, 25, "white"),
        label("pictures that keep a secret", 79, 48, 10, "#d4ecff", font=FONT),
    ]
    render(path, 232, 71, f"gradient:#12344f-#2b6f98", drawing, texts)


def encode_picture(path):
    drawing = ["stroke #9aa7b3 stroke-width 1 fill #f5f8fb roundrectangle 0,0 105,66 5,5"]
    drawing += padlock(9, 20, 20)
    drawing += arrow(32, 56, 25, ARROW)
    drawing += landscape(58, 6, 40, 34)
    texts = [label("Encode", 0, 44, 16, NAVY, gravity="North")]
    render(path, 106, 67, "xc:#e9eef3", drawing, texts)


def decode_picture(path):
    drawing = ["stroke #9aa7b3 stroke-width 1 fill #f5f8fb roundrectangle 0,0 105,66 5,5"]
    drawing += landscape(7, 6, 40, 34)
    drawing += arrow(49, 73, 25, ARROW_OUT)
    drawing += padlock(77, 20, 20, open_shackle=True)
    texts = [label("Decode", 0, 44, 16, NAVY, gravity="North")]
    render(path, 106, 67, "xc:#e9eef3", drawing, texts)


def theme_icon_svg(small=False):
    """The application icon on a 256 x 256 canvas: a framed landscape on a
    navy tile with a padlock in front, as icon 128. The small variant, for
    16 and 24 pixels, drops the sun and thickens the lines so the shapes
    survive the reduction."""
    line = 10 if small else 5
    shackle = 22 if small else 15
    sun = "" if small else f'  <circle cx="140" cy="92" r="16" fill="{SUN}" stroke="none"/>\n'
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">\n'
        '  <title>Lumaquill</title>\n'
        f'  <rect x="8" y="8" width="240" height="240" rx="44" ry="44" fill="{NAVY}" stroke="none"/>\n'
        f'  <rect x="32" y="48" width="152" height="128" rx="6" ry="6" fill="white" '
        f'stroke="#5a6b7a" stroke-width="{line}"/>\n'
        f'  <rect x="44" y="60" width="128" height="104" fill="{SKY}" stroke="none"/>\n'
        f'{sun}'
        f'  <polygon points="44,164 96,100 142,164" fill="{HILL_DARK}" stroke="none"/>\n'
        f'  <polygon points="78,164 130,110 172,136 172,164" fill="{HILL}" stroke="none"/>\n'
        f'  <path d="M 162,170 L 162,148 A 30,30 0 0 1 222,148 L 222,170" fill="none" '
        f'stroke="{STEEL_DARK}" stroke-width="{shackle}"/>\n'
        f'  <rect x="142" y="162" width="100" height="78" rx="10" ry="10" fill="{GOLD}" '
        f'stroke="{GOLD_DARK}" stroke-width="{line}"/>\n'
        f'  <circle cx="192" cy="192" r="10" fill="{GOLD_DARK}" stroke="none"/>\n'
        f'  <rect x="186" y="194" width="12" height="26" fill="{GOLD_DARK}" stroke="none"/>\n'
        '</svg>\n')


def render_svg(svg_path, size, path):
    """Renders the SVG four times too large and reduces it, which smooths
    the edges better than rendering at the final size."""
    density = 96 * 4 * size // 256
    subprocess.run([CONVERT, "-background", "none", "-density", str(density), svg_path,
                    "-resize", f"{size}x{size}", "-strip", "-define", "png:exclude-chunks=date,time",
                    f"PNG32:{path}"], check=True)


def theme_icons(out):
    """res/icons/hicolor/<size>x<size>/apps/<id>.png and scalable/apps/<id>.svg."""
    hicolor = os.path.join(out, "icons", "hicolor")
    scalable = os.path.join(hicolor, "scalable", "apps")
    os.makedirs(scalable, exist_ok=True)
    svg_path = os.path.join(scalable, APP_ID + ".svg")
    with open(svg_path, "w", encoding="utf-8") as svg:
        svg.write(theme_icon_svg())
    small_path = os.path.join(out, "icons", "hicolor", ".small.svg")
    with open(small_path, "w", encoding="utf-8") as svg:
        svg.write(theme_icon_svg(small=True))
    try:
        for size in HICOLOR_SIZES:
            folder = os.path.join(hicolor, f"{size}x{size}", "apps")
            os.makedirs(folder, exist_ok=True)
            render_svg(small_path if size <= 24 else svg_path, size, os.path.join(folder, APP_ID + ".png"))
    finally:
        os.remove(small_path)


def main():
    out = os.path.normpath(os.path.join(HERE, ".."))
    for folder in ("icons", "bitmaps"):
        os.makedirs(os.path.join(out, folder), exist_ok=True)
    app_icon(os.path.join(out, "icons", "128.png"))
    banner(os.path.join(out, "icons", "141.png"))
    encode_picture(os.path.join(out, "bitmaps", "142.png"))
    decode_picture(os.path.join(out, "bitmaps", "143.png"))
    draw_high_density(out)
    theme_icons(out)
    return 0


def draw_high_density(out):
    """The @2x and @3x files of the dialog artwork."""
    for scale in (2, 3):
        SCALE[0] = scale
        app_icon(os.path.join(out, "icons", "128.png"))
        banner(os.path.join(out, "icons", "141.png"))
        encode_picture(os.path.join(out, "bitmaps", "142.png"))
        decode_picture(os.path.join(out, "bitmaps", "143.png"))
    SCALE[0] = 1


if __name__ == "__main__":
    sys.exit(main())
