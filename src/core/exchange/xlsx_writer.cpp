// Writes an Office Open XML workbook of one worksheet whose cells are all shared strings. The
// archive is built in memory with the same zip library that reads it: a second zip library in
// the process would clash with it, both exporting the same minizip symbols.

#include "core/exchange/workbook_internal.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QDateTime>
#include <QXmlStreamWriter>

#include <array>
#include <charconv>
#include <functional>
#include <unordered_map>

namespace quarbel::workbook_detail {
namespace {

const QString MainNs = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
const QString RelNs =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString PackageRelNs =
    QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");

// Characters XML cannot carry are written as _xHHHH_, and a literal "_x" that would read as
// such an escape has its underscore escaped.
QString escaped(const QString &s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        // A carriage return would come back as a line feed.
        const bool control = c < 0x20 && c != u'\t' && c != u'\n';
        const bool looksEscaped = c == u'_' && i + 1 < s.size() && s[i + 1] == u'x';
        if (control || looksEscaped || c == 0xFFFE || c == 0xFFFF)
            out += QStringLiteral("_x%1_").arg(
                QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
        else
            out += s[i];
    }
    return out;
}

// FNV-1a over the UTF-16 units: cell texts are short, and the library's keyed string hash
// cost more than all the markup of an export.
struct ShortTextHash {
    std::size_t operator()(QStringView text) const noexcept {
        std::uint64_t h = 14695981039346656037ull;
        for (QChar ch : text)
            h = (h ^ ch.unicode()) * 1099511628211ull;
        return std::size_t(h);
    }
};

QString columnName(qsizetype c) {
    QString name;
    for (++c; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(char16_t(u'A' + (c - 1) % 26)));
    return name;
}

QByteArray xml(const std::function<void(QXmlStreamWriter &)> &body) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument(QStringLiteral("1.0"), true);
    body(w);
    w.writeEndDocument();
    return out;
}

QByteArray relationships(const QList<std::array<QString, 3>> &rels) {
    return xml([&](QXmlStreamWriter &w) {
        w.writeStartElement(QStringLiteral("Relationships"));
        w.writeDefaultNamespace(PackageRelNs);
        for (const auto &[id, type, target] : rels) {
            w.writeStartElement(QStringLiteral("Relationship"));
            w.writeAttribute(QStringLiteral("Id"), id);
            w.writeAttribute(QStringLiteral("Type"), type);
            w.writeAttribute(QStringLiteral("Target"), target);
            w.writeEndElement();
        }
        w.writeEndElement();
    });
}

// docProps/core.xml: title, comments (description), the program as creator and the time made.
QByteArray coreProperties(const WorkbookProperties &properties) {
    return xml([&](QXmlStreamWriter &w) {
        const QString cp = QStringLiteral(
            "http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
        const QString dc = QStringLiteral("http://purl.org/dc/elements/1.1/");
        const QString dcterms = QStringLiteral("http://purl.org/dc/terms/");
        const QString xsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
        w.writeNamespace(cp, QStringLiteral("cp"));
        w.writeNamespace(dc, QStringLiteral("dc"));
        w.writeNamespace(dcterms, QStringLiteral("dcterms"));
        w.writeNamespace(xsi, QStringLiteral("xsi"));
        w.writeStartElement(cp, QStringLiteral("coreProperties"));
        if (!properties.title.isEmpty())
            w.writeTextElement(dc, QStringLiteral("title"), escaped(properties.title));
        if (!properties.comments.isEmpty())
            w.writeTextElement(dc, QStringLiteral("description"), escaped(properties.comments));
        w.writeTextElement(dc, QStringLiteral("creator"), escaped(properties.application));
        if (properties.created.isValid()) {
            const QString stamp =
                properties.created.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
            for (const char *name : {"created", "modified"}) {
                w.writeStartElement(dcterms, QLatin1String(name));
                w.writeAttribute(xsi, QStringLiteral("type"), QStringLiteral("dcterms:W3CDTF"));
                w.writeCharacters(stamp);
                w.writeEndElement();
            }
        }
        w.writeEndElement();
    });
}

// docProps/app.xml: the application that wrote the file.
QByteArray appProperties(const WorkbookProperties &properties) {
    return xml([&](QXmlStreamWriter &w) {
        w.writeStartElement(QStringLiteral("Properties"));
        w.writeDefaultNamespace(QStringLiteral(
            "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"));
        w.writeTextElement(QStringLiteral("Application"), escaped(properties.application));
        w.writeEndElement();
    });
}

const QString OfficeRel =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString OfficeType = QStringLiteral("application/vnd.openxmlformats-officedocument.");

// [Content_Types].xml: the parts and their types, with the properties' parts when written.
QByteArray contentTypes(bool withProperties) {
    return xml([&](QXmlStreamWriter &w) {
        w.writeStartElement(QStringLiteral("Types"));
        w.writeDefaultNamespace(
            QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
        w.writeStartElement(QStringLiteral("Default"));
        w.writeAttribute(QStringLiteral("Extension"), QStringLiteral("rels"));
        w.writeAttribute(QStringLiteral("ContentType"),
                         QStringLiteral("application/vnd.openxmlformats-package."
                                        "relationships+xml"));
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("Default"));
        w.writeAttribute(QStringLiteral("Extension"), QStringLiteral("xml"));
        w.writeAttribute(QStringLiteral("ContentType"), QStringLiteral("application/xml"));
        w.writeEndElement();
        const std::array<std::pair<const char *, const char *>, 3> overrides{{
            {"/xl/workbook.xml", "spreadsheetml.sheet.main+xml"},
            {"/xl/worksheets/sheet1.xml", "spreadsheetml.worksheet+xml"},
            {"/xl/sharedStrings.xml", "spreadsheetml.sharedStrings+xml"},
        }};
        for (const auto &[part, type] : overrides) {
            w.writeStartElement(QStringLiteral("Override"));
            w.writeAttribute(QStringLiteral("PartName"), QLatin1String(part));
            w.writeAttribute(QStringLiteral("ContentType"), OfficeType + QLatin1String(type));
            w.writeEndElement();
        }
        if (withProperties) {
            w.writeStartElement(QStringLiteral("Override"));
            w.writeAttribute(QStringLiteral("PartName"), QStringLiteral("/docProps/core.xml"));
            w.writeAttribute(QStringLiteral("ContentType"),
                             QStringLiteral("application/vnd.openxmlformats-package."
                                            "core-properties+xml"));
            w.writeEndElement();
            w.writeStartElement(QStringLiteral("Override"));
            w.writeAttribute(QStringLiteral("PartName"), QStringLiteral("/docProps/app.xml"));
            w.writeAttribute(QStringLiteral("ContentType"),
                             OfficeType + QStringLiteral("extended-properties+xml"));
            w.writeEndElement();
        }
        w.writeEndElement();
    });
}

// _rels/.rels: the workbook, and the properties' parts when written.
QByteArray packageRelationships(bool withProperties) {
    QList<std::array<QString, 3>> rels{{QStringLiteral("rId1"),
                                        OfficeRel + QStringLiteral("officeDocument"),
                                        QStringLiteral("xl/workbook.xml")}};
    if (withProperties) {
        rels.append({QStringLiteral("rId2"),
                     QStringLiteral("http://schemas.openxmlformats.org/package/2006/"
                                    "relationships/metadata/core-properties"),
                     QStringLiteral("docProps/core.xml")});
        rels.append({QStringLiteral("rId3"), OfficeRel + QStringLiteral("extended-properties"),
                     QStringLiteral("docProps/app.xml")});
    }
    return relationships(rels);
}

// The worksheet's markup, and the distinct texts its cells index in the shared strings.
struct SheetPart {
    QByteArray markup;
    QStringList unique;
    qsizetype uses{0}; // cells that refer to a shared string
};

SheetPart sheetPart(const QList<QStringList> &columns, qsizetype rows) {
    SheetPart part;
    std::unordered_map<QStringView, qsizetype, ShortTextHash> seen;
    // The sheet's markup holds nothing but numbers (rows, references, string indices), so it
    // is written directly: through the stream writer it took most of an export's time.
    QByteArray &sheet = part.markup;
    sheet.reserve(rows * columns.size() * 40 + 512);
    sheet += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
    sheet += "<worksheet xmlns=\"" + MainNs.toUtf8() + "\"><sheetData>";
    QList<QByteArray> names;
    for (qsizetype c = 0; c < columns.size(); ++c)
        names.append(columnName(c).toLatin1());
    seen.reserve(rows);
    char number[24];
    auto appendNumber = [&sheet, &number](qsizetype value) {
        const auto end = std::to_chars(number, number + sizeof number, value).ptr;
        sheet.append(number, end - number);
    };
    for (qsizetype r = 0; r < rows; ++r) {
        bool open = false;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (r >= columns[c].size() || columns[c][r].isEmpty())
                continue; // an empty cell is left out
            if (!open) {
                sheet += "<row r=\"";
                appendNumber(r + 1);
                sheet += "\">";
                open = true;
            }
            const auto [it, added] = seen.try_emplace(columns[c][r], part.unique.size());
            if (added)
                part.unique.append(columns[c][r]);
            ++part.uses;
            sheet += "<c r=\"" + names[c];
            appendNumber(r + 1);
            sheet += "\" t=\"s\"><v>";
            appendNumber(it->second);
            sheet += "</v></c>";
        }
        if (open)
            sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    return part;
}

QByteArray sharedStringsPart(const SheetPart &sheet) {
    return xml([&](QXmlStreamWriter &w) {
        w.writeStartElement(QStringLiteral("sst"));
        w.writeDefaultNamespace(MainNs);
        w.writeAttribute(QStringLiteral("count"), QString::number(sheet.uses));
        w.writeAttribute(QStringLiteral("uniqueCount"), QString::number(sheet.unique.size()));
        for (const QString &s : sheet.unique) {
            w.writeStartElement(QStringLiteral("si"));
            w.writeStartElement(QStringLiteral("t"));
            if (s.front().isSpace() || s.back().isSpace())
                w.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            w.writeCharacters(escaped(s));
            w.writeEndElement();
            w.writeEndElement();
        }
        w.writeEndElement();
    });
}

// xl/workbook.xml: the one sheet.
QByteArray workbookPart() {
    return xml([&](QXmlStreamWriter &w) {
        w.writeStartElement(QStringLiteral("workbook"));
        w.writeDefaultNamespace(MainNs);
        w.writeNamespace(RelNs, QStringLiteral("r"));
        w.writeStartElement(QStringLiteral("sheets"));
        w.writeStartElement(QStringLiteral("sheet"));
        w.writeAttribute(QStringLiteral("name"), QStringLiteral("Sheet1"));
        w.writeAttribute(QStringLiteral("sheetId"), QStringLiteral("1"));
        w.writeAttribute(RelNs, QStringLiteral("id"), QStringLiteral("rId1"));
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    });
}

using NamedParts = QList<std::pair<QString, QByteArray>>;

// Deflates the parts into one archive in `out`; gives why it failed, or an empty text.
QString zipParts(const NamedParts &parts, QByteArray &out) {
    QBuffer buffer;
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdCreate))
        return QStringLiteral("the archive could not be created");
    const QDateTime stamp = QDateTime::currentDateTime();
    for (const auto &[name, content] : parts) {
        QuaZipFile file(&zip);
        QuaZipNewInfo info(name);
        info.dateTime = stamp;
        if (!file.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, 6) ||
            file.write(content) != content.size())
            return QStringLiteral("%1 could not be stored").arg(name);
        file.close();
        if (file.getZipError() != UNZ_OK)
            return QStringLiteral("%1 could not be stored").arg(name);
    }
    zip.close();
    if (zip.getZipError() != UNZ_OK)
        return QStringLiteral("the archive could not be finished");
    out = buffer.data();
    return {};
}

} // namespace

std::optional<QByteArray> xlsxBytes(const QList<QStringList> &columns, QString *error,
                                    const WorkbookProperties &properties) {
    auto fail = [error](const QString &why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const qsizetype rows = workbookRowCount(columns);
    if (const QString why = checkCells(columns, rows, XlsxMaxRows); !why.isEmpty())
        return fail(why);

    const SheetPart sheet = sheetPart(columns, rows);
    const bool withProperties = !properties.application.isEmpty();
    NamedParts parts{
        {QStringLiteral("[Content_Types].xml"), contentTypes(withProperties)},
        {QStringLiteral("_rels/.rels"), packageRelationships(withProperties)},
        {QStringLiteral("xl/workbook.xml"), workbookPart()},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         relationships({{QStringLiteral("rId1"), OfficeRel + QStringLiteral("worksheet"),
                         QStringLiteral("worksheets/sheet1.xml")},
                        {QStringLiteral("rId2"), OfficeRel + QStringLiteral("sharedStrings"),
                         QStringLiteral("sharedStrings.xml")}})},
        {QStringLiteral("xl/worksheets/sheet1.xml"), sheet.markup},
        {QStringLiteral("xl/sharedStrings.xml"), sharedStringsPart(sheet)},
    };
    if (withProperties) {
        parts.append({QStringLiteral("docProps/core.xml"), coreProperties(properties)});
        parts.append({QStringLiteral("docProps/app.xml"), appProperties(properties)});
    }
    QByteArray archive;
    if (const QString why = zipParts(parts, archive); !why.isEmpty())
        return fail(why);
    return archive;
}

} // namespace quarbel::workbook_detail
