// The show's four procedural models, Z-up, every vertex with a mapping
// coordinate and texture seams stored as separate vertices.
#pragma once

#include <filesystem>

#include "tools/generate/write_3ds.h"

// A smooth heart 6.5 units tall, centred on the origin, up along +z, its
// front facing +x.
Model3DSObject BuildHeart();
// An inverted geosphere of flat facets, about 24 units in radius, facing
// inwards: the room around the heart scene's camera.
Model3DSObject BuildHeartCage();
// A floating island 200 units across: mountains on top, rock below.
Model3DSObject BuildLandscape();
// A standing lady in a gown with a crown and her arms at her sides, from
// z = 62 to about 142, centred on the z axis.
Model3DSObject BuildDame();

// Writes "mod\heart.3ds", "mod\invertgeo.3ds", "mod\geo.3ds" and "mod\dame.3ds".
void WriteModels(const std::filesystem::path& outDir);
