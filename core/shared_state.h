// The program-wide values that the driver and the scenes share. Each has one
// writer, named beside it; everyone else only reads.
#pragma once

#include <cstdint>

class TSync;

// Seconds since the last clock reset (the music position once the show runs).
// Written by the driver at the top of every timeline frame.
extern float DemoTime;
// Seconds between the last two clock readings. Written by the driver beside DemoTime.
extern float FrameDelta;
// The loaded sync track. Created and loaded by the driver during loading.
extern TSync* SyncTrack;
// Picture number 1..8 of the picture ring. Written by the driver on channel-3 events.
extern int32_t BeatIndex;
// Set by the driver in sections 3 and 4 once 27.9 s of the section were drawn;
// read by the landscape and the metaballs.
extern bool LateFlag3;
extern bool LateFlag4;
// The gentle show (--gentle): the pulses that flash are tamed where they
// come fast (TSync::SyncPulse). Written by the driver before the timeline.
extern bool GentleShow;

// DemoTime, FrameDelta, BeatIndex and the late flags as every pass of the
// timeline starts with them; the track and the textures stay. The
// program starts so, and the driver calls it at the start of every run.
void ResetRunValues();

// Texture handles shared between scenes (-1 = the picture failed to load).
// MapTexture, GlowTexture: written by the landscape's load step.
extern int32_t MapTexture;
extern int32_t GlowTexture;
// 256 x 256 feedback target: written by the metaballs' load step.
extern int32_t FeedbackTexture;
// RingPictures[1..8] (index 0 unused): written by the picture ring's load step.
extern int32_t RingPictures[9];
