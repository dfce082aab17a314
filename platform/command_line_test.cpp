#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace dova {
namespace {

TEST(CommandLineTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ(CommandLineTail("Dova.exe minimized"), "minimized");
  EXPECT_EQ(CommandLineTail("C:\\Dova\\Dova.exe \t  minimized  "), "minimized  ");
  EXPECT_EQ(CommandLineTail("\"C:\\Program Files\\Dova\\Dova.exe\" minimized"), "minimized");
  EXPECT_EQ(CommandLineTail("\"C:\\Program Files\\Dova\\Dova.exe\"minimized"), "minimized");
  EXPECT_EQ(CommandLineTail("Dova.exe\tone two"), "one two");
}

TEST(CommandLineTail, IsEmptyWithoutArguments) {
  EXPECT_EQ(CommandLineTail(""), "");
  EXPECT_EQ(CommandLineTail("Dova.exe"), "");
  EXPECT_EQ(CommandLineTail("Dova.exe   "), "");
  EXPECT_EQ(CommandLineTail("\"C:\\Dova\\Dova.exe\""), "");
  // A quote that is never closed takes the rest of the line as the name.
  EXPECT_EQ(CommandLineTail("\"C:\\Dova\\Dova.exe minimized"), "");
}

TEST(AsksToStartMinimized, TheWholeTrimmedWordOnly) {
  EXPECT_TRUE(AsksToStartMinimized("minimized"));
  EXPECT_TRUE(AsksToStartMinimized("  minimized \t\r\n"));
  EXPECT_FALSE(AsksToStartMinimized("MINIMIZED"));
  EXPECT_FALSE(AsksToStartMinimized("-minimized"));
  EXPECT_FALSE(AsksToStartMinimized("/minimized"));
  EXPECT_FALSE(AsksToStartMinimized("minimized now"));
  EXPECT_FALSE(AsksToStartMinimized(""));
}

}  // namespace
}  // namespace dova
