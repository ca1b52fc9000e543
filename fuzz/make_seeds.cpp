// make_seeds.cpp - writes temperament files with the program's own writer
// into the folder given as argument, as seeds for fuzz_parse.
#include "temperament_file.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

static int write_seed(const char *dir, const char *file, double apitch, const double *cents,
                      const char *name) {
  APitch = apitch;
  for (int i = 0; i < 12; i++)
    DCent[i] = cents[i];
  compute_temperament(1);
  snprintf(Temp_Name, sizeof Temp_Name, "%s", name);
  snprintf(Temp_ShortName, sizeof Temp_ShortName, "%.5s", name);
  snprintf(Temp_Comment, sizeof Temp_Comment, "<written> & \"quoted\" 'x'");
  snprintf(Temp_Version, sizeof Temp_Version, "1.00");
  snprintf(Temp_Supplier_Name, sizeof Temp_Supplier_Name, "Fuzz");
  Temp_ID = 4711;
  Temp_Supplier_ID = 42;
  std::string path = std::string(dir) + "/" + file;
  remove(path.c_str());
  return write_temperament_file(path.c_str());
}

// Writes a copy of the seed `from` with the first `find` replaced, for the
// load's own checks: missing notes and impossible pitches.
static int derive_seed(const char *dir, const char *from, const char *to, const char *find,
                       const char *replace) {
  std::ifstream in(std::string(dir) + "/" + from);
  std::stringstream text;
  text << in.rdbuf();
  std::string s = text.str();
  size_t at = s.find(find);
  if (at == std::string::npos)
    return 0;
  s.replace(at, strlen(find), replace);
  std::ofstream out(std::string(dir) + "/" + to);
  out << s;
  return out.good() ? 1 : 0;
}

int main(int argc, char **argv) {
  if (argc != 2)
    return 2;
  const double equal[12] = {0};
  const double historical[12] = {0, -9.8, -3.9, 5.9, -9.8, 2.0, -3.9, -2.0, 3.9, -7.8, 3.9, -5.9};
  const double a_offset[12] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  int ok = write_seed(argv[1], "equal.xml", 440.0, equal, "Equal Temperament") &&
           write_seed(argv[1], "historical.xml", 440.0, historical, "Bach & Sons") &&
           write_seed(argv[1], "baroque.xml", 415.0, equal, "Baroque <415>") &&
           write_seed(argv[1], "aoffset.xml", 440.0, a_offset, "A offset") &&
           derive_seed(argv[1], "equal.xml", "nan.xml", "<PitchHz>440<", "<PitchHz>nan<") &&
           derive_seed(argv[1], "equal.xml", "inf.xml", "<PitchHz>880<", "<PitchHz>inf<") &&
           derive_seed(argv[1], "equal.xml", "zero.xml", "<PitchHz>220<", "<PitchHz>0<") &&
           derive_seed(argv[1], "equal.xml", "blank.xml", "<PitchHz>110<", "<PitchHz> <") &&
           derive_seed(argv[1], "equal.xml", "missing.xml", "<MIDINoteNumberOnEightFootStop>60<",
                       "<Other>60<");
  return ok ? 0 : 1;
}
