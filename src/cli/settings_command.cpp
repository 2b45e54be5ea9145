// marlo-cli settings: prints the settings the editor would use, read from the per-user
// registry file, without changing it.
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/platform/registry_store.h"
#include "core/shell/settings.h"

#include <charconv>
#include <ostream>
#include <sstream>
#include <string>

namespace marlo::cli {

const char* const kSettingsHelp =
    "settings: prints every setting in the order the editor stores them, one line each,\n"
    "Name=string:TEXT or Name=dword:N (N in decimal; font styles are their letters B, I,\n"
    "U, S). A value that is not stored shows its default. The registry file is\n"
    "$MARLO_REGISTRY, else $XDG_CONFIG_HOME/Zorbic/registry.reg, else\n"
    "~/.config/Zorbic/registry.reg; it is only read, never changed or moved.\n"
    "  --desktop WxH  the desktop size that the default Width and Height take (without it\n"
    "                 they show 0, as there is no desktop to ask)\n"
    "A value stored with the wrong type, or a file that cannot be parsed, is reported on\n"
    "standard error; the settings are still printed, with the defaults in place of what\n"
    "could not be read, and the exit status is 1. A file that cannot be read at all prints\n"
    "nothing and ends with status 1.\n";

namespace {

constexpr const char* kSynopsis = "usage: marlo-cli settings [--desktop WxH]\n";

bool ParseNumber(std::string_view text, int& number) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, number);
  return ec == std::errc() && ptr == end && number >= 0 && number <= 1000000;
}

bool ParseDesktop(const std::string& text, TDesktopSize& desktop) {
  size_t x = text.find_first_of("xX");
  return x != std::string::npos &&
         ParseNumber(std::string_view(text).substr(0, x), desktop.Width) &&
         ParseNumber(std::string_view(text).substr(x + 1), desktop.Height);
}

} // namespace

int RunSettings(const TArgs& args, std::ostream& out, std::ostream& err) {
  static const TCommandText commandText{"settings", kSynopsis, kSettingsHelp};
  TDesktopSize desktop;
  std::string desktopText;
  CLI::App app;
  SetUpApp(app);
  app.add_option("--desktop", desktopText)
      ->check(CLI::Validator(
          [&](std::string& value) {
            return ParseDesktop(value, desktop)
                       ? std::string()
                       : "needs a size such as 1920x1080, not \"" + value + "\"";
          },
          "WxH"));
  if (int status = ParseArgs(app, args, commandText, out, err); status >= 0) return status;

  bool troubled = false;
  platform::TRegistry registry(platform::DefaultRegistryPath(), platform::raReadOnly,
                               [&](const std::string& message) {
                                 err << "marlo-cli settings: " << message << "\n";
                                 troubled = true;
                               });
  TSettings settings;
  if (auto error = LoadSettings(registry, settings, desktop)) {
    err << "marlo-cli settings: " << error->what() << "\n";
    troubled = true;
  }

  std::ostringstream text;
  for (const TSettingInfo& info : SettingsTable()) {
    TSettingValue value = info.Get(settings);
    text << info.Name << "=";
    if (value.Type == platform::rdString)
      text << "string:" << value.Text << "\n";
    else
      text << "dword:" << value.Number << "\n";
  }
  out << text.str();
  return troubled ? kExitFailure : kExitOk;
}

} // namespace marlo::cli
