// Picture files read and decoded on a worker thread ahead of their upload, so
// a reader asked for one only uploads it. Only pictures that decoded from the
// file as it still is are handed over: a file that is missing, refused or
// changed since is read again by its reader, which says what is wrong as it
// always has.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/worker_thread.h"
#include "textures/image_decode.h"

// Starts reading and decoding `names` (data names; each file decoded as the
// reader PictureKindOf picks decodes it), in this order, on a thread from
// `make`. Ends an earlier prefetch first. When no thread can be started
// there is no prefetch, and every reader reads its file itself.
void PrefetchPictures(const std::vector<std::string>& names, ThreadMaker make = MakeThread);
// The decoded picture `name`, when it is one of the prefetch's, decoded
// (waiting for the worker to reach it), and its file has the size,
// modification time and inode it had when read; each is handed over once.
// Nothing otherwise.
std::optional<TDecodeResult> TakePrefetchedPicture(const std::string& name);
// Stops the worker (waiting for it) and drops every picture not taken. Safe
// when there is none.
void DropPrefetchedPictures();
