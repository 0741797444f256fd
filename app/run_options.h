// The options of a run, as the options dialog gives them and the run takes
// them: one value, whose password is wiped when it goes.
#pragma once

#include <string>

#include "engine/page_format.h"
#include "engine/page_options.h"

namespace vexel {

struct TRunOptions {
    PageFormat Format = PageFormat::JavaScript;
    // The clean-ups, and the password: the classic page's prompt, or the one
    // a modern page is encrypted with (not enabled: not encrypted).
    JobOptions Job;
    // The modern pages of the run's folder share one decoder file, as the
    // dialog's box asks; the run names the folder in SiteRoot.
    bool SharedDecoder = false;
    // Modern pages as pages of a site whose root folder this is (the shared
    // decoder file stands there); empty: pages of their own.
    std::string SiteRoot;
};

}  // namespace vexel
