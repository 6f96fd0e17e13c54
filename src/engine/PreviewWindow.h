#pragma once

#include <QImage>
#include <QtGlobal>
#include <functional>
#include <memory>

// The floating preview window of one task, as the engine sees it. The engine
// never links widgets: the window itself (TPreviewer) lives in the engine's ui
// library, which installs its factory here when a widget program starts.
class IPreviewWindow
{
public:
    virtual ~IPreviewWindow() = default;
    // Shows one frame (the window copies it); called on the task's worker.
    // False once the user has closed the window: from then on it shows nothing.
    virtual bool ShowFrame(const QImage& bitmap, qint32 frameNumber, qint64 pts) = 0;
};

// Makes a preview window, or null when the program cannot show one.
using TPreviewWindowFactory = std::function<std::unique_ptr<IPreviewWindow>()>;

// Installs (or, with an empty factory, removes) the factory of every task's
// preview window. Without one, tasks asked for a preview window log that none
// is available and switch that preview off.
void SetPreviewWindowFactory(TPreviewWindowFactory factory);

// A new window from the installed factory; null without one.
std::unique_ptr<IPreviewWindow> CreatePreviewWindow();
