#pragma once
// The public line list of a text model. Reads go to the line store with tabs expanded;
// every write is a model change that cannot be undone.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class TCustomMemoSource;

class TExternalStrings {
public:
  explicit TExternalStrings(TCustomMemoSource& source) : source_(source) {}

  int Count() const;
  std::string Get(int i) const;
  std::string operator[](int i) const { return Get(i); }
  std::string Text() const;
  intptr_t Objects(int i) const;
  void SetObjects(int i, intptr_t data);

  void Put(int i, std::string_view s);
  void Insert(int i, std::string_view s);
  int Add(std::string_view s);
  void Delete(int i);
  void Clear();
  void SetText(std::string_view text);
  void Assign(const std::vector<std::string>& list);
  void LoadFromStream(std::istream& stream);
  void LoadFromFile(const std::string& fileName);
  void SaveToStream(std::ostream& stream) const;
  void SaveToFile(const std::string& fileName);
  void BeginUpdate();
  void EndUpdate();
  void Exchange(int, int) {}

  std::vector<std::string> ToVector() const;

private:
  TCustomMemoSource& source_;
};

} // namespace marlo
