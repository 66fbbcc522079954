// Drawing the scalar field's surface: the polygoniser's corners streamed
// into one immediate-mode triangle list.

#include <GL/gl.h>

#include "surfaces/scalar_field.h"

namespace {

class GLTriangleSink : public TFieldSink {
 public:
  void Corner(const TVertex& normal, const TVertex& position) override {
    glNormal3fv(&normal.x);
    glVertex3fv(&position.x);
  }
};

}  // namespace

void TOrvScalarField::Draw() const {
  GLTriangleSink sink;
  glBegin(GL_TRIANGLES);
  Polygonise(sink);
  glEnd();
}
