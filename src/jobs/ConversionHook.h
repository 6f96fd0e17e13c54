#pragma once

#include "engine/HookInfo.h"
#include "jobs/TlvFilesRecord.h"

// The work of the main window's OnCustomHook handler once it has found the
// task's job record: runs the record's effect chain on the hook's bitmap, on
// the engine's worker thread. A record that requests no effect leaves the
// frame exactly as decoded and switches the hook off for the task (Update
// false, StopHook true). Otherwise Update and StopHook are left as the engine
// set them. A watermark picture that cannot be loaded throws
// EWatermarkPictureError with the bitmap unchanged; the engine logs it and
// the next frame tries again.
void RunConversionHook(PHookInfo AHookInfo, const TlvFilesRecord& ARecord);
