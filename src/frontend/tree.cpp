#include "frontend/tree.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "driver/platform.h"

namespace {

// Trees of large scripts hold millions of elements and lists; they come from
// free-list pools carved out of large chunks instead of one heap block each.
// Sanitizer builds keep one heap block per object, so that a use after free
// is still reported.
#if defined(__SANITIZE_ADDRESS__)
#define TREE_POOLS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TREE_POOLS 0
#endif
#endif
#ifndef TREE_POOLS
#define TREE_POOLS 1
#endif

template <typename T>
class NodePool {
public:
    T* take() {
#if TREE_POOLS
        if (!free_) grow();
        Slot* s = free_;
        free_ = s->next;
        return new (s->storage) T();
#else
        return new T();
#endif
    }
    void give_back(T* p) {
#if TREE_POOLS
        p->~T();
        Slot* s = reinterpret_cast<Slot*>(p);
        s->next = free_;
        free_ = s;
#else
        delete p;
#endif
    }

private:
    union Slot {
        Slot* next;
        alignas(T) unsigned char storage[sizeof(T)];
    };
    // Chunks of 2 MiB, aligned so that the kernel can back each with one huge
    // page: a large tree then costs a few page faults instead of thousands.
    static constexpr size_t kChunkBytes = size_t(2) << 20;
    static constexpr size_t kChunk = kChunkBytes / sizeof(Slot);
    void grow() {
        void* memory = allocate_aligned_chunk(kChunkBytes);
        Slot* chunk = static_cast<Slot*>(memory);
        for (size_t i = 0; i < kChunk; ++i) chunk[i].next = i + 1 < kChunk ? &chunk[i + 1] : nullptr;
        free_ = chunk;
    }
    Slot* free_ = nullptr;
};

NodePool<tree_element>& element_pool() {
    static NodePool<tree_element> pool;
    return pool;
}
NodePool<List>& list_pool() {
    static NodePool<List> pool;
    return pool;
}

// The text arena: blocks of 1 MiB, and a block of its own for a longer text.
// Sanitizer builds copy each text into a heap block of its own, so that a
// text read after the reset is still reported.
class TextArena {
public:
    char* copy(const char* text, size_t length) {
        char* p = take(length + 1);
        if (length) std::memcpy(p, text, length);
        p[length] = '\0';
        return p;
    }
    void reset() {
        for (char* block : blocks_) std::free(block);
        blocks_.clear();
        next_ = end_ = nullptr;
    }

private:
    static constexpr size_t kBlock = size_t(1) << 20;
    char* take(size_t n) {
#if TREE_POOLS
        if (static_cast<size_t>(end_ - next_) >= n) {
            char* p = next_;
            next_ += n;
            return p;
        }
        if (n > kBlock / 4) return own_block(n);
        next_ = own_block(kBlock);
        end_ = next_ + kBlock;
        char* p = next_;
        next_ += n;
        return p;
#else
        return own_block(n);
#endif
    }
    char* own_block(size_t n) {
        char* block = static_cast<char*>(std::malloc(n));
        if (!block) std::abort();
        blocks_.push_back(block);
        return block;
    }
    std::vector<char*> blocks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
};

TextArena& text_arena() {
    static TextArena arena;
    return arena;
}

char* copy_text(const char* text) {
    if (!text) return nullptr;
    return text_arena().copy(text, std::strlen(text));
}

void reset_cursor(List* list) {
    list->cursor = list->first;
    list->cursorIndex = 0;
}

}  // namespace

char* arena_copy(const char* text, size_t length) { return text_arena().copy(text, length); }

char* arena_copy(const char* text) { return copy_text(text ? text : ""); }

void text_arena_reset() { text_arena().reset(); }

List* list_create() { return list_pool().take(); }

tree_element* list_append(List* list, uint32_t kind, List* child, const char* text, uint32_t line,
                          uint32_t lastLine) {
    tree_element* e = element_pool().take();
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

tree_element* first_of_kind(List* list, uint32_t kind) {
    for (tree_element* e = list ? list->first : nullptr; e; e = e->next)
        if (e->id == kind) return e;
    return nullptr;
}

tree_element* next_of_kind(tree_element* element, uint32_t kind) {
    for (tree_element* e = element ? element->next : nullptr; e; e = e->next)
        if (e->id == kind) return e;
    return nullptr;
}

std::vector<List*> levels_in_source_order(List* list, uint32_t nested_kind) {
    std::vector<List*> levels;
    for (List* level = list; level;) {
        levels.push_back(level);
        tree_element* first = level->first;
        level = (first && first->id == nested_kind) ? first->child : nullptr;
    }
    return std::vector<List*>(levels.rbegin(), levels.rend());
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
    element_pool().give_back(e);
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
            element_pool().give_back(e);
            e = next;
        }
        list_pool().give_back(l);
    }
}

void list_release_shallow(List* list) {
    if (!list) return;
    tree_element* e = list->first;
    while (e) {
        tree_element* next = e->next;
        element_pool().give_back(e);
        e = next;
    }
    list_pool().give_back(list);
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
