// The system file: TOML naming the system, its load, its units and its
// variable generation.  Every fault in it, or in the files it names, is
// told with its file and line; nothing is guessed or silently skipped.
#ifndef ADEQUACY_SYSTEM_SYSTEM_FILE_H_
#define ADEQUACY_SYSTEM_SYSTEM_FILE_H_

#include <string>
#include <string_view>

#include "system/input_error.h"
#include "system/system.h"

namespace adequacy {

// Reads the system file at `path` and the series it names, which are
// relative to its directory.  False, with what is wrong in `*error`, where
// any of them cannot be read or is not a valid system.
bool ReadSystemFile(const std::string& path, System* system, InputError* error);

// A file of units, profiles and devices to add to `base`: the system
// file's [[units]], [[profiles]] and [[storage]] (one of them at least),
// and an optional name; paths relative to it.  Profiles hold the base's
// hours and weather years, and maintenance fits them.
bool ReadAdditionsFile(const std::string& path, const System& base,
                       System* additions, InputError* error);

// The same for the file's text already read.
bool ParseSystem(std::string_view text, const std::string& path, System* system,
                 InputError* error);

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_SYSTEM_FILE_H_
