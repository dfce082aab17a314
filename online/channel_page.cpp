#include "online/channel_page.h"

#include "online/http_fetcher.h"
#include "online/picture_response.h"

namespace dova {

namespace {

// The one-line page and the HEAD answer are small; the fetcher keeps less than this.
constexpr long long kLinePageLimit = 16384;

}  // namespace

std::string TodaysPageAddress(const Channel& channel, double utcNow) {
  return ExpandDateFields(channel.WpUrl, utcNow);
}

long long PageAnswerLimit(const ChannelRules& rules) {
  if (rules.picture.kind == RuleKind::Line) return kLinePageLimit;
  // The fetcher keeps a piece only while it fits: an answer cut here still holds more body
  // than kRulePageLimit, whatever its header.
  return 2 * static_cast<long long>(kRulePageLimit) + 1;
}

ChannelPage ReadChannelPage(const ChannelRules& rules, const std::string& answer,
                            const std::string& pageAddress) {
  ChannelPage page;
  if (rules.picture.kind == RuleKind::Line) {
    std::string candidate;
    if (ReadPictureAddress(answer, candidate) != PageVerdict::Address) return page;
    page.pictures.push_back(candidate);
    if (IsRequestableAddress(candidate)) page.outcome = PageOutcome::Picture;
    return page;
  }
  const int status = ParseHttpStatus(answer);
  const std::size_t bodyStart = HeaderEnd(answer);
  if (status < 200 || status > 299 || bodyStart == std::string::npos) {
    page.detail = status ? "HTTP " + std::to_string(status) : "no HTTP answer";
    return page;
  }
  PageFindings found = ReadPageByRules(rules, answer.substr(bodyStart), pageAddress);
  page.outcome = found.outcome;
  page.pictures = std::move(found.pictures);
  page.caption = std::move(found.caption);
  page.detail = std::move(found.detail);
  return page;
}

}  // namespace dova
