#include "engine/PreviewWindow.h"

#include <mutex>

namespace {

std::mutex& FactoryLock()
{
    static std::mutex lock;
    return lock;
}

TPreviewWindowFactory& InstalledFactory() // --- protected by FactoryLock()
{
    static TPreviewWindowFactory factory;
    return factory;
}

} // namespace

void SetPreviewWindowFactory(TPreviewWindowFactory factory)
{
    std::lock_guard<std::mutex> guard(FactoryLock());
    InstalledFactory() = std::move(factory);
}

std::unique_ptr<IPreviewWindow> CreatePreviewWindow()
{
    TPreviewWindowFactory factory;
    {
        std::lock_guard<std::mutex> guard(FactoryLock());
        factory = InstalledFactory();
    }
    return factory ? factory() : nullptr;
}
