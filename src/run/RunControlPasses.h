#pragma once

#include "run/LoopRunner.h"

namespace quantaro {

class RunControl;

// The loop's passes run by the run commands' engine. The loop reaches the
// engine through here only.
class RunControlPasses : public LoopPasses {
  public:
    explicit RunControlPasses(RunControl& run) : run_(run) {}

    std::optional<std::string> runPass(int equation) override;
    bool lastRunFailed() const override;
    void clearLastRunResult() override;
    int boxesShown() const override;

  private:
    RunControl& run_;
};

}  // namespace quantaro
