// The job's modern format: the whole page compressed, optionally encrypted,
// and written as a page that the browser expands with its own decompressor.
#include "engine/compression_job.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/modern_page.h"

namespace vexel {

namespace {

constexpr std::size_t kDashCount = 110;

}  // namespace

bool CompressionJob::PrepareModernPage() {
    CharCount = 0;
    if (NamesNoFile(Openfile)) {
        return BreakOff();
    }
    WorkText.clear();
    return PrepareModernRead(ReadWholeFile(Openfile, /*writable=*/true));
}

bool CompressionJob::PrepareModernPage(std::string source) {
    CharCount = 0;
    if (NamesNoFile(Openfile)) {
        return BreakOff();
    }
    WorkText.clear();
    return PrepareModernRead(std::move(source));
}

bool CompressionJob::PrepareModernRead(std::string raw) {
    Log("");
    Log(std::string(kDashCount, '-'));
    Log("Openfile:" + Openfile);
    host_->ProcessMessages();

    // Every byte is carried as it is: no filter, no head, no filler.
    FormatWarnings = 0;
    LeftAsItIs = false;
    CharCount = static_cast<int32_t>(raw.size());
    modernSealed_ = Options.password.Enabled;
    host_->SetPagePercentage(0);
    const PageSeal seal{Options.password.Text, Options.Iterations};
    const ModernPageOptions options{modernSealed_, Options.Iterations};
    try {
        WorkText = RenderModernPage(raw, ModernPayload(raw, modernSealed_ ? &seal : nullptr), options);
    } catch (const DataError& e) {
        throw DataError("\"" + Openfile + "\" " + e.what());
    }
    host_->SetPagePercentage(100);
    // A page must gain by it: one that would not is left as it is. Not so an
    // encrypted one, which is asked for its protection.
    if (!modernSealed_ && WorkText.size() >= raw.size()) {
        Log("Left as it is: its modern page would take " + std::to_string(WorkText.size()) + " bytes, its original " +
            std::to_string(raw.size()));
        LeftAsItIs = true;
        WorkText.clear();
        return false;
    }
    return true;
}

std::string CompressionJob::PageModern() const {
    return WorkText;
}

void CompressionJob::WriteModernPage() {
    if (!NamesNoFile(Savefile)) {
        const std::string page = PageModern();
        WritePage(page, page.size());
    }
}

}  // namespace vexel
