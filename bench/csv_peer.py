#!/usr/bin/env python3
"""The peer of ExGridTextIO_bench's CSV figures: Python's csv module saving and
loading the same 100,000 x 10 table ("cell " and a number, CR LF line ends,
Windows-1252), so that the ratio is taken on the same machine. Not part of
the tests: run it by hand beside the benchmark."""
import csv
import os
import random
import tempfile
import time

ROWS, COLS, REPEAT = 100000, 10, 5


def main():
    rnd = random.Random(1)
    table = [["cell %d" % rnd.randint(0, 999999) for _ in range(COLS)] for _ in range(ROWS)]
    fd, path = tempfile.mkstemp(suffix=".csv")
    os.close(fd)
    try:
        save, load = [], []
        for _ in range(REPEAT):
            t = time.perf_counter()
            with open(path, "w", newline="", encoding="cp1252") as f:
                csv.writer(f, lineterminator="\r\n").writerows(table)
            save.append(time.perf_counter() - t)
            t = time.perf_counter()
            with open(path, newline="", encoding="cp1252") as f:
                rows = list(csv.reader(f))
            load.append(time.perf_counter() - t)
            assert len(rows) == ROWS
        print("python csv save %.1f ms, load %.1f ms (best of %d)" % (min(save) * 1e3, min(load) * 1e3, REPEAT))
    finally:
        os.remove(path)


if __name__ == "__main__":
    main()
