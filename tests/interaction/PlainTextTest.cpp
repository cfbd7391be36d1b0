#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "interaction/QtUserInteraction.h"

namespace quantaro {
namespace {

// Shows text in an error box and returns what its label holds, read as plain text.
QString ShownInBox(const QString& text) {
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label->textFormat() == Qt::PlainText) shown = label->text();
        box->accept();
    });
    QtUserInteraction().showError(nullptr, text);
    return shown.remove(kBoxWordBreak);
}

TEST(PlainTextTest, ABoxShowsTextAsItIsAndALongTextByItsStartAndEnd) {
    const QString markup = QStringLiteral("Equation 1: Unknown Item \"<b>Q</b>\"");
    EXPECT_EQ(ShownInBox(markup), markup);

    // A character of two UTF-16 units straddles each cut.
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString shown = ShownInBox(QStringLiteral("Item \"a") + face.repeated(5000) + "\"");
    EXPECT_LE(shown.size(), kBoxTextLimit + 1);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Item \"a") + face));
    EXPECT_TRUE(shown.endsWith(face + "\""));
    EXPECT_EQ(shown.count(kBoxEllipsis), 1);
    EXPECT_TRUE(QStringView(shown).isValidUtf16());
}

}  // namespace
}  // namespace quantaro
