// Weak stand-ins for routines of modules still being written, so that the
// program links at every stage of the work. A real definition overrides each.
// This file goes away once every module is complete.
#include <string>
#include "frontend/frontend.h"
#include "preprocessor/preprocessor.h"
#include "compiler/compiler.h"
#include "compiler/value.h"
#include "compiler/codegen.h"
#include "compiler/memory_access.h"
#include "builtins/builtins.h"
#include "driver/targets.h"
#include "rewrite/patterns.h"
#include "rewrite/condition.h"
#include "builtins/handlers.h"
#define WEAK __attribute__((weak))
WEAK List* tree{};
WEAK List* token_texts{};
WEAK int scanner_line{};
WEAK int parse() { return {}; }
WEAK void scanner_reset() {  }
WEAK int run_preprocessor(const char* macrofilename) { return {}; }
WEAK int macro_conversion_kind(const char* name) { return {}; }
WEAK void free_macro_table() {  }
WEAK int compile(List* tree, const char* output_file_name, const char* macrofilename) { return {}; }
WEAK void regroup_menus(List* tree) {  }
WEAK void free_compiler_lists() {  }
WEAK int32_t temp_counter{};
WEAK int32_t label_counter{};
WEAK List* string_pool{};
WEAK void string_pool_reset() {  }
WEAK char* pool_string(const char* text) { return {}; }
WEAK char* pool_string_n(const char* text, unsigned long size) { return {}; }
WEAK char* format_interned(const char* format, const char* a, const char* b, const char* c) { return {}; }
WEAK void print_gel_parameter(GelParameter* p) {  }
WEAK void print_gel_parameter_alter_txt(GelParameter* p, const char* alt_text) {  }
WEAK void sprint_gel_parameter(char* buffer, unsigned long size, const GelParameter* p) {  }
WEAK const char* size_keyword(const ResultDescriptor* rd) { return {}; }
WEAK const char* size_format(const ResultDescriptor* rd) { return {}; }
WEAK void memory_read_expression(uint32_t access_type, const char* address) {  }
WEAK void strip_value_wrappers(char* text) {  }
WEAK List* scope_names{};
WEAK List* global_names{};
WEAK List* function_table{};
WEAK List* undefined_functions{};
WEAK List* menu_list{};
WEAK List* pointer_variables{};
WEAK char* path_name{};
WEAK bool inside_function{};
WEAK bool declaration_continues{};
WEAK bool menu_present{};
WEAK bool startup_present{};
WEAK bool in_variable_declaration[2]{};
WEAK int C_function_definition(List* list, const char* macrofilename) { return {}; }
WEAK int C_function_declarator(List* list) { return {}; }
WEAK int C_function_parameter_list(List* list) { return {}; }
WEAK int C_declaration_list(List* list) { return {}; }
WEAK int C_declaration(List* list, bool is_global) { return {}; }
WEAK int C_declaration_specifiers(List* list, uint32_t* flags, char** text) { return {}; }
WEAK int C_specifier_qualifier_list(List* list, uint32_t* flags, char** text) { return {}; }
WEAK int C_type_specifier(List* list, uint32_t* flags, char** text) { return {}; }
WEAK int C_init_declarator(List* list, bool is_global, uint32_t* flags) { return {}; }
WEAK void emit_variable_declaration(const char* name, uint32_t flags, int pointer_depth) {  }
WEAK int C_dts_comment(List* list, bool to_macro_file, const char* macrofilename) { return {}; }
WEAK int C_dts_define(List* list, const char* macrofilename) { return {}; }
WEAK bool returns_value(List* statement) { return {}; }
WEAK char* C_type_name(List* list, char** text) { return {}; }
WEAK List* loop_labels{};
WEAK List* break_targets{};
WEAK const char* loop_condition_text{};
WEAK int C_compound_statement(List* list, long scope_depth, const char* macrofilename) { return {}; }
WEAK int C_statement_list(List* list, const char* macrofilename) { return {}; }
WEAK int C_statement(List* list, const char* macrofilename) { return {}; }
WEAK int C_labeled_statement(List* list, const char* macrofilename) { return {}; }
WEAK int C_expression_statement(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_selection_statement(List* list, const char* macrofilename) { return {}; }
WEAK int generate_if(int kind, ResultDescriptor* rd) { return {}; }
WEAK int C_iteration_statement(List* list, const char* macrofilename) { return {}; }
WEAK int C_jump_statement(List* list) { return {}; }
WEAK void return_conditional(ResultDescriptor* rd) {  }
WEAK int return_dereference(ResultDescriptor* rd) { return {}; }
WEAK int deref_mode{};
WEAK bool drop_next_cast{};
WEAK bool in_loop_condition{};
WEAK int call_in_condition{};
WEAK bool renumber_entry{};
WEAK bool pointer_step_pending{};
WEAK int pointer_step_up{};
WEAK uint32_t builtin_selection_mask{};
WEAK int C_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_assignment_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_conditional_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_logical_or_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_logical_and_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_inclusive_or_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_exclusive_or_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_and_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_equality_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_relational_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_shift_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_additive_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_multiplicative_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_cast_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_unary_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_postfix_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK int C_primary_expression(List* list, ResultDescriptor* rd) { return {}; }
WEAK const char* operand_text(int kind, const ResultDescriptor* rd, const char* caller) { return {}; }
WEAK int C_menu(List* menus, const char* macrofilename) { return {}; }
WEAK int C_dialog(tree_element* dialog, const char* macrofilename) { return {}; }
WEAK bool is_core_register(const char* name) { return {}; }
WEAK int read_memory_form(tree_element* at, ResultDescriptor* rd) { return {}; }
WEAK int read_register_identifier(const char* name, ResultDescriptor* rd, int* kind) { return {}; }
WEAK int convert_dereference(int operand_kind, ResultDescriptor* rd) { return {}; }
WEAK int write_target(int left_kind, ResultDescriptor* left, uint32_t op, int right_kind, ResultDescriptor* right) { return {}; }
WEAK int step_target(int kind, ResultDescriptor* rd, bool increment, bool prefix) { return {}; }
extern WEAK const char gel_function_names[GEL_FUNCTION_COUNT][31] = {};
extern WEAK const gel_handler gel_function_handlers[GEL_FUNCTION_COUNT] = {};
WEAK bool gel_function_called[GEL_FUNCTION_COUNT]{};
WEAK void reset_gel_function_called() {  }
WEAK int find_gel_function(const char* name) { return {}; }
WEAK int call_gel_function(int entry, GelParameter* parameters, int count, int line) { return {}; }
WEAK bool gel_function_unsupported(int entry) { return {}; }
WEAK int load_target_definitions(const char* program_path, const char* mcu_name) { return {}; }
WEAK bool find_register(const char* name, RegisterRecord* out) { return {}; }
WEAK void write_register_report(const char* output_path) {  }
WEAK void free_target_definitions() {  }
WEAK bool is_numeric_constant(const char* text, bool allow_negation) { return {}; }
WEAK void macro_name_pass(ResultDescriptor* rd) {  }
WEAK void value_call_pass(ResultDescriptor* rd, int w) {  }
WEAK void cast_removal_pass(char** text) {  }
WEAK char* macro_operator_pass(const char* op, ResultDescriptor* rd) { return {}; }
WEAK char* negation_pass(ResultDescriptor* rd) { return {}; }
WEAK void pointer_compound_pass(const char* left, const char* op, const char* right) {  }
WEAK char* pointer_step_pass(ResultDescriptor* left, ResultDescriptor* right) { return {}; }
WEAK int renumbering_pass(int n) { return {}; }
WEAK void hll_name_pass(ResultDescriptor* rd) {  }
WEAK bool value_comparison_test(const ResultDescriptor* rd) { return {}; }
WEAK bool masked_macro_test(const ResultDescriptor* rd) { return {}; }
WEAK char* temporary_value_pass(ResultDescriptor* rd) { return {}; }
WEAK char* memory_cast_pass(ResultDescriptor* rd) { return {}; }
WEAK char* data_long_pass(ResultDescriptor* rd) { return {}; }
WEAK void temporary_wrap_pass(ResultDescriptor* rd) {  }
WEAK void init_shared_patterns() {  }
WEAK std::string convert_condition(const std::string& condition) { return {}; }
WEAK std::string wrap_hll_value(const std::string& text) { return {}; }
WEAK GEL_HANDLER(gel_not_supported) { return 0; }
WEAK GEL_HANDLER(GEL_Animate) { return 0; }
WEAK GEL_HANDLER(GEL_AsmStepInto) { return 0; }
WEAK GEL_HANDLER(GEL_AsmStepOver) { return 0; }
WEAK GEL_HANDLER(GEL_BreakPtAdd) { return 0; }
WEAK GEL_HANDLER(GEL_BreakPtDel) { return 0; }
WEAK GEL_HANDLER(GEL_BreakPtDisable) { return 0; }
WEAK GEL_HANDLER(GEL_BreakPtReset) { return 0; }
WEAK GEL_HANDLER(GEL_Exit) { return 0; }
WEAK GEL_HANDLER(GEL_Go) { return 0; }
WEAK GEL_HANDLER(GEL_Halt) { return 0; }
WEAK GEL_HANDLER(GEL_HWBreakPtAdd) { return 0; }
WEAK GEL_HANDLER(GEL_HWBreakPtDel) { return 0; }
WEAK GEL_HANDLER(GEL_HWBreakPtDisable) { return 0; }
WEAK GEL_HANDLER(GEL_HWBreakPtReset) { return 0; }
WEAK GEL_HANDLER(GEL_IsInRealTimeMode) { return 0; }
WEAK GEL_HANDLER(GEL_RefreshWindows) { return 0; }
WEAK GEL_HANDLER(GEL_Reset) { return 0; }
WEAK GEL_HANDLER(GEL_Run) { return 0; }
WEAK GEL_HANDLER(GEL_RunF) { return 0; }
WEAK GEL_HANDLER(GEL_SrcStepInto) { return 0; }
WEAK GEL_HANDLER(GEL_SrcStepOver) { return 0; }
WEAK GEL_HANDLER(GEL_StepInto) { return 0; }
WEAK GEL_HANDLER(GEL_StepOut) { return 0; }
WEAK GEL_HANDLER(GEL_StepOver) { return 0; }
WEAK GEL_HANDLER(GEL_SyncHalt) { return 0; }
WEAK GEL_HANDLER(GEL_SyncRun) { return 0; }
WEAK GEL_HANDLER(GEL_SyncStepInto) { return 0; }
WEAK GEL_HANDLER(GEL_SyncStepOut) { return 0; }
WEAK GEL_HANDLER(GEL_SyncStepOver) { return 0; }
WEAK GEL_HANDLER(GEL_Load) { return 0; }
WEAK GEL_HANDLER(GEL_LoadGel) { return 0; }
WEAK GEL_HANDLER(GEL_MapAdd) { return 0; }
WEAK GEL_HANDLER(GEL_MapAddStr) { return 0; }
WEAK GEL_HANDLER(GEL_MapOff) { return 0; }
WEAK GEL_HANDLER(GEL_MemoryFill) { return 0; }
WEAK GEL_HANDLER(GEL_MemoryLoad) { return 0; }
WEAK GEL_HANDLER(GEL_MemorySave) { return 0; }
WEAK GEL_HANDLER(GEL_PatchAssembly) { return 0; }
WEAK GEL_HANDLER(GEL_SrcDirAdd) { return 0; }
WEAK GEL_HANDLER(GEL_SrcDirRemoveAll) { return 0; }
WEAK GEL_HANDLER(GEL_SymbolAdd) { return 0; }
WEAK GEL_HANDLER(GEL_SymbolLoad) { return 0; }
WEAK GEL_HANDLER(GEL_SymbolRemove) { return 0; }
WEAK GEL_HANDLER(GEL_UnloadAllSymbols) { return 0; }
WEAK GEL_HANDLER(GEL_CloseWindow) { return 0; }
WEAK GEL_HANDLER(GEL_OpenDisassemblyWindow) { return 0; }
WEAK GEL_HANDLER(GEL_OpenMemoryWindow) { return 0; }
WEAK GEL_HANDLER(GEL_OpenWindow) { return 0; }
WEAK GEL_HANDLER(GEL_System) { return 0; }
WEAK GEL_HANDLER(GEL_TargetTextOut) { return 0; }
WEAK GEL_HANDLER(GEL_TextOut) { return 0; }
WEAK GEL_HANDLER(GEL_Trace) { return 0; }
WEAK GEL_HANDLER(GEL_WatchAdd) { return 0; }
WEAK GEL_HANDLER(GEL_WatchDel) { return 0; }
WEAK GEL_HANDLER(GEL_WatchReset) { return 0; }
