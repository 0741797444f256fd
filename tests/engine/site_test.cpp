// Pages of a site: the shared file (named by its content, read back only as
// written), LZMA over the site's dictionary expanded by liblzma and by the
// shared file's own script, and runs over a site: one file at the root that
// later runs find again, a new one beside it when asked, pages outside the
// root refused, verify's checks of the file, encrypted pages left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "engine/batch.h"
#include "engine/errors.h"
#include "engine/lzma.h"
#include "engine/carrier_text.h"
#include "engine/modern_page.h"
#include "engine/site_dictionary.h"
#include "engine/site_file.h"
#include "engine/verify.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

// A page of a site: the frame every page shares, then text of its own.
std::string FramedPage(unsigned seed, std::size_t size) {
    std::string page = "<!DOCTYPE html><html lang=en><head><meta charset=utf-8><title>Page " +
                       std::to_string(seed) + "</title></head><body><nav><ul>";
    for (int i = 0; i < 60; ++i) {
        page += "<li class=\"toctree-l1\"><a href=\"section-" + std::to_string(i) + ".html\">Section " +
                std::to_string(i) + " of the manual</a></li>";
    }
    page += "</ul></nav><main>";
    std::mt19937 random(seed);
    static const char* const kWords[] = {"stre\xC3\x9F" "e", "window", "dictionary", "page", "site", "frame",
                                         "\xCE\xBB", "decoder", "text", "shared"};
    while (page.size() < size) {
        page += "<p>" + std::to_string(random() % 100000);
        for (int w = 0; w < 12; ++w) {
            page += std::string(" ") + kWords[random() % 10];
        }
        page += ".</p>\n";
    }
    return page + "</main><footer>The same footer on every page of the site.</footer></body></html>\n";
}

class SiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveLzma()) {
            GTEST_SKIP() << "built without liblzma";
        }
    }
};

TEST_F(SiteTest, SharedFileIsNamedByItsContentAndReadBackOnlyAsWritten) {
    std::string dictionary = FramedPage(1, 20000) + "\"\\\\x41\n\r";
    for (int byte = 0; byte < 256; ++byte) {
        dictionary += static_cast<char>(byte);
    }
    const SiteFile file = MakeSiteFile(dictionary, 3);
    EXPECT_TRUE(IsSiteFileName(file.name)) << file.name;
    EXPECT_EQ(MakeSiteFile(dictionary, 3).name, file.name);
    EXPECT_NE(MakeSiteFile(dictionary, 4).name, file.name);
    EXPECT_NE(MakeSiteFile(dictionary + "x", 3).name, file.name);
    // ASCII without NUL or CR: read alike in any charset a page declares.
    EXPECT_TRUE(std::all_of(file.text.begin(), file.text.end(),
                            [](char c) { return c > 0 && c != '\r' && static_cast<unsigned char>(c) < 128; }));

    const SiteFile read = ReadSiteFile(file.name, file.text);
    EXPECT_EQ(read.dictionary, dictionary);
    EXPECT_EQ(read.generation, 3u);
    std::string changed = file.text;
    changed[changed.size() / 2] = changed[changed.size() / 2] == 'a' ? 'b' : 'a';
    EXPECT_THROW(ReadSiteFile(file.name, changed), DataError);
    EXPECT_THROW(ReadSiteFile(file.name, file.text.substr(0, file.text.size() - 1)), DataError);
    EXPECT_THROW(ReadSiteFile(MakeSiteFile(dictionary, 4).name, file.text), DataError);
    EXPECT_THROW(ReadSiteFile(file.name, "self.vexelSite=1"), DataError);
    for (const char* name : {"vexel-site-0123456789abcdeF.js", "vexel-site-0123.js", "x-site-0123456789abcdef.js"}) {
        EXPECT_FALSE(IsSiteFileName(name)) << name;
    }
}

TEST_F(SiteTest, DictionaryIsTrainedOnWhatThePagesShare) {
    std::vector<std::string> samples;
    for (unsigned i = 0; i < 40; ++i) {
        samples.push_back(FramedPage(i, 30000));
    }
    const std::string dictionary = TrainSiteDictionary(samples, 16 * 1024);
    EXPECT_LE(dictionary.size(), 16u * 1024);
    EXPECT_EQ(TrainSiteDictionary(samples, 16 * 1024), dictionary);
    // A page the trainer never saw shrinks with it far below its size alone.
    const std::string page = FramedPage(99, 30000);
    const std::string with = LzmaCompress(page, dictionary);
    EXPECT_LT(with.size() * 10, LzmaCompress(page).size() * 9) << with.size();
    EXPECT_EQ(LzmaExpand(with, page.size(), page.size(), dictionary), page);
    EXPECT_THROW(LzmaExpand(with, page.size(), page.size()), DataError);
    // Too little text to train on: the pages' own last text serves.
    EXPECT_EQ(TrainSiteDictionary({"<p>one</p>", "<p>two</p>"}, 64), "<p>one</p><p>two</p>");
}

// The shared file run by Node.js as a browser runs it: a page's script hands
// its data over, and what the file writes into the document is the original
// (or the damage it found).
constexpr char kSiteHarness[] = R"JS(
const fs = require('fs');
const [siteFile, pageFile, expectedFile] = process.argv.slice(2);
const self = { TextDecoder, DecompressionStream, fetch };
new Function('self', fs.readFileSync(siteFile, 'latin1'))(self);
const page = fs.readFileSync(pageFile, 'latin1');
const script = page.slice(page.indexOf('<script>/*') + 8, page.lastIndexOf('</script>'));
const call = script.slice(script.indexOf('*/self.vexelSite?'));
let written = '';
const C = { currentScript: { text: script }, characterSet: 'UTF-8', URL: 'file:///p.html',
  write: (s) => { written += s; }, open: () => ({ write: (s) => { written += s; } }), close: () => {} };
new Function('document', 'self', 'vexelSite', call.slice(2))(C, self, self.vexelSite);
if ('vexelSite' in self) { console.error('the global name stays'); process.exit(1); }
const expected = fs.readFileSync(expectedFile, 'utf8');
const started = Date.now();
(function check() {
  if (written === expected) return;
  if (Date.now() - started > 10000) { console.error('written: ' + written.slice(0, 200)); process.exit(1); }
  setTimeout(check, 20);
})();
)JS";

TEST_F(SiteTest, SharedFilesScriptExpandsThePagesOfTheSite) {
#ifdef _WIN32
    GTEST_SKIP() << "Node.js runs in the native build";
#else
    ASSERT_EQ(std::system("node --version > /dev/null 2>&1"), 0) << "Node.js is needed for this test";
    ScratchDir dir;
    const SiteFile file = MakeSiteFile(FramedPage(1, 40000), 1);
    WriteBytes(dir.Path("harness.js"), kSiteHarness);
    WriteBytes(dir.Path(file.name), file.text);
    const std::string original = FramedPage(7, 50000);
    ModernPageOptions options;
    options.codec = ModernCodec::Lzma;
    options.siteFile = file.name;
    const std::string page = RenderModernPage(original, LzmaCompress(original, file.dictionary), options);
    EXPECT_NE(page.find("<script src=\"" + file.name + "\"></script><script>/*"), std::string::npos);
    WriteBytes(dir.Path("page.html"), page);
    WriteBytes(dir.Path("original.html"), original);
    // A stream that lost a byte says so in the page.
    std::string damaged = page;
    damaged.erase(page.find("<script>/*") + 300, 1);
    WriteBytes(dir.Path("damaged.html"), damaged);
    WriteBytes(dir.Path("damage.txt"), "Damaged page: bad LZMA data");
    const std::string node = "node \"" + dir.Path("harness.js") + "\" \"" + dir.Path(file.name) + "\" \"";
    EXPECT_EQ(std::system((node + dir.Path("page.html") + "\" \"" + dir.Path("original.html") + "\"").c_str()), 0);
    EXPECT_EQ(std::system((node + dir.Path("damaged.html") + "\" \"" + dir.Path("damage.txt") + "\"").c_str()), 0);
#endif
}

class SiteRunTest : public SiteTest {
protected:
    RunTally Run(const std::vector<std::string>& pages, bool retrain = false) {
        std::vector<BatchItem> items;
        for (const std::string& page : pages) {
            items.emplace_back(page);
        }
        BatchSettings settings;
        settings.Format = PageFormat::Modern;
        settings.SiteRoot = root_;
        settings.Retrain = retrain;
        settings.Jobs = 2;
        BatchHost batchHost;
        return RunBatch(items, options_, settings, host_, batchHost);
    }

    std::vector<std::string> SiteFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root_)) {
            if (IsSiteFileName(entry.path().filename().string())) {
                names.push_back(entry.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Page(const std::string& name, unsigned seed) {
        const std::string path = (fs::path(root_) / name).string();
        fs::create_directories(fs::path(path).parent_path());
        WriteBytes(path, FramedPage(seed, 20000 + seed * 500));
        return path;
    }

    ScratchDir dir_;
    std::string root_ = dir_.Path("site");
    JobOptions options_;
    RecordingJobHost host_;
};

TEST_F(SiteRunTest, OneSharedFileServesTheSiteAndLaterPagesUntilANewOneIsAsked) {
    std::vector<std::string> pages;
    for (unsigned i = 0; i < 12; ++i) {
        pages.push_back(Page(i % 3 == 0 ? "p" + std::to_string(i) + ".html" : "a/b/p" + std::to_string(i) + ".html", i));
    }
    const std::string outside = dir_.Path("outside.html");
    WriteBytes(outside, FramedPage(50, 20000));
    std::vector<std::string> run = pages;
    run.push_back(outside);
    const RunTally first = Run(run);
    EXPECT_EQ(first.Written, 12);
    EXPECT_EQ(first.Failed, 1);
    EXPECT_EQ(ReadBytes(outside), FramedPage(50, 20000));
    EXPECT_FALSE(fs::exists(outside + "_backup"));
    const std::vector<std::string> files = SiteFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::string deep = ReadBytes(pages[1]);
    EXPECT_NE(deep.find("<script src=\"../../" + files[0] + "\">"), std::string::npos);
    for (const std::string& page : pages) {
        EXPECT_EQ(VerifyPage(page, nullptr).outcome, VerifyOutcome::Match) << VerifyPage(page, nullptr).detail;
    }

    // A page added later uses the file that is there.
    const std::string added = Page("a/added.html", 30);
    EXPECT_EQ(Run({added}).Written, 1);
    EXPECT_EQ(SiteFiles(), files);
    EXPECT_NE(ReadBytes(added).find("\"../" + files[0] + "\""), std::string::npos);

    // Trained again: a new file beside the old one, which the pages written
    // before still name and verify against.
    const std::string retrained = Page("new.html", 31);
    EXPECT_EQ(Run({retrained}, /*retrain=*/true).Written, 1);
    const std::vector<std::string> both = SiteFiles();
    ASSERT_EQ(both.size(), 2u);
    const std::string newer = both[0] == files[0] ? both[1] : both[0];
    EXPECT_EQ(FindSiteFile(root_)->name, newer);
    EXPECT_EQ(FindSiteFile(root_)->generation, 2u);
    EXPECT_NE(ReadBytes(retrained).find("\"" + newer + "\""), std::string::npos);
    EXPECT_EQ(VerifyPage(pages[0], nullptr).outcome, VerifyOutcome::Match);
    EXPECT_EQ(VerifyPage(retrained, nullptr).outcome, VerifyOutcome::Match);

    // verify: the file a page names must be there, and be that file.
    const std::string old = (fs::path(root_) / files[0]).string();
    const std::string text = ReadBytes(old);
    WriteBytes(old, text + " ");
    VerifyResult changed = VerifyPage(pages[1], nullptr);
    EXPECT_EQ(changed.outcome, VerifyOutcome::Mismatch);
    EXPECT_NE(changed.detail.find(files[0]), std::string::npos) << changed.detail;
    fs::remove(old);
    VerifyResult missing = VerifyPage(pages[1], nullptr);
    EXPECT_EQ(missing.outcome, VerifyOutcome::Mismatch);
    EXPECT_NE(missing.detail.find("missing"), std::string::npos) << missing.detail;
}

TEST_F(SiteRunTest, EncryptedPagesStayPagesOfTheirOwn) {
    const std::string page = Page("secret.html", 5);
    options_.password = {true, "pw"};
    options_.Iterations = 1000;
    EXPECT_EQ(Run({page}).Written, 1);
    // No dictionary was trained on it, and it uses none.
    EXPECT_TRUE(SiteFiles().empty());
    const auto data = ReadModernPage(ReadBytes(page));
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(data->encrypted);
    EXPECT_TRUE(data->siteFile.empty());
}

}  // namespace
}  // namespace vexel
