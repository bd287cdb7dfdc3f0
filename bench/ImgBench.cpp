// img_bench JPEG PNG [RUNS]: the image layer's decode of a JPEG and a PNG beside the same
// library build's own plain loop, median of RUNS after one warm-up each.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"

extern "C" {
#include <jpeglib.h>
}
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// One read of the whole file, as the layer's file source does.
Bytes ReadFile(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) throw std::runtime_error(std::string("cannot read ") + path);
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    Bytes data(size > 0 ? static_cast<size_t>(size) : 0);
    size_t got = std::fread(data.data(), 1, data.size(), file);
    std::fclose(file);
    if (got != data.size()) throw std::runtime_error(std::string("cannot read ") + path);
    return data;
}

double Median(int runs, const std::function<void()>& run) {
    run(); // warm-up
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Layer(const char* path) {
    ImgAnyDecoder decoder;
    ImgWinBitmap bitmap;
    decoder.DecodeFile(path, &bitmap);
}

// libjpeg-turbo's own loop with the layer's settings: rows straight into a fresh buffer.
void RawJpeg(const char* path) {
    Bytes data = ReadFile(path);
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_FLOAT;
    info.do_fancy_upsampling = FALSE;
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    const size_t stride = size_t(info.output_width) * 4;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[stride * info.output_height]);
    std::vector<JSAMPROW> rows(info.output_height);
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = pixels.get() + y * stride;
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows.data() + info.output_scanline, info.output_height - info.output_scanline);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

struct Reader {
    const Bytes* data;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (count > reader->data->size() - reader->at) png_error(png, "short");
    std::memcpy(out, reader->data->data() + reader->at, count);
    reader->at += count;
}

// A plain libpng read with the layer's transforms into row pointers of a fresh buffer.
void RawPng(const char* path) {
    Bytes data = ReadFile(path);
    Reader reader{&data, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_packing(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t stride = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[stride * height]);
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = pixels.get() + y * stride;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

void Report(const char* name, int runs, const char* path, void (*raw)(const char*)) {
    double layer = Median(runs, [&] { Layer(path); });
    double own = Median(runs, [&] { raw(path); });
    std::printf("%s layer_ms=%.1f raw_ms=%.1f ratio=%.3f\n", name, layer, own, layer / own);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: img_bench JPEG PNG [RUNS]\n");
        return 1;
    }
    int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
    try {
        Report("jpeg", runs, argv[1], RawJpeg);
        Report("png", runs, argv[2], RawPng);
    } catch (const ImgTextException& e) {
        std::fprintf(stderr, "img_bench: %s\n", e.GetText());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "img_bench: %s\n", e.what());
        return 2;
    }
    return 0;
}
