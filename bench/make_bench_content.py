#!/usr/bin/env python3
# Writes the mixed content of the extraction benchmarks (about 200 MB): text, noise,
# sparse binary and many small pages. Usage: make_bench_content.py FOLDER
import os, random, sys
root = sys.argv[1]
random.seed(11)
def put(name, data):
    path = os.path.join(root, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
words = [b"frame", b"band", b"cursor", b"object", b"sound", b"player", b"movie", b"disc"]
for i in range(8):
    put(f"text/log{i}.txt", b" ".join(random.choice(words) for _ in range(1_500_000)))
for i in range(4):
    put(f"media/noise{i}.bin", os.urandom(20_000_000))
for i in range(4):
    block = bytearray(12_000_000)
    for j in range(0, len(block), 97):
        block[j] = j & 0xFF
    put(f"media/sparse{i}.dat", bytes(block))
for i in range(2000):
    put(f"pages/p{i // 100}/page{i}.html", b"<p>" + os.urandom(random.randint(100, 4000)).hex().encode() + b"</p>")
