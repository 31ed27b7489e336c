// What is wrong with an input file, and where: the line is 0 where the
// fault is the file's as a whole.
#ifndef ADEQUACY_SYSTEM_INPUT_ERROR_H_
#define ADEQUACY_SYSTEM_INPUT_ERROR_H_

#include <cstdint>
#include <string>

namespace adequacy {

struct InputError {
  std::string file;
  int64_t line = 0;
  std::string what;
};

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_INPUT_ERROR_H_
