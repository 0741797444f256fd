#include "engine/verify.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "engine/backup.h"
#include "engine/charset.h"
#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/lzma.h"
#include "engine/modern_page.h"
#include "engine/classic_page.h"
#include "engine/page_compression.h"
#include "engine/page_prepare.h"
#include "engine/page_names.h"
#include "engine/page_reader.h"
#include "engine/site_file.h"
#include "platform/ascii.h"

namespace vexel {

static_assert(kMaxExpandedBytes == kPageSizeLimit, "a page the tool writes must expand within what it reads");

namespace {

class SilentHost : public JobHost {
public:
    void AddLogLine(const std::string&) override {}
};

VerifyResult Result(VerifyOutcome outcome, std::string format, std::string detail) {
    return VerifyResult{outcome, std::move(format), std::move(detail)};
}

// 1-based position of the first byte where the two differ.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
    const auto differ = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return static_cast<std::size_t>(differ.first - a.begin()) + 1;
}

// Four hex digits at `at` as a number; -1 when they are not there.
int HexUnit(const std::string& text, std::size_t at) {
    if (at + 4 > text.size()) {
        return -1;
    }
    int unit = 0;
    for (std::size_t k = at; k < at + 4; ++k) {
        const int digit = HexDigitValue(text[k]);
        if (digit < 0) {
            return -1;
        }
        unit = unit * 16 + digit;
    }
    return unit;
}

// The password the prompt script at the start of an expanded text compares
// with: its string literal read back. Nothing when the text has no prompt.
std::optional<std::string> PromptPassword(const std::string& expanded) {
    const std::string head = kPasswordPrefixHead;
    if (expanded.compare(0, head.size(), head) != 0) {
        return std::nullopt;
    }
    std::string password;
    for (std::size_t i = head.size(); i < expanded.size(); ++i) {
        const char c = expanded[i];
        if (c == '"') {
            if (expanded.compare(i, std::char_traits<char>::length(kPasswordPrefixTail),
                                 kPasswordPrefixTail) != 0) {
                return std::nullopt;
            }
            return password;
        }
        if (c != '\\') {
            password.push_back(c);
            continue;
        }
        if (++i >= expanded.size()) {
            return std::nullopt;
        }
        switch (expanded[i]) {
            case 'r':
                password.push_back('\r');
                break;
            case 'n':
                password.push_back('\n');
                break;
            case 'u': {
                // A UTF-16 unit, or two for a character beyond the first plane.
                int unit = HexUnit(expanded, i + 1);
                if (unit < 0) {
                    return std::nullopt;
                }
                i += 4;
                uint32_t code = static_cast<uint32_t>(unit);
                if (unit >= 0xD800 && unit < 0xDC00 && expanded.compare(i + 1, 2, "\\u") == 0) {
                    const int low = HexUnit(expanded, i + 3);
                    if (low >= 0xDC00 && low < 0xE000) {
                        code = 0x10000 + ((code - 0xD800) << 10) + static_cast<uint32_t>(low - 0xDC00);
                        i += 6;
                    }
                }
                AppendUtf8(password, code);
                break;
            }
            case 'x': {
                const int byte = i + 2 < expanded.size() ? HexByteValue(expanded[i + 1], expanded[i + 2]) : -1;
                if (byte < 0) {
                    return std::nullopt;
                }
                password.push_back(static_cast<char>(byte));
                i += 2;
                break;
            }
            default:
                password.push_back(expanded[i]);
        }
    }
    return std::nullopt;
}

// The page written again from the prepared backup, with each search window,
// must be the page byte for byte: a changed decoder, template or line end
// shows here, where the data alone still reads back.
VerifyResult WrittenAgain(const std::string& page,
                          const std::string& format,
                          PageFormat written,
                          const PreparedPage& prepared,
                          const JobOptions& options,
                          const char* words) {
    SilentHost host;
    std::string firstPage;
    for (const bool highspeed : {options.highspeed, !options.highspeed}) {
        std::string again =
            RenderClassicPage(written, prepared.Head, EncodeDataString(prepared.Input, highspeed, host)).Text;
        if (again == page) {
            return Result(VerifyOutcome::Match, format,
                          std::string("byte for byte, as written with ") + words +
                              (highspeed ? ", high speed" : ""));
        }
        if (firstPage.empty()) {
            firstPage = std::move(again);
        }
    }
    return Result(VerifyOutcome::Mismatch, format,
                  "its data reads back, but the page differs from the one its backup gives at byte " +
                      std::to_string(FirstDifference(page, firstPage)) + " of " + std::to_string(page.size()));
}

VerifyResult VerifyClassic(const std::string& pagePath,
                           const std::string& page,
                           const PageData& found,
                           const std::string& backup) {
    const std::string format = PageFormatName(found.format);
    if (found.breaksInBrowser) {
        return Result(
            VerifyOutcome::Mismatch, format,
            "its data holds \"</script\", \"<script\" or \"<!--\", where a browser ends its script; "
            "restore it and compress it again");
    }
    std::string expanded;
    try {
        ExpandData(found.data, Literals::Unshift, expanded);
    } catch (const DataError& e) {
        return Result(VerifyOutcome::Mismatch, format, std::string("corrupt data: ") + e.what());
    }
    const std::string head = PageHead(page, found);

    SilentHost host;
    JobOptions options;
    if (const std::optional<std::string> password = PromptPassword(expanded)) {
        options.password = {true, *password};
    }
    // The keep options are not written in the page: each way of preparing
    // the backup is tried, the default first.
    struct Way {
        bool collapse;
        bool blank;
        const char* words;
    };
    constexpr Way kWays[] = {
        {true, true, "whitespace between tags collapsed, pairs of high bytes blanked"},
        {false, true, "whitespace kept, pairs of high bytes blanked"},
        {true, false, "whitespace between tags collapsed, high bytes kept"},
        {false, false, "whitespace and high bytes kept"},
    };
    std::string firstHead;
    std::string firstInput;
    bool prepared = false;
    std::string refusal;
    for (const Way& way : kWays) {
        options.RemoveUnuseful = way.collapse;
        options.UChar = way.blank;
        PreparedPage again;
        try {
            again = PrepareClassicPage(backup, pagePath, options, host);
        } catch (const FormatError& e) {
            // The compressor refuses this way of preparing the backup: a page
            // written so before is garbled in a browser.
            refusal = e.what();
            continue;
        }
        if (!again.Prepared) {
            continue;
        }
        if (again.Head == head && again.Input == expanded) {
            return WrittenAgain(page, format, found.format, again, options, way.words);
        }
        if (!prepared) {
            prepared = true;
            firstHead = std::move(again.Head);
            firstInput = std::move(again.Input);
        }
    }
    if (!refusal.empty()) {
        return Result(VerifyOutcome::Mismatch, format, refusal);
    }
    if (!prepared) {
        return Result(VerifyOutcome::Mismatch, format,
                      "its backup has no body tag (or one that never closes), so the compressor would leave "
                      "it as it is");
    }
    if (firstHead != head) {
        return Result(
            VerifyOutcome::Mismatch, format,
            "its head differs from the backup's at byte " + std::to_string(FirstDifference(head, firstHead)));
    }
    return Result(VerifyOutcome::Mismatch, format,
                  "the text it expands to differs from the backup's body at byte " +
                      std::to_string(FirstDifference(expanded, firstInput)) + " of " +
                      std::to_string(expanded.size()));
}

// Everything but the payload is written again from the backup and compared
// byte for byte, so that a changed script or head shows; the payload is
// expanded (with the password, when sealed) and compared with the backup, so
// that pages of another deflater (another build of this program) pass.
VerifyResult VerifyModern(const std::string& pagePath,
                          const std::string& page,
                          ModernPageData data,
                          const std::string& backup,
                          const std::string* password) {
    const std::string format = data.encrypted         ? "encrypted modern page"
                               : data.siteFile.empty() ? "modern page"
                                                       : "modern page of a site";
    // A page of a site shows only with its shared file: it must be there,
    // and be the one the page names.
    try {
        LoadSiteDictionary(pagePath, data);
    } catch (const IoError& e) {
        return Result(VerifyOutcome::Mismatch, format, e.what());
    } catch (const DataError& e) {
        return Result(VerifyOutcome::Mismatch, format, std::string("its site's file: ") + e.what());
    }
    if (!data.earlier) {
        std::string rendered;
        try {
            rendered = RenderModernPage(backup, data.payload, data.Options());
        } catch (const DataError& e) {
            return Result(VerifyOutcome::Mismatch, format, std::string("its backup ") + e.what());
        }
        if (rendered != page) {
            return Result(VerifyOutcome::Mismatch, format,
                          "it differs from the page its backup gives at byte " +
                              std::to_string(FirstDifference(page, rendered)) + " of " +
                              std::to_string(page.size()));
        }
    }
    if (data.codec == ModernCodec::Lzma && !HaveLzma()) {
        return Result(VerifyOutcome::NotChecked, format,
                      "this build reads no LZMA data (built without liblzma); all but its data match");
    }
    std::string original;
    try {
        original = ExpandModernPage(data, password, std::max(kMaxExpandedBytes, backup.size() + 1));
    } catch (const PasswordError& e) {
        return Result(VerifyOutcome::NotChecked, format, std::string(e.what()) + "; all but its sealed data match");
    } catch (const DataError& e) {
        return Result(VerifyOutcome::Mismatch, format, std::string("damaged data: ") + e.what());
    }
    if (original != backup) {
        return Result(VerifyOutcome::Mismatch, format,
                      "it expands to " + std::to_string(original.size()) +
                          " bytes that differ from the backup's " + std::to_string(backup.size()) +
                          " at byte " + std::to_string(FirstDifference(original, backup)));
    }
    return Result(VerifyOutcome::Match, format,
                  data.earlier ? "its data byte for byte (a page of an earlier version: its script not checked)"
                               : "byte for byte");
}

// `page`, read from `pagePath` (`target` once links are followed), against
// the original it was made from.
VerifyResult VerifyText(const std::string& pagePath,
                        const std::string& target,
                        const std::string& page,
                        const std::string& original,
                        const std::string* password) {
    try {
        if (const std::optional<ModernPageData> modern = ReadModernPage(page)) {
            return VerifyModern(target, page, *modern, original, password);
        }
    } catch (const DataError& e) {
        return Result(VerifyOutcome::Mismatch, "modern page", std::string("damaged data: ") + e.what());
    }
    if (const std::optional<PageData> classic = FindPageData(page)) {
        return VerifyClassic(pagePath, page, *classic, original);
    }
    return Result(VerifyOutcome::Failed, "", Quoted(pagePath) + " is not a compressed page");
}

}  // namespace

VerifyResult VerifyPage(const std::string& pagePath, const std::string* password, const LinkRule& links) {
    std::string page;
    std::string backup;
    std::string target;
    try {
        target = FollowPageLink(pagePath, links);
        // Under the lock compress takes: a page in another run's hands is
        // neither compared half-written nor kept from that run.
        platform::File held;
        platform::FileInfo info;
        HoldBackup(target, pagePath, held, info);
        page = ReadWholeFile(target);
        backup = ReadToEnd(held, target + kBackupSuffix, static_cast<std::size_t>(info.size));
    } catch (const IoError& e) {
        return Result(VerifyOutcome::Failed, "", e.what());
    }
    return VerifyText(pagePath, target, page, backup, password);
}

VerifyResult VerifyAgainst(const std::string& pagePath, const std::string& original, const std::string* password) {
    std::string page;
    try {
        page = ReadWholeFile(pagePath);
    } catch (const IoError& e) {
        return Result(VerifyOutcome::Failed, "", e.what());
    }
    return VerifyText(pagePath, pagePath, page, original, password);
}

}  // namespace vexel
