/* GEL grammar: an LALR(1) parser that builds the parse tree bottom-up.
   Every reduction creates the list of its left-hand side and appends one
   element per kept right-hand-side symbol; external declarations are
   appended to the run-wide root `tree`. */

%code top {
// Parser stacks: 200 entries at first, doubled when full, at most 10 000.
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
}

%code requires {
#include "frontend/tree.h"
}

%code provides {
int gellex();
void gelerror(const char* message);
}

%code {
#include <cstring>
#include <deque>
#include <new>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "frontend/frontend.h"

namespace {

// Builders for the element lists of the reductions. The lists of the
// expression levels carry their level; a step that only passes its operand up
// a level (unary_expression: postfix_expression, and so on) keeps no list of
// its own, and the code generator passes such a list down to its level.
inline List* L() { return list_create(); }
inline List* L(uint32_t level) {
    List* list = list_create();
    list->kind = level;
    return list;
}

// A nonterminal element: `child` is the symbol's own list.
inline void NT(List* list, uint32_t kind, List* child, const GELLTYPE& loc) {
    list_append(list, kind, child, nullptr, loc.first_line, loc.last_line);
}
// A token element carrying its text.
inline void TX(List* list, uint32_t kind, const char* text, const GELLTYPE& loc) {
    list_append(list, kind, nullptr, text, loc.first_line, loc.last_line);
}
// A kept keyword or operator: no text, no child.
inline void TK(List* list, uint32_t kind, const GELLTYPE& loc) {
    list_append(list, kind, nullptr, nullptr, loc.first_line, loc.last_line);
}
// A symbol whose list the tree does not keep (comment blocks inside constructs).
inline void DROP(List* list) { list_release(list); }

}  // namespace

// The parser reads its tokens through a filter that drops the comments the
// grammar has no place for (see next_token below).
template <typename State>
int next_token(const State* bottom, const State* top);
#undef yylex
#define yylex() next_token(yyss, yyssp)
}

%define api.prefix {gel}
%define parse.error custom
%locations


%union {
    char* text;
    List* list;
}

%destructor { list_release($$); } <list>

%token <text> IDENTIFIER     "identifier"
%token <text> CONSTANT       "constant"
%token <text> STRING         "string"
%token SIZEOF                "sizeof"
%token PTR_OP "->" INC_OP "++" DEC_OP "--"
%token LEFT_OP "<<" RIGHT_OP ">>" LE_OP "<=" GE_OP ">=" EQ_OP "==" NE_OP "!=" AND_OP "&&" OR_OP "||"
%token MUL_ASSIGN "*=" DIV_ASSIGN "/=" MOD_ASSIGN "%=" ADD_ASSIGN "+=" SUB_ASSIGN "-="
%token LEFT_ASSIGN "<<=" RIGHT_ASSIGN ">>=" AND_ASSIGN "&=" XOR_ASSIGN "^=" OR_ASSIGN "|="
%token CHAR "char" SHORT "short" INT "int" LONG "long" SIGNED "signed" UNSIGNED "unsigned"
%token FLOAT "float" DOUBLE "double" VOID "void"
%token ELLIPSIS "ellipsis"
%token IF "if" ELSE "else" WHILE "while" DO "do" FOR "for" BREAK "break" GOTO "goto" RETURN "return"
%token MENUITEM "menuitem" DIALOG "dialog" SLIDER "slider" HOTMENU "hotmenu"
%token STRUCT "struct" UNION "union" ENUM "enum" CONST "const" VOLATILE "volatile"
%token TYPEDEF "typedef" EXTERN "extern" STATIC "static" AUTO "auto" REGISTER "register"
%token <text> QUERNA_CALL    "QUERNA call"
%token <text> AT_PROG_S8     "@prog signed expression (8bit)"
%token <text> AT_PROG_S16    "@prog signed expression (16bit)"
%token <text> AT_PROG_S32    "@prog signed expression (32bit)"
%token <text> AT_PROG_S64    "@prog signed expression (64bit)"
%token <text> AT_DATA_S8     "@data signed expression (8bit)"
%token <text> AT_DATA_S16    "@data signed expression (16bit)"
%token <text> AT_DATA_S32    "@data signed expression (32bit)"
%token <text> AT_DATA_S64    "@data signed expression (64bit)"
%token <text> AT_IO_S8       "@io signed expression (8bit)"
%token <text> AT_IO_S16      "@io signed expression (16bit)"
%token <text> AT_IO_S32      "@io signed expression (32bit)"
%token <text> AT_IO_S64      "@io signed expression (64bit)"
%token <text> AT_PROG_U8     "@prog unsigned expression (8bit)"
%token <text> AT_PROG_U16    "@prog unsigned expression (16bit)"
%token <text> AT_PROG_U32    "@prog unsigned expression (32bit)"
%token <text> AT_PROG_U64    "@prog unsigned expression (64bit)"
%token <text> AT_DATA_U8     "@data unsigned expression (8bit)"
%token <text> AT_DATA_U16    "@data unsigned expression (16bit)"
%token <text> AT_DATA_U32    "@data unsigned expression (32bit)"
%token <text> AT_DATA_U64    "@data unsigned expression (64bit)"
%token <text> AT_IO_U8       "@io unsigned expression (8bit)"
%token <text> AT_IO_U16      "@io unsigned expression (16bit)"
%token <text> AT_IO_U32      "@io unsigned expression (32bit)"
%token <text> AT_IO_U64      "@io unsigned expression (64bit)"
%token <text> COMMENT        "comment"
%token <text> MACRO          "macro"

%type <list> at_expression primary_expression postfix_expression argument_expression_list
%type <list> unary_expression unary_operator cast_expression multiplicative_expression
%type <list> additive_expression shift_expression relational_expression equality_expression
%type <list> and_expression exclusive_or_expression inclusive_or_expression
%type <list> logical_and_expression logical_or_expression conditional_expression
%type <list> assignment_expression assignment_operator expression constant_expression
%type <list> declaration declaration_specifiers storage_class_specifier type_qualifier
%type <list> init_declarator_list init_declarator type_specifier specifier_qualifier_list
%type <list> declarator direct_declarator pointer parameter_type_list parameter_list
%type <list> parameter_declaration identifier_list type_name abstract_declarator
%type <list> direct_abstract_declarator initializer statement body_statement labeled_statement
%type <list> compound_statement declaration_list statement_list expression_statement
%type <list> selection_statement iteration_statement jump_statement external_declaration
%type <list> function_definition function_declarator function_parameter_list function_parameter
%type <list> menuitem_definition hotmenu dialog dialog_parameter_list dialog_parameter_list_item
%type <list> slider slider_parameter_list struct_or_union_specifier struct_or_union
%type <list> struct_declaration_list struct_declaration struct_declarator_list struct_declarator
%type <list> enum_specifier enumerator_list enumerator dts_comment dts_define

%start translation_unit

%%

semicolons
    : semicolons ';'
    | ';'
    ;

at_expression
    : AT_PROG_S8     { $$ = L(); TX($$, ID_AT_FIRST + 0, $1, @1); }
    | AT_PROG_S16    { $$ = L(); TX($$, ID_AT_FIRST + 1, $1, @1); }
    | AT_PROG_S32    { $$ = L(); TX($$, ID_AT_FIRST + 2, $1, @1); }
    | AT_PROG_S64    { $$ = L(); TX($$, ID_AT_FIRST + 3, $1, @1); }
    | AT_DATA_S8     { $$ = L(); TX($$, ID_AT_FIRST + 4, $1, @1); }
    | AT_DATA_S16    { $$ = L(); TX($$, ID_AT_FIRST + 5, $1, @1); }
    | AT_DATA_S32    { $$ = L(); TX($$, ID_AT_FIRST + 6, $1, @1); }
    | AT_DATA_S64    { $$ = L(); TX($$, ID_AT_FIRST + 7, $1, @1); }
    | AT_IO_S8       { $$ = L(); TX($$, ID_AT_FIRST + 8, $1, @1); }
    | AT_IO_S16      { $$ = L(); TX($$, ID_AT_FIRST + 9, $1, @1); }
    | AT_IO_S32      { $$ = L(); TX($$, ID_AT_FIRST + 10, $1, @1); }
    | AT_IO_S64      { $$ = L(); TX($$, ID_AT_FIRST + 11, $1, @1); }
    | AT_PROG_U8     { $$ = L(); TX($$, ID_AT_FIRST + 12, $1, @1); }
    | AT_PROG_U16    { $$ = L(); TX($$, ID_AT_FIRST + 13, $1, @1); }
    | AT_PROG_U32    { $$ = L(); TX($$, ID_AT_FIRST + 14, $1, @1); }
    | AT_PROG_U64    { $$ = L(); TX($$, ID_AT_FIRST + 15, $1, @1); }
    | AT_DATA_U8     { $$ = L(); TX($$, ID_AT_FIRST + 16, $1, @1); }
    | AT_DATA_U16    { $$ = L(); TX($$, ID_AT_FIRST + 17, $1, @1); }
    | AT_DATA_U32    { $$ = L(); TX($$, ID_AT_FIRST + 18, $1, @1); }
    | AT_DATA_U64    { $$ = L(); TX($$, ID_AT_FIRST + 19, $1, @1); }
    | AT_IO_U8       { $$ = L(); TX($$, ID_AT_FIRST + 20, $1, @1); }
    | AT_IO_U16      { $$ = L(); TX($$, ID_AT_FIRST + 21, $1, @1); }
    | AT_IO_U32      { $$ = L(); TX($$, ID_AT_FIRST + 22, $1, @1); }
    | AT_IO_U64      { $$ = L(); TX($$, ID_AT_FIRST + 23, $1, @1); }
    ;

primary_expression
    : IDENTIFIER            { $$ = L(ID_primary_expression); TX($$, ID_IDENTIFIER, $1, @1); }
    | CONSTANT              { $$ = L(ID_primary_expression); TX($$, ID_CONSTANT, $1, @1); }
    | STRING                { $$ = L(ID_primary_expression); TX($$, ID_STRING, $1, @1); }
    | at_expression         { $$ = L(ID_primary_expression); NT($$, ID_at_expression, $1, @1); }
    | '(' expression ')'    { $$ = L(ID_primary_expression); NT($$, ID_expression, $2, @2); }
    ;

postfix_expression
    : primary_expression
        { $$ = $1; }
    | postfix_expression '[' expression ']'
        { $$ = L(ID_postfix_expression); NT($$, ID_postfix_expression, $1, @1); NT($$, ID_expression, $3, @3); }
    | IDENTIFIER '(' ')'
        { $$ = L(ID_postfix_expression); TX($$, ID_IDENTIFIER, $1, @1); }
    | IDENTIFIER '(' argument_expression_list ')'
        { $$ = L(ID_postfix_expression); TX($$, ID_IDENTIFIER, $1, @1); NT($$, ID_argument_expression_list, $3, @3); }
    | postfix_expression '.' IDENTIFIER
        { $$ = L(ID_postfix_expression); NT($$, ID_postfix_expression, $1, @1); TX($$, ID_IDENTIFIER, $3, @3); }
    | postfix_expression PTR_OP IDENTIFIER
        { $$ = L(ID_postfix_expression); NT($$, ID_postfix_expression, $1, @1); TK($$, ID_PTR_OP, @2); TX($$, ID_IDENTIFIER, $3, @3); }
    | postfix_expression INC_OP
        { $$ = L(ID_postfix_expression); NT($$, ID_postfix_expression, $1, @1); TK($$, ID_INC_OP, @2); }
    | postfix_expression DEC_OP
        { $$ = L(ID_postfix_expression); NT($$, ID_postfix_expression, $1, @1); TK($$, ID_DEC_OP, @2); }
    ;

argument_expression_list
    : assignment_expression
        { $$ = L(); NT($$, ID_assignment_expression, $1, @1); }
    | argument_expression_list ',' assignment_expression
        { $$ = $1; NT($$, ID_assignment_expression, $3, @3); }
    | argument_expression_list ','
        { $$ = $1; TX($$, ID_CONSTANT, "0", @2); }
    | argument_expression_list ',' dts_comment assignment_expression
        { $$ = $1; DROP($3); NT($$, ID_assignment_expression, $4, @4); }
    ;

unary_expression
    : postfix_expression
        { $$ = $1; }
    | postfix_expression dts_comment
        { $$ = $1; DROP($2); }
    | INC_OP unary_expression
        { $$ = L(ID_unary_expression); TK($$, ID_INC_OP, @1); NT($$, ID_unary_expression, $2, @2); }
    | DEC_OP unary_expression
        { $$ = L(ID_unary_expression); TK($$, ID_DEC_OP, @1); NT($$, ID_unary_expression, $2, @2); }
    | unary_operator cast_expression
        { $$ = L(ID_unary_expression); NT($$, ID_unary_operator, $1, @1); NT($$, ID_cast_expression, $2, @2); }
    | SIZEOF unary_expression
        { $$ = L(ID_unary_expression); TK($$, ID_SIZEOF, @1); NT($$, ID_unary_expression, $2, @2); }
    | SIZEOF '(' type_name ')'
        { $$ = L(ID_unary_expression); TK($$, ID_SIZEOF, @1); TK($$, ID_LPAREN, @2); NT($$, ID_type_name, $3, @3); TK($$, ID_RPAREN, @4); }
    ;

unary_operator
    : '&'   { $$ = L(); TK($$, ID_AMP, @1); }
    | '*'   { $$ = L(); TK($$, ID_STAR, @1); }
    | '+'   { $$ = L(); TK($$, ID_PLUS, @1); }
    | '-'   { $$ = L(); TK($$, ID_MINUS, @1); }
    | '~'   { $$ = L(); TK($$, ID_TILDE, @1); }
    | '!'   { $$ = L(); TK($$, ID_NOT, @1); }
    ;

cast_expression
    : unary_expression
        { $$ = $1; }
    | '(' type_name ')' cast_expression
        { $$ = L(ID_cast_expression); NT($$, ID_type_name, $2, @2); NT($$, ID_cast_expression, $4, @4); }
    ;

multiplicative_expression
    : cast_expression
        { $$ = $1; }
    | multiplicative_expression '*' cast_expression
        { $$ = L(ID_multiplicative_expression); NT($$, ID_multiplicative_expression, $1, @1); TK($$, ID_STAR, @2); NT($$, ID_cast_expression, $3, @3); }
    | multiplicative_expression '/' cast_expression
        { $$ = L(ID_multiplicative_expression); NT($$, ID_multiplicative_expression, $1, @1); TK($$, ID_SLASH, @2); NT($$, ID_cast_expression, $3, @3); }
    | multiplicative_expression '%' cast_expression
        { $$ = L(ID_multiplicative_expression); NT($$, ID_multiplicative_expression, $1, @1); TK($$, ID_PERCENT, @2); NT($$, ID_cast_expression, $3, @3); }
    ;

additive_expression
    : multiplicative_expression
        { $$ = $1; }
    | additive_expression '+' multiplicative_expression
        { $$ = L(ID_additive_expression); NT($$, ID_additive_expression, $1, @1); TK($$, ID_PLUS, @2); NT($$, ID_multiplicative_expression, $3, @3); }
    | additive_expression '+' dts_comment multiplicative_expression
        { $$ = L(ID_additive_expression); NT($$, ID_additive_expression, $1, @1); TK($$, ID_PLUS, @2); DROP($3); NT($$, ID_multiplicative_expression, $4, @4); }
    | additive_expression '-' multiplicative_expression
        { $$ = L(ID_additive_expression); NT($$, ID_additive_expression, $1, @1); TK($$, ID_MINUS, @2); NT($$, ID_multiplicative_expression, $3, @3); }
    ;

shift_expression
    : additive_expression
        { $$ = $1; }
    | shift_expression LEFT_OP additive_expression
        { $$ = L(ID_shift_expression); NT($$, ID_shift_expression, $1, @1); TK($$, ID_LEFT_OP, @2); NT($$, ID_additive_expression, $3, @3); }
    | shift_expression RIGHT_OP additive_expression
        { $$ = L(ID_shift_expression); NT($$, ID_shift_expression, $1, @1); TK($$, ID_RIGHT_OP, @2); NT($$, ID_additive_expression, $3, @3); }
    ;

relational_expression
    : shift_expression
        { $$ = $1; }
    | relational_expression '<' shift_expression
        { $$ = L(ID_relational_expression); NT($$, ID_relational_expression, $1, @1); TK($$, ID_LT, @2); NT($$, ID_shift_expression, $3, @3); }
    | relational_expression '>' shift_expression
        { $$ = L(ID_relational_expression); NT($$, ID_relational_expression, $1, @1); TK($$, ID_GT, @2); NT($$, ID_shift_expression, $3, @3); }
    | relational_expression LE_OP shift_expression
        { $$ = L(ID_relational_expression); NT($$, ID_relational_expression, $1, @1); TK($$, ID_LE_OP, @2); NT($$, ID_shift_expression, $3, @3); }
    | relational_expression GE_OP shift_expression
        { $$ = L(ID_relational_expression); NT($$, ID_relational_expression, $1, @1); TK($$, ID_GE_OP, @2); NT($$, ID_shift_expression, $3, @3); }
    ;

equality_expression
    : relational_expression
        { $$ = $1; }
    | equality_expression EQ_OP relational_expression
        { $$ = L(ID_equality_expression); NT($$, ID_equality_expression, $1, @1); TK($$, ID_EQ_OP, @2); NT($$, ID_relational_expression, $3, @3); }
    | equality_expression NE_OP relational_expression
        { $$ = L(ID_equality_expression); NT($$, ID_equality_expression, $1, @1); TK($$, ID_NE_OP, @2); NT($$, ID_relational_expression, $3, @3); }
    ;

and_expression
    : equality_expression
        { $$ = $1; }
    | and_expression '&' equality_expression
        { $$ = L(ID_and_expression); NT($$, ID_and_expression, $1, @1); NT($$, ID_equality_expression, $3, @3); }
    | and_expression '&' dts_comment equality_expression
        { $$ = L(ID_and_expression); NT($$, ID_and_expression, $1, @1); DROP($3); NT($$, ID_equality_expression, $4, @4); }
    ;

exclusive_or_expression
    : and_expression
        { $$ = $1; }
    | exclusive_or_expression '^' and_expression
        { $$ = L(ID_exclusive_or_expression); NT($$, ID_exclusive_or_expression, $1, @1); NT($$, ID_and_expression, $3, @3); }
    ;

inclusive_or_expression
    : exclusive_or_expression
        { $$ = $1; }
    | inclusive_or_expression '|' exclusive_or_expression
        { $$ = L(ID_inclusive_or_expression); NT($$, ID_inclusive_or_expression, $1, @1); NT($$, ID_exclusive_or_expression, $3, @3); }
    | inclusive_or_expression '|' dts_comment exclusive_or_expression
        { $$ = L(ID_inclusive_or_expression); NT($$, ID_inclusive_or_expression, $1, @1); DROP($3); NT($$, ID_exclusive_or_expression, $4, @4); }
    ;

logical_and_expression
    : inclusive_or_expression
        { $$ = $1; }
    | logical_and_expression AND_OP inclusive_or_expression
        { $$ = L(ID_logical_and_expression); NT($$, ID_logical_and_expression, $1, @1); NT($$, ID_inclusive_or_expression, $3, @3); }
    ;

logical_or_expression
    : logical_and_expression
        { $$ = $1; }
    | logical_or_expression OR_OP logical_and_expression
        { $$ = L(ID_logical_or_expression); NT($$, ID_logical_or_expression, $1, @1); NT($$, ID_logical_and_expression, $3, @3); }
    ;

conditional_expression
    : logical_or_expression
        { $$ = $1; }
    | logical_or_expression '?' expression ':' conditional_expression
        { $$ = L(ID_conditional_expression); NT($$, ID_logical_or_expression, $1, @1); NT($$, ID_expression, $3, @3); NT($$, ID_conditional_expression, $5, @5); }
    ;

assignment_expression
    : conditional_expression
        { $$ = $1; }
    | unary_expression assignment_operator assignment_expression
        { $$ = L(ID_assignment_expression); NT($$, ID_unary_expression, $1, @1); NT($$, ID_assignment_operator, $2, @2); NT($$, ID_assignment_expression, $3, @3); }
    ;

assignment_operator
    : '='               { $$ = L(); TK($$, ID_ASSIGN, @1); }
    | '=' dts_comment   { $$ = L(); TK($$, ID_ASSIGN, @1); DROP($2); }
    | MUL_ASSIGN        { $$ = L(); TK($$, ID_MUL_ASSIGN, @1); }
    | DIV_ASSIGN        { $$ = L(); TK($$, ID_DIV_ASSIGN, @1); }
    | MOD_ASSIGN        { $$ = L(); TK($$, ID_MOD_ASSIGN, @1); }
    | ADD_ASSIGN        { $$ = L(); TK($$, ID_ADD_ASSIGN, @1); }
    | SUB_ASSIGN        { $$ = L(); TK($$, ID_SUB_ASSIGN, @1); }
    | LEFT_ASSIGN       { $$ = L(); TK($$, ID_LEFT_ASSIGN, @1); }
    | RIGHT_ASSIGN      { $$ = L(); TK($$, ID_RIGHT_ASSIGN, @1); }
    | AND_ASSIGN        { $$ = L(); TK($$, ID_AND_ASSIGN, @1); }
    | XOR_ASSIGN        { $$ = L(); TK($$, ID_XOR_ASSIGN, @1); }
    | OR_ASSIGN         { $$ = L(); TK($$, ID_OR_ASSIGN, @1); }
    ;

expression
    : assignment_expression
        { $$ = $1; }
    | expression ',' assignment_expression
        { $$ = L(ID_expression); NT($$, ID_expression, $1, @1); NT($$, ID_assignment_expression, $3, @3); }
    ;

constant_expression
    : conditional_expression
        { $$ = L(); NT($$, ID_conditional_expression, $1, @1); }
    ;

declaration
    : declaration_specifiers ';'
        { $$ = L(); NT($$, ID_declaration_specifiers, $1, @1); }
    | declaration_specifiers init_declarator_list ';'
        { $$ = L(); NT($$, ID_declaration_specifiers, $1, @1); NT($$, ID_init_declarator_list, $2, @2); }
    ;

declaration_specifiers
    : type_specifier
        { $$ = L(); NT($$, ID_type_specifier, $1, @1); }
    | type_specifier declaration_specifiers
        { $$ = L(); NT($$, ID_type_specifier, $1, @1); NT($$, ID_declaration_specifiers, $2, @2); }
    | type_qualifier
        { $$ = L(); NT($$, ID_type_qualifier, $1, @1); }
    | type_qualifier declaration_specifiers
        { $$ = L(); NT($$, ID_type_qualifier, $1, @1); NT($$, ID_declaration_specifiers, $2, @2); }
    | storage_class_specifier
        { $$ = L(); NT($$, ID_storage_class_specifier, $1, @1); }
    | storage_class_specifier declaration_specifiers
        { $$ = L(); NT($$, ID_storage_class_specifier, $1, @1); NT($$, ID_declaration_specifiers, $2, @2); }
    ;

storage_class_specifier
    : TYPEDEF   { $$ = L(); TK($$, ID_TYPEDEF, @1); }
    | EXTERN    { $$ = L(); TK($$, ID_EXTERN, @1); }
    | STATIC    { $$ = L(); TK($$, ID_STATIC, @1); }
    | AUTO      { $$ = L(); TK($$, ID_AUTO, @1); }
    | REGISTER  { $$ = L(); TK($$, ID_REGISTER, @1); }
    ;

type_qualifier
    : CONST     { $$ = L(); TK($$, ID_CONST, @1); }
    | VOLATILE  { $$ = L(); TK($$, ID_VOLATILE, @1); }
    ;

init_declarator_list
    : init_declarator
        { $$ = L(); NT($$, ID_init_declarator, $1, @1); }
    | init_declarator_list ',' init_declarator
        { $$ = $1; NT($$, ID_init_declarator, $3, @3); }
    ;

init_declarator
    : IDENTIFIER
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); }
    | pointer IDENTIFIER
        { $$ = L(); NT($$, ID_pointer, $1, @1); TX($$, ID_IDENTIFIER, $2, @2); }
    | pointer IDENTIFIER '=' initializer
        { $$ = L(); NT($$, ID_pointer, $1, @1); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_initializer, $4, @4); }
    | IDENTIFIER '=' initializer
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); NT($$, ID_initializer, $3, @3); }
    ;

type_specifier
    : VOID      { $$ = L(); TK($$, ID_VOID, @1); }
    | CHAR      { $$ = L(); TK($$, ID_CHAR, @1); }
    | SHORT     { $$ = L(); TK($$, ID_SHORT, @1); }
    | INT       { $$ = L(); TK($$, ID_INT, @1); }
    | LONG      { $$ = L(); TK($$, ID_LONG, @1); }
    | FLOAT     { $$ = L(); TK($$, ID_FLOAT, @1); }
    | DOUBLE    { $$ = L(); TK($$, ID_DOUBLE, @1); }
    | SIGNED    { $$ = L(); TK($$, ID_SIGNED, @1); }
    | UNSIGNED  { $$ = L(); TK($$, ID_UNSIGNED, @1); }
    | struct_or_union_specifier
        { $$ = L(); NT($$, ID_struct_or_union_specifier, $1, @1); }
    | enum_specifier
        { $$ = L(); NT($$, ID_enum_specifier, $1, @1); }
    ;

specifier_qualifier_list
    : type_specifier specifier_qualifier_list
        { $$ = L(); NT($$, ID_type_specifier, $1, @1); NT($$, ID_specifier_qualifier_list, $2, @2); }
    | type_specifier
        { $$ = L(); NT($$, ID_type_specifier, $1, @1); }
    | type_qualifier specifier_qualifier_list
        { $$ = L(); NT($$, ID_type_qualifier, $1, @1); NT($$, ID_specifier_qualifier_list, $2, @2); }
    | type_qualifier
        { $$ = L(); NT($$, ID_type_qualifier, $1, @1); }
    ;

declarator
    : pointer direct_declarator
        { $$ = L(); NT($$, ID_pointer, $1, @1); NT($$, ID_direct_declarator, $2, @2); }
    | direct_declarator
        { $$ = L(); NT($$, ID_direct_declarator, $1, @1); }
    ;

direct_declarator
    : IDENTIFIER
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); }
    | '(' declarator ')'
        { $$ = L(); TK($$, ID_LPAREN, @1); NT($$, ID_declarator, $2, @2); TK($$, ID_RPAREN, @3); }
    | direct_declarator '[' constant_expression ']'
        { $$ = L(); NT($$, ID_direct_declarator, $1, @1); TK($$, ID_LBRACKET, @2); NT($$, ID_constant_expression, $3, @3); TK($$, ID_RBRACKET, @4); }
    | direct_declarator '[' ']'
        { $$ = L(); NT($$, ID_direct_declarator, $1, @1); TK($$, ID_LBRACKET, @2); TK($$, ID_RBRACKET, @3); }
    | direct_declarator '(' parameter_type_list ')'
        { $$ = L(); NT($$, ID_direct_declarator, $1, @1); TK($$, ID_LPAREN, @2); NT($$, ID_parameter_type_list, $3, @3); TK($$, ID_RPAREN, @4); }
    | direct_declarator '(' identifier_list ')'
        { $$ = L(); NT($$, ID_direct_declarator, $1, @1); TK($$, ID_LPAREN, @2); NT($$, ID_identifier_list, $3, @3); TK($$, ID_RPAREN, @4); }
    | direct_declarator '(' ')'
        { $$ = L(); NT($$, ID_direct_declarator, $1, @1); TK($$, ID_LPAREN, @2); TK($$, ID_RPAREN, @3); }
    ;

pointer
    : '*'           { $$ = L(); }
    | '*' pointer   { $$ = L(); NT($$, ID_pointer, $2, @2); }
    ;

parameter_type_list
    : parameter_list
        { $$ = L(); NT($$, ID_parameter_list, $1, @1); }
    | parameter_list ',' ELLIPSIS
        { $$ = L(); NT($$, ID_parameter_list, $1, @1); TK($$, ID_ELLIPSIS, @3); }
    ;

parameter_list
    : parameter_declaration
        { $$ = L(); NT($$, ID_parameter_declaration, $1, @1); }
    | parameter_list ',' parameter_declaration
        { $$ = L(); NT($$, ID_parameter_list, $1, @1); NT($$, ID_parameter_declaration, $3, @3); }
    ;

parameter_declaration
    : declaration_specifiers declarator
        { $$ = L(); NT($$, ID_declaration_specifiers, $1, @1); NT($$, ID_declarator, $2, @2); }
    | declaration_specifiers abstract_declarator
        { $$ = L(); NT($$, ID_declaration_specifiers, $1, @1); NT($$, ID_abstract_declarator, $2, @2); }
    | declaration_specifiers
        { $$ = L(); NT($$, ID_declaration_specifiers, $1, @1); }
    ;

identifier_list
    : IDENTIFIER
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); }
    | identifier_list ',' IDENTIFIER
        { $$ = $1; TX($$, ID_IDENTIFIER, $3, @3); }
    ;

type_name
    : specifier_qualifier_list
        { $$ = L(); NT($$, ID_specifier_qualifier_list, $1, @1); }
    | specifier_qualifier_list abstract_declarator
        { $$ = L(); NT($$, ID_specifier_qualifier_list, $1, @1); NT($$, ID_abstract_declarator, $2, @2); }
    ;

abstract_declarator
    : pointer
        { $$ = L(); NT($$, ID_pointer, $1, @1); }
    | direct_abstract_declarator
        { $$ = L(); NT($$, ID_direct_abstract_declarator, $1, @1); }
    | pointer direct_abstract_declarator
        { $$ = L(); NT($$, ID_pointer, $1, @1); NT($$, ID_direct_abstract_declarator, $2, @2); }
    ;

direct_abstract_declarator
    : '(' abstract_declarator ')'
        { $$ = L(); TK($$, ID_LPAREN, @1); NT($$, ID_abstract_declarator, $2, @2); TK($$, ID_RPAREN, @3); }
    | '[' ']'
        { $$ = L(); TK($$, ID_LBRACKET, @1); TK($$, ID_RBRACKET, @2); }
    | '[' constant_expression ']'
        { $$ = L(); TK($$, ID_LBRACKET, @1); NT($$, ID_constant_expression, $2, @2); TK($$, ID_RBRACKET, @3); }
    | direct_abstract_declarator '[' ']'
        { $$ = L(); NT($$, ID_direct_abstract_declarator, $1, @1); TK($$, ID_LBRACKET, @2); TK($$, ID_RBRACKET, @3); }
    | direct_abstract_declarator '[' constant_expression ']'
        { $$ = L(); NT($$, ID_direct_abstract_declarator, $1, @1); TK($$, ID_LBRACKET, @2); NT($$, ID_constant_expression, $3, @3); TK($$, ID_RBRACKET, @4); }
    | '(' ')'
        { $$ = L(); TK($$, ID_LPAREN, @1); TK($$, ID_RPAREN, @2); }
    | '(' parameter_type_list ')'
        { $$ = L(); TK($$, ID_LPAREN, @1); NT($$, ID_parameter_type_list, $2, @2); TK($$, ID_RPAREN, @3); }
    | direct_abstract_declarator '(' ')'
        { $$ = L(); NT($$, ID_direct_abstract_declarator, $1, @1); TK($$, ID_LPAREN, @2); TK($$, ID_RPAREN, @3); }
    | direct_abstract_declarator '(' parameter_type_list ')'
        { $$ = L(); NT($$, ID_direct_abstract_declarator, $1, @1); TK($$, ID_LPAREN, @2); NT($$, ID_parameter_type_list, $3, @3); TK($$, ID_RPAREN, @4); }
    ;

initializer
    : assignment_expression
        { $$ = L(); NT($$, ID_assignment_expression, $1, @1); }
    ;

statement
    : body_statement        { $$ = $1; }
    | dts_comment           { $$ = L(); NT($$, ID_dts_comment, $1, @1); }
    ;

/* The statement of an if, else, while, do, for or label: never a comment
   alone, which would take the place of the statement that follows it. */
body_statement
    : labeled_statement     { $$ = L(); NT($$, ID_labeled_statement, $1, @1); }
    | compound_statement    { $$ = L(); NT($$, ID_compound_statement, $1, @1); }
    | expression_statement  { $$ = L(); NT($$, ID_expression_statement, $1, @1); }
    | selection_statement   { $$ = L(); NT($$, ID_selection_statement, $1, @1); }
    | iteration_statement   { $$ = L(); NT($$, ID_iteration_statement, $1, @1); }
    | jump_statement        { $$ = L(); NT($$, ID_jump_statement, $1, @1); }
    | dts_define            { $$ = L(); NT($$, ID_dts_define, $1, @1); }
    ;

labeled_statement
    : IDENTIFIER ':' body_statement
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); NT($$, ID_statement, $3, @3); }
    ;

compound_statement
    : '{' '}'
        { $$ = L(); }
    | '{' statement_list '}'
        { $$ = L(); NT($$, ID_statement_list, $2, @2); }
    | '{' declaration_list '}'
        { $$ = L(); NT($$, ID_declaration_list, $2, @2); }
    | '{' declaration_list statement_list '}'
        { $$ = L(); NT($$, ID_declaration_list, $2, @2); NT($$, ID_statement_list, $3, @3); }
    | dts_comment '{' '}'
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); }
    | dts_comment '{' statement_list '}'
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); NT($$, ID_statement_list, $3, @3); }
    | dts_comment '{' declaration_list '}'
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); NT($$, ID_declaration_list, $3, @3); }
    | dts_comment '{' declaration_list statement_list '}'
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); NT($$, ID_declaration_list, $3, @3); NT($$, ID_statement_list, $4, @4); }
    ;

declaration_list
    : declaration
        { $$ = L(); NT($$, ID_declaration, $1, @1); }
    | declaration_list declaration
        { $$ = $1; NT($$, ID_declaration, $2, @2); }
    | declaration_list declaration dts_comment
        { $$ = $1; NT($$, ID_declaration, $2, @2); DROP($3); }
    | declaration_list dts_comment declaration
        { $$ = $1; DROP($2); NT($$, ID_declaration, $3, @3); }
    | dts_comment declaration
        { $$ = L(); DROP($1); NT($$, ID_declaration, $2, @2); }
    ;

statement_list
    : statement
        { $$ = L(); NT($$, ID_statement, $1, @1); }
    | QUERNA_CALL
        { $$ = L(); TX($$, ID_QUERNA_CALL, $1, @1); }
    | statement_list statement
        { $$ = L(); NT($$, ID_statement_list, $1, @1); NT($$, ID_statement, $2, @2); }
    | statement_list QUERNA_CALL
        { $$ = L(); NT($$, ID_statement_list, $1, @1); TX($$, ID_QUERNA_CALL, $2, @2); }
    ;

expression_statement
    : ';'
        { $$ = L(); }
    | expression ';'
        { $$ = L(); NT($$, ID_expression, $1, @1); }
    | expression ';' dts_comment
        { $$ = L(); NT($$, ID_expression, $1, @1); DROP($3); }
    ;

selection_statement
    : IF '(' expression ')' body_statement
        { $$ = L(); NT($$, ID_expression, $3, @3); NT($$, ID_statement, $5, @5); }
    | IF '(' expression ')' body_statement ELSE body_statement
        { $$ = L(); NT($$, ID_expression, $3, @3); NT($$, ID_statement, $5, @5); NT($$, ID_statement, $7, @7); }
    | IF '(' expression ')' dts_comment body_statement
        { $$ = L(); NT($$, ID_expression, $3, @3); DROP($5); NT($$, ID_statement, $6, @6); }
    | IF '(' expression ')' dts_comment body_statement ELSE body_statement
        { $$ = L(); NT($$, ID_expression, $3, @3); DROP($5); NT($$, ID_statement, $6, @6); NT($$, ID_statement, $8, @8); }
    ;

iteration_statement
    : WHILE '(' expression ')' body_statement
        { $$ = L(); TK($$, ID_WHILE, @1); NT($$, ID_expression, $3, @3); NT($$, ID_statement, $5, @5); }
    | DO body_statement WHILE '(' expression ')' ';'
        { $$ = L(); TK($$, ID_DO, @1); NT($$, ID_statement, $2, @2); NT($$, ID_expression, $5, @5); }
    | FOR '(' expression_statement expression_statement ')' body_statement
        { $$ = L(); TK($$, ID_FOR, @1); NT($$, ID_expression_statement, $3, @3); NT($$, ID_expression_statement, $4, @4); NT($$, ID_statement, $6, @6); }
    | FOR '(' expression_statement expression_statement expression ')' body_statement
        { $$ = L(); TK($$, ID_FOR, @1); NT($$, ID_expression_statement, $3, @3); NT($$, ID_expression_statement, $4, @4); NT($$, ID_expression, $5, @5); NT($$, ID_statement, $7, @7); }
    ;

jump_statement
    : GOTO IDENTIFIER ';'
        { $$ = L(); TK($$, ID_GOTO, @1); TX($$, ID_IDENTIFIER, $2, @2); }
    | BREAK ';'
        { $$ = L(); TK($$, ID_BREAK, @1); }
    | RETURN ';'
        { $$ = L(); TK($$, ID_RETURN, @1); }
    | RETURN expression ';'
        { $$ = L(); TK($$, ID_RETURN, @1); NT($$, ID_expression, $2, @2); }
    ;

translation_unit
    : external_declaration
        { NT(tree, ID_external_declaration, $1, @1); }
    | translation_unit external_declaration
        { NT(tree, ID_external_declaration, $2, @2); }
    ;

external_declaration
    : function_definition   { $$ = L(); NT($$, ID_function_definition, $1, @1); }
    | menuitem_definition   { $$ = L(); NT($$, ID_menuitem_definition, $1, @1); }
    | hotmenu               { $$ = L(); NT($$, ID_hotmenu, $1, @1); }
    | dialog                { $$ = L(); NT($$, ID_dialog, $1, @1); }
    | slider                { $$ = L(); NT($$, ID_slider, $1, @1); }
    | declaration           { $$ = L(); NT($$, ID_declaration, $1, @1); }
    | dts_define            { $$ = L(); NT($$, ID_dts_define, $1, @1); }
    | dts_comment           { $$ = L(); NT($$, ID_dts_comment, $1, @1); }
    ;

function_definition
    : function_declarator compound_statement semicolons
        { $$ = L(); NT($$, ID_function_declarator, $1, @1); NT($$, ID_compound_statement, $2, @2); }
    | function_declarator compound_statement
        { $$ = L(); NT($$, ID_function_declarator, $1, @1); NT($$, ID_compound_statement, $2, @2); }
    | dts_comment function_declarator compound_statement semicolons
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); NT($$, ID_function_declarator, $2, @2); NT($$, ID_compound_statement, $3, @3); }
    | dts_comment function_declarator compound_statement
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); NT($$, ID_function_declarator, $2, @2); NT($$, ID_compound_statement, $3, @3); }
    ;

function_declarator
    : IDENTIFIER '(' function_parameter_list ')'
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); NT($$, ID_function_parameter_list, $3, @3); }
    ;

function_parameter_list
    : function_parameter
        { $$ = L(); NT($$, ID_function_parameter, $1, @1); }
    | function_parameter_list ',' function_parameter
        { $$ = $1; NT($$, ID_function_parameter, $3, @3); }
    | function_parameter_list ',' dts_comment function_parameter
        { $$ = $1; DROP($3); NT($$, ID_function_parameter, $4, @4); }
    | function_parameter_list dts_comment
        { $$ = $1; DROP($2); }
    ;

function_parameter
    : specifier_qualifier_list IDENTIFIER STRING
        { $$ = L(); NT($$, ID_specifier_qualifier_list, $1, @1); TX($$, ID_IDENTIFIER, $2, @2); }
    | specifier_qualifier_list pointer IDENTIFIER STRING
        { $$ = L(); NT($$, ID_specifier_qualifier_list, $1, @1); NT($$, ID_pointer, $2, @2); TX($$, ID_IDENTIFIER, $3, @3); }
    | specifier_qualifier_list IDENTIFIER
        { $$ = L(); NT($$, ID_specifier_qualifier_list, $1, @1); TX($$, ID_IDENTIFIER, $2, @2); }
    | specifier_qualifier_list pointer IDENTIFIER
        { $$ = L(); NT($$, ID_specifier_qualifier_list, $1, @1); NT($$, ID_pointer, $2, @2); TX($$, ID_IDENTIFIER, $3, @3); }
    | IDENTIFIER STRING
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); }
    | pointer IDENTIFIER STRING
        { $$ = L(); NT($$, ID_pointer, $1, @1); TX($$, ID_IDENTIFIER, $2, @2); }
    | IDENTIFIER
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); }
    | pointer IDENTIFIER
        { $$ = L(); NT($$, ID_pointer, $1, @1); TX($$, ID_IDENTIFIER, $2, @2); }
    | %empty
        { $$ = L(); }
    ;

menuitem_definition
    : MENUITEM STRING ';'
        { $$ = L(); TX($$, ID_STRING, $2, @2); }
    | MENUITEM STRING
        { $$ = L(); TX($$, ID_STRING, $2, @2); }
    | dts_comment MENUITEM STRING ';'
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); TX($$, ID_STRING, $3, @3); }
    | dts_comment MENUITEM STRING
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); TX($$, ID_STRING, $3, @3); }
    ;

hotmenu
    : HOTMENU IDENTIFIER '(' ')' compound_statement semicolons
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_compound_statement, $5, @5); }
    | HOTMENU IDENTIFIER '(' ')' compound_statement
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_compound_statement, $5, @5); }
    | dts_comment HOTMENU IDENTIFIER '(' ')' compound_statement semicolons
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); TX($$, ID_IDENTIFIER, $3, @3); NT($$, ID_compound_statement, $6, @6); }
    | dts_comment HOTMENU IDENTIFIER '(' ')' compound_statement
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); TX($$, ID_IDENTIFIER, $3, @3); NT($$, ID_compound_statement, $6, @6); }
    | HOTMENU IDENTIFIER '(' function_parameter_list ')' compound_statement semicolons
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_function_parameter_list, $4, @4); NT($$, ID_compound_statement, $6, @6); }
    | HOTMENU IDENTIFIER '(' function_parameter_list ')' compound_statement
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_function_parameter_list, $4, @4); NT($$, ID_compound_statement, $6, @6); }
    | dts_comment HOTMENU IDENTIFIER '(' function_parameter_list ')' compound_statement semicolons
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); TX($$, ID_IDENTIFIER, $3, @3); NT($$, ID_function_parameter_list, $5, @5); NT($$, ID_compound_statement, $7, @7); }
    | dts_comment HOTMENU IDENTIFIER '(' function_parameter_list ')' compound_statement
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); TX($$, ID_IDENTIFIER, $3, @3); NT($$, ID_function_parameter_list, $5, @5); NT($$, ID_compound_statement, $7, @7); }
    ;

dialog
    : DIALOG IDENTIFIER '(' dialog_parameter_list ')' compound_statement
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_dialog_parameter_list, $4, @4); NT($$, ID_compound_statement, $6, @6); }
    | DIALOG IDENTIFIER '(' dialog_parameter_list ')' compound_statement semicolons
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_dialog_parameter_list, $4, @4); NT($$, ID_compound_statement, $6, @6); }
    ;

dialog_parameter_list
    : dialog_parameter_list_item
        { $$ = L(); NT($$, ID_dialog_parameter_list_item, $1, @1); }
    | dialog_parameter_list ',' dialog_parameter_list_item
        { $$ = $1; NT($$, ID_dialog_parameter_list_item, $3, @3); }
    ;

dialog_parameter_list_item
    : IDENTIFIER
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); }
    | IDENTIFIER STRING
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); TX($$, ID_STRING, $2, @2); }
    | %empty
        { $$ = L(); }
    ;

slider
    : SLIDER IDENTIFIER '(' slider_parameter_list ')' compound_statement semicolons
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_slider_parameter_list, $4, @4); NT($$, ID_compound_statement, $6, @6); }
    | SLIDER IDENTIFIER '(' slider_parameter_list ')' compound_statement
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_slider_parameter_list, $4, @4); NT($$, ID_compound_statement, $6, @6); }
    ;

slider_parameter_list
    : CONSTANT ',' CONSTANT ',' CONSTANT ',' CONSTANT ',' IDENTIFIER
        { $$ = L(); TX($$, ID_CONSTANT, $1, @1); TX($$, ID_CONSTANT, $3, @3); TX($$, ID_CONSTANT, $5, @5); TX($$, ID_CONSTANT, $7, @7); TX($$, ID_IDENTIFIER, $9, @9); }
    | CONSTANT ',' CONSTANT ',' CONSTANT ',' CONSTANT ',' IDENTIFIER STRING
        { $$ = L(); TX($$, ID_CONSTANT, $1, @1); TX($$, ID_CONSTANT, $3, @3); TX($$, ID_CONSTANT, $5, @5); TX($$, ID_CONSTANT, $7, @7); TX($$, ID_IDENTIFIER, $9, @9); }
    ;

struct_or_union_specifier
    : struct_or_union IDENTIFIER '{' struct_declaration_list '}'
        { $$ = L(); NT($$, ID_struct_or_union, $1, @1); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_struct_declaration_list, $4, @4); }
    | struct_or_union '{' struct_declaration_list '}'
        { $$ = L(); NT($$, ID_struct_or_union, $1, @1); NT($$, ID_struct_declaration_list, $3, @3); }
    | struct_or_union IDENTIFIER
        { $$ = L(); NT($$, ID_struct_or_union, $1, @1); TX($$, ID_IDENTIFIER, $2, @2); }
    ;

struct_or_union
    : STRUCT    { $$ = L(); TK($$, ID_STRUCT, @1); }
    | UNION     { $$ = L(); TK($$, ID_UNION, @1); }
    ;

struct_declaration_list
    : struct_declaration
        { $$ = L(); NT($$, ID_struct_declaration, $1, @1); }
    | struct_declaration_list struct_declaration
        { $$ = L(); NT($$, ID_struct_declaration_list, $1, @1); NT($$, ID_struct_declaration, $2, @2); }
    ;

struct_declaration
    : specifier_qualifier_list struct_declarator_list ';'
        { $$ = L(); NT($$, ID_specifier_qualifier_list, $1, @1); NT($$, ID_struct_declarator_list, $2, @2); }
    ;

struct_declarator_list
    : struct_declarator
        { $$ = L(); NT($$, ID_struct_declarator, $1, @1); }
    | struct_declarator_list ',' struct_declarator
        { $$ = L(); NT($$, ID_struct_declarator_list, $1, @1); NT($$, ID_struct_declarator, $3, @3); }
    ;

struct_declarator
    : declarator
        { $$ = L(); NT($$, ID_declarator, $1, @1); }
    | ':' constant_expression
        { $$ = L(); NT($$, ID_constant_expression, $2, @2); }
    | declarator ':' constant_expression
        { $$ = L(); NT($$, ID_declarator, $1, @1); NT($$, ID_constant_expression, $3, @3); }
    ;

enum_specifier
    : ENUM '{' enumerator_list '}'
        { $$ = L(); NT($$, ID_enumerator_list, $3, @3); }
    | ENUM IDENTIFIER '{' enumerator_list '}'
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); NT($$, ID_enumerator_list, $4, @4); }
    | ENUM IDENTIFIER
        { $$ = L(); TX($$, ID_IDENTIFIER, $2, @2); }
    ;

enumerator_list
    : enumerator
        { $$ = L(); NT($$, ID_enumerator, $1, @1); }
    | enumerator_list ',' enumerator
        { $$ = L(); NT($$, ID_enumerator_list, $1, @1); NT($$, ID_enumerator, $3, @3); }
    ;

enumerator
    : IDENTIFIER
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); }
    | IDENTIFIER '=' constant_expression
        { $$ = L(); TX($$, ID_IDENTIFIER, $1, @1); NT($$, ID_constant_expression, $3, @3); }
    ;

/* The extending rule comes first: after "if (...) comment", a further comment
   line can either extend that block or open a new one, and the earlier rule
   wins such a reduce/reduce choice. Opening a new block would make it the
   whole body of the if and leave the real body outside. */
dts_comment
    : dts_comment COMMENT
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); TX($$, ID_COMMENT, $2, @2); }
    | COMMENT
        { $$ = L(); TX($$, ID_COMMENT, $1, @1); }
    ;

dts_define
    : MACRO
        { $$ = L(); TX($$, ID_MACRO, $1, @1); }
    | dts_define MACRO
        { $$ = L(); NT($$, ID_dts_define, $1, @1); TX($$, ID_MACRO, $2, @2); }
    | dts_comment MACRO
        { $$ = L(); NT($$, ID_dts_comment, $1, @1); TX($$, ID_MACRO, $2, @2); }
    ;

%%

namespace {

// Display names of the symbols in syntax error messages: named tokens in
// double quotes, one-character tokens in single quotes, $end for the end of
// the input.
std::string display_name(yysymbol_kind_t symbol) {
    switch (symbol) {
    case YYSYMBOL_YYEOF: return "$end";
    case YYSYMBOL_YYerror: return "error";
    case YYSYMBOL_YYUNDEF: return "$undefined";
    default: break;
    }
    const char* name = yysymbol_name(symbol);
    if (name[0] == '\'') return name;
    return std::string("\"") + name + "\"";
}

}  // namespace

// "syntax error, unexpected X", followed by the expected symbols when the
// state expects fewer than five.
static int yyreport_syntax_error(const yypcontext_t* context) {
    enum { max_expected = 4 };
    try {
        std::string message;
        yysymbol_kind_t lookahead = yypcontext_token(context);
        if (lookahead == YYSYMBOL_YYEMPTY) {
            message = "syntax error";
        } else {
            message = "syntax error, unexpected " + display_name(lookahead);
            yysymbol_kind_t expected[max_expected];
            int count = yypcontext_expected_tokens(context, expected, max_expected);
            for (int i = 0; i < count; ++i) {
                message += i == 0 ? ", expecting " : " or ";
                message += display_name(expected[i]);
            }
        }
        report_error(scanner_line, message.c_str());
    } catch (const std::bad_alloc&) {
        report_error(scanner_line, "syntax error; also virtual memory exhausted");
    }
    return 0;
}

// The generated parser reports only stack exhaustion through here.
void gelerror(const char* message) {
    if (std::strcmp(message, "memory exhausted") == 0) message = "parser stack overflow";
    report_error(scanner_line, message);
}

namespace {

// A token read ahead of the parser, with what the scanner gave for it.
struct ScannedToken {
    int token;
    GELSTYPE value;
    GELLTYPE location;
    int line;  // the scanner's line counter right after the token
};

std::deque<ScannedToken> read_ahead;
int scanner_line_ahead = 1;  // the scanner's own count while tokens wait

ScannedToken scan() {
    scanner_line = scanner_line_ahead;
    ScannedToken t;
    t.token = gellex();
    t.value = gellval;
    t.location = gellloc;
    t.line = scanner_line_ahead = scanner_line;
    return t;
}

int deliver(const ScannedToken& t) {
    gellval = t.value;
    gellloc = t.location;
    scanner_line = t.line;
    return t.token;
}

// Runs the parser's automaton, without changing its stacks, from the state on
// top of them over `tokens`: true when every token is shifted.
template <typename State>
bool shifts_all(const State* bottom, const State* top, const int* tokens, int count) {
    std::vector<int> pushed;  // states above the part of the real stack still in use
    const State* base = top;
    auto state = [&]() { return pushed.empty() ? static_cast<int>(*base) : pushed.back(); };
    for (int k = 0; k < count; ++k) {
        int symbol = YYTRANSLATE(tokens[k]);
        for (;;) {
            int s = state();
            if (s == YYFINAL) return symbol == YYSYMBOL_YYEOF;
            int n = yypact[s];
            int rule = yydefact[s];
            if (!yypact_value_is_default(n)) {
                n += symbol;
                if (0 <= n && n <= YYLAST && yycheck[n] == symbol) {
                    n = yytable[n];
                    if (n > 0) {
                        pushed.push_back(n);
                        break;
                    }
                    if (yytable_value_is_error(n)) return false;
                    rule = -n;
                }
            }
            if (rule == 0) return false;
            for (int i = yyr2[rule]; i > 0; --i) {
                if (!pushed.empty()) pushed.pop_back();
                else if (base > bottom) --base;
                else return false;
            }
            int lhs = yyr1[rule] - YYNTOKENS;
            int below = state();
            int g = yypgoto[lhs] + below;
            pushed.push_back(0 <= g && g <= YYLAST && yycheck[g] == below ? yytable[g] : yydefgoto[lhs]);
        }
    }
    return true;
}

}  // namespace

// A comment may stand between any two tokens of a script. A run of comments
// reaches the parser only where the grammar takes it before the token that
// follows the run; anywhere else it is dropped, so that it never ends the
// run with a syntax error.
template <typename State>
int next_token(const State* bottom, const State* top) {
    if (read_ahead.empty()) {
        ScannedToken t = scan();
        if (t.token != COMMENT) return deliver(t);
        std::vector<ScannedToken> run{t};
        ScannedToken after = scan();
        while (after.token == COMMENT) {
            run.push_back(after);
            after = scan();
        }
        const int tokens[] = {COMMENT, after.token};
        if (shifts_all(bottom, top, tokens, 2))
            for (const ScannedToken& c : run) read_ahead.push_back(c);
        read_ahead.push_back(after);
    }
    ScannedToken t = read_ahead.front();
    read_ahead.pop_front();
    return deliver(t);
}

int parse() {
    if (!tree) tree = list_create();
    read_ahead.clear();
    scanner_line_ahead = scanner_line;
    return gelparse();
}
