// Stencil masking: a shape is written into the stencil buffer (value 1, bit 0
// only) without touching the picture, then colour layers are drawn through
// that mask. Needs a current GL context with a stencil buffer.
//
// Per frame: ClearStencilBuffer; BeginStencilMask, draw the shape;
// BeginStencilClip, draw unmasked layers; EnableStencil, draw masked layers;
// EndStencil. Depth testing is off from BeginStencilMask until EndStencil.
#pragma once

// Stencil clear value 0; once, at load time.
void ClearStencilValue();
// Clears the stencil buffer only.
void ClearStencilBuffer();
// Colour writes and depth test off, stencil test on: drawing sets the stencil to 1.
void BeginStencilMask();
// Colour writes on, the clip test (stencil equal to 1) prepared but switched off.
void BeginStencilClip();
// Switches the clip test on: drawing reaches only pixels whose stencil is 1.
void EnableStencil();
// Stencil test off, depth test back on.
void EndStencil();

// While alive around the drawing of a shape into the mask, texturing is off:
// with colour writes off and no alpha test a picture changes no stencil
// value, yet the software renderer would still sample it at every pixel.
// Under any other state it does nothing. Texturing comes back at the end.
class TMaskShapeDrawing {
 public:
  TMaskShapeDrawing();
  ~TMaskShapeDrawing();
  TMaskShapeDrawing(const TMaskShapeDrawing&) = delete;
  TMaskShapeDrawing& operator=(const TMaskShapeDrawing&) = delete;

 private:
  bool texturingWasOn_ = false;
};
