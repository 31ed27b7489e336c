#include "app/details_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/version.h"
#include "montecarlo/chain.h"
#include "report/usage.h"

namespace adequacy {
namespace {

constexpr char kReportFile[] = "OP";

// Writes `text` as the whole of `path`.  *opened tells whether the file
// was opened, and so emptied, even where the writing then failed.
bool WriteWhole(const std::string& path, const std::string& text,
                std::string* error, bool* opened) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  *opened = file != nullptr;
  if (!file) {
    *error = std::strerror(errno);
    return false;
  }
  const bool written =
      std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const int saved = errno;
  if (std::fclose(file) != 0 || !written) {
    *error = std::strerror(written ? errno : saved);
    return false;
  }
  return true;
}

// Why `path` must not be the companion file, or empty if it may be.
std::string Refusal(const std::string& path, bool* existed) {
  struct stat file;
  *existed = stat(path.c_str(), &file) == 0;
  if (!*existed) return "";
  if (!S_ISREG(file.st_mode)) return "not a regular file";
  struct stat report;
  if (stat(kReportFile, &report) == 0 && report.st_dev == file.st_dev &&
      report.st_ino == file.st_ino) {
    return "it is the report file OP";
  }
  return "";
}

}  // namespace

bool DetailsFile::Create(const std::string& path) {
  content_.version = kVersion;
  content_.seed = InitialChainState().seed;
  content_.started = std::time(nullptr);
  bool existed = false;
  std::string error = Refusal(path, &existed);
  if (error.empty()) {
    path_ = path;
    if (Rewrite(DetailsJson(content_), &error)) {
      // A name that did not exist may still lead to OP, which did not
      // either.
      bool exists = false;
      if (existed || (error = Refusal(path, &exists)).empty()) return true;
      unlink(path.c_str());
    }
  }
  path_.clear();
  WriteText(stderr, DetailsFailureText(path, error));
  return false;
}

void DetailsFile::Save() {
  if (!wanted()) return;
  std::string error;
  if (Rewrite(DetailsJson(content_), &error) || failed_) return;
  failed_ = true;
  WriteText(stderr, DetailsFailureText(path_, error));
}

bool DetailsFile::Rewrite(const std::string& text, std::string* error) {
  const std::string part = path_ + ".part";
  bool opened = false;
  if (WriteWhole(part, text, error, &opened)) {
    if (std::rename(part.c_str(), path_.c_str()) == 0) return true;
    *error = std::strerror(errno);
  }
  // Only a file this has written is taken away again.
  if (opened) unlink(part.c_str());
  // A directory that takes no new file may still let the file itself be
  // written, in place.
  std::string direct_error;
  return WriteWhole(path_, text, &direct_error, &opened);
}

}  // namespace adequacy
