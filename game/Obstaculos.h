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
// Whether blob `b`, which has just moved `passo` px down (up when negative)
// to `naTile` (its corner from the top-left corner of the map tile whose
// collision picture is `parede`), runs into that wall and must turn round:
// it touches the wall and would leave it sooner by going back than by going
// on. A blob touching a wall it is already leaving (after its turn, or when
// an animation frame reaches further) is not turned again, so one turn takes
// it out of the wall. A still blob (`passo` 0) never turns. Every call makes
// one contact test; further ones only while the blob touches the wall.
bool BateNaParede(const Inimigo& b, math::Vector2D naTile, float passo, unsigned parede);

#endif
