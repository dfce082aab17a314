// The HTML Help viewer, loaded at run time; without "HHCTRL.OCX" every call does nothing.
#pragma once

#include <string>

namespace dova {

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // Shows an address such as "C:\Dova\Dova.chm::/HTML/online.htm>main". The result is not
  // looked at: a missing file shows whatever the viewer shows.
  virtual void DisplayTopic(const std::string& address) = 0;
};

}  // namespace dova
