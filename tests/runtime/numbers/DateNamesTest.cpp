#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numbers/DateCommand.h"
#include "numbers/DateNames.h"
#include "support/RuntimeFixture.h"

namespace {

using rt::dates::DateNames;
using rt::dates::NameForm;

std::vector<std::string> commands;
std::string reply;

std::string recordingRunner(const char* command) {
  commands.emplace_back(command);
  return reply;
}

class DateNamesTest : public rt::test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    commands.clear();
  }
  DateNames names{&recordingRunner};
};

TEST_F(DateNamesTest, NamesComeOnceFromTheDateCommandOrFallBackToEnglish) {
  reply = "  Montag\r\n";
  EXPECT_EQ(names.weekday(1, NameForm::Full), "Montag");
  reply = "Mär\n";
  EXPECT_EQ(names.month(2, NameForm::Abbreviated), "Mär");
  EXPECT_EQ(names.month(2, NameForm::Abbreviated), "Mär");
  reply = " \n";
  EXPECT_EQ(names.weekday(6, NameForm::Abbreviated), "Sat");
  EXPECT_EQ(names.month(11, NameForm::Full), "December");
  EXPECT_EQ(names.month(11, NameForm::Full), "December");
  EXPECT_EQ(commands,
            (std::vector<std::string>{"date -d\"1995-01-2\" +%A", "date -d\"2005-3-01\" +%b",
                                      "date -d\"1995-01-7\" +%a", "date -d\"2005-12-01\" +%B"}));
}

TEST_F(DateNamesTest, SeparatorIsADotOnlyWhenTheSystemDateHasOne) {
  for (const auto& [output, separator] :
       {std::pair{"15.03.01\n", '.'}, {"03/15/01\n", '/'}, {"", '/'}}) {
    DateNames fresh(&recordingRunner);
    reply = output;
    EXPECT_EQ(fresh.separator(), separator) << output;
    EXPECT_EQ(commands.back(), "date +%x");
  }
}

TEST(DateCommandTest, CollectsOutputAndErrorsOfSuccessfulCommandsOnly) {
  EXPECT_EQ(rt::dates::commandOutput("printf 'a\\nb'; echo c >&2"), "a\nbc\n");
  EXPECT_EQ(rt::dates::commandOutput("head -c 2000 /dev/zero | tr '\\0' x").size(), 2000u);
  EXPECT_EQ(rt::dates::commandOutput("echo partial; exit 3"), "");
  EXPECT_EQ(rt::dates::commandOutput("true"), "");
}

}  // namespace
