// A system file's text made ready for the TOML parser: the same document
// written in ASCII alone.  Every character beyond ASCII inside a string
// becomes its \u escape (a literal string holding one is rewritten as a
// basic string), and one inside a comment a '?'.  The parser then never
// meets a character beyond ASCII, where the one this program links (3.3)
// can reach code marked unreachable while it looks for whitespace.  TOML
// allows such characters nowhere else, and control characters but tab
// and the line ends nowhere at all: a file with either is refused here,
// with its line.  Lines stay where they were, so the parser's lines are
// the file's.
#ifndef ADEQUACY_SYSTEM_TOML_TEXT_H_
#define ADEQUACY_SYSTEM_TOML_TEXT_H_

#include <string>
#include <string_view>

#include "system/input_error.h"

namespace adequacy {

// Writes the ASCII form of `text` to `*ascii`; false, with the line and
// what is wrong in `*error` (its file left as it is), where `text` is not
// UTF-8, holds a control character, or a character beyond ASCII outside a
// string or comment.  A byte-order mark at the start is dropped.
bool AsciiToml(std::string_view text, std::string* ascii, InputError* error);

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_TOML_TEXT_H_
