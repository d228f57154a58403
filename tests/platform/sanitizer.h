// QV_TEST_ASAN is 1 in builds with the address sanitizer, whichever compiler
// says so its own way: tests of memory figures or address-space limits skip
// there, since the sanitizer reserves terabytes up front and keeps its own
// bookkeeping for every allocation.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define QV_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_TEST_ASAN 1
#endif
#endif
