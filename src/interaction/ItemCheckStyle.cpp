#include "interaction/ItemCheckStyle.h"

#include <QAbstractItemView>
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
        if (element != PE_IndicatorItemViewItemCheck) return;
        const QColor ground = option->palette.color(QPalette::Base);
        const QColor frame =
            ReadableOn(ground, Blended(ground, option->palette.color(QPalette::Text), kFrameShare));
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

void KeepItemChecksVisible(QAbstractItemView* list) {
    list->setStyle(SharedItemCheckStyle());
}

}  // namespace quantaro
