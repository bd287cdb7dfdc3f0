#pragma once
// The layer's trace: lines at or below the level go to the file when a path is set. Nothing
// sets the path, so by default it writes nothing.

#include <cstdint>
#include <string>

extern int32_t g_nImgTraceLevel;
extern std::string g_strImgTracePath;

void ImgTrace(int32_t level, const char* format, ...) __attribute__((format(printf, 2, 3)));
