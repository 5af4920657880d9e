// The application's operations run in this process, in a fresh folder taken
// as the application folder, with what they print captured: for tests that
// hand the operations a random source of their own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/RuntimeFixture.h"
#include "support/TempFolder.h"

namespace vantor::app::test {

// What a successful createsys prints.
inline const std::string kCreated =
    "Generating Key Component 1\nThis might take awhile...\n \nGenerating Key Component 2\n"
    "Generating Key Component 3\nSystem Created.\n \n";

class OperationFolderTest : public rt::test::RuntimeTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sets the command line, loads the entry counts of the folder's key system
  // as the session does after every command, runs the operation and returns
  // what it printed.
  std::string run(const std::string& line, void (*operation)());

  std::string read(std::string_view name) const;
  void write(std::string_view name, std::string_view bytes) const;
  // The names in the folder, sorted.
  std::vector<std::string> fileNames() const;
  // Removes everything in the folder.
  void clear() const;

 private:
  rt::test::TempFolder folder_;
};

}  // namespace vantor::app::test
