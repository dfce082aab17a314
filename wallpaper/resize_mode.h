// Who makes the picture fit the screen: Windows stretches the bitmap, the program resamples it
// to the screen's size with its own filters, or nobody does and the desktop shows it as it is.
// Fill and Fit are the program's resampling with the picture's proportions kept: Fill covers
// the screen and cuts what sticks out, Fit shows the whole picture on a coloured ground.
#pragma once

namespace dova {

enum class ResizeMode { Windows, Program, None, Fill, Fit };

// True for the modes in which the program resamples with its own filters.
inline bool ResizesByProgram(ResizeMode mode) {
  return mode == ResizeMode::Program || mode == ResizeMode::Fill || mode == ResizeMode::Fit;
}

}  // namespace dova
