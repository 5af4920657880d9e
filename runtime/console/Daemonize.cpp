#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "console/ConsoleApi.h"

extern "C" uint8_t DaemonizeApp(RTObject*) {
  const pid_t first = fork();
  if (first < 0) return 0;
  if (first > 0) _exit(0);
  if (setsid() < 0) return 0;

  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGHUP, &ignore, nullptr);

  // The second fork leaves a process that is no session leader, so it can
  // never acquire a controlling terminal again.
  const pid_t second = fork();
  if (second < 0) return 0;
  if (second > 0) _exit(0);

  if (chdir("/") != 0) return 0;
  for (int descriptor = 0; descriptor < 64; ++descriptor) close(descriptor);
  open("/dev/null", O_RDONLY);
  open("/dev/null", O_RDWR);
  open("/dev/null", O_RDWR);
  return 1;
}
