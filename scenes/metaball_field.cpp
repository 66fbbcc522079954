// Metaball motion and field painting: plain arithmetic on the balls and the
// lattice values, shared by the metaballs scene and its tests.

#include "scenes/metaball_field.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFade = 1.1f;
constexpr int32_t kLastIndex = MetaballLatticeSize - 1;

// One axis of MoveBall.
void MoveAxis(float& position, float& velocity, float strength, float dt) {
  position += velocity * dt;
  if (position > MetaballLatticeSize - strength) velocity = -std::fabs(velocity);
  if (position < strength) velocity = std::fabs(velocity);
}

// Nearest integer, ties to even (the default rounding mode), as 32 bits; the
// float range check keeps a runaway ball from overflowing the conversion.
int32_t RoundToLattice(float value) {
  const float r = std::nearbyint(value);
  if (!(r > -1e6f)) return -1000000;
  if (r > 1e6f) return 1000000;
  return static_cast<int32_t>(r);
}

}  // namespace

void MoveBall(TBall& ball, float dt) {
  MoveAxis(ball.Position.x, ball.Velocity.x, ball.Strength, dt);
  MoveAxis(ball.Position.y, ball.Velocity.y, ball.Strength, dt);
  MoveAxis(ball.Position.z, ball.Velocity.z, ball.Strength, dt);
}

void FadeField(TOrvScalarField& field) {
  for (int32_t i = 0; i <= kLastIndex; ++i) {
    for (int32_t j = 0; j <= kLastIndex; ++j) {
      for (int32_t k = 0; k <= kLastIndex; ++k) field.Point(i, j, k).Value /= kFade;
    }
  }
}

void ClearField(TOrvScalarField& field) {
  for (int32_t i = 0; i <= kLastIndex; ++i) {
    for (int32_t j = 0; j <= kLastIndex; ++j) {
      for (int32_t k = 0; k <= kLastIndex; ++k) field.Point(i, j, k).Value = 0.0f;
    }
  }
}

void AddBallToField(TOrvScalarField& field, const TBall& ball) {
  const TVertex& p = ball.Position;
  const int32_t cx = RoundToLattice(p.x);
  const int32_t cy = RoundToLattice(p.y);
  const int32_t cz = RoundToLattice(p.z);
  const int32_t r = RoundToLattice(ball.Strength);
  const int32_t i0 = std::max(cx - r, 0), i1 = std::min(cx + r, kLastIndex);
  const int32_t j0 = std::max(cy - r, 0), j1 = std::min(cy + r, kLastIndex);
  const int32_t k0 = std::max(cz - r, 0), k1 = std::min(cz + r, kLastIndex);
  for (int32_t i = i0; i <= i1; ++i) {
    const float dx = p.x - static_cast<float>(i);
    for (int32_t j = j0; j <= j1; ++j) {
      const float dy = p.y - static_cast<float>(j);
      for (int32_t k = k0; k <= k1; ++k) {
        const float dz = p.z - static_cast<float>(k);
        const float d2 = dx * dx + dy * dy + dz * dz;
        field.Point(i, j, k).Value += ball.Strength / std::max(d2, MinBallDistanceSquared);
      }
    }
  }
}
