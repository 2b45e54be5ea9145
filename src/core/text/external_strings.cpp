#include "core/text/external_strings.h"

#include "core/text/memo_source.h"

namespace marlo {

int TExternalStrings::Count() const {
  return source_.LineCount();
}

std::string TExternalStrings::Get(int i) const {
  return source_.LineText(i);
}

std::string TExternalStrings::Text() const {
  TOutFormatType format = source_.outFormat_;
  source_.outFormat_ = ofWindows;
  bool exclude = source_.options_.Has(soExcludeReadOnlyLines);
  source_.options_.Exclude(soExcludeReadOnlyLines);
  std::string text = source_.SaveToBytes();
  source_.outFormat_ = format;
  source_.options_.Set(soExcludeReadOnlyLines, exclude);
  return text;
}

intptr_t TExternalStrings::Objects(int i) const {
  if (i < 0 || i >= Count()) return 0;
  const TLineExtra* extra = source_.store_.ExtraIfAny(i);
  return extra ? extra->Data : 0;
}

void TExternalStrings::SetObjects(int i, intptr_t data) {
  if (i >= 0 && i < Count()) source_.store_.Extra(i).Data = data;
}

void TExternalStrings::Put(int i, std::string_view s) {
  source_.LinesPut(i, s);
}
void TExternalStrings::Insert(int i, std::string_view s) {
  source_.LinesInsert(i, s);
}

int TExternalStrings::Add(std::string_view s) {
  int i = Count();
  source_.LinesInsert(i, s);
  return i;
}

void TExternalStrings::Delete(int i) {
  source_.LinesDelete(i);
}
void TExternalStrings::Clear() {
  source_.LinesClear();
}
void TExternalStrings::SetText(std::string_view text) {
  source_.SetTextBulk(text);
}
void TExternalStrings::Assign(const std::vector<std::string>& list) {
  source_.LinesAssign(list);
}
void TExternalStrings::LoadFromStream(std::istream& stream) {
  source_.LoadFromStream(stream);
}
void TExternalStrings::LoadFromFile(const std::string& fileName) {
  source_.LoadFromFile(fileName);
}
void TExternalStrings::SaveToStream(std::ostream& stream) const {
  source_.SaveToStream(stream);
}
void TExternalStrings::SaveToFile(const std::string& fileName) {
  source_.SaveToFile(fileName);
}

void TExternalStrings::BeginUpdate() {
  source_.BeginChange(TChangeKind::LinesWrite);
  source_.BeginLinesWrite();
}

void TExternalStrings::EndUpdate() {
  source_.EndChange();
}

std::vector<std::string> TExternalStrings::ToVector() const {
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) out.push_back(Get(i));
  return out;
}

} // namespace marlo
