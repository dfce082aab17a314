// libjpeg's headers, in the order they need: they take FILE and size_t from the standard
// headers without including them (the MinGW build of the library says so loudly).
#pragma once

// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on
