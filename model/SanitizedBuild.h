#pragma once
// ORLAT_SANITIZED is defined in builds under a sanitizer, whose allocator
// stands in for the C library's: tuning glibc's malloc is moot there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORLAT_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ORLAT_SANITIZED 1
#endif
#endif
