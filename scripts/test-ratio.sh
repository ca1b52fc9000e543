#!/usr/bin/env bash
# Prints the size of the test suite against the rest of the code in tokens:
# identifiers, numbers, strings and punctuation, comments left out, so line
# breaks and layout do not count. Tests: everything under tests/ (fixtures,
# fuzz seeds and node_modules excepted); code: src/, scripts/, bench/, fuzz/,
# cmake/, tools/, web/ and the top CMakeLists.txt. The project keeps tests
# at a quarter to a third of the code, and at most 0.40.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
python3 - <<'PY'
import pathlib, re
TOKEN = re.compile(r'[A-Za-z_]\w*|\d[\w.]*|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|\S')
SUFFIXES = (".cpp", ".h", ".hpp", ".c", ".sh", ".cmake", ".py", ".txt", ".js", ".mjs", ".html", "")
C_LIKE = (".cpp", ".h", ".hpp", ".c", ".js", ".mjs")
SKIP = {"fixtures", "corpus", "node_modules"}

def tokens(paths):
    count = 0
    for p in map(pathlib.Path, paths):
        files = p.rglob("*") if p.is_dir() else [p] if p.exists() else []
        for f in files:
            if not f.is_file() or f.suffix not in SUFFIXES or SKIP & set(f.parts):
                continue
            text = f.read_text(errors="replace")
            if f.suffix in C_LIKE:
                text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
                text = re.sub(r"//[^\n]*", " ", text)
            else:
                text = re.sub(r"(?m)(^|\s)#(?!!)[^\n]*", " ", text)
            count += len(TOKEN.findall(text))
    return count

tests = tokens(["tests"])
code = tokens(["src", "scripts", "bench", "fuzz", "cmake", "tools", "web", "CMakeLists.txt"])
print(f"tests {tests} tokens, code {code} tokens, ratio {tests / code:.3f}")
PY
