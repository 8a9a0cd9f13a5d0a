#include "frontend/tree.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

char* copy_text(const char* text) {
    if (!text) return nullptr;
    size_t n = std::strlen(text);
    char* p = static_cast<char*>(std::malloc(n + 1));
    if (!p) std::abort();
    std::memcpy(p, text, n + 1);
    return p;
}

void reset_cursor(List* list) {
    list->cursor = list->first;
    list->cursorIndex = 0;
}

}  // namespace

List* list_create() { return new List(); }

tree_element* list_append(List* list, uint32_t kind, List* child, const char* text, uint32_t line,
                          uint32_t lastLine) {
    auto* e = new tree_element();
    e->id = kind;
    e->child = child;
    e->txt = copy_text(text);
    e->line = line;
    e->lastLine = lastLine;
    e->prev = list->last;
    if (list->last)
        list->last->next = e;
    else
        list->first = e;
    list->last = e;
    list->count++;
    reset_cursor(list);
    return e;
}

tree_element* list_at(List* list, long index) {
    if (!list || index < 0 || static_cast<unsigned long>(index) >= list->count) return nullptr;
    if (!list->cursor) reset_cursor(list);
    uint32_t target = static_cast<uint32_t>(index);
    // Jumping to either end is cheaper than walking from a far cursor.
    if (target == 0) {
        list->cursor = list->first;
        list->cursorIndex = 0;
        return list->cursor;
    }
    if (target == list->count - 1) {
        list->cursor = list->last;
        list->cursorIndex = target;
        return list->cursor;
    }
    while (list->cursorIndex < target) {
        list->cursor = list->cursor->next;
        list->cursorIndex++;
    }
    while (list->cursorIndex > target) {
        list->cursor = list->cursor->prev;
        list->cursorIndex--;
    }
    return list->cursor;
}

int list_remove_last(List* list) {
    if (!list || !list->last) return 0;
    tree_element* e = list->last;
    list->last = e->prev;
    if (list->last)
        list->last->next = nullptr;
    else
        list->first = nullptr;
    list->count--;
    std::free(e->txt);
    delete e;
    reset_cursor(list);
    return 1;
}

void list_release(List* list) {
    // An explicit stack instead of recursion: statement lists and long operator
    // chains nest one level per item.
    std::vector<List*> pending;
    if (list) pending.push_back(list);
    while (!pending.empty()) {
        List* l = pending.back();
        pending.pop_back();
        tree_element* e = l->first;
        while (e) {
            tree_element* next = e->next;
            if (e->child) pending.push_back(e->child);
            std::free(e->txt);
            delete e;
            e = next;
        }
        delete l;
    }
}

void list_release_shallow(List* list) {
    if (!list) return;
    tree_element* e = list->first;
    while (e) {
        tree_element* next = e->next;
        std::free(e->txt);
        delete e;
        e = next;
    }
    delete list;
}

tree_element* names_append(List* list, const char* text, unsigned char flags) {
    tree_element* e = list_append(list, 0, nullptr, text ? text : "", 0, 0);
    e->flags = flags;
    return e;
}

const char* names_last(const List* list) {
    return (list && list->last) ? list->last->txt : nullptr;
}

long names_find(List* list, const char* text, long limit) {
    if (!list || !text) return -1;
    long i = 0;
    for (tree_element* e = list->first; e; e = e->next, ++i) {
        if (limit >= 0 && i >= limit) break;
        if (e->txt && std::strcmp(e->txt, text) == 0) return i;
    }
    return -1;
}

int names_remove_last(List* list) { return list_remove_last(list); }
