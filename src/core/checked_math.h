// Size arithmetic that says "overflow" instead of wrapping.
#pragma once

#include <optional>
#include <type_traits>

template <class T>
constexpr std::optional<T> CheckedAdd(T a, T b) {
    static_assert(std::is_integral_v<T>);
    T sum;
    if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
    return sum;
}

template <class T>
constexpr std::optional<T> CheckedMul(T a, T b) {
    static_assert(std::is_integral_v<T>);
    T product;
    if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
    return product;
}

static_assert(CheckedAdd<unsigned char>(200, 55) == 255);
static_assert(!CheckedAdd<unsigned char>(200, 56));
static_assert(!CheckedMul<unsigned>(1u << 16, 1u << 16));
