// dova.lst as an older version, another program or a broken disk left it, with any list cursor:
// the list is loaded into the grid, coloured, saved at exit and loaded again. The grid always has
// a row, the cursor stays on one, every row is named after its path, and what was saved loads
// as the same list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_program.h"
#include "picturelist/picture_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dova::testing::TestApp& app = dova::FuzzProgram();
  dova::AppContext& context = app.ctx();
  const int cursor = size > 0 ? static_cast<std::int8_t>(data[0]) : 0;
  const std::string bytes =
      size > 0 ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1) : std::string();
  dova::WriteFuzzFile(context.DataDir + "dova.lst", bytes);

  dova::FileGridControl& grid = context.form.FileGrid;
  grid.rows = {dova::GridRow{}};
  grid.SelectRows(0, 0);
  dova::LoadPictureList(context, cursor);
  dova::FuzzCheck(grid.RowCount() >= 1, "the grid has no row");
  dova::FuzzCheck(
      grid.selTop >= 0 && grid.selTop < grid.RowCount() && grid.selTop == grid.selBottom,
      "the cursor is off the list");
  for (const dova::GridRow& row : grid.rows) {
    dova::FuzzCheck(row[0] == dova::FileNameOf(row[2]), "a row is not named after its path");
    const dova::CellColours colours =
        dova::FileGridCellColours(row[1], context.ScreenAspect, false);
    const bool sized = row[1].find('x') != std::string::npos;
    dova::FuzzCheck(sized != (colours.background == dova::Rgb{224, 224, 255}),
                    "light blue is not for the rows without a size");
  }

  const std::vector<dova::GridRow> loaded = grid.rows;
  dova::FuzzCheck(dova::SavePictureList(context), "the list was not saved");
  grid.rows = {dova::GridRow{}};
  dova::LoadPictureList(context, 0);
  dova::FuzzCheck(grid.rows == loaded, "the saved list loads as another list");
  return 0;
}
