// marlo-cli recover: the recovery journals the desktop program keeps of modified documents.
#include "cli/cli_parse.h"
#include "cli/subcommands.h"
#include "core/error.h"
#include "ui/recovery/journal.h"

#include <ctime>
#include <filesystem>
#include <ostream>
#include <string>

namespace marlo::cli {

const char* const kRecoverHelp =
    "recover: the journals Marlo keeps of modified documents, from which their text is\n"
    "rebuilt after a crash, in MARLO_RECOVERY_DIR when set, else\n"
    "$XDG_STATE_HOME/marlo/recovery, else ~/.local/state/marlo/recovery.\n"
    "  list          one line per journal, by time of the last change, then id:\n"
    "                ID<TAB>STATE<TAB>CAPTION<TAB>LINES<TAB>LAST-CHANGE, STATE ok, live (a\n"
    "                running Marlo writes it) or unreadable (LINES 0, the time the file's),\n"
    "                LAST-CHANGE in UTC as 2026-12-07T03:12:45Z; nothing when there are none\n"
    "  show ID       the recovered text on standard output, as Save would write it\n"
    "  discard ID    deletes the journal; a live one is left alone\n"
    "Exit status 1 when a journal cannot be read or deleted, 2 for bad arguments or an\n"
    "unknown ID.\n";

namespace {

constexpr const char* kUsage = "usage: marlo-cli recover list | show ID | discard ID\n";

const TCommandText kRecoverText{"recover", kUsage, kRecoverHelp};

std::string IsoTime(int64_t ms) {
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

const char* StateName(recovery::TJournalStatus status) {
  switch (status) {
  case recovery::TJournalStatus::Live:
    return "live";
  case recovery::TJournalStatus::Unreadable:
    return "unreadable";
  default:
    return "ok";
  }
}

// Captions are one field of a line: tabs and line breaks in them become spaces.
std::string Field(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

} // namespace

int RunRecover(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string action, id;
  CLI::App app;
  SetUpApp(app);
  app.add_option("ACTION", action);
  app.add_option("ID", id);
  if (int status = ParseArgs(app, args, kRecoverText, out, err); status >= 0) return status;
  const std::string folder = recovery::RecoveryFolder();

  if (action == "list") {
    if (!id.empty()) return UsageError(kRecoverText, "list takes no ID", err);
    std::string text;
    for (const recovery::TJournalEntry& e : recovery::ListJournals(folder))
      text += e.Id + "\t" + StateName(e.Status) + "\t" + Field(e.Caption) + "\t" +
              std::to_string(e.Lines) + "\t" + IsoTime(e.LastChangeMs) + "\n";
    out << text;
    return kExitOk;
  }
  if (action != "show" && action != "discard")
    return UsageError(kRecoverText,
                      action.empty() ? "no action given" : "unknown action \"" + action + "\"",
                      err);
  if (id.empty()) return UsageError(kRecoverText, "no ID given", err);
  const std::string path = recovery::JournalPath(folder, id);
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
    err << "marlo-cli recover: no journal \"" << id << "\" in " << folder << "\n";
    return kExitUsage;
  }
  if (action == "show") {
    try {
      out << recovery::SavedBytes(recovery::ReadJournal(path));
    } catch (const Error& e) {
      err << "marlo-cli recover: " << e.what() << "\n";
      return kExitFailure;
    }
    return kExitOk;
  }
  if (!recovery::DiscardJournal(path)) {
    err << "marlo-cli recover: cannot discard \"" << id << "\": "
        << "it is in use by a running Marlo or cannot be deleted\n";
    return kExitFailure;
  }
  return kExitOk;
}

} // namespace marlo::cli
