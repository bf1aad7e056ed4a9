// Reads the first worksheet of a BIFF5 or BIFF8 workbook from its OLE2 compound file. Every
// read is checked against the end of its record: a damaged or hostile file is refused, never
// read past.

#include "core/exchange/gsf_support.h"
#include "core/exchange/workbook_internal.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>

#include <QStringDecoder>

#include <cstring>
#include <utility>
#include <vector>

namespace quarbel::workbook_detail {
namespace {

constexpr quint16 BofRecord = 0x0809;
constexpr quint16 EofRecord = 0x000A;
constexpr quint16 CodepageRecord = 0x0042;
constexpr quint16 FilePassRecord = 0x002F;
constexpr quint16 BoundSheetRecord = 0x0085;
constexpr quint16 SstRecord = 0x00FC;
constexpr quint16 ContinueRecord = 0x003C;
constexpr quint16 LabelSstRecord = 0x00FD;
constexpr quint16 LabelRecord = 0x0204;
constexpr quint16 RStringRecord = 0x00D6;
constexpr quint16 NumberRecord = 0x0203;
constexpr quint16 RkRecord = 0x027E;
constexpr quint16 MulRkRecord = 0x00BD;
constexpr quint16 FormulaRecord = 0x0006;
constexpr quint16 StringRecord = 0x0207;
constexpr quint16 BoolErrRecord = 0x0205;

constexpr qint64 MaxStreamBytes = 256ll << 20;

struct Failure {
    QString why;
};

quint16 u16(QByteArrayView b, qsizetype at) {
    if (at < 0 || at + 2 > b.size())
        throw Failure{QStringLiteral("record too short")};
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

quint32 u32(QByteArrayView b, qsizetype at) {
    return u16(b, at) | quint32(u16(b, at + 2)) << 16;
}

double f64(QByteArrayView b, qsizetype at) {
    const quint64 bits = u32(b, at) | quint64(u32(b, at + 4)) << 32;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QByteArrayView from(QByteArrayView b, qsizetype at) {
    if (at > b.size())
        throw Failure{QStringLiteral("record too short")};
    return b.sliced(at);
}

double rkValue(quint32 rk) {
    double v;
    if (rk & 2) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 1) ? v / 100 : v;
}

struct Record {
    quint16 type{0};
    QByteArrayView body;
};

class Records {
  public:
    explicit Records(QByteArrayView stream) : m_stream(stream) {}

    bool atEnd() const { return m_pos + 4 > m_stream.size(); }
    quint16 peekType() const { return atEnd() ? 0 : u16(m_stream, m_pos); }
    Record next() {
        if (atEnd())
            throw Failure{QStringLiteral("the stream ends before its last record")};
        Record r;
        r.type = u16(m_stream, m_pos);
        const quint16 size = u16(m_stream, m_pos + 2);
        if (m_pos + 4 + size > m_stream.size())
            throw Failure{QStringLiteral("a record runs past the end of the stream")};
        r.body = m_stream.sliced(m_pos + 4, size);
        m_pos += 4 + size;
        return r;
    }
    // A record's body together with the CONTINUE records that follow it.
    std::vector<QByteArrayView> withContinues(QByteArrayView first) {
        std::vector<QByteArrayView> parts{first};
        while (peekType() == ContinueRecord)
            parts.push_back(next().body);
        return parts;
    }
    void seek(qint64 pos) {
        if (pos < 0 || pos >= m_stream.size())
            throw Failure{QStringLiteral("the worksheet lies outside the stream")};
        m_pos = qsizetype(pos);
    }

  private:
    QByteArrayView m_stream;
    qsizetype m_pos{0};
};

// Reads across a record and its CONTINUE records. Characters of a string that go on in the
// next record are preceded there by a fresh flag byte that says their width.
class Pieces {
  public:
    explicit Pieces(std::vector<QByteArrayView> parts, qsizetype start = 0)
        : m_parts(std::move(parts)), m_at(start) {}

    bool atEnd() {
        settle();
        return m_part >= m_parts.size();
    }
    quint8 byte() {
        settle();
        if (m_part >= m_parts.size())
            throw Failure{QStringLiteral("a string runs past its records")};
        return quint8(m_parts[m_part][m_at++]);
    }
    quint16 word() {
        const quint8 lo = byte();
        return quint16(lo | byte() << 8);
    }
    quint32 dword() {
        const quint16 lo = word();
        return lo | quint32(word()) << 16;
    }
    void skip(qint64 n) {
        while (n > 0) {
            settle();
            if (m_part >= m_parts.size())
                throw Failure{QStringLiteral("a string runs past its records")};
            const qint64 step = std::min<qint64>(n, m_parts[m_part].size() - m_at);
            m_at += qsizetype(step);
            n -= step;
        }
    }

    // The BIFF8 string form: count, flags, optional run and extension sizes, characters.
    QString unicodeString() {
        const quint16 count = word();
        const quint8 flags = byte();
        bool wide = flags & 0x01;
        const quint16 runs = (flags & 0x08) ? word() : 0;
        const quint32 extension = (flags & 0x04) ? dword() : 0;
        QString s;
        s.reserve(count);
        qsizetype left = count;
        while (left > 0) {
            if (m_part >= m_parts.size())
                throw Failure{QStringLiteral("a string runs past its records")};
            if (m_at >= m_parts[m_part].size()) {
                ++m_part;
                m_at = 0;
                if (m_part >= m_parts.size() || m_parts[m_part].isEmpty())
                    throw Failure{QStringLiteral("a string runs past its records")};
                wide = quint8(m_parts[m_part][m_at++]) & 0x01;
                continue;
            }
            const QByteArrayView part = m_parts[m_part];
            const qsizetype unit = wide ? 2 : 1;
            const qsizetype n = std::min((part.size() - m_at) / unit, left);
            if (n == 0)
                throw Failure{QStringLiteral("a string splits a character")};
            for (qsizetype i = 0; i < n; ++i, m_at += unit)
                s.append(wide ? QChar(u16(part, m_at)) : QChar(quint8(part[m_at])));
            left -= n;
        }
        skip(qint64(runs) * 4);
        skip(extension);
        return s;
    }

  private:
    void settle() {
        while (m_part < m_parts.size() && m_at >= m_parts[m_part].size()) {
            ++m_part;
            m_at = 0;
        }
    }

    std::vector<QByteArrayView> m_parts;
    std::size_t m_part{0};
    qsizetype m_at{0};
};

const char *codepageName(quint16 codepage) {
    switch (codepage) {
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
    case 32768:
        return "macintosh";
    case 65001:
        return "UTF-8";
    default:
        return "windows-1252";
    }
}

class Workbook {
  public:
    Workbook(QByteArrayView stream, int columnCount)
        : m_records(stream), m_cells(columnCount, XlsMaxRows) {}

    SheetColumns read() {
        const Record bof = m_records.next();
        if (bof.type != BofRecord)
            throw Failure{QStringLiteral("not a BIFF5 or BIFF8 workbook")};
        m_biff8 = u16(bof.body, 0) == 0x0600;
        if (!m_biff8 && u16(bof.body, 0) != 0x0500)
            throw Failure{QStringLiteral("unsupported workbook version")};
        readGlobals();
        if (m_sheetOffset < 0)
            throw Failure{QStringLiteral("the workbook has no worksheet")};
        m_records.seek(m_sheetOffset);
        if (m_records.next().type != BofRecord)
            throw Failure{QStringLiteral("the worksheet does not start with BOF")};
        readSheet();
        return m_cells.finish();
    }

  private:
    void readGlobals() {
        for (;;) {
            const Record r = m_records.next();
            switch (r.type) {
            case EofRecord:
                return;
            case FilePassRecord:
                throw Failure{QStringLiteral("the workbook is encrypted")};
            case CodepageRecord:
                m_decoder = QStringDecoder(codepageName(u16(r.body, 0)));
                break;
            case BoundSheetRecord:
                // The first worksheet; charts and macro sheets are not worksheets.
                if (m_sheetOffset < 0 && quint8(r.body.size() > 5 ? r.body[5] : 0xFF) == 0)
                    m_sheetOffset = u32(r.body, 0);
                break;
            case SstRecord:
                readSst(m_records.withContinues(r.body));
                break;
            default:
                break;
            }
        }
    }

    void readSst(std::vector<QByteArrayView> parts) {
        const quint32 unique = u32(parts.front(), 4);
        Pieces p(std::move(parts), 8);
        while (quint32(m_sst.size()) < unique && !p.atEnd())
            m_sst.append(p.unicodeString());
    }

    void readSheet() {
        int depth = 1;
        while (depth > 0) {
            const Record r = m_records.next();
            if (r.type == BofRecord)
                ++depth; // an embedded chart: its records are not cells
            else if (r.type == EofRecord)
                --depth;
            else if (depth == 1)
                readCell(r);
        }
    }

    // One record of the worksheet itself: a cell's value, or nothing to read.
    void readCell(const Record &r) {
        const QByteArrayView b = r.body;
        switch (r.type) {
        case LabelSstRecord: {
            const quint32 index = u32(b, 6);
            set(b, index < quint32(m_sst.size()) ? m_sst[index] : QString());
            break;
        }
        case LabelRecord:
        case RStringRecord:
            set(b, text(from(b, 6)));
            break;
        case NumberRecord:
            set(b, numberCellText(f64(b, 6)));
            break;
        case RkRecord:
            set(b, numberCellText(rkValue(u32(b, 6))));
            break;
        case MulRkRecord:
            readMulRk(b);
            break;
        case FormulaRecord:
            readFormula(b);
            break;
        case StringRecord:
            readFormulaString(b);
            break;
        case BoolErrRecord:
            if (u16(b, 6) >> 8 == 0) // not an error value
                set(b, (u16(b, 6) & 0xFF) ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
            else
                set(b, QString());
            break;
        default:
            break;
        }
    }

    void readMulRk(QByteArrayView b) {
        const quint16 row = u16(b, 0);
        const quint16 first = u16(b, 2);
        for (qsizetype i = 0; 4 + i * 6 + 6 <= b.size() - 2; ++i)
            put(row, first + i, numberCellText(rkValue(u32(b, 4 + i * 6 + 2))));
    }

    // A formula's cached result; a string result follows in the next STRING record.
    void readFormula(QByteArrayView b) {
        m_pendingString.reset();
        if (u16(b, 12) != 0xFFFF) {
            set(b, numberCellText(f64(b, 6)));
        } else if (quint8(b[6]) == 0) {
            m_pendingString = {u16(b, 0), u16(b, 2)};
        } else if (quint8(b[6]) == 1) {
            set(b, quint8(b[8]) ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        } else {
            set(b, QString()); // an error value, or an empty string
        }
    }

    void readFormulaString(QByteArrayView b) {
        const auto parts = m_records.withContinues(b);
        if (const auto cell = std::exchange(m_pendingString, std::nullopt))
            put(cell->first, cell->second, m_biff8 ? Pieces(parts).unicodeString() : text(b));
    }

    // A cell's string: in BIFF8 the string form with its flags, in BIFF5 a count and bytes in
    // the workbook's code page.
    QString text(QByteArrayView b) {
        if (m_biff8)
            return Pieces({b}).unicodeString();
        const quint16 count = u16(b, 0);
        if (2 + count > b.size())
            throw Failure{QStringLiteral("a string runs past its record")};
        const QByteArrayView bytes = b.sliced(2, count);
        if (!m_decoder.isValid())
            return QString::fromLatin1(bytes);
        m_decoder.resetState();
        return m_decoder.decode(bytes);
    }

    void set(QByteArrayView cell, const QString &value) { put(u16(cell, 0), u16(cell, 2), value); }
    void put(qsizetype row, qsizetype column, const QString &value) {
        m_cells.set(row, column, value);
    }

    Records m_records;
    SheetBuilder m_cells;
    QStringDecoder m_decoder{codepageName(1252)};
    QStringList m_sst;
    qint64 m_sheetOffset{-1};
    bool m_biff8{true};
    // The cell of a string formula whose value the next STRING record holds.
    std::optional<std::pair<quint16, quint16>> m_pendingString;
};

template <class T> struct Unref {
    void operator()(T *p) const {
        if (p)
            g_object_unref(p);
    }
};
template <class T> using GPtr = std::unique_ptr<T, Unref<T>>;

QByteArray workbookStream(const QByteArray &file) {
    ensureGsf();
    GPtr<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8 *>(file.constData()),
                                              file.size(), FALSE));
    GError *err = nullptr;
    GPtr<GsfInfile> ole(input ? gsf_infile_msole_new(input.get(), &err) : nullptr);
    if (err)
        g_error_free(err);
    if (!ole)
        throw Failure{QStringLiteral("not a compound file")};
    // BIFF8 lives in "Workbook", BIFF5 in "Book".
    GPtr<GsfInput> stream;
    for (const char *wanted : {"Workbook", "Book"}) {
        for (int i = 0; !stream && i < gsf_infile_num_children(ole.get()); ++i) {
            const char *name = gsf_infile_name_by_index(ole.get(), i);
            if (name && g_ascii_strcasecmp(name, wanted) == 0)
                stream.reset(gsf_infile_child_by_index(ole.get(), i));
        }
    }
    if (!stream)
        throw Failure{QStringLiteral("the compound file holds no workbook")};
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0 || size > MaxStreamBytes)
        throw Failure{QStringLiteral("the workbook stream is too large")};
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    constexpr qsizetype Chunk = 1 << 16;
    for (qsizetype at = 0; at < bytes.size(); at += Chunk) {
        const qsizetype n = std::min(Chunk, bytes.size() - at);
        if (!gsf_input_read(stream.get(), std::size_t(n),
                            reinterpret_cast<guint8 *>(bytes.data() + at)))
            throw Failure{QStringLiteral("the workbook stream cannot be read")};
    }
    return bytes;
}

} // namespace

SheetColumns readXls(const QByteArray &bytes, int columnCount) {
    try {
        const QByteArray stream = workbookStream(bytes);
        return Workbook(stream, columnCount).read();
    } catch (const Failure &failure) {
        SheetColumns failed;
        failed.error = failure.why;
        return failed;
    }
}

} // namespace quarbel::workbook_detail
