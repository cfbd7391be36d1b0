#include "documents/PrintDocument.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "RawFiles.h"

namespace quantaro {
namespace {

class PrintDocumentTest : public ::testing::Test {
  protected:
    // Prints lineCount numbered lines to a PDF file and returns its bytes.
    QString printLines(int lineCount) {
        printer_.setOutputFileName(dir_.filePath("listing.pdf"));
        const auto failure = PrintDocument(printer_, [&](PrintChannel& channel) {
            for (int line = 1; line <= lineCount; ++line) channel.writeLine(QString::number(line));
        });
        EXPECT_EQ(failure, std::nullopt);
        return QString::fromStdString(testing::ReadRaw(dir_.filePath("listing.pdf")));
    }

    static qsizetype Pages(const QString& pdf) {
        return pdf.count(QRegularExpression("/Type\\s*/Page\\b"));
    }

    QTemporaryDir dir_;
    QPrinter printer_{QPrinter::HighResolution};
};

TEST_F(PrintDocumentTest, EachPrintoutIsOnePdfDocumentAndLongListingsTakeMorePages) {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    const QString shortListing = printLines(3);
    EXPECT_TRUE(shortListing.startsWith("%PDF"));
    EXPECT_EQ(Pages(shortListing), 1);

    // The same printer serves the next printout, as after one print dialog.
    const QString longListing = printLines(300);
    EXPECT_TRUE(longListing.startsWith("%PDF"));
    EXPECT_GT(Pages(longListing), 2);
}

TEST_F(PrintDocumentTest, APrinterThatCannotStartReportsFailureWithoutPrinting) {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(dir_.filePath("missing/listing.pdf"));
    bool printed = false;
    EXPECT_EQ(PrintDocument(printer_, [&](PrintChannel&) { printed = true; }),
              QString(kPrintStartFailed));
    EXPECT_FALSE(printed);
}

}  // namespace
}  // namespace quantaro
