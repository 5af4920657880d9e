// A progress line on standard error for a long run: how much of the total is
// done, the rate and the time left. It is shown only when standard error is a
// terminal, redrawn at most ten times a second and erased when the run ends.
// Standard output never sees it, and print() erases it before any message,
// so no message ever lands on the line.
#pragma once

#include <cstdint>
#include <string>

namespace vantor::app {

enum class ProgressUnit { Entries, Bytes };

// The line for done of total after elapsedTicks (60 a second), after the
// label ("Encrypting "): the rate and the time left are added once a tenth of
// a second has passed.
std::string progressText(const std::string& label, ProgressUnit unit, std::int64_t done,
                         std::int64_t total, std::int32_t elapsedTicks);

class Progress {
 public:
  // The line appears at once; shown false keeps it away (a short run).
  Progress(std::string label, ProgressUnit unit, std::int64_t total, bool shown = true);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Redraws the line when a tenth of a second has passed since it was last
  // drawn; erases it for good when done reaches the total.
  void update(std::int64_t done);
  // Takes the line off the screen; the next update draws it again.
  void erase();

 private:
  void draw(std::int32_t now);

  std::string label_;
  ProgressUnit unit_;
  std::int64_t total_;
  bool active_;
  std::int64_t done_ = 0;
  std::int32_t start_ = 0;
  std::int32_t lastDrawn_ = 0;
  std::size_t width_ = 0;  // of the line on the screen; 0 when none is
};

// Erases the line of the running progress, if one is on the screen; its next
// update draws it again.
void hideProgress();

}  // namespace vantor::app
