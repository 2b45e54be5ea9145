#pragma once
// Reads the style strings of a text from its first line to its last, as an export does:
// lines the cache holds come from the cache, the rest are coloured on the way into a
// scratch string that is not kept, so that walking a long text costs no memory per line.
#include "core/text/memo_source.h"

#include <string>
#include <string_view>

namespace marlo {

class TLineColorReader {
public:
  explicit TLineColorReader(TCustomMemoSource& source) : source_(source) {}

  // The style string of `line`. Lines are asked for in increasing order; lines passed
  // over are scanned for the state they leave. Valid until the next call.
  std::string_view Colors(int line);

private:
  std::string_view Scan(int line);

  TCustomMemoSource& source_;
  int next_ = 0;
  int state_ = 0;
  std::string scratch_;
};

} // namespace marlo
