// The run sequence: report file, availability table, the what-if loop of
// direct-solution passes, then the Monte Carlo phase to the end.
#ifndef ADEQUACY_APP_RUN_H_
#define ADEQUACY_APP_RUN_H_

namespace adequacy {

// Runs the whole program on standard input and output; returns the exit
// status of a normal end.  A failure stops the process from inside.  With
// an argument it only answers --help or --version, or shows the usage.
int Run(int argc, const char* const* argv);

}  // namespace adequacy

#endif  // ADEQUACY_APP_RUN_H_
