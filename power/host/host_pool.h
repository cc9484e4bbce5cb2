// Reference host object pool: the objects of one kind of a design (atoms,
// terms, hierarchy names) made in place in large chunks, so that a design of
// millions of signals costs no allocation per object. Objects never move,
// are numbered in the order they were made, and are destroyed together.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

template <class T>
class HOST_POOL {
public:
    HOST_POOL() = default;
    ~HOST_POOL() { clear(); }
    HOST_POOL(const HOST_POOL&) = delete;
    HOST_POOL& operator=(const HOST_POOL&) = delete;

    template <class... ARGS>
    T* make(ARGS&&... args)
    {
        if (m_size == m_chunks.size() * s_chunk_size)
            m_chunks.emplace_back(new SLOT[s_chunk_size]);   // left uninitialised: untouched pages cost no memory
        T* object = new (slot(m_size)) T(std::forward<ARGS>(args)...);
        ++m_size;
        return object;
    }

    std::size_t size() const { return m_size; }
    T* at(std::size_t index) const { return std::launder(reinterpret_cast<T*>(slot(index))); }

    // Destroys every object, the last made first.
    void clear()
    {
        while (m_size > 0)
            at(--m_size)->~T();
        m_chunks.clear();
    }

private:
    static constexpr std::size_t s_chunk_size = 4096;
    struct SLOT {
        alignas(T) unsigned char bytes[sizeof(T)];
    };

    SLOT* slot(std::size_t index) const { return &m_chunks[index / s_chunk_size][index % s_chunk_size]; }

    std::vector<std::unique_ptr<SLOT[]>> m_chunks;
    std::size_t m_size = 0;
};
