#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

// Storage a reader takes objects from while it reads one section, before it moves them to their
// final place: one per thread, reused by every section, so that reading a small object costs no
// allocation. Everything taken is given back at once when the section's scope ends; objects
// still in it must have been destroyed by then. Readers of one thread must not nest scopes.
class SScratchArena {
public:
    static constexpr size_t kChunkBytes = size_t{1} << 16;

    // Gives the thread's arena back empty when it ends; chunks beyond the first are freed, so
    // that a huge section's storage is not kept.
    class Scope {
    public:
        Scope() : m_arena(forThread()) { m_arena.clear(); }
        ~Scope() { m_arena.clear(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        SScratchArena& arena() { return m_arena; }

    private:
        SScratchArena& m_arena;
    };

    // `bytes` aligned for any object; valid until the scope ends.
    void* take(size_t bytes) {
        bytes = (bytes + kAlign - 1) / kAlign * kAlign;
        if (m_chunks.empty() || m_room - m_used < bytes) {
            m_room = std::max(bytes, kChunkBytes);
            m_chunks.push_back(std::make_unique_for_overwrite<std::byte[]>(m_room));
            m_used = 0;
        }
        void* place = m_chunks.back().get() + m_used;
        m_used += bytes;
        return place;
    }

private:
    static constexpr size_t kAlign = alignof(std::max_align_t);

    static SScratchArena& forThread() {
        thread_local SScratchArena arena;
        return arena;
    }
    void clear() {
        if (m_chunks.size() > 1)
            m_chunks.resize(1);
        m_room = m_chunks.empty() ? 0 : kChunkBytes;
        m_used = 0;
    }

    std::vector<std::unique_ptr<std::byte[]>> m_chunks;
    size_t m_room = 0; // bytes of the last chunk
    size_t m_used = 0; // of them taken
};
