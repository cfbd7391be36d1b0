#include "interaction/ItemCheckStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include "interaction/ReadableColours.h"

namespace quantaro {
namespace {

// How far the frame's colour lies from the box's base colour towards the
// text colour.
constexpr double kFrameShare = 0.6;

// The application's style, with the item check box framed in a colour
// between the palette's text and base colours that reads on the base the
// box is filled with.
class ItemCheckStyle : public QProxyStyle {
  public:
    ItemCheckStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element != PE_IndicatorItemViewItemCheck && element != PE_IndicatorCheckBox &&
            element != PE_IndicatorRadioButton) {
            return;
        }
        const QColor ground = option->palette.color(QPalette::Base);
        const QColor frame =
            ReadableOn(ground, Blended(ground, option->palette.color(QPalette::Text), kFrameShare));
        if (element == PE_IndicatorRadioButton) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(frame, 1));
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
            painter->restore();
            return;
        }
        // Over the style's own frame, the box's outer ring of pixels, filled
        // whole: a smoothed line would blend with what lies under it.
        const QRect box = option->rect;
        for (const QRect& edge : {QRect(box.left(), box.top(), box.width(), 1),
                                  QRect(box.left(), box.bottom(), box.width(), 1),
                                  QRect(box.left(), box.top(), 1, box.height()),
                                  QRect(box.right(), box.top(), 1, box.height())}) {
            painter->fillRect(edge, frame);
        }
    }
};

QStyle* SharedItemCheckStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new ItemCheckStyle;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

void KeepIndicatorsVisible(QWidget* widget) {
    widget->setStyle(SharedItemCheckStyle());
}

}  // namespace quantaro
