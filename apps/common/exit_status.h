// Exit statuses of the programs, in one place; README and --help repeat them.
#ifndef FOCUSRATE_EXIT_STATUS_H
#define FOCUSRATE_EXIT_STATUS_H

namespace focusrate {

namespace RateExit {
constexpr int kSaved = 0;          ///< figures written to the result file
constexpr int kCannotDecode = -1;  ///< image unreadable (255 to the shell); nothing touched
constexpr int kNotSaved = 1;       ///< the result file could not be written, or is the image
constexpr int kUsage = 2;          ///< fewer than two arguments
constexpr int kOtherFailure = 3;   ///< anything else (out of memory, ...)
}  // namespace RateExit

namespace RankExit {
constexpr int kAllRated = 0;      ///< every image was rated
constexpr int kSomeNotRated = 1;  ///< some rows carry a failure status
constexpr int kUsage = 2;         ///< bad command line, or an output that is an input
constexpr int kOtherFailure = 3;  ///< output could not be written, out of memory, ...
}  // namespace RankExit

}  // namespace focusrate

#endif  // FOCUSRATE_EXIT_STATUS_H
