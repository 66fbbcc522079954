// The 3DS chunk tree and the decoding of mesh objects.

#include "geometry/File3DS.h"

#include <cstdio>
#include <new>
#include <utility>

#include "geometry/Const3DS.h"
#include "geometry/Utils3DS.h"
#include "platform/stream_errors.h"

namespace {

constexpr uint32_t kHeaderSize = 6;
constexpr const char* kNoMemory = "Not enough memory to complete operation.";

bool IsRootTag(uint16_t tag) { return tag == kM3DMagic || tag == kCMagic || tag == kMLibMagic; }

std::string Hex4(uint16_t tag) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", tag);
  return text;
}

uint16_t PeekU16(const std::vector<uint8_t>& bytes, uint64_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t PeekU32(const std::vector<uint8_t>& bytes, uint64_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

uint64_t EndOf(const TChunk3DS& chunk) { return uint64_t{chunk.Position} + chunk.Length; }

}  // namespace

// --- Opening: the chunk tree ---------------------------------------------------

TFile3DS::TFile3DS(const std::string& fileName) : TFile3DS(ReadFileBytes(fileName), fileName) {}

TFile3DS::TFile3DS(std::vector<uint8_t> bytes, std::string fileName)
    : fileName_(std::move(fileName)), bytes_(std::move(bytes)) {
  try {
    ReadChunkTree();
  } catch (const std::bad_alloc&) {
    throw E3DSError(kNoMemory);
  }
}

uint64_t TFile3DS::ChildrenStart(const TChunk3DS& node) const {
  const uint64_t data = uint64_t{node.Position} + kHeaderSize;
  const uint64_t end = EndOf(node);
  ChunkCursor cursor(bytes_, node.Tag, node.Position, static_cast<uint32_t>(data),
                     static_cast<uint32_t>(end));
  const OwnDataLayout layout = OwnDataLayoutOf(node.Tag);
  switch (layout.kind) {
    case OwnData::kNone:
      return data;
    case OwnData::kWhole:
      return end;
    case OwnData::kFixed:
      // Own data that overruns the chunk leaves no room for sub-chunks; it is
      // only read if the chunk is on the mesh path, where decoding checks it.
      return data + layout.size;
    case OwnData::kString:
      cursor.SkipString("name");
      return cursor.Offset();
    case OwnData::kFaceList: {
      const uint16_t count = cursor.ReadU16("face count");
      cursor.RequireArray(count, 8, "face count");
      return cursor.Offset() + uint64_t{count} * 8;
    }
    case OwnData::kStringThen6:
      cursor.SkipString("name");
      return cursor.Offset() + 6;
    case OwnData::kU16StringU32:
      cursor.ReadU16("header");
      cursor.SkipString("name");
      return cursor.Offset() + 4;
  }
  return end;
}

void TFile3DS::ReadChunkTree() {
  if (bytes_.size() < kHeaderSize) throw EReadError();
  TChunk3DS root;
  root.Tag = PeekU16(bytes_, 0);
  root.Length = PeekU32(bytes_, 2);
  root.Position = 0;
  chunks_.push_back(root);
  // Any other first tag is not a database this reader knows: the tree stays
  // the bare root and the file simply has no meshes.
  if (!IsRootTag(root.Tag)) return;
  if (root.Length < kHeaderSize) {
    Throw3DSFormatError(root.Tag, 0, "length " + std::to_string(root.Length) +
                                         " is below the 6-byte chunk header");
  }
  if (root.Length > bytes_.size()) {
    Throw3DSFormatError(root.Tag, 0, "length " + std::to_string(root.Length) +
                                         " reaches past the end of the file (" +
                                         std::to_string(bytes_.size()) + " bytes)");
  }

  // Iterative walk: one frame per open chunk, so nesting depth costs heap,
  // not stack. Every step either consumes a whole chunk (at least 6 bytes)
  // or ends its parent, so the walk ends and the tree has at most one node
  // per 6 bytes of file.
  struct Frame {
    int32_t node;
    uint64_t pos;
    uint64_t end;
    int32_t lastChild;
    bool extraData;  // inside a 0x8001 section: only 0x8002 .. 0x800F belong
  };
  std::vector<Frame> stack;
  stack.push_back({0, ChildrenStart(chunks_[0]), EndOf(chunks_[0]), -1, false});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.pos >= frame.end) {
      stack.pop_back();
      continue;
    }
    const uint64_t pos = frame.pos;
    const TChunk3DS& parent = chunks_[frame.node];
    if (pos + kHeaderSize > bytes_.size()) {
      Throw3DSFormatError(parent.Tag, parent.Position,
                          "sub-chunk header at offset " + std::to_string(pos) +
                              " is cut off by the end of the file");
    }
    TChunk3DS child;
    child.Tag = PeekU16(bytes_, pos);
    child.Length = PeekU32(bytes_, pos + 2);
    child.Position = static_cast<uint32_t>(pos);
    if (frame.extraData && (child.Tag < kXDataFirst || child.Tag > kXDataLast)) {
      frame.pos = frame.end;  // a foreign chunk ends the section
      continue;
    }
    if (child.Length < kHeaderSize) {
      Throw3DSFormatError(child.Tag, child.Position, "length " + std::to_string(child.Length) +
                                                         " is below the 6-byte chunk header");
    }
    if (EndOf(child) > frame.end) {
      if (frame.extraData) {
        frame.pos = pos + kHeaderSize;  // discarded; the section goes on after its header
        continue;
      }
      Throw3DSFormatError(child.Tag, child.Position,
                          "length " + std::to_string(child.Length) +
                              " reaches past the end of its parent " + Hex4(parent.Tag) +
                              " at offset " + std::to_string(parent.Position) + " (ends at " +
                              std::to_string(frame.end) + ")");
    }
    const int32_t index = static_cast<int32_t>(chunks_.size());
    chunks_.push_back(child);
    if (frame.lastChild < 0) {
      chunks_[frame.node].FirstChild = index;
    } else {
      chunks_[frame.lastChild].Next = index;
    }
    frame.lastChild = index;
    frame.pos = EndOf(child);
    const bool extraData = frame.extraData || child.Tag == kXDataSection;
    const uint64_t childrenStart = ChildrenStart(child);  // may throw: frame refs stay valid
    stack.push_back({index, childrenStart, EndOf(child), -1, extraData});
  }
}

int32_t TFile3DS::FindChunk(int32_t node, uint16_t tag) const {
  if (node < 0) return -1;
  // The tree is stored in pre-order, so a node's subtree is the run of nodes
  // that follows it up to the first one at or past its end in the file.
  const uint64_t end = EndOf(chunks_[node]);
  for (size_t i = node; i < chunks_.size() && (i == static_cast<size_t>(node) || chunks_[i].Position < end); ++i) {
    if (chunks_[i].Tag == tag) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t TFile3DS::FindSibling(int32_t node, uint16_t tag) const {
  for (int32_t c = node; c >= 0; c = chunks_[c].Next) {
    if (chunks_[c].Tag == tag) return c;
  }
  return -1;
}

// --- The object index ------------------------------------------------------------

const std::vector<TFile3DS::ObjectEntry>& TFile3DS::ObjectIndex() {
  if (indexValid_) return objects_;
  objects_.clear();
  const int32_t editor = FindChunk(0, kMData);
  if (editor >= 0) {
    for (int32_t c = FindSibling(FindChunk(editor, kNamedObject), kNamedObject); c >= 0;
         c = FindSibling(chunks_[c].Next, kNamedObject)) {
      const TChunk3DS& chunk = chunks_[c];
      ChunkCursor cursor(bytes_, chunk.Tag, chunk.Position, chunk.Position + kHeaderSize,
                         static_cast<uint32_t>(EndOf(chunk)));
      objects_.push_back({cursor.ReadString("object name"), c, FindChunk(c, kNTriObject) >= 0});
    }
  }
  indexValid_ = true;
  return objects_;
}

const std::vector<int32_t>& TObjectList::MeshEntries() {
  if (!meshEntriesValid_) {
    const std::vector<TFile3DS::ObjectEntry>& index = file_.ObjectIndex();
    for (size_t i = 0; i < index.size(); ++i) {
      if (index[i].HasMesh) meshEntries_.push_back(static_cast<int32_t>(i));
    }
    meshEntriesValid_ = true;
  }
  return meshEntries_;
}

int32_t TObjectList::MeshCount() {
  const int32_t count = static_cast<int32_t>(MeshEntries().size());
  if (count > 0 && MeshList.empty()) MeshList.resize(count);
  return count;
}

const TMesh3DS* TObjectList::Mesh(int32_t index) {
  const int32_t count = MeshCount();
  if (count == 0) return nullptr;
  if (index < 0 || index >= count) throw EListError(index);
  if (MeshList[index]) return MeshList[index].get();

  const TChunk3DS& root = file_.chunks_[0];
  if (root.Tag != kM3DMagic && root.Tag != kCMagic) {
    throw E3DSError("The database passed as an argument is the wrong kind of\rdatabase for this function.");
  }
  try {
    auto mesh = std::make_unique<TMesh3DS>();
    file_.DecodeMesh(file_.ObjectIndex()[MeshEntries()[index]], *mesh);
    MeshList[index] = std::move(mesh);
  } catch (const std::bad_alloc&) {
    throw E3DSError(kNoMemory);
  }
  return MeshList[index].get();
}

// --- Decoding a mesh object ---------------------------------------------------------

void TFile3DS::DecodeMesh(const ObjectEntry& entry, TMesh3DS& mesh) const {
  const int32_t triMesh = FindSibling(chunks_[entry.Chunk].FirstChild, kNTriObject);
  if (triMesh < 0) {
    throw E3DSError(
        "The Name passed to the functions exists but is not the type of object asked for.\r"
        "For example asking for a mesh object with the GetCameraByName3DS function.");
  }
  mesh.Name = entry.Name;
  for (int32_t c = chunks_[triMesh].FirstChild; c >= 0; c = chunks_[c].Next) {
    DecodeMeshChild(chunks_[c], c, mesh);
  }
  for (int32_t c = chunks_[entry.Chunk].FirstChild; c >= 0; c = chunks_[c].Next) {
    switch (chunks_[c].Tag) {
      case kObjHidden: mesh.IsHidden = true; break;
      case kObjVisLofter: mesh.IsVisLofter = true; break;
      case kObjMatte: mesh.IsMatte = true; break;
      case kObjDoesntCast: mesh.IsNoCast = true; break;
      case kObjFast: mesh.IsFast = true; break;
      case kObjDontRcvShadow: mesh.IsNoRcvShad = true; break;
      case kObjFrozen: mesh.IsFrozen = true; break;
      case kObjProcedural: mesh.UseProc = true; break;
      default: break;
    }
  }
}

void TFile3DS::DecodeMeshChild(const TChunk3DS& chunk, int32_t node, TMesh3DS& mesh) const {
  ChunkCursor in(bytes_, chunk.Tag, chunk.Position, chunk.Position + kHeaderSize,
                 static_cast<uint32_t>(EndOf(chunk)));
  switch (chunk.Tag) {
    case kPointArray: {
      const uint16_t count = in.ReadU16("vertex count");
      in.RequireArray(count, 12, "vertex count");
      mesh.NVertices = count;
      mesh.VertexArray.resize(count);
      for (TPoint3DS& p : mesh.VertexArray) {
        p.x = in.ReadF32("vertex");
        p.y = in.ReadF32("vertex");
        p.z = in.ReadF32("vertex");
      }
      break;
    }
    case kPointFlagArray: {
      const uint16_t count = in.ReadU16("vertex flag count");
      in.RequireArray(count, 2, "vertex flag count");
      mesh.NVFlags = count;
      mesh.VFlagArray.resize(count);
      for (uint16_t& flag : mesh.VFlagArray) flag = in.ReadU16("vertex flag");
      break;
    }
    case kTexVerts: {
      const uint16_t count = in.ReadU16("mapping coordinate count");
      in.RequireArray(count, 8, "mapping coordinate count");
      mesh.NTextVerts = count;
      mesh.TextArray.resize(count);
      for (TTexVert3DS& t : mesh.TextArray) {
        t.u = in.ReadF32("mapping coordinate");
        t.v = in.ReadF32("mapping coordinate");
      }
      break;
    }
    case kFaceArray: {
      const uint16_t count = in.ReadU16("face count");
      in.RequireArray(count, 8, "face count");
      mesh.NFaces = count;
      mesh.FaceArray.resize(count);
      for (TFace3DS& f : mesh.FaceArray) {
        f.v1 = in.ReadU16("face");
        f.v2 = in.ReadU16("face");
        f.v3 = in.ReadU16("face");
        f.flag = in.ReadU16("face");
      }
      const int32_t first = chunks_[node].FirstChild;
      if (first < 0) break;
      for (int32_t g = FindChunk(node, kMshMatGroup); g >= 0; g = FindSibling(chunks_[g].Next, kMshMatGroup)) {
        const TChunk3DS& group = chunks_[g];
        ChunkCursor gin(bytes_, group.Tag, group.Position, group.Position + kHeaderSize,
                        static_cast<uint32_t>(EndOf(group)));
        TObjMat3DS mat;
        mat.Name = gin.ReadString("material name");
        mat.NFaces = gin.ReadU16("material face count");
        gin.RequireArray(mat.NFaces, 2, "material face count");
        mat.FaceIndex.resize(mat.NFaces);
        for (uint16_t& face : mat.FaceIndex) face = gin.ReadU16("material face");
        mesh.MatArray.push_back(std::move(mat));
      }
      mesh.NMats = static_cast<uint16_t>(mesh.MatArray.size());
      if (const int32_t s = FindSibling(first, kSmoothGroup); s >= 0) {
        const TChunk3DS& smooth = chunks_[s];
        ChunkCursor sin(bytes_, smooth.Tag, smooth.Position, smooth.Position + kHeaderSize,
                        static_cast<uint32_t>(EndOf(smooth)));
        const uint16_t values = static_cast<uint16_t>((smooth.Length - kHeaderSize) / 4);
        mesh.SmoothArray.resize(values);
        for (uint32_t& mask : mesh.SmoothArray) mask = sin.ReadU32("smoothing group");
      }
      if (const int32_t b = FindSibling(first, kMshBoxMap); b >= 0) {
        const TChunk3DS& box = chunks_[b];
        ChunkCursor bin(bytes_, box.Tag, box.Position, box.Position + kHeaderSize,
                        static_cast<uint32_t>(EndOf(box)));
        for (std::string& name : mesh.BoxMapNames) name = bin.ReadString("box map material");
        mesh.UseBoxMap = true;
      }
      break;
    }
    case kMeshMatrix:
      for (float& value : mesh.LocMatrix) value = in.ReadF32("local matrix");
      break;
    case kMeshColor:
      mesh.MeshColor = in.ReadU8("mesh colour");
      break;
    case kMeshTextureInfo: {
      TMapInfo3DS& map = mesh.Map;
      map.MapType = in.ReadU16("map type");
      for (float* value : {&map.TileX, &map.TileY, &map.CenX, &map.CenY, &map.CenZ, &map.Scale}) {
        *value = in.ReadF32("mapping information");
      }
      for (float& value : map.Matrix) value = in.ReadF32("mapping information");
      for (float* value : {&map.PlanarWidth, &map.PlanarHeight, &map.CylinderHeight}) {
        *value = in.ReadF32("mapping information");
      }
      mesh.UseMapInfo = true;
      break;
    }
    case kProcName:
      mesh.ProcName = in.ReadString("procedure name");
      break;
    case kProcData:
      mesh.ProcSize = chunk.Length - kHeaderSize;
      mesh.ProcData = in.ReadBytes(mesh.ProcSize, "procedure data");
      break;
    default:
      break;
  }
}
