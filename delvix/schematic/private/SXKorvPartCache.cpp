#include "SXKorvPartCache.h"

#include "model/SCompInfo.h"

SXKorvPartCache& SXKorvPartCache::forThisThread() {
    thread_local SXKorvPartCache cache;
    return cache;
}

void SXKorvPartCache::setEnabled(bool enabled) {
    m_enabled = enabled;
    m_entries.clear();
    m_keyBytes = 0;
}

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
        for (size_t at = ahead.find(closing); at != std::string_view::npos;
             at = ahead.find(closing, at + 1)) {
            const size_t after = at + closing.size();
            const char c = after < ahead.size() ? ahead[after] : '\0';
            if (c == ',' || c == '\n' || c == '\r') {
                m_scanFound = begin + at;
                m_scanFoundEnd = begin + after + 1;
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

void SXKorvPartCache::insert(std::string_view sectionBytes, Entry entry) {
    if (!m_enabled || sectionBytes.size() > kMaxKeyBytes / 8)
        return;
    if (m_entries.size() >= kMaxEntries || m_keyBytes + sectionBytes.size() > kMaxKeyBytes) {
        m_entries.clear();
        m_keyBytes = 0;
    }
    if (m_entries.emplace(std::string(sectionBytes), std::move(entry)).second)
        m_keyBytes += sectionBytes.size();
}
