// The checker of zbcheck on small sources: each rule kept and broken, the order in which
// errors are found, one-line and block IFs, labels, and what strings and remarks hide.
// Each case expects "N: MESSAGE" for an error at line N, or "clean, N lines".
#include "zbcheck/zb_checker.h"

#include "../core/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace marlo::zbcheck {
namespace {

struct TCase {
  const char* Name;
  std::string Source; // lines joined with LF
  const char* Expected;
};

std::string Outcome(std::string_view source) {
  TCheckResult r = CheckSource(source);
  if (r.Clean()) return "clean, " + std::to_string(r.LineCount) + " lines";
  return std::to_string(r.Line) + ": " + r.Message;
}

void RunCases(const std::vector<TCase>& cases) {
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Outcome(c.Source), c.Expected) << c.Source;
  }
}

TEST(ZbCheckRules, StringsAndParentheses) {
  RunCases({
      {"doubled quotes stay inside", "print \"say \"\"hi\"\"\" : x = (1)", "clean, 1 lines"},
      {"a string left open", "x = 1\nprint \"abc",
       "2: string not closed: a double quote is missing"},
      {"an empty string, then an open one", "print \"\" + \"",
       "1: string not closed: a double quote is missing"},
      {"a doubled quote at the end keeps it open", "print \"a\"\"",
       "1: string not closed: a double quote is missing"},
      {"a string does not go on to the next line", "print \"a\nb\"",
       "1: string not closed: a double quote is missing"},
      {"a control byte ends a string", "print \"a\x01\"",
       "1: string not closed: a double quote is missing"},
      {"nested parentheses", "x = (1 + (2 * 3)) : y = rnd(4)", "clean, 1 lines"},
      {"balance is kept per line, not per statement", "x = (1 : y = 2)", "clean, 1 lines"},
      {"a closer first", "x = 1)\n", "1: \")\" without \"(\""},
      {"closed before opened", "x = )(", "1: \")\" without \"(\""},
      {"an opener left open", "\nx = (1 + 2", "2: \"(\" not closed"},
      {"not carried to the next line", "x = (1\n)", "1: \"(\" not closed"},
      {"parentheses in strings and remarks", "print \"(\" ` )\nx = 1 rem (", "clean, 2 lines"},
  });
}

TEST(ZbCheckRules, RemarkBlocks) {
  RunCases({
      {"a closed block hides everything", "remstart\nendif ( \"\nremend\nprint 1",
       "clean, 4 lines"},
      {"an open block, told at its line", "print 1\nREMSTART notes\nmore",
       "2: REMSTART without REMEND"},
      {"REMEND ends the block inside a line", "remstart\nxREMEND print (", "2: \"(\" not closed"},
      {"REMENDS does not end it", "remstart\nREMENDS\n", "1: REMSTART without REMEND"},
      {"REMEND: ends it", "remstart\nremend: endif", "2: ENDIF without IF"},
      {"remstart remend on one line leaves it open", "remstart remend",
       "1: REMSTART without REMEND"},
      {"the last of two blocks is told", "remstart\nremend\nremstart",
       "3: REMSTART without REMEND"},
      {"REMEND in code", "print 1\nremend", "2: REMEND without REMSTART"},
      {"after a statement", "x = 1 : REMEND", "1: REMEND without REMSTART"},
  });
}

TEST(ZbCheckRules, BlocksPairUp) {
  RunCases({
      {"every pair closed",
       "function f(a)\n do\n  while a\n   repeat\n    for i = 1 to 2\n"
       "     if a\n      select a\n       case 1\n       endcase\n      endselect\n     endif\n"
       "    next i\n   until a\n  endwhile\n loop\nendfunction a",
       "clean, 16 lines"},
      {"keywords in any case", "For I = 1 To 2\nNEXT i\nDo\nLoop", "clean, 4 lines"},
      {"ENDIF alone", "endif", "1: ENDIF without IF"},
      {"NEXT alone", "x = 1\nnext", "2: NEXT without FOR"},
      {"LOOP alone", "loop", "1: LOOP without DO"},
      {"ENDWHILE alone", "endwhile", "1: ENDWHILE without WHILE"},
      {"UNTIL alone", "until x", "1: UNTIL without REPEAT"},
      {"ENDFUNCTION alone", "endfunction", "1: ENDFUNCTION without FUNCTION"},
      {"ENDSELECT alone", "endselect", "1: ENDSELECT without SELECT"},
      {"ENDCASE in a SELECT", "select a\nendcase", "2: ENDCASE without CASE"},
      {"IF left open", "if a\nprint 1", "1: IF without ENDIF"},
      {"FOR left open", "for i = 1 to 2", "1: FOR without NEXT"},
      {"DO left open", "do", "1: DO without LOOP"},
      {"WHILE left open", "while a", "1: WHILE without ENDWHILE"},
      {"REPEAT left open", "repeat", "1: REPEAT without UNTIL"},
      {"FUNCTION left open", "function f()", "1: FUNCTION without ENDFUNCTION"},
      {"SELECT left open", "select a", "1: SELECT without ENDSELECT"},
      {"CASE left open", "select a\ncase 1", "2: CASE without ENDCASE"},
      {"the innermost open block is told", "do\nfor i = 1 to 3\nwhile a\nendwhile",
       "2: FOR without NEXT"},
      {"a closer with another block in the way", "if a\nfor i = 1 to 2\nendif",
       "3: ENDIF found, but the FOR at line 2 needs its NEXT first"},
      {"NEXT inside an open IF", "for i = 1 to 2\n if a\nnext i",
       "3: NEXT found, but the IF at line 2 needs its ENDIF first"},
      {"ENDSELECT with a CASE open", "select a\ncase 1\nendselect",
       "3: ENDSELECT found, but the CASE at line 2 needs its ENDCASE first"},
      {"a closer whose opener is nowhere", "if a\nloop", "2: LOOP without DO"},
      {"a word that only starts like a keyword", "ifx = 1\nnext_one = 2\nendif",
       "3: ENDIF without IF"},
  });
}

TEST(ZbCheckRules, NextNamesItsFor) {
  RunCases({
      {"the same name, any case", "for Count = 1 to 2\nnext COUNT", "clean, 2 lines"},
      {"nested loops", "for i = 1 to 2\nfor j = 1 to 2\nnext j\nnext i", "clean, 4 lines"},
      {"NEXT without a name", "for i = 1 to 2 : next", "clean, 1 lines"},
      {"another name", "for i = 1 to 2\nnext j", "2: NEXT j does not match FOR i"},
      {"the outer loop's name", "for i = 1 to 2\nfor j = 1 to 2\nnext i",
       "3: NEXT i does not match FOR j"},
      {"a type mark belongs to the name", "for a# = 1 to 2\nnext a",
       "2: NEXT a does not match FOR a#"},
      {"typed names that agree", "for a# = 1 to 2\nnext A#", "clean, 2 lines"},
  });
}

TEST(ZbCheckRules, ElseAndElseIf) {
  RunCases({
      {"ELSEIF and ELSE in a block IF", "if a\nelseif b\nelseif c\nelse\nendif", "clean, 5 lines"},
      {"ELSE alone", "else", "1: ELSE without IF"},
      {"ELSEIF alone", "elseif a", "1: ELSEIF without IF"},
      {"ELSE with a loop in the way", "if a\nfor i = 1 to 2\nelse", "3: ELSE without IF"},
      {"a second ELSE", "if a\nelse\nelse\nendif", "3: second ELSE in one IF"},
      {"ELSEIF after ELSE", "if a\nelse\nelseif b\nendif", "3: ELSEIF after ELSE"},
      {"each IF has its own ELSE", "if a\nif b\nelse\nendif\nelse\nendif", "clean, 6 lines"},
      {"ELSE and ENDIF on the IF's line", "if a : else : endif", "clean, 1 lines"},
      {"the text after a block ELSE is checked", "if a\nelse next\nendif", "2: NEXT without FOR"},
  });
}

TEST(ZbCheckRules, OneLineIfAndBlockIf) {
  RunCases({
      {"a statement after THEN opens nothing", "if a then print 1", "clean, 1 lines"},
      {"a loop after THEN balances on its line", "if a then for i = 1 to 3 : next i",
       "clean, 1 lines"},
      {"a loop after THEN left open", "if a then for i = 1 to 3", "1: FOR without NEXT"},
      {"THEN at the end opens a block", "if a then\nprint 1\nendif", "clean, 3 lines"},
      {"only a remark after THEN", "if a then rem why\nendif\nif b then ` why\nendif",
       "clean, 4 lines"},
      {"a remark block after THEN", "if a then remstart\nremend\nendif", "clean, 3 lines"},
      {"without THEN", "if a : print 1\nendif", "clean, 2 lines"},
      {"a block IF left open", "if a then\nprint 1", "1: IF without ENDIF"},
      {"ELSE on the line", "if a then print 1 else print 2", "clean, 1 lines"},
      {"an ELSE statement later on the line", "if a then print 1 : else : print 2",
       "clean, 1 lines"},
      {"the ELSE of a one-line IF is not its block's",
       "if a\nif b then x = 1 else x = 2\nelse\nendif", "clean, 4 lines"},
      {"nor is an ELSE statement after it", "if a\nif b then x = 1 : else x = 2\nelse\nelse\nendif",
       "4: second ELSE in one IF"},
      {"the text after THEN is checked", "if a then endif", "1: ENDIF without IF"},
      {"the text after ELSE is checked", "if a then print 1 else next", "1: NEXT without FOR"},
      {"a one-line IF after THEN", "if a then if b then print 1 else print 2", "clean, 1 lines"},
      {"THEN inside a string", "if a$ = \"then\"", "1: IF without ENDIF"},
      {"THEN after a string", "if a$ = \"x\"then print 1", "clean, 1 lines"},
      {"a one-line IF inside a block", "do\nif a then exit\nloop", "clean, 3 lines"},
  });
}

TEST(ZbCheckRules, CaseAndFunction) {
  RunCases({
      {"CASE outside SELECT", "case 1", "1: CASE outside SELECT"},
      {"CASE in an IF inside SELECT", "select a\nif b\ncase 1", "3: CASE outside SELECT"},
      {"CASE DEFAULT", "select a\ncase 1\nendcase\ncase default\nendcase\nendselect",
       "clean, 6 lines"},
      {"FUNCTION inside a block", "print 1\n\ndo\nfunction f()",
       "4: FUNCTION inside another block (the DO at line 3 is not closed)"},
      {"FUNCTION inside a FUNCTION", "function f()\nfunction g()",
       "2: FUNCTION inside another block (the FUNCTION at line 1 is not closed)"},
      {"EXITFUNCTION deep inside",
       "function f()\nfor i = 1 to 2\nexitfunction 1\nnext i\nendfunction", "clean, 5 lines"},
      {"EXITFUNCTION outside", "do\nexitfunction\nloop", "2: EXITFUNCTION outside FUNCTION"},
  });
}

TEST(ZbCheckRules, Labels) {
  RunCases({
      {"GOTO and GOSUB find labels in any case", "goto Start\nSTART:\ngosub sub_1\nsub_1: rem x",
       "clean, 4 lines"},
      {"a label not defined, as written", "goto Nowhere", "1: label Nowhere not found"},
      {"a label twice",
       "\n\nmain:\nprint 1\nMain:", "5: label Main: defined twice (first at line 3)"},
      {"GOTO without a name", "goto", "1: GOTO needs a label"},
      {"GOSUB without a name", "gosub : print 1", "1: GOSUB needs a label"},
      {"a statement after the colon is no label", "main: print 1\ngoto main",
       "2: label main not found"},
      {"a blank before the colon is no label", "main :\ngoto main", "2: label main not found"},
      {"a label with blanks around and a remark", "  end_1:  ` done\ngoto end_1", "clean, 2 lines"},
      {"a label in a remark block is none", "remstart\nmain:\nremend\ngoto main",
       "4: label main not found"},
  });
}

TEST(ZbCheckRules, ErrorsComeInOrder) {
  RunCases({
      {"the first line with an error", "endif\nnext", "1: ENDIF without IF"},
      {"a string before a parenthesis on its line", "x = ) + \"a",
       "1: string not closed: a double quote is missing"},
      {"a parenthesis before a statement", "endif (", "1: \"(\" not closed"},
      {"statements left to right", "next : endif", "1: NEXT without FOR"},
      {"line errors before open blocks", "for i = 1 to 2\nprint \"x",
       "2: string not closed: a double quote is missing"},
      {"an open remark block before an open block", "do\nremstart", "2: REMSTART without REMEND"},
      {"open blocks before labels", "goto nowhere\ndo", "2: DO without LOOP"},
      {"labels by line", "goto a\ngoto b\ngoto c\na:", "2: label b not found"},
      {"a second definition before a missing label",
       "goto x\ny:\ny:", "3: label y: defined twice (first at line 2)"},
  });
}

TEST(ZbCheckRules, RemarksAndStringsAreNotChecked) {
  RunCases({
      {"REM and its forms", "rem endif (\nREM\nx = 1 rem next )\n12rem loop", "clean, 4 lines"},
      {"the backquote", "` endif\nx = 1 `next (", "clean, 2 lines"},
      {"REM needs a space or the line's end", "remark = 1\nrem:endif", "2: ENDIF without IF"},
      {"REM after a name is none", "xrem : loop", "1: LOOP without DO"},
      {"REM before a tab is none either", "rem\t: loop", "1: LOOP without DO"},
      {"keywords and colons in strings", "print \"endif : next (\"", "clean, 1 lines"},
      {"a remark ended by a control byte", "` x\x01 endif", "1: ENDIF without IF"},
  });
}

TEST(ZbCheckRules, Lines) {
  RunCases({
      {"CR, LF and CR LF", "do\rprint 1\r\nx = 2\nloop\r\n", "clean, 4 lines"},
      {"LF CR is two line ends", "x = 1\n\rendif", "3: ENDIF without IF"},
      {"CR CR LF", "do\r\r\nloop\nendif", "4: ENDIF without IF"},
      {"a final line break starts no line", "x = 1\n\n", "clean, 2 lines"},
      {"an empty source", "", "clean, 0 lines"},
      {"a NUL ends its line", std::string("x = (1\0)\"\nendif", 15), "1: \"(\" not closed"},
      {"what follows a NUL is not read", std::string("x = 1\0 endif (\ny = 2", 20),
       "clean, 2 lines"},
      {"bytes above 127 are code", "print \"\xE9t\xE9\" : caf\xE9 = 1", "clean, 1 lines"},
  });
}

TEST(ZbCheckRules, TheBundledExampleIsClean) {
  const std::string demo = test::ReadFile(std::string(MARLO_SOURCE_DIR) + "/examples/demo.zba");
  ASSERT_FALSE(demo.empty());
  EXPECT_EQ(Outcome(demo), "clean, 99 lines");
}

} // namespace
} // namespace marlo::zbcheck
