// marlo-cli find: runs a search or a replacement on a file as the find and replace
// dialogs run it, then find-again, and prints what was found or the resulting text.
#include "cli/cli_document.h"
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/error.h"
#include "core/search/search_mask.h"
#include "core/search/search_options.h"
#include "core/search/search_texts.h"
#include "core/text/memo_source.h"

#include <charconv>
#include <ostream>
#include <string>
#include <vector>

namespace marlo::cli {

const char* const kFindHelp =
    "find: loads FILE as a document window does (caret at 0 0, the search options as a new\n"
    "run has them: forward, whole text, entire scope) and searches for TEXT (bytes as given).\n"
    "  --regex       TEXT is a pattern: . [set] [^set] ^ $ {group} * + \\c\n"
    "  --case        letters must match in case\n"
    "  --words       whole words only (switched off when TEXT holds a blank or \":\")\n"
    "  --backward    search towards the start\n"
    "  --from-cursor start at the caret instead of the start (end) of the scope\n"
    "  --caret X Y   put the caret at column X, line Y (0-based) first\n"
    "  --select BX BY EX EY\n"
    "                select a stream from BX BY to EX EY after placing the caret\n"
    "  --selected    search the selected text only\n"
    "  --replace R   replace with R (may be empty) as the replace dialog's OK does\n"
    "  --all         with --replace: Replace All\n"
    "  --prompt ANSWERS\n"
    "                with --replace: ask before each replacement; each question takes the\n"
    "                next letter: y (Yes), n (No), a (All), c (Cancel); Cancel when none left\n"
    "  --again N     with --replace: press F3 N times afterwards (default 0)\n"
    "  --undo        one Undo at the end\n"
    "  --state       then print @caret X Y, @selection, @found none|BX BY EX EY,\n"
    "                @modified 0|1, @options case=C words=W regex=R prompt=P\n"
    "  --            ends the options (for a TEXT that starts with -)\n"
    "Without --replace every match is printed when found, as 'X Y N' (0-based column and\n"
    "line of its start, its length): the find, then F3 until nothing more is found. With\n"
    "--replace the resulting lines are printed, then '@replaced N'. Exit status 0 when the\n"
    "first search found something, 1 when it did not (the not-found message goes to\n"
    "standard error; a later F3 that finds nothing reports nothing), 2 for bad arguments,\n"
    "an unreadable FILE, an invalid pattern or a selection error.\n";

namespace {

constexpr const char* kUsage =
    "usage: marlo-cli find [--regex] [--case] [--words] [--backward] [--from-cursor]\n"
    "                      [--caret X Y] [--select BX BY EX EY] [--selected] [--replace R]\n"
    "                      [--all] [--prompt ANSWERS] [--again N] [--undo] [--state] [--]\n"
    "                      FILE TEXT\n";

const TCommandText kFindText{"find", kUsage, kFindHelp};

struct TFindArgs {
  bool Regex = false, Case = false, Words = false, Backward = false, FromCursor = false;
  std::vector<int> Caret, Select;
  bool Selected = false;
  bool Replace = false;
  std::string ReplaceWith;
  bool All = false;
  bool Prompt = false;
  std::string Answers;
  int Again = 0;
  bool Undo = false, State = false;
  std::string File, Text;
};

int ParseArgs(const TArgs& args, TFindArgs& a, std::ostream& out, std::ostream& err) {
  CLI::App app;
  SetUpApp(app);
  app.add_flag("--regex", a.Regex);
  app.add_flag("--case", a.Case);
  app.add_flag("--words", a.Words);
  app.add_flag("--backward", a.Backward);
  app.add_flag("--from-cursor", a.FromCursor);
  app.add_option("--caret", a.Caret)->expected(2)->allow_extra_args(false);
  app.add_option("--select", a.Select)->expected(4)->allow_extra_args(false);
  app.add_flag("--selected", a.Selected);
  CLI::Option* replace = app.add_option("--replace", a.ReplaceWith);
  app.add_flag("--all", a.All);
  CLI::Option* prompt = app.add_option("--prompt", a.Answers);
  app.add_option("--again", a.Again)
      ->check(CLI::Validator(
          [](std::string& value) {
            return !value.empty() && value.find_first_not_of("0123456789") == std::string::npos &&
                           value.size() <= 9
                       ? std::string()
                       : "needs a number of times, not \"" + value + "\"";
          },
          "N"));
  app.add_flag("--undo", a.Undo);
  app.add_flag("--state", a.State);
  CLI::Option* file = app.add_option("FILE", a.File);
  CLI::Option* text = app.add_option("TEXT", a.Text);
  if (int status = cli::ParseArgs(app, args, kFindText, out, err); status >= 0) return status;
  if (!file->count()) return UsageError(kFindText, "no FILE given", err);
  if (!text->count()) return UsageError(kFindText, "no TEXT given", err);
  a.Replace = replace->count() > 0;
  a.Prompt = prompt->count() > 0;
  if (a.Answers.find_first_not_of("ynacYNAC") != std::string::npos)
    return UsageError(kFindText,
                      "--prompt takes the letters y, n, a and c, not \"" + a.Answers + "\"", err);
  if (!a.Replace && (a.All || a.Prompt))
    return UsageError(kFindText, std::string(a.All ? "--all" : "--prompt") + " needs --replace",
                      err);
  return -1;
}

TReplaceAnswer Answer(char c) {
  switch (c) {
  case 'y':
  case 'Y':
    return TReplaceAnswer::Yes;
  case 'n':
  case 'N':
    return TReplaceAnswer::No;
  case 'a':
  case 'A':
    return TReplaceAnswer::All;
  default:
    return TReplaceAnswer::Cancel;
  }
}

void AppendNumber(std::string& text, int n) {
  char digits[16];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

// "X Y N" of the found text, added to `text`: a search may find hundreds of thousands.
void AppendFound(const TCustomMemoSource& source, std::string& text) {
  TPoint b = source.FoundBegin(), e = source.FoundEnd();
  AppendNumber(text, b.X);
  text += ' ';
  AppendNumber(text, b.Y);
  text += ' ';
  AppendNumber(text, e.X - b.X);
  text += '\n';
}

void WriteFindState(const TCustomMemoSource& source, std::ostream& out) {
  out << "@caret " << source.CaretX() << " " << source.CaretY() << "\n";
  WriteSelection(source, out);
  if (source.HasFoundText()) {
    TPoint b = source.FoundBegin(), e = source.FoundEnd();
    out << "@found " << b.X << " " << b.Y << " " << e.X << " " << e.Y << "\n";
  } else {
    out << "@found none\n";
  }
  out << "@modified " << (source.Modified() ? 1 : 0) << "\n";
  const TSearchOptions& o = SharedSearchOptions();
  out << "@options case=" << o.CaseSensitive << " words=" << o.WholeWordsOnly
      << " regex=" << o.RegularExpr << " prompt=" << o.PromptOnReplace << "\n";
}

} // namespace

int RunFind(const TArgs& args, std::ostream& out, std::ostream& err) {
  TFindArgs a;
  if (int status = ParseArgs(args, a, out, err); status >= 0) return status;

  if (a.Regex) {
    try {
      TSearchMask check(a.Text, a.Case);
    } catch (const TSearchMaskError& e) {
      err << "marlo-cli find: "
          << FormatSearchText(SharedSearchTexts().InvalidMask, e.Pattern, e.Position) << "\n";
      return kExitUsage;
    }
  }

  TMemoSource source;
  if (!LoadDocument("find", a.File, source, err)) return kExitUsage;
  source.SetCaret(0, 0);
  if (!a.Caret.empty()) source.SetCaret(a.Caret[0], a.Caret[1]);
  if (!a.Select.empty())
    source.SelectBlock(TSelectionType::Stream, a.Select[0], a.Select[1], a.Select[2], a.Select[3]);

  TSearchOptions& o = SharedSearchOptions();
  o = TSearchOptions();
  o.TextToFind = a.Text;
  o.CaseSensitive = a.Case;
  o.WholeWordsOnly = a.Words;
  o.RegularExpr = a.Regex;
  o.Direction = a.Backward ? TSearchDirection::sdBackward : TSearchDirection::sdForward;
  o.Origin = a.FromCursor ? TSearchOrigin::soFromCursor : TSearchOrigin::soEntireScope;
  o.Scope = a.Selected ? TSearchScope::ssSelectedText : TSearchScope::ssGlobal;
  o.ReplaceWith = a.ReplaceWith;
  o.PromptOnReplace = a.Prompt;
  o.ReplaceAll = a.All;

  // A not-found report counts only for the first search; later ones say nothing.
  bool reporting = true, firstFailed = false;
  source.OnSearchMessage = [&](TCustomMemoSource&, const std::string& text) {
    if (!reporting) return;
    firstFailed = true;
    err << "marlo-cli find: " << text << "\n";
  };
  size_t answer = 0;
  source.OnReplacePrompt = [&](TCustomMemoSource&, const std::string&) {
    return answer < a.Answers.size() ? Answer(a.Answers[answer++]) : TReplaceAnswer::Cancel;
  };

  try {
    if (!a.Replace) {
      if (source.FindText()) {
        reporting = false;
        std::string found;
        do {
          AppendFound(source, found);
          if (found.size() >= (size_t{1} << 16)) {
            out.write(found.data(), static_cast<std::streamsize>(found.size()));
            found.clear();
          }
        } while (source.FindAgain());
        out.write(found.data(), static_cast<std::streamsize>(found.size()));
      }
    } else {
      source.ReplaceText();
      reporting = false;
      for (int i = 0; i < a.Again; ++i) source.FindAgain();
    }
  } catch (const Error& e) {
    // Searching a selection that is not there stops the run before anything is printed.
    const TSearchTexts& texts = SharedSearchTexts();
    if (e.what() != texts.BlockInvalid && e.what() != texts.CursorOutsideBlock) throw;
    err << "marlo-cli find: " << e.what() << "\n";
    return kExitUsage;
  }
  if (a.Undo) source.Undo();
  if (a.Replace) {
    WriteLines(source, out);
    out << "@replaced " << source.ReplaceCount() << "\n";
  }
  if (a.State) WriteFindState(source, out);
  out.flush();
  return firstFailed ? kExitFailure : kExitOk;
}

} // namespace marlo::cli
