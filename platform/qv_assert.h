// QV_ASSERT(Cond): the check for programmer errors, such as an index outside
// a fixed table that the caller had to get right. Errors a user or a file can
// cause raise exceptions instead; an assertion never replaces one.
//
// Active in builds without NDEBUG and wherever QV_ASSERTS is defined non-zero
// (the sanitizer and fuzz builds define it). A failed check prints file, line
// and condition to stderr and aborts. Inactive, the condition is not evaluated.
#pragma once

#include <cstdio>
#include <cstdlib>

#if !defined(NDEBUG) || (defined(QV_ASSERTS) && QV_ASSERTS)
#define QV_ASSERTS_ACTIVE 1
#else
#define QV_ASSERTS_ACTIVE 0
#endif

namespace qv {

[[noreturn]] inline void AssertFailed(const char* Cond, const char* File, int Line) {
    std::fprintf(stderr, "%s:%d: assertion failed: %s\n", File, Line, Cond);
    std::fflush(stderr);
    std::abort();
}

}  // namespace qv

#if QV_ASSERTS_ACTIVE
#define QV_ASSERT(Cond) (static_cast<bool>(Cond) ? static_cast<void>(0) : ::qv::AssertFailed(#Cond, __FILE__, __LINE__))
#else
// Still compiled, so a check cannot rot, but never evaluated.
#define QV_ASSERT(Cond) static_cast<void>(sizeof(static_cast<bool>(Cond)))
#endif
