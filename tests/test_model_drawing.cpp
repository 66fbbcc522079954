// Drawing meshes, deform brush frames, lights and the stencil mask on a real
// GL context.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "draw2d/overlay.h"
#include "draw2d/stencil.h"
#include "geometry/ORV2Classes.h"
#include "geometry/lights.h"
#include "surfaces/ORV2Deform.h"
#include "tests/files_3ds.h"
#include "tests/gl_pictures.h"
#include "tests/gl_test_context.h"

namespace {

// Unit-square world on the whole window, nothing else on.
void PlainView() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glColor4f(1, 1, 1, 1);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void FillRect(float x0, float y0, float x1, float y1) {
  glBegin(GL_QUADS);
  glVertex2f(x0, y0);
  glVertex2f(x1, y0);
  glVertex2f(x1, y1);
  glVertex2f(x0, y1);
  glEnd();
}

// A diamond around the origin in the z = 0 plane, as a one-mesh model file.
std::string DiamondModel() {
  Model3DSObject diamond;
  diamond.Name = "diamond";
  diamond.Vertices = {MakeVertex(0, -0.5f, 0), MakeVertex(0.5f, 0, 0), MakeVertex(0, 0.5f, 0), MakeVertex(-0.5f, 0, 0)};
  diamond.TexCoords.resize(4);
  diamond.Faces = {MakeFace(0, 1, 2), MakeFace(0, 2, 3)};
  return WriteTempModel("diamond.3ds", Encode3DSModel({diamond}));
}

using MeshDrawing = GLTest;

TEST_F(MeshDrawing, EmptyMeshDrawsNothing) {
  PlainView();
  TMeshDataNM mesh;
  mesh.TMeshData::Draw();
  mesh.Draw();
  mesh.DrawArrays();
  EXPECT_EQ(ReadPixel(400, 300).r, 0);
}

TEST_F(MeshDrawing, FacetedDrawSendsOnlyTheFirstCornersNormal) {
  PlainView();
  TMeshDataN mesh;
  for (int i = 0; i < 3; ++i) mesh.AddVertex(MakeVertex(static_cast<float>(i), 0, 0), {});
  mesh.AddFace(MakeFace(0, 1, 2));
  mesh.Normals = {MakeVertex(1, 0, 0), MakeVertex(0, 1, 0), MakeVertex(0, 0, 1)};
  GLfloat normal[3];
  DrawFaceted(mesh);
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  EXPECT_EQ(normal[0], 1.0f);
  mesh.Draw();
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  EXPECT_EQ(normal[2], 1.0f);
}

using DeformDrawing = GLTest;

TEST_F(DeformDrawing, FramesFollowTheSelectedMesh) {
  TOrvDeformBrush brush(5, 0);
  EXPECT_EQ(brush.FrameCount, 5);
  EXPECT_EQ(brush.VertexCount, 0);
  brush.LoadFromFile(DiamondModel());
  brush.SelectMesh(0);
  ASSERT_EQ(brush.VertexCount, 4);
  for (const TVertexArray& frame : brush.Frames) ASSERT_EQ(frame.size(), 4u);
  EXPECT_EQ(brush.Frames[3][1].x, 0.0f);  // never reset: zeros

  // A freshly reset frame draws exactly like the mesh's own vertex arrays.
  PlainView();
  brush.Mesh().DrawArrays();
  const std::vector<uint8_t> own = ReadFrame();
  PlainView();
  brush.ResetFrame(0);
  brush.DrawFrame(0);
  EXPECT_EQ(ReadFrame(), own);
  EXPECT_EQ(ReadPixel(400, 300).r, 255);

  // An untouched frame collapses to the origin and draws nothing.
  PlainView();
  brush.DrawFrame(3);
  EXPECT_EQ(ReadPixel(400, 300).r, 0);

  // A moved frame moves the picture; the mesh keeps its rest positions.
  for (TVertex& v : brush.Frames[0]) v.x += 0.5f;
  PlainView();
  brush.DrawFrame(0);
  EXPECT_EQ(ReadPixel(400 + 200, 300).r, 255);
  EXPECT_EQ(ReadPixel(400 - 150, 300).r, 0);
  EXPECT_EQ(brush.Mesh().Vertices[1].x, 0.5f);

  brush.SetVertexCount(6);
  EXPECT_EQ(brush.Frames[0][1].x, 1.0f);  // kept
  EXPECT_EQ(brush.Frames[0][5].x, 0.0f);  // appended
  brush.ResetFrame(0);
  EXPECT_EQ(brush.Frames[0][1].x, 0.5f);
  EXPECT_EQ(brush.Frames[0][4].x, 0.0f);  // past the mesh: zeros
}

using Lights = GLTest;

TEST_F(Lights, SetupLightSwitchesOnOnlyTheSelectedLight) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHT0);
  glDisable(GL_LIGHT1);
  glDisable(GL_LIGHTING);
  glDisable(GL_NORMALIZE);
  SelectLight(GL_LIGHT1);
  SetupLight();
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  GLfloat value[4];
  glGetLightfv(GL_LIGHT1, GL_POSITION, value);
  EXPECT_EQ(value[0], 10.0f);
  EXPECT_EQ(value[2], 10.0f);
  EXPECT_EQ(value[3], 1.0f);
  glGetLightfv(GL_LIGHT1, GL_DIFFUSE, value);
  EXPECT_EQ(value[1], 1.0f);

  TColorRGBA ambient, diffuse;
  SetRGBA(ambient, 0.2f, 0.2f, 1, 1);
  SetRGBA(diffuse, -0.4f, 0.5f, 1, 1);  // passed on unclamped
  SetLightColors(ambient, diffuse);
  SetLightPosition(MakeVertex(1, 2, 3));
  glGetLightfv(GL_LIGHT1, GL_DIFFUSE, value);
  EXPECT_EQ(value[0], -0.4f);
  glGetLightfv(GL_LIGHT1, GL_AMBIENT, value);
  EXPECT_EQ(value[2], 1.0f);
  glGetLightfv(GL_LIGHT1, GL_POSITION, value);
  EXPECT_EQ(value[1], 2.0f);
  EXPECT_EQ(value[3], 1.0f);
  glDisable(GL_LIGHT1);
  glDisable(GL_LIGHTING);
}

class Stencil : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    ASSERT_GT(bits, 0) << "the window must provide a stencil buffer";
    PlainView();
    ClearStencilValue();
  }
  // The scenes' five steps with an optional shape and a red layer through the mask.
  void MaskedLayer(bool drawShape) {
    ClearStencilBuffer();
    BeginStencilMask();
    if (drawShape) FillRect(-0.25f, -0.25f, 0.25f, 0.25f);
    BeginStencilClip();
    glColor4f(0, 0, 1, 1);
    FillRect(0.5f, 0.5f, 1, 1);  // unmasked, top right
    EnableStencil();
    BeginOverlay();
    TColorRGBA red;
    SetRGBA(red, 1, 0, 0, 1);
    DrawColorQuad(red, 0, 0, 800, 600);
    EndOverlay();
    // DrawColorQuad restores every attribute: the clip test is still on.
    stencilOnAfterLayer = glIsEnabled(GL_STENCIL_TEST);
    EndStencil();
  }
  bool stencilOnAfterLayer = false;
};

TEST_F(Stencil, LayerShowsOnlyInsideTheShape) {
  MaskedLayer(true);
  EXPECT_EQ(ReadPixel(400, 300).r, 255);  // inside the shape
  EXPECT_EQ(ReadPixel(100, 100).r, 0);    // outside
  EXPECT_EQ(ReadPixel(750, 550).b, 255);  // the unmasked layer
  EXPECT_TRUE(stencilOnAfterLayer);
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(Stencil, WithoutAShapeTheLayerShowsNowhere) {
  MaskedLayer(false);
  EXPECT_EQ(ReadPixel(400, 300).r, 0);
  EXPECT_EQ(ReadPixel(750, 550).b, 255);
}

TEST_F(Stencil, MaskingWritesNoColourAndTurnsDepthOff) {
  BeginStencilMask();
  GLboolean mask[4];
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  EXPECT_FALSE(mask[0]);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  FillRect(-1, -1, 1, 1);
  EXPECT_EQ(ReadPixel(400, 300).r, 0);
  BeginStencilClip();
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  EXPECT_TRUE(mask[3]);
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  GLint func = 0;
  glGetIntegerv(GL_STENCIL_FUNC, &func);
  EXPECT_EQ(func, GL_EQUAL);
  EndStencil();
}

// A turned, textured star of triangles, each corner with its own picture
// coordinate, over the middle of the screen.
void TexturedStar() {
  glBegin(GL_TRIANGLE_FAN);
  glTexCoord2f(0.5f, 0.5f);
  glVertex2f(0.013f, -0.021f);
  for (int k = 0; k <= 14; ++k) {
    const float angle = 0.37f + static_cast<float>(k) * 6.2831853f / 14.0f;
    const float radius = (k % 2 == 0) ? 0.8f : 0.35f;
    glTexCoord2f(0.5f + 0.5f * std::cos(angle), 0.5f + 0.5f * std::sin(angle));
    glVertex2f(radius * std::cos(angle), radius * std::sin(angle));
  }
  glEnd();
}

// The mask of the star drawn textured, with or without TMaskShapeDrawing
// around it; texturing is checked inside and after.
std::vector<uint8_t> StarMask(bool guarded, bool& texturedInside) {
  glClear(GL_COLOR_BUFFER_BIT);
  ClearStencilBuffer();
  BeginStencilMask();
  glEnable(GL_TEXTURE_2D);
  {
    std::optional<TMaskShapeDrawing> guard;
    if (guarded) guard.emplace();
    texturedInside = glIsEnabled(GL_TEXTURE_2D);
    TexturedStar();
  }
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  BeginStencilClip();
  EndStencil();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  return ReadStencil();
}

TEST_F(Stencil, ShapesWriteTheSameMaskWithoutTheirPicture) {
  // Half the picture is transparent, which an alpha test would see.
  const int32_t picture = PatternTexture(32, [](int x, int) { return x < 16 ? 0x80FF40u : 0x2040C0u; });
  std::vector<uint8_t> alpha(32 * 32 * 4);
  for (size_t k = 0; k < alpha.size(); ++k) alpha[k] = (k % 4 == 3) ? ((k / 4) % 32 < 16 ? 255 : 0) : 200;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 32, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE, alpha.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  bool texturedInside = true;
  const std::vector<uint8_t> literal = StarMask(false, texturedInside);
  const std::vector<uint8_t> frame = ReadFrame();
  EXPECT_TRUE(texturedInside);
  const std::vector<uint8_t> untextured = StarMask(true, texturedInside);
  EXPECT_FALSE(texturedInside);
  EXPECT_TRUE(untextured == literal);
  EXPECT_TRUE(ReadFrame() == frame);
  EXPECT_GT(std::count(literal.begin(), literal.end(), 1), 50000);

  // Under an alpha test the picture decides which pixels pass: it stays.
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.5f);
  const std::vector<uint8_t> alphaTested = StarMask(true, texturedInside);
  glDisable(GL_ALPHA_TEST);
  glAlphaFunc(GL_ALWAYS, 0.0f);
  EXPECT_TRUE(texturedInside);
  EXPECT_FALSE(alphaTested == literal);
  // With colour written it stays too.
  glEnable(GL_TEXTURE_2D);
  {
    const TMaskShapeDrawing guard;
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  }
  glDisable(GL_TEXTURE_2D);
  glDeleteTextures(1, reinterpret_cast<const GLuint*>(&picture));
}

}  // namespace
