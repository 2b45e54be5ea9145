#include "core/platform/registry_store.h"

#include "core/platform/atomic_file_writer.h"
#include "core/platform/environment.h"
#include "core/platform/file_system.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace marlo::platform {

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER";

std::string Quoted(const std::string& name) {
  return "'" + name + "'";
}

// A name for the bad file beside it that does not destroy an earlier one.
std::string AsideName(const std::string& fileName) {
  std::string name = fileName + ".bad";
  for (int n = 2; FileExists(name) && n < 1000; ++n) name = fileName + ".bad." + std::to_string(n);
  return name;
}

} // namespace

std::string DefaultRegistryPath() {
  if (const char* file = std::getenv("MARLO_REGISTRY"); file && *file) return file;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
    return std::string(config) + "/Zorbic/registry.reg";
  std::string home = HomeFolder();
  return (home == "/" ? "" : home) + "/.config/Zorbic/registry.reg";
}

TRegistry::TRegistry(std::string fileName, TRegAccess access, TWarningHandler onWarning)
    : fileName_(std::move(fileName)), access_(access), onWarning_(std::move(onWarning)),
      currentKey_(kRoot) {}

TRegistry::~TRegistry() {
  if (pending_.empty()) return;
  const bool alreadyRaised = flushFailed_;
  try {
    Flush();
  } catch (const std::exception& e) {
    // A failure the caller was given already is not told twice.
    if (!alreadyRaised) Warn(e.what());
  }
}

std::string TRegistry::CurrentPath() const {
  return currentKey_.substr(kRoot.size());
}

std::string TRegistry::ResolveKey(const std::string& key) const {
  if (key.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
    throw ERegistryException("Invalid registry key name " + Quoted(key));
  std::string path = key.starts_with('\\') ? std::string(kRoot) : currentKey_;
  size_t start = 0;
  while (start <= key.size()) {
    size_t end = key.find('\\', start);
    if (end == std::string::npos) end = key.size();
    if (end > start) path += '\\' + key.substr(start, end - start);
    start = end + 1;
  }
  return path;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string path = ResolveKey(key);
  EnsureLoaded();
  if (path != kRoot && !contents_.KeyExists(path)) {
    if (!canCreate || access_ == raReadOnly) return false;
    Change({TChange::CreateKey, path, {}});
  }
  currentKey_ = path;
  return true;
}

void TRegistry::CloseKey() {
  currentKey_ = kRoot;
  Flush();
}

void TRegistry::Flush() {
  if (pending_.empty()) return;
  flushFailed_ = true;
  TRegistryFile now = ReadFile();
  if (badFileInPlace_)
    throw ERegistryException("The registry file \"" + fileName_ +
                             "\" could not be read nor moved aside, so it was not overwritten");
  for (const TChange& change : pending_) Apply(now, change);
  std::error_code ignored;
  std::filesystem::create_directories(ExtractFilePath(ResolveWriteTarget(fileName_)), ignored);
  ReplaceFileAtomically(fileName_, now.Format());
  contents_ = std::move(now);
  pending_.clear();
  flushFailed_ = false;
}

bool TRegistry::KeyExists(const std::string& key) {
  std::string path = ResolveKey(key);
  EnsureLoaded();
  return path == kRoot || contents_.KeyExists(path);
}

bool TRegistry::DeleteKey(const std::string& key) {
  std::string path = ResolveKey(key);
  EnsureLoaded();
  if (path == kRoot || !contents_.KeyExists(path)) return false;
  Change({TChange::DeleteKey, path, {}});
  return true;
}

std::vector<std::string> TRegistry::GetKeyNames() {
  EnsureLoaded();
  return contents_.SubKeyNames(currentKey_);
}

const TRegValue* TRegistry::Find(const std::string& name) {
  EnsureLoaded();
  const TRegKey* key = contents_.FindKey(currentKey_);
  return key ? key->FindValue(name) : nullptr;
}

const TRegValue& TRegistry::FindTyped(const std::string& name, TRegDataType type) {
  const TRegValue* value = Find(name);
  if (!value) throw ERegistryException("Failed to get data for " + Quoted(name));
  if (value->Type != type) throw ERegistryException("Invalid data type for " + Quoted(name));
  return *value;
}

bool TRegistry::ValueExists(const std::string& name) {
  return Find(name) != nullptr;
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
  const TRegValue* value = Find(name);
  return value ? value->Type : rdUnknown;
}

std::vector<std::string> TRegistry::GetValueNames() {
  EnsureLoaded();
  std::vector<std::string> names;
  if (const TRegKey* key = contents_.FindKey(currentKey_))
    for (const TRegValue& v : key->Values) names.push_back(v.Name);
  return names;
}

bool TRegistry::DeleteValue(const std::string& name) {
  if (!Find(name)) return false;
  Change({TChange::DeleteValue, currentKey_, TRegValue{name, rdString, {}, 0}});
  return true;
}

std::string TRegistry::ReadString(const std::string& name) {
  if (!Find(name)) return {};
  return FindTyped(name, rdString).Text;
}

int32_t TRegistry::ReadInteger(const std::string& name) {
  return FindTyped(name, rdInteger).Number;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  Change({TChange::SetValue, currentKey_, TRegValue{name, rdString, value, 0}});
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
  Change({TChange::SetValue, currentKey_, TRegValue{name, rdInteger, {}, value}});
}

void TRegistry::Change(TChange change) {
  if (access_ == raReadOnly)
    throw ERegistryException("The registry file \"" + fileName_ + "\" is open for reading only");
  EnsureLoaded();
  Apply(contents_, change);
  pending_.push_back(std::move(change));
}

void TRegistry::Apply(TRegistryFile& file, const TChange& change) {
  switch (change.Kind) {
  case TChange::CreateKey:
    if (!file.KeyExists(change.Key)) file.CreateKey(change.Key);
    break;
  case TChange::DeleteKey:
    file.DeleteKey(change.Key);
    break;
  case TChange::SetValue:
    file.CreateKey(change.Key).SetValue(change.Value);
    break;
  case TChange::DeleteValue:
    if (TRegKey* key = file.FindKey(change.Key)) key->DeleteValue(change.Value.Name);
    break;
  }
}

void TRegistry::EnsureLoaded() {
  if (loaded_) return;
  contents_ = ReadFile();
  loaded_ = true;
}

TRegistryFile TRegistry::ReadFile() {
  badFileInPlace_ = false;
  if (!FileExists(fileName_)) return {};
  TFileBuffer bytes = ReadWholeFile(fileName_);
  try {
    return TRegistryFile::Parse(std::string_view(bytes.data.get(), bytes.size));
  } catch (const ERegistryFileError& e) {
    const std::string what =
        "The registry file \"" + fileName_ + "\" could not be read (" + e.what() + ")";
    if (access_ == raReadWrite) {
      std::string aside = AsideName(fileName_);
      if (RenameFile(fileName_, aside)) {
        // Each file moved aside is a new one, so each is told.
        Warn(what + "; it was kept as \"" + aside + "\" and the defaults apply.");
        return {};
      }
      const std::string reason = std::strerror(errno);
      if (!toldBadFile_) Warn(what + " nor moved aside (" + reason + "); the defaults apply.");
    } else if (!toldBadFile_) {
      Warn(what + "; the defaults apply.");
    }
    toldBadFile_ = true;
    badFileInPlace_ = true;
    return {};
  }
}

void TRegistry::Warn(const std::string& message) {
  if (onWarning_)
    onWarning_(message);
  else
    std::cerr << message << "\n";
}

} // namespace marlo::platform
