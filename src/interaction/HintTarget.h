#pragma once

namespace quantaro {

// A window whose hints the main window's "Show &hints" switches.
class HintTarget {
  public:
    virtual ~HintTarget() = default;
    virtual void setHintsShown(bool shown) = 0;
};

}  // namespace quantaro
