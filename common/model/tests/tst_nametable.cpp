#include "SNameTable.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace {

struct Named {
    std::string name;
    int value = 0;
    explicit operator bool() const { return !name.empty(); }
};
struct NameOfNamed {
    std::string_view operator()(const Named& item) const { return item.name; }
};
using Table = SNameTable<Named, NameOfNamed>;

// Random inserts and erases against a map, with hashes forced onto few values so that runs
// collide, wrap round the table's end and are broken up by erasing.
TEST(NameTable, AgreesWithAMapUnderCollidingHashes) {
    struct Case {
        const char* what;
        size_t (*hash)(int);
    };
    const Case cases[] = {
        {"one hash for all", [](int) -> size_t { return 7; }},
        {"last slots, wrapping", [](int n) -> size_t { return ~size_t{0} - n % 3; }},
        {"few homes", [](int n) -> size_t { return static_cast<size_t>(n % 5) * 3; }},
        {"the real hash", [](int n) { return Table::hashOf("name" + std::to_string(n)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table table;
        std::map<std::string, int> reference;
        std::mt19937 random(5);
        for (int step = 0; step < 4000; ++step) {
            const int n = static_cast<int>(random() % 60);
            const std::string name = "name" + std::to_string(n);
            if (random() % 3 == 0) {
                table.erase(name, c.hash(n));
                reference.erase(name);
            } else {
                const auto [item, stored] = table.insert(name, c.hash(n), {name, step});
                const auto [it, added] = reference.try_emplace(name, step);
                ASSERT_EQ(stored, added);
                ASSERT_EQ(item->value, it->second);
            }
            ASSERT_EQ(table.size(), reference.size());
            for (int k = 0; k < 60; ++k) {
                const std::string other = "name" + std::to_string(k);
                const Named* found = table.find(other, c.hash(k));
                const auto expected = reference.find(other);
                ASSERT_EQ(found != nullptr, expected != reference.end()) << other;
                if (found) {
                    ASSERT_EQ(found->value, expected->second);
                }
            }
        }
    }
}

TEST(NameTable, EmptyAndClearedTablesFindNothing) {
    Table table;
    EXPECT_EQ(table.find("a"), nullptr);
    table.erase("a", Table::hashOf("a"));
    table.insert("a", Table::hashOf("a"), {"a", 1});
    table.clear();
    EXPECT_EQ(table.find("a"), nullptr);
    EXPECT_EQ(table.size(), 0u);
    EXPECT_TRUE(table.insert("a", Table::hashOf("a"), {"a", 2}).second);
}

} // namespace
