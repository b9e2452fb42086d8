#include <gtest/gtest.h>

#include "session/access_key.h"
#include "text/encoding.h"

namespace {

TEST(AccessKey, LastCharactersNumericTestAndNumberOfAKey) {
  EXPECT_EQ(text::lastCharacters("12", 3), "12");
  EXPECT_EQ(text::lastCharacters("xñá7", 3), "ñá7");
  for (const char* numeric : {"123", "007", " 12", "1.5", "-12", "+7", ".5"}) {
    EXPECT_TRUE(session::isNumericKey(numeric)) << numeric;
  }
  for (const char* other : {"", "12a", "1 2", "1,2", "'1", "1;", "--1"}) {
    EXPECT_FALSE(session::isNumericKey(other)) << other;
  }
  EXPECT_EQ(session::keyNumber("007"), 7);
  EXPECT_EQ(session::keyNumber("2.5"), 2);
  EXPECT_EQ(session::keyNumber("3.5"), 4);
  EXPECT_FALSE(session::keyNumber("x"));
  EXPECT_TRUE(session::isPlainInteger("12"));
  EXPECT_FALSE(session::isPlainInteger("12 or 1=1"));
}

}  // namespace
