#include "form/channel_catalogue.h"

#include <string>

namespace dova {

namespace {

// The value every key of a channel section reads as when it is missing; a URL of "-" ends the
// list.
const char kMissing[] = "-";

std::string SiteSection(int number) { return "Site" + std::to_string(number); }

}  // namespace

void ChannelCatalogue::Load(IniFile& ini) {
  // Counting first, as the grid's row count is set before the channels are read.
  int count = 0;
  while (ini.ReadString(SiteSection(count + 1), "URL", kMissing) != kMissing) ++count;

  channels_.clear();
  channels_.reserve(count);
  for (int n = 1; n <= count; ++n) {
    const std::string section = SiteSection(n);
    Channel channel;
    channel.Url = ini.ReadString(section, "URL", kMissing);
    // The file may have changed between the two passes; the list still ends at the first gap.
    if (channel.Url == kMissing) break;
    channel.WpUrl = ini.ReadString(section, "WPURL", kMissing);
    channel.Image = ini.ReadString(section, "IMAGE", kMissing);
    channel.Enabled = ini.ReadString(section, "ENABLED", kMissing) == "1";
    channel.Picture = ini.ReadString(section, "PICTURE", "");
    channel.Suffix = ini.ReadString(section, "SUFFIX", "");
    channel.Caption = ini.ReadString(section, "CAPTION", "");
    channels_.push_back(std::move(channel));
  }
}

bool ChannelCatalogue::Save(IniFile& ini) const {
  // Every channel is written even when one write is refused, so that as much as possible of
  // the user's choice reaches the file.
  bool written = true;
  for (int i = 0; i < Count(); ++i) {
    const Channel& channel = channels_[i];
    const std::string section = SiteSection(i + 1);
    written &= ini.WriteString(section, "URL", channel.Url);
    written &= ini.WriteString(section, "WPURL", channel.WpUrl);
    written &= ini.WriteString(section, "IMAGE", channel.Image);
    written &= ini.WriteString(section, "ENABLED", channel.Enabled ? "1" : "0");
    // Files without the rule keys stay as an older program wrote them.
    if (!channel.Picture.empty()) written &= ini.WriteString(section, "PICTURE", channel.Picture);
    if (!channel.Suffix.empty()) written &= ini.WriteString(section, "SUFFIX", channel.Suffix);
    if (!channel.Caption.empty()) written &= ini.WriteString(section, "CAPTION", channel.Caption);
  }
  return written;
}

const Channel* ChannelCatalogue::CurrentChannel() const {
  for (const Channel& channel : channels_)
    if (channel.Enabled) return &channel;
  return nullptr;
}

void ChannelCatalogue::MakeCurrent(int index) {
  if (index < 0 || index >= Count()) return;
  for (Channel& channel : channels_) channel.Enabled = false;
  channels_[index].Enabled = true;
}

}  // namespace dova
