// The channel grid StringGrid1 on the picture-of-the-day page: one row per channel of the
// catalogue (at least one row, so an empty catalogue shows one empty row). A click makes the
// row's channel the only current one.
#pragma once

#include <string>

#include "form/app_context.h"
#include "platform/ini_file.h"

namespace dova {

// Reads the channels from the settings file (a missing file gives no channels) and fits the
// grid to them: row count = channel count (at least 1), selection and scroll position at row 0.
void LoadChannels(AppContext& context, IniFile& settings);

// Writes every channel back into the settings file. False when the file refused a write.
bool SaveChannels(const AppContext& context, IniFile& settings);

// Sets the grid's row count to the catalogue's (at least 1) and keeps its rows inside.
void FitChannelGrid(AppContext& context);

// The user selected `row`: its channel becomes the only current one and the grid is repainted.
// A row without a channel (the empty catalogue's one row) changes nothing.
void StringGrid1Click(AppContext& context, int row);

// Full path of a channel's logo bitmap (DataDir + IMAGE), or "" when the channel names none
// ("-" or empty). Whether the file exists and is a bitmap is the drawing's concern.
std::string ChannelLogoPath(const AppContext& context, int index);

}  // namespace dova
