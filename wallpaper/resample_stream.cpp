// The streaming resampler's bookkeeping. Source rows are decoded a chunk at a time into a ring
// of chunks; a chunk's slot is decoded over once its horizontal pass is done. Intermediate rows
// live in a ring too, row k in slot k % ringRows: a chunk's horizontal pass may only run once
// the rows it would write over are needed by no unfinished band, and a band may only run once
// every intermediate row it reads is done. The ring holds the rows of at least one band plus a
// chunk, so the first unfinished band can always go on: the work never waits on itself.
#include "wallpaper/resample_stream.h"

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "wallpaper/resample_blend.h"
#include "wallpaper/resample_contributors.h"
#include "wallpaper/resample_float_mode.h"
#include "wallpaper/resample_rows.h"

namespace dova {

namespace {

constexpr int kChunkRows = 16;  // source rows decoded, then resampled horizontally, at a time
constexpr int kBandRows = 8;    // destination rows of one task of the vertical pass
constexpr int kBatch = HorizontalPass::kBatch;
constexpr std::size_t kWindowBudget = std::size_t{64} << 20;  // bytes of intermediate rows

// Which intermediate rows each band of destination rows reads.
struct BandRows {
  std::vector<int> needs;  // the highest row band b or an earlier band reads; -1 for none
  std::vector<int> keeps;  // the lowest row band b or a later band reads; the source height
                           // when none does
};

BandRows PlanBands(const ContributorTable& rows, int sourceHeight) {
  const int height = static_cast<int>(rows.first.size()) - 1;
  std::vector<int> lo(height, INT_MAX), hi(height, -1);
  for (int i = 0; i < height; ++i) {
    for (int e = rows.first[i]; e < rows.first[i + 1]; ++e) {
      lo[i] = std::min(lo[i], rows.pixel[e]);
      hi[i] = std::max(hi[i], rows.pixel[e]);
    }
  }
  for (int i = 1; i < height; ++i) hi[i] = std::max(hi[i], hi[i - 1]);
  for (int i = height - 1; i > 0; --i) lo[i - 1] = std::min(lo[i - 1], lo[i]);
  const int bands = (height + kBandRows - 1) / kBandRows;
  BandRows plan;
  for (int b = 0; b < bands; ++b) {
    plan.needs.push_back(hi[std::min(height, (b + 1) * kBandRows) - 1]);
    plan.keeps.push_back(std::min(lo[b * kBandRows], sourceHeight));
  }
  return plan;
}

// Intermediate rows to keep so that `lookahead` bands can run at once while the next chunk is
// made: the widest stretch from the rows a band keeps to those `lookahead` bands need, plus a
// chunk. No more than the source has.
int RingRows(const BandRows& plan, int sourceHeight, int lookahead) {
  const int bands = static_cast<int>(plan.needs.size());
  int widest = 1;
  for (int b = 0; b < bands; ++b) {
    const int needs = plan.needs[std::min(bands - 1, b + lookahead - 1)];
    widest = std::max(widest, needs - plan.keeps[b] + 1);
  }
  return std::min(sourceHeight, widest + kChunkRows);
}

std::size_t RingBytes(int rows, int width) {
  return static_cast<std::size_t>(rows) * IntermediateRowFloats(width) * sizeof(float);
}

class StreamJob {
 public:
  StreamJob(const RowSource& source, const BandSink& sink, const ContributorTable& columns,
            const ContributorTable& rows, int threads, const CancelFlag* cancel)
      : source_(source),
        sink_(sink),
        rows_(rows),
        pass_(columns, source.width),
        bands_(PlanBands(rows, source.height)),
        width_(static_cast<int>(columns.first.size()) - 1),
        height_(static_cast<int>(rows.first.size()) - 1),
        chunks_((source.height + kChunkRows - 1) / kChunkRows),
        bandCount_(static_cast<int>(bands_.needs.size())),
        decodeFirst_(threads > 1),
        cancel_(cancel),
        chunkDone_(chunks_, 0),
        bandDone_(bandCount_, 0) {
    // Room for every thread to have a band in hand and the next ones ready, within the budget.
    ringRows_ = RingRows(bands_, source.height, threads + 1);
    if (RingBytes(ringRows_, width_) > kWindowBudget) {
      ringRows_ = RingRows(bands_, source.height, 1);
    }
    // The decoding runs ahead of the horizontal pass by a few chunks when it has a thread of
    // its own.
    sourceChunks_ = std::min(chunks_, threads > 1 ? 2 * threads + 2 : 1);
    sourceRowBytes_ = static_cast<std::size_t>(source.width) * (source.bitsPerPixel / 8);
    sourceRing_.assign(sourceRowBytes_ * kChunkRows * sourceChunks_, 0);
    intermediate_ = FloatBuffer(static_cast<std::size_t>(ringRows_) * pass_.RowFloats());
  }

  // The loop every thread runs until the work is done or stopped.
  void Work() {
    const StandardFloatingPoint standard;
    std::unique_ptr<Scratch> scratch;
    try {
      scratch = std::make_unique<Scratch>(*this);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex_);
      Stop(std::current_exception());
      return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    for (Task task = NextTask(lock); task.kind != Kind::kNone; task = NextTask(lock)) {
      lock.unlock();
      try {
        Run(task, *scratch);
      } catch (...) {
        lock.lock();
        Stop(std::current_exception());
        return;
      }
      lock.lock();
      Done(task);
      changed_.notify_all();
    }
  }

  // The first exception that stopped the work, if any.
  std::exception_ptr FirstError() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return error_;
  }

 private:
  enum class Kind { kNone, kDecode, kHorizontal, kVertical };
  struct Task {
    Kind kind;
    int index;  // the chunk, or the band
  };

  // Each thread's own working memory.
  struct Scratch {
    explicit Scratch(const StreamJob& job)
        : floats(job.pass_.ScratchFloats()),
          colour(job.source_.bitsPerPixel == 8
                     ? static_cast<std::size_t>(kBatch) * 3 * job.source_.width
                     : 0),
          band(job.sink_.stride * kBandRows, 0),
          rows(std::max(1, job.rows_.MaxCount())),
          weights(rows.size()) {}
    FloatBuffer floats;                // the horizontal pass's
    std::vector<std::uint8_t> colour;  // grey rows made 24-bit
    std::vector<std::uint8_t> band;    // destination rows, bottom-up
    std::vector<const float*> rows;    // one destination row's contributors
    std::vector<Quad> weights;
  };

  int ChunkEnd(int chunk) const { return std::min(source_.height, (chunk + 1) * kChunkRows); }
  std::uint8_t* SourceRow(int row) {
    const int chunk = row / kChunkRows;
    const std::size_t slot = static_cast<std::size_t>(chunk % sourceChunks_) * kChunkRows +
                             static_cast<std::size_t>(row % kChunkRows);
    return sourceRing_.data() + slot * sourceRowBytes_;
  }
  float* IntermediateRow(int row) {
    return intermediate_.data() + static_cast<std::size_t>(row % ringRows_) * pass_.RowFloats();
  }

  // The intermediate rows done, all of them below this one.
  int RowsDone() const { return std::min(source_.height, chunksDone_ * kChunkRows); }
  // Intermediate rows below this one are needed no more.
  int RowsKept() const {
    return bandsDone_ < bandCount_ ? bands_.keeps[bandsDone_] : source_.height;
  }

  bool CanDecode() const {
    return !decoding_ && decoded_ < chunks_ &&
           (decoded_ < sourceChunks_ || chunkDone_[decoded_ - sourceChunks_]);
  }
  bool CanResampleRows() const {
    return nextChunk_ < decoded_ && ChunkEnd(nextChunk_) - 1 < RowsKept() + ringRows_;
  }
  bool CanResampleBand() const {
    return nextBand_ < bandCount_ && bands_.needs[nextBand_] < RowsDone();
  }

  Task NextTask(std::unique_lock<std::mutex>& lock) {
    for (;;) {
      if (error_ || bandsDone_ == bandCount_) return {Kind::kNone, 0};
      if (CancelRequested(cancel_)) {
        Stop(std::make_exception_ptr(ConversionCancelled()));
        return {Kind::kNone, 0};
      }
      // With threads to spare the decoding, which no two threads can share, goes first; alone,
      // a thread takes the work that frees memory first and keeps the rows it made in cache.
      if (decodeFirst_ && CanDecode()) break;
      if (CanResampleBand()) return {Kind::kVertical, nextBand_++};
      if (CanResampleRows()) return {Kind::kHorizontal, nextChunk_++};
      if (CanDecode()) break;
      changed_.wait(lock);
    }
    decoding_ = true;
    return {Kind::kDecode, decoded_};
  }

  void Done(const Task& task) {
    switch (task.kind) {
      case Kind::kDecode:
        decoding_ = false;
        ++decoded_;
        break;
      case Kind::kHorizontal:
        chunkDone_[task.index] = 1;
        while (chunksDone_ < chunks_ && chunkDone_[chunksDone_]) ++chunksDone_;
        break;
      case Kind::kVertical:
        bandDone_[task.index] = 1;
        while (bandsDone_ < bandCount_ && bandDone_[bandsDone_]) ++bandsDone_;
        break;
      case Kind::kNone:
        break;
    }
  }

  void Stop(std::exception_ptr error) {
    if (!error_) error_ = error;
    changed_.notify_all();
  }

  void Run(const Task& task, Scratch& scratch) {
    switch (task.kind) {
      case Kind::kDecode: Decode(task.index); break;
      case Kind::kHorizontal: ResampleRows(task.index, scratch); break;
      case Kind::kVertical: ResampleBand(task.index, scratch); break;
      case Kind::kNone: break;
    }
  }

  void Decode(int chunk) {
    std::uint8_t* rows[kChunkRows];
    const int first = chunk * kChunkRows;
    const int count = ChunkEnd(chunk) - first;
    for (int i = 0; i < count; ++i) rows[i] = SourceRow(first + i);
    source_.read(rows, count);
  }

  void ResampleRows(int chunk, Scratch& scratch) {
    const int end = ChunkEnd(chunk);
    for (int row = chunk * kChunkRows; row < end; row += kBatch) {
      const int n = std::min(kBatch, end - row);
      const std::uint8_t* in[kBatch];
      float* out[kBatch];
      for (int r = 0; r < n; ++r) {
        in[r] = SourceRow(row + r);
        out[r] = IntermediateRow(row + r);
        if (source_.bitsPerPixel == 8) in[r] = Colour(in[r], r, scratch);
      }
      pass_.Run(in, n, out, scratch.floats.data());
    }
  }

  // A grey row as 24-bit colour, as Strecth turns a grey picture before resampling it.
  const std::uint8_t* Colour(const std::uint8_t* grey, int r, Scratch& scratch) const {
    std::uint8_t* bgr = scratch.colour.data() + static_cast<std::size_t>(r) * 3 * source_.width;
    for (int x = 0; x < source_.width; ++x) bgr[3 * x] = bgr[3 * x + 1] = bgr[3 * x + 2] = grey[x];
    return bgr;
  }

  void ResampleBand(int band, Scratch& scratch) {
    const int first = band * kBandRows;
    const int count = std::min(height_, first + kBandRows) - first;
    const int values = 3 * width_;
    for (int i = first; i < first + count; ++i) {
      std::uint8_t* out = scratch.band.data() + (first + count - 1 - i) * sink_.stride;
      const int n = rows_.Count(i);
      if (n == 0) {
        std::memset(out, 0, static_cast<std::size_t>(values));
        continue;
      }
      for (int c = 0; c < n; ++c) {
        const int e = rows_.first[i] + c;
        scratch.rows[c] = IntermediateRow(rows_.pixel[e]);
        const float w = rows_.weight[e];
        scratch.weights[c] = Quad{{w, w, w, w}};
      }
      BlendRows(scratch.rows.data(), scratch.weights.data(), n, values, nullptr, false, out);
    }
    sink_.write(first, count, scratch.band.data());
  }

  const RowSource& source_;
  const BandSink& sink_;
  const ContributorTable& rows_;
  const HorizontalPass pass_;
  const BandRows bands_;
  const int width_, height_;
  const int chunks_, bandCount_;
  const bool decodeFirst_;
  const CancelFlag* cancel_;

  int ringRows_ = 0;
  int sourceChunks_ = 0;
  std::size_t sourceRowBytes_ = 0;
  std::vector<std::uint8_t> sourceRing_;
  FloatBuffer intermediate_{0};

  // Guarded by mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;
  int decoded_ = 0;  // chunks decoded, all in order
  bool decoding_ = false;
  int nextChunk_ = 0;  // the next chunk for the horizontal pass
  std::vector<char> chunkDone_;
  int chunksDone_ = 0;  // chunks done, all of them below this one
  int nextBand_ = 0;
  std::vector<char> bandDone_;
  int bandsDone_ = 0;  // bands done, all of them below this one
  std::exception_ptr error_;
};

}  // namespace

bool CanResampleAsStream(int sourceWidth, int sourceHeight, int width, int height,
                         const ResampleFilter& filter) {
  if (sourceWidth < 1 || sourceHeight < 1 || width < 1 || height < 1) return false;
  const StandardFloatingPoint standard;  // the same lists as the work will have
  const ContributorTable rows =
      ComputeContributors(sourceHeight, height, filter.filter, filter.support);
  const int ring = RingRows(PlanBands(rows, sourceHeight), sourceHeight, 1);
  return RingBytes(ring, width) <= kWindowBudget;
}

void ResampleStream(const RowSource& source, int width, int height, const ResampleFilter& filter,
                    const BandSink& sink, int threads, const CancelFlag* cancel) {
  if (source.width < 1 || source.height < 1) throw Error("Source bitmap too small");
  if (width < 1 || height < 1) return;
  ThrowIfCancelled(cancel);
  // The weights and the positions they are taken at depend on the rounding mode too.
  const StandardFloatingPoint standard;
  const ContributorTable columns =
      ComputeContributors(source.width, width, filter.filter, filter.support);
  const ContributorTable rows =
      ComputeContributors(source.height, height, filter.filter, filter.support);
  threads = std::max(1, threads);
  StreamJob job(source, sink, columns, rows, threads, cancel);

  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back([&job] { job.Work(); });
    } catch (const std::system_error&) {
      break;  // the system gives no more threads: those there are do the work
    }
  }
  job.Work();
  for (std::thread& helper : helpers) helper.join();
  if (std::exception_ptr error = job.FirstError()) std::rethrow_exception(error);
}

}  // namespace dova
