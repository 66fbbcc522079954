// veloria-tool model FILE [--json]: the mesh objects of a 3DS model file as
// the show's loader sees them: per mesh its name, vertex, face and
// mapping-coordinate counts and bounding box; or the reader's error.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "geometry/ORV2_3ds.h"
#include "tools/inspect/commands.h"

namespace {

struct MeshSummary {
  std::string name;
  int32_t vertices = 0, faces = 0, mappingCoordinates = 0;
  TVertex low, high;  // bounding box; both zero for a mesh without vertices
};

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Loads every mesh the way the show does (reader errors and the loader's
// face check included).
std::vector<MeshSummary> Summarise(const std::string& fileName) {
  T3DSLoader loader;
  loader.OpenFile(fileName);
  std::vector<MeshSummary> meshes;
  for (int32_t i = 0; i < loader.MeshCount; ++i) {
    const std::unique_ptr<TMeshDataNM> mesh = loader.GetMesh(i);
    MeshSummary summary;
    summary.name = mesh->Name;
    summary.vertices = mesh->VertexCount;
    summary.faces = mesh->FaceCount;
    summary.mappingCoordinates = loader.File->Objects.Mesh(i)->NTextVerts;
    if (!mesh->Vertices.empty()) {
      summary.low = summary.high = mesh->Vertices[0];
      for (const TVertex& v : mesh->Vertices) {
        summary.low = {std::min(summary.low.x, v.x), std::min(summary.low.y, v.y), std::min(summary.low.z, v.z)};
        summary.high = {std::max(summary.high.x, v.x), std::max(summary.high.y, v.y), std::max(summary.high.z, v.z)};
      }
    }
    meshes.push_back(summary);
  }
  return meshes;
}

void PrintText(const std::string& fileName, const std::vector<MeshSummary>& meshes) {
  std::printf("%s: %zu mesh%s\n", fileName.c_str(), meshes.size(), meshes.size() == 1 ? "" : "es");
  for (size_t i = 0; i < meshes.size(); ++i) {
    const MeshSummary& m = meshes[i];
    std::printf("mesh %zu \"%s\": %d vertices, %d faces, %d mapping coordinates, box (%g, %g, %g) .. (%g, %g, %g)\n",
                i, m.name.c_str(), m.vertices, m.faces, m.mappingCoordinates, m.low.x, m.low.y, m.low.z, m.high.x,
                m.high.y, m.high.z);
  }
}

// A JSON number, or null for an infinity or NaN read from a file.
std::string JsonNumber(float value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

void PrintJson(const std::string& fileName, const std::vector<MeshSummary>& meshes) {
  std::printf("{\"file\": %s, \"meshCount\": %zu, \"meshes\": [", JsonString(fileName).c_str(), meshes.size());
  for (size_t i = 0; i < meshes.size(); ++i) {
    const MeshSummary& m = meshes[i];
    std::printf("%s\n  {\"name\": %s, \"vertices\": %d, \"faces\": %d, \"mappingCoordinates\": %d, "
                "\"box\": {\"min\": [%s, %s, %s], \"max\": [%s, %s, %s]}}",
                i == 0 ? "" : ",", JsonString(m.name).c_str(), m.vertices, m.faces, m.mappingCoordinates,
                JsonNumber(m.low.x).c_str(), JsonNumber(m.low.y).c_str(), JsonNumber(m.low.z).c_str(),
                JsonNumber(m.high.x).c_str(), JsonNumber(m.high.y).c_str(), JsonNumber(m.high.z).c_str());
  }
  std::printf("]}\n");
}

}  // namespace

int RunModelCommand(int argc, char** argv) {
  const char* fileName = nullptr;
  bool json = false;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--json") == 0) {
      json = true;
    } else if (!fileName) {
      fileName = argv[i];
    } else {
      fileName = nullptr;
      break;
    }
  }
  if (!fileName) {
    std::fprintf(stderr, "usage: veloria-tool model FILE [--json]\n");
    return 2;
  }
  try {
    const std::vector<MeshSummary> meshes = Summarise(fileName);
    if (json) {
      PrintJson(fileName, meshes);
    } else {
      PrintText(fileName, meshes);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", fileName, e.what());
    if (json) std::printf("{\"file\": %s, \"error\": %s}\n", JsonString(fileName).c_str(), JsonString(e.what()).c_str());
    return 1;
  }
  return 0;
}
