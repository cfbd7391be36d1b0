#include "ui/TFormHelpAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "interaction/ContextHelp.h"
#include "interaction/WindowLayout.h"

namespace quantaro {
namespace {

constexpr int kAboutHelpContext = 23;

QLabel* CentredLabel(const QString& text, QWidget* parent) {
    QLabel* label = MakeLabel(text, "", parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

TFormHelpAbout::TFormHelpAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormHelpAbout"));
    setWindowTitle(QStringLiteral("About QUANTARO"));
    setFont(CaptionFont());
    ContextHelp::setContext(this, kAboutHelpContext);

    auto* product = CentredLabel(QStringLiteral("QUANTARO"), this);
    QFont productFont = font();
    productFont.setPixelSize(24);
    productFont.setBold(true);
    product->setFont(productFont);

    okButton_ = new QPushButton(QStringLiteral("&OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    ContextHelp::setContext(okButton_, kAboutHelpContext);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(10);
    layout->addWidget(product);
    layout->addWidget(CentredLabel(QStringLiteral("   Version 1.2   "), this));
    layout->addWidget(CentredLabel(QStringLiteral("A multiple equation calculating engine"), this));
    layout->addSpacing(8);
    layout->addWidget(okButton_, 0, Qt::AlignCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormHelpAbout::showBox() {
    if (isHidden()) {
        show();
        CentreOnScreen(this);
    }
    raise();
    activateWindow();
    okButton_->setFocus();
}

}  // namespace quantaro
