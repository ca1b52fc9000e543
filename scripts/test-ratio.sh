#!/usr/bin/env bash
# Prints the size of the test code against the product code in tokens (identifiers, numbers,
# strings and punctuation; comments left out, so layout does not count), over the tracked files.
# Test code: tests/ and fuzz/ but their input and expected-output data, and the scripts that only
# test (test, mutation, stress, fuzz, batch, ratio, format). Product code: src/, web/, tools/,
# cmake/, CMakeLists.txt and the other scripts. Benchmarks are neither. The project keeps the
# ratio at a quarter to a third, at most 0.40. With --files, each file's count too.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
python3 - "$@" <<'PY'
import pathlib, re, subprocess, sys
TOKEN = re.compile(r'[A-Za-z_]\w*|\d[\w.]*|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|\S')
DATA = (".xml", ".scl", ".kbm", ".ini", ".dict", ".supp", ".png", ".gz")
TOOLING = re.compile(r"test|mutat|stress|fuzz|batch|ratio|format")

def count(f):
    text = f.read_text(errors="replace")
    if f.suffix in (".cpp", ".h", ".hpp", ".c", ".js", ".mjs", ".cjs"):
        text = re.sub(r"//[^\n]*", " ", re.sub(r"/\*.*?\*/", " ", text, flags=re.S))
    elif f.suffix in (".html", ".css"):
        text = re.sub(r"/\*.*?\*/", " ", re.sub(r"<!--.*?-->", " ", text, flags=re.S), flags=re.S)
    else:
        text = re.sub(r"(?m)(^|\s)#(?!!)[^\n]*", " ", text)
    return len(TOKEN.findall(text))

def kind(f):
    top, script = f.parts[0], f.parts[0] == "scripts"
    if f.suffix in DATA or f.name.startswith("package") or "node_modules" in f.parts:
        return None
    if top in ("tests", "fuzz") or script and TOOLING.search(f.name):
        return "test"
    if top == "bench" or script and "bench" in f.name:
        return None
    if top in ("src", "web", "tools", "cmake", "scripts") or str(f) == "CMakeLists.txt":
        return "product"

sizes = {"test": 0, "product": 0, None: 0}
for name in subprocess.run(["git", "ls-files"], capture_output=True, text=True).stdout.split():
    f = pathlib.Path(name)
    k = kind(f) if f.is_file() else None
    if k:
        n = count(f)
        sizes[k] += n
        if "--files" in sys.argv:
            print(f"{k:8} {n:6} {name}")
t, p = sizes["test"], sizes["product"]
print(f"test code {t} tokens, product code {p} tokens, ratio {t / p:.3f}")
PY
