// Who makes the picture fit the screen: Windows stretches the bitmap, the program resamples it
// to the screen's size with its own filters, or nobody does and the desktop shows it as it is.
#pragma once

namespace dova {

enum class ResizeMode { Windows, Program, None };

}  // namespace dova
