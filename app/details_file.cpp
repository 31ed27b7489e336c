#include "app/details_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace adequacy {
namespace {

constexpr char kReportFile[] = "OP";

bool WriteWhole(const std::string& path, const std::string& text,
                std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
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

}  // namespace

bool DetailsFile::Create(const std::string& path, const std::string& text,
                         std::string* error) {
  struct stat before;
  const bool existed = stat(path.c_str(), &before) == 0;
  if (existed && !S_ISREG(before.st_mode)) {
    *error = "not a regular file";
    return false;
  }
  struct stat report;
  if (existed && stat(kReportFile, &report) == 0 &&
      report.st_dev == before.st_dev && report.st_ino == before.st_ino) {
    *error = "it is the report file OP";
    return false;
  }
  path_ = path;
  if (!Rewrite(text, error)) return false;
  // A name that did not exist may still lead to OP, which did not either.
  struct stat now;
  if (!existed && stat(path.c_str(), &now) == 0 &&
      stat(kReportFile, &report) == 0 && report.st_dev == now.st_dev &&
      report.st_ino == now.st_ino) {
    unlink(path.c_str());
    *error = "it is the report file OP";
    return false;
  }
  return true;
}

bool DetailsFile::Rewrite(const std::string& text, std::string* error) {
  const std::string part = path_ + ".part";
  if (WriteWhole(part, text, error)) {
    if (std::rename(part.c_str(), path_.c_str()) == 0) return true;
    *error = std::strerror(errno);
  }
  unlink(part.c_str());
  // A directory that takes no new file may still let the file itself be
  // written.
  std::string direct_error;
  if (WriteWhole(path_, text, &direct_error)) return true;
  return false;
}

}  // namespace adequacy
