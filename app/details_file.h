// The companion file asked for by --details FILE, and what it holds.  It
// is rewritten whole after every direct-solution pass and checkpoint,
// through a freshly made file beside it that is then renamed over it, so
// that a reader at any moment finds one complete document, and a failed
// rewrite leaves the last one there.
#ifndef ADEQUACY_APP_DETAILS_FILE_H_
#define ADEQUACY_APP_DETAILS_FILE_H_

#include <string>

#include "report/details_json.h"

namespace adequacy {

class DetailsFile {
 public:
  // True once Create has made the file: the run keeps it up to date.
  bool wanted() const { return !path_.empty(); }
  RunDetails& content() { return content_; }

  // Creates `path` with the run's identity and nothing yet done.  False,
  // with the reason on standard error, where it cannot be written, is not
  // a regular file, or is the report file OP (which it leaves as it was);
  // then nothing is left behind.  Call with OP held, so that the check
  // against OP sees the file and no other run is using the name.
  bool Create(const std::string& path);

  // Rewrites the file with the content as it now is.  A failure is told
  // once on standard error, and the run goes on, its records untouched.
  void Save();

 private:
  // Replaces the file's content with `text`; false, with the reason in
  // `*error`, where that cannot be done.
  bool Rewrite(const std::string& text, std::string* error);

  std::string path_;
  RunDetails content_;
  bool failed_ = false;
};

}  // namespace adequacy

#endif  // ADEQUACY_APP_DETAILS_FILE_H_
