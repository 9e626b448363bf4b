#!/usr/bin/python3
"""compare.py KAVLO.png READER.png KAVLO.svg READER.txt -- how a reader shows a Kavlo picture.

Prints one line: ink recall, mean colour error on shaded pixels, texts found verbatim.
- Both rasters are of the picture at its own size and the same resolution: the reader's is only
  moved, by the whole pixels (up to 6) that lay the most of its ink on Kavlo's.
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
SHIFT = 6


def load(path):
    image = Image.open(path).convert("RGBA")
    white = Image.new("RGBA", image.size, (255, 255, 255, 255))
    return np.asarray(Image.alpha_composite(white, image).convert("RGB")).astype(np.int32)


def same_size(rgb, shape):
    out = np.full(shape + (3,), 255, dtype=rgb.dtype)
    h, w = min(shape[0], rgb.shape[0]), min(shape[1], rgb.shape[1])
    out[:h, :w] = rgb[:h, :w]
    return out


def shifted(rgb, dy, dx, fill=255):
    out = np.full_like(rgb, fill)
    h, w = rgb.shape[:2]
    out[max(0, dy):h + min(0, dy), max(0, dx):w + min(0, dx)] = \
        rgb[max(0, -dy):h - max(0, dy), max(0, -dx):w - max(0, dx)]
    return out


def aligned(ref, got):
    """The reader's picture moved by the whole pixels that lay the most of its ink on Kavlo's."""
    got = same_size(got, ref.shape[:2])
    a, b = luma(ref) < INK_LUMA, luma(got) < INK_LUMA
    best = max((int((a & shifted(b, dy, dx, False)).sum()), dy, dx)
               for dy in range(-SHIFT, SHIFT + 1) for dx in range(-SHIFT, SHIFT + 1))
    return shifted(got, best[1], best[2])


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
    got = aligned(ref, load(reader_png))

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
