#include "output_checker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using querna_check::check_script;
using querna_check::CheckOptions;
using querna_check::Finding;
using querna_check::FindingKind;

namespace {

// "LINE kind text" per finding, for readable comparisons.
std::vector<std::string> check(const std::string& text, const CheckOptions& options = {}) {
    std::vector<std::string> out;
    for (const Finding& f : check_script(text, options))
        out.push_back(std::to_string(f.line) + " " + std::string(querna_check::kind_name(f.kind)) + " " + f.text);
    return out;
}

using Lines = std::vector<std::string>;

// A script in the shapes the converter writes, with nothing wrong in it.
const char* const sound_script = R"(LOCAL &function &args
ENTRY &function %LINE &args
// --  constants (with a stray " and ( in the comment
LOCAL &__PLLCTL
&__PLLCTL=(&__PLL1_BASE+0x100)
LOCAL &__PLL1_BASE
&__PLL1_BASE=0x029A0000

GLOBAL &path_out_cmm
&path_out_cmm=OS.PPF()
ON RESET GOSUB OnReset
Var.NEW int \n
Var.NEW char[128] \name
Var.Assign \n=0x14
IF "&function"!=""
(
	GOSUB &function &args
)
ELSE
(
	GOSUB StartUp
	GOSUB __GeL_MeNu_CrEaTe
)
ENDDO

more:
(
	&__FUNCTION_RETURN_VALUE=Var.VALUE(\n)
	RETURN &__FUNCTION_RETURN_VALUE
)

OnReset:
(
	PRIVATE &__VF0 &__VF1
	ENTRY &__VF0 &__VF1

	&__VF0=&__VF0 // evaluation of passed expressions 
	&__VF1=&__VF1

	Var.NEWLOCAL int \a=&__VF0
	Var.NEWLOCAL char[128] \s="&__VF1"
	GOSUB more
	ENTRY &__V0
	WHILE V.VALUE(&__V0)!=0
	(
		IF RUN()
		(
			GOTO __L0
		)
		GOSUB more
		ENTRY &__V0
	)
__L0:
	&__V1=1
	WHILE (&__V1)!=0
	(
		&__MEMORY_VALUE=data.long(d:0x100)
		Var.NEW int \__V2
		Var.Assign \__V2=&__MEMORY_VALUE
		IF ((\__V2==0x3)&&(Var.VALUE(\a)<=0x2))
		&__V1=0
	)
	retry:
	Var.Assign \Data_Long(0x100)=\n
	Var.IF (\Data_Word(0x10)>=0x1)
	GOTO retry
	sYmbol.Delete \\core
	PRINT "a (b & \c" %HEX Var.VALUE(\a) " end\"
	Data.Set D:0x10 %Long '('
	RETURN
)

StartUp:
(
	Var.NEWLOCAL char[128] \strtmp = "text"
	GOSUB more Var.String(\strtmp)
	ENTRY &__V3
	RETURN &__V3
)

__GeL_MeNu_CrEaTe:
(
	MENU.ReProgram
	(
		ADD
		MENU
		(
			POPUP "GEL"
			(
				MENUITEM "StartUp" 
				(
					DO "&path_out_cmm" StartUp
				)
				MENUITEM "setup" 
				(
					DO "&path_out_cmm" setup_dialog
				)
			)
		)
	)
	RETURN
)

setup_dialog:
(
	LOCAL &addr
	&addr=0
	DIALOG
	(
		HEADER "setup"
		EDIT "" "&addr=*"
		BUTTON "Execute" 
		(
			DO &path_out_cmm setup &addr
		)
	)
	RETURN
)

setup:
(
	ENTRY &__VF0

	Var.NEW unsigned long long \addr
	VAR.ASSIGN \addr=&__VF0

	RETURN
)
)";

TEST(OutputChecker, SoundScriptHasNoFindings) {
    EXPECT_EQ(check(sound_script), Lines{});
    // The same with CR LF line ends.
    std::string crlf;
    for (char c : std::string(sound_script)) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(check(crlf), Lines{});
}

TEST(OutputChecker, NamesReadButNeverSetOrDeclared) {
    const char* script = R"(LOCAL &a
&b=1
Var.NEW int \x
IF (&a+&b+&c)!=0
(
	Var.Assign \x=\y+&c
	Var.Assign &d=Var.VALUE(\x)
)
f:
(
	ENTRY &__V0
	Var.NEW int \__V1
	Var.Assign \x=&__V0+\__V1+&__V2+\__V3
	RETURN
)
g:
(
	Var.Assign \x=&__V0+\__V1
	Var.Assign \x=&__V_2+\__V_1
	&__V_3=1
	RETURN
)
)";
    // &d is assigned by Var.Assign, which sets HLL variables, not macros.
    // Temporaries live in the subroutine that sets them: g cannot read f's.
    EXPECT_EQ(check(script), (Lines{
                                 "4 unset-macro &c",
                                 "6 unset-macro &c",
                                 "6 undeclared-variable \\y",
                                 "7 unset-macro &d",
                                 "13 unset-temporary &__V2",
                                 "13 unset-temporary \\__V3",
                                 "18 unset-temporary &__V0",
                                 "18 unset-temporary \\__V1",
                                 "19 negative-temporary &__V_2",
                                 "19 negative-temporary \\__V_1",
                                 "20 negative-temporary &__V_3",
                             }));
}

TEST(OutputChecker, JumpsToMissingLabels) {
    const char* script = R"(GOSUB f
LOCAL &function &args &path_out_cmm
GOSUB &function &args
ENDDO
f:
(
	GOSUB g 1
	GOSUB h
	GOTO __L3
	GOTO done
	DO "&path_out_cmm" menu_entry
	DO &path_out_cmm f
	GOTO
	RETURN
)
)";
    EXPECT_EQ(check(script), (Lines{"7 missing-label g", "8 missing-label h", "9 missing-label __L3",
                                    "10 missing-label done", "11 missing-label menu_entry", "13 missing-label "}));

    // Calls of undefined functions are excused by the converter's own warnings.
    const std::string warnings =
        "line 3: Warning: Call to undefined function \"g()\".\n"
        "line 9: Warning: Call to undefined function \"h()\".\n"
        "line 9: Warning: \"OnRestart\" - This callback function is not supported\n";
    CheckOptions options;
    options.excused_functions = querna_check::undefined_functions_in(warnings);
    EXPECT_EQ(options.excused_functions, (std::vector<std::string>{"g", "h"}));
    EXPECT_EQ(check(script, options), (Lines{"9 missing-label __L3", "10 missing-label done",
                                             "11 missing-label menu_entry", "13 missing-label "}));
}

TEST(OutputChecker, BlocksParenthesesAndStrings) {
    const char* script = R"(f:
(
	IF (0x1==0x1
	(
		PRINT "(" (0x1+0x2]
	)
	)
	) ELSE
	Var.Assign \__V_0=(0x1))
	PRINT "open (
	OS co) "{ dir \x
	OS echo &__Q (
(
	RETURN
)";
    EXPECT_EQ(check(script), (Lines{
                                 "3 unbalanced-parenthesis IF (0x1==0x1",
                                 "5 unbalanced-parenthesis PRINT \"(\" (0x1+0x2]",
                                 "8 unbalanced-block )",
                                 "9 unbalanced-parenthesis Var.Assign \\__V_0=(0x1))",
                                 "9 negative-temporary \\__V_0",
                                 "10 unterminated-string PRINT \"open (",
                                 "12 unset-macro &__Q",
                                 "13 unbalanced-block (",
                             }));
}

TEST(OutputChecker, ConditionsWithEmptyOperandsOrAssignments) {
    const char* script = R"(LOCAL &__V0 &x
WHILE (()==(0x3))
WHILE ((()&(0x8000))==0x0)
GO.TILL !()
Var.IF (Var.VALUE()>0x1)
IF (Data.Long(D:)!=0x0)
WHILE &&__V0
Var.IF (&x=0x1)
V.WHILE (&x==0x1)||(&x!=0x2)||(&x<=0x3)||(&x>=0x4)
IF "&x"=="a=b"
&x=(0x1=0x2)
IF RUN()
ELSE IF (&x)==0x2
ELSE IF (&x)=0x3
)";
    EXPECT_EQ(check(script), (Lines{
                                 "2 empty-operand WHILE (()==(0x3))",
                                 "3 empty-operand WHILE ((()&(0x8000))==0x0)",
                                 "4 empty-operand GO.TILL !()",
                                 "5 empty-operand Var.IF (Var.VALUE()>0x1)",
                                 "6 empty-operand IF (Data.Long(D:)!=0x0)",
                                 "7 empty-operand WHILE &&__V0",
                                 "8 assignment-in-condition Var.IF (&x=0x1)",
                                 "14 assignment-in-condition ELSE IF (&x)=0x3",
                             }));
}

TEST(OutputChecker, LoopConditionsMustBeRefreshedInTheirBlock) {
    const char* script = R"(f:
(
	GOSUB g
	ENTRY &__V4
	V.WHILE (&__V4!=0x0)
	(
		GOSUB g
		ENTRY &__V3
	)
	ENTRY &__V5
	WHILE &__V5
	(
		Var.Assign \x=0x7
	)
	Var.NEW int \__V6
	WHILE (\__V6==0x3)
	(
		WHILE (\__V6==0x4)
		(
			Var.Assign \__V6=&__V3
		)
	)
	WHILE (&__V5!=0)
		RETURN
	RETURN
)
)";
    EXPECT_EQ(check(script, {{"g"}}), (Lines{"5 stale-loop-condition &__V4", "11 stale-loop-condition &__V5",
                                             "13 undeclared-variable \\x"}));
}

TEST(OutputChecker, AnyInputEndsWithoutCrashInLinearTime) {
    // Fragments of the converter's forms, shuffled with a fixed seed; plus a
    // few pathological texts.
    const std::vector<std::string> pieces = {"(", ")", "\n", "&", "\\", "\"", "'", "=", "==", "&__V", "\\__V_",
                                             "GOSUB", " ", "WHILE", "IF", "Var.NEW", "x", "1", ":", "//", "[",
                                             "]", "\r", "\t", "\\\\", "__L", std::string(1, '\0'), "DO \"&path_"};
    uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = 1 + static_cast<int>(seed % 80);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % pieces.size()];
        }
        check_script(text, {});
    }
    for (const std::string& text : {std::string(200000, '('), std::string(200000, ')'),
                                    std::string(100000, '\n') + "(", std::string(100000, '&') + "x",
                                    std::string(50000, '"'), std::string(""), std::string("\n\n")}) {
        check_script(text, {});
    }
    std::string many_loops;
    for (int i = 0; i < 20000; ++i) many_loops += "ENTRY &__V1\nWHILE &__V1\n(\n";
    for (int i = 0; i < 20000; ++i) many_loops += ")\n";
    // Each loop's block sets the temporary again in the loop nested in it; only the innermost does not.
    EXPECT_EQ(check(many_loops), Lines{"59999 stale-loop-condition &__V1"});
}

}  // namespace
