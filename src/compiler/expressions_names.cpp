// Hash indexes over the growing name lists that identifiers and calls are
// looked up in.
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compiler/expression_support.h"
#include "frontend/tree.h"

namespace {

struct NameIndex {
    const List* list = nullptr;
    uint32_t count = 0;                    // elements indexed so far
    const tree_element* last = nullptr;    // the last of them
    std::unordered_map<std::string_view, const tree_element*> first_by_name;
};

std::vector<NameIndex> indexes;

NameIndex& index_of(const List* list) {
    for (NameIndex& index : indexes) {
        if (index.list == list) return index;
    }
    indexes.push_back(NameIndex{});
    indexes.back().list = list;
    return indexes.back();
}

// Brings the index up to the list's current elements.
void update(NameIndex& index, const List* list) {
    bool still_valid = index.count <= list->count;
    if (still_valid && index.count > 0) {
        // The element indexed last must still be where it was.
        const tree_element* e = list->last;
        for (uint32_t i = list->count; e && i > index.count; --i) e = e->prev;
        still_valid = e == index.last;
    }
    if (!still_valid) {
        index.count = 0;
        index.last = nullptr;
        index.first_by_name.clear();
    }
    if (index.count == list->count) return;
    const tree_element* e = index.last ? index.last->next : list->first;
    for (; e; e = e->next) {
        if (e->txt) index.first_by_name.emplace(std::string_view(e->txt), e);
        index.last = e;
        ++index.count;
    }
}

}  // namespace

const tree_element* find_listed_name(List* list, const char* name) {
    if (!list || !name) return nullptr;
    NameIndex& index = index_of(list);
    update(index, list);
    auto it = index.first_by_name.find(std::string_view(name));
    return it == index.first_by_name.end() ? nullptr : it->second;
}

void reset_name_indexes() { indexes.clear(); }
