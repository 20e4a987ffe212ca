#!/usr/bin/env bash
# Generates the benchmark corpora used by bench/compare.sh.
#
#   bench/make-corpus.sh [--force] [DIR]      (DIR defaults to /tmp/quillfen-bench)
#
# Every byte and every name comes from a fixed seed, so two runs (and two machines) produce the
# same trees; only the on-disk listing order is the file system's own. A finished corpus is left
# alone unless --force is given, because regenerating it costs about a minute and 1.3 GiB of
# writes.
#
# Layout under DIR:
#   names/          200,000 empty files in 20,000 folders, about 10% named *.txt (a handful as
#                   *.TXT / *.Txt so that a case-insensitive match is actually exercised)
#   content/        1,000 text-ish files of 1 MiB (about 1 GiB); the literal below is planted
#                   in a few of them, in other letter cases in a few more, and in UTF-16LE in two;
#                   a second literal with letters beyond ASCII is planted in Windows-1252, UTF-8
#                   and UTF-16LE, four files each
#   content-large/  one 256 MiB log with the literal near its end, for the memory measurement
#   dupes/          reference.bin (256 KiB) plus 400 same-size candidates (5 identical, the rest
#                   differing early, in the middle or late) and 2,000 files of other sizes
#   corpus.env      the literal and the expected answers, read by compare.sh
set -euo pipefail

force=0
if [ "${1:-}" = "--force" ]; then
  force=1
  shift
fi
root="${1:-/tmp/quillfen-bench}"
# Bumped whenever the generator changes, so an old corpus is not mistaken for the current one.
version=3

if [ "$force" -eq 0 ] && [ -f "$root/corpus.env" ] && grep -qx "CORPUS_VERSION=$version" "$root/corpus.env"; then
  echo "corpus already present in $root (use --force to rebuild)"
  exit 0
fi

command -v python3 >/dev/null || { echo "python3 is required" >&2; exit 2; }
mkdir -p "$root"
rm -rf "$root/names" "$root/content" "$root/content-large" "$root/dupes" "$root/corpus.env"

python3 - "$root" "$version" <<'PY'
import os
import random
import sys

root, version = sys.argv[1], sys.argv[2]
LITERAL = "PaymentGatewayTimeout"
# Found in all three encodings of the content search, with the Windows code page of English.
NON_ASCII_LITERAL = "Zahlungsbest\u00e4tigungF\u00fcrK\u00f6ln"
NON_ASCII_FORMS = {"cp1252": NON_ASCII_LITERAL.encode("cp1252"),
                   "utf-8": NON_ASCII_LITERAL.encode("utf-8"),
                   "utf-16-le": NON_ASCII_LITERAL.encode("utf-16-le")}
MIB = 1 << 20

# --------------------------------------------------------------------------------------------
# (a) name tree
# --------------------------------------------------------------------------------------------
rng = random.Random(20240611)
names_root = os.path.join(root, "names")
os.makedirs(names_root)

SYLLABLES = ["ka", "lo", "mi", "ne", "ru", "sa", "ti", "vo", "ze", "ba", "de", "fi", "go", "hu",
             "jo", "pe", "qu", "re", "so", "tu", "wa", "xi", "yo", "zu", "an", "el", "in", "or"]
WORDS = ["report", "draft", "final", "notes", "image", "photo", "backup", "config", "index",
         "main", "util", "test", "data", "summary", "invoice", "readme", "changelog", "todo",
         "build", "module", "widget", "service", "client", "server", "schema", "export"]
# (extension, weight); weights add up to 100, and the three spellings of .txt to 10.
EXTENSIONS = [
    (".txt", 9.5), (".TXT", 0.3), (".Txt", 0.2),
    (".c", 5), (".h", 5), (".cpp", 5), (".py", 6), (".js", 7), (".json", 4), (".md", 4),
    (".html", 4), (".css", 3), (".png", 8), (".jpg", 8), (".gif", 1), (".svg", 2), (".pdf", 3),
    (".docx", 2), (".xlsx", 1), (".zip", 1), (".gz", 2), (".o", 5), (".so", 1), (".log", 3),
    (".xml", 3), (".yaml", 2), (".sh", 1), (".java", 1.5), ("", 2),
    # Near misses, which a correct matcher must reject.
    (".txt.bak", 0.3), (".txtx", 0.2),
]
ext_names = [e for e, _ in EXTENSIONS]
ext_weights = [w for _, w in EXTENSIONS]

def folder_name(index):
    stem = "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(2, 4)))
    if rng.random() < 0.05:
        stem = "." + stem  # hidden folders exist in real trees
    elif rng.random() < 0.05:
        stem = stem.capitalize() + " " + rng.choice(WORDS)
    return f"{stem}-{index}"

# Folders: the depth of each new folder is drawn first (mostly 3 to 6 levels, as in a home
# folder or a source tree), then its parent among the folders one level up, so that fan-out
# varies from folder to folder.
FOLDERS = 20000
DEPTHS = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10]
DEPTH_WEIGHTS = [1, 6, 16, 24, 21, 14, 9, 5, 3, 1]
folders = [("", 0)]  # (relative path, depth)
by_depth = {0: [""]}
for index in range(1, FOLDERS):
    depth = rng.choices(DEPTHS, weights=DEPTH_WEIGHTS)[0]
    while depth - 1 not in by_depth:
        depth -= 1
    parent = rng.choice(by_depth[depth - 1])
    path = os.path.join(parent, folder_name(index)) if parent else folder_name(index)
    folders.append((path, depth))
    by_depth.setdefault(depth, []).append(path)
for path, _ in folders[1:]:
    os.makedirs(os.path.join(names_root, path))

# Files: most folders hold a few, some hold hundreds.
FILES = 200000
weights = [rng.lognormvariate(0, 1.2) for _ in folders]
placement = rng.choices(range(len(folders)), weights=weights, k=FILES)
extensions = rng.choices(ext_names, weights=ext_weights, k=FILES)
for number, (folder_index, extension) in enumerate(zip(placement, extensions)):
    word = rng.choice(WORDS)
    if rng.random() < 0.2:
        word = word.capitalize()
    if rng.random() < 0.02:
        word = word + " (copy)"
    if rng.random() < 0.01:
        word = "Überblick_" + word  # non-ASCII names
    name = f"{word}_{number:06d}{extension}"
    if rng.random() < 0.01:
        name = "." + name
    with open(os.path.join(names_root, folders[folder_index][0], name), "wb"):
        pass

# --------------------------------------------------------------------------------------------
# (b) content corpus
# --------------------------------------------------------------------------------------------
rng = random.Random(777)
content_root = os.path.join(root, "content")

# Words built from English letter frequencies, so that byte statistics resemble real text.
LETTERS = "etaoinshrdlcumwfgypbvkjxqz"
FREQ = [12.7, 9.1, 8.2, 7.5, 7.0, 6.7, 6.3, 6.1, 6.0, 4.3, 4.0, 2.8, 2.8, 2.4, 2.4, 2.2, 2.0,
        2.0, 1.9, 1.5, 1.0, 0.8, 0.15, 0.15, 0.1, 0.07]
vocabulary = []
for _ in range(5000):
    length = max(1, min(12, int(rng.gauss(5, 2.2))))
    vocabulary.append("".join(rng.choices(LETTERS, weights=FREQ, k=length)))
vocabulary += ["the", "and", "of", "to", "in", "is", "for", "error", "warning", "request",
               "timeout", "payment", "gateway", "user", "session", "id", "status", "ok"]
PUNCT = [" ", " ", " ", " ", " ", " ", ", ", ". ", ": ", " - ", "; "]

def make_pool(size):
    pieces, total, line = [], 0, 0
    while total < size:
        word = rng.choice(vocabulary)
        if rng.random() < 0.08:
            word = word.capitalize()
        if rng.random() < 0.03:
            word = str(rng.randint(0, 99999))
        piece = word + rng.choice(PUNCT)
        line += len(piece)
        if line > 70 + rng.randint(0, 40):
            piece += "\n"
            line = 0
        pieces.append(piece)
        total += len(piece)
    return "".join(pieces).encode("ascii")[:size]

POOL = 24 * MIB
pool = make_pool(POOL)
pool_mixed = bytes(pool).title()   # every word capitalised
pool_upper = pool.upper()
needle = LITERAL.encode()
for variant in (pool, pool_mixed, pool_upper):
    assert needle.lower() not in variant.lower(), "the literal occurs by chance; change the seed"

def slice_of(source, size):
    start = rng.randrange(0, len(source) - size)
    return bytearray(source[start:start + size])

def plant(data, text, where):
    offsets = {"start": 0, "end": len(data) - len(text)}
    offset = offsets.get(where, None)
    if offset is None:
        offset = rng.randrange(0, len(data) - len(text))
    data[offset:offset + len(text)] = text
    return offset

FILE_COUNT = 1000
kinds = ["plain"] * FILE_COUNT
for index in rng.sample(range(FILE_COUNT), 150):
    kinds[index] = "mixed"
for index in rng.sample([i for i in range(FILE_COUNT) if kinds[i] == "plain"], 50):
    kinds[index] = "upper"
for index in rng.sample([i for i in range(FILE_COUNT) if kinds[i] == "plain"], 20):
    kinds[index] = "binary"

free = [i for i in range(FILE_COUNT) if kinds[i] in ("plain", "mixed")]
rng.shuffle(free)
exact = sorted(free[:12])                 # the literal as typed
other_case = sorted(free[12:17])          # only a case-insensitive search finds these
utf16 = sorted(free[17:19])               # only the UTF-16LE encoding finds these
near_miss = sorted(free[19:40])           # a prefix of the literal, which must not match
# The non-ASCII literal, four files per encoding, placed by a generator of its own so that every
# other byte of the corpus stays as it was before it was added.
non_ascii = {form: sorted(free[40 + 4 * n:44 + 4 * n]) for n, form in enumerate(NON_ASCII_FORMS)}
non_ascii_rng = random.Random(1252)
extensions = [".txt", ".log", ".csv", ".md", ".xml"]

def content_path(index):
    return os.path.join(content_root, f"part-{index // 100:02d}",
                        f"doc-{index:04d}{extensions[index % len(extensions)]}")

expected = {"exact": [], "other_case": [], "utf16": [], "non_ascii": [], "non_ascii_1252": []}
for index in range(FILE_COUNT):
    kind = kinds[index]
    if kind == "binary":
        data = bytearray(rng.randbytes(MIB))
        # Random bytes could in principle hold the literal's bytes; they do not with this seed,
        # which the assertion below confirms.
    else:
        data = slice_of({"plain": pool, "mixed": pool_mixed, "upper": pool_upper}[kind], MIB)
    if index in exact:
        where = ["start", "end", "middle"][exact.index(index) % 3]
        plant(data, needle, where)
        expected["exact"].append(content_path(index))
    if index in other_case:
        plant(data, needle.lower() if other_case.index(index) % 2 == 0 else needle.upper(),
              "middle")
        expected["other_case"].append(content_path(index))
    if index in utf16:
        plant(data, LITERAL.encode("utf-16-le"), "middle")
        expected["utf16"].append(content_path(index))
    if index in near_miss:
        for _ in range(50):
            plant(data, needle[:-1] + b" ", "middle")
    for form, indices in non_ascii.items():
        if index in indices:
            text = NON_ASCII_FORMS[form]
            offset = non_ascii_rng.randrange(0, len(data) - len(text))
            data[offset:offset + len(text)] = text
            expected["non_ascii"].append(content_path(index))
            if form == "cp1252":
                expected["non_ascii_1252"].append(content_path(index))
    if all(index not in indices for indices in non_ascii.values()):
        assert all(text not in data for text in NON_ASCII_FORMS.values())
    if index not in exact:
        assert needle not in data
    os.makedirs(os.path.dirname(content_path(index)), exist_ok=True)
    with open(content_path(index), "wb") as out:
        out.write(data)

# One large file for the memory measurement: 256 MiB, the literal once, close to the end.
large_root = os.path.join(root, "content-large")
os.makedirs(large_root)
with open(os.path.join(large_root, "huge.log"), "wb") as out:
    for block in range(256):
        data = slice_of(pool, MIB)
        if block == 255:
            plant(data, needle, "middle")
        out.write(data)

# --------------------------------------------------------------------------------------------
# (c) duplicate tree
# --------------------------------------------------------------------------------------------
rng = random.Random(4242)
dupes_root = os.path.join(root, "dupes")
REF_SIZE = 256 * 1024
reference = rng.randbytes(REF_SIZE)
os.makedirs(dupes_root)
with open(os.path.join(dupes_root, "reference.bin"), "wb") as out:
    out.write(reference)

identical = []
candidates = (["same"] * 5 + ["early"] * 150 + ["middle"] * 95 + ["late"] * 150)
rng.shuffle(candidates)
for number, kind in enumerate(candidates):
    data = bytearray(reference)
    if kind == "early":
        offset = rng.randrange(0, 4096)
    elif kind == "late":
        offset = rng.randrange(REF_SIZE - 4096, REF_SIZE)
    elif kind == "middle":
        offset = rng.randrange(4096, REF_SIZE - 4096)
    if kind != "same":
        data[offset] ^= 1 + rng.randrange(255)
    folder = os.path.join(dupes_root, f"set-{number % 20:02d}", f"batch-{number % 7}")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"candidate-{number:04d}.bin")
    with open(path, "wb") as out:
        out.write(data)
    if kind == "same":
        identical.append(path)

# Other sizes, including one byte either side of the reference and some duplicate pairs among
# themselves, so that a whole-tree duplicate finder has its usual work.
others = []
for number in range(2000):
    if number < 20:
        size = REF_SIZE + (1 if number % 2 else -1)
        data = reference[:size] if size < REF_SIZE else reference + b"\0"
    elif number % 40 == 0 and others:
        data = others[rng.randrange(len(others))]
    else:
        size = int(rng.lognormvariate(9.5, 1.3)) + 1
        size = min(size, 4 * 1024 * 1024)
        if size == REF_SIZE:
            size += 7
        data = rng.randbytes(size)
    others.append(data)
    folder = os.path.join(dupes_root, f"misc-{number % 30:02d}")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, f"file-{number:04d}.dat"), "wb") as out:
        out.write(data)

def write_list(name, paths):
    with open(os.path.join(root, name), "w") as out:
        for path in sorted(paths):
            out.write(path + "\n")

write_list("expected-exact.txt", expected["exact"])
write_list("expected-other-case.txt", expected["other_case"])
write_list("expected-utf16.txt", expected["utf16"])
write_list("expected-non-ascii.txt", expected["non_ascii"])
write_list("expected-non-ascii-1252.txt", expected["non_ascii_1252"])
write_list("expected-dupes.txt", identical)
with open(os.path.join(root, "corpus.env"), "w", encoding="utf-8") as out:
    out.write(f"CORPUS_VERSION={version}\n")
    out.write(f"LITERAL={LITERAL}\n")
    out.write(f"NON_ASCII_LITERAL={NON_ASCII_LITERAL}\n")
    out.write(f"REFERENCE={os.path.join(dupes_root, 'reference.bin')}\n")
    out.write(f"REFERENCE_SIZE={REF_SIZE}\n")
PY

# A crash before this point leaves no corpus.env, so the next run starts over.
du -sh "$root"/names "$root"/content "$root"/content-large "$root"/dupes
echo "corpus ready in $root"
