#pragma once
// The language texts the preprocessor writes into its status lines and error messages,
// fetched once per run.
#include <string>

namespace marlo {
class TLanguageTable;
}

namespace marlo::preproc {

struct TPreprocTexts {
  std::string CheckTypes, ReplaceTypes, Error, NoneFound, CheckDefines, ReplacingDefines,
      CheckGlobals, ReplacingGlobals, Done, GlobalTrue, GlobalFalse, Adding, Found, Replaced,
      ReplacedDefinition, With, Width, AtLine, Expects, Parameters;
  std::string ErrorRedeclare, ErrorVarExpected, ErrorIllegalChar, ErrorFoundBeforeEnd,
      ErrorParamCount, ErrorParenExpected, ErrorCommaAfterList, ErrorCommaExpected,
      ErrorIdentExpected, ErrorDefExpected, ErrorParamsExpected, ErrorUnbalancedParen,
      ErrorUnknownParam, ErrorDimensionExpected, ErrorBlank, ErrorFourDims, ErrorBadParen,
      ErrorNoTypeName, ErrorNoElementsDeclared, ErrorEndTypeExpected, ErrorElementExpected;

  static TPreprocTexts FromLanguage(const TLanguageTable& language);
};

} // namespace marlo::preproc
