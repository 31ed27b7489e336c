// An output channel: the report file or the console.  Every record reaches
// the operating system as soon as it is complete, so an interrupted run
// leaves only whole records behind.
#ifndef ADEQUACY_REPORT_CHANNEL_H_
#define ADEQUACY_REPORT_CHANNEL_H_

#include <cstdio>

#include "report/diagnostic.h"
#include "report/record.h"

namespace adequacy {

class Channel {
 public:
  Channel(std::FILE* file, IoSite site) : file_(file), site_(site) {}

  // Writes the record and its CR LF line end.  A failed write stops the
  // run; an overflowing field adds a non-stopping diagnostic.
  void Write(const Record& record);
  void WriteBlank() { Write(Record().TextLine(" ")); }
  void WriteEmpty() { Write(Record()); }

 private:
  std::FILE* file_;
  IoSite site_;
};

// Creates or truncates "OP" in the current directory; stops the run if it
// cannot.
Channel OpenReportFile();

Channel ConsoleChannel();

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_CHANNEL_H_
