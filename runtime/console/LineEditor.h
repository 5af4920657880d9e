// Line editing for the console's Input when a person types at a terminal:
// standard input and standard output are both terminals. Lines are read
// through the editing library (emacs keys, the arrows for the history of this
// session's lines). The history lives in memory only: lines name key folders
// and files, so nothing is ever written to disk. The editor prints no prompt
// of its own; the application has printed its prompt line before it asks.
#pragma once

#include <optional>
#include <string>

namespace rt::console {

// Whether Input reads through the line editor; decided once per process.
bool lineEditingActive();

// The next line typed, without its line end; nothing at the end of input
// (Ctrl-D on an empty line, or a terminal that went away).
std::optional<std::string> readEditedLine();

}  // namespace rt::console
