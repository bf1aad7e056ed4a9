// The .xlsx reader fed arbitrary bytes: either the whole file, or (odd first byte) the sheet
// and shared-string parts, split at the first NUL, inside a well-formed package, so that
// mutations reach the XML rather than dying in the zip checksums. The sheet is read while it
// is inflated; read again in pieces of a few bytes, it must give the same.
#include "workbook_check.h"

#include "core/exchange/workbook_internal.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>

namespace {

const char *const rootRels =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const char *const workbook =
    R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char *const workbookRels =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";

QByteArray package(const QByteArray &sheet, const QByteArray &shared) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QuaZip zip(&buffer);
        if (!zip.open(QuaZip::mdCreate))
            return {};
        const std::pair<const char *, QByteArray> parts[] = {
            {"_rels/.rels", rootRels},
            {"xl/workbook.xml", workbook},
            {"xl/_rels/workbook.xml.rels", workbookRels},
            {"xl/worksheets/sheet1.xml", sheet},
            {"xl/sharedStrings.xml", shared},
        };
        for (const auto &[name, bytes] : parts) {
            QuaZipFile file(&zip);
            // The sheet deflated, as it is read while it inflates; the rest stored, cheaper.
            const bool deflated = bytes == sheet;
            if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(name)), nullptr,
                           0, deflated ? Z_DEFLATED : 0, deflated ? 1 : 0))
                return {};
            file.write(bytes);
            file.close();
        }
        zip.close();
    }
    return buffer.data();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray payload(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QByteArray file = payload;
    if (data[0] & 1) {
        const qsizetype cut = payload.indexOf('\0');
        file = cut < 0 ? package(payload, {}) : package(payload.left(cut), payload.mid(cut + 1));
    }
    quarbel::fuzz::checkWorkbookRead(file, quarbel::WorkbookFormat::Xlsx);
    if (data[0] & 1) { // a sound deflated sheet: only where the pieces end may differ
        const quarbel::SheetColumns whole = quarbel::readWorkbookBytes(file, 2);
        const quarbel::SheetColumns pieces =
            quarbel::workbook_detail::readXlsx(file, 2, {1 + data[0] % 7, data[0] % 3});
        FUZZ_CHECK(pieces.error == whole.error);
        FUZZ_CHECK(pieces.columns == whole.columns);
        FUZZ_CHECK(pieces.ticks == whole.ticks);
    }
    return 0;
}
