// The three forms of a report that need no widgets: plain text, HTML and OpenDocument text.

#include "core/report/report.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QXmlStreamWriter>

namespace quarbel {
namespace {

const QString Heavy = QStringLiteral("1.5pt solid #000000");
const QString Light = QStringLiteral("0.75pt solid #000000");

QString tableText(const ReportTable &table) {
    QStringList lines{table.header.join(u'\t')};
    for (const QStringList &row : table.rows)
        lines << row.join(u'\t');
    return lines.join(u'\n');
}

// The rules of a three-line table belong to the cells: a heavy rule above the header, a light
// one under it and a heavy one under the last row; none between columns.
QString cellStyle(bool header, bool last, bool forQt) {
    // Qt's importer reads the padding from the table's cellpadding, not from a cell's CSS.
    QString style = forQt ? QStringLiteral("border-left:none;border-right:none;")
                          : QStringLiteral("border-left:none;border-right:none;padding:2pt 8pt;");
    style += header ? QStringLiteral("border-top:%1;border-bottom:%2;").arg(Heavy, Light)
                    : QStringLiteral("border-top:none;");
    if (last)
        style += QStringLiteral("border-bottom:%1;").arg(Heavy);
    else if (!header)
        style += QStringLiteral("border-bottom:none;");
    return style;
}

QString tableHtml(const ReportTable &table, bool forQt) {
    QString out = forQt ? QStringLiteral("<table cellspacing=\"0\" cellpadding=\"5\" "
                                         "style=\"border-collapse:collapse\">")
                        : QStringLiteral("<table border=\"1\" frame=\"hsides\" rules=\"groups\" "
                                         "cellspacing=\"0\" cellpadding=\"3\" "
                                         "style=\"border-collapse:collapse;border:none\">");
    out += QStringLiteral("<thead><tr>");
    const bool onlyHeader = table.rows.isEmpty();
    for (const QString &h : table.header)
        out += QStringLiteral("<th style=\"%1\">%2</th>")
                   .arg(cellStyle(true, onlyHeader, forQt), h.toHtmlEscaped());
    out += QStringLiteral("</tr></thead><tbody>");
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        out += QStringLiteral("<tr>");
        for (const QString &cell : table.rows[r])
            out +=
                QStringLiteral("<td style=\"%1\">%2</td>")
                    .arg(cellStyle(false, r + 1 == table.rows.size(), forQt), cell.toHtmlEscaped());
        out += QStringLiteral("</tr>");
    }
    return out + QStringLiteral("</tbody></table>");
}

QString paragraph(const QString &text) {
    return QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped());
}

} // namespace

QString reportPlainText(const Report &report) {
    QStringList parts{report.title, report.stamp};
    if (!report.emptyLine.isEmpty())
        return (parts << report.emptyLine).join(u'\n') + u'\n';
    parts << QString();
    if (!report.inputs.isEmpty())
        parts << QStringLiteral("输入数据") << tableText(report.inputs) << QString();
    parts << QStringLiteral("结果") << tableText(report.results) << QString();
    parts << report.chinese << report.english;
    for (const QString &note : report.notes)
        parts << QStringLiteral("注：") + note;
    return parts.join(u'\n') + u'\n';
}

QString reportHtml(const Report &report, const QString &imageSource, bool forQt) {
    QString body =
        QStringLiteral("<h3>%1</h3>").arg(report.title.toHtmlEscaped()) + paragraph(report.stamp);
    if (!report.emptyLine.isEmpty()) {
        body += paragraph(report.emptyLine);
    } else {
        if (!report.inputs.isEmpty())
            body += paragraph(QStringLiteral("输入数据")) + tableHtml(report.inputs, forQt);
        body += paragraph(QStringLiteral("结果")) + tableHtml(report.results, forQt);
        body += paragraph(report.chinese) + paragraph(report.english);
        for (const QString &note : report.notes)
            body += paragraph(QStringLiteral("注：") + note);
        if (!imageSource.isEmpty())
            body += QStringLiteral("<p><img src=\"%1\"></p>").arg(imageSource.toHtmlEscaped());
    }
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
                          "</head><body>%2</body></html>")
        .arg(report.title.toHtmlEscaped(), body);
}

namespace {

const QString OfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString StyleNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString TextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString TableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString FoNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString DrawNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString SvgNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString XlinkNs = QStringLiteral("http://www.w3.org/1999/xlink");
const QString ManifestNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
const QString OdtType = QStringLiteral("application/vnd.oasis.opendocument.text");

void cellStyleElement(QXmlStreamWriter &w, const QString &name, const QString &top,
                      const QString &bottom) {
    w.writeStartElement(StyleNs, QStringLiteral("style"));
    w.writeAttribute(StyleNs, QStringLiteral("name"), name);
    w.writeAttribute(StyleNs, QStringLiteral("family"), QStringLiteral("table-cell"));
    w.writeStartElement(StyleNs, QStringLiteral("table-cell-properties"));
    w.writeAttribute(FoNs, QStringLiteral("padding"), QStringLiteral("0.05cm"));
    w.writeAttribute(FoNs, QStringLiteral("border-left"), QStringLiteral("none"));
    w.writeAttribute(FoNs, QStringLiteral("border-right"), QStringLiteral("none"));
    w.writeAttribute(FoNs, QStringLiteral("border-top"), top);
    w.writeAttribute(FoNs, QStringLiteral("border-bottom"), bottom);
    w.writeEndElement();
    w.writeEndElement();
}

void textP(QXmlStreamWriter &w, const QString &text, const QString &style = {}) {
    w.writeStartElement(TextNs, QStringLiteral("p"));
    if (!style.isEmpty())
        w.writeAttribute(TextNs, QStringLiteral("style-name"), style);
    w.writeCharacters(text);
    w.writeEndElement();
}

void odtTable(QXmlStreamWriter &w, const ReportTable &table, int index) {
    w.writeStartElement(TableNs, QStringLiteral("table"));
    w.writeAttribute(TableNs, QStringLiteral("name"), QStringLiteral("Table%1").arg(index));
    w.writeAttribute(TableNs, QStringLiteral("style-name"), QStringLiteral("ThreeLine"));
    w.writeStartElement(TableNs, QStringLiteral("table-column"));
    w.writeAttribute(TableNs, QStringLiteral("number-columns-repeated"),
                     QString::number(table.header.size()));
    w.writeEndElement();
    auto row = [&](const QStringList &cells, const QString &style) {
        w.writeStartElement(TableNs, QStringLiteral("table-row"));
        for (const QString &cell : cells) {
            w.writeStartElement(TableNs, QStringLiteral("table-cell"));
            w.writeAttribute(TableNs, QStringLiteral("style-name"), style);
            w.writeAttribute(OfficeNs, QStringLiteral("value-type"), QStringLiteral("string"));
            textP(w, cell);
            w.writeEndElement();
        }
        w.writeEndElement();
    };
    w.writeStartElement(TableNs, QStringLiteral("table-header-rows"));
    row(table.header, table.rows.isEmpty() ? QStringLiteral("HeadLast") : QStringLiteral("Head"));
    w.writeEndElement();
    for (qsizetype r = 0; r < table.rows.size(); ++r)
        row(table.rows[r],
            r + 1 == table.rows.size() ? QStringLiteral("Last") : QStringLiteral("Body"));
    w.writeEndElement();
}

QByteArray contentXml(const Report &report, bool withImage, int width, int height) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeNamespace(OfficeNs, QStringLiteral("office"));
    w.writeNamespace(StyleNs, QStringLiteral("style"));
    w.writeNamespace(TextNs, QStringLiteral("text"));
    w.writeNamespace(TableNs, QStringLiteral("table"));
    w.writeNamespace(FoNs, QStringLiteral("fo"));
    w.writeNamespace(DrawNs, QStringLiteral("draw"));
    w.writeNamespace(SvgNs, QStringLiteral("svg"));
    w.writeNamespace(XlinkNs, QStringLiteral("xlink"));
    w.writeStartElement(OfficeNs, QStringLiteral("document-content"));
    w.writeAttribute(OfficeNs, QStringLiteral("version"), QStringLiteral("1.2"));

    w.writeStartElement(OfficeNs, QStringLiteral("automatic-styles"));
    w.writeStartElement(StyleNs, QStringLiteral("style"));
    w.writeAttribute(StyleNs, QStringLiteral("name"), QStringLiteral("ThreeLine"));
    w.writeAttribute(StyleNs, QStringLiteral("family"), QStringLiteral("table"));
    w.writeStartElement(StyleNs, QStringLiteral("table-properties"));
    w.writeAttribute(TableNs, QStringLiteral("align"), QStringLiteral("left"));
    w.writeAttribute(StyleNs, QStringLiteral("width"), QStringLiteral("12cm"));
    w.writeAttribute(TableNs, QStringLiteral("border-model"), QStringLiteral("collapsing"));
    w.writeEndElement();
    w.writeEndElement();
    const QString heavy = QStringLiteral("1.5pt solid #000000");
    const QString light = QStringLiteral("0.75pt solid #000000");
    const QString none = QStringLiteral("none");
    cellStyleElement(w, QStringLiteral("Head"), heavy, light);
    cellStyleElement(w, QStringLiteral("HeadLast"), heavy, heavy);
    cellStyleElement(w, QStringLiteral("Body"), none, none);
    cellStyleElement(w, QStringLiteral("Last"), none, heavy);
    // The heading, and the space that sets paragraphs and tables apart.
    w.writeStartElement(StyleNs, QStringLiteral("style"));
    w.writeAttribute(StyleNs, QStringLiteral("name"), QStringLiteral("P1"));
    w.writeAttribute(StyleNs, QStringLiteral("family"), QStringLiteral("paragraph"));
    w.writeStartElement(StyleNs, QStringLiteral("paragraph-properties"));
    w.writeAttribute(FoNs, QStringLiteral("margin-bottom"), QStringLiteral("0.2cm"));
    w.writeEndElement();
    w.writeStartElement(StyleNs, QStringLiteral("text-properties"));
    w.writeAttribute(FoNs, QStringLiteral("font-size"), QStringLiteral("14pt"));
    w.writeAttribute(FoNs, QStringLiteral("font-weight"), QStringLiteral("bold"));
    w.writeAttribute(StyleNs, QStringLiteral("font-weight-asian"), QStringLiteral("bold"));
    w.writeAttribute(StyleNs, QStringLiteral("font-size-asian"), QStringLiteral("14pt"));
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement(StyleNs, QStringLiteral("style"));
    w.writeAttribute(StyleNs, QStringLiteral("name"), QStringLiteral("P2"));
    w.writeAttribute(StyleNs, QStringLiteral("family"), QStringLiteral("paragraph"));
    w.writeStartElement(StyleNs, QStringLiteral("paragraph-properties"));
    w.writeAttribute(FoNs, QStringLiteral("margin-top"), QStringLiteral("0.25cm"));
    w.writeAttribute(FoNs, QStringLiteral("margin-bottom"), QStringLiteral("0.1cm"));
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement(); // automatic-styles

    w.writeStartElement(OfficeNs, QStringLiteral("body"));
    w.writeStartElement(OfficeNs, QStringLiteral("text"));
    textP(w, report.title, QStringLiteral("P1"));
    textP(w, report.stamp);
    if (!report.emptyLine.isEmpty()) {
        textP(w, report.emptyLine);
    } else {
        if (!report.inputs.isEmpty()) {
            textP(w, QStringLiteral("输入数据"), QStringLiteral("P2"));
            odtTable(w, report.inputs, 1);
        }
        textP(w, QStringLiteral("结果"), QStringLiteral("P2"));
        odtTable(w, report.results, 2);
        textP(w, report.chinese, QStringLiteral("P2"));
        textP(w, report.english);
        for (const QString &note : report.notes)
            textP(w, QStringLiteral("注：") + note);
        if (withImage) {
            w.writeStartElement(TextNs, QStringLiteral("p"));
            w.writeStartElement(DrawNs, QStringLiteral("frame"));
            w.writeAttribute(DrawNs, QStringLiteral("name"), QStringLiteral("Picture"));
            w.writeAttribute(TextNs, QStringLiteral("anchor-type"), QStringLiteral("as-char"));
            // 96 pixels to the inch, 2.54 cm to the inch.
            w.writeAttribute(SvgNs, QStringLiteral("width"),
                             QStringLiteral("%1cm").arg(width * 2.54 / 96.0, 0, 'f', 2));
            w.writeAttribute(SvgNs, QStringLiteral("height"),
                             QStringLiteral("%1cm").arg(height * 2.54 / 96.0, 0, 'f', 2));
            w.writeStartElement(DrawNs, QStringLiteral("image"));
            w.writeAttribute(XlinkNs, QStringLiteral("href"), QStringLiteral("Pictures/plot.png"));
            w.writeAttribute(XlinkNs, QStringLiteral("type"), QStringLiteral("simple"));
            w.writeAttribute(XlinkNs, QStringLiteral("show"), QStringLiteral("embed"));
            w.writeAttribute(XlinkNs, QStringLiteral("actuate"), QStringLiteral("onLoad"));
            w.writeEndElement();
            w.writeEndElement();
            w.writeEndElement();
        }
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

QByteArray manifestXml(bool withImage) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeNamespace(ManifestNs, QStringLiteral("manifest"));
    w.writeStartElement(ManifestNs, QStringLiteral("manifest"));
    w.writeAttribute(ManifestNs, QStringLiteral("version"), QStringLiteral("1.2"));
    auto entry = [&](const QString &path, const QString &type) {
        w.writeStartElement(ManifestNs, QStringLiteral("file-entry"));
        w.writeAttribute(ManifestNs, QStringLiteral("full-path"), path);
        w.writeAttribute(ManifestNs, QStringLiteral("media-type"), type);
        w.writeEndElement();
    };
    entry(QStringLiteral("/"), OdtType);
    entry(QStringLiteral("content.xml"), QStringLiteral("text/xml"));
    if (withImage)
        entry(QStringLiteral("Pictures/plot.png"), QStringLiteral("image/png"));
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

} // namespace

QByteArray reportOdt(const Report &report, const QByteArray &png, int pngWidth, int pngHeight) {
    const bool withImage = !png.isEmpty() && pngWidth > 0 && pngHeight > 0;
    // The media type goes first and uncompressed, so that a reader can tell the file by its
    // first bytes.
    const QList<std::tuple<QString, QByteArray, bool>> parts{
        {QStringLiteral("mimetype"), OdtType.toLatin1(), false},
        {QStringLiteral("content.xml"), contentXml(report, withImage, pngWidth, pngHeight), true},
        {QStringLiteral("META-INF/manifest.xml"), manifestXml(withImage), true},
    };
    QBuffer buffer;
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdCreate))
        return {};
    auto store = [&](const QString &name, const QByteArray &content, bool compress) {
        QuaZipFile file(&zip);
        QuaZipNewInfo info(name);
        info.dateTime = QDateTime::currentDateTime();
        if (!file.open(QIODevice::WriteOnly, info, nullptr, 0, compress ? Z_DEFLATED : 0,
                       compress ? 6 : 0) ||
            file.write(content) != content.size())
            return false;
        file.close();
        return file.getZipError() == UNZ_OK;
    };
    for (const auto &[name, content, compress] : parts)
        if (!store(name, content, compress))
            return {};
    if (withImage && !store(QStringLiteral("Pictures/plot.png"), png, false))
        return {};
    zip.close();
    if (zip.getZipError() != UNZ_OK)
        return {};
    return buffer.data();
}

} // namespace quarbel
