// The command `adequacy capacity SYSTEM.toml [options]`: the largest load
// a system carries at a reliability target, and the capacity credit of
// added resources, from the exact direct solution.
#ifndef ADEQUACY_APP_CAPACITY_H_
#define ADEQUACY_APP_CAPACITY_H_

namespace adequacy {

// `argv[0]` is "capacity".  Returns the exit status: 0 when done, 1 for an
// input that is not valid, a target that cannot be reached or an output
// that cannot be written, 2 for options not understood.
int RunCapacity(int argc, const char* const* argv);

}  // namespace adequacy

#endif  // ADEQUACY_APP_CAPACITY_H_
