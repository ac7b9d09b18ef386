#include "tests/window/exact_toolkit.h"

#include <cmath>

using memoapp::Control;
namespace design = memoapp::design;

ExactToolkit::ExactToolkit(float width, float height) : width_(width), height_(height) {
  for (int16_t k = 0; k < design::kPairs; ++k) {
    Rect(memoapp::Label1(k)) = design::Label1(k);
    Rect(memoapp::Text1(k)) = design::Text1(k);
  }
  Rect(memoapp::Command1) = design::kCommand1;
  Rect(memoapp::Command2) = design::kCommand2;
}

const design::Rect& ExactToolkit::geometry(Control control) const { return rects_.at(Slot(control)); }

void ExactToolkit::SetWindowWidth(float twips) {
  windowSets.push_back({'W', twips});
  width_ = twips;
  Resized();
}

void ExactToolkit::SetWindowHeight(float twips) {
  windowSets.push_back({'H', twips});
  height_ = twips;
  Resized();
}

int ExactToolkit::Slot(Control control) {
  switch (control.kind) {
    case Control::Kind::kLabel1: return control.index;
    case Control::Kind::kText1: return design::kPairs + control.index;
    case Control::Kind::kCommand1: return 2 * design::kPairs;
    case Control::Kind::kCommand2: return 2 * design::kPairs + 1;
  }
  return -1;
}

void ExactToolkit::Set(float& property, float twips) {
  ++controlSets;
  property = grid_ > 0 ? std::round(twips / grid_) * grid_ : twips;
}

void ExactToolkit::Resized() {
  if (nestedForm_) nestedForm_->Form_Resize();
}
