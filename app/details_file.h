// The companion file asked for by --details FILE.  It is rewritten whole
// after every direct-solution pass and checkpoint, through a file beside
// it that is then renamed over it, so that a reader at any moment finds
// one complete document, and a failed rewrite leaves the last one there.
#ifndef ADEQUACY_APP_DETAILS_FILE_H_
#define ADEQUACY_APP_DETAILS_FILE_H_

#include <string>

namespace adequacy {

class DetailsFile {
 public:
  // Creates `path` holding `text`.  False, with the reason in `*error`,
  // where it cannot be written, is not a regular file, or is the report
  // file OP (which it then leaves as it was).
  bool Create(const std::string& path, const std::string& text,
              std::string* error);

  // Replaces the file's content with `text`; false, with the reason in
  // `*error`, where that cannot be done (the old content then stays).
  bool Rewrite(const std::string& text, std::string* error);

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace adequacy

#endif  // ADEQUACY_APP_DETAILS_FILE_H_
