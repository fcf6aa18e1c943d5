// Diagnostics of both programs: one prefix, one stream, one flag.
#ifndef FOCUSRATE_MESSAGES_H
#define FOCUSRATE_MESSAGES_H

#include <string>

/// Writes "program: text\n" to the real stderr and records that an error
/// happened, so the exit status can say so later. Safe from any thread.
void Complain(const std::string& program, const std::string& text);

/// Whether Complain was called since the program started.
bool ComplainedOnce();

#endif  // FOCUSRATE_MESSAGES_H
