// The three standard streams, made safe before any file is opened.
#ifndef ADEQUACY_APP_STANDARD_STREAMS_H_
#define ADEQUACY_APP_STANDARD_STREAMS_H_

namespace adequacy {

// Opens the null device on any of descriptors 0, 1 and 2 that is closed.
// Otherwise the report file, opened next, would take the lowest free
// descriptor and receive the console records, the diagnostics or the
// replies' reads.
void OpenClosedStandardStreams();

}  // namespace adequacy

#endif  // ADEQUACY_APP_STANDARD_STREAMS_H_
