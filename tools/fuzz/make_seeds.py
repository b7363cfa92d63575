#!/usr/bin/env python3
"""Turns the malformed-file corpus into fuzzer inputs.

Usage: make_seeds.py CORPUS_DIR OUT_DIR. A level file becomes a "load the
level" input; a save becomes a "load the save" input carrying the level file
it names (renamed to f.lvl, the name the fuzzer writes it under).
"""
import pathlib
import sys

SEPARATOR = b"\n====\n"


def main(corpus, out):
    corpus, out = pathlib.Path(corpus), pathlib.Path(out)
    out.mkdir(parents=True, exist_ok=True)
    for path in sorted(corpus.iterdir()):
        data = path.read_bytes()
        if path.suffix == ".lvl":
            (out / (path.name + ".in")).write_bytes(b"\x00" + data)
            continue
        name, _, records = data.partition(b"\n")
        level = corpus / name.decode("latin-1")
        if level.suffix == ".lvl" and level.is_file():
            seed = b"\x01" + level.read_bytes() + SEPARATOR + b"f.lvl\n" + records
        else:
            seed = b"\x01" + SEPARATOR + data
        (out / (path.name + ".in")).write_bytes(seed)


if __name__ == "__main__":
    main(*sys.argv[1:3])
