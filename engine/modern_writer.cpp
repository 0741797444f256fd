// The job's modern format: the whole page compressed, optionally encrypted,
// and written as a page that the browser expands with its own decompressor.
#include "engine/base91.h"
#include "engine/compression_job.h"
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
    CharCount = static_cast<int32_t>(raw.size());
    modernCharset_ = DetectCharset(raw);
    modernSealed_ = Options.password.Enabled;
    host_->SetPagePercentage(0);
    const PageSeal seal{Options.password.Text, Options.Iterations};
    WorkText = Base91Encode(ModernPayload(raw, modernSealed_ ? &seal : nullptr));
    host_->SetPagePercentage(100);
    return true;
}

std::string CompressionJob::PageModern() const {
    const PageSeal seal{std::string(), Options.Iterations};
    return ModernPageText(modernCharset_, WorkText, modernSealed_ ? &seal : nullptr);
}

void CompressionJob::WriteModernPage() {
    if (!NamesNoFile(Savefile)) {
        const std::string page = PageModern();
        WritePage(page, page.size());
    }
}

}  // namespace vexel
