// SIGTERM, SIGQUIT and SIGHUP end the process at once with status 0; SIGINT
// ends it by SIGINT, as its default action would, so shells and callers see
// an interrupted program. Each first destroys the shutdown list, so that no
// temporary file outlives the process.
#pragma once

#include <csignal>

namespace rt::host {

// SIGINT keeps an ignored disposition it was started with (a background job
// of a shell is meant to be deaf to it).
void installTerminationHandlers();

// Holds the termination signals back while it lives, so that a file made and
// then put on the shutdown list is never left behind between the two steps.
class TerminationSignalsBlocked {
 public:
  TerminationSignalsBlocked();
  ~TerminationSignalsBlocked();
  TerminationSignalsBlocked(const TerminationSignalsBlocked&) = delete;
  TerminationSignalsBlocked& operator=(const TerminationSignalsBlocked&) = delete;

 private:
  sigset_t saved_{};
};

}  // namespace rt::host
