// The base of the suite's non-visual components (form manager, app starter,
// data store): a component that adds nothing of its own, so that they share
// one ancestor.
#pragma once

#include "framework/core/classes.h"

namespace vexel {

class TZelSystemsComponent : public TComponent {
public:
    using TComponent::TComponent;

protected:
    ~TZelSystemsComponent() override = default;
};

}  // namespace vexel
