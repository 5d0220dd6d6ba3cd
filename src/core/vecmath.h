// Vectors, 4x4 matrices, the material and the light record of the 3D scene.
// Left-handed coordinates, row vectors (p * M), translation in the fourth row,
// angles in radians, single precision throughout.
#pragma once

#include <cstdint>

namespace zt {

struct D3DVECTOR {
  float x = 0, y = 0, z = 0;
};

// Sixteen singles stored row by row: _11 _12 _13 _14, _21 ... _44.
struct D3DMATRIX {
  float m[4][4] = {};
  float& operator()(int row, int col) { return m[row - 1][col - 1]; }  // 1-based, as _RC
  float operator()(int row, int col) const { return m[row - 1][col - 1]; }
};

struct D3DCOLORVALUE {
  float r = 0, g = 0, b = 0, a = 0;
};

struct D3DMATERIAL8 {
  D3DCOLORVALUE Diffuse, Ambient, Specular, Emissive;
  float Power = 0;
};

enum D3DLIGHTTYPE : int32_t { D3DLIGHT_POINT = 1, D3DLIGHT_SPOT = 2, D3DLIGHT_DIRECTIONAL = 3 };

struct D3DLIGHT8 {
  int32_t Type = 0;
  D3DCOLORVALUE Diffuse, Specular, Ambient;
  D3DVECTOR Position, Direction;
  float Range = 0, Falloff = 0, Attenuation0 = 0, Attenuation1 = 0, Attenuation2 = 0, Theta = 0, Phi = 0;
};

extern const D3DMATRIX kIdentityMatrix;
extern const D3DMATRIX kZeroMatrix;

D3DVECTOR MakeVector(float x, float y, float z);
void VecSubtract(const D3DVECTOR& a, const D3DVECTOR& b, D3DVECTOR& out);
void VecScale(const D3DVECTOR& v, D3DVECTOR& out, float s);
void VecDivide(const D3DVECTOR& v, D3DVECTOR& out, float s);
float VecLength(const D3DVECTOR& v);
void VecNormalize(const D3DVECTOR& v, D3DVECTOR& out);  // v must not be the zero vector
float VecDot(const D3DVECTOR& a, const D3DVECTOR& b);
void VecCross(const D3DVECTOR& a, const D3DVECTOR& b, D3DVECTOR& out);

void MatIdentity(D3DMATRIX& out);
void MatTranslation(D3DMATRIX& out, float x, float y, float z);
void MatScaling(D3DMATRIX& out, float x, float y, float z);
void MatRotationX(D3DMATRIX& out, float angle);
void MatRotationY(D3DMATRIX& out, float angle);
void MatRotationZ(D3DMATRIX& out, float angle);
// out = b * a: with row vectors b is applied first. out must be a third matrix.
void MatMultiply(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX& out);
// Scaling by (sx, sy, sz) first, then the translation to (x, y, z).
D3DMATRIX ScaledAt(float sx, float sy, float sz, float x, float y, float z);
// Left-handed look-at view; false (out untouched) when the eye is at the target.
bool SetViewMatrix(D3DMATRIX& out, const D3DVECTOR& eye, const D3DVECTOR& at, const D3DVECTOR& up);
// Perspective projection; aspect is height / width. False (out untouched) for a field of view
// or a depth range too small to divide by.
bool SetProjectionMatrix(D3DMATRIX& out, float fov, float aspect, float nearPlane, float farPlane);

void InitMaterial(D3DMATERIAL8& out, float r, float g, float b, float a);
void InitDirectionalLight(const D3DVECTOR& direction, D3DLIGHT8& out, float r, float g, float b, float range);

}  // namespace zt
