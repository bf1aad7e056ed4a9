// Reads the first worksheet of an Office Open XML workbook. The archive is inflated piece by
// piece while the XML is parsed, counting the bytes actually inflated, so a small file that
// inflates to gigabytes is refused early; document type declarations are refused outright.

#include "core/exchange/workbook_internal.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QXmlStreamReader>

#include <memory>

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

QStringList sharedStrings(QuaZip &zip, const QString &part) {
    QStringList strings;
    PartXml xml(zip, part);
    QString current;
    int phonetic = 0;
    bool inText = false;
    for (auto t = xml.next(); t != QXmlStreamReader::EndDocument; t = xml.next()) {
        const QStringView name = xml.xml().name();
        if (t == QXmlStreamReader::StartElement) {
            if (name == u"si")
                current.clear();
            else if (name == u"rPh")
                ++phonetic; // the reading aid above the text, not the text
            else if (name == u"t")
                inText = phonetic == 0;
        } else if (t == QXmlStreamReader::EndElement) {
            if (name == u"t")
                inText = false;
            else if (name == u"rPh")
                --phonetic;
            else if (name == u"si")
                strings.append(unescape(current));
        } else if (t == QXmlStreamReader::Characters && inText) {
            current += xml.xml().text();
        }
    }
    return strings;
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

QString cellText(QStringView type, const QString &value, const QString &inline_,
                 const QStringList &shared) {
    if (type == u"s") {
        bool ok = false;
        const qlonglong i = value.trimmed().toLongLong(&ok);
        return ok && i >= 0 && i < shared.size() ? shared[qsizetype(i)] : QString();
    }
    if (type == u"inlineStr")
        return unescape(inline_);
    if (type == u"str")
        return unescape(value);
    if (type == u"b")
        return value.isEmpty()           ? QString()
               : value.trimmed() == u"0" ? QStringLiteral("FALSE")
                                         : QStringLiteral("TRUE");
    if (type == u"e")
        return {};
    if (type == u"d")
        return dateSerial(value.trimmed());
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    return ok ? numberCellText(v) : value;
}

void readSheet(QuaZip &zip, const QString &part, const QStringList &shared, SheetBuilder &cells) {
    PartXml xml(zip, part);
    qsizetype row = -1, column = -1;
    QString type, value, inline_;
    bool inValue = false, inInline = false, inText = false;
    int phonetic = 0;
    for (auto t = xml.next(); t != QXmlStreamReader::EndDocument; t = xml.next()) {
        const QXmlStreamReader &x = xml.xml();
        const QStringView name = x.name();
        if (t == QXmlStreamReader::StartElement) {
            if (name == u"row") {
                const QStringView r = x.attributes().value(QLatin1String("r"));
                if (r.isEmpty()) {
                    ++row; // rows without a number follow the previous one
                } else {
                    bool ok = false;
                    const qlonglong n = r.toLongLong(&ok);
                    if (!ok || n < 1)
                        throw Failure{QStringLiteral("bad row number %1").arg(r)};
                    row = qsizetype(std::min<qlonglong>(n, XlsxMaxRows + 1)) - 1;
                }
                column = -1;
            } else if (name == u"c") {
                const QStringView ref = x.attributes().value(QLatin1String("r"));
                if (ref.isEmpty()) {
                    ++column;
                } else {
                    const auto [c, r] = cellReference(ref);
                    column = c;
                    if (r >= 0)
                        row = r;
                }
                type = x.attributes().value(QLatin1String("t")).toString();
                value.clear();
                inline_.clear();
            } else if (name == u"v") {
                inValue = true;
            } else if (name == u"is") {
                inInline = true;
            } else if (name == u"rPh") {
                ++phonetic;
            } else if (name == u"t") {
                inText = inInline && phonetic == 0;
            }
        } else if (t == QXmlStreamReader::EndElement) {
            if (name == u"v") {
                inValue = false;
            } else if (name == u"is") {
                inInline = false;
            } else if (name == u"rPh") {
                --phonetic;
            } else if (name == u"t") {
                inText = false;
            } else if (name == u"c") {
                if (row < 0 || !cells.set(row, column, cellText(type, value, inline_, shared)))
                    throw Failure{QStringLiteral("the sheet has more rows than allowed")};
            }
        } else if (t == QXmlStreamReader::Characters) {
            if (inValue)
                value += x.text();
            else if (inText)
                inline_ += x.text();
        }
    }
}

struct Parts {
    QString sheet;
    QString sharedStrings;
};

Parts findParts(QuaZip &zip) {
    QString workbook = QStringLiteral("xl/workbook.xml");
    for (const Relationship &r : relationships(zip, QString()))
        if (r.type.endsWith(QLatin1String("/officeDocument"))) {
            workbook = r.target;
            break;
        }
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
        if (!xml.xml().isStartElement() || xml.xml().name() != u"sheet")
            continue;
        for (const QXmlStreamAttribute &a : xml.xml().attributes()) {
            if (a.name() != u"id" || a.namespaceUri().isEmpty())
                continue;
            for (const Relationship &r : rels)
                if (r.id == a.value() && r.type.endsWith(QLatin1String("/worksheet")))
                    parts.sheet = r.target;
        }
    }
    if (parts.sheet.isEmpty())
        throw Failure{QStringLiteral("the workbook has no worksheet")};
    return parts;
}

} // namespace

SheetColumns readXlsx(const QByteArray &bytes, int columnCount) {
    QBuffer buffer;
    buffer.setData(bytes);
    QuaZip zip(&buffer);
    try {
        if (!zip.open(QuaZip::mdUnzip))
            throw Failure{QStringLiteral("not a zip archive")};
        const Parts parts = findParts(zip);
        QStringList shared;
        if (!parts.sharedStrings.isEmpty() &&
            zip.setCurrentFile(parts.sharedStrings, QuaZip::csInsensitive))
            shared = sharedStrings(zip, parts.sharedStrings);
        SheetBuilder cells(columnCount, XlsxMaxRows);
        readSheet(zip, parts.sheet, shared, cells);
        return cells.finish();
    } catch (const Failure &failure) {
        SheetColumns failed;
        failed.error = failure.why;
        return failed;
    }
}

} // namespace quarbel::workbook_detail
