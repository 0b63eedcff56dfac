#include "player/bitmaps/masked_blend.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define QUILLET_BLEND_SSE2 1
#endif

namespace quillet {

#if QUILLET_BLEND_SSE2
// Every processor that runs the player has SSE2; the 32-bit build is not compiled
// for it as a whole, so this one function asks for it.
__attribute__((target("sse2"))) void blendMaskedRow(uint32_t* target, const uint32_t* picture,
                                                     const uint32_t* mask, int count) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i));
        const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(picture + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), _mm_and_si128(_mm_or_si128(d, m), p));
    }
    for (; i < count; ++i) target[i] = (target[i] | mask[i]) & picture[i];
}
#else
void blendMaskedRow(uint32_t* target, const uint32_t* picture, const uint32_t* mask, int count) {
    for (int i = 0; i < count; ++i) target[i] = (target[i] | mask[i]) & picture[i];
}
#endif

}  // namespace quillet
