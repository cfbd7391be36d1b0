#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include "HintSet.h"
#include "QtUserInteraction.h"
#include "WindowLayout.h"

namespace quantaro {
namespace {

// The text format and text of the label of the next message box shown.
struct ShownBox {
    Qt::TextFormat format = Qt::AutoText;
    QString text;
};

ShownBox ShowAndRead(const QString& text) {
    ShownBox shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label) shown = {label->textFormat(), label->text()};
        box->accept();
    });
    QtUserInteraction().showError(nullptr, text);
    return shown;
}

TEST(PlainTextTest, TextFromUsersAndFilesIsShownCharacterForCharacter) {
    const QString markup = QStringLiteral("Equation 1: Unknown Item \"<b>Q</b>\"");
    const ShownBox box = ShowAndRead(markup);
    EXPECT_EQ(box.format, Qt::PlainText);
    EXPECT_EQ(box.text, markup);

    QTextDocument tip;
    tip.setHtml(ToolTipText(QStringLiteral("<img src=\"/dev/zero\"> & <h1>x</h1>")));
    EXPECT_EQ(tip.toPlainText(), QStringLiteral("<img src=\"/dev/zero\"> & <h1>x</h1>"));
    EXPECT_EQ(ToolTipText(QStringLiteral("Clears entire formula")),
              QStringLiteral("Clears entire formula"));

    QWidget window;
    window.setWindowTitle(PlainWindowTitle(QStringLiteral("QUANTARO - a[*].FOR")));
    window.show();
    EXPECT_EQ(window.windowHandle()->title(), QStringLiteral("QUANTARO - a[*].FOR"));
}

TEST(PlainTextTest, ALongTextShowsItsStartAndEndInTheBox) {
    const QString start = QStringLiteral("Equation 1: Unknown Item \"");
    // A character of two UTF-16 units straddles the cut.
    const QString word = QStringLiteral("a") + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(5000);
    const QString text = start + word + QStringLiteral("\"");
    const QString shown = ShowAndRead(text).text;
    EXPECT_EQ(shown, TextForBox(text));
    EXPECT_TRUE(QStringView(shown).isValidUtf16());
    // Without its invisible break points the box holds the start and the end.
    QString visible = shown;
    visible.remove(kBoxWordBreak);
    EXPECT_LE(visible.size(), kBoxTextLimit + 1);
    EXPECT_TRUE(visible.startsWith(start));
    EXPECT_TRUE(visible.endsWith(QString::fromUtf8("\xF0\x9F\x98\x80\"")));
    EXPECT_EQ(visible.count(kBoxEllipsis), 1);
    EXPECT_GT(shown.count(kBoxWordBreak), kBoxTextLimit / 20);
    EXPECT_EQ(TextForBox(start), start);
}

}  // namespace
}  // namespace quantaro
