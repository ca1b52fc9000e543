// test_web.cpp - the browser page's binding.
#include <gtest/gtest.h>

#include "support.h"
#include "vostrel_web.h"

extern "C" const char COLLECTION_TABLE[] =
    "# a comment\nWerk3\tWerckmeister III\tfifths -1/4P*3 0*2 -1/4P 0*6\tw\n";

TEST(Web, Starts) {
  TempDir tmp;
  std::string r = web_start(tmp.path.c_str(), nullptr, nullptr, nullptr);
  EXPECT_NE(r.find("Equal Temperament"), std::string::npos) << r;
}
