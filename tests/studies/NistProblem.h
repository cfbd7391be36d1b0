#pragma once

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Numbers.h"

namespace quantaro {

// A NIST StRD nonlinear regression problem as its .dat file states it: the
// starting points, the certified values and standard deviations, the
// residual sum of squares and the data (y, x), which data() gives as a CSV
// file with columns y and x.
struct NistProblem {
    std::vector<std::string> start1, start2;  // as written, the engine reads them
    std::vector<long double> certified, deviations;
    long double residualSumOfSquares = 0.0L;
    std::string data = "y,x\n";

    static NistProblem Read(const std::string& path) {
        NistProblem problem;
        std::ifstream file(path);
        const std::regex parameter(R"(^\s*b\d+\s*=\s*(\S+)\s+(\S+)\s+(\S+)\s+(\S+))");
        const std::regex pair(R"(^\s*(\S+)\s+(\S+)\s*$)");
        bool inData = false;
        std::smatch match;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (inData && std::regex_match(line, match, pair)) {
                problem.data += match[1].str() + "," + match[2].str() + "\n";
            } else if (std::regex_search(line, match, parameter)) {
                problem.start1.push_back(match[1]);
                problem.start2.push_back(match[2]);
                problem.certified.push_back(*ReadNumber(match[3].str()).value);
                problem.deviations.push_back(*ReadNumber(match[4].str()).value);
            } else if (line.rfind("Residual Sum of Squares:", 0) == 0) {
                std::istringstream(line.substr(24)) >> problem.residualSumOfSquares;
            } else if (line.rfind("Data:", 0) == 0 && line.find("Response") == std::string::npos) {
                inData = true;
            }
        }
        return problem;
    }
};

// The five problems as worksheets in the engine's left-to-right language:
// constants B1 to Bk, X set from each row, Y the model.
struct NistCase {
    const char* file;
    const char* formula;
};
inline constexpr NistCase kNistCases[] = {
    {"Misra1a", "1 - ( 0 - B2 * X e^ ) * B1 = Y"},
    {"Chwirut2", "0 - B1 * X e^ / ( B3 * X + B2 ) = Y"},
    {"DanWood", "X ^ B2 * B1 = Y"},
    {"BoxBOD", "1 - ( 0 - B2 * X e^ ) * B1 = Y"},
    {"MGH09", "X ^2 + ( X * B2 ) / ( X ^2 + ( X * B3 ) + B4 ) * B1 = Y"},
};

}  // namespace quantaro
