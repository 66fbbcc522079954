// The 3DS file reader: the chunk tree of a model file, read whole at open,
// and its mesh objects decoded on demand.
//
// A pure parser over the file's bytes (no GL). Chunk lengths are not trusted:
// a chunk shorter than its header, reaching past its parent or the file, a
// count whose array does not fit, or a string longer than 255 bytes or cut
// off raises E3DSError naming the chunk and the file offset. Materials,
// lights, cameras and keyframer data stay in the tree and are never decoded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geometry/Types3DS.h"

class TFile3DS;

// The named objects of a file's editor section, as mesh records.
class TObjectList {
 public:
  explicit TObjectList(TFile3DS& file) : file_(file) {}

  // The number of named objects that contain a triangle mesh.
  int32_t MeshCount();
  // Mesh object `index` in file order, decoded on the first request and then
  // returned from the cache; owned by the list. Null when MeshCount is 0.
  // Throws EListError for an index outside 0 .. MeshCount - 1, E3DSError for
  // a database that holds no meshes of this kind or a malformed mesh object.
  const TMesh3DS* Mesh(int32_t index);

 private:
  // Positions in the file's object index of the objects with a mesh.
  const std::vector<int32_t>& MeshEntries();

  TFile3DS& file_;
  std::vector<std::unique_ptr<TMesh3DS>> MeshList;  // sized on the first non-zero count
  std::vector<int32_t> meshEntries_;
  bool meshEntriesValid_ = false;
};

class TFile3DS {
 public:
  // Reads the file and its chunk tree. Throws EFOpenError "Cannot open file %s",
  // EReadError "Stream read error" for a file shorter than one chunk header,
  // E3DSError for a malformed chunk tree (or "Not enough memory to complete
  // operation." when the tree cannot be held).
  explicit TFile3DS(const std::string& fileName);
  // The same over bytes already in memory; `fileName` only names them.
  TFile3DS(std::vector<uint8_t> bytes, std::string fileName);

  TFile3DS(const TFile3DS&) = delete;
  TFile3DS& operator=(const TFile3DS&) = delete;

  const std::string& FileName() const { return fileName_; }
  TObjectList Objects{*this};

  // The chunk tree: node 0 is the root, children are in file order.
  const std::vector<TChunk3DS>& Chunks() const { return chunks_; }
  // Depth-first pre-order search from `node` itself; -1 when absent.
  int32_t FindChunk(int32_t node, uint16_t tag) const;
  // `node` itself or its first following sibling with `tag`; -1 when absent.
  int32_t FindSibling(int32_t node, uint16_t tag) const;

 private:
  friend class TObjectList;

  // One named object of the editor section.
  struct ObjectEntry {
    std::string Name;
    int32_t Chunk;
    bool HasMesh;  // a 0x4100 chunk somewhere in its subtree
  };

  void ReadChunkTree();
  // Where `node`'s sub-chunks begin, validating its own data (as a file offset).
  uint64_t ChildrenStart(const TChunk3DS& node) const;
  const std::vector<ObjectEntry>& ObjectIndex();
  void DecodeMesh(const ObjectEntry& entry, TMesh3DS& mesh) const;
  void DecodeMeshChild(const TChunk3DS& chunk, int32_t node, TMesh3DS& mesh) const;

  std::string fileName_;
  std::vector<uint8_t> bytes_;
  std::vector<TChunk3DS> chunks_;
  std::vector<ObjectEntry> objects_;
  bool indexValid_ = false;  // the object index is rebuilt on the first request
};
