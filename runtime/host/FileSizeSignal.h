// Writes past the file size limit fail like any other write (EFBIG) instead
// of ending the process with SIGXFSZ.
#pragma once

namespace rt::host {

// A handler that does nothing, rather than ignoring the signal: an ignored
// signal would stay ignored in the commands the runtime starts, a handler
// reverts to the default when they exec.
void installFileSizeSignalHandler();

}  // namespace rt::host
