// The program's version, shown by --version.
#ifndef ADEQUACY_APP_VERSION_H_
#define ADEQUACY_APP_VERSION_H_

namespace adequacy {

inline constexpr char kVersion[] = "0.18.0";

}  // namespace adequacy

#endif  // ADEQUACY_APP_VERSION_H_
