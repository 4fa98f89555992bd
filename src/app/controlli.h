#pragma once
// The form's table (commands/controlli.h) in the Qt window's pixels.

#include <QRect>

#include "commands/controlli.h"

namespace cw {

inline QRect PixelDaTwips(int left, int top, int width, int height) {
  return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

}  // namespace cw
