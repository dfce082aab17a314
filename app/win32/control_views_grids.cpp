// The views of the two grids: the picture list and the channels.
#include <windows.h>

#include "app/main_form.h"
#include "app/win32/control_views.h"
#include "app/win32/view_channel_grid.h"
#include "app/win32/view_file_grid.h"

namespace dova {

FileGridControlView::FileGridControlView(Control& model, int id) : ControlView(model, id) {}
FileGridControlView::~FileGridControlView() = default;

HWND FileGridControlView::CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) {
  AppContext& context = host.Context();
  grid_ = std::make_unique<FileGridView>(
      parent, id_, place, host.Dpi(), host.Font(), static_cast<FileGridControl&>(model_),
      [&context](const std::string& sizeText, bool selected) {
        return FileGridCellColours(sizeText, context.ScreenAspect, selected);
      },
      host.FormWindow(), host.SelectionMessage());
  grid_->onDblClick = [&host] { host.Dispatch([&host] { host.Handlers().FileGridDblClick(); }); };
  host.AdoptFileGrid(grid_.get());
  return grid_->Handle();
}

void FileGridControlView::Rescale(ControlHost& host) {
  ControlView::Rescale(host);
  grid_->SetDpi(host.Dpi(), host.Font());
}

ChannelGridControlView::ChannelGridControlView(Control& model, int id) : ControlView(model, id) {}
ChannelGridControlView::~ChannelGridControlView() = default;

HWND ChannelGridControlView::CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) {
  grid_ = std::make_unique<ChannelGridView>(parent, id_, place, host.Dpi(), host.Context(),
                                            host.Marks());
  grid_->onClick = [&host](int row) {
    host.Dispatch([&host, row] { host.Handlers().StringGrid1Click(row); });
  };
  grid_->onDblClick = [&host](int row) {
    host.Dispatch([&host, row] { host.Handlers().StringGrid1DblClick(row); });
  };
  host.AdoptChannelGrid(grid_.get());
  return grid_->Handle();
}

void ChannelGridControlView::Rescale(ControlHost& host) {
  ControlView::Rescale(host);
  grid_->SetDpi(host.Dpi());
}

void ChannelGridControlView::Command(ControlHost& host, int code, bool user) {
  if (ReportFocus(host, code, LBN_SETFOCUS, LBN_KILLFOCUS)) return;
  if (user) grid_->OnCommand(code);
}

}  // namespace dova
