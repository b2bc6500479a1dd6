#pragma once

#include <cstddef>

// Storage for tree nodes, handed out from large blocks in the order nodes are created. A tree
// read from a file or built by adding then lies in memory in the order a walk visits it, so a
// walk over a large tree (the view's layout, the renumbering pass) reads memory in sequence
// instead of jumping between scattered small allocations. Freed places are reused; the blocks
// themselves stay for the life of the program. Safe to use from several threads.
class NodePool
{
public:
    // size must be the same on every call: the pool serves one kind of object.
    static void *allocate(std::size_t size);
    static void release(void *place);
};
