#pragma once
// How much memory the program may use: the physical memory, the limit of its
// control group and its address-space limit (ulimit -v), whichever is least.

#include <cstdint>
#include <string>

// The memory limit of the process's control group in bytes, read from the
// files below root ("/" on a running system): the least of the cgroup v2
// "memory.max" or v1 "memory.limit_in_bytes" of its group and of every group
// above it. UINT64_MAX when there is none.
std::uint64_t controlGroupMemoryLimit(const std::string& root);

// The memory the program can use in bytes, all of it: the least of the
// physical memory, the control group's limit and the address-space limit.
// UINT64_MAX when none is known.
std::uint64_t usableMemory(const std::string& root = "/");

// What the process can still take now, in bytes: the usable memory less its
// resident size, and the address-space limit less its address space.
std::uint64_t freeMemory();
