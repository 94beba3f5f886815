#!/usr/bin/env python3
"""Writes the data files that data_commands_bench.sh measures on.

Shift_JIS record lines of two quoted fields, CR LF breaks, a fixed seed so
every run measures the same bytes.
"""
import random
import sys

KANA = [bytes([0x82, c]) for c in range(0xA0, 0xF1)]  # hiragana
LETTERS = b"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"


def keyword(rng, i):
    kana = b"".join(rng.choice(KANA) for _ in range(rng.randint(0, 3)))
    return bytes([rng.choice(LETTERS)]) + kana + b"%07d" % i


def record(rng, key):
    value = b"".join(rng.choice(KANA) for _ in range(rng.randint(2, 8)))
    return b'"' + key + b'","' + value + b'"'


def write(path, lines, end_marker):
    with open(path, "wb") as out:
        for line in lines:
            out.write(line + b"\r\n")
        if end_marker:
            out.write(b'"{EndOfData}","{Dummy}"\r\n')


def main(folder):
    rng = random.Random(20261208)
    # 1 000 000 lines for the sort, with priority markers among them.
    lines = [record(rng, keyword(rng, rng.randrange(10**7))) for _ in range(999_000)]
    lines += [b'"{PRIOR}"'] * 999
    rng.shuffle(lines)
    write(f"{folder}/sort.txt", lines, True)

    # 200 000 document lines and 200 000 source lines; half of the source
    # is in the document, some of it in other letter case.
    doc = [record(rng, keyword(rng, i)) for i in range(200_000)]
    source = []
    for i in range(200_000):
        if i % 2:
            line = doc[rng.randrange(len(doc))]
            source.append(line.swapcase() if i % 3 == 0 else line)
        else:
            source.append(record(rng, keyword(rng, 200_000 + i)))
    write(f"{folder}/merge_doc.txt", doc, False)
    write(f"{folder}/merge_source.txt", source, False)

    # 1 000 000 lines with 100 000 distinct keywords, in several cases.
    keys = [keyword(rng, i) for i in range(100_000)]
    lines = []
    for _ in range(1_000_000):
        key = rng.choice(keys)
        lines.append(record(rng, key.swapcase() if rng.random() < 0.3 else key))
    write(f"{folder}/keywords.txt", lines, True)

    # 1 000 000 lines, each with a keyword of its own (in random case).
    write(f"{folder}/distinct_keywords.txt", distinct_keyword_lines(rng), True)


def distinct_keyword_lines(rng):
    lines = []
    for i in range(1_000_000):
        key = keyword(rng, i)
        lines.append(record(rng, key.swapcase() if i % 3 == 0 else key))
    rng.shuffle(lines)
    return lines


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[2] == "distinct":
        write(f"{sys.argv[1]}/distinct_keywords.txt",
              distinct_keyword_lines(random.Random(20261208)), True)
    else:
        main(sys.argv[1])
