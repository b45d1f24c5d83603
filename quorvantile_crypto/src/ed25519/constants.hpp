// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Curve constants of edwards25519 (-x^2 + y^2 = 1 + d x^2 y^2 over GF(2^255 - 19)) as limbs.
#include "ed25519/field.hpp"

namespace quorvantile_crypto::ed25519 {

// d = -121665 / 121666
inline constexpr Fe kD = {{0x34dca135978a3, 0x1a8283b156ebd, 0x5e7a26001c029, 0x739c663a03cbb, 0x52036cee2b6ff}};
inline constexpr Fe kD2 = {{0x69b9426b2f159, 0x35050762add7a, 0x3cf44c0038052, 0x6738cc7407977, 0x2406d9dc56dff}};
// sqrt(-1) = 2^((p - 1) / 4)
inline constexpr Fe kSqrtM1 = {
    {0x61b274a0ea0b0, 0x0d5a5fc8f189d, 0x7ef5e9cbd0c60, 0x78595a6804c9e, 0x2b8324804fc1d}};
// The base point B: y = 4/5, x even.
inline constexpr Fe kBaseX = {{0x62d608f25d51a, 0x412a4b4f6592a, 0x75b7171a4b31d, 0x1ff60527118fe, 0x216936d3cd6e5}};
inline constexpr Fe kBaseY = {{0x6666666666658, 0x4cccccccccccc, 0x1999999999999, 0x3333333333333, 0x6666666666666}};

}  // namespace quorvantile_crypto::ed25519
