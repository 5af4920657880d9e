#include "console/LineEditor.h"

#include <histedit.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace rt::console {
namespace {

constexpr int kHistorySize = 500;
// The name glibc gives the character set of the "C" locale.
constexpr const char* kAsciiCodeset = "ANSI_X3.4-1968";

// The editor decodes keys in the user's character set, so that letters
// beyond ASCII reach the line; the rest of the runtime keeps the "C" locale.
// Under a plain "C" locale the editor takes UTF-8, what terminals send today.
locale_t editorCharacterSet() {
  locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (user != static_cast<locale_t>(0)) {
    if (std::strcmp(nl_langinfo_l(CODESET, user), kAsciiCodeset) != 0) return user;
    freelocale(user);
  }
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return utf8 != static_cast<locale_t>(0) ? utf8 : LC_GLOBAL_LOCALE;
}

// The calling thread works in the given locale for the life of the object.
class LocaleScope {
 public:
  explicit LocaleScope(locale_t locale) : previous_(uselocale(locale)) {}
  ~LocaleScope() { uselocale(previous_); }
  LocaleScope(const LocaleScope&) = delete;
  LocaleScope& operator=(const LocaleScope&) = delete;

 private:
  locale_t previous_;
};

char* noPrompt(EditLine*) {
  static char empty[] = "";
  return empty;
}

// Ctrl-D: the end of input on an empty line, without echoing anything (the
// session's closing message starts the next line), otherwise a deletion of
// the character under the cursor.
unsigned char endOrDelete(EditLine* editLine, int) {
  const LineInfo* line = el_line(editLine);
  if (line->buffer == line->lastchar) return CC_EOF;
  if (line->cursor == line->lastchar) return CC_NORM;
  el_cursor(editLine, 1);
  el_deletestr(editLine, 1);
  return CC_REFRESH;
}

// Made on first use and kept for the life of the process.
struct Editor {
  locale_t characterSet = LC_GLOBAL_LOCALE;
  History* history = nullptr;
  EditLine* editLine = nullptr;
};

Editor makeEditor() {
  Editor editor;
  editor.characterSet = editorCharacterSet();
  const LocaleScope scope(editor.characterSet);
  editor.history = history_init();
  HistEvent event;
  history(editor.history, &event, H_SETSIZE, kHistorySize);
  history(editor.history, &event, H_SETUNIQUE, 1);
  // No configuration file is read: the keys are the same for everyone.
  editor.editLine = el_init("vantor", stdin, stdout, stderr);
  if (editor.editLine == nullptr) return editor;
  el_set(editor.editLine, EL_EDITOR, "emacs");
  el_set(editor.editLine, EL_PROMPT, &noPrompt);
  el_set(editor.editLine, EL_HIST, history, editor.history);
  el_set(editor.editLine, EL_ADDFN, "end-or-delete", "End of input or delete a character",
         &endOrDelete);
  el_set(editor.editLine, EL_BIND, "^D", "end-or-delete", nullptr);
  // A signal that arrives while a line is edited (Ctrl-C, Ctrl-Z, SIGTERM)
  // finds the terminal back in its normal mode.
  el_set(editor.editLine, EL_SIGNAL, 1);
  return editor;
}

Editor& editor() {
  static Editor instance = makeEditor();
  return instance;
}

}  // namespace

bool lineEditingActive() {
  static const bool active =
      isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1 && editor().editLine != nullptr;
  return active;
}

std::optional<std::string> readEditedLine() {
  Editor& state = editor();
  const LocaleScope scope(state.characterSet);
  int count = 0;
  const char* typed = el_gets(state.editLine, &count);
  if (typed == nullptr || count <= 0) return std::nullopt;
  std::string line(typed, static_cast<std::size_t>(count));
  if (line.ends_with('\n')) line.pop_back();
  if (!line.empty()) {
    HistEvent event;
    history(state.history, &event, H_ENTER, line.c_str());
  }
  return line;
}

}  // namespace rt::console
