// The base of drawing sub-objects (fonts, pens, brushes, and the painters'
// gradients, frames and glyphs): a persistent object that tells its owner
// when one of its properties changed.
#pragma once

#include "framework/core/classes.h"

namespace vexel {

class TGraphicsObject : public TPersistent {
public:
    // Fired by Changed, with the object as sender. Owners wire it to their
    // repaint; setters call Changed after storing a value.
    TNotifyEvent OnChange;

protected:
    virtual void Changed() {
        if (OnChange)
            OnChange(this);
    }
};

}  // namespace vexel
