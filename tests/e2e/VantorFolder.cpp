#include "VantorFolder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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
  for (const Exchange& exchange : exchanges) text += kPrompt + exchange.output;
  return text + kPrompt + kTerminated;
}

std::string typedLines(const std::vector<Exchange>& exchanges) {
  std::string text;
  for (const Exchange& exchange : exchanges) text += exchange.line + "\n";
  return text + "quit\n";
}

VantorFolder::VantorFolder() { fs::create_symlink(VANTOR_EXECUTABLE, folder_ / "vantor"); }

rt::test::ProcessLaunch VantorFolder::launch(const std::string& input,
                                             const std::vector<std::string>& words) const {
  rt::test::ProcessLaunch launch;
  launch.program = path("vantor");
  launch.arguments = {launch.program};
  launch.arguments.insert(launch.arguments.end(), words.begin(), words.end());
  launch.input = input;
  launch.workingDirectory = folder_.path().string();
  launch.environment = {{"HOME", folder_.path().string()}};
  launch.deadline = std::chrono::seconds(120);
  return launch;
}

rt::test::ProcessResult VantorFolder::run(const std::string& input,
                                          const std::vector<std::string>& words) const {
  return rt::test::runProcess(launch(input, words));
}

rt::test::ProcessResult VantorFolder::runAndSignal(const std::string& input,
                                                   const std::string& marker, int signalNumber,
                                                   std::chrono::microseconds delay) const {
  rt::test::ProcessLaunch signalled = launch(input, {});
  signalled.signalMarker = marker;
  signalled.signalNumber = signalNumber;
  signalled.signalDelay = delay;
  return rt::test::runProcess(signalled);
}

std::string VantorFolder::session(const std::vector<Exchange>& exchanges) const {
  return run(typedLines(exchanges)).out;
}

void VantorFolder::write(std::string_view name, std::string_view bytes) const {
  std::ofstream(path(name), std::ios::binary) << bytes;
}

std::string VantorFolder::read(std::string_view name) const { return readFile(path(name)); }

bool VantorFolder::exists(std::string_view name) const {
  return fs::exists(fs::symlink_status(path(name)));
}

int VantorFolder::permissions(std::string_view name) const {
  struct stat status {};
  return stat(path(name).c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

std::vector<std::string> VantorFolder::fileNames(std::string_view subfolder) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path(subfolder))) {
    const std::string name = entry.path().filename();
    if (name != "vantor" && name != ".tmpAppData") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> VantorFolder::leftovers(std::string_view subfolder) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path(subfolder))) {
    const std::string name = entry.path().filename();
    if (name.starts_with('.') && name != ".tmpAppData") names.push_back(name);
  }
  const fs::path plugins = folder_ / ".tmpAppData";
  if (fs::exists(plugins)) {
    for (const auto& entry : fs::directory_iterator(plugins))
      names.push_back(".tmpAppData/" + entry.path().filename().string());
  }
  return names;
}

void VantorFolder::createSystem(const std::string& parameters) const {
  const std::vector<Exchange> exchanges = {{"createsys " + parameters, kCreated}};
  ASSERT_EQ(session(exchanges), transcript(false, exchanges));
}

void VantorFolder::expectSession(bool ready, const std::vector<Exchange>& exchanges) const {
  EXPECT_EQ(session(exchanges), transcript(ready, exchanges));
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
  getrlimit(RLIMIT_FSIZE, &saved_);
  rlimit limited = saved_;
  limited.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

std::chrono::microseconds randomDelay(std::mt19937& dice, std::chrono::microseconds longest) {
  constexpr double kShortest = 10;
  const double exponent = std::uniform_real_distribution<double>(
      0, std::log(std::max<double>(static_cast<double>(longest.count()), kShortest) / kShortest))(
      dice);
  return std::chrono::microseconds(static_cast<std::int64_t>(kShortest * std::exp(exponent)));
}

std::string expectedText(std::string_view name) {
  return readFile(std::string(EXPECTED_FOLDER) + "/" + std::string(name));
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

}  // namespace vantor::test
