#include "csICCSimplexBlock.h"

#include "csICCSimplex.h"
#include "csProcessor.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

namespace {

#define TINTORA_AVX2 __attribute__((target("avx2"), always_inline)) inline

// One exchange of the sorting network: fraction and stride of dimensions a and b change places in
// the lanes where b's fraction is larger. (Equal fractions may stay in either order: the corner
// between them has weight 0, and adding it changes no sum.)
TINTORA_AVX2 void exchange(__m256d* fraction, __m256d* stride, unsigned a, unsigned b) {
    const __m256d swap = _mm256_cmp_pd(fraction[b], fraction[a], _CMP_GT_OQ);
    const __m256d fa = fraction[a], sa = stride[a];
    fraction[a] = _mm256_blendv_pd(fa, fraction[b], swap);
    fraction[b] = _mm256_blendv_pd(fraction[b], fa, swap);
    stride[a] = _mm256_blendv_pd(sa, stride[b], swap);
    stride[b] = _mm256_blendv_pd(stride[b], sa, swap);
}

// Output c of the grid points at four corners, as doubles: from a grid of floats, corners at
// indices of it, or from one of 16-bit values in native order, corners at byte offsets (read four
// bytes at a time, so the two bytes after the last value must be readable).
struct FloatGrid {
    const float* values;
    TINTORA_AVX2 __m256d operator()(__m128i corner, unsigned c) const {
        return _mm256_cvtps_pd(_mm_i32gather_ps(
            values, _mm_add_epi32(corner, _mm_set1_epi32(static_cast<int>(c))), 4));
    }
};
struct Native16Grid {
    const std::uint8_t* bytes;
    TINTORA_AVX2 __m256d operator()(__m128i corner, unsigned c) const {
        const __m128i words =
            _mm_i32gather_epi32(reinterpret_cast<const int*>(bytes),
                                _mm_add_epi32(corner, _mm_set1_epi32(static_cast<int>(2 * c))), 1);
        return _mm256_cvtepi32_pd(_mm_and_si128(words, _mm_set1_epi32(0xFFFF)));
    }
};

// Four pixels in each lane of the vectors. Only "avx2" is the target, not "fma": the compiler
// must not fuse the products and sums of the interpolation.
template <unsigned Inputs, unsigned Outputs, typename Grid>
__attribute__((target("avx2"))) int fourAtATime(const double* const positions[], int n,
                                                const std::uint32_t* grid, const double* gridScale,
                                                const std::uint32_t* strides, std::uint32_t start,
                                                Grid corners, double* const sums[]) {
    const __m256d zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        // The cell and the fraction in it per input, as cellBase gives them for positions in
        // the grid: g - 2 at its top, else the truncated position.
        __m256d fraction[Inputs], stride[Inputs];
        __m128i at = _mm_set1_epi32(static_cast<int>(start));
        for (unsigned k = 0; k < Inputs; ++k) {
            const __m256d p =
                _mm256_mul_pd(_mm256_loadu_pd(positions[k] + i), _mm256_set1_pd(gridScale[k]));
            const __m256d top = _mm256_cmp_pd(p, _mm256_set1_pd(grid[k] - 1.0), _CMP_GE_OQ);
            const __m256d base = _mm256_blendv_pd(_mm256_cvtepi32_pd(_mm256_cvttpd_epi32(p)),
                                                  _mm256_set1_pd(grid[k] - 2.0), top);
            fraction[k] = _mm256_sub_pd(p, base);
            stride[k] = _mm256_set1_pd(strides[k]);
            at = _mm_add_epi32(at, _mm_mullo_epi32(_mm256_cvttpd_epi32(base),
                                                   _mm_set1_epi32(static_cast<int>(strides[k]))));
        }
        // Largest fraction first, equal ones in dimension order: the exchanges of
        // orderLargestFirst, carrying each dimension's fraction and stride. An earlier dimension
        // has the larger stride, so the stride breaks ties as the dimension does.
        if constexpr (Inputs == 3) {
            exchange(fraction, stride, 0, 1);
            exchange(fraction, stride, 1, 2);
            exchange(fraction, stride, 0, 1);
        } else {
            exchange(fraction, stride, 0, 1);
            exchange(fraction, stride, 2, 3);
            exchange(fraction, stride, 0, 2);
            exchange(fraction, stride, 1, 3);
            exchange(fraction, stride, 1, 2);
        }
        // The corners and their weights, as simplexFixedSize adds them.
        __m128i corner[Inputs + 1];
        __m256d weight[Inputs + 1];
        corner[0] = at;
        weight[0] = _mm256_sub_pd(one, fraction[0]);
        for (unsigned s = 0; s < Inputs; ++s) {
            corner[s + 1] = _mm_add_epi32(corner[s], _mm256_cvttpd_epi32(stride[s]));
            weight[s + 1] = _mm256_sub_pd(fraction[s], s + 1 < Inputs ? fraction[s + 1] : zero);
        }
        for (unsigned c = 0; c < Outputs; ++c) {
            __m256d sum = _mm256_mul_pd(corners(corner[0], c), weight[0]);
            for (unsigned s = 1; s <= Inputs; ++s)
                sum = _mm256_add_pd(sum, _mm256_mul_pd(corners(corner[s], c), weight[s]));
            _mm256_storeu_pd(sums[c] + i, sum);
        }
    }
    return i;
}

} // namespace

int simplexBlock(unsigned inputs, unsigned outputs, const double* const positions[], int n,
                 const std::uint32_t* grid, const double* gridScale, const std::uint32_t* strides,
                 const float* values, double* const sums[]) {
    int done = 0;
    if (processorHasAVX2())
        withCommonSize(inputs, outputs, [&]<unsigned Inputs, unsigned Outputs>() {
            done = fourAtATime<Inputs, Outputs>(positions, n, grid, gridScale, strides, 0,
                                                FloatGrid{values}, sums);
        });
    return done;
}

int simplexBlock(unsigned inputs, unsigned outputs, const double* const positions[], int n,
                 const std::uint32_t* grid, const double* gridScale, const std::uint32_t* strides,
                 std::uint32_t start, const std::uint8_t* native16, double* const sums[]) {
    int done = 0;
    if (processorHasAVX2())
        withCommonSize(inputs, outputs, [&]<unsigned Inputs, unsigned Outputs>() {
            done = fourAtATime<Inputs, Outputs>(positions, n, grid, gridScale, strides, start,
                                                Native16Grid{native16}, sums);
        });
    return done;
}

#else

int simplexBlock(unsigned, unsigned, const double* const[], int, const std::uint32_t*,
                 const double*, const std::uint32_t*, const float*, double* const[]) {
    return 0;
}

int simplexBlock(unsigned, unsigned, const double* const[], int, const std::uint32_t*,
                 const double*, const std::uint32_t*, std::uint32_t, const std::uint8_t*,
                 double* const[]) {
    return 0;
}

#endif
