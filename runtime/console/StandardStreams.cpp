#include "console/StandardStreams.h"

#include <array>
#include <cstdio>
#include <unistd.h>

#include "console/ConsoleApi.h"
#include "console/ConsoleInput.h"
#include "console/ConsoleWriter.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "text/Encodings.h"
#include "text/StringStorage.h"
#include "text/TextEncodingClass.h"

namespace rt::console {
namespace {

template <class Function>
void* entry(Function* function) {
  return reinterpret_cast<void*>(function);
}

const std::array kInputMethods{
    MethodDefinition{"ReadLine%s%o<StandardInputStream>", entry(&RuntimeStdInputReadLine)},
    MethodDefinition{"Read%s%o<StandardInputStream>i4o<TextEncoding>", entry(&RuntimeStdInputRead)},
    MethodDefinition{"AsSocket%o<Socket>%o<StandardInputStream>", entry(&RuntimeStdInputAsSocket)},
};

const std::array kInputProperties{
    PropertyDefinition{"EOF", entry(&RuntimeStdInputEof), nullptr, 0},
    PropertyDefinition{"ReadError", entry(&RuntimeStdInputError), nullptr, 0},
};

const std::array kOutputMethods{
    MethodDefinition{"Write%%o<StandardOutputStream>s", entry(&RuntimeStdOutputStreamWrite)},
    MethodDefinition{"WriteLine%%o<StandardOutputStream>s", entry(&RuntimeStdOutputStreamWriteLine)},
    MethodDefinition{"Flush%%o<StandardOutputStream>", entry(&RuntimeStdOutFlush)},
    MethodDefinition{"AsSocket%o<Socket>%o<StandardOutputStream>", entry(&RuntimeStdOutputAsSocket)},
};

const std::array kOutputProperties{
    PropertyDefinition{"WriteError", entry(&RuntimeStdOutputError), nullptr, 0},
    PropertyDefinition{"IsTerminal", entry(&RuntimeStdOutputIsTerminal), nullptr, 0},
};

StandardOutputStreamObject* fields(RTObject* stream) {
  return reinterpret_cast<StandardOutputStreamObject*>(stream);
}

std::FILE* streamOf(RTObject* stream) {
  return stream != nullptr && fields(stream)->toStandardOutput ? stdout : stderr;
}

// The process keeps the object; the caller gets a reference of its own.
RTObject* shared(RTObject*& slot, const ClassDefinition& definition) {
  if (slot == nullptr) slot = RuntimeNewObject(objects::classFor(definition));
  RuntimeLockObject(slot);
  return slot;
}

RTObject* outputObject(RTObject*& slot, bool toStandardOutput) {
  RTObject* stream = shared(slot, standardOutputStream);
  if (stream != nullptr) fields(stream)->toStandardOutput = toStandardOutput;
  return stream;
}

RTObject* standardInput = nullptr;
RTObject* standardOutput = nullptr;
RTObject* standardError = nullptr;

}  // namespace

const ClassDefinition standardInputStream{"StandardInputStream", nullptr, sizeof(RTObject),
                                          nullptr, nullptr, kInputMethods, kInputProperties, {}};
const ClassDefinition standardOutputStream{"StandardOutputStream", nullptr,
                                           sizeof(StandardOutputStreamObject), nullptr, nullptr,
                                           kOutputMethods, kOutputProperties, {}};

}  // namespace rt::console

using namespace rt::console;

extern "C" {

RTString RuntimeEndOfLine(void) { return rt::text::makeString("\n", kEncodingASCII); }

void RuntimeConsolePrint(RTString s) {
  if (s == nullptr) return;
  writeText(stdout, s);
  (void)std::fputs("\n", stdout);
  (void)std::fflush(stdout);
}

RTString RuntimeConsoleInput(void) { return readInputLine(); }

RTObject* RuntimeGetStdIn(void) { return shared(standardInput, standardInputStream); }

RTObject* RuntimeGetStdOut(void) { return outputObject(standardOutput, true); }

RTObject* RuntimeGetStdErr(void) { return outputObject(standardError, false); }

RTString RuntimeStdInputReadLine(RTObject*) { return readInputLine(); }

RTString RuntimeStdInputRead(RTObject*, int32_t count, RTObject* encoding) {
  RTString bytes = readInputBytes(count);
  // Only a TextEncoding object carries an encoding word to read. It says what
  // the bytes are: they are marked with it, not converted to it.
  if (bytes != nullptr &&
      RuntimeObjectIsa(encoding, rt::objects::classFor(rt::text::textEncodingClass))) {
    bytes->encoding = rt::text::encodingOfObject(encoding);
  }
  return bytes;
}

uint8_t RuntimeStdInputEof(RTObject*) { return inputAtEnd(); }

uint8_t RuntimeStdInputError(RTObject*) { return std::ferror(stdin) != 0; }

RTObject* RuntimeStdInputAsSocket(RTObject*) {
  rt::exceptions::raise(rt::exceptions::serviceNotAvailableException);
  return nullptr;
}

RTObject* RuntimeStdOutputAsSocket(RTObject*) {
  rt::exceptions::raise(rt::exceptions::serviceNotAvailableException);
  return nullptr;
}

void RuntimeStdOutputStreamWrite(RTObject* stream, RTString s) { writeText(streamOf(stream), s); }

void RuntimeStdOutputStreamWriteLine(RTObject* stream, RTString s) {
  if (streamOf(stream) == stdout) {
    RuntimeConsolePrint(s);
    return;
  }
  writeText(stderr, s);
  (void)std::fputs("\n", stderr);
  (void)std::fflush(stderr);
}

void RuntimeStdOutFlush(RTObject* stream) { (void)std::fflush(streamOf(stream)); }

uint8_t RuntimeStdOutputError(RTObject* stream) { return std::ferror(streamOf(stream)) != 0; }

uint8_t RuntimeStdOutputIsTerminal(RTObject* stream) {
  return isatty(fileno(streamOf(stream))) == 1;
}

}  // extern "C"
