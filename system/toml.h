// The TOML parser as this program builds it: compiled in from its headers,
// and, as its library's release build has them, without its internal
// assertions.  Each fault they guard is reported as a parse error after
// them; with them on, a file such as "[[\" would abort the program.
// Include this, never <toml++/toml.h> itself.
#ifndef ADEQUACY_SYSTEM_TOML_H_
#define ADEQUACY_SYSTEM_TOML_H_

#define TOML_HEADER_ONLY 1
#define TOML_ASSERT(expr) static_cast<void>(0)
#include <toml++/toml.h>

#endif  // ADEQUACY_SYSTEM_TOML_H_
