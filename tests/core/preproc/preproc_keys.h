#pragma once
// The keys of the preprocessor's texts in the language file.

namespace marlo::test {

inline const char* const kPreprocKeys[] = {
    "PreCheckTypes",
    "PreReplaceTypes",
    "PreError",
    "PreNoneFound",
    "PreCheckDefines",
    "preReplacingDefines",
    "PreCheckGlobals",
    "preReplacingGlobals",
    "preDone",
    "PreAdding",
    "PreFound",
    "PreReplaced",
    "PreReplacedDefinition",
    "PreWith",
    "PreWidth",
    "PreAtLine",
    "PreExpects",
    "PreParameters",
    "PreErrorRedeclare",
    "PreErrorVarExpected",
    "PreErrorIllegalChar",
    "PreErrorFoundBeforeEnd",
    "PreErrorParamCount",
    "PreErrorParenExpected",
    "PreErrorCommaAfterList",
    "PreErrorCommaExpected",
    "PreErrorIdentExpected",
    "PreErrorDefExpected",
    "PreErrorParamsExpected",
    "PreErrorUnbalancedParen",
    "PreErrorUnknownParam",
    "PreErrorDimensionExpected",
    "PreErrorBlank",
    "PreErrorFourDims",
    "PreErrorBadParen",
    "PreErrorNoTypeName",
    "PreErrorNoElementsDeclared",
    "PreErrorEndTypeExpected",
    "PreErrorElementExpected",
};

} // namespace marlo::test
