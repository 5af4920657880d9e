// help: the command list, or the topic chosen by the sixth character.
#include "Console.h"
#include "HelpTexts.h"
#include "Messages.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "text/StringFunctions.h"

namespace vantor::app {

void showHelp() {
  const rt::String& cmd = globals().cmd;
  if (cmd == rt::String("help")) {
    printLines(commandListLines());
    return;
  }
  // The first character after "help" and one separator.
  const rt::String letter = rt::mid(cmd, 6, 1);
  for (const HelpTopic& topic : helpTopics()) {
    if (letter == rt::String(topic.letter)) {
      printLines(topic.lines);
      break;
    }
  }
  print(rt::String(kBlank));
}

}  // namespace vantor::app
