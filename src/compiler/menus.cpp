// Menus: regrouping the menuitem, hotmenu, dialog and slider definitions of the
// tree into menu definitions, and writing the menu subroutine, the hotmenu
// subroutines and the two subroutines of each dialog.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/compiler.h"
#include "driver/diagnostics.h"
#include "frontend/tree.h"

namespace {

const char* const unknown_menuitem_title = "\"Unknown Menuitem\"";

// --- moving elements between lists without copying them ---

void reset_cursor(List* list) {
    list->cursor = list->first;
    list->cursorIndex = 0;
}

tree_element* detach_first(List* list) {
    tree_element* e = list->first;
    if (!e) return nullptr;
    list->first = e->next;
    if (list->first) list->first->prev = nullptr;
    else list->last = nullptr;
    --list->count;
    e->next = e->prev = nullptr;
    reset_cursor(list);
    return e;
}

void attach_last(List* list, tree_element* e) {
    e->next = nullptr;
    e->prev = list->last;
    if (list->last) list->last->next = e;
    else list->first = e;
    list->last = e;
    ++list->count;
    reset_cursor(list);
}

// Frees an element whose child list has been handed on (or is released here
// when `with_child`).
void free_element(tree_element* e, bool with_child) {
    List* holder = list_create();
    attach_last(holder, e);
    if (with_child) list_release(holder);
    else list_release_shallow(holder);
}

tree_element* node_of(tree_element* external) {
    return external && external->child ? external->child->first : nullptr;
}

bool is_menu_kind(uint32_t id) {
    return id == ID_menuitem_definition || id == ID_hotmenu || id == ID_dialog || id == ID_slider;
}

tree_element* first_of_kind(List* list, uint32_t kind) {
    if (!list) return nullptr;
    for (tree_element* e = list->first; e; e = e->next)
        if (e->id == kind) return e;
    return nullptr;
}

// The name of a hotmenu, dialog or slider: its first identifier.
const char* item_name(tree_element* item) {
    tree_element* name = first_of_kind(item->child, ID_IDENTIFIER);
    return name && name->txt ? name->txt : "";
}

// A new element of `kind` holding `child`, not yet in any list.
tree_element* new_element(uint32_t kind, List* child, const char* text, uint32_t line, uint32_t last_line) {
    List* scratch = list_create();
    list_append(scratch, kind, child, text, line, last_line);
    tree_element* e = detach_first(scratch);
    list_release_shallow(scratch);
    return e;
}

// One menu definition being built: its top-level element and its item list.
struct MenuBuild {
    tree_element* external = nullptr;
    List* items = nullptr;
};

MenuBuild start_menu(const char* title, uint32_t line, uint32_t last_line, tree_element* comment) {
    MenuBuild m;
    List* definition = list_create();
    list_append(definition, ID_STRING, nullptr, title, line, last_line);
    m.items = list_create();
    list_append(definition, ID_menu_item_list, m.items, nullptr, line, last_line);
    List* holder = list_create();
    if (comment) attach_last(holder, comment);
    list_append(holder, ID_menuitem_definition, definition, nullptr, line, last_line);
    m.external = new_element(ID_external_declaration, holder, nullptr, line, last_line);
    return m;
}

}  // namespace

// Stable partition of the top-level elements (menu kinds last), then each
// menuitem with the hotmenus, dialogs and sliders after it becomes one menu
// definition. Items before any menuitem go under a synthetic one; a menuitem
// without items is dropped; its leading comment block moves in front of the
// definition.
void regroup_menus(List* tree) {
    if (!tree) return;
    std::vector<tree_element*> others;
    std::vector<tree_element*> menus;
    while (tree_element* e = detach_first(tree)) {
        tree_element* node = node_of(e);
        (node && is_menu_kind(node->id) ? menus : others).push_back(e);
    }
    for (tree_element* e : others) attach_last(tree, e);

    MenuBuild current;
    bool have_menu = false;
    auto finish = [&]() {
        if (!have_menu) return;
        if (current.items->count == 0)
            free_element(current.external, true);
        else
            attach_last(tree, current.external);
        have_menu = false;
    };

    for (tree_element* e : menus) {
        tree_element* node = node_of(e);
        if (node->id == ID_menuitem_definition) {
            finish();
            tree_element* title = first_of_kind(node->child, ID_STRING);
            List* parts = node->child;
            tree_element* comment =
                parts && parts->first && parts->first->id == ID_dts_comment ? detach_first(parts) : nullptr;
            current = start_menu(title && title->txt ? title->txt : "\"\"", e->line, e->lastLine, comment);
            have_menu = true;
            free_element(e, true);
            continue;
        }
        if (!have_menu) {
            current = start_menu(unknown_menuitem_title, e->line, e->lastLine, nullptr);
            have_menu = true;
        }
        // The element's own list [item node] becomes the menu item's list.
        List* item = e->child;
        e->child = nullptr;
        list_append(current.items, ID_menu_item, item, nullptr, e->line, e->lastLine);
        free_element(e, false);
    }
    finish();
}

int C_hotmenu(tree_element* hotmenu, const char* macrofilename) {
    if (error_flag || !hotmenu || !hotmenu->child) return 0;
    List* parts = hotmenu->child;
    function_state.inside_function = true;
    if (parts->first && parts->first->id == ID_dts_comment) {
        C_dts_comment(parts->first->child, false, macrofilename);
        if (error_flag) return 0;
    }
    std::printf("\n%s:\n(\n", item_name(hotmenu));
    if (tree_element* parameters = first_of_kind(parts, ID_function_parameter_list)) {
        C_function_parameter_list(parameters->child);
        if (error_flag) return 0;
    }
    tree_element* body = first_of_kind(parts, ID_compound_statement);
    if (body) C_compound_statement(body->child, 0, macrofilename);
    if (error_flag) return 0;
    std::printf("RETURN\n");
    std::printf("\n)\n");
    function_state.inside_function = false;
    return 0;
}

namespace {

// One item of a dialog's parameter list: the parameter and its optional label.
struct DialogItem {
    long index;          // position in the full list
    const char* name;    // null for an empty item
    const char* label;   // the label string with its quotes, or null
};

std::vector<DialogItem> dialog_items(List* parameters) {
    std::vector<DialogItem> items;
    long i = 0;
    for (tree_element* p = parameters ? parameters->first : nullptr; p; p = p->next, ++i) {
        tree_element* name = first_of_kind(p->child, ID_IDENTIFIER);
        tree_element* label = first_of_kind(p->child, ID_STRING);
        items.push_back({i, name && name->txt ? name->txt : nullptr, label && name ? label->txt : nullptr});
    }
    return items;
}

}  // namespace

// The dialog box subroutine D_dialog and the function D that receives its
// values. Empty items are left out of both: the box's Execute button passes
// one value per named item, so the function numbers its parameters over the
// named items only.
int C_dialog(tree_element* dialog, const char* macrofilename) {
    if (error_flag || !dialog || !dialog->child) return 0;
    const char* d = item_name(dialog);
    tree_element* parameter_list = first_of_kind(dialog->child, ID_dialog_parameter_list);
    std::vector<DialogItem> all = dialog_items(parameter_list ? parameter_list->child : nullptr);
    std::vector<DialogItem> named;
    for (const DialogItem& item : all)
        if (item.name) named.push_back(item);
    long n = static_cast<long>(all.size());

    size_t width = 0;
    for (const DialogItem& item : named)
        width = std::max(width, std::strlen(item.label ? item.label : item.name));
    int w = static_cast<int>(std::min<size_t>(width, 1000000000));

    std::printf("\n%s_dialog:\n(\nLOCAL", d);
    for (const DialogItem& item : named) std::printf(" &%s", item.name);
    std::printf("\n");
    for (const DialogItem& item : named) std::printf("&%s=0\n", item.name);
    std::printf("DIALOG\n(\nHEADER \"%s\"\n", d);
    for (const DialogItem& item : named) {
        std::printf("POS 0. %li. %i.\n", item.index, w);
        if (item.label)
            std::printf("TEXT %s\n", item.label);
        else
            std::printf("TEXT \"%s\"\n", item.name);
    }
    for (const DialogItem& item : named) {
        std::printf("POS %i. %li. 10.\n", w, item.index);
        std::printf("EDIT \"\" \"&%s=*\"\n", item.name);
    }
    std::printf("POS 0. %li. %i.\n", n, w + 10);
    std::printf("BUTTON \"Execute\" \n(\nDO &path_%s %s", program_state.path_name ? program_state.path_name : "", d);
    for (const DialogItem& item : named) std::printf(" &%s", item.name);
    std::printf("\n)\n)\n");
    std::printf("RETURN\n)\n");

    if (named.empty()) {
        std::printf("\n%s:\n(", d);
        std::printf("\n");
    } else {
        std::printf("\n%s:\n(\nENTRY", d);
        for (size_t i = 0; i < named.size(); ++i) std::printf(" &__VF%zu", i);
        std::printf("\n\n");
        for (size_t i = 0; i < named.size(); ++i) {
            std::fputs(function_state.inside_function ? "Var.NEWLOCAL" : "Var.NEW", stdout);
            std::printf(" unsigned");
            std::printf(" long");
            std::printf(" long");
            std::printf(" \\%s\n", named[i].name);
            std::printf("VAR.ASSIGN \\%s=&__VF%zu\n\n", named[i].name, i);
            names_append(function_state.scope_names, named[i].name);
        }
        std::printf("\n");
    }
    tree_element* body = first_of_kind(dialog->child, ID_compound_statement);
    if (body) C_compound_statement(body->child, function_state.scope_names->count, macrofilename);
    if (error_flag) return 0;
    while (function_state.scope_names->count > 0) names_remove_last(function_state.scope_names);
    std::printf("RETURN\n)\n");
    return 0;
}

int C_menu(List* menus, const char* macrofilename) {
    if (error_flag) return 0;
    std::printf("\n__GeL_MeNu_CrEaTe:\n(\n");
    std::printf("MENU.ReProgram\n(\n");
    std::printf("ADD\nMENU\n(\n");
    std::printf("POPUP \"GEL\"\n(\n");
    std::vector<tree_element*> worklist;
    for (tree_element* m = menus ? menus->first : nullptr; m; m = m->next) {
        tree_element* title = first_of_kind(m->child, ID_STRING);
        tree_element* items = first_of_kind(m->child, ID_menu_item_list);
        std::printf("POPUP %s\n(\n", title && title->txt ? title->txt : "\"\"");
        for (tree_element* it = items && items->child ? items->child->first : nullptr; it; it = it->next) {
            tree_element* node = it->child ? it->child->first : nullptr;
            if (!node) continue;
            const char* name = item_name(node);
            const char* path = program_state.path_name ? program_state.path_name : "";
            switch (node->id) {
            case ID_hotmenu:
                std::printf("MENUITEM \"%s\" \n(\nDO \"&path_%s\" %s\n)\n", name, path, name);
                worklist.push_back(node);
                break;
            case ID_dialog:
                std::printf("MENUITEM \"%s\" \n(\nDO \"&path_%s\" %s_dialog\n)\n", name, path, name);
                worklist.push_back(node);
                break;
            case ID_slider:
                warning_at(node->line, "%s", "Slider keyword is not supported.");
                break;
            default:
                FATAL_INTERNAL_ERROR("C_menu");
            }
        }
        std::printf(")\n");
    }
    std::printf(")\n)\n)\n");
    std::printf("RETURN\n)\n");

    for (tree_element* node : worklist) {
        if (node->id == ID_hotmenu)
            C_hotmenu(node, macrofilename);
        else
            C_dialog(node, macrofilename);
        if (error_flag) break;
    }
    std::free(program_state.path_name);
    program_state.path_name = nullptr;
    return 0;
}
