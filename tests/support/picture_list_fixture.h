// What the picture list's tests share: a program with its data directory, the list grid, and
// a list of small JPEG pictures.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picturelist/picture_list.h"
#include "tests/support/test_app.h"
#include "tests/support/test_jpeg.h"

namespace dova {

struct PictureListTest : ::testing::Test {
  testing::TestApp app;
  AppContext& c = app.ctx();
  FileGridControl& grid = c.form.FileGrid;

  void SetUp() override { c.log.Open(c.DataDir + "dova.log"); }
  std::string ListFile() { return app.dir.ReadFile("Sites\\dova.lst"); }
  void WriteListFile(const std::string& contents) {
    app.dir.WriteFile("Sites\\dova.lst", contents);
  }
  std::string Log() { return app.dir.ReadFile("Sites\\dova.log"); }
  // A list of `count` rows whose paths are JPEG files of the test directory.
  std::vector<std::string> MakePictures(int count) {
    std::vector<std::string> paths;
    grid.rows.clear();
    for (int i = 0; i < count; ++i) {
      paths.push_back(app.dir.Path() + "pic" + std::to_string(i) + ".jpg");
      testing::WriteTestJpeg(paths.back(), 64, 48);
      grid.rows.push_back(MakeListRow(paths.back(), "64x48"));
    }
    return paths;
  }
};

}  // namespace dova
