#include "Vector2D.h"

#include <cmath>
#include <ostream>
#include <stdexcept>
#include <string>

#include "MathUtil.h"

namespace math {

namespace {

constexpr long kComponentCount = 2;

[[noreturn]] void ThrowBadIndex(long index) {
    throw std::out_of_range("Index out of bounds: " + std::to_string(index) +
                            " size: " + std::to_string(kComponentCount));
}

}  // namespace

Vector2D::Vector2D() : x(0.0f), y(0.0f) {}

Vector2D::Vector2D(float _x, float _y) : x(_x), y(_y) {}

Vector2D::Vector2D(const float* xy) : x(xy[0]), y(xy[1]) {}

Vector2D Vector2D::newBySizeAngle(float size, float radians) {
    return Vector2D(std::cos(radians) * size, std::sin(radians) * size);
}

Vector2D& Vector2D::set(float _x, float _y) {
    x = _x;
    y = _y;
    return *this;
}

Vector2D& Vector2D::set(const float* xy) { return set(xy[0], xy[1]); }

Vector2D& Vector2D::set(const Vector2D& other) {
    if (&other == this) return *this;
    return set(other.x, other.y);
}

float Vector2D::sizeSqr() const { return x * x + y * y; }

float Vector2D::size() const { return std::sqrt(sizeSqr()); }

float Vector2D::angle() const { return std::atan2(y, x); }

float Vector2D::dot(const Vector2D& other) const { return x * other.x + y * other.y; }

float Vector2D::relativeAngleBetween(Vector2D v2) const {
    // Deliberately not folded into -pi..pi: callers see which way round it went.
    return angle() - v2.angle();
}

bool Vector2D::isZero() const { return *this == Vector2D(); }

bool Vector2D::isUnit() const { return equals(size(), 1.0f, kVectorTolerance); }

Vector2D& Vector2D::rotate(float radians) {
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    return set(x * c - y * s, x * s + y * c);
}

Vector2D& Vector2D::normalize() {
    const float lengthSqr = sizeSqr();
    // Only the exact zero has no direction; anything else divides safely.
    if (lengthSqr == 0.0f) return *this;
    return *this /= std::sqrt(lengthSqr);
}

Vector2D& Vector2D::resize(float size) { return normalize() *= size; }

Vector2D& Vector2D::operator+=(const Vector2D& other) { return set(x + other.x, y + other.y); }

Vector2D& Vector2D::operator-=(const Vector2D& other) { return set(x - other.x, y - other.y); }

Vector2D& Vector2D::operator*=(float c) { return set(x * c, y * c); }

Vector2D& Vector2D::operator/=(float c) { return set(x / c, y / c); }

Vector2D Vector2D::operator-() const { return Vector2D(-x, -y); }

Vector2D Vector2D::operator+(const Vector2D& other) const { return Vector2D(*this) += other; }

Vector2D Vector2D::operator-(const Vector2D& other) const { return Vector2D(*this) -= other; }

Vector2D Vector2D::operator*(float c) const { return Vector2D(*this) *= c; }

Vector2D Vector2D::operator/(float c) const { return Vector2D(*this) /= c; }

float Vector2D::operator[](long index) const {
    if (index == 0) return x;
    if (index == 1) return y;
    ThrowBadIndex(index);
}

float& Vector2D::operator[](long index) {
    if (index == 0) return x;
    if (index == 1) return y;
    ThrowBadIndex(index);
}

bool Vector2D::operator==(const Vector2D& other) const {
    return equals(x, other.x, kVectorTolerance) && equals(y, other.y, kVectorTolerance);
}

bool Vector2D::operator!=(const Vector2D& other) const { return !(*this == other); }

Vector2D operator*(float scalar, const Vector2D& vector) { return vector * scalar; }

std::ostream& operator<<(std::ostream& output, const Vector2D& p) {
    return output << '(' << p.x << ',' << p.y << ')';
}

}  // namespace math
