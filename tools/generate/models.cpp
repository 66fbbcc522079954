// The show's models, built from parametric surfaces and written as 3DS files.
// All units are model units; +z is up in every file (the show turns the
// heart and the lady by (270, 0, 0) degrees to make +z its +y).

#include "tools/generate/models.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <vector>

#include "surfaces/scalar_field.h"
#include "tools/generate/data_files.h"
#include "tools/generate/model_shapes.h"

namespace {


}  // namespace

// --- Heart -------------------------------------------------------------------
// The implicit heart (x^2 + 2 y^2 + z^2 - 1)^3 - x^2 z^3 - y^2 z^3 / 10 = 0
// (inside where negative), polygonised by the show's own marching cubes at
// a 40-cell lattice, its corners merged into shared vertices, relaxed (which
// also softens a ridge the formula has below its middle) and scaled to 6.5
// units tall. x is the width and y the depth in the formula; in the file the
// front faces +x. Mapping: u around the vertical axis, v bottom to top; the
// seam runs down the back, where the surface is smooth.

namespace {

// Collects the polygoniser's triangles as an indexed mesh; corners closer
// than a thousandth of a cell (one lattice edge seen from two cells) merge.
class IndexedSink : public TFieldSink {
 public:
  explicit IndexedSink(float cellSize) : quantum_(cellSize / 1000) {}
  void Corner(const TVertex&, const TVertex& position) override {
    const std::array<int64_t, 3> key = {std::llround(position.x / quantum_), std::llround(position.y / quantum_),
                                        std::llround(position.z / quantum_)};
    const auto [entry, added] = index_.try_emplace(key, static_cast<int32_t>(vertices.size()));
    if (added) vertices.push_back(position);
    triangle_[count_++] = entry->second;
    if (count_ == 3) {
      count_ = 0;
      const auto& t = triangle_;
      if (t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) faces.push_back(MakeFace(t[0], t[1], t[2]));
    }
  }
  std::vector<TVertex> vertices;
  std::vector<TFace> faces;

 private:
  float quantum_;
  std::map<std::array<int64_t, 3>, int32_t> index_;
  std::array<int32_t, 3> triangle_{};
  int count_ = 0;
};

float HeartFunction(float x, float y, float z) {
  const float a = x * x + 2 * y * y + z * z - 1;
  return a * a * a - x * x * z * z * z - 0.1f * y * y * z * z * z;
}

// The heart function divided by the length of its gradient: close to the
// signed distance from the surface, so that interpolating along lattice
// edges puts the vertices where the surface really is.
float HeartDistance(float x, float y, float z) {
  constexpr float h = 1e-3f;
  const float f = HeartFunction(x, y, z);
  const float gx = (HeartFunction(x + h, y, z) - HeartFunction(x - h, y, z)) / (2 * h);
  const float gy = (HeartFunction(x, y + h, z) - HeartFunction(x, y - h, z)) / (2 * h);
  const float gz = (HeartFunction(x, y, z + h) - HeartFunction(x, y, z - h)) / (2 * h);
  return f / std::max(std::sqrt(gx * gx + gy * gy + gz * gz), 0.05f);
}

// Taubin smoothing: a shrinking and an inflating Laplacian step per pass, so
// the surface loses its lattice ripples but not its volume.
void RelaxSurface(std::vector<TVertex>& vertices, const std::vector<TFace>& faces, int passes) {
  std::vector<std::vector<int32_t>> neighbours(vertices.size());
  for (const TFace& f : faces) {
    for (auto [p, q] : {std::pair{f.a, f.b}, std::pair{f.b, f.c}, std::pair{f.c, f.a}}) {
      neighbours[p].push_back(q);
      neighbours[q].push_back(p);
    }
  }
  for (int pass = 0; pass < 2 * passes; ++pass) {
    const float factor = pass % 2 == 0 ? 0.5f : -0.53f;
    std::vector<TVertex> moved = vertices;
    for (size_t i = 0; i < vertices.size(); ++i) {
      if (neighbours[i].empty()) continue;
      TVertex mean{};
      for (int32_t n : neighbours[i]) {
        mean = {mean.x + vertices[n].x, mean.y + vertices[n].y, mean.z + vertices[n].z};
      }
      const float k = 1.0f / neighbours[i].size();
      moved[i] = {vertices[i].x + factor * (mean.x * k - vertices[i].x),
                  vertices[i].y + factor * (mean.y * k - vertices[i].y),
                  vertices[i].z + factor * (mean.z * k - vertices[i].z)};
    }
    vertices = std::move(moved);
  }
}

}  // namespace

Model3DSObject BuildHeart() {
  constexpr float kReach = 1.25f;    // the lattice's -1..1 covers -1.25..1.25 of the heart
  constexpr float kHeight = 6.5f;    // model units, bottom tip to top of the lobes
  TOrvScalarField field;
  field.Size = 40;
  field.BuildLattice();
  for (int a = 0; a <= field.Size; ++a) {
    for (int i = 0; i <= field.Size; ++i) {
      for (int j = 0; j <= field.Size; ++j) {
        TFieldPoint& p = field.Point(a, i, j);
        p.Position = {p.Position.x * kReach, p.Position.y * kReach, p.Position.z * kReach + 0.12f};
        p.Value = 1 - HeartDistance(p.Position.x, p.Position.y, p.Position.z);
      }
    }
  }
  IndexedSink sink(2 * kReach / field.Size);
  field.Polygonise(sink);
  RelaxSurface(sink.vertices, sink.faces, 20);

  float low = sink.vertices[0].z, high = low;
  for (const TVertex& v : sink.vertices) {
    low = std::min(low, v.z);
    high = std::max(high, v.z);
  }
  const float scale = kHeight / (high - low), middle = (low + high) / 2;
  Model3DSObject heart;
  heart.Name = "Heart";
  for (const TVertex& v : sink.vertices) {
    // A quarter turn about z: the front (-y in the formula) faces +x, towards
    // where the heart scene's camera starts.
    heart.Vertices.push_back({-v.y * scale, v.x * scale, (v.z - middle) * scale});
    // The angle around z in the formula, 0 and 1 at its back (+y).
    const float u = std::atan2(-v.x, -v.y) / (2 * std::numbers::pi_v<float>) + 0.5f;
    heart.TexCoords.push_back(MakeTexCoord(u, (v.z - low) / (high - low)));
  }
  // Faces that straddle the seam get copies of their low-u corners at u + 1.
  std::map<int32_t, int32_t> seamCopies;
  for (TFace f : sink.faces) {
    const float u[3] = {heart.TexCoords[f.a].u, heart.TexCoords[f.b].u, heart.TexCoords[f.c].u};
    if (std::max({u[0], u[1], u[2]}) - std::min({u[0], u[1], u[2]}) > 0.5f) {
      for (int32_t* corner : {&f.a, &f.b, &f.c}) {
        if (heart.TexCoords[*corner].u >= 0.5f) continue;
        const auto [copy, added] = seamCopies.try_emplace(*corner, static_cast<int32_t>(heart.Vertices.size()));
        if (added) {
          heart.Vertices.push_back(heart.Vertices[*corner]);
          heart.TexCoords.push_back(MakeTexCoord(heart.TexCoords[*corner].u + 1, heart.TexCoords[*corner].v));
        }
        *corner = copy->second;
      }
    }
    heart.Faces.push_back(f);
  }
  OrientFaces(heart, true);
  return heart;
}

// --- Cage ------------------------------------------------------------------------
// An icosahedron with every edge halved (42 corners, 80 faces), its corners
// pushed out to 20..28 units, each face stored with its own three vertices
// so that it stays flat, and all faces turned inwards.

Model3DSObject BuildHeartCage() {
  const float g = (1 + std::sqrt(5.0f)) / 2;
  std::vector<TVertex> corners = {
      {-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
      {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
  const std::vector<std::array<int, 3>> icosahedron = {
      {0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
      {11, 10, 2}, {10, 7, 6}, {7, 1, 8}, {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8},
      {3, 8, 9}, {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1}};
  std::map<std::pair<int, int>, int> midpoints;
  const auto midpoint = [&](int a, int b) {
    const std::pair<int, int> key = std::minmax(a, b);
    if (const auto found = midpoints.find(key); found != midpoints.end()) return found->second;
    const TVertex& p = corners[a];
    const TVertex& q = corners[b];
    corners.push_back({(p.x + q.x) / 2, (p.y + q.y) / 2, (p.z + q.z) / 2});
    return midpoints[key] = static_cast<int>(corners.size()) - 1;
  };
  std::vector<std::array<int, 3>> faces;
  for (const auto& [a, b, c] : icosahedron) {
    const int ab = midpoint(a, b), bc = midpoint(b, c), ca = midpoint(c, a);
    faces.insert(faces.end(), {{a, ab, ca}, {b, bc, ab}, {c, ca, bc}, {ab, bc, ca}});
  }
  for (size_t i = 0; i < corners.size(); ++i) {
    TVertex& p = corners[i];
    const float radius = 20 + 8 * LatticeHash(static_cast<int32_t>(i), 0, 31);
    const float length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    p = {p.x / length * radius, p.y / length * radius, p.z / length * radius};
  }
  Model3DSObject cage;
  cage.Name = "Cage";
  for (const auto& face : faces) {
    const int32_t base = static_cast<int32_t>(cage.Vertices.size());
    for (int k = 0; k < 3; ++k) cage.Vertices.push_back(corners[face[k]]);
    cage.TexCoords.insert(cage.TexCoords.end(), {MakeTexCoord(0, 0), MakeTexCoord(1, 0), MakeTexCoord(0.5f, 1)});
    cage.Faces.push_back(MakeFace(base, base + 1, base + 2));
  }
  OrientFaces(cage, false);
  return cage;
}

// --- Landscape -------------------------------------------------------------------
// A square grid squeezed into a disc of radius 100 (x' = x sqrt(1 - y^2/2),
// y' = y sqrt(1 - x^2/2)); the top carries fractal mountains around a
// central peak, the bottom a rocky cone. Both taper to z = 0 on the rim,
// where their vertices coincide.

Model3DSObject BuildLandscape() {
  constexpr int kCells = 40;
  constexpr float kRadius = 100;
  struct DiscPoint {
    float x, y, rim;  // rim: 0 at the centre, exactly 1 on the boundary
  };
  const auto disc = [&](int c, int r) {
    const float gx = 2.0f * c / kCells - 1, gy = 2.0f * r / kCells - 1;
    const bool boundary = c == 0 || c == kCells || r == 0 || r == kCells;
    return DiscPoint{kRadius * gx * std::sqrt(1 - gy * gy / 2), kRadius * gy * std::sqrt(1 - gx * gx / 2),
                     boundary ? 1.0f : std::max(std::fabs(gx), std::fabs(gy))};
  };
  Model3DSObject land;
  land.Name = "Landscape";
  AddGridPatch(land, kCells, kCells, [&](int c, int r) {
    const DiscPoint p = disc(c, r);
    const float taper = 1 - std::pow(p.rim, 4.0f);
    const float peak = 26 * std::exp(-(p.x * p.x + p.y * p.y) / 900);
    const float hills = 16 * FractalNoise(p.x / 38 + 3.1f, p.y / 38 + 7.7f, 11, 4);
    const float ridges = 9 * std::fabs(FractalNoise(p.x / 22, p.y / 22, 23, 3));
    return MakeVertex(p.x, p.y, (peak + hills + ridges + 6) * taper);
  });
  // The underside runs its columns the other way, so its faces look down.
  AddGridPatch(land, kCells, kCells, [&](int c, int r) {
    const DiscPoint p = disc(kCells - c, r);
    const float taper = std::pow(1 - p.rim * p.rim, 0.8f);
    const float rock = 34 + 14 * FractalNoise(p.x / 25, p.y / 25, 41, 3);
    return MakeVertex(p.x, p.y, -rock * taper);
  });
  OrientFaces(land, true);
  return land;
}

// --- Dame --------------------------------------------------------------------------
// Lathes with elliptical rings (rx across, ry front to back) interpolated
// through profiles: the body from the hem of the gown to the top of the
// crown, whose rim is cut into five points, and two arms hanging from the
// shoulders along the gown. Each part is closed by a pole at either end.

namespace {

struct ProfilePoint {
  float z, rx, ry, crown;  // crown: how much of the crown's points this ring gets
};

const std::vector<ProfilePoint> kBodyProfile = {
    {47, 0, 0, 0},        {47, 20, 18, 0},     {47.5f, 33, 29, 0},   {50, 35, 31, 0},
    {58, 32, 28, 0},      {72, 26, 22.5f, 0},  {86, 19.5f, 16.5f, 0}, {97, 13.5f, 11, 0},
    {104, 9.5f, 7.5f, 0}, {111, 11, 8.5f, 0},  {117, 12.5f, 8.5f, 0}, {122, 15.5f, 7.5f, 0},
    {126, 14.5f, 6.5f, 0}, {128.5f, 7, 5, 0},  {131, 3.6f, 3.6f, 0},  {133.5f, 4.2f, 4.8f, 0},
    {137, 7, 7.6f, 0},    {141.5f, 7.6f, 8, 0}, {145.5f, 6.2f, 6.6f, 0}, {147, 5.4f, 5.6f, 0},
    {150, 6.2f, 6.2f, 0.5f}, {152, 6.8f, 6.8f, 1}, {151, 5.5f, 5.5f, 1}, {149, 0, 0, 0}};

// Along the arm from the fingertips (0) to the top of the shoulder (33).
const std::vector<ProfilePoint> kArmProfile = {
    {0, 0, 0, 0},      {0.4f, 1.6f, 1.4f, 0}, {2.5f, 2.6f, 2.0f, 0}, {6, 2.1f, 1.9f, 0},
    {16, 2.7f, 2.5f, 0}, {24, 3.2f, 3.0f, 0},  {29, 4.6f, 4.2f, 0},  {31.5f, 4.4f, 4.0f, 0},
    {33, 0, 0, 0}};

constexpr float kDameCentreZ = 100;  // the figure is shrunk about this height
constexpr float kDameShrink = 0.8f;

// Rings through the profile, `samples` per profile segment (Catmull-Rom).
std::vector<ProfilePoint> SampleProfile(const std::vector<ProfilePoint>& profile, int samples) {
  const int segments = static_cast<int>(profile.size()) - 1;
  std::vector<ProfilePoint> rings(segments * samples + 1);
  for (int r = 0; r < static_cast<int>(rings.size()); ++r) {
    const int k = std::min(r / samples, segments - 1);
    const float t = static_cast<float>(r - k * samples) / samples;
    const ProfilePoint& p0 = profile[std::max(k - 1, 0)];
    const ProfilePoint& p1 = profile[k];
    const ProfilePoint& p2 = profile[k + 1];
    const ProfilePoint& p3 = profile[std::min(k + 2, segments)];
    rings[r] = {CatmullRom(p0.z, p1.z, p2.z, p3.z, t), CatmullRom(p0.rx, p1.rx, p2.rx, p3.rx, t),
                CatmullRom(p0.ry, p1.ry, p2.ry, p3.ry, t), CatmullRom(p0.crown, p1.crown, p2.crown, p3.crown, t)};
  }
  rings.front().rx = rings.front().ry = rings.back().rx = rings.back().ry = 0;  // closed poles
  return rings;
}

// One closed lathe part, faces outwards; `place` maps (ring, angle) to the
// model, and must not depend on the angle where the ring is a pole.
Model3DSObject Lathe(const std::vector<ProfilePoint>& rings, int columns,
                     const std::function<TVertex(const ProfilePoint&, float angle)>& place) {
  Model3DSObject part;
  AddGridPatch(part, columns, static_cast<int>(rings.size()) - 1, [&](int c, int r) {
    return place(rings[r], 2 * std::numbers::pi_v<float> * (c % columns) / columns);
  });
  OrientFaces(part, true);
  return part;
}

void Append(Model3DSObject& to, const Model3DSObject& part) {
  const int32_t base = static_cast<int32_t>(to.Vertices.size());
  to.Vertices.insert(to.Vertices.end(), part.Vertices.begin(), part.Vertices.end());
  to.TexCoords.insert(to.TexCoords.end(), part.TexCoords.begin(), part.TexCoords.end());
  for (const TFace& f : part.Faces) to.Faces.push_back(MakeFace(base + f.a, base + f.b, base + f.c));
}

TVertex Shrunk(float x, float y, float z) {
  return MakeVertex(kDameShrink * x, kDameShrink * y, kDameCentreZ + (z - kDameCentreZ) * kDameShrink);
}

}  // namespace

Model3DSObject BuildDame() {
  constexpr float kCrownHeight = 5;
  Model3DSObject dame;
  dame.Name = "Dame";
  Append(dame, Lathe(SampleProfile(kBodyProfile, 4), 48, [&](const ProfilePoint& ring, float angle) {
    const float point = std::pow(0.5f + 0.5f * std::cos(5 * angle), 3.0f);
    const float z = ring.z + kCrownHeight * ring.crown * point;
    if (ring.rx == 0) return Shrunk(0, 0, z);
    return Shrunk(ring.rx * std::cos(angle), ring.ry * std::sin(angle), z);
  }));
  for (const float side : {-1.0f, 1.0f}) {
    // The arm's axis runs from the fingertips beside the gown up to the shoulder.
    const TVertex hand = MakeVertex(side * 20.5f, -2.5f, 92);
    const TVertex shoulder = MakeVertex(side * 14, 0, 124.5f);
    TVertex axis = VectorFromTo(hand, shoulder);
    const float length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    NormalizeVector(axis);
    TVertex across = CrossProduct(MakeVertex(0, 1, 0), axis);
    NormalizeVector(across);
    const TVertex front = CrossProduct(axis, across);
    const float stretch = length / kArmProfile.back().z;
    Append(dame, Lathe(SampleProfile(kArmProfile, 3), 16, [&](const ProfilePoint& ring, float angle) {
      const float along = ring.z * stretch;
      const float a = ring.rx * std::cos(angle), b = ring.ry * std::sin(angle);
      return Shrunk(hand.x + along * axis.x + a * across.x + b * front.x,
                    hand.y + along * axis.y + a * across.y + b * front.y,
                    hand.z + along * axis.z + a * across.z + b * front.z);
    }));
  }
  return dame;
}

namespace {

void WriteModel(const std::filesystem::path& outDir, const char* name, const Model3DSObject& object) {
  WriteDataFile(DataFilePath(outDir, name), Encode3DSModel({object}));
}

}  // namespace

void WriteModels(const std::filesystem::path& outDir) {
  WriteModel(outDir, "mod\\heart.3ds", BuildHeart());
  WriteModel(outDir, "mod\\invertgeo.3ds", BuildHeartCage());
  WriteModel(outDir, "mod\\geo.3ds", BuildLandscape());
  WriteModel(outDir, "mod\\dame.3ds", BuildDame());
}
