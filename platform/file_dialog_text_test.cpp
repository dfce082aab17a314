#include "platform/file_dialog_text.h"

#include <gtest/gtest.h>

namespace dova {
namespace {

std::vector<std::string> Split(const std::string& buffer) {
  return SplitDialogSelection(buffer.data(), buffer.size());
}

TEST(FilterForDialog, BarsBecomeZeroBytesAndTheListEndsTwice) {
  EXPECT_EQ(FilterForDialog("All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG (*.jpg)|*.jpg"),
            std::string("All (*.jpg;*.jpeg)\0*.jpg;*.jpeg\0JPEG (*.jpg)\0*.jpg\0\0", 52));
  EXPECT_EQ(FilterForDialog(""), std::string("\0\0", 2));
}

TEST(SplitDialogSelection, OneFileIsAFullPath) {
  EXPECT_EQ(Split(std::string("C:\\Pictures\\sea.jpg\0\0", 21)),
            (std::vector<std::string>{"C:\\Pictures\\sea.jpg"}));
}

TEST(SplitDialogSelection, SeveralFilesFollowTheirDirectoryInTheDialogsOrder) {
  EXPECT_EQ(Split(std::string("C:\\Pictures\0b.jpg\0A.JPG\0\0", 25)),
            (std::vector<std::string>{"C:\\Pictures\\b.jpg", "C:\\Pictures\\A.JPG"}));
  // A drive's root already ends with its backslash.
  EXPECT_EQ(Split(std::string("D:\\\0x.jpg\0y.jpeg\0\0", 18)),
            (std::vector<std::string>{"D:\\x.jpg", "D:\\y.jpeg"}));
}

TEST(SplitDialogSelection, ThousandsOfNames) {
  std::string buffer = "C:\\Many";
  buffer.push_back('\0');
  for (int i = 0; i < 5000; ++i) {
    buffer += "picture" + std::to_string(i) + ".jpg";
    buffer.push_back('\0');
  }
  buffer.push_back('\0');
  const auto files = Split(buffer);
  ASSERT_EQ(files.size(), 5000u);
  EXPECT_EQ(files.front(), "C:\\Many\\picture0.jpg");
  EXPECT_EQ(files.back(), "C:\\Many\\picture4999.jpg");
}

TEST(SplitDialogSelection, AnEmptyOrUnterminatedBufferIsSafe) {
  EXPECT_TRUE(Split(std::string("\0\0", 2)).empty());
  EXPECT_TRUE(SplitDialogSelection("", 0).empty());
  // No terminating zero inside the buffer: the text stops at the buffer's end.
  EXPECT_EQ(Split("C:\\a.jpg"), (std::vector<std::string>{"C:\\a.jpg"}));
}

}  // namespace
}  // namespace dova
