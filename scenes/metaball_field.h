// The metaballs' motion and the scalar field they paint, without any drawing:
// balls drift in lattice units inside the box 0..25 and bounce off its walls;
// each frame the field's old values fade and every ball adds 1/d² around it.
//
// Units: positions in lattice cells (0..25 spans the field's cube), velocities
// in cells per second, times in seconds. Only lattice indices 0..24 are written.
#pragma once

#include <cstdint>

#include "geometry/VectorTypes.h"
#include "surfaces/scalar_field.h"

constexpr int32_t BallCount = 8;
// Cells per axis of the metaballs' field; also the size of the box the balls bounce in.
constexpr int32_t MetaballLatticeSize = 25;
// Squared lattice distance below which a ball's 1/d² stops growing, so a ball
// sitting exactly on a lattice point leaves a large but finite value there.
constexpr float MinBallDistanceSquared = 1e-3f;

struct TBall {
  TVertex Position;  // lattice units
  TVertex Velocity;  // lattice units per second
  float Strength = 0.0f;
};

// Position += Velocity * dt; then per axis the velocity turns inward when the
// moved position lies beyond 25 - Strength or below Strength. The position
// itself is never clamped.
void MoveBall(TBall& ball, float dt);
// Divides the value of every lattice point with indices 0..24 by 1.1: the trail.
void FadeField(TOrvScalarField& field);
// Sets the value of every lattice point with indices 0..24 to 0.
void ClearField(TOrvScalarField& field);
// Adds Strength / max(d², MinBallDistanceSquared) to every lattice point in the
// box of half size round(Strength) around round(Position) (ties to even),
// clipped to indices 0..24; d is the distance from the unrounded position.
void AddBallToField(TOrvScalarField& field, const TBall& ball);
