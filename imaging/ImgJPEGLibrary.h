#pragma once
// What the JPEG reader and writer share of libjpeg: its headers and the error manager that
// turns the library's fatal errors into the layer's exception.

#include <cstddef>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

// The standard error routines with the fatal exit replaced: the message goes out as code 6.
// Warnings go to the trace.
void ImgJPEGInstallErrorManager(jpeg_error_mgr* manager);
