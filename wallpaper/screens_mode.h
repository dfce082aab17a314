// What goes on the screens when there are several: the same picture on each of them (also the
// one screen of most desks), a picture for each, or one picture across all of them.
#pragma once

namespace dova {

enum class ScreensMode { Same, Each, Span };

}  // namespace dova
