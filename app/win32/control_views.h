// The views of the design's control kinds (see control_view.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/win32/control_view.h"

namespace dova {

// The tab strip of the four pages.
class PageControlView : public ControlView {
 public:
  using ControlView::ControlView;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost&, bool) override {}
  bool FollowsEnabled() const override { return false; }
};

// A page: a panel on the form over the page control's area, its caption and highlight shown
// on the tab strip. Its place and state follow the page control.
class TabSheetView : public ControlView {
 public:
  using ControlView::ControlView;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost& host, bool fresh) override;
  bool FollowsEnabled() const override { return false; }
  bool FollowsVisibleAndPlace() const override { return false; }

 private:
  HWND tabs_ = nullptr;
  std::string caption_;
  bool highlighted_ = false;
};

// A group box: a panel with the group frame and its caption.
class GroupBoxView : public ControlView {
 public:
  using ControlView::ControlView;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost& host, bool fresh) override;
  bool FollowsEnabled() const override { return false; }

 private:
  std::string caption_;
};

// Check boxes and radio buttons: a caption and a check.
class CaptionedButtonView : public ControlView {
 public:
  using ControlView::ControlView;

 protected:
  void SyncContent(ControlHost& host, bool fresh) override;
  // As designed, or wider when the caption needs it and the parent has the room.
  RECT Place(ControlHost& host) const override;
  bool MovesOnFirstSync() const override { return true; }
  virtual bool Checked() const = 0;
  virtual void CheckShown(bool checked);

 private:
  std::string caption_;
  bool checked_ = false;
};

class CheckBoxView : public CaptionedButtonView {
 public:
  using CaptionedButtonView::CaptionedButtonView;
  void Command(ControlHost& host, int code, bool user) override;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  bool Checked() const override;
};

// The model checks radio buttons (one per parent), so they are not automatic ones.
class RadioButtonView : public CaptionedButtonView {
 public:
  using CaptionedButtonView::CaptionedButtonView;
  void Command(ControlHost& host, int code, bool user) override;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  bool Checked() const override;
  void CheckShown(bool checked) override;
};

// A drop-down list that only allows picking an item.
class ComboBoxView : public ControlView {
 public:
  using ControlView::ControlView;
  void Command(ControlHost& host, int code, bool user) override;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost& host, bool fresh) override;
  RECT Place(ControlHost& host) const override;  // as high as its drop

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

// An edit field for the user's data (proxy address, port, login, password).
class EditView : public ControlView {
 public:
  using ControlView::ControlView;
  void Command(ControlHost& host, int code, bool user) override;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost& host, bool fresh) override;

 private:
  std::string text_;
};

// A label as wide as its text.
class LabelView : public ControlView {
 public:
  using ControlView::ControlView;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost& host, bool fresh) override;
  RECT Place(ControlHost& host) const override;
  bool MovesOnFirstSync() const override { return true; }

 private:
  std::string caption_;
};

// A flat glyph button of the list page with its hint.
class SpeedButtonView : public ControlView {
 public:
  using ControlView::ControlView;
  void Command(ControlHost& host, int code, bool user) override;
  void AttachTooltip(HWND tooltips) override;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost& host, bool fresh) override;

 private:
  bool showHint_ = false;
  std::string hint_;
};

// A speed button showing the colour of its model (the fit colour).
class ColorButtonView : public SpeedButtonView {
 public:
  using SpeedButtonView::SpeedButtonView;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost& host, bool fresh) override;
};

// The banner with the link to the program's web page.
class ImageView : public ControlView {
 public:
  using ControlView::ControlView;
  void Command(ControlHost& host, int code, bool user) override;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost&, bool) override {}
};

// The status bar along the window's bottom edge; it places itself.
class StatusBarView : public ControlView {
 public:
  using ControlView::ControlView;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost&, bool) override {}
  bool FollowsVisibleAndPlace() const override { return false; }
};

// The picture list; its rows are shown by the grid itself when the form is synced.
class FileGridControlView : public ControlView {
 public:
  FileGridControlView(Control& model, int id);
  ~FileGridControlView() override;
  void Rescale(ControlHost& host) override;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost&, bool) override {}

 private:
  std::unique_ptr<FileGridView> grid_;
};

// The channel grid.
class ChannelGridControlView : public ControlView {
 public:
  ChannelGridControlView(Control& model, int id);
  ~ChannelGridControlView() override;
  void Rescale(ControlHost& host) override;
  void Command(ControlHost& host, int code, bool user) override;

 protected:
  HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) override;
  void SyncContent(ControlHost&, bool) override {}

 private:
  std::unique_ptr<ChannelGridView> grid_;
};

}  // namespace dova
