// Reads arbitrary bytes as a registry file. Whatever is accepted must write out as text
// that reads back to the same keys and values, and writing that again changes nothing;
// lookups by any spelling of a stored name find it.
#include "core/platform/registry_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace marlo::platform;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_registry_file: %s\n", what);
    std::abort();
  }
}

std::string Flipped(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 32);
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c + 32);
  }
  return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TRegistryFile file;
  try {
    file = TRegistryFile::Parse(bytes);
  } catch (const ERegistryFileError&) {
    return 0;
  }
  const std::string text = file.Format();
  TRegistryFile again;
  try {
    again = TRegistryFile::Parse(text);
  } catch (const ERegistryFileError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    Require(false, "written text does not read back");
  }
  Require(again == file, "written text reads back to other keys or values");
  Require(again.Format() == text, "writing twice differs");

  for (const TRegKey& key : file.Keys()) {
    Require(file.KeyExists(key.Path), "a stored key does not exist");
    const TRegKey* found = file.FindKey(Flipped(key.Path));
    Require(found && found->Path == key.Path, "a key is not found in another case");
    for (const TRegValue& value : key.Values) {
      const TRegValue* v = key.FindValue(Flipped(value.Name));
      Require(v && *v == value, "a value is not found in another case");
    }
  }
  if (!file.Keys().empty()) {
    TRegistryFile copy = file;
    const std::string path = file.Keys().front().Path;
    Require(copy.DeleteKey(path) && !copy.KeyExists(path), "a deleted key remains");
  }
  return 0;
}
