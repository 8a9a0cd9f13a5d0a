// Rebuilds C declarators, type names, struct and enum specifiers as text for
// casts and sizeof. Left-recursive lists are walked with loops, innermost
// level first, so that a long list cannot exhaust the stack.
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/value.h"
#include "driver/diagnostics.h"
#include "frontend/tree.h"

namespace {

char* result(const std::string& text, char** out) {
    char* pooled = pool_string(text.c_str());
    if (out) *out = pooled;
    return pooled;
}

// The text of an array size or bit width: a constant expression converted by
// the expression code, spelled by its result kind.
std::string constant_text(tree_element* constant_expression, const char* routine) {
    List* list = constant_expression ? constant_expression->child : nullptr;
    tree_element* conditional = list ? list->first : nullptr;
    if (!conditional) FATAL_INTERNAL_ERROR(routine);
    ResultDescriptor rd;
    int kind = C_conditional_expression(conditional->child, &rd);
    if (error_flag) return std::string();
    const char* text = rd.text ? rd.text : "";
    switch (kind) {
    case RK_EXPRESSION:
    case RK_TEXT:
        return text;
    case RK_HLL_VARIABLE:
        return std::string("\\") + text;
    case RK_MACRO_TEMP:
        return "&__V" + std::to_string(rd.number);
    case RK_MEMORY_TEMP:
    case RK_CORE_REGISTER_TEMP:
    case RK_PERIPHERAL_REGISTER_TEMP:
        return "\\__V" + std::to_string(rd.number);
    default:
        FATAL_INTERNAL_ERROR(routine);
    }
}

// The text that `builder` makes of the children of `e`; "" for none.
std::string built_text(char* (*builder)(List*, char**), tree_element* e) {
    if (!e) return std::string();
    char* t = builder(e->child, nullptr);
    return t ? t : "";
}

std::string stars(int depth) { return std::string(depth > 0 ? depth : 0, '*'); }

// The suffix that one level of a direct (abstract) declarator adds after the
// part it nests: "[]", "[size]", "()", "(parameters)".
std::string declarator_suffix(tree_element* from, const char* routine) {
    std::string s;
    for (tree_element* e = from; e; e = e->next) {
        switch (e->id) {
        case ID_LBRACKET: s += '['; break;
        case ID_RBRACKET: s += ']'; break;
        case ID_LPAREN: s += '('; break;
        case ID_RPAREN: s += ')'; break;
        case ID_constant_expression: s += constant_text(e, routine); break;
        case ID_parameter_type_list: s += built_text(C_parameter_type_list, e); break;
        case ID_identifier_list: {
            std::string names;
            for (tree_element* n = e->child ? e->child->first : nullptr; n; n = n->next) {
                if (!names.empty()) names += ',';
                names += n->txt ? n->txt : "";
            }
            s += names;
            break;
        }
        case ID_declarator: s += built_text(C_declarator, e); break;
        case ID_abstract_declarator: s += built_text(C_abstract_declarator, e); break;
        default: FATAL_INTERNAL_ERROR(routine);
        }
        if (error_flag) return std::string();
    }
    return s;
}

}  // namespace

// declarator = pointer? direct_declarator
char* C_declarator(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    tree_element* pointer = nullptr;
    tree_element* direct = nullptr;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_pointer) pointer = e;
        else if (e->id == ID_direct_declarator) direct = e;
    }
    std::string s = built_text(C_direct_declarator, direct);
    if (pointer) s = stars(pointer_depth(pointer)) + " " + s;
    return result(s, text);
}

// direct_declarator = IDENTIFIER | '(' declarator ')'
//                   | direct_declarator '[' constant_expression? ']'
//                   | direct_declarator '(' (parameter_type_list | identifier_list)? ')'
char* C_direct_declarator(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    for (List* level : levels_in_source_order(list, ID_direct_declarator)) {
        tree_element* first = level->first;
        if (!first) continue;
        if (first->id == ID_IDENTIFIER) {
            s = first->txt ? first->txt : "";
        } else if (first->id == ID_direct_declarator) {
            s += declarator_suffix(first->next, "C_direct_declarator");
        } else {
            s = declarator_suffix(first, "C_direct_declarator");  // "(" declarator ")"
        }
        if (error_flag) return result("", text);
    }
    return result(s, text);
}

// abstract_declarator = pointer | pointer? direct_abstract_declarator
char* C_abstract_declarator(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    tree_element* pointer = nullptr;
    tree_element* direct = nullptr;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_pointer) pointer = e;
        else if (e->id == ID_direct_abstract_declarator) direct = e;
    }
    std::string s = stars(pointer_depth(pointer));
    if (direct) {
        std::string d = built_text(C_direct_abstract_declarator, direct);
        s = pointer ? s + " " + d : d;
    }
    return result(s, text);
}

// direct_abstract_declarator = '(' abstract_declarator ')'
//                            | direct_abstract_declarator? '[' constant_expression? ']'
//                            | direct_abstract_declarator? '(' parameter_type_list? ')'
char* C_direct_abstract_declarator(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    for (List* level : levels_in_source_order(list, ID_direct_abstract_declarator)) {
        tree_element* first = level->first;
        if (!first) continue;
        if (first->id == ID_direct_abstract_declarator)
            s += declarator_suffix(first->next, "C_direct_abstract_declarator");
        else
            s = declarator_suffix(first, "C_direct_abstract_declarator");
        if (error_flag) return result("", text);
    }
    return result(s, text);
}

// parameter_declaration = declaration_specifiers (declarator | abstract_declarator)?
char* C_parameter_declaration(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_declaration_specifiers) {
            uint32_t flags = 0;
            char* specifiers = nullptr;
            C_declaration_specifiers(e->child, &flags, &specifiers);
            if (error_flag) return result("", text);
            s = specifiers ? specifiers : "";
        } else if (e->id == ID_declarator || e->id == ID_abstract_declarator) {
            std::string d = e->id == ID_declarator ? built_text(C_declarator, e) : built_text(C_abstract_declarator, e);
            if (error_flag) return result("", text);
            s += " " + d;
        }
    }
    return result(s, text);
}

// parameter_list = parameter_declaration (',' parameter_declaration)*
char* C_parameter_list(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    for (List* level : levels_in_source_order(list, ID_parameter_list)) {
        for (tree_element* e = level->first; e; e = e->next) {
            if (e->id != ID_parameter_declaration) continue;
            std::string p = built_text(C_parameter_declaration, e);
            if (error_flag) return result("", text);
            if (!s.empty()) s += ',';
            s += p;
        }
    }
    return result(s, text);
}

// parameter_type_list = parameter_list (',' ELLIPSIS)?
char* C_parameter_type_list(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    bool ellipsis = false;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_parameter_list) s = built_text(C_parameter_list, e);
        else if (e->id == ID_ELLIPSIS) ellipsis = true;
        if (error_flag) return result("", text);
    }
    if (ellipsis) s += ",...";
    return result(s, text);
}

// type_name = specifier_qualifier_list abstract_declarator?
char* C_type_name(List* list, char** text, uint32_t* flags) {
    if (error_flag || !list) return result("", text);
    std::string s;
    uint32_t type_flags = 0;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_specifier_qualifier_list) {
            char* specifiers = nullptr;
            C_specifier_qualifier_list(e->child, &type_flags, &specifiers);
            if (error_flag) return result("", text);
            s = specifiers ? specifiers : "";
        } else if (e->id == ID_abstract_declarator) {
            std::string d = built_text(C_abstract_declarator, e);
            if (error_flag) return result("", text);
            s += " " + d;
        }
    }
    if (flags) *flags |= type_flags;
    return result(s, text);
}

// struct_or_union_specifier = struct_or_union IDENTIFIER? '{' struct_declaration_list '}'
//                           | struct_or_union IDENTIFIER
// struct_or_union = STRUCT | UNION
char* C_struct_or_union_specifier(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string keyword;
    const char* tag = nullptr;
    tree_element* members = nullptr;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_struct_or_union) {
            tree_element* token = e->child ? e->child->first : nullptr;
            keyword = token && token->id == ID_UNION ? "union" : "struct";
        } else if (e->id == ID_IDENTIFIER) {
            tag = e->txt ? e->txt : "";
        } else if (e->id == ID_struct_declaration_list) {
            members = e;
        }
    }
    std::string s = keyword;
    if (tag) s += std::string(" ") + tag;
    if (members) {
        std::string m = built_text(C_struct_declaration_list, members);
        if (error_flag) return result("", text);
        s += " { " + m + " }";
    }
    return result(s, text);
}

// struct_declaration = specifier_qualifier_list struct_declarator_list ';'
char* C_struct_declaration(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string specifiers_text;
    std::string declarators;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_specifier_qualifier_list) {
            uint32_t flags = 0;
            char* specifiers = nullptr;
            C_specifier_qualifier_list(e->child, &flags, &specifiers);
            specifiers_text = specifiers ? specifiers : "";
        } else if (e->id == ID_struct_declarator_list) {
            declarators = built_text(C_struct_declarator_list, e);
        }
        if (error_flag) return result("", text);
    }
    return result(specifiers_text + " " + declarators + ";", text);
}

// struct_declaration_list = struct_declaration+
char* C_struct_declaration_list(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    for (List* level : levels_in_source_order(list, ID_struct_declaration_list)) {
        for (tree_element* e = level->first; e; e = e->next) {
            if (e->id != ID_struct_declaration) continue;
            std::string d = built_text(C_struct_declaration, e);
            if (error_flag) return result("", text);
            if (!s.empty()) s += ' ';
            s += d;
        }
    }
    return result(s, text);
}

// struct_declarator_list = struct_declarator (',' struct_declarator)*
char* C_struct_declarator_list(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    for (List* level : levels_in_source_order(list, ID_struct_declarator_list)) {
        for (tree_element* e = level->first; e; e = e->next) {
            if (e->id != ID_struct_declarator) continue;
            std::string d = built_text(C_struct_declarator, e);
            if (error_flag) return result("", text);
            if (!s.empty()) s += ',';
            s += d;
        }
    }
    return result(s, text);
}

// struct_declarator = declarator | declarator? ':' constant_expression
char* C_struct_declarator(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    tree_element* declarator = nullptr;
    tree_element* width = nullptr;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_declarator) declarator = e;
        else if (e->id == ID_constant_expression) width = e;
    }
    std::string s = built_text(C_declarator, declarator);
    if (width) {
        std::string w = constant_text(width, "C_struct_declarator");
        s = declarator ? s + " : " + w : ": " + w;
    }
    if (error_flag) return result("", text);
    return result(s, text);
}

// enum_specifier = ENUM IDENTIFIER? '{' enumerator_list '}' | ENUM IDENTIFIER
char* C_enum_specifier(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    const char* tag = nullptr;
    tree_element* enumerators = nullptr;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_IDENTIFIER) tag = e->txt ? e->txt : "";
        else if (e->id == ID_enumerator_list) enumerators = e;
    }
    std::string s = "enum";
    if (tag) s += std::string(" ") + tag;
    if (enumerators) {
        std::string body = built_text(C_enumerator_list, enumerators);
        if (error_flag) return result("", text);
        s += " { " + body + " }";
    }
    return result(s, text);
}

// enumerator_list = enumerator (',' enumerator)*
char* C_enumerator_list(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    for (List* level : levels_in_source_order(list, ID_enumerator_list)) {
        for (tree_element* e = level->first; e; e = e->next) {
            if (e->id != ID_enumerator) continue;
            std::string d = built_text(C_enumerator, e);
            if (error_flag) return result("", text);
            if (!s.empty()) s += ',';
            s += d;
        }
    }
    return result(s, text);
}

// enumerator = IDENTIFIER ('=' constant_expression)?
char* C_enumerator(List* list, char** text) {
    if (error_flag || !list) return result("", text);
    std::string s;
    for (tree_element* e = list->first; e; e = e->next) {
        if (e->id == ID_IDENTIFIER) {
            s = e->txt ? e->txt : "";
        } else if (e->id == ID_constant_expression) {
            std::string value = constant_text(e, "C_enumerator");
            if (error_flag) return result("", text);
            s += " = " + value;
        }
    }
    return result(s, text);
}
