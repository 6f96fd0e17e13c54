#pragma once

#include "effects/FrameEffectParams.h"
#include "jobs/TlvFilesRecord.h"

// Fills the effect parameters from a job record; true when the record
// requests any effect (a colour value off neutral, an exposure, a text or a
// picture), false when the chain would leave every frame as it is.
bool FillFrameEffectParams(const TlvFilesRecord& ARecord, TFrameEffectParams& AParams);
