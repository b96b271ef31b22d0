#pragma once
// Shared by the LazyTrees*.cpp files: the node block pool and small helpers.

#include "tree/LazyTrees.h"

#include "framework/SysUtils.h"

#include <cstring>
#include <exception>

// Equal zero-filled blocks carved from large chunks, so that a million
// nodes cost a few allocations and freeing them is a list push each.
// Large chunks are fresh mappings whose pages come zeroed from the system,
// so a block carved from them is not cleared again; blocks from small
// chunks and from the free list are cleared here.
struct TBaseLazyTree::TNodePool {
    struct TChunk {
        std::byte* Data;
        std::size_t Bytes;
        bool Mapped;
    };
    // Blocks start this far into a chunk, so that each block's data area
    // (DataOffset into the block) is aligned for any type.
    static constexpr std::size_t Alignment = alignof(std::max_align_t);
    static constexpr std::size_t Lead = (Alignment - TLazyNode::DataOffset % Alignment) % Alignment;
    // A block's size for Bytes of record, data and internal areas: a whole
    // number of alignment steps, so every block of a chunk keeps the lead's alignment.
    static constexpr std::size_t BlockSizeFor(std::size_t Bytes) {
        return (Bytes + Alignment - 1) / Alignment * Alignment;
    }
    std::size_t BlockSize = 0;
    std::vector<TChunk> Chunks;
    std::size_t ChunkBlocks = 0;
    std::size_t UsedInChunk = 0;
    bool ChunkZeroed = false;
    void* FreeList = nullptr;
    std::size_t Live = 0;

    TNodePool() = default;
    TNodePool(const TNodePool&) = delete;
    TNodePool& operator=(const TNodePool&) = delete;
    ~TNodePool() { ReleaseChunks(); }

    // Chunks from this size on are mapped: the allocator would hand back used memory.
    static constexpr std::size_t MappedChunkBytes = std::size_t(1) << 20;
    void AddChunk(std::size_t Bytes);
    void ReleaseChunks();

    void* Allocate(std::size_t Size) {
        if (Size != BlockSize) {
            // Only ever changed while no block is in use (NodeDataSize and
            // internal areas are fixed while nodes exist).
            ReleaseChunks();
            FreeList = nullptr;
            ChunkBlocks = UsedInChunk = 0;
            BlockSize = Size;
        }
        void* Block;
        if (FreeList) {
            Block = FreeList;
            FreeList = *static_cast<void**>(FreeList);
            std::memset(Block, 0, BlockSize);
        } else {
            if (Chunks.empty() || UsedInChunk == ChunkBlocks) {
                ChunkBlocks = ChunkBlocks == 0 ? 64 : std::min<std::size_t>(ChunkBlocks * 2, 16384);
                AddChunk(Lead + ChunkBlocks * BlockSize);
                UsedInChunk = 0;
            }
            Block = Chunks.back().Data + Lead + UsedInChunk++ * BlockSize;
            if (!ChunkZeroed) std::memset(Block, 0, BlockSize);
        }
        ++Live;
        return Block;
    }
    void Release(void* Block) {
        *static_cast<void**>(Block) = FreeList;
        FreeList = Block;
        --Live;
    }
};

// The position cache's walk is stopped and no worker holds the tree: stopping
// it again changes no state.
inline bool TBaseLazyTree::CacheValidationStopped() const {
    return FStates.Contains(tsStopValidation) && !FStates.Contains(tsUseCache) && !FStates.Contains(tsValidating) &&
           FStopRequested.load(std::memory_order_relaxed) && !(FWorker && !FInWorkerCall && FWithWorker);
}

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
