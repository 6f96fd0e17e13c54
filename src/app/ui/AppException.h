#pragma once

#include <QObject>
#include <QString>
#include <exception>

// The message of an exception as the application's handler shows it: a full
// stop is appended when the last character sorts after "." (letters, digits,
// most punctuation), so "!" , " " and "." endings stay as they are.
QString AppExceptionText(const QString& message);

// The application-wide handler of exceptions that escape an event handler:
// engine exceptions (FFmpegException) with the warning icon, every other one
// with the error icon, the application title as caption, an OK button. The
// program keeps running.
void ShowAppException(QObject* sender, const std::exception& exception);
