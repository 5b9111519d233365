#include "SXKorvPartCache.h"

#include "SCompInfo.h"

SXKorvPartCache& SXKorvPartCache::forThisThread() {
    thread_local SXKorvPartCache cache;
    return cache;
}

void SXKorvPartCache::setEnabled(bool enabled) {
    m_enabled = enabled;
    m_entries.clear();
    m_keyBytes = 0;
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
