#!/usr/bin/python3
"""compare.py KAVLO.png READER.png KAVLO.svg READER.txt -- how a reader shows a Kavlo picture.

Prints one line: ink recall, mean colour error on shaded pixels, texts found verbatim.
- The two rasters are aligned on the box around their ink and scaled to the same size there, so
  a reader that pads the page or rounds its size is not blamed for it.
- Ink recall: the share of Kavlo's dark pixels that have a dark pixel within 2 px in the reader's
  picture.
- Colour error: the mean absolute channel difference (0-255) over Kavlo's shaded pixels (coloured,
  neither white nor grey, away from edges): a reader that paints every facet alike scores high.
- Texts: every <text> of Kavlo's SVG (each label, comment and header string) looked up in the
  text the reader put into its PDF (pdftotext -raw). pdftotext breaks turned text into lines: a
  line break may stand for a blank or for nothing; a blank between letters is a miss.
"""
import html
from collections import Counter
import re
import sys

import numpy as np
from PIL import Image

INK_LUMA = 128
NEAR = 2


def load(path):
    image = Image.open(path).convert("RGBA")
    white = Image.new("RGBA", image.size, (255, 255, 255, 255))
    return np.asarray(Image.alpha_composite(white, image).convert("RGB")).astype(np.int32)


def ink_box(rgb):
    ys, xs = np.nonzero(rgb.min(axis=2) < 200)
    return ys.min(), ys.max() + 1, xs.min(), xs.max() + 1


def crop_to_ink(rgb, size=None):
    top, bottom, left, right = ink_box(rgb)
    part = rgb[top:bottom, left:right].astype(np.uint8)
    if size is not None and part.shape[:2] != size:
        part = np.asarray(Image.fromarray(part).resize((size[1], size[0]), Image.BILINEAR))
    return part.astype(np.int32)


def luma(rgb):
    return (299 * rgb[..., 0] + 587 * rgb[..., 1] + 114 * rgb[..., 2]) // 1000


def grown(mask, steps):
    out = mask.copy()
    for _ in range(steps):
        step = out.copy()
        step[1:, :] |= out[:-1, :]
        step[:-1, :] |= out[1:, :]
        step[:, 1:] |= out[:, :-1]
        step[:, :-1] |= out[:, 1:]
        out = step
    return out


def shrunk(mask, steps):
    return ~grown(~mask, steps)


def texts_of(svg_path):
    with open(svg_path, encoding="utf-8") as f:
        svg = f.read()
    found = re.findall(r"<text[^>]*>(.*?)</text>", svg, re.S)
    return [t for t in (" ".join(html.unescape(x).split()) for x in found) if t]


def pattern_of(wanted):
    words = [r"\n?".join(re.escape(c) for c in word) for word in wanted.split(" ")]
    return r"[ \n]+".join(words)


def main(kavlo_png, reader_png, kavlo_svg, reader_text):
    ref = load(kavlo_png)
    ref = crop_to_ink(ref)
    got = crop_to_ink(load(reader_png), ref.shape[:2])

    ref_ink = luma(ref) < INK_LUMA
    got_ink = grown(luma(got) < INK_LUMA, NEAR)
    recall = (ref_ink & got_ink).sum() / max(1, ref_ink.sum())

    spread = ref.max(axis=2) - ref.min(axis=2)
    shaded = (spread >= 12) & (luma(ref) > 40) & (ref.min(axis=2) < 250)
    shaded = shrunk(shaded, 2)
    error = np.abs(ref - got).mean(axis=2)[shaded].mean() if shaded.any() else float("nan")

    with open(reader_text, encoding="utf-8", errors="replace") as f:
        text = re.sub(r"[ \t]+", " ", re.sub(r"[ \t]*\n[ \t]*", "\n", f.read()))
    wanted = texts_of(kavlo_svg)
    # A string the page shows k times must be found k times.
    missing = []
    for t, times in Counter(wanted).items():
        missing += [t] * max(0, times - len(re.findall(pattern_of(t), text)))
    print(f"{recall:.3f} {error:.1f} {len(wanted) - len(missing)}/{len(wanted)}")
    for t in missing:
        print(f"  missing: {t}", file=sys.stderr)


if __name__ == "__main__":
    main(*sys.argv[1:5])
