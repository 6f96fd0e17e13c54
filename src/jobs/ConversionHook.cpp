#include "jobs/ConversionHook.h"

#include "effects/ApplyFrameEffects.h"
#include "jobs/RecordEffectParams.h"

#include <stdexcept>

void RunConversionHook(PHookInfo AHookInfo, const TlvFilesRecord& ARecord)
{
    if (AHookInfo == nullptr)
        throw std::invalid_argument("The conversion hook was called without its hook record");
    TFrameEffectParams params;
    if (!FillFrameEffectParams(ARecord, params)) {
        // Writing an untouched bitmap back would still cost every frame a
        // conversion to 24 bits and back, and the colour detail lost in it.
        AHookInfo->Update = false;
        AHookInfo->StopHook = true;
        return;
    }
    if (AHookInfo->Bitmap == nullptr)
        throw std::invalid_argument("The conversion hook was called without a frame bitmap");
    ApplyFrameEffects(*AHookInfo->Bitmap, params);
}
