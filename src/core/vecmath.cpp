#include "core/vecmath.h"

#include <cmath>

namespace zt {

namespace {

D3DMATRIX MakeIdentity() {
  D3DMATRIX m;
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

}  // namespace

const D3DMATRIX kIdentityMatrix = MakeIdentity();
const D3DMATRIX kZeroMatrix{};

D3DVECTOR MakeVector(float x, float y, float z) { return D3DVECTOR{x, y, z}; }

void VecSubtract(const D3DVECTOR& a, const D3DVECTOR& b, D3DVECTOR& out) { out = {a.x - b.x, a.y - b.y, a.z - b.z}; }

void VecScale(const D3DVECTOR& v, D3DVECTOR& out, float s) { out = {v.x * s, v.y * s, v.z * s}; }

void VecDivide(const D3DVECTOR& v, D3DVECTOR& out, float s) { out = {v.x / s, v.y / s, v.z / s}; }

float VecLength(const D3DVECTOR& v) {
  return static_cast<float>(
      std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y + static_cast<double>(v.z) * v.z));
}

void VecNormalize(const D3DVECTOR& v, D3DVECTOR& out) { VecDivide(v, out, VecLength(v)); }

float VecDot(const D3DVECTOR& a, const D3DVECTOR& b) {
  return static_cast<float>(static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                            static_cast<double>(a.z) * b.z);
}

void VecCross(const D3DVECTOR& a, const D3DVECTOR& b, D3DVECTOR& out) {
  out = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void MatIdentity(D3DMATRIX& out) { out = kIdentityMatrix; }

void MatTranslation(D3DMATRIX& out, float x, float y, float z) {
  out = kIdentityMatrix;
  out(4, 1) = x;
  out(4, 2) = y;
  out(4, 3) = z;
}

void MatScaling(D3DMATRIX& out, float x, float y, float z) {
  out = kIdentityMatrix;
  out(1, 1) = x;
  out(2, 2) = y;
  out(3, 3) = z;
}

namespace {

// A turn in the plane of axes a and b: a towards b by the angle.
void MatPlaneRotation(D3DMATRIX& out, float angle, int a, int b) {
  const float c = std::cos(angle), s = std::sin(angle);
  out = kIdentityMatrix;
  out(a, a) = c;
  out(a, b) = s;
  out(b, a) = -s;
  out(b, b) = c;
}

}  // namespace

void MatRotationX(D3DMATRIX& out, float angle) { MatPlaneRotation(out, angle, 2, 3); }
void MatRotationY(D3DMATRIX& out, float angle) { MatPlaneRotation(out, angle, 3, 1); }
void MatRotationZ(D3DMATRIX& out, float angle) { MatPlaneRotation(out, angle, 1, 2); }

D3DMATRIX ScaledAt(float sx, float sy, float sz, float x, float y, float z) {
  D3DMATRIX scaling, translation, world;
  MatScaling(scaling, sx, sy, sz);
  MatTranslation(translation, x, y, z);
  MatMultiply(translation, scaling, world);
  return world;
}

void MatMultiply(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX& out) {
  out = kZeroMatrix;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) out.m[i][j] += b.m[i][k] * a.m[k][j];  // each partial sum a single
}

bool SetViewMatrix(D3DMATRIX& out, const D3DVECTOR& eye, const D3DVECTOR& at, const D3DVECTOR& up) {
  D3DVECTOR view;
  VecSubtract(at, eye, view);
  const float length = VecLength(view);
  if (length < 1e-6f) return false;
  VecDivide(view, view, length);

  // y := candidate - view * (candidate . view), for up, then the y axis, then the z axis.
  auto orthogonal = [&view](const D3DVECTOR& candidate, float along) {
    D3DVECTOR scaled, result;
    VecScale(view, scaled, along);
    VecSubtract(candidate, scaled, result);
    return result;
  };
  D3DVECTOR y = orthogonal(up, VecDot(up, view));
  if (VecLength(y) < 1e-6f) {
    y = orthogonal(MakeVector(0, 1, 0), view.y);
    if (VecLength(y) < 1e-6f) {
      y = orthogonal(MakeVector(0, 0, 1), view.z);
      if (VecLength(y) < 1e-6f) return false;
    }
  }
  VecDivide(y, y, VecLength(y));
  D3DVECTOR x;
  VecCross(y, view, x);

  out = kZeroMatrix;
  out(1, 1) = x.x, out(1, 2) = y.x, out(1, 3) = view.x;
  out(2, 1) = x.y, out(2, 2) = y.y, out(2, 3) = view.y;
  out(3, 1) = x.z, out(3, 2) = y.z, out(3, 3) = view.z;
  out(4, 1) = -VecDot(eye, x);
  out(4, 2) = -VecDot(eye, y);
  out(4, 3) = -VecDot(eye, view);
  out(4, 4) = 1.0f;
  return true;
}

bool SetProjectionMatrix(D3DMATRIX& out, float fov, float aspect, float nearPlane, float farPlane) {
  const float halfSin = std::sin(fov / 2);
  if (std::fabs(farPlane - nearPlane) < 0.01f || std::fabs(halfSin) < 0.01f) return false;
  const float h = std::cos(fov / 2) / halfSin;
  const float q = farPlane / (farPlane - nearPlane);
  out = kZeroMatrix;
  out(1, 1) = aspect * h;
  out(2, 2) = h;
  out(3, 3) = q;
  out(3, 4) = 1.0f;
  out(4, 3) = -q * nearPlane;
  return true;
}

void InitMaterial(D3DMATERIAL8& out, float r, float g, float b, float a) {
  out = D3DMATERIAL8{};
  out.Diffuse = out.Ambient = D3DCOLORVALUE{r, g, b, a};
}

void InitDirectionalLight(const D3DVECTOR& direction, D3DLIGHT8& out, float r, float g, float b, float range) {
  out = D3DLIGHT8{};
  out.Type = D3DLIGHT_DIRECTIONAL;
  out.Diffuse = D3DCOLORVALUE{r, g, b, 0};
  VecNormalize(direction, out.Direction);
  out.Range = range;
}

}  // namespace zt
