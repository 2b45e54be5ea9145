#include "core/search/search_options.h"

namespace marlo {

TSearchOptions& SharedSearchOptions() {
  static TSearchOptions options;
  return options;
}

} // namespace marlo
