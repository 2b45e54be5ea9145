#pragma once
// The structure pass: TYPE ... ENDTYPE blocks declare record types, DIMTYPE lines declare
// instances of them, and every instance.field reference becomes an element of a plain array
// named instance_field whose first subscript is the instance's own.
#include "core/preproc/line_block.h"
#include "core/preproc/line_span.h"
#include "core/preproc/name_table.h"
#include "core/preproc/preproc_context.h"
#include "core/preproc/preproc_text.h"
#include "core/preproc/replace_halves.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::preproc {

class TStructPass {
public:
  struct TItem {
    std::string Name;
    std::string Dimensions[4];
    int DimensionCount = 0;
  };
  struct TType {
    std::string Name;
    std::vector<TItem> Fields;
    TNameTable FieldNames;
  };
  struct TInstance {
    std::string Name;
    int Type = 0;
    std::string Dimension; // empty for an undimensioned instance
  };

  // Empties the type and instance tables.
  void Clear();
  // The whole pass as a run does it: the status lines, emptied tables, the collecting
  // step, and the replacing step when types were declared (otherwise `output` is left as
  // it was). False when it stopped at an error, which `context` then holds. `work` must
  // stay alive and unchanged until it returns, and be another list than `output`.
  bool Run(TLineSpan work, TLineBlock& output, TPreprocContext& context);

  // The two steps one by one. Collect records the types and instances of `work` and
  // writes `pass` with the declarations replaced; Replace rewrites every instance reference
  // of `pass` into `output`.
  bool Collect(const TLines& work, TLines& pass, TPreprocContext& context);
  bool Replace(const TLines& pass, TLines& output, TPreprocContext& context);

  // The 0-based work line that pass line `i` came from: a structure block's remark line
  // names its TYPE line, the lines generated for instances their DIMTYPE line. The replacing
  // step writes one output line for each pass line, so this is also the origin of output
  // line `i`. Valid after a collecting step that succeeded.
  int Origin(size_t i) const { return origins_[i]; }
  size_t OriginCount() const { return origins_.size(); }
  // Whether the last run got past its collecting step: an error after it names a pass line.
  bool Collected() const { return collected_; }

  int TypeCount() const { return static_cast<int>(types_.size()); }
  const TType& Type(int i) const { return types_[static_cast<size_t>(i)]; }
  int InstanceCount() const { return static_cast<int>(instances_.size()); }
  const TInstance& Instance(int i) const { return instances_[static_cast<size_t>(i)]; }

private:
  bool CollectLines(TLineSpan work, TPreprocContext& context);
  bool ReplaceLines(TLineBlock& output, TPreprocContext& context);
  void Generate(std::string line, size_t origin) {
    pass_.push_back(generated_.emplace_back(std::move(line)));
    origins_.push_back(static_cast<int>(origin));
  }
  size_t ReadStructure(TLineSpan work, size_t line, const TPreprocTexts& texts);
  void ReadFieldLine(std::string_view text, TType& type, int line, const TPreprocTexts& texts);
  void AddField(std::string_view declaration, TType& type, int line, const TPreprocTexts& texts);
  void ReadInstances(std::string_view text, int line, const TPreprocTexts& texts);
  void AddInstance(std::string_view piece, int type, int line, const TPreprocTexts& texts);
  void Pass(std::string_view line, size_t origin) {
    pass_.push_back(line);
    origins_.push_back(static_cast<int>(origin));
  }
  void ReplaceLine(std::string_view line, int index, std::string& out, TReplaceState& state,
                   const TPreprocTexts& texts) const;
  size_t Rewrite(std::string_view s, size_t at, const TInstance& instance, int index,
                 std::string& out, const TPreprocTexts& texts) const;

  std::vector<TType> types_;
  TNameTable typeNames_;
  std::vector<TInstance> instances_;
  TNameTable instanceNames_;
  // The collected lines: views of the work lines, or of the lines that replaced them.
  std::vector<std::string_view> pass_;
  std::deque<std::string> generated_;
  std::vector<int> origins_; // one for each line of pass_
  bool collected_ = false;
};

} // namespace marlo::preproc
