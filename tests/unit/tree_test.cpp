#include <gtest/gtest.h>

#include "frontend/tree.h"

TEST(TreeList, AppendCopiesTextAndIndexWalksFromCursor) {
    List* l = list_create();
    char text[] = "abc";
    list_append(l, ID_IDENTIFIER, nullptr, text, 3, 4);
    text[0] = 'x';
    list_append(l, ID_CONSTANT, nullptr, "0x1", 5, 5);
    list_append(l, ID_STRING, nullptr, nullptr, 6, 6);
    ASSERT_EQ(l->count, 3u);
    EXPECT_STREQ(list_at(l, 0)->txt, "abc");
    EXPECT_EQ(list_at(l, 1)->id, ID_CONSTANT);
    EXPECT_EQ(l->cursorIndex, 1u);
    EXPECT_EQ(list_at(l, 2)->txt, nullptr);
    EXPECT_EQ(list_at(l, 1)->line, 5u);
    EXPECT_EQ(list_at(l, -1), nullptr);
    EXPECT_EQ(list_at(l, 3), nullptr);
    list_release(l);
}

TEST(TreeList, RemoveLastAndEmptyList) {
    List* l = list_create();
    EXPECT_EQ(list_remove_last(l), 0);
    list_append(l, 1, nullptr, "a", 1, 1);
    list_append(l, 2, nullptr, "b", 1, 1);
    EXPECT_EQ(list_remove_last(l), 1);
    EXPECT_EQ(l->count, 1u);
    EXPECT_EQ(l->last, l->first);
    EXPECT_EQ(l->first->next, nullptr);
    EXPECT_EQ(list_remove_last(l), 1);
    EXPECT_EQ(l->first, nullptr);
    EXPECT_EQ(l->last, nullptr);
    list_release(l);
}

TEST(TreeList, ReleaseHandlesVeryDeepNesting) {
    // A body of many statements nests one list per statement.
    List* root = list_create();
    List* cur = root;
    for (int i = 0; i < 300000; ++i) {
        List* inner = list_create();
        list_append(cur, ID_statement_list, inner, nullptr, 1, 1);
        list_append(cur, ID_statement, list_create(), nullptr, 1, 1);
        cur = inner;
    }
    list_release(root);
    SUCCEED();
}

TEST(NameList, FindHonoursLimitAndRemoveLast) {
    List* l = list_create();
    names_append(l, "a");
    names_append(l, "b", 1);
    names_append(l, "a");
    EXPECT_EQ(names_find(l, "a"), 0);
    EXPECT_EQ(names_find(l, "b", 1), -1);
    EXPECT_EQ(names_find(l, "b", 2), 1);
    EXPECT_EQ(names_find(l, "c"), -1);
    EXPECT_EQ(l->last->prev->flags, 1);
    EXPECT_STREQ(names_last(l), "a");
    names_remove_last(l);
    EXPECT_STREQ(names_last(l), "b");
    list_release(l);
}
