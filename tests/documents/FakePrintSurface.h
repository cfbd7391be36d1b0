#pragma once

#include <QString>

#include <string>
#include <vector>

#include "documents/PrintSurface.h"

namespace quantaro::testing {

// A page of known metrics that records what is drawn as "page:x,y:text".
// Every character is 10 units wide and 12 high; text holding '#' is 30 high.
struct FakePrintSurface final : PrintSurface {
    int width = 100;
    int height = 100;
    int metric = 20;
    int page = 0;
    std::vector<std::string> draws;

    int pageWidth() const override { return width; }
    int pageHeight() const override { return height; }
    TextSize textSize(const QString& text) const override {
        return {10 * static_cast<int>(text.size()), text.contains(u'#') ? 30 : 12};
    }
    int metricHeight() const override { return metric; }
    int averageCharWidth() const override { return 10; }
    void drawText(int x, int y, const QString& text) override {
        draws.push_back(std::to_string(page) + ":" + std::to_string(x) + "," + std::to_string(y) +
                        ":" + text.toStdString());
    }
    void newPage() override { ++page; }
};

}  // namespace quantaro::testing
