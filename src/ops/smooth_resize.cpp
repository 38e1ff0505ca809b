#include "ops/smooth_resize.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ops/resize_image.h"

namespace {

// The source pixels each new pixel of one axis reads, with their weights; a box
// keeps none (every weight is 1 / count), so that a very long axis costs no
// table of one weight per source pixel.
template <class T>
struct AxisFilter {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::size_t> offset;
    std::vector<T> weights;
    bool box = false;

    T Weight(std::size_t i, int k) const {
        return box ? T(1) / static_cast<T>(count[i]) : weights[offset[i] + static_cast<std::size_t>(k)];
    }
};

// The box of a shrinking (or equal) axis, from `size` source pixels to `newSize`:
// every source pixel belongs wholly to the new pixel its centre falls in (a
// window of size / newSize source pixels around the new pixel's centre). For a
// whole-number factor this is the exact area average; otherwise it is the
// sampling of the common box filters, and a centre that lies on a border goes
// where their double-precision test sends it, so that results agree with theirs.
template <class T>
AxisFilter<T> BoxFilter(int size, int newSize) {
    AxisFilter<T> f;
    f.box = true;
    const double scale = static_cast<double>(size) / newSize;
    const double support = scale * 0.5, inverse = 1.0 / scale;
    for (int i = 0; i < newSize; ++i) {
        const double centre = (i + 0.5) * scale;
        const int low = std::max(static_cast<int>(centre - support + 0.5), 0);
        const int high = std::min(static_cast<int>(centre + support + 0.5), size);
        int first = -1, count = 0;
        for (int j = low; j < high; ++j) {
            const double t = (j - centre + 0.5) * inverse;
            if (t > -0.5 && t <= 0.5) {
                if (first < 0) first = j;
                ++count;
            }
        }
        if (count == 0) first = std::min(static_cast<int>(centre), size - 1), count = 1;
        f.first.push_back(first);
        f.count.push_back(count);
    }
    return f;
}

// The bicubic kernel with a = -0.5.
double Cubic(double t) {
    constexpr double a = -0.5;
    t = std::fabs(t);
    if (t < 1) return ((a + 2) * t - (a + 3)) * t * t + 1;
    if (t < 2) return ((a * t - 5 * a) * t + 8 * a) * t - 4 * a;
    return 0;
}

// Bicubic taps of a growing axis, pixel centres aligned; taps outside the source
// fold onto its edge pixels, and the weights are normalised to sum 1.
AxisFilter<float> CubicFilter(int size, int newSize) {
    AxisFilter<float> f;
    const double scale = static_cast<double>(size) / newSize;
    for (int i = 0; i < newSize; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int base = static_cast<int>(std::floor(centre)) - 1;
        const int first = std::clamp(base, 0, size - 1);
        const int last = std::clamp(base + 3, 0, size - 1);
        double taps[4] = {0, 0, 0, 0};
        double sum = 0;
        for (int j = base; j < base + 4; ++j) {
            const double w = Cubic(centre - j);
            taps[std::clamp(j, 0, size - 1) - first] += w;
            sum += w;
        }
        f.first.push_back(first);
        f.count.push_back(last - first + 1);
        f.offset.push_back(f.weights.size());
        for (int k = 0; k <= last - first; ++k) f.weights.push_back(static_cast<float>(taps[k] / sum));
    }
    return f;
}

// One source row as four values per pixel: the pixel's weight (its alpha, or 1
// when alpha is not used) and the weight times blue, green and red.
template <class T>
void LoadRow(const RasterImage& image, int y, bool useAlpha, T* out) {
    const std::uint8_t* p = image.Row(y);
    const auto put = [&out](unsigned a, unsigned b, unsigned g, unsigned r) {
        out[0] = static_cast<T>(a);
        out[1] = static_cast<T>(a * b);
        out[2] = static_cast<T>(a * g);
        out[3] = static_cast<T>(a * r);
        out += 4;
    };
    if (image.bitCount == 32 && useAlpha) {
        for (int x = 0; x < image.width; ++x, p += 4) put(p[3], p[0], p[1], p[2]);
    } else if (image.bitCount == 32) {
        for (int x = 0; x < image.width; ++x, p += 4) put(1, p[0], p[1], p[2]);
    } else if (image.bitCount == 24) {
        for (int x = 0; x < image.width; ++x, p += 3) put(1, p[0], p[1], p[2]);
    } else {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t argb = RasterPixelArgb(image, x, y);
            put(1, argb & 0xFF, (argb >> 8) & 0xFF, (argb >> 16) & 0xFF);
        }
    }
}

// Runs the two passes: each source row is filtered horizontally once into a small
// ring of rows (consecutive new rows share at most four source rows), and the new
// rows are weighted sums of those. `store(y, sums)` receives the four sums per
// pixel of new row y.
template <class T, class Store>
bool Resample(const RasterImage& image, bool useAlpha, const AxisFilter<T>& horizontal,
              const AxisFilter<T>& vertical, int newWidth, int newHeight, Store store) {
    constexpr int kRing = 5;
    const std::size_t quads = 4 * static_cast<std::size_t>(newWidth);
    std::vector<T> source, ring, sums;
    try {
        source.resize(4 * static_cast<std::size_t>(image.width));
        ring.resize(kRing * quads);
        sums.resize(quads);
    } catch (const std::bad_alloc&) {
        return false;
    }
    int held[kRing];
    std::fill(held, held + kRing, -1);
    for (int y = 0; y < newHeight; ++y) {
        std::fill(sums.begin(), sums.end(), T{});
        const std::size_t uy = static_cast<std::size_t>(y);
        for (int k = 0; k < vertical.count[uy]; ++k) {
            const int j = vertical.first[uy] + k;
            T* filtered = ring.data() + static_cast<std::size_t>(j % kRing) * quads;
            if (held[j % kRing] != j) {
                LoadRow(image, j, useAlpha, source.data());
                for (int x = 0; x < newWidth; ++x) {
                    const std::size_t ux = static_cast<std::size_t>(x);
                    const T* in = source.data() + 4 * static_cast<std::size_t>(horizontal.first[ux]);
                    T s0{}, s1{}, s2{}, s3{};
                    for (int t = 0; t < horizontal.count[ux]; ++t, in += 4) {
                        const T w = horizontal.Weight(ux, t);
                        s0 += w * in[0];
                        s1 += w * in[1];
                        s2 += w * in[2];
                        s3 += w * in[3];
                    }
                    T* o = filtered + 4 * ux;
                    o[0] = s0, o[1] = s1, o[2] = s2, o[3] = s3;
                }
                held[j % kRing] = j;
            }
            const T w = vertical.Weight(uy, k);
            for (std::size_t q = 0; q < quads; ++q) sums[q] += w * filtered[q];
        }
        store(y, sums.data());
    }
    return true;
}

// The whole-number box of two shrinking axes: every source pixel lands in exactly
// one new pixel, so each source row is read once and its pixels are summed
// straight into the sums of its new row. `store(y, sums)` as for Resample.
template <class Store>
bool BoxSums(const RasterImage& image, bool useAlpha, const AxisFilter<std::uint64_t>& horizontal,
             const AxisFilter<std::uint64_t>& vertical, int newWidth, int newHeight, Store store) {
    std::vector<std::uint32_t> source;
    std::vector<std::uint64_t> sums;
    try {
        source.resize(4 * static_cast<std::size_t>(image.width));
        sums.resize(4 * static_cast<std::size_t>(newWidth));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int y = 0; y < newHeight; ++y) {
        std::fill(sums.begin(), sums.end(), std::uint64_t{0});
        const std::size_t uy = static_cast<std::size_t>(y);
        for (int j = vertical.first[uy]; j < vertical.first[uy] + vertical.count[uy]; ++j) {
            if (image.bitCount == 32 && useAlpha) {
                // The common case read straight from the stored bytes.
                const std::uint8_t* row = image.Row(j);
                std::uint64_t* o = sums.data();
                for (int x = 0; x < newWidth; ++x, o += 4) {
                    const std::size_t ux = static_cast<std::size_t>(x);
                    const std::uint8_t* p = row + 4 * static_cast<std::size_t>(horizontal.first[ux]);
                    std::uint32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
                    // Sums of at most 65536 pixels fit 32 bits; longer boxes go in parts.
                    for (int left = horizontal.count[ux]; left > 0;) {
                        const int part = std::min(left, 65536);
                        for (int t = 0; t < part; ++t, p += 4) {
                            const std::uint32_t a = p[3];
                            s0 += a;
                            s1 += a * p[0];
                            s2 += a * p[1];
                            s3 += a * p[2];
                        }
                        o[0] += s0, o[1] += s1, o[2] += s2, o[3] += s3;
                        s0 = s1 = s2 = s3 = 0;
                        left -= part;
                    }
                }
                continue;
            }
            LoadRow(image, j, useAlpha, source.data());
            std::uint64_t* o = sums.data();
            for (int x = 0; x < newWidth; ++x, o += 4) {
                const std::uint32_t* in =
                    source.data() + 4 * static_cast<std::size_t>(horizontal.first[static_cast<std::size_t>(x)]);
                std::uint64_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
                for (int t = horizontal.count[static_cast<std::size_t>(x)]; t > 0; --t, in += 4) {
                    s0 += in[0];
                    s1 += in[1];
                    s2 += in[2];
                    s3 += in[3];
                }
                o[0] += s0, o[1] += s1, o[2] += s2, o[3] += s3;
            }
        }
        store(y, sums.data());
    }
    return true;
}

// Writes one new pixel in the surface's own depth.
void PutPixel(RasterSurface& surface, int x, int y, int r, int g, int b, int a) {
    std::uint8_t* row = surface.Row(y);
    switch (surface.BitCount()) {
        case 32: {
            std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
            p[0] = static_cast<std::uint8_t>(b), p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(r), p[3] = static_cast<std::uint8_t>(a);
            break;
        }
        case 24: {
            std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
            p[0] = static_cast<std::uint8_t>(b), p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(r);
            break;
        }
        default:
            surface.SetRawPixel(x, y, surface.MapColor(RgbColor(r, g, b)));
    }
}

bool UsesAlpha(const RasterImage& image) {
    if (image.bitCount != 32) return false;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = image.Row(y);
        for (int x = 0; x < image.width; ++x)
            if (row[4 * static_cast<std::size_t>(x) + 3]) return true;
    }
    return false;
}

}  // namespace

ImageResult SmoothResizeImage(const DibHeader* source, const std::uint8_t* sourceBits,
                              int newWidth, int newHeight, HeaderBlock* outHeader, Block* outBits) {
    if (!outBits) return ImageInvalidArg;
    ResizedDib dib;
    if (const ImageResult made = NewResizedDib(source, sourceBits, newWidth, newHeight, &dib);
        made != ImageOk)
        return made;
    auto surface = RasterSurface::Over(dib.header.get(), dib.bits.get(), dib.size);
    if (!surface) return ImageNoSurface;

    const RasterImage& image = dib.source;
    const bool useAlpha = UsesAlpha(image);
    bool made = false;
    try {
        if (newWidth <= image.width && newHeight <= image.height) {
            // Whole-number sums: exact means, rounded half up.
            const auto horizontal = BoxFilter<std::uint64_t>(image.width, newWidth);
            const auto vertical = BoxFilter<std::uint64_t>(image.height, newHeight);
            made = BoxSums(
                image, useAlpha, horizontal, vertical, newWidth, newHeight,
                [&](int y, const std::uint64_t* s) {
                    const auto rows = static_cast<std::uint64_t>(vertical.count[static_cast<std::size_t>(y)]);
                    for (int x = 0; x < newWidth; ++x, s += 4) {
                        const std::uint64_t total =
                            rows * static_cast<std::uint64_t>(horizontal.count[static_cast<std::size_t>(x)]);
                        const std::uint64_t weight = s[0];
                        const auto channel = [&](std::uint64_t v) {
                            return weight ? static_cast<int>((2 * v + weight) / (2 * weight)) : 0;
                        };
                        const int alpha =
                            useAlpha ? static_cast<int>((2 * weight + total) / (2 * total)) : 0;
                        PutPixel(*surface, x, y, channel(s[3]), channel(s[2]), channel(s[1]), alpha);
                    }
                });
        } else {
            const auto axis = [](int from, int to) {
                return to > from ? CubicFilter(from, to) : BoxFilter<float>(from, to);
            };
            const auto horizontal = axis(image.width, newWidth);
            const auto vertical = axis(image.height, newHeight);
            made = Resample<float>(
                image, useAlpha, horizontal, vertical, newWidth, newHeight,
                [&](int y, const float* s) {
                    for (int x = 0; x < newWidth; ++x, s += 4) {
                        const float weight = s[0];
                        // Overshoot of the cubic lobes is clamped, colour at most
                        // what its weight allows.
                        const auto channel = [&](float v) {
                            if (weight <= 0) return 0;
                            return static_cast<int>(std::lround(std::clamp(v / weight, 0.0f, 255.0f)));
                        };
                        const int alpha =
                            useAlpha ? static_cast<int>(std::lround(std::clamp(weight, 0.0f, 255.0f)))
                                     : 0;
                        const bool gone = useAlpha && alpha == 0;
                        PutPixel(*surface, x, y, gone ? 0 : channel(s[3]), gone ? 0 : channel(s[2]),
                                 gone ? 0 : channel(s[1]), alpha);
                    }
                });
        }
    } catch (const std::bad_alloc&) {
        made = false;
    }
    if (!made) return ImageOutOfMemory;

    if (outHeader) *outHeader = std::move(dib.header);
    *outBits = std::move(dib.bits);
    return ImageOk;
}
