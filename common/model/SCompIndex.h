#pragma once

#include <string>
#include <utility>

class SCompInfo;

// One library entry: a name bound to a component definition. Aliases are further entries bound
// to the same definition. The definition is owned by the library, not by the entry.
class SCompIndex {
public:
    SCompIndex(std::string name, SCompInfo* component)
        : m_name(std::move(name)), m_component(component) {}

    // Empty only for entries a caller made so; such entries are never written.
    const std::string& name() const { return m_name; }
    SCompInfo* component() const { return m_component; }

private:
    // The library keeps a table of its entries' names: renaming goes through it.
    friend class SCompLib;

    std::string m_name;
    SCompInfo* m_component;
};
