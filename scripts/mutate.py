#!/usr/bin/env python3
# Plants faults in a copy of the sources, one at a time, and tells which the suite catches.
#
#     python3 scripts/mutate.py            # every fault
#     python3 scripts/mutate.py --list     # the faults, without running
#     python3 scripts/mutate.py 3 17 ...   # only these
#
# The tracked files (with uncommitted changes) are copied to a temporary folder and built there;
# each fault is planted in the copy, rebuilt incrementally and tested, then taken out. Only the
# suite that can see the fault runs: the Windows suite under Wine for area "windows", the page's
# build and its tests in Chromium (build-web) for area "web", the native suite for every other
# area. A fault is caught when its suite fails; a build error counts as not applicable. The
# builds' and tests' output goes to build-mutate/last.log. Not part of the test command (long).
import os
import re
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (area, file, text as it stands, planted fault). The text must occur exactly once in the file;
# a run of blanks in it also matches a line break with the next line's indent.
MUTANTS = [
    # the arithmetic
    ("arithmetic", "src/core/temperament.cpp", "(100 * i + DCent[i]) / 1200.0", "(100 * i - DCent[i]) / 1200.0"),
    ("arithmetic", "src/core/temperament.cpp", "Pitch[n] = Pitch[n + 12] / 2.0;", "Pitch[n] = Pitch[n + 12] / 2.01;"),
    ("arithmetic", "src/core/temperament.cpp", "n = REF_NOTE - 1; n >= 0; n--", "n = REF_NOTE - 1; n > 0; n--"),
    ("arithmetic", "src/core/temperament.cpp", "/ log(2.0) - 100 * i;", "/ log(2.0) - 100 * i + 0.01;"),
    ("arithmetic", "src/core/temperament.cpp", "test >= 1.999 && test <= 2.001", "test >= 1.99 && test <= 2.001"),
    # the display formats
    ("display", "src/core/temperament.cpp", '"%12.7lf", value', '"%12.6lf", value'),
    ("display", "src/core/temperament.cpp", '"%+4.1f", value', '"%4.1f", value'),
    ("display", "src/gui/main_gui.cpp", 'snprintf(mystr, sizeof mystr, "%06d", Temp_Supplier_ID);', 'snprintf(mystr, sizeof mystr, "%d", Temp_Supplier_ID);'),
    # the narrowing of typed values
    ("narrowing", "src/core/temperament.cpp", "float value = (float)strtod(", "double value = strtod("),
    # the commit of the descriptive fields and the start texts
    ("commit", "src/core/temperament.cpp", "if (*p < 0x7F) continue;", "if (*p < 0xFF) continue;"),
    ("commit", "src/core/temperament.cpp", "    if (!maul) {\n      maul = 1;", "    {\n      maul = 1;"),
    ("commit", "src/core/temperament.cpp", "if (strlen(Temp_ShortName) > 5) {", "if (strlen(Temp_ShortName) > 6) {"),
    ("commit", "src/core/temperament.cpp", '"Equal Temperament", "Equal", "", "", "", "1.00"', '"Equal temperament", "Equal", "", "", "", "1.00"'),
    # the window
    ("window", "src/gui/main_gui.cpp", "is_tuning_field(Fl::focus()))", "0)"),
    ("window", "src/gui/main_gui.cpp", "  if (!check_pitches())\n    return;\n  checkout_values();", "  checkout_values();"),
    ("window", "src/gui/main_gui.cpp", "  save_settings();\n  ((Fl_Window *)v)->hide();", "  ((Fl_Window *)v)->hide();"),
    # the settings file
    ("settings", "src/gui/settings.cpp", "  Temp_Supplier_ID = DEFAULT_SUPPLIER_ID;\n  memset(Temp_Supplier_Name", "  Temp_Supplier_ID = 999998;\n  memset(Temp_Supplier_Name"),
    ("settings", "src/gui/settings.cpp", "(ptr[-1] == '\\r' || ptr[-1] == '\\n')", "(ptr[-1] == '\\n')"),
    ("settings", "src/gui/settings.cpp", "if (!existed) remove(SETTINGS_FILE);", "remove(SETTINGS_FILE);"),
    ("settings", "src/gui/settings.cpp", "  FILE *inif = fopen(SETTINGS_FILE, \"a\");\n  if (!inif) return 0;", "  FILE *inif = fopen(SETTINGS_FILE, \"a\");\n  if (!inif) inif = fopen(SETTINGS_TEMP, \"a\");\n  if (!inif) return 0;"),
    ("settings", "src/gui/settings.cpp", "SETTINGS_LINE = KEY_LEN + TEXT_FIELD_SIZE - 1 + 2 + 1 };", "SETTINGS_LINE = KEY_LEN + TEXT_FIELD_SIZE - 1 + 2 + 2 };"),
    # the folder search
    ("search", "src/gui/settings.cpp", 'search_for_dir(Drive_Root1, "Hauptwerk/", 2)', 'search_for_dir(Drive_Root1, "Hauptwerk/", 1)'),
    ("search", "src/gui/settings.cpp", '  if (!install) install = search_for_dir(Drive_Root2, "Hauptwerk/", 2);\n', ""),
    ("search", "src/gui/settings.cpp", "if (strlen(found) >= sizeof Tempdirstr) return found;", ""),
    ("search", "src/gui/settings.cpp", "if (chosen && chosen[0]) return chosen;", "if (chosen) return chosen;"),
    ("search", "src/gui/settings.cpp", 'snprintf(buf, PATH_SIZE, "%s%s", root, name) < PATH_SIZE;', 'snprintf(buf, PATH_SIZE, "%s%s", root, name) <= PATH_SIZE;'),
    # the writer
    ("writer", "src/core/temperament_file.cpp", "<SupplierID>%06d</SupplierID>", "<SupplierID>%d</SupplierID>"),
    ("writer", "src/core/temperament_file.cpp", 'else if (*p == \'<\') fputs("&lt;", f);', ""),
    ("writer", "src/core/temperament_file.cpp", "std::chars_format::general, 15);", "std::chars_format::general, 14);"),
    ("writer", "src/core/temperament_file.cpp", "if (len == 0 || buf[len - 1] != '.') append_text", "append_text"),
    ("writer", "src/core/temperament_file.cpp", "  // The incomplete file is ours: open_new_output created it.\n  remove_utf8(filename);", ""),
    ("writer", "src/core/temperament_file.cpp", "for (int i = 0; i < NOTE_COUNT; i++) {\n    fprintf(f, \"\\t<note>\\n\");", "for (int i = 0; i < NOTE_COUNT - 1; i++) {\n    fprintf(f, \"\\t<note>\\n\");"),
    # the Load action and its checks
    ("load", "src/core/Temper_reader.cpp", "  memset(given, 0, sizeof given);\n", ""),
    ("load", "src/core/Temper_reader.cpp", "if (!given[n]) {", "if (0) {"),
    ("load", "src/core/Temper_reader.cpp", "if (!(Pitch[n] > 0 && std::isfinite(Pitch[n]))) {", "if (!(Pitch[n] > 0)) {"),
    ("load", "src/core/temperament_file.cpp", "  reset_descriptive_fields();\n  if (!read_temperament", "  if (!read_temperament"),
    # the XML reader
    ("reader", "src/core/xml_parser.cpp", "if (level >= MAX_DEPTH - 1) {", "if (level >= MAX_DEPTH - 2) {"),
    ("reader", "src/core/xml_parser.cpp", "  while (is_space((unsigned char)*p)) p++;\n", ""),
    ("reader", "src/core/xml_parser.cpp", "strcmp(tokname + 1, open) == 0", "strncmp(tokname + 1, open, 3) == 0"),
    ("reader", "src/core/xml_parser.cpp", "if (i > NAME_SIZE - 1) {", "if (i > NAME_SIZE - 2) {"),
    ("reader", "src/core/xml_parser.cpp", "attr + 2 > ATTR_ENTRIES - 2", "attr + 2 > ATTR_ENTRIES - 4"),
    ("reader", "src/core/xml_parser.cpp", "  if (level >= 0)\n    copy_name(tokname, tokstack[level]);", ""),
    # the temperament handlers
    ("handlers", "src/core/Temper_reader.cpp", 'strcmp(attr[k + 1], "Temperament") != 0', 'strncmp(attr[k + 1], "Temperament", 5) != 0'),
    ("handlers", "src/core/Temper_reader.cpp", '  if (strcmp(tokname, "note") == 0) notenr = -1;\n', ""),
    ("handlers", "src/core/Temper_reader.cpp", "if (notenr < 0 || notenr > NOTE_COUNT - 1) {\n    xml_error(\"MIDI", "if (notenr < 0 || notenr > NOTE_COUNT) {\n    xml_error(\"MIDI"),
    ("handlers", "src/core/Temper_reader.cpp", "else if (strcmp(tokname, \"ShortName\") == 0) copy_decoded(Temp_ShortName, data);", "else if (strcmp(tokname, \"ShortName\") == 0) copy_decoded(Temp_Name, data);"),
    ("handlers", "src/core/Temper_reader.cpp", "void xml_begin(void) {\n  notenr = -1;", "void xml_begin(void) {"),
    # the Scala readers: the value cut and its warning, the mapping, the conversion, the writer
    ("converter", "src/core/scala.cpp", "*octave = n == 2 * d;", "*octave = n >= 2 * d;"),
    ("converter", "src/core/scala.cpp", "if (count != 12) {", "if (count > 12) {"),
    ("converter", "src/core/scala.cpp", "offset[(tonic + k) % 12] = Scale_Cents[k]", "offset[(tonic + k + 1) % 12] = Scale_Cents[k]"),
    ("converter", "src/core/scala.cpp", '" %.6f\\n", 100.0 * k', '" %.5f\\n", 100.0 * k'),
    ("scala", "src/core/scala.cpp", "if (rest[0] == 'e' || rest[0] == 'E')", "if (rest[0] == 'e')"),
    ("scala", "src/core/scala.cpp", "else if (rest[0] != ',')", "else if (rest[0] != ';')"),
    ("scala", "src/core/scala.cpp", "  memset(misread, 0, sizeof misread);\n", ""),
    ("scala", "src/core/scala.cpp", "if (degree != 12 && !(degree == 0 && size == 0)) {", "if (degree != 12) {"),
    ("scala", "src/core/scala.cpp", "    if (c == '\\0') {", "    if (0) {"),
    # the converter and the report
    ("converter", "src/core/report.cpp", "double beats = pu * Pitch[upper] - pl * Pitch[lower];", "double beats = pl * Pitch[upper] - pu * Pitch[lower];"),
    ("converter", "src/core/report.cpp", "sum += size - pure;", "sum += size;"),
    ("converter", "src/convert/convert.cpp", "failed |= !convert_one(path);", "if (!convert_one(path)) return 1;"),
    ("converter", "src/convert/convert.cpp", "scale_to_offsets(note_class(Kbm_Middle), 440.0);", "scale_to_offsets(tonic, 440.0);"),
    ("converter", "src/core/names.cpp", "return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);", "return base;"),
    ("converter", "src/core/names.cpp", "s.size() < 5", "s.size() < 6"),
    ("converter", "src/convert/convert.cpp", '"--supplier-id", "--supplier-name",', '"--supplier-name", "--supplier-id",'),
    ("converter", "src/core/scala.cpp", "DCent[(tonic + k) % 12] - DCent[tonic]", "DCent[(C_INDEX + k) % 12] - DCent[C_INDEX]"),
    ("converter", "src/convert/convert.cpp", "batch ? first_id + input_number : DEFAULT_TEMPERAMENT_ID", "batch ? first_id : DEFAULT_TEMPERAMENT_ID"),
    ("converter", "src/convert/convert.cpp", "for (int k = 2; written.count", "for (int k = 1; written.count"),
    ("converter", "src/convert/convert.cpp", "scale_to_offsets(fifths ? C_INDEX : tonic, a_pitch);", "scale_to_offsets(tonic, a_pitch);"),
    ("converter", "src/convert/convert.cpp", "if (fifths && tonic_given && !to_scl)", "if (0)"),
    # the fifths and the collection
    ("collection", "data/temperaments/collection.tsv", "ratios 16/15 9/8 6/5 5/4", "ratios 16/15 9/8 6/5 81/64"),
    ("collection", "src/core/fifths.cpp", "const double CLOSING = 0.01;", "const double CLOSING = 0.001;"),
    ("collection", "src/core/fifths.cpp", 'gap < 0 ? "wide" : "narrow"', 'gap > 0 ? "wide" : "narrow"'),
    ("collection", "src/core/fifths.cpp", "if (k != FIFTH_COUNT) {", "if (k < FIFTH_COUNT) {"),
    ("collection", "src/core/fifths.cpp", "*decimals = dot ? (int)(s + len - dot - 1) : 0;", "*decimals = dot ? (int)(s + len - dot - 1) : 3;"),
    ("collection", "src/core/collection.cpp", "return decimals < 0 ? EXACT : 0.5 * pow(10.0, -decimals);", "return decimals < 0 ? EXACT : 5 * pow(10.0, -decimals);"),
    ("collection", "src/core/collection.cpp", 'if (strcmp(w, "-") != 0 && decimals[n] > finest)', 'if (strcmp(w, "-") != 0 && decimals[n] < finest)'),
    ("collection", "src/core/collection.cpp", ": row_tolerance > 0 ? row_tolerance", ": row_tolerance < 0 ? row_tolerance"),
    ("collection", "src/core/collection.cpp", "j != k && fabs(", "fabs("),
    ("collection", "src/core/collection.cpp", "return base / exp2(Scale_Cents[to] / 1200.0);", "return base * exp2(Scale_Cents[to] / 1200.0);"),
    ("collection", "src/core/collection.cpp", "for (int parts = 4; parts >= 0; parts--)", "for (int parts = 3; parts >= 0; parts--)"),
    ("collection", "tools/make_collection.cpp", "if (!seen.insert(key).second)", "if (!seen.insert(key).second && 0)"),
    ("collection", "tools/make_collection.cpp", '(Entry_Name + std::string(": ") + about).c_str()', "Entry_Name"),
    ("collection", "tools/make_collection.cpp", 'source[0] ? source : "-"', "source"),
    # the report's minor thirds and fractions of a comma
    ("converter", "src/core/report.cpp", "interval_rows(f, 3, PURE_MINOR_THIRD, 6, 5);", "interval_rows(f, 3, PURE_MINOR_THIRD, 5, 6);"),
    ("converter", "src/core/report.cpp", "int syntonic = ns && (!np || ns + 1 < np);", "int syntonic = ns && (!np || ns < np);"),
    # the page: hearing, comparing, constructing, printing
    ("web", "web/listen.js", "osc.frequency.value = hz;", "osc.frequency.value = hz * 1.0001;"),
    ("web", "web/listen.js", "var PARTIALS = [0, 1, 0.5, 0.3, 0.2, 0.12,", "var PARTIALS = [0, 1, 0.5, 0.3, 0.2, 0,"),
    ("web", "web/listen.js", "Page.markCircle(step.item.places);", ""),
    ("web", "web/compare.js", "var d = parseFloat(a) - parseFloat(b);", "var d = parseFloat(b) - parseFloat(a);"),
    ("web", "web/compare.js", "r.minor, r.c_minor", "r.minor, r.minor"),
    ("web", "web/construct.js", "await Page.replaceTuning(r, 'the fifths constructed');", ""),
    ("web", "web/shell.html", "header, #more, dialog,", "header, dialog,"),
    ("web", "web/vostrel_web.cpp", "memcpy(DCent, compare_cents, sizeof DCent);", ""),
    # platform code
    ("platform", "src/core/temperament_file.cpp", "int fd = open(name, O_WRONLY | O_CREAT | O_EXCL, 0666);", "int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0666);"),
    ("platform", "src/gui/settings.cpp", '  copy_text(Drive_Root2, sizeof Drive_Root2, "/");\n#endif', '  copy_text(Drive_Root2, sizeof Drive_Root2, "/tmp/");\n#endif'),
    # code that only the Windows build runs (tested under Wine)
    ("windows", "src/gui/settings.cpp", 'copy_text(Drive_Root2, sizeof Drive_Root2, "D:/");', 'copy_text(Drive_Root2, sizeof Drive_Root2, "E:/");'),
    ("windows", "src/core/temperament_file.cpp", "_O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT", "_O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY"),
    ("windows", "src/gui/settings.cpp", "MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)", "MoveFileExA(from, to, 0)"),
    ("windows", "src/gui/settings.cpp", "return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);", "return 0;"),
    ("windows", "src/gui/settings.cpp", 'FILE *f = fopen(name, "w");', 'FILE *f = fopen(name, "wb");'),
    ("windows", "src/convert/console.cpp", "alone = GetConsoleProcessList(ids, 2) == 1;", "alone = GetConsoleProcessList(ids, 2) == 2;"),
    ("windows", "src/convert/console.cpp", "MultiByteToWideChar(CP_UTF8, 0, bytes,", "MultiByteToWideChar(CP_ACP, 0, bytes,"),
    # the page's binding, caught by test_web (natively and under Node)
    ('binding', 'web/vostrel_web.cpp', 'int n = *p < 0x80 ? 1 : utf8_length(p);', 'int n = 1;'),
    ('binding', 'web/vostrel_web.cpp', 'else if (strpbrk(name, "/\\\\"))', "else if (strchr(name, '/'))"),
    ('binding', 'web/vostrel_web.cpp', 'else if (strlen(name) > NAME_MAX_BYTES)', 'else if (strlen(name) > NAME_MAX_BYTES + 100)'),
    ('binding', 'web/vostrel_web.cpp', '  if (ok)\n    last_download = filename;', '  last_download = filename;'),
    ('binding', 'web/vostrel_web.cpp', 'folder("scratch/host.xml")', 'folder("scratch/") + Temp_ShortName + ".xml"'),
    ('binding', 'web/vostrel_web.cpp', '} else {\n    scale_to_offsets(((tonic % 12) + 12) % 12, APitch);', '} else {\n    scale_to_offsets(((tonic % 12) + 12) % 12, 440.0);'),
    ('binding', 'web/vostrel_web.cpp', "    t[comma] = '.';", ''),
    ('binding', 'web/vostrel_web.cpp', "      t += '-';\n      p += 2;", "      t += '+';\n      p += 2;"),
    ('binding', 'web/vostrel_web.cpp', 'decimals[field] = std::min(places, 3);', 'decimals[field] = std::min(places, 2);'),
    ('binding', 'web/vostrel_web.cpp', '    ok = end != p;', '    ok = 1;'),
    ('binding', 'web/vostrel_web.cpp', 'if (Temp_ID < COLLECTION_FIRST_ID || Temp_ID > COLLECTION_LAST_ID)', 'if (Temp_ID != COLLECTION_FIRST_ID)'),
    ('binding', 'web/vostrel_web.cpp', 'return load_into_page(path + 1, 1);', 'return load_into_page(path + 1, 0);'),
    ('binding', 'web/vostrel_web.cpp', '  Check_for_ASCII(label, field);\n', ''),
    ('binding', 'web/vostrel_web.cpp', 'stem[0] ? stem : Temp_ShortName[0] ? Temp_ShortName : Temp_Name;', 'stem[0] ? stem : Temp_ShortName;'),
    # the page's zip writer, caught by the browser scenarios unpacking its zip
    ('web', 'web/vostrel_web.cpp', 'crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));', 'crc = (crc >> 1) ^ (0xEDB88321 & (0 - (crc & 1)));'),
    ('web', 'web/vostrel_web.cpp', 'zip_header(central, name, bytes, (long)zip.size());', 'zip_header(central, name, bytes, (long)zip.size() + 1);'),
    # the page's script, caught by the browser scenarios
    ('web', 'web/page.js', 'if (changed && !(await ask(', 'if (false && !(await ask('),
    ('web', 'web/page.js', '      byKey = true;\n', ''),
    ('web', 'web/page.js', '    values[2] = texts[4];\n', ''),
    ('web', 'web/page.js', '    restoreWork(work);\n', ''),
    ('web', 'web/page.js', '      if (changed) {\n        event.preventDefault();', '      if (false) {\n        event.preventDefault();'),
    ('web', 'web/page.js', '      await saveFolder.getFileHandle(name);', '      await saveFolder.getFileHandle(name, {create: true});'),
    ('web', 'web/page.js', '    if (rest.length)\n', '    if (false)\n'),
    ('web', 'web/page.js', "messages[i].replace(/[\\x00-\\x09\\x0b-\\x1f\\x7f]/g, '\\ufffd')", 'messages[i]'),
    ('web', 'web/page.js', '  function typing() {\n    changed = true;', '  function typing() {'),
    ('web', 'web/page.js', 'return /^win/i.test(platform) ? 1 : 0;', 'return 0;'),
    ('web', 'web/page.js', '    putBack(undo.pop());', '    putBack(undo[0]);'),
]

# Each suite: its set-up in the copy (run once), its build and its tests (run for every fault).
PLAIN = "cmake --preset plain -DVOSTREL_WEB_PAGE=/dev/null"
SUITES = {
    "native": (PLAIN, "cmake --build build -j 2", "ctest --test-dir build -j 2 -E packaging"),
    "web": (PLAIN + " && cmake --build build -j 2 && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix"
            " tests/web --no-audit --no-fund", "bash scripts/web.sh --tests --native build",
            "ctest --test-dir build-web -j 2 -R 'wasm|chromium'"),
    "windows": ("true", "true", "bash scripts/test.d/windows.sh"),
}
TREE = os.path.join(tempfile.gettempdir(), "vostrel-mutate-%d" % os.getpid())
LOG = os.path.join(REPO, "build-mutate", "last.log")


def run(cmd):
    """Runs the shell command in the copy, its output appended to LOG; True when it passed."""
    with open(LOG, "a") as out:
        return subprocess.call(cmd, shell=True, cwd=TREE, stdout=out, stderr=out) == 0


def test(suite):
    """Builds the copy and runs the suite: True when it passed, None on a build error."""
    mark = os.path.getsize(LOG)
    if not run(suite[1]):
        # The collection is made at build time by the program's own reader and writer: a fault
        # that breaks them is caught there.
        return False if "temperaments.stamp] Error" in open(LOG).read()[mark:] else None
    return run(suite[2])


def locate(text, old):
    """The one place of old in text, blanks matching any white space; None if not once."""
    found = list(re.finditer(r"\s+".join(map(re.escape, old.split())), text))
    return found[0] if len(found) == 1 else None


def main(argv):
    chosen = [int(a) for a in argv if a != "--list"] or range(1, len(MUTANTS) + 1)
    if "--list" in argv:
        for k in chosen:
            area, name, old, new = MUTANTS[k - 1]
            there = locate(open(os.path.join(REPO, name)).read(), old)
            print("%3d %-10s %s%s: %r -> %r" % (k, area, "" if there else "NOT FOUND ", name, old, new))
        return 0
    os.makedirs(os.path.dirname(LOG), exist_ok=True)
    open(LOG, "w").close()
    os.mkdir(TREE)
    run("git -C %s ls-files -z | (cd %s && xargs -0 cp --parents -t %s)" % (REPO, REPO, TREE))
    for suite in {SUITES.get(MUTANTS[k - 1][0], SUITES["native"]) for k in chosen}:
        if not run(suite[0]) or not test(suite):
            print("%s fails without any planted fault; see %s" % (suite[2], LOG))
            return 2
    counted = []
    for k in chosen:
        area, name, old, new = MUTANTS[k - 1]
        start = time.time()
        path = os.path.join(TREE, name)
        original = open(path).read()
        where = locate(original, old)
        verdict = "NOT FOUND"
        if where:
            open(path, "w").write(original[:where.start()] + new + original[where.end():])
            open(LOG, "a").write("\n==== fault %d\n" % k)
            verdict = {None: "build error", True: "survived", False: "caught"}[
                test(SUITES.get(area, SUITES["native"]))]
            open(path, "w").write(original)
            counted += [verdict == "caught"] * (verdict != "build error")
        print("%3d %-10s %-11s %4.0fs  %s: %r -> %r" % (k, area, verdict, time.time() - start, name,
                                                       old[:60], new[:60]), flush=True)
    print("%d of %d planted faults caught" % (sum(counted), len(counted)))
    subprocess.call(["rm", "-rf", TREE])
    return 0 if all(counted) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
