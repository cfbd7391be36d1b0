#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QGraphicsView;
class QWidget;

namespace quantaro {

class UserInteraction;

enum class ChartFileType { Png, Svg, Pdf };

// The file type a name's suffix stands for, in either case; nothing for a
// suffix the chart cannot be saved as.
std::optional<ChartFileType> ChartFileTypeOf(const QString& path);

// What the view shows, at its size, as the content of a file of that type:
// a picture for PNG, drawing commands for SVG and PDF, whose documents are
// titled `title`.
QByteArray RenderChart(QGraphicsView& view, ChartFileType type, const QString& title);

// Saves what the view shows to path, in the type its suffix names. The file
// is replaced only once the picture is complete. On failure, a text naming
// the file and the reason.
std::optional<QString> SaveChart(QGraphicsView& view, const QString& path,
                                 const QString& title = QStringLiteral("Trajectory"));

// Save Chart: asks for a PNG, SVG or PDF file, offering initialName, and
// saves what the view shows there under the title; a failure is shown over
// owner.
void AskToSaveChart(QGraphicsView& view, UserInteraction& interaction, QWidget* owner,
                    const QString& initialName,
                    const QString& title = QStringLiteral("Trajectory"));

}  // namespace quantaro
