// The .xls reader fed arbitrary bytes: either the whole file, or (odd first byte) the
// workbook stream inside a well-formed compound file, so that mutations reach the records.
#include "workbook_check.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

namespace {

QByteArray compoundFile(const QByteArray &stream) {
    GsfOutput *memory = gsf_output_memory_new();
    GsfOutfile *ole = gsf_outfile_msole_new(memory);
    GsfOutput *child = gsf_outfile_new_child(ole, "Workbook", FALSE);
    gsf_output_write(child, std::size_t(stream.size()),
                     reinterpret_cast<const guint8 *>(stream.constData()));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    const QByteArray file(
        reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory))),
        qsizetype(gsf_output_size(memory)));
    if (!gsf_output_is_closed(memory))
        gsf_output_close(memory);
    g_object_unref(memory);
    return file;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    gsf_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray payload(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    quarbel::fuzz::checkWorkbookRead((data[0] & 1) ? compoundFile(payload) : payload,
                                     quarbel::WorkbookFormat::Xls);
    return 0;
}
