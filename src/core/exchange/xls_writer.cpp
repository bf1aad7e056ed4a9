// Writes a BIFF8 workbook of one worksheet whose cells are all shared strings, inside an OLE2
// compound file.

#include "core/exchange/gsf_support.h"
#include "core/exchange/workbook_internal.h"

#include <gsf/gsf-doc-meta-data.h>
#include <gsf/gsf-meta-names.h>
#include <gsf/gsf-msole-utils.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-timestamp.h>

#include <QHash>

#include <array>
#include <vector>

namespace quarbel::workbook_detail {
namespace {

constexpr quint16 BofRecord = 0x0809;
constexpr quint16 EofRecord = 0x000A;
constexpr quint16 CodepageRecord = 0x0042;
constexpr quint16 Window1Record = 0x003D;
constexpr quint16 FontRecord = 0x0031;
constexpr quint16 XfRecord = 0x00E0;
constexpr quint16 StyleRecord = 0x0293;
constexpr quint16 BoundSheetRecord = 0x0085;
constexpr quint16 SstRecord = 0x00FC;
constexpr quint16 ContinueRecord = 0x003C;
constexpr quint16 ExtSstRecord = 0x00FF;
constexpr quint16 DimensionsRecord = 0x0200;
constexpr quint16 LabelSstRecord = 0x00FD;
constexpr quint16 Window2Record = 0x023E;

// The largest record body readers accept.
constexpr qsizetype MaxBody = 8224;
// Cells refer to the one cell format, which follows the 15 style formats.
constexpr quint16 CellXf = 15;

void put16(QByteArray &out, quint32 v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void put32(QByteArray &out, quint32 v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void record(QByteArray &out, quint16 type, const QByteArray &body) {
    put16(out, type);
    put16(out, quint32(body.size()));
    out.append(body);
}

QByteArray bof(quint16 kind) {
    QByteArray b;
    put16(b, 0x0600); // BIFF8
    put16(b, kind);
    put16(b, 0x0DBB); // build
    put16(b, 0x07CC); // year
    put32(b, 0);      // file history
    put32(b, 0x0006); // lowest version that can read it
    return b;
}

bool fitsLatin1(QStringView s) {
    for (QChar c : s)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

// Text in the format's string form: one flag byte, then Latin-1 bytes or UTF-16LE units.
void putChars(QByteArray &out, QStringView s, bool wide) {
    for (QChar c : s) {
        if (wide)
            put16(out, c.unicode());
        else
            out.append(char(c.unicode()));
    }
}

QByteArray globals(quint32 sheetOffset, const QByteArray &sst) {
    QByteArray out;
    record(out, BofRecord, bof(0x0005));
    {
        QByteArray b;
        put16(b, 1200); // UTF-16
        record(out, CodepageRecord, b);
    }
    {
        QByteArray b;
        for (quint32 v : {0u, 0u, 0x3A5Cu, 0x23BEu, 0x0038u, 0u, 0u, 1u, 0x0258u})
            put16(b, v);
        record(out, Window1Record, b);
    }
    // Four fonts: index 4 is reserved, so 0..3 are the ones a reader expects first.
    for (int i = 0; i < 4; ++i) {
        QByteArray b;
        put16(b, 200);    // 10 points, in twips
        put16(b, 0);      // attributes
        put16(b, 0x7FFF); // automatic colour
        put16(b, 400);    // normal weight
        put16(b, 0);      // no escapement
        b.append(char(0));
        b.append(char(0)); // family
        b.append(char(1)); // charset: default
        b.append(char(0));
        const QString name = QStringLiteral("Arial");
        b.append(char(name.size()));
        b.append(char(0));
        putChars(b, name, false);
        record(out, FontRecord, b);
    }
    for (int i = 0; i <= int(CellXf); ++i) {
        const bool style = i < int(CellXf);
        QByteArray b;
        put16(b, 0);                         // font
        put16(b, 0);                         // number format: General
        put16(b, style ? 0xFFF5 : 0x0001);   // locked; style XF or parent 0
        b.append(char(0x20));                // bottom aligned
        b.append(char(0));                   // rotation
        b.append(char(0));                   // indent
        b.append(char(style ? 0xF4 : 0x00)); // attributes in use
        put32(b, 0);                         // borders
        put32(b, 0);                         // border colours
        put16(b, 0x20C0);                    // pattern colours
        record(out, XfRecord, b);
    }
    {
        QByteArray b;
        put16(b, 0x8000);  // built-in style of XF 0
        b.append(char(0)); // Normal
        b.append(char(0xFF));
        record(out, StyleRecord, b);
    }
    {
        QByteArray b;
        put32(b, sheetOffset);
        b.append(char(0)); // visible
        b.append(char(0)); // worksheet
        const QString name = QStringLiteral("Sheet1");
        b.append(char(name.size()));
        b.append(char(0));
        putChars(b, name, false);
        record(out, BoundSheetRecord, b);
    }
    out.append(sst);
    return out;
}

// The shared-string table split into SST and CONTINUE records, followed by EXTSST. A string's
// header never straddles two records; its characters may, and a continued part starts with its
// own flag byte. UTF-16 surrogate pairs stay in one record.
class SstWriter {
  public:
    SstWriter(qsizetype streamOffset, quint32 total, quint32 unique)
        : m_streamOffset(streamOffset), m_perBucket(std::max<quint32>(8, unique / 128 + 1)) {
        put32(m_body, total);
        put32(m_body, unique);
    }

    void add(const QString &s) {
        const bool wide = !fitsLatin1(s);
        const qsizetype unit = wide ? 2 : 1;
        if (MaxBody - m_body.size() < 3 + 2 * unit)
            flush();
        if (m_index % m_perBucket == 0) {
            m_buckets.push_back({quint32(m_streamOffset + m_done.size() + 4 + m_body.size()),
                                 quint16(4 + m_body.size())});
        }
        ++m_index;
        put16(m_body, quint32(s.size()));
        m_body.append(char(wide ? 1 : 0));
        qsizetype at = 0;
        while (at < s.size()) {
            qsizetype n = std::min((MaxBody - m_body.size()) / unit, s.size() - at);
            if (n < s.size() - at && n > 0 && s[at + n - 1].isHighSurrogate())
                --n;
            putChars(m_body, QStringView(s).mid(at, n), wide);
            at += n;
            if (at < s.size()) {
                flush();
                m_body.append(char(wide ? 1 : 0));
            }
        }
    }

    QByteArray finish() {
        flush();
        QByteArray ext;
        put16(ext, m_perBucket);
        for (const auto &[offset, inRecord] : m_buckets) {
            put32(ext, offset);
            put16(ext, inRecord);
            put16(ext, 0);
        }
        record(m_done, ExtSstRecord, ext);
        return m_done;
    }

  private:
    void flush() {
        record(m_done, m_first ? SstRecord : ContinueRecord, m_body);
        m_first = false;
        m_body.clear();
    }

    qsizetype m_streamOffset{0};
    quint32 m_perBucket{8};
    quint32 m_index{0};
    bool m_first{true};
    QByteArray m_body;
    QByteArray m_done;
    std::vector<std::pair<quint32, quint16>> m_buckets;
};

QByteArray sheet(const QList<QStringList> &columns, qsizetype rows,
                 const std::vector<quint32> &indexes) {
    QByteArray out;
    record(out, BofRecord, bof(0x0010));
    {
        qsizetype firstRow = -1, lastRow = -1, firstCol = -1, lastCol = -1;
        for (qsizetype c = 0; c < columns.size(); ++c)
            for (qsizetype r = 0; r < std::min(rows, columns[c].size()); ++r)
                if (!columns[c][r].isEmpty()) {
                    firstRow = firstRow < 0 ? r : std::min(firstRow, r);
                    lastRow = std::max(lastRow, r);
                    firstCol = firstCol < 0 ? c : std::min(firstCol, c);
                    lastCol = std::max(lastCol, c);
                }
        QByteArray b;
        put32(b, quint32(std::max<qsizetype>(firstRow, 0)));
        put32(b, quint32(lastRow + 1));
        put16(b, quint32(std::max<qsizetype>(firstCol, 0)));
        put16(b, quint32(lastCol + 1));
        put16(b, 0);
        record(out, DimensionsRecord, b);
    }
    std::size_t next = 0;
    for (qsizetype r = 0; r < rows; ++r)
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (r >= columns[c].size() || columns[c][r].isEmpty())
                continue; // an empty cell has no record
            QByteArray b;
            put16(b, quint32(r));
            put16(b, quint32(c));
            put16(b, CellXf);
            put32(b, indexes[next++]);
            record(out, LabelSstRecord, b);
        }
    {
        QByteArray b;
        for (quint32 v : {0x06B6u, 0u, 0u, 0x40u, 0u, 0u, 0u, 0u, 0u})
            put16(b, v);
        record(out, Window2Record, b);
    }
    record(out, EofRecord, {});
    return out;
}

void insertText(GsfDocMetaData *meta, const char *name, const QString &text) {
    if (text.isEmpty())
        return;
    auto *value = g_new0(GValue, 1);
    g_value_init(value, G_TYPE_STRING);
    g_value_set_string(value, text.toUtf8().constData());
    gsf_doc_meta_data_insert(meta, g_strdup(name), value);
}

// The summary information stream: title, comments, the application and the time it was made.
// Its strings are written as UTF-8 (code page 65001), which carries Chinese text.
bool writeSummary(GsfOutfile *ole, const WorkbookProperties &properties) {
    GsfDocMetaData *meta = gsf_doc_meta_data_new();
    insertText(meta, GSF_META_NAME_TITLE, properties.title);
    insertText(meta, GSF_META_NAME_DESCRIPTION, properties.comments);
    insertText(meta, GSF_META_NAME_GENERATOR, properties.application);
    if (properties.created.isValid()) {
        GsfTimestamp *stamp = gsf_timestamp_new();
        gsf_timestamp_set_time(stamp, properties.created.toSecsSinceEpoch());
        auto *value = g_new0(GValue, 1);
        g_value_init(value, GSF_TIMESTAMP_TYPE);
        gsf_timestamp_to_value(stamp, value);
        gsf_timestamp_free(stamp);
        gsf_doc_meta_data_insert(meta, g_strdup(GSF_META_NAME_DATE_CREATED), value);
    }
    GsfOutput *child = gsf_outfile_new_child(ole, "\005SummaryInformation", FALSE);
    bool ok = child && gsf_doc_meta_data_write_to_msole(meta, child, FALSE);
    if (child) {
        ok = gsf_output_close(child) && ok;
        g_object_unref(child);
    }
    g_object_unref(meta);
    return ok;
}

std::optional<QByteArray> compoundFile(const QByteArray &stream, QString *error,
                                       const WorkbookProperties &properties) {
    ensureGsf();
    GsfOutput *memory = gsf_output_memory_new();
    GsfOutfile *ole = gsf_outfile_msole_new(memory);
    GsfOutput *child = ole ? gsf_outfile_new_child(ole, "Workbook", FALSE) : nullptr;
    bool ok = child && gsf_output_write(child, std::size_t(stream.size()),
                                        reinterpret_cast<const guint8 *>(stream.constData()));
    if (child) {
        ok = gsf_output_close(child) && ok;
        g_object_unref(child);
    }
    if (ok && ole && !properties.application.isEmpty())
        ok = writeSummary(ole, properties);
    if (ole) {
        ok = gsf_output_close(GSF_OUTPUT(ole)) && ok;
        g_object_unref(ole);
    }
    std::optional<QByteArray> bytes;
    if (ok) {
        const guint8 *data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
        bytes =
            QByteArray(reinterpret_cast<const char *>(data), qsizetype(gsf_output_size(memory)));
    } else if (error) {
        *error = QStringLiteral("the compound file could not be built");
    }
    if (!gsf_output_is_closed(memory))
        gsf_output_close(memory);
    g_object_unref(memory);
    return bytes;
}

} // namespace

std::optional<QByteArray> xlsBytes(const QList<QStringList> &columns, QString *error,
                                   const WorkbookProperties &properties) {
    const qsizetype rows = workbookRowCount(columns);
    if (const QString why = checkCells(columns, rows, XlsMaxRows); !why.isEmpty()) {
        if (error)
            *error = why;
        return std::nullopt;
    }

    // Shared strings in order of first use; each cell refers to its string's index.
    QHash<QString, quint32> seen;
    QStringList unique;
    std::vector<quint32> indexes;
    for (qsizetype r = 0; r < rows; ++r)
        for (const QStringList &column : columns) {
            if (r >= column.size() || column[r].isEmpty())
                continue;
            auto it = seen.find(column[r]);
            if (it == seen.end()) {
                it = seen.insert(column[r], quint32(unique.size()));
                unique.append(column[r]);
            }
            indexes.push_back(*it);
        }

    // The SST's offsets and the sheet's offset depend on the size of what precedes them, so
    // the globals are built once with placeholders to measure them.
    const qsizetype sstOffset = globals(0, {}).size();
    SstWriter sst(sstOffset, quint32(indexes.size()), quint32(unique.size()));
    for (const QString &s : unique)
        sst.add(s);
    const QByteArray sstRecords = sst.finish();
    QByteArray eof;
    record(eof, EofRecord, {});
    const qsizetype sheetOffset = sstOffset + sstRecords.size() + eof.size();
    QByteArray stream = globals(quint32(sheetOffset), sstRecords) + eof;
    stream += sheet(columns, rows, indexes);
    // Shorter streams would go to the compound file's small-block area, which some readers
    // of this format do not accept for the workbook.
    if (stream.size() < 4096)
        stream.append(QByteArray(4096 - stream.size(), '\0'));
    return compoundFile(stream, error, properties);
}

} // namespace quarbel::workbook_detail
