#include "imaging/ImgJPEGEncoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgJPEGLibrary.h"
#include "imaging/ImgPictureDecoder.h"

#include <algorithm>

namespace {

constexpr size_t kBufferSize = 8192;

UINT16 Density(int32_t value) { return static_cast<UINT16>(std::clamp<int32_t>(value, 0, 65535)); }

struct Destination {
    jpeg_destination_mgr pub;
    ImgDataSink* sink;
    JOCTET* buffer;
};

void InitDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    d->buffer = static_cast<JOCTET*>((*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                                kBufferSize * sizeof(JOCTET)));
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = kBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    if (d->sink->Write(static_cast<int32_t>(kBufferSize), d->buffer) != static_cast<int32_t>(kBufferSize))
        ERREXIT(info, JERR_FILE_WRITE);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = kBufferSize;
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    auto count = static_cast<int32_t>(kBufferSize - d->pub.free_in_buffer);
    if (count > 0 && d->sink->Write(count, d->buffer) != count) ERREXIT(info, JERR_FILE_WRITE);
}

} // namespace

struct ImgJPEGCompressor {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    Destination destination;
};

ImgJPEGEncoder::ImgJPEGEncoder() : m_pJpeg(new ImgJPEGCompressor{}) {
    ImgJPEGInstallErrorManager(&m_pJpeg->error);
    m_pJpeg->info.err = &m_pJpeg->error;
    jpeg_CreateCompress(&m_pJpeg->info, JPEG_LIB_VERSION, sizeof(jpeg_compress_struct));
}

ImgJPEGEncoder::~ImgJPEGEncoder() { jpeg_destroy_compress(&m_pJpeg->info); }

void ImgJPEGEncoder::DoEncode(ImgBitmap* bitmap, ImgDataSink* sink) {
    // Other depths have shorter lines than the four bytes a pixel the library reads.
    if (bitmap->GetBitsPerPixel() != 32)
        ImgPictureDecoder::RaiseError(kImgNotSupported, "JPEG writer needs a 32-bpp bitmap, not %d bpp.",
                                      bitmap->GetBitsPerPixel());
    jpeg_compress_struct& info = m_pJpeg->info;
    Destination& d = m_pJpeg->destination;
    d.pub.init_destination = InitDestination;
    d.pub.empty_output_buffer = EmptyOutputBuffer;
    d.pub.term_destination = TermDestination;
    d.sink = sink;
    info.dest = &d.pub;
    try {
        info.image_width = static_cast<JDIMENSION>(bitmap->GetWidth());
        info.image_height = static_cast<JDIMENSION>(bitmap->GetHeight());
        // The bitmap's blue, green, red and unused bytes go to the library as they are.
        info.input_components = 4;
        info.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&info);
        info.X_density = Density(bitmap->GetXResolution());
        info.Y_density = Density(bitmap->GetYResolution());
        info.dct_method = JDCT_FLOAT;
        if (m_nQuality) jpeg_set_quality(&info, m_nQuality, TRUE);
        info.optimize_coding = m_nOptimizeCoding ? TRUE : FALSE;
        info.smoothing_factor = m_nSmoothingFactor;
        if (m_nXDensity || m_nYDensity) {
            info.density_unit = 1;
            info.X_density = Density(m_nXDensity);
            info.Y_density = Density(m_nYDensity);
        }
        jpeg_start_compress(&info, TRUE);
        {
            ImgBitmapLock lock(bitmap, true, false);
            JSAMPARRAY lines = const_cast<JSAMPARRAY>(bitmap->GetLineArray());
            while (info.next_scanline < info.image_height) {
                JDIMENSION done = info.next_scanline;
                if (jpeg_write_scanlines(&info, lines + done, info.image_height - done) == 0) break;
            }
        }
        jpeg_finish_compress(&info);
    } catch (...) { // whatever was thrown: the long-lived object must take the next picture
        jpeg_abort_compress(&info);
        throw;
    }
}
