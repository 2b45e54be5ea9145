#pragma once
// What the define and global passes share: a collecting step that reads the lines starting
// with the pass's keyword, each replaced by a line of its own, and a replacing step that
// gives exactly one output line for each line and sees the same remarks and strings.
#include "core/preproc/line_block.h"
#include "core/preproc/line_span.h"
#include "core/preproc/name_table.h"
#include "core/preproc/pass_lines.h"
#include "core/preproc/preproc_context.h"
#include "core/preproc/preproc_text.h"
#include "core/preproc/replace_halves.h"

#include <cstring>
#include <string>
#include <string_view>

namespace marlo::preproc {

class TNamePass {
public:
  int Count() const { return names_.Count(); }
  const std::string& Name(int i) const { return names_.Name(i); }

protected:
  // Calls declare(rest, line) for every line that starts with `keyword` (upper case) outside
  // remarks, `rest` being the trimmed text after the keyword, and puts the line it returns in
  // place of the line. False, with the error set, when one threw.
  template <class TDeclare>
  bool Collect(TLineSpan work, std::string_view keyword, TPreprocContext& context,
               TDeclare declare) {
    context.ClearError();
    pass_.Start(work);
    TLineRemarks remarks;
    for (size_t i = 0; i < work.Count(); ++i) {
      const std::string_view line = work[i];
      // A line of blanks is read as empty, and other lines pass unchanged unless they
      // declare (TPassLines reads them so); remark lines declare nothing.
      const std::string_view t = Trim(line);
      if (t.empty() || t[0] == '`' || remarks.PassesThrough(line)) continue;
      if (StartsWithNoCase(t, keyword)) {
        try {
          pass_.Replace(i, declare(Trim(t.substr(keyword.size())), static_cast<int>(i)));
        } catch (const EPreprocFailure& failure) {
          context.SetError(failure.what(), failure.Line);
          return false;
        }
      }
    }
    return true;
  }

  // Writes replaceLine(line, index, out, inRemarkBlock) for every collected line into
  // `output`, each trimmed at its end. False, with the error set, when one threw.
  template <class TReplaceLine>
  bool Replace(TLineBlock& output, TPreprocContext& context, TReplaceLine replaceLine) const {
    const size_t bytes = pass_.Bytes();
    try {
      // Status lines come in line order, so only a run that keeps none is split.
      TReplaceHalves::Run(pass_.Count(), bytes + bytes / 4, !context.Status.Kept(), output,
                          [&](size_t from, size_t to, TLineBlock& out, TReplaceState& state) {
                            TPassLines::TReader lines(pass_, from);
                            for (size_t i = from; i < to; ++i) {
                              const size_t start = out.LineStart();
                              replaceLine(lines.Line(i), static_cast<int>(i), out.Text(),
                                          state.InRemarkBlock);
                              TrimLineEnd(out.Text(), start);
                              out.EndLine();
                            }
                          });
    } catch (const EPreprocFailure& failure) {
      context.SetError(failure.what(), failure.Line);
      return false;
    }
    return true;
  }

  TNameTable names_;
  TPassLines pass_; // the collected lines
};

} // namespace marlo::preproc
