// Where focusrank's rows go: standard output as they come, or a file that
// only ever holds a complete output (-o).
#ifndef FOCUSRATE_BATCH_OUTPUT_H
#define FOCUSRATE_BATCH_OUTPUT_H

#include <string>

/// Buffers text and writes it to its target. A regular file (or a new path)
/// is written through a temporary file beside it that Finish renames over
/// it (keeping the old file's permissions), so readers never see half a file
/// and a failed run leaves the old content; other targets (a symlink,
/// /dev/stdout, a FIFO) are written in place.
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
  /// Flushes and, for a file, renames the temporary file into place.
  bool Finish();
  /// The reader of standard output went away: a normal end, not an error.
  bool ReaderGone() const { return readerGone_; }
  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& what);

  std::string path_;
  std::string tempPath_;  ///< "" unless writing through a temporary file
  int fd_ = -1;
  std::string buffer_;
  bool readerGone_ = false;
  std::string error_;
};

#endif  // FOCUSRATE_BATCH_OUTPUT_H
