// Decodes a JPEG's entropy-coded data once, to find data that ends early: the picture reader fills what is missing
// with grey and reports it only as a warning, so such a file would otherwise be shown and stored as if whole.
#include "records/RecordPicture.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

namespace quelm::records {

namespace {

struct CheckErrors {
    jpeg_error_mgr base; // first, so that the decoder's error pointer is also ours
    std::jmp_buf escape;
    bool endedEarly = false;
};

[[noreturn]] void OnFatalError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<CheckErrors*>(info->err)->escape, 1);
}

void OnMessage(j_common_ptr info, int level) {
    if (level >= 0)
        return; // trace messages
    auto* errors = reinterpret_cast<CheckErrors*>(info->err);
    ++errors->base.num_warnings;
    // "premature end of data segment" (a marker where data should go on) and "premature end of JPEG file".
    if (errors->base.msg_code == JWRN_HIT_MARKER || errors->base.msg_code == JWRN_JPEG_EOF)
        errors->endedEarly = true;
}

// Runs the decoder over the data at one eighth of the size: the entropy-coded data is read in full all the same.
// Only plain C objects live in this function, since a fatal error leaves it by longjmp.
bool DecodesToTheEnd(const unsigned char* data, unsigned long size) {
    jpeg_decompress_struct info{};
    CheckErrors errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnFatalError;
    errors.base.emit_message = OnMessage;
    jpeg_create_decompress(&info);
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&info);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * info.output_components, 1);
    while (info.output_scanline < info.output_height && !errors.endedEarly)
        jpeg_read_scanlines(&info, row, 1);
    if (!errors.endedEarly)
        jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return !errors.endedEarly;
}

} // namespace

bool JpegDataIsWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return false;
    const QByteArray bytes = file.readAll();
    return DecodesToTheEnd(reinterpret_cast<const unsigned char*>(bytes.constData()),
                           static_cast<unsigned long>(bytes.size()));
}

} // namespace quelm::records
