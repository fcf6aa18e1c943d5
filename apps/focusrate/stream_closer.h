// Closing the C streams at the end of a run.
#ifndef FOCUSRATE_STREAM_CLOSER_H
#define FOCUSRATE_STREAM_CLOSER_H

namespace focusrate {

/// Flushes the standard streams and closes every other C stream the program
/// opened; returns how many were closed.
int CloseAllStreams();

}  // namespace focusrate

#endif  // FOCUSRATE_STREAM_CLOSER_H
