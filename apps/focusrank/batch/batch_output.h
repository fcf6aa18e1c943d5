// Where focusrank's rows go: standard output as they come, or a file that
// only ever holds a complete output (-o).
#ifndef FOCUSRATE_BATCH_OUTPUT_H
#define FOCUSRATE_BATCH_OUTPUT_H

#include <memory>
#include <string>

#include "jzon.h"

namespace focusrate {

/// Buffers text and writes it to its target. A file goes through
/// Jzon::FileWriter, so readers never see half of it and a failed run (or
/// one ended by SIGINT, SIGTERM or SIGHUP) leaves the old content; Finish
/// commits it. A standard output that was closed at start refuses to open.
/// Failures never throw: calls return false and Error() says why.
///   RowOutput out("ranks.csv");
///   if (!out.Open() || !out.Write(text) || !out.Finish()) complain(out.Error());
class RowOutput {
 public:
  /// path "" means standard output.
  explicit RowOutput(const std::string& path);
  ~RowOutput();
  RowOutput(const RowOutput&) = delete;
  RowOutput& operator=(const RowOutput&) = delete;

  bool Open();
  /// Buffers text; writes the buffer out once it is large.
  bool Write(const std::string& text);
  /// Writes out everything buffered so far.
  bool Flush();
  /// Flushes and, for a file, commits it.
  bool Finish();
  /// The reader of standard output went away: a normal end, not an error.
  bool ReaderGone() const { return readerGone_; }
  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& what, int error);
  bool WriteStandardOutput();

  std::string path_;
  std::unique_ptr<Jzon::FileWriter> file_;  ///< null for standard output
  std::string buffer_;
  bool readerGone_ = false;
  std::string error_;
};

}  // namespace focusrate

#endif  // FOCUSRATE_BATCH_OUTPUT_H
