#include "charts/ChartFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGraphicsView>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <string_view>

#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "interaction/UserInteraction.h"

namespace quantaro {
namespace {

// Renders the view through a painter on device, the picture filling size.
void Paint(QGraphicsView& view, QPaintDevice& device, QSizeF size) {
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    view.render(&painter, QRectF(QPointF(), size));
}

QByteArray RenderPng(QGraphicsView& view) {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    Paint(view, image, view.size());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return bytes;
}

QByteArray RenderSvg(QGraphicsView& view, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(view.size());
    svg.setViewBox(QRect(QPoint(), view.size()));
    svg.setTitle(title);
    Paint(view, svg, view.size());
    return bytes;
}

// One page the size of the view, a point to a pixel.
QByteArray RenderPdf(QGraphicsView& view, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Quantaro"));
    pdf.setResolution(72);
    pdf.setPageSize(QPageSize(QSizeF(view.size()), QPageSize::Point));
    pdf.setPageMargins(QMarginsF());
    Paint(view, pdf, view.size());
    return bytes;
}

}  // namespace

std::optional<ChartFileType> ChartFileTypeOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return ChartFileType::Png;
    if (suffix == QLatin1String("svg")) return ChartFileType::Svg;
    if (suffix == QLatin1String("pdf")) return ChartFileType::Pdf;
    return std::nullopt;
}

QByteArray RenderChart(QGraphicsView& view, ChartFileType type, const QString& title) {
    switch (type) {
        case ChartFileType::Png:
            return RenderPng(view);
        case ChartFileType::Svg:
            return RenderSvg(view, title);
        case ChartFileType::Pdf:
            return RenderPdf(view, title);
    }
    return {};
}

std::optional<QString> SaveChart(QGraphicsView& view, const QString& path, const QString& title) {
    const QString shown = ShownFileName(path);
    const std::optional<ChartFileType> type = ChartFileTypeOf(path);
    if (!type) {
        return QStringLiteral("%1 cannot be saved: a chart is saved as a .png, .svg or .pdf file")
            .arg(shown);
    }
    const QByteArray bytes = RenderChart(view, *type, title);
    if (bytes.isEmpty())
        return QStringLiteral("%1 cannot be saved: the chart could not be drawn").arg(shown);
    return WriteFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void AskToSaveChart(QGraphicsView& view, UserInteraction& interaction, QWidget* owner,
                    const QString& initialName, const QString& title) {
    FileDialogOptions options;
    options.title = QStringLiteral("Save Chart");
    options.filter = QStringLiteral("PNG Image (*.png);;SVG Drawing (*.svg);;PDF Document (*.pdf)");
    options.defaultSuffix = QStringLiteral("png");
    options.initialName = initialName;
    const QString path = interaction.chooseFileToSave(owner, options);
    if (path.isEmpty()) return;
    if (const std::optional<QString> error = SaveChart(view, path, title)) {
        interaction.showError(owner, *error);
    }
}

}  // namespace quantaro
