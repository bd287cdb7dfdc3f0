#include "imaging/ImgJPEGDecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgJPEGLibrary.h"

#include <algorithm>
#include <climits>

namespace {

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

// Huffman codes take a bit at least for each block of 8 x 8 samples, and the components'
// blocks cover at least half the picture at full resolution.
constexpr int64_t kLargestPixelsPerByte = 2 * 64 * 8;

struct SourceManager {
    jpeg_source_mgr pub;
    jpeg_progress_mgr progress;
    ImgProgressNotification* notification;
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// Past the end the picture is closed with an end marker, so a truncated file still shows
// what it has.
boolean FillInputBuffer(j_decompress_ptr info) {
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = kEndOfImage;
    info->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = info->src;
    if (static_cast<unsigned long>(count) > src->bytes_in_buffer) {
        FillInputBuffer(info);
        return;
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void Progress(j_common_ptr info) {
    auto* manager = reinterpret_cast<SourceManager*>(reinterpret_cast<j_decompress_ptr>(info)->src);
    jpeg_progress_mgr& p = manager->progress;
    if (!manager->notification || p.pass_limit <= 0 || p.total_passes <= 0) return;
    double pass = static_cast<double>(p.pass_counter) / static_cast<double>(p.pass_limit);
    manager->notification->OnProgress((pass + p.completed_passes) / p.total_passes);
}

} // namespace

struct ImgJPEGDecompressor {
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    SourceManager source;
};

ImgJPEGDecoder::ImgJPEGDecoder() : m_pJpeg(new ImgJPEGDecompressor{}) {
    ImgJPEGInstallErrorManager(&m_pJpeg->error);
    m_pJpeg->info.err = &m_pJpeg->error;
    jpeg_CreateDecompress(&m_pJpeg->info, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
    // The library's own buffers (whole-image coefficients of progressive files) under the cap.
    m_pJpeg->info.mem->max_memory_to_use = static_cast<long>(std::min<int64_t>(kImgMaxBytes, LONG_MAX));
}

ImgJPEGDecoder::~ImgJPEGDecoder() {
    jpeg_destroy_decompress(&m_pJpeg->info);
}

void ImgJPEGDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    jpeg_decompress_struct& info = m_pJpeg->info;
    SourceManager& manager = m_pJpeg->source;
    // What is left of the source, not its whole size: a prefix (PICT, EPS) may be consumed.
    size_t left = static_cast<size_t>(source->GetBytesLeft());
    manager.pub.next_input_byte = source->ReadEverything();
    manager.pub.bytes_in_buffer = left;
    manager.pub.init_source = InitSource;
    manager.pub.fill_input_buffer = FillInputBuffer;
    manager.pub.skip_input_data = SkipInputData;
    manager.pub.resync_to_restart = jpeg_resync_to_restart;
    manager.pub.term_source = TermSource;
    manager.progress.progress_monitor = Progress;
    manager.notification = source->GetProgressNotification();
    info.src = &manager.pub;
    info.progress = &manager.progress;

    try {
        jpeg_read_header(&info, TRUE);
        CheckPictureSize(info.image_width, info.image_height);
        // A truncated file still shows what it has, but a few bytes claiming a huge picture
        // are refused before anything is allocated. Arithmetic coding can take less than a
        // bit a block; such files keep only the layer's cap.
        if (!info.arith_code)
            CheckExpansion(int64_t(info.image_width) * info.image_height,
                           static_cast<int64_t>(manager.pub.bytes_in_buffer), kLargestPixelsPerByte);
        if (m_bFastUpsampling) info.do_fancy_upsampling = FALSE;
        info.dct_method = JDCT_FLOAT;
        bool gray = info.out_color_space == JCS_GRAYSCALE;
        // The library writes blue, green, red and a filler straight into the bitmap's lines.
        if (!gray) info.out_color_space = JCS_EXT_BGRX;
        jpeg_start_decompress(&info);
        int32_t width = static_cast<int32_t>(info.output_width);
        int32_t height = static_cast<int32_t>(info.output_height);
        bitmap->Create(width, height, gray ? 8 : 32, false);
        if (bitmap->GetBytesPerLine() < size_t(width) * info.output_components)
            RaiseError(kImgBadData, "JPEG line longer than the bitmap's.");
        {
            ImgBitmapLock lock(bitmap, false, true);
            JSAMPARRAY lines = const_cast<JSAMPARRAY>(bitmap->GetLineArray());
            while (info.output_scanline < info.output_height) {
                JDIMENSION done = info.output_scanline;
                if (jpeg_read_scanlines(&info, lines + done, info.output_height - done) == 0) break;
            }
        }
        jpeg_finish_decompress(&info);
        bitmap->SetResolution(info.X_density > 1 ? info.X_density : 72,
                              info.Y_density > 1 ? info.Y_density : 72);
    } catch (...) { // whatever was thrown: the long-lived object must take the next picture
        info.progress = nullptr;
        jpeg_abort_decompress(&info);
        throw;
    }
    info.progress = nullptr;
}
