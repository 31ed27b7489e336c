// The command `adequacy assess SYSTEM.toml [options]`: the direct solution
// of a system read from files, as a report, JSON and hourly CSV.  It has
// no dialogue and touches no report file.
#ifndef ADEQUACY_APP_ASSESS_H_
#define ADEQUACY_APP_ASSESS_H_

namespace adequacy {

// `argv[0]` is "assess".  Returns the exit status: 0 when done, 1 for an
// input that is not valid or an output that cannot be written, 2 for
// options not understood.
int RunAssess(int argc, const char* const* argv);

}  // namespace adequacy

#endif  // ADEQUACY_APP_ASSESS_H_
