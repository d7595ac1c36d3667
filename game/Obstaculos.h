// The level's blobs: 27 fixed ones and 17 drifting ones at fixed map places.
#ifndef VD_OBSTACULOS_H
#define VD_OBSTACULOS_H

#include <vector>

#include "Inimigo.h"
#include "Nivel.h"

// Empties `v` (destroying its blobs) and fills it with the 44 blobs of the
// level (kLayout), placed relative to the current vecPosicao: fixed blobs
// from `spL` (3 frames), moving blobs from `spG` (4 frames), 15 updates per frame.
void Reset(std::vector<Inimigo*>& v, unsigned spL, unsigned spG);
// Destroys every blob of `v` and empties it.
void LiberaObstaculos(std::vector<Inimigo*>& v);

#endif
