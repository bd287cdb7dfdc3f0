#include "imaging/ImgJPEGLibrary.h"
#include "imaging/ImgPictureDecoder.h"
#include "imaging/ImgTrace.h"

namespace {

[[noreturn]] void ErrorExit(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    ImgPictureDecoder::RaiseError(kImgNotSupported, "%s", message);
}

void OutputMessage(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    ImgTrace(2, "libjpeg: %s\n", message);
}

} // namespace

void ImgJPEGInstallErrorManager(jpeg_error_mgr* manager) {
    jpeg_std_error(manager);
    manager->error_exit = ErrorExit;
    manager->output_message = OutputMessage;
}
