#include "core/preproc/preproc_texts.h"

#include "core/shell/language_table.h"

namespace marlo::preproc {

TPreprocTexts TPreprocTexts::FromLanguage(const TLanguageTable& language) {
  TPreprocTexts t;
  auto text = [&](const char* key) { return language.LanguageText(key); };
  t.CheckTypes = text("PreCheckTypes");
  t.ReplaceTypes = text("PreReplaceTypes");
  t.Error = text("PreError");
  t.NoneFound = text("PreNoneFound");
  t.CheckDefines = text("PreCheckDefines");
  t.ReplacingDefines = text("preReplacingDefines");
  t.CheckGlobals = text("PreCheckGlobals");
  t.ReplacingGlobals = text("preReplacingGlobals");
  t.Done = text("preDone");
  t.GlobalTrue = text("preGlobalTrue");
  t.GlobalFalse = text("preGlobalFalse");
  t.Adding = text("PreAdding");
  t.Found = text("PreFound");
  t.Replaced = text("PreReplaced");
  t.ReplacedDefinition = text("PreReplacedDefinition");
  t.With = text("PreWith");
  t.Width = text("PreWidth");
  t.AtLine = text("PreAtLine");
  t.Expects = text("PreExpects");
  t.Parameters = text("PreParameters");
  t.ErrorRedeclare = text("PreErrorRedeclare");
  t.ErrorVarExpected = text("PreErrorVarExpected");
  t.ErrorIllegalChar = text("PreErrorIllegalChar");
  t.ErrorFoundBeforeEnd = text("PreErrorFoundBeforeEnd");
  t.ErrorParamCount = text("PreErrorParamCount");
  t.ErrorParenExpected = text("PreErrorParenExpected");
  t.ErrorCommaAfterList = text("PreErrorCommaAfterList");
  t.ErrorCommaExpected = text("PreErrorCommaExpected");
  t.ErrorIdentExpected = text("PreErrorIdentExpected");
  t.ErrorDefExpected = text("PreErrorDefExpected");
  t.ErrorParamsExpected = text("PreErrorParamsExpected");
  t.ErrorUnbalancedParen = text("PreErrorUnbalancedParen");
  t.ErrorUnknownParam = text("PreErrorUnknownParam");
  t.ErrorDimensionExpected = text("PreErrorDimensionExpected");
  t.ErrorBlank = text("PreErrorBlank");
  t.ErrorFourDims = text("PreErrorFourDims");
  t.ErrorBadParen = text("PreErrorBadParen");
  t.ErrorNoTypeName = text("PreErrorNoTypeName");
  t.ErrorNoElementsDeclared = text("PreErrorNoElementsDeclared");
  t.ErrorEndTypeExpected = text("PreErrorEndTypeExpected");
  t.ErrorElementExpected = text("PreErrorElementExpected");
  return t;
}

} // namespace marlo::preproc
