// Replacing a file's content whole: the text is written to a freshly made
// file beside it, which is then renamed over it.  A reader at any moment
// finds the old content or the new, never a part; a failed replacement
// leaves the old content and no stray file.
#ifndef ADEQUACY_APP_FILE_REPLACE_H_
#define ADEQUACY_APP_FILE_REPLACE_H_

#include <string>

namespace adequacy {

// Makes `path` hold `text`, with the permissions a new file gets under the
// umask.  False, with the reason in `*error`, where that cannot be done,
// or where `path` names something other than a regular file (a device, a
// pipe, a directory), which is left as it is.
bool ReplaceFile(const std::string& path, const std::string& text,
                 std::string* error);

}  // namespace adequacy

#endif  // ADEQUACY_APP_FILE_REPLACE_H_
