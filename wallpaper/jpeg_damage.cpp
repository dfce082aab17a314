#include "wallpaper/jpeg_damage.h"

#include <jerror.h>

#include <algorithm>

namespace dova {

namespace {

constexpr int kFirstRestartMarker = 0xD0;  // RST0 .. RST7
constexpr int kLastRestartMarker = 0xD7;
// More lost rows than one in this many make the picture damaged.
constexpr std::size_t kToleratedShare = 20;

}  // namespace

void JpegDamageWatch::Start(j_decompress_ptr cinfo, long long dataSize) {
  lostRows_.assign(std::max<JDIMENSION>(cinfo->total_iMCU_rows, 1), 0);
  dataSize_ = dataSize;
}

void JpegDamageWatch::OnWarning(j_decompress_ptr cinfo) {
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
      if (!ranOut_) {
        ranOut_ = true;
        // Between scans the row counter stands at the total; in the last row the decoder may
        // only be reading ahead.
        ranOutInScan_ = cinfo->input_iMCU_row + 1 < cinfo->total_iMCU_rows;
      }
      break;
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
      if (ranOut_) neededDataAfterEnd_ = true;
      LoseInterval(cinfo, false);
      break;
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
      LoseInterval(cinfo, false);
      break;
    case JWRN_EXTRANEOUS_DATA: {
      const int marker = cinfo->err->msg_parm.i[1];
      // Found when the restart marker is read: the interval before it was not decoded as
      // written.
      if (marker >= kFirstRestartMarker && marker <= kLastRestartMarker)
        LoseInterval(cinfo, true);
      else if (cinfo->input_iMCU_row >= cinfo->total_iMCU_rows)  // after a completed scan
        leftOver_ += cinfo->err->msg_parm.i[0] > 0 ? cinfo->err->msg_parm.i[0] : 0;
      break;
    }
    default:
      break;
  }
}

void JpegDamageWatch::OnProgress(j_decompress_ptr cinfo) {
  for (int i = 0; i < cinfo->comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i) {
    const jpeg_component_info* component = cinfo->cur_comp_info[i];
    if (component && component->component_index >= 0 && component->component_index < 32)
      scannedComponents_ |= 1u << component->component_index;
  }
}

void JpegDamageWatch::LoseInterval(j_decompress_ptr cinfo, bool previous) {
  if (lostRows_.empty()) return;  // before the frame: nothing decoded yet
  const std::size_t last = lostRows_.size() - 1;
  std::size_t from = std::min<std::size_t>(cinfo->input_iMCU_row, last);
  std::size_t to = last;
  if (cinfo->restart_interval > 0 && cinfo->comps_in_scan > 0 && cinfo->MCUs_per_row > 0) {
    // A non-interleaved scan has one block per MCU and as many block rows in an iMCU row as
    // its component's vertical sampling factor.
    std::size_t perRow = cinfo->MCUs_per_row;
    if (cinfo->comps_in_scan == 1 && cinfo->cur_comp_info[0])
      perRow *= static_cast<std::size_t>(std::max(1, cinfo->cur_comp_info[0]->v_samp_factor));
    // Intervals of whole rows start at a row; others may reach into one row more.
    const std::size_t interval = cinfo->restart_interval;
    const std::size_t rows = interval % perRow == 0 ? interval / perRow : interval / perRow + 2;
    if (previous) {
      // Reported when the next interval starts, in the row after the broken interval's end.
      to = from > 0 ? from - 1 : 0;
      from = to + 1 >= rows ? to + 1 - rows : 0;
    } else {
      to = std::min(last, from + rows - 1);
    }
  }
  std::fill(lostRows_.begin() + static_cast<std::ptrdiff_t>(from),
            lostRows_.begin() + static_cast<std::ptrdiff_t>(to) + 1, 1);
}

bool JpegDamageWatch::ScansCoverPicture(j_decompress_ptr cinfo) const {
  if (cinfo->progressive_mode) {
    if (!cinfo->coef_bits) return false;
    for (int c = 0; c < cinfo->num_components; ++c)
      for (int k = 0; k < DCTSIZE2; ++k)
        if (cinfo->coef_bits[c][k] != 0) return false;
    return true;
  }
  for (int c = 0; c < cinfo->num_components; ++c)
    if (c >= 32 || !(scannedComponents_ & (1u << c))) return false;
  return true;
}

void JpegDamageWatch::ScansRead(j_decompress_ptr cinfo) { scansCover_ = ScansCoverPicture(cinfo); }

std::string JpegDamageWatch::Verdict() const {
  if (ranOut_ && (ranOutInScan_ || neededDataAfterEnd_ || !scansCover_)) return kCutShort;
  const std::size_t lost =
      static_cast<std::size_t>(std::count(lostRows_.begin(), lostRows_.end(), 1));
  if (lost * kToleratedShare > lostRows_.size())
    return "the picture is damaged: its data is corrupt in " + std::to_string(lost) + " of " +
           std::to_string(lostRows_.size()) + " rows of blocks";
  if (dataSize_ > 0 && leftOver_ * static_cast<long long>(kToleratedShare) > dataSize_)
    return "the picture is damaged: its data is corrupt: " + std::to_string(leftOver_) +
           " of its " + std::to_string(dataSize_) + " bytes were left over";
  return std::string();
}

}  // namespace dova
