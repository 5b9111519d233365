#include "SXKorvPartCache.h"

#include "model/SCompInfo.h"

#include <cstring>
#include <string.h> // memmem

SXKorvPartCache& SXKorvPartCache::forThisThread() {
    thread_local SXKorvPartCache cache;
    return cache;
}

void SXKorvPartCache::setEnabled(bool enabled) {
    m_enabled = enabled;
    m_byPrefix.clear();
    m_entries.clear();
    m_keyBytes = 0;
}

namespace {

const char* findBytes(const char* from, const char* end, std::string_view needle) {
    if (from >= end)
        return nullptr;
    return static_cast<const char*>(
        memmem(from, static_cast<size_t>(end - from), needle.data(), needle.size()));
}

} // namespace

std::string_view SXKorvPartCache::sectionBytes(std::string_view ahead, std::string_view closing) {
    if (!m_enabled || closing.empty())
        return {};
    const char* begin = ahead.data();
    const char* end = begin + ahead.size();
    const bool reuse =
        end == m_scanEnd && begin >= m_scanFrom && begin <= (m_scanFound ? m_scanFound : m_scanEnd);
    if (!reuse) {
        m_scanFrom = begin;
        m_scanEnd = end;
        m_scanFound = m_scanFoundEnd = nullptr;
        // memmem rather than find: the closing word starts with "-", which parts are full of.
        for (const char* at = findBytes(begin, end, closing); at;
             at = findBytes(at + 1, end, closing)) {
            const char* after = at + closing.size();
            const char c = after < end ? *after : '\0';
            if (c == ',' || c == '\n' || c == '\r') {
                m_scanFound = at;
                m_scanFoundEnd = after + 1;
                break;
            }
        }
    }
    if (!m_scanFound)
        return {};
    return {begin, static_cast<size_t>(m_scanFoundEnd - begin)};
}

const SXKorvPartCache::Entry* SXKorvPartCache::find(std::string_view sectionBytes) const {
    const auto it = m_entries.find(sectionBytes);
    return it == m_entries.end() ? nullptr : &it->second;
}

const SXKorvPartCache::Entry* SXKorvPartCache::findAtStart(std::string_view ahead,
                                                           std::string_view& bytes) const {
    if (ahead.size() < kPrefixBytes)
        return nullptr;
    const auto [first, last] = m_byPrefix.equal_range(prefixHash(ahead));
    for (auto it = first; it != last; ++it) {
        const std::string& key = it->second->first;
        if (key.size() <= ahead.size() && std::memcmp(key.data(), ahead.data(), key.size()) == 0) {
            bytes = ahead.substr(0, key.size());
            return &it->second->second;
        }
    }
    return nullptr;
}

void SXKorvPartCache::insert(std::string_view sectionBytes, Entry entry) {
    if (!m_enabled || sectionBytes.size() > kMaxKeyBytes / 8)
        return;
    if (m_entries.size() >= kMaxEntries || m_keyBytes + sectionBytes.size() > kMaxKeyBytes) {
        m_byPrefix.clear();
        m_entries.clear();
        m_keyBytes = 0;
    }
    const auto [it, added] = m_entries.emplace(std::string(sectionBytes), std::move(entry));
    if (!added)
        return;
    m_keyBytes += sectionBytes.size();
    if (sectionBytes.size() >= kPrefixBytes)
        m_byPrefix.emplace(prefixHash(sectionBytes), &*it);
}

size_t SXKorvPartCache::prefixHash(std::string_view bytes) {
    return std::hash<std::string_view>{}(bytes.substr(0, kPrefixBytes));
}
