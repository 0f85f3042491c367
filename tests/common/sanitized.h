#pragma once
// Whether this test binary runs under AddressSanitizer, which makes the game several times
// slower and its memory larger: time limits and memory checks take it into account.

#if defined(__SANITIZE_ADDRESS__)
#define QV_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_TEST_ASAN 1
#endif
#endif

namespace qv::test {

#ifdef QV_TEST_ASAN
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif

}  // namespace qv::test
