// The fixed texts of the help command, line by line; a blank line is a line
// holding one space.
#pragma once

#include <span>

namespace vantor::app {

struct HelpTopic {
  const char* letter;
  std::span<const char* const> lines;
};

// The list printed for "help" alone.
std::span<const char* const> commandListLines();

// The topics in the order their letters are tried.
std::span<const HelpTopic> helpTopics();

}  // namespace vantor::app
