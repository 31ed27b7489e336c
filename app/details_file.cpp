#include "app/details_file.h"

#include <sys/stat.h>

#include <ctime>

#include "app/file_replace.h"
#include "app/version.h"
#include "montecarlo/chain.h"
#include "report/usage.h"

namespace adequacy {
namespace {

constexpr char kReportFile[] = "OP";

// Why `path` must not be the companion file, or empty if it may be.
std::string Refusal(const std::string& path) {
  struct stat file;
  if (stat(path.c_str(), &file) != 0) return "";
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
  std::string error = Refusal(path);
  if (error.empty()) {
    path_ = path;
    if (Rewrite(DetailsJson(content_), &error)) return true;
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
  return ReplaceFile(path_, text, error);
}

}  // namespace adequacy
