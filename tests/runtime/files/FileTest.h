// A fixture for file tests: a fresh temporary folder per test that is also
// the application folder, so relative names land in it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/RuntimeFixture.h"

namespace rt::test {

class FileTest : public RuntimeTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::string& folder() const { return folder_; }
  std::string path(std::string_view name) const { return folder_ + "/" + std::string(name); }

  void writeFile(std::string_view name, std::string_view bytes) const;
  std::string readFile(std::string_view name) const;
  bool fileExists(std::string_view name) const;

 private:
  std::string folder_;
};

}  // namespace rt::test
