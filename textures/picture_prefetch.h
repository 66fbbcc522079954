// Picture files read and decoded on a worker thread ahead of their upload, so
// a reader asked for one only uploads it. Only pictures that decoded are
// handed over: a file that is missing or refused is read again by its reader,
// which says what is wrong as it always has.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "textures/image_decode.h"

// Starts reading and decoding `names` (data names; each file decoded as the
// reader PictureKindOf picks decodes it), in this order, on a worker thread.
// Ends an earlier prefetch first.
void PrefetchPictures(const std::vector<std::string>& names);
// The decoded picture `name`, when it is one of the prefetch's and decoded
// (waiting for the worker to reach it); each is handed over once. Nothing
// otherwise.
std::optional<TDecodeResult> TakePrefetchedPicture(const std::string& name);
// Stops the worker (waiting for it) and drops every picture not taken. Safe
// when there is none.
void DropPrefetchedPictures();
