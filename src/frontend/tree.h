// Parse tree and the run-wide name lists: one doubly linked list type with a
// one-entry cursor cache, so that walking a list in index order costs one step
// per element.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Node kinds. Nonterminals 0..78, tokens 128..230.
enum NodeKind : uint32_t {
    ID_primary_expression = 0,
    ID_postfix_expression = 1,
    ID_argument_expression_list = 2,
    ID_unary_expression = 3,
    ID_unary_operator = 4,
    ID_cast_expression = 5,
    ID_multiplicative_expression = 6,
    ID_additive_expression = 7,
    ID_shift_expression = 8,
    ID_relational_expression = 9,
    ID_equality_expression = 10,
    ID_and_expression = 11,
    ID_exclusive_or_expression = 12,
    ID_inclusive_or_expression = 13,
    ID_logical_and_expression = 14,
    ID_logical_or_expression = 15,
    ID_conditional_expression = 16,
    ID_assignment_expression = 17,
    ID_assignment_operator = 18,
    ID_expression = 19,
    ID_constant_expression = 20,
    ID_declaration = 21,
    ID_declaration_specifiers = 22,
    ID_init_declarator_list = 23,
    ID_init_declarator = 24,
    ID_storage_class_specifier = 25,
    ID_type_specifier = 26,
    ID_struct_or_union_specifier = 27,
    ID_struct_or_union = 28,
    ID_struct_declaration_list = 29,
    ID_struct_declaration = 30,
    ID_specifier_qualifier_list = 31,
    ID_struct_declarator_list = 32,
    ID_struct_declarator = 33,
    ID_enum_specifier = 34,
    ID_enumerator_list = 35,
    ID_enumerator = 36,
    ID_type_qualifier = 37,
    ID_declarator = 38,
    ID_direct_declarator = 39,
    ID_pointer = 40,
    ID_parameter_type_list = 42,
    ID_parameter_list = 43,
    ID_parameter_declaration = 44,
    ID_identifier_list = 45,
    ID_type_name = 46,
    ID_abstract_declarator = 47,
    ID_direct_abstract_declarator = 48,
    ID_initializer = 49,
    ID_statement = 51,
    ID_labeled_statement = 52,
    ID_compound_statement = 53,
    ID_declaration_list = 54,
    ID_statement_list = 55,
    ID_expression_statement = 56,
    ID_selection_statement = 57,
    ID_iteration_statement = 58,
    ID_jump_statement = 59,
    ID_translation_unit = 60,
    ID_external_declaration = 61,
    ID_function_definition = 62,
    ID_function_declarator = 63,
    ID_function_parameter_list = 64,
    ID_function_parameter = 65,
    ID_menuitem_definition = 66,
    ID_menu_item_list = 67,
    ID_menu_item = 68,
    ID_hotmenu = 69,
    ID_dialog = 70,
    ID_slider = 71,
    ID_dialog_parameter_list = 72,
    ID_dialog_parameter_list_item = 73,
    ID_slider_parameter_list = 74,
    ID_at_expression = 75,
    ID_dts_comment = 77,
    ID_dts_define = 78,

    ID_IDENTIFIER = 128,
    ID_CONSTANT = 129,
    ID_STRING = 130,
    ID_SIZEOF = 131,
    ID_PTR_OP = 132,
    ID_INC_OP = 133,
    ID_DEC_OP = 134,
    ID_LEFT_OP = 135,
    ID_RIGHT_OP = 136,
    ID_LE_OP = 137,
    ID_GE_OP = 138,
    ID_EQ_OP = 139,
    ID_NE_OP = 140,
    ID_MUL_ASSIGN = 143,
    ID_DIV_ASSIGN = 144,
    ID_MOD_ASSIGN = 145,
    ID_ADD_ASSIGN = 146,
    ID_SUB_ASSIGN = 147,
    ID_LEFT_ASSIGN = 148,
    ID_RIGHT_ASSIGN = 149,
    ID_AND_ASSIGN = 150,
    ID_XOR_ASSIGN = 151,
    ID_OR_ASSIGN = 152,
    ID_TYPEDEF = 154,
    ID_EXTERN = 155,
    ID_STATIC = 156,
    ID_AUTO = 157,
    ID_REGISTER = 158,
    ID_CHAR = 159,
    ID_SHORT = 160,
    ID_INT = 161,
    ID_LONG = 162,
    ID_SIGNED = 163,
    ID_UNSIGNED = 164,
    ID_FLOAT = 165,
    ID_DOUBLE = 166,
    ID_CONST = 167,
    ID_VOLATILE = 168,
    ID_VOID = 169,
    ID_STRUCT = 170,
    ID_UNION = 171,
    ID_ELLIPSIS = 173,
    ID_WHILE = 179,
    ID_DO = 180,
    ID_FOR = 181,
    ID_GOTO = 182,
    ID_BREAK = 184,
    ID_RETURN = 185,
    ID_LBRACKET = 186,
    ID_RBRACKET = 187,
    ID_LPAREN = 188,
    ID_RPAREN = 189,
    ID_AMP = 191,
    ID_STAR = 192,
    ID_PLUS = 193,
    ID_MINUS = 194,
    ID_TILDE = 195,
    ID_NOT = 196,
    ID_SLASH = 197,
    ID_PERCENT = 198,
    ID_LT = 199,
    ID_GT = 200,
    ID_ASSIGN = 203,
    ID_QUERNA_CALL = 204,
    // The 24 memory-access tokens, in token-table order: prog, data, io signed
    // (8, 16, 32, 64 bit), then the same twelve unsigned.
    ID_AT_FIRST = 205,
    ID_AT_LAST = 228,
    ID_COMMENT = 229,
    ID_MACRO = 230,
};

inline bool is_at_kind(uint32_t id) { return id >= ID_AT_FIRST && id <= ID_AT_LAST; }

struct List;

struct tree_element {
    tree_element* next = nullptr;
    tree_element* prev = nullptr;
    char* txt = nullptr;      // copy of the token text in the run's text arena, or null
    List* child = nullptr;    // list built by the reduction, or null for tokens
    uint32_t id = 0;          // NodeKind
    uint32_t line = 0;        // first source line
    uint32_t lastLine = 0;    // last source line
    unsigned char flags = 0;  // used only by the name lists
};

// The kind of a list that carries none.
constexpr uint32_t kNoKind = UINT32_MAX;

struct List {
    uint32_t count = 0;
    uint32_t cursorIndex = 0;
    tree_element* cursor = nullptr;
    tree_element* first = nullptr;
    tree_element* last = nullptr;
    // The expression level whose rule built the list (a NodeKind), kNoKind
    // for every other list. The parser keeps no list for a step that only
    // passes its operand up a level, so a list may stand where a list of a
    // higher level is expected.
    uint32_t kind = kNoKind;
};

// Whether `list` was built by an expression level below `level`: the levels'
// node kinds grow from primary_expression up to expression.
inline bool below_level(const List* list, uint32_t level) { return list && list->kind < level; }

// The operand that a list of `level` holding a single operand passes down:
// the list itself when a lower level built it, the child of its one element
// when it is a one-element list of the level; null for any other list.
inline List* single_operand(List* list, uint32_t level) {
    if (!list) return nullptr;
    if (below_level(list, level)) return list;
    if (list->count == 1 && list->first->child) return list->first->child;
    return nullptr;
}

// --- the run's text arena ---
// Texts of elements, tokens and the code generator live until the end of the
// run: copies are carved out of large blocks and released all at once.
char* arena_copy(const char* text, size_t length);
char* arena_copy(const char* text);  // a null text is copied as ""
// Releases every text copied since the last reset.
void text_arena_reset();

// --- parse-tree list operations ---
List* list_create();
// Appends an element; `text` is copied into the text arena when not null.
// Resets the cursor.
tree_element* list_append(List* list, uint32_t kind, List* child, const char* text, uint32_t line,
                          uint32_t lastLine);
// Element at `index` (null when out of range); walks from the cursor.
tree_element* list_at(List* list, long index);
// Unlinks and frees the last element (not its child); 0 on an empty list.
int list_remove_last(List* list);
// The first element of `list` of node kind `kind`, or null (also for a null list).
tree_element* first_of_kind(List* list, uint32_t kind);
// The first element after `element` in its list of node kind `kind`, or null
// (also for a null element).
tree_element* next_of_kind(tree_element* element, uint32_t kind);
// The levels of a left-recursive list whose further items nest in the first
// element (of kind `nested_kind`), innermost (first in the source) first.
std::vector<List*> levels_in_source_order(List* list, uint32_t nested_kind);
// Frees every element, every child list (iteratively, whatever the depth) and the list.
void list_release(List* list);
// Frees the elements but not their child lists, then the list.
void list_release_shallow(List* list);

// --- name lists (same shape; text plus one byte of flags) ---
tree_element* names_append(List* list, const char* text, unsigned char flags = 0);
const char* names_last(const List* list);
// Index of the first of the first `limit` elements whose text equals `text`, or -1.
// A negative limit searches the whole list.
long names_find(List* list, const char* text, long limit = -1);
int names_remove_last(List* list);
