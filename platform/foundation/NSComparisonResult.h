#pragma once
// The answer of an ordering comparison: whether the left operand comes before, with or after
// the right one.

enum NSComparisonResult : long {
    NSOrderedAscending = -1,
    NSOrderedSame = 0,
    NSOrderedDescending = 1,
};
