#include "form/channel_grid.h"

#include <algorithm>

namespace dova {

void LoadChannels(AppContext& context, IniFile& settings) {
  context.channels.Load(settings);
  FitChannelGrid(context);
  context.form.StringGrid1.row = 0;
  context.form.StringGrid1.topRow = 0;
}

bool SaveChannels(const AppContext& context, IniFile& settings) {
  return context.channels.Save(settings);
}

void FitChannelGrid(AppContext& context) {
  ChannelGridControl& grid = context.form.StringGrid1;
  grid.rowCount = std::max(1, context.channels.Count());
  grid.row = std::clamp(grid.row, 0, grid.rowCount - 1);
  grid.topRow = std::clamp(grid.topRow, 0, grid.rowCount - 1);
}

void StringGrid1Click(AppContext& context, int row) {
  if (row < 0 || row >= context.channels.Count()) return;
  context.form.StringGrid1.row = row;
  context.channels.MakeCurrent(row);
  context.platform.pump.Repaint();
}

std::string ChannelLogoPath(const AppContext& context, int index) {
  if (index < 0 || index >= context.channels.Count()) return std::string();
  const std::string& image = context.channels.Channels()[index].Image;
  if (image.empty() || image == "-") return std::string();
  return context.DataDir + image;
}

}  // namespace dova
