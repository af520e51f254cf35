#pragma once

#include "engine/ContainerFormat.h"
#include "engine/StegEngine.h"

namespace lumaquill {

// Walk steps the encode and decode runs share; the reader repeats the
// writer's moves exactly, so both use these.

inline void MoveToNextPosition(StegEngine& engine)
{
    const Position next = engine.NextPosition();
    engine.CurX = next.X;
    engine.CurY = next.Y;
}

// Marks the current pixel used without touching it and moves on: how the
// question header passes over pixels, and how a reader steps over the end
// pixel that WriteEndPixel wrote (the CheckByte after it is read next).
inline void PassOverPixel(StegEngine& engine)
{
    engine.UsedPixels.Mark(engine.CurX, engine.CurY);
    MoveToNextPosition(engine);
}

// Every run starts a new walk here: map cleared, sequential and unwhitened,
// EmbedMode 1, LevelByte = CheckByte = 128, at the scan's first position.
inline void StartHeaderWalk(StegEngine& engine)
{
    engine.UsedPixels.Reset();
    engine.FallbackScan = false;
    engine.HeaderMode = true;
    engine.Keys.LevelByte = container::kHeaderLevelByte;
    engine.Keys.CheckByte = container::kHeaderCheckByte;
    engine.Keys.Mode = container::kHeaderMode;
    MoveToNextPosition(engine);
}

inline void ReseedGenerators(StegEngine& engine)
{
    engine.PositionGen.Reseed(engine.Keys.PositionSeed.data());
    engine.WhiteningGen.Reseed(engine.Keys.WhiteningSeed.data());
}

} // namespace lumaquill
