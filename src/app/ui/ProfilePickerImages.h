#pragma once

#include <QList>
#include <QPixmap>

// The pictures of the profile picker, drawn by the program itself.

constexpr int PickerImageSize = 20;

// One 20 x 20 icon per profile category, by category index: a music player,
// a phone, a television, a clapperboard, a film strip and a musical note.
QList<QPixmap> CategoryIconList();

// The fold glyphs: index 0 for a collapsed category (a boxed plus), 1 for an
// expanded one (a boxed minus).
constexpr int CollapsedGlyph = 0;
constexpr int ExpandedGlyph = 1;
QList<QPixmap> FoldGlyphList();
