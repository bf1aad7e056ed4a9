#include "ui/report/report_actions.h"

#include "core/shell/program.h"
#include "ui/common/plot_view.h"
#include "ui/common/seams.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

namespace quarbel {
namespace {

const QString HtmlFilter = QStringLiteral("网页 (*.html)");
const QString OdtFilter = QStringLiteral("OpenDocument 文本 (*.odt)");
const QString PdfFilter = QStringLiteral("PDF 文档 (*.pdf)");
const QString PictureName = QStringLiteral("plot.png");

QByteArray pngOf(const QImage &image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString dataUri(const QImage &picture) {
    if (picture.isNull())
        return {};
    return QStringLiteral("data:image/png;base64,") +
           QString::fromLatin1(pngOf(picture).toBase64());
}

QString &lastFolder() {
    static QString folder;
    return folder;
}

QString startFolder() {
    return dialogStartFolder(lastFolder());
}

} // namespace

ReportActions::ReportActions(QWidget *window, std::function<int()> method,
                             std::function<bool()> simulated)
    : QObject(window), m_window(window), m_method(std::move(method)),
      m_simulated(std::move(simulated)) {}

Report ReportActions::currentReport() const {
    ReportTexts texts;
    texts.method = m_method();
    texts.version = programVersion();
    texts.made = m_clock();
    texts.simulated = m_simulated();
    if (m_content)
        texts.content = m_content();
    if (texts.content)
        return buildReport(texts);
    for (const QLabel *label : m_window->findChildren<QLabel *>())
        if (!label->objectName().isEmpty())
            texts.fields.insert(label->objectName(), label->text());
    for (const QLineEdit *edit : m_window->findChildren<QLineEdit *>())
        if (!edit->objectName().isEmpty())
            texts.fields.insert(edit->objectName(), edit->text());
    // The warning keeps its text while hidden; only a shown warning applies.
    if (const auto *warning = m_window->findChild<QLabel *>(QStringLiteral("Label22"));
        warning && warning->isHidden())
        texts.fields.remove(QStringLiteral("Label22"));
    return buildReport(texts);
}

QImage ReportActions::currentPicture() const {
    auto *plot = m_window->findChild<PlotView *>(QStringLiteral("Plot%1").arg(m_method()));
    if (!plot || plot->isHidden() || plot->width() <= 0 || plot->height() <= 0)
        return {};
    // A picture redraws a moment after its last change; the report takes its final state.
    plot->flush();
    return plot->grab().toImage();
}

void ReportActions::fillDocument(QTextDocument &document, const Report &report,
                                 const QImage &picture) const {
    if (!picture.isNull())
        document.addResource(QTextDocument::ImageResource, QUrl(PictureName), picture);
    document.setHtml(reportHtml(report, picture.isNull() ? QString() : PictureName, true));
}

void ReportActions::copy() {
    const Report report = currentReport();
    const QImage picture = report.emptyLine.isEmpty() ? currentPicture() : QImage();
    auto *data = new QMimeData;
    data->setHtml(reportHtml(report, dataUri(picture)));
    data->setText(reportPlainText(report));
    if (!picture.isNull())
        data->setImageData(picture);
    QApplication::clipboard()->setMimeData(data);
}

namespace {

// A name that ends in a known type keeps it; otherwise the chosen type's extension is added.
// Returns the suffix, and completes `path`.
QString settleSuffix(QString &path, const QString &filter) {
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("htm"))
        return QStringLiteral("html");
    if (suffix == QLatin1String("html") || suffix == QLatin1String("odt") ||
        suffix == QLatin1String("pdf"))
        return suffix;
    suffix = filter == OdtFilter   ? QStringLiteral("odt")
             : filter == PdfFilter ? QStringLiteral("pdf")
                                   : QStringLiteral("html");
    path += u'.' + suffix;
    return suffix;
}

} // namespace

bool ReportActions::write(QIODevice &device, const QString &suffix, const Report &report,
                          const QImage &picture) const {
    if (suffix == QLatin1String("pdf")) {
        QPdfWriter pdf(&device);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setTitle(report.title);
        pdf.setCreator(programName() + u' ' + programVersion());
        QTextDocument document;
        fillDocument(document, report, picture);
        document.print(&pdf);
        return true;
    }
    const QByteArray bytes =
        suffix == QLatin1String("odt")
            ? reportOdt(report, picture.isNull() ? QByteArray() : pngOf(picture), picture.width(),
                        picture.height())
            : reportHtml(report, dataUri(picture)).toUtf8();
    return !bytes.isEmpty() && device.write(bytes) == bytes.size();
}

void ReportActions::save() {
    Seams &seams = Seams::instance();
    QString filter = HtmlFilter;
    QString path = seams.saveFileName(
        m_window, QStringLiteral("保存报告"), startFolder(),
        QStringList{HtmlFilter, OdtFilter, PdfFilter}.join(QStringLiteral(";;")), &filter);
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    const QString suffix = settleSuffix(path, filter);
    if (QFileInfo::exists(path) && !seams.confirmOverwrite(m_window, path))
        return;

    const Report report = currentReport();
    // Written beside the target and renamed into place, so a failure leaves no partial file.
    QSaveFile file(path);
    const bool ok =
        file.open(QIODevice::WriteOnly) &&
        write(file, suffix, report, report.emptyLine.isEmpty() ? currentPicture() : QImage()) &&
        file.error() == QFileDevice::NoError && file.commit();
    if (!ok) {
        file.cancelWriting();
        seams.message(m_window, QStringLiteral("提示"), QStringLiteral("报告保存失败！"));
    }
}

void ReportActions::print() {
    QTextDocument document;
    const Report report = currentReport();
    fillDocument(document, report, report.emptyLine.isEmpty() ? currentPicture() : QImage());
    Seams::instance().printDocument(m_window, document);
}

} // namespace quarbel
