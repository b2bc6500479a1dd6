#include "node_pool.h"

#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr std::size_t kPlacesPerBlock = 4096;

// Under the address sanitizer every node is an allocation of its own, so that a node used after
// it was freed is caught rather than found in a pooled place.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

struct Pool
{
    std::mutex mutex;
    std::vector<std::unique_ptr<std::byte[]>> blocks;
    std::vector<void *> freed;
    std::size_t placeSize = 0;
    std::size_t usedInLastBlock = kPlacesPerBlock;
};

Pool &pool()
{
    // Never destroyed: nodes of trees in static storage may be freed after it would be.
    static Pool *instance = new Pool;
    return *instance;
}

} // namespace

void *NodePool::allocate(std::size_t size)
{
    if constexpr (kSanitized)
        return ::operator new(size);
    Pool &p = pool();
    const std::lock_guard<std::mutex> lock(p.mutex);
    if (p.placeSize == 0)
        p.placeSize = (size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                      alignof(std::max_align_t);
    if (size > p.placeSize)
        throw std::bad_alloc();
    if (!p.freed.empty()) {
        void *place = p.freed.back();
        p.freed.pop_back();
        return place;
    }
    if (p.usedInLastBlock == kPlacesPerBlock) {
        p.blocks.push_back(std::make_unique<std::byte[]>(p.placeSize * kPlacesPerBlock));
        p.usedInLastBlock = 0;
    }
    return p.blocks.back().get() + p.placeSize * p.usedInLastBlock++;
}

void NodePool::release(void *place)
{
    if (!place)
        return;
    if constexpr (kSanitized) {
        ::operator delete(place);
        return;
    }
    Pool &p = pool();
    const std::lock_guard<std::mutex> lock(p.mutex);
    p.freed.push_back(place);
}
