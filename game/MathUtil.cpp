#include "MathUtil.h"

#include <cmath>

namespace math {

bool equals(float f1, float f2, float delta) {
    // Any comparison with NaN is false, so NaN never counts as equal.
    return std::fabs(f1 - f2) <= delta;
}

void padValue(float& value, float min, float max) {
    // Plain comparisons rather than std::max/min so that a NaN value stays NaN.
    if (min > value) value = min;
    if (max < value) value = max;
}

}  // namespace math
