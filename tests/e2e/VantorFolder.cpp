#include "VantorFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

}  // namespace

std::string lines(const std::vector<std::string>& text) {
  std::string joined;
  for (const std::string& line : text) joined += line + "\n";
  return joined;
}

std::string banner(bool systemReady) {
  return expectedText("banner.txt") +
         (systemReady ? "System is ready.\n"
                      : "System is not installed.  Issue createsys or ressys.\n");
}

std::string transcript(bool systemReady, const std::vector<Exchange>& exchanges) {
  std::string text = banner(systemReady);
  for (const Exchange& exchange : exchanges) text += std::string(kPrompt) + exchange.output;
  return text + std::string(kPrompt) + std::string(kTerminated);
}

std::string typedLines(const std::vector<Exchange>& exchanges) {
  std::string text;
  for (const Exchange& exchange : exchanges) text += exchange.line + "\n";
  return text + "quit\n";
}

VantorFolder::VantorFolder() { fs::create_symlink(VANTOR_EXECUTABLE, folder_ / "vantor"); }

rt::test::ProcessResult VantorFolder::run(const std::string& input,
                                          const std::vector<std::string>& words) const {
  rt::test::ProcessLaunch launch;
  launch.program = path("vantor");
  launch.arguments = {launch.program};
  launch.arguments.insert(launch.arguments.end(), words.begin(), words.end());
  launch.input = input;
  launch.workingDirectory = folder_.path().string();
  launch.environment = {{"HOME", folder_.path().string()}};
  launch.deadline = std::chrono::seconds(120);
  return rt::test::runProcess(launch);
}

std::string VantorFolder::session(const std::vector<Exchange>& exchanges) const {
  return run(typedLines(exchanges)).out;
}

void VantorFolder::write(std::string_view name, std::string_view bytes) const {
  std::ofstream(path(name), std::ios::binary) << bytes;
}

std::string VantorFolder::read(std::string_view name) const {
  std::ifstream in(path(name), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool VantorFolder::exists(std::string_view name) const {
  return fs::exists(fs::symlink_status(path(name)));
}

std::vector<std::string> VantorFolder::fileNames() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_.path())) {
    const std::string name = entry.path().filename();
    if (name != "vantor" && name != ".tmpAppData") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string expectedText(std::string_view name) {
  std::ifstream in(std::string(EXPECTED_FOLDER) + "/" + std::string(name), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> result;
  std::string::size_type start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    if (end == std::string::npos) {
      result.push_back(text.substr(start));
      break;
    }
    result.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return result;
}

}  // namespace vantor::test
