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
sizes = {"test": 0, "product": 0}
for f in map(pathlib.Path, subprocess.run(["git", "ls-files"], capture_output=True, text=True).stdout.split()):
    top, script = f.parts[0], f.parts[0] == "scripts"
    if not f.is_file() or f.suffix in DATA or f.name.startswith("package") or "node_modules" in f.parts:
        continue
    if top in ("tests", "fuzz") or script and re.search("test|mutat|stress|fuzz|batch|ratio|format", f.name):
        kind = "test"
    elif top in ("src", "web", "tools", "cmake") or script and "bench" not in f.name or str(f) == "CMakeLists.txt":
        kind = "product"
    else:
        continue
    text = f.read_text(errors="replace")
    if f.suffix in (".cpp", ".h", ".hpp", ".c", ".js", ".mjs", ".cjs"):
        text = re.sub(r"//[^\n]*", " ", re.sub(r"/\*.*?\*/", " ", text, flags=re.S))
    elif f.suffix in (".html", ".css"):
        text = re.sub(r"/\*.*?\*/", " ", re.sub(r"<!--.*?-->", " ", text, flags=re.S), flags=re.S)
    else:
        text = re.sub(r"(?m)(^|\s)#(?!!)[^\n]*", " ", text)
    sizes[kind] += len(TOKEN.findall(text))
    if "--files" in sys.argv:
        print(f"{kind:8} {len(TOKEN.findall(text)):6} {f}")
t, p = sizes["test"], sizes["product"]
print(f"test code {t} tokens, product code {p} tokens, ratio {t / p:.3f}")
PY
