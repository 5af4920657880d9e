#include "host/TerminationSignals.h"

#include <pthread.h>
#include <unistd.h>

#include "host/Application.h"
#include "host/HostApi.h"
#include "host/ShutdownList.h"

namespace rt::host {
namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGQUIT, SIGHUP};

sigset_t terminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signalNumber : kEndingSignals) sigaddset(&signals, signalNumber);
  sigaddset(&signals, SIGINT);
  return signals;
}

bool ignored(int signalNumber) {
  struct sigaction current {};
  return sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

// Runs in the handler: the default action of a signal that is blocked there
// until it is let through.
void endBySignal(int signalNumber) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signalNumber, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signalNumber);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  (void)raise(signalNumber);
}

}  // namespace

void installTerminationHandlers() {
  struct sigaction action {};
  action.sa_handler = &TerminationSignalHandler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  for (int signalNumber : kEndingSignals) sigaction(signalNumber, &action, nullptr);
  if (!ignored(SIGINT)) sigaction(SIGINT, &action, nullptr);
}

TerminationSignalsBlocked::TerminationSignalsBlocked() {
  const sigset_t signals = terminationSignals();
  pthread_sigmask(SIG_BLOCK, &signals, &saved_);
}

TerminationSignalsBlocked::~TerminationSignalsBlocked() {
  pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

}  // namespace rt::host

extern "C" void TerminationSignalHandler(int signalNumber) {
  // The mask leaves the other signals open: one arriving while this handler
  // runs leaves the shutdown to it.
  static volatile sig_atomic_t ending = 0;
  if (ending) return;
  ending = 1;
  rt::host::releaseApplication();
  rt::host::destroyShutdownList();
  if (signalNumber == SIGINT) rt::host::endBySignal(SIGINT);
  // Not exit(): its stdio flush could repeat output that the interrupted code
  // had written but not yet marked as flushed. Every console write is flushed
  // as it is made, so nothing is lost.
  _exit(0);
}
