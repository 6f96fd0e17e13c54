#pragma once

#include <QImage>

// The exposure curve on every byte of a Format_BGR888 frame: positive values
// lift the levels between 0 and 255 towards white, negative ones push them
// towards black; 0 and 255 never move. Editor range -255..512.
void AdjustExposure(QImage& frame, float exposure);
