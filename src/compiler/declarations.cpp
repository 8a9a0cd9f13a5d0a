// Variable declarations: specifiers and their type flags, init declarators with
// their initialisers, and the "Var.NEW"/"Var.NEWLOCAL" lines.
#include <cstdio>
#include <string>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "compiler/value.h"
#include "driver/diagnostics.h"
#include "frontend/tree.h"
#include "rewrite/patterns.h"

namespace {

struct Keyword {
    uint32_t kind;
    uint32_t bit;
    const char* text;
};

const Keyword type_keywords[] = {
    {ID_VOID, TF_VOID, "void"},       {ID_CHAR, TF_CHAR, "char"},
    {ID_SHORT, TF_SHORT, "short"},    {ID_INT, TF_INT, "int"},
    {ID_LONG, TF_LONG, "long"},       {ID_FLOAT, TF_FLOAT, "float"},
    {ID_DOUBLE, TF_DOUBLE, "double"}, {ID_SIGNED, TF_SIGNED, "signed"},
    {ID_UNSIGNED, TF_UNSIGNED, "unsigned"},
};

const Keyword storage_classes[] = {
    {ID_TYPEDEF, TF_TYPEDEF, "typedef"}, {ID_EXTERN, TF_EXTERN, "extern"},
    {ID_STATIC, TF_STATIC, "static"},    {ID_AUTO, TF_AUTO, "auto"},
    {ID_REGISTER, TF_REGISTER, "register"},
};

const Keyword type_qualifiers[] = {
    {ID_CONST, TF_CONST, "const"},
    {ID_VOLATILE, TF_VOLATILE, "volatile"},
};

template <size_t N>
const Keyword* find_keyword(const Keyword (&table)[N], uint32_t kind) {
    for (const Keyword& k : table)
        if (k.kind == kind) return &k;
    return nullptr;
}

const char* const storage_class_error =
    "Storage class \"%s\" not supported in declaration of function local variables.";
const char* const qualifier_error =
    "Type qualifier \"%s\" not supported in declaration of function local variables.";
const char* const struct_error = "Structures and unions not supported as local and globals variables.";
const char* const enum_error = "Enumerations not supported as local and globals variables.";

// Words written for the type flags, in their fixed order.
const Keyword declaration_words[] = {
    {0, TF_SIGNED, " signed"}, {0, TF_UNSIGNED, " unsigned"}, {0, TF_VOID, " void"},
    {0, TF_CHAR, " char"},     {0, TF_SHORT, " short"},       {0, TF_INT, " int"},
    {0, TF_LONG, " long"},     {0, TF_LONG_LONG, " long"},    {0, TF_FLOAT, " float"},
    {0, TF_DOUBLE, " double"},
};

void join(std::string& text, const char* piece) {
    if (!piece || !*piece) return;
    if (!text.empty()) text += ' ';
    text += piece;
}

// A storage class or qualifier element: ORs in its bit, or fails while
// variable declarations forbid it.
void storage_or_qualifier(tree_element* e, uint32_t* flags, std::string* text) {
    tree_element* token = e->child ? e->child->first : nullptr;
    if (!token) FATAL_INTERNAL_ERROR("C_declaration_specifiers");
    bool storage = e->id == ID_storage_class_specifier;
    const Keyword* k = storage ? find_keyword(storage_classes, token->id) : find_keyword(type_qualifiers, token->id);
    if (!k) FATAL_INTERNAL_ERROR("C_declaration_specifiers");
    if (declaration_state.forbid_storage_and_qualifiers) {
        error_at(token->line ? token->line : e->line, storage ? storage_class_error : qualifier_error, k->text);
        return;
    }
    *flags |= k->bit;
    if (text) join(*text, k->text);
}

// Walks a nested specifier list (declaration specifiers or a specifier and
// qualifier list) in source order without recursing over its length.
int walk_specifiers(List* list, uint32_t nested_kind, uint32_t* flags, char** text) {
    std::string joined;
    std::string* out = text ? &joined : nullptr;
    for (List* level = list; level && !error_flag;) {
        List* next = nullptr;
        for (tree_element* e = level->first; e; e = e->next) {
            if (e->id == ID_type_specifier) {
                char* piece = nullptr;
                C_type_specifier(e->child, flags, out ? &piece : nullptr);
                if (error_flag) return 0;
                if (out) join(joined, piece);
            } else if (e->id == ID_storage_class_specifier || e->id == ID_type_qualifier) {
                storage_or_qualifier(e, flags, out);
                if (error_flag) return 0;
            } else if (e->id == nested_kind) {
                next = e->child;
            }
        }
        level = next;
    }
    if (text) *text = pool_string(joined.c_str());
    return 0;
}

// Writes the assignment of an initialiser by the kind of its value.
void emit_initialisation(const char* name, int kind, ResultDescriptor* rd) {
    switch (kind) {
    case RK_MEMORY_TEMP:
    case RK_CORE_REGISTER_TEMP:
    case RK_PERIPHERAL_REGISTER_TEMP:
        if (rd->number < 0)
            std::printf("Var.Assign \\%s=(\\__V_%i)\n", name, -rd->number);
        else
            std::printf("Var.Assign \\%s=(\\__V%i)\n", name, rd->number);
        break;
    case RK_MACRO_TEMP:
        if (rd->number < 0)
            std::printf("Var.Assign \\%s=&__V_%i\n", name, -rd->number);
        else
            std::printf("Var.Assign \\%s=&__V%i\n", name, rd->number);
        break;
    case RK_HLL_VARIABLE:
        std::printf("Var.Assign \\%s=\\%s\n", name, rd->text ? rd->text : "");
        break;
    case RK_TEXT:
    case RK_EXPRESSION:
        if (!rd->text) rd->text = pool_string("");
        strip_value_wrappers(rd->text);
        macro_name_pass(rd);
        std::printf("Var.Assign \\%s=%s\n", name, rd->text ? rd->text : "");
        break;
    default:
        FATAL_INTERNAL_ERROR("C_init_declarator");
    }
}

}  // namespace

int pointer_depth(const tree_element* pointer) {
    int depth = 0;
    while (pointer && pointer->id == ID_pointer) {
        ++depth;
        const List* nested = pointer->child;
        pointer = nested ? nested->first : nullptr;
    }
    return depth;
}

int C_type_specifier(List* list, uint32_t* flags, char** text) {
    if (error_flag || !list || !list->first) return 0;
    tree_element* e = list->first;
    if (const Keyword* k = find_keyword(type_keywords, e->id)) {
        if (k->bit == TF_LONG && (*flags & TF_LONG))
            *flags |= TF_LONG_LONG;
        else
            *flags |= k->bit;
        if (text) *text = pool_string(k->text);
        return 0;
    }
    if (e->id == ID_struct_or_union_specifier) {
        *flags |= TF_STRUCT;
        if (declaration_state.forbid_struct_and_enum) {
            error_at(e->line, "%s", struct_error);
            return 0;
        }
        char* t = C_struct_or_union_specifier(e->child, nullptr);
        if (text) *text = t;
        return 0;
    }
    if (e->id == ID_enum_specifier) {
        *flags |= TF_ENUM;
        if (declaration_state.forbid_struct_and_enum) {
            error_at(e->line, "%s", enum_error);
            return 0;
        }
        char* t = C_enum_specifier(e->child, nullptr);
        if (text) *text = t;
        return 0;
    }
    FATAL_INTERNAL_ERROR("C_type_specifier");
}

int C_declaration_specifiers(List* list, uint32_t* flags, char** text) {
    if (error_flag) return 0;
    return walk_specifiers(list, ID_declaration_specifiers, flags, text);
}

int C_specifier_qualifier_list(List* list, uint32_t* flags, char** text) {
    if (error_flag) return 0;
    return walk_specifiers(list, ID_specifier_qualifier_list, flags, text);
}

void emit_variable_declaration(const char* name, uint32_t flags, int depth) {
    if (depth > 0) add_pointer_variable(name);
    std::fputs(function_state.inside_function ? "Var.NEWLOCAL" : "Var.NEW", stdout);
    for (const Keyword& word : declaration_words)
        if (flags & word.bit) std::fputs(word.text, stdout);
    if ((flags & TF_CHAR) && depth == 1) {
        std::fputs("[128]", stdout);
    } else if (depth > 0) {
        std::fputs(" ", stdout);
        for (int i = 0; i < depth; ++i) std::fputc('*', stdout);
    }
    std::printf(" \\%s", name);
    if (!declaration_state.declaration_continues) std::fputs("\n", stdout);
}

int C_init_declarator(List* list, bool is_global, uint32_t* flags) {
    if (error_flag || !list) return 0;
    for (tree_element* declarator = list->first; declarator; declarator = declarator->next) {
        if (declarator->id != ID_init_declarator || !declarator->child) continue;
        tree_element* pointer = nullptr;
        tree_element* name = nullptr;
        tree_element* initializer = nullptr;
        for (tree_element* p = declarator->child->first; p; p = p->next) {
            if (p->id == ID_pointer) pointer = p;
            else if (p->id == ID_IDENTIFIER) name = p;
            else if (p->id == ID_initializer) initializer = p;
        }
        if (!name || !name->txt) FATAL_INTERNAL_ERROR("C_init_declarator");
        if (is_global)
            add_global_variable(name->txt);
        else
            names_append(function_state.scope_names, name->txt);
        record_pointee(name->txt, *flags, pointer_depth(pointer), is_global);
        emit_variable_declaration(name->txt, *flags, pointer_depth(pointer));
        if (!initializer) continue;
        tree_element* expression = initializer->child ? initializer->child->first : nullptr;
        if (!expression) FATAL_INTERNAL_ERROR("C_init_declarator");
        ResultDescriptor rd;
        int kind = C_assignment_expression(expression->child, &rd);
        if (error_flag) return 0;
        emit_initialisation(name->txt, kind, &rd);
        // A pointer step of the initialiser belongs to this declarator.
        complete_pointer_steps();
    }
    return 0;
}

// One declaration, global or local: specifiers with the variable checks, then
// its init declarators.
int C_declaration(List* list, bool is_global) {
    if (error_flag || !list) return 0;
    tree_element* specifiers = list->first;
    if (!specifiers || specifiers->id != ID_declaration_specifiers) FATAL_INTERNAL_ERROR("C_declaration");
    uint32_t flags = 0;
    declaration_state.forbid_struct_and_enum = declaration_state.forbid_storage_and_qualifiers = true;
    C_declaration_specifiers(specifiers->child, &flags, nullptr);
    declaration_state.forbid_struct_and_enum = declaration_state.forbid_storage_and_qualifiers = false;
    if (error_flag) return 0;
    tree_element* declarators = specifiers->next;
    if (declarators && declarators->id == ID_init_declarator_list)
        C_init_declarator(declarators->child, is_global, &flags);
    return 0;
}

int C_declaration_list(List* list) {
    if (error_flag) return 0;
    debug_trace_line("In C_declaration_list()");
    if (!list) return 0;
    for (tree_element* declaration = list->first; declaration; declaration = declaration->next) {
        if (declaration->id != ID_declaration) continue;
        C_declaration(declaration->child, false);
        if (error_flag) return 0;
    }
    return 0;
}
