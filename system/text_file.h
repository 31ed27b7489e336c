// Reading an input file whole, with a bound on its size, so that a wrong
// path (a device, a huge file) gets a message instead of a hang.
#ifndef ADEQUACY_SYSTEM_TEXT_FILE_H_
#define ADEQUACY_SYSTEM_TEXT_FILE_H_

#include <cstdint>
#include <string>

namespace adequacy {

inline constexpr int64_t kLargestInputFile = int64_t{1} << 30;

// The content of a regular file or a pipe; false, with the reason in
// `*reason`, where it cannot be read, is something else (a directory, a
// device), or passes the bound.
bool ReadTextFile(const std::string& path, std::string* text,
                  std::string* reason);

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_TEXT_FILE_H_
