// What vantor_bench measures with: whole processes (the built tool as a
// person runs it, or any other program) timed from outside with their peak
// resident memory, and the application's own enc and dec operations run
// inside the benchmark's process, where the engine settings can be forced.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vantor::bench {

namespace fs = std::filesystem;

struct Run {
  double seconds = 0;
  long peakKiB = 0;
  double firstPromptSeconds = 0;
};

// Runs the tool in folder with input on its standard input once it has
// prompted; times the whole run and the wait for the first prompt.
Run runTool(const fs::path& folder, const std::string& input);
// Runs a program (looked up in PATH) in folder with its standard output
// going to the file output, or to /dev/null when output is empty.
Run runProgram(const fs::path& folder, const std::vector<std::string>& command,
               const fs::path& output = {});
// Whether a program of that name is in PATH.
bool programExists(const std::string& name);

// A new empty folder under the temporary folder holding a link to the tool.
fs::path newFolder(const fs::path& tool, const char* name);
void writeRandomFile(const fs::path& path, std::uint64_t bytes);

// The application's module globals and built-in classes, for operations run
// inside this process.
void startApplication();
void stopApplication();
// Runs one command line of the application by its operation, with folder as
// the application folder and its messages thrown away; the seconds it took.
double timeOperation(const fs::path& folder, const std::string& line, void (*operation)());

double median(std::vector<double> values);
double mebibytes(std::uint64_t bytes);

}  // namespace vantor::bench
