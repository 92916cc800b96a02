// The count of host members used on this thread: every member of the stand-in's host objects adds
// one when it is called, the way a trace lists the add-in's calls (walking a collection, its Count
// and GetAt, is not counted). A validation run reads the count before and after; an increment is
// all it costs, so the count is always kept.
#pragma once

#include <cstdint>

namespace kelvo {

inline thread_local std::int64_t host_calls_on_this_thread = 0;  // NOLINT: one counter per thread

inline void CountHostCall() { ++host_calls_on_this_thread; }

}  // namespace kelvo
