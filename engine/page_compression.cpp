#include "engine/page_compression.h"

#include <utility>

#include "engine/classic_page.h"
#include "engine/deflate.h"
#include "engine/errors.h"
#include "engine/lzma.h"
#include "engine/modern_page.h"
#include "engine/page_prepare.h"
#include "engine/size_limit.h"

namespace vexel {

namespace {

CompressedPage CompressClassic(std::string source,
                               const std::string& path,
                               const JobOptions& options,
                               PageFormat format,
                               JobHost& host) {
    PreparedPage prepared = PrepareClassicPage(std::move(source), path, options, host);
    CompressedPage page;
    page.CharCount = prepared.CharCount;
    page.FormatWarnings = prepared.FormatWarnings;
    if (!prepared.Prepared) {
        return page;
    }
    std::string data = EncodeDataString(prepared.Input, options.highspeed, host);
    std::string().swap(prepared.Input);
    RenderedPage rendered = RenderClassicPage(format, prepared.Head, data);
    std::string().swap(data);
    if (!rendered.Warning.empty()) {
        ++page.FormatWarnings;
    }
    LogWrittenPage(path, page.CharCount, rendered.ReportedBytes, rendered.Warning, host);
    CheckPageSize(path, rendered.Text.size());
    page.Prepared = true;
    page.Head = std::move(prepared.Head);
    page.Text = std::move(rendered.Text);
    return page;
}

// The codec `choice` asks for, with the original compressed in it. Between
// the two, the smaller page wins, decoder and all; an encrypted page is
// judged by its plain form, so that it is sealed once.
std::pair<ModernCodec, std::string> ChooseCodec(const std::string& source, CodecChoice choice) {
    if (choice == CodecChoice::Deflate || (choice == CodecChoice::Smaller && !HaveLzma())) {
        // Deflate alone is asked for its speed: level 9 throughout.
        return {ModernCodec::Deflate, DeflateRaw(source, DeflateEffort::Fast)};
    }
    if (choice == CodecChoice::Lzma) {
        return {ModernCodec::Lzma, CompressOriginal(source, ModernCodec::Lzma)};
    }
    // Deflate first, for it is fast.
    std::string deflate = CompressOriginal(source, ModernCodec::Deflate);
    // On HTML an LZMA stream is some 10 to 30 % smaller than a deflate one:
    // one that would have to be half the size to pay for its longer decoder
    // is not worth trying.
    const std::size_t decoderCost =
        ModernDecoderSize(false, ModernCodec::Lzma) - ModernDecoderSize(false, ModernCodec::Deflate);
    if (deflate.size() < 2 * decoderCost) {
        return {ModernCodec::Deflate, std::move(deflate)};
    }
    // Rendering the deflate page refuses a charset no modern page can be
    // written in, before LZMA's far slower work.
    const std::size_t deflatePage = RenderModernPage(source, deflate, {}).size();
    std::string lzma = CompressOriginal(source, ModernCodec::Lzma);
    ModernPageOptions lzmaOptions;
    lzmaOptions.codec = ModernCodec::Lzma;
    if (RenderModernPage(source, lzma, lzmaOptions).size() < deflatePage) {
        return {ModernCodec::Lzma, std::move(lzma)};
    }
    return {ModernCodec::Deflate, std::move(deflate)};
}

// The whole page compressed (and encrypted when the password is enabled):
// every byte is carried as it is, with no filter, head or filler.
CompressedPage CompressModern(const std::string& source,
                              const std::string& path,
                              const JobOptions& options,
                              JobHost& host,
                              const PageSite* site) {
    CompressedPage page;
    page.CharCount = CharCountOf(source.size(), path);
    LogPageStart(path, host);
    host.PageProgressUnknown();
    const bool sealed = options.password.Enabled;
    const PageSeal seal{options.password.Text, options.Iterations};
    try {
        if (site != nullptr && !sealed) {
            // A page of a site: LZMA over the site's dictionary. A charset no
            // modern page is written in is refused before LZMA's work.
            ModernPageOptions siteOptions{false, options.Iterations, ModernCodec::Lzma, site->link};
            RenderModernPage(source, {}, siteOptions);
            page.Text = RenderModernPage(source, CompressOriginal(source, ModernCodec::Lzma, site->dictionary),
                                         siteOptions);
        } else {
            auto [codec, compressed] = ChooseCodec(source, options.Codec);
            page.Text = RenderModernPage(source, SealPayload(std::move(compressed), sealed ? &seal : nullptr),
                                         ModernPageOptions{sealed, options.Iterations, codec, {}});
        }
    } catch (const DataError& e) {
        throw DataError("\"" + path + "\" " + e.what());
    }
    host.SetPagePercentage(100);
    // A page must gain by it: one that would not is left as it is. Not so an
    // encrypted one, which is asked for its protection.
    if (!sealed && page.Text.size() >= source.size()) {
        host.AddLogLine("Left as it is: its modern page would take " + std::to_string(page.Text.size()) +
                        " bytes, its original " + std::to_string(source.size()));
        page.LeftAsItIs = true;
        page.Text.clear();
        return page;
    }
    LogWrittenPage(path, page.CharCount, static_cast<int64_t>(page.Text.size()), std::string(), host);
    CheckPageSize(path, page.Text.size());
    page.Prepared = true;
    return page;
}

}  // namespace

CompressedPage CompressPage(std::string source,
                            const std::string& path,
                            const JobOptions& options,
                            PageFormat format,
                            JobHost& host,
                            const PageSite* site) {
    switch (format) {
        case PageFormat::Modern: return CompressModern(source, path, options, host, site);
        case PageFormat::JavaScript:
        case PageFormat::VbScript: break;
    }
    return CompressClassic(std::move(source), path, options, format, host);
}

void LogWrittenPage(const std::string& path,
                    int32_t charCount,
                    int64_t reportedBytes,
                    const std::string& warning,
                    JobHost& host) {
    host.AddLogLine("Compresssed to:" + path);
    host.AddLogLine("  Rate=" + std::to_string(charCount) + "Byte /" + std::to_string(reportedBytes) + "Byte");
    if (!warning.empty()) {
        host.AddLogLine(warning);
        host.ShowErrorIndicator();
    }
}

void CheckPageSize(const std::string& path, std::size_t size) {
    if (size > kPageSizeLimit) {
        // Nothing could read it back.
        throw IoError("Cannot write file \"" + path + "\": the compressed page would be larger than " +
                      std::to_string(kPageSizeLimit >> 20) + " MB, the most any command reads");
    }
}

}  // namespace vexel
