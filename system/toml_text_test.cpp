#include "system/toml_text.h"

#include <gtest/gtest.h>

#include <string>

namespace adequacy {
namespace {

// What a valid document becomes: every character beyond ASCII escaped in
// its string (a literal string holding one rewritten as a basic string),
// '?' in a comment, and nothing else changed.
TEST(TomlTextTest, WideCharactersBecomeEscapes) {
  const struct {
    std::string text;
    std::string ascii;
  } cases[] = {
      {"name = \"S\xC3\xBC"
       "d\" # S\xC3\xBC"
       "d\n",
       "name = \"S\\u00FCd\" # S?d\n"},
      {"name = 'C:\\caf\xC3\xA9 \"x\"'\nx = 'a\\b'\n",
       "name = \"C:\\\\caf\\u00E9 \\\"x\\\"\"\nx = 'a\\b'\n"},
      {"name = \"a \\\" \xF0\x9F\x94\x8C\"\n",
       "name = \"a \\\" \\U0001F50C\"\n"},
      {"name = \"\"\"two\nlines \xE2\x80\x94 \"\"\"\"\nx = 1\n",
       "name = \"\"\"two\nlines \\u2014 \"\"\"\"\nx = 1\n"},
      {"name = '''it's\n\xC3\xA9'''''\n",
       "name = \"\"\"it's\n\\u00E9''\"\"\"\n"},
      {"\xEF\xBB\xBFname = \"x\"\r\n\tcount = 1\n",
       "name = \"x\"\r\n\tcount = 1\n"},
      {"'S\xC3\xBC"
       "d' = 1\n",
       "\"S\\u00FCd\" = 1\n"},
  };
  for (const auto& c : cases) {
    std::string ascii;
    InputError error;
    EXPECT_TRUE(AsciiToml(c.text, &ascii, &error)) << c.text << error.what;
    EXPECT_EQ(ascii, c.ascii) << c.text;
  }
}

// What no valid document holds is refused with its line; a string left
// open is left for the parser to report.
TEST(TomlTextTest, RefusesWhatNoSystemFileHolds) {
  const struct {
    std::string text;
    int64_t line;
    const char* what;
  } cases[] = {
      {"name = \"x\"\n\xEF\xBB\xBD# x\n", 2,
       "a character beyond ASCII outside a string or comment"},
      {"x = 1\n\n[\xC3\xA9]\n", 3,
       "a character beyond ASCII outside a string or comment"},
      {"name = \"\"\"a\n\"\"\"\xC2\xA0\n", 2,
       "a character beyond ASCII outside a string or comment"},
      {std::string("[\0units]]\n", 10), 1,
       "a control character (0x00); a system file is text"},
      {"# a comment \x11\n", 1,
       "a control character (0x11); a system file is text"},
      {"name = \"\\\x01\"\n", 1,
       "a control character (0x01); a system file is text"},
      {"name = \"\xC3\"\n", 1, "bytes that are not UTF-8 text"},
      {"name = \"\xED\xA0\x80\"\n", 1, "bytes that are not UTF-8 text"},
      {"# \xC0\xAF\n", 1, "bytes that are not UTF-8 text"},
  };
  for (const auto& c : cases) {
    std::string ascii;
    InputError error;
    EXPECT_FALSE(AsciiToml(c.text, &ascii, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_EQ(error.what, c.what) << c.text;
  }
  std::string ascii;
  InputError error;
  EXPECT_TRUE(AsciiToml("name = \"open \xC3\xA9\nx = 'y\n", &ascii, &error));
  EXPECT_EQ(ascii, "name = \"open \\u00E9\nx = 'y\n");
  // Text that once led the parser into unreachable code: a long string
  // left open where a value was looked for.
  EXPECT_TRUE(AsciiToml("x = 9aI\"\"nf\"\"\"\"\xC6\xBD", &ascii, &error));
  EXPECT_EQ(ascii, "x = 9aI\"\"nf\"\"\"\"\\u01BD");
}

}  // namespace
}  // namespace adequacy
