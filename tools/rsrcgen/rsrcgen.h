// The generator's jobs and what they share. Each job makes one or a few files
// under the output folder; jobs run on several threads and share nothing but
// the store of finished pictures the previews are assembled from.
#ifndef RSRCGEN_RSRCGEN_H
#define RSRCGEN_RSRCGEN_H

#include <functional>
#include <string>
#include <vector>

#include "output.h"

struct Job {
    std::string name;
    double cost;  // rough seconds, so the longest jobs start first
    std::function<void(Output&)> run;
};

void AddMapJobs(std::vector<Job>& jobs);      // Mapa_*, Colision_Mapa_*
void AddScreenJobs(std::vector<Job>& jobs);   // full-screen pictures and the far background
void AddSpriteJobs(std::vector<Job>& jobs);   // frame sheets, nano_c, preto, time bar
void AddAudioJobs(std::vector<Job>& jobs);    // batida.wav, morreu.ogg, bgmusic.ogg
// Previews read the kept pictures: they run once every other job is done.
void AddPreviewJobs(std::vector<Job>& jobs);

#endif
