#include "core/text/line_parser.h"

#include <algorithm>

namespace marlo {

TLineParser::~TLineParser() {
  auto clients = clients_;
  clients_.clear();
  for (TLineParserClient* c : clients) c->ParserFreed();
}

void TLineParser::AddClient(TLineParserClient* client) {
  if (std::find(clients_.begin(), clients_.end(), client) == clients_.end())
    clients_.push_back(client);
}

void TLineParser::RemoveClient(TLineParserClient* client) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}

void TLineParser::NotifyChanged() {
  auto clients = clients_;
  for (TLineParserClient* c : clients) c->ParserChanged();
}

} // namespace marlo
