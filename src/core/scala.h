// scala.h - Scala scale (.scl) and keyboard mapping (.kbm) files: the
// readers, the conversion of a scale into the temperament record's A pitch
// and offsets, and the .scl writer. Every message goes through the alert
// seam, one per failed read, with the line number where one applies.
#ifndef VOSTREL_SCALA_H
#define VOSTREL_SCALA_H

#include "temperament.h"

// ---- The scale last read --------------------------------------------------
extern char Scale_Description[TEXT_FIELD_SIZE];  // its description, cut to 179 characters
extern double Scale_Cents[12];  // degree k in cents above the 1/1; [0] is the 1/1 itself

// ---- The keyboard mapping last read ---------------------------------------
extern int Kbm_Middle;        // MIDI note that sounds the scale's 1/1
extern int Kbm_Reference;     // MIDI note that sounds the reference frequency
extern double Kbm_Frequency;  // the reference frequency in Hz

enum { MAX_OCTAVES = 100 };  // a pitch lies within this many octaves of the 1/1

// Reads a 12-note, octave-repeating .scl file into the scale; 1 on success,
// 0 after one message.
int read_scl(const char *path);
// Reads a .kbm file of the accepted subset (a linear map or the map 0..11);
// 1 on success, 0 after one message.
int read_kbm(const char *path);

enum { C_INDEX = 3 };  // C in Tonname

// The Tonname index of MIDI note midi.
int note_class(int midi);
// The index into Tonname of a note name ("C", "C#/Db", "C#" or "Db"; also
// "H", the German name of B), -1 for any other text.
int note_index(const char *name);

// Puts the scale into APitch and DCent: its 1/1 on the note Tonname[tonic],
// A at apitch, the offsets relative to A's (A's offset 0).
void scale_to_offsets(int tonic, double apitch);
// The pitch of A that makes the mapping's reference note sound at its
// frequency with the offsets now in DCent.
double kbm_a_pitch(void);

// Writes DCent as a 12-note .scl relative to the note Tonname[tonic], with
// description as its description, to a file that must not exist yet; 1 on
// success, otherwise after the writer's messages.
int write_scl(const char *path, int tonic, const char *description);

#endif
