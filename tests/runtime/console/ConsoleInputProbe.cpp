// Reads standard input the way the Input function does and prints what each
// call returned, for the console input tests.
//   console_input_probe lines N   N calls of RuntimeConsoleInput
//   console_input_probe read      a line, then Read(2) and Read(0)
//   console_input_probe encoded   Read(3) as UTF-8, Read(2) with a stream
//                                 object as encoding, Read(0) marked UTF-16
//   console_input_probe untilEnd  lines until EOF says the input ended, then
//                                 one more
//   console_input_probe streams   whether standard output and error are
//                                 terminals
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/ConsoleApi.h"
#include "text/StringApi.h"
#include "text/Encodings.h"
#include "text/StringStorage.h"
#include "text/TextEncodingClass.h"

namespace {

void show(RTString s) {
  std::printf("<");
  for (char c : rt::text::bytes(s)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) std::printf("%c", c);
    else std::printf("\\x%02x", byte);
  }
  std::printf("> %x\n", rt::text::encodingOf(s));
  RuntimeUnlockString(s);
}

}  // namespace

int main(int argc, char** argv) {
  // The test writes its whole input at once: wait until it is there, so the
  // look-ahead after a carriage return sees what follows. (A terminal has
  // input only once a key is typed, which waits for the editor.)
  if (isatty(STDIN_FILENO) == 0) {
    pollfd input{0, POLLIN, 0};
    poll(&input, 1, 10000);
  }
  if (argc == 3 && std::strcmp(argv[1], "lines") == 0) {
    for (int i = std::atoi(argv[2]); i > 0; --i) show(RuntimeConsoleInput());
  } else if (argc == 2 && std::strcmp(argv[1], "read") == 0) {
    show(RuntimeConsoleInput());
    show(RuntimeStdInputRead(nullptr, 2, nullptr));
    show(RuntimeStdInputRead(nullptr, 0, nullptr));
    std::printf("eof=%d error=%d\n", RuntimeStdInputEof(nullptr), RuntimeStdInputError(nullptr));
  } else if (argc == 2 && std::strcmp(argv[1], "encoded") == 0) {
    RTObject* utf8 = rt::text::newTextEncoding(kEncodingUTF8);
    RTObject* utf16 = rt::text::newTextEncoding(kEncodingUTF16);
    RTObject* notAnEncoding = RuntimeGetStdIn();
    show(RuntimeStdInputRead(nullptr, 3, utf8));
    show(RuntimeStdInputRead(nullptr, 2, notAnEncoding));
    show(RuntimeStdInputRead(nullptr, 0, utf16));
    for (RTObject* object : {utf8, utf16, notAnEncoding}) RuntimeUnlockObject(object);
  } else if (argc == 2 && std::strcmp(argv[1], "untilEnd") == 0) {
    while (RuntimeStdInputEof(nullptr) == 0) show(RuntimeConsoleInput());
    show(RuntimeConsoleInput());
  } else if (argc == 2 && std::strcmp(argv[1], "streams") == 0) {
    RTObject* out = RuntimeGetStdOut();
    RTObject* err = RuntimeGetStdErr();
    std::printf("out=%d err=%d\n", RuntimeStdOutputIsTerminal(out),
                RuntimeStdOutputIsTerminal(err));
    for (RTObject* object : {out, err}) RuntimeUnlockObject(object);
  }
  return 0;
}
