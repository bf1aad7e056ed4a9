// The title in a workbook's document properties, read without reading its cells.

#include "core/exchange/gsf_support.h"
#include "core/exchange/workbook.h"

#include <gsf/gsf-doc-meta-data.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-meta-names.h>
#include <gsf/gsf-msole-utils.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QFile>
#include <QXmlStreamReader>

namespace quarbel {
namespace {

// Far more than any properties part; a larger one is not read.
constexpr qint64 MaxPropertiesBytes = 1 << 20;

QString xlsTitle(const QString &path) {
    workbook_detail::ensureGsf();
    GsfInput *input = gsf_input_stdio_new(QFile::encodeName(path).constData(), nullptr);
    if (!input)
        return {};
    QString title;
    GsfInfile *ole = gsf_infile_msole_new(input, nullptr);
    GsfInput *stream = ole ? gsf_infile_child_by_name(ole, "\005SummaryInformation") : nullptr;
    if (stream && gsf_input_size(stream) <= MaxPropertiesBytes) {
        GsfDocMetaData *meta = gsf_doc_meta_data_new();
        if (GError *err = gsf_doc_meta_data_read_from_msole(meta, stream); err == nullptr) {
            if (GsfDocProp *prop = gsf_doc_meta_data_lookup(meta, GSF_META_NAME_TITLE)) {
                const GValue *value = gsf_doc_prop_get_val(prop);
                if (value && G_VALUE_HOLDS_STRING(value))
                    title = QString::fromUtf8(g_value_get_string(value));
            }
        } else {
            g_error_free(err);
        }
        g_object_unref(meta);
    }
    if (stream)
        g_object_unref(stream);
    if (ole)
        g_object_unref(ole);
    g_object_unref(input);
    return title;
}

QString xlsxTitle(const QString &path) {
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(QStringLiteral("docProps/core.xml")))
        return {};
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPropertiesBytes)
        return {};
    QXmlStreamReader xml(file.read(MaxPropertiesBytes));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("title") &&
            xml.namespaceUri() == QLatin1String("http://purl.org/dc/elements/1.1/"))
            return xml.readElementText();
    }
    return {};
}

} // namespace

QString workbookTitle(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(8);
    file.close();
    if (head.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)))
        return xlsTitle(path);
    if (head.startsWith("PK\x03\x04"))
        return xlsxTitle(path);
    return {};
}

} // namespace quarbel
