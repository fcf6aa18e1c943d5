// One focusrank run from parsed options to exit status.
#ifndef FOCUSRATE_FOCUSRANK_RUN_H
#define FOCUSRATE_FOCUSRANK_RUN_H

#include "focusrank_options.h"

namespace focusrate {

/// Finds the images, rates them, prints the rows and returns a RankExit
/// status. Problems with single images end up in their rows; unreadable
/// directories and lists are reported on stderr; only an output that
/// cannot be written stops the run early. A reader that goes away
/// (focusrank dir | head) ends the run quietly.
int RunFocusrank(const RankOptions& options);

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUSRANK_RUN_H
