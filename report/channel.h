// An output channel: the report file or the console.  Every record reaches
// the operating system as soon as it is complete, in one write, so an
// interrupted run leaves only whole records behind.
#ifndef ADEQUACY_REPORT_CHANNEL_H_
#define ADEQUACY_REPORT_CHANNEL_H_

#include <cstdint>
#include <cstdio>

#include "report/diagnostic.h"
#include "report/record.h"

namespace adequacy {

class Channel {
 public:
  // A channel over `file`.  With `take_back` a record that fails part way
  // is cut off again, so that the file ends with the last whole record;
  // only for a file the channel wrote from its start.
  Channel(std::FILE* file, IoSite site, bool take_back = false)
      : file_(file), site_(site), take_back_(take_back) {}

  // Writes the record and its CR LF line end.  A failed write stops the
  // run; an overflowing field adds a non-stopping diagnostic.
  void Write(const Record& record);
  void WriteBlank() { Write(Record().TextLine(" ")); }
  void WriteEmpty() { Write(Record()); }

 private:
  // Cuts the file back to its whole records after a failed write.
  void TakeBackPartialRecord();

  std::FILE* file_;
  IoSite site_;
  bool take_back_;
  int64_t written_ = 0;  // Bytes of whole records written.
};

// The report file "OP", opened and locked but not yet emptied.
struct HeldReport {
  int fd = -1;
  bool created = false;  // The file did not exist before this run.
};

// Opens "OP" in the current directory, creating it if need be, and holds
// it for the rest of the run; nothing in it is changed yet.  Stops the run
// with the open failure, having changed nothing, if OP cannot be opened at
// once (a FIFO with no reader, a directory, no permission) or another run
// holds it.
HeldReport HoldReportFile();

// Lets go of a held report that was never started; one the hold created is
// taken away again.
void ReleaseReportFile(const HeldReport& held);

// Empties the held report and writes it from its start.
Channel StartReportFile(const HeldReport& held);

Channel ConsoleChannel();

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_CHANNEL_H_
