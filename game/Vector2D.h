// Two-component single-precision vector: every position, velocity and
// offset of the game. Angles are radians; angle 0 points along +x and a
// positive angle turns +x towards +y (clockwise on the screen, where +y is
// down). A plain value type: copying copies both fields.
#ifndef VD_VECTOR2D_H
#define VD_VECTOR2D_H

#include <iosfwd>

namespace math {

// Tolerance of operator== and of isZero/isUnit, per component (or on the length).
constexpr float kVectorTolerance = 1e-5f;

class Vector2D {
public:
    float x;
    float y;

    Vector2D();                                   // (0, 0)
    Vector2D(float _x, float _y);                 // (_x, _y)
    Vector2D(const float* xy);                    // (xy[0], xy[1]); xy must hold two floats
    static Vector2D newBySizeAngle(float size, float radians);  // (cos a * size, sin a * size)

    Vector2D& set(float _x, float _y);            // both fields; returns *this
    Vector2D& set(const float* xy);               // (xy[0], xy[1]); returns *this
    Vector2D& set(const Vector2D& other);         // copy of other; returns *this

    float sizeSqr() const;                        // x*x + y*y
    float size() const;                           // length
    float angle() const;                          // atan2(y, x) in -pi..pi; (0, 0) gives 0
    float dot(const Vector2D& other) const;       // x*other.x + y*other.y
    float relativeAngleBetween(Vector2D v2) const;  // angle() - v2.angle(), not folded: -2pi..2pi
    bool isZero() const;                          // == (0, 0) within the tolerance; false with NaN
    bool isUnit() const;                          // length within the tolerance of 1; false with NaN

    Vector2D& rotate(float radians);              // turns by radians, length kept; returns *this
    Vector2D& normalize();                        // length 1; the exact zero vector stays; returns *this
    Vector2D& resize(float size);                 // length `size`; the zero vector stays; returns *this
    Vector2D& operator+=(const Vector2D& other);  // component-wise
    Vector2D& operator-=(const Vector2D& other);  // component-wise
    Vector2D& operator*=(float c);                // both components times c
    Vector2D& operator/=(float c);                // both divided by c (IEEE: c = 0 gives inf/NaN)

    Vector2D operator-() const;                   // (-x, -y)
    Vector2D operator+(const Vector2D& other) const;  // component-wise sum
    Vector2D operator-(const Vector2D& other) const;  // component-wise difference
    Vector2D operator*(float c) const;            // both components times c
    Vector2D operator/(float c) const;            // both divided by c (IEEE: c = 0 gives inf/NaN)

    float operator[](long index) const;           // 0: x, 1: y; else throws std::out_of_range
    float& operator[](long index);                // 0: x, 1: y; else throws std::out_of_range

    bool operator==(const Vector2D& other) const;  // both components within the tolerance
    bool operator!=(const Vector2D& other) const;  // !(*this == other)
};

Vector2D operator*(float scalar, const Vector2D& vector);       // vector * scalar
std::ostream& operator<<(std::ostream& output, const Vector2D& p);  // "(x,y)" in the stream's format

}  // namespace math

#endif
