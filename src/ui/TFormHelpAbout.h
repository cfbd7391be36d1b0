#pragma once

#include <QDialog>

class QPushButton;

namespace quantaro {

// The About box: product name, version and purpose, closed by its OK button.
class TFormHelpAbout : public QDialog {
    Q_OBJECT

  public:
    explicit TFormHelpAbout(QWidget* parent = nullptr);

    // Shows the box without making it modal and focuses its OK button.
    void showBox();

    QPushButton* okButton() const { return okButton_; }

  private:
    QPushButton* okButton_;
};

}  // namespace quantaro
