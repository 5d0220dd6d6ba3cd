#include "core/vecmath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zt {
namespace {

void ExpectMatrixNear(const D3DMATRIX& actual, const float (&expected)[4][4]) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual.m[r][c], expected[r][c], 1e-6f) << "element _" << r + 1 << c + 1;
}

D3DMATRIX Sample() {
  D3DMATRIX m;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) m.m[r][c] = static_cast<float>(r * 4 + c + 1) * 0.5f;
  return m;
}

TEST(MatMultiply, IdentityOnEitherSideLeavesTheMatrix) {
  const D3DMATRIX a = Sample();
  D3DMATRIX left, right;
  MatMultiply(a, kIdentityMatrix, left);
  MatMultiply(kIdentityMatrix, a, right);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(left.m[r][c], a.m[r][c]);
      EXPECT_EQ(right.m[r][c], a.m[r][c]);
    }
}

TEST(MatMultiply, SecondOperandIsAppliedFirst) {
  D3DMATRIX translation, scaling, out;
  MatTranslation(translation, 3, 4, 5);
  MatScaling(scaling, 2, 2, 2);
  // Scaling first, then translation: the translation row stays unscaled.
  MatMultiply(translation, scaling, out);
  ExpectMatrixNear(out, {{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {3, 4, 5, 1}});
  // The other order scales the translation too.
  MatMultiply(scaling, translation, out);
  ExpectMatrixNear(out, {{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {6, 8, 10, 1}});
}

TEST(MatMultiply, OverwritesEveryElementOfAnOlderValue) {
  D3DMATRIX out = Sample();
  MatMultiply(kIdentityMatrix, kIdentityMatrix, out);
  ExpectMatrixNear(out, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
}

TEST(Rotations, TurnAxesLeftHanded) {
  D3DMATRIX z;
  MatRotationZ(z, 1.5707963f);
  // The x axis turns onto y: row vector (1,0,0) * Rz = (cos, sin, 0).
  EXPECT_NEAR(z(1, 1), 0.0f, 1e-6f);
  EXPECT_NEAR(z(1, 2), 1.0f, 1e-6f);
  EXPECT_NEAR(z(2, 1), -1.0f, 1e-6f);
  D3DMATRIX x, y;
  MatRotationX(x, 1.5707963f);
  EXPECT_NEAR(x(2, 3), 1.0f, 1e-6f);
  EXPECT_NEAR(x(3, 2), -1.0f, 1e-6f);
  MatRotationY(y, 1.5707963f);
  EXPECT_NEAR(y(1, 3), -1.0f, 1e-6f);
  EXPECT_NEAR(y(3, 1), 1.0f, 1e-6f);
}

TEST(SetViewMatrix, LooksDownZFromBehindTheOrigin) {
  D3DMATRIX out;
  ASSERT_TRUE(SetViewMatrix(out, MakeVector(0, 0, -10), MakeVector(0, 0, 0), MakeVector(0, 1, 0)));
  ExpectMatrixNear(out, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 10, 1}});
}

TEST(SetViewMatrix, UpParallelToViewFallsBackToYThenZ) {
  D3DMATRIX out;
  // Looking along x with up along x: the y axis serves as up.
  ASSERT_TRUE(SetViewMatrix(out, MakeVector(0, 0, 0), MakeVector(5, 0, 0), MakeVector(1, 0, 0)));
  EXPECT_NEAR(out(2, 2), 1.0f, 1e-6f);  // y axis column 2 holds (0,1,0)
  // Looking along y with up along y: the y fallback is parallel too, z serves.
  ASSERT_TRUE(SetViewMatrix(out, MakeVector(0, 0, 0), MakeVector(0, 5, 0), MakeVector(0, 2, 0)));
  EXPECT_NEAR(out(3, 2), 1.0f, 1e-6f);  // y axis column holds (0,0,1)
  EXPECT_NEAR(out(2, 3), 1.0f, 1e-6f);  // view is (0,1,0)
}

TEST(SetViewMatrix, EyeAtTargetIsRejectedAndLeavesOutputUntouched) {
  D3DMATRIX out = Sample();
  const D3DMATRIX before = out;
  EXPECT_FALSE(SetViewMatrix(out, MakeVector(1, 2, 3), MakeVector(1, 2, 3), MakeVector(0, 1, 0)));
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(out.m[r][c], before.m[r][c]);
}

TEST(SetProjectionMatrix, BuildsTheCameraProjection) {
  D3DMATRIX out;
  ASSERT_TRUE(SetProjectionMatrix(out, 1.0f, 0.75f, 1.0f, 25.0f));
  const float h = std::cos(0.5f) / std::sin(0.5f);
  const float q = 25.0f / 24.0f;
  ExpectMatrixNear(out, {{0.75f * h, 0, 0, 0}, {0, h, 0, 0}, {0, 0, q, 1}, {0, 0, -q, 0}});
}

TEST(SetProjectionMatrix, RejectsDegenerateInputsWithoutTouchingOutput) {
  D3DMATRIX out = Sample();
  EXPECT_FALSE(SetProjectionMatrix(out, 1.0f, 0.75f, 5.0f, 5.0f));
  EXPECT_FALSE(SetProjectionMatrix(out, 0.0f, 0.75f, 1.0f, 25.0f));
  EXPECT_EQ(out.m[0][0], Sample().m[0][0]);
  EXPECT_EQ(out.m[3][3], Sample().m[3][3]);
}

TEST(Vectors, CrossDotAndNormalize) {
  D3DVECTOR cross;
  VecCross(MakeVector(1, 0, 0), MakeVector(0, 1, 0), cross);
  EXPECT_EQ(cross.z, 1.0f);
  EXPECT_EQ(VecDot(MakeVector(1, 2, 3), MakeVector(4, 5, 6)), 32.0f);
  D3DVECTOR unit;
  VecNormalize(MakeVector(3, 0, 4), unit);
  EXPECT_FLOAT_EQ(unit.x, 0.6f);
  EXPECT_FLOAT_EQ(unit.z, 0.8f);
}

TEST(MaterialAndLight, FillOnlyTheirOwnFields) {
  D3DMATERIAL8 material;
  material.Power = 7;
  material.Specular = {1, 1, 1, 1};
  InitMaterial(material, 0.1f, 0.2f, 0.3f, 0.4f);
  EXPECT_EQ(material.Diffuse.g, 0.2f);
  EXPECT_EQ(material.Ambient.a, 0.4f);
  EXPECT_EQ(material.Specular.r, 0.0f);
  EXPECT_EQ(material.Power, 0.0f);

  D3DLIGHT8 light;
  light.Position = {1, 2, 3};
  InitDirectionalLight(MakeVector(0, 0, 2), light, 1, 0.5f, 0.25f, 100);
  EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(light.Direction.z, 1.0f);
  EXPECT_EQ(light.Diffuse.a, 0.0f);
  EXPECT_EQ(light.Range, 100.0f);
  EXPECT_EQ(light.Position.x, 0.0f);
}

}  // namespace
}  // namespace zt
