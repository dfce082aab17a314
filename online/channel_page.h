// The current channel's page during one daily update: the address to ask today, how much of
// the answer to keep, and what the answer says under the channel's rules.
#pragma once

#include <string>
#include <vector>

#include "form/channel_catalogue.h"
#include "online/channel_rule.h"

namespace dova {

// WPURL with today's UTC date in place of "{yyyy}", "{mm}" and "{dd}".
std::string TodaysPageAddress(const Channel& channel, double utcNow);

// The byte limit of the page's answer: 16384 for the one-line page, else room for a body of
// kRulePageLimit and more, so that a larger body is seen to be larger and refused.
long long PageAnswerLimit(const ChannelRules& rules);

struct ChannelPage {
  PageOutcome outcome = PageOutcome::Refused;
  // The addresses to try, best first. The one-line page gives its line here even when it is
  // no address ("Not Found", empty), so that the same line as last time is still recognised.
  std::vector<std::string> pictures;
  std::string caption;
  std::string detail;  // why refused, or what said there is no picture today
};

// Reads the page's whole `answer` (status line, header, body) by the channel's rules. The
// one-line page goes as it always went: its trimmed body must be one line beginning "http://".
// Under the other rules, an answer whose status is not 2xx, or that has no header end, is
// refused.
ChannelPage ReadChannelPage(const ChannelRules& rules, const std::string& answer,
                            const std::string& pageAddress);

}  // namespace dova
