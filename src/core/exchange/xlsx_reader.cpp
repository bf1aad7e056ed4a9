// Reads the first worksheet of an Office Open XML workbook. The small parts (relationships,
// workbook, shared strings) are inflated piece by piece while a general XML parser reads them,
// counting the bytes actually inflated; the worksheet, nearly all of the file, is inflated
// whole within the size the archive states and read from its bytes by a scanner made for it.
// Document type declarations are refused outright.

#include "core/exchange/workbook_internal.h"

#include "core/entry/column_list.h"
#include "core/exchange/inflating_buffer.h"

#include <libdeflate.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quarbel::workbook_detail {
namespace {

// Inflated bytes allowed for one part of the archive. A sheet of a million rows of a few
// columns stays well below it.
constexpr qint64 MaxPartBytes = 256ll << 20;
constexpr qsizetype Chunk = 1 << 16;

struct Failure {
    QString why;
};

class PartXml {
  public:
    PartXml(QuaZip &zip, const QString &name) : m_name(name) {
        if (!zip.setCurrentFile(name, QuaZip::csInsensitive))
            throw Failure{QStringLiteral("missing part %1").arg(name)};
        m_file = std::make_unique<QuaZipFile>(&zip);
        if (!m_file->open(QIODevice::ReadOnly))
            throw Failure{QStringLiteral("cannot inflate %1").arg(name)};
    }

    QXmlStreamReader &xml() { return m_xml; }

    // The next token; malformed XML, declarations and damaged data end the reading.
    QXmlStreamReader::TokenType next() {
        for (;;) {
            const QXmlStreamReader::TokenType t = m_xml.readNext();
            if (t == QXmlStreamReader::Invalid) {
                if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !m_eof) {
                    feed();
                    continue;
                }
                throw Failure{QStringLiteral("%1: %2").arg(m_name, m_xml.errorString())};
            }
            if (t == QXmlStreamReader::DTD || t == QXmlStreamReader::EntityReference)
                throw Failure{QStringLiteral("%1: declarations are refused").arg(m_name)};
            if (t == QXmlStreamReader::EndDocument)
                finish();
            return t;
        }
    }

    // Reads the rest of the member so that its checksum is verified.
    void finish() {
        while (!m_eof)
            inflate();
        m_file->close();
        if (m_file->getZipError() != UNZ_OK)
            throw Failure{QStringLiteral("%1 is damaged").arg(m_name)};
    }

  private:
    QByteArray inflate() {
        QByteArray chunk(Chunk, Qt::Uninitialized);
        const qint64 n = m_file->read(chunk.data(), Chunk);
        if (n < 0 || m_file->getZipError() != UNZ_OK)
            throw Failure{QStringLiteral("%1 is damaged").arg(m_name)};
        m_eof = n == 0;
        m_inflated += n;
        if (m_inflated > MaxPartBytes)
            throw Failure{QStringLiteral("%1 inflates beyond the limit").arg(m_name)};
        chunk.truncate(n);
        return chunk;
    }
    void feed() { m_xml.addData(inflate()); }

    QString m_name;
    std::unique_ptr<QuaZipFile> m_file;
    QXmlStreamReader m_xml;
    qint64 m_inflated{0};
    bool m_eof{false};
};

// Text that cannot stand in XML is written as _xHHHH_.
QString unescape(const QString &s) {
    if (!s.contains(QLatin1String("_x")))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'_' && i + 6 < s.size() && s[i + 1] == u'x' && s[i + 6] == u'_') {
            bool ok = false;
            const ushort code = s.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out.append(QChar(code));
                i += 6;
                continue;
            }
        }
        out.append(s[i]);
    }
    return out;
}

struct Relationship {
    QString id;
    QString type;
    QString target;
};

QString folderOf(const QString &part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

// Targets are relative to the source part's folder unless they start with "/".
QString resolve(const QString &folder, const QString &target) {
    QString path = QDir::cleanPath(target.startsWith(u'/') ? target : folder + target);
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    return path;
}

QList<Relationship> relationships(QuaZip &zip, const QString &part) {
    const QString name = folderOf(part) + QStringLiteral("_rels/") +
                         part.mid(folderOf(part).size()) + QStringLiteral(".rels");
    QList<Relationship> found;
    if (!zip.setCurrentFile(name, QuaZip::csInsensitive))
        return found;
    PartXml xml(zip, name);
    while (xml.next() != QXmlStreamReader::EndDocument) {
        if (xml.xml().isStartElement() && xml.xml().name() == u"Relationship") {
            const QXmlStreamAttributes a = xml.xml().attributes();
            if (a.value(QLatin1String("TargetMode")) == u"External")
                continue;
            found.append({a.value(QLatin1String("Id")).toString(),
                          a.value(QLatin1String("Type")).toString(),
                          resolve(folderOf(part), a.value(QLatin1String("Target")).toString())});
        }
    }
    return found;
}

// Every shared string with the ticks the lists parse from it, so a text repeated in many
// cells is parsed once.
struct SharedStrings {
    QStringList texts;
    std::vector<std::int64_t> ticks;
};

// A member's packed data with what the archive states of it.
struct PackedPart {
    QByteArray packed; // a view into the archive where it lies there whole
    int method{0};
    qsizetype size{0};
    std::uint32_t crc{0};
    QString name;
};

// The size the archive states is checked before anything is allocated and the data may not
// inflate beyond it, so a small file that would inflate to gigabytes is refused at once; the
// real size and checksum must then match the stated ones.
PackedPart packedPart(QuaZip &zip, const QString &name, const QByteArray &archive) {
    const qint64 archiveBytes = archive.size();
    if (!zip.setCurrentFile(name, QuaZip::csInsensitive))
        throw Failure{QStringLiteral("missing part %1").arg(name)};
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info))
        throw Failure{QStringLiteral("cannot inflate %1").arg(name)};
    if (info.uncompressedSize > quint64(MaxPartBytes))
        throw Failure{QStringLiteral("%1 inflates beyond the limit").arg(name)};
    const Failure damaged{QStringLiteral("%1 is damaged").arg(name)};
    if (info.compressedSize > quint64(archiveBytes))
        throw damaged;
    QuaZipFile file(&zip);
    int method = 0, level = 0;
    if (!file.open(QIODevice::ReadOnly, &method, &level, true))
        throw Failure{QStringLiteral("cannot inflate %1").arg(name)};
    // The packed data is inflated where it lies in the archive, which is already in memory: a
    // copy of it would add its size to the import's peak.
    const ZPOS64_T at = unzGetCurrentFileZStreamPos64(zip.getUnzFile());
    QByteArray packed;
    if (at <= quint64(archiveBytes) && info.compressedSize <= quint64(archiveBytes) - at)
        packed = QByteArray::fromRawData(archive.constData() + at, qsizetype(info.compressedSize));
    else
        packed = file.read(qint64(info.compressedSize));
    file.close();
    if (packed.size() != qint64(info.compressedSize) || file.getZipError() != UNZ_OK)
        throw damaged;
    if (method != 0 && method != Z_DEFLATED)
        throw Failure{QStringLiteral("%1 uses an unknown compression").arg(name)};
    return {packed, method, qsizetype(info.uncompressedSize), std::uint32_t(info.crc), name};
}

Failure damagedPart(const PackedPart &part) {
    return Failure{QStringLiteral("%1 is damaged").arg(part.name)};
}

// The whole part inflated at once.
QByteArray inflated(const PackedPart &part) {
    const QByteArray &packed = part.packed;
    QByteArray plain;
    if (part.method == 0) {
        plain = QByteArray(packed.constData(), packed.size());
    } else {
        plain = QByteArray(part.size, Qt::Uninitialized);
        libdeflate_decompressor *inflater = libdeflate_alloc_decompressor();
        if (!inflater)
            throw Failure{QStringLiteral("cannot inflate %1").arg(part.name)};
        std::size_t size = 0;
        const libdeflate_result result =
            libdeflate_deflate_decompress(inflater, packed.constData(), std::size_t(packed.size()),
                                          plain.data(), std::size_t(plain.size()), &size);
        libdeflate_free_decompressor(inflater);
        if (result != LIBDEFLATE_SUCCESS)
            throw damagedPart(part);
        plain.truncate(qsizetype(size));
    }
    if (plain.size() != part.size ||
        libdeflate_crc32(0, plain.constData(), std::size_t(plain.size())) != part.crc)
        throw damagedPart(part);
    return plain;
}

QByteArray inflatePart(QuaZip &zip, const QString &name, const QByteArray &archive) {
    return inflated(packedPart(zip, name, archive));
}

// "AB12" → column 27, row 11 (both from 0); row -1 when the reference names only a column.
std::pair<qsizetype, qsizetype> cellReference(QStringView ref) {
    qsizetype column = 0, i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        const char16_t c = ref[i].toUpper().unicode();
        if (c < u'A' || c > u'Z' || i >= 3)
            throw Failure{QStringLiteral("bad cell reference %1").arg(ref)};
        column = column * 26 + (c - u'A' + 1);
    }
    if (i == 0)
        throw Failure{QStringLiteral("bad cell reference %1").arg(ref)};
    if (i == ref.size())
        return {column - 1, -1};
    bool ok = false;
    const qlonglong row = ref.mid(i).toLongLong(&ok);
    if (!ok || row < 1)
        throw Failure{QStringLiteral("bad cell reference %1").arg(ref)};
    return {column - 1, qsizetype(std::min<qlonglong>(row, XlsxMaxRows + 1)) - 1};
}

QString dateSerial(const QString &iso) {
    const QDateTime when = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!when.isValid())
        return iso;
    const double days = double(QDate(1899, 12, 30).daysTo(when.date())) +
                        when.time().msecsSinceStartOfDay() / 86400000.0;
    return numberCellText(days);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A text that starts with U+FEFF keeps it: the general conversion would take it for a byte
// order mark and drop it.
QString utf8(std::string_view s) {
    static constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (s.substr(0, bom.size()) == bom)
        return QChar(0xFEFF) + utf8(s.substr(bom.size()));
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// A count of 1 to 18 plain digits; -1 for any other text.
qlonglong plainCount(std::string_view s) {
    if (s.empty() || s.size() > 18)
        return -1;
    qlonglong n = 0;
    for (char c : s) {
        if (!isDigit(c))
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// A whole number as Qt reads it from text (spaces around it allowed); nullopt when it is none.
std::optional<qlonglong> wholeNumber(std::string_view s) {
    if (const qlonglong n = plainCount(s); n >= 0)
        return n;
    bool ok = false;
    const qlonglong n = utf8(s).trimmed().toLongLong(&ok);
    return ok ? std::optional<qlonglong>(n) : std::nullopt;
}

// Where the digits of a text of the form "-D+.D+" lie; nullopt for any other form.
struct PlainShape {
    bool negative{false};
    std::size_t wholeStart{0}, wholeDigits{0}, fractionStart{0}, fractionDigits{0};
};

std::optional<PlainShape> shapeOf(std::string_view v) {
    PlainShape p;
    std::size_t i = 0;
    p.negative = !v.empty() && v[0] == '-';
    if (p.negative)
        ++i;
    p.wholeStart = i;
    while (i < v.size() && isDigit(v[i]))
        ++i;
    p.wholeDigits = i - p.wholeStart;
    p.fractionStart = i;
    if (i < v.size()) {
        if (v[i] != '.')
            return std::nullopt;
        p.fractionStart = ++i;
        while (i < v.size() && isDigit(v[i]))
            ++i;
        p.fractionDigits = i - p.fractionStart;
        if (i != v.size() || p.fractionDigits == 0)
            return std::nullopt;
    }
    return p.wholeDigits > 0 ? std::optional<PlainShape>(p) : std::nullopt;
}

// Significant digits, leading zeros of the fraction not counted when the whole part is 0.
std::size_t significantDigits(std::string_view v, const PlainShape &p) {
    if (v[p.wholeStart] != '0')
        return p.wholeDigits + p.fractionDigits;
    const std::string_view fraction = v.substr(p.fractionStart, p.fractionDigits);
    const std::size_t zeros = std::min(fraction.find_first_not_of('0'), fraction.size());
    return fraction.size() - zeros;
}

// True when `v` is already the text numberCellText gives for its value: an optional minus,
// whole digits without a needless leading zero, a fraction without trailing zeros, at most 15
// significant digits (so the value's 15-digit form gives the same digits back) and not a
// negative zero. `ticks` is then what the lists parse from it, computed from the digits.
bool plainNumber(std::string_view v, std::int64_t &ticks) {
    const std::optional<PlainShape> shape = shapeOf(v);
    if (!shape || shape->wholeDigits > 15 || shape->fractionDigits > 15 ||
        (shape->wholeDigits > 1 && v[shape->wholeStart] == '0') ||
        (shape->fractionDigits > 0 && v.back() == '0'))
        return false;
    const std::size_t significant = significantDigits(v, *shape);
    if (significant > 15 || (significant == 0 && shape->negative))
        return false;
    // At most 15 whole digits and 4 decimals: below 10^19, so 64 unsigned bits hold it.
    std::uint64_t t = 0;
    for (std::size_t k = 0; k < shape->wholeDigits; ++k)
        t = t * 10 + std::uint64_t(v[shape->wholeStart + k] - '0');
    for (std::size_t k = 0; k < 4; ++k)
        t = t * 10 +
            (k < shape->fractionDigits ? std::uint64_t(v[shape->fractionStart + k] - '0') : 0);
    if (shape->fractionDigits > 4 && v[shape->fractionStart + 4] >= '5')
        ++t; // half away from zero, as the lists round
    if (t > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
        ticks = ColumnList::Missing;
    else
        ticks = shape->negative ? -std::int64_t(t) : std::int64_t(t);
    return true;
}

// FNV-1a over the bytes: cell texts are short.
struct BytesHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept {
        std::uint64_t h = 14695981039346656037ull;
        for (char c : s)
            h = (h ^ std::uint8_t(c)) * 1099511628211ull;
        return std::size_t(h);
    }
};

// The text of an element, gathered from its pieces. A single piece without references or
// carriage returns (nearly every value) is kept as a view into the document, not copied.
class Text {
  public:
    void clear() {
        m_view = {};
        m_own.clear();
        m_owned = false;
    }
    // `raw` is markup text (references expanded) or, with `cdata`, taken as it stands.
    void add(std::string_view raw, bool cdata);
    std::string_view view() const { return m_owned ? std::string_view(m_own) : m_view; }
    // True when view() points into the document.
    bool inDocument() const { return !m_owned; }

  private:
    std::string_view m_view;
    std::string m_own;
    bool m_owned{false};
};

void appendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// The character a reference such as "#x4E2D" or "#20013" names, if XML allows it.
char32_t characterReference(std::string_view name) {
    const bool hex = name.size() > 1 && name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    bool ok = !digits.empty() && digits.size() <= 8;
    char32_t code = 0;
    for (char d : digits) {
        int v = -1;
        if (isDigit(d))
            v = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
            v = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            v = d - 'A' + 10;
        ok = ok && v >= 0;
        code = code * (hex ? 16 : 10) + char32_t(std::max(v, 0));
    }
    const bool allowed = code == 0x9 || code == 0xA || code == 0xD ||
                         (code >= 0x20 && code <= 0xD7FF) || (code >= 0xE000 && code <= 0xFFFD) ||
                         (code >= 0x10000 && code <= 0x10FFFF);
    if (!ok || !allowed)
        throw Failure{QStringLiteral("bad character reference")};
    return code;
}

// The text of a reference (the name between "&" and ";"). Any entity but XML's own five is
// refused: only a document type declaration could define one, and those are refused.
void appendReference(std::string &out, std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> predefined{
        {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}}};
    for (const auto &[entity, c] : predefined)
        if (name == entity) {
            out.push_back(c);
            return;
        }
    if (name.size() > 1 && name[0] == '#')
        appendUtf8(out, characterReference(name));
    else
        throw Failure{QStringLiteral("entity references are refused")};
}

// Character data as XML defines it: line ends read as one line feed and, outside CDATA,
// references expanded.
void appendDecoded(std::string &out, std::string_view raw, bool cdata) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r') {
            out.push_back('\n');
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
        } else if (c != '&' || cdata) {
            out.push_back(c);
        } else {
            const std::size_t semi = raw.find(';', i);
            if (semi == std::string_view::npos)
                throw Failure{QStringLiteral("unterminated reference")};
            appendReference(out, raw.substr(i + 1, semi - i - 1));
            i = semi;
        }
    }
}

void Text::add(std::string_view raw, bool cdata) {
    const bool plain = std::none_of(raw.begin(), raw.end(),
                                    [cdata](char c) { return c == '\r' || (c == '&' && !cdata); });
    if (!m_owned && m_view.empty() && plain) {
        m_view = raw;
        return;
    }
    if (!m_owned) {
        m_own.assign(m_view);
        m_owned = true;
    }
    appendDecoded(m_own, raw, cdata);
}

enum class CellType { Number, Shared, Inline, Str, Bool, Error, Date };

CellType cellType(std::string_view t) {
    if (t == "s")
        return CellType::Shared;
    if (t == "inlineStr")
        return CellType::Inline;
    if (t == "str")
        return CellType::Str;
    if (t == "b")
        return CellType::Bool;
    if (t == "e")
        return CellType::Error;
    if (t == "d")
        return CellType::Date;
    return CellType::Number;
}

enum class Element { Row, Cell, Value, Inline, Phonetic, TextRun, Item, Other };

Element elementOf(std::string_view local) {
    switch (local.size()) {
    case 1:
        return local[0] == 'c'   ? Element::Cell
               : local[0] == 'v' ? Element::Value
               : local[0] == 't' ? Element::TextRun
                                 : Element::Other;
    case 2:
        return local == "is" ? Element::Inline : local == "si" ? Element::Item : Element::Other;
    case 3:
        return local == "row" ? Element::Row : local == "rPh" ? Element::Phonetic : Element::Other;
    default:
        return Element::Other;
    }
}

// A worksheet's or the shared strings' markup read from its bytes in one pass, without
// building a tree or text of every node: only rows, cells and their values (or the string
// items) are looked at. Markup that is not well formed (unbalanced tags, a second root, text
// outside the root) is refused, and so are document type declarations and entities other than
// XML's own.
class SheetScanner {
  public:
    SheetScanner(const QByteArray &xml, const SharedStrings &shared, SheetBuilder &cells)
        : m_begin(xml.constData()), m_p(xml.constData()), m_avail(xml.constData() + xml.size()),
          m_end(m_avail), m_shared(&shared), m_cells(&cells), m_cellStart(xml.constData()),
          m_releasedTo(xml.constData()) {}
    // The sheet read while it is still being inflated: the scanner waits where it overtakes the
    // inflation and hands back what it has read.
    SheetScanner(InflatingBuffer &stream, const SharedStrings &shared, SheetBuilder &cells)
        : m_begin(stream.data()), m_p(m_begin), m_avail(m_begin), m_end(m_begin + stream.size()),
          m_stream(&stream), m_shared(&shared), m_cells(&cells), m_cellStart(m_begin),
          m_releasedTo(m_begin) {}
    // Reads the shared strings' items into `strings` instead.
    SheetScanner(const QByteArray &xml, SharedStrings &strings)
        : m_begin(xml.constData()), m_p(xml.constData()), m_avail(xml.constData() + xml.size()),
          m_end(m_avail), m_strings(&strings) {}

    void run() {
        if (startsWith("\xEF\xBB\xBF"))
            m_p += 3;
        while (!atEnd()) {
            const char *lt = *m_p == '<' ? m_p : find('<', m_p);
            const char *textEnd = lt ? lt : m_avail;
            if (textEnd > m_p)
                text({m_p, std::size_t(textEnd - m_p)}, false);
            if (!lt)
                break;
            m_p = lt + 1;
            need(1);
            if (*m_p == '/')
                endTag();
            else if (*m_p == '?')
                skipPast("?>");
            else if (*m_p == '!')
                declaration();
            else
                startTag();
        }
        if (!m_rootSeen || !m_open.empty())
            throw Failure{QStringLiteral("the sheet's markup ends early")};
    }

  private:
    [[noreturn]] static void malformed() {
        throw Failure{QStringLiteral("the sheet's markup is not well formed")};
    }
    [[noreturn]] static void endsEarly() {
        throw Failure{QStringLiteral("the sheet's markup ends early")};
    }

    // Every read stays below m_avail, the bytes there now. While the part is being inflated,
    // more() waits for the next piece; it is false at the end of the part.
    bool more() {
        if (!m_stream)
            return false;
        const qsizetype have = m_avail - m_begin;
        m_avail = m_begin + m_stream->waitFor(have + 1);
        return m_avail - m_begin > have;
    }
    bool atEnd() {
        while (m_p >= m_avail)
            if (!more())
                return true;
        return false;
    }
    // At least `n` bytes from `at`, where the part holds that many.
    bool have(const char *at, std::size_t n) {
        while (std::size_t(m_avail - at) < n)
            if (!more())
                return false;
        return true;
    }
    // The first `c` at or after `from`; nullptr when the part has none.
    const char *find(char c, const char *from) {
        for (;;) {
            if (const void *at = std::memchr(from, c, std::size_t(m_avail - from)))
                return static_cast<const char *>(at);
            from = m_avail;
            if (!more())
                return nullptr;
        }
    }
    // Moves `q` to the first byte at or after it for which `stop` holds, or to the part's end.
    template <typename Stop> void advanceUntil(const char *&q, Stop stop) {
        for (;;) {
            while (q < m_avail && !stop(*q))
                ++q;
            if (q < m_avail || !more())
                return;
        }
    }

    void need(std::ptrdiff_t n) {
        if (!have(m_p, std::size_t(n)))
            endsEarly();
    }
    bool startsWith(std::string_view s) {
        return have(m_p, s.size()) && std::memcmp(m_p, s.data(), s.size()) == 0;
    }
    void skipPast(std::string_view marker) {
        std::size_t from = 0;
        for (;;) {
            const std::string_view rest(m_p, std::size_t(m_avail - m_p));
            const std::size_t at = rest.find(marker, from);
            if (at != std::string_view::npos) {
                m_p += at + marker.size();
                return;
            }
            from = rest.size() >= marker.size() ? rest.size() - marker.size() + 1 : 0;
            if (!more())
                endsEarly();
        }
    }
    void skipSpace() {
        advanceUntil(m_p, [](char c) { return !isSpace(c); });
    }

    void declaration() {
        if (startsWith("!--")) {
            skipPast("-->");
        } else if (startsWith("![CDATA[")) {
            m_p += 8;
            const char *start = m_p;
            skipPast("]]>");
            text({start, std::size_t(m_p - 3 - start)}, true);
        } else {
            throw Failure{QStringLiteral("declarations are refused")};
        }
    }

    void text(std::string_view s, bool cdata) {
        if (m_open.empty()) {
            if (cdata || std::any_of(s.begin(), s.end(), [](char c) { return !isSpace(c); }))
                malformed();
            return;
        }
        if (m_inValue)
            m_value.add(s, cdata);
        else if (m_inText)
            m_inline.add(s, cdata);
    }

    std::string_view name() {
        const char *start = m_p;
        advanceUntil(m_p, [](char c) { return isSpace(c) || c == '/' || c == '>' || c == '='; });
        if (m_p == start)
            malformed();
        return {start, std::size_t(m_p - start)};
    }

    // An attribute's value with its references expanded, kept in `scratch` when it has any.
    static std::string_view attributeValue(std::string_view raw, std::string &scratch) {
        if (raw.find('&') == std::string_view::npos)
            return raw;
        scratch.clear();
        appendDecoded(scratch, raw, false);
        return scratch;
    }

    // The "r" and "t" attributes of a start tag read up to its end; true when the tag closes
    // itself.
    bool attributes(std::string_view &r, std::string_view &t) {
        for (;;) {
            skipSpace();
            need(1);
            if (*m_p == '>') {
                ++m_p;
                return false;
            }
            if (*m_p == '/') {
                need(2);
                if (m_p[1] != '>')
                    malformed();
                m_p += 2;
                return true;
            }
            const std::string_view attribute = name();
            skipSpace();
            need(1);
            if (*m_p != '=')
                malformed();
            ++m_p;
            skipSpace();
            need(1);
            const std::string_view raw = quoted();
            if (attribute == "r")
                r = attributeValue(raw, m_rScratch);
            else if (attribute == "t")
                t = attributeValue(raw, m_tScratch);
        }
    }

    std::string_view quoted() {
        const char quote = *m_p;
        if (quote != '"' && quote != '\'')
            malformed();
        ++m_p;
        const char *close = find(quote, m_p);
        if (!close)
            endsEarly();
        const std::string_view raw(m_p, std::size_t(close - m_p));
        if (raw.find('<') != std::string_view::npos)
            malformed();
        m_p = close + 1;
        return raw;
    }

    void startTag() {
        if (m_rootSeen && m_open.empty())
            malformed(); // a second root
        m_rootSeen = true;
        const std::string_view qualified = name();
        const std::size_t colon = qualified.rfind(':');
        const Element element =
            elementOf(colon == std::string_view::npos ? qualified : qualified.substr(colon + 1));
        std::string_view r, t;
        const bool closed = attributes(r, t);
        if (m_strings)
            startInStrings(element, closed);
        else if (startInSheet(element, r, t, closed))
            return; // the whole cell is read
        if (!closed)
            m_open.emplace_back(qualified);
    }

    // True when the element's content and end tag are read as well.
    bool startInSheet(Element element, std::string_view r, std::string_view t, bool closed) {
        switch (element) {
        case Element::Row:
            startRow(r);
            break;
        case Element::Cell:
            m_cellStart = m_p;
            startCell(r, t);
            if (closed)
                endCell();
            else
                return plainValue();
            break;
        case Element::Value:
            m_inValue = !closed;
            break;
        case Element::Inline:
            m_inInline = !closed;
            break;
        case Element::Phonetic:
            if (!closed)
                ++m_phonetic; // the reading aid above the text, not the text
            break;
        case Element::TextRun:
            m_inText = !closed && m_inInline && m_phonetic == 0;
            break;
        case Element::Item:
        case Element::Other:
            break;
        }
        return false;
    }

    // Nearly every cell is "<v>value</v></c>" after its start tag, with a value free of
    // references: read at once, without the general handling of each tag.
    bool plainValue() {
        static constexpr std::string_view open = "<v>", close = "</v></c>";
        if (!startsWith(open))
            return false;
        const char *start = m_p + open.size();
        const char *q = start;
        advanceUntil(q, [](char c) { return c == '<' || c == '&' || c == '\r'; });
        if (!have(q, close.size()) || std::memcmp(q, close.data(), close.size()) != 0)
            return false;
        m_value.add({start, std::size_t(q - start)}, false);
        m_p = q + close.size();
        endCell();
        return true;
    }

    void endTag() {
        ++m_p;
        const std::string_view qualified = name();
        skipSpace();
        need(1);
        if (*m_p != '>' || m_open.empty() || m_open.back() != qualified)
            malformed();
        ++m_p;
        m_open.pop_back();
        const std::size_t colon = qualified.rfind(':');
        const Element element =
            elementOf(colon == std::string_view::npos ? qualified : qualified.substr(colon + 1));
        if (m_strings) {
            endInStrings(element);
            return;
        }
        switch (element) {
        case Element::Value:
            m_inValue = false;
            break;
        case Element::Inline:
            m_inInline = false;
            break;
        case Element::Phonetic:
            --m_phonetic;
            break;
        case Element::TextRun:
            m_inText = false;
            break;
        case Element::Cell:
            endCell();
            break;
        default:
            break;
        }
    }

    // An item's text is that of its runs, without the reading aid above it.
    void startInStrings(Element element, bool closed) {
        if (element == Element::Item) {
            m_inline.clear();
            if (closed)
                endInStrings(element);
        } else if (element == Element::Phonetic && !closed) {
            ++m_phonetic;
        } else if (element == Element::TextRun) {
            m_inText = !closed && m_phonetic == 0;
        }
    }

    void endInStrings(Element element) {
        if (element == Element::Item)
            m_strings->texts.append(unescape(utf8(m_inline.view())));
        else if (element == Element::Phonetic)
            --m_phonetic;
        else if (element == Element::TextRun)
            m_inText = false;
    }

    void startRow(std::string_view r) {
        if (r.empty()) {
            ++m_row; // rows without a number follow the previous one
        } else {
            const std::optional<qlonglong> n = wholeNumber(r);
            if (!n || *n < 1)
                throw Failure{QStringLiteral("bad row number %1").arg(utf8(r))};
            m_row = qsizetype(std::min<qlonglong>(*n, XlsxMaxRows + 1)) - 1;
        }
        m_column = -1;
        if (!m_reserved && m_row >= RowsBeforeReserving) {
            // The rows so far tell how many the rest of the sheet holds, so the columns are
            // allocated once instead of growing by copies.
            m_reserved = true;
            const double share =
                double(m_end - m_begin) / double(std::max<std::ptrdiff_t>(m_p - m_begin, 1));
            m_cells->reserve(qsizetype(std::min(double(XlsxMaxRows), (m_row + 1) * share * 1.05)));
        }
        if (m_cellStart - m_releasedTo >= ReleaseStep)
            release();
    }

    // Gives the pages of markup already read back to the system while the rest is read, so
    // the whole inflated sheet and the full columns are never held at once. Nothing points
    // into them: the open elements' names and the remembered numbers are copies, and a cell's
    // texts start after the last cell's start tag. The pages stay mapped and read as zeros.
    void release() {
        if (m_stream)
            m_stream->release(m_cellStart - m_begin);
        else
            givePagesBack(m_releasedTo, m_cellStart);
        m_releasedTo = m_cellStart;
    }

    void startCell(std::string_view r, std::string_view t) {
        if (r.empty()) {
            ++m_column;
        } else {
            const auto [c, row] = reference(r);
            m_column = c;
            if (row >= 0)
                m_row = row;
        }
        m_type = cellType(t);
        m_value.clear();
        m_inline.clear();
    }

    // The usual "AB12" read from its bytes; any other form as the general rule reads it.
    static std::pair<qsizetype, qsizetype> reference(std::string_view r) {
        std::size_t i = 0;
        qsizetype column = 0;
        for (; i < r.size() && i < 3; ++i) {
            const char c = char(r[i] & ~0x20);
            if (c < 'A' || c > 'Z')
                break;
            column = column * 26 + (c - 'A' + 1);
        }
        const qlonglong row = plainCount(r.substr(i));
        if (i == 0 || row < 1)
            return cellReference(utf8(r));
        return {column - 1, qsizetype(std::min<qlonglong>(row, XlsxMaxRows + 1)) - 1};
    }

    void endCell() {
        if (m_row < 0)
            throw Failure{QStringLiteral("the sheet has more rows than allowed")};
        const std::string_view value = m_value.view();
        bool stored = false;
        switch (m_type) {
        case CellType::Shared: {
            const std::optional<qlonglong> i = wholeNumber(value);
            if (i && *i >= 0 && *i < m_shared->texts.size())
                stored = m_cells->set(m_row, m_column, m_shared->texts[qsizetype(*i)],
                                      m_shared->ticks[std::size_t(*i)]);
            else
                stored = m_cells->set(m_row, m_column, QString(), ColumnList::Missing);
            break;
        }
        case CellType::Number: {
            std::int64_t ticks = 0;
            if (value.empty())
                stored = m_cells->set(m_row, m_column, QString(), ColumnList::Missing);
            else if (plainNumber(value, ticks))
                stored = m_cells->set(m_row, m_column, numberText(value), ticks);
            else
                stored = m_cells->set(m_row, m_column, otherNumber(value));
            break;
        }
        case CellType::Inline:
            stored = m_cells->set(m_row, m_column, unescape(utf8(m_inline.view())));
            break;
        case CellType::Str:
            stored = m_cells->set(m_row, m_column, unescape(utf8(value)));
            break;
        case CellType::Bool: {
            const QString v = utf8(value);
            stored = m_cells->set(m_row, m_column,
                                  v.isEmpty()           ? QString()
                                  : v.trimmed() == u"0" ? QStringLiteral("FALSE")
                                                        : QStringLiteral("TRUE"));
            break;
        }
        case CellType::Error:
            stored = m_cells->set(m_row, m_column, QString(), ColumnList::Missing);
            break;
        case CellType::Date:
            stored = m_cells->set(m_row, m_column, dateSerial(utf8(value).trimmed()));
            break;
        }
        if (!stored)
            throw Failure{QStringLiteral("the sheet has more rows than allowed")};
    }

    // A value already in plain form; the same text is shared by every cell that holds it.
    QString numberText(std::string_view value) {
        if (!m_value.inDocument())
            return QString::fromLatin1(value.data(), qsizetype(value.size()));
        const auto found = m_numbers.find(value);
        if (found != m_numbers.end())
            return found->second;
        QString text = QString::fromLatin1(value.data(), qsizetype(value.size()));
        if (m_numbers.size() < MaxRemembered)
            m_numbers.emplace(std::string(value), text);
        return text;
    }

    static QString otherNumber(std::string_view value) {
        const QString text = utf8(value);
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        return ok ? numberCellText(v) : text;
    }

    static constexpr std::size_t MaxRemembered = 1 << 16;
    static constexpr qsizetype RowsBeforeReserving = 1024;
    static constexpr std::ptrdiff_t ReleaseStep = 4 << 20;

    const char *m_begin;
    const char *m_p;
    const char *m_avail;
    const char *m_end; // where the part ends once whole: the rows still to come are estimated
    InflatingBuffer *m_stream{nullptr};
    const SharedStrings *m_shared{nullptr};
    SheetBuilder *m_cells{nullptr};
    SharedStrings *m_strings{nullptr};
    std::vector<std::string> m_open;
    bool m_rootSeen{false};
    std::string m_rScratch, m_tScratch;
    std::unordered_map<std::string, QString, BytesHash, std::equal_to<>> m_numbers;
    // Where the markup may still be pointed into; in the shared strings, never released.
    const char *m_cellStart{nullptr};
    const char *m_releasedTo{nullptr};
    bool m_reserved{false};

    qsizetype m_row{-1}, m_column{-1};
    CellType m_type{CellType::Number};
    Text m_value, m_inline;
    bool m_inValue{false}, m_inInline{false}, m_inText{false};
    int m_phonetic{0};
};

// The encoding a part's start names: a UTF-16 byte order mark, or the one its declaration
// names (lower case, empty for none). `head` must hold the whole declaration.
struct Encoding {
    bool utf16Mark{false};
    QByteArray declared;
    bool utf8() const {
        return !utf16Mark && (declared.isEmpty() || declared == "utf-8" || declared == "utf8");
    }
};

Encoding encodingOf(QByteArrayView head) {
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return {true, {}};
    QByteArray encoding;
    if (head.startsWith("<?xml")) {
        const qsizetype close = head.indexOf("?>");
        const QByteArray declaration = head.first(close < 0 ? head.size() : close).toByteArray();
        const qsizetype at = declaration.indexOf("encoding");
        if (at >= 0) {
            const qsizetype open = declaration.indexOf('"', at) >= 0
                                       ? declaration.indexOf('"', at)
                                       : declaration.indexOf('\'', at);
            const qsizetype end = open >= 0 ? declaration.indexOf(declaration[open], open + 1) : -1;
            if (end > open)
                encoding = declaration.mid(open + 1, end - open - 1).toLower();
        }
    }
    return {false, encoding};
}

// The sheet's bytes as UTF-8: a part in another encoding (a UTF-16 byte order mark, or an
// encoding named in its declaration) is converted first.
QByteArray utf8Document(QByteArray xml) {
    const Encoding encoding = encodingOf(xml);
    if (encoding.utf8())
        return xml;
    QStringDecoder decode = encoding.utf16Mark ? QStringDecoder(QStringDecoder::Utf16)
                                               : QStringDecoder(encoding.declared.constData());
    if (!decode.isValid())
        throw Failure{
            QStringLiteral("unknown encoding %1").arg(QString::fromLatin1(encoding.declared))};
    QString text = decode(xml);
    xml.clear();
    // The declaration no longer tells the truth; drop it.
    if (text.startsWith(QLatin1String("<?xml")))
        text.remove(0, text.indexOf(QLatin1String("?>")) + 2);
    return text.toUtf8();
}

SharedStrings sharedStrings(QuaZip &zip, const QString &part, const QByteArray &archive) {
    SharedStrings strings;
    SheetScanner(utf8Document(inflatePart(zip, part, archive)), strings).run();
    strings.ticks.reserve(std::size_t(strings.texts.size()));
    for (const QString &text : std::as_const(strings.texts))
        strings.ticks.push_back(ColumnList::ticksOf(text));
    return strings;
}

struct Parts {
    QString sheet;
    QString sharedStrings;
};

// The workbook part the package's relationships name, else its usual place.
QString workbookPart(QuaZip &zip) {
    for (const Relationship &r : relationships(zip, QString()))
        if (r.type.endsWith(QLatin1String("/officeDocument")))
            return r.target;
    return QStringLiteral("xl/workbook.xml");
}

// The target of a <sheet> element's relationship when that is a worksheet, else empty.
QString worksheetTarget(const QXmlStreamAttributes &attributes, const QList<Relationship> &rels) {
    QString target;
    for (const QXmlStreamAttribute &a : attributes) {
        if (a.name() != u"id" || a.namespaceUri().isEmpty())
            continue;
        for (const Relationship &r : rels)
            if (r.id == a.value() && r.type.endsWith(QLatin1String("/worksheet")))
                target = r.target;
    }
    return target;
}

Parts findParts(QuaZip &zip) {
    const QString workbook = workbookPart(zip);
    const QList<Relationship> rels = relationships(zip, workbook);
    Parts parts;
    for (const Relationship &r : rels)
        if (r.type.endsWith(QLatin1String("/sharedStrings")))
            parts.sharedStrings = r.target;

    // A package without a workbook part: take the usual place of the first sheet.
    if (rels.isEmpty() && !zip.setCurrentFile(workbook, QuaZip::csInsensitive)) {
        parts.sheet = QStringLiteral("xl/worksheets/sheet1.xml");
        return parts;
    }
    // Sheets in workbook order; the first whose relationship is a worksheet (not a chart).
    PartXml xml(zip, workbook);
    while (parts.sheet.isEmpty() && xml.next() != QXmlStreamReader::EndDocument) {
        if (xml.xml().isStartElement() && xml.xml().name() == u"sheet")
            parts.sheet = worksheetTarget(xml.xml().attributes(), rels);
    }
    if (parts.sheet.isEmpty())
        throw Failure{QStringLiteral("the workbook has no worksheet")};
    return parts;
}

// The sheet read while a second thread inflates it, where it is deflated UTF-8 markup (as
// workbook programs write it); any other sheet is inflated whole first.
void scanSheet(const PackedPart &sheet, const SharedStrings &shared, SheetBuilder &cells,
               InflationSteps steps) {
    if (sheet.method == Z_DEFLATED) {
        InflatingBuffer stream(sheet.packed.constData(), sheet.packed.size(), sheet.size, sheet.crc,
                               steps);
        // A declaration stands at the very start, well within the first piece.
        constexpr qsizetype HeadBytes = 4096;
        const QByteArrayView head(stream.data(), stream.waitFor(std::min(sheet.size, HeadBytes)));
        if (encodingOf(head).utf8() && (!head.startsWith("<?xml") || head.contains("?>"))) {
            SheetScanner(stream, shared, cells).run();
            if (!stream.succeeded())
                throw damagedPart(sheet);
            return;
        }
    }
    SheetScanner(utf8Document(inflated(sheet)), shared, cells).run();
}

} // namespace

SheetColumns readXlsx(QByteArray bytes, int columnCount, InflationSteps steps) {
    QBuffer buffer;
    buffer.setData(bytes);
    QuaZip zip(&buffer);
    try {
        if (!zip.open(QuaZip::mdUnzip))
            throw Failure{QStringLiteral("not a zip archive")};
        const Parts parts = findParts(zip);
        SharedStrings shared;
        if (!parts.sharedStrings.isEmpty() &&
            zip.setCurrentFile(parts.sharedStrings, QuaZip::csInsensitive))
            shared = sharedStrings(zip, parts.sharedStrings, bytes);
        const PackedPart sheet = packedPart(zip, parts.sheet, bytes);
        zip.close();
        SheetBuilder cells(columnCount, XlsxMaxRows);
        scanSheet(sheet, shared, cells, steps);
        return cells.finish();
    } catch (const Failure &failure) {
        SheetColumns failed;
        failed.error = failure.why;
        return failed;
    }
}

} // namespace quarbel::workbook_detail
