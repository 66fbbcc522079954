// Picture files read and decoded on worker threads ahead of their upload, so
// a reader asked for one only uploads it. The workers (one per core, up to
// kPrefetchWorkers) take the files in order and stop reading ahead while
// the pictures decoded and not yet taken hold kPrefetchLookAheadBytes,
// unless a reader waits: detailed pictures are large. Only pictures that decoded from the
// file as it still is are handed over: a file that is missing, refused or
// changed since is read again by its reader, which says what is wrong as it
// always has.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/worker_thread.h"
#include "textures/image_decode.h"
#include "textures/mipmap_chain.h"

constexpr int kPrefetchWorkers = 4;
constexpr size_t kPrefetchLookAheadBytes = size_t{128} << 20;

// Starts reading and decoding `names` (data names; each file decoded as the
// reader PictureKindOf picks decodes it), in this order, on threads from
// `make`. Ends an earlier prefetch first. When no thread can be started
// there is no prefetch, and every reader reads its file itself.
void PrefetchPictures(const std::vector<std::string>& names, ThreadMaker make = MakeThread);
// The decoded picture `name`, when it is one of the prefetch's, decoded
// (waiting for the worker to reach it), and its file has the size,
// modification time and inode it had when read; each is handed over once.
// Nothing otherwise.
std::optional<TDecodeResult> TakePrefetchedPicture(const std::string& name);
// The same for a detailed picture's file (DetailOfPictureFile above 1), whose
// worker builds its mipmap chain too; TakePrefetchedPicture gives none of
// those.
std::optional<TMipmapChain> TakePrefetchedChain(const std::string& name);
// Whether TakePrefetchedPicture(name) would return without waiting: the
// workers are through `name`, or it is no picture of the prefetch's.
bool PrefetchedPictureReady(const std::string& name);
// Stops the worker (waiting for it) and drops every picture not taken. Safe
// when there is none.
void DropPrefetchedPictures();
