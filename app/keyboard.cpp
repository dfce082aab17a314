#include "app/keyboard.h"

#include "form/controller.h"
#include "form/picture_history.h"
#include "picturelist/list_editing.h"
#include "picturelist/picture_list.h"

namespace dova {

namespace {

void ListPageKey(AppContext& context, int key, ShiftState shift) {
  FormModel& f = context.form;
  const bool ctrl = shift.ctrl;
  if (ctrl && key == 'A') {
    f.FileGrid.SelectRows(0, f.FileGrid.RowCount() - 1);
  }
  if (key == keys::kAdd && f.SpeedButton1.enabled) SpeedButton1Click(context);
  if (ctrl && key == 'O' && f.SpeedButton1.enabled) SpeedButton1Click(context);
  if (ctrl && key == 'D' && f.SpeedButton2.enabled) SpeedButton2Click(context);
  if (key == keys::kDelete && f.SpeedButton3.enabled) SpeedButton3Click(context);
  if (ctrl && key == 'C' && f.SpeedButton4.enabled) SpeedButton4Click(context);
  if (ctrl && key == 'W' && f.SpeedButton5.enabled) SpeedButton5Click(context);
  if (ctrl && key == 'S' && f.SpeedButton6.enabled) SpeedButton6Click(context);
  if (ctrl && key == 'R' && f.SpeedButton7.enabled) SpeedButton7Click(context);
  if (key == keys::kReturn && f.SpeedButton8.enabled) FileGridDblClick(context);
}

}  // namespace

void HandleFormKey(AppContext& context, int key, ShiftState shift) {
  FormModel& f = context.form;
  if (f.activePage == 1) ListPageKey(context, key, shift);
  // Ctrl+Z on either mode's page, as the buttons there: Windows's own key for "undo".
  if (shift.ctrl && key == 'Z' && (f.activePage == 0 || f.activePage == 1) &&
      CanShowPreviousPicture(context))
    ShowPreviousPicture(context);
  if (key == keys::kF1) {
    // Without a focused control the page's own topic fits best.
    const std::string topic = HelpTopic(f.activePage, f.activeControl);
    context.platform.help.DisplayTopic(HelpAddress(context, topic));
  }
  if (key == keys::kEscape) context.platform.pump.Terminate();
}

}  // namespace dova
