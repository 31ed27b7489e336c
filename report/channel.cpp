#include "report/channel.h"

namespace adequacy {

void Channel::Write(const Record& record) {
  const std::string& text = record.text();
  const bool written =
      std::fwrite(text.data(), 1, text.size(), file_) == text.size() &&
      std::fwrite("\r\n", 1, 2, file_) == 2 && std::fflush(file_) == 0;
  if (!written) Stop(Failure::kWriteError, site_);
  if (record.overflow()) WarnOutputConversion(site_);
}

Channel OpenReportFile() {
  std::FILE* file = std::fopen("OP", "wb");
  if (file == nullptr) Stop(Failure::kOpenFailure, kReportFile);
  return Channel(file, kReportFile);
}

Channel ConsoleChannel() { return Channel(stdout, kConsoleOutput); }

}  // namespace adequacy
