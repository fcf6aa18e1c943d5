// Diagnostics of both programs: one prefix, one stream, one flag.
#ifndef FOCUSRATE_MESSAGES_H
#define FOCUSRATE_MESSAGES_H

#include <string>

#include "image_input.h"

/// Writes "program: text\n" to the real stderr and records that an error
/// happened, so the exit status can say so later. Safe from any thread.
void Complain(const std::string& program, const std::string& text);

/// Complains "path: cannot write what (reason)", reason spelling the errno
/// value error.
void ComplainNotWritten(const std::string& program, const std::string& path,
                        const std::string& what, int error);

/// Complains "path: status" in the words of the rows ("a.jpg: not found"),
/// with " (detail)" when detail is not empty; for CannotDecode without a
/// detail, the plugin that could not be loaded, if one could not.
void ComplainOfImage(const std::string& program, const std::string& path, RateStatus status,
                     const std::string& detail = std::string());

/// Complains "output: is what; not written", for an output refused because
/// writing it would destroy what (an input, or another output).
void ComplainOfClash(const std::string& program, const std::string& output,
                     const std::string& what);

/// Call only inside a catch block: complains of CurrentExceptionText().
void ComplainOfException(const std::string& program);

/// Whether Complain was called since the program started.
bool ComplainedOnce();

#endif  // FOCUSRATE_MESSAGES_H
