// Small numeric helpers shared by the vector type and the game.
#ifndef VD_MATHUTIL_H
#define VD_MATHUTIL_H

namespace math {

// True when |f1 - f2| <= delta; false whenever f1 or f2 is NaN.
bool equals(float f1, float f2, float delta);

// Clamps value in place: first up to min, then down to max. A value that
// compares neither larger nor smaller (NaN) is left as it is; with
// min > max every number ends at max.
void padValue(float& value, float min, float max);

}  // namespace math

#endif
