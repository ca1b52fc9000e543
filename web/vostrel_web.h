// vostrel_web.h - the browser page's binding: the functions its script calls.
// Each runs the core at once and answers one JSON object (valid until the
// next call) with "ok", "messages" (every message of the call, in order, for
// the page to show afterwards) and what the page needs to show: "fields" (the
// seven descriptive texts), "tuning" (the A-Pitch, cent and pitch texts) and
// so on. Every string is valid JSON text, whatever bytes the files held.
// Nothing here waits for the user.
#ifndef VOSTREL_WEB_H
#define VOSTREL_WEB_H

extern "C" {
// The collection table built into the page (tests give their own).
extern const char COLLECTION_TABLE[];

// Start-up: the folders below root (upload/, download/, scratch/, collection/
// and the table as collection.tsv), the record's defaults with the remembered
// values where given (null: none), the start texts and the tuning column.
// Every tuning answer has "state", the exact values for web_restore;
// "existing" is the message for a file that exists already.
const char *web_start(const char *root, const char *temp_id, const char *supplier_id,
                      const char *supplier_name);
// "Reset to equal": the start's texts and equal temperament, A-Pitch kept.
const char *web_reset(const char *temp_id, const char *supplier_id, const char *supplier_name);
// A typed tuning value taken: field -1 is A-Pitch, 0..11 the cent fields.
// A typographic minus is read as '-', a decimal comma as the point; a text
// with more than one comma or point besides a comma is refused ("ok" false).
// Offsets show to the decimals typed, one to three.
const char *web_tuning(int field, const char *text);
// Puts back the tuning of a "state" (Undo, a later visit).
const char *web_restore(const char *state);
// The descriptive text of the field labelled label as the host file will
// hold it ("text"), with one message naming what changes.
const char *web_text(const char *label, const char *text);
// Generate File's first half: computes, checks, commits the seven texts;
// "proposal" names the file (kind 0) or its .scl (kind 1) after stem (a
// collection entry's) or else the short name or the name.
const char *web_generate(int kind, const char *stem, const char *id, const char *name,
                         const char *shortname, const char *supplier_id, const char *supplier_name,
                         const char *comment, const char *version);
// Generate File's second half: writes the host file under the confirmed name
// into download/ ("file": the name to read it by), with CR LF when crlf;
// "remember": the temperament ID, supplier ID and name as settings keep them,
// none for a collection entry's ID. A name must be one plain file name: a
// name with a folder, an empty and an over-long one are refused.
const char *web_write(const char *filename, int crlf);
// Save as .scl: the committed temperament as vostrel-convert --to-scl writes
// it from its host file, relative to the note Tonname[tonic].
const char *web_write_scl(const char *filename, int tonic, int crlf);
// Load File of the file name in upload/.
const char *web_load(const char *name);
// A .scl in upload/ (and a .kbm, "" for none) as vostrel-convert converts
// it with the tonic Tonname[tonic] at the present A-Pitch.
const char *web_scale(const char *scl, const char *kbm, int tonic);
// The collection: "entries", the full name of each temperament in the table.
const char *web_collection(void);
// Load File of entry k's host file in collection/ (made by make_collection),
// at the present A-Pitch; "stem": the entry's file name without its ending.
const char *web_entry(int k);
// The host files in collection/ as one zip file in download/.
const char *web_zip(const char *filename);
// The tuner's report at the present tuning: "offsets", "fifths" (each row
// ending with the fifth's fraction of a comma, comma_fraction), "thirds" and
// "minor" rows as vostrel-convert --report prints them, "sum", "apitch",
// and "hz", the 133 pitches in full precision. The same under keys
// beginning "c_" for the compared temperament at the present A-Pitch, with
// "c_name" its name.
const char *web_report(void);

// The compared temperament: equal temperament (as at start), entry k of
// the collection (as make_collection makes it), or a host file or .scl
// in upload/ (a scale's 1/1 on the note Tonname[tonic]). Only its offsets
// are kept; the record stays as it was. "name": the compared one's name
// (unchanged after a failure, with the messages).
const char *web_compare_equal(void);
const char *web_compare_entry(int k);
const char *web_compare_file(const char *name, int tonic);

// The twelve fifths C-G to F-C in the grammar of vostrel-convert --fifths:
// "names" (the fifths' names), and once read "wolf" (the wolf's index, -1
// for none) and "gap" (the wolf's tempering, or how far the circle misses
// closing); "ok" when the circle closes, else the message saying why not.
const char *web_fifths(const char *text);
// The same, and when the circle closes the offsets of those fifths at the
// present A-Pitch, C's note as built, with the tuning column.
const char *web_apply_fifths(const char *text);
}

#endif
