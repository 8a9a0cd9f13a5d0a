// Run state and conversion routines shared by the parts of the code generator.
// Each routine takes the child list of the node it converts. Owners of each
// definition are noted; keep declarations here in step with the definitions.
//
// The run state is global, grouped below in one struct per lifetime (the
// numbering of generated names is in value.h). compile resets every group
// (reset_run_state, compiler.cpp) before the first declaration, except the
// loop stacks, which each loop restores itself; in between, each group is
// kept by the owner that its comment names.
#pragma once

#include <cstdint>
#include <vector>

#include "compiler/value.h"
#include "frontend/tree.h"

// ---- program frame, declarations and functions (compiler.cpp, declarations.cpp) ----
// The script as a whole: what its top-level elements define and its calls
// use. Built up over one compile, read by the program frame, the lookups
// below and the run report. Owner: compiler.cpp.
struct ProgramState {
    List* global_names = nullptr;         // global variables in declaration order
    List* function_table = nullptr;       // name + flags byte: 1 = returns nothing
    List* undefined_functions = nullptr;  // called but not defined
    List* menu_list = nullptr;            // borrowed menu definition nodes (element txt unused)
    List* pointer_variables = nullptr;    // names declared with at least one '*' (compile keeps a list
                                          // made before it; free_compiler_lists releases it)
    char* path_name = nullptr;            // macro suffix of the script's own path
    bool menu_present = false;
    bool startup_present = false;
};
extern ProgramState program_state;

// The function, menu item or dialog being converted: set on entering its
// body, emptied on leaving it. Owner: compiler.cpp (menus.cpp for menus).
struct FunctionState {
    List* scope_names = nullptr;  // parameters and locals in scope, innermost last
    bool inside_function = false;  // variables are declared local (Var.NEWLOCAL)
};
extern FunctionState function_state;

// The declaration being converted: set and cleared around one declaration.
// Owner: declarations.cpp (compiler.cpp for parameter blocks).
struct DeclarationState {
    bool declaration_continues = false;  // a parameter's line goes on: no newline after the name
    // While the specifiers of a variable declaration are converted:
    bool forbid_struct_and_enum = false;         // a struct, union or enum specifier is an error
    bool forbid_storage_and_qualifiers = false;  // a storage class or a type qualifier is an error
};
extern DeclarationState declaration_state;

int C_function_definition(List* list, const char* macrofilename);
int C_function_declarator(List* list);
int C_function_parameter_list(List* list);
int C_declaration_list(List* list);
int C_declaration(List* list, bool is_global);
int C_declaration_specifiers(List* list, uint32_t* flags, char** text);
int C_specifier_qualifier_list(List* list, uint32_t* flags, char** text);
int C_type_specifier(List* list, uint32_t* flags, char** text);
int C_init_declarator(List* list, bool is_global, uint32_t* flags);
void emit_variable_declaration(const char* name, uint32_t flags, int pointer_depth);
int C_dts_comment(List* list, bool to_macro_file, const char* macrofilename);
int C_dts_define(List* list, const char* macrofilename);
// True when the statement (a statement's list, or a compound statement's list
// such as a function body) yields no value: no "return" with an expression.
bool returns_value(List* statement);
// Depth of a pointer node: 1 plus its nesting; 0 for null.
int pointer_depth(const tree_element* pointer);

// Constant-time lookups in the name lists above (same answers as names_find):
// the index of a function in `function_table` or -1, and whether a name is a
// global variable or a pointer variable. The add_ routines append to the list
// and its index together.
long find_function(const char* name);
bool is_global_variable(const char* name);
bool is_pointer_variable(const char* name);
void add_function(const char* name, bool returns_nothing);
void add_global_variable(const char* name);
void add_pointer_variable(const char* name);
// Records, for a variable just declared (a local is the last of scope_names),
// the type bits that a dereference of it reads: those of the pointed-to type,
// as a cast to its pointer type gives them. pointee_type_bits answers for the
// declaration in scope, 0 for an unknown name or one that is no pointer.
void record_pointee(const char* name, uint32_t flags, int pointer_depth, bool global);
uint32_t pointee_type_bits(const char* name);

// Type-name text builders (type_names.cpp). Each takes the node's list and an
// optional text result, and returns the pooled text.
// Text of a type name (casts, sizeof); ORs the type's specifier bits into
// `flags` when it is given.
char* C_type_name(List* list, char** text, uint32_t* flags = nullptr);
char* C_declarator(List* list, char** text);
char* C_direct_declarator(List* list, char** text);
char* C_abstract_declarator(List* list, char** text);
char* C_direct_abstract_declarator(List* list, char** text);
char* C_parameter_declaration(List* list, char** text);
char* C_parameter_list(List* list, char** text);
char* C_parameter_type_list(List* list, char** text);
char* C_struct_or_union_specifier(List* list, char** text);
char* C_struct_declaration(List* list, char** text);
char* C_struct_declaration_list(List* list, char** text);
char* C_struct_declarator_list(List* list, char** text);
char* C_struct_declarator(List* list, char** text);
char* C_enum_specifier(List* list, char** text);
char* C_enumerator_list(List* list, char** text);
char* C_enumerator(List* list, char** text);

// ---- statements (statements.cpp) ----
// The loops being converted, innermost last. Each loop pushes its label on
// entry and pops it (and the break targets naming it) on exit, also when its
// conversion is cut short. Owner: statements_loops.cpp.
struct LoopState {
    List* loop_labels = nullptr;    // label number of each open loop
    List* break_targets = nullptr;  // labels that a "break" jumped to: the loop writes them at its end
};
extern LoopState loop_state;

int C_compound_statement(List* list, long scope_depth, const char* macrofilename);
int C_statement_list(List* list, const char* macrofilename);
int C_statement(List* list, const char* macrofilename);
int C_labeled_statement(List* list, const char* macrofilename);
int C_expression_statement(List* list, ResultDescriptor* rd);
int C_selection_statement(List* list, const char* macrofilename);
int generate_if(int kind, ResultDescriptor* rd);
int C_iteration_statement(List* list, const char* macrofilename);
int C_jump_statement(List* list);
// A returned text that is one conditional "((c)?(a):(b))" as a whole: writes
// the value b, an IF on c and the value a in its block, and clears the text.
// Any other text is left as it is.
void return_conditional(ResultDescriptor* rd);
int return_dereference(ResultDescriptor* rd);

// ---- expressions (expressions.cpp) ----
// How a unary '*' in the expression being converted is written (bits of
// deref_mode; with none set, a '*' is no target read).
enum DerefMode : int {
    DEREF_NONE = 0,
    DEREF_FUNCTION_FORM = 1,  // Data.<size>(D:address): the script reads target memory
    DEREF_HLL_FORM = 2,       // \Data_<size>(address): the HLL evaluator reads it
    DEREF_DROP_CAST = 4,      // an assigned value: the cast around the '*' is dropped (drop_next_cast)
                              // and the result is not kept as a dereference text
};
struct PointerStep {
    const char* name;  // pooled
    bool up;           // "++"
};
// The expression being converted: set by the statement or declaration that
// converts it and cleared when it is done. Owner: expressions.cpp.
struct ExpressionState {
    int deref_mode = DEREF_NONE;  // DerefMode bits
    bool drop_next_cast = false;  // the cast around the dereference just converted is dropped
    // A postfix "++"/"--" on a pointer variable leaves its update to the
    // statement that holds it: the step is recorded here, in source order, and
    // written after the statement, the IF or WHILE test or the returned value
    // that reads the pointer's old value.
    std::vector<PointerStep> pending_pointer_steps;
    // Set by a caller that drops the value of the expression it converts (an
    // expression statement, a for loop's initialisation and step, the left
    // parts of a comma list). The first postfix expression reached takes and
    // clears it: a postfix "++"/"--" whose value nobody reads keeps no copy of
    // the old value.
    bool postfix_value_unused = false;
    uint32_t builtin_selection_mask = 0;  // set while a built-in call is dispatched
};
extern ExpressionState expression_state;
// Clears expression_state and the name indexes (called by compile before the
// first declaration).
void reset_expression_state();

int C_expression(List* list, ResultDescriptor* rd);
int C_assignment_expression(List* list, ResultDescriptor* rd);
int C_conditional_expression(List* list, ResultDescriptor* rd);
int C_logical_or_expression(List* list, ResultDescriptor* rd);
int C_logical_and_expression(List* list, ResultDescriptor* rd);
int C_inclusive_or_expression(List* list, ResultDescriptor* rd);
int C_exclusive_or_expression(List* list, ResultDescriptor* rd);
int C_and_expression(List* list, ResultDescriptor* rd);
int C_equality_expression(List* list, ResultDescriptor* rd);
int C_relational_expression(List* list, ResultDescriptor* rd);
int C_shift_expression(List* list, ResultDescriptor* rd);
int C_additive_expression(List* list, ResultDescriptor* rd);
int C_multiplicative_expression(List* list, ResultDescriptor* rd);
int C_cast_expression(List* list, ResultDescriptor* rd);
int C_unary_expression(List* list, ResultDescriptor* rd);
int C_postfix_expression(List* list, ResultDescriptor* rd);
int C_primary_expression(List* list, ResultDescriptor* rd);
// Operand spelling of a value: "\__V%i", "&__V%i", "\%s" or the text itself.
// Kind -6 or an unknown kind is a fatal internal error naming `caller`.
const char* operand_text(int kind, const ResultDescriptor* rd, const char* caller);
// One binary operation: fills `rd` with the pooled text of "left op right",
// returns RK_EXPRESSION. `op` is the operator's node kind, or the level's kind
// for the levels that keep no operator element.
int C_print_expression(uint32_t op, int left_kind, ResultDescriptor* left, int right_kind,
                       ResultDescriptor* right, ResultDescriptor* rd);
// Spelling of a binary operator code (" " for an unknown one).
const char* binary_operator_text(uint32_t op);

// ---- menus, hot menus and dialogs (menus.cpp) ----
int C_menu(List* menus, const char* macrofilename);
int C_dialog(tree_element* dialog, const char* macrofilename);
int C_hotmenu(tree_element* hotmenu, const char* macrofilename);
