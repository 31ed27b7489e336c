#include "app/command_output.h"

#include <cstdio>

#include "app/file_replace.h"
#include "report/usage.h"
#include "system/system_file.h"

namespace adequacy {

bool WriteOutput(const std::string& path, const std::string& text) {
  std::string reason;
  if (path == kStandardOutput) {
    if (WriteText(stdout, text)) return true;
    reason = "standard output failed";
  } else if (ReplaceFile(path, text, &reason)) {
    return true;
  }
  WriteText(stderr, OutputFailureText(path, reason));
  return false;
}

bool ReadSystemOrTell(const std::string& path, System* system) {
  InputError error;
  if (ReadSystemFile(path, system, &error)) return true;
  WriteText(stderr, InputErrorText(error.file, error.line, error.what));
  return false;
}

}  // namespace adequacy
