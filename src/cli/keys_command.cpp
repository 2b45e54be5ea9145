// marlo-cli keys: loads a file as a document window does, replays key presses through
// the "Default" key table and prints the resulting text (and optionally the state).
#include "cli/cli_document.h"
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/error.h"
#include "core/shell/document_keys.h"
#include "core/text/key_list.h"
#include "core/text/key_names.h"
#include "core/text/memo_source.h"
#include "core/text/simple_key_view.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::cli {

const char* const kKeysHelp =
    "keys: each KEY is a key name with optional modifiers, such as Ctrl+K, B, Shift+Alt+Down,\n"
    "Enter, Tab, Backspace, Del, Ins, Home, End, PgUp, PgDn, Up, Down, Left, Right, Esc,\n"
    "Space, F1..F12, A..Z, 0..9 or [, with Ctrl+, Shift+ and Alt+ in any order (any case);\n"
    "or type:TEXT, which types TEXT. A key the table does not bind types its character\n"
    "(B types b, Shift+B types B). The clipboard lives in the process.\n"
    "  --state   after the text, print @caret, @selection, @bookmark, @modified, @overwrite\n"
    "  --save    save the result back to FILE (keeping the previous file as a backup)\n"
    "  --page N  lines in a page for PgUp, PgDn and the visible-line keys (default 20)\n"
    "  --past-eol       the caret may always go past the end of a line (the Past EOL\n"
    "                   setting); without it, only while Alt is held\n"
    "  --left-arrow-up  Left at the start of a line goes to the end of the line above\n"
    "                   (the Left Arrow Up setting)\n"
    "Keys are replayed as a document window receives them: a modifier goes down before\n"
    "the first key that has it and comes up before the first key that does not, so\n"
    "Alt+Down Alt+Down holds Alt through both; a run of Up and Down keeps its column.\n";

namespace {

constexpr const char* kKeysUsage =
    "usage: marlo-cli keys [--state] [--save] [--page N] [--past-eol] [--left-arrow-up] FILE "
    "KEY...\n";
constexpr std::string_view kTypePrefix = "type:";

struct TStep {
  bool Typed = false;
  std::string Text;
  TKeyStroke Stroke;
};

struct TKeysOptions {
  bool State = false;
  bool Save = false;
  bool PastEOL = false;
  bool LeftArrowUp = false;
  int Page = 20;
  std::string File;
  std::vector<TStep> Steps;
};

bool ParsePage(const std::string& text, int& page) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, page);
  return ec == std::errc() && ptr == end && page >= 1 && page <= 1000000;
}

const TCommandText kKeysText{"keys", kKeysUsage, kKeysHelp};

// Fills `options`; returns -1 when the run should go on, otherwise the exit status.
int ParseArgs(const TArgs& args, TKeysOptions& options, std::ostream& out, std::ostream& err) {
  CLI::App app;
  SetUpApp(app);
  // Everything after FILE is a key, even when it looks like an option.
  app.positionals_at_end();
  app.add_flag("--state", options.State);
  app.add_flag("--save", options.Save);
  app.add_flag("--past-eol", options.PastEOL);
  app.add_flag("--left-arrow-up", options.LeftArrowUp);
  app.add_option("--page", options.Page)
      ->check(CLI::Validator(
          [](std::string& value) {
            int page = 0;
            return ParsePage(value, page) ? std::string()
                                          : "needs a positive number, not \"" + value + "\"";
          },
          "N"));
  app.add_option("FILE", options.File)->required();
  std::vector<std::string> keys;
  app.add_option("KEY", keys);
  if (int status = cli::ParseArgs(app, args, kKeysText, out, err); status >= 0) return status;
  for (const std::string& a : keys) {
    TStep step;
    if (a.starts_with(kTypePrefix)) {
      step.Typed = true;
      step.Text = a.substr(kTypePrefix.size());
    } else {
      try {
        step.Stroke = ParseKeyName(a);
      } catch (const Error& e) {
        err << "marlo-cli keys: " << e.what() << "\n";
        return kExitUsage;
      }
    }
    options.Steps.push_back(std::move(step));
  }
  return -1;
}

// The editor control types these characters and ignores the others.
bool Typeable(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 32 && u <= 126) || u >= 128;
}

// Plays the steps on a document as its window receives them from a keyboard.
class TReplay {
public:
  TReplay(TCustomMemoSource& source, TKeyList& keys, TKeyView& view, TDocumentKeys& window)
      : source_(source), keys_(keys), view_(view), window_(window) {}

  void Run(const std::vector<TStep>& steps) {
    for (const TStep& step : steps) {
      if (step.Typed)
        Type(step.Text);
      else
        Stroke(step.Stroke.Key, step.Stroke.Shift);
    }
    Hold({});
  }

private:
  static constexpr struct {
    TShiftStateItem Item;
    TKeyCode Key;
  } kModifiers[] = {{ssShift, vkShift}, {ssCtrl, vkControl}, {ssAlt, vkAlt}};

  // Modifiers come up and go down until `want` is held.
  void Hold(TShiftState want) {
    for (const auto& m : kModifiers) {
      if (!held_.Has(m.Item) || want.Has(m.Item)) continue;
      window_.KeyUp(m.Key, held_, false);
      held_.Exclude(m.Item);
    }
    for (const auto& m : kModifiers) {
      if (held_.Has(m.Item) || !want.Has(m.Item)) continue;
      Press(m.Key, held_);
      held_.Include(m.Item);
    }
  }

  void Press(TKeyCode key, TShiftState shift) {
    if (window_.KeyDown(key, shift)) return;
    if (RunEditorKey(keys_, key, shift, source_, view_) != TEditorKeyResult::Type) return;
    char c;
    if (KeyToChar(key, shift, c)) source_.TypeChar(c);
  }

  void Stroke(TKeyCode key, TShiftState shift) {
    Hold(shift);
    Press(key, shift);
    window_.KeyUp(key, shift, false);
  }

  // Typed text is a run of character keys, so it ends a pending two-key command.
  void Type(const std::string& text) {
    Hold({});
    keys_.CancelPrefix();
    for (char c : text) {
      window_.KeyDown(vkNone, {});
      if (Typeable(c)) source_.TypeChar(c);
      window_.KeyUp(vkNone, {}, false);
    }
  }

  TCustomMemoSource& source_;
  TKeyList& keys_;
  TKeyView& view_;
  TDocumentKeys& window_;
  TShiftState held_;
};

} // namespace

int RunKeys(const TArgs& args, std::ostream& out, std::ostream& err) {
  TKeysOptions options;
  if (int status = ParseArgs(args, options, out, err); status >= 0) return status;

  TMemoSource source;
  if (!LoadDocument("keys", options.File, source, err)) return kExitUsage;

  TKeyList keys = TKeyList::Default();
  TSimpleKeyView view(source, options.Page);
  TDocumentKeys window(source);
  // As the editor settings give a window's editor.
  if (options.PastEOL) source.SetOption(soLimitEOL, false);
  window.PastEOL = options.PastEOL;
  window.LeftArrowUp = options.LeftArrowUp;
  TReplay(source, keys, view, window).Run(options.Steps);
  if (options.Save) {
    source.SaveToFile(options.File);
    source.SetModified(false); // as a document window does after saving
  }

  WriteLines(source, out);
  if (options.State) WriteState(source, out);
  out.flush();
  return kExitOk;
}

} // namespace marlo::cli
