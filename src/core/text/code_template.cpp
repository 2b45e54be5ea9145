#include "core/text/code_template.h"

namespace marlo {

std::vector<std::string> TMemoCodeTemplate::CodeLines() const {
  std::vector<std::string> lines;
  std::string current;
  for (size_t i = 0; i < Code.size(); ++i) {
    char c = Code[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < Code.size() && Code[i + 1] == '\n') ++i;
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

std::vector<TMemoCodeTemplate> DefaultCodeTemplates() {
  auto make = [](const char* name, const std::vector<std::string>& lines) {
    TMemoCodeTemplate t;
    t.Name = name;
    for (const std::string& l : lines) t.Code += l + "\r\n";
    return t;
  };
  const std::string rule = "   " + std::string(67, '-');
  return {
      make("comment block", {"remstart", "|", "remend"}),
      make("do-loop block", {"do", "   rem Use Exit to Break out of this loop", "   |", "loop"}),
      make("for-next block", {"for | = 0 to 0", "next"}),
      make("for-next-step block", {"for | = 0 to 0 step 1", "", "next"}),
      make("function declaration",
           {"function |(enter parameters here)", "", "endfunction {returnvalue}"}),
      make("if-then statement", {"if | then"}),
      make("if-endif block", {"IF |", "ENDIF"}),
      make("if-else-endif block", {"IF |", "ELSE", "ENDIF"}),
      make("program header", {"remstart", rule, "   program name: |", rule,
                              "   written by:", "   date:", rule, "   comments:", rule, "remend"}),
      make("repeat-until block", {"repeat", "", "until |"}),
      make("while-endwhile block", {"while |", "", "endwhile"}),
  };
}

} // namespace marlo
