#include "core/syntax/paint_runs.h"

#include "core/text/memo_source.h"

#include <algorithm>

namespace marlo {

void TPaintRuns::SetLooks(const std::array<TRunLook, kNoStyle + 1>& looks) {
  looks_ = looks;
  for (int b = 0; b <= kNoStyle; ++b) {
    const TRunLook& l = looks_[static_cast<size_t>(b)];
    plainClass_[static_cast<size_t>(b)] = static_cast<uint16_t>(b);
    markedClass_[static_cast<size_t>(b)] = static_cast<uint16_t>(b);
    bool plainFound = false, markedFound = false;
    for (int e = 0; e < b && !(plainFound && markedFound); ++e) {
      const TRunLook& o = looks_[static_cast<size_t>(e)];
      bool sameFont = o.Font == l.Font && o.Upper == l.Upper;
      if (!plainFound && plainClass_[static_cast<size_t>(e)] == e && sameFont && o.Text == l.Text &&
          o.Back == l.Back) {
        plainClass_[static_cast<size_t>(b)] = static_cast<uint16_t>(e);
        plainFound = true;
      }
      if (!markedFound && markedClass_[static_cast<size_t>(e)] == e && sameFont) {
        markedClass_[static_cast<size_t>(b)] = static_cast<uint16_t>(e);
        markedFound = true;
      }
    }
  }
}

void TPaintRuns::Split(std::string_view styles, int from, int to, TColumnSpan selected,
                       TColumnSpan found, std::vector<TPaintRun>& out) const {
  const int colored = static_cast<int>(styles.size());
  auto styleAt = [&](int c) {
    return c < colored
               ? static_cast<int>(static_cast<unsigned char>(styles[static_cast<size_t>(c)]))
               : kNoStyle;
  };
  auto stateAt = [&](int c) {
    return found.Contains(c) ? rsFound : selected.Contains(c) ? rsSelected : rsPlain;
  };
  auto classOf = [&](int style, TRunState state) {
    return state == rsPlain ? plainClass_[static_cast<size_t>(style)]
                            : markedClass_[static_cast<size_t>(style)];
  };
  for (int c = from; c < to;) {
    TPaintRun run;
    run.From = c;
    run.Style = styleAt(c);
    run.State = stateAt(c);
    const uint16_t cls = classOf(run.Style, run.State);
    const int limit = std::min(to, c + kMaxRun);
    ++c;
    while (c < limit) {
      TRunState state = stateAt(c);
      if (state != run.State || classOf(styleAt(c), state) != cls) break;
      ++c;
    }
    run.To = c;
    out.push_back(run);
  }
}

void ExpandStyledLine(const TCustomMemoSource& source, int line, std::string_view colors,
                      std::string& text, std::string& styles) {
  std::string_view stored = source.StoredLine(line);
  text.clear();
  styles.clear();
  if (stored.find('\t') == std::string_view::npos) {
    text.assign(stored);
    styles.assign(colors.substr(0, std::min(colors.size(), stored.size())));
    return;
  }
  const bool colored = !colors.empty();
  for (size_t i = 0; i < stored.size(); ++i) {
    const char style = i < colors.size() ? colors[i] : '\0';
    if (stored[i] == '\t') {
      int next = source.NextTabStop(static_cast<int>(text.size()));
      text.append(static_cast<size_t>(next) - text.size(), ' ');
    } else {
      text.push_back(stored[i]);
    }
    if (colored && i < colors.size()) styles.resize(text.size(), style);
  }
}

} // namespace marlo
