// Vector2D and the numeric helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

#include "MathUtil.h"
#include "Vector2D.h"

namespace {

using math::Vector2D;
constexpr float kPi = 3.14159265f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Vector2DTest, SizesAndNormalizing) {
    Vector2D v(3, 4);
    EXPECT_FLOAT_EQ(v.sizeSqr(), 25);
    EXPECT_FLOAT_EQ(v.size(), 5);
    EXPECT_FLOAT_EQ(v.dot(Vector2D(2, -1)), 2);
    EXPECT_EQ(Vector2D(v).normalize(), Vector2D(0.6f, 0.8f));
    EXPECT_TRUE(Vector2D(v).normalize().isUnit());
    EXPECT_EQ(Vector2D(v).resize(10), Vector2D(6, 8));
    Vector2D zero;
    EXPECT_EQ(zero.normalize(), Vector2D(0, 0));
    EXPECT_EQ(zero.resize(5), Vector2D(0, 0));
    EXPECT_FALSE(std::isnan(zero.x) || std::isnan(zero.y));
    EXPECT_FLOAT_EQ(zero.angle(), 0);
}

TEST(Vector2DTest, AnglesTurnFromXTowardsY) {
    EXPECT_FLOAT_EQ(Vector2D(0, 1).angle(), kPi / 2);
    EXPECT_FLOAT_EQ(Vector2D(-1, 0).angle(), kPi);
    EXPECT_EQ(Vector2D(1, 0).rotate(kPi / 2), Vector2D(0, 1));
    EXPECT_EQ(Vector2D(3, 4).rotate(kPi), Vector2D(-3, -4));
    EXPECT_EQ(Vector2D::newBySizeAngle(2, 0), Vector2D(2, 0));
    EXPECT_NEAR(Vector2D::newBySizeAngle(3, 1.0f).angle(), 1.0f, 1e-6f);
    EXPECT_NEAR(Vector2D::newBySizeAngle(3, 1.0f).size(), 3.0f, 1e-6f);
}

TEST(Vector2DTest, RelativeAngleIsNotFolded) {
    EXPECT_FLOAT_EQ(Vector2D(1, 0).relativeAngleBetween(Vector2D(0, 1)), -kPi / 2);
    EXPECT_NEAR(Vector2D(-1, -0.0001f).relativeAngleBetween(Vector2D(-1, 0.0001f)), -2 * kPi, 1e-3f);
}

TEST(Vector2DTest, ArithmeticAndSetters) {
    Vector2D a(1, 2);
    EXPECT_EQ(a + Vector2D(3, 5), Vector2D(4, 7));
    EXPECT_EQ(a - Vector2D(3, 5), Vector2D(-2, -3));
    EXPECT_EQ(-a, Vector2D(-1, -2));
    EXPECT_EQ(a * 3, Vector2D(3, 6));
    EXPECT_EQ(3 * a, Vector2D(3, 6));
    EXPECT_EQ(a / 2, Vector2D(0.5f, 1));
    float xy[] = {7, 8};
    EXPECT_EQ(Vector2D(xy), Vector2D(7, 8));
    EXPECT_EQ(&a.set(xy), &a);
    EXPECT_EQ(a.set(a), Vector2D(7, 8));
    EXPECT_EQ((a *= 2) -= Vector2D(4, 6), Vector2D(10, 10));
}

TEST(Vector2DTest, EqualityTolerance) {
    EXPECT_TRUE(Vector2D(1, 0) == Vector2D(1.000005f, 0));
    EXPECT_FALSE(Vector2D(1, 0) == Vector2D(1.00002f, 0));
    EXPECT_TRUE(Vector2D(1, 0) != Vector2D(1, 0.00002f));
    EXPECT_FALSE(Vector2D(kNaN, 0) == Vector2D(kNaN, 0));
    EXPECT_TRUE(Vector2D(0, kNaN) != Vector2D(0, kNaN));
}

TEST(Vector2DTest, ZeroAndUnitUseTheSameTolerance) {
    EXPECT_TRUE(Vector2D().isZero());
    EXPECT_TRUE(Vector2D(-0.0f, 5e-6f).isZero());
    EXPECT_FALSE(Vector2D(0, 2e-5f).isZero());
    EXPECT_FALSE(Vector2D(kNaN, 0).isZero());
    EXPECT_TRUE(Vector2D(0, -1).isUnit());
    EXPECT_TRUE(Vector2D::newBySizeAngle(1, 2.5f).isUnit());
    EXPECT_FALSE(Vector2D(1.0001f, 0).isUnit());
    EXPECT_FALSE(Vector2D().isUnit());
    EXPECT_FALSE(Vector2D(kNaN, 0).isUnit());
}

TEST(Vector2DTest, IndexingOutsideTwoComponentsThrows) {
    Vector2D v(1, 2);
    v[1] = 5;
    EXPECT_FLOAT_EQ(static_cast<const Vector2D&>(v)[0], 1);
    EXPECT_FLOAT_EQ(v.y, 5);
    for (long i : {2L, -1L}) {
        const std::string esperada = "Index out of bounds: " + std::to_string(i) + " size: 2";
        try {
            v[i] = 0;
            ADD_FAILURE() << i;
        } catch (const std::out_of_range& e) {
            EXPECT_EQ(e.what(), esperada);
        }
        EXPECT_THROW(static_cast<const Vector2D&>(v)[i], std::out_of_range);
    }
}

TEST(Vector2DTest, WritesWithoutSpaces) {
    std::ostringstream s;
    s << Vector2D(1.5f, -2) << Vector2D(0.25f, 100);
    EXPECT_EQ(s.str(), "(1.5,-2)(0.25,100)");
}

TEST(MathUtilTest, PadValueClampsAndKeepsNaN) {
    struct {
        float valor, min, max, esperado;
    } casos[] = {{5, 0, 3, 3}, {-1, 0, 3, 0}, {2, 0, 3, 2}, {5, 3, 0, 0}, {-7, 3, 0, 0}, {1, 3, 0, 0}};
    for (const auto& c : casos) {
        float v = c.valor;
        math::padValue(v, c.min, c.max);
        EXPECT_EQ(v, c.esperado) << c.valor << " in " << c.min << ".." << c.max;
    }
    float nan = kNaN;
    math::padValue(nan, 0, 3);
    EXPECT_TRUE(std::isnan(nan));
    EXPECT_FALSE(math::equals(kNaN, kNaN, 1));
    EXPECT_TRUE(math::equals(1, 1.5f, 0.5f));
}

}  // namespace
