// Console input splitting and GetParameters: the input bytes arrive on
// standard input, are read line by line as the prompt reads them, and each
// line is split into parameters. Both are held against a plain model.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Console.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "objects/ArrayHandle.h"
#include "support/FuzzRuntime.h"

namespace {

using vantor::fuzz::check;

// The lines the console reads from these bytes: a line ends at a line feed,
// a NUL or a carriage return; a carriage return swallows a following line
// feed and keeps any other byte for the start of the next line (a NUL kept
// that way is lost: 0 stands for nothing kept); 0xFF bytes are dropped.
std::vector<std::string> modelLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\n' || byte == 0) {
      lines.push_back(line);
      line.clear();
    } else if (byte == '\r') {
      lines.push_back(line);
      line.clear();
      if (i + 1 < bytes.size()) {
        const auto next = static_cast<unsigned char>(bytes[++i]);
        if (next != '\n' && next != 0) line += static_cast<char>(next);
      }
    } else if (byte != 0xFF) {
      line += static_cast<char>(byte);
    }
  }
  lines.push_back(line);
  // A last empty line is what every read at the end of input returns.
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// GetParameters' split: every blank from the first on starts the next
// parameter; ParamCount is the number of blanks.
struct Split {
  std::int32_t count = 0;
  std::string param[vantor::app::kParamUpperBound + 1];
};

Split modelSplit(const std::string& line) {
  Split split;
  const std::size_t first = line.find(' ');
  if (first == std::string::npos) return split;
  for (std::size_t i = first; i < line.size(); ++i) {
    if (line[i] == ' ') {
      ++split.count;
    } else if (split.count <= vantor::app::kParamUpperBound) {
      split.param[split.count] += line[i];
    }
  }
  return split;
}

// Makes the bytes the process's standard input: a pipe already closed for
// writing, so the reader meets the end of input after them.
bool feedStandardInput(const std::uint8_t* data, std::size_t size) {
  int ends[2];
  if (pipe(ends) != 0) return false;
  const bool written = write(ends[1], data, size) == static_cast<ssize_t>(size);
  close(ends[1]);
  const bool redirected = written && dup2(ends[0], STDIN_FILENO) == STDIN_FILENO;
  close(ends[0]);
  std::clearerr(stdin);
  return redirected;
}

void checkSplit(const std::string& line) {
  using namespace vantor::app;
  globals().cmd = rt::String::bytes(line, kEncodingASCII);
  getParameters();
  const Split expected = modelSplit(line);
  check(globals().paramCount == expected.count,
        "ParamCount " + std::to_string(globals().paramCount) + ", expected " + std::to_string(expected.count));
  for (std::int32_t i = 1; i <= kParamUpperBound; ++i) {
    const std::string actual = rt::stringAt(globals().param, i).str();
    check(actual == expected.param[i],
          "Param(" + std::to_string(i) + ") is \"" + actual + "\", expected \"" + expected.param[i] + "\"");
  }
}

void readAndSplit(const std::uint8_t* data, std::size_t size) {
  if (!feedStandardInput(data, size)) vantor::fuzz::fail("cannot redirect standard input");
  vantor::app::createModuleGlobals();
  std::vector<std::string> lines;
  while (!vantor::app::inputEnded()) {
    const std::string line = vantor::app::input().str();
    checkSplit(line);
    lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  const std::vector<std::string> expected = modelLines(std::string(reinterpret_cast<const char*>(data), size));
  check(lines == expected, "read " + std::to_string(lines.size()) + " lines, expected " +
                               std::to_string(expected.size()) + " (or one differs)");
  vantor::app::releaseModuleGlobals();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vantor::fuzz::startRuntime();
  // The standard input object lives for the process: made here, it stays out
  // of every run's balance.
  readAndSplit(nullptr, 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // More than a pipe holds would block the writer.
  if (size > 60000) return 0;
  const vantor::fuzz::Balance balance;
  readAndSplit(data, size);
  balance.expectUnchanged("reading and splitting lines");
  return 0;
}
