#include "run/RunControlPasses.h"

#include "run/RunControl.h"

namespace quantaro {

std::optional<std::string> RunControlPasses::runPass(int equation) {
    return run_.runOnce(equation);
}

bool RunControlPasses::lastRunFailed() const {
    return run_.engine().resultCode() != 0;
}

void RunControlPasses::clearLastRunResult() {
    run_.engine().setResultCode(0);
}

int RunControlPasses::boxesShown() const {
    return run_.boxesShown();
}

}  // namespace quantaro
