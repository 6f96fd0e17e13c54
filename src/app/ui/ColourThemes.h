#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QString>

// The seven colour themes of the program, shown on the Fusion style.
// Index = the stored "skinIndex"; the names are the captions of Tools > Skin.
struct TColourTheme
{
    QString Name;
    QColor Window;     // window and menu background
    QColor Button;     // buttons, headers, group boxes
    QColor Highlight;  // selections
    QColor OddRowTint; // odd rows of the file list
};

constexpr int ColourThemeCount = 7;
// Index 0 is "Default", the theme the windows are designed in.
const TColourTheme& ColourTheme(int index);
bool IsColourThemeIndex(int index);
QPalette ColourThemePalette(int index);

// The main window's theme manager: holds the current theme and puts it on
// the whole application, so every other window shows it too.
class TThemeManager : public QObject
{
    Q_OBJECT

public:
    explicit TThemeManager(QObject* parent = nullptr) : QObject(parent) {}

    // The theme in use; "Default" until another is applied.
    int Theme() const { return theme_; }
    // Applies a theme to the application; an index outside 0 to 6 is ignored.
    void ApplyTheme(int index);
    const TColourTheme& Current() const { return ColourTheme(theme_); }

signals:
    void ThemeChanged(int index);

private:
    int theme_ = 0;
};

// The design-time look: the Fusion style with the "Default" theme. The
// program puts it on the application before any window exists.
void ApplyDesignTimeTheme();
