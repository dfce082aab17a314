// Where a picture goes on the screen for each way of resizing it: stretched over the whole
// screen, filling it with its proportions kept (the overflow cut evenly from both sides), or
// fitted into it whole with its proportions kept (the rest of the screen in a colour). All sizes
// in whole pixels; a size is rounded to the nearest pixel and never below one.
#pragma once

#include "wallpaper/picture_reader.h"

namespace dova {

struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PictureRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// How a picture becomes the bitmap that is written: its part `source` is scaled to the size of
// `target` and put there, on a canvas of canvasWidth x canvasHeight whose other pixels are
// `background`.
struct Placement {
  PictureRect source;
  int canvasWidth = 0, canvasHeight = 0;
  PictureRect target;
  PackedRgb background = 0x000000;
};

// The part of a width x height picture that, scaled with its proportions kept, just covers a
// screenWidth x screenHeight screen: the whole picture less equal strips from the two sides
// (or the top and bottom) that stick out.
PictureRect FillCrop(int width, int height, int screenWidth, int screenHeight);

// Where a width x height picture, scaled with its proportions kept, lies on the screen when it
// is as large as fits: touching two opposite edges, centred between the other two.
PictureRect FitPlace(int width, int height, int screenWidth, int screenHeight);

// The placements of the three ways; all of them on a canvas of the screen's size. Every size
// must be at least 1.
Placement StretchPlacement(int width, int height, int screenWidth, int screenHeight);
Placement FillPlacement(int width, int height, int screenWidth, int screenHeight);
Placement FitPlacement(int width, int height, int screenWidth, int screenHeight,
                       PackedRgb background);

}  // namespace dova
