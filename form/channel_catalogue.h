// The channels of the picture of the day, read from the [Site1], [Site2], ... sections of
// dova.ini at start-up and written back at exit. Exactly one channel is current after a click;
// the daily update takes its addresses from the current channel.
#pragma once

#include <string>
#include <vector>

#include "platform/ini_file.h"

namespace dova {

struct Channel {
  std::string Url;       // URL: marks the section as existing
  std::string WpUrl;     // WPURL: the page that answers with the address of the day's picture
  std::string Image;     // IMAGE: logo bitmap file name, relative to the data directory
  bool Enabled = false;  // ENABLED = "1": the current channel
  // How the page gives the picture's address and caption (see online/channel_rule.h); empty
  // when the section has no such key, and then not written back either.
  std::string Picture;  // PICTURE
  std::string Suffix;   // SUFFIX
  std::string Caption;  // CAPTION
};

class ChannelCatalogue {
 public:
  // Reads Site1, Site2, ... up to the first section whose URL is missing or "-".
  void Load(IniFile& ini);
  // Writes every channel back into its section (URL, WPURL, IMAGE, ENABLED, then PICTURE, SUFFIX
  // and CAPTION when they are not empty); sections beyond the count are left as they are. Returns false when a write was refused.
  bool Save(IniFile& ini) const;

  int Count() const { return static_cast<int>(channels_.size()); }
  const std::vector<Channel>& Channels() const { return channels_; }
  // The first channel with Enabled set, or null.
  const Channel* CurrentChannel() const;
  // Makes channel `index` the only current one; an index outside the catalogue changes nothing.
  void MakeCurrent(int index);

 private:
  std::vector<Channel> channels_;
};

}  // namespace dova
