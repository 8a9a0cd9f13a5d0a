// The entry of the code generator: the program frame (path macro, event hooks,
// globals, entry dispatch), the function table, and the conversion of GEL
// functions into subroutines with their parameter blocks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "builtins/builtins.h"
#include "compiler/codegen.h"
#include "compiler/compiler.h"
#include "compiler/value.h"
#include "driver/characters.h"
#include "driver/diagnostics.h"
#include "frontend/tree.h"

ProgramState program_state;
FunctionState function_state;
DeclarationState declaration_state;

namespace {

// Indexes over the function table, the global names and the pointer variables
// of program_state. A list that someone appended to directly no longer
// matches its index in size, and its lookups then fall back to walking the
// list.
std::unordered_map<std::string, long> function_index;
std::unordered_set<std::string> global_index;
std::unordered_set<std::string> pointer_index;
// Type bits of what each global pointer variable points to (see
// record_pointee); locals keep theirs in the flags of their entry in
// function_state.scope_names.
std::unordered_map<std::string, unsigned char> global_pointees;

void renew(List*& list) {
    if (list) list_release(list);
    list = list_create();
}

void release(List*& list) {
    if (list) list_release(list);
    list = nullptr;
}

// The menu list only borrows the menu definitions of the tree.
void release_borrowed(List*& list) {
    if (list) list_release_shallow(list);
    list = nullptr;
}

// The one reset of the code generator's run state (see codegen.h), with the
// indexes above and the built-in call flags.
void reset_run_state() {
    function_index.clear();
    global_index.clear();
    global_pointees.clear();
    ProgramState& p = program_state;
    if (!p.pointer_variables) pointer_index.clear();
    renew(p.global_names);
    renew(p.function_table);
    renew(p.undefined_functions);
    release_borrowed(p.menu_list);
    p.menu_list = list_create();
    if (!p.pointer_variables) p.pointer_variables = list_create();
    std::free(p.path_name);
    p.path_name = nullptr;
    p.menu_present = false;
    p.startup_present = false;
    renew(function_state.scope_names);
    function_state.inside_function = false;
    declaration_state = DeclarationState{};
    numbering = Numbering{};
    reset_gel_function_called();
    reset_expression_state();
}

// The macro suffix of the output file's name: the part after the last
// separator, with every character that is not an ASCII letter or digit made
// an underscore.
char* make_path_name(const char* output_file_name) {
    const char* name = output_file_name ? output_file_name : "";
    for (const char* p = name; *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    char* copy = strdup(name);
    if (!copy) std::abort();
    for (char* p = copy; *p; ++p) {
        if (!ascii::is_alnum(*p)) *p = '_';
    }
    return copy;
}

// The node of a top-level element, past a leading comment block; null when
// the element holds nothing else.
tree_element* top_node(tree_element* external) {
    if (!external || !external->child) return nullptr;
    tree_element* node = external->child->first;
    if (node && node->id == ID_dts_comment) node = node->next;
    return node;
}

// The IDENTIFIER element that names a function definition.
tree_element* function_name(tree_element* definition) {
    tree_element* declarator = first_of_kind(definition->child, ID_function_declarator);
    if (!declarator || !declarator->child) return nullptr;
    return first_of_kind(declarator->child, ID_IDENTIFIER);
}

struct EventFunction {
    const char* name;
    const char* warning_format;  // unsupported callback, or null
    const char* line_written;    // hook written into the main part, or null
};

const EventFunction event_functions[] = {
    {"StartUp", nullptr, nullptr},
    {"OnFileLoaded", "\"OnFileLoaded\" - %s", nullptr},
    {"OnPreFileLoaded", "\"OnPreFileLoaded\" - %s", nullptr},
    {"OnReset", nullptr, "ON RESET GOSUB OnReset\n"},
    {"OnRestart", "\"OnRestart\" - %s", nullptr},
    {"OnHalt", nullptr, "ON HALT GOSUB OnHalt\n"},
    {"OnTargetConnect", nullptr, "GOSUB OnTargetConnect\n"},
};

const char* const unsupported_callback = "This callback function is not supported";

void event_function(tree_element* name) {
    for (const EventFunction& event : event_functions) {
        if (std::strcmp(name->txt, event.name) != 0) continue;
        if (std::strcmp(event.name, "StartUp") == 0) program_state.startup_present = true;
        if (event.warning_format) warning_at(name->line, event.warning_format, unsupported_callback);
        if (event.line_written) std::fputs(event.line_written, stdout);
        return;
    }
}

bool is_plain_top_level(uint32_t id) {
    return id == ID_declaration || id == ID_dts_define || id == ID_dts_comment;
}

// Function-table entries of one menu definition: one per hotmenu, dialog or
// slider item, named by the item's identifier.
void enter_menu_items(tree_element* menu) {
    tree_element* items = first_of_kind(menu->child, ID_menu_item_list);
    if (!items || !items->child) return;
    for (tree_element* item = items->child->first; item; item = item->next) {
        tree_element* node = item->child ? item->child->first : nullptr;
        if (!node || !node->child) continue;
        tree_element* name = first_of_kind(node->child, ID_IDENTIFIER);
        if (!name || !name->txt) continue;
        // A hotmenu is a subroutine like a function, with or without
        // parameters: callers take its value when it returns one.
        bool nothing = true;
        if (node->id == ID_hotmenu) {
            tree_element* body = first_of_kind(node->child, ID_compound_statement);
            nothing = !body || returns_value(body->child);
        }
        add_function(name->txt, nothing);
    }
}

bool is_statement_kind(uint32_t id) {
    switch (id) {
    case ID_statement:
    case ID_labeled_statement:
    case ID_compound_statement:
    case ID_expression_statement:
    case ID_selection_statement:
    case ID_iteration_statement:
    case ID_jump_statement:
        return true;
    default:
        return false;
    }
}

// The statement list of a compound statement's list, or null.
tree_element* compound_statement_list(List* list) { return first_of_kind(list, ID_statement_list); }

}  // namespace

long find_function(const char* name) {
    List* table = program_state.function_table;
    if (!table || !name) return -1;
    if (function_index.size() != table->count) return names_find(table, name);
    auto it = function_index.find(name);
    return it == function_index.end() ? -1 : it->second;
}

bool is_global_variable(const char* name) {
    List* globals = program_state.global_names;
    if (!globals || !name) return false;
    if (global_index.size() != globals->count) return names_find(globals, name) >= 0;
    return global_index.count(name) != 0;
}

bool is_pointer_variable(const char* name) {
    List* pointers = program_state.pointer_variables;
    if (!pointers || !name) return false;
    if (pointer_index.size() != pointers->count) return names_find(pointers, name) >= 0;
    return pointer_index.count(name) != 0;
}

// The indexes keep one entry per distinct name, so a repeated name is appended
// to its list only once: the first entry is the one every lookup finds.
void add_function(const char* name, bool returns_nothing) {
    if (!program_state.function_table) program_state.function_table = list_create();
    if (find_function(name) >= 0) return;
    function_index.emplace(name, static_cast<long>(program_state.function_table->count));
    names_append(program_state.function_table, name, returns_nothing ? 1 : 0);
}

void add_global_variable(const char* name) {
    if (!program_state.global_names) program_state.global_names = list_create();
    if (is_global_variable(name)) return;
    global_index.insert(name);
    names_append(program_state.global_names, name);
}

void add_pointer_variable(const char* name) {
    if (!program_state.pointer_variables) program_state.pointer_variables = list_create();
    if (is_pointer_variable(name)) return;
    pointer_index.insert(name);
    names_append(program_state.pointer_variables, name);
}

// What a dereference of the variable reads: the pointed-to type's bits for a
// pointer to a value, an int's for a pointer to a pointer, none for a value.
void record_pointee(const char* name, uint32_t flags, int depth, bool global) {
    unsigned char bits = depth == 1 ? static_cast<unsigned char>(flags & 0xFF) : depth > 1 ? static_cast<unsigned char>(TF_INT) : 0;
    List* scope = function_state.scope_names;
    if (global) {
        global_pointees[name] = bits;
    } else if (scope && scope->last && std::strcmp(scope->last->txt, name) == 0) {
        scope->last->flags = bits;
    }
}

uint32_t pointee_type_bits(const char* name) {
    if (!name) return 0;
    if (function_state.scope_names) {
        // The innermost declaration of the name is the one in scope.
        for (tree_element* e = function_state.scope_names->last; e; e = e->prev)
            if (std::strcmp(e->txt, name) == 0) return e->flags;
    }
    auto it = global_pointees.find(name);
    return it == global_pointees.end() ? 0 : it->second;
}

// Whether a statement yields no value: true unless a "return" with an
// expression is reachable through its lists, branches, loops and labels. Takes
// either a statement's list or a compound statement's list (a function body).
// Statement lists nest one level per statement, so the walk keeps its own
// stack instead of recursing.
bool returns_value(List* statement) {
    if (!statement) return true;
    std::vector<tree_element*> pending;
    if (tree_element* list = compound_statement_list(statement)) {
        pending.push_back(list);
    } else if (statement->count == 1 && is_statement_kind(statement->first->id)) {
        pending.push_back(statement->first);
    } else {
        return true;
    }
    while (!pending.empty()) {
        tree_element* e = pending.back();
        pending.pop_back();
        List* children = e->child;
        if (!children) continue;
        switch (e->id) {
        case ID_compound_statement:
            if (tree_element* list = compound_statement_list(children)) pending.push_back(list);
            break;
        case ID_jump_statement:
            if (children->first && children->first->id == ID_RETURN && children->count > 1) return false;
            break;
        case ID_statement:
        case ID_statement_list:
        case ID_labeled_statement:
        case ID_selection_statement:
        case ID_iteration_statement:
            for (tree_element* c = children->first; c; c = c->next)
                if (c->id == ID_statement || c->id == ID_statement_list || is_statement_kind(c->id))
                    pending.push_back(c);
            break;
        default:  // expression statements, comment and macro blocks, QUERNA lines
            break;
        }
    }
    return true;
}

// function_parameter_list = function_parameter (',' dts_comment? function_parameter | dts_comment)*
// function_parameter = specifier_qualifier_list? pointer? IDENTIFIER STRING? | %empty
int C_function_parameter_list(List* list) {
    if (!list || error_flag) return 0;
    long n = list->count;
    if (n == 0) return 0;
    if (n == 1 && (!list->first->child || list->first->child->count == 0)) return 0;

    std::printf("PRIVATE");
    for (long i = 0; i < n; ++i) std::printf(" &__VF%li", i);
    std::printf("\n");
    std::printf("ENTRY");
    for (long i = 0; i < n; ++i) std::printf(" &__VF%li", i);
    std::printf("\n\n");
    std::printf("&__VF%i=&__VF%i // evaluation of passed expression", 0, 0);
    std::printf(n == 1 ? " \n" : "s \n");
    for (long i = 1; i < n; ++i) std::printf("&__VF%li=&__VF%li\n", i, i);
    std::printf("\n");

    long i = 0;
    for (tree_element* parameter = list->first; parameter; parameter = parameter->next, ++i) {
        List* parts = parameter->child;
        if (!parts || parts->count == 0) continue;
        tree_element* specifiers = nullptr;
        tree_element* pointer = nullptr;
        tree_element* name = nullptr;
        for (tree_element* p = parts->first; p; p = p->next) {
            if (p->id == ID_specifier_qualifier_list) specifiers = p;
            else if (p->id == ID_pointer) pointer = p;
            else if (p->id == ID_IDENTIFIER) name = p;
        }
        if (!name || !name->txt) FATAL_INTERNAL_ERROR("C_function_parameter_list");
        int depth = pointer_depth(pointer);
        names_append(function_state.scope_names, name->txt);
        uint32_t flags = 0;
        if (specifiers) {
            C_specifier_qualifier_list(specifiers->child, &flags, nullptr);
            if (error_flag) return 0;
        }
        const uint32_t type_words = TF_VOID | TF_CHAR | TF_SHORT | TF_INT | TF_LONG | TF_FLOAT | TF_DOUBLE;
        if (!(flags & type_words)) flags |= TF_INT;
        record_pointee(name->txt, flags, depth, false);
        declaration_state.declaration_continues = true;
        emit_variable_declaration(name->txt, flags, depth);
        declaration_state.declaration_continues = false;
        if ((flags & TF_CHAR) && depth == 1)
            std::printf("=\"&__VF%li\"\n", i);
        else
            std::printf("=&__VF%li\n", i);
    }
    return 0;
}

// function_declarator = IDENTIFIER '(' function_parameter_list ')'
int C_function_declarator(List* list) {
    if (error_flag) return 0;
    debug_trace_line("In C_function_declarator()");
    function_state.inside_function = true;
    tree_element* name = first_of_kind(list, ID_IDENTIFIER);
    if (!name || !name->txt) FATAL_INTERNAL_ERROR("C_function_declarator");
    std::printf("\n%s:\n(\n", name->txt);
    tree_element* parameters = first_of_kind(list, ID_function_parameter_list);
    if (parameters) C_function_parameter_list(parameters->child);
    return 0;
}

// function_definition = dts_comment? function_declarator compound_statement semicolons?
int C_function_definition(List* list, const char* macrofilename) {
    if (error_flag || !list) return 0;
    debug_trace_line("In C_function_definition().");
    tree_element* first = list->first;
    if (first && first->id == ID_dts_comment) {
        debug_trace_line("if(ID_dts_comment == x->id){");
        C_dts_comment(first->child, false, macrofilename);
        if (error_flag) return 0;
    }
    tree_element* declarator = first_of_kind(list, ID_function_declarator);
    tree_element* body = first_of_kind(list, ID_compound_statement);
    if (!declarator || !body) FATAL_INTERNAL_ERROR("C_function_definition");
    C_function_declarator(declarator->child);
    if (error_flag) return 0;
    C_compound_statement(body->child, function_state.scope_names->count, macrofilename);
    if (error_flag) return 0;
    while (function_state.scope_names->count > 0) names_remove_last(function_state.scope_names);
    function_state.inside_function = false;
    std::printf("RETURN\n)\n");
    return 0;
}

int compile(List* tree, const char* output_file_name, const char* macrofilename) {
    reset_run_state();
    debug_trace("In compile().\n");
    if (!tree) return 0;

    program_state.path_name = make_path_name(output_file_name);
    std::printf("GLOBAL &path_%s\n", program_state.path_name);
    std::printf("&path_%s=OS.PPF()\n", program_state.path_name);

    // Pass 1: event functions.
    for (tree_element* e = tree->first; e; e = e->next) {
        tree_element* node = top_node(e);
        if (!node) continue;
        if (node->id == ID_function_definition) {
            tree_element* name = function_name(node);
            if (name && name->txt) event_function(name);
        } else if (!is_plain_top_level(node->id)) {
            program_state.menu_present = true;
        }
    }

    // The function table. It writes nothing, and it is built before the
    // globals so that a call in a global initialiser finds the functions
    // defined in the script.
    for (tree_element* e = tree->first; e; e = e->next) {
        tree_element* node = top_node(e);
        if (!node) continue;
        if (node->id == ID_function_definition) {
            tree_element* name = function_name(node);
            if (!name || !name->txt) continue;
            tree_element* body = first_of_kind(node->child, ID_compound_statement);
            bool nothing = !body || returns_value(body->child);
            add_function(name->txt, nothing);
        } else if (node->id == ID_menuitem_definition) {
            enter_menu_items(node);
        }
    }

    // Pass 2: global variables.
    for (tree_element* e = tree->first; e; e = e->next) {
        tree_element* node = top_node(e);
        if (!node || node->id != ID_declaration) continue;
        C_declaration(node->child, true);
        if (error_flag) return 0;
    }

    // The entry dispatch: the main part of the script.
    std::printf("IF \"&function\"!=\"\"\n(\n");
    std::printf("GOSUB &function &args\n)\n");
    if (program_state.startup_present || program_state.menu_present) {
        std::printf("ELSE\n(\n");
        if (program_state.startup_present) std::printf("GOSUB StartUp\n");
        if (program_state.menu_present) std::printf("GOSUB __GeL_MeNu_CrEaTe\n");
        std::printf(")\n");
    }
    std::printf("ENDDO\n");

    // Pass 4: the subroutines, in source order.
    for (tree_element* e = tree->first; e; e = e->next) {
        tree_element* node = top_node(e);
        if (!node) continue;
        switch (node->id) {
        case ID_function_definition:
            debug_trace("C_external_declaration(tree_element->child, macrofilename);\n");
            C_function_definition(node->child, macrofilename);
            if (error_flag) return 0;
            break;
        case ID_dts_define:
            C_dts_define(node->child, macrofilename);
            if (error_flag) return 0;
            break;
        case ID_menuitem_definition:
            list_append(program_state.menu_list, node->id, node->child, nullptr, node->line, node->lastLine);
            break;
        default:
            break;
        }
    }

    if (program_state.menu_present) C_menu(program_state.menu_list, macrofilename);
    return 0;
}

void free_compiler_lists() {
    release(function_state.scope_names);
    release(program_state.global_names);
    release(program_state.function_table);
    release(program_state.undefined_functions);
    release_borrowed(program_state.menu_list);
    release(program_state.pointer_variables);
    function_index.clear();
    global_index.clear();
    pointer_index.clear();
    std::free(program_state.path_name);
    program_state.path_name = nullptr;
}
