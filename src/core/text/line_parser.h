#pragma once
// What the text model needs of a syntax parser: it colours one line from the state in
// which the previous one ended, and tells its clients when it changes or goes away.
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class TLineParserClient {
public:
  virtual ~TLineParserClient() = default;
  virtual void ParserChanged() = 0;
  virtual void ParserFreed() = 0;
};

class TLineParser {
public:
  virtual ~TLineParser();
  virtual void SetLineIndex(int index) = 0;
  // Writes one style byte per character of `text` into `colors`; returns the end state.
  virtual int ColorString(std::string_view text, int startState, std::string& colors) = 0;

  void AddClient(TLineParserClient* client);
  void RemoveClient(TLineParserClient* client);

protected:
  void NotifyChanged();

private:
  std::vector<TLineParserClient*> clients_;
};

} // namespace marlo
