// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The Choice mask type: masks, combinations and selection, over every input pair.
#include <gtest/gtest.h>

#include <type_traits>

#include "ct/choice.hpp"
#include "ed25519/field.hpp"

namespace {

using quorvantile_crypto::ct::Choice;

// A Choice cannot be used where a bool is expected: branching needs an explicit declassify.
static_assert(!std::is_convertible_v<Choice, bool>);
static_assert(!std::is_constructible_v<bool, Choice>);

TEST(Choice, MasksAndCombinations) {
  for (uint64_t a : {0u, 1u}) {
    for (uint64_t b : {0u, 1u}) {
      const Choice x = Choice::from_bit(a), y = Choice::from_bit(b);
      EXPECT_EQ(x.mask(), a ? ~uint64_t{0} : 0);
      EXPECT_EQ((x & y).declassify(), (a & b) == 1);
      EXPECT_EQ((x | y).declassify(), (a | b) == 1);
      EXPECT_EQ((x ^ y).declassify(), (a ^ b) == 1);
      EXPECT_EQ((!x).declassify(), a == 0);
    }
  }
  const struct {
    uint64_t a, b;
    bool equal;
  } cases[] = {{0, 0, true}, {7, 7, true}, {7, 8, false}, {0, uint64_t{1} << 62, false}, {(uint64_t{1} << 63) - 1, 0, false}};
  for (const auto& c : cases) EXPECT_EQ(quorvantile_crypto::ct::equal_small(c.a, c.b).declassify(), c.equal) << c.a;
}

TEST(Choice, FieldMoveSelectsOnlyWhenSet) {
  namespace ed = quorvantile_crypto::ed25519;
  const ed::Fe one = ed::fe_one();
  const ed::Fe two = ed::fe_add(one, one);
  ed::Fe kept = one;
  ed::fe_cmov(kept, two, Choice::from_bit(0));
  EXPECT_EQ(ed::fe_equal(kept, one), 1u);
  ed::fe_cmov(kept, two, Choice::from_bit(1));
  EXPECT_EQ(ed::fe_equal(kept, two), 1u);
}

}  // namespace
