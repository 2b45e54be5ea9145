#include "cli/cli_parse.h"

#include <algorithm>
#include <ostream>
#include <vector>

namespace marlo::cli {

void SetUpApp(CLI::App& app) {
  app.set_help_flag();
  app.allow_extras();
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

int UsageError(const TCommandText& text, const std::string& message, std::ostream& err) {
  err << "marlo-cli " << text.Name << ": " << message << "\n" << text.Usage;
  return kExitUsage;
}

int RequireLast(const TArgs& args, const CLI::Option& positional, const std::string& value,
                const std::string& name, const TCommandText& text, std::ostream& err) {
  if (!positional.count()) return UsageError(text, "no " + name + " given", err);
  if (args.empty() || args.back() != value)
    return UsageError(text, name + " must be the last argument", err);
  return -1;
}

namespace {

// CLI11's messages in the words of the rest of the program: "--page needs a number",
// "no FILE given".
std::string Reworded(const CLI::ParseError& e) {
  const std::string what = e.what();
  const size_t colon = what.find(": ");
  if (what.starts_with("--") && colon != std::string::npos) {
    const std::string option = what.substr(0, colon);
    const std::string rest = what.substr(colon + 2);
    if (rest.starts_with("needs ")) return option + " " + rest;
    if (rest.find(" required ") != std::string::npos && rest.ends_with(" missing"))
      return option + " needs a value";
  }
  if (what.ends_with(" is required")) return "no " + what.substr(0, what.size() - 12) + " given";
  return what;
}

} // namespace

int ParseArgs(CLI::App& app, const TArgs& args, const TCommandText& text, std::ostream& out,
              std::ostream& err) {
  // Help is asked for anywhere before a "--", whatever else the line holds.
  for (const std::string& a : args) {
    if (a == "--") break;
    if (a == "--help" || a == "-h") {
      out << text.Usage << text.Help;
      return kExitOk;
    }
    // "--name=" names no value; CLI11 would take the next argument as the value.
    if (a.starts_with("--") && a.ends_with("="))
      return UsageError(text, a.substr(0, a.size() - 1) + " needs a value", err);
  }
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    return UsageError(text, Reworded(e), err);
  }
  for (const std::string& extra : app.remaining()) {
    if (extra == "--") continue;
    return UsageError(
        text,
        (extra.size() > 1 && extra[0] == '-' ? "unknown option \"" : "unexpected argument \"") +
            extra + "\"",
        err);
  }
  return -1;
}

} // namespace marlo::cli
