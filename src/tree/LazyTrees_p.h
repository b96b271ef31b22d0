#pragma once
// Shared by the LazyTrees*.cpp files: the node block pool and small helpers.

#include "tree/LazyTrees.h"

#include "framework/SysUtils.h"

#include <cstring>
#include <exception>

// Equal zero-filled blocks carved from large chunks, so that a million
// nodes cost a few allocations and freeing them is a list push each.
struct TBaseLazyTree::TNodePool {
    std::size_t BlockSize = 0;
    std::vector<std::unique_ptr<std::byte[]>> Chunks;
    std::size_t ChunkBlocks = 0;
    std::size_t UsedInChunk = 0;
    void* FreeList = nullptr;
    std::size_t Live = 0;

    void* Allocate(std::size_t Size) {
        if (Size != BlockSize) {
            // Only ever changed while no block is in use (NodeDataSize and
            // internal areas are fixed while nodes exist).
            Chunks.clear();
            FreeList = nullptr;
            ChunkBlocks = UsedInChunk = 0;
            BlockSize = Size;
        }
        void* Block;
        if (FreeList) {
            Block = FreeList;
            FreeList = *static_cast<void**>(FreeList);
        } else {
            if (Chunks.empty() || UsedInChunk == ChunkBlocks) {
                ChunkBlocks = ChunkBlocks == 0 ? 64 : std::min<std::size_t>(ChunkBlocks * 2, 16384);
                Chunks.emplace_back(new std::byte[ChunkBlocks * BlockSize]);
                UsedInChunk = 0;
            }
            Block = Chunks.back().get() + UsedInChunk++ * BlockSize;
        }
        std::memset(Block, 0, BlockSize);
        ++Live;
        return Block;
    }
    void Release(void* Block) {
        *static_cast<void**>(Block) = FreeList;
        FreeList = Block;
        --Live;
    }
};

inline constexpr TLazyNodeStates PersistentNodeStates{vsInitialized, vsDisabled, vsExpanded,
                                                      vsHasChildren, vsVisible, vsSelected,
                                                      vsMultiline, vsFiltered};

// Runs a step on leaving a scope, also when a handler raised. A second
// failure while the first one travels is dropped: the first one counts.
template <class F>
struct TFinally {
    // A constructor, not an aggregate: clang 14 deduces no aggregate's type.
    explicit TFinally(F fn) : Fn(std::move(fn)) {}
    F Fn;
    int Pending = std::uncaught_exceptions();
    ~TFinally() noexcept(false) {
        if (std::uncaught_exceptions() > Pending) {
            try {
                Fn();
            } catch (...) {
            }
        } else {
            Fn();
        }
    }
};

// The tree classes of the library in form images (by the set-up).
void RegisterTreeStreamClasses();

// True while no tree hint window exists.
extern bool HintWindowGone;

inline void TreeAssert(bool Condition, const char* Text,
                       TSourceLocation Where = TSourceLocation::Current()) {
    if (!Condition) Assert(false, S(Text), Where);
}
