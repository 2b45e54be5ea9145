#pragma once
// The per-user registry: typed string and integer values under keys of
// HKEY_CURRENT_USER, kept in one registry file (see registry_file.h).
//
// Key paths that begin with a backslash name a key from the root ("\Software\Zorbic\");
// others are relative to the open key ("MRU Items"). Names compare without regard to
// ASCII case and keep the spelling they were first stored with.
//
// Changes are kept in memory and written when the key is closed (or on Flush): the file
// is read again, the changes are made on what it holds now, and the result replaces it
// atomically. So a whole batch of values costs one write, a failed write leaves the old
// file whole, and changes another store object made in the meantime are kept.
#include "core/error.h"
#include "core/platform/registry_file.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace marlo::platform {

// A registry operation failed; what() is the user's text, such as
// "Invalid data type for 'Font Size'".
class ERegistryException : public Error {
public:
  using Error::Error;
};

// $MARLO_REGISTRY when set, else $XDG_CONFIG_HOME/Zorbic/registry.reg, else
// ~/.config/Zorbic/registry.reg.
std::string DefaultRegistryPath();

enum TRegAccess : uint8_t {
  raReadWrite,
  // Never writes, and leaves a file it cannot parse where it is.
  raReadOnly,
};

class TRegistry {
public:
  // Told once about a registry file that could not be parsed (and where it was kept),
  // and about a write that failed when the object was destroyed.
  using TWarningHandler = std::function<void(const std::string& message)>;

  explicit TRegistry(std::string fileName = DefaultRegistryPath(), TRegAccess access = raReadWrite,
                     TWarningHandler onWarning = {});
  // Writes what is still pending; a failure goes to the warning handler unless the last
  // Flush already raised it.
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  const std::string& FileName() const { return fileName_; }
  // The open key from the root, "\Software\Zorbic"; "" for the root itself.
  std::string CurrentPath() const;

  // Opens the key, making it and its parents when `canCreate`; false when it does not
  // exist and may not be made (the open key stays as it was).
  bool OpenKey(const std::string& key, bool canCreate);
  // Writes what is pending and returns to the root.
  void CloseKey();
  // Writes what is pending now. Raises Error when the file cannot be written.
  void Flush();
  bool HasPendingChanges() const { return !pending_.empty(); }

  bool KeyExists(const std::string& key);
  bool DeleteKey(const std::string& key);
  std::vector<std::string> GetKeyNames();

  // Values of the open key.
  bool ValueExists(const std::string& name);
  // rdUnknown also when there is no such value.
  TRegDataType GetDataType(const std::string& name);
  std::vector<std::string> GetValueNames();
  bool DeleteValue(const std::string& name);

  // A missing value reads as the empty text; a value of another type raises
  // ERegistryException "Invalid data type for 'Name'".
  std::string ReadString(const std::string& name);
  // A missing value raises "Failed to get data for 'Name'"; another type raises
  // "Invalid data type for 'Name'".
  int32_t ReadInteger(const std::string& name);
  // An integer, on when non-zero.
  bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

private:
  struct TChange {
    enum TKind : uint8_t { CreateKey, DeleteKey, SetValue, DeleteValue } Kind;
    std::string Key;
    TRegValue Value; // the value to set, or only its name
  };

  std::string ResolveKey(const std::string& key) const;
  const TRegValue* Find(const std::string& name);
  const TRegValue& FindTyped(const std::string& name, TRegDataType type);
  void Change(TChange change);
  static void Apply(TRegistryFile& file, const TChange& change);
  void EnsureLoaded();
  // What the file holds now; a file that cannot be parsed is kept aside first.
  TRegistryFile ReadFile();
  void Warn(const std::string& message);

  std::string fileName_;
  TRegAccess access_;
  TWarningHandler onWarning_;
  bool loaded_ = false;
  TRegistryFile contents_;
  std::vector<TChange> pending_;
  std::string currentKey_; // full path from the root
  // A bad file that could not be moved aside: it must not be overwritten.
  bool badFileInPlace_ = false;
  bool toldBadFile_ = false;
  bool flushFailed_ = false; // the last Flush raised
};

} // namespace marlo::platform
