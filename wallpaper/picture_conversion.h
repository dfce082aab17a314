// Turning a picture (JPEG, PNG or BMP) into a BMP file as a stream: the picture is decoded a few
// rows at a time and each row, resampled or not, goes to its place in the file as soon as it is
// made. Nothing here touches a window or the message queue: any thread may convert, and another
// thread may stop the work through a CancelFlag. On failure or cancellation no file is left at
// the target.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "wallpaper/cancellation.h"
#include "wallpaper/picture_reader.h"
#include "wallpaper/placement.h"
#include "wallpaper/resample.h"

namespace dova {

// Threads for the work: `requested` when above 0, otherwise one per processor the system
// reports (at least 1).
int ConversionThreads(int requested);

// Writes the rest of the picture `reader` gives (all of it for a fresh reader) as a BMP file at
// `target`, at its own size and in its own pixel format. Throws dova::Error when the picture
// cannot be decoded or the file written, ConversionCancelled when `cancel` was set.
void WritePictureAsBmp(PictureRowReader& reader, const std::string& target,
                       const CancelFlag* cancel = nullptr);

// Writes the picture of a fresh `reader` as a 24-bit BMP file at `target` as `placement` says:
// its source part resampled with `filter` to the target's size (copied when the sizes are
// equal) on a canvas of `placement.background`, on `threads` threads. Rows outside the source
// part are decoded all the same, so a damaged picture is refused whatever part of it is used.
// The resampled part has the same bits as Strecth of that part of the decoded picture. Throws
// as WritePictureAsBmp.
void PlacePictureToBmp(PictureRowReader& reader, const std::string& target,
                       const Placement& placement, const ResampleFilter& filter, int threads,
                       const CancelFlag* cancel = nullptr);

// Takes rows first .. first + count - 1 of a 24-bit canvas, bottom-up as a BMP file holds them
// (row first + count - 1 at the start of `band`), each padded to four bytes. Called from several
// threads at once, each with its own rows, in no particular order.
using CanvasBandWriter = std::function<void(int first, int count, const std::uint8_t* band)>;

// Makes the canvas of PlacePictureToBmp and hands every row of it to `writer`, once.
void PlacePictureRows(PictureRowReader& reader, const Placement& placement,
                      const ResampleFilter& filter, int threads, const CancelFlag* cancel,
                      const CanvasBandWriter& writer);

// Resamples the picture of a fresh `reader` to width x height (both at least 1) with `filter`
// and writes it as a 24-bit BMP file at `target`, on `threads` threads (the calling one
// included). The same bits as Strecth of the decoded picture. Throws as WritePictureAsBmp.
void ResamplePictureToBmp(PictureRowReader& reader, const std::string& target, int width,
                          int height, const ResampleFilter& filter, int threads,
                          const CancelFlag* cancel = nullptr);

}  // namespace dova
