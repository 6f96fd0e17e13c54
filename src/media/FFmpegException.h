#pragma once

#include <QString>
#include <stdexcept>

// The exception of the media components: refusals that are programming errors
// ("Cannot %s while working.", libraries not loaded) and failures inside a task.
// The application's handler shows it with the warning icon.
class FFmpegException : public std::runtime_error {
public:
    explicit FFmpegException(const std::string& message) : std::runtime_error(message) {}
    explicit FFmpegException(const QString& message) : std::runtime_error(message.toStdString()) {}
    explicit FFmpegException(const char* message) : std::runtime_error(message) {}
};
