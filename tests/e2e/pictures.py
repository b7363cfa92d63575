"""RGB pictures for the end-to-end test: screenshots, the game's own GIFs,
and the comparisons the test makes between them."""

import subprocess


class Picture:
    """An 8-bit RGB picture, rows top to bottom, three bytes a pixel."""

    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError("picture data does not fit %d x %d" % (width, height))
        self.width = width
        self.height = height
        self.rgb = rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def write_png(self, path):
        subprocess.run(["convert", "-size", "%dx%d" % (self.width, self.height), "-depth", "8", "rgb:-", path],
                       input=self.rgb, check=True, timeout=30)


def parse_ppm(data):
    """A binary PPM (P6, maximum value 255), as ImageMagick writes it."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pos += 1  # the single white-space character before the pixels
    return Picture(width, height, data[pos:pos + width * height * 3])


def load_picture(path):
    """Any picture ImageMagick reads (the game's GIFs), as RGB."""
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                          stdout=subprocess.PIPE, timeout=30).stdout
    return parse_ppm(data)


# The game draws in 16-bit colour (5 bits red and blue, 6 green), so a
# screenshot differs from the 8-bit source by a few steps per channel.
COLOUR_TOLERANCE = 12


def close(a, b, tolerance=COLOUR_TOLERANCE):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def match_fraction(shot, picture, at_x, at_y, rows=None, step=2):
    """Share of the sampled pixels of `picture`, drawn with its top-left corner
    at (at_x, at_y), that `shot` shows in nearly the same colour; `rows`
    limits the comparison to some of the picture's rows."""
    rows = range(picture.height) if rows is None else rows
    pairs = [(shot.pixel(at_x + x, at_y + y), picture.pixel(x, y))
             for y in rows[::step] for x in range(0, picture.width, step)]
    return sum(close(a, b) for a, b in pairs) / len(pairs) if pairs else 0.0


def region_match(shot, picture, x0, y0, x1, y1, step=2):
    """Share of the window rectangle (x0, y0)..(x1, y1), exclusive ends,
    where `shot` matches the full-window `picture` at the same place."""
    pairs = [(shot.pixel(x, y), picture.pixel(x, y)) for y in range(y0, y1, step) for x in range(x0, x1, step)]
    return sum(close(a, b) for a, b in pairs) / len(pairs) if pairs else 0.0


def count_pixels(shot, x0, y0, x1, y1, wanted):
    """How many pixels of the rectangle satisfy `wanted(rgb)`."""
    return sum(1 for y in range(y0, y1) for x in range(x0, x1) if wanted(shot.pixel(x, y)))


def is_ink(rgb):
    """Near-black: the game's text colour."""
    return max(rgb) < 60
